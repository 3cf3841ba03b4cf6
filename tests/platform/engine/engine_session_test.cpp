// Session-level behaviour that script files cannot express: two sessions on one file, the
// catalog surviving a reopen, hostile input, and the literal-parameterization cache.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/engine/engine.h"
#include "platform/engine/result_text.h"
#include "tests/support/temp_folder.h"

namespace engine {
namespace {

namespace fs = std::filesystem;

class EngineSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    temp_ = std::make_unique<test_support::TempFolder>("consolida-session");
    dir_ = temp_->path();
    path_ = (dir_ / "db.sqlite").string();
  }
  void TearDown() override { temp_.reset(); }

  std::unique_ptr<test_support::TempFolder> temp_;

  std::unique_ptr<Session> OpenSession(const OpenOptions& options = {}) {
    Error error;
    auto session = Session::Open(path_, options, &error);
    EXPECT_NE(session, nullptr) << FormatError(error);
    return session;
  }

  // Runs a batch that must succeed and returns what the console would print.
  static std::string Run(Session& session, const std::string& batch) {
    BatchResult result = session.Execute(batch);
    std::string errors;
    for (const Error& e : result.errors) errors += FormatError(e) + "\n";
    EXPECT_TRUE(result.ok()) << batch << "\n" << errors;
    return FormatBatchOutput(result);
  }

  static int FirstError(Session& session, const std::string& batch) {
    BatchResult result = session.Execute(batch);
    return result.errors.empty() ? 0 : result.errors.front().number;
  }

  fs::path dir_;
  std::string path_;
};

TEST_F(EngineSessionTest, OpenTransactionDoesNotBlockTheOtherReader) {
  auto a = OpenSession();
  auto b = OpenSession();
  Run(*a, "CREATE TABLE T (K int NULL)\nINSERT INTO T (K) VALUES(1)");
  Run(*a, "BEGIN TRANSACTION\nINSERT INTO T (K) VALUES(2)");
  ASSERT_EQ(a->TransactionCount(), 1);
  auto start = std::chrono::steady_clock::now();
  // The reader sees the last committed state, at once.
  EXPECT_EQ(Run(*b, "SELECT COUNT(*) AS N FROM T"), "N\n1\n(1 rows affected)\n");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  Run(*a, "COMMIT TRANSACTION");
  EXPECT_EQ(Run(*b, "SELECT COUNT(*) AS N FROM T"), "N\n2\n(1 rows affected)\n");
}

TEST_F(EngineSessionTest, SchemaChangedByTheOtherSessionIsSeen) {
  auto a = OpenSession();
  auto b = OpenSession();
  Run(*a, "CREATE TABLE T (K int NULL)\nINSERT INTO T (K) VALUES(1)");
  EXPECT_EQ(Run(*a, "SELECT * FROM T"), "K\n1\n(1 rows affected)\n");
  Run(*b, "DROP TABLE T\nCREATE TABLE T (N numeric(6,2) NULL)\nINSERT INTO T (N) VALUES(2.345)");
  EXPECT_EQ(Run(*a, "SELECT * FROM T"), "N\n2.35\n(1 rows affected)\n");
  // The client's BeginTrans and CommitTrans arrive as batches of their own; the batches between
  // them still see a schema the other session changed before the transaction began.
  Run(*b, "DROP TABLE T\nCREATE TABLE T (S varchar(2) NULL)\nINSERT INTO T (S) VALUES('ab')");
  Run(*a, "BEGIN TRANSACTION");
  EXPECT_EQ(Run(*a, "SELECT * FROM T"), "S\nab\n(1 rows affected)\n");
  EXPECT_EQ(FirstError(*a, "INSERT INTO T (S) VALUES('abc')"), 8152);
  Run(*a, "INSERT INTO T (S) VALUES('cd')");
  Run(*a, "COMMIT TRANSACTION");
  EXPECT_EQ(a->TransactionCount(), 0);
  EXPECT_EQ(Run(*b, "SELECT COUNT(*) AS C FROM T"), "C\n2\n(1 rows affected)\n");
}

