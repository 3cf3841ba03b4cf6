// The "MSDASQL" DBF data source through the database client, as the imports use it: the connection
// string, the SELECT texts it answers, column metadata and values through Fields, errors for
// everything else, and closing and reopening the connection.
#include "platform/dbf/data_source.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/runtime/vb_error.h"
#include "platform/sql/client.h"
#include "tests/platform/dbf/dbf_test_support.h"
#include "tests/platform/runtime/error_of.h"
#include "platform/dbf/dbf_writer.h"

namespace {

using test_support::ErrorOf;
using test_support::Render;
using test_support::TempFolder;

constexpr char kConnection[] = "Provider=MSDASQL.1;Persist Security Info=False;Data Source=DBFPRUEBA";

dbf::DbfTable Padron() {
  dbf::DbfTable table;
  table.fields = {{"unico", 'C', 10}, {"Razon", 'C', 30}, {"Caja", 'N', 10, 2},
                  {"cote_fech", 'D', 8}, {"Activo", 'L', 1}};
  table.records = {{{"30111", "Panader\xED" "a Sur", "12.5", "20051231", "T"}},
                   {{"30222", "Borrada", "1", "", "F"}, true},
                   {{"30333", "Molinos", "", "", ""}}};
  return table;
}

class DbfDataSourceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dbf::RegisterProvider();
    dbf::DefineDataSource("DBFPRUEBA", folder_.Path());
    dbf::WriteDbf(folder_.File("Padron.dbf"), Padron());
    connection_.Open(kConnection);
  }
  void TearDown() override { dbf::RemoveDataSource("DBFPRUEBA"); }

  // The rendered values of column `column` of every row `sql` returns.
  std::vector<std::string> Read(sql::Connection& connection, const std::string& sql,
                                const std::string& column) {
    sql::Recordset rs;
    rs.Open(sql, connection);
    std::vector<std::string> values;
    for (; !rs.Eof(); rs.MoveNext()) values.push_back(Render(rs(column).Value()));
    rs.Close();
    return values;
  }

  TempFolder folder_;
  sql::Connection connection_;  // open on the data source
};

TEST_F(DbfDataSourceTest, AnswersSelectStarFromTheFileWithOrWithoutExtension) {
  for (const char* sql :
       {"Select * From Padron.dbf", "Select * from Padron", "select * from padron.DBF",
        "SELECT * FROM PADRON", "  Select   *\tfrom  [Padron.dbf] ; ", "Select *from \"Padron\""}) {
    SCOPED_TRACE(sql);
    EXPECT_EQ(Read(connection_, sql, "unico"), (std::vector<std::string>{"30111", "30333"}));
  }
}

TEST_F(DbfDataSourceTest, EverythingElseIsAClearError) {
  folder_.Write("notas.txt", std::string(64, 'n'));
  const std::string kOnlySelect =
      "[Consolida][DBF] Sobre archivos DBF solo se puede ejecutar \"Select * from <tabla>\"; no "
      "se ejecutó: ";
  struct Case {
    std::string sql;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"Select unico from Padron", kOnlySelect + "Select unico from Padron"},
      {"Select * from Padron where unico = '1'", kOnlySelect},
      {"Delete from Padron", kOnlySelect}, {"Select * from", kOnlySelect}, {"", kOnlySelect},
      {"Select * from Nada.dbf",
       "[Microsoft][ODBC Visual FoxPro Driver]El archivo 'Nada.dbf' no existe."},
      {"Select * from ../Padron.dbf",
       "[Consolida][DBF] El nombre de una tabla no puede nombrar una carpeta: ../Padron.dbf"},
      {"Select * from notas.txt", "notas.txt: no es una tabla DBF"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sql);
    const runtime::VbError error = ErrorOf([&] { connection_.Execute(c.sql); });
    EXPECT_EQ(error.Number(), dbf::kOdbcErrorNumber);
    EXPECT_NE(error.Description().find(c.message), std::string::npos) << error.Description();
  }
}

TEST_F(DbfDataSourceTest, FieldsCarryTheColumnDescriptionsAndValues) {
  sql::Recordset rs;
  rs.Open("Select * From Padron.dbf", connection_);
  ASSERT_EQ(rs.Fields().Count(), 5);
  struct Column {
    std::string name;
    int type;
    long size;
    int precision;
    int scale;
    std::string first;
    std::string last;
  };
  const std::vector<Column> columns = {
      {"unico", sql::adChar, 10, 255, 255, "30111", "30333"},
      {"Razon", sql::adChar, 30, 255, 255, "Panadería Sur", "Molinos"},
      {"Caja", sql::adNumeric, 19, 10, 2, "12.5", "0"},
      {"cote_fech", sql::adDBDate, 6, 10, 255, "31/12/2005", "00:00:00"},
      {"Activo", sql::adBoolean, 2, 255, 255, "True", "False"},
  };
  for (int i = 0; i < 5; ++i) {
    const Column& expected = columns[i];
    SCOPED_TRACE(expected.name);
    sql::Field field = rs.Fields().Item(i);
    EXPECT_EQ(field.Name(), expected.name);
    EXPECT_EQ(field.Type(), expected.type);
    EXPECT_EQ(field.DefinedSize(), expected.size);
    EXPECT_EQ(field.Precision(), expected.precision);
    EXPECT_EQ(field.NumericScale(), expected.scale);
    EXPECT_EQ(Render(field.Value()), expected.first);
  }
  rs.MoveNext();
  for (int i = 0; i < 5; ++i) EXPECT_EQ(Render(rs(i).Value()), columns[i].last);
  rs.MoveNext();
  EXPECT_TRUE(rs.Eof());
}

