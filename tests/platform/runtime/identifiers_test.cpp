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
      {"", false}, {"1P", false}, {"١x", false}, {"marker-col", false}, {"P 1", false},
      {"O'Hara", false}, {"#tmp", false},
      {"a\u0301", false},        // a combining accent is no letter
      {"a\xB1", false},          // a Latin-1 byte, not UTF-8
      {"\xED\xA0\x80", false},   // a surrogate
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(runtime::IsRegularIdentifier(c.name), c.regular);
  }
}

TEST(IdentifiersTest, LettersAndDigitsAtTheEdgesOfTheirRanges) {
  const struct {
    char32_t c;
    bool letter;
    bool digit;
  } cases[] = {
      {U'A', true, false},  {U'Z', true, false},  {U'@', false, false}, {U'[', false, false},
      {U'0', false, true},  {U'9', false, true},  {U'/', false, false}, {U':', false, false},
      {0xC0, true, false},  {0xD7, false, false}, {0xF7, false, false}, {0xFF, true, false},
      {0x660, false, true}, {0x669, false, true}, {0x66A, false, false}, {0x10FFFF, false, false},
      {0x4E00, true, false}, {0x20000, true, false}, {0x1D7CE, false, true}, {0x1D7FF, false, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<unsigned long>(c.c));
    EXPECT_EQ(runtime::IsUnicodeLetter(c.c), c.letter);
    EXPECT_EQ(runtime::IsUnicodeDigit(c.c), c.digit);
  }
}

}  // namespace
