// Tests of consolida-sql run in-process: what reaches stdout and stderr, the exit status, GO
// splitting, -b, the choice of database file, and the shared engine fixture's setup script on a
// freshly created database.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/consolida-sql/console.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

struct ConsoleRun {
  int status = 0;
  std::string out;
  std::string err;
};

class ConsoleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    temp_ = std::make_unique<test_support::TempFolder>("consolida-console");
    folder_ = temp_->path();
    database_ = (folder_ / "test.db").string();
  }
  void TearDown() override { temp_.reset(); }

  std::unique_ptr<test_support::TempFolder> temp_;

  ConsoleRun Run(std::vector<std::string> args, const std::string& input = "") {
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    ConsoleRun run;
    run.status = sql_console::RunConsole(args, in, out, err);
    run.out = out.str();
    run.err = err.str();
    return run;
  }

  // Runs `query` with -Q on the test database.
  ConsoleRun Query(const std::string& query) { return Run({"-d", database_, "-Q", query}); }

  std::string WriteScript(const std::string& name, const std::string& text) {
    fs::path path = folder_ / name;
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
  }

  fs::path folder_;
  std::string database_;
};

// Restores an environment variable when the test ends.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = getenv(name)) old_ = old;
    had_old_ = getenv(name) != nullptr;
    setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (had_old_) {
      setenv(name_, old_.c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::string old_;
  bool had_old_ = false;
};

// One -Q run each on a database the first run creates with the schema: rows and NULLs in the
// engine's text form on stdout, nothing for statements without rows, errors on stderr with
// exit status 1.
TEST_F(ConsoleTest, QueriesPrintRowsToStdoutAndErrorsToStderr) {
  ASSERT_EQ(Query("CREATE TABLE T (I int, F float, N numeric(18,2), V varchar(10), D datetime)\n"
                  "INSERT INTO T (I, F, N, V, D) VALUES (7, 2.5, 1.5, 'abc', '05/12/2026')\n"
                  "INSERT INTO T (I) VALUES (NULL)")
                .status,
            0);
  EXPECT_TRUE(fs::exists(database_));
  struct Case {
    const char* name;
    std::string query, out, err;
    int status;
  };
  const std::vector<Case> cases = {
      {"schema tables", "SELECT COUNT(*) AS N FROM SE_ARCHIVOS", "N\n0\n(1 rows affected)\n", "", 0},
      {"each type and NULL", "SELECT I, F, N, V, D FROM T ORDER BY I DESC",
       "I\tF\tN\tV\tD\n7\t2.5\t1.50\tabc\t2026-12-05 00:00:00.000\nNULL\tNULL\tNULL\tNULL\tNULL\n"
       "(2 rows affected)\n",
       "", 0},
      {"no rows", "INSERT INTO SE_ARCHIVOS (Arc_Nombre, Arc_Fecha) VALUES('ENCUES_1','05/12/2026')", "",
       "", 0},
      {"error", "SELECT Arc_Nombre FROM NoSuchTable", "",
       "Msg 208, Level 16, State 1, Line 1\nInvalid object name 'NoSuchTable'.\n", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ConsoleRun run = Query(c.query);
    EXPECT_EQ(run.out, c.out);
    EXPECT_EQ(run.err, c.err);
    EXPECT_EQ(run.status, c.status);
  }
}

TEST_F(ConsoleTest, GoSeparatesBatches) {
  struct Case {
    const char* name;
    std::string script;
    std::string out;
  };
  const std::vector<Case> cases = {
      {"upper case, LF", "SELECT 1 AS A\nGO\nSELECT 2 AS B\n",
       "A\n1\n(1 rows affected)\nB\n2\n(1 rows affected)\n"},
      {"lower case with blanks, CR LF", "SELECT 1 AS A\r\n  go\t\r\nSELECT 2 AS B\r\nGo\r\n",
       "A\n1\n(1 rows affected)\nB\n2\n(1 rows affected)\n"},
      {"empty batches skipped", "GO\n\nGO\nSELECT 3 AS C\nGO\nGO\n", "C\n3\n(1 rows affected)\n"},
      {"no GO at all: one batch", "SELECT 4 AS D\nSELECT 5 AS E\n",
       "D\n4\n(1 rows affected)\nE\n5\n(1 rows affected)\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ConsoleRun run = Run({"-d", database_, "-i", WriteScript("script.sql", c.script)});
    EXPECT_EQ(run.out, c.out);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.status, 0);
  }
}

TEST_F(ConsoleTest, GoInsideALineIsNotASeparator) {
  // "GO 2" is sqlcmd's repeat count, which this console does not offer: the line must reach the
  // server as text, which refuses it. Split there, the run would have nothing to complain about.
  ConsoleRun run = Query("SELECT 1 AS A\nGO 2\n");
  EXPECT_NE(run.err.find("Msg "), std::string::npos);
  EXPECT_EQ(run.status, 1);
}

TEST_F(ConsoleTest, AFailingBatchStopsTheRunOnlyWithB) {
  const std::string script = "SELECT * FROM NoSuchTable\nGO\nSELECT 2 AS B\n";
  struct Case {
    const char* name;
    bool stop;
    std::string out;
  };
  for (const Case& c : {Case{"without -b", false, "B\n2\n(1 rows affected)\n"},
                        Case{"with -b", true, ""}}) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> args = {"-d", database_, "-Q", script};
    if (c.stop) args.push_back("-b");
    ConsoleRun run = Run(args);
    EXPECT_EQ(run.out, c.out);
    EXPECT_EQ(run.err, "Msg 208, Level 16, State 1, Line 1\nInvalid object name 'NoSuchTable'.\n");
    EXPECT_EQ(run.status, 1);
  }
}

TEST_F(ConsoleTest, ScriptFilesRunInOrderAndStdinWhenNoneIsGiven) {
  std::string first = WriteScript("a.sql", "CREATE TABLE T (X int)\nGO\nINSERT INTO T (X) VALUES (1)\n");
  std::string second = WriteScript("b.sql", "INSERT INTO T (X) VALUES (2)\nGO\nSELECT SUM(X) AS S FROM T\n");
  ConsoleRun run = Run({"-d", database_, "-i", first, "-i", second});
  EXPECT_EQ(run.out, "S\n3\n(1 rows affected)\n");
  EXPECT_EQ(run.status, 0);

  ConsoleRun piped = Run({"-d", database_}, "SELECT COUNT(*) AS N FROM T\r\nGO\r\n");
  EXPECT_EQ(piped.out, "N\n2\n(1 rows affected)\n");
  EXPECT_EQ(piped.status, 0);
}

// Help, bad arguments and missing scripts open nothing: help prints the usage and succeeds,
// the others fail with a message.
TEST_F(ConsoleTest, HelpBadArgumentsAndMissingScriptsDoNotCreateTheDatabase) {
  const std::vector<std::vector<std::string>> cases = {
      {"-d", database_, "--help"},
      {"-d", database_, "-x"},
      {"-d", database_, "-Q"},
      {"-d", database_, "-Q", "SELECT 1 AS A", "-i", "a.sql"},
      {"-d", database_, "-i", (folder_ / "missing.sql").string()},
  };
  for (const std::vector<std::string>& args : cases) {
    SCOPED_TRACE(args.back());
    ConsoleRun run = Run(args);
    const bool help = args.back() == "--help";
    EXPECT_EQ(run.status, help ? 0 : 1);
    EXPECT_EQ(run.out.rfind("usage: consolida-sql", 0), help ? 0u : std::string::npos);
    EXPECT_EQ(run.out.empty(), !help);
    EXPECT_EQ(run.err.empty(), help);
    EXPECT_FALSE(fs::exists(database_));
  }
}

TEST_F(ConsoleTest, DefaultDatabaseFollowsHostThenApplicationFolder) {
  {
    ScopedEnv no_host("CONSOLIDA_SQL_HOST", "");
    ScopedEnv app("CONSOLIDA_APP_FOLDER", folder_.string());
    ASSERT_EQ(Run({"-Q", "CREATE TABLE EnCarpeta (X int)"}).status, 0);
    EXPECT_TRUE(fs::exists(folder_ / "Consolida.db"));
  }
  {
    ScopedEnv host("CONSOLIDA_SQL_HOST", database_);
    ScopedEnv app("CONSOLIDA_APP_FOLDER", folder_.string());
    ASSERT_EQ(Run({"-Q", "CREATE TABLE EnHost (X int)"}).status, 0);
  }
  // Each table landed in the database its settings named.
  EXPECT_EQ(Query("SELECT COUNT(*) AS N FROM EnHost").status, 0);
  EXPECT_EQ(Query("SELECT COUNT(*) AS N FROM EnCarpeta").status, 1);
}

TEST_F(ConsoleTest, EngineFixtureSetupRunsOnANewDatabase) {
  const fs::path setup = fs::path(CONSOLIDA_TEST_DATA_DIR) / "fixtures/engine/setup.sql";
  ConsoleRun run = Run({"-d", database_, "-b", "-i", setup.string()});
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.status, 0);

  // Every row the script inserts is there.
  std::ifstream file(setup);
  std::string line;
  int novedades = 0;
  int padron = 0;
  while (std::getline(file, line)) {
    if (line.rfind("INSERT INTO SE_NOVEDAD ", 0) == 0) ++novedades;
    if (line.rfind("insert into SE_MUESTRA_PADRON ", 0) == 0) ++padron;
  }
  ASSERT_GT(novedades, 0);
  EXPECT_EQ(Query("SELECT COUNT(*) AS N FROM SE_NOVEDAD").out,
            "N\n" + std::to_string(novedades) + "\n(1 rows affected)\n");
  EXPECT_EQ(Query("SELECT COUNT(*) AS N FROM SE_MUESTRA_PADRON").out,
            "N\n" + std::to_string(padron) + "\n(1 rows affected)\n");
}

}  // namespace
