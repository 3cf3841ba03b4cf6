// Splits T-SQL batch text into tokens and, in the same pass, builds the literal-free key under
// which statements that differ only in their literals share one parse and one prepared
// statement. Comments and whitespace are dropped here; nothing is interpreted.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/engine/engine.h"

namespace engine {

enum class TokenKind {
  kIdentifier,        // plain name or keyword; text as written
  kQuotedIdentifier,  // [name] or "name"; text without the quotes
  kString,            // 'text' or N'text'; text unescaped
  kInteger,
  kDecimal,  // 12.5: exact numeric
  kFloat,    // 1e3: approximate numeric
  kVariable,     // @name (text keeps the @)
  kSysVariable,  // @@name
  kSymbol,       // operators and punctuation
  kEnd,
};

struct Token {
  TokenKind kind = TokenKind::kEnd;
  std::string text;
  int line = 1;
  int literal_index = -1;  // position among the batch's literals, for literal tokens
};

struct TokenizedBatch {
  std::vector<Token> tokens;  // always ends with a kEnd token
  std::vector<int> literals;  // token index of each literal, in order
  std::string key;  // token text with every literal replaced by its kind
};

// Tokenizes `text`. Returns false and fills `error` (102 with the line) for unterminated
// strings, comments or brackets, NUL bytes and invalid UTF-8, and 8623 for a batch longer
// than kMaxBatchBytes.
inline constexpr size_t kMaxBatchBytes = 1 << 20;
bool Tokenize(std::string_view text, TokenizedBatch* out, Error* error);

// True when `token` is a plain identifier equal to `word` ignoring ASCII case.
bool IsWord(const Token& token, std::string_view word);
// True when the name is one of the server's reserved keywords (error 156 instead of 102).
bool IsReservedKeyword(std::string_view name);

// Lower-cases ASCII letters only and leaves every other byte as it is, whatever the process
// locale: names and keys are UTF-8, and a locale's single-byte table must not touch their bytes.
// Inline because every batch runs it over all of its text (the C library's tolower is an
// out-of-line, locale-reading call per byte).
constexpr char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string Lower(std::string_view text);

}  // namespace engine
