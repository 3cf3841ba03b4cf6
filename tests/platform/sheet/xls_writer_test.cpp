// Workbooks written by sheet::Workbook and read back through FreeXL (the reader module): values,
// cell kinds, shared strings split over CONTINUE records, big sheets past the header's FAT
// capacity, and the arguments the writer refuses.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "platform/runtime/conversions.h"
#include "platform/runtime/dates.h"
#include "platform/runtime/vb_error.h"
#include "platform/sheet/internal/compound_file.h"
#include "platform/sheet/xls_reader.h"
#include "platform/sheet/xls_writer.h"
#include "tests/platform/runtime/error_of.h"
#include "tests/platform/sheet/sheet_test_support.h"

namespace sheet {
namespace {

using runtime::Valor;
using test_support::Show;
using test_support::TempFolder;

SheetGrid SaveAndRead(const Workbook& book, const TempFolder& folder, const std::string& name) {
  const std::string path = folder.File(name);
  book.Save(path);
  return ReadSheet(path);
}

TEST(XlsWriterTest, ValuesReadBackWithTheirKinds) {
  struct Case {
    const char* what;
    Valor value;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"accents", Valor::String("Año Económico ñandú"), "'Año Económico ñandú'"},
      {"outside the BMP", Valor::String("x\xF0\x9F\x98\x80y"), "'x\xF0\x9F\x98\x80y'"},
      {"bad utf-8 byte", Valor::String("a\xFF" "b"), "'a\xEF\xBF\xBD" "b'"},
      {"leading blanks kept", Valor::String("  27"), "'  27'"},
      {"integer", Valor::Long(20051), "20051"},
      {"negative double", Valor::Double(-1234.5678), "-1234.5678"},
      {"large double", Valor::Double(9.87654321e20), "9.87654321E+20"},
      {"currency", Valor::Currency({12345}), "1.2345"},
      {"decimal", Valor::Decimal(0.75, 2), "0.75"}, {"single", Valor::Single(0.5f), "0.5"},
      {"boolean true", Valor::Boolean(true), "1"},
      {"date", Valor::Date(runtime::MakeDate(2005, 12, 31)), "#31/12/2005#"},
      {"date and time", Valor::Date(runtime::MakeDate(2006, 1, 2, 13, 45, 10)),
       "#02/01/2006 13:45:10#"},
      // Around the 29 February 1900 the spreadsheet counts and the calendar does not.
      {"first day of 1900", Valor::Date(runtime::MakeDate(1900, 1, 1, 12, 0, 0)), "#01/01/1900 12:00:00#"},
      {"28 February 1900", Valor::Date(runtime::MakeDate(1900, 2, 28)), "#28/02/1900#"},
      {"1 March 1900", Valor::Date(runtime::MakeDate(1900, 3, 1)), "#01/03/1900#"},
      {"null", Valor::Null(), "null"}, {"empty", Valor(), "null"},
      {"empty text", Valor::String(""), "null"},
  };
  Workbook book;
  for (size_t k = 0; k < cases.size(); ++k) {
    book.SetText(static_cast<int>(k) + 1, 1, cases[k].what);
    book.SetValue(static_cast<int>(k) + 1, 2, cases[k].value);
  }
  TempFolder folder("consolida-sheet-values");
  const SheetGrid grid = SaveAndRead(book, folder, "values.xls");
  ASSERT_EQ(grid.row_count, cases.size());
  ASSERT_EQ(grid.column_count, 2u);
  for (size_t k = 0; k < cases.size(); ++k) {
    SCOPED_TRACE(cases[k].what);
    EXPECT_EQ(Show(grid.rows[k][0]), "'" + std::string(cases[k].what) + "'");
    EXPECT_EQ(Show(grid.rows[k][1]), cases[k].expected);
  }
}

TEST(XlsWriterTest, LaterValuesReplaceEarlierOnesAndGapsStayEmpty) {
  Workbook book("Resultados");
  book.SetText(1, 1, "primero");
  book.SetNumber(1, 1, 7);          // a number replaces a text
  book.SetNumber(2, 3, 1);
  book.SetText(2, 3, "texto");      // and a text a number
  book.SetText(3, 2, "borrar");
  book.ClearValue(3, 2);
  book.SetText(4, 4, "último");
  book.SetFont(5, 1, Font{.bold = true});  // formatting alone gives an empty cell

  TempFolder folder("consolida-sheet-replace");
  const SheetGrid grid = SaveAndRead(book, folder, "r.xls");
  EXPECT_EQ(grid.name, "Resultados");
  ASSERT_EQ(grid.row_count, 5u);
  ASSERT_EQ(grid.column_count, 4u);
  std::string rendered;
  for (const auto& row : grid.rows) {
    for (const Valor& v : row) rendered += Show(v) + ";";
    rendered += "\n";
  }
  EXPECT_EQ(rendered,
            "7;null;null;null;\n"
            "null;null;'texto';null;\n"
            "null;null;null;null;\n"
            "null;null;null;'último';\n"
            "null;null;null;null;\n");
}

TEST(XlsWriterTest, SheetNamesAreMadeValidAndAnEmptyWorkbookOpens) {
  struct Case {
    std::string given, expected;
  };
  const std::vector<Case> cases = {
      {"Año 2005", "Año 2005"}, {"", "Hoja1"}, {"a/b:c*d?e[f]g\\h", "a_b_c_d_e_f_g_h"},
      {std::string(40, 'x'), std::string(31, 'x')},
  };
  TempFolder folder("consolida-sheet-names");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.given);
    Workbook book(c.given);
    book.SetNumber(1, 1, 1);
    EXPECT_EQ(SaveAndRead(book, folder, "n.xls").name, c.expected);
  }
  const SheetGrid empty = SaveAndRead(Workbook(), folder, "e.xls");  // an empty workbook opens
  EXPECT_EQ(empty.name, "Hoja1");
  EXPECT_EQ(empty.row_count, 0u);
  EXPECT_EQ(empty.column_count, 0u);
}

