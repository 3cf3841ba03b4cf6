// The function buttons and their two dialogs: what a dialog shows and its picker allows, the
// argument rules, the duplicate check, POWER's pair, ROUND's ",0)", and what a dialog closed
// without a choice leaves behind (nothing).
#include <gtest/gtest.h>

#include "tests/formulas/editor_prueba.h"

namespace formulas_test {
namespace {

using formulas::FrmPreFormula;
using formulas::FrmSubFormula;
using FuncionesTest = EditorPrueba;

// A dialog closed without "Acepta" leaves no trace, not even the previous call's argument to be
// tested again (it would be refused as a duplicate) or counted.
TEST_F(FuncionesTest, ElDialogoMuestraLaFuncionYCerrarloNoAgregaNada) {
  const struct {
    ui::CommandButton& boton;
    const char* funcion;
    bool constantes;
  } casos[] = {{editor_->CmdSum, "SUM|SUM( campo )|campo", false},
               {editor_->CmdSQRT, "SQRT|SQRT(float_expression)|float_expression", true}};
  FormulaExistente("Total ventas", "TOTAL", 1);
  Abrir("Prueba", "PRUEBA");
  Pulsar({"F:CmdSum:V:TOTAL", "+"});
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.funcion);
    bool visto = false;
    Ui().QueueModal("FrmPreFormula", [&](ui::Form& form) {
      auto& dialogo = dynamic_cast<FrmPreFormula&>(form);
      EXPECT_EQ(dialogo.Caption() + "|" + dialogo.lblFormula.Caption() + "|" + dialogo.lblVar.Caption(), caso.funcion);
      Ui().QueueModal("FrmSubFormula", [&](ui::Form& f) {
        auto& picker = dynamic_cast<FrmSubFormula&>(f);
        EXPECT_TRUE(picker.FmOpcion.Visible());
        EXPECT_TRUE(picker.LstCampos.Reachable());
        for (const ui::CommandButton* tecla : {&picker.cmdConstantes[0], &picker.cmdConstantes[9], &picker.CmdComa}) {
          EXPECT_EQ(tecla->Enabled(), caso.constantes) << tecla->Name();
        }
        picker.OptVariable.UserClick();
        EXPECT_FALSE(picker.LstCampos.Reachable());
        ASSERT_TRUE(picker.LstVariable.Reachable());
        picker.LstVariable.UserClick(0);
        picker.cmdlimpiar.UserClick();
        EXPECT_EQ(picker.txtDisplay.Text(), "");
        picker.UserKeyDown(&picker.txtDisplay, 101);  // a digit key, as its button
        EXPECT_EQ(picker.txtDisplay.Text(), caso.constantes ? "5" : "");
        visto = true;
        picker.UserClose();
      });
      dialogo.CmdFormula.UserClick();
      dialogo.UserClose();
    });
    Ui().ClearMessages();
    caso.boton.UserClick();
    EXPECT_TRUE(visto);
    EXPECT_EQ(Tokens(), "SUM(TOTAL)~F~Va~TOTAL| + ~O");
    EXPECT_TRUE(Ui().Prompts().empty());
    EXPECT_EQ(editor_->Trabajo().cdor_v_resul, 1);
  }
  Pulsar({"<", "<"});
  EXPECT_EQ(editor_->Trabajo().cdor_v_resul, 0);
}

TEST_F(FuncionesTest, ArgumentosDuplicadosPotenciaYRedondeo) {
  FormulaExistente("Total ventas", "TOTAL", 1);
  const std::string kDuplicado = "Ya existe este Valor de Resultado/Campo que utiliza en la funcion\r\npara esta formula";
  const struct {
    const char* nombre;
    Textos acciones;
    std::string tokens;
    Textos mensajes;
    int contador;
  } casos[] = {
      {"SUM over a field already in the formula is refused; VAR is not tested",
       {"C:VENTAS", "+", "F:CmdSum:C:VENTAS", "F:CmdVar:C:VENTAS"}, "VENTAS~C| + ~O|VAR(VENTAS)~F~Ca~VENTAS",
       {kDuplicado}, 0},
      {"a function's argument blocks the same field and variable afterwards",
       {"F:CmdAvg:V:TOTAL", "-", "V:TOTAL", "F:CmdStdev:V:TOTAL", "F:CmdExp:V:TOTAL"},
       "AVG(TOTAL)~F~Va~TOTAL| - ~O|EXP(TOTAL)~F~Va~TOTAL", {"Ya existe Valor de Resultado en la formula", kDuplicado},
       2},
      {"ROUND over a typed decimal, POWER of a constant to a decimal exponent",
       {"F:CmdRound:N:3.7", "+", "F:CmdPower:N:2,N:0.5"}, "ROUND(3.7,0)~F~Co~3.7| + ~O|POWER(2,0.5)~F~Co~2", {}, 0},
      {"a constant may stand twice", {"4", "*", "F:CmdSQRT:N:4", "+", "F:CmdAbs:N:4"},
       "4~N| * ~O|SQRT(4)~F~Co~4| + ~O|ABS(4)~F~Co~4", {}, 0},
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.nombre);
    Abrir("Prueba", "PRUEBA");
    Ui().ClearMessages();
    Pulsar(caso.acciones);
    EXPECT_EQ(Tokens(), caso.tokens);
    EXPECT_EQ(Ui().Prompts(), caso.mensajes);
    EXPECT_EQ(editor_->Trabajo().cdor_v_resul, caso.contador);
  }
}

