// The thirteen function buttons and their two dialogs: what each dialog shows and allows, the
// argument rules of the picker, the duplicate check, POWER's pair, ROUND's ",0)", and what a
// dialog closed without a choice leaves behind (nothing).
#include <gtest/gtest.h>

#include "tests/formulas/editor_prueba.h"

namespace formulas_test {
namespace {

using formulas::FrmPreFormula;
using formulas::FrmSubFormula;
using FuncionesTest = EditorPrueba;

TEST_F(FuncionesTest, CadaBotonMuestraSuFirmaSuDescripcionYSusPermisos) {
  struct Caso {
    const char* caption;
    const char* ventana;
    const char* firma;
    const char* mensaje;
    const char* parametro;
    bool constantes, campos, variables;
  };
  const Caso casos[] = {
      {"SUM", "SUM", "SUM( campo )",
       "Devuelve la suma de una expresión numérica evaluada sobre un conjunto.\r\nCampo = Nombre del campo a ser "
       "sumarizado.",
       "campo", false, true, true},
      {"AVG", "AVG", "AVG(campo)",
       "Devuelve el promedio de una expresión numérica evaluada sobre un conjunto.\r\nCampo = Campo a ser evaluado.",
       "campo", false, true, true},
      {"COUNT", "COUNT", "COUNT( campo )",
       "Devuelve el número de elementos de una colección, según cual sea ésta.\r\nCampo = Por medio de este campo se "
       "mide la cantidad de items.",
       "campo", false, true, true},
      {"MEDIANA", "MEDIANA", "MEDIANA( campo )",
       "Devuelve el Valor del elementos del punto medio de la colección.\r\nCampo = Por medio de este campo se mide "
       "la cantidad de items.",
       "campo", false, true, true},
      {"1er CUARTIL", "PCUARTIL", "PCUARTIL( campo )",
       "Devuelve el Valor de la mediana del elemento que esta en la primera mitad de los valores.\r\nCampo = Por "
       "medio de este campo se mide la cantidad de items.",
       "campo", false, true, true},
      {"3er CUARTIL", "TCUARTIL", "TCUARTIL( campo )",
       "Devuelve el Valor de la mediana del elemento que esta en la segunda mitad de los valores.\r\nCampo = Por "
       "medio de este campo se mide la cantidad de items.",
       "campo", false, true, true},
      {"STDEV", "STDEV", "STDEV( expresion )",
       "Devuelve la desviación típica estadística de todos los valores de la expresión especificada.\r\nExpression = "
       "Es una expresión numérica.",
       "expresion", false, true, true},
      {"VAR", "VAR", "VAR( expression )",
       "Devuelve la varianza estadística de todos los valores de la expresión dada.\r\nExpression = Es una expresión "
       "numérica.",
       "expresion", false, true, true},
      {"SQRT", "SQRT", "SQRT(float_expression)",
       "Devuelve la raíz cuadrada de la expresión especificada.\r\nfloat_expression= Es una expresión de tipo "
       "float. ",
       "float_expression", true, true, true},
      {"ROUND", "ROUND", "ROUND(numeric_expression)",
       "Devuelve una expresión numérica, redondeada a la longitud o precisión especificada.\r\nnumeric_expression= "
       "Es una expresión de la categoría de tipo de datos numérico exacto o numérico aproximado",
       "numeric_expression", true, true, true},
      {"POWER", "POWER", "POWER(numeric_expression , y)",
       "Devuelve el valor de la expresión indicada elevada a la potencia especificada.\r\nnumeric_expression= Es una "
       "expresión de la categoría de tipo de datos numérico exacto o numérico aproximado, excepto para el tipo de "
       "datos bit\r\ny=Es la potencia a la que se eleva numeric_expression. y puede ser una expresión de la "
       "categoría de tipos de datos numérico exacto o numérico aproximado, excepto el tipo de datos bit.",
       "numeric_expression", true, true, true},
      {"EXP", "EXP", "EXP(float_expression)",
       "Devuelve el valor exponencial de la expresión float dada.\r\nfloat_expression= Ingresar un valor numerico o "
       "bien un campo",
       "float_expression", true, true, true},
      {"ABS", "ABS", "ABS(numeric_expression)",
       "Devuelve el valor absoluto, positivo de la expresión numérica dada.\r\nnumeric_expression= Ingresar un valor "
       "numerico o bien un campo",
       "numeric_expression", true, true, true},
  };
  Abrir("Prueba", "PRUEBA");
  for (size_t i = 0; i < 13; ++i) {
    const Caso& caso = casos[i];
    SCOPED_TRACE(caso.caption);
    ui::CommandButton& boton = editor_->BotonFuncion(i);
    EXPECT_EQ(boton.Caption(), caso.caption);
    bool visto = false;
    Ui().QueueModal("FrmPreFormula", [&](ui::Form& form) {
      auto& dialogo = dynamic_cast<FrmPreFormula&>(form);
      EXPECT_EQ(dialogo.Caption(), caso.ventana);
      EXPECT_EQ(dialogo.Width(), 6285);
      EXPECT_EQ(dialogo.Height(), 3660);
      EXPECT_EQ(dialogo.lblFormula.Caption(), caso.firma);
      EXPECT_EQ(dialogo.lblMensaje.Caption(), caso.mensaje);
      EXPECT_EQ(dialogo.lblVar.Caption(), caso.parametro);
      EXPECT_EQ(dialogo.Command1.Caption(), "Acepta");
      EXPECT_EQ(dialogo.Command2.Caption(), "Limpiar");
      Ui().QueueModal("FrmSubFormula", [&](ui::Form& picker_form) {
        auto& picker = dynamic_cast<FrmSubFormula&>(picker_form);
        EXPECT_EQ(picker.Caption(), "Formula");
        EXPECT_EQ(picker.Width(), 4740);
        EXPECT_EQ(picker.Height(), 7695);
        EXPECT_EQ(picker.FmOpcion.Visible(), caso.campos && caso.variables);
        EXPECT_EQ(picker.LstCampos.Reachable(), caso.campos);
        for (const ui::CommandButton* tecla : {&picker.cmdConstantes[0], &picker.cmdConstantes[9], &picker.CmdComa}) {
          EXPECT_EQ(tecla->Enabled(), caso.constantes) << tecla->Name();
        }
        picker.OptVariable.UserClick();
        EXPECT_EQ(picker.LstVariable.Reachable(), caso.variables);
        EXPECT_FALSE(picker.LstCampos.Reachable());
        visto = true;
        picker.UserClose();
      });
      dialogo.CmdFormula.UserClick();
      // Closing the dialog without "Acepta" supplies nothing.
      dialogo.UserClose();
    });
    boton.UserClick();
    EXPECT_TRUE(visto);
    EXPECT_EQ(editor_->Trabajo().CantidadTokens(), 0);
    EXPECT_TRUE(Ui().Prompts().empty());
  }
}

TEST_F(FuncionesTest, ArgumentosDuplicadosPotenciaYRedondeo) {
  FormulaExistente("Total ventas", "TOTAL", 1);
  const std::string kDuplicado = "Ya existe este Valor de Resultado/Campo que utiliza en la funcion\r\npara esta formula";
  struct Caso {
    const char* nombre;
    std::vector<std::string> acciones;
    std::string tokens;
    std::vector<std::string> mensajes;
    int contador;
  };
  const std::vector<Caso> casos = {
      {"SUM over a field already in the formula is refused; VAR is not tested",
       {"C:VENTAS", "+", "F:CmdSum:C:VENTAS", "F:CmdVar:C:VENTAS"},
       "VENTAS~C| + ~O|VAR(VENTAS)~F~Ca~VENTAS", {kDuplicado}, 0},
      {"a function's argument blocks the same field and variable afterwards",
       {"F:CmdAvg:V:TOTAL", "-", "V:TOTAL", "F:CmdStdev:V:TOTAL", "F:CmdExp:V:TOTAL"},
       "AVG(TOTAL)~F~Va~TOTAL| - ~O|EXP(TOTAL)~F~Va~TOTAL",
       {"Ya existe Valor de Resultado en la formula", kDuplicado}, 2},
      {"POWER keeps the base as its argument",
       {"F:CmdPower:C:VENTAS,N:2"}, "POWER(VENTAS,2)~F~Ca~VENTAS", {}, 0},
      {"ROUND over a typed constant", {"F:CmdRound:N:3.7"}, "ROUND(3.7,0)~F~Co~3.7", {}, 0},
      {"a constant may stand twice", {"4", "*", "F:CmdSQRT:N:4", "+", "F:CmdAbs:N:4"},
       "4~N| * ~O|SQRT(4)~F~Co~4| + ~O|ABS(4)~F~Co~4", {}, 0},
      {"POWER of a constant to a decimal exponent", {"F:CmdPower:N:2,N:0.5"}, "POWER(2,0.5)~F~Co~2", {}, 0},
  };
  for (const Caso& caso : casos) {
    SCOPED_TRACE(caso.nombre);
    editor_->cmdCancelar.UserClick();
    Abrir("Prueba", "PRUEBA");
    Ui().ClearMessages();
    Pulsar(caso.acciones);
    EXPECT_EQ(Tokens(), caso.tokens);
    EXPECT_EQ(Ui().Prompts(), caso.mensajes);
    EXPECT_EQ(editor_->Trabajo().cdor_v_resul, caso.contador);
  }
  editor_->cmdCancelar.UserClick();
  Abrir("Prueba", "PRUEBA");
  Accion("F:CmdPower:C:EMPLEO,N:3");
  EXPECT_EQ(editor_->Trabajo().par_power, (std::pair<std::string, std::string>{"EMPLEO", "3"}));
}

TEST_F(FuncionesTest, ElDialogoPideCadaParametroYSoloAceptaConTodos) {
  Abrir("Prueba", "PRUEBA");
  Ui().QueueModal("FrmPreFormula", [this](ui::Form& form) {
    auto& dialogo = dynamic_cast<FrmPreFormula&>(form);
    EXPECT_EQ(dialogo.lblVar.Caption(), "numeric_expression");
    dialogo.Command1.UserClick();
    EXPECT_EQ(Ui().Prompts(), (std::vector<std::string>{"Falta un Parametro a Completar"}));
    EXPECT_TRUE(dialogo.Visible());
    // The exponent: only constants, whatever the base was.
    Ui().QueueModal("FrmSubFormula", [](ui::Form& f) { Elegir(dynamic_cast<FrmSubFormula&>(f), "C:COSTOS"); });
    dialogo.CmdFormula.UserClick();
    EXPECT_EQ(dialogo.lblVar.Caption(), "y");
    Ui().QueueModal("FrmSubFormula", [](ui::Form& f) {
      auto& picker = dynamic_cast<FrmSubFormula&>(f);
      EXPECT_FALSE(picker.FmOpcion.Visible());
      EXPECT_FALSE(picker.FmCampos.Visible());
      EXPECT_FALSE(picker.FmVariable.Visible());
      EXPECT_TRUE(picker.cmdConstantes[5].Enabled());
      // Accepting without a pick supplies nothing: the parameter is still missing.
      picker.CmdAceptar.UserClick();
    });
    dialogo.CmdFormula.UserClick();
    EXPECT_EQ(dialogo.txtDato.Text(), "COSTOS");
    EXPECT_EQ(dialogo.lblVar.Caption(), "y");
    dialogo.Command2.UserClick();
    EXPECT_EQ(dialogo.txtDato.Text(), "");
    EXPECT_EQ(dialogo.lblVar.Caption(), "numeric_expression");
    for (const char* eleccion : {"C:VENTAS", "N:3"}) {
      Ui().QueueModal("FrmSubFormula",
                      [eleccion](ui::Form& f) { Elegir(dynamic_cast<FrmSubFormula&>(f), eleccion); });
      dialogo.CmdFormula.UserClick();
    }
    EXPECT_EQ(dialogo.txtDato.Text(), "VENTAS,3");
    // Everything is in: a further pick is not asked for.
    dialogo.CmdFormula.UserClick();
    dialogo.Command1.UserClick();
  });
  editor_->CmdPower.UserClick();
  EXPECT_EQ(Tokens(), "POWER(VENTAS,3)~F~Ca~VENTAS");
  EXPECT_EQ(Ui().ShownForms().back(), "FrmSubFormula");
  EXPECT_FALSE(App().Ventana("FrmPreFormula")->Loaded());
}

// A dialog closed without a choice leaves no trace, not even the previous call's argument to be
// tested again (it would be refused as a duplicate).
TEST_F(FuncionesTest, CerrarElDialogoNoAgregaNadaNiCuenta) {
  FormulaExistente("Total ventas", "TOTAL", 1);
  Abrir("Prueba", "PRUEBA");
  Pulsar({"F:CmdSum:V:TOTAL", "+"});
  ASSERT_EQ(editor_->Trabajo().cdor_v_resul, 1);
  Ui().ClearMessages();
  Ui().QueueModal("FrmPreFormula", [this](ui::Form& form) {
    auto& dialogo = dynamic_cast<FrmPreFormula&>(form);
    // A variable picked, then cleared and the dialog closed.
    Ui().QueueModal("FrmSubFormula", [](ui::Form& f) {
      auto& picker = dynamic_cast<FrmSubFormula&>(f);
      picker.OptVariable.UserClick();
      picker.LstVariable.UserClick(0);
      picker.cmdlimpiar.UserClick();
      EXPECT_EQ(picker.txtDisplay.Text(), "");
      picker.UserClose();
    });
    dialogo.CmdFormula.UserClick();
    dialogo.UserClose();
  });
  editor_->CmdAvg.UserClick();
  EXPECT_EQ(Tokens(), "SUM(TOTAL)~F~Va~TOTAL| + ~O");
  EXPECT_TRUE(Ui().Prompts().empty());
  EXPECT_EQ(editor_->Trabajo().cdor_v_resul, 1);
  Accion("<");
  Accion("<");
  EXPECT_EQ(editor_->Trabajo().cdor_v_resul, 0);
}

TEST_F(FuncionesTest, ElSelectorDeArgumentosAdmiteUnaSolaCosa) {
  FrmSubFormula& picker = formulas::VentanaRegistrada<FrmSubFormula>(App(), "FrmSubFormula");
  picker.Preparar(true, true, false, "1");
  Ui().Show(picker);
  const auto pick = [&] { return picker.txtDisplay.Text() + "|" + picker.txtvTipo.Text() + "|" + picker.txtVvFct.Text(); };
  EXPECT_FALSE(picker.FmOpcion.Visible());
  EXPECT_FALSE(picker.FmVariable.Visible());
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
  EXPECT_EQ(pick(), "12.7|Co|12.7");
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
