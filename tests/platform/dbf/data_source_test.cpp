// The "MSDASQL" DBF data source through the database client, as the imports use it: the SELECT
// texts it answers, values through Fields, the reader's notices, options and errors.
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

  // The rows `sql` returns, each as its rendered values joined by "|".
  std::vector<std::string> Read(sql::Connection& connection, const std::string& sql) {
    sql::Recordset rs;
    rs.Open(sql, connection);
    std::vector<std::string> rows;
    for (; !rs.Eof(); rs.MoveNext()) {
      std::string row;
      for (int i = 0; i < rs.Fields().Count(); ++i) row += (i ? "|" : "") + Render(rs(i).Value());
      rows.push_back(row);
    }
    return rows;
  }

  TempFolder folder_;
  sql::Connection connection_;  // open on the data source
};

TEST_F(DbfDataSourceTest, AnswersSelectStarFromTheFileWithOrWithoutExtension) {
  for (const char* sql :
       {"Select * From Padron.dbf", "select * from padron.DBF", "SELECT * FROM PADRON",
        "  Select   *\tfrom  [Padron.dbf] ; ", "Select *from \"Padron\""}) {
    SCOPED_TRACE(sql);
    EXPECT_EQ(Read(connection_, sql),
              (std::vector<std::string>{"30111|Panadería Sur|12.5|31/12/2005|True",
                                        "30333|Molinos|0|00:00:00|False"}));
  }
}

TEST_F(DbfDataSourceTest, EverythingElseIsAClearError) {
  folder_.Write("notas.txt", std::string(64, 'n'));
  const std::string kOnlySelect =
      "[Consolida][DBF] Sobre archivos DBF solo se puede ejecutar \"Select * from <tabla>\"; no "
      "se ejecutó: ";
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"Select unico from Padron", kOnlySelect + "Select unico from Padron"},
      {"Select * from Padron where unico = '1'", kOnlySelect},
      {"Select * from", kOnlySelect},
      {"Select * from Nada.dbf",
       "[Microsoft][ODBC Visual FoxPro Driver]El archivo 'Nada.dbf' no existe."},
      {"Select * from ../Padron.dbf",
       "[Consolida][DBF] El nombre de una tabla no puede nombrar una carpeta: ../Padron.dbf"},
      {"Select * from notas.txt", "notas.txt: no es una tabla DBF"},
  };
  for (const auto& [sql, message] : cases) {
    SCOPED_TRACE(sql);
    const runtime::VbError error = ErrorOf([&] { connection_.Execute(sql); });
    EXPECT_EQ(error.Number(), dbf::kOdbcErrorNumber);
    EXPECT_NE(error.Description().find(message), std::string::npos) << error.Description();
  }
}

// The file is read afresh on every statement; "Deleted=No" returns deleted records too.
TEST_F(DbfDataSourceTest, EachStatementReadsTheFileAsItIsNow) {
  EXPECT_EQ(Read(connection_, "Select * From Padron").size(), 2u);
  dbf::DbfTable changed = Padron();
  changed.records.resize(1);
  dbf::WriteDbf(folder_.File("Padron.dbf"), changed);
  connection_.Close();
  connection_.Open(kConnection);
  EXPECT_EQ(Read(connection_, "Select * From Padron").size(), 1u);
  dbf::WriteDbf(folder_.File("Padron.dbf"), Padron());
  sql::Connection connection;
  connection.Open(std::string(kConnection) + ";Deleted=No");
  EXPECT_EQ(Read(connection, "Select * From Padron").size(), 3u);
}

// A data source defined with another default code page reads tables without a mark in it.
TEST_F(DbfDataSourceTest, DefaultCodePageAppliesToTablesWithoutOne) {
  dbf::DbfTable table;
  table.code_page = 0;
  table.fields = {{"T", 'C', 3}};
  table.records = {{{"\xE9\x82"}}};
  dbf::WriteDbf(folder_.File("oem.dbf"), table);
  dbf::DefineDataSource("DBFPRUEBA", folder_.Path(), 850);
  sql::Connection connection;
  connection.Open(kConnection);
  EXPECT_EQ(Read(connection, "Select * from oem"), (std::vector<std::string>{"Úé"}));
}

TEST_F(DbfDataSourceTest, WhatTheReaderAssumedIsLeftInTheConnectionsErrors) {
  dbf::DbfTable table;
  table.code_page = 0xF0;  // a tool that stores UTF-8 text
  table.fields = {{"NOMBRE", 'C', 8}};
  table.records = {{{"Peña"}}};
  dbf::WriteDbf(folder_.File("utf8.dbf"), table);
  EXPECT_EQ(Read(connection_, "Select * from utf8"), std::vector<std::string>{"Peña"});
  const std::vector<sql::ProviderWarning> warnings = connection_.Errors();
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_EQ(std::to_string(warnings[0].number) + " " + warnings[0].source + " " +
                warnings[0].description,
            "0 " + std::string(dbf::kOdbcErrorSource) + " [Consolida][DBF] " +
                folder_.File("utf8.dbf") +
                ": la marca de página de códigos 0xF0 no figura en ninguna tabla; el texto se "
                "leyó como UTF-8");
  // The next statement replaces them; a closed connection has none.
  Read(connection_, "Select * from Padron");
  EXPECT_TRUE(connection_.Errors().empty());
  Read(connection_, "Select * from utf8");
  connection_.Close();
  EXPECT_TRUE(connection_.Errors().empty());
}

TEST_F(DbfDataSourceTest, OpeningFailsForAnUnknownNameOrAMissingFolder) {
  const std::string missing = folder_.File("no_existe");
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"Provider=MSDASQL.1;Data Source=OTRA", dbf::kDataSourceNotFound},
      {kConnection, "[Microsoft][ODBC Visual FoxPro Driver]Ruta o nombre de archivo no válido: " +
                        missing},
  };
  dbf::DefineDataSource("DBFPRUEBA", missing);
  for (const auto& [text, message] : cases) {
    SCOPED_TRACE(text);
    sql::Connection connection;
    const runtime::VbError error = ErrorOf([&] { connection.Open(text); });
    EXPECT_EQ(error.Number(), dbf::kOdbcErrorNumber);
    EXPECT_NE(error.Description().find(message), std::string::npos) << error.Description();
  }
}

}  // namespace
