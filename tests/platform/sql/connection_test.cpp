// Connections on the embedded engine: where the database lives, transactions seen from a second
// connection, server errors as the client raised them, and stored-procedure commands.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/sql/client.h"
#include "tests/platform/sql/sql_test_support.h"

namespace sql {
namespace {

using runtime::Valor;
using test_support::EmbeddedDatabaseTest;
using test_support::ErrorOf;
using test_support::kConnectionString;

class ConnectionTest : public EmbeddedDatabaseTest {
 protected:
  long CountGente(Connection& cn) {
    Recordset rs;
    rs.Open("SELECT COUNT(*) AS N FROM Gente", cn);
    return rs("N").Value().AsLong();
  }
};

TEST_F(ConnectionTest, EmptyDataSourceUsesTheConfiguredFileAndAHostNamesItsOwn) {
  Connection cn;
  cn.Open(kConnectionString);
  EXPECT_EQ(cn.State(), adStateOpen);
  EXPECT_TRUE(std::filesystem::exists(folder_ / "Consolida.db"));
  cn.Execute("INSERT INTO Gente (Id, Nombre) VALUES (1, 'Ana')");
  cn.Close();
  EXPECT_EQ(cn.State(), adStateClosed);

  // Opened again: the file is kept, not created anew.
  cn.Open(kConnectionString);
  EXPECT_EQ(CountGente(cn), 1);

  std::string other = (folder_ / "otra.db").string();
  Connection elsewhere;
  elsewhere.Open(kConnectionString + other);
  EXPECT_TRUE(std::filesystem::exists(other));
  EXPECT_EQ(CountGente(elsewhere), 0);
}

TEST_F(ConnectionTest, UnopenableOrUncreatableDatabaseRaisesTheError) {
  Connection cn;
  runtime::VbError e = ErrorOf(
      [&] { cn.Open(kConnectionString + (folder_ / "no/such/folder/x.db").string()); });
  EXPECT_EQ(e.Source(), "Microsoft OLE DB Provider for SQL Server");
  EXPECT_LT(e.Number(), 0);
  EXPECT_EQ(cn.State(), adStateClosed);

  // A failing creation batch raises the server's error and leaves no file.
  std::string path = (folder_ / "roto.db").string();
  ConfigureEmbedded({path, {"CREATE TABLE A (Id int)", "SELECT * FROM NoExiste"}});
  e = ErrorOf([&] { cn.Open(kConnectionString); });
  EXPECT_EQ(e.Number(), -2147217900);
  EXPECT_EQ(e.NativeNumber(), 208);
  EXPECT_EQ(cn.State(), adStateClosed);
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(ConnectionTest, TransactionsAsSeenFromASecondConnection) {
  Connection writer;
  Connection reader;
  writer.Open(kConnectionString);
  reader.Open(kConnectionString);

  writer.BeginTrans();
  writer.Execute("INSERT INTO Gente (Id, Nombre) VALUES (1, 'Ana')");
  // The open transaction neither blocks the reader nor shows it uncommitted rows.
  EXPECT_EQ(CountGente(reader), 0);
  EXPECT_EQ(CountGente(writer), 1);
  writer.CommitTrans();
  EXPECT_EQ(CountGente(reader), 1);

  writer.BeginTrans();
  writer.Execute("INSERT INTO Gente (Id, Nombre) VALUES (2, 'Luis')");
  writer.RollbackTrans();
  EXPECT_EQ(CountGente(writer), 1);

  // The reader writes once the writer is done.
  reader.BeginTrans();
  reader.Execute("INSERT INTO Gente (Id, Nombre) VALUES (3, 'Eva')");
  reader.CommitTrans();
  EXPECT_EQ(CountGente(writer), 2);
}

TEST_F(ConnectionTest, TransactionMisuse) {
  Connection cn;
  cn.Open(kConnectionString);
  EXPECT_EQ(ErrorOf([&] { cn.CommitTrans(); }).Number(), -2147168242);
  EXPECT_EQ(ErrorOf([&] { cn.RollbackTrans(); }).Number(), -2147168242);

  cn.BeginTrans();
  EXPECT_EQ(ErrorOf([&] { cn.BeginTrans(); }).Number(), -2147168237);
  EXPECT_EQ(ErrorOf([&] { cn.Close(); }).Number(), 3246);
  cn.RollbackTrans();
  cn.Close();
}

// A failing command takes back the ones before it; the connection is left without a transaction.
TEST_F(ConnectionTest, ExecuteInTransactionIsAllOrNothing) {
  Connection cn;
  cn.Open(kConnectionString);
  const long antes = CountGente(cn);
  const runtime::VbError error = ErrorOf([&] {
    ExecuteInTransaction(cn, {"INSERT INTO Gente (Id, Nombre) VALUES(7, 'Uno')", "SELECT * FROM NoExiste"});
  });
  EXPECT_EQ(error.NativeNumber(), 208);
  EXPECT_EQ(CountGente(cn), antes);
  ExecuteInTransaction(cn, {"INSERT INTO Gente (Id, Nombre) VALUES(7, 'Uno')", "INSERT INTO Gente (Id, Nombre) VALUES(8, 'Dos')"});
  EXPECT_EQ(CountGente(cn), antes + 2);
  cn.BeginTrans();
  EXPECT_EQ(ErrorOf([&] { ExecuteInTransaction(cn, {}); }).Number(), -2147168237);
  cn.RollbackTrans();
}

TEST_F(ConnectionTest, ServerErrorsCarryNumberSourceDescriptionAndNativeNumber) {
  Connection cn;
  cn.Open(kConnectionString);
  const struct {
    const char* sql;
    long native;
    const char* description;
  } cases[] = {
      {"SELECT * FROM NoExiste", 208, "Invalid object name 'NoExiste'."},
      {"SELECT Apellido FROM Gente", 207, "Invalid column name 'Apellido'."},
      {"INSERT INTO Gente (Id, Nombre) VALUES (1, 'un nombre demasiado largo')", 8152,
       "String or binary data would be truncated."},
      // Two statement errors in one batch: the first one is raised.
      {"SELECT 1/0\r\nSELECT * FROM NoExiste", 8134, "Divide by zero error encountered."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sql);
    runtime::VbError e = ErrorOf([&] { cn.Execute(c.sql); });
    EXPECT_EQ(e.Number(), -2147217900);
    EXPECT_EQ(e.Source(), "Microsoft OLE DB Provider for SQL Server");
    EXPECT_EQ(e.NativeNumber(), c.native);
    EXPECT_EQ(e.Description(), c.description);
  }
  EXPECT_EQ(CountGente(cn), 0);  // the truncated insert left nothing behind
}

class CommandTest : public EmbeddedDatabaseTest {
 protected:
  void SetUp() override {
    EmbeddedDatabaseTest::SetUp();
    cn_.Open(kConnectionString);
    cn_.Execute(
        "CREATE PROCEDURE dbo.PAlta @Id int, @Nombre as varchar(20), @Nota float = 10 AS\r\n"
        "INSERT INTO Gente (Id, Nombre, Nota) VALUES (@Id, @Nombre, @Nota)");
    cn_.Execute(
        "CREATE PROCEDURE dbo.PLista @Desde int AS\r\n"
        "SELECT Id, Nombre, Nota FROM Gente WHERE Id >= @Desde ORDER BY Id");
  }

  // Parameters are set without Refresh: the command fetches them on first use.
  Recordset Call(const std::string& procedure,
                 const std::vector<std::pair<std::string, Valor>>& values) {
    Command cmd;
    cmd.SetActiveConnection(cn_);
    cmd.SetCommandText(procedure);
    cmd.SetCommandType(adCmdStoredProc);
    for (const auto& [name, value] : values) cmd.Parameters().Item(name).SetValue(value);
    return cmd.Execute();
  }

  Connection cn_;
};

TEST_F(CommandTest, RefreshListsTheReturnValueThenTheDeclaredParameters) {
  Command cmd;
  cmd.SetActiveConnection(cn_);
  cmd.SetCommandText("palta");  // procedure names ignore case, as on the server
  cmd.SetCommandType(adCmdStoredProc);
  cmd.Parameters().Refresh();
  std::string listed;
  for (int i = 0; i < cmd.Parameters().Count(); ++i) {
    const Parameter& p = cmd.Parameters().Item(i);
    listed += p.Name() + " " + std::to_string(p.Direction()) + " " + std::to_string(p.Type()) + ";";
  }
  // Directions and types as ADO numbers them: 4 return value, 1 input; 3 int, 200 varchar, 5 float.
  EXPECT_EQ(listed, "@RETURN_VALUE 4 3;@Id 1 3;@Nombre 1 200;@Nota 1 5;");
  EXPECT_EQ(cmd.Parameters().Item(2).Size(), 20);
}

TEST_F(CommandTest, ParametersSetByNameReachTheProcedure) {
  Recordset none = Call("PAlta", {{"@id", Valor::Long(1)}, {"@NOMBRE", Valor::String("Ana")}});
  EXPECT_EQ(none.State(), adStateClosed);
  Call("PAlta", {{"@Id", Valor::Integer(2)}, {"@Nombre", Valor::Null()},
                 {"@Nota", Valor::Double(3.5)}});

  Recordset rs = Call("PLista", {{"@Desde", Valor::Long(1)}});
  ASSERT_EQ(rs.State(), adStateOpen);
  EXPECT_EQ(rs("Nombre").Value(), Valor::String("Ana"));
  EXPECT_EQ(rs("Nota").Value(), Valor::Double(10));  // unset: the declared default
  rs.MoveNext();
  EXPECT_TRUE(rs("Nombre").Value().IsNull());
  EXPECT_EQ(rs("Nota").Value(), Valor::Double(3.5));
  rs.MoveNext();
  EXPECT_TRUE(rs.Eof());
}

TEST_F(CommandTest, CommandErrors) {
  runtime::VbError unknown =
      ErrorOf([&] { Call("PAlta", {{"@Apellido", Valor::String("x")}}); });
  EXPECT_EQ(unknown.Number(), 3265);
  EXPECT_EQ(unknown.Source(), "ADODB.Parameters");

  runtime::VbError missing = ErrorOf([&] { Call("PAlta", {{"@Nombre", Valor::String("x")}}); });
  EXPECT_EQ(missing.Number(), -2147217900);
  EXPECT_EQ(missing.NativeNumber(), 201);

  runtime::VbError no_procedure = ErrorOf([&] { Call("PNoExiste", {}); });
  EXPECT_EQ(no_procedure.NativeNumber(), 2812);

  Command detached;
  detached.SetCommandText("SELECT 1");
  EXPECT_EQ(ErrorOf([&] { detached.Execute(); }).Number(), 3709);
}

TEST_F(CommandTest, TextCommandsRunTheirText) {
  cn_.Execute("INSERT INTO Gente (Id, Nombre) VALUES (1, 'Ana')");
  for (int type : {adCmdText, adCmdFile, adCmdUnspecified, adCmdTable}) {
    SCOPED_TRACE(type);
    Command cmd;
    cmd.SetActiveConnection(cn_);
    cmd.SetCommandType(type);
    cmd.SetCommandText(type == adCmdTable ? "Gente" : "SELECT Nombre FROM Gente");
    Recordset rs = cmd.Execute();
    ASSERT_EQ(rs.State(), adStateOpen);
    EXPECT_EQ(rs("Nombre").Value(), Valor::String("Ana"));
  }
}

}  // namespace
}  // namespace sql
