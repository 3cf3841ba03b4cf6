// The ADO-like database client: Connection, Recordset, Fields/Field, Command/Parameters. The
// windows talk to every data source through it with SQL text; a provider chosen from the
// connection string does the work. Errors are thrown as runtime::VbError, as the original client
// raised them into On Error. Knows no system table.
#pragma once

#include <functional>
#include <memory>
#include <string>
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
enum CommandTypeEnum : int { adCmdText = 1, adCmdStoredProc = 4, adCmdUnknown = 8, adCmdUnspecified = -1 };

// Column metadata as a provider reports it.
struct FieldInfo {
  std::string name;
  int type = adEmpty;  // AdoType
  long defined_size = 0;
  int precision = 0;
  int numeric_scale = 0;
};

// A materialised result: what a provider hands to a Recordset.
struct RowSet {
  std::vector<FieldInfo> fields;
  std::vector<std::vector<runtime::Valor>> rows;
};

// One open session of a provider. Implementations throw runtime::VbError on failure.
class ProviderSession {
 public:
  virtual ~ProviderSession() = default;
  // Runs SQL text; returns the last result set it produced, if any.
  virtual std::optional<RowSet> Execute(const std::string& sql) = 0;
  // Calls a stored procedure with named arguments; returns its last result set, if any.
  virtual std::optional<RowSet> CallProcedure(
      const std::string& name, const std::vector<std::pair<std::string, runtime::Valor>>& args);
  // Declared parameters of a procedure (name with '@', ADO type, size, precision, scale).
  virtual std::vector<FieldInfo> ProcedureParameters(const std::string& name);
  virtual void BeginTrans() = 0;
  virtual void CommitTrans() = 0;
  virtual void RollbackTrans() = 0;
};

// Opens a provider session from a parsed connection string (keys lower-cased).
using ProviderFactory = std::function<std::unique_ptr<ProviderSession>(
    const std::vector<std::pair<std::string, std::string>>& properties)>;

// Registers the provider for "Provider=<name>..." (matched case-insensitively, up to the first
// '.': "SQLOLEDB.1" finds "SQLOLEDB"). The embedded engine registers itself as SQLOLEDB.
void RegisterProvider(const std::string& name, ProviderFactory factory);

class Field {
 public:
  const std::string& Name() const;
  int Type() const;
  long DefinedSize() const;
  int Precision() const;
  int NumericScale() const;
  // The current row's value; Null for a database NULL. Throws when there is no current row.
  runtime::Valor Value() const;
  // ...
};

class Connection {
 public:
  Connection();
  ~Connection();
  // Throws runtime::VbError when the provider is unknown or the source cannot be opened.
  void Open(const std::string& connection_string, const std::string& user = "",
            const std::string& password = "", long options = -1);
  void Close();
  int State() const;
  // Runs SQL text at once; returns a recordset on the last result (closed when there was none).
  class Recordset Execute(const std::string& sql, long options = -1);
  void BeginTrans();
  void CommitTrans();
  void RollbackTrans();
};

// NOTE: the client's owner completes Recordset, Fields, Command and Parameters in this header
// (EOF/BOF are named Eof()/Bof(): EOF is a C macro).

}  // namespace sql
