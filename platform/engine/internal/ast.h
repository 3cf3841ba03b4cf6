// The parsed form of a batch: statements and expressions as the parser builds them, with the
// slots the binder fills (static types, resolved columns). Procedural statements (IF, WHILE,
// blocks, variables, cursors, procedure and function definitions) share the same statement
// node so the interpreter walks one tree.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/engine/engine.h"
#include "platform/engine/internal/types.h"

namespace engine {

struct Select;
struct CompiledStatement;
struct TableInfo;

// Defined by the executor, which owns what a compiled statement holds.
struct CompiledStatementDeleter {
  void operator()(CompiledStatement* compiled) const;
};

enum class ExprKind {
  kLiteral,     // string, integer, decimal or float literal (bound as a parameter)
  kNull,
  kColumn,      // [qualifier.]name
  kVariable,    // @name or @@name
  kUnary,       // op: "-", "+", "~"
  kBinary,      // op: "+", "-", "*", "/", "%"
  kCompare,     // op: "=", "<>", "<", "<=", ">", ">="
  kAnd,
  kOr,
  kNot,
  kIsNull,      // negated: IS NOT NULL
  kInList,      // args[0] IN (args[1..])
  kInSelect,    // args[0] IN (subquery)
  kExists,
  kSubquery,    // scalar subquery
  kLike,        // args: value, pattern[, escape]
  kBetween,     // args: value, low, high
  kCase,        // args: [operand?] when/then pairs [else]; has_operand/has_else say which
  kCast,        // args[0] AS cast_type
  kFunction,    // name lower-case; aggregates too (count(*) has star)
};

enum class LiteralKind { kString, kInteger, kDecimal, kFloat };

struct Expr {
  ExprKind kind = ExprKind::kNull;
  int line = 1;
  std::string op;
  std::string name;       // column, variable or function name
  std::string qualifier;  // table name or alias before the column
  bool negated = false;
  bool distinct = false;  // aggregate DISTINCT
  bool star = false;      // COUNT(*)
  bool has_operand = false;
  bool has_else = false;
  LiteralKind literal_kind = LiteralKind::kString;
  int literal_index = -1;
  std::string literal_text;  // the literal as written (numbers) or its value (strings)
  bool plain_pattern = false;  // LIKE with a text literal pattern free of %, _ and [, no ESCAPE
  SqlType cast_type;
  std::vector<std::unique_ptr<Expr>> args;
  std::unique_ptr<Select> subquery;

  // Binder output.
  ExprType type;
  bool is_aggregate = false;
  std::string resolved;  // SQLite reference of a bound column: "t"."c"
};

using ExprPtr = std::unique_ptr<Expr>;

enum class JoinKind { kFirst, kComma, kInner, kLeft };

struct TableRef {
  std::string name;   // without schema
  std::string alias;  // empty when none
  JoinKind join = JoinKind::kFirst;
  ExprPtr on;
  int line = 1;
  const TableInfo* table = nullptr;  // binder
};

struct SelectItem {
  ExprPtr expr;  // null for * and t.*
  std::string alias;
  bool has_alias = false;
  std::string star_qualifier;
  bool star = false;
  std::string assign_to;  // SELECT @v = expr: the variable (lower case)
};

struct OrderItem {
  ExprPtr expr;
  bool descending = false;
  // ORDER BY 2 -> 2 (positional); a name or expression the binder finds in the select list
  // gets its position here too.
  int64_t ordinal = 0;
  bool positional = false;  // written as a position (ORDER BY 0 is one, and out of range)
};

struct Select {
  int line = 1;
  bool distinct = false;
  int64_t top = -1;
  std::vector<SelectItem> items;
  std::vector<TableRef> from;
  ExprPtr where;
  std::vector<ExprPtr> group_by;
  ExprPtr having;
  std::unique_ptr<Select> union_next;
  bool union_all = false;
  std::vector<OrderItem> order_by;  // on the first branch of a UNION chain

