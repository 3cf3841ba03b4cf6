// The provider side of the database client: the ADO type and error codes every provider reports,
// the result and parameter shapes a provider hands to the client, the session interface a
// provider implements, and the registration by "Provider=" name. The windows never include it;
// they use client.h.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
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

}  // namespace sql
