// The .xls reader on the real workbooks in tests/data/xls: the ones FreeXL reads give
// their cells (text in several scripts, numbers, dates in both date systems, formulas as empty),
// the encrypted, corrupt and unsupported ones are refused with an error naming file and reason.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/runtime/conversions.h"
#include "platform/runtime/dates.h"
#include "platform/runtime/vb_error.h"
#include "platform/sheet/internal/biff_reader.h"
#include "platform/sheet/internal/compound_file.h"
#include "platform/sheet/xls_reader.h"
#include "platform/sheet/xls_writer.h"
#include "tests/platform/runtime/error_of.h"
#include "tests/platform/sheet/sheet_test_support.h"

namespace sheet {
namespace {

using runtime::Valor;
using test_support::Show;

std::string DataFile(const std::string& name) {
  return std::string(CONSOLIDA_TEST_DATA_DIR) + "/xls/" + name;
}

// Expected cells of the first sheet, written as "row,col=value" (1-based), the value as Show
// renders it.
struct ReadableCase {
  const char* file;
  const char* sheet;
  unsigned rows, columns;
  std::vector<std::pair<std::pair<unsigned, unsigned>, std::string>> cells;
};

TEST(XlsReaderTest, ReadsTheFirstSheetOfReadableWorkbooks) {
  const std::vector<ReadableCase> cases = {
      {"TestUnicodeChars.xls", "Sheet1", 3, 8,
       {{{1, 8}, "'col8'"}, {{2, 1}, "'éЗ'"}, {{2, 6}, "null"}, {{3, 3}, "'ةةلك'"}}},
      {"formula_test_sjmachin.xls", "Sheet1", 8, 2,
       {{{2, 2}, "'МОСКВА Москва'"}, {{3, 2}, "null"}}},  // a formula: no cached result
      {"Uncalculated.xls", "Uncalculated", 2, 5,
       {{{1, 5}, "'C'"}, {{2, 3}, "3"}, {{2, 5}, "null"}}},
      {"Test_Encoding_Formula_Date_1520.xls", "Sheet1", 9, 6,
       {{{1, 5}, "'Time'"}, {{3, 2}, "#01/02/1999#"}, {{3, 3}, "1.2313"},
        {{6, 1}, "'Изображение дня'"}}},
      // 1904 date system: 42735 is 01/01/2021 there (it would be 31/12/2016 in 1900).
      {"date_1904.xls", "Sheet1", 3, 2,
       {{{1, 1}, "#01/01/2021#"}, {{2, 1}, "#02/01/2021#"}, {{1, 2}, "15"}}},
      // Workbook order is Sheet2, Sheet1, Sheet3: the first sheet is Sheet2.
      {"TestMultiSheet.xls", "Sheet2", 12, 4, {{{1, 1}, "1"}, {{12, 4}, "1"}}},
      {"Test_num_double_date_bool_string.xls", "Sheet1", 30, 6,
       {{{1, 2}, "1.02"}, {{1, 3}, "#11/05/2009#"}, {{2, 3}, "null"}}},
      {"any_sheets.xls", "Visible", 5, 2, {{{1, 1}, "1"}, {{3, 2}, "6"}, {{4, 1}, "null"}}},
      // A first sheet holding only pictures has no cells.
      {"TestTableOnlyImage_x01oct2016.xls", "Introduction", 0, 0, {}},
      // FreeXL refuses the next ones (a chart inside a sheet, BIFF5 with a Macintosh code page,
      // BIFF5 without one); they are read from their records, with the values the office suite
      // shows.
      {"Formate.xls", "Blätt1", 10, 3,
       {{{1, 2}, "#03/07/1907#"}, {{2, 1}, "'Äcker'"}, {{4, 2}, "#06:34:00#"},
        {{6, 2}, "#17:47:13#"}, {{7, 2}, "0.974"}, {{10, 2}, "1.2"}}},
      // Booleans read as 0/1; "0.3" is stored as text. The date cell holds 14:30 too, but its
      // format (built-in 14) shows the day only, so only the day is read, as through FreeXL.
      {"biff5_write.xls", "SheetJS", 4, 4,
       {{{1, 3}, "3"}, {{1, 4}, "null"}, {{2, 1}, "1"}, {{2, 2}, "0"}, {{2, 4}, "'sheetjs'"},
        {{3, 3}, "#19/02/2014#"}, {{3, 4}, "'0.3'"}}},
      // Three rows of empty text follow the data.
      {"Test_git_issue_158.xls", "CETOP", 15, 5,
       {{{2, 1}, "null"}, {{4, 3}, "#10/09/2016#"}, {{6, 5}, "'Minimum'"}, {{7, 2}, "0"},
        {{7, 3}, "1599.16191414219"}, {{15, 1}, "''"}}},
      // An empty text cell reads as an empty string, not as an empty cell.
      {"Test_git_issue_231_NoCodePage.xls", "file excel senza nome", 5, 11,
       {{{1, 11}, "'collana'"}, {{2, 1}, "25250"}, {{2, 5}, "''"}, {{2, 7}, "14.9"},
        {{2, 8}, "'9788837089733'"}, {{2, 10}, "#15/02/2016#"},
        {{4, 2}, "'L'amicizia e l'amore. SV06'"}}},
  };
  for (const ReadableCase& c : cases) {
    SCOPED_TRACE(c.file);
    const SheetGrid grid = ReadSheet(DataFile(c.file));
    EXPECT_EQ(grid.name, c.sheet);
    ASSERT_EQ(grid.row_count, c.rows);
    ASSERT_EQ(grid.column_count, c.columns);
    ASSERT_EQ(grid.rows.size(), c.rows);
    for (const auto& row : grid.rows) ASSERT_EQ(row.size(), c.columns);
    for (const auto& [at, expected] : c.cells) {
      SCOPED_TRACE(std::to_string(at.first) + "," + std::to_string(at.second));
      EXPECT_EQ(Show(grid.rows.at(at.first - 1).at(at.second - 1)), expected);
    }
  }
}

TEST(XlsReaderTest, ListsEverySheetInWorkbookOrder) {
  EXPECT_EQ(SheetNames(DataFile("Formate.xls")),
            (std::vector<std::string>{"Blätt1", "ÖÄÜ", "Blätt3", "Formate"}));
  EXPECT_EQ(SheetNames(DataFile("TestMultiSheet.xls")),
            (std::vector<std::string>{"Sheet2", "Sheet1", "Sheet3"}));
  EXPECT_EQ(SheetNames(DataFile("any_sheets.xls")),
            (std::vector<std::string>{"Visible", "Hidden", "VeryHidden", "Chart"}));
  const SheetGrid second = ReadSheet(DataFile("TestMultiSheet.xls"), 1);
  EXPECT_EQ(second.name, "Sheet1");
  EXPECT_EQ(Show(second.rows.at(0).at(0)), "2");
}

TEST(XlsReaderTest, RefusesUnreadableFilesAndMissingSheetsNamingFileAndReason) {
  test_support::TempFolder folder("consolida-sheet-refuse");
  const std::string text_file = folder.File("notas.xls");
  std::ofstream(text_file) << "Unico;CUIT\n1;2\n";
  const std::string empty_file = folder.File("vacio.xls");
  std::ofstream{empty_file};

  struct Case {
    std::string path;
    long number;
    std::string reason;  // part of the description
  };
  const std::vector<Case> cases = {
      {DataFile("Test_git_issue_242_std_rc4_pwd_password.xls"), kErrUnreadableWorkbook,
       "contraseña"},
      {DataFile("Test_Issue_12556_corrupt.xls"), kErrUnreadableWorkbook, "dañado"},
      {text_file, kErrUnreadableWorkbook, "no es un libro de Excel"},
      {empty_file, kErrUnreadableWorkbook, "no es un libro de Excel"},
      {folder.File("no_existe.xls"), runtime::kVbFileNotFound, "No se encontró el archivo"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    for (const auto& call : {std::function<void()>([&] { ReadFirstWorksheet(c.path); }),
                             std::function<void()>([&] { SheetNames(c.path); })}) {
      const runtime::VbError e = test_support::ErrorOf(call);
      EXPECT_EQ(e.Number(), c.number);
      EXPECT_NE(e.Description().find(c.path), std::string::npos) << e.Description();
      EXPECT_NE(e.Description().find(c.reason), std::string::npos) << e.Description();
    }
  }
  const runtime::VbError e = test_support::ErrorOf([] { ReadSheet(DataFile("Uncalculated.xls"), 1); });
  EXPECT_EQ(e.Number(), kErrUnreadableWorkbook);
  EXPECT_NE(e.Description().find("hoja 2"), std::string::npos) << e.Description();
}

// The stream with `remove` bytes at `at` replaced by `insert`, the sheet offsets the BOUNDSHEET
// records give moved along.
std::vector<uint8_t> Splice(const std::vector<uint8_t>& stream, size_t at, size_t remove,
                            const std::vector<uint8_t>& insert) {
  std::vector<uint8_t> out = stream;
  out.erase(out.begin() + static_cast<long>(at), out.begin() + static_cast<long>(at + remove));
  out.insert(out.begin() + static_cast<long>(at), insert.begin(), insert.end());
  const long shift = static_cast<long>(insert.size()) - static_cast<long>(remove);
  for (const test_support::Record& r : test_support::RecordsWithId(test_support::ParseRecords(stream), 0x0085)) {
    if (r.offset >= at && r.offset < at + remove) continue;
    const size_t data = (r.offset < at ? r.offset : static_cast<size_t>(static_cast<long>(r.offset) + shift)) + 4;
    if (r.U32(0) <= at) continue;
    const auto offset = static_cast<uint32_t>(static_cast<long>(r.U32(0)) + shift);
    for (int b = 0; b < 4; ++b) out[data + static_cast<size_t>(b)] = static_cast<uint8_t>(offset >> (8 * b));
  }
  return out;
}

// Writes `stream` as the Workbook stream of a compound file at `path`.
void SaveStream(const std::vector<uint8_t>& stream, const std::string& path) {
  const std::vector<uint8_t> bytes = internal::BuildCompoundFile(stream);
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
}

// Workbooks laid out in ways FreeXL mishandles (a worksheet without its DIMENSIONS record or
// with two, an end-of-stream marker inside a sheet) read every sheet as the plain workbook does.
// FreeXL read the sheets after such a place as empty, or emptied another sheet, and leaked.
TEST(XlsReaderTest, IrregularLayoutsReadEverySheetWhole) {
  std::ifstream in(DataFile("TestMultiSheet.xls"), std::ios::binary);
  const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
  const std::vector<uint8_t> stream = internal::ReadCompoundStream(file, "Workbook").value();
  const std::vector<test_support::Record> records = test_support::ParseRecords(stream);
  auto first_after = [&](size_t from, uint16_t id) -> const test_support::Record& {
    for (const test_support::Record& r : records) {
      if (r.offset > from && r.id == id) return r;
    }
    throw std::logic_error("no record " + std::to_string(id) + " after " + std::to_string(from));
  };
  const size_t second_sheet = first_after(first_after(first_after(0, 0x0085).offset, 0x0809).offset, 0x0809).offset;
  const test_support::Record& dimensions_found = first_after(second_sheet, 0x0200);
  const size_t dimensions = dimensions_found.offset;
  const size_t dimensions_length = 4 + dimensions_found.data.size();
  const std::vector<uint8_t> dimensions_record(stream.begin() + static_cast<long>(dimensions),
                                               stream.begin() + static_cast<long>(dimensions + dimensions_length));
  struct Case {
    const char* what;
    std::vector<uint8_t> stream;
  };
  const std::vector<Case> cases = {
      {"sin DIMENSIONS", Splice(stream, dimensions, dimensions_length, {})},
      {"DIMENSIONS dos veces", Splice(stream, dimensions, 0, dimensions_record)},
      {"marca de fin dentro de la hoja", Splice(stream, dimensions + dimensions_length, 0, {0, 0, 0, 0})},
  };
  const std::string original = DataFile("TestMultiSheet.xls");
  test_support::TempFolder folder("consolida-sheet-layout");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = folder.File(std::string(c.what) + ".xls");
    SaveStream(c.stream, path);
    ASSERT_EQ(SheetNames(path), SheetNames(original));
    for (unsigned k = 0; k < 3; ++k) {
      const SheetGrid want = ReadSheet(original, k);
      const SheetGrid got = ReadSheet(path, k);
      ASSERT_GT(want.row_count, 0u);
      ASSERT_EQ(got.row_count, want.row_count) << "hoja " << k;
      ASSERT_EQ(got.column_count, want.column_count) << "hoja " << k;
      for (size_t r = 0; r < want.rows.size(); ++r) {
        for (size_t col = 0; col < want.rows[r].size(); ++col) {
          EXPECT_EQ(Show(got.rows[r][col]), Show(want.rows[r][col])) << "hoja " << k << " " << r << "," << col;
        }
      }
    }
  }
}

// Date-formatted numbers read the same through FreeXL and through the record reader, the first
// two months of 1900 included (the spreadsheet's calendar counts a 29 February 1900 there); a
// number naming no day of that calendar (60, or below 1) reads as the number itself; a day
// FreeXL would count otherwise is read from the records.
TEST(XlsReaderTest, DateCellsReadAsTheSpreadsheetShowsThem) {
  Workbook book;
  const std::vector<runtime::DateSerial> dates = {
      runtime::MakeDate(1900, 1, 1, 12, 0, 0), runtime::MakeDate(1900, 2, 28),
      runtime::MakeDate(1900, 3, 1), runtime::MakeDate(2026, 12, 7)};
  for (size_t k = 0; k < dates.size(); ++k) book.SetValue(static_cast<int>(k) + 1, 1, Valor::Date(dates[k]));
  test_support::TempFolder folder("consolida-sheet-dates");
  const std::string path = folder.File("fechas.xls");
  book.Save(path);
  const SheetGrid through_freexl = ReadSheet(path);
  const SheetGrid from_records = internal::BiffWorkbook(book.WorkbookStream()).ReadGrid(0);
  for (size_t k = 0; k < dates.size(); ++k) {
    EXPECT_EQ(Show(through_freexl.rows.at(k).at(0)), Show(Valor::Date(dates[k])));
    EXPECT_EQ(Show(from_records.rows.at(k).at(0)), Show(Valor::Date(dates[k])));
  }

  // The first three cells' numbers replaced in their NUMBER records.
  std::vector<uint8_t> stream = book.WorkbookStream();
  const std::vector<double> numbers = {60, 0.25, -3};
  size_t replaced = 0;
  for (const test_support::Record& r : test_support::RecordsWithId(test_support::ParseRecords(stream), 0x0203)) {
    const uint16_t row = r.U16(0);
    if (row >= numbers.size()) continue;
    std::memcpy(&stream[r.offset + 4 + 6], &numbers[row], sizeof(double));
    ++replaced;
  }
  ASSERT_EQ(replaced, numbers.size());
  const std::string patched = folder.File("numeros.xls");
  SaveStream(stream, patched);
  const SheetGrid grid = ReadSheet(patched);
  EXPECT_EQ(Show(grid.rows.at(0).at(0)), "60");
  EXPECT_EQ(Show(grid.rows.at(1).at(0)), "0.25");
  EXPECT_EQ(Show(grid.rows.at(2).at(0)), "-3");
  EXPECT_EQ(Show(grid.rows.at(3).at(0)), Show(Valor::Date(dates[3])));

  // A day FreeXL counts otherwise (it takes 2100 for a leap year) is read from the records.
  Workbook later;
  later.SetValue(1, 1, Valor::Date(runtime::MakeDate(2100, 3, 2)));
  const std::string later_path = folder.File("posteriores.xls");
  later.Save(later_path);
  EXPECT_EQ(Show(ReadSheet(later_path).rows.at(0).at(0)), "#02/03/2100#");
}

// Number formats read as the spreadsheet shows them, whichever reader takes the workbook: a
// quoted word is text ("0 \"meses\"" is a number of months, not a time), a year and a day make a
// date. FreeXL judges formats by their letters alone.
TEST(XlsReaderTest, NumberFormatsReadAsTheSpreadsheetShowsThem) {
  Workbook book;
  book.SetValue(1, 1, Valor::Date(runtime::MakeDate(2016, 12, 31)));
  book.SetValue(2, 1, Valor::Date(runtime::MakeDate(2016, 12, 31)));
  book.SetFont(2, 1, Font{.bold = true});  // its own XF
  std::vector<uint8_t> stream = book.WorkbookStream();
  // The two cells' XFs get formats 164 and 165, which FORMAT records before the XFs define.
  std::vector<unsigned> xfs;
  for (const test_support::Record& r : test_support::RecordsWithId(test_support::ParseRecords(stream), 0x0203)) {
    xfs.push_back(r.U16(4));
  }
  ASSERT_EQ(xfs.size(), 2u);
  ASSERT_NE(xfs[0], xfs[1]);
  const std::vector<test_support::Record> xf_records =
      test_support::RecordsWithId(test_support::ParseRecords(stream), 0x00E0);
  ASSERT_GT(xf_records.size(), std::max(xfs[0], xfs[1]));
  for (unsigned k = 0; k < 2; ++k) {
    stream[xf_records[xfs[k]].offset + 4 + 2] = static_cast<uint8_t>(164 + k);
    stream[xf_records[xfs[k]].offset + 4 + 3] = 0;
  }
  const size_t first_xf = xf_records.front().offset;
  auto format = [](unsigned id, const std::string& text) {
    std::vector<uint8_t> rec = {0x1E, 0x04, static_cast<uint8_t>(5 + text.size()), 0,
                                static_cast<uint8_t>(id), static_cast<uint8_t>(id >> 8),
                                static_cast<uint8_t>(text.size()), 0, 0};
    rec.insert(rec.end(), text.begin(), text.end());
    return rec;
  };
  std::vector<uint8_t> formats = format(164, "0 \"meses\"");
  const std::vector<uint8_t> second = format(165, "dd yy");
  formats.insert(formats.end(), second.begin(), second.end());
  stream = Splice(stream, first_xf, 0, formats);

  test_support::TempFolder folder("consolida-sheet-formats");
  const std::string path = folder.File("formatos.xls");
  SaveStream(stream, path);
  const SheetGrid grid = ReadSheet(path);
  EXPECT_EQ(Show(grid.rows.at(0).at(0)), "42735");
  EXPECT_EQ(Show(grid.rows.at(1).at(0)), "#31/12/2016#");
}

// A sample sheet as the analysts keep it: a header row with a blank cell, one row per company,
// a blank row in the middle and an empty trailing row of formatted cells. Numeric headers (a
// real workbook) become their text.
TEST(XlsReaderTest, FirstRowNamesTheColumns) {
  Workbook book;
  const std::vector<std::string> header = {"CUIT", "Unico", "Form", "Periodo", "", "PI"};
  for (size_t c = 0; c < header.size(); ++c) book.SetText(1, static_cast<int>(c) + 1, header[c]);
  book.SetNumber(2, 1, 30123456789.0);
  book.SetNumber(2, 6, 0.75);
  book.SetText(4, 2, "E002");
  book.SetFill(5, 1, 6);
  test_support::TempFolder folder("consolida-sheet-table");
  book.Save(folder.File("Muestras.xls"));

  const SheetTable table = ReadFirstWorksheet(folder.File("Muestras.xls"));
  EXPECT_EQ(table.sheet_name, "Hoja1");
  EXPECT_EQ(table.columns,
            (std::vector<std::string>{"CUIT", "Unico", "Form", "Periodo", "F5", "PI"}));
  std::string rows;
  for (const auto& row : table.rows) {
    for (const Valor& v : row) rows += Show(v) + ";";
    rows += "\n";
  }
  EXPECT_EQ(rows, "30123456789;null;null;null;null;0.75;\nnull;'E002';null;null;null;null;\n");
  for (const auto& [name, index] : {std::pair{"unico", 1}, {"PERIODO", 3}, {"F5", 4}, {"Auto", -1},
                                    {"", -1}}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(table.ColumnIndex(name), index);
  }
  const SheetTable real = ReadFirstWorksheet(DataFile("any_sheets.xls"));
  EXPECT_EQ(real.columns, (std::vector<std::string>{"1", "2"}));
  ASSERT_EQ(real.rows.size(), 3u);  // rows 2, 3 and 5; row 4 is empty
  EXPECT_EQ(Show(real.rows[2][0]),
            "'This workbook contains 4 sheets: Visible, Hidden, VeryHidden and Chart'");
}

}  // namespace
}  // namespace sheet
