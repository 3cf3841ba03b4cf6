// T-SQL parser. Statements need no separator: each one ends where the grammar cannot take the
// next token, as on the server. Errors are thrown inside the parser and returned as the
// server's syntax errors (102, 156 for a keyword, 191 for nesting too deep).
#include "platform/engine/internal/parser.h"

#include <charconv>

namespace engine {
namespace {

struct SyntaxFailure {
  Error error;
};

class Parser {
 public:
  Parser(const TokenizedBatch& batch, ParsedBatch* out) : toks_(batch.tokens), out_(out) {}

  void Run() {
    while (!AtEnd()) {
      if (Accept(";")) continue;
      out_->statements.push_back(ParseStatement(out_->statements.empty()));
    }
  }

 private:
  // --- token helpers -----------------------------------------------------------------------
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
  [[noreturn]] void Fail(const Token& t) {
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
  static std::string TokenText(const Token& t) {
    if (t.kind == TokenKind::kString) return t.text;
    return t.text;
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
  // [server.][db.][schema.]name -> name; the schema qualifier is dropped (everything is dbo).
  std::string ParseObjectName() {
    std::string name = ExpectName();
    while (IsSym(Peek(), ".") && IsNameToken(Peek(1))) {
      Next();
      name = Next().text;
    }
    return name;
  }
  [[noreturn]] void FailTooDeep() {
    Error e;
    e.number = 191;
    e.severity = 15;
    e.line = Peek().line;
    e.message =
        "Some part of your SQL statement is nested too deeply. Rewrite the query or break it up "
        "into smaller queries.";
    throw SyntaxFailure{e};
  }
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
  // Records a variable (or parameter) of the batch; a second declaration of a name is 134.
  void DeclareVariable(const Token& v, const SqlType& type) {
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
  int64_t StructuralInteger() {
    const Token& t = Peek();
    if (t.kind != TokenKind::kInteger) Fail(t);
    Next();
    out_->structural_literals.emplace_back(t.literal_index, t.text);
    int64_t v = 0;
    std::from_chars(t.text.data(), t.text.data() + t.text.size(), v);
    return v;
  }

  // --- statements ------------------------------------------------------------------------
  StatementPtr ParseStatement(bool first_in_batch) {
    DepthGuard guard(this);
    const Token& t = Peek();
    auto stmt = std::make_unique<Statement>();
    stmt->line = t.line;
    if (IsWord(t, "select")) {
      stmt->kind = StmtKind::kSelect;
      stmt->select = ParseQuery();
    } else if (IsWord(t, "insert")) {
      ParseInsert(stmt.get());
    } else if (IsWord(t, "update")) {
      ParseUpdate(stmt.get());
    } else if (IsWord(t, "delete")) {
      ParseDelete(stmt.get());
    } else if (IsWord(t, "create") && (IsWord(Peek(1), "procedure") || IsWord(Peek(1), "proc") ||
                                       IsWord(Peek(1), "function"))) {
      bool function = IsWord(Peek(1), "function");
      if (!first_in_batch) {
        Error e;
        e.number = 111;
        e.severity = 15;
        e.line = t.line;
        e.message = function ? "'CREATE FUNCTION' must be the first statement in a query batch."
                             : "'CREATE/ALTER PROCEDURE' must be the first statement in a query batch.";
        throw SyntaxFailure{e};
      }
      ParseCreateProcedure(stmt.get(), function);
    } else if (IsWord(t, "create")) {
      ParseCreate(stmt.get());
    } else if (IsWord(t, "drop")) {
      Next();
      const Token& what = Peek();
      if (AcceptWord("procedure") || AcceptWord("proc")) stmt->object_kind = "procedure";
      else if (AcceptWord("function")) stmt->object_kind = "function";
      else if (AcceptWord("table")) stmt->object_kind = "table";
      else Fail(what);
      stmt->kind = StmtKind::kDropTable;
      stmt->table = ParseObjectName();
    } else if (IsWord(t, "begin")) {
      Next();
      if (AcceptWord("tran") || AcceptWord("transaction")) {
        stmt->kind = StmtKind::kBeginTran;
        if (IsNameToken(Peek()) && !StartsStatement(Peek())) Next();
      } else {
        stmt->kind = StmtKind::kBlock;
        while (!IsWord(Peek(), "end")) {
          if (AtEnd()) Fail(Peek());
          if (Accept(";")) continue;
          stmt->body.push_back(ParseStatement(false));
        }
        Next();
      }
    } else if (IsWord(t, "commit") || IsWord(t, "rollback")) {
      Next();
      stmt->kind = IsWord(t, "commit") ? StmtKind::kCommit : StmtKind::kRollback;
      if (AcceptWord("tran") || AcceptWord("transaction") || AcceptWord("work")) {
        if (IsNameToken(Peek()) && !StartsStatement(Peek())) Next();
      }
    } else if (IsWord(t, "if")) {
      Next();
      stmt->kind = StmtKind::kIf;
      stmt->condition = ParseExpr();
      if (AtEnd()) Fail(Peek());
      stmt->body.push_back(ParseStatement(false));
      while (Accept(";")) {
      }
      if (AcceptWord("else")) stmt->body.push_back(ParseStatement(false));
    } else if (IsWord(t, "exec") || IsWord(t, "execute") ||
               (first_in_batch && IsNameToken(t))) {
      if (!IsNameToken(t)) Next();
      stmt->kind = StmtKind::kExec;
      stmt->proc_name = ParseObjectName();
      ParseExecArguments(stmt.get());
    } else if (IsWord(t, "declare") && IsNameToken(Peek(1)) && IsWord(Peek(2), "cursor")) {
      Next();
      stmt->kind = StmtKind::kDeclareCursor;
      stmt->written_name = Next().text;
      stmt->proc_name = Lower(stmt->written_name);
      Next();
      while (!IsWord(Peek(), "for")) {  // LOCAL, GLOBAL, FORWARD_ONLY, STATIC, READ_ONLY ...
        if (!IsNameToken(Peek()) && !IsWord(Peek(), "global")) Fail(Peek());
        Next();
      }
      Next();
      stmt->select = ParseQuery();
    } else if (IsWord(t, "open") || IsWord(t, "close") || IsWord(t, "deallocate")) {
      Next();
      stmt->kind = IsWord(t, "open") ? StmtKind::kOpen : IsWord(t, "close") ? StmtKind::kClose : StmtKind::kDeallocate;
      AcceptWord("global");
      stmt->proc_name = Lower(ExpectName());
    } else if (IsWord(t, "fetch")) {
      Next();
      stmt->kind = StmtKind::kFetch;
      if (!AcceptWord("next")) {
        if (IsWord(Peek(), "prior") || IsWord(Peek(), "first") || IsWord(Peek(), "last")) Fail(Peek());
      }
      AcceptWord("from");
      AcceptWord("global");
      stmt->proc_name = Lower(ExpectName());
      if (AcceptWord("into")) {
        do {
          const Token& v = Peek();
          if (v.kind != TokenKind::kVariable) Fail(v);
          stmt->columns.push_back(Lower(Next().text));
        } while (Accept(","));
      }
    } else if (IsWord(t, "declare")) {
      Next();
      stmt->kind = StmtKind::kDeclare;
      do {
        const Token& v = Peek();
        if (v.kind != TokenKind::kVariable) Fail(v);
        Next();
        AcceptWord("as");
        DeclareVariable(v, ParseType(false));
      } while (Accept(","));
    } else if (IsWord(t, "set") && Peek(1).kind == TokenKind::kVariable) {
      Next();
      stmt->kind = StmtKind::kSet;
      stmt->variable = Lower(Next().text);
      Expect("=");
      stmt->value = ParseExpr();
    } else if (IsWord(t, "while")) {
      Next();
      stmt->kind = StmtKind::kWhile;
      stmt->condition = ParseExpr();
      ++loops_;
      stmt->body.push_back(ParseStatement(false));
      --loops_;
    } else if (IsWord(t, "break") || IsWord(t, "continue")) {
      bool is_break = IsWord(t, "break");
      if (loops_ == 0) {
        Error e;
        e.number = is_break ? 135 : 136;
        e.severity = 15;
        e.line = t.line;
        e.message = std::string("Cannot use a ") + (is_break ? "BREAK" : "CONTINUE") +
                    " statement outside the scope of a WHILE statement.";
        throw SyntaxFailure{e};
      }
      Next();
      stmt->kind = is_break ? StmtKind::kBreak : StmtKind::kContinue;
    } else if (IsWord(t, "return")) {
      Next();
      stmt->kind = StmtKind::kReturn;
      if (!AtEnd() && !StartsStatement(Peek()) && !IsSym(Peek(), ";")) stmt->value = ParseExpr();
    } else if (IsWord(t, "set") && IsNameToken(Peek(1))) {
      // Session options (NOCOUNT, ANSI_*, DATEFORMAT dmy) are fixed in this engine.
      Next();
      Next();
      const Token& v = Peek();
      if (IsWord(v, "on") || IsWord(v, "off") || IsNameToken(v)) Next();
      else Fail(v);
      stmt->kind = StmtKind::kNoop;
    } else {
      Fail(t);
    }
    return stmt;
  }

  bool StartsStatement(const Token& t) const {
    static constexpr std::string_view kStarts[] = {"select", "insert", "update", "delete", "create",
                                                   "drop",   "begin",  "commit", "rollback", "if",
                                                   "exec",   "execute", "set",  "declare", "while",
                                                   "return", "open",   "close", "fetch", "deallocate",
                                                   "print",  "else",   "end", "break", "continue"};
    for (auto w : kStarts) {
      if (IsWord(t, w)) return true;
    }
    return false;
  }

  void ParseExecArguments(Statement* stmt) {
    if (AtEnd() || StartsStatement(Peek()) || IsSym(Peek(), ";")) return;
    do {
      ExecArg arg;
      if (Peek().kind == TokenKind::kVariable && IsSym(Peek(1), "=")) {
        arg.name = Lower(Next().text);
        Next();
      }
      arg.value = ParseExpr();
      AcceptWord("output") || AcceptWord("out");
      stmt->args.push_back(std::move(arg));
    } while (Accept(","));
  }

  // CREATE PROCEDURE name [(] @p [AS] type [= default] [OUTPUT], ... [)] AS <rest of the batch>
  // CREATE FUNCTION name (@p type, ...) RETURNS type [AS] <body>
  void ParseCreateProcedure(Statement* stmt, bool function) {
    Next();
    Next();
    stmt->kind = function ? StmtKind::kCreateFunction : StmtKind::kCreateProcedure;
    stmt->proc_name = ParseObjectName();
    bool paren = Accept("(");
    while (Peek().kind == TokenKind::kVariable) {
      ProcParam param;
      const Token& v = Next();
      param.name = Lower(v.text);
      param.written = v.text;
      AcceptWord("as");
      param.type = ParseType(false);
      if (Accept("=")) param.default_value = ParseUnary();
      param.output = AcceptWord("output") || AcceptWord("out");
      DeclareVariable(v, param.type);
      stmt->params.push_back(std::move(param));
      if (!Accept(",")) break;
    }
    if (paren) Expect(")");
    if (function) {
      ExpectWord("returns");
      stmt->returns = ParseType(false);
      AcceptWord("as");
    } else {
      ExpectWord("as");
    }
    while (!AtEnd()) {
      if (Accept(";")) continue;
      stmt->body.push_back(ParseStatement(false));
    }
  }

  void ParseInsert(Statement* stmt) {
    Next();
    stmt->kind = StmtKind::kInsert;
    AcceptWord("into");
    stmt->table = ParseObjectName();
    if (IsSym(Peek(), "(") && !IsWord(Peek(1), "select")) {
      Next();
      do {
        stmt->columns.push_back(ExpectName());
      } while (Accept(","));
      Expect(")");
    }
    if (AcceptWord("values")) {
      do {
        Expect("(");
        std::vector<ExprPtr> row;
        do {
          row.push_back(ParseExpr());
        } while (Accept(","));
        Expect(")");
        stmt->values.push_back(std::move(row));
      } while (Accept(","));
    } else if (IsWord(Peek(), "select") || IsSym(Peek(), "(")) {
      stmt->select = ParseQuery();
    } else {
      Fail(Peek());
    }
  }

  void ParseUpdate(Statement* stmt) {
    Next();
    stmt->kind = StmtKind::kUpdate;
    stmt->table = ParseObjectName();
    ExpectWord("set");
    do {
      std::string column = ExpectName();
      if (Accept(".")) column = ExpectName();
      Expect("=");
      stmt->sets.emplace_back(column, ParseExpr());
    } while (Accept(","));
    if (AcceptWord("from")) ParseFromList(&stmt->from);
    if (AcceptWord("where")) stmt->where = ParseExpr();
  }

  void ParseDelete(Statement* stmt) {
    Next();
    stmt->kind = StmtKind::kDelete;
    AcceptWord("from");
    stmt->table = ParseObjectName();
    if (AcceptWord("from")) ParseFromList(&stmt->from);
    if (AcceptWord("where")) stmt->where = ParseExpr();
  }

  void ParseCreate(Statement* stmt) {
    Next();
    bool unique = AcceptWord("unique");
    AcceptWord("clustered") || AcceptWord("nonclustered");
    if (AcceptWord("index")) {
      stmt->kind = StmtKind::kCreateIndex;
      stmt->unique = unique;
      stmt->index_name = ExpectName();
      ExpectWord("on");
      stmt->table = ParseObjectName();
      Expect("(");
      do {
        stmt->columns.push_back(ExpectName());
        AcceptWord("asc") || AcceptWord("desc");
      } while (Accept(","));
      Expect(")");
      return;
    }
    if (unique || !AcceptWord("table")) Fail(Peek());
    stmt->kind = StmtKind::kCreateTable;
    stmt->table = ParseObjectName();
    Expect("(");
    do {
      if (AcceptWord("constraint")) {
        ExpectName();
        ParseTableConstraint(stmt);
        continue;
      }
      if (IsWord(Peek(), "primary")) {
        ParseTableConstraint(stmt);
        continue;
      }
      ColumnDef def;
      def.name = ExpectName();
      def.type = ParseType(false);
      for (;;) {
        if (AcceptWord("identity")) {
          def.identity = true;
          def.nullable = false;
          if (Accept("(")) {
            def.seed = StructuralInteger();
            Expect(",");
            def.increment = StructuralInteger();
            Expect(")");
          }
        } else if (AcceptWord("not")) {
          ExpectWord("null");
          def.nullable = false;
        } else if (AcceptWord("null")) {
          def.nullable = !def.identity;
        } else if (AcceptWord("primary")) {
          ExpectWord("key");
          AcceptWord("clustered") || AcceptWord("nonclustered");
          def.primary_key = true;
          def.nullable = false;
        } else {
          break;
        }
      }
      stmt->column_defs.push_back(std::move(def));
    } while (Accept(","));
    Expect(")");
  }

  void ParseTableConstraint(Statement* stmt) {
    ExpectWord("primary");
    ExpectWord("key");
    AcceptWord("clustered") || AcceptWord("nonclustered");
    Expect("(");
    do {
      std::string column = ExpectName();
      AcceptWord("asc") || AcceptWord("desc");
      for (auto& def : stmt->column_defs) {
        if (Lower(def.name) == Lower(column)) {
          def.primary_key = true;
          def.nullable = false;
        }
      }
    } while (Accept(","));
    Expect(")");
  }

  // `in_cast`: varchar without a length means 30 in CAST/CONVERT and 1 in declarations.
  SqlType ParseType(bool in_cast) {
    const Token& t = Peek();
    if (t.kind != TokenKind::kIdentifier && t.kind != TokenKind::kQuotedIdentifier) Fail(t);
    std::string name = Lower(Next().text);
    if (name == "dbo" && Accept(".")) name = Lower(Next().text);
    SqlType type;
    if (name == "varchar" || name == "nvarchar" || name == "char" || name == "nchar") {
      type.kind = (name == "char" || name == "nchar") ? TypeKind::kChar : TypeKind::kVarChar;
      type.length = in_cast ? 30 : 1;
      if (Accept("(")) {
        if (AcceptWord("max")) type.length = 8000;
        else type.length = static_cast<int>(StructuralInteger());
        Expect(")");
      }
    } else if (name == "int" || name == "integer") {
      type.kind = TypeKind::kInt;
    } else if (name == "smallint") {
      type.kind = TypeKind::kSmallInt;
    } else if (name == "tinyint") {
      type.kind = TypeKind::kTinyInt;
    } else if (name == "bigint") {
      type.kind = TypeKind::kBigInt;
    } else if (name == "bit") {
      type.kind = TypeKind::kBit;
    } else if (name == "numeric" || name == "decimal") {
      type.kind = TypeKind::kNumeric;
      type.precision = 18;
      type.scale = 0;
      if (Accept("(")) {
        type.precision = static_cast<int>(StructuralInteger());
        if (Accept(",")) type.scale = static_cast<int>(StructuralInteger());
        Expect(")");
      }
    } else if (name == "float" || name == "real") {
      type.kind = name == "real" ? TypeKind::kReal : TypeKind::kFloat;
      if (Accept("(")) {
        StructuralInteger();
        Expect(")");
      }
    } else if (name == "datetime" || name == "smalldatetime") {
      type.kind = TypeKind::kDateTime;
    } else {
      pos_--;
      Fail(Peek());
    }
    return type;
  }

  // --- queries ---------------------------------------------------------------------------
  std::unique_ptr<Select> ParseQuery() {
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
        if (t.kind == TokenKind::kInteger && ends_item) {
          item.ordinal = static_cast<int>(StructuralInteger());
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

  std::unique_ptr<Select> ParseSelectCore() {
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

  void ParseFromList(std::vector<TableRef>* from) {
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

  TableRef ParseTableRef(JoinKind join) {
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

  // --- expressions -----------------------------------------------------------------------
  ExprPtr Make(ExprKind kind, int line) {
    auto e = std::make_unique<Expr>();
    e->kind = kind;
    e->line = line;
    return e;
  }

  ExprPtr ParseExpr() {
    DepthGuard guard(this);
    return ParseOr();
  }

  ExprPtr ParseOr() { return ParseLogicalChain("or", ExprKind::kOr, &Parser::ParseAnd); }
  ExprPtr ParseAnd() { return ParseLogicalChain("and", ExprKind::kAnd, &Parser::ParseNot); }

  // left-deep chain of one logical operator over operands parsed by `operand`.
  ExprPtr ParseLogicalChain(std::string_view word, ExprKind kind, ExprPtr (Parser::*operand)()) {
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

  ExprPtr ParseNot() {
    if (IsWord(Peek(), "not")) {
      DepthGuard guard(this);
      auto e = Make(ExprKind::kNot, Next().line);
      e->args.push_back(ParseNot());
      return e;
    }
    return ParsePredicate();
  }

  ExprPtr ParsePredicate() {
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

  ExprPtr ParseAdditive() {
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

  ExprPtr ParseMultiplicative() {
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

  ExprPtr ParseUnary() {
    if (IsSym(Peek(), "-") || IsSym(Peek(), "+")) {
      DepthGuard guard(this);
      auto e = Make(ExprKind::kUnary, Peek().line);
      e->op = Next().text;
      e->args.push_back(ParseUnary());
      return e;
    }
    return ParsePrimary();
  }

  ExprPtr ParsePrimary() {
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
      if (Accept("*")) {
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

  ExprPtr ParseCase() {
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

  const std::vector<Token>& toks_;
  ParsedBatch* out_;
  size_t pos_ = 0;
  int depth_ = 0;
  int links_ = 0;
  int loops_ = 0;  // WHILE bodies being parsed
};

}  // namespace

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
