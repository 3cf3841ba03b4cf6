// The executor: a Session over one SQLite connection. It tokenizes each batch, reuses the
// cached parse and prepared statements of a batch with the same literal-free text, binds the
// literals and variables, and interprets the procedural statements (IF, WHILE, cursors, EXEC,
// user functions) in frames. Errors follow the server's classes: a compile error runs nothing,
// a statement error undoes that statement and the batch goes on, a missing table ends the
// running procedure, a conversion error aborts the batch and rolls back the transaction.
#include <sqlite3.h>

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <unordered_map>

#include "platform/engine/engine.h"
#include "platform/engine/internal/binder.h"
#include "platform/engine/internal/catalog.h"
#include "platform/engine/internal/parser.h"
#include "platform/engine/internal/sqlite_functions.h"
#include "platform/engine/internal/tokenizer.h"
#include "platform/engine/internal/translator.h"
#include "platform/engine/internal/types.h"
#include "platform/engine/internal/values.h"

namespace engine {

struct CompiledStatement {
  int64_t generation = -1;
  Translation translation;
  sqlite3_stmt* stmt = nullptr;
  ~CompiledStatement() { sqlite3_finalize(stmt); }
};

void CompiledStatementDeleter::operator()(CompiledStatement* compiled) const { delete compiled; }

namespace {

constexpr size_t kMaxCachedBatches = 2000;
constexpr int kBusyTimeoutMs = 30000;

// The outcome of running a statement: go on, leave the loop or continue it, leave the batch
// (RETURN), or stop everything after an error that aborts the batch.
// kAbortScope ends the running procedure (or the client's batch) after a statement that could
// not be compiled when reached; the caller goes on.
enum class Flow { kNormal, kBreak, kContinue, kReturn, kAbortScope, kAbortBatch };

constexpr int kMaxProcedureNesting = 32;

// What a batch or a procedure runs with: its tokens (for the literal values), its parse and its
// variables. Procedures get a frame of their own.
struct Frame {
  const TokenizedBatch* tokens = nullptr;
  ParsedBatch* batch = nullptr;
  std::unordered_map<std::string, Value> variables;
  std::string procedure;  // empty for the client's batch
  int depth = 0;
  Value return_value;  // RETURN of a function
  std::shared_ptr<void> owner;  // keeps `batch` alive for cursors declared in it
};

// A cursor: connection-wide, as the server's default GLOBAL cursors. Its rows are read in full
// at OPEN, so the loop that walks them may change and drop tables freely.
struct Cursor {
  Statement* declaration = nullptr;
  std::shared_ptr<void> owner;
  bool open = false;
  std::vector<std::vector<Value>> rows;
  std::vector<Column> columns;
  size_t next = 0;
};

// A stored procedure as parsed from its definition, cached while the definition is unchanged.
struct Procedure {
  std::string definition;
  TokenizedBatch tokens;
  ParsedBatch batch;
  Statement* statement = nullptr;  // the CREATE PROCEDURE statement: params and body
  std::string name;                // as created
};

Error MakeError(int number, int line, std::string message, int severity = 16) {
  Error e;
  e.number = number;
  e.severity = severity;
  e.line = line;
  e.message = std::move(message);
  return e;
}

bool OnlyTransactionControl(const ParsedBatch& batch) {
  for (const StatementPtr& s : batch.statements) {
    if (s->kind != StmtKind::kBeginTran && s->kind != StmtKind::kCommit) return false;
  }
  return true;
}

bool IsDdl(const Statement& s) {
  if (s.kind == StmtKind::kCreateTable || s.kind == StmtKind::kDropTable ||
      s.kind == StmtKind::kCreateIndex)
    return true;
  for (const auto& b : s.body) {
    if (IsDdl(*b)) return true;
  }
  return false;
}

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

class SqliteSession : public Session, public FunctionResolver {
 public:
  SqliteSession(sqlite3* db, std::string database_name)
      : db_(db), database_name_(std::move(database_name)) {}