TEST_F(DbfDataSourceTest, EmptyTableGivesEofAndBof) {
  dbf::DbfTable empty = Padron();
  empty.records.clear();
  dbf::WriteDbf(folder_.File("VACIA.DBF"), empty);
  sql::Recordset rs;
  rs.Open("Select * from vacia", connection_);
  EXPECT_TRUE(rs.Eof());
  EXPECT_TRUE(rs.Bof());
  EXPECT_EQ(rs.Fields().Count(), 5);
}

TEST_F(DbfDataSourceTest, ClosingAndReopeningReadsTheFileAgain) {
  EXPECT_EQ(Read(connection_, "Select * From Padron.dbf", "unico").size(), 2u);
  connection_.Close();
  dbf::DbfTable changed = Padron();
  changed.records.resize(1);
  dbf::WriteDbf(folder_.File("Padron.dbf"), changed);
  connection_.Open(kConnection);
  EXPECT_EQ(Read(connection_, "Select * From Padron.dbf", "unico"), (std::vector<std::string>{"30111"}));
}

TEST_F(DbfDataSourceTest, DeletedNoReturnsDeletedRecords) {
  sql::Connection connection;
  connection.Open(std::string(kConnection) + ";Deleted=No");
  EXPECT_EQ(Read(connection, "Select * From Padron", "unico"),
            (std::vector<std::string>{"30111", "30222", "30333"}));
}

TEST_F(DbfDataSourceTest, DefaultCodePageAppliesToTablesWithoutOne) {
  dbf::DbfTable table;
  table.code_page = 0;
  table.fields = {{"T", 'C', 3}};
  table.records = {{{"\xE9\x82"}}};
  dbf::WriteDbf(folder_.File("oem.dbf"), table);
  struct Case {
    int default_code_page;
    std::string expected;
  };
  for (const Case& c : {Case{1252, "é‚"}, Case{850, "Úé"}}) {
    SCOPED_TRACE(c.default_code_page);
    dbf::DefineDataSource("DBFPRUEBA", folder_.Path(), c.default_code_page);
    sql::Connection connection;
    connection.Open(kConnection);
    EXPECT_EQ(Read(connection, "Select * from oem", "T"), (std::vector<std::string>{c.expected}));
  }
}

TEST_F(DbfDataSourceTest, WhatTheReaderAssumedIsLeftInTheConnectionsErrors) {
  dbf::DbfTable table;
  table.code_page = 0xF0;  // a tool that stores UTF-8 text
  table.fields = {{"NOMBRE", 'C', 8}};
  table.records = {{{"Peña"}}};
  dbf::WriteDbf(folder_.File("utf8.dbf"), table);
  EXPECT_EQ(Read(connection_, "Select * from utf8", "NOMBRE"), std::vector<std::string>{"Peña"});
  const std::vector<sql::ProviderWarning> warnings = connection_.Errors();
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_EQ(warnings[0].number, 0);
  EXPECT_EQ(warnings[0].source, dbf::kOdbcErrorSource);
  EXPECT_EQ(warnings[0].description,
            "[Consolida][DBF] " + folder_.File("utf8.dbf") +
                ": la marca de página de códigos 0xF0 no figura en ninguna tabla; el texto se "
                "leyó como UTF-8");
  // The next statement replaces them; a closed connection has none.
  Read(connection_, "Select * from Padron", "unico");
  EXPECT_TRUE(connection_.Errors().empty());
  Read(connection_, "Select * from utf8", "NOMBRE");
  connection_.Close();
  EXPECT_TRUE(connection_.Errors().empty());
}

TEST_F(DbfDataSourceTest, OpeningFailsForAnUnknownNameOrAMissingFolder) {
  struct Case {
    std::string connection;
    std::string folder;  // redefines DBFPRUEBA when not empty
    std::string message;
  };
  const std::vector<Case> cases = {
      {"Provider=MSDASQL.1;Data Source=OTRA", "", dbf::kDataSourceNotFound},
      {kConnection, folder_.File("no_existe"),
       "[Microsoft][ODBC Visual FoxPro Driver]Ruta o nombre de archivo no válido: " +
           folder_.File("no_existe")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.connection);
    if (!c.folder.empty()) dbf::DefineDataSource("DBFPRUEBA", c.folder);
    sql::Connection connection;
    const runtime::VbError error = ErrorOf([&] { connection.Open(c.connection); });
    EXPECT_EQ(error.Number(), dbf::kOdbcErrorNumber);
    EXPECT_NE(error.Description().find(c.message), std::string::npos) << error.Description();
  }
}

}  // namespace
