// Test helpers for the platform tests: run a call and report the VbError it raised, so tables
// can list "raises 5" next to "returns x".
#pragma once

#include <gtest/gtest.h>

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

// The error the call must raise; fails the calling test (and gives a blank error) when it returns.
inline runtime::VbError ErrorOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const runtime::VbError& e) {
    return e;
  }
  ADD_FAILURE() << "no error was raised";
  return runtime::VbError(0, "", "");
}

}  // namespace test_support