  ~SqliteSession() override {
    if (trancount_ > 0) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    cache_.clear();
    cursors_.clear();
    procedures_.clear();
    sqlite3_finalize(schema_version_stmt_);
    sqlite3_finalize(definition_stmt_);
    sqlite3_finalize(convert_stmt_);
    sqlite3_finalize(begin_stmt_);
    sqlite3_finalize(commit_stmt_);
    functions_.reset();
    sqlite3_close_v2(db_);
  }

  bool Initialize(Error* error) {
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
    if (!ExecSql(db_, "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL;", error)) return false;
    if (!Catalog::Ensure(db_, error)) return false;
    functions_ = std::make_unique<FunctionContext>();
    functions_->user_function = [this](const std::string& name, const std::vector<Value>& args,
                                       Value* result, Error* error) {
      return RunFunction(name, args, result, error);
    };
    if (!RegisterFunctions(db_, functions_.get())) {
      *error = MakeError(50000, 1, sqlite3_errmsg(db_));
      return false;
    }
    if (sqlite3_prepare_v2(db_, "PRAGMA schema_version", -1, &schema_version_stmt_, nullptr) != SQLITE_OK ||
        sqlite3_prepare_v2(db_,
                           "SELECT name, definition, xtype FROM _engine_objects WHERE name = ?1 AND "
                           "xtype IN ('P', 'FN')",
                           -1, &definition_stmt_, nullptr) != SQLITE_OK ||
        sqlite3_prepare_v2(db_, "SELECT tsql_cvt(?1, ?2, ?3, ?4, 1)", -1, &convert_stmt_, nullptr) != SQLITE_OK) {
      *error = MakeError(50000, 1, sqlite3_errmsg(db_));
      return false;
    }
    return RefreshCatalog(error);
  }

  BatchResult Execute(std::string_view text) override {
    BatchResult result;
    Error error;
    if (!Tokenize(text, &tokens_, &error)) {
      result.errors.push_back(error);
      return result;
    }
    ParsedBatch* batch = FindCached();
    if (batch == nullptr) {
      auto parsed = std::make_unique<ParsedBatch>();
      if (!ParseBatch(tokens_, parsed.get(), &error)) {
        result.errors.push_back(error);
        return result;
      }
      if (cache_.size() >= kMaxCachedBatches) cache_.clear();
      batch = parsed.get();
      owner_of_found_ = std::shared_ptr<ParsedBatch>(std::move(parsed));
      cache_[tokens_.key].push_back(std::static_pointer_cast<ParsedBatch>(owner_of_found_));
    }
    // The parse never reads the catalog, so the check for another connection's schema change
    // comes after it, and a batch of bare BEGIN/COMMIT TRANSACTION (the client's
    // BeginTrans and CommitTrans) skips it: outside a transaction that check opens and closes a
    // read transaction of its own (shared-memory locks, the WAL header). With StepControl below
    // this took a one-row import transaction from 44 to 36 microseconds of CPU. The next batch
    // that names a table still checks first.
    if (!OnlyTransactionControl(*batch) && !RefreshCatalog(&error)) {
      result.errors.push_back(error);
      return result;
    }
    Frame top;
    top.tokens = &tokens_;
    top.batch = batch;
    top.owner = owner_of_found_;
    frame_ = &top;
    text_ = text;
    // The whole batch compiles before anything runs; statements after a CREATE or DROP, and
    // those naming tables that do not exist yet, are resolved when reached.
    for (const StatementPtr& stmt : batch->statements) {
      if (!PreCompile(stmt.get(), &error)) {
        result.errors.push_back(error);
        frame_ = nullptr;
        return result;
      }
      if (IsDdl(*stmt)) break;
    }
    result_ = &result;
    for (const auto& [name, type] : batch->variables) top.variables[name] = std::monostate{};
    for (const StatementPtr& stmt : batch->statements) {
      if (Run(stmt.get()) != Flow::kNormal) break;
    }
    result_ = nullptr;
    frame_ = nullptr;
    return result;
  }

