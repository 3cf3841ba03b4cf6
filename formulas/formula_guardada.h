// A stored formula read back from SE_CABFORMULA and SE_FORMULA with the statements the editor's
// "Modificar" sends. Part of consolida_formulas; reads only.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "formulas/formula.h"

namespace sql {
class Connection;
}

namespace formulas {

struct FormulaGuardada {
  int32_t Id_FormCab = 0;
  std::string FC_Nombre;
  std::string FC_NomVar;
  std::string FC_Formula;
  std::string FC_Tipo;
  int16_t FC_CdorVResul = 0;
  // The token rows in Id_Formula order (no slot 0).
  std::vector<Token> tokens;
};

// The header query: "Select * from SE_CABFORMULA Where Id_formCab = <id>".
std::string ConsultaCabecera(int32_t id);
// The token query: "SELECT * FROM SE_FORMULA Where Id_FormCab = <id> ORDER BY Id_Formula".
std::string ConsultaTokens(int32_t id);

// Reads formula `id` on `cn`; nullopt when it has no header row. NULL columns read as "" (and
// a NULL counter as 0). Throws runtime::VbError when a query fails.
std::optional<FormulaGuardada> LeerFormula(sql::Connection& cn, int32_t id);

}  // namespace formulas
