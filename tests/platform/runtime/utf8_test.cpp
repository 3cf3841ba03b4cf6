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
      {"ASCII", "Ab1", {'A', 'b', '1'}, kNone},
      {"two, three and four bytes", "ñ€😀", {0xF1, 0x20AC, 0x1F600}, kNone},
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

TEST(Utf8Test, Utf16BothWays) {
  struct Case {
    const char* name;
    std::string utf8;
    size_t max_units;
    std::u16string utf16;
  };
  const std::vector<Case> cases = {
      {"letters", "Año €", std::u16string::npos, u"Año €"},
      {"pair kept whole", "ab😀", std::u16string::npos, u"ab\xD83D\xDE00"},
      {"limit falls inside a pair", "ab😀c", 3, u"ab"}, {"limit", "Año", 2, u"Añ"},
      {"invalid bytes", "a\xFF\xC3", std::u16string::npos, u"a\xFFFD\xFFFD"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Utf16FromUtf8(c.utf8, c.max_units), c.utf16);
  }
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

TEST(CodePageConverterTest, UndefinedBytesBecomeReplacementCharacters) {
  struct Case {
    const char* charset;
    std::string bytes;
    std::string utf8;
  };
  const std::vector<Case> cases = {
      {"CP1252", "Pe\xF1" "a \x80", "Peña €"}, {"CP1252", "a\x81z", "a\xEF\xBF\xBDz"},
      {"CP850", "\xA4\x82", "ñé"}, {"CP932", "\x93\xFA" "a\x93", "日a\xEF\xBF\xBD"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.charset);
    CodePageConverter converter(c.charset);
    EXPECT_EQ(converter.ToUtf8(c.bytes), c.utf8);
    EXPECT_EQ(converter.ToUtf8(c.bytes), c.utf8);  // no state left from the text before
  }
  EXPECT_THROW(CodePageConverter("NO-SUCH-CHARSET"), std::invalid_argument);
}

}  // namespace
}  // namespace runtime
