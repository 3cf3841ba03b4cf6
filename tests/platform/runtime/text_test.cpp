// String functions on UTF-8 text counted in characters, their argument errors, letter case
// with accents, and the SQL literal helper.
#include "platform/runtime/text.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "platform/runtime/vb_error.h"
#include "tests/platform/runtime/error_of.h"

namespace runtime {
namespace {

using test_support::ErrorNumberOf;

TEST(TrimTest, RemovesBlanksOnly) {
  const struct {
    const char* text;
    const char* trim;
    const char* ltrim;
    const char* rtrim;
  } cases[] = {
      {"  ab c  ", "ab c", "ab c  ", "  ab c"}, {"    ", "", "", ""},
      {"\tx\t", "\tx\t", "\tx\t", "\tx\t"}, {" \r\n", "\r\n", "\r\n", " \r\n"},
      {"\xC2\xA0x", "\xC2\xA0x", "\xC2\xA0x", "\xC2\xA0x"},  // no-break space stays
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Trim(c.text), c.trim);
    EXPECT_EQ(LTrim(c.text), c.ltrim);
    EXPECT_EQ(RTrim(c.text), c.rtrim);
  }
}

TEST(SliceTest, CountsCharactersNotBytes) {
  const std::string word = "Añoñ€x";  // 6 characters, 10 bytes
  const struct {
    const char* name;
    std::string actual;
    const char* expected;
  } cases[] = {
      {"Left 2", Left(word, 2), "Añ"}, {"Left 0", Left(word, 0), ""},
      {"Left past end", Left(word, 99), "Añoñ€x"}, {"Right 2", Right(word, 2), "€x"},
      {"Right past end", Right(word, 99), "Añoñ€x"}, {"Mid 2", Mid(word, 2), "ñoñ€x"},
      {"Mid 2,3", Mid(word, 2, 3), "ñoñ"}, {"Mid 5,9", Mid(word, 5, 9), "€x"},
      {"Mid 6,0", Mid(word, 6, 0), ""}, {"Mid 7", Mid(word, 7), ""},
      {"Mid 99,2", Mid(word, 99, 2), ""}, {"stray byte", Mid("\xFF" "ab", 2, 1), "a"},
      {"Space", Space(3), "   "}, {"String", String(3, "ñx"), "ñññ"},
      {"String 0", String(0, "x"), ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.actual, c.expected);
  }
  EXPECT_EQ(Len(word), 6);
  EXPECT_EQ(Len("\xFF\xFE" "a"), 3);  // stray bytes count one each
}

TEST(SliceTest, BadArgumentsRaiseFive) {
  const std::pair<const char*, std::function<void()>> cases[] = {
      {"Mid start 0", [] { Mid("abc", 0); }}, {"Mid start 0 with length", [] { Mid("abc", 0, 1); }},
      {"Mid negative length", [] { Mid("abc", 1, -1); }},
      {"Left negative", [] { Left("abc", -1); }}, {"Right negative", [] { Right("abc", -1); }},
      {"InStr start 0", [] { InStr(0, "abc", "a"); }}, {"Space negative", [] { Space(-1); }},
      {"String negative", [] { String(-1, "x"); }}, {"String of nothing", [] { String(3, ""); }},
  };
  for (const auto& [name, call] : cases) {
    SCOPED_TRACE(name);
    EXPECT_EQ(ErrorNumberOf(call), kVbInvalidCall);
  }
}

TEST(InStrTest, FindsCharacterPositions) {
  const struct {
    int64_t start;
    const char* text;
    const char* find;
    int64_t expected;
  } cases[] = {
      {4, "abcabc", "c", 6}, {7, "abcabc", "c", 0}, {1, "abcabc", "x", 0}, {3, "abc", "", 3},
      {4, "abc", "", 4},     {5, "abc", "", 0},     {1, "", "", 0},        {3, "ñañaña", "ña", 3},
      {1, "ABC", "b", 0},  // binary compare
      {1, "a\xC3\xB1" "b", "\xB1" "b", 0},  // never matches inside a character
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " / " + c.find);
    EXPECT_EQ(InStr(c.start, c.text, c.find), c.expected);
  }
  EXPECT_EQ(InStr("Peña_1", "_1"), 5);
}

TEST(ReplaceTest, ReplacesEveryOccurrenceOnce) {
  const struct {
    const char* text;
    const char* find;
    const char* replacement;
    const char* expected;
  } cases[] = {
      {"05/12/2026", "/", "", "05122026"}, {"aaa", "a", "aa", "aaaaaa"}, {"aaaa", "aa", "b", "bb"},
      {"abc", "", "x", "abc"},             {"", "a", "b", ""},            {"Ab", "a", "x", "Ab"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Replace(c.text, c.find, c.replacement), c.expected);
  }
}

TEST(CaseTest, AsciiAndAccentedLetters) {
  // Pairs that map both ways.
  const std::pair<const char*, const char*> cases[] = {
      {"abc xyz 123", "ABC XYZ 123"}, {"áéíóúñü", "ÁÉÍÓÚÑÜ"},
      {"àèìòùâêîôûäëïöçåæøþðý", "ÀÈÌÒÙÂÊÎÔÛÄËÏÖÇÅÆØÞÐÝ"}, {"ąčęłńőšűźżž", "ĄČĘŁŃŐŠŰŹŻŽ"},
      {"ÿ", "Ÿ"},
  };
  for (const auto& [lower, upper] : cases) {
    SCOPED_TRACE(lower);
    EXPECT_EQ(UCase(lower), upper);
    EXPECT_EQ(LCase(upper), lower);
  }
  // Characters without a simple pair stay as they are.
  for (const char* same : {"ß", "×÷", "€", "ı", "İ", "\xFF" "\xC3"}) {
    SCOPED_TRACE(same);
    EXPECT_EQ(UCase(same), same);
    EXPECT_EQ(LCase(same), same);
  }
}

TEST(CharacterCodeTest, ChrWAndAscWRoundTrip) {
  const struct {
    long code;
    std::string text;
  } cases[] = {{65, "A"}, {0xE9, "\xC3\xA9"}, {0x20AC, "\xE2\x82\xAC"}, {0x1F600, "\xF0\x9F\x98\x80"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(ChrW(c.code), c.text);
    EXPECT_EQ(AscW(c.text + "tail"), c.code);
  }
  EXPECT_EQ(AscW("\xE9x"), 0xE9);  // a stray byte is its own character
  EXPECT_EQ(ErrorNumberOf([] { ChrW(-1); }), 5);
  EXPECT_EQ(ErrorNumberOf([] { AscW(""); }), 5);
}

TEST(SqlTextTest, QuotesAndDoublesApostrophes) {
  const std::pair<const char*, const char*> cases[] = {
      {"", "''"}, {"a''b", "'a''''b'"},
      {"x'; DROP TABLE SE_NOVEDAD --", "'x''; DROP TABLE SE_NOVEDAD --'"},
  };
  for (const auto& [text, expected] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(SqlText(text), expected);
  }
}

}  // namespace
}  // namespace runtime
