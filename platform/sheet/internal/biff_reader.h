// Reads the sheets of a BIFF5/BIFF7 or BIFF8 Workbook stream straight from its records, for the
// workbooks FreeXL refuses (a chart inside a sheet, a Macintosh code page, BIFF5 without a code
// page). Internal to platform/sheet; never opens files and never decrypts.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/sheet/xls_reader.h"

namespace runtime {
class CodePageConverter;
}

namespace sheet::internal {

// Thrown for a stream whose records cannot be understood (cut short, inconsistent, encrypted).
class BiffError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The globals of a Workbook stream: sheet names in workbook order (chart sheets included), where
// each sheet's substream starts, and what is needed to read its cells.
class BiffWorkbook {
 public:
  // Parses the globals substream. Throws BiffError when the stream does not start with a
  // globals BOF, carries a FILEPASS record, or a record runs past the end of the stream.
  explicit BiffWorkbook(std::vector<uint8_t> stream);

  std::vector<std::string> SheetNames() const;

  // Reads every worksheet once, so that a damaged substream is found before any is asked for.
  // Throws BiffError as ReadGrid.
  void CheckSheets() const;
  // True when a sheet read so far holds a date-formatted number outside 01/01/100 .. 31/12/9999,
  // or one naming no day of its calendar (below 0, or in the 1900 calendar below 1 or 60, its
  // 29/02/1900); it is read as a plain number.
  bool HasDatesOutOfRange() const { return dates_out_of_range_; }
  // True when a sheet read so far holds a cell past the rows and columns its DIMENSIONS record
  // declares (the grid takes the cell all the same).
  bool HasCellsOutsideDimensions() const { return cells_outside_dimensions_; }
  // True after CheckSheets when the workbook's layout is not the plain one of a worksheet-only
  // book: a chart or macro sheet, a worksheet with no or several DIMENSIONS records (those of
  // embedded charts count), a cell given twice, or an end marker (a record of type 0 and length
  // 0, or one longer than 8224 bytes) before the last sheet ends. FreeXL sizes the wrong sheet,
  // leaks, or stops reading at such places.
  bool HasIrregularLayout() const { return irregular_layout_; }
  // True when a sheet read so far holds a number FreeXL would read otherwise than this reader:
  // its format taken for another kind of date, time or plain number (FreeXL counts letters
  // anywhere in a format, quoted words included, and misreads BIFF5 format texts), or a date
  // FreeXL counts to another day (it takes every fourth year for a leap year, and gives days
  // before a calendar's first as that first day).
  bool HasCellsFreexlReadsOtherwise() const { return freexl_reads_otherwise_; }

  // The sheet at 0-based `index` as a grid, cells typed as the FreeXL path types them, except
  // that a formula gives its cached result (number, text, boolean as 0/1). Throws BiffError for
  // a damaged substream (a number cell holding an infinity or NaN included); REQUIRES: index <
  // SheetNames().size().
  SheetGrid ReadGrid(unsigned index) const;

 private:
  struct Sheet {
    std::string name;
    uint32_t offset = 0;
  };
  enum class DateKind { kNone, kDate, kDateTime, kTime };

  // BIFF5 text of the workbook's code page in UTF-8; a byte the code page leaves undefined
  // becomes U+FFFD.
  std::string Text8(const uint8_t* bytes, size_t count) const;
  DateKind KindOfXf(uint16_t xf) const;
  // What FreeXL makes of the same XF; nullopt where its reading cannot be foreseen.
  std::optional<DateKind> FreexlKindOfXf(uint16_t xf) const;
  struct XfReading {
    bool judged = false;
    DateKind kind = DateKind::kNone;
    bool freexl_otherwise = false;  // FreeXL takes the XF for another kind, or its take is unknown
  };
  // KindOfXf and FreexlKindOfXf of an XF, worked out on its first cell: both walk the formats.
  const XfReading& ReadingOfXf(uint16_t xf) const;
  runtime::Valor NumberCell(double value, uint16_t xf) const;
  static runtime::Valor DateOfKind(DateKind kind, int year, int month, int day, int hour,
                                   int minute, int second);
  // A date-formatted number as a date of this reader, or as the number when it names no day.
  runtime::Valor DateCell(double value, DateKind kind) const;
  // The same number as FreeXL gives it to the program.
  runtime::Valor FreexlDateCell(double value, DateKind kind) const;
  // Walks the substream of sheet `index`; fills `grid` unless it is null (a check only).
  void ReadSheetRecords(unsigned index, SheetGrid* grid) const;

  std::vector<uint8_t> stream_;
  bool biff8_ = true;
  bool date1904_ = false;
  std::string code_page_ = "CP1252";  // as iconv names it
  mutable std::shared_ptr<runtime::CodePageConverter> text8_;  // for code_page_, made on first use
  std::vector<Sheet> sheets_;
  std::vector<std::string> sst_;
  std::vector<uint16_t> xf_formats_;
  std::vector<std::pair<uint16_t, std::string>> formats_;
  mutable std::vector<XfReading> xf_readings_;  // by XF index, made on the first number cell
  mutable bool dates_out_of_range_ = false;
  mutable bool cells_outside_dimensions_ = false;
  mutable bool irregular_layout_ = false;
  mutable bool freexl_reads_otherwise_ = false;
  mutable size_t sheets_end_ = 0;  // where the last sheet substream read so far ends
};

}  // namespace sheet::internal
