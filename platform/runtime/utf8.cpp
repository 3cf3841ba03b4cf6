// UTF-8 decoding and encoding, UTF-16 conversion and letter case (see utf8.h). The decoder is
// strict, as the Unicode standard defines well-formed UTF-8, and never rejects input: a byte it
// cannot take as part of a character is one character of its own.
#include "platform/runtime/utf8.h"

#include <algorithm>
#include <cstdint>

namespace runtime {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

bool IsAscii(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The character at text[at] lower-cased, as the comparisons see it.
char32_t FoldedAt(std::string_view text, size_t& at) {
  const Utf8Char c = DecodeUtf8(text, at);
  at += c.length;
  return LowerCase(c.code_point);
}

template <typename Map>
std::string MapCase(std::string_view text, Map map) {
  std::string out;
  out.reserve(text.size());
  for (size_t at = 0; at < text.size();) {
    const Utf8Char c = DecodeUtf8(text, at);
    if (c.valid) {
      AppendUtf8(out, map(c.code_point));
    } else {
      out += text[at];
    }
    at += c.length;
  }
  return out;
}

}  // namespace

Utf8Char DecodeUtf8(std::string_view text, size_t at) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[at + k]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) return {lead, 1, true};
  size_t length = 0;
  char32_t cp = 0;
  // The range of the second byte: it is where overlong forms, surrogates and values above
  // U+10FFFF show themselves.
  unsigned char low = 0x80, high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, cp = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, cp = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, cp = lead & 0x07;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  }
  const Utf8Char invalid{kInvalidByteBase + lead, 1, false};
  if (length == 0 || at + length > text.size()) return invalid;
  if (byte(1) < low || byte(1) > high) return invalid;
  for (size_t k = 1; k < length; ++k) {
    if (!IsContinuation(byte(k))) return invalid;
    cp = (cp << 6) | (byte(k) & 0x3F);
  }
  return {cp, length, true};
}

std::vector<char32_t> CodePoints(std::string_view text) {
  std::vector<char32_t> out;
  out.reserve(text.size());
  for (size_t at = 0; at < text.size();) {
    const Utf8Char c = DecodeUtf8(text, at);
    out.push_back(c.code_point);
    at += c.length;
  }
  return out;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

size_t FindInvalidUtf8(std::string_view text) {
  for (size_t at = 0; at < text.size();) {
    if (static_cast<unsigned char>(text[at]) < 0x80) {
      ++at;
      continue;
    }
    const Utf8Char c = DecodeUtf8(text, at);
    if (!c.valid) return at;
    at += c.length;
  }
  return std::string_view::npos;
}

std::string ValidUtf8(std::string text) {
  size_t at = FindInvalidUtf8(text);
  if (at == std::string::npos) return text;
  std::string out = text.substr(0, at);
  while (at < text.size()) {
    const Utf8Char c = DecodeUtf8(text, at);
    if (c.valid) out.append(text, at, c.length);
    else AppendUtf8(out, kReplacement);
    at += c.length;
  }
  return out;
}

std::u16string Utf16FromUtf8(std::string_view text, size_t max_units) {
  std::u16string out;
  out.reserve(text.size() < max_units ? text.size() : max_units);
  for (size_t at = 0; at < text.size();) {
    const Utf8Char c = DecodeUtf8(text, at);
    at += c.length;
    const char32_t cp = c.valid ? c.code_point : kReplacement;
    if (cp < 0x10000) {
      if (out.size() + 1 > max_units) break;
      out.push_back(static_cast<char16_t>(cp));
    } else {
      if (out.size() + 2 > max_units) break;
      const char32_t v = cp - 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (v >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (v & 0x3FF)));
    }
  }
  return out;
}

std::string Utf8FromUtf16(std::u16string_view units) {
  std::string out;
  out.reserve(units.size());
  for (size_t k = 0; k < units.size(); ++k) {
    char32_t cp = units[k];
    if (cp >= 0xD800 && cp < 0xDC00 && k + 1 < units.size() && units[k + 1] >= 0xDC00 &&
        units[k + 1] < 0xE000) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (units[k + 1] - 0xDC00);
      ++k;
    } else if (cp >= 0xD800 && cp < 0xE000) {
      cp = kReplacement;
    }
    AppendUtf8(out, cp);
  }
  return out;
}

char32_t UpperCase(char32_t c) {
  if (c >= 'a' && c <= 'z') return c - 32;
  if (c < 0xE0) return c;
  if (c <= 0xFE && c != 0xF7) return c - 32;
  if (c == 0xFF) return 0x178;
  // Latin Extended-A: mostly even upper / odd lower, with two stretches of odd upper / even
  // lower. The dotted and dotless i (U+0130, U+0131) do not pair with each other.
  if (c == 0x130 || c == 0x131) return c;
  if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) return (c & 1) ? c - 1 : c;
  if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c & 1) ? c : c - 1;
  return c;
}

char32_t LowerCase(char32_t c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c < 0xC0) return c;
  if (c <= 0xDE && c != 0xD7) return c + 32;
  if (c == 0x178) return 0xFF;
  if (c == 0x130 || c == 0x131) return c;
  if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) return (c & 1) ? c : c + 1;
  if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c & 1) ? c + 1 : c;
  return c;
}

std::string UpperCaseText(std::string_view text) { return MapCase(text, UpperCase); }
std::string LowerCaseText(std::string_view text) { return MapCase(text, LowerCase); }

int CompareIgnoringCase(std::string_view a, std::string_view b) {
  if (IsAscii(a) && IsAscii(b)) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t k = 0; k < n; ++k) {
      const auto x = static_cast<unsigned char>(AsciiLower(a[k]));
      const auto y = static_cast<unsigned char>(AsciiLower(b[k]));
      if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
  }
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    const char32_t x = FoldedAt(a, i);
    const char32_t y = FoldedAt(b, j);
    if (x != y) return x < y ? -1 : 1;
  }
  if (i < a.size()) return 1;
  return j < b.size() ? -1 : 0;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  return CompareIgnoringCase(a, b) == 0;
}

size_t HashIgnoringCase(std::string_view text) {
  // FNV-1a over the lower-cased code points.
  uint64_t hash = 14695981039346656037ull;
  for (size_t at = 0; at < text.size();) {
    hash = (hash ^ FoldedAt(text, at)) * 1099511628211ull;
  }
  return static_cast<size_t>(hash);
}

}  // namespace runtime
