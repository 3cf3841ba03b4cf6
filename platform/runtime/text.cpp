// String functions on UTF-8 text. Positions and lengths are in code points; a byte that does not
// start a valid UTF-8 sequence is one character on its own, so no input is ever rejected or
// altered by slicing.
#include "platform/runtime/text.h"

#include "platform/runtime/vb_error.h"

namespace runtime {
namespace {

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Byte length of the character that starts at text[i].
size_t CharLength(std::string_view text, size_t i) {
  const auto lead = static_cast<unsigned char>(text[i]);
  size_t n = 1;
  if (lead >= 0xC2 && lead <= 0xDF) n = 2;
  else if (lead >= 0xE0 && lead <= 0xEF) n = 3;
  else if (lead >= 0xF0 && lead <= 0xF4) n = 4;
  if (i + n > text.size()) return 1;
  for (size_t k = 1; k < n; ++k) {
    if (!IsContinuation(static_cast<unsigned char>(text[i + k]))) return 1;
  }
  return n;
}

// Byte offset of the character `count` characters after byte offset `from` (or the end).
size_t Advance(std::string_view text, size_t from, int64_t count) {
  size_t i = from;
  while (count > 0 && i < text.size()) {
    i += CharLength(text, i);
    --count;
  }
  return i;
}

void RequireNotNegative(int64_t n) {
  if (n < 0) RaiseVbError(kVbInvalidCall);
}

// Decodes the character at text[i] (length n from CharLength) as a code point, or -1 for a
// stray byte.
long Decode(std::string_view text, size_t i, size_t n) {
  const auto b = [&](size_t k) { return static_cast<unsigned char>(text[i + k]); };
  switch (n) {
    case 2: return ((b(0) & 0x1F) << 6) | (b(1) & 0x3F);
    case 3: return ((b(0) & 0x0F) << 12) | ((b(1) & 0x3F) << 6) | (b(2) & 0x3F);
    case 4:
      return ((b(0) & 0x07) << 18) | ((b(1) & 0x3F) << 12) | ((b(2) & 0x3F) << 6) | (b(3) & 0x3F);
    default: return b(0) < 0x80 ? b(0) : -1;
  }
}

void Encode(long cp, std::string& out) {
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

// The dotted and dotless i (U+0130, U+0131) do not pair with each other and are left alone.
long ToUpper(long c) {
  if (c == 0x130 || c == 0x131) return c;
  if (c >= 'a' && c <= 'z') return c - 32;
  if ((c >= 0xE0 && c <= 0xFE && c != 0xF7)) return c - 32;
  if (c == 0xFF) return 0x178;
  // Latin Extended-A: mostly even upper / odd lower, with a stretch of odd upper / even lower.
  if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) return (c & 1) ? c - 1 : c;
  if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c & 1) ? c : c - 1;
  return c;
}

long ToLower(long c) {
  if (c == 0x130 || c == 0x131) return c;
  if (c >= 'A' && c <= 'Z') return c + 32;
  if ((c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 32;
  if (c == 0x178) return 0xFF;
  if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) return (c & 1) ? c : c + 1;
  if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c & 1) ? c + 1 : c;
  return c;
}

template <typename Map>
std::string MapCase(std::string_view text, Map map) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const size_t n = CharLength(text, i);
    const long cp = Decode(text, i, n);
    if (cp < 0) {
      out += text[i];
    } else {
      Encode(map(cp), out);
    }
    i += n;
  }
  return out;
}

}  // namespace

std::string LTrim(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  return first == std::string_view::npos ? std::string() : std::string(text.substr(first));
}

std::string RTrim(std::string_view text) {
  const size_t last = text.find_last_not_of(' ');
  return last == std::string_view::npos ? std::string() : std::string(text.substr(0, last + 1));
}

std::string Trim(std::string_view text) { return LTrim(RTrim(text)); }

int64_t Len(std::string_view text) {
  int64_t count = 0;
  for (size_t i = 0; i < text.size(); i += CharLength(text, i)) ++count;
  return count;
}

std::string Left(std::string_view text, int64_t length) {
  RequireNotNegative(length);
  return std::string(text.substr(0, Advance(text, 0, length)));
}

std::string Right(std::string_view text, int64_t length) {
  RequireNotNegative(length);
  const int64_t total = Len(text);
  if (length >= total) return std::string(text);
  return std::string(text.substr(Advance(text, 0, total - length)));
}

std::string Mid(std::string_view text, int64_t start) {
  if (start < 1) RaiseVbError(kVbInvalidCall);
  return std::string(text.substr(Advance(text, 0, start - 1)));
}

std::string Mid(std::string_view text, int64_t start, int64_t length) {
  if (start < 1) RaiseVbError(kVbInvalidCall);
  RequireNotNegative(length);
  const size_t from = Advance(text, 0, start - 1);
  return std::string(text.substr(from, Advance(text, from, length) - from));
}

std::string Replace(std::string_view text, std::string_view find, std::string_view replacement) {
  if (find.empty()) return std::string(text);
  std::string out;
  size_t from = 0;
  for (size_t at = text.find(find); at != std::string_view::npos; at = text.find(find, from)) {
    out.append(text.substr(from, at - from));
    out.append(replacement);
    from = at + find.size();
  }
  out.append(text.substr(from));
  return out;
}

int64_t InStr(std::string_view text, std::string_view find) { return InStr(1, text, find); }

int64_t InStr(int64_t start, std::string_view text, std::string_view find) {
  if (start < 1) RaiseVbError(kVbInvalidCall);
  if (text.empty()) return 0;
  if (start > Len(text) + (find.empty() ? 1 : 0)) return 0;
  if (find.empty()) return start;
  const size_t from = Advance(text, 0, start - 1);
  // A match must begin on a character boundary: a byte-level hit inside a multi-byte character
  // of `text` can only happen with a `find` that starts with a stray continuation byte.
  for (size_t at = text.find(find, from); at != std::string_view::npos; at = text.find(find, at + 1)) {
    int64_t position = 1;
    size_t i = 0;
    while (i < at) {
      i += CharLength(text, i);
      ++position;
    }
    if (i == at) return position;
  }
  return 0;
}

std::string ChrW(long code_point) {
  if (code_point < 0 || code_point > 0x10FFFF) RaiseVbError(kVbInvalidCall);
  std::string out;
  Encode(code_point, out);
  return out;
}

long AscW(std::string_view text) {
  if (text.empty()) RaiseVbError(kVbInvalidCall);
  const long cp = Decode(text, 0, CharLength(text, 0));
  return cp >= 0 ? cp : static_cast<unsigned char>(text[0]);
}

std::string UCase(std::string_view text) { return MapCase(text, ToUpper); }
std::string LCase(std::string_view text) { return MapCase(text, ToLower); }

std::string Space(int64_t count) {
  RequireNotNegative(count);
  return std::string(static_cast<size_t>(count), ' ');
}

std::string String(int64_t count, std::string_view character) {
  RequireNotNegative(count);
  if (character.empty()) RaiseVbError(kVbInvalidCall);
  const std::string_view one = character.substr(0, CharLength(character, 0));
  std::string out;
  out.reserve(one.size() * static_cast<size_t>(count));
  for (int64_t k = 0; k < count; ++k) out.append(one);
  return out;
}

std::string SqlText(std::string_view text) {
  return "'" + Replace(text, "'", "''") + "'";
}

}  // namespace runtime
