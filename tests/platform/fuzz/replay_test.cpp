// Replays the inputs the fuzzers found faults with (tests/data/fuzz/<reader>/) through the same
// entry points the harnesses use: each must now be read, or refused with the reader's own
// error, and nothing else may escape (a crash, another exception, a hang past the test's time).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "fuzz/inputs.h"

namespace {

namespace fs = std::filesystem;

using Target = fuzz_inputs::Outcome (*)(const uint8_t*, size_t);

fuzz_inputs::Outcome RunBatch(const uint8_t* data, size_t size) {
  return fuzz_inputs::RunSql(data, size);
}

struct Reader {
  const char* folder;
  Target target;
};

const Reader kReaders[] = {
    {"dbf", fuzz_inputs::ReadDbf},
    {"xls", fuzz_inputs::ReadXls},
    {"sql", fuzz_inputs::CompileSql},
    {"engine", RunBatch},
};

// A reader without findings has no folder.
std::vector<fs::path> Inputs(const char* folder) {
  std::vector<fs::path> inputs;
  const fs::path root = fs::path(CONSOLIDA_TEST_DATA_DIR) / "fuzz" / folder;
  if (!fs::exists(root)) return inputs;
  for (const auto& entry : fs::directory_iterator(root)) {
    if (entry.is_regular_file()) inputs.push_back(entry.path());
  }
  std::sort(inputs.begin(), inputs.end());
  return inputs;
}

// Inputs whose fault was a reader trusting the file: they must be refused, for this reason.
const std::map<std::string, std::string> kRefusals = {
    {"xls/difat_loop.xls", "la cadena DIFAT vuelve sobre sí misma"},
    {"xls/directory_freexl_reads_otherwise.xls", "no tiene un flujo Workbook legible"},
    {"xls/number_cell_nan.xls", "tiene registros que no se pueden interpretar"},
    {"xls/record_over_next_sheet.xls", "tiene registros que no se pueden interpretar"},
    {"xls/root_entry_4gb.xls", "la entrada 'Root Entry' declara 4294967280 bytes y el archivo tiene 2560"},
};

TEST(FuzzReplayTest, SavedFindingsAreReadOrRefusedCleanly) {
  size_t refusals_seen = 0;
  for (const Reader& reader : kReaders) {
    for (const fs::path& input : Inputs(reader.folder)) {
      SCOPED_TRACE(input.filename().string());
      std::ifstream in(input, std::ios::binary);
      const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                       std::istreambuf_iterator<char>());
      fuzz_inputs::Outcome outcome;
      EXPECT_NO_THROW(outcome = reader.target(bytes.data(), bytes.size()));
      EXPECT_NE(outcome.read, !outcome.error.empty()) << outcome.error;
      const auto refusal = kRefusals.find(std::string(reader.folder) + "/" + input.filename().string());
      if (refusal != kRefusals.end()) {
        ++refusals_seen;
        EXPECT_NE(outcome.error.find(refusal->second), std::string::npos) << outcome.error;
      }
    }
  }
  EXPECT_EQ(refusals_seen, kRefusals.size());
}

}  // namespace
