// The sequence editor before anything is stored: header checks and sizes, the admission of each
// kind of line, what the value dialog hands back per slot, removal, insertion and clearing,
// the grid clicks and the keys that empty the combos.
#include <gtest/gtest.h>

#include "formulas/frm_m_formula.h"
#include "tests/sequences/secuenciador_prueba.h"

namespace sequences_test {
namespace {

using Editor = SecuenciadorPrueba;

TEST_F(Editor, ElEncabezadoSeConfirmaAntesDeAbrirLasLineas) {
  FrmSecuenciador& e = *editor_;
  e.CmdCrear.UserClick();
  e.CmdSecuencia.UserClick();
  e.txtSecuencia.UserEdit("Anual");
  e.CmdSecuencia.UserClick();
  EXPECT_EQ(Ui().Prompts(),
            (std::vector<std::string>{"Debera Ingresar un nombre para la Secuencia", "Debera Ingresar un Formulario"}));
  EXPECT_EQ(e.Height(), FrmSecuenciador::kAltoCerrado);
  Crear("Anual");
  e.UserResize(9000, 2000);
  EXPECT_EQ(e.Width() * 10000 + e.Height(), FrmSecuenciador::kAncho * 10000 + FrmSecuenciador::kAltoAbierto);
  EXPECT_FALSE(e.txtSecuencia.Reachable() || e.OpcTipo[0].Reachable() || e.Command8.Reachable());
}

TEST_F(Editor, CadaLineaSeAdmiteSegunElBloqueAbierto) {
  Crear("Anual");
  const std::string falta_formula = "Debera ingresar alguna formula para ejecutar\r\nantes de Cerrar las condiciones";
  const std::string no_and = "No se Acepta Agregar una condicion";
  const struct {
    std::vector<std::string> lineas, mensajes, estructura;
    int abiertas;
  } casos[] = {
      {{"F:"}, {"Deberá ingresar un valor"}, {" "}, 0},
      {{"Si TOTAL > 5", "And MARGEN <> TOTAL", "And M:Estado = 1", "F:TOTAL", "FSi", "F:MARGEN"},
       {},
       {"1 Si", "2 And", "3 And", "4 ", "5 FSi", "6 "},
       0},
      {{"Si TOTAL > 5", "F:MARGEN", "Si MARGEN < 1"}, {"No podrá Realizar Anidamientos de Condiciones"}, {"1 Si", "2 "}, 1},
      {{"Si TOTAL > 5", "FSi"}, {falta_formula}, {"1 Si"}, 1},
      {{"Si TOTAL > 5", "And M:Estado = 1", "FSi"}, {falta_formula}, {"1 Si", "2 And"}, 1},
      {{"Si TOTAL > 5", "F:MARGEN", "And MARGEN = 2"}, {no_and}, {"1 Si", "2 "}, 1},
      {{"And TOTAL > 5"}, {no_and}, {" "}, 0},
      {{"F:TOTAL", "FSi"}, {"Esta agregando mas Fin de las condiciones que existen"}, {"1 "}, 0},
      {{"- TOTAL > 5"}, {"Debe cargar una condicion"}, {" "}, 0},
      {{"Si TOTAL - 5"}, {"Debe cargar Operadores"}, {" "}, 0},
      {{"Si - > 5"}, {"Debe Cargar un valor en la primera condicion"}, {" "}, 0},
      {{"Si TOTAL >"}, {"Debe Cargar un valor en la segunda condicion"}, {" "}, 0},
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(::testing::PrintToString(caso.lineas));
    editor_->cmdlimpiar.UserClick();
    Ui().ClearMessages();
    Lineas(caso.lineas);
    EXPECT_EQ(Ui().Prompts(), caso.mensajes);
    EXPECT_EQ(Estructura(), caso.estructura);
    EXPECT_EQ(editor_->CondAbiertas(), caso.abiertas);
  }
}

TEST_F(Editor, ElDialogoDeValorDevuelveSoloLoQueCadaOperandoAdmite) {
  Crear("Anual");
  FrmSecuenciador& e = *editor_;
  const struct {
    int ranura;
    bool lista;
    std::string valor, cajas;  // the slot's display, kind and id afterwards
  } casos[] = {{0, false, "12", "||"},     {0, true, "TOTAL", "TOTAL (Total ventas) |V|1"},
               {1, false, "3", "||"},      {1, true, "MARGEN", "MARGEN (Margen) |V|2"},
               {2, false, "2.5", "2.5|N|"}, {2, false, "..", "||"},
               {2, true, "MARGEN", "MARGEN (Margen) |V|2"}};
  ui::TextBox* cajas[3][3] = {{&e.TxtValor, &e.Txt, &e.txtIdR}, {&e.TxtVar1, &e.Txt1, &e.txtIdR1},
                              {&e.TxtVar2, &e.Txt2, &e.txtIdR2}};
  for (const auto& caso : casos) {
    SCOPED_TRACE(std::to_string(caso.ranura) + " " + caso.valor);
    Linea(caso.ranura == 0 ? "F:" : "- - -", &e.CmdCampo);
    ValorEn(caso.valor);
    (caso.lista ? e.Command2 : e.Command1)[caso.ranura].UserClick();
    ui::TextBox** c = cajas[caso.ranura];
    EXPECT_EQ(c[0]->Text() + "|" + c[1]->Text() + "|" + c[2]->Text(), caso.cajas);
  }
  // The second point is refused; a survey form without formulas lists none.
  EXPECT_EQ(Ui().Prompts(), std::vector<std::string>{"No puede ingresar una coma sin existir un numero"});
  e.TxtIdFormulario.SetText("2");
  Ui().QueueModal("FrmSecValor", [](ui::Form& form) {
    EXPECT_EQ(dynamic_cast<sequences::FrmSecValor&>(form).LstVariable.ListCount(), 0);
    form.UserClose();
  });
  e.Command2[2].UserClick();
}

TEST_F(Editor, UnFSiYLasTeclasNoDejanNadaQueNoVayaEnLaLinea) {
  Crear("Anual");
  FrmSecuenciador& e = *editor_;
  Lineas({"Si M:Estado > 5", "F:TOTAL"});
  // A right operand chosen after a sample column leaves the column's mark alone.
  Linea("- M:Domi < MARGEN", &e.CmdCampo);
  EXPECT_EQ(e.txtNMuestra.Text() + e.txtIdMuestra.Text() + e.txtIdR2.Text(), "M42");
  e.CbxCond.UserSelect(Indice(e.CbxCond, "FSi"));
  EXPECT_EQ(e.TxtVar1.Text() + e.TxtVar2.Text() + e.CbxOper.Text() + e.txtNMuestra.Text() + e.txtIdR2.Text(), "");
  EXPECT_FALSE(e.CmdMuestra.Enabled() || e.CbxOper.Enabled() || e.Command2[1].Enabled());
  e.Command8.UserClick();
  EXPECT_EQ(Celdas(e.FGSecuencia).back(), "3|FSi||||||N|N|");

  e.OptCondicion.UserClick();
  e.CbxCond.UserSelect(0);
  EXPECT_TRUE(e.CbxCond.UserType("S"));
  EXPECT_EQ(e.CbxCond.Text(), "");
  e.CbxOper.UserSelect(2);
  EXPECT_EQ(e.UserKeyDown(&e.CbxOper, 60), 0);
  e.CbxCond.UserSelect(0);
  e.UserKeyUp(&e.CbxCond, 40);
  EXPECT_EQ(e.CbxOper.Text() + e.CbxCond.Text(), "");
}

TEST_F(Editor, QuitarInsertarYLimpiarRenumeranYRecuentanElBloque) {
  Crear("Anual");
  FrmSecuenciador& e = *editor_;
  const std::vector<std::string> bloque = {"F:TOTAL", "Si TOTAL > 5", "And MARGEN < 3", "F:MARGEN", "FSi", "F:TOTAL"};
  const struct {
    std::vector<std::string> lineas;
    int fila;
    std::string accion, estructura;  // "quitar", "no", "limpiar" or a line to insert
    int abiertas;
  } casos[] = {
      {bloque, 1, "quitar", "1 ,2 ,3 ", 0},
      {bloque, 0, "quitar", "1 Si,2 And,3 ,4 FSi,5 ", 0},
      {bloque, 4, "quitar", "1 ,2 Si,3 And,4 ,5 ", 1},
      {bloque, 4, "no", "1 ,2 Si,3 And,4 ,5 FSi,6 ", 0},
      {{"F:TOTAL"}, 0, "quitar", " ", 0},
      {{"Si TOTAL > 5", "F:MARGEN"}, 0, "quitar", "1 ", 0},
      {bloque, 5, "F:MARGEN", "1 ,2 Si,3 And,4 ,5 FSi,6 ,7 ", 0},
      {bloque, 0, "F:MARGEN", "1 ,2 ,3 Si,4 And,5 ,6 FSi,7 ", 0},
      {bloque, 2, "And TOTAL = 1", "1 ,2 Si,3 And,4 And,5 ,6 FSi,7 ", 0},
      {bloque, 3, "And TOTAL = 1", "1 ,2 Si,3 And,4 ,5 FSi,6 ", 0},
      {bloque, 5, "Si MARGEN > 1", "1 ,2 Si,3 And,4 ,5 FSi,6 ,7 Si", 1},
      {bloque, 2, "limpiar", " ", 0},
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.accion + " " + std::to_string(caso.fila));
    e.cmdlimpiar.UserClick();
    Lineas(caso.lineas);
    Ui().ClearMessages();
    e.FGSecuencia.UserClick(caso.fila, 0);
    if (caso.accion == "quitar" || caso.accion == "no") {
      Ui().QueueAnswer(caso.accion == "quitar" ? ui::vbYes : ui::vbNo);
      e.CmdRemover.UserClick();
      ASSERT_EQ(Ui().Messages().size(), 1u);
      const auto& pregunta = Ui().Messages()[0];
      EXPECT_EQ(pregunta.prompt + "/" + pregunta.title, "Esta Seguro de Eliminar la linea " +
                                                            std::to_string(caso.fila + 1) + "/Eliminacion");
      EXPECT_EQ(pregunta.style, ui::vbYesNo + ui::vbCritical);
    } else if (caso.accion == "limpiar") {
      e.cmdlimpiar.UserClick();
    } else {
      Linea(caso.accion, &e.CmdInsertar);
    }
    std::string estructura;
    for (const std::string& fila : Estructura()) estructura += (estructura.empty() ? "" : ",") + fila;
    EXPECT_EQ(estructura, caso.estructura);
    EXPECT_EQ(e.CondAbiertas(), caso.abiertas);
  }
  EXPECT_EQ(Ui().Prompts(), (std::vector<std::string>{}));
}

TEST_F(Editor, LosClicsEnLaGrillaMarcanYMuestranLosOperandos) {
  Crear("Anual");
  FrmSecuenciador& e = *editor_;
  e.FGSecuencia.UserClick(0, 9);
  Lineas({"Si M:Estado > 5", "F:TOTAL", "FSi"});
  e.FGSecuencia.UserClick(0, 2);
  ASSERT_EQ(Ui().Messages().size(), 1u);
  EXPECT_EQ(Ui().Messages()[0].prompt + "/" + Ui().Messages()[0].title, "Campo de Muestra/Muestra");
  std::string visto;
  Ui().QueueModal("FrmMFormula", [&visto](ui::Form& form) {
    visto = form.Caption() + " = " + dynamic_cast<formulas::FrmMFormula&>(form).TxtFormula.Text();
    form.UserClose();
  });
  e.FGSecuencia.UserClick(1, 2);
  EXPECT_EQ(visto, "Total ventas(TOTAL) = VENTAS");
  e.FGSecuencia.UserClick(1, 9);
  EXPECT_EQ(e.FGSecuencia.TextMatrix(0, 9) + e.FGSecuencia.TextMatrix(1, 9), "*");
  e.FGSecuencia.UserClick(1, 9);
  EXPECT_EQ(e.FGSecuencia.TextMatrix(1, 9), "");
  EXPECT_EQ(Ui().Messages().size(), 1u);
}

}  // namespace
}  // namespace sequences_test
