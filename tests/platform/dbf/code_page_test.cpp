// Code-page marks of DBF headers and the decoding of their text to UTF-8, including the two DOS
// pages that have built-in tables and the bytes a code page leaves undefined.
#include "platform/dbf/code_page.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

TEST(CodePage, MarksNameTheirCodePages) {
  struct Case {
    int mark;
    int code_page;
  };
  const std::vector<Case> cases = {
      {0x00, 0},     {0x01, 437},  {0x02, 850},  {0x03, 1252}, {0x04, 10000}, {0x57, 1252},
      {0x64, 852},   {0x65, 866},  {0x68, 895},  {0x69, 620},  {0x7B, 932},   {0x96, 10007},
      {0xC8, 1250},  {0xC9, 1251}, {0xCB, 1253}, {0x1B, 437},  {0x25, 850},   {0x26, 866},
      {0x87, 852},   {0xEE, 0},    {0xFF, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mark);
    EXPECT_EQ(dbf::CodePageOfMark(static_cast<uint8_t>(c.mark)), c.code_page);
  }
}

TEST(CodePage, TextIsDecodedToUtf8) {
  struct Case {
    int code_page;
    std::string bytes;
    std::string utf8;
  };
  const std::vector<Case> cases = {
      {1252, "Pe\xF1" "a \x80 \x93x\x94", "Peña € “x”"},
      {1252, "a\x81z", "a\xEF\xBF\xBDz"},  // 0x81 is undefined in 1252
      {437, "\x82\xA4\xE1", "éñß"}, {850, "\x8A\xA1\x95\x8E\x94\x81\xF5", "èíòÄöü§"},
      {866, "\x8C\xA0\xE0\xE2\xA8\xAD", "Мартин"}, {1251, "\xCD\xC8\xC8", "НИИ"},
      {852, "\xA5\x86\x9D", "ąćŁ"}, {10000, "\x8E\xA7", "éß"}, {932, "\x93\xFA\x96\x7B", "日本"},
      {932, "a\x93", "a\xEF\xBF\xBD"},  // a lead byte cut off at the end
      {1252, std::string("plain ASCII\0", 12), std::string("plain ASCII\0", 12)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code_page);
    dbf::TextDecoder decoder(c.code_page);
    EXPECT_EQ(decoder.ToUtf8(c.bytes), c.utf8);
  }
}

TEST(CodePage, UnsupportedCodePagesAreRefused) {
  for (int code_page : {10006, 0, 1234, 65001}) {
    SCOPED_TRACE(code_page);
    EXPECT_FALSE(dbf::IsSupportedCodePage(code_page));
    EXPECT_THROW(dbf::TextDecoder{code_page}, std::invalid_argument);
  }
  EXPECT_EQ(dbf::CodePageName(10006), "10006 (Macintosh griego)");
}

}  // namespace
