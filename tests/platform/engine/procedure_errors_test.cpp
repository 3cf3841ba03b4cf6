// Run-time errors inside generated procedures: the error reaches the caller with its number,
// text and the procedure's name (the client sees number and text, as from the server), and the
// next call of the procedure recovers because it drops and re-creates its work table. A cursor
// left open by a call that was stopped makes the next DECLARE of that name fail until the
// leftover cursor is closed and deallocated by the procedure's own end.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "platform/engine/engine.h"
#include "platform/engine/result_text.h"
#include "platform/runtime/vb_error.h"
#include "platform/sql/client.h"
#include "tests/support/batch_files.h"
#include "tests/support/temp_folder.h"

namespace engine {
namespace {

namespace fs = std::filesystem;
using test_support::SchemaBatches;
using test_support::SplitBatches;

const fs::path kCases = fs::path(CONSOLIDA_SOURCE_DIR) / "tests/platform/engine/procedures";

std::string Errors(const BatchResult& result) {
  std::string out;
  for (const Error& e : result.errors) out += FormatError(e) + "\n";
  return out;
}

class ProcedureErrorsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    temp_ = std::make_unique<test_support::TempFolder>("consolida-procedure-errors");
    dir_ = temp_->path();
  }
  void TearDown() override {
    session_.reset();
    temp_.reset();
  }

  std::unique_ptr<test_support::TempFolder> temp_;

  // A database with the cases' data and the procedures of errors/<file>.sql.
  void OpenWith(const std::string& file) {
    OpenOptions options;
    options.creation_scripts = SchemaBatches();
    Error error;
    session_ = Session::Open((dir_ / "db.sqlite").string(), options, &error);
    ASSERT_NE(session_, nullptr) << FormatError(error);
    for (const fs::path& path : {kCases / "setup.sql", kCases / "errors" / (file + ".sql")}) {
      for (const std::string& batch : SplitBatches(path)) Run(batch);
    }
  }

  void Run(const std::string& batch) {
    BatchResult result = session_->Execute(batch);
    ASSERT_TRUE(result.ok()) << batch << Errors(result);
  }

  std::string Query(const std::string& batch) {
    BatchResult result = session_->Execute(batch);
    EXPECT_TRUE(result.ok()) << batch << Errors(result);
    return FormatBatchOutput(result);
  }

  fs::path dir_;
  std::unique_ptr<Session> session_;
};

struct ErrorCase {
  const char* label;
  const char* file;
  std::vector<std::string> before;  // batches that break the data or the objects
  std::string call;
  int number;
  std::string message;  // empty: not compared
  std::string procedure;
  std::vector<std::string> fix;  // batches that repair them again
  std::string second_call;
  std::string results;  // the formula's results after the second call
};

TEST_F(ProcedureErrorsTest, ErrorStopsTheStatementOrTheCallAndTheNextCallRecovers) {
  const std::string kA1 = "@Formulario='ENC', @Periodo=2005, @VPeriodo=2005, @VEmpresa='A1'";
  const std::string kA3 = "@Formulario='ENC', @Periodo=2005, @VPeriodo=2005, @VEmpresa='A3'";
  const std::vector<ErrorCase> cases = {
      // A statement error: the division leaves @VRes unset and the call goes on to store it.
      {"division by zero", "p28_emp", {}, "EXEC P28_Emp " + kA3, 8134,
       "Divide by zero error encountered.", "P28_Emp", {}, "EXEC P28_Emp " + kA1,
       "RE_Empresa\tRE_Valor\nA1\t0.5\nA3\tNULL\n(2 rows affected)\n"},
      // A missing table ends the call with TEMP_NOVEDADES still there; the next call drops it.
      {"missing table", "p31_emp", {"DROP TABLE SE_CABFORMULA"}, "EXEC P31_Emp " + kA1, 208,
       "Invalid object name 'SE_CABFORMULA'.", "P31_Emp",
       {"CREATE TABLE SE_CABFORMULA (Id_FormCab int NULL, FC_NomVar varchar(128) NULL)\n"
        "INSERT INTO SE_CABFORMULA VALUES(1, 'TOTAL')"},
       "EXEC P31_Emp " + kA1, "RE_Empresa\tRE_Valor\nA1\t22\n(1 rows affected)\n"},
      // A server function dropped after the procedure was made ends the call like a missing
      // table. (The message is not compared: it shows the function name lower-cased.)
      {"missing function", "p28_emp",
       {"DROP PROCEDURE P28_Emp",
        "CREATE PROCEDURE P28_Emp @VEmpresa varchar(20) AS\n"
        "INSERT INTO SE_RESULTADO (Id_FA, RE_Empresa, RE_Valor) VALUES(28, @VEmpresa, 1)\n"
        "INSERT INTO SE_RESULTADO (Id_FA, RE_Empresa, RE_Valor) VALUES(28, @VEmpresa, DBO.MEDIANA(2))",
        "DROP FUNCTION dbo.MEDIANA"},
       "EXEC P28_Emp 'A1'", 4121, "", "P28_Emp",
       {"CREATE FUNCTION dbo.MEDIANA (@Valor float) RETURNS float AS BEGIN RETURN @Valor END"},
       "EXEC P28_Emp 'A2'", "RE_Empresa\tRE_Valor\nA1\t1\nA2\t1\nA2\t2\n(3 rows affected)\n"},
      // Truncation: the statement is undone and the call goes on.
      {"truncation", "p28_emp",
       {"CREATE TABLE Corto (S varchar(3) NULL)",
        "CREATE PROCEDURE Acortar @S varchar(20) AS\n"
        "INSERT INTO Corto (S) VALUES(@S)\n"
        "INSERT INTO SE_RESULTADO (Id_FA, RE_Empresa, RE_Valor) VALUES(28, @S, LEN(@S))"},
       "EXEC Acortar 'ABCD'", 8152, "String or binary data would be truncated.", "Acortar", {},
       "EXEC Acortar 'XY'", "RE_Empresa\tRE_Valor\nABCD\t4\nXY\t2\n(2 rows affected)\n"},
  };
  for (const ErrorCase& c : cases) {
    SCOPED_TRACE(c.label);
    TearDown();
    SetUp();
    OpenWith(c.file);
    for (const std::string& batch : c.before) Run(batch);
    BatchResult failed = session_->Execute(c.call);
    ASSERT_FALSE(failed.errors.empty());
    EXPECT_EQ(failed.errors[0].number, c.number) << Errors(failed);
    if (!c.message.empty()) {
      EXPECT_EQ(failed.errors[0].message, c.message);
    }
    EXPECT_EQ(failed.errors[0].procedure, c.procedure);
    for (const std::string& batch : c.fix) Run(batch);
    Run(c.second_call);
    EXPECT_EQ(Query("SELECT RE_Empresa, RE_Valor FROM SE_RESULTADO WHERE Id_FA BETWEEN 28 AND 31 "
                    "ORDER BY RE_Empresa"),
              c.results);
  }
}

