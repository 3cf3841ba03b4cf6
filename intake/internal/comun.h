// Helpers the intake windows share: the check of the year typed in TxtPeriodo, the reopening of
// the DBF connection, the lookup of a name with LIKE, the write of one value in a transaction of
// its own, and the throttle that lets the progress labels repaint without paying for a repaint
// per value. Internal to consolida_intake; never shows a window.
#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "platform/runtime/valor.h"

namespace core {
class Aplicacion;
}
namespace sql {
class Connection;
class Recordset;
}
namespace ui {
class Ui;
}

namespace intake::internal {

// The message that refuses a year typed as `texto`, or "" when it is accepted: blanks around
// are ignored; anything but exactly four digits gives "Dato Incorrecto", a year before 1990
// "Incorrecto el Periodo".
std::string ValidarPeriodo(const std::string& texto);

// Opens CnDbf again when an earlier import closed it. Throws runtime::VbError when it cannot.
void AbrirCnDbf(core::Aplicacion& app);

// Closes a shared recordset when it is open (each user closes it before reopening it).
void Cerrar(sql::Recordset& rs);

// True when a lookup found a row (the result is not both at EOF and at BOF).
bool Encontrado(const sql::Recordset& rs);

// The LIKE pattern that matches `texto` literally: "_", "%" and "[" each in brackets
// ("ENCUES_1" gives "ENCUES[_]1"), so a name never matches another one through a wildcard.
// The comparison keeps the server's rules otherwise (case and trailing blanks do not count).
std::string PatronLiteral(const std::string& texto);

// The write every import makes per value (or per company): its statement sent on CnSql in a
// transaction of its own. A statement that fails is rolled back and logged, and the import goes
// on; an error anywhere else goes to the caller, whose handler calls Deshacer so that no
// transaction is left open.
class Grabacion {
 public:
  // REQUIRES: `app` outlives the object; its CnSql is open.
  explicit Grabacion(core::Aplicacion& app) : app_(app) {}

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
  core::Aplicacion& app_;
  bool abierta_ = false;
};

// Lets the screen repaint (Ui::DoEvents) at most once per interval while a long operation sets
// its progress labels on every step. The labels are set before Pedir is called, so whatever is
// painted shows the step in hand.
class Repintado {
 public:
  using Reloj = std::function<std::chrono::steady_clock::time_point()>;
  static constexpr std::chrono::milliseconds kIntervalo{100};

  explicit Repintado(ui::Ui& ui);
  // Replaces the clock (tests and benchmarks); the default is the steady clock.
  void UsarReloj(Reloj reloj) { reloj_ = std::move(reloj); }
  // Starts an operation: the next Pedir paints.
  void Comenzar() { pintado_ = false; }
  // Paints when nothing was painted since Comenzar or the interval has passed since the last paint.
  void Pedir();
  // Paints now (the end of an operation).
  void Forzar();

 private:
  ui::Ui& ui_;
  Reloj reloj_;
  bool pintado_ = false;
  std::chrono::steady_clock::time_point ultimo_{};
};

}  // namespace intake::internal
