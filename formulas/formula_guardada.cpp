// Reading a stored formula.
#include "formulas/formula_guardada.h"

#include "platform/runtime/conversions.h"
#include "platform/sql/client.h"

namespace formulas {
namespace {

std::string Texto(const sql::Recordset& rs, const char* columna) {
  return runtime::JoinText(rs(columna).Value());
}

}  // namespace

std::string ConsultaCabecera(int32_t id) {
  return "Select * from SE_CABFORMULA Where Id_formCab = " + std::to_string(id);
}

std::string ConsultaTokens(int32_t id) {
  return "SELECT * FROM SE_FORMULA Where Id_FormCab = " + std::to_string(id) + " ORDER BY Id_Formula";
}

std::optional<FormulaGuardada> LeerFormula(sql::Connection& cn, int32_t id) {
  sql::Recordset cabecera = cn.Execute(ConsultaCabecera(id));
  if (cabecera.Eof()) return std::nullopt;
  FormulaGuardada formula;
  formula.Id_FormCab = id;
  formula.FC_Nombre = Texto(cabecera, "FC_Nombre");
  formula.FC_NomVar = Texto(cabecera, "FC_NomVar");
  formula.FC_Formula = Texto(cabecera, "FC_Formula");
  formula.FC_Tipo = Texto(cabecera, "FC_Tipo");
  const runtime::Valor contador = cabecera("FC_CdorVResul").Value();
  formula.FC_CdorVResul = contador.IsNull() ? 0 : runtime::CInt(contador);
  cabecera.Close();

  sql::Recordset filas = cn.Execute(ConsultaTokens(id));
  for (; !filas.Eof(); filas.MoveNext()) {
    formula.tokens.push_back({Texto(filas, "FM_Dato"), Texto(filas, "FM_Tipo"),
                              Texto(filas, "FM_FtTipo"), Texto(filas, "FM_FtDato")});
  }
  filas.Close();
  return formula;
}

}  // namespace formulas
