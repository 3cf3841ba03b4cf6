// A statement in a transaction of its own: commit on success, roll back and log on failure.
#include "core/grabacion.h"

#include "core/aplicacion.h"
#include "platform/runtime/vb_error.h"
#include "platform/sql/client.h"

namespace core {

void Grabacion::Comenzar() {
  app_.CnSql.BeginTrans();
  abierta_ = true;
}

bool Grabacion::Enviar(const std::string& sentencia, const std::string& contexto) {
  if (!abierta_) Comenzar();
  try {
    app_.CnSql.Execute(sentencia);
  } catch (const runtime::VbError& error) {
    Deshacer();
    app_.RegistrarError(error, contexto);
    return false;
  }
  abierta_ = false;
  app_.CnSql.CommitTrans();
  return true;
}

void Grabacion::Deshacer() {
  if (!abierta_) return;
  abierta_ = false;
  try {
    app_.CnSql.RollbackTrans();
  } catch (const runtime::VbError&) {
    // Already ended by the server: nothing is left to undo.
  }
}

}  // namespace core
