// The embedded T-SQL engine: runs T-SQL batches with SQL Server's semantics over a database kept
// in one SQLite file. This header is the hand-off to the database client (platform/sql) and the
// console; the lexer, parser, binder, translator and executor stay behind it.
// It knows nothing of the system's tables: the schema arrives as ordinary T-SQL scripts.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace engine {

enum class TypeKind {
  kBit,
  kTinyInt,
  kSmallInt,
  kInt,
  kBigInt,
  kReal,
  kFloat,
  kNumeric,  // also DECIMAL
  kChar,
  kVarChar,
  kDateTime,
};

// A declared T-SQL type: varchar(20) is {kVarChar, 20}; numeric(4,0) is {kNumeric, 0, 4, 0}.
struct SqlType {
  TypeKind kind = TypeKind::kInt;
  int length = 0;     // characters, for char/varchar
  int precision = 0;  // numeric
  int scale = 0;      // numeric
  friend bool operator==(const SqlType&, const SqlType&) = default;
};

// Milliseconds since 1900-01-01 00:00:00.000 (SQL Server's day 0), local time.
struct DateTime {
  int64_t ms = 0;
  friend bool operator==(const DateTime&, const DateTime&) = default;
};

// One value as the engine hands it out. Integers of every width come as int64_t, float/real as
// double, numeric as a double already rounded to the column's scale (the column type carries the
// scale), char/varchar as UTF-8 text.
using Value = std::variant<std::monostate /* NULL */, int64_t, double, std::string, DateTime>;

struct Column {
  std::string name;
  SqlType type;
  bool nullable = true;
};

struct ResultSet {
  std::vector<Column> columns;
  std::vector<std::vector<Value>> rows;
};

// A server error as SQL Server reports it.
struct Error {
  int number = 0;
  int severity = 16;
  int state = 1;
  int line = 1;           // from the start of the batch, or of the procedure's text
  std::string procedure;  // empty outside procedures
  std::string message;
};

struct BatchResult {
  // Result sets in the order the statements produced them.
  std::vector<ResultSet> result_sets;
  // Errors in the order they happened. A statement-level error lets the batch go on, so there
  // can be several; the last one may be the one that stopped the batch.
  std::vector<Error> errors;
  // Rows affected by the last statement that reported a count (-1 when none did).
  int64_t rows_affected = -1;
  bool ok() const { return errors.empty(); }
};

struct ProcedureParameter {
  std::string name;  // with its '@'
  SqlType type;
  bool has_default = false;
};

struct OpenOptions {
  // Scripts run, in order, as one transaction when the database holds no object yet (a new
  // file, or one whose creation was cut short).
  std::vector<std::string> creation_scripts;
};

// One connection to a database. Sessions on the same file see each other's committed work; a
// transaction open on one does not block readers on another (SQLite WAL). Committed transactions
// are durable (synchronous=FULL). Not thread-safe: one session per thread.
class Session {
 public:
  virtual ~Session() = default;

  // Opens (and on first use creates) the database file at `path`. Returns null and fills `error`
  // when the file cannot be opened or a creation script fails (nothing of the creation stays; a
  // file the call made is removed).
  static std::unique_ptr<Session> Open(const std::string& path, const OpenOptions& options,
                                       Error* error);

  // Runs one batch: statements separated by line ends, no GO. A compile error runs nothing;
  // a run-time error stops the statement or the batch as the server would. BEGIN TRANSACTION,
  // COMMIT and ROLLBACK arrive here as statements; a transaction left open stays open.
  virtual BatchResult Execute(std::string_view batch) = 0;

  // Calls a stored procedure with named arguments (the RPC path of a stored-procedure command).
  virtual BatchResult CallProcedure(std::string_view name,
                                    const std::vector<std::pair<std::string, Value>>& args) = 0;

  // The declared parameters of a stored procedure, in order; nullopt when there is none of
  // that name.
  virtual std::optional<std::vector<ProcedureParameter>> ProcedureParameters(
      std::string_view name) = 0;

  // @@TRANCOUNT of this session.
  virtual int TransactionCount() const = 0;
};

}  // namespace engine
