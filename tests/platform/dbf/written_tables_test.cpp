// The DBF reader on tables written here (with the program's own DBF writer, then altered byte by
// byte where a case needs what the writer does not make): values and blanks of each type, nulls,
// memo files, record-length quirks, and damaged files that must fail with a named reason.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/dbf/data_source.h"
#include "platform/dbf/dbf_reader.h"
#include "platform/runtime/vb_error.h"
#include "tests/platform/dbf/dbf_test_support.h"
#include "tests/platform/runtime/error_of.h"
#include "platform/dbf/dbf_writer.h"

namespace {

using dbf::DbfFlavor;
using dbf::DbfTable;
using test_support::ErrorOf;
using test_support::Render;
using test_support::TempFolder;

size_t Descriptor(int field) { return 32 + 32 * static_cast<size_t>(field); }

size_t HeaderLength(const std::string& bytes) {
  return static_cast<uint8_t>(bytes[8]) | (static_cast<uint8_t>(bytes[9]) << 8);
}

size_t RecordLength(const std::string& bytes) {
  return static_cast<uint8_t>(bytes[10]) | (static_cast<uint8_t>(bytes[11]) << 8);
}

// Byte `offset` of record `record` (0-based; offset 0 is the deletion flag).
size_t RecordByte(const std::string& bytes, size_t record, size_t offset) {
  return HeaderLength(bytes) + record * RecordLength(bytes) + offset;
}

// Each row as its rendered values joined by "|".
std::vector<std::string> Rows(const dbf::TableContents& contents) {
  std::vector<std::string> rows;
  for (const auto& row : contents.rows.rows) {
    std::string text;
    for (size_t i = 0; i < row.size(); ++i) text += (i ? "|" : "") + Render(row[i]);
    rows.push_back(text);
  }
  return rows;
}

// Writes `bytes` as t.dbf in a fresh folder and reads it.
dbf::TableContents ReadBytes(const std::string& bytes, const dbf::ReadOptions& options = {}) {
  TempFolder folder;
  folder.Write("t.dbf", bytes);
  return dbf::ReadTable(folder.File("t.dbf"), options);
}

DbfTable SurveyTable() {
  DbfTable table;
  table.fields = {{"UNICO", 'C', 10}, {"VALOR", 'N', 12, 2}, {"FECHA", 'D', 8},
                  {"ACTIVO", 'L', 1}, {"CANT", 'N', 5, 0}};
  table.records = {
      {{"A001", "1234.5", "20240131", "T", "7"}},
      {{"", "", "", "", ""}},                          // every field blank
      {{"A003", "-0.25", "19991231", "F", "-12"}},
      {{"BORRADO", "1", "20200101", "T", "1"}, true},  // deleted
      {{"  A005  ", "0", "00000000", "?", "0"}},
  };
  return table;
}

TEST(WrittenTables, ValuesAndBlanksOfEachTypeAsTheDriverGaveThem) {
  const dbf::TableContents contents = ReadBytes(dbf::DbfBytes(SurveyTable()));
  EXPECT_EQ(contents.deleted_skipped, 1);
  // Trailing blanks of text go, leading ones stay; blank numbers are 0, never Null; blank and
  // zero dates are VB's day 0 ("00:00:00"); blank and unset logicals are false.
  EXPECT_EQ(Rows(contents), (std::vector<std::string>{"A001|1234.5|31/01/2024|True|7",
                                                      "|0|00:00:00|False|0",
                                                      "A003|-0.25|31/12/1999|False|-12",
                                                      "  A005|0|00:00:00|False|0"}));
  EXPECT_EQ(contents.rows.rows[0][1].Type(), runtime::VarType::kDecimal);
  EXPECT_EQ(contents.rows.rows[0][1].DecimalScale(), 2);

  // The other logical letters; dates that are no calendar day read as day 0.
  DbfTable table;
  table.fields = {{"L", 'L'}, {"D", 'D'}};
  table.records = {{{"t", "20240229"}}, {{"Y", "20230229"}}, {{"y", "20241301"}},
                   {{"N", "2024013A"}}, {{"?", "00991231"}}, {{"F", "99991231"}}};
  EXPECT_EQ(Rows(ReadBytes(dbf::DbfBytes(table))),
            (std::vector<std::string>{"True|29/02/2024", "True|00:00:00", "True|00:00:00",
                                      "False|00:00:00", "False|00:00:00", "False|31/12/9999"}));
}

TEST(WrittenTables, NumericTextForms) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"   12.50", "12.5"}, {"    +3.1", "3.1"}, {"     .75", "0.75"}, {"    3,25", "3.25"},
      {"********", "Null"},  // too wide for the field: not known
      {"        ", "0"},      {"   .    ", "0"},  // blank, also with a point
  };
  DbfTable table;
  table.fields = {{"N", 'N', 8, 3}};
  table.records.assign(cases.size(), {{"0"}});
  std::string bytes = dbf::DbfBytes(table);
  std::vector<std::string> expected;
  for (size_t i = 0; i < cases.size(); ++i) {
    bytes.replace(RecordByte(bytes, i, 1), 8, cases[i].first);
    expected.push_back(cases[i].second);
  }
  EXPECT_EQ(Rows(ReadBytes(bytes)), expected);
}

