// The list pickers: what each lists, and that "Salir" (or no form to list for) changes nothing;
// the editor's header checks before the line area opens.
#include <gtest/gtest.h>

#include "tests/sequences/secuenciador_prueba.h"

namespace sequences_test {
namespace {

using Selectores = SecuenciadorPrueba;

TEST_F(Selectores, CadaSelectorListaLoSuyoYDevuelveElElegido) {
  Sql("INSERT INTO SE_CABSECUENCIA (SC_NOMBRE, SC_IDARC) VALUES('Anual', 2)\r\n"
      "INSERT INTO SE_CABSECUENCIA (SC_NOMBRE, SC_IDARC) VALUES('Mensual', 1)\r\n"
      "INSERT INTO SE_CABSECUENCIA (SC_NOMBRE, SC_IDARC) VALUES('Semestral', 1)");
  const struct {
    const char* nombre;
    std::string items;  // the caption, then each item with the data it hands back
  } casos[] = {
      {"FrmBuModSec", "Secuencias: Anual=1 Mensual=2 Semestral=3"},
      {"FrmBuCoModSec", "Secuencias: Anual=1 Mensual=2 Semestral=3"},
      {"FrmBuForm", "Formularios: ENCUES_1=1 INDUST_1=2"},
      {"FrmBuForm1", "Form1: ENCUES_1=1 INDUST_1=2"},
      {"FrmBuSec", "Secuencias: Mensual=2 Semestral=3"},
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.nombre);
    auto& picker = formulas::VentanaRegistrada<sequences::Selector>(App(), caso.nombre);
    if (auto* por_formulario = dynamic_cast<sequences::FrmBuSec*>(&picker)) por_formulario->Preparar(" 1");
    if (!picker.Loaded()) picker.Load();
    std::string visto = picker.Caption() + ":";
    const ui::ListBox& lista = picker.lstFormularios;
    for (int i = 0; i < lista.ListCount(); ++i) {
      visto += " " + lista.List(i) + "=" + std::to_string(lista.ItemData(i));
    }
    EXPECT_EQ(visto, caso.items);
    picker.Unload();
  }
  // Without a chosen form the run's picker asks nothing; an empty roll lists no column.
  auto& por_formulario = formulas::VentanaRegistrada<sequences::FrmBuSec>(App(), "FrmBuSec");
  enviadas_->Olvidar();
  por_formulario.Preparar("");
  EXPECT_EQ(Enviadas().size() * 100 + por_formulario.lstFormularios.ListCount(), 0u);
  Sql("DELETE FROM SE_MUESTRA_PADRON");
  auto& muestra = formulas::VentanaRegistrada<sequences::FrmBMuestra>(App(), "FrmBMuestra");
  muestra.Load();
  EXPECT_EQ(muestra.lstFormularios.ListCount(), 0);
}

TEST_F(Selectores, SalirNoCambiaNadaEnElEditorYElEncabezadoSeConfirmaAntesDeLasLineas) {
  FrmSecuenciador& e = *editor_;
  ElegirEn("FrmBuModSec", "");
  e.CmdModificar.UserClick();
  EXPECT_TRUE(e.ModoEdicion() == ' ' && e.CmdModificar.Enabled() && !e.CmdEliSec.Enabled());
  e.CmdCrear.UserClick();
  e.CmdSecuencia.UserClick();
  e.txtSecuencia.UserEdit("Anual");
  e.CmdSecuencia.UserClick();
  EXPECT_EQ(Ui().Prompts(), (Textos{"Debera Ingresar un nombre para la Secuencia", "Debera Ingresar un Formulario"}));
  EXPECT_FALSE(e.LineaAbierta());
  ElegirEn("FrmBuForm", "INDUST_1");
  e.CmdAddForm.UserClick();
  ElegirEn("FrmBuForm", "");
  e.CmdAddForm.UserClick();
  e.CmdSecuencia.UserClick();
  EXPECT_TRUE(e.LineaAbierta());
  Ui().QueueModal("FrmSecValor", [](ui::Form& form) {  // INDUST_1 has no formula
    EXPECT_EQ(dynamic_cast<sequences::FrmSecValor&>(form).LstVariable.ListCount(), 0);
    form.UserClose();
  });
  e.Command2[0].UserClick();
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
