// The translator: turns a bound statement into one SQLite statement whose text carries the
// T-SQL semantics as explicit calls (tsql_cvt, tsql_div, COLLATE TSQL_CI ...). Literals become
// numbered parameters so that statements differing only in literals share the translation.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/engine/internal/ast.h"
#include "platform/engine/internal/catalog.h"

namespace engine {

// Where the value of a parameter comes from when the statement runs.
enum class SystemValue { kNone, kTranCount, kRowCount, kIdentity, kError, kFetchStatus };
struct ParamSource {
  int literal_index = -1;
  SystemValue system = SystemValue::kNone;
  std::string variable;  // a declared variable (lower case), when not empty
};

struct Translation {
  std::string sql;
  std::vector<ParamSource> params;  // parameter k+1 of `sql`
  std::vector<Column> columns;      // result columns of a query
  bool returns_rows = false;
  std::string table;                // target of INSERT/UPDATE/DELETE (for error texts)
};

// REQUIRES: `stmt` bound by Binder::BindStatement with the same `variables`. Handles SELECT
// (assignments convert each value to its variable's type), INSERT, UPDATE, DELETE, SET (a query
// answering the converted value) and the condition of IF and WHILE (a query answering 1 or 0).
Translation TranslateStatement(const Catalog& catalog, const Statement& stmt,
                               const std::map<std::string, SqlType>& variables);

// The SQLite column type and constraints for a declared T-SQL column.
std::string ColumnDeclaration(const ColumnDef& def, bool rowid_identity);

std::string QuoteName(const std::string& name);

}  // namespace engine
