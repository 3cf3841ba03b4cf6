// Grabacion: one statement sent on CnSql in a transaction of its own, the write every import
// makes per value and every journal row is. A statement that fails is rolled back and logged,
// and the caller goes on. Part of core; shows no message.
#pragma once

#include <string>

namespace core {

class Aplicacion;

// A statement that fails is rolled back and logged, and the operation goes on; an error anywhere
// else goes to the caller, whose handler calls Deshacer so that no transaction is left open.
class Grabacion {
 public:
  // REQUIRES: `app` outlives the object; its CnSql is open.
  explicit Grabacion(Aplicacion& app) : app_(app) {}

  // Begins the transaction before the statement is known (the survey import looks its value up
  // inside it).
  void Comenzar();
  // Sends `sentencia` in the transaction begun, beginning one when none is. Success: commits and
  // returns true. Failure: rolls back, appends an error-log entry with `contexto` as its
  // context line and returns false. Throws runtime::VbError only when the transaction cannot
  // begin or commit.
  bool Enviar(const std::string& sentencia, const std::string& contexto);
  // Rolls back the open transaction, if any. A transaction the server already ended (an error
  // that aborts the batch, a conversion error, ends it) is no error.
  void Deshacer();

 private:
  Aplicacion& app_;
  bool abierta_ = false;
};

}  // namespace core
