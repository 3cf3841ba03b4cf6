// The two mappings of a column's ADO type code: to the type name the structure catalogue stores
// (Est_Tipo) and to the tag that picks the value column of SE_NOVEDAD (Int, Dbl, Dte, Str, Var).
// Shared by the catalogue window, the survey import and whoever else reads the catalogue.
// Pure functions; an unlisted code gives the empty text, never an error.
#pragma once

#include <string>

namespace intake {

// "SmallInt" for 2, "Integer" for 3 ... "VarChar" for 200; "" for any other code.
std::string NombreTipo(int tipo);

// The value tag of a type code: "Int", "Dbl", "Dte", "Str" or "Var"; "" for any other code.
std::string SufijoTipo(int tipo);

}  // namespace intake
