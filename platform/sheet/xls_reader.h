// Reads the cells of an Excel 97-2003 workbook (.xls, BIFF8 and BIFF5/BIFF7) through FreeXL,
// and from the workbook's own records when FreeXL refuses a file it should read. Sits in
// platform/sheet; turns cells into runtime::Valor and knows nothing of the system's folders,
// tables or imports. Read only: it never changes a file.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/valor.h"

namespace sheet {

// Err.Source of the errors this reader throws.
inline constexpr const char* kReaderSource = "LectorXls";
// Err.Number for a file that exists but cannot be read as a workbook (not a workbook, damaged,
// password protected, no worksheet): the number the desktop database gives to a spreadsheet
// it cannot import ("External table is not in the expected format").
inline constexpr long kErrUnreadableWorkbook = 3274;

// One worksheet as a grid. Every row has `column_count` cells. A cell is:
//   Null                - empty, blank, or a formula read through FreeXL (it gives no formula
//                         results; a workbook FreeXL refuses gives the formula's cached result);
//   Double              - any number, booleans as 0/1 (error cells such as #DIV/0! read as 1);
//   String              - text (UTF-8);
//   Date                - a number whose format is a date, time or date-time format, as the
//                         serial of runtime::DateSerial (the workbook's 1904 mode is honoured;
//                         FreeXL gives whole seconds, and a time format only the time of day).
struct SheetGrid {
  std::string name;
  unsigned row_count = 0;
  unsigned column_count = 0;
  std::vector<std::vector<runtime::Valor>> rows;
};

// A worksheet read as a table: the first row gives the column names, the other rows the data.
struct SheetTable {
  std::string sheet_name;
  // A header cell's text; a number as CStr writes it; an empty header cell is named "F" and its
  // 1-based column number ("F3"), as the desktop database names unnamed columns.
  std::vector<std::string> columns;
  // Data rows in sheet order, each with columns.size() cells (kinds as in SheetGrid). Rows whose
  // cells are all empty are left out.
  std::vector<std::vector<runtime::Valor>> rows;

  // Returns the 0-based index of the column named `name`, matched without regard to case, or
  // -1 when there is none.
  int ColumnIndex(std::string_view name) const;
};

// Returns the names of all sheets of the workbook, in workbook order (chart sheets included).
// Throws runtime::VbError 53 ("File not found: " and the path) when `path` does not exist, and
// VbError kErrUnreadableWorkbook (source kReaderSource; the description names the file and the
// reason) when it is not a workbook, is damaged or is password protected. A workbook FreeXL
// refuses (seen: a chart embedded in a sheet, a Macintosh code page, BIFF5 without a code page)
// is read from its BIFF records instead; BIFF5 text without a CODEPAGE record is read as CP1252.
std::vector<std::string> SheetNames(const std::string& path);

// Returns the sheet at 0-based position `index` of the workbook as a grid.
// Throws as SheetNames, and VbError kErrUnreadableWorkbook when there is no such sheet.
SheetGrid ReadSheet(const std::string& path, unsigned index = 0);

// Returns the first sheet of the workbook as a table (first row = column names). A sheet with
// no cells gives no columns and no rows. Throws as ReadSheet.
SheetTable ReadFirstWorksheet(const std::string& path);

}  // namespace sheet
