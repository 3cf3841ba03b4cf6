// A real DBF file from tests/data/dbf through the survey import, byte for byte as it came but
// for one text column renamed UNICO (the real files have no company column). How the reader
// decodes real files is tested with the reader; here every value must arrive in SE_NOVEDAD.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "intake/proc_novedades.h"
#include "tests/support/carpeta_aplicacion.h"

namespace intake_test {

using namespace test_support;
namespace {

class ArchivosRealesTest : public VentanaPrueba {};

TEST_F(ArchivosRealesTest, UnaTablaRealSeImportaEntera) {
  // dbase_03.dbf: 14 records; Point_ID (C) becomes the company, 30 more columns of C, N and D.
  std::string bytes = LeerArchivo(std::string(CONSOLIDA_TEST_DATA_DIR) + "/dbf/dbase_03.dbf");
  ASSERT_GT(bytes.size(), 64u);
  bytes.replace(32, 11, std::string("UNICO").append(6, '\0'));  // the first field's name
  EscribirArchivo(carpeta_ / "Datos" / "REAL03_1.dbf", bytes);
  intake::Proc_Novedades form(App());
  Ui().Show(form);
  form.TxtPeriodo.UserEdit("2006");
  form.Proceso.UserClick();

  EXPECT_EQ(Ui().Prompts(), std::vector<std::string>{});
  EXPECT_EQ(EntradasLog(), std::vector<std::string>{});
  EXPECT_EQ(Carpeta("Datos"), std::vector<std::string>{});
  EXPECT_EQ(Filas("Select FormSector, Count(*), Count(Distinct Empresa) From SE_NOVEDAD "
                  "Group By FormSector"),
            std::vector<std::string>{"REAL03|420|14"});
  EXPECT_EQ(Filas("Select Empresa, Campo, Tipo, ValorStr, ValorDbl, ValorDte From SE_NOVEDAD "
                  "Where Empresa In ('0507121', '05071236') And Campo In ('Condition', "
                  "'Date_Visit', 'Max_PDOP', 'Point_ID') Order By Empresa, Campo"),
            (std::vector<std::string>{
                "0507121|Condition|Str|Good|0|01/01/1900",
                "0507121|Date_Visit|Dte|Null|0|12/07/2005",
                "0507121|Max_PDOP|Dbl|Null|5.2|01/01/1900",
                "0507121|Point_ID|Dbl|Null|401|01/01/1900",
                "05071236|Condition|Str|Plugged|0|01/01/1900",
                "05071236|Date_Visit|Dte|Null|0|12/07/2005",
                "05071236|Max_PDOP|Dbl|Null|3.3|01/01/1900",
                "05071236|Point_ID|Dbl|Null|436|01/01/1900",
            }));
}

}  // namespace
}  // namespace intake_test