TEST_F(EngineSessionTest, DeclaredTypesSurviveReopening) {
  {
    auto a = OpenSession();
    Run(*a, "CREATE TABLE T (N Numeric(4,0) NULL, S varchar(3) NULL)");
  }
  auto again = OpenSession();
  Run(*again, "INSERT INTO T (N, S) VALUES(2005.7, 'abc')");
  EXPECT_EQ(Run(*again, "SELECT N, S FROM T"), "N\tS\n2006\tabc\n(1 rows affected)\n");
  EXPECT_EQ(FirstError(*again, "INSERT INTO T (S) VALUES('abcd')"), 8152);
}

// The scripts run while the file holds no object: on a new file, and on one left without any
// (a program killed while it created the database); never again once they have.
TEST_F(EngineSessionTest, CreationScriptsRunOnAFileWithoutObjectsAndFailureLeavesNothing) {
  OpenOptions bad;
  bad.creation_scripts = {"CREATE TABLE T (K int NULL)", "CREATE TABLE T (K int NULL)"};
  Error error;
  EXPECT_EQ(Session::Open(path_, bad, &error), nullptr);
  EXPECT_EQ(error.number, 2714);
  EXPECT_FALSE(fs::exists(path_));

  OpenSession().reset();  // the file exists, with no object
  EXPECT_EQ(Session::Open(path_, bad, &error), nullptr);
  EXPECT_EQ(error.number, 2714);
  EXPECT_TRUE(fs::exists(path_));  // a file the call did not make stays, as it was

  OpenOptions good;
  good.creation_scripts = {"CREATE TABLE T (K int NULL)", "INSERT INTO T (K) VALUES(7)"};
  OpenSession(good).reset();
  auto reopened = OpenSession(good);  // the file holds T now: scripts do not run again
  EXPECT_EQ(Run(*reopened, "SELECT K FROM T"), "K\n7\n(1 rows affected)\n");
}

TEST_F(EngineSessionTest, HostileInputIsAnErrorNotACrash) {
  auto s = OpenSession();
  Run(*s, "CREATE TABLE T (K int NULL)");
  struct Case {
    std::string name;
    std::string batch;
    int error;
  };
  std::string huge = "SELECT '" + std::string(1 << 21, 'x') + "'";
  std::string deep = "SELECT " + std::string(5000, '(') + "1" + std::string(5000, ')');
  std::string deep_not = "SELECT K FROM T WHERE ";
  for (int k = 0; k < 3000; ++k) deep_not += "NOT ";
  deep_not += "K = 1";
  std::string deep_subquery = "SELECT K FROM T WHERE K IN ";
  for (int k = 0; k < 400; ++k) deep_subquery += "(SELECT K FROM T WHERE K IN ";
  std::string long_sum = "SELECT 1";
  for (int k = 0; k < 100000; ++k) long_sum += "+1";
  std::string long_and = "SELECT K FROM T WHERE K = 1";
  for (int k = 0; k < 100000; ++k) long_and += " AND K = 1";
  const std::vector<Case> cases = {
      {"long sum", long_sum, 191},
      {"long AND chain", long_and, 191},
      {"huge", huge, 8623},
      {"deep parentheses", deep, 191},
      {"deep NOT", deep_not, 191},
      {"deep subqueries", deep_subquery, 191},
      {"NUL byte", std::string("SELECT 1\0 FROM T", 16), 102},
      {"invalid UTF-8", "SELECT '\xC3\x28'", 102},
      {"truncated UTF-8", "SELECT K FROM T WHERE K = '\xE2\x82'", 102},
      {"unclosed bracket", "SELECT [K FROM T", 102},
      {"unclosed comment", "SELECT K /* FROM T", 113},
      {"lonely operator", "SELECT K FROM T WHERE", 102},
      {"only punctuation", ")))(((,,,", 102},
      {"dangling IF", "IF", 102},
      {"CASE without WHEN", "SELECT CASE END", 156},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(FirstError(*s, c.batch), c.error);
  }
  // Long but reasonable chains are fine.
  std::string sum = "SELECT 0";
  for (int k = 0; k < 500; ++k) sum += "+1";
  EXPECT_EQ(Run(*s, sum + " AS N"), "N\n500\n(1 rows affected)\n");
  // The session is still usable afterwards.
  EXPECT_EQ(Run(*s, "SELECT COUNT(*) AS N FROM T"), "N\n0\n(1 rows affected)\n");
}

