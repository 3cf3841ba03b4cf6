// The ADO-like database client: Connection, Recordset, Fields/Field, Command/Parameters. The
// windows talk to every data source through it with SQL text; a provider chosen from the
// connection string does the work. Errors are thrown as runtime::VbError, as the original client
// raised them into On Error. Knows no system table.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/runtime/valor.h"
#include "platform/sql/provider.h"

namespace sql {

namespace internal {
struct Cursor;
}

// One column of a recordset. A handle: it reads the recordset's current row when asked.
class Field {
 public:
  const std::string& Name() const;
  int Type() const;  // AdoType
  long DefinedSize() const;
  int Precision() const;
  int NumericScale() const;
  // The current row's value; Null for a database NULL. Throws kAdoNoCurrentRecord (source
  // "ADODB.Field") at EOF or BOF, kAdoObjectClosed once the recordset was closed.
  runtime::Valor Value() const;

 private:
  friend class Fields;
  Field(std::shared_ptr<const internal::Cursor> cursor, int ordinal);
  std::shared_ptr<const internal::Cursor> cursor_;
  int ordinal_;
};

// The columns of a recordset (empty while it is closed).
class Fields {
 public:
  int Count() const;
  // By 0-based ordinal, or by name without regard to case. Throws kAdoItemNotFound when there
  // is no such column.
  Field Item(int ordinal) const;
  Field Item(std::string_view name) const;

 private:
  friend class Recordset;
  explicit Fields(std::shared_ptr<const internal::Cursor> cursor);
  std::shared_ptr<const internal::Cursor> cursor_;
};

class Connection;

// A forward-only, read-only recordset. Nothing is written through it. Move-only: a Field taken
// from it stays valid (on the same rows) until the recordset is closed.
class Recordset {
 public:
  Recordset();
  ~Recordset();
  Recordset(Recordset&&) noexcept;
  Recordset& operator=(Recordset&&) noexcept;
  Recordset(const Recordset&) = delete;
  Recordset& operator=(const Recordset&) = delete;

  // Runs `source` on `connection` and stands on the first row. A statement that returns no rows
  // at all (an INSERT, say) leaves the recordset closed, as ADO does. The cursor, lock and
  // option arguments are accepted and ignored: the recordset is always forward-only read-only.
  // Throws kAdoObjectOpen when already open, kAdoInvalidConnection when `connection` is closed,
  // and the provider's error when the statement fails.
  void Open(const std::string& source, Connection& connection, int cursor_type = -1,
            int lock_type = -1, long options = -1);
  // Throws kAdoObjectClosed when already closed. Afterwards the object can be opened again.
  void Close();
  int State() const;  // adStateOpen or adStateClosed

  // Both true on an empty result. Throw kAdoObjectClosed when closed.
  bool Eof() const;
  bool Bof() const;
  // Throws kAdoNoCurrentRecord at EOF.
  void MoveNext();
  // Back to the first row, to read the result again. Throws kAdoNoCurrentRecord on an empty one.
  void MoveFirst();

  sql::Fields Fields() const;
  // Rs("name") and Rs(0): the recordset's default member.
  Field operator()(std::string_view name) const { return Fields().Item(name); }
  Field operator()(int ordinal) const { return Fields().Item(ordinal); }

