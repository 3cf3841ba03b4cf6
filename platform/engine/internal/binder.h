// The binder: resolves table and column names against the catalog (case-insensitive, dbo
// implied), infers the static T-SQL type of every expression, and applies the server's
// compile-time checks (208, 207, 209, 8120, 205, 213, 544, 137, 195 ...). It annotates the
// tree in place and never touches the database.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/engine/internal/ast.h"
#include "platform/engine/internal/catalog.h"

namespace engine {

// One table visible to a query: `ref` is how translated SQL names it (alias or table name).
struct ScopeTable {
  const TableInfo* table = nullptr;
  std::string ref;
};

struct Scope {
  std::vector<ScopeTable> tables;
  const Scope* parent = nullptr;
};

// Scalar user functions known to the database, looked up when a query names dbo.f(...).
class FunctionResolver {
 public:
  virtual ~FunctionResolver() = default;
  // True when the function exists; fills its result type and parameter count.
  virtual bool FindFunction(const std::string& name, SqlType* returns, size_t* parameters) = 0;
};

class Binder {
 public:
  // `variables`: the declared variables visible to the statements (lower-case names).
  Binder(const Catalog& catalog, const std::map<std::string, SqlType>& variables,
         FunctionResolver* functions = nullptr)
      : catalog_(catalog), variables_(variables), functions_(functions) {}

  // Binds a statement of kind SELECT, INSERT, UPDATE, DELETE, SET, or the condition of IF and
  // WHILE.
  // Returns false and fills `error` (line set) on the first failure.
  bool BindStatement(Statement* stmt, Error* error);

  // Binds a query (its UNION chain and ORDER BY) seeing the tables of `outer`.
  bool BindQuery(Select* select, const Scope* outer);
  bool BindExpr(Expr* expr, const Scope& scope, bool allow_aggregate);

  const Error& error() const { return error_; }

 private:
  bool BindSelectCore(Select* select, const Scope* outer, Scope* scope);
  bool BindFrom(std::vector<TableRef>* from, const Scope* outer, Scope* scope);
  bool BindColumn(Expr* expr, const Scope& scope);
  bool BindFunction(Expr* expr, const Scope& scope, bool allow_aggregate);
  bool CheckGrouping(const Expr* expr, const Select& select, const Scope& scope);
  bool Fail(int number, int line, std::string message, int severity = 16);

  const Catalog& catalog_;
  const std::map<std::string, SqlType>& variables_;
  FunctionResolver* functions_;
  Error error_;
  int aggregate_depth_ = 0;
};

// Structural fingerprint of a bound expression (to match select items with GROUP BY items).
std::string ExprFingerprint(const Expr& expr);

}  // namespace engine