TEST_F(EngineSessionTest, StatementsDifferingOnlyInLiteralsGetTheirOwnValues) {
  auto s = OpenSession();
  Run(*s, "CREATE TABLE N (Empresa varchar(20) NULL, Periodo numeric(4,0) NULL, Campo varchar(10) NULL, V float NULL)");
  for (int k = 0; k < 50; ++k) {
    Run(*s, "INSERT INTO N (Empresa, Periodo, Campo, V) VALUES('E" + std::to_string(k) + "', " +
                std::to_string(2000 + k % 3) + ", 'VENTAS', " + std::to_string(k) + ".5)");
  }
  for (int k : {0, 7, 49}) {
    SCOPED_TRACE(k);
    EXPECT_EQ(Run(*s, "SELECT V FROM N WHERE Empresa = 'E" + std::to_string(k) + "' AND Periodo = " +
                          std::to_string(2000 + k % 3) + " AND Campo = 'VENTAS'"),
              "V\n" + std::to_string(k) + ".5\n(1 rows affected)\n");
  }
  // Same shape, different literal kinds and lengths: the checks follow the literal.
  EXPECT_EQ(FirstError(*s, "INSERT INTO N (Empresa) VALUES('short')"), 0);
  EXPECT_EQ(FirstError(*s, "INSERT INTO N (Empresa) VALUES('a value much longer than twenty')"), 8152);
  EXPECT_EQ(FirstError(*s, "INSERT INTO N (Periodo) VALUES(1999)"), 0);
  EXPECT_EQ(FirstError(*s, "INSERT INTO N (Periodo) VALUES(99999)"), 8115);
  // Literals that shape the statement (ordinals, aliases) are never shared.
  EXPECT_EQ(Run(*s, "SELECT Empresa, V FROM N WHERE V < 2 ORDER BY 1"), "Empresa\tV\nE0\t0.5\nE1\t1.5\n(2 rows affected)\n");
  EXPECT_EQ(Run(*s, "SELECT Empresa, V FROM N WHERE V < 2 ORDER BY 2 DESC"), "Empresa\tV\nE1\t1.5\nE0\t0.5\n(2 rows affected)\n");
  EXPECT_EQ(Run(*s, "SELECT 1 'Uno'"), "Uno\n1\n(1 rows affected)\n");
  EXPECT_EQ(Run(*s, "SELECT 2 'Dos'"), "Dos\n2\n(1 rows affected)\n");
  // A cached statement is translated again after its table changes.
  Run(*s, "DROP TABLE N\nCREATE TABLE N (Empresa int NULL)\nINSERT INTO N (Empresa) VALUES(3)");
  EXPECT_EQ(Run(*s, "SELECT Empresa FROM N WHERE Empresa = 3"), "Empresa\n3\n(1 rows affected)\n");
}

// A LIKE whose pattern has no wildcard is translated apart, so the same statement with a
// wildcard pattern (or the other way round) must not reuse that translation.
TEST_F(EngineSessionTest, LikeStatementsWithAndWithoutWildcardsKeepTheirOwnMeaning) {
  auto s = OpenSession();
  Run(*s, "CREATE TABLE W (Empresa varchar(20) NULL)\nCREATE INDEX W_Empresa ON W (Empresa)");
  for (const char* empresa : {"E1", "E10", "e1  ", "E_1"}) {
    Run(*s, std::string("INSERT INTO W (Empresa) VALUES('") + empresa + "')");
  }
  const struct {
    const char* pattern;
    int rows;
  } kCases[] = {{"E1", 2}, {"E1%", 3}, {"e10", 1}, {"E_1", 1}, {"E1 ", 0}, {"E[_]1", 1}, {"E1", 2}, {"%", 4}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.pattern);
    EXPECT_EQ(Run(*s, std::string("SELECT COUNT(*) AS N FROM W WHERE Empresa LIKE '") + c.pattern + "'"),
              "N\n" + std::to_string(c.rows) + "\n(1 rows affected)\n");
  }
}

