// Standard descriptions of the run-time errors, in the wording of the language's Spanish run
// time, so that error-log entries read as the users know them.
#include "platform/runtime/vb_error.h"

namespace runtime {

const char* VbErrorDescription(long number) {
  switch (number) {
    case kVbInvalidCall: return "Argumento o llamada a procedimiento no válida";
    case kVbOverflow: return "Desbordamiento";
    case kVbTypeMismatch: return "No coinciden los tipos";
    case kVbBadFileNameOrNumber: return "Nombre o número de archivo incorrecto";
    case kVbFileNotFound: return "No se encontró el archivo";
    case kVbFileAlreadyExists: return "El archivo ya existe";
    case kVbDiskFull: return "Disco lleno";
    case kVbTooManyFiles: return "Demasiados archivos";
    case kVbPermissionDenied: return "Permiso denegado";
    case kVbPathFileAccess: return "Error de acceso a la ruta o el archivo";
    case kVbPathNotFound: return "No se encontró la ruta de acceso";
    case kVbInvalidUseOfNull: return "Uso no válido de Null";
    default: return "Error definido por la aplicación o por el objeto";
  }
}

void RaiseVbError(long number) {
  throw VbError(number, kVbRuntimeSource, VbErrorDescription(number));
}

}  // namespace runtime
