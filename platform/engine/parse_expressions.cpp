// Query and expression rules of the T-SQL parser: SELECT with UNION, ORDER BY, TOP, FROM
// and joins, then expressions by precedence (OR, AND, NOT, predicates, + -, * / %, unary,
// primaries, CASE, CAST/CONVERT, function calls). Part of the parser (see
// internal/parser_state.h); syntax only.
#include <charconv>

#include "platform/engine/internal/parser_state.h"

namespace engine {

std::unique_ptr<Select> Parser::ParseQuery() {
  DepthGuard guard(this);
  std::unique_ptr<Select> first = ParseSelectCore();
  Select* tail = first.get();
  while (AcceptWord("union")) {
    tail->union_all = AcceptWord("all");
    tail->union_next = ParseSelectCore();
    tail = tail->union_next.get();
  }
  if (AcceptWord("order")) {
    ExpectWord("by");
    do {
      OrderItem item;
      const Token& t = Peek();
      const Token& after = Peek(1);
      bool ends_item = IsSym(after, ",") || IsWord(after, "asc") || IsWord(after, "desc") ||
                       !(after.kind == TokenKind::kSymbol && after.text != ")");
      int64_t position = 0;
      if (t.kind == TokenKind::kInteger && ends_item &&
          std::from_chars(t.text.data(), t.text.data() + t.text.size(), position).ec == std::errc()) {
        item.ordinal = StructuralInteger();
        item.positional = true;
      } else {
        item.expr = ParseExpr();
      }
      if (AcceptWord("desc")) item.descending = true;
      else AcceptWord("asc");
      first->order_by.push_back(std::move(item));
    } while (Accept(","));
  }
  return first;
}

std::unique_ptr<Select> Parser::ParseSelectCore() {
  if (Accept("(")) {
    auto inner = ParseQuery();
    Expect(")");
    return inner;
  }
  auto sel = std::make_unique<Select>();
  sel->line = Peek().line;
  ExpectWord("select");
  if (AcceptWord("distinct")) sel->distinct = true;
  else AcceptWord("all");
  if (AcceptWord("top")) {
    bool paren = Accept("(");
    sel->top = StructuralInteger();
    if (paren) Expect(")");
  }
  do {
    SelectItem item;
    if (Accept("*")) {
      item.star = true;
    } else if (IsNameToken(Peek()) && IsSym(Peek(1), ".") && IsSym(Peek(2), "*")) {
      item.star = true;
      item.star_qualifier = Next().text;
      Next();
      Next();
    } else if (Peek().kind == TokenKind::kVariable && IsSym(Peek(1), "=")) {
      item.assign_to = Lower(Next().text);  // SELECT @v = expr
      Next();
      item.expr = ParseExpr();
    } else if (Peek().kind == TokenKind::kString && IsSym(Peek(1), "=")) {
      item.alias = Next().text;  // 'Name' = expr
      item.has_alias = true;
      out_->structural_literals.emplace_back(toks_[pos_ - 1].literal_index, item.alias);
      Next();
      item.expr = ParseExpr();
    } else {
      item.expr = ParseExpr();
      bool as = AcceptWord("as");
      if (Peek().kind == TokenKind::kString) {
        out_->structural_literals.emplace_back(Peek().literal_index, Peek().text);
        item.alias = Next().text;
        item.has_alias = true;
      } else if (IsNameToken(Peek())) {
        item.alias = Next().text;
        item.has_alias = true;
      } else if (as) {
        Fail(Peek());
      }
    }
    sel->items.push_back(std::move(item));
  } while (Accept(","));
  if (AcceptWord("from")) ParseFromList(&sel->from);
  if (AcceptWord("where")) sel->where = ParseExpr();
  if (AcceptWord("group")) {
    ExpectWord("by");
    do {
      sel->group_by.push_back(ParseExpr());
    } while (Accept(","));
  }
  if (AcceptWord("having")) sel->having = ParseExpr();
  return sel;
}

void Parser::ParseFromList(std::vector<TableRef>* from) {
  from->push_back(ParseTableRef(JoinKind::kFirst));
  for (;;) {
    if (Accept(",")) {
      from->push_back(ParseTableRef(JoinKind::kComma));
      continue;
    }
    JoinKind kind;
    if (AcceptWord("inner")) {
      ExpectWord("join");
      kind = JoinKind::kInner;
    } else if (AcceptWord("join")) {
      kind = JoinKind::kInner;
    } else if (AcceptWord("left")) {
      AcceptWord("outer");
      ExpectWord("join");
      kind = JoinKind::kLeft;
    } else {
      break;
    }
    TableRef ref = ParseTableRef(kind);
    ExpectWord("on");
    ref.on = ParseExpr();
    from->push_back(std::move(ref));
  }
}

TableRef Parser::ParseTableRef(JoinKind join) {
  TableRef ref;
  ref.join = join;
  ref.line = Peek().line;
  ref.name = ParseObjectName();
  if (AcceptWord("as")) {
    ref.alias = ExpectName();
  } else if (IsNameToken(Peek()) && !StartsStatement(Peek())) {
    ref.alias = Next().text;
  }
  return ref;
}

ExprPtr Parser::Make(ExprKind kind, int line) {
  auto e = std::make_unique<Expr>();
  e->kind = kind;
  e->line = line;
  return e;
}

ExprPtr Parser::ParseExpr() {
  DepthGuard guard(this);
  return ParseOr();
}

ExprPtr Parser::ParseOr() { return ParseLogicalChain("or", ExprKind::kOr, &Parser::ParseAnd); }

ExprPtr Parser::ParseAnd() { return ParseLogicalChain("and", ExprKind::kAnd, &Parser::ParseNot); }

// left-deep chain of one logical operator over operands parsed by `operand`.
ExprPtr Parser::ParseLogicalChain(std::string_view word, ExprKind kind, ExprPtr (Parser::*operand)()) {
  ExprPtr left = (this->*operand)();
  ChainGuard chain(this);
  while (IsWord(Peek(), word)) {
    chain.Link();
    auto e = Make(kind, Next().line);
    e->args.push_back(std::move(left));
    e->args.push_back((this->*operand)());
    left = std::move(e);
  }
  return left;
}

ExprPtr Parser::ParseNot() {
  if (IsWord(Peek(), "not")) {
    DepthGuard guard(this);
    auto e = Make(ExprKind::kNot, Next().line);
    e->args.push_back(ParseNot());
    return e;
  }
  return ParsePredicate();
}

ExprPtr Parser::ParsePredicate() {
  if (IsWord(Peek(), "exists")) {
    auto e = Make(ExprKind::kExists, Next().line);
    Expect("(");
    e->subquery = ParseQuery();
    Expect(")");
    return e;
  }
  ExprPtr left = ParseAdditive();
  const Token& t = Peek();
  static constexpr std::string_view kCompare[] = {"=", "<>", "!=", "<", "<=", ">", ">=", "!<", "!>"};
  for (auto op : kCompare) {
    if (IsSym(t, op)) {
      auto e = Make(ExprKind::kCompare, Next().line);
      e->op = op == "!=" ? "<>" : op == "!<" ? ">=" : op == "!>" ? "<=" : std::string(op);
      e->args.push_back(std::move(left));
      e->args.push_back(ParseAdditive());
      return e;
    }
  }
  if (IsWord(t, "is")) {
    auto e = Make(ExprKind::kIsNull, Next().line);
    e->negated = AcceptWord("not");
    ExpectWord("null");
    e->args.push_back(std::move(left));
    return e;
  }
  bool negated = false;
  if (IsWord(t, "not") && (IsWord(Peek(1), "in") || IsWord(Peek(1), "like") ||
                           IsWord(Peek(1), "between"))) {
    Next();
    negated = true;
  }
  if (AcceptWord("in")) {
    int line = Peek().line;
    Expect("(");
    ExprPtr e;
    if (IsWord(Peek(), "select")) {
      e = Make(ExprKind::kInSelect, line);
      e->args.push_back(std::move(left));
      e->subquery = ParseQuery();
    } else {
      e = Make(ExprKind::kInList, line);
      e->args.push_back(std::move(left));
      do {
        e->args.push_back(ParseExpr());
      } while (Accept(","));
    }
    Expect(")");
    e->negated = negated;
    return e;
  }
  if (AcceptWord("like")) {
    auto e = Make(ExprKind::kLike, t.line);
    e->negated = negated;
    e->args.push_back(std::move(left));
    e->args.push_back(ParseAdditive());
    if (AcceptWord("escape")) e->args.push_back(ParseAdditive());
    const Expr& pattern = *e->args[1];
    if (pattern.kind == ExprKind::kLiteral && pattern.literal_kind == LiteralKind::kString) {
      bool plain = e->args.size() == 2 && pattern.literal_text.find_first_of("%_[") == std::string::npos;
      e->plain_pattern = plain;
      out_->pattern_literals.emplace_back(pattern.literal_index, plain);
    }
    return e;
  }
  if (AcceptWord("between")) {
    auto e = Make(ExprKind::kBetween, t.line);
    e->negated = negated;
    e->args.push_back(std::move(left));
    e->args.push_back(ParseAdditive());
    ExpectWord("and");
    e->args.push_back(ParseAdditive());
    return e;
  }
  if (negated) Fail(Peek());
  return left;
}

ExprPtr Parser::ParseAdditive() {
  ExprPtr left = ParseMultiplicative();
  ChainGuard chain(this);
  while (IsSym(Peek(), "+") || IsSym(Peek(), "-") || IsSym(Peek(), "&") || IsSym(Peek(), "|") ||
         IsSym(Peek(), "^")) {
    chain.Link();
    auto e = Make(ExprKind::kBinary, Peek().line);
    e->op = Next().text;
    if (e->op != "+" && e->op != "-") Fail(toks_[pos_ - 1]);
    e->args.push_back(std::move(left));
    e->args.push_back(ParseMultiplicative());
    left = std::move(e);
  }
  return left;
}

ExprPtr Parser::ParseMultiplicative() {
  ExprPtr left = ParseUnary();
  ChainGuard chain(this);
  while (IsSym(Peek(), "*") || IsSym(Peek(), "/") || IsSym(Peek(), "%")) {
    chain.Link();
    auto e = Make(ExprKind::kBinary, Peek().line);
    e->op = Next().text;
    e->args.push_back(std::move(left));
    e->args.push_back(ParseUnary());
    left = std::move(e);
  }
  return left;
}

ExprPtr Parser::ParseUnary() {
  if (IsSym(Peek(), "-") || IsSym(Peek(), "+")) {
    DepthGuard guard(this);
    auto e = Make(ExprKind::kUnary, Peek().line);
    e->op = Next().text;
    e->args.push_back(ParseUnary());
    return e;
  }
  return ParsePrimary();
}

ExprPtr Parser::ParsePrimary() {
  const Token& t = Peek();
  switch (t.kind) {
    case TokenKind::kString:
    case TokenKind::kInteger:
    case TokenKind::kDecimal:
    case TokenKind::kFloat: {
      auto e = Make(ExprKind::kLiteral, t.line);
      e->literal_kind = t.kind == TokenKind::kString    ? LiteralKind::kString
                        : t.kind == TokenKind::kInteger ? LiteralKind::kInteger
                        : t.kind == TokenKind::kDecimal ? LiteralKind::kDecimal
                                                        : LiteralKind::kFloat;
      e->literal_index = t.literal_index;
      e->literal_text = t.text;
      Next();
      return e;
    }
    case TokenKind::kVariable:
    case TokenKind::kSysVariable: {
      auto e = Make(ExprKind::kVariable, t.line);
      e->name = Lower(t.text);
      Next();
      return e;
    }
    case TokenKind::kSymbol: {
      if (IsSym(t, "(")) {
        Next();
        if (IsWord(Peek(), "select")) {
          auto e = Make(ExprKind::kSubquery, t.line);
          e->subquery = ParseQuery();
          Expect(")");
          return e;
        }
        ExprPtr inner = ParseExpr();
        Expect(")");
        return inner;
      }
      Fail(t);
    }
    case TokenKind::kEnd:
      Fail(t);
    default:
      break;
  }
  if (IsWord(t, "null")) {
    Next();
    return Make(ExprKind::kNull, t.line);
  }
  if (IsWord(t, "case")) return ParseCase();
  if ((IsWord(t, "cast") || IsWord(t, "convert")) && IsSym(Peek(1), "(")) {
    bool is_cast = IsWord(t, "cast");
    Next();
    Next();
    auto e = Make(ExprKind::kCast, t.line);
    if (is_cast) {
      e->args.push_back(ParseExpr());
      ExpectWord("as");
      e->cast_type = ParseType(true);
    } else {
      e->cast_type = ParseType(true);
      Expect(",");
      e->args.push_back(ParseExpr());
      if (Accept(",")) StructuralInteger();
    }
    Expect(")");
    return e;
  }
  bool function_keyword = (IsWord(t, "left") || IsWord(t, "right")) && IsSym(Peek(1), "(");
  if (t.kind == TokenKind::kIdentifier && IsReservedKeyword(t.text) && !function_keyword) Fail(t);
  // name, t.name, schema.function(...)
  std::string first = Next().text;
  std::string second;
  if (IsSym(Peek(), ".") && IsNameToken(Peek(1))) {
    Next();
    second = Next().text;
    while (IsSym(Peek(), ".") && IsNameToken(Peek(1))) {  // db.schema.name
      Next();
      first = second;
      second = Next().text;
    }
  }
  if (IsSym(Peek(), "(")) {
    Next();
    auto e = Make(ExprKind::kFunction, t.line);
    e->name = Lower(second.empty() ? first : second);
    e->qualifier = second.empty() ? "" : first;
    // Only COUNT takes *: SUM(*) and the like stop at the * as on the server.
    if (e->name == "count" && e->qualifier.empty() && Accept("*")) {
      e->star = true;
    } else if (!IsSym(Peek(), ")")) {
      if (AcceptWord("distinct")) e->distinct = true;
      else AcceptWord("all");
      do {
        e->args.push_back(ParseExpr());
      } while (Accept(","));
    }
    Expect(")");
    return e;
  }
  auto e = Make(ExprKind::kColumn, t.line);
  if (second.empty()) {
    e->name = first;
  } else {
    e->qualifier = first;
    e->name = second;
  }
  return e;
}

ExprPtr Parser::ParseCase() {
  auto e = Make(ExprKind::kCase, Next().line);
  if (!IsWord(Peek(), "when")) {
    e->has_operand = true;
    e->args.push_back(ParseExpr());
  }
  bool any = false;
  while (AcceptWord("when")) {
    any = true;
    e->args.push_back(ParseExpr());
    ExpectWord("then");
    e->args.push_back(ParseExpr());
  }
  if (!any) Fail(Peek());
  if (AcceptWord("else")) {
    e->has_else = true;
    e->args.push_back(ParseExpr());
  }
  ExpectWord("end");
  return e;
}

}  // namespace engine
