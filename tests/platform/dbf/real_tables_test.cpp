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
       {{false, "Date_Visit", "12/07/2005"}, {true, "Condition", "Plugged"}}},
      {"dbase_83.dbf", 1252, 0x83, 67, 67, 0, 15,
       {{false, "DESC", "Our Original assortment", true}, {true, "PRICE", "29.75"}}},
      {"dbase_8b.dbf", 1252, 0x8B, 10, 10, 0, 6,
       {{false, "MEMO", "First memo", true}, {false, "FLOAT", "1.23456789", true},
        {true, "DATE", "00:00:00"}, {true, "MEMO", ""}}},
      {"dbase_30.dbf", 1252, 0x30, 34, 34, 0, 145,
       {{false, "CLASSES", "Domestic Life\r\nWeddings", true}, {true, "CATBY", "Allen, Arthur"}}},
      {"dbase_31.dbf", 1252, 0x31, 77, 77, 0, 10,  // 11 fields in the file: _NullFlags is hidden
       {{false, "UNITPRICE", "18"}, {true, "PRODUCTNAM", "Original Frankfurter grüne So", true}}},
      {"dbase_32.dbf", 1252, 0x32, 1, 1, 0, 1, {{false, "NAME", "Bad Meets Evil"}}},
      {"dbase_f5.dbf", 850, 0xF5, 975, 975, 0, 59,
       {{false, "COMN", "baix penedès"}, {true, "NOM", "antònia"}}},
      {"cp1251.dbf", 1252, 0x30, 4, 4, 0, 2, {{false, "NAME", "амбулаторно-поликлиническое"}}},
      {"mazovia.dbf", 1252, 0x30, 2, 2, 0, 2, {{true, "A2", "Ś", true}}},
      {"calls.dbf", 1252, 0x30, 16, 16, 0, 6,
       {{false, "CALL_DATE", "21/11/1994 13:35:39"},
        {false, "NOTES", "Nancy told me about their blends.", true}}},
      {"KUNDEN-schema-only.DBF", 1252, 0x03, 0, 0, 0, 49, {}},
      {"stations_with_deleted.dbf", 1252, 0x03, 6, 5, 1, 4, {{true, "marker-col", "#ff0000"}}},
      {"dans-dbf-lib_dbase3plus_cars_del_cars.dbf", 1252, 0x83, 4, 3, 1, 6,
       {{false, "DESCR", "THIS IS A DESCRIPTION OF PASSAT", true}, {true, "PROD_DATE", "00:00:00"}}},
      {"dans-dbf-lib_clipper5_cars.DBF", 1252, 0x83, 4, 4, 0, 6,
       {{false, "DESCR", "THIS IS A DESCRIPTION OF PASSAT, YEAR MODEL 1997AAAA", true}}},
      {"rus.dbf", 866, 0xF5, 2, 2, 0, 6,
       {{false, "AUTHOR", "Мартин Фаулер,Кент Бек", true}, {true, "DATE", "06/04/2009"}}},
      {"FPROALL.DBF", 1252, 0xF5, 4, 4, 0, 7,
       {{false, "MEMO", "This is a string of characters in memo file"}}},
      {"KOE2.DBF", 1252, 0x8B, 0, 0, 0, 2, {}},
      {"go-dbase_TEST.DBF", 1252, 0x32, 3, 2, 1, 16,
       {{false, "PRICE", "12.3456"}, {false, "DOUBLE", "78.9"}, {false, "VAR", ""},
        {false, "VARBIN_NIL", "\x11\x22\x33\x44\x55\x66\x77\x88\x99\xaa"},
        {true, "DATETIME", "10/10/2022 21:04:25"},
        {true, "VAR_NIL", "Lorem ipsum dolor sit amet", true}}},
      {"memotest.dbf", 1252, 0x30, 3, 2, 1, 3, {{false, "MEMO", "Alice memo"}, {true, "MEMO", "Bob memo"}}},
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
    // Version, records in the header, records returned, deleted ones skipped, columns.
    EXPECT_EQ(std::vector<long>({contents.version, contents.records_in_header,
                                 static_cast<long>(contents.rows.rows.size()),
                                 contents.deleted_skipped, static_cast<long>(contents.rows.fields.size())}),
              std::vector<long>({table.version, table.records_in_header, static_cast<long>(table.rows),
                                 table.deleted, static_cast<long>(table.columns)}));
    for (const auto& row : contents.rows.rows) ASSERT_EQ(row.size(), contents.rows.fields.size());
    for (const Cell& cell : table.cells) {
      SCOPED_TRACE((cell.last_record ? "last record, " : "first record, ") + cell.column);
      ASSERT_FALSE(contents.rows.rows.empty());
      const std::string text = CellText(contents.rows, cell);
      EXPECT_EQ(cell.prefix ? text.substr(0, cell.expected.size()) : text, cell.expected) << text;
    }
  }
}

