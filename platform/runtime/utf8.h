// UTF-8 text one character at a time: decoding and encoding code points, validity, UTF-16
// conversion, letter case, and comparisons that ignore letter case. The one home of these rules
// for every module (VB string functions, the sheet reader and writer, the DBF reader, the engine's
// collation, name look-ups). Pure functions; nothing here reads the process locale.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace runtime {

// What a byte that is not part of well-formed UTF-8 decodes to: U+DC00 plus the byte's value
// (U+DC80..U+DCFF). No well-formed character decodes to a lone surrogate, so such a byte stays
// distinct from every character, and letter case leaves it alone.
inline constexpr char32_t kInvalidByteBase = 0xDC00;

// One character decoded from UTF-8 text.
struct Utf8Char {
  char32_t code_point = 0;  // kInvalidByteBase + the byte for an invalid byte
  size_t length = 1;        // bytes taken, 1 to 4
  bool valid = true;
};

// Decodes the character that starts at text[at]. A byte that does not start a well-formed
// sequence (a stray continuation byte, an overlong form, a surrogate, a value above U+10FFFF, a
// sequence cut short) is taken alone as an invalid character of length 1.
// REQUIRES: at < text.size().
Utf8Char DecodeUtf8(std::string_view text, size_t at);

// The characters of `text` as code points (invalid bytes as described at kInvalidByteBase).
std::vector<char32_t> CodePoints(std::string_view text);

// Appends the UTF-8 form of `code_point` to `out`. A surrogate code point is encoded as it is
// (as VB's ChrW hands it back). REQUIRES: code_point <= 0x10FFFF.
void AppendUtf8(std::string& out, char32_t code_point);

// The offset of the first byte of `text` that is not part of well-formed UTF-8, or npos.
size_t FindInvalidUtf8(std::string_view text);
inline bool IsValidUtf8(std::string_view text) {
  return FindInvalidUtf8(text) == std::string_view::npos;
}
// `text` with each byte that is not part of well-formed UTF-8 replaced by U+FFFD; well-formed
// text comes back unchanged.
std::string ValidUtf8(std::string text);

// `text` as UTF-16 code units, at most `max_units` of them (a surrogate pair is never split).
// Each invalid byte becomes U+FFFD.
std::u16string Utf16FromUtf8(std::string_view text, size_t max_units = std::u16string::npos);
// UTF-16 code units as UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf8FromUtf16(std::u16string_view units);

// Letter case of one character: ASCII, the Latin-1 letters with accents (á <-> Á, ñ <-> Ñ,
// ü <-> Ü, ÿ <-> Ÿ) and the Latin Extended-A pairs (š <-> Š, œ <-> Œ ...). Every other character
// is its own case: ß, the dotted and dotless i (U+0130, U+0131), invalid bytes.
char32_t UpperCase(char32_t c);
char32_t LowerCase(char32_t c);

// `text` with every character mapped by UpperCase / LowerCase; invalid bytes are kept as they
// are. LowerCaseText is also the key under which text is stored without regard to case.
std::string UpperCaseText(std::string_view text);
std::string LowerCaseText(std::string_view text);

// Text compared character by character after LowerCase, by code point: negative, 0 or positive.
// Letter case is all it ignores (accents and trailing blanks count).
int CompareIgnoringCase(std::string_view a, std::string_view b);
bool EqualIgnoringCase(std::string_view a, std::string_view b);
// Equal under EqualIgnoringCase gives equal hashes (for containers keyed without regard to case).
size_t HashIgnoringCase(std::string_view text);

}  // namespace runtime
