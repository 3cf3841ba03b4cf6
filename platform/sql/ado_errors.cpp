// ADO's own error texts, letter for letter as the client raised them, and the provider's server
// error. The texts are what the error log shows, so they are data, not prose to improve.
#include "platform/sql/internal/ado_errors.h"

#include "platform/runtime/vb_error.h"
#include "platform/sql/client.h"

namespace sql::internal {

const char* AdoDescription(long number) {
  switch (number) {
    case kAdoNoCurrentRecord:
      return "Either BOF or EOF is True, or the current record has been deleted. Requested "
             "operation requires a current record.";
    case kAdoFeatureNotAvailable:
      return "Object or provider is not capable of performing requested operation.";
    case kAdoItemNotFound:
      return "Item cannot be found in the collection corresponding to the requested name or "
             "ordinal.";
    case kAdoInTransaction:
      return "Connection object cannot be explicitly closed while in a transaction.";
    case kAdoObjectClosed:
      return "Operation is not allowed when the object is closed.";
    case kAdoObjectOpen:
      return "Operation is not allowed when the object is open.";
    case kAdoProviderNotFound:
      return "Provider cannot be found. It may not be properly installed.";
    case kAdoInvalidConnection:
      return "The connection cannot be used to perform this operation. It is either closed or "
             "invalid in this context.";
    default:
      return "";
  }
}

void RaiseAdo(long number, const std::string& source) {
  throw runtime::VbError(number, source, AdoDescription(number));
}

void RaiseServer(int native_number, const std::string& message) {
  throw runtime::VbError(kServerError, kSqlServerSource, message, native_number);
}

}  // namespace sql::internal