// An error names its line (and procedure); a statement error lets the batch go on, a missing
// table ends it (or the procedure) where it is reached.
TEST_F(EngineSessionTest, ErrorsNameTheirLineAndStopWhereTheyShould) {
  auto s = OpenSession();
  Run(*s, "CREATE PROCEDURE Falla AS\nSELECT 1 AS A\nSELECT * FROM NoHay\nSELECT 2 AS B");
  const struct {
    const char* batch;
    const char* error;
    std::vector<std::string> result_sets;  // first column of each
  } cases[] = {
      {"CREATE TABLE T (K int NULL)\n\nINSERT INTO T (K) VALUES(1)\nSELECT K / 0 FROM T\nSELECT 1 AS X",
       "Msg 8134, Level 16, State 1, Line 4\nDivide by zero error encountered.", {"X"}},
      {"SELECT 1 AS A\nSELECT * FROM Nowhere\nSELECT 2 AS B",
       "Msg 208, Level 16, State 1, Line 2\nInvalid object name 'Nowhere'.", {"A"}},
      {"EXEC Falla\nSELECT 3 AS C",
       "Msg 208, Level 16, State 1, Procedure Falla, Line 3\nInvalid object name 'NoHay'.", {"A", "C"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.batch);
    BatchResult result = s->Execute(c.batch);
    ASSERT_EQ(result.errors.size(), 1u);
    EXPECT_EQ(FormatError(result.errors[0]), c.error);
    std::vector<std::string> names;
    for (const auto& set : result.result_sets) names.push_back(set.columns[0].name);
    EXPECT_EQ(names, c.result_sets);
  }
}

TEST_F(EngineSessionTest, RolledBackCreateLeavesNoTableBehind) {
  auto s = OpenSession();
  Run(*s, "BEGIN TRANSACTION\nCREATE TABLE T (K int NULL)\nINSERT INTO T (K) VALUES(1)");
  EXPECT_EQ(Run(*s, "SELECT K FROM T"), "K\n1\n(1 rows affected)\n");
  Run(*s, "ROLLBACK TRANSACTION");
  EXPECT_EQ(FirstError(*s, "SELECT K FROM T"), 208);
  Run(*s, "CREATE TABLE T (K varchar(2) NULL)");  // the name is free again
  EXPECT_EQ(FirstError(*s, "INSERT INTO T (K) VALUES('abc')"), 8152);
}

TEST_F(EngineSessionTest, ProceduresAreCalledByNameWithConvertedValues) {
  auto a = OpenSession();
  Run(*a, "CREATE TABLE R (F varchar(6) NULL, P numeric(4,0) NULL, E varchar(20) NULL)");
  Run(*a,
      "CREATE PROCEDURE dbo.P7_Emp @Formulario as Varchar(6), @Periodo as Numeric(4,0), "
      "@VEmpresa varchar(20) = 'ninguna' AS\n"
      "INSERT INTO R (F, P, E) VALUES(@Formulario, @Periodo, @VEmpresa)\n"
      "SELECT F, P, E FROM R");
  auto b = OpenSession();  // the procedure lives in the file, not in the session that made it
  std::optional<std::vector<ProcedureParameter>> params = b->ProcedureParameters("p7_emp");
  ASSERT_TRUE(params.has_value());
  ASSERT_EQ(params->size(), 3u);
  EXPECT_EQ((*params)[0].name, "@Formulario");
  EXPECT_EQ((*params)[1].type, (SqlType{TypeKind::kNumeric, 0, 4, 0}));
  EXPECT_FALSE((*params)[1].has_default);
  EXPECT_TRUE((*params)[2].has_default);

  BatchResult result = b->CallProcedure(
      "P7_EMP", {{"@Formulario", std::string("ENCUESTA")}, {"@Periodo", 2005.5}});
  ASSERT_TRUE(result.ok()) << FormatError(result.errors.front());
  EXPECT_EQ(FormatBatchOutput(result), "F\tP\tE\nENCUES\t2006\tninguna\n(1 rows affected)\n");

  result = b->CallProcedure("P7_Emp", {{"@Periodo", int64_t{1}}});
  ASSERT_EQ(result.errors.size(), 1u);
  EXPECT_EQ(result.errors[0].number, 201);
  EXPECT_EQ(b->CallProcedure("Nada", {}).errors.at(0).number, 2812);
  EXPECT_FALSE(b->ProcedureParameters("Nada").has_value());
}

TEST_F(EngineSessionTest, RunawayRecursionStopsAtTheNestingLimit) {
  auto s = OpenSession();
  Run(*s, "CREATE PROCEDURE Eco @n int AS\nSET @n = @n + 1\nEXEC Eco @n");
  BatchResult result = s->Execute("EXEC Eco 0\nSELECT 1 AS Nunca");
  ASSERT_FALSE(result.errors.empty());
  EXPECT_EQ(result.errors.back().number, 217);
  EXPECT_TRUE(result.result_sets.empty());
}

}  // namespace
}  // namespace engine
