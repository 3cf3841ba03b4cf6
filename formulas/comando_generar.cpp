// The headless generation of one stored formula.
#include "formulas/comando_generar.h"

#include <optional>
#include <string>

#include "core/aplicacion.h"
#include "formulas/formula_guardada.h"
#include "formulas/procedimientos.h"
#include "platform/runtime/vb_error.h"

namespace formulas {

int FormulaGenerar(core::Aplicacion& app, int32_t id, bool solo_texto, std::ostream& salida,
                   std::ostream& errores) {
  const std::string nombre = NombreProcedimiento(id);
  std::optional<FormulaGuardada> formula;
  try {
    formula = LeerFormula(app.CnSql, id);
  } catch (const runtime::VbError& error) {
    app.RegistrarError(error, "formula generar (LeerFormula)");
    errores << "No se pudo leer la formula " << id << ": (" << error.Number() << ") "
            << error.Description() << "\n";
    return 1;
  }
  if (!formula) {
    errores << "No existe la formula " << id << "\n";
    return 1;
  }
  const Estilo estilo = EstiloDeCodigo(formula->FC_Tipo);

  if (solo_texto) {
    for (Procedimiento cual : {Procedimiento::kCompanias, Procedimiento::kEmpresa}) {
      Textos textos;
      try {
        textos = PrepararTextos(app, cual, formula->tokens, id, estilo);
      } catch (const runtime::VbError& error) {
        errores << "No se pudo consultar el catalogo: (" << error.Number() << ") "
                << error.Description() << "\n";
        return 1;
      }
      if (!textos.rechazo.empty()) {
        errores << textos.rechazo << "\n";
        return 1;
      }
      for (const std::string& comando : textos.comandos) salida << comando << "GO\r\n";
    }
    return 0;
  }

  for (Procedimiento cual : {Procedimiento::kCompanias, Procedimiento::kEmpresa}) {
    const Generacion generacion = Generar(app, cual, formula->tokens, id, estilo);
    if (!generacion.exito) {
      errores << "No se generaron los procedimientos de la formula " << id << " ("
              << (cual == Procedimiento::kCompanias ? nombre : nombre + "_Emp")
              << "): " << generacion.motivo << "\n";
      return 1;
    }
  }
  salida << "Se ha Generado la Formula " << id << ": " << nombre << ", " << nombre << "_T, "
         << nombre << "_Emp, " << nombre << "Emp_T\n";
  return 0;
}

}  // namespace formulas