 private:
  friend class Connection;
  friend class Command;
  explicit Recordset(std::optional<RowSet> rows);
  void RequireOpen() const;
  std::shared_ptr<internal::Cursor> cursor_;
};

class Connection {
 public:
  Connection();
  ~Connection();  // an open transaction is rolled back by the provider
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // Throws kAdoObjectOpen when already open, kAdoProviderNotFound when the provider is not
  // registered, and the provider's error when the source cannot be opened. The user and
  // password arguments are unused: the credentials travel inside the string.
  void Open(const std::string& connection_string, const std::string& user = "",
            const std::string& password = "", long options = -1);
  // Throws kAdoObjectClosed when closed, kAdoInTransaction while a transaction is open.
  void Close();
  int State() const;
  // Runs SQL text at once; returns a recordset on the last result (closed when there was none).
  // Throws kAdoObjectClosed when the connection is closed, the provider's error on failure.
  Recordset Execute(const std::string& sql, long options = -1);
  // One transaction at a time; the provider's error when one is already open (BeginTrans) or
  // none is (CommitTrans, RollbackTrans).
  void BeginTrans();
  void CommitTrans();
  void RollbackTrans();
  // ADO's Errors collection after an operation that succeeded: the warnings the provider gave
  // with the last statement run on this connection (Execute, Recordset::Open, a Command).
  // Empty when there were none or the connection is closed; the next statement replaces them.
  std::vector<ProviderWarning> Errors() const;

 private:
  friend class Recordset;
  friend class Command;
  friend class Parameters;
  ProviderSession& Session(const char* caller_source, long closed_error);
  std::unique_ptr<ProviderSession> session_;
  bool in_transaction_ = false;
};

class Parameter {
 public:
  const std::string& Name() const { return info_.name; }
  int Type() const { return info_.type; }
  int Direction() const { return info_.direction; }
  long Size() const { return info_.size; }
  int Precision() const { return info_.precision; }
  int NumericScale() const { return info_.numeric_scale; }
  const runtime::Valor& Value() const { return value_; }
  // An Empty value is not sent: the procedure's default applies (or the server complains).
  void SetValue(runtime::Valor value) { value_ = std::move(value); }

 private:
  friend class Parameters;
  explicit Parameter(ParameterInfo info) : info_(std::move(info)) {}
  ParameterInfo info_;
  runtime::Valor value_;
};

class Command;

// The parameters of a stored-procedure command. First use on a stored-procedure command with an
// active connection refreshes the list from the provider, as ADO does.
class Parameters {
 public:
  // Asks the provider for the declared parameters: @RETURN_VALUE first, then the procedure's.
  // Values set before are dropped. Throws kAdoInvalidConnection without an open active connection.
  void Refresh();
  int Count();
  // By 0-based ordinal, or by name without regard to case; throws kAdoItemNotFound (source
  // "ADODB.Parameters") when there is none.
  Parameter& Item(int ordinal);
  Parameter& Item(std::string_view name);

 private:
  friend class Command;
  explicit Parameters(Command* owner) : owner_(owner) {}
  void RefreshIfNeeded();
  Command* owner_;
  std::vector<Parameter> items_;
  bool refreshed_ = false;
};

// A command on a connection. Stored procedures (adCmdStoredProc) are called by name with the
// parameters that hold a value; every other type runs CommandText as SQL text (adCmdTable and
// adCmdTableDirect as "Select * From " the text).
class Command {
 public:
  Command();
  Command(const Command&) = delete;
  Command& operator=(const Command&) = delete;

  // REQUIRES: `connection` outlives the command's use of it.
  void SetActiveConnection(Connection& connection) { connection_ = &connection; }
  Connection* ActiveConnection() const { return connection_; }
  void SetCommandText(std::string text);
  const std::string& CommandText() const { return text_; }
  void SetCommandType(int type);
  int CommandType() const { return type_; }
  sql::Parameters& Parameters();

  // Runs the command; returns a recordset on its last result set, or a closed one. Throws
  // kAdoInvalidConnection without an open active connection, the provider's error on failure.
  Recordset Execute();

 private:
  friend class Parameters;
  Connection* connection_ = nullptr;
  std::string text_;
  int type_ = adCmdUnspecified;
  sql::Parameters parameters_;
};

// Sends `commands` on `cn`, in order, inside one transaction, and commits. When one fails the
// transaction is rolled back (a transaction the provider already ended is no further error) and
// the failure is thrown: nothing of the commands stays. Throws the provider's error when the
// transaction cannot begin (an outer one is open) or commit.
void ExecuteInTransaction(Connection& cn, const std::vector<std::string>& commands);

}  // namespace sql
