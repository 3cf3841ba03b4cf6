// Sending the generated procedures. The drops and the creations of one pair go in one
// transaction: the server (and the embedded engine) undo DDL on rollback, so a creation that
// fails puts the dropped procedures back.
#include "formulas/procedimientos.h"

#include <set>

#include "core/aplicacion.h"
#include "platform/runtime/vb_error.h"
#include "platform/sql/client.h"

namespace formulas {

Textos PrepararTextos(core::Aplicacion& app, Procedimiento cual, const std::vector<Token>& tokens,
                      int32_t id, Estilo estilo) {
  std::set<std::string> catalogados;
  for (const std::string& base : CamposAConsultar(tokens)) {
    sql::Recordset rs = app.CnSql.Execute(ConsultaTipoCampo(base));
    if (!(rs.Eof() && rs.Bof())) catalogados.insert(base);
    rs.Close();
  }
  return GenerarTextos(cual, tokens, id, estilo, catalogados);
}

Generacion Generar(core::Aplicacion& app, Procedimiento cual, const std::vector<Token>& tokens,
                   int32_t id, Estilo estilo) {
  const std::string contexto = cual == Procedimiento::kCompanias
                                   ? "FrmFormulas (G_Store_Procedure)"
                                   : "FrmFormulas (G_Store_Procedure_Emp)";
  Generacion resultado;
  try {
    const Textos textos = PrepararTextos(app, cual, tokens, id, estilo);
    resultado.mediana = textos.mediana;
    if (!textos.rechazo.empty()) {
      resultado.motivo = textos.rechazo;
      return resultado;
    }
    sql::ExecuteInTransaction(app.CnSql, textos.comandos);
    resultado.exito = true;
  } catch (const runtime::VbError& error) {
    resultado.motivo = "(" + std::to_string(error.Number()) + ") " + error.Description();
    app.RegistrarError(error, contexto);
  }
  return resultado;
}

}  // namespace formulas
