// String functions on UTF-8 text. Positions and lengths are in code points; a byte that does not
// start a valid UTF-8 sequence is one character on its own, so no input is ever rejected or
// altered by slicing.
#include "platform/runtime/text.h"

#include "platform/runtime/utf8.h"
#include "platform/runtime/vb_error.h"

namespace runtime {
namespace {

// Byte length of the character that starts at text[i].
size_t CharLength(std::string_view text, size_t i) { return DecodeUtf8(text, i).length; }

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
  AppendUtf8(out, static_cast<char32_t>(code_point));
  return out;
}

long AscW(std::string_view text) {
  if (text.empty()) RaiseVbError(kVbInvalidCall);
  const Utf8Char c = DecodeUtf8(text, 0);
  return c.valid ? static_cast<long>(c.code_point) : static_cast<unsigned char>(text[0]);
}

std::string UCase(std::string_view text) { return UpperCaseText(text); }
std::string LCase(std::string_view text) { return LowerCaseText(text); }

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

std::string LikeLiteral(std::string_view text) {
  std::string pattern;
  for (char c : text) {
    if (c == '_' || c == '%' || c == '[') {
      pattern += '[';
      pattern += c;
      pattern += ']';
    } else {
      pattern += c;
    }
  }
  return pattern;
}

}  // namespace runtime