// A conversion error aborts the company loop with its cursor open. The next call cannot declare
// TNov again nor open it, so it reads the rest of the leftover cursor and closes it; the call
// after that runs clean.
TEST_F(ProcedureErrorsTest, CursorLeftOpenByAnAbortedCallFailsTheNextDeclare) {
  OpenWith("p30");
  const std::string call = "EXEC P30 @Formulario='ENC', @Periodo=2005, @VPeriodo=2005";
  const std::string results =
      "SELECT RE_Empresa, RE_Valor FROM SE_RESULTADO WHERE Id_FA = 30 ORDER BY RE_Empresa";
  Run("UPDATE SE_MUESTRA_PADRON SET Novedad = 'baja' WHERE Unico = 'A1'");

  BatchResult first = session_->Execute(call);
  ASSERT_EQ(first.errors.size(), 1u) << Errors(first);
  EXPECT_EQ(first.errors[0].number, 8114);
  EXPECT_EQ(first.errors[0].message, "Error converting data type varchar to numeric.");
  EXPECT_EQ(first.errors[0].procedure, "P30");
  EXPECT_EQ(Query(results), "RE_Empresa\tRE_Valor\n(0 rows affected)\n");

  Run("UPDATE SE_MUESTRA_PADRON SET Novedad = NULL");
  BatchResult second = session_->Execute(call);
  ASSERT_EQ(second.errors.size(), 2u) << Errors(second);
  EXPECT_EQ(second.errors[0].number, 16915);
  EXPECT_EQ(second.errors[0].message, "A cursor with the name 'TNov' already exists.");
  EXPECT_EQ(second.errors[0].procedure, "P30");
  EXPECT_EQ(second.errors[1].number, 16905);
  EXPECT_EQ(Query(results), "RE_Empresa\tRE_Valor\nA2\t200\nA3\t0\n(2 rows affected)\n");

  BatchResult third = session_->Execute(call);
  EXPECT_TRUE(third.ok()) << Errors(third);
  EXPECT_EQ(Query(results), "RE_Empresa\tRE_Valor\nA1\t100\nA2\t200\nA3\t0\n(3 rows affected)\n");
}

// Through the client the error arrives as the server's: provider error code, native number and
// text; the connection stays usable for the next call.
TEST_F(ProcedureErrorsTest, ClientSeesTheServerErrorAndGoesOn) {
  OpenWith("p28_emp");
  session_.reset();
  sql::ConfigureEmbedded({"", SchemaBatches()});
  sql::Connection cn;
  cn.Open("Provider=SQLOLEDB.1;Data Source=" + (dir_ / "db.sqlite").string());
  auto call = [&](const char* company) {
    sql::Command cmd;
    cmd.SetActiveConnection(cn);
    cmd.SetCommandText("P28_Emp");
    cmd.SetCommandType(sql::adCmdStoredProc);
    cmd.Parameters().Item("@Formulario").SetValue(runtime::Valor::String("ENC"));
    cmd.Parameters().Item("@Periodo").SetValue(runtime::Valor::Long(2005));
    cmd.Parameters().Item("@VPeriodo").SetValue(runtime::Valor::Long(2005));
    cmd.Parameters().Item("@VEmpresa").SetValue(runtime::Valor::String(company));
    cmd.Execute();
  };
  try {
    call("A3");
    ADD_FAILURE() << "division by zero not raised";
  } catch (const runtime::VbError& e) {
    EXPECT_EQ(e.Number(), sql::kServerError);
    EXPECT_EQ(e.NativeNumber(), 8134);
    EXPECT_EQ(e.Description(), "Divide by zero error encountered.");
  }
  call("A1");
  sql::Recordset rs = cn.Execute("FindIdentRes");
  ASSERT_FALSE(rs.Eof());
  EXPECT_EQ(rs("RE_Valor").Value().AsDouble(), 0.5);
  cn.Close();
}

}  // namespace
}  // namespace engine