  // Binder output: the result columns.
  std::vector<Column> columns;
  std::vector<std::string> column_sql;  // one translated expression per result column
};

enum class StmtKind {
  kSelect,
  kInsert,
  kUpdate,
  kDelete,
  kCreateTable,
  kCreateIndex,
  kDropTable,
  kBeginTran,
  kCommit,
  kRollback,
  kIf,
  kBlock,
  kExec,
  kCreateProcedure,  // body: the statements; params: the declared parameters
  kCreateFunction,   // the same, with cast_type holding the RETURNS type
  kDeclareCursor,  // DECLARE name CURSOR FOR select (proc_name holds the cursor name)
  kOpen,           // OPEN / FETCH / CLOSE / DEALLOCATE name (proc_name holds the name)
  kFetch,          // columns: the INTO variables
  kClose,
  kDeallocate,
  kDeclare,   // DECLARE @v type, ...: the types live in ParsedBatch::variables
  kSet,       // SET @v = value
  kWhile,     // WHILE condition body[0]
  kBreak,
  kContinue,
  kReturn,
  kNoop,  // SET NOCOUNT ON and friends
};

struct ColumnDef {
  std::string name;
  SqlType type;
  bool nullable = true;
  bool identity = false;
  int64_t seed = 1;
  int64_t increment = 1;
  bool primary_key = false;
};

struct ProcParam {
  std::string name;  // lower case, with '@'
  std::string written;  // as written
  SqlType type;
  ExprPtr default_value;
  bool output = false;
};

struct ExecArg {
  std::string name;  // lower case, empty for a positional argument
  ExprPtr value;
};

struct Statement {
  StmtKind kind = StmtKind::kNoop;
  int line = 1;
  std::unique_ptr<Select> select;  // SELECT, INSERT ... SELECT
  std::string table;
  std::string table_alias;
  std::vector<std::string> columns;              // INSERT column list
  std::vector<std::vector<ExprPtr>> values;      // INSERT VALUES rows
  std::vector<std::pair<std::string, ExprPtr>> sets;  // UPDATE
  std::vector<TableRef> from;                    // UPDATE/DELETE ... FROM
  ExprPtr where;
  std::vector<ColumnDef> column_defs;            // CREATE TABLE
  ExprPtr condition;                             // IF, WHILE
  std::string variable;                          // SET: lower-case name
  ExprPtr value;                                 // SET, RETURN
  std::vector<std::unique_ptr<Statement>> body;  // IF: [then, else?]; block: statements
  std::string object_kind;                       // DROP: "table"
  std::string index_name;                        // CREATE INDEX
  bool unique = false;                           // CREATE UNIQUE INDEX
  std::string proc_name;                         // EXEC, CREATE PROCEDURE
  std::string written_name;                      // DECLARE CURSOR: the name as written, for messages
  std::vector<ProcParam> params;                 // CREATE PROCEDURE / FUNCTION
  SqlType returns;                               // CREATE FUNCTION
  std::vector<ExecArg> args;                     // EXEC

  // Executor state: the translation and prepared statement, kept with the cached parse.
  std::unique_ptr<CompiledStatement, CompiledStatementDeleter> compiled;
};

using StatementPtr = std::unique_ptr<Statement>;

struct ParsedBatch {
  std::vector<StatementPtr> statements;
  // Declared variables of the batch (lower-case name -> type); names compare ignoring case.
  std::map<std::string, SqlType> variables;
  // Literals that shape the translation (type lengths, ORDER BY ordinals): a cached parse is
  // reused only when these match.
  std::vector<std::pair<int, std::string>> structural_literals;
  // LIKE patterns written as text literals, and whether each is free of wildcards: the
  // translation of a plain pattern differs, so a cached parse is reused only when these agree.
  std::vector<std::pair<int, bool>> pattern_literals;
};

}  // namespace engine