// Many distinct strings and a long one force the shared-string table across CONTINUE records,
// with a string's characters split between two records. (FreeXL itself cannot read one string
// spread over three records, so the long text stays under one record's worth of bytes.)
TEST(XlsWriterTest, SharedStringsSpanContinueRecords) {
  Workbook book;
  const int kRows = 3000;
  for (int r = 1; r <= kRows; ++r) {
    book.SetText(r, 1, "Empresa Nº " + std::to_string(r));   // one byte per character
    book.SetText(r, 2, "Москва " + std::to_string(r % 50));  // two bytes, repeated
  }
  std::string long_text;
  while (long_text.size() < 8000) long_text += "Жñ";  // 4000 two-byte units
  book.SetText(kRows + 1, 1, long_text);

  TempFolder folder("consolida-sheet-sst");
  const SheetGrid grid = SaveAndRead(book, folder, "sst.xls");
  ASSERT_EQ(grid.row_count, static_cast<unsigned>(kRows + 1));
  for (int r : {1, 1500, kRows}) {
    SCOPED_TRACE(r);
    EXPECT_EQ(Show(grid.rows[r - 1][0]), "'Empresa Nº " + std::to_string(r) + "'");
    EXPECT_EQ(Show(grid.rows[r - 1][1]), "'Москва " + std::to_string(r % 50) + "'");
  }
  EXPECT_EQ(Show(grid.rows[kRows][0]), "'" + long_text + "'");
}

