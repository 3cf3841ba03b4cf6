// The formula pickers: the survey-form picker of "..." (appending while creating, replacing
// the formula's own forms while modifying), the formula picker of "Modificar" (what it lists is
// worked in the persistence tests), the formula viewer of the sequence editor, and "Salir",
// which changes nothing in the window that asked.
#include <gtest/gtest.h>

#include "formulas/frm_m_formula.h"
#include "tests/formulas/editor_prueba.h"

namespace formulas_test {
namespace {

using formulas::FrmBFormula;
using formulas::FrmBFormulario;
using SelectoresTest = EditorPrueba;

TEST_F(SelectoresTest, ElegirFormulariosAgregaAlCrearYReemplazaAlModificarYSalirNoCambiaNada) {
  const auto formularios = [this] { return editor_->TxtFormulario.Text() + "|" + editor_->TxtIdFormulario.Text(); };
  editor_->CmdCrear.UserClick();
  ElegirFormularios({"ENCUES_1"});
  EXPECT_EQ(Enviadas(), (Textos{"Select * FROM SE_ARCHIVOS"}));
  ElegirFormularios({"INDUST_1"});
  EXPECT_EQ(formularios(), "ENCUES_1, INDUST_1|1, 2");
  // "Salir" leaves both boxes as they were.
  Ui().QueueModal("FrmBFormulario", [](ui::Form& form) {
    auto& picker = dynamic_cast<FrmBFormulario&>(form);
    picker.lstFormularios.UserClick(1);
    picker.CmdSalir.UserClick();
  });
  editor_->CmdAddForm.UserClick();
  EXPECT_EQ(formularios(), "ENCUES_1, INDUST_1|1, 2");
  EXPECT_FALSE(App().Ventana("FrmBFormulario")->Loaded());

  // "Modificar": "Aceptar" without a choice keeps the picker open, "Salir" changes nothing.
  editor_->cmdCancelar.UserClick();
  FormulaExistente("Total ventas", "TOTAL", 2);
  Ui().QueueModal("FrmBFormula", [](ui::Form& form) {
    auto& picker = dynamic_cast<FrmBFormula&>(form);
    picker.Command1.UserClick();
    EXPECT_TRUE(picker.Visible());
    picker.lstFormula.UserClick(0);
    picker.Command2.UserClick();
  });
  editor_->CmdModif.UserClick();
  EXPECT_EQ(editor_->txtIdModificacion.Text() + editor_->txtNombre.Text(), "");
  EXPECT_TRUE(editor_->CmdCrear.Enabled() && editor_->CmdModif.Enabled() && !editor_->CmdEliForm.Enabled());
  // Modifying: the formula's forms come selected and the choice replaces them.
  Modificar("Total ventas (TOTAL)");
  ASSERT_EQ(formularios(), "INDUST_1|2");
  Ui().QueueModal("FrmBFormulario", [](ui::Form& form) {
    auto& picker = dynamic_cast<FrmBFormulario&>(form);
    EXPECT_FALSE(picker.lstFormularios.Selected(0));
    EXPECT_TRUE(picker.lstFormularios.Selected(1));
    picker.lstFormularios.UserClick(0);
    picker.CmdAceptar.UserClick();
  });
  editor_->CmdAddForm.UserClick();
  EXPECT_EQ(formularios(), "ENCUES_1, INDUST_1|1, 2");
}

// The viewer shows the formula of its key; without a key it asks nothing and shows nothing.
TEST_F(SelectoresTest, ElVisorMuestraLaFormulaDeSuClave) {
  FormulaExistente("Margen", "MARGEN", 1);
  formulas::FrmMFormula& visor = formulas::VentanaRegistrada<formulas::FrmMFormula>(App(), "FrmMFormula");
  Textos vistos;
  enviadas_->Olvidar();
  for (const char* clave : {"  ", "1"}) {
    visor.Load();
    visor.txtIdCab.SetText(clave);
    Ui().QueueModal("FrmMFormula", [&](ui::Form& form) {
      vistos.push_back(form.Caption() + "|" + visor.TxtFormula.Text());
      visor.Command1.UserClick();
    });
    Ui().ShowModal(visor);
    EXPECT_FALSE(visor.Loaded());
  }
  EXPECT_EQ(Enviadas(),
            (Textos{"SELECT FC_Formula, FC_Nombre + '(' + FC_NomVar + ')' AS Nombre FROM SE_CABFORMULA WHERE Id_formCab = 1"}));
  EXPECT_EQ(vistos, (Textos{"Formulas|Formula", "Margen(MARGEN)|VENTAS"}));
}

}  // namespace
}  // namespace formulas_test
