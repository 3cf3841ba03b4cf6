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
    const char* firma;
    const char* mensaje;
    const char* parametro;
    bool constantes;
  } casos[] = {
      {editor_->CmdSum, "SUM", "SUM( campo )",
       "Devuelve la suma de una expresión numérica evaluada sobre un conjunto.\r\nCampo = Nombre del campo a ser "
       "sumarizado.",
       "campo", false},
      {editor_->CmdSQRT, "SQRT", "SQRT(float_expression)",
       "Devuelve la raíz cuadrada de la expresión especificada.\r\nfloat_expression= Es una expresión de tipo "
       "float. ",
       "float_expression", true},
      {editor_->CmdPower, "POWER", "POWER(numeric_expression , y)",
       "Devuelve el valor de la expresión indicada elevada a la potencia especificada.\r\nnumeric_expression= Es una "
       "expresión de la categoría de tipo de datos numérico exacto o numérico aproximado, excepto para el tipo de "
       "datos bit\r\ny=Es la potencia a la que se eleva numeric_expression. y puede ser una expresión de la "
       "categoría de tipos de datos numérico exacto o numérico aproximado, excepto el tipo de datos bit.",
       "numeric_expression", true},
  };
  FormulaExistente("Total ventas", "TOTAL", 1);
  Abrir("Prueba", "PRUEBA");
  Pulsar({"F:CmdSum:V:TOTAL", "+"});
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.funcion);
    bool visto = false;
    Ui().QueueModal("FrmPreFormula", [&](ui::Form& form) {
      auto& dialogo = dynamic_cast<FrmPreFormula&>(form);
      EXPECT_EQ(dialogo.Caption() + "|" + dialogo.lblFormula.Caption() + "|" + dialogo.lblVar.Caption(),
                std::string(caso.funcion) + "|" + caso.firma + "|" + caso.parametro);
      EXPECT_EQ(dialogo.lblMensaje.Caption(), caso.mensaje);
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
      {"POWER keeps the base as its argument", {"F:CmdPower:C:VENTAS,N:2"}, "POWER(VENTAS,2)~F~Ca~VENTAS", {}, 0},
      {"ROUND over a typed constant", {"F:CmdRound:N:3.7"}, "ROUND(3.7,0)~F~Co~3.7", {}, 0},
      {"a constant may stand twice", {"4", "*", "F:CmdSQRT:N:4", "+", "F:CmdAbs:N:4"},
       "4~N| * ~O|SQRT(4)~F~Co~4| + ~O|ABS(4)~F~Co~4", {}, 0},
      {"POWER of a constant to a decimal exponent", {"F:CmdPower:N:2,N:0.5"}, "POWER(2,0.5)~F~Co~2", {}, 0},
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
    for (const char* eleccion : {"C:VENTAS", "N:3"}) {
      Ui().QueueModal("FrmSubFormula", [eleccion](ui::Form& f) { Elegir(dynamic_cast<FrmSubFormula&>(f), eleccion); });
      dialogo.CmdFormula.UserClick();
    }
    EXPECT_EQ(dialogo.txtDato.Text(), "VENTAS,3");
    dialogo.CmdFormula.UserClick();  // everything is in: no further pick is asked for
    dialogo.Command1.UserClick();
  });
  editor_->CmdPower.UserClick();
  EXPECT_EQ(Tokens(), "POWER(VENTAS,3)~F~Ca~VENTAS");
  EXPECT_EQ(Ui().ShownForms().back(), "FrmSubFormula");
  EXPECT_FALSE(App().Ventana("FrmPreFormula")->Loaded());
}

TEST_F(FuncionesTest, ElSelectorDeArgumentosAdmiteUnaSolaCosa) {
  FrmSubFormula& picker = formulas::VentanaRegistrada<FrmSubFormula>(App(), "FrmSubFormula");
  picker.Preparar(true, true, false, "1");
  Ui().Show(picker);
  const auto pick = [&] { return picker.txtDisplay.Text() + "|" + picker.txtvTipo.Text() + "|" + picker.txtVvFct.Text(); };
  EXPECT_FALSE(picker.FmOpcion.Visible() || picker.FmVariable.Visible());
  picker.LstCampos.UserClick(Indice(picker.LstCampos, "VENTAS"));
  picker.LstCampos.UserClick(Indice(picker.LstCampos, "COSTOS"));
  picker.cmdConstantes[4].UserClick();
  picker.CmdComa.UserClick();
  EXPECT_EQ(pick(), "VENTAS|Ca|VENTAS");
  picker.cmdlimpiar.UserClick();
  EXPECT_EQ(pick(), "||");
  // Only the digits have keys here.
  for (int tecla : {49, 50, 110, 42}) picker.UserKeyDown(&picker.txtDisplay, tecla);
  picker.CmdComa.UserClick();
  picker.UserKeyDown(&picker.txtDisplay, 103);
  picker.CmdComa.UserClick();
  picker.LstCampos.UserClick(Indice(picker.LstCampos, "VENTAS"));
  EXPECT_EQ(pick(), "12.7|Co|12.7");
  picker.CmdAceptar.UserClick();
  ASSERT_TRUE(picker.Eleccion().has_value());
  EXPECT_EQ(picker.Eleccion()->texto, "12.7");
  picker.Unload();

  // Without constants the digits, keys included, do nothing.
  picker.Preparar(false, true, true, "1");
  Ui().Show(picker);
  picker.UserKeyDown(&picker.txtDisplay, 53);
  picker.UserKeyDown(&picker.txtDisplay, 101);
  EXPECT_EQ(pick(), "||");
  picker.OptVariable.UserClick();
  EXPECT_TRUE(picker.FmVariable.Visible());
  EXPECT_FALSE(picker.FmCampos.Visible());
}

}  // namespace
}  // namespace formulas_test
