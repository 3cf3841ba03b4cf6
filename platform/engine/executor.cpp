// The executor: compiles each statement once per catalog generation (bind, translate, prepare),
// binds literals and variables as parameters, reads rows back as engine values, and interprets
// blocks, IF, WHILE, SET and RETURN. It turns SQLite failures into the server's errors and stops
// the statement, procedure or batch by their class; cursors, DDL and calls live elsewhere.
#include <sqlite3.h>

#include <charconv>
#include <cstring>

#include "platform/engine/internal/session_state.h"
#include "platform/engine/internal/types.h"
#include "platform/engine/internal/values.h"

namespace engine {

void CompiledStatementDeleter::operator()(CompiledStatement* compiled) const { delete compiled; }

bool IsDdl(const Statement& s) {
  if (s.kind == StmtKind::kCreateTable || s.kind == StmtKind::kDropTable ||
      s.kind == StmtKind::kCreateIndex)
    return true;
  for (const auto& b : s.body) {
    if (IsDdl(*b)) return true;
  }
  return false;
}

namespace {

// SQLite's own messages for the failures the binder cannot foresee, in the server's words.
Error TranslateSqliteMessage(const std::string& message, int line) {
  auto after = [&](const char* prefix) -> std::string {
    return message.rfind(prefix, 0) == 0 ? message.substr(std::strlen(prefix)) : std::string();
  };
  if (std::string table = after("no such table: "); !table.empty()) {
    return MakeError(208, line, "Invalid object name '" + table + "'.");
  }
  if (std::string column = after("no such column: "); !column.empty()) {
    return MakeError(207, line, "Invalid column name '" + column.substr(column.rfind('.') + 1) + "'.");
  }
  if (message.rfind("Expression tree is too large", 0) == 0 || message == "parser stack overflow") {
    return MakeError(191, line,
                     "Some part of your SQL statement is nested too deeply. Rewrite the query or "
                     "break it up into smaller queries.",
                     15);
  }
  return MakeError(50000, line, message);
}

}  // namespace

// Binds, translates and prepares `stmt` unless its translation is current.
bool SqliteSession::Compile(Statement* stmt, Error* error) {
  if (stmt->compiled && stmt->compiled->generation == generation_) return true;
  Binder binder(catalog_, frame_->batch->variables, this);
  if (!binder.BindStatement(stmt, error)) return false;
  std::unique_ptr<CompiledStatement, CompiledStatementDeleter> compiled(new CompiledStatement);
  compiled->translation = TranslateStatement(catalog_, *stmt, frame_->batch->variables);
  if (sqlite3_prepare_v2(db_, compiled->translation.sql.c_str(), -1, &compiled->stmt, nullptr) != SQLITE_OK) {
    *error = TranslateSqliteMessage(sqlite3_errmsg(db_), stmt->line);
    return false;
  }
  compiled->generation = generation_;
  stmt->compiled = std::move(compiled);
  return true;
}

bool SqliteSession::PreCompile(Statement* stmt, Error* error) {
  switch (stmt->kind) {
    case StmtKind::kSelect:
    case StmtKind::kInsert:
    case StmtKind::kUpdate:
    case StmtKind::kDelete:
    case StmtKind::kIf:
    case StmtKind::kWhile:
    case StmtKind::kSet:
    case StmtKind::kReturn:
    case StmtKind::kDeclareCursor:
      if (!Compile(stmt, error)) {
        if (error->number == 208) return true;  // deferred: resolved when reached
        return false;
      }
      break;
    default:
      break;
  }
  if (stmt->kind == StmtKind::kCreateProcedure || stmt->kind == StmtKind::kCreateFunction) {
    return true;  // checked when it runs
  }
  for (auto& child : stmt->body) {
    if (!PreCompile(child.get(), error)) return false;
    if (IsDdl(*child)) break;
  }
  return true;
}

void SqliteSession::BindParameters(CompiledStatement* compiled) {
  sqlite3_stmt* s = compiled->stmt;
  const auto& params = compiled->translation.params;
  for (size_t k = 0; k < params.size(); ++k) {
    int index = static_cast<int>(k) + 1;
    const ParamSource& p = params[k];
    if (!p.variable.empty()) {
      BindValue(s, index, frame_->variables[p.variable]);
      continue;
    }
    if (p.literal_index < 0) {
      int64_t v = p.system == SystemValue::kTranCount     ? trancount_
                  : p.system == SystemValue::kRowCount    ? rowcount_
                  : p.system == SystemValue::kIdentity    ? identity_
                  : p.system == SystemValue::kFetchStatus ? fetch_status_
                                                          : last_error_;
      if (p.system == SystemValue::kIdentity && identity_ == 0) sqlite3_bind_null(s, index);
      else sqlite3_bind_int64(s, index, v);
      continue;
    }
    const TokenizedBatch& tokens = *frame_->tokens;
    const Token& t = tokens.tokens[static_cast<size_t>(tokens.literals[static_cast<size_t>(p.literal_index)])];
    switch (t.kind) {
      case TokenKind::kString:
        sqlite3_bind_text(s, index, t.text.data(), static_cast<int>(t.text.size()), SQLITE_STATIC);
        break;
      case TokenKind::kInteger: {
        int64_t v;
        auto r = std::from_chars(t.text.data(), t.text.data() + t.text.size(), v);
        if (r.ec == std::errc()) sqlite3_bind_int64(s, index, v);
        else sqlite3_bind_double(s, index, NumberLiteralValue(t.text));
        break;
      }
      default:
        sqlite3_bind_double(s, index, NumberLiteralValue(t.text));
        break;
    }
  }
}

void SqliteSession::BindValue(sqlite3_stmt* s, int index, const Value& value) {
  if (const auto* i = std::get_if<int64_t>(&value)) {
    sqlite3_bind_int64(s, index, *i);
  } else if (const auto* d = std::get_if<double>(&value)) {
    sqlite3_bind_double(s, index, *d);
  } else if (const auto* t = std::get_if<std::string>(&value)) {
    sqlite3_bind_text(s, index, t->data(), static_cast<int>(t->size()), SQLITE_TRANSIENT);
  } else if (const auto* when = std::get_if<DateTime>(&value)) {
    std::string text = FormatDateTime(when->ms);
    sqlite3_bind_text(s, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
  } else {
    sqlite3_bind_null(s, index);
  }
}

// The T-SQL error for a failed step of `stmt`.
Error SqliteSession::StepError(const Statement& stmt, const Translation& translation) {
  Error e;
  if (functions_->has_error) {
    e = functions_->error;
    functions_->has_error = false;
  } else {
    std::string message = sqlite3_errmsg(db_);
    int code = sqlite3_extended_errcode(db_);
    const std::string kNotNull = "NOT NULL constraint failed: ";
    if (code == SQLITE_CONSTRAINT_NOTNULL && message.rfind(kNotNull, 0) == 0) {
      std::string column = message.substr(message.find('.', kNotNull.size()) + 1);
      std::string verb = stmt.kind == StmtKind::kUpdate ? "UPDATE" : "INSERT";
      e = MakeError(515, 1,
                    "Cannot insert the value NULL into column '" + column + "', table '" +
                        database_name_ + ".dbo." + translation.table +
                        "'; column does not allow nulls. " + verb + " fails.");
    } else if (code == SQLITE_CONSTRAINT_PRIMARYKEY) {
      e = MakeError(2627, 1,
                    "Violation of PRIMARY KEY constraint. Cannot insert duplicate key in object "
                    "'dbo." + translation.table + "'.",
                    14);
    } else if (code == SQLITE_CONSTRAINT_UNIQUE) {
      e = MakeError(2601, 1,
                    "Cannot insert duplicate key row in object 'dbo." + translation.table +
                        "' with unique index.",
                    14);
    } else if ((code & 0xFF) == SQLITE_BUSY || (code & 0xFF) == SQLITE_LOCKED) {
      e = MakeError(1222, 1, "Lock request time out period exceeded.");
    } else {
      e = TranslateSqliteMessage(message, 1);
    }
  }
  e.line = stmt.line;
  return e;
}

// Records a statement failure and says whether the batch goes on.
Flow SqliteSession::Fail(Error error, bool scope_abort) {
  last_error_ = error.number;
  if (frame_ != nullptr && error.procedure.empty()) error.procedure = frame_->procedure;
  bool batch_abort = IsBatchAbortingError(error.number) || error.number == 217;
  if (batch_abort && trancount_ > 0) {
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    trancount_ = 0;
  }
  if (trancount_ > 0 && sqlite3_get_autocommit(db_)) trancount_ = 0;  // SQLite gave up the transaction
  result_->errors.push_back(std::move(error));
  if (batch_abort) return Flow::kAbortBatch;
  return scope_abort ? Flow::kAbortScope : Flow::kNormal;
}

Value SqliteSession::ReadValue(sqlite3_stmt* s, int k, const SqlType& type) {
  int storage = sqlite3_column_type(s, k);
  if (storage == SQLITE_NULL) return std::monostate{};
  if (IsIntegerType(type)) {
    if (storage == SQLITE_FLOAT) return static_cast<int64_t>(sqlite3_column_double(s, k));
    return static_cast<int64_t>(sqlite3_column_int64(s, k));
  }
  if (type.kind == TypeKind::kNumeric) return RoundHalfAway(sqlite3_column_double(s, k), type.scale);
  if (type.kind == TypeKind::kFloat || type.kind == TypeKind::kReal) return sqlite3_column_double(s, k);
  std::string text(reinterpret_cast<const char*>(sqlite3_column_text(s, k)),
                   static_cast<size_t>(sqlite3_column_bytes(s, k)));
  if (type.kind == TypeKind::kDateTime) {
    int64_t ms;
    if (ParseStoredDateTime(text, &ms)) return DateTime{ms};
  }
  if (storage == SQLITE_FLOAT) return FormatFloat(sqlite3_column_double(s, k));
  return text;
}

// Runs a compiled statement; for a query, `rows` receives the rows. Returns the step result.
Flow SqliteSession::RunCompiled(Statement* stmt, ResultSet* rows, int64_t* first_value) {
  Error error;
  if (!Compile(stmt, &error)) return Fail(error, true);
  CompiledStatement* compiled = stmt->compiled.get();
  BindParameters(compiled);
  sqlite3_stmt* s = compiled->stmt;
  functions_->has_error = false;
  int rc;
  int columns = static_cast<int>(compiled->translation.columns.size());
  int64_t count = 0;
  while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
    ++count;
    if (first_value != nullptr && count == 1) *first_value = sqlite3_column_int64(s, 0);
    if (rows == nullptr) continue;
    std::vector<Value> row;
    row.reserve(static_cast<size_t>(columns));
    for (int k = 0; k < columns; ++k) row.push_back(ReadValue(s, k, compiled->translation.columns[static_cast<size_t>(k)].type));
    rows->rows.push_back(std::move(row));
  }
  if (rc != SQLITE_DONE) {
    Error e = StepError(*stmt, compiled->translation);
    sqlite3_reset(s);
    if (rows != nullptr) rows->rows.clear();
    return Fail(e, false);
  }
  sqlite3_reset(s);
  if (stmt->kind == StmtKind::kSelect) {
    rowcount_ = count;
  } else if (stmt->kind == StmtKind::kInsert || stmt->kind == StmtKind::kUpdate ||
             stmt->kind == StmtKind::kDelete) {
    rowcount_ = sqlite3_changes(db_);
    if (stmt->kind == StmtKind::kInsert && rowcount_ > 0) {
      const TableInfo* table = catalog_.FindTable(stmt->table);
      if (table != nullptr && table->has_identity) identity_ = sqlite3_last_insert_rowid(db_);
    }
  }
  if (stmt->kind != StmtKind::kIf && stmt->kind != StmtKind::kWhile) result_->rows_affected = rowcount_;
  last_error_ = 0;
  return Flow::kNormal;
}

Flow SqliteSession::Run(Statement* stmt) {
  switch (stmt->kind) {
    case StmtKind::kSelect:
    case StmtKind::kSet: {
      ResultSet set;
      size_t errors = result_->errors.size();
      Flow flow = RunCompiled(stmt, &set, nullptr);
      if (flow != Flow::kNormal || result_->errors.size() != errors) return flow;
      const Translation& translation = stmt->compiled->translation;
      if (stmt->kind == StmtKind::kSelect && translation.returns_rows) {
        set.columns = translation.columns;
        result_->result_sets.push_back(std::move(set));
        return flow;
      }
      // Assignments take the last row; no row leaves the variables as they were.
      if (!set.rows.empty()) {
        for (size_t k = 0; k < translation.columns.size(); ++k) {
          frame_->variables[translation.columns[k].name] = set.rows.back()[k];
        }
      }
      if (stmt->kind == StmtKind::kSet) rowcount_ = 1;
      return flow;
    }
    case StmtKind::kWhile:
      for (;;) {
        int64_t truth = 0;
        size_t errors = result_->errors.size();
        Flow flow = RunCompiled(stmt, nullptr, &truth);
        if (flow != Flow::kNormal || result_->errors.size() != errors) return flow;
        rowcount_ = 0;
        if (truth != 1) return Flow::kNormal;
        flow = Run(stmt->body[0].get());
        if (flow == Flow::kBreak) return Flow::kNormal;
        if (flow != Flow::kNormal && flow != Flow::kContinue) return flow;
      }
    case StmtKind::kBreak:
      return Flow::kBreak;
    case StmtKind::kContinue:
      return Flow::kContinue;
    case StmtKind::kReturn: {
      if (stmt->value) {
        ResultSet set;
        size_t errors = result_->errors.size();
        Flow flow = RunCompiled(stmt, &set, nullptr);
        if (flow != Flow::kNormal || result_->errors.size() != errors) return flow;
        if (!set.rows.empty()) frame_->return_value = set.rows[0][0];
      }
      return Flow::kReturn;
    }
    case StmtKind::kDeclare:
      return Flow::kNormal;
    case StmtKind::kDeclareCursor:
    case StmtKind::kOpen:
    case StmtKind::kFetch:
    case StmtKind::kClose:
    case StmtKind::kDeallocate:
      return RunCursorStatement(stmt);
    case StmtKind::kInsert:
    case StmtKind::kUpdate:
    case StmtKind::kDelete:
      return RunCompiled(stmt, nullptr, nullptr);
    case StmtKind::kIf: {
      int64_t truth = 0;
      size_t errors = result_->errors.size();
      Flow flow = RunCompiled(stmt, nullptr, &truth);
      if (flow != Flow::kNormal || result_->errors.size() != errors) return flow;
      rowcount_ = 0;
      if (truth == 1) return Run(stmt->body[0].get());
      if (stmt->body.size() > 1) return Run(stmt->body[1].get());
      return Flow::kNormal;
    }
    case StmtKind::kBlock:
      for (auto& child : stmt->body) {
        Flow flow = Run(child.get());
        if (flow != Flow::kNormal) return flow;
      }
      return Flow::kNormal;
    case StmtKind::kCreateTable:
      return CreateTable(*stmt);
    case StmtKind::kDropTable:
      return DropTable(*stmt);
    case StmtKind::kCreateIndex:
      return CreateIndex(*stmt);
    case StmtKind::kBeginTran:
      return BeginTransaction(*stmt);
    case StmtKind::kCommit:
      return CommitTransaction(*stmt);
    case StmtKind::kRollback:
      return RollbackTransaction(*stmt);
    case StmtKind::kExec:
      return Exec(*stmt);
    case StmtKind::kCreateProcedure:
    case StmtKind::kCreateFunction:
      return CreateProcedure(*stmt);
    case StmtKind::kNoop:
      return Flow::kNormal;
  }
  return Flow::kNormal;
}

// Converts a value to a declared type as an assignment does (strings cut silently).
bool SqliteSession::ConvertValue(const Value& value, const SqlType& type, Value* out, Error* error) {
  BindValue(convert_stmt_, 1, value);
  sqlite3_bind_int(convert_stmt_, 2, static_cast<int>(type.kind));
  sqlite3_bind_int(convert_stmt_, 3, IsStringType(type) ? type.length : type.precision);
  sqlite3_bind_int(convert_stmt_, 4, type.scale);
  functions_->has_error = false;
  bool ok = sqlite3_step(convert_stmt_) == SQLITE_ROW;
  if (ok) {
    *out = ReadValue(convert_stmt_, 0, type);
  } else {
    *error = functions_->has_error ? functions_->error : MakeError(50000, 1, sqlite3_errmsg(db_));
    functions_->has_error = false;
  }
  sqlite3_reset(convert_stmt_);
  return ok;
}

}  // namespace engine
