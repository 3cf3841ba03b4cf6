// The server's rule for a regular identifier: which names a user may give to something that
// becomes a name in generated T-SQL (a column of the catalogue, a formula's result variable)
// without brackets. Part of consolida_runtime; classifies text only, independent of the locale.
#pragma once

#include <string_view>

namespace runtime {

// True when `name` (UTF-8) is a regular identifier: 1 to 128 characters, the first a letter or
// "_", the others letters, decimal digits or "_". Letters and digits are those of every script
// (Unicode categories L and Nd), so "AÑO" and "Año_Según" are identifiers; blanks, hyphens,
// other signs and text that is not valid UTF-8 are not. Reserved words are not checked.
bool IsRegularIdentifier(std::string_view name);

// True when `c` is a letter of any script (Unicode general category L).
bool IsUnicodeLetter(char32_t c);

// True when `c` is a decimal digit of any script (Unicode general category Nd).
bool IsUnicodeDigit(char32_t c);

}  // namespace runtime
