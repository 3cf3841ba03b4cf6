// Code-page marks of DBF headers and the decoding of their text to UTF-8: the iconv pages, the
// two DOS pages with built-in tables, double-byte text and the bytes a code page leaves undefined.
#include "platform/dbf/code_page.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

// One mark of each kind: listed, a dBase language driver of each DOS page, none, unlisted.
TEST(CodePage, MarksNameTheirCodePages) {
  const std::vector<std::pair<int, int>> cases = {
      {0x03, 1252}, {0x69, 620}, {0x1B, 437}, {0x25, 850}, {0x00, 0}, {0xEE, 0}};
  for (const auto& [mark, code_page] : cases) {
    SCOPED_TRACE(mark);
    EXPECT_EQ(dbf::CodePageOfMark(static_cast<uint8_t>(mark)), code_page);
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
      {850, "\x8A\xA1\x95\x8E\x94\x81\xF5", "èíòÄöü§"},
      {895, "\x80\x9B\x82", "ČŠé"},           // built-in Kamenicky table
      {932, "\x93\xFA\x96\x7B", "日本"},
      {932, "a\x93", "a\xEF\xBF\xBD"},        // a lead byte cut off at the end
      {1252, std::string("ASCII\0", 6), std::string("ASCII\0", 6)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code_page);
    EXPECT_EQ(dbf::TextDecoder(c.code_page).ToUtf8(c.bytes), c.utf8);
  }
}

TEST(CodePage, UnsupportedCodePagesAreRefused) {
  for (int code_page : {10006, 0, 65001}) {
    SCOPED_TRACE(code_page);
    EXPECT_FALSE(dbf::IsSupportedCodePage(code_page));
    EXPECT_THROW(dbf::TextDecoder{code_page}, std::invalid_argument);
  }
  EXPECT_EQ(dbf::CodePageName(10006), "10006 (Macintosh griego)");
}

}  // namespace
