// Tests of consolida-sql run in-process: what reaches stdout and stderr, the exit status, script
// files and stdin, -b, the choice of database file, and the shared engine fixture's setup script on a
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
  ConsoleRun Run(std::vector<std::string> args, const std::string& input = "") {
    std::istringstream in(input);
    std::ostringstream out, err;
    const int status = sql_console::RunConsole(args, in, out, err);
    return {status, out.str(), err.str()};
  }

  // Runs `query` with -Q on the test database.
  ConsoleRun Query(const std::string& query) { return Run({"-d", database_, "-Q", query}); }

  std::string WriteScript(const std::string& name, const std::string& text) {
    std::ofstream(folder_ / name, std::ios::binary) << text;
    return (folder_ / name).string();
  }

  test_support::TempFolder temp_{"consolida-console"};
  const fs::path folder_ = temp_.path();
  const std::string database_ = (folder_ / "test.db").string();
};

// Sets an environment variable for the scope, restoring what was there.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name), old_(getenv(name) ? getenv(name) : "") {
    setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() { old_.empty() ? unsetenv(name_) : setenv(name_, old_.c_str(), 1); }

 private:
  const char* name_;
  std::string old_;
};

// One run each on a database the first run creates with the schema: rows and NULLs in the
// engine's text form on stdout, nothing for statements without rows, errors on stderr with exit
// status 1; after a failing batch the run goes on, unless -b.
TEST_F(ConsoleTest, QueriesPrintRowsToStdoutAndErrorsToStderr) {
  const std::string failing = "SELECT * FROM NoSuchTable\nGO\nSELECT 2 AS B\n";
  const std::string missing = "Msg 208, Level 16, State 1, Line 1\nInvalid object name 'NoSuchTable'.\n";
  struct Case {
    const char* name;
    std::vector<std::string> args;
    std::string out, err;
    int status;
  };
  const std::vector<Case> cases = {
      {"no rows", {"-Q", "CREATE TABLE T (I int, V varchar(10))\nINSERT INTO T (I, V) VALUES (7, NULL)"}, "", "", 0},
      {"schema tables", {"-Q", "SELECT COUNT(*) AS N FROM SE_ARCHIVOS"}, "N\n0\n(1 rows affected)\n", "", 0},
      {"rows and NULL", {"-Q", "SELECT I, V FROM T"}, "I\tV\n7\tNULL\n(1 rows affected)\n", "", 0},
      {"without -b", {"-Q", failing}, "B\n2\n(1 rows affected)\n", missing, 1},
      {"with -b", {"-Q", failing, "-b"}, "", missing, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> args = {"-d", database_};
    args.insert(args.end(), c.args.begin(), c.args.end());
    ConsoleRun run = Run(args);
    EXPECT_EQ(run.out, c.out);
    EXPECT_EQ(run.err, c.err);
    EXPECT_EQ(run.status, c.status);
  }
}

TEST_F(ConsoleTest, ScriptFilesRunInOrderAndStdinWhenNoneIsGiven) {
  std::string first = WriteScript("a.sql", "CREATE TABLE T (X int)\nGO\nINSERT INTO T (X) VALUES (1)\n");
  std::string second = WriteScript("b.sql", "INSERT INTO T (X) VALUES (2)\nGO\nSELECT SUM(X) AS S FROM T\n");
  ConsoleRun run = Run({"-d", database_, "-i", first, "-i", second});
  EXPECT_EQ(std::to_string(run.status) + run.out, "0S\n3\n(1 rows affected)\n");
  ConsoleRun piped = Run({"-d", database_}, "SELECT COUNT(*) AS N FROM T\r\nGO\r\n");
  EXPECT_EQ(std::to_string(piped.status) + piped.out, "0N\n2\n(1 rows affected)\n");
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
  int novedades = 0, padron = 0;
  for (std::string line; std::getline(file, line);) {
    novedades += line.starts_with("INSERT INTO SE_NOVEDAD ");
    padron += line.starts_with("insert into SE_MUESTRA_PADRON ");
  }
  ASSERT_GT(novedades, 0);
  EXPECT_EQ(Query("SELECT (SELECT COUNT(*) FROM SE_NOVEDAD) AS N, (SELECT COUNT(*) FROM SE_MUESTRA_PADRON) AS P").out,
            "N\tP\n" + std::to_string(novedades) + "\t" + std::to_string(padron) + "\n(1 rows affected)\n");
}

}  // namespace
