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
      {0x03, 1252}, {0x69, 620}, {0x1B, 437}, {0x25, 850}, {0x00, 0}, {0xEE, 0}};  // mark, page
  for (const auto& [mark, code_page] : cases) {
    SCOPED_TRACE(mark);
    EXPECT_EQ(dbf::CodePageOfMark(static_cast<uint8_t>(mark)), code_page);
  }
}

// Single-byte pages through their byte table (NUL kept), Kamenicky through its built-in one,
// double-byte text through iconv; undefined bytes and cut lead bytes are the converter's own
// test's.
TEST(CodePage, TextIsDecodedToUtf8) {
  using namespace std::string_literals;
  const std::pair<int, std::string> cases[] = {
      {1252, "Pe\xF1" "a \x80 \x93x\x94\0"s}, {895, "\x80\x9B\x82"},
      {932, "\x93\xFA\x96\x7B"}};
  const std::string expected[] = {"Peña € “x”\0"s, "ČŠé", "日本"};
  for (size_t k = 0; k < std::size(cases); ++k) {
    SCOPED_TRACE(cases[k].first);
    EXPECT_EQ(dbf::TextDecoder(cases[k].first).ToUtf8(cases[k].second), expected[k]);
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
