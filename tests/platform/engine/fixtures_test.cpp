// The generated-procedure cases: create the database from schema/, load the case folder's
// setup.sql, create the procedures of one formula batch by batch, run the calls and compare
// what is printed with the expected text, byte for byte. The shared acceptance fixtures and the
// local cases (one per procedure shape the fixtures leave out) share one folder layout. Each
// case runs twice: on an engine
// session as the console does, and through the database client as the sequence runner does
// (procedures by a stored-procedure Command with refreshed parameters set by name, FindIdentRes
// by its bare name on the connection).
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <regex>

#include "platform/engine/engine.h"
#include "platform/engine/result_text.h"
#include "platform/runtime/conversions.h"
#include "platform/runtime/valor.h"
#include "platform/runtime/vb_error.h"
#include "platform/sql/client.h"
#include "tests/support/batch_files.h"
#include "tests/support/temp_folder.h"

namespace engine {
namespace {

namespace fs = std::filesystem;
using test_support::ReadLines;
using test_support::SchemaBatches;
using test_support::SplitBatches;
using test_support::Trimmed;

const fs::path kFixtures = fs::path(CONSOLIDA_TEST_DATA_DIR) / "fixtures/engine";
const fs::path kLocalCases = fs::path(CONSOLIDA_SOURCE_DIR) / "tests/platform/engine/procedures";

// One case: its folder and its name (the files <name>.sql, .run.sql and .expected).
struct Case {
  fs::path folder;
  std::string name;
};

// The test list names a case by its folder and name, not by its bytes.
void PrintTo(const Case& c, std::ostream* out) {
  *out << (c.folder.filename() / c.name).generic_string();
}

// What the console prints for a batch: its result sets, then its errors.
std::string ConsoleText(const BatchResult& result) {
  std::string out = FormatBatchOutput(result);
  for (const Error& e : result.errors) out += FormatError(e) + "\n";
  return out;
}

// The same text form for a client recordset; a closed recordset prints nothing.
std::string RecordsetText(sql::Recordset& rs) {
  if (rs.State() != sql::adStateOpen) return "";
  std::string out;
  sql::Fields fields = rs.Fields();
  for (int i = 0; i < fields.Count(); ++i) out += (i ? "\t" : "") + fields.Item(i).Name();
  out += "\n";
  int rows = 0;
  for (; !rs.Eof(); rs.MoveNext(), ++rows) {
    for (int i = 0; i < fields.Count(); ++i) {
      runtime::Valor v = fields.Item(i).Value();
      if (i) out += '\t';
      out += v.IsNull() ? std::string("NULL") : runtime::CStr(v);
    }
    out += "\n";
  }
  return out + "(" + std::to_string(rows) + " rows affected)\n";
}

std::string ExpectedText(const Case& c) {
  std::string expected;
  for (const std::string& line : ReadLines(c.folder / (c.name + ".expected"))) expected += line + "\n";
  return expected;
}

// Runs setup.sql and the case's procedure batches through `run`, which reports failures.
void LoadCase(const Case& c, const std::function<void(const std::string&)>& run) {
  for (const fs::path& file : {c.folder / "setup.sql", c.folder / (c.name + ".sql")}) {
    for (const std::string& batch : SplitBatches(file)) run(batch);
  }
}

class FixtureTest : public ::testing::TestWithParam<Case> {};

TEST_P(FixtureTest, PrintsTheExpectedResultsOnASession) {
  const Case c = GetParam();
  ASSERT_TRUE(fs::exists(c.folder / (c.name + ".sql"))) << "missing fixture " << (c.folder / c.name).string();
  const test_support::TempFolder dir("consolida-fixture-" + c.name);
  OpenOptions options;
  options.creation_scripts = SchemaBatches();
  Error error;
  auto session = Session::Open((dir.path() / "db.sqlite").string(), options, &error);
  ASSERT_NE(session, nullptr) << FormatError(error);
  LoadCase(c, [&](const std::string& batch) {
    BatchResult result = session->Execute(batch);
    ASSERT_TRUE(result.ok()) << batch << ConsoleText(result);
  });
  std::string printed;
  for (const std::string& batch : SplitBatches(c.folder / (c.name + ".run.sql"))) {
    printed += ConsoleText(session->Execute(batch));
  }
  EXPECT_EQ(printed, ExpectedText(c));
}

// "EXEC P7_Emp @Formulario='ENCUES', @Periodo=2005" as a procedure name and named values;
// false for any other batch.
bool ParseCall(const std::string& batch, std::string* procedure,
               std::vector<std::pair<std::string, runtime::Valor>>* args) {
  static const std::regex kCall(R"(^\s*EXEC(UTE)?\s+(\w+)\s+(@.*?)\s*$)", std::regex::icase);
  static const std::regex kArg(R"((@\w+)\s*=\s*('([^']*)'|[-0-9.]+))");
  std::smatch call;
  if (!std::regex_match(batch, call, kCall)) return false;
  *procedure = call[2];
  std::string list = call[3];
  for (std::sregex_iterator it(list.begin(), list.end(), kArg), end; it != end; ++it) {
    const std::smatch& arg = *it;
    // Texts go as strings, whole numbers as Long, as the runner passes year and period.
    const std::string text = arg[2];
    runtime::Valor value = arg[3].matched ? runtime::Valor::String(arg[3])
                           : text.find('.') != std::string::npos
                               ? runtime::Valor::Double(std::stod(text))
                               : runtime::Valor::Long(std::stoi(text));
    args->emplace_back(arg[1], value);
  }
  return true;
}

TEST_P(FixtureTest, PrintsTheExpectedResultsThroughTheClient) {
  const Case c = GetParam();
  ASSERT_TRUE(fs::exists(c.folder / (c.name + ".sql"))) << "missing fixture " << (c.folder / c.name).string();
  const test_support::TempFolder dir("consolida-fixture-" + c.name + "-client");
  sql::ConfigureEmbedded({"", SchemaBatches()});
  sql::Connection cn;
  cn.Open("Provider=SQLOLEDB.1;Data Source=" + (dir.path() / "db.sqlite").string());
  try {
    LoadCase(c, [&](const std::string& batch) { cn.Execute(batch); });
    std::string printed;
    for (const std::string& batch : SplitBatches(c.folder / (c.name + ".run.sql"))) {
      std::string procedure;
      std::vector<std::pair<std::string, runtime::Valor>> args;
      sql::Recordset rs;
      if (ParseCall(batch, &procedure, &args)) {
        sql::Command cmd;
        cmd.SetActiveConnection(cn);
        cmd.SetCommandText(procedure);
        cmd.SetCommandType(sql::adCmdStoredProc);
        cmd.Parameters().Refresh();
        EXPECT_EQ(cmd.Parameters().Item(0).Name(), "@RETURN_VALUE");
        for (auto& [param, value] : args) cmd.Parameters().Item(param).SetValue(value);
        rs = cmd.Execute();
      } else {
        rs = cn.Execute(Trimmed(batch.substr(0, batch.find_last_not_of("\n") + 1)));
      }
      printed += RecordsetText(rs);
    }
    EXPECT_EQ(printed, ExpectedText(c));
  } catch (const runtime::VbError& e) {
    ADD_FAILURE() << e.what();
  }
  cn.Close();
}

// Every <name>.sql of a folder that has a .run.sql, in name order.
std::vector<Case> CasesIn(const fs::path& folder) {
  std::vector<Case> cases;
  if (!fs::exists(folder)) return cases;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const fs::path& path = entry.path();
    if (path.extension() != ".sql" || path.stem().extension() == ".run") continue;
    if (fs::exists(folder / (path.stem().string() + ".run.sql"))) {
      cases.push_back({folder, path.stem().string()});
    }
  }
  std::sort(cases.begin(), cases.end(),
            [](const Case& a, const Case& b) { return a.name < b.name; });
  return cases;
}

std::string CaseName(const ::testing::TestParamInfo<Case>& info) { return info.param.name; }

// The acceptance fixtures are listed by name, so that a missing one fails instead of vanishing.
INSTANTIATE_TEST_SUITE_P(Fixtures, FixtureTest,
                         ::testing::Values(Case{kFixtures, "p7"}, Case{kFixtures, "p7_emp"},
                                           Case{kFixtures, "p8"}, Case{kFixtures, "p8_emp"},
                                           Case{kFixtures, "p9"}, Case{kFixtures, "p9_emp"},
                                           Case{kFixtures, "p11"}, Case{kFixtures, "p11_emp"},
                                           Case{kFixtures, "p12"}, Case{kFixtures, "p12_emp"}),
                         CaseName);
INSTANTIATE_TEST_SUITE_P(Shapes, FixtureTest, ::testing::ValuesIn(CasesIn(kLocalCases)), CaseName);

// A folder that lost its cases would otherwise leave no test behind to fail.
TEST(FixtureFilesTest, TheProcedureShapesArePresent) {
  EXPECT_GE(CasesIn(kLocalCases).size(), 14u) << kLocalCases.string();
}

}  // namespace
}  // namespace engine
