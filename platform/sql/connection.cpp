// Connection: opens the provider that the connection string names and hands statements and
// transactions to it. Holds no rows; Recordset and Command borrow its provider session.
#include "platform/sql/client.h"

#include "platform/runtime/vb_error.h"
#include "platform/sql/internal/ado_errors.h"
#include "platform/sql/internal/providers.h"

namespace sql {
namespace {
constexpr char kConnectionSource[] = "ADODB.Connection";
}  // namespace

std::optional<RowSet> ProviderSession::CallProcedure(
    const std::string&, const std::vector<std::pair<std::string, runtime::Valor>>&) {
  internal::RaiseAdo(kAdoFeatureNotAvailable, "ADODB.Command");
}

std::vector<ParameterInfo> ProviderSession::ProcedureParameters(const std::string&) {
  internal::RaiseAdo(kAdoFeatureNotAvailable, "ADODB.Parameters");
}

std::vector<ProviderWarning> ProviderSession::Warnings() const { return {}; }

Connection::Connection() = default;
Connection::~Connection() = default;

void Connection::Open(const std::string& connection_string, const std::string&,
                      const std::string&, long) {
  if (session_) internal::RaiseAdo(kAdoObjectOpen, kConnectionSource);
  ConnectionProperties properties = internal::ParseConnectionString(connection_string);
  ProviderFactory factory = internal::FindProvider(internal::ProviderKey(properties));
  if (!factory) internal::RaiseAdo(kAdoProviderNotFound, kConnectionSource);
  std::unique_ptr<ProviderSession> session = factory(properties);
  if (!session) internal::RaiseAdo(kAdoProviderNotFound, kConnectionSource);
  session_ = std::move(session);
  in_transaction_ = false;
}

void Connection::Close() {
  if (!session_) internal::RaiseAdo(kAdoObjectClosed, kConnectionSource);
  if (in_transaction_) internal::RaiseAdo(kAdoInTransaction, kConnectionSource);
  session_.reset();
}

int Connection::State() const { return session_ ? adStateOpen : adStateClosed; }

std::vector<ProviderWarning> Connection::Errors() const {
  return session_ ? session_->Warnings() : std::vector<ProviderWarning>{};
}

ProviderSession& Connection::Session(const char* caller_source, long closed_error) {
  if (!session_) internal::RaiseAdo(closed_error, caller_source);
  return *session_;
}

Recordset Connection::Execute(const std::string& sql, long) {
  return Recordset(Session(kConnectionSource, kAdoObjectClosed).Execute(sql));
}

void Connection::BeginTrans() {
  Session(kConnectionSource, kAdoObjectClosed).BeginTrans();
  in_transaction_ = true;
}

// The flag drops before the provider is asked: when it refuses (the server had already ended
// the transaction) there is no transaction left either way.
void Connection::CommitTrans() {
  ProviderSession& session = Session(kConnectionSource, kAdoObjectClosed);
  in_transaction_ = false;
  session.CommitTrans();
}

void Connection::RollbackTrans() {
  ProviderSession& session = Session(kConnectionSource, kAdoObjectClosed);
  in_transaction_ = false;
  session.RollbackTrans();
}

void ExecuteInTransaction(Connection& cn, const std::vector<std::string>& commands) {
  cn.BeginTrans();
  try {
    for (const std::string& command : commands) cn.Execute(command);
  } catch (const runtime::VbError&) {
    try {
      cn.RollbackTrans();
    } catch (const runtime::VbError&) {
      // Already ended by the provider: nothing is left to undo.
    }
    throw;
  }
  cn.CommitTrans();
}

}  // namespace sql