TEST_F(FuncionesTest, ElDialogoPideCadaParametroYSoloAceptaConTodos) {
  Abrir("Prueba", "PRUEBA");
  Ui().QueueModal("FrmPreFormula", [this](ui::Form& form) {
    auto& dialogo = dynamic_cast<FrmPreFormula&>(form);
    dialogo.Command1.UserClick();
    EXPECT_EQ(Ui().Prompts(), (Textos{"Falta un Parametro a Completar"}));
    EXPECT_TRUE(dialogo.Visible());
    // The exponent: only constants, whatever the base was.
    Ui().QueueModal("FrmSubFormula", [](ui::Form& f) { Elegir(dynamic_cast<FrmSubFormula&>(f), "C:COSTOS"); });
    dialogo.CmdFormula.UserClick();
    EXPECT_EQ(dialogo.lblVar.Caption(), "y");
    Ui().QueueModal("FrmSubFormula", [](ui::Form& f) {
      auto& picker = dynamic_cast<FrmSubFormula&>(f);
      EXPECT_FALSE(picker.FmOpcion.Visible() || picker.FmCampos.Visible() || picker.FmVariable.Visible());
      EXPECT_TRUE(picker.cmdConstantes[5].Enabled());
      picker.CmdAceptar.UserClick();  // without a pick: the parameter is still missing
    });
    dialogo.CmdFormula.UserClick();
    EXPECT_EQ(dialogo.txtDato.Text() + "|" + dialogo.lblVar.Caption(), "COSTOS|y");
    dialogo.Command2.UserClick();
    EXPECT_EQ(dialogo.txtDato.Text() + "|" + dialogo.lblVar.Caption(), "|numeric_expression");
    // The base takes the first pick only; the exponent takes digits, by button or key, and one point.
    Ui().QueueModal("FrmSubFormula", [](ui::Form& f) {
      auto& picker = dynamic_cast<FrmSubFormula&>(f);
      picker.LstCampos.UserClick(Indice(picker.LstCampos, "VENTAS"));
      picker.LstCampos.UserClick(Indice(picker.LstCampos, "COSTOS"));
      picker.cmdConstantes[4].UserClick();
      picker.CmdAceptar.UserClick();
    });
    dialogo.CmdFormula.UserClick();
    Ui().QueueModal("FrmSubFormula", [](ui::Form& f) {
      auto& picker = dynamic_cast<FrmSubFormula&>(f);
      for (int tecla : {49, 50, 110, 42}) picker.UserKeyDown(&picker.txtDisplay, tecla);
      picker.CmdComa.UserClick();
      picker.UserKeyDown(&picker.txtDisplay, 103);
      picker.CmdComa.UserClick();
      picker.CmdAceptar.UserClick();
    });
    dialogo.CmdFormula.UserClick();
    EXPECT_EQ(dialogo.txtDato.Text(), "VENTAS,12.7");
    dialogo.CmdFormula.UserClick();  // everything is in: no further pick is asked for
    dialogo.Command1.UserClick();
  });
  editor_->CmdPower.UserClick();
  EXPECT_EQ(Tokens(), "POWER(VENTAS,12.7)~F~Ca~VENTAS");
  EXPECT_EQ(Ui().ShownForms().back(), "FrmSubFormula");
  EXPECT_FALSE(App().Ventana("FrmPreFormula")->Loaded());
}

}  // namespace
}  // namespace formulas_test
