// Test helper for the runtime tests: runs a call and reports the VbError number it raised, so
// tables can list "raises 5" next to "returns x".
#pragma once

#include <functional>
#include <optional>

#include "platform/runtime/vb_error.h"

namespace test_support {

// The error number the call raises, or nullopt when it returns normally.
inline std::optional<long> ErrorNumberOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const runtime::VbError& e) {
    return e.Number();
  }
  return std::nullopt;
}

}  // namespace test_support
