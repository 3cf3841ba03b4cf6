// T-SQL tokenizer: turns batch text into tokens with line numbers and computes the cache key
// (tokens with literals replaced by their kind). It never looks at the grammar, so any text
// tokenizes or fails with a syntax error; it never crashes on hostile input.
#include "platform/engine/internal/tokenizer.h"

#include <algorithm>
#include <array>

#include "platform/runtime/utf8.h"

namespace engine {
namespace {

// The character classes are ASCII's, tested inline: the batch text is UTF-8, so a locale's
// single-byte classes (a non-breaking space in Latin-1) must not split a character, and the
// C library's calls cost a function call per byte of every batch.
bool IsAsciiDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool IsAsciiAlpha(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsAsciiSpace(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsIdentStart(unsigned char c) { return IsAsciiAlpha(c) || c == '_' || c == '#' || c >= 0x80; }
bool IsIdentChar(unsigned char c) {
  return IsAsciiAlpha(c) || IsAsciiDigit(c) || c == '_' || c == '#' || c == '$' || c == '@' ||
         c >= 0x80;
}

void AppendLower(std::string_view text, std::string* out) {
  for (char c : text) out->push_back(AsciiLower(c));
}

Error SyntaxError(int line, std::string near) {
  Error e;
  e.number = 102;
  e.severity = 15;
  e.line = line;
  e.message = "Incorrect syntax near '" + near + "'.";
  return e;
}

}  // namespace

std::string Lower(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  AppendLower(text, &out);
  return out;
}

bool IsWord(const Token& token, std::string_view word) {
  if (token.kind != TokenKind::kIdentifier || token.text.size() != word.size()) return false;
  for (size_t i = 0; i < word.size(); ++i) {
    if (AsciiLower(token.text[i]) != AsciiLower(word[i]))
      return false;
  }
  return true;
}

bool IsReservedKeyword(std::string_view name) {
  static constexpr std::array<std::string_view, 72> kWords = {
      "add",       "all",      "alter",    "and",       "any",      "as",        "asc",
      "begin",     "between",  "by",       "case",      "close",    "commit",    "create",
      "cross",     "cursor",   "deallocate", "declare", "default",  "delete",    "desc",
      "distinct",  "drop",     "else",     "end",       "exec",     "execute",   "exists",
      "fetch",     "for",      "from",     "full",      "function", "goto",      "group",
      "having",    "identity", "if",       "in",        "inner",    "insert",    "into",
      "is",        "join",     "key",      "left",      "like",     "not",       "null",
      "on",        "open",     "or",       "order",     "outer",    "primary",   "print",
      "proc",      "procedure", "return",  "right",     "rollback", "select",    "set",
      "table",     "then",     "top",      "tran",      "transaction", "union",  "update",
      "values",    "where"};
  std::string lower = Lower(name);
  return std::find(kWords.begin(), kWords.end(), lower) != kWords.end() || lower == "while" ||
         lower == "when" || lower == "break" || lower == "continue";
}

bool Tokenize(std::string_view text, TokenizedBatch* out, Error* error) {
  out->tokens.clear();
  out->literals.clear();
  out->key.clear();
  if (text.size() > kMaxBatchBytes) {
    error->number = 8623;
    error->severity = 16;
    error->line = 1;
    error->message =
        "The query processor ran out of internal resources and could not produce a query plan. "
        "This is a rare event and only expected for extremely complex queries or queries that "
        "reference a very large number of tables or partitions. Please simplify the query.";
    return false;
  }
  const size_t invalid = runtime::FindInvalidUtf8(text);
  if (invalid != std::string_view::npos) {
    const auto line_of_byte = 1 + std::count(text.begin(), text.begin() + invalid, '\n');
    *error = SyntaxError(static_cast<int>(line_of_byte), "?");
    error->message = "Invalid UTF-8 byte sequence in the batch text.";
    return false;
  }
  int line = 1;
  size_t i = 0;
  const size_t n = text.size();
  auto push = [&](TokenKind kind, std::string token_text, int token_line) {
    Token t;
    t.kind = kind;
    t.text = std::move(token_text);
    t.line = token_line;
    out->tokens.push_back(std::move(t));
  };
  while (i < n) {
    unsigned char c = text[i];
    if (c == 0) {
      *error = SyntaxError(line, "\\0");
      return false;
    }
    if (c == '\n') {
      ++line;
      ++i;
      continue;
    }
    if (IsAsciiSpace(c)) {
      ++i;
      continue;
    }
    if (c == '-' && i + 1 < n && text[i + 1] == '-') {
      while (i < n && text[i] != '\n') {
        if (text[i] == 0) break;
        ++i;
      }
      continue;
    }
    if (c == '/' && i + 1 < n && text[i + 1] == '*') {
      int start_line = line;
      i += 2;
      int depth = 1;  // the server nests block comments
      while (i < n && depth > 0) {
        if (text[i] == 0) {
          *error = SyntaxError(line, "\\0");
          return false;
        }
        if (text[i] == '\n') ++line;
        if (text[i] == '/' && i + 1 < n && text[i + 1] == '*') {
          ++depth;
          i += 2;
        } else if (text[i] == '*' && i + 1 < n && text[i + 1] == '/') {
          --depth;
          i += 2;
        } else {
          ++i;
        }
      }
      if (depth > 0) {
        *error = SyntaxError(start_line, "/*");
        error->number = 113;
        error->message = "Missing end comment mark '*/'.";
        return false;
      }
      continue;
    }
    int token_line = line;
    bool national = (c == 'N' || c == 'n') && i + 1 < n && text[i + 1] == '\'';
    if (c == '\'' || national) {
      if (national) ++i;
      ++i;
      std::string value;
      bool closed = false;
      while (i < n) {
        char d = text[i];
        if (d == 0) break;
        if (d == '\'') {
          if (i + 1 < n && text[i + 1] == '\'') {
            value += '\'';
            i += 2;
            continue;
          }
          ++i;
          closed = true;
          break;
        }
        // Copy the run up to the next quote, line end or NUL in one append: the import's
        // literals are sent once per value.
        size_t run = i + 1;
        while (run < n && text[run] != '\'' && text[run] != '\n' && text[run] != 0) ++run;
        if (d == '\n') ++line;
        value.append(text.data() + i, run - i);
        i = run;
      }
      if (!closed) {
        Error e = SyntaxError(token_line, value.substr(0, 40));
        e.number = 105;
        e.message = "Unclosed quotation mark after the character string '" + value + "'.";
        *error = e;
        return false;
      }
      push(TokenKind::kString, std::move(value), token_line);
      continue;
    }
    if (c == '[' || c == '"') {
      char close = c == '[' ? ']' : '"';
      ++i;
      std::string value;
      bool closed = false;
      while (i < n) {
        if (text[i] == 0 || text[i] == '\n') break;
        if (text[i] == close) {
          if (i + 1 < n && text[i + 1] == close) {
            value += close;
            i += 2;
            continue;
          }
          ++i;
          closed = true;
          break;
        }
        value += text[i++];
      }
      if (!closed) {
        *error = SyntaxError(token_line, value);
        return false;
      }
      push(TokenKind::kQuotedIdentifier, std::move(value), token_line);
      continue;
    }
    if (IsAsciiDigit(c) || (c == '.' && i + 1 < n && IsAsciiDigit(static_cast<unsigned char>(text[i + 1])))) {
      size_t start = i;
      TokenKind kind = TokenKind::kInteger;
      while (i < n && IsAsciiDigit(static_cast<unsigned char>(text[i]))) ++i;
      if (i < n && text[i] == '.') {
        kind = TokenKind::kDecimal;
        ++i;
        while (i < n && IsAsciiDigit(static_cast<unsigned char>(text[i]))) ++i;
      }
      if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        size_t j = i + 1;
        if (j < n && (text[j] == '+' || text[j] == '-')) ++j;
        if (j < n && IsAsciiDigit(static_cast<unsigned char>(text[j]))) {
          kind = TokenKind::kFloat;
          i = j;
          while (i < n && IsAsciiDigit(static_cast<unsigned char>(text[i]))) ++i;
        }
      }
      push(kind, std::string(text.substr(start, i - start)), token_line);
      continue;
    }
    if (c == '@') {
      size_t start = i;
      ++i;
      TokenKind kind = TokenKind::kVariable;
      if (i < n && text[i] == '@') {
        kind = TokenKind::kSysVariable;
        ++i;
      }
      while (i < n && IsIdentChar(text[i])) ++i;
      push(kind, std::string(text.substr(start, i - start)), token_line);
      continue;
    }
    if (IsIdentStart(c)) {
      size_t start = i;
      while (i < n && IsIdentChar(text[i])) ++i;
      push(TokenKind::kIdentifier, std::string(text.substr(start, i - start)), token_line);
      continue;
    }
    static constexpr std::array<std::string_view, 8> kTwoChar = {"<>", "!=", "<=", ">=",
                                                                  "!<", "!>", "||", "::"};
    if (i + 1 < n) {
      std::string_view two = text.substr(i, 2);
      if (std::find(kTwoChar.begin(), kTwoChar.end(), two) != kTwoChar.end()) {
        push(TokenKind::kSymbol, std::string(two), token_line);
        i += 2;
        continue;
      }
    }
    push(TokenKind::kSymbol, std::string(1, static_cast<char>(c)), token_line);
    ++i;
  }
  push(TokenKind::kEnd, "", line);

  out->key.reserve(text.size());
  int key_line = 1;
  for (size_t k = 0; k < out->tokens.size(); ++k) {
    Token& t = out->tokens[k];
    if (t.line != key_line) {
      // Line numbers live in the cached parse, so batches laid out differently never share.
      key_line = t.line;
      out->key += "~" + std::to_string(key_line) + " ";
    }
    switch (t.kind) {
      case TokenKind::kString:
        out->key += "?s ";
        break;
      case TokenKind::kInteger:
        out->key += "?i ";
        break;
      case TokenKind::kDecimal: {
        // The literal's precision and scale are part of its static type.
        size_t dot = t.text.find('.');
        out->key += "?d" + std::to_string(dot) + "." + std::to_string(t.text.size() - dot - 1) + " ";
        break;
      }
      case TokenKind::kFloat:
        out->key += "?f ";
        break;
      case TokenKind::kQuotedIdentifier:
        out->key += '[';
        AppendLower(t.text, &out->key);
        out->key += "] ";
        break;
      default:
        AppendLower(t.text, &out->key);
        out->key += ' ';
        break;
    }
    if (t.kind == TokenKind::kString || t.kind == TokenKind::kInteger ||
        t.kind == TokenKind::kDecimal || t.kind == TokenKind::kFloat) {
      t.literal_index = static_cast<int>(out->literals.size());
      out->literals.push_back(static_cast<int>(k));
    }
  }
  return true;
}

}  // namespace engine
