// The database lists of the formula windows.
#include "formulas/listas.h"

#include "core/aplicacion.h"
#include "platform/runtime/conversions.h"
#include "platform/sql/client.h"
#include "platform/ui/controls.h"

namespace formulas {

std::string ConsultaCampos(const std::string& ids) {
  return "Select distinct(Est_Campo) as Est_Campo FROM se_estructuras WHERE Est_IdArchivo In(" + ids +
         ") and Est_Tipo in('Double','Numeric','SmallInt','Integer','Single','Currency','Decimal',"
         "'TinyInt','BigInt','Binary') order by 1";
}

std::string ConsultaVariables(const std::string& ids) {
  return "SELECT distinct(CF.ID_FORMCAB), CF.FC_NomVar FROM SE_CABFORMULA CF "
         "Inner Join SE_FORMULA_ARCHIVO FA "
         "ON CF.id_formCab = FA.Id_FormCab "
         "where FA.Id_Arc in( " +
         ids + ") order by CF.FC_NomVar";
}

std::vector<std::string> PartirIds(const std::string& ids) {
  std::vector<std::string> partes;
  size_t desde = 0;
  for (size_t coma = ids.find(','); coma != std::string::npos; coma = ids.find(',', desde)) {
    partes.push_back(ids.substr(desde, coma - desde));
    desde = coma + 1;
  }
  partes.push_back(ids.substr(desde));
  return partes;
}

void LlenarLista(core::Aplicacion& app, ui::ListBox& lista, const std::string& consulta, int texto,
                 int dato) {
  lista.Clear();
  sql::Recordset& rs = app.Rs1();
  if (rs.State() == sql::adStateOpen) rs.Close();
  rs.Open(consulta, app.CnSql);
  for (; !rs.Eof(); rs.MoveNext()) {
    lista.AddItem(runtime::JoinText(rs(texto).Value()));
    if (dato >= 0) lista.SetItemData(lista.NewIndex(), static_cast<long>(runtime::CLng(rs(dato).Value())));
  }
  rs.Close();
}

}  // namespace formulas
