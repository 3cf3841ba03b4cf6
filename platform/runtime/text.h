// VB's string functions on UTF-8 text, counted in characters (code points) as VB counts them,
// plus SqlText, the one way text enters SQL. Pure functions. A byte that is not valid UTF-8
// counts as one character and is kept as it is.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace runtime {

// Trim, LTrim, RTrim: remove blanks (U+0020 only, as VB; tabs and line ends stay).
std::string Trim(std::string_view text);
std::string LTrim(std::string_view text);
std::string RTrim(std::string_view text);

// Number of characters.
int64_t Len(std::string_view text);

// The first / last `length` characters (all of them when the text is shorter).
// Throws VbError 5 when length < 0.
std::string Left(std::string_view text, int64_t length);
std::string Right(std::string_view text, int64_t length);

// The characters from `start` (1-based) to the end, or `length` of them. "" when start is past
// the end. Throws VbError 5 when start < 1 or length < 0.
std::string Mid(std::string_view text, int64_t start);
std::string Mid(std::string_view text, int64_t start, int64_t length);

// Every occurrence of `find` replaced, left to right, without rescanning the replacement
// (binary compare). An empty `find` leaves the text as it is.
std::string Replace(std::string_view text, std::string_view find, std::string_view replacement);

// The 1-based character position of the first `find` in `text` at or after `start`, 0 when
// absent (binary compare). An empty `text` gives 0; an empty `find` gives `start` (0 when
// start is past the end of the text plus one). Throws VbError 5 when start < 1.
int64_t InStr(std::string_view text, std::string_view find);
int64_t InStr(int64_t start, std::string_view text, std::string_view find);

// VB's ChrW: the character of a code point. Throws VbError 5 outside 0..0x10FFFF.
std::string ChrW(long code_point);
// VB's AscW: the code point of the first character (a stray byte gives its own value).
// Throws VbError 5 for an empty text.
long AscW(std::string_view text);

// Letter case: ASCII, the Latin-1 letters with accents (á <-> Á, ñ <-> Ñ, ü <-> Ü, ÿ -> Ÿ) and
// the Latin Extended-A pairs; ß and other characters are unchanged (see utf8.h).
std::string UCase(std::string_view text);
std::string LCase(std::string_view text);

// `count` blanks. Throws VbError 5 when count < 0.
std::string Space(int64_t count);

// VB's String(count, character): the first character of `character` repeated. Throws VbError 5
// when count < 0 or `character` is empty.
std::string String(int64_t count, std::string_view character);

// True for the blanks that separate the words of a statement or a script line: space, tab,
// carriage return, line feed. Whatever the process locale says.
constexpr bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The SQL literal of a text: between apostrophes, every apostrophe doubled ("O'Hara" ->
// "'O''Hara'"). Everything that puts text into SQL goes through here.
std::string SqlText(std::string_view text);

// The LIKE pattern that matches `text` literally: "_", "%" and "[" each in brackets
// ("ENCUES_1" gives "ENCUES[_]1"), so a name never matches another one through a wildcard.
// The comparison keeps the server's rules otherwise (case and trailing blanks do not count).
std::string LikeLiteral(std::string_view text);

}  // namespace runtime
