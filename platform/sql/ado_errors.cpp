// ADO's own error texts as the client raised them on the users' Spanish Windows, and the
// provider's server error. The texts are what the error log shows, so they are data, not prose
// to improve.
#include "platform/sql/internal/ado_errors.h"

#include "platform/runtime/vb_error.h"
#include "platform/sql/client.h"

namespace sql::internal {

const char* AdoDescription(long number) {
  switch (number) {
    case kAdoNoCurrentRecord:
      return "El valor de BOF o EOF es True, o el actual registro se eliminó; la operación "
             "solicitada requiere un registro actual.";
    case kAdoFeatureNotAvailable:
      return "El objeto o el proveedor no pueden realizar la operación requerida.";
    case kAdoItemNotFound:
      return "No se puede encontrar el elemento en la colección correspondiente al nombre o al "
             "ordinal solicitado.";
    case kAdoInTransaction:
      return "No se puede cerrar explícitamente el objeto de conexión mientras esté en una "
             "transacción.";
    case kAdoObjectClosed:
      return "No se permite realizar esta operación si el objeto está cerrado.";
    case kAdoObjectOpen:
      return "No se permite realizar esta operación si el objeto está abierto.";
    case kAdoProviderNotFound:
      return "No se puede encontrar el proveedor. Es posible que no esté instalado correctamente.";
    case kAdoInvalidConnection:
      return "No se puede usar la conexión para realizar esta operación. Está cerrada o no es "
             "válida en este contexto.";
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
