// Reads a whole dBase III/IV, Clipper, FoxPro 2.x or Visual FoxPro table (with its .dbt/.fpt memo
// file) into rows of VB values, with each column described as the FoxPro ODBC driver described it
// to ADO. Part of the DBF data source; never writes a file. It guesses nothing of a file's code
// page but one case: a code-page mark that no table lists, where it says what it assumed.
#pragma once

#include <string>
#include <vector>

#include "platform/sql/provider.h"

namespace dbf {

// The code page number of UTF-8 text (TableContents::code_page).
inline constexpr int kUtf8CodePage = 65001;

struct ReadOptions {
  // The code page of text in a table whose header records none (code-page mark 0). Also of a
  // table whose mark no table lists (0xF0, say, from tools that write UTF-8) unless its field
  // names and text are all valid UTF-8: then they are read as UTF-8.
  int default_code_page = 1252;
  // When not 0, the code page of every table's text whatever its header says: for files whose
  // header names the wrong code page.
  int forced_code_page = 0;
  // Deleted records are left out, as the driver does with SET DELETED ON; true returns them too.
  bool include_deleted = false;
};

struct TableContents {
  // Columns and the live records in file order. The hidden _NullFlags column is not reported.
  //
  // Column metadata (type / DefinedSize / Precision / NumericScale) and values, per DBF type:
  //   C        adChar 129          / width / 255 / 255   text, trailing blanks removed
  //   C binary adBinary 128        / width / 255 / 255   raw bytes (Visual FoxPro NOCPTRANS)
  //   V        adVarChar 200       / width / 255 / 255   text as stored
  //   N, F     adNumeric 131       / 19 / width / decimals   Decimal; blank (also blanks
  //                                                    around a lone point) = 0
  //   Y        adNumeric 131       / 19 / 19 / 4         Decimal (currency)
  //   I        adInteger 3         / 4 / 10 / 255        Long
  //   B (VFP)  adDouble 5          / 8 / 15 / 255        Double
  //   D        adDBDate 133        / 6 / 10 / 255        Date; blank = day 0 (text "00:00:00")
  //   T        adDBTimeStamp 135   / 16 / 19 / 0         Date with time; blank = day 0
  //   L        adBoolean 11        / 2 / 255 / 255       Boolean; blank = false
  //   M        adLongVarChar 201   / 2147483647 / 255 / 255   memo text; none = ""
  //            (binary memos: adLongVarBinary, raw bytes)
  //   G, P, W, B (dBase)  adLongVarBinary 205 / 2147483647 / 255 / 255   raw bytes as a String
  //   Q        adVarBinary 204     / width / 255 / 255   raw bytes as a String
  // Null only for a Visual FoxPro nullable column whose _NullFlags bit is set.
  sql::RowSet rows;
  int version = 0;              // header byte 0
  int code_page = 0;            // the code page the text was decoded with (kUtf8CodePage)
  long records_in_header = 0;   // the record count the header states
  long deleted_skipped = 0;     // deleted records left out
  // What the reader assumed where the file left it open (a code-page mark that no table lists),
  // one description each, naming the file as the errors do. The table was read all the same.
  std::vector<std::string> notices;
};

// Reads the table at `path`. Throws runtime::VbError (number kOdbcErrorNumber, source
// kOdbcErrorSource of data_source.h) whose description names the file and the reason when the
// file cannot be opened, is not a DBF table, is cut short (header, field list, records, memo
// blocks), names a code page that cannot be decoded, holds a field type that is not known, or
// needs a memo file that is missing. Descriptions are in Spanish, as users read them.
TableContents ReadTable(const std::string& path, const ReadOptions& options = {});

}  // namespace dbf
