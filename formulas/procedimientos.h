// G_Store_Procedure and G_Store_Procedure_Emp: compile a formula into its procedure pairs on the
// program's database. The field types are looked up in the catalogue, the texts built by
// generador.h, and the commands sent through CnSql's Execute in one transaction, so a failed
// generation leaves the procedures that were there before. Part of consolida_formulas; shows no
// message itself: the caller says what happened.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "formulas/formula.h"
#include "formulas/generador.h"

namespace core {
class Aplicacion;
}

namespace formulas {

// How one generator run ended.
struct Generacion {
  bool exito = false;
  // Why it failed: the generator's refusal ("Solamente puede cargar por formula uno de los
  // cuartiles", an operand name the server cannot take ...) or the server's error as
  // "(<number>) <description>". Empty on success.
  std::string motivo;
  // The formula calls a median or quartile.
  bool mediana = false;
};

// The commands generator `cual` would send for formula `id`, after looking up the field types
// on CnSql (reads only; nothing changes). Throws runtime::VbError when a lookup fails.
Textos PrepararTextos(core::Aplicacion& app, Procedimiento cual, const std::vector<Token>& tokens,
                      int32_t id, Estilo estilo);

// Runs generator `cual`: the lookups, then every command of PrepararTextos in one transaction
// on CnSql. A refusal sends nothing. A server error rolls the transaction back (the old
// procedures stay as they were) and writes an error-log entry whose context line is
// "FrmFormulas (G_Store_Procedure)" or "FrmFormulas (G_Store_Procedure_Emp)". Never throws
// runtime::VbError. REQUIRES: CnSql is open and has no transaction of its own open.
Generacion Generar(core::Aplicacion& app, Procedimiento cual, const std::vector<Token>& tokens,
                   int32_t id, Estilo estilo);

// The company-loop pair P<id> and P<id>_T.
inline Generacion G_Store_Procedure(core::Aplicacion& app, const std::vector<Token>& tokens,
                                    int32_t id, Estilo estilo) {
  return Generar(app, Procedimiento::kCompanias, tokens, id, estilo);
}
// The single-company pair P<id>_Emp and P<id>Emp_T.
inline Generacion G_Store_Procedure_Emp(core::Aplicacion& app, const std::vector<Token>& tokens,
                                        int32_t id, Estilo estilo) {
  return Generar(app, Procedimiento::kEmpresa, tokens, id, estilo);
}

}  // namespace formulas
