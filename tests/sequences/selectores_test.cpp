// The list pickers: what each lists, and that "Salir" (or no form to list for) changes nothing;
// the editor's header checks before the line area opens.
#include <gtest/gtest.h>

#include "tests/sequences/secuenciador_prueba.h"

namespace sequences_test {
namespace {

using Selectores = SecuenciadorPrueba;

// The pickers of the forms and of the sequence to modify are worked through the editor's and the
// runner's tests; here the lists no other test reads: every sequence for the listing and those
// of one form for a run.
TEST_F(Selectores, LasSecuenciasTodasOLasDeUnFormulario) {
  Sql("INSERT INTO SE_CABSECUENCIA (SC_NOMBRE, SC_IDARC) VALUES('Anual', 2), ('Mensual', 1), ('Semestral', 1)");
  const auto lista = [](sequences::Selector& picker) {
    std::string visto = picker.Caption() + ":";
    for (int i = 0; i < picker.lstFormularios.ListCount(); ++i) {
      visto += " " + picker.lstFormularios.List(i) + "=" + std::to_string(picker.lstFormularios.ItemData(i));
    }
    picker.Unload();
    return visto;
  };
  auto& todas = formulas::VentanaRegistrada<sequences::Selector>(App(), "FrmBuCoModSec");
  todas.Load();
  EXPECT_EQ(lista(todas), "Secuencias: Anual=1 Mensual=2 Semestral=3");
  auto& por_formulario = formulas::VentanaRegistrada<sequences::FrmBuSec>(App(), "FrmBuSec");
  por_formulario.Preparar(" 1");
  EXPECT_EQ(lista(por_formulario), "Secuencias: Mensual=2 Semestral=3");
  // Without a chosen form the run's picker asks nothing; an empty roll lists no column.
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