// Columns as the FoxPro ODBC driver described them (type, size, precision, scale), one of each
// kind of field, on real tables.
TEST(RealTables, ColumnsCarryTheDriverTypeSizePrecisionAndScale) {
  const auto Described = [](int type, long size, int precision, int scale) {
    return std::to_string(type) + " " + std::to_string(size) + " " + std::to_string(precision) +
           " " + std::to_string(scale);
  };
  constexpr long kMemo = 2147483647;
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"go-dbase_TEST.DBF PRODUCTID", Described(sql::adInteger, 4, 10, 255)},    // I
      {"go-dbase_TEST.DBF PRODNAME", Described(sql::adChar, 20, 255, 255)},      // C
      {"go-dbase_TEST.DBF PRICE", Described(sql::adNumeric, 19, 19, 4)},         // Y
      {"go-dbase_TEST.DBF DOUBLE", Described(sql::adDouble, 8, 15, 255)},        // B (FoxPro)
      {"go-dbase_TEST.DBF DATE", Described(sql::adDBDate, 6, 10, 255)},          // D
      {"go-dbase_TEST.DBF DATETIME", Described(sql::adDBTimeStamp, 16, 19, 0)},  // T
      {"go-dbase_TEST.DBF ACTIVE", Described(sql::adBoolean, 2, 255, 255)},      // L
      {"go-dbase_TEST.DBF DESC", Described(sql::adLongVarChar, kMemo, 255, 255)},  // M
      {"go-dbase_TEST.DBF BLOB", Described(sql::adLongVarBinary, kMemo, 255, 255)},
      {"go-dbase_TEST.DBF VARBIN_NIL", Described(sql::adVarBinary, 10, 255, 255)},  // Q
      {"go-dbase_TEST.DBF VAR", Described(sql::adVarChar, 10, 255, 255)},           // V
      {"KOE2.DBF B", Described(sql::adLongVarBinary, kMemo, 255, 255)},  // B (dBase): binary memo
      {"dbase_03.dbf Max_PDOP", Described(sql::adNumeric, 19, 5, 1)},     // N
  };
  for (const auto& [column, expected] : cases) {
    SCOPED_TRACE(column);
    const size_t blank = column.find(' ');
    std::string found = "<no column>";
    for (const sql::FieldInfo& field : dbf::ReadTable(SampleTable(column.substr(0, blank))).rows.fields) {
      if (field.name != column.substr(blank + 1)) continue;
      found = Described(field.type, field.defined_size, field.precision, field.numeric_scale);
    }
    EXPECT_EQ(found, expected);
  }
}

TEST(RealTables, CodePageFromTheHeaderOrTheDefault) {
  struct Case {
    std::string file;
    int default_code_page, forced_code_page, expected_code_page;
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
    EXPECT_EQ(contents.rows.rows.empty() ? "" : Render(contents.rows.rows[0][0]), c.expected_text);
  }
}

}  // namespace
