// The shared intake helpers: period check, DBF connection, literal LIKE patterns.
#include "intake/internal/comun.h"

#include <cctype>

#include "core/aplicacion.h"
#include "platform/runtime/conversions.h"
#include "platform/runtime/text.h"
#include "platform/sql/client.h"

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

}  // namespace intake::internal
