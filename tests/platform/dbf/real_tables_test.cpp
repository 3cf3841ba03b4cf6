// Reads every sample table in tests/data/dbf (tables written by other dBase, Clipper, FoxPro and
// Visual FoxPro software) and checks counts, column descriptions and real values of the first
// and last records: deleted records skipped, memo text found, text decoded.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/dbf/dbf_reader.h"
#include "platform/runtime/vb_error.h"
#include "tests/platform/dbf/dbf_test_support.h"

namespace {

using test_support::Render;
using test_support::SampleTable;

struct Cell {
  bool last_record;  // false: the first record returned
  std::string column;
  std::string expected;
  bool prefix = false;  // the value starts with `expected`
};

struct RealTable {
  std::string file;
  int default_code_page;  // for tables whose header records no code page
  int version;
  long records_in_header;
  size_t rows;
  long deleted;
  size_t columns;
  std::vector<Cell> cells;
};


std::string CellText(const sql::RowSet& rows, const Cell& cell) {
  for (size_t i = 0; i < rows.fields.size(); ++i) {
    if (rows.fields[i].name == cell.column) {
      return Render((cell.last_record ? rows.rows.back() : rows.rows.front())[i]);
    }
  }
  return "<no column " + cell.column + ">";
}

TEST(RealTables, EverySampleReadsWithItsRealValues) {
  const std::vector<RealTable> tables = {
      {"dbase_03.dbf", 1252, 0x03, 14, 14, 0, 31,
       {{false, "Point_ID", "0507121"}, {false, "Max_PDOP", "5.2"},
        {false, "Date_Visit", "12/07/2005"}, {true, "Point_ID", "05071236"},
        {true, "Condition", "Plugged"}}},
      {"dbase_83.dbf", 1252, 0x83, 67, 67, 0, 15,
       {{false, "ID", "87"}, {false, "NAME", "Assorted Petits Fours"},
        {false, "DESC", "Our Original assortment", true}, {false, "TAXABLE", "True"},
        {true, "NAME", "Trio of Biscotti"}, {true, "PRICE", "29.75"}}},
      {"dbase_8b.dbf", 1252, 0x8B, 10, 10, 0, 6,
       {{false, "CHARACTER", "One"}, {false, "DATE", "01/01/1970"},
        {false, "MEMO", "First memo", true}, {false, "FLOAT", "1.23456789", true},
        {true, "CHARACTER", "Ten records stored in this database"},
        {true, "DATE", "00:00:00"}, {true, "MEMO", ""}}},
      {"dbase_30.dbf", 1252, 0x30, 34, 34, 0, 145,
       {{false, "ACCESSNO", "1999.1"}, {false, "CAPTION", "Ear & Ernie Wedding 1942"},
        {false, "CLASSES", "Domestic Life\r\nWeddings", true}, {true, "CATBY", "Allen, Arthur"}}},
      {"dbase_31.dbf", 1252, 0x31, 77, 77, 0, 10,  // 11 fields in the file: _NullFlags is hidden
       {{false, "PRODUCTID", "1"}, {false, "PRODUCTNAM", "Chai"}, {false, "UNITPRICE", "18"},
        {false, "DISCONTINU", "False"}, {true, "PRODUCTID", "77"},
        {true, "PRODUCTNAM", "Original Frankfurter grüne So", true}}},
      {"dbase_32.dbf", 1252, 0x32, 1, 1, 0, 1, {{false, "NAME", "Bad Meets Evil"}}},
      {"dbase_f5.dbf", 850, 0xF5, 975, 975, 0, 59,
       {{false, "NOM", "joan-ramon"}, {false, "COMN", "baix penedès"},
        {false, "DATN", "13/01/1951"}, {true, "NF", "975"}, {true, "NOM", "antònia"}}},
      {"cp1251.dbf", 1252, 0x30, 4, 4, 0, 2,
       {{false, "NAME", "амбулаторно-поликлиническое"}, {true, "RN", "4"}}},
      {"mazovia.dbf", 1252, 0x30, 2, 2, 0, 2,
       {{false, "A2", "English"}, {true, "A1", "2020-01-04"}, {true, "A2", "Ś", true}}},
      {"calls.dbf", 1252, 0x30, 16, 16, 0, 6,
       {{false, "CALL_ID", "1"}, {false, "CALL_DATE", "21/11/1994 13:35:39"},
        {false, "SUBJECT", "Buy flavored coffees."},
        {false, "NOTES", "Nancy told me about their blends.", true},
        {true, "SUBJECT", "Shipment went to wrong address."}}},
      {"KUNDEN-schema-only.DBF", 1252, 0x03, 0, 0, 0, 49, {}},
      {"stations_with_deleted.dbf", 1252, 0x03, 6, 5, 1, 4,
       {{false, "name", "Franconia-Springfield"}, {false, "line", "blue"},
        {true, "name", "Metro Center"}, {true, "marker-col", "#ff0000"}}},
      {"dans-dbf-lib_dbase3plus_cars_del_cars.dbf", 1252, 0x83, 4, 3, 1, 6,
       {{false, "NAME", "PASSAT"}, {false, "DESCR", "THIS IS A DESCRIPTION OF PASSAT", true},
        {true, "NAME", ""}, {true, "YEAR", "0"}, {true, "SEDAN", "False"},
        {true, "PROD_DATE", "00:00:00"}, {true, "DESCR", ""}}},
      {"dans-dbf-lib_clipper5_cars.DBF", 1252, 0x83, 4, 4, 0, 6,
       {{false, "NAME", "PASSAT"}, {false, "PROD_DATE", "01/01/1977"},
        {false, "DESCR", "THIS IS A DESCRIPTION OF PASSAT, YEAR MODEL 1997AAAA", true},
        {true, "CC", "0"}}},
      {"rus.dbf", 866, 0xF5, 2, 2, 0, 6,
       {{false, "AUTHOR", "Мартин Фаулер,Кент Бек", true},
        {false, "BOOK", "Рефакторинг. Улучшение существующего кода"},
        {false, "PUBLISHER", "Addison-Wesley Professional"}, {false, "PAGES", "464"},
        {true, "DATE", "06/04/2009"}, {true, "BOOK", "Регулярные выражения. Сборник рецептов"}}},
      {"FPROALL.DBF", 1252, 0xF5, 4, 4, 0, 7,
       {{false, "CHAR", "first character"}, {false, "BOOLEAN", "True"},
        {false, "NUMERIC", "12.3456789", true}, {false, "DATE", "10/06/1999"},
        {false, "MEMO", "This is a string of characters in memo file"},
        {true, "DATE", "00:00:00"}, {true, "NUMERIC", "0"}}},
      {"KOE2.DBF", 1252, 0x8B, 0, 0, 0, 2, {}},
      {"go-dbase_TEST.DBF", 1252, 0x32, 3, 2, 1, 16,
       {{false, "PRODUCTID", "1"}, {false, "PRODNAME", "TEST PRODUCT"},
        {false, "PRICE", "12.3456"}, {false, "DOUBLE", "78.9"}, {false, "FLOAT", "123"},
        {false, "DESC", "PRODUCT DESCRIPTION"}, {false, "VAR_NIL", "Test value with variable length"},
        {false, "VAR", ""}, {false, "VARBIN_NIL", "\x11\x22\x33\x44\x55\x66\x77\x88\x99\xaa"},
        {true, "PRODNAME", "TEST"}, {true, "DATETIME", "10/10/2022 21:04:25"},
        {true, "VARBIN_NIL", "\xaa\xbb\xcc"}, {true, "VAR_NIL", "Lorem ipsum dolor sit amet", true}}},
      {"memotest.dbf", 1252, 0x30, 3, 2, 1, 3,
       {{false, "NAME", "Alice"}, {false, "MEMO", "Alice memo"}, {true, "NAME", "Bob"},
        {true, "BIRTHDATE", "12/11/1980"}, {true, "MEMO", "Bob memo"}}},
  };
  for (const RealTable& table : tables) {
    SCOPED_TRACE(table.file);
    dbf::ReadOptions options;
    options.default_code_page = table.default_code_page;
    dbf::TableContents contents;
    try {
      contents = dbf::ReadTable(SampleTable(table.file), options);
    } catch (const runtime::VbError& error) {
      ADD_FAILURE() << error.Description();
      continue;
    }
    EXPECT_EQ(contents.version, table.version);
    EXPECT_EQ(contents.records_in_header, table.records_in_header);
    EXPECT_EQ(contents.rows.rows.size(), table.rows);
    EXPECT_EQ(contents.deleted_skipped, table.deleted);
    EXPECT_EQ(contents.rows.fields.size(), table.columns);
    for (const auto& row : contents.rows.rows) ASSERT_EQ(row.size(), contents.rows.fields.size());
    for (const Cell& cell : table.cells) {
      SCOPED_TRACE((cell.last_record ? "last record, " : "first record, ") + cell.column);
      if (contents.rows.rows.empty()) break;
      std::string text = CellText(contents.rows, cell);
      if (cell.prefix) {
        EXPECT_EQ(text.substr(0, cell.expected.size()), cell.expected) << text;
      } else {
        EXPECT_EQ(text, cell.expected);
      }
    }
  }
}

// Columns as the FoxPro ODBC driver described them, on real tables with every type.
TEST(RealTables, ColumnsCarryTheDriverTypeSizePrecisionAndScale) {
  struct Expected {
    std::string file;
    std::string column;
    int type;
    long size;
    int precision;
    int scale;
  };
  const std::vector<Expected> cases = {
      {"go-dbase_TEST.DBF", "PRODUCTID", sql::adInteger, 4, 10, 255},
      {"go-dbase_TEST.DBF", "PRODNAME", sql::adChar, 20, 255, 255},
      {"go-dbase_TEST.DBF", "PRICE", sql::adNumeric, 19, 19, 4},
      {"go-dbase_TEST.DBF", "DOUBLE", sql::adDouble, 8, 15, 255},
      {"go-dbase_TEST.DBF", "DATE", sql::adDBDate, 6, 10, 255},
      {"go-dbase_TEST.DBF", "DATETIME", sql::adDBTimeStamp, 16, 19, 0},
      {"go-dbase_TEST.DBF", "INTEGER", sql::adNumeric, 19, 4, 2},  // a type F field
      {"go-dbase_TEST.DBF", "ACTIVE", sql::adBoolean, 2, 255, 255},
      {"go-dbase_TEST.DBF", "DESC", sql::adLongVarChar, 2147483647, 255, 255},
      {"go-dbase_TEST.DBF", "TAX", sql::adNumeric, 19, 8, 2},
      {"go-dbase_TEST.DBF", "BLOB", sql::adLongVarBinary, 2147483647, 255, 255},
      {"go-dbase_TEST.DBF", "VARBIN_NIL", sql::adVarBinary, 10, 255, 255},
      {"go-dbase_TEST.DBF", "VAR", sql::adVarChar, 10, 255, 255},
      {"FPROALL.DBF", "GENERAL", sql::adLongVarBinary, 2147483647, 255, 255},
      {"FPROALL.DBF", "FLOAT", sql::adNumeric, 19, 20, 15},
      {"KOE2.DBF", "B", sql::adLongVarBinary, 2147483647, 255, 255},  // dBase: a binary memo
      {"dbase_03.dbf", "Max_PDOP", sql::adNumeric, 19, 5, 1},
  };
  for (const Expected& expected : cases) {
    SCOPED_TRACE(expected.file + " " + expected.column);
    dbf::TableContents contents = dbf::ReadTable(SampleTable(expected.file));
    bool found = false;
    for (const sql::FieldInfo& field : contents.rows.fields) {
      if (field.name != expected.column) continue;
      found = true;
      EXPECT_EQ(field.type, expected.type);
      EXPECT_EQ(field.defined_size, expected.size);
      EXPECT_EQ(field.precision, expected.precision);
      EXPECT_EQ(field.numeric_scale, expected.scale);
    }
    EXPECT_TRUE(found);
  }
}

TEST(RealTables, CodePageFromTheHeaderOrTheDefault) {
  struct Case {
    std::string file;
    int default_code_page;
    int forced_code_page;
    int expected_code_page;
    std::string expected_text;  // first column of the first record
  };
  const std::vector<Case> cases = {
      {"cp1251.dbf", 850, 0, 1251, "1"},               // the header wins over the default
      {"KUNDEN-schema-only.DBF", 1252, 0, 437, ""},   // dBase language driver 0x1B
      {"dbase_f5.dbf", 1252, 0, 1252, "1"},           // mark 0: the default
      {"cp850.dbf", 1252, 850, 850, "Äöü!§$%&/"},     // the header says 1252, wrongly
      {"cp850.dbf", 1252, 0, 1252, "Ž”\xEF\xBF\xBD!õ$%&/"},  // read as the header says
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file + " forced " + std::to_string(c.forced_code_page));
    dbf::ReadOptions options;
    options.default_code_page = c.default_code_page;
    options.forced_code_page = c.forced_code_page;
    dbf::TableContents contents = dbf::ReadTable(SampleTable(c.file), options);
    EXPECT_EQ(contents.code_page, c.expected_code_page);
    if (!contents.rows.rows.empty()) {
      EXPECT_EQ(Render(contents.rows.rows[0][0]), c.expected_text);
    }
  }
}

TEST(RealTables, MazoviaLettersAreDecodedByTheBuiltInTable) {
  dbf::TableContents contents = dbf::ReadTable(SampleTable("mazovia.dbf"));
  const std::string text = Render(contents.rows.rows.back()[1]);
  EXPECT_EQ(text.substr(0, 2), "Ś");
  EXPECT_EQ(text.substr(text.size() - 2), "ś");
}

TEST(RealTables, DeletedRecordsComeBackWhenAsked) {
  dbf::ReadOptions options;
  options.include_deleted = true;
  dbf::TableContents contents =
      dbf::ReadTable(SampleTable("dans-dbf-lib_dbase3plus_cars_del_cars.dbf"), options);
  ASSERT_EQ(contents.rows.rows.size(), 4u);
  EXPECT_EQ(contents.deleted_skipped, 0);
  EXPECT_EQ(Render(contents.rows.rows[1][0]), "POLO");
}

}  // namespace
