// Command and Parameters: stored procedures called by name with the values set on the refreshed
// parameter list, or SQL text run as the connection would. Values travel as VB values; the
// provider converts them to the declared types.
#include "platform/sql/client.h"
#include "platform/sql/internal/ado_errors.h"
#include "platform/sql/internal/names.h"

namespace sql {
namespace {
constexpr char kCommandSource[] = "ADODB.Command";
constexpr char kParametersSource[] = "ADODB.Parameters";
}  // namespace

void Parameters::Refresh() {
  Connection* connection = owner_->connection_;
  if (!connection) internal::RaiseAdo(kAdoInvalidConnection, kParametersSource);
  std::vector<ParameterInfo> declared =
      connection->Session(kParametersSource, kAdoInvalidConnection)
          .ProcedureParameters(owner_->text_);
  items_.clear();
  for (ParameterInfo& info : declared) items_.push_back(Parameter(std::move(info)));
  refreshed_ = true;
}

void Parameters::RefreshIfNeeded() {
  if (refreshed_ || owner_->type_ != adCmdStoredProc) return;
  Connection* connection = owner_->connection_;
  if (connection && connection->State() == adStateOpen) Refresh();
}

int Parameters::Count() {
  RefreshIfNeeded();
  return static_cast<int>(items_.size());
}

Parameter& Parameters::Item(int ordinal) {
  if (ordinal < 0 || ordinal >= Count()) internal::RaiseAdo(kAdoItemNotFound, kParametersSource);
  return items_[ordinal];
}

Parameter& Parameters::Item(std::string_view name) {
  RefreshIfNeeded();
  for (Parameter& p : items_) {
    if (internal::SameName(p.Name(), name)) return p;
  }
  internal::RaiseAdo(kAdoItemNotFound, kParametersSource);
}

Command::Command() : parameters_(this) {}

// A new text or type names another procedure: its parameters are fetched again on next use.
void Command::SetCommandText(std::string text) {
  text_ = std::move(text);
  parameters_.items_.clear();
  parameters_.refreshed_ = false;
}

void Command::SetCommandType(int type) {
  type_ = type;
  parameters_.items_.clear();
  parameters_.refreshed_ = false;
}

sql::Parameters& Command::Parameters() { return parameters_; }

Recordset Command::Execute() {
  if (!connection_) internal::RaiseAdo(kAdoInvalidConnection, kCommandSource);
  ProviderSession& session = connection_->Session(kCommandSource, kAdoInvalidConnection);
  switch (type_) {
    case adCmdStoredProc: {
      std::vector<std::pair<std::string, runtime::Valor>> args;
      for (const Parameter& p : parameters_.items_) {
        bool sent = p.Direction() == adParamInput || p.Direction() == adParamInputOutput;
        if (sent && !p.Value().IsEmpty()) args.emplace_back(p.Name(), p.Value());
      }
      return Recordset(session.CallProcedure(text_, args));
    }
    case adCmdTable:
    case adCmdTableDirect:
      return Recordset(session.Execute("Select * From " + text_));
    default:
      // Text, unknown, unspecified and file types all run the text as a statement.
      return Recordset(session.Execute(text_));
  }
}

}  // namespace sql
