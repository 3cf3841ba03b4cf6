// What the survey import writes for each kind of DBF column: the type name of its catalogue row
// in SE_ESTRUCTURAS and the value tag and value column of its SE_NOVEDAD row. A logical column
// has a type the catalogue does not know: empty name, empty tag, no value column filled. An
// empty date goes as '', which the server reads as its day 0.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "intake/proc_novedades.h"
#include "tests/support/carpeta_aplicacion.h"

namespace intake_test {

using namespace test_support;
namespace {

using CatalogoTipos = VentanaPrueba;

TEST_F(CatalogoTipos, CadaTipoDeColumnaTieneSuNombreYSuEtiqueta) {
  test_support::DbfTable tabla;
  tabla.flavor = test_support::DbfFlavor::kVisualFoxPro;
  tabla.fields = {{"UNICO", 'C', 11},  {"TEXTO", 'C', 8},    {"ENTERO", 'N', 5, 0},
                  {"DECIMAL", 'N', 10, 2}, {"CONTADOR", 'I'}, {"FECHA", 'D'},
                  {"MARCA", 'L'}};
  tabla.records = {{{"30500000001", "uno", "42", "3.25", "7", "20240131", "T"}}};
  EscribirDbf("ENCUES_1.dbf", tabla);
  intake::Proc_Novedades form(App());
  Ui().Show(form);
  form.TxtPeriodo.UserEdit("2005");
  form.Proceso.UserClick();

  EXPECT_EQ(Filas("Select Est_Campo, Est_Tipo From SE_ESTRUCTURAS Order By Est_Id"),
            (std::vector<std::string>{"UNICO|Char", "TEXTO|Char", "ENTERO|Numeric",
                                      "DECIMAL|Numeric", "CONTADOR|Integer", "FECHA|DateTime",
                                      "MARCA|"}));
  EXPECT_EQ(Filas("Select Campo, Tipo, ValorStr, ValorInt, ValorDbl, ValorDte From SE_NOVEDAD "
                  "Order By IdNovedad"),
            (std::vector<std::string>{
                "TEXTO|Str|uno|0|0|01/01/1900",
                "ENTERO|Dbl|Null|0|42|01/01/1900",
                "DECIMAL|Dbl|Null|0|3.25|01/01/1900",
                "CONTADOR|Int|Null|7|0|01/01/1900",
                "FECHA|Dte|Null|0|0|31/01/2024",
                "MARCA||Null|0|0|01/01/1900",
            }));
}

}  // namespace
}  // namespace intake_test
