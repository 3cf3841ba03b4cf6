// The shared intake helpers: period check, DBF connection, literal LIKE patterns, the write in a
// transaction of its own, repaint throttle.
#include "intake/internal/comun.h"

#include <cctype>

#include "core/aplicacion.h"
#include "platform/runtime/conversions.h"
#include "platform/runtime/text.h"
#include "platform/runtime/vb_error.h"
#include "platform/sql/client.h"
#include "platform/ui/ui.h"

namespace intake::internal {

std::string ValidarPeriodo(const std::string& texto) {
  const std::string periodo = runtime::Trim(texto);
  // Only digits: a number such as "2e03" passes a numeric test but would reach the statements
  // as a float in exponent form.
  if (periodo.size() != 4) return "Dato Incorrecto";
  for (char c : periodo) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return "Dato Incorrecto";
  }
  if (runtime::Val(periodo) < 1990) return "Incorrecto el Periodo";
  return "";
}

void AbrirCnDbf(core::Aplicacion& app) {
  if (app.CnDbf.State() != 1) app.CnDbf.Open(core::Aplicacion::kCadenaDbf, "", "", -1);
}

void Cerrar(sql::Recordset& rs) {
  if (rs.State() == sql::adStateOpen) rs.Close();
}

bool Encontrado(const sql::Recordset& rs) { return !(rs.Eof() && rs.Bof()); }

std::string PatronLiteral(const std::string& texto) {
  std::string patron;
  for (char c : texto) {
    if (c == '_' || c == '%' || c == '[') {
      patron += '[';
      patron += c;
      patron += ']';
    } else {
      patron += c;
    }
  }
  return patron;
}

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

Repintado::Repintado(ui::Ui& ui) : ui_(ui), reloj_([] { return std::chrono::steady_clock::now(); }) {}

void Repintado::Pedir() {
  const auto ahora = reloj_();
  if (pintado_ && ahora - ultimo_ < kIntervalo) return;
  pintado_ = true;
  ultimo_ = ahora;
  ui_.DoEvents();
}

void Repintado::Forzar() {
  pintado_ = true;
  ultimo_ = reloj_();
  ui_.DoEvents();
}

}  // namespace intake::internal