  BatchResult CallProcedure(std::string_view name,
                            const std::vector<std::pair<std::string, Value>>& args) override {
    BatchResult result;
    Error error;
    if (!RefreshCatalog(&error)) {
      result.errors.push_back(error);
      return result;
    }
    result_ = &result;
    Frame caller;  // the RPC call has no batch of its own
    caller.tokens = &tokens_;
    frame_ = &caller;
    std::vector<std::pair<std::string, Value>> values;
    for (const auto& [arg_name, value] : args) values.emplace_back(Lower(arg_name), value);
    CallWithValues(std::string(name), values, 1);
    frame_ = nullptr;
    result_ = nullptr;
    return result;
  }

  std::optional<std::vector<ProcedureParameter>> ProcedureParameters(std::string_view name) override {
    Error error;
    Procedure* proc = LoadProcedure(std::string(name), false, &error);
    if (proc == nullptr) return std::nullopt;
    std::vector<ProcedureParameter> params;
    for (const ProcParam& p : proc->statement->params) {
      params.push_back(ProcedureParameter{p.written, p.type, p.default_value != nullptr});
    }
    return params;
  }

  int TransactionCount() const override { return trancount_; }

 private:
  bool RefreshCatalog(Error* error) {
    int version = -1;
    if (sqlite3_step(schema_version_stmt_) == SQLITE_ROW) version = sqlite3_column_int(schema_version_stmt_, 0);
    sqlite3_reset(schema_version_stmt_);
    if (version == schema_version_ && version != -1) return true;
    if (!catalog_.Load(db_, error)) return false;
    schema_version_ = version;
    ++generation_;
    return true;
  }

  // Runs BEGIN IMMEDIATE or COMMIT from a statement prepared once: every client transaction runs
  // both, and sqlite3_exec would compile them anew each time. Fails as ExecSql does, with
  // SQLite's message.
  bool StepControl(sqlite3_stmt** stmt, const char* sql, Error* error) {
    int rc = *stmt != nullptr ? SQLITE_OK : sqlite3_prepare_v2(db_, sql, -1, stmt, nullptr);
    if (rc == SQLITE_OK) rc = sqlite3_step(*stmt);
    if (rc != SQLITE_DONE) {
      error->number = 50000;
      error->severity = 16;
      error->message = sqlite3_errmsg(db_);
    }
    if (*stmt != nullptr) sqlite3_reset(*stmt);
    return rc == SQLITE_DONE;
  }

  ParsedBatch* FindCached() {
    auto it = cache_.find(tokens_.key);
    if (it == cache_.end()) return nullptr;
    for (auto& candidate : it->second) {
      bool same = true;
      for (const auto& [index, text] : candidate->structural_literals) {
        const Token& t = tokens_.tokens[static_cast<size_t>(tokens_.literals[static_cast<size_t>(index)])];
        if (t.text != text) {
          same = false;
          break;
        }
      }
      if (same) {
        owner_of_found_ = candidate;
        return candidate.get();
      }
    }
    return nullptr;
  }

