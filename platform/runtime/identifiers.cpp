// The regular-identifier rule over the Unicode letter and digit tables.
#include "platform/runtime/identifiers.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include "platform/runtime/utf8.h"

namespace runtime {
namespace {

#include "platform/runtime/unicode_tables.inc"

constexpr size_t kMaxIdentifierLength = 128;

}  // namespace

bool IsUnicodeLetter(char32_t c) {
  // The last range that starts at or before c.
  const auto after = std::upper_bound(std::begin(kLetterRanges), std::end(kLetterRanges), c,
                                      [](char32_t value, const char32_t (&range)[2]) {
                                        return value < range[0];
                                      });
  return after != std::begin(kLetterRanges) && c <= (*std::prev(after))[1];
}

bool IsUnicodeDigit(char32_t c) {
  const auto after = std::upper_bound(std::begin(kDigitZeros), std::end(kDigitZeros), c);
  return after != std::begin(kDigitZeros) && c - *std::prev(after) < 10;
}

bool IsRegularIdentifier(std::string_view name) {
  if (name.empty() || !IsValidUtf8(name)) return false;
  const std::vector<char32_t> characters = CodePoints(name);
  if (characters.size() > kMaxIdentifierLength) return false;
  for (size_t k = 0; k < characters.size(); ++k) {
    const char32_t c = characters[k];
    if (!(c == U'_' || IsUnicodeLetter(c) || (k > 0 && IsUnicodeDigit(c)))) return false;
  }
  return true;
}

}  // namespace runtime
