// Shared helpers of the DBF tests: a temp folder removed afterwards, the path of a real sample
// table, and a value rendered as one comparable text. Test code only.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/runtime/dates.h"
#include "platform/runtime/valor.h"

namespace dbf_test {

inline std::string SampleTable(const std::string& name) {
  return std::string(CONSOLIDA_SHARED_DIR) + "/data/dbf/" + name;
}

// "Null", "True"/"False", numbers with up to 15 significant digits, dates as VB's CStr writes
// them (day 0 is "00:00:00"), text as it is.
inline std::string Render(const runtime::Valor& value) {
  using runtime::VarType;
  char buffer[64];
  switch (value.Type()) {
    case VarType::kNull: return "Null";
    case VarType::kEmpty: return "Empty";
    case VarType::kString: return value.AsString();
    case VarType::kBoolean: return value.AsBoolean() ? "True" : "False";
    case VarType::kLong: return std::to_string(value.AsLong());
    case VarType::kDate: return runtime::CStrDate(value.AsDate());
    case VarType::kDouble:
    case VarType::kDecimal:
      std::snprintf(buffer, sizeof buffer, "%.15g", value.AsDouble());
      return buffer;
    default: return "<unexpected subtype " + std::to_string(static_cast<int>(value.Type())) + ">";
  }
}

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "dbf_test_XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~TempFolder() {
    std::error_code error;
    std::filesystem::remove_all(path_, error);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  void Write(const std::string& name, const std::string& bytes) const {
    std::ofstream file(File(name), std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }

 private:
  std::string path_;
};

}  // namespace dbf_test
