// String functions on UTF-8 text counted in characters, their argument errors, letter case
// with accents, and the SQL literal helper.
#include "platform/runtime/text.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <optional>

#include "platform/runtime/vb_error.h"
#include "tests/platform/runtime/error_of.h"

namespace runtime {
namespace {

using test_support::ErrorNumberOf;

// Only blanks go: no tab, line end or no-break space.
TEST(TrimTest, RemovesBlanksOnly) {
  const std::pair<const char*, const char*> cases[] = {  // text, "Trim|LTrim|RTrim"
      {"  ab c  ", "ab c|ab c  |  ab c"}, {"    ", "||"}, {"\tx\t", "\tx\t|\tx\t|\tx\t"},
      {" \r\n", "\r\n|\r\n| \r\n"}, {"\xC2\xA0x", "\xC2\xA0x|\xC2\xA0x|\xC2\xA0x"},
  };
  for (const auto& [text, expected] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(Trim(text) + "|" + LTrim(text) + "|" + RTrim(text), expected);
  }
}

TEST(SliceTest, CountsCharactersNotBytesAndRefusesBadArguments) {
  const std::string word = "Añoñ€x";  // 6 characters, 10 bytes
  const std::pair<std::string, const char*> cases[] = {
      {Left(word, 2), "Añ"}, {Left(word, 0), ""}, {Left(word, 99), "Añoñ€x"},
      {Right(word, 2), "€x"}, {Right(word, 99), "Añoñ€x"}, {Mid(word, 2), "ñoñ€x"},
      {Mid(word, 2, 3), "ñoñ"}, {Mid(word, 5, 9), "€x"}, {Mid(word, 6, 0), ""}, {Mid(word, 7), ""},
      {Mid(word, 99, 2), ""}, {Mid("\xFF" "ab", 2, 1), "a"}, {Space(3), "   "},
      {String(3, "ñx"), "ñññ"}, {String(0, "x"), ""},
  };
  for (size_t k = 0; k < std::size(cases); ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(cases[k].first, cases[k].second);
  }
  EXPECT_EQ(Len(word), 6);
  EXPECT_EQ(Len("\xFF\xFE" "a"), 3);  // stray bytes count one each
  const std::function<void()> bad_calls[] = {
      [] { Mid("abc", 0); }, [] { Mid("abc", 0, 1); }, [] { Mid("abc", 1, -1); },
      [] { Left("abc", -1); }, [] { Right("abc", -1); }, [] { InStr(0, "abc", "a"); },
      [] { Space(-1); }, [] { String(-1, "x"); }, [] { String(3, ""); },
      [] { ChrW(-1); }, [] { AscW(""); },
  };
  for (size_t k = 0; k < std::size(bad_calls); ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(ErrorNumberOf(bad_calls[k]), kVbInvalidCall);
  }
}

// Binary compare, never matching inside a character.
TEST(InStrReplaceTest, FindCharacterPositionsAndReplaceEachOccurrenceOnce) {
  const struct {
    int64_t start;
    const char* text;
    const char* find;
    int64_t expected;
  } cases[] = {
      {4, "abcabc", "c", 6}, {7, "abcabc", "c", 0}, {3, "abc", "", 3}, {4, "abc", "", 4},
      {5, "abc", "", 0},     {1, "", "", 0},        {3, "ñañaña", "ña", 3}, {1, "ABC", "b", 0},
      {1, "a\xC3\xB1" "b", "\xB1" "b", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " / " + c.find);
    EXPECT_EQ(InStr(c.start, c.text, c.find), c.expected);
  }
  EXPECT_EQ(InStr("Peña_1", "_1"), 5);
  const std::pair<std::array<const char*, 3>, const char*> replaces[] = {
      {{"05/12/2026", "/", ""}, "05122026"}, {{"aaa", "a", "aa"}, "aaaaaa"},
      {{"aaaa", "aa", "b"}, "bb"}, {{"abc", "", "x"}, "abc"}, {{"Ab", "a", "x"}, "Ab"},
  };
  for (const auto& [args, expected] : replaces) {
    SCOPED_TRACE(args[0]);
    EXPECT_EQ(Replace(args[0], args[1], args[2]), expected);
  }
}

// Pairs that map both ways; characters without a simple pair stay as they are.
TEST(CaseTest, AsciiAndAccentedLetters) {
  const std::pair<const char*, const char*> cases[] = {
      {"abc xyz 123", "ABC XYZ 123"},
      {"àèìòùâêîôûäëïöçåæøþðýáéíóúñü", "ÀÈÌÒÙÂÊÎÔÛÄËÏÖÇÅÆØÞÐÝÁÉÍÓÚÑÜ"},
      {"ąčęłńőšűźżž", "ĄČĘŁŃŐŠŰŹŻŽ"}, {"ÿ", "Ÿ"}, {"ß×÷€ıİ\xFF\xC3", "ß×÷€ıİ\xFF\xC3"},
  };
  for (const auto& [lower, upper] : cases) {
    SCOPED_TRACE(lower);
    EXPECT_EQ(UCase(lower), upper);
    EXPECT_EQ(LCase(upper), lower);
  }
}

TEST(CharacterCodeTest, ChrWAndAscWRoundTrip) {
  const std::pair<long, std::string> cases[] = {
      {65, "A"}, {0xE9, "\xC3\xA9"}, {0x20AC, "\xE2\x82\xAC"}, {0x1F600, "\xF0\x9F\x98\x80"}};
  for (const auto& [code, text] : cases) {
    SCOPED_TRACE(code);
    EXPECT_EQ(ChrW(code), text);
    EXPECT_EQ(AscW(text + "tail"), code);
  }
  EXPECT_EQ(AscW("\xE9x"), 0xE9);  // a stray byte is its own character
}

TEST(SqlTextTest, QuotesAndDoublesApostrophes) {
  EXPECT_EQ(SqlText(""), "''");
  EXPECT_EQ(SqlText("x''; DROP TABLE SE_NOVEDAD --"), "'x''''; DROP TABLE SE_NOVEDAD --'");
}

}  // namespace
}  // namespace runtime
