// Helpers the intake windows share: the check of the year typed in TxtPeriodo, the reopening of
// the DBF connection, the text and number forms in which record values enter SQL, and the
// throttle that lets the progress labels repaint without paying for a repaint per value.
// Internal to consolida_intake; never shows a window and never writes to the database.
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

// Rolls back the transaction `abierta` says is open on `cn` and clears the flag. A transaction
// the server already ended (an error that aborts the batch ends it) is no error.
void Deshacer(sql::Connection& cn, bool& abierta);

// True when `nombre` can be used as a column name in generated SQL: a letter or underscore,
// then letters, digits and underscores.
bool EsIdentificador(const std::string& nombre);

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