  // Binds, translates and prepares `stmt` unless its translation is current.
  bool Compile(Statement* stmt, Error* error) {
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

  bool PreCompile(Statement* stmt, Error* error) {
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

  void BindParameters(CompiledStatement* compiled) {
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

  static void BindValue(sqlite3_stmt* s, int index, const Value& value) {
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
  Error StepError(const Statement& stmt, const Translation& translation) {
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
  Flow Fail(Error error, bool scope_abort) {
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

  Value ReadValue(sqlite3_stmt* s, int k, const SqlType& type) {
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
  Flow RunCompiled(Statement* stmt, ResultSet* rows, int64_t* first_value) {
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

  Flow Run(Statement* stmt) {
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
        if (trancount_ == 0) {
          Error error;
          if (!EndCallUnit(stmt->line)) return Flow::kNormal;
          if (!StepControl(&begin_stmt_, "BEGIN IMMEDIATE", &error)) {
            error = MakeError(1222, stmt->line, "Lock request time out period exceeded.");
            return Fail(error, false);
          }
        }
        ++trancount_;
        rowcount_ = 0;
        return Flow::kNormal;
      case StmtKind::kCommit:
        if (trancount_ == 0) {
          return Fail(MakeError(3902, stmt->line,
                                "The COMMIT TRANSACTION request has no corresponding BEGIN TRANSACTION."),
                      false);
        }
        if (trancount_ == 1) {
          Error error;
          if (!StepControl(&commit_stmt_, "COMMIT", &error)) {
            error.line = stmt->line;
            return Fail(error, false);
          }
        }
        --trancount_;
        rowcount_ = 0;
        return Flow::kNormal;
      case StmtKind::kRollback:
        if (trancount_ == 0) {
          return Fail(MakeError(3903, stmt->line,
                                "The ROLLBACK TRANSACTION request has no corresponding BEGIN TRANSACTION."),
                      false);
        }
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        trancount_ = 0;
        rowcount_ = 0;
        {
          Error error;
          RefreshCatalog(&error);  // a rolled-back CREATE or DROP changes the schema back
        }
        return Flow::kNormal;
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

  // Runs DDL steps inside a savepoint so a failure leaves neither table nor catalog rows.
  Flow RunDdl(const Statement& stmt, const std::vector<std::string>& steps,
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

  Flow CreateTable(const Statement& stmt) {
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
  Flow CreateIndex(const Statement& stmt) {
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

  Flow RunCursorStatement(Statement* stmt) {
    const std::string& name = stmt->proc_name;
    auto it = cursors_.find(name);
    if (stmt->kind == StmtKind::kDeclareCursor) {
      if (it != cursors_.end()) {
        return Fail(MakeError(16915, stmt->line, "A cursor with the name '" + stmt->written_name + "' already exists."), false);
      }
      Cursor& cursor = cursors_[name];
      cursor.declaration = stmt;
      cursor.owner = frame_->owner;
      rowcount_ = 1;
      return Flow::kNormal;
    }
    if (it == cursors_.end()) {
      return Fail(MakeError(16916, stmt->line, "A cursor with the name '" + name + "' does not exist."), false);
    }
    Cursor& cursor = it->second;
    switch (stmt->kind) {
      case StmtKind::kOpen: {
        if (cursor.open) return Fail(MakeError(16905, stmt->line, "The cursor is already open."), false);
        ResultSet set;
        size_t errors = result_->errors.size();
        Flow flow = RunCompiled(cursor.declaration, &set, nullptr);
        if (flow != Flow::kNormal || result_->errors.size() != errors) return flow;
        cursor.rows = std::move(set.rows);
        cursor.columns = cursor.declaration->compiled->translation.columns;
        cursor.next = 0;
        cursor.open = true;
        rowcount_ = 0;
        return Flow::kNormal;
      }
      case StmtKind::kFetch: {
        if (!cursor.open) return Fail(MakeError(16917, stmt->line, "Cursor is not open."), false);
        if (!stmt->columns.empty() && stmt->columns.size() != cursor.columns.size()) {
          return Fail(MakeError(16924, stmt->line,
                                "Cursorfetch: The number of variables declared in the INTO list must "
                                "match that of selected columns."),
                      false);
        }
        if (cursor.next >= cursor.rows.size()) {
          fetch_status_ = -1;  // the INTO variables keep their values
          rowcount_ = 0;
          return Flow::kNormal;
        }
        const std::vector<Value>& row = cursor.rows[cursor.next++];
        fetch_status_ = 0;
        rowcount_ = 1;
        if (stmt->columns.empty()) {
          ResultSet set;
          set.columns = cursor.columns;
          set.rows.push_back(row);
          result_->result_sets.push_back(std::move(set));
          return Flow::kNormal;
        }
        for (size_t k = 0; k < row.size(); ++k) {
          auto type = frame_->batch->variables.find(stmt->columns[k]);
          if (type == frame_->batch->variables.end()) {
            return Fail(MakeError(137, stmt->line, "Must declare the scalar variable \"" + stmt->columns[k] + "\".", 15),
                        false);
          }
          Error error;
          if (!ConvertValue(row[k], type->second, &frame_->variables[stmt->columns[k]], &error)) {
            error.line = stmt->line;
            return Fail(error, false);
          }
        }
        return Flow::kNormal;
      }
      case StmtKind::kClose:
        if (!cursor.open) return Fail(MakeError(16917, stmt->line, "Cursor is not open."), false);
        cursor.open = false;
        cursor.rows.clear();
        rowcount_ = 0;
        return Flow::kNormal;
      default:  // DEALLOCATE
        cursors_.erase(it);
        rowcount_ = 0;
        return Flow::kNormal;
    }
  }

  bool FindFunction(const std::string& name, SqlType* returns, size_t* parameters) override {
    Error error;
    Procedure* fn = LoadProcedure(name, true, &error);
    if (fn == nullptr) return false;
    *returns = fn->statement->returns;
    *parameters = fn->statement->params.size();
    return true;
  }

  // Runs a scalar user function for SQLite's tsql_udf. An error inside stops the function and
  // becomes the error of the statement that called it.
  bool RunFunction(const std::string& name, const std::vector<Value>& args, Value* result, Error* error) {
    Procedure* fn = LoadProcedure(name, true, error);
    if (fn == nullptr) {
      if (error->number == 0) *error = MakeError(4121, 1, "Cannot find the user-defined function \"" + name + "\".");
      return false;
    }
    if (frame_ == nullptr || result_ == nullptr) {
      *error = MakeError(50000, 1, "A user function ran outside a statement.");
      return false;
    }
    if (frame_->depth >= kMaxProcedureNesting) {
      *error = MakeError(217, 1,
                         "Maximum stored procedure, function, trigger, or view nesting level exceeded "
                         "(limit 32).");
      return false;
    }
    const std::vector<ProcParam>& params = fn->statement->params;
    Frame callee;
    callee.tokens = &fn->tokens;
    callee.batch = &fn->batch;
    callee.procedure = fn->name;
    callee.depth = frame_->depth + 1;
    callee.owner = procedures_[Lower(name)];
    for (const auto& [variable, type] : fn->batch.variables) callee.variables[variable] = std::monostate{};
    for (size_t k = 0; k < params.size() && k < args.size(); ++k) {
      if (!ConvertValue(args[k], params[k].type, &callee.variables[params[k].name], error)) return false;
    }
    int64_t saved_rowcount = rowcount_;
    size_t errors = result_->errors.size();
    Frame* saved = frame_;
    frame_ = &callee;
    for (const StatementPtr& child : fn->statement->body) {
      if (Run(child.get()) != Flow::kNormal) break;
    }
    frame_ = saved;
    rowcount_ = saved_rowcount;
    if (result_->errors.size() != errors) {
      *error = result_->errors[errors];
      result_->errors.resize(errors);
      return false;
    }
    return ConvertValue(callee.return_value, fn->statement->returns, result, error);
  }

  void ReloadCatalog() {
    Error ignored;
    if (catalog_.Load(db_, &ignored)) ++generation_;
  }

  bool ObjectExistsInDatabase(const std::string& name) {
    sqlite3_stmt* s = functions_->object_by_name;
    sqlite3_bind_text(s, 1, name.c_str(), -1, SQLITE_TRANSIENT);
    bool found = sqlite3_step(s) == SQLITE_ROW;
    sqlite3_reset(s);
    return found;
  }

  // The procedure called `name` (any case), parsed from its stored definition; null when there
  // is none (error.number stays 0) or its text no longer parses (error filled).
  Procedure* LoadProcedure(const std::string& name, bool function, Error* error) {
    sqlite3_bind_text(definition_stmt_, 1, name.c_str(), -1, SQLITE_TRANSIENT);
    if (sqlite3_step(definition_stmt_) != SQLITE_ROW ||
        (std::string(reinterpret_cast<const char*>(sqlite3_column_text(definition_stmt_, 2))) == "FN") !=
            function) {
      sqlite3_reset(definition_stmt_);
      return nullptr;
    }
    std::string created = reinterpret_cast<const char*>(sqlite3_column_text(definition_stmt_, 0));
    const unsigned char* text = sqlite3_column_text(definition_stmt_, 1);
    std::string definition = text ? reinterpret_cast<const char*>(text) : "";
    sqlite3_reset(definition_stmt_);
    std::shared_ptr<Procedure>& slot = procedures_[Lower(name)];
    if (slot && slot->definition == definition) return slot.get();
    auto proc = std::make_unique<Procedure>();
    proc->definition = std::move(definition);
    proc->name = created;
    if (!Tokenize(proc->definition, &proc->tokens, error) ||
        !ParseBatch(proc->tokens, &proc->batch, error)) {
      return nullptr;
    }
    if (proc->batch.statements.empty() ||
        (proc->batch.statements[0]->kind != StmtKind::kCreateProcedure &&
         proc->batch.statements[0]->kind != StmtKind::kCreateFunction)) {
      *error = MakeError(50000, 1, "The definition of procedure '" + created + "' is damaged.");
      return nullptr;
    }
    proc->statement = proc->batch.statements[0].get();
    slot = std::move(proc);
    return slot.get();
  }

  // Converts a value to a declared type as an assignment does (strings cut silently).
  bool ConvertValue(const Value& value, const SqlType& type, Value* out, Error* error) {
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

  // EXEC arguments are constants or variables, as on the server.
  bool ArgumentValue(const Expr& e, Value* out) {
    switch (e.kind) {
      case ExprKind::kNull:
        *out = std::monostate{};
        return true;
      case ExprKind::kLiteral: {
        const Token& t = frame_->tokens->tokens[static_cast<size_t>(
            frame_->tokens->literals[static_cast<size_t>(e.literal_index)])];
        if (t.kind == TokenKind::kString) {
          *out = t.text;
        } else if (t.kind == TokenKind::kInteger) {
          int64_t v;
          auto r = std::from_chars(t.text.data(), t.text.data() + t.text.size(), v);
          if (r.ec == std::errc()) *out = v;
          else *out = NumberLiteralValue(t.text);
        } else {
          *out = NumberLiteralValue(t.text);
        }
        return true;
      }
      case ExprKind::kUnary: {
        if (!ArgumentValue(*e.args[0], out) || e.op != "-") return e.op == "+";
        if (auto* i = std::get_if<int64_t>(out)) *i = -*i;
        else if (auto* d = std::get_if<double>(out)) *d = -*d;
        else return false;
        return true;
      }
      case ExprKind::kVariable:
        if (e.name == "@@trancount") *out = int64_t{trancount_};
        else if (e.name == "@@rowcount") *out = rowcount_;
        else if (auto it = frame_->variables.find(e.name); it != frame_->variables.end()) *out = it->second;
        else return false;
        return true;
      default:
        return false;
    }
  }

  Flow Exec(const Statement& stmt) {
    std::vector<std::pair<std::string, Value>> values;
    for (const ExecArg& arg : stmt.args) {
      Value value;
      if (!ArgumentValue(*arg.value, &value)) {
        if (arg.value->kind == ExprKind::kVariable) {
          return Fail(MakeError(137, stmt.line, "Must declare the scalar variable \"" + arg.value->name + "\".", 15),
                      false);
        }
        return Fail(MakeError(102, stmt.line, "Incorrect syntax near '" + stmt.proc_name + "'.", 15), false);
      }
      values.emplace_back(arg.name, std::move(value));
    }
    return CallWithValues(stmt.proc_name, values, stmt.line);
  }

  // Runs a procedure in a frame of its own. `values` pair a lower-case parameter name (empty
  // for a positional argument) with its value.
  // A procedure called with no transaction open runs its autocommit statements inside one
  // SQLite transaction, committed when the call ends however it ends: one disk sync per call
  // instead of one per statement (a company loop makes thousands). Once the call has returned
  // the database holds what per-statement commits would have left; only a crash in the middle
  // loses the whole call rather than a prefix of it. An explicit BEGIN TRANSACTION inside the
  // call commits the unit first and goes on as usual.
  bool BeginCallUnit() {
    if (call_unit_ || trancount_ != 0 || !sqlite3_get_autocommit(db_)) return false;
    Error ignored;
    call_unit_ = StepControl(&begin_stmt_, "BEGIN IMMEDIATE", &ignored);
    return call_unit_;
  }

  // Commits the call's unit; false (with the error recorded) when the commit fails.
  bool EndCallUnit(int line) {
    if (!call_unit_) return true;
    call_unit_ = false;
    if (sqlite3_get_autocommit(db_)) return true;  // SQLite gave the transaction up already
    Error error;
    if (StepControl(&commit_stmt_, "COMMIT", &error)) return true;
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    error.line = line;
    Fail(error, false);
    return false;
  }

  Flow CallWithValues(const std::string& name, const std::vector<std::pair<std::string, Value>>& values,
                      int line) {
    Error error;
    Procedure* proc = LoadProcedure(name, false, &error);
    if (proc == nullptr) {
      if (error.number != 0) {
        error.line = line;
        return Fail(error, false);
      }
      return Fail(MakeError(2812, line, "Could not find stored procedure '" + name + "'."), false);
    }
    if (frame_->depth >= kMaxProcedureNesting) {
      return Fail(MakeError(217, line,
                            "Maximum stored procedure, function, trigger, or view nesting level "
                            "exceeded (limit 32)."),
                  false);
    }
    const std::vector<ProcParam>& params = proc->statement->params;
    if (params.empty() && !values.empty()) {
      return Fail(MakeError(8146, line, "Procedure " + proc->name + " has no parameters and arguments were supplied."),
                  false);
    }
    if (values.size() > params.size()) {
      return Fail(MakeError(8144, line, "Procedure or function " + proc->name + " has too many arguments specified."),
                  false);
    }
    Frame callee;
    callee.tokens = &proc->tokens;
    callee.batch = &proc->batch;
    callee.procedure = proc->name;
    callee.depth = frame_->depth + 1;
    callee.owner = procedures_[Lower(name)];
    for (const auto& [variable, type] : proc->batch.variables) callee.variables[variable] = std::monostate{};
    std::vector<bool> supplied(params.size(), false);
    for (size_t k = 0; k < values.size(); ++k) {
      size_t index = k;
      if (!values[k].first.empty()) {
        index = params.size();
        for (size_t p = 0; p < params.size(); ++p) {
          if (params[p].name == values[k].first) index = p;
        }
        if (index == params.size()) {
          return Fail(MakeError(8145, line, values[k].first + " is not a parameter for procedure " + proc->name + "."),
                      false);
        }
      }
      Value converted;
      if (!ConvertValue(values[k].second, params[index].type, &converted, &error)) {
        error.line = line;
        return Fail(error, false);
      }
      callee.variables[params[index].name] = std::move(converted);
      supplied[index] = true;
    }
    for (size_t p = 0; p < params.size(); ++p) {
      if (supplied[p]) continue;
      Value value;
      Frame* saved = frame_;
      frame_ = &callee;  // a default is a constant of the procedure's own text
      bool has_default = params[p].default_value && ArgumentValue(*params[p].default_value, &value);
      frame_ = saved;
      if (!has_default) {
        return Fail(MakeError(201, line,
                              "Procedure or function '" + proc->name + "' expects parameter '" +
                                  params[p].written + "', which was not supplied."),
                    false);
      }
      if (!ConvertValue(value, params[p].type, &callee.variables[params[p].name], &error)) {
        error.line = line;
        return Fail(error, false);
      }
    }
    int trancount_before = trancount_;
    Frame* saved = frame_;
    frame_ = &callee;
    bool opened_unit = BeginCallUnit();
    Flow flow = Flow::kNormal;
    for (const StatementPtr& child : proc->statement->body) {
      flow = Run(child.get());
      if (flow != Flow::kNormal) break;
    }
    if (opened_unit) EndCallUnit(line);
    if (flow != Flow::kAbortBatch && trancount_ != trancount_before) {
      Fail(MakeError(266, line,
                     "Transaction count after EXECUTE indicates a mismatching number of BEGIN and "
                     "COMMIT statements. Previous count = " + std::to_string(trancount_before) +
                         ", current count = " + std::to_string(trancount_) + "."),
           false);
    }
    frame_ = saved;
    return flow == Flow::kAbortBatch ? flow : Flow::kNormal;
  }

  Flow CreateProcedure(const Statement& stmt) {
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

  Flow DropProcedure(const Statement& stmt) {
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

  Flow DropTable(const Statement& stmt) {
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

  sqlite3* db_;
  std::string database_name_;
  std::unique_ptr<FunctionContext> functions_;
  sqlite3_stmt* schema_version_stmt_ = nullptr;
  Catalog catalog_;
  int schema_version_ = -1;
  int64_t generation_ = 0;
  int trancount_ = 0;
  bool call_unit_ = false;  // a procedure call's implicit transaction is open (BeginCallUnit)
  int64_t rowcount_ = 0;
  int64_t identity_ = 0;
  int64_t last_error_ = 0;
  TokenizedBatch tokens_;
  std::string_view text_;  // the client's batch being run
  Frame* frame_ = nullptr;
  std::map<std::string, std::shared_ptr<Procedure>> procedures_;  // by lower-case name
  sqlite3_stmt* definition_stmt_ = nullptr;
  sqlite3_stmt* convert_stmt_ = nullptr;
  sqlite3_stmt* begin_stmt_ = nullptr;   // BEGIN IMMEDIATE, prepared on first use
  sqlite3_stmt* commit_stmt_ = nullptr;  // COMMIT, prepared on first use
  BatchResult* result_ = nullptr;
  std::unordered_map<std::string, std::vector<std::shared_ptr<ParsedBatch>>> cache_;
  std::shared_ptr<void> owner_of_found_;
  std::map<std::string, Cursor> cursors_;  // by lower-case name
  int64_t fetch_status_ = -1;
};

void RemoveDatabaseFiles(const std::string& path) {
  std::error_code ignored;
  for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
    std::filesystem::remove(path + suffix, ignored);
  }
}

}  // namespace

std::unique_ptr<Session> Session::Open(const std::string& path, const OpenOptions& options, Error* error) {
  Error local;
  if (error == nullptr) error = &local;
  bool existed = std::filesystem::exists(path);
  sqlite3* db = nullptr;
  int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
  if (sqlite3_open_v2(path.c_str(), &db, flags, nullptr) != SQLITE_OK) {
    *error = MakeError(4060, 1, "Cannot open database \"" + path + "\" requested by the login. " +
                                    (db ? sqlite3_errmsg(db) : ""));
    sqlite3_close_v2(db);
    return nullptr;
  }
  auto session = std::make_unique<SqliteSession>(db, std::filesystem::path(path).stem().string());
  if (!session->Initialize(error)) {
    session.reset();
    if (!existed) RemoveDatabaseFiles(path);
    return nullptr;
  }
  if (!existed && !options.creation_scripts.empty()) {
    // One transaction for the whole creation: one sync instead of one per statement.
    if (!ExecSql(db, "BEGIN IMMEDIATE", error)) {
      session.reset();
      RemoveDatabaseFiles(path);
      return nullptr;
    }
    for (const std::string& script : options.creation_scripts) {
      BatchResult r = session->Execute(script);
      if (!r.ok()) {
        *error = r.errors.front();
        session.reset();
        RemoveDatabaseFiles(path);
        return nullptr;
      }
    }
    if (!ExecSql(db, "COMMIT", error)) {
      session.reset();
      RemoveDatabaseFiles(path);
      return nullptr;
    }
  }
  return session;
}

}  // namespace engine