TEST(XlsWriterTest, TextIsCutAtTheCellLimit) {
  struct Case {
    const char* what;
    std::string text;
    uint16_t stored_units;
  };
  // "😀" is two UTF-16 units: a pair that would straddle the limit is left out whole.
  const std::vector<Case> cases = {
      {"one byte", std::string(40000, 'z'), kMaxTextLength},
      {"exactly the limit", std::string(kMaxTextLength, 'z'), kMaxTextLength},
      {"pair at the limit", std::string(kMaxTextLength - 1, 'z') + "\xF0\x9F\x98\x80",
       kMaxTextLength - 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Workbook book;
    book.SetText(1, 1, c.text);
    const auto records = test_support::ParseRecords(book.WorkbookStream());
    const auto sst = test_support::RecordsWithId(records, 0x00FC);
    ASSERT_EQ(sst.size(), 1u);
    EXPECT_EQ(sst[0].U16(8), c.stored_units) << "character count of the one string";
  }
}

// A Workbook stream over 109 FAT sectors' worth (about 7 MB) needs DIFAT sectors in the
// container; 60,000 rows of 10 numbers make about 9 MB.
TEST(XlsWriterTest, StreamsPastSevenMegabytesUseDifatSectors) {
  Workbook book;
  const int kRows = 60000, kColumns = 10;
  for (int r = 1; r <= kRows; ++r) {
    for (int c = 1; c <= kColumns; ++c) book.SetNumber(r, c, r + c / 100.0);
  }
  const std::vector<uint8_t> stream = book.WorkbookStream();
  ASSERT_GT(stream.size(), 109u * 128u * 512u);
  const std::vector<uint8_t> file = book.FileBytes();
  EXPECT_NE(file[0x48] | file[0x49] << 8, 0) << "no DIFAT sector declared";
  const auto inner = internal::ReadCompoundStream(file, "Workbook");
  ASSERT_TRUE(inner.has_value());
  EXPECT_TRUE(*inner == stream);

  TempFolder folder("consolida-sheet-difat");
  const SheetGrid grid = SaveAndRead(book, folder, "difat.xls");
  ASSERT_EQ(grid.row_count, static_cast<unsigned>(kRows));
  for (int r : {1, 30000, kRows}) {
    for (int c : {1, kColumns}) {
      SCOPED_TRACE(std::to_string(r) + "," + std::to_string(c));
      EXPECT_EQ(grid.rows[r - 1][c - 1].AsDouble(), r + c / 100.0);
    }
  }
}

TEST(XlsWriterTest, RefusesWhatTheSpreadsheetRefuses) {
  const std::function<void(Workbook&)> calls[] = {
      [](Workbook& b) { b.SetText(0, 1, "x"); }, [](Workbook& b) { b.SetNumber(1, 0, 1); },
      [](Workbook& b) { b.SetNumber(kMaxRows + 1, 1, 1); },
      [](Workbook& b) { b.SetFill(1, kMaxColumns + 1, 2); },
      [](Workbook& b) { b.SetNumber(1, 1, std::nan("")); },
      [](Workbook& b) { b.SetNumber(1, 1, HUGE_VAL); }, [](Workbook& b) { b.SetFill(1, 1, 57); },
      [](Workbook& b) { b.SetFont(1, 1, Font{.color_index = kColorIndexNone}); },
      [](Workbook& b) { b.SetFont(1, 1, Font{.points = 0}); },
      [](Workbook& b) { b.SetBorder(1, 1, Edge::kTop, BorderLine{.line_style = 99}); },
      [](Workbook& b) { b.SetBorder(1, 1, Edge::kTop, BorderLine{kContinuous, 3}); },
      [](Workbook& b) { b.SetColumnWidth(1, 300); },
  };
  for (size_t k = 0; k < std::size(calls); ++k) {
    SCOPED_TRACE(k);
    Workbook book;
    EXPECT_EQ(test_support::ErrorNumberOf([&] { calls[k](book); }), kErrBadCellArgument);
  }
}

TEST(XlsWriterTest, LimitsTheNumberOfFonts) {
  Workbook book;
  size_t accepted = 0;
  try {
    for (int k = 0; k < 1000; ++k) {
      book.SetFont(1 + k, 1, Font{.points = 11 + k * 0.05});
      ++accepted;
    }
  } catch (const runtime::VbError& e) {
    EXPECT_EQ(e.Number(), kErrBadCellArgument);
  }
  EXPECT_EQ(accepted, kMaxFonts);
}

TEST(XlsWriterTest, SaveToAnUnwritablePlaceNamesThePath) {
  TempFolder folder("consolida-sheet-unwritable");
  const std::string path = folder.File("no_such_folder/out.xls");
  const runtime::VbError e = test_support::ErrorOf([&] { Workbook().Save(path); });
  EXPECT_EQ(e.Number(), runtime::kVbPathFileAccess);
  EXPECT_NE(e.Description().find(path), std::string::npos) << e.Description();
}

}  // namespace
}  // namespace sheet
