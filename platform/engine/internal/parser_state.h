// The recursive-descent parser behind ParseBatch: its cursor over the tokens, the nesting
// guards, and the helpers that parser.cpp (tokens, names, errors), parse_statements.cpp and
// parse_expressions.cpp (queries and expressions) share. Syntax only: it never looks a name up.
// Only those three files include it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/engine/internal/ast.h"
#include "platform/engine/internal/parser.h"
#include "platform/engine/internal/tokenizer.h"

namespace engine {

// Thrown inside the parser at the first syntax error; ParseBatch returns it as the error.
struct SyntaxFailure {
  Error error;
};

class Parser {
 public:
  Parser(const TokenizedBatch& batch, ParsedBatch* out) : toks_(batch.tokens), out_(out) {}

  // Parses every statement of the batch into `out`. Throws SyntaxFailure.
  void Run();

 private:
  // Token helpers, inline because every rule calls them for every token.
  const Token& Peek(int ahead = 0) const {
    size_t k = std::min(pos_ + ahead, toks_.size() - 1);
    return toks_[k];
  }
  bool AtEnd() const { return Peek().kind == TokenKind::kEnd; }
  const Token& Next() {
    const Token& t = Peek();
    if (pos_ < toks_.size() - 1) ++pos_;
    return t;
  }
  bool IsSym(const Token& t, std::string_view s) const {
    return t.kind == TokenKind::kSymbol && t.text == s;
  }
  bool Accept(std::string_view sym) {
    if (IsSym(Peek(), sym)) {
      Next();
      return true;
    }
    return false;
  }
  bool AcceptWord(std::string_view word) {
    if (IsWord(Peek(), word)) {
      Next();
      return true;
    }
    return false;
  }
  void Expect(std::string_view sym) {
    if (!Accept(sym)) Fail(Peek());
  }
  void ExpectWord(std::string_view word) {
    if (!AcceptWord(word)) Fail(Peek());
  }
  bool IsNameToken(const Token& t) const {
    return t.kind == TokenKind::kQuotedIdentifier ||
           (t.kind == TokenKind::kIdentifier && !IsReservedKeyword(t.text));
  }
  std::string ExpectName() {
    if (!IsNameToken(Peek())) Fail(Peek());
    return Next().text;
  }

  // parser.cpp
  [[noreturn]] void Fail(const Token& t);
  static std::string TokenText(const Token& t);
  std::string ParseObjectName();
  [[noreturn]] void FailTooDeep();
  void DeclareVariable(const Token& v, const SqlType& type);
  int64_t StructuralInteger();

  // Operator chains (a + b + c ...) build left-deep trees without recursing here, but the
  // later passes recurse over them: their links count toward the depth of the tree.
  struct ChainGuard {
    explicit ChainGuard(Parser* p) : parser(p) {}
    void Link() {
      ++links;
      if (++parser->links_ + parser->depth_ > kMaxTreeDepth) parser->FailTooDeep();
    }
    ~ChainGuard() { parser->links_ -= links; }
    Parser* parser;
    int links = 0;
  };

  struct DepthGuard {
    explicit DepthGuard(Parser* p) : parser(p) {
      if (++parser->depth_ > kMaxNesting) {
        Error e;
        e.number = 191;
        e.severity = 15;
        e.line = parser->Peek().line;
        e.message =
            "Some part of your SQL statement is nested too deeply. Rewrite the query or break it "
            "up into smaller queries.";
        throw SyntaxFailure{e};
      }
    }
    ~DepthGuard() { --parser->depth_; }
    Parser* parser;
  };

  // parse_statements.cpp
  StatementPtr ParseStatement(bool first_in_batch);
  bool StartsStatement(const Token& t) const;
  void ParseExecArguments(Statement* stmt);
  void ParseCreateProcedure(Statement* stmt, bool function);
  void ParseInsert(Statement* stmt);
  void ParseUpdate(Statement* stmt);
  void ParseDelete(Statement* stmt);
  void ParseCreate(Statement* stmt);
  void ParseTableConstraint(Statement* stmt);
  SqlType ParseType(bool in_cast);

  // parse_expressions.cpp: queries
  std::unique_ptr<Select> ParseQuery();
  std::unique_ptr<Select> ParseSelectCore();
  void ParseFromList(std::vector<TableRef>* from);
  TableRef ParseTableRef(JoinKind join);

  // parse_expressions.cpp: expressions
  ExprPtr Make(ExprKind kind, int line);
  ExprPtr ParseExpr();
  ExprPtr ParseOr();
  ExprPtr ParseAnd();
  ExprPtr ParseLogicalChain(std::string_view word, ExprKind kind, ExprPtr (Parser::*operand)());
  ExprPtr ParseNot();
  ExprPtr ParsePredicate();
  ExprPtr ParseAdditive();
  ExprPtr ParseMultiplicative();
  ExprPtr ParseUnary();
  ExprPtr ParsePrimary();
  ExprPtr ParseCase();

  const std::vector<Token>& toks_;
  ParsedBatch* out_;
  size_t pos_ = 0;
  int depth_ = 0;
  int links_ = 0;
  int loops_ = 0;  // WHILE bodies being parsed
};

}  // namespace engine
