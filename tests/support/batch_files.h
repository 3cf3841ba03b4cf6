// Test helpers shared by the file-driven tests (engine scripts, procedure files): reading text
// files line by line and splitting SQL scripts into batches at lines holding only GO, as the
// client tools do.
#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace test_support {

// The lines of a file, without their CR LF or LF ends.
inline std::vector<std::string> ReadLines(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

inline std::string Trimmed(const std::string& s) {
  size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return "";
  return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

// The batches of one script file; blank batches are dropped.
inline std::vector<std::string> SplitBatches(const std::filesystem::path& path) {
  std::vector<std::string> batches;
  std::string batch;
  auto flush = [&] {
    if (!Trimmed(batch).empty() && batch.find_first_not_of(" \t\n") != std::string::npos) {
      batches.push_back(batch);
    }
    batch.clear();
  };
  for (const std::string& line : ReadLines(path)) {
    std::string t = Trimmed(line);
    if (t.size() == 2 && (t[0] == 'G' || t[0] == 'g') && (t[1] == 'O' || t[1] == 'o')) {
      flush();
    } else {
      batch += line + "\n";
    }
  }
  flush();
  return batches;
}

// The schema/ scripts in file-name order, as batches.
inline std::vector<std::string> SchemaBatches() {
  namespace fs = std::filesystem;
  std::vector<fs::path> files;
  fs::path dir = fs::path(CONSOLIDA_SOURCE_DIR) / "schema";
  if (fs::exists(dir)) {
    for (const auto& entry : fs::directory_iterator(dir)) {
      if (entry.path().extension() == ".sql") files.push_back(entry.path());
    }
  }
  std::sort(files.begin(), files.end());
  std::vector<std::string> batches;
  for (const fs::path& file : files) {
    for (std::string& batch : SplitBatches(file)) batches.push_back(std::move(batch));
  }
  return batches;
}

}  // namespace test_support
