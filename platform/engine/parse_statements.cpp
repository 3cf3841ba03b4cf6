// Statement rules of the T-SQL parser: DML, CREATE TABLE and INDEX, DROP, procedure and
// function definitions, transactions, IF, WHILE, blocks, EXEC, DECLARE, SET and the cursor
// statements, and the declared types. Part of the parser (see internal/parser_state.h); it
// builds the tree only and never resolves a name.
#include "platform/engine/internal/parser_state.h"

namespace engine {

StatementPtr Parser::ParseStatement(bool first_in_batch) {
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

bool Parser::StartsStatement(const Token& t) const {
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

void Parser::ParseExecArguments(Statement* stmt) {
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
void Parser::ParseCreateProcedure(Statement* stmt, bool function) {
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

void Parser::ParseInsert(Statement* stmt) {
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

void Parser::ParseUpdate(Statement* stmt) {
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

void Parser::ParseDelete(Statement* stmt) {
  Next();
  stmt->kind = StmtKind::kDelete;
  AcceptWord("from");
  stmt->table = ParseObjectName();
  if (AcceptWord("from")) ParseFromList(&stmt->from);
  if (AcceptWord("where")) stmt->where = ParseExpr();
}

void Parser::ParseCreate(Statement* stmt) {
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

void Parser::ParseTableConstraint(Statement* stmt) {
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
SqlType Parser::ParseType(bool in_cast) {
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

}  // namespace engine
