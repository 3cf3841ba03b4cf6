// The regular-identifier rule: letters of every script (accented ones included), digits and "_",
// no digit first, at most 128 characters, valid UTF-8 only.
#include <gtest/gtest.h>

#include <string>

#include "platform/runtime/identifiers.h"

namespace {

TEST(IdentifiersTest, RegularIdentifiersOfTheServer) {
  const std::string longest(128, 'a');
  const struct {
    std::string name;
    bool regular;
  } cases[] = {
      {"P001", true}, {"_", true}, {"año_según", true}, {"Δοκιμή", true}, {"数量", true},
      {"x١٢", true},             // Arabic-Indic digits after the first character
      {"𝐀lpha", true},           // a letter outside the Basic Multilingual Plane
      {longest, true}, {longest + "a", false},
      {std::string(127, 'a') + "ñ", true},  // 128 characters, 129 bytes
      {"", false}, {"1P", false}, {"١x", false}, {"marker-col", false}, {"O'Hara", false},
      {"a\u0301", false},        // a combining accent is no letter
      {"a\xB1", false},          // a Latin-1 byte, not UTF-8
      {"\xED\xA0\x80", false},   // a surrogate
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(runtime::IsRegularIdentifier(c.name), c.regular);
  }
}

// Both ends of a range and the code points just outside them; "L" letter, "D" digit.
TEST(IdentifiersTest, LettersAndDigitsAtTheEdgesOfTheirRanges) {
  const std::pair<char32_t, const char*> cases[] = {
      {U'A', "L"}, {U'Z', "L"}, {U'@', ""}, {U'[', ""}, {U'0', "D"}, {U'9', "D"}, {U'/', ""},
      {U':', ""}, {0xC0, "L"}, {0xD7, ""}, {0xFF, "L"}, {0x669, "D"}, {0x66A, ""},
      {0x10FFFF, ""}, {0x20000, "L"}, {0x1D7CE, "D"}, {0x1D7FF, "D"},
  };
  for (const auto& [c, kind] : cases) {
    SCOPED_TRACE(static_cast<unsigned long>(c));
    EXPECT_EQ(std::string(runtime::IsUnicodeLetter(c) ? "L" : "") +
                  (runtime::IsUnicodeDigit(c) ? "D" : ""), kind);
  }
}

}  // namespace
