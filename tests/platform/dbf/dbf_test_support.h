// Shared helpers of the DBF tests: the path of a real sample table, a value rendered as one
// comparable text. Test code only.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <charconv>
#include <string>

#include "platform/runtime/dates.h"
#include "platform/runtime/valor.h"
#include "tests/support/temp_folder.h"

namespace test_support {

inline std::string SampleTable(const std::string& name) {
  return std::string(CONSOLIDA_TEST_DATA_DIR) + "/dbf/" + name;
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
      return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value.AsDouble(),
                                               std::chars_format::general, 15).ptr);
    default: return "<unexpected subtype " + std::to_string(static_cast<int>(value.Type())) + ">";
  }
}

}  // namespace test_support
