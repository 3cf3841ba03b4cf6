// The regular-identifier rule over the Unicode letter and digit tables.
#include "platform/runtime/identifiers.h"

#include <algorithm>
#include <iterator>
#include <optional>

namespace runtime {
namespace {

#include "platform/runtime/unicode_tables.inc"

constexpr size_t kMaxIdentifierLength = 128;

// The code point that starts at text[pos], advancing pos past it; nullopt for a byte sequence
// that is not UTF-8 (overlong forms, surrogates and values past U+10FFFF included).
std::optional<char32_t> NextCodePoint(std::string_view text, size_t& pos) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(pos);
  int extra = 0;
  char32_t c = 0;
  if (lead < 0x80) {
    c = lead;
  } else if ((lead & 0xE0) == 0xC0) {
    extra = 1;
    c = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2;
    c = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3;
    c = lead & 0x07;
  } else {
    return std::nullopt;
  }
  if (pos + extra >= text.size()) return std::nullopt;  // cut short
  for (int k = 1; k <= extra; ++k) {
    if ((byte(pos + k) & 0xC0) != 0x80) return std::nullopt;
    c = (c << 6) | (byte(pos + k) & 0x3F);
  }
  static constexpr char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
  if (c < kSmallest[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
  pos += extra + 1;
  return c;
}

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
  size_t pos = 0;
  size_t length = 0;
  while (pos < name.size()) {
    const std::optional<char32_t> c = NextCodePoint(name, pos);
    if (!c || ++length > kMaxIdentifierLength) return false;
    const bool allowed = *c == U'_' || IsUnicodeLetter(*c) || (length > 1 && IsUnicodeDigit(*c));
    if (!allowed) return false;
  }
  return length > 0;
}

}  // namespace runtime