TEST(WrittenTables, UnlistedCodePageMarkMeansUtf8WhenAllTextIsUtf8ElseTheDefault) {
  struct Case {
    std::string name;
    std::string field;  // name bytes
    std::string text;   // bytes of the C value
    int default_code_page, forced_code_page;
    std::string expected;  // code page, field name, value
    std::string assumed;   // the end of the notice; "" when there is none
  };
  const std::vector<Case> cases = {
      {"UTF-8 throughout", "AÑO", "Peña ñandú", 1252, 0, "65001 AÑO Peña ñandú",
       "el texto se leyó como UTF-8"},
      {"Windows text", "ANIO", "Pe\xF1" "a", 1252, 0, "1252 ANIO Peña",
       "el texto se leyó con la página de códigos 1252 (Windows ANSI)"},
      {"UTF-8 name, DOS text: all of it DOS", "AÑO", "Pe\xA4" "a", 850, 0, "850 A├æO Peña",
       "el texto se leyó con la página de códigos 850 (MS-DOS internacional)"},
      {"forced code page", "AÑO", "Peña", 1252, 1252, "1252 AÃ‘O PeÃ±a", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DbfTable table;
    table.code_page = 0xF0;
    table.fields = {{c.field, 'C', 16}};
    table.records = {{{c.text}}};
    TempFolder folder;
    dbf::WriteDbf(folder.File("t.dbf"), table);
    dbf::ReadOptions options;
    options.default_code_page = c.default_code_page;
    options.forced_code_page = c.forced_code_page;
    const dbf::TableContents contents = dbf::ReadTable(folder.File("t.dbf"), options);
    EXPECT_EQ(std::to_string(contents.code_page) + " " + contents.rows.fields.at(0).name + " " +
                  Rows(contents).at(0),
              c.expected);
    EXPECT_EQ(contents.notices,
              c.assumed.empty()
                  ? std::vector<std::string>{}
                  : std::vector<std::string>{"[Consolida][DBF] " + folder.File("t.dbf") +
                                             ": la marca de página de códigos 0xF0 no figura en "
                                             "ninguna tabla; " + c.assumed});
  }
}

// Nullable fields give Null through _NullFlags; nullable marks without it (seen in the wild)
// give no Null.
TEST(WrittenTables, VisualFoxProIntegersAndNullableFields) {
  DbfTable table;
  table.flavor = DbfFlavor::kVisualFoxPro;
  table.fields = {{"ID", 'I'}, {"NOMBRE", 'C', 8}, {"MONTO", 'N', 6, 1}, {"FLAGS", 'C', 1}};
  table.records = {{{"-2147483648", "uno", "1.5", std::string(1, '\0')}},
                   {{"2147483647", "dos", "2.5", "\x01"}},  // NOMBRE is null
                   {{"0", "\x01", "", "\x03"}}};            // both nullable fields are null
  std::string bytes = dbf::DbfBytes(table);
  bytes[Descriptor(1) + 18] = 0x02;  // NOMBRE nullable
  bytes[Descriptor(2) + 18] = 0x02;  // MONTO nullable
  const std::string without_null_flags = bytes;
  bytes.replace(Descriptor(3), 11, std::string("_NullFlags\0", 11));
  bytes[Descriptor(3) + 11] = '0';
  bytes[Descriptor(3) + 18] = 0x05;
  const dbf::TableContents contents = ReadBytes(bytes);
  EXPECT_EQ(contents.rows.fields.size(), 3u);
  EXPECT_EQ(contents.rows.fields[0].type, sql::adInteger);
  EXPECT_EQ(Rows(contents), (std::vector<std::string>{"-2147483648|uno|1.5",
                                                      "2147483647|Null|2.5", "0|Null|Null"}));
  EXPECT_EQ(Rows(ReadBytes(without_null_flags)).at(2), "0|\x01|0|\x03");
}

// A FoxPro memo file: 512-byte header (block size 64 at bytes 6-7, big-endian), memos from
// block 8 on, each with its type and length (big-endian) before the text.
std::string FptWithMemos(const std::vector<std::string>& memos) {
  std::string fpt(512, '\0');
  fpt[7] = 64;
  for (const std::string& memo : memos) {
    std::string block(8, '\0');
    block[3] = 1;
    for (int i = 0; i < 4; ++i) block[4 + i] = static_cast<char>((memo.size() >> (24 - 8 * i)) & 0xFF);
    block += memo;
    block.resize((block.size() + 63) / 64 * 64, '\0');
    fpt += block;
  }
  return fpt;
}

// A Visual FoxPro table whose one field is a memo, pointing at `blocks`.
std::string TableWithMemoField(const std::vector<uint32_t>& blocks) {
  DbfTable table;
  table.flavor = DbfFlavor::kVisualFoxPro;
  table.fields = {{"NOTA", 'C', 4}};
  for (uint32_t block : blocks) {
    std::string le(4, '\0');
    for (int i = 0; i < 4; ++i) le[i] = static_cast<char>((block >> (8 * i)) & 0xFF);
    table.records.push_back({{le}});
  }
  std::string bytes = dbf::DbfBytes(table);
  bytes[Descriptor(0) + 11] = 'M';
  return bytes;
}

TEST(WrittenTables, MemoTextComesFromTheFptFileInTheTableCodePage) {
  TempFolder folder;
  folder.Write("notas.dbf", TableWithMemoField({8, 0, 9}));
  folder.Write("NOTAS.FPT", FptWithMemos({"Caf\xE9 con le\xF1" "a", "segunda\r\nl\xEDnea"}));
  dbf::TableContents contents = dbf::ReadTable(folder.File("notas.dbf"));
  EXPECT_EQ(contents.rows.fields[0].type, sql::adLongVarChar);
  EXPECT_EQ(Rows(contents), (std::vector<std::string>{"Café con leña", "", "segunda\r\nlínea"}));
}

struct Damage {
  std::string name;
  std::function<void(std::string& dbf)> damage;
  std::string reason;          // part of the error description
  std::string memo_file = "";  // written beside the table when named
  std::string memo = std::string(1024, '\0');
};

TEST(WrittenTables, DamagedTablesAndMemoFilesFailWithTheFileAndTheReason) {
  std::string long_memo = FptWithMemos({"abc"});
  long_memo[512 + 7] = 100;  // states 100 bytes, the block holds 56
  std::string zero_block = FptWithMemos({"abc"});
  zero_block[7] = 0;
  const auto memo_table = [](std::string& b) { b = TableWithMemoField({8}); };
  const auto dbase_memo = [](std::string& b) {
    b[0] = static_cast<char>(0x83);
    b[Descriptor(0) + 11] = 'M';
  };
  const std::vector<Damage> cases = {
      {"cut inside the header", [](std::string& b) { b.resize(20); },
       "la cabecera está incompleta (20 bytes)"},
      {"cut inside the fields", [](std::string& b) { b.resize(70); },
       "la cabecera está incompleta (declara 193 bytes y el archivo tiene 70)"},
      {"no terminator", [](std::string& b) { b[HeaderLength(b) - 1] = 'X'; },
       "la lista de campos está incompleta"},
      {"last record cut", [](std::string& b) { b.resize(b.size() - 5); },
       "la cabecera declara 5 registros pero el archivo contiene solo 4"},
      {"code page without decoder", [](std::string& b) { b[29] = static_cast<char>(0x98); },
       "la página de códigos 10006 (Macintosh griego) no se admite"},
      {"unknown field type", [](std::string& b) { b[Descriptor(1) + 11] = 'Z'; },
       "el campo VALOR tiene el tipo 'Z', que este lector no conoce"},
      {"zero-length field", [](std::string& b) { b[Descriptor(0) + 16] = 0; },
       "el campo UNICO tiene longitud 0"},
      {"date of the wrong width", [](std::string& b) { b[Descriptor(2) + 16] = 6; },
       "el campo FECHA de tipo D tiene longitud 6 en lugar de 8"},
      {"not a table", [](std::string& b) { b[0] = 'P'; }, "no es una tabla DBF (byte de versión 0x50)"},
      {"dBase 7", [](std::string& b) { b[0] = 0x04; }, "las tablas de dBase 7 no se admiten"},
      {"dBase II", [](std::string& b) { b[0] = 0x02; }, "las tablas de dBase II y FoxBASE no se admiten"},
      {"text in a number", [](std::string& b) { b[RecordByte(b, 0, 11 + 8)] = 'x'; },
       "el campo VALOR del registro 1 contiene \"123x.50\", que no es un número"},
      {"memo file missing", dbase_memo, "falta el archivo de memos survey.dbt"},
      {"memo block beyond the memo file",
       [&](std::string& b) {
         dbase_memo(b);
         b.replace(RecordByte(b, 0, 1), 10, "        99");
       },
       "el campo UNICO del registro 1 remite a un memo que no se puede leer: el bloque de memo 99 "
       "está más allá del final del archivo de memos",
       "survey.dbt"},
      {"memo pointer that is not a number", dbase_memo,
       "el campo UNICO del registro 1 contiene una referencia a un memo que no es un número de "
       "bloque",
       "survey.dbt"},
      {"memo longer than the memo file", memo_table,
       "el bloque de memo 8 declara 100 bytes, más de los que contiene el archivo de memos",
       "survey.fpt", long_memo},
      {"memo block size 0", memo_table, "el archivo de memos declara un tamaño de bloque 0",
       "survey.fpt", zero_block},
      {"memo header cut short", memo_table, "la cabecera del archivo de memos está incompleta",
       "survey.fpt", std::string(5, '\0')},
  };
  for (const Damage& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    std::string bytes = dbf::DbfBytes(SurveyTable());
    c.damage(bytes);
    folder.Write("survey.dbf", bytes);
    if (!c.memo_file.empty()) folder.Write(c.memo_file, c.memo);
    const runtime::VbError error = ErrorOf([&] { dbf::ReadTable(folder.File("survey.dbf")); });
    EXPECT_EQ(error.Number(), dbf::kOdbcErrorNumber);
    EXPECT_EQ(error.Source(), dbf::kOdbcErrorSource);
    EXPECT_EQ(error.Description().rfind("[Consolida][DBF] " + folder.File("survey.dbf") + ": ", 0), 0u)
        << error.Description();
    EXPECT_NE(error.Description().find(c.reason), std::string::npos) << error.Description();
  }
  TempFolder folder;
  EXPECT_NE(ErrorOf([&] { dbf::ReadTable(folder.File("nada.dbf")); }).Description().find(
                "nada.dbf: el archivo no existe"),
            std::string::npos);
}

TEST(WrittenTables, RecordLengthQuirksOfTheHeader) {
  struct Case {
    std::string name;
    int header_record_length_change;
    int padding_per_record;  // bytes really between records beyond the fields
    bool readable;
  };
  const std::vector<Case> cases = {
      {"header one short, records at the fields' length", -1, 0, true},
      {"header longer, records padded to it", +3, 3, true},
      {"header short and the file too", -1, -1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DbfTable table;
    table.fields = {{"A", 'C', 3}, {"B", 'N', 4}};
    table.records = {{{"uno", "1"}}, {{"dos", "2"}}, {{"tre", "3"}}};
    std::string bytes = dbf::DbfBytes(table);
    const size_t fields_length = RecordLength(bytes);
    std::string records;
    for (size_t r = 0; r < 3; ++r) {
      std::string record = bytes.substr(RecordByte(bytes, r, 0), fields_length);
      record.resize(record.size() + c.padding_per_record, ' ');
      records += record;
    }
    bytes.resize(HeaderLength(bytes));
    bytes += records;
    bytes[10] = static_cast<char>(fields_length + c.header_record_length_change);
    if (!c.readable) {
      EXPECT_THROW(ReadBytes(bytes), runtime::VbError);
      continue;
    }
    EXPECT_EQ(Rows(ReadBytes(bytes)), (std::vector<std::string>{"uno|1", "dos|2", "tre|3"}));
  }
}

// Real tables cut at many lengths and with bytes overwritten: each read either succeeds or fails
// with the one error type; nothing else escapes and nothing reads outside the file.
TEST(DamagedRealTables, CutOrScrambledFilesNeverEscapeTheErrorType) {
  // One table of each memo kind: Visual FoxPro with every type, Clipper .dbt, FoxPro 2 .fpt.
  for (const char* name : {"go-dbase_TEST.DBF", "dans-dbf-lib_clipper5_cars.DBF", "rus.dbf"}) {
    SCOPED_TRACE(name);
    const std::filesystem::path source(test_support::SampleTable(name));
    const std::string original = test_support::LeerArchivo(source);
    TempFolder folder;
    for (const char* extension : {".FPT", ".fpt", ".DBT", ".dbt"}) {
      std::filesystem::path memo = source;
      memo.replace_extension(extension);
      if (std::filesystem::exists(memo)) {
        std::filesystem::copy_file(memo, folder.File(source.stem().string() + extension));
      }
    }
    auto read_survives = [&](const std::string& bytes, const std::string& what) {
      folder.Write(source.filename().string(), bytes);
      try {
        dbf::ReadTable(folder.File(source.filename().string()));
      } catch (const runtime::VbError&) {
      } catch (const std::exception& other) {
        ADD_FAILURE() << what << ": " << other.what();
      }
    };
    const size_t step = std::max<size_t>(7, original.size() / 60);
    for (size_t length = 0; length < original.size(); length += step) {
      read_survives(original.substr(0, length), "cut at " + std::to_string(length));
    }
    uint32_t seed = 12345;
    for (int round = 0; round < 40; ++round) {
      std::string bytes = original;
      for (int k = 0; k < 4; ++k) {
        seed = seed * 1103515245u + 12345u;
        bytes[(seed >> 8) % bytes.size()] = static_cast<char>(seed >> 24);
      }
      read_survives(bytes, "round " + std::to_string(round));
    }
  }
}

}  // namespace
