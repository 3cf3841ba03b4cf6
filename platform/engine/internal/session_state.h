// The executor's state: one SqliteSession over one SQLite connection, with the frames,
// cursors, cached procedures and compiled statements it runs with. Its methods are spread over
// the files of the engine by stage of work (listed at each group below); this header is the
// only place that declares them, and nothing outside platform/engine includes it.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/engine/engine.h"
#include "platform/engine/internal/ast.h"
#include "platform/engine/internal/binder.h"
#include "platform/engine/internal/catalog.h"
#include "platform/engine/internal/sqlite_functions.h"
#include "platform/engine/internal/tokenizer.h"
#include "platform/engine/internal/translator.h"

namespace engine {

// A statement's translation and its prepared SQLite statement, valid while the catalog
// generation it was made for is current.
struct CompiledStatement {
  int64_t generation = -1;
  Translation translation;
  sqlite3_stmt* stmt = nullptr;
  ~CompiledStatement() { sqlite3_finalize(stmt); }
};

// The outcome of running a statement: go on, leave the loop or continue it, leave the batch
// (RETURN), or stop everything after an error that aborts the batch.
// kAbortScope ends the running procedure (or the client's batch) after a statement that could
// not be compiled when reached; the caller goes on.
// Errors follow the server's classes: a compile error runs nothing, a statement error undoes
// that statement and the batch goes on, a missing table ends the running procedure, a
// conversion error aborts the batch and rolls back the transaction.
enum class Flow { kNormal, kBreak, kContinue, kReturn, kAbortScope, kAbortBatch };

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

inline Error MakeError(int number, int line, std::string message, int severity = 16) {
  Error e;
  e.number = number;
  e.severity = severity;
  e.line = line;
  e.message = std::move(message);
  return e;
}

// True for CREATE TABLE, CREATE INDEX and DROP, or a statement whose body holds one: the
// statements after it are compiled when reached, since it changes what they may name.
bool IsDdl(const Statement& s);

class SqliteSession : public Session, public FunctionResolver {
 public:
  SqliteSession(sqlite3* db, std::string database_name)
      : db_(db), database_name_(std::move(database_name)) {}
  ~SqliteSession() override;

  // session.cpp: opening, batches, the parse cache, catalog refresh, transactions.
  bool Initialize(Error* error);
  bool CreateObjects(const std::vector<std::string>& scripts, Error* error);
  BatchResult Execute(std::string_view text) override;
  BatchResult CallProcedure(std::string_view name,
                            const std::vector<std::pair<std::string, Value>>& args) override;
  std::optional<std::vector<ProcedureParameter>> ProcedureParameters(std::string_view name) override;
  int TransactionCount() const override { return trancount_; }

  // procedures.cpp: the binder's look-up of user functions.
  bool FindFunction(const std::string& name, SqlType* returns, size_t* parameters) override;

 private:
  // session.cpp
  bool RefreshCatalog(Error* error);
  void ReloadCatalog();
  bool StepControl(sqlite3_stmt** stmt, const char* sql, Error* error);
  ParsedBatch* FindCached();
  Flow BeginTransaction(const Statement& stmt);
  Flow CommitTransaction(const Statement& stmt);
  Flow RollbackTransaction(const Statement& stmt);
  bool BeginCallUnit();
  bool EndCallUnit(int line);

  // executor.cpp: compiling and running statements, parameters and values.
  bool Compile(Statement* stmt, Error* error);
  bool PreCompile(Statement* stmt, Error* error);
  void BindParameters(CompiledStatement* compiled);
  static void BindValue(sqlite3_stmt* s, int index, const Value& value);
  Error StepError(const Statement& stmt, const Translation& translation);
  Flow Fail(Error error, bool scope_abort);
  Value ReadValue(sqlite3_stmt* s, int k, const SqlType& type);
  Flow RunCompiled(Statement* stmt, ResultSet* rows, int64_t* first_value);
  Flow Run(Statement* stmt);
  bool ConvertValue(const Value& value, const SqlType& type, Value* out, Error* error);

  // ddl.cpp: CREATE and DROP of tables, indexes, procedures and functions.
  Flow RunDdl(const Statement& stmt, const std::vector<std::string>& steps,
              const std::function<bool(Error*)>& catalog_step);
  Flow CreateTable(const Statement& stmt);
  Flow CreateIndex(const Statement& stmt);
  Flow CreateProcedure(const Statement& stmt);
  Flow DropProcedure(const Statement& stmt);
  Flow DropTable(const Statement& stmt);
  bool ObjectExistsInDatabase(const std::string& name);

  // cursors.cpp
  Flow RunCursorStatement(Statement* stmt);

  // procedures.cpp: loading, calling and running procedures and scalar functions.
  bool RunFunction(const std::string& name, const std::vector<Value>& args, Value* result, Error* error);
  Procedure* LoadProcedure(const std::string& name, bool function, Error* error);
  bool ArgumentValue(const Expr& e, Value* out);
  Flow Exec(const Statement& stmt);
  Flow CallWithValues(const std::string& name, const std::vector<std::pair<std::string, Value>>& values,
                      int line);

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

}  // namespace engine
