// Name comparison of the client's collections: ADO finds fields and parameters by name without
// regard to letter case. Internal to platform/sql.
#pragma once

#include <string_view>

#include "platform/runtime/utf8.h"

namespace sql::internal {

// Accented letters count too ("AÑO" is "año"), as the names of DBF fields carry them.
inline bool SameName(std::string_view a, std::string_view b) {
  return runtime::EqualIgnoringCase(a, b);
}

}  // namespace sql::internal
