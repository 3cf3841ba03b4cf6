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

namespace sql {

// ADO DataTypeEnum codes used by the providers.
enum AdoType : int {
  adEmpty = 0,
  adSmallInt = 2,
  adInteger = 3,
  adSingle = 4,
  adDouble = 5,
  adCurrency = 6,
  adDate = 7,
  adBSTR = 8,
  adBoolean = 11,
  adVariant = 12,
  adDecimal = 14,
  adTinyInt = 16,
  adUnsignedTinyInt = 17,
  adBigInt = 20,
  adBinary = 128,
  adChar = 129,
  adWChar = 130,
  adNumeric = 131,
  adDBDate = 133,
  adDBTime = 134,
  adDBTimeStamp = 135,
  adVarChar = 200,
  adLongVarChar = 201,
  adVarWChar = 202,
  adLongVarWChar = 203,
  adVarBinary = 204,
  adLongVarBinary = 205,
};

enum ObjectState : int { adStateClosed = 0, adStateOpen = 1 };
enum CommandTypeEnum : int {
  adCmdUnspecified = -1,
  adCmdText = 1,
  adCmdTable = 2,
  adCmdStoredProc = 4,
  adCmdUnknown = 8,
  adCmdFile = 256,
  adCmdTableDirect = 512,
};
enum ParameterDirectionEnum : int {
  adParamUnknown = 0,
  adParamInput = 1,
  adParamOutput = 2,
  adParamInputOutput = 3,
  adParamReturnValue = 4,
};

// Err.Number of the errors the client raises itself (ADO's ErrorValueEnum). ADO raises them as
// HRESULTs 0x800A0000 + code (3021 is 0x800A0BCD, -2146825267 as a signed Long); VB turns an
// HRESULT of that facility into its low word, so On Error saw the short code, and so do we.
// Errors that come from a provider keep the provider's HRESULT (kServerError below).
inline constexpr long kAdoNoCurrentRecord = 3021;    // "El valor de BOF o EOF es True, ..."
inline constexpr long kAdoFeatureNotAvailable = 3251;
inline constexpr long kAdoItemNotFound = 3265;       // "No se puede encontrar el elemento ..."
inline constexpr long kAdoInTransaction = 3246;
inline constexpr long kAdoObjectClosed = 3704;       // "No se permite ... objeto está cerrado."
inline constexpr long kAdoObjectOpen = 3705;
inline constexpr long kAdoProviderNotFound = 3706;   // "No se puede encontrar el proveedor. ..."
inline constexpr long kAdoInvalidConnection = 3709;
// DB_E_ERRORSINCOMMAND (0x80040E14): every error the server reports for a statement.
inline constexpr long kServerError = -2147217900;
inline constexpr char kSqlServerSource[] = "Microsoft OLE DB Provider for SQL Server";

// Column metadata as a provider reports it.
struct FieldInfo {
  std::string name;
  int type = adEmpty;  // AdoType
  long defined_size = 0;
  int precision = 0;
  int numeric_scale = 0;
};

// A materialised result: what a provider hands to a Recordset. Every row has one value per field.
struct RowSet {
  std::vector<FieldInfo> fields;
  std::vector<std::vector<runtime::Valor>> rows;
};

// A declared parameter of a stored procedure as the provider describes it.
struct ParameterInfo {
  std::string name;  // with its '@'
  int type = adEmpty;
  int direction = adParamInput;  // ParameterDirectionEnum
  long size = 0;
  int precision = 0;
  int numeric_scale = 0;
};

// A warning a provider gave with a result it still delivered: ADO keeps it in the connection's
// Errors collection and raises nothing.
struct ProviderWarning {
  long number = 0;
  std::string source;
  std::string description;
};

// One open session of a provider. Implementations throw runtime::VbError on failure.
class ProviderSession {
 public:
  virtual ~ProviderSession() = default;
  // Runs SQL text; returns the last result set it produced, if any.
  virtual std::optional<RowSet> Execute(const std::string& sql) = 0;
  // Calls a stored procedure with named arguments; returns its last result set, if any. The
  // default throws kAdoFeatureNotAvailable.
  virtual std::optional<RowSet> CallProcedure(
      const std::string& name, const std::vector<std::pair<std::string, runtime::Valor>>& args);
  // Declared parameters of a procedure, the return value first; empty when the provider knows
  // no procedure of that name. The default throws kAdoFeatureNotAvailable.
  virtual std::vector<ParameterInfo> ProcedureParameters(const std::string& name);
  // The warnings of the session's last operation; the default gives none.
  virtual std::vector<ProviderWarning> Warnings() const;
  virtual void BeginTrans() = 0;
  virtual void CommitTrans() = 0;
  virtual void RollbackTrans() = 0;
};

// The connection string as key/value pairs, keys lower-cased and trimmed, values trimmed.
using ConnectionProperties = std::vector<std::pair<std::string, std::string>>;

// Opens a provider session from a parsed connection string.
using ProviderFactory =
    std::function<std::unique_ptr<ProviderSession>(const ConnectionProperties& properties)>;

// Registers the provider for "Provider=<name>..." (matched case-insensitively, without the
// trailing version numbers: "SQLOLEDB.1" finds "SQLOLEDB", "Microsoft.Jet.OLEDB.4.0" finds
// "Microsoft.Jet.OLEDB"). A later registration of the same name replaces the
// earlier one. The embedded engine is built in as SQLOLEDB (and can be replaced).
void RegisterProvider(const std::string& name, ProviderFactory factory);

// Where SQLOLEDB keeps its database when the connection string has an empty Data Source, and
// the T-SQL batches that create a database file on first use (for any Data Source). A non-empty
// Data Source names the database file itself. Set once by the program at start-up.
struct EmbeddedDatabase {
  std::string default_path;
  std::vector<std::string> creation_batches;
};
void ConfigureEmbedded(EmbeddedDatabase config);

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

}  // namespace sql
