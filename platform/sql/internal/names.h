// Name comparison of the client's collections: ADO finds fields and parameters by name without
// regard to letter case. Internal to platform/sql.
#pragma once

#include <cctype>
#include <string_view>

namespace sql::internal {

inline bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

}  // namespace sql::internal
