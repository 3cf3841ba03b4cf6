// Runs every engine script under tests/platform/engine/scripts/ (one behaviour a file) on a
// fresh database. A script is a list of blocks:
//   require schema            (first line, optional: create the database from schema/*.sql)
//   statement ok              the batch must report no error
//   statement error <number>  the batch must report that error; after ---- its exact message
//   query                     after ---- the exact text FormatBatchOutput prints
// A batch runs to the first blank line or "----"; expected text runs to a blank line or EOF.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/engine/engine.h"
#include "platform/engine/result_text.h"
#include "tests/support/batch_files.h"
#include "tests/support/temp_folder.h"

namespace engine {
namespace {

namespace fs = std::filesystem;
using test_support::ReadLines;
using test_support::SchemaBatches;
using test_support::Trimmed;

const fs::path kScriptRoot = fs::path(CONSOLIDA_SOURCE_DIR) / "tests/platform/engine/scripts";

std::vector<std::string> FindScripts() {
  std::vector<std::string> scripts;
  if (!fs::exists(kScriptRoot)) return scripts;
  for (const auto& entry : fs::recursive_directory_iterator(kScriptRoot)) {
    if (entry.path().extension() == ".test") {
      scripts.push_back(fs::relative(entry.path(), kScriptRoot).generic_string());
    }
  }
  std::sort(scripts.begin(), scripts.end());
  return scripts;
}

std::string Describe(const BatchResult& result) {
  std::string out;
  for (const Error& e : result.errors) out += FormatError(e) + "\n";
  return out;
}

class ScriptTest : public ::testing::TestWithParam<std::string> {};

TEST_P(ScriptTest, Runs) {
  std::vector<std::string> lines = ReadLines(kScriptRoot / GetParam());
  const test_support::TempFolder temp("consolida-script");
  const fs::path dir = temp.path();
  size_t i = 0;
  auto skip_comments = [&] {
    while (i < lines.size() && (Trimmed(lines[i]).empty() || lines[i][0] == '#')) ++i;
  };
  skip_comments();
  OpenOptions options;
  if (i < lines.size() && Trimmed(lines[i]) == "require schema") {
    options.creation_scripts = SchemaBatches();
    ++i;
  }
  Error open_error;
  std::unique_ptr<Session> session = Session::Open((dir / "test.db").string(), options, &open_error);
  ASSERT_NE(session, nullptr) << FormatError(open_error);

  auto read_until = [&](bool stop_at_dashes) {
    std::string text;
    while (i < lines.size() && !Trimmed(lines[i]).empty() && !(stop_at_dashes && lines[i] == "----")) {
      text += lines[i++] + "\n";
    }
    return text;
  };
  for (skip_comments(); i < lines.size(); skip_comments()) {
    std::string header = Trimmed(lines[i]);
    int header_line = static_cast<int>(i) + 1;
    ++i;
    SCOPED_TRACE(GetParam() + ":" + std::to_string(header_line) + " " + header);
    std::string batch = read_until(true);
    bool has_expected = i < lines.size() && lines[i] == "----";
    std::string expected;
    if (has_expected) {
      ++i;
      expected = read_until(false);
    }
    BatchResult result = session->Execute(batch);
    if (header == "statement ok") {
      EXPECT_TRUE(result.ok()) << batch << Describe(result);
    } else if (header.rfind("statement error ", 0) == 0) {
      int number = std::stoi(header.substr(16));
      auto it = std::find_if(result.errors.begin(), result.errors.end(),
                             [&](const Error& e) { return e.number == number; });
      if (it == result.errors.end()) {
        ADD_FAILURE() << "expected error " << number << " from\n" << batch << "got\n" << Describe(result);
      } else if (has_expected) {
        EXPECT_EQ(it->message + "\n", expected) << batch;
      }
    } else if (header == "query") {
      EXPECT_TRUE(result.ok()) << batch << Describe(result);
      EXPECT_EQ(FormatBatchOutput(result), expected) << batch;
    } else {
      ADD_FAILURE() << "unknown block header: " << header;
      break;
    }
  }
  session.reset();
  fs::remove_all(dir);
}

std::string ScriptName(const ::testing::TestParamInfo<std::string>& info) {
  std::string name;
  for (char c : info.param.substr(0, info.param.size() - 5)) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(Scripts, ScriptTest, ::testing::ValuesIn(FindScripts()), ScriptName);

// A missing script folder would otherwise leave no test behind to fail.
TEST(ScriptFilesTest, TheScriptFoldersHoldScripts) {
  EXPECT_FALSE(FindScripts().empty()) << kScriptRoot.string();
}

}  // namespace
}  // namespace engine
