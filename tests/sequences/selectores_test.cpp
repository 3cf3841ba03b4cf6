// The list pickers: what each lists and hands back, the roll columns with their stored numbers,
// and that "Salir" (or no form to list for) changes nothing.
#include <gtest/gtest.h>

#include <sstream>

#include "tests/sequences/secuenciador_prueba.h"

namespace sequences_test {
namespace {

using Selectores = SecuenciadorPrueba;

std::string Items(const ui::ListBox& lista) {
  std::string items;
  for (int i = 0; i < lista.ListCount(); ++i) items += lista.List(i) + "=" + std::to_string(lista.ItemData(i)) + " ";
  return items;
}

TEST_F(Selectores, CadaSelectorListaSuConsultaYDevuelveElElegido) {
  Sql("INSERT INTO SE_CABSECUENCIA (SC_NOMBRE, SC_IDARC) VALUES('Anual', 2)");
  Sql("INSERT INTO SE_CABSECUENCIA (SC_NOMBRE, SC_IDARC) VALUES('Mensual', 1)");
  Sql("INSERT INTO SE_CABSECUENCIA (SC_NOMBRE, SC_IDARC) VALUES('Semestral', 1)");
  const struct {
    const char *nombre, *caption;
    std::string consulta, items;
  } casos[] = {
      {"FrmBuModSec", "Secuencias", "SELECT * FROM SE_CABSECUENCIA", "Anual=1 Mensual=2 Semestral=3 "},
      {"FrmBuCoModSec", "Secuencias", "SELECT * FROM SE_CABSECUENCIA", "Anual=1 Mensual=2 Semestral=3 "},
      {"FrmBuForm", "Formularios", "Select * FROM SE_ARCHIVOS", "ENCUES_1=1 INDUST_1=2 "},
      {"FrmBuForm1", "Form1", "Select * FROM SE_ARCHIVOS", "ENCUES_1=1 INDUST_1=2 "},
      {"FrmBuSec", "Secuencias", "SELECT * FROM SE_CABSECUENCIA WHERE SC_IDARC = 1", "Mensual=2 Semestral=3 "},
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.nombre);
    auto& picker = formulas::VentanaRegistrada<sequences::Selector>(App(), caso.nombre);
    for (const bool aceptar : {true, false}) {
      enviadas_->Olvidar();
      if (auto* por_formulario = dynamic_cast<sequences::FrmBuSec*>(&picker)) por_formulario->Preparar(" 1");
      Ui().QueueModal(caso.nombre, [&](ui::Form&) {
        EXPECT_EQ(picker.Caption() + Items(picker.lstFormularios) + std::to_string(picker.Width() + picker.Height()),
                  caso.caption + caso.items + "9060");
        picker.lstFormularios.UserClick(1);
        (aceptar ? picker.CmdAceptar : picker.CmdSalir).UserClick();
      });
      Ui().ShowModal(picker);
      EXPECT_EQ(Enviadas(), std::vector<std::string>{caso.consulta});
      std::string primero, segundo;
      std::istringstream(caso.items) >> primero >> segundo;
      const auto elegido = picker.Elegido();
      EXPECT_EQ(elegido ? elegido->texto + "=" + std::to_string(elegido->dato) : "", aceptar ? segundo : "");
    }
  }
  // Without a chosen form the run's picker asks nothing.
  auto& por_formulario = formulas::VentanaRegistrada<sequences::FrmBuSec>(App(), "FrmBuSec");
  enviadas_->Olvidar();
  por_formulario.Preparar("");
  EXPECT_EQ(Enviadas().size() * 100 + por_formulario.lstFormularios.ListCount(), 0u);

  // The roll columns carry their stored numbers; an empty roll lists none.
  auto& muestra = formulas::VentanaRegistrada<sequences::FrmBMuestra>(App(), "FrmBMuestra");
  muestra.Load();
  EXPECT_TRUE(Items(muestra.lstFormularios).starts_with("Unico=-1 CUIT=0 Razon=1 "));
  EXPECT_EQ(muestra.lstFormularios.ListCount(), App().CnSql.Execute("SELECT * FROM SE_MUESTRA_PADRON").Fields().Count());
  muestra.Unload();
  Sql("DELETE FROM SE_MUESTRA_PADRON");
  muestra.Load();
  EXPECT_EQ(muestra.lstFormularios.ListCount(), 0);
}

TEST_F(Selectores, SalirNoCambiaNadaEnElEditor) {
  FrmSecuenciador& e = *editor_;
  ElegirEn("FrmBuModSec", "");
  e.CmdModificar.UserClick();
  EXPECT_TRUE(e.ModoEdicion() == ' ' && e.CmdModificar.Enabled() && !e.CmdEliSec.Enabled());
  e.CmdCrear.UserClick();
  e.txtSecuencia.UserEdit("Anual");
  ElegirEn("FrmBuForm", "INDUST_1");
  e.CmdAddForm.UserClick();
  ElegirEn("FrmBuForm", "");
  e.CmdAddForm.UserClick();
  e.CmdSecuencia.UserClick();
  e.OptCondicion.UserClick();
  ElegirEn("FrmBMuestra", "Estado");
  e.CmdMuestra.UserClick();
  ElegirEn("FrmBMuestra", "");
  e.CmdMuestra.UserClick();
  EXPECT_EQ(e.txtFormulario.Text() + e.TxtIdFormulario.Text() + " " + e.TxtVar1.Text() + e.txtNMuestra.Text() +
                e.txtIdMuestra.Text(),
            "INDUST_12 EstadoM10");
}

}  // namespace
}  // namespace sequences_test
