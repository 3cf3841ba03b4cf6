// The lists the formula windows fill from the database: the numeric fields and the result
// variables of the chosen survey forms, the forms, the stored formulas. Part of
// consolida_formulas; each list is read through the shared recordset Rs1 on CnSql.
#pragma once

#include <string>
#include <vector>

namespace core {
class Aplicacion;
}
namespace ui {
class ListBox;
}

namespace formulas {

// The numeric fields of the forms `ids` (their Arc_Id joined by ", " as TxtIdFormulario holds
// them), each once, by name.
std::string ConsultaCampos(const std::string& ids);
// The result variables of the formulas defined over any of the forms `ids`.
std::string ConsultaVariables(const std::string& ids);

// The pieces of an id list split at ",", as they stand ("3, 7" gives "3" and " 7").
std::vector<std::string> PartirIds(const std::string& ids);

// Clears `lista` and adds one item per row of `consulta`: the text of column `texto`, and as
// item data the value of column `dato` when it is not negative. An empty result leaves the
// list empty. Throws runtime::VbError when the query fails.
void LlenarLista(core::Aplicacion& app, ui::ListBox& lista, const std::string& consulta, int texto,
                 int dato = -1);

}  // namespace formulas
