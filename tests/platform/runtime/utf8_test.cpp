// The one set of UTF-8 rules: which bytes are well-formed, what ill-formed bytes become, UTF-16
// both ways, comparisons without regard to letter case, and the iconv wrapper.
#include "platform/runtime/utf8.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/runtime/code_page.h"

namespace runtime {
namespace {

constexpr char32_t Bad(unsigned char byte) { return kInvalidByteBase + byte; }

TEST(Utf8Test, WellFormedSequencesDecodeAndEveryOtherByteStandsAlone) {
  struct Case {
    const char* name;
    std::string text;
    std::vector<char32_t> code_points;
    size_t first_invalid;
  };
  const size_t kNone = std::string::npos;
  const std::vector<Case> cases = {
      {"one to four bytes", "Añ€😀", {'A', 0xF1, 0x20AC, 0x1F600}, kNone},
      {"largest code point", "\xF4\x8F\xBF\xBF", {0x10FFFF}, kNone},
      {"stray continuation byte", "a\x80z", {'a', Bad(0x80), 'z'}, 1},
      {"overlong two-byte form", "\xC0\xAF", {Bad(0xC0), Bad(0xAF)}, 0},
      {"overlong three-byte form", "\xE0\x80\xAF", {Bad(0xE0), Bad(0x80), Bad(0xAF)}, 0},
      {"surrogate", "x\xED\xA0\x80", {'x', Bad(0xED), Bad(0xA0), Bad(0x80)}, 1},
      {"above U+10FFFF", "\xF4\x90\x80\x80", {Bad(0xF4), Bad(0x90), Bad(0x80), Bad(0x80)}, 0},
      {"lead byte F5", "\xF5\x80", {Bad(0xF5), Bad(0x80)}, 0},
      {"cut short at the end", "ab\xE2\x82", {'a', 'b', Bad(0xE2), Bad(0x82)}, 2},
      {"Latin-1 text", "Pe\xF1" "a", {'P', 'e', Bad(0xF1), 'a'}, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(CodePoints(c.text), c.code_points);
    EXPECT_EQ(FindInvalidUtf8(c.text), c.first_invalid);
    EXPECT_EQ(IsValidUtf8(c.text), c.first_invalid == kNone);
    std::string encoded;
    for (char32_t cp : c.code_points) {
      if (cp < kInvalidByteBase || cp > Bad(0xFF)) AppendUtf8(encoded, cp);
    }
    if (c.first_invalid == kNone) {
      EXPECT_EQ(encoded, c.text);
    }
  }
}

// A limit in UTF-16 units never splits a surrogate pair; unpaired surrogates and invalid bytes
// become U+FFFD.
TEST(Utf8Test, Utf16BothWays) {
  EXPECT_EQ(Utf16FromUtf8("Año €😀"), u"Año €\xD83D\xDE00");
  EXPECT_EQ(Utf16FromUtf8("ab😀c", 3), u"ab");
  EXPECT_EQ(Utf16FromUtf8("Año", 2), u"Añ");
  EXPECT_EQ(Utf16FromUtf8("a\xFF\xC3"), u"a\xFFFD\xFFFD");
  EXPECT_EQ(Utf8FromUtf16(u"Año \xD83D\xDE00"), "Año 😀");
  EXPECT_EQ(Utf8FromUtf16(u"a\xDE00" u"b\xD83D"), "a\xEF\xBF\xBD" "b\xEF\xBF\xBD");
}

TEST(Utf8Test, ComparisonsIgnoreLetterCaseOnly) {
  struct Case {
    std::string a;
    std::string b;
    int sign;
  };
  const std::vector<Case> cases = {
      {"AÑO", "año", 0}, {"Šárka ŒUVRE", "šÁRKA œuvre", 0}, {"a", "B", -1}, {"año", "ano", 1},
      {"año ", "AÑO", 1}, {"ß", "SS", 1}, {"ı", "I", 1}, {"é", "\xE9", -1}, {"\xC9", "\xE9", -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.a + " / " + c.b);
    const int sign = CompareIgnoringCase(c.a, c.b);
    EXPECT_EQ((sign > 0) - (sign < 0), c.sign);
    EXPECT_EQ(CompareIgnoringCase(c.b, c.a) < 0, c.sign > 0);
    EXPECT_EQ(EqualIgnoringCase(c.a, c.b), c.sign == 0);
    EXPECT_EQ(LowerCaseText(c.a) == LowerCaseText(c.b), c.sign == 0);
    if (c.sign == 0) {
      EXPECT_EQ(HashIgnoringCase(c.a), HashIgnoringCase(c.b));
    }
  }
}

// Each call starts afresh: nothing is left from the text before.
TEST(CodePageConverterTest, UndefinedBytesBecomeReplacementCharacters) {
  const std::pair<const char*, std::string> cases[] = {
      {"CP1252", "Pe\xF1" "a \x80 a\x81z"}, {"CP932", "\x93\xFA" "a\x93"}};
  const std::string expected[] = {"Peña € a\xEF\xBF\xBDz", "日a\xEF\xBF\xBD"};
  for (size_t k = 0; k < 2; ++k) {
    SCOPED_TRACE(cases[k].first);
    CodePageConverter converter(cases[k].first);
    EXPECT_EQ(converter.ToUtf8(cases[k].second), expected[k]);
    EXPECT_EQ(converter.ToUtf8(cases[k].second), expected[k]);
  }
  EXPECT_THROW(CodePageConverter("NO-SUCH-CHARSET"), std::invalid_argument);
}

}  // namespace
}  // namespace runtime
