// Tests of the T-SQL tokenizer: token texts and lines, the literal-free cache key, and the
// ASCII-only case folding of names (UTF-8 bytes are never touched). Nothing here runs SQL.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/engine/internal/tokenizer.h"

namespace engine {
namespace {

struct Expected {
  TokenKind kind;
  std::string text;
  int line;
};

TEST(TokenizerTest, TokensKeepTheirTextAndLine) {
  struct Case {
    std::string batch;
    std::vector<Expected> tokens;  // without the final kEnd
  };
  const std::vector<Case> cases = {
      {"Select 'it''s'", {{TokenKind::kIdentifier, "Select", 1}, {TokenKind::kString, "it's", 1}}},
      // A literal spanning lines counts them, so the next token carries the right line.
      {"'a\nb\n''c'''\nx",
       {{TokenKind::kString, "a\nb\n'c'", 1}, {TokenKind::kIdentifier, "x", 4}}},
      {"N'Año'  12.50\t1e3", {{TokenKind::kString, "Año", 1},
                               {TokenKind::kDecimal, "12.50", 1},
                               {TokenKind::kFloat, "1e3", 1}}},
      {"''", {{TokenKind::kString, "", 1}}},
      {"[Tabla Ñ]\r\n@Valor2 <> .5",
       {{TokenKind::kQuotedIdentifier, "Tabla Ñ", 1},
        {TokenKind::kVariable, "@Valor2", 2},
        {TokenKind::kSymbol, "<>", 2},
        {TokenKind::kDecimal, ".5", 2}}},
      // Bytes of a UTF-8 letter belong to the name, whatever the process locale says of them.
      {"Período\xC2\xA0x", {{TokenKind::kIdentifier, "Período\xC2\xA0x", 1}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.batch);
    TokenizedBatch out;
    Error error;
    ASSERT_TRUE(Tokenize(c.batch, &out, &error)) << error.message;
    ASSERT_EQ(out.tokens.size(), c.tokens.size() + 1);
    for (size_t k = 0; k < c.tokens.size(); ++k) {
      EXPECT_EQ(out.tokens[k].kind, c.tokens[k].kind) << k;
      EXPECT_EQ(out.tokens[k].text, c.tokens[k].text) << k;
      EXPECT_EQ(out.tokens[k].line, c.tokens[k].line) << k;
    }
    EXPECT_EQ(out.tokens.back().kind, TokenKind::kEnd);
  }
}

// An unclosed string is reported with its text; text that is not UTF-8 at the line of the bad
// byte.
TEST(TokenizerTest, UnclosedStringsAndTextThatIsNotUtf8AreRefused) {
  const std::string kNotUtf8 = "Invalid UTF-8 byte sequence in the batch text.";
  struct Case {
    const char* name;
    std::string batch;
    int number, line;  // line 0: not compared
    std::string message;
  };
  const std::vector<Case> cases = {
      {"Latin-1 letter", "SELECT 1\nSELECT 'A\xD1O'", 102, 2, kNotUtf8},
      {"surrogate", "SELECT 1\n\nSELECT '\xED\xA0\x80'", 102, 3, kNotUtf8},
      {"above U+10FFFF", "SELECT '\xF4\x90\x80\x80'", 102, 1, kNotUtf8},
      {"overlong form", "SELECT '\xE0\x80\xAF'", 102, 1, kNotUtf8},
      {"unclosed string", "Select 'abc\ndef", 105, 0,
       "Unclosed quotation mark after the character string 'abc\ndef'."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TokenizedBatch out;
    Error error;
    EXPECT_FALSE(Tokenize(c.batch, &out, &error));
    EXPECT_EQ(error.number, c.number);
    if (c.line) {
      EXPECT_EQ(error.line, c.line);
    }
    EXPECT_EQ(error.message, c.message);
  }
}

TEST(TokenizerTest, KeyIgnoresLiteralsAndTheCaseOfNames) {
  auto key = [](const std::string& batch) {
    TokenizedBatch out;
    Error error;
    EXPECT_TRUE(Tokenize(batch, &out, &error)) << batch;
    return out.key;
  };
  std::string base = key("Select IdNovedad From se_novedad Where Empresa = '30' And Periodo = 2005");
  EXPECT_EQ(base, key("SELECT idnovedad FROM SE_NOVEDAD WHERE EMPRESA = 'x' AND PERIODO = 1"));
  EXPECT_NE(base, key("Select IdNovedad From se_novedad Where Empresa = 30 And Periodo = 2005"));
  EXPECT_NE(base, key("Select IdNovedad From se_novedad Where Campo = '30' And Periodo = 2005"));
  // Only ASCII letters fold: a name differing in a non-ASCII letter's case is another name.
  EXPECT_EQ(key("Select [AÑO]"), key("select [aÑo]"));
  EXPECT_NE(key("Select [AÑO]"), key("Select [AñO]"));
}

TEST(TokenizerTest, LowerFoldsAsciiLettersOnly) {
  EXPECT_EQ(Lower("SE_Novedad$IX_1"), "se_novedad$ix_1");
  EXPECT_EQ(Lower("PERÍODO"), "perÍodo");
  EXPECT_EQ(Lower(""), "");
  Token t{TokenKind::kIdentifier, "BeGiN", 1, -1};
  EXPECT_TRUE(IsWord(t, "begin"));
  EXPECT_FALSE(IsWord(t, "begins"));
  t.text = "ÁND";
  EXPECT_FALSE(IsWord(t, "ánd"));
}

}  // namespace
}  // namespace engine
