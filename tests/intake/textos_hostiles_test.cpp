// Hostile text in the intake windows' boxes (the year of both imports, the name and description
// of a catalogued column): stored exactly as the box keeps it or refused; none runs as a statement.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "intake/frm_padron.h"
#include "intake/proc_carga_nov.h"
#include "intake/proc_novedades.h"
#include "tests/intake/tablas_de_prueba.h"
#include "tests/support/carpeta_aplicacion.h"
#include "tests/support/textos_hostiles.h"

namespace intake_test {

using namespace test_support;
namespace {

class TextosHostilesIntakeTest : public VentanaPrueba {
 protected:
  // Describes (or renames) column P001 of ENCUES_1 in the catalogue window.
  void Catalogo(const std::string& nombre, const std::string& descripcion) {
    App().CnSql.Execute("INSERT INTO SE_ARCHIVOS (Arc_Nombre, Arc_Fecha) VALUES('ENCUES_1', '01/02/2005')");
    App().CnSql.Execute("INSERT INTO SE_ESTRUCTURAS (Est_IdArchivo, Est_Campo, Est_Tipo, Est_Fecha) "
                        "Values(1,'P001','Char','01/02/2005')");
    intake::Proc_CargaNov form(App());
    Ui().Show(form);
    form.LstForm.UserDblClick(0);
    form.MFGField.UserClick(1, 0);
    form.Command1.UserClick();
    form.TxtCampo.UserEdit(nombre);
    form.txtDesc.UserEdit(descripcion);
    form.cmdActualiza.UserClick();
  }
};

TEST_F(TextosHostilesIntakeTest, CadaCajaGuardaElTextoExactoOLoRechaza) {
  struct Caja {
    const char* nombre;
    std::function<void(const std::string&)> escribir;
    const char* consulta;  // reads back what was stored; nullptr: nothing is ever stored
    std::vector<const char*> esperado;  // per text (one: for all): "guarda", "log" or the message
  };
  const std::vector<Caja> cajas = {
      {"periodo de novedades",
       [this](const std::string& texto) {
         EscribirDbf("ENCUES_1.dbf", Encuesta());
         intake::Proc_Novedades form(App());
         Ui().Show(form);
         form.TxtPeriodo.UserEdit(texto);
         form.Proceso.UserClick();
       },
       nullptr, {"Dato Incorrecto"}},
      {"anio del padron",
       [this](const std::string& texto) {
         EscribirDbf("Padron.dbf", Padron({Completa()}));
         intake::FrmPadron form(App());
         Ui().Show(form);
         form.TxtPeriodo.UserEdit(texto);
         form.Command1.UserClick();
       },
       nullptr, {"Dato Incorrecto"}},
      {"descripcion de columna",
       [this](const std::string& texto) { Catalogo("P001", texto); },
       "Select Est_Descripcion From SE_ESTRUCTURAS",
       {"guarda", "guarda", "guarda", "guarda", "guarda", "log", "guarda"}},
      {"nombre de columna",
       [this](const std::string& texto) { Catalogo(texto, "d"); },
       "Select Est_Campo From SE_ESTRUCTURAS", {"No se pudo actualizar"}},
  };
  const std::vector<TextoHostil> textos = TextosHostiles();
  for (const Caja& caja : cajas) {
    for (size_t i = 0; i < textos.size(); ++i) {
      SCOPED_TRACE(std::string(caja.nombre) + ", " + textos[i].caso);
      TearDown();
      SetUp();
      App().CnSql.Execute(kTablaTestigo);
      caja.escribir(textos[i].texto);
      using Textos = std::vector<std::string>;
      const std::string esperado = caja.esperado[caja.esperado.size() == 1 ? 0 : i];
      const bool guarda = esperado == "guarda";
      EXPECT_EQ(Filas("SELECT COUNT(*) FROM x"), Textos{"0"});
      if (guarda) {
        EXPECT_EQ(Filas(caja.consulta), Textos{textos[i].guardado});
      } else if (caja.consulta) {
        EXPECT_NE(Filas(caja.consulta), Textos{textos[i].guardado});
      }
      EXPECT_EQ(Ui().Prompts(), guarda || esperado == "log" ? Textos{} : Textos{esperado});
      EXPECT_EQ(EntradasLog().size(), esperado == "log" ? 1u : 0u);
    }
  }
}

}  // namespace
}  // namespace intake_test
