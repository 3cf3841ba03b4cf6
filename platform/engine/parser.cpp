// The T-SQL parser's entry point and shared helpers. Statements need no separator: each one
// ends where the grammar cannot take the next token, as on the server. Errors are thrown inside
// the parser and returned as the server's syntax errors (102, 156 for a keyword, 191 for nesting
// too deep). The rules themselves are in parse_statements.cpp and parse_expressions.cpp.
#include "platform/engine/internal/parser.h"

#include <charconv>

#include "platform/engine/internal/parser_state.h"

namespace engine {

void Parser::Run() {
  while (!AtEnd()) {
    if (Accept(";")) continue;
    out_->statements.push_back(ParseStatement(out_->statements.empty()));
  }
}

void Parser::Fail(const Token& t) {
  Error e;
  e.severity = 15;
  e.line = t.line;
  if (t.kind == TokenKind::kEnd) {
    // At the end of the batch the server names the last token it read.
    const Token& last = pos_ > 0 ? toks_[pos_ - 1] : t;
    e.line = last.line;
    e.number = 102;
    e.message = "Incorrect syntax near '" + TokenText(last) + "'.";
  } else if (t.kind == TokenKind::kIdentifier && IsReservedKeyword(t.text)) {
    e.number = 156;
    e.message = "Incorrect syntax near the keyword '" + t.text + "'.";
  } else {
    e.number = 102;
    e.message = "Incorrect syntax near '" + TokenText(t) + "'.";
  }
  throw SyntaxFailure{e};
}

std::string Parser::TokenText(const Token& t) {
  if (t.kind == TokenKind::kString) return t.text;
  return t.text;
}

// [server.][db.][schema.]name -> name; the schema qualifier is dropped (everything is dbo).
std::string Parser::ParseObjectName() {
  std::string name = ExpectName();
  while (IsSym(Peek(), ".") && IsNameToken(Peek(1))) {
    Next();
    name = Next().text;
  }
  return name;
}

void Parser::FailTooDeep() {
  Error e;
  e.number = 191;
  e.severity = 15;
  e.line = Peek().line;
  e.message =
      "Some part of your SQL statement is nested too deeply. Rewrite the query or break it up "
      "into smaller queries.";
  throw SyntaxFailure{e};
}

// Records a variable (or parameter) of the batch; a second declaration of a name is 134.
void Parser::DeclareVariable(const Token& v, const SqlType& type) {
  if (out_->variables.emplace(Lower(v.text), type).second) return;
  Error e;
  e.number = 134;
  e.severity = 15;
  e.line = v.line;
  e.message = "The variable name '" + v.text +
              "' has already been declared. Variable names must be unique within a query batch "
              "or stored procedure.";
  throw SyntaxFailure{e};
}

int64_t Parser::StructuralInteger() {
  const Token& t = Peek();
  if (t.kind != TokenKind::kInteger) Fail(t);
  Next();
  out_->structural_literals.emplace_back(t.literal_index, t.text);
  int64_t v = 0;
  std::from_chars(t.text.data(), t.text.data() + t.text.size(), v);
  return v;
}

bool ParseBatch(const TokenizedBatch& batch, ParsedBatch* out, Error* error) {
  try {
    Parser parser(batch, out);
    parser.Run();
    return true;
  } catch (const SyntaxFailure& failure) {
    *error = failure.error;
    return false;
  }
}

}  // namespace engine
