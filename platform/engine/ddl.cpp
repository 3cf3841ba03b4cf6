// DDL: CREATE TABLE (identity, primary key, the declared types kept in the catalog), CREATE
// INDEX, CREATE PROCEDURE and FUNCTION, and DROP of each. Every change runs in a savepoint with
// its catalog rows, so a failure leaves neither behind. Running procedures is procedures.cpp's.
#include <sqlite3.h>

#include "platform/engine/internal/session_state.h"
#include "platform/engine/internal/types.h"

namespace engine {

// Runs DDL steps inside a savepoint so a failure leaves neither table nor catalog rows.
Flow SqliteSession::RunDdl(const Statement& stmt, const std::vector<std::string>& steps,
                           const std::function<bool(Error*)>& catalog_step) {
  Error error;
  ExecSql(db_, "SAVEPOINT tsql_ddl", &error);
  bool ok = true;
  for (const std::string& sql : steps) {
    if (!ExecSql(db_, sql, &error)) {
      ok = false;
      break;
    }
  }
  ok = ok && catalog_step(&error);
  if (!ok) {
    Error ignored;
    ExecSql(db_, "ROLLBACK TO tsql_ddl; RELEASE tsql_ddl", &ignored);
    error.line = stmt.line;
    return Fail(error, false);
  }
  ExecSql(db_, "RELEASE tsql_ddl", &error);
  RefreshCatalog(&error);
  rowcount_ = 0;
  return Flow::kNormal;
}

Flow SqliteSession::CreateTable(const Statement& stmt) {
  if (catalog_.ObjectExists(stmt.table)) {
    return Fail(MakeError(2714, stmt.line,
                          "There is already an object named '" + stmt.table + "' in the database."),
                false);
  }
  const ColumnDef* identity = nullptr;
  std::vector<ColumnInfo> columns;
  std::vector<std::string> keys;
  for (const ColumnDef& def : stmt.column_defs) {
    for (const ColumnInfo& c : columns) {
      if (Lower(c.name) == Lower(def.name)) {
        return Fail(MakeError(2705, stmt.line,
                              "Column names in each table must be unique. Column name '" + def.name +
                                  "' in table '" + stmt.table + "' is specified more than once."),
                    false);
      }
    }
    if (def.identity) {
      if (identity != nullptr) {
        return Fail(MakeError(2744, stmt.line,
                              "Multiple identity columns specified for table '" + stmt.table +
                                  "'. Only one identity column per table is allowed."),
                    false);
      }
      if (!IsIntegerType(def.type) && !(def.type.kind == TypeKind::kNumeric && def.type.scale == 0)) {
        return Fail(MakeError(2749, stmt.line,
                              "Identity column '" + def.name +
                                  "' must be of data type int, bigint, smallint, tinyint, or decimal "
                                  "or numeric with a scale of 0, and constrained to be nonnullable."),
                    false);
      }
      identity = &def;
    }
    if (def.primary_key) keys.push_back(QuoteName(def.name));
    columns.push_back(ColumnInfo{def.name, def.type, def.nullable, def.identity});
  }
  std::string sql = "CREATE TABLE " + QuoteName(stmt.table) + " (";
  for (size_t k = 0; k < stmt.column_defs.size(); ++k) {
    sql += (k ? ", " : "") + ColumnDeclaration(stmt.column_defs[k], true);
  }
  if (!keys.empty()) {
    std::string list;
    for (const std::string& key : keys) list += (list.empty() ? "" : ", ") + key;
    sql += std::string(identity != nullptr ? ", UNIQUE (" : ", PRIMARY KEY (") + list + ")";
  }
  sql += ")";
  std::vector<std::string> steps{sql};
  if (identity != nullptr && identity->seed != 1) {
    // The next AUTOINCREMENT value is sqlite_sequence.seq + 1.
    steps.push_back("INSERT INTO sqlite_sequence(name, seq) VALUES('" + stmt.table + "', " +
                    std::to_string(identity->seed - 1) + ")");
  }
  std::string name = stmt.table;
  return RunDdl(stmt, steps, [&](Error* error) { return Catalog::RecordTable(db_, name, columns, error); });
}

// Index names are per table on the server and per database in SQLite: "table$index".
Flow SqliteSession::CreateIndex(const Statement& stmt) {
  const TableInfo* table = catalog_.FindTable(stmt.table);
  if (table == nullptr) {
    return Fail(MakeError(1088, stmt.line,
                          "Cannot find the object \"" + stmt.table +
                              "\" because it does not exist or you do not have permissions."),
                false);
  }
  std::string sql = std::string(stmt.unique ? "CREATE UNIQUE INDEX " : "CREATE INDEX ") +
                    QuoteName(table->name + "$" + stmt.index_name) + " ON " + QuoteName(table->name) + " (";
  for (size_t k = 0; k < stmt.columns.size(); ++k) {
    if (table->Find(stmt.columns[k]) < 0) {
      return Fail(MakeError(1911, stmt.line,
                            "Column name '" + stmt.columns[k] + "' does not exist in the target table or view."),
                  false);
    }
    sql += (k ? ", " : "") + QuoteName(stmt.columns[k]);
  }
  sql += ")";
  return RunDdl(stmt, {sql}, [](Error*) { return true; });
}

Flow SqliteSession::CreateProcedure(const Statement& stmt) {
  if (ObjectExistsInDatabase(stmt.proc_name)) {
    return Fail(MakeError(2714, stmt.line,
                          "There is already an object named '" + stmt.proc_name + "' in the database."),
                false);
  }
  // Statements over tables that exist now are checked now; the others when they run.
  Frame check;
  check.tokens = frame_->tokens;
  check.batch = frame_->batch;
  check.procedure = stmt.proc_name;
  Frame* saved = frame_;
  frame_ = &check;
  for (const StatementPtr& child : stmt.body) {
    Error error;
    if (!PreCompile(child.get(), &error)) {
      frame_ = saved;
      error.procedure = stmt.proc_name;
      return Fail(error, false);
    }
    if (IsDdl(*child)) break;
  }
  frame_ = saved;
  std::string definition(text_);
  const char* xtype = stmt.kind == StmtKind::kCreateFunction ? "FN" : "P";
  Flow flow = RunDdl(stmt, {}, [&](Error* error) {
    return Catalog::RecordRoutine(db_, stmt.proc_name, xtype, definition, error);
  });
  ReloadCatalog();
  return flow;
}

Flow SqliteSession::DropProcedure(const Statement& stmt) {
  Error error;
  Procedure* proc = LoadProcedure(stmt.table, stmt.object_kind == "function", &error);
  if (proc == nullptr && error.number == 0) {
    return Fail(MakeError(3701, stmt.line,
                          "Cannot drop the " + stmt.object_kind + " '" + stmt.table +
                              "', because it does not exist or you do not have permission.",
                          11),
                false);
  }
  sqlite3_bind_text(definition_stmt_, 1, stmt.table.c_str(), -1, SQLITE_TRANSIENT);
  std::string created = stmt.table;
  if (sqlite3_step(definition_stmt_) == SQLITE_ROW) {
    created = reinterpret_cast<const char*>(sqlite3_column_text(definition_stmt_, 0));
  }
  sqlite3_reset(definition_stmt_);
  Flow flow = RunDdl(stmt, {}, [&](Error* e) { return Catalog::ForgetObject(db_, created, e); });
  ReloadCatalog();
  return flow;
}

Flow SqliteSession::DropTable(const Statement& stmt) {
  if (stmt.object_kind != "table") return DropProcedure(stmt);
  const TableInfo* table = catalog_.FindTable(stmt.table);
  if (stmt.object_kind != "table" || table == nullptr || Lower(stmt.table) == "sysobjects") {
    return Fail(MakeError(3701, stmt.line,
                          "Cannot drop the " + stmt.object_kind + " '" + stmt.table +
                              "', because it does not exist or you do not have permission.",
                          11),
                false);
  }
  std::string name = table->name;
  return RunDdl(stmt, {"DROP TABLE " + QuoteName(name)},
                [&](Error* error) { return Catalog::ForgetObject(db_, name, error); });
}

bool SqliteSession::ObjectExistsInDatabase(const std::string& name) {
  sqlite3_stmt* s = functions_->object_by_name;
  sqlite3_bind_text(s, 1, name.c_str(), -1, SQLITE_TRANSIENT);
  bool found = sqlite3_step(s) == SQLITE_ROW;
  sqlite3_reset(s);
  return found;
}

}  // namespace engine
