// The generated-procedure fixtures through consolida-sql, in-process, as their README runs them:
// a fresh database, -i setup.sql and the formula's script, then the calls script, whose printed
// output must equal the expected text after CR LF becomes LF.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/consolida-sql/console.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

const fs::path kFixtures = fs::path(CONSOLIDA_TEST_DATA_DIR) / "fixtures/engine";

std::string WithoutCarriageReturns(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::string out;
  for (char c : text) {
    if (c != '\r') out += c;
  }
  return out;
}

class ConsoleFixtureTest : public ::testing::TestWithParam<std::string> {};

TEST_P(ConsoleFixtureTest, PrintsTheExpectedResults) {
  const std::string name = GetParam();
  ASSERT_TRUE(fs::exists(kFixtures / (name + ".sql"))) << "missing fixture " << (kFixtures / name).string();
  const test_support::TempFolder temp("consolida-console-fixture");
  const fs::path folder = temp.path();
  const std::string database = (folder / "fixture.db").string();
  std::istringstream in;
  std::ostringstream load_out, load_err, out, err;
  int load = sql_console::RunConsole(
      {"-d", database, "-b", "-i", (kFixtures / "setup.sql").string(), "-i",
       (kFixtures / (name + ".sql")).string()},
      in, load_out, load_err);
  EXPECT_EQ(load, 0) << load_err.str();
  EXPECT_EQ(load_out.str(), "");
  int run = sql_console::RunConsole({"-d", database, "-i", (kFixtures / (name + ".run.sql")).string()},
                                    in, out, err);
  EXPECT_EQ(run, 0) << err.str();
  EXPECT_EQ(out.str(), WithoutCarriageReturns(kFixtures / (name + ".expected")));
}

INSTANTIATE_TEST_SUITE_P(Formulas, ConsoleFixtureTest,
                         ::testing::Values("p7", "p7_emp", "p8", "p8_emp", "p9", "p9_emp", "p11",
                                           "p11_emp", "p12", "p12_emp"));

}  // namespace
