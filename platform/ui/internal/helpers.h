// Helpers shared by the control models: UTF-8 text counted in characters, and the toolkit's
// run-time errors for bad indexes and values. Internal to consolida_ui.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ui::internal {

// The code points of UTF-8 `text` (an invalid byte counts as one character of its own value).
std::vector<char32_t> Decode(std::string_view text);
std::string Encode(const std::vector<char32_t>& code_points);
std::string Encode(char32_t code_point);

// Throws runtime::VbError 381 "Invalid property array index".
[[noreturn]] void ThrowBadIndex();
// Throws runtime::VbError 380 "Invalid property value".
[[noreturn]] void ThrowBadValue();
// Throws runtime::VbError `number` with the grid's description.
[[noreturn]] void ThrowGridError(long number, const char* description);

}  // namespace ui::internal
