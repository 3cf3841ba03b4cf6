// The sequence editor before anything is stored: its sizes and entry modes, the admission rules
// of every kind of line with their messages, the value dialog's hand-back per operand slot, the
// removal, insertion and clearing of lines, the grid clicks and the keys that empty the combos.
#include <gtest/gtest.h>

#include "formulas/frm_m_formula.h"
#include "tests/sequences/secuenciador_prueba.h"

namespace sequences_test {
namespace {

using Editor = SecuenciadorPrueba;

TEST_F(Editor, ElEncabezadoSeConfirmaAntesDeAbrirLasLineas) {
  FrmSecuenciador& e = *editor_;
  EXPECT_EQ(e.Height(), FrmSecuenciador::kAltoCerrado);
  EXPECT_FALSE(e.txtSecuencia.Reachable());
  e.CmdCrear.UserClick();
  e.CmdSecuencia.UserClick();
  e.txtSecuencia.UserEdit("Anual");
  e.CmdSecuencia.UserClick();
  EXPECT_EQ(Ui().Prompts(),
            (std::vector<std::string>{"Debera Ingresar un nombre para la Secuencia", "Debera Ingresar un Formulario"}));
  EXPECT_FALSE(e.LineaAbierta());
  ElegirEn("FrmBuForm", "ENCUES_1");
  e.CmdAddForm.UserClick();
  e.CmdSecuencia.UserClick();
  EXPECT_EQ(e.Height(), FrmSecuenciador::kAltoAbierto);
  e.UserResize(9000, 2000);
  EXPECT_EQ(e.Height(), FrmSecuenciador::kAltoAbierto);
  EXPECT_EQ(e.Width(), FrmSecuenciador::kAncho);
  for (const ui::Control* cerrado : {static_cast<ui::Control*>(&e.txtSecuencia), static_cast<ui::Control*>(&e.CmdAddForm),
                                     static_cast<ui::Control*>(&e.OpcTipo[0]), static_cast<ui::Control*>(&e.Command8),
                                     static_cast<ui::Control*>(&e.Command1[1])}) {
    EXPECT_FALSE(cerrado->Reachable()) << cerrado->Name();
  }
  e.OptCondicion.UserClick();
  EXPECT_TRUE(e.Command8.Reachable());
  EXPECT_TRUE(e.Command2[2].Reachable());
  EXPECT_FALSE(e.Command3.Reachable());
  EXPECT_FALSE(e.Command1[0].Reachable());
}

TEST_F(Editor, CadaLineaSeAdmiteSegunElBloqueAbierto) {
  Crear("Anual");
  const std::string formula_antes = "Debera ingresar alguna formula para ejecutar\r\nantes de Cerrar las condiciones";
  struct Caso {
    std::vector<std::string> lineas;
    std::vector<std::string> mensajes;
    std::vector<std::string> estructura;
    int abiertas;
  } casos[] = {
      {{"F:"}, {"Deberá ingresar un valor"}, {" "}, 0},
      {{"Si TOTAL > 5", "F:MARGEN", "FSi"}, {}, {"1 Si", "2 ", "3 FSi"}, 0},
      {{"Si TOTAL > 5", "And MARGEN <> TOTAL", "And M:Estado = 1", "F:TOTAL", "FSi", "F:MARGEN"},
       {},
       {"1 Si", "2 And", "3 And", "4 ", "5 FSi", "6 "},
       0},
      {{"Si TOTAL > 5", "F:MARGEN", "Si MARGEN < 1"},
       {"No podrá Realizar Anidamientos de Condiciones"},
       {"1 Si", "2 "},
       1},
      {{"Si TOTAL > 5", "FSi"}, {formula_antes}, {"1 Si"}, 1},
      {{"Si TOTAL > 5", "And M:Estado = 1", "FSi"}, {formula_antes}, {"1 Si", "2 And"}, 1},
      {{"Si TOTAL > 5", "F:MARGEN", "And MARGEN = 2"}, {"No se Acepta Agregar una condicion"}, {"1 Si", "2 "}, 1},
      {{"And TOTAL > 5"}, {"No se Acepta Agregar una condicion"}, {" "}, 0},
      {{"F:TOTAL", "FSi"}, {"Esta agregando mas Fin de las condiciones que existen"}, {"1 "}, 0},
      {{"- TOTAL > 5"}, {"Debe cargar una condicion"}, {" "}, 0},
      {{"Si TOTAL - 5"}, {"Debe cargar Operadores"}, {" "}, 0},
      {{"Si - > 5"}, {"Debe Cargar un valor en la primera condicion"}, {" "}, 0},
      {{"Si TOTAL >"}, {"Debe Cargar un valor en la segunda condicion"}, {" "}, 0},
  };
  for (const Caso& caso : casos) {
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
  struct Caso {
    int ranura;
    bool lista;
    std::string valor;
    std::string caja, tipo, id;  // what the slot's three boxes hold afterwards
  } casos[] = {
      {0, false, "12", "", "", ""},
      {0, true, "TOTAL", "TOTAL (Total ventas) ", "V", "1"},
      {1, false, "3", "", "", ""},
      {1, true, "MARGEN", "MARGEN (Margen) ", "V", "2"},
      {2, false, "2.5", "2.5", "N", ""},
      {2, false, ".", "", "", ""},
      {2, true, "MARGEN", "MARGEN (Margen) ", "V", "2"},
  };
  ui::TextBox* cajas[3][3] = {{&e.TxtValor, &e.Txt, &e.txtIdR}, {&e.TxtVar1, &e.Txt1, &e.txtIdR1},
                              {&e.TxtVar2, &e.Txt2, &e.txtIdR2}};
  for (const Caso& caso : casos) {
    SCOPED_TRACE(std::to_string(caso.ranura) + " " + caso.valor);
    e.OptValor.UserClick();
    if (caso.ranura > 0) e.OptCondicion.UserClick();
    ValorEn(caso.valor);
    (caso.lista ? e.Command2 : e.Command1)[caso.ranura].UserClick();
    EXPECT_EQ(cajas[caso.ranura][0]->Text(), caso.caja);
    EXPECT_EQ(cajas[caso.ranura][1]->Text(), caso.tipo);
    EXPECT_EQ(cajas[caso.ranura][2]->Text(), caso.id);
  }
  EXPECT_TRUE(Ui().Prompts().empty());

  // A second point is refused; the display keeps one.
  Ui().QueueModal("FrmSecValor", [this](ui::Form& form) {
    auto& dialogo = dynamic_cast<sequences::FrmSecValor&>(form);
    EXPECT_EQ(dialogo.Height(), sequences::FrmSecValor::kAltoConstante);
    dialogo.cmdConstantes[4].UserClick();
    dialogo.CmdComa.UserClick();
    dialogo.CmdComa.UserClick();
    EXPECT_EQ(dialogo.txtDisplay.Text(), "4.");
    dialogo.Command2.UserClick();
    EXPECT_EQ(dialogo.txtDisplay.Text(), "");
    dialogo.UserClose();
  });
  e.Command1[2].UserClick();
  EXPECT_EQ(Ui().Prompts(), (std::vector<std::string>{"No puede ingresar una coma sin existir un numero"}));

  // A right operand chosen after a sample column leaves the column's mark alone.
  e.OptCondicion.UserClick();
  ElegirEn("FrmBMuestra", "Estado");
  e.CmdMuestra.UserClick();
  ValorEn("MARGEN");
  e.Command2[2].UserClick();
  EXPECT_EQ(e.txtNMuestra.Text(), "M");
  EXPECT_EQ(e.TxtVar1.Text(), "Estado");
}

TEST_F(Editor, UnFormularioSinFormulasDaUnaListaVacia) {
  Crear("Industria", "INDUST_1");
  Ui().QueueModal("FrmSecValor", [](ui::Form& form) {
    auto& dialogo = dynamic_cast<sequences::FrmSecValor&>(form);
    EXPECT_EQ(dialogo.LstVariable.ListCount(), 0);
    EXPECT_EQ(dialogo.Height(), sequences::FrmSecValor::kAltoVariables);
    dialogo.Command1.UserClick();
  });
  editor_->Command2[0].UserClick();
  EXPECT_EQ(enviadas_->Todas().back(),
            "SELECT distinct(CF.Id_formCab), CF.FC_NomVar, cf.fc_nombre FROM SE_CABFORMULA CF Inner Join "
            "SE_FORMULA_ARCHIVO FA ON CF.id_formCab = FA.Id_FormCab where FA.Id_Arc = 2 order by CF.FC_NomVar");
  EXPECT_EQ(editor_->TxtValor.Text(), "");
}

TEST_F(Editor, FSiYLasTeclasVacianLoQueNoVaEnLaLinea) {
  Crear("Anual");
  FrmSecuenciador& e = *editor_;
  Lineas({"Si M:Estado > 5", "F:TOTAL"});
  e.OptCondicion.UserClick();
  ElegirEn("FrmBMuestra", "Mues");
  e.CmdMuestra.UserClick();
  e.CbxOper.UserSelect(0);
  e.CbxCond.UserSelect(Indice(e.CbxCond, "FSi"));
  EXPECT_EQ(e.TxtVar1.Text() + e.CbxOper.Text() + e.txtNMuestra.Text() + e.txtIdMuestra.Text(), "");
  EXPECT_FALSE(e.CmdMuestra.Enabled());
  EXPECT_FALSE(e.CbxOper.Enabled());
  e.Command8.UserClick();
  EXPECT_TRUE(Ui().Prompts().empty());
  EXPECT_EQ(Celdas(e.FGSecuencia).back(), "3|FSi||||||N|N|");

  e.OptCondicion.UserClick();
  e.CbxCond.UserSelect(0);
  EXPECT_TRUE(e.CbxCond.UserType("S"));
  EXPECT_EQ(e.CbxCond.Text(), "");
  e.CbxOper.UserSelect(2);
  EXPECT_EQ(e.UserKeyDown(&e.CbxOper, 60), 0);
  EXPECT_EQ(e.CbxOper.Text(), "");
  e.CbxCond.UserSelect(0);
  e.UserKeyUp(&e.CbxCond, 40);
  EXPECT_EQ(e.CbxCond.Text(), "");
}

TEST_F(Editor, QuitarInsertarYLimpiarDejanLaListaNumeradaYElBloqueRecontado) {
  Crear("Anual");
  const std::vector<std::string> bloque = {"F:TOTAL", "Si TOTAL > 5", "And MARGEN < 3", "F:MARGEN", "FSi", "F:TOTAL"};
  struct Caso {
    std::vector<std::string> lineas;
    int fila;
    std::string accion;  // "quitar", "no quitar", "limpiar" or a line to insert
    std::vector<std::string> estructura;
    int abiertas;
  } casos[] = {
      {bloque, 1, "quitar", {"1 ", "2 ", "3 "}, 0},
      {bloque, 0, "quitar", {"1 Si", "2 And", "3 ", "4 FSi", "5 "}, 0},
      {bloque, 4, "quitar", {"1 ", "2 Si", "3 And", "4 ", "5 "}, 1},
      {bloque, 4, "no quitar", {"1 ", "2 Si", "3 And", "4 ", "5 FSi", "6 "}, 0},
      {{"F:TOTAL"}, 0, "quitar", {" "}, 0},
      {{"Si TOTAL > 5", "F:MARGEN"}, 0, "quitar", {"1 "}, 0},
      {bloque, 5, "F:MARGEN", {"1 ", "2 Si", "3 And", "4 ", "5 FSi", "6 ", "7 "}, 0},
      {bloque, 0, "F:MARGEN", {"1 ", "2 ", "3 Si", "4 And", "5 ", "6 FSi", "7 "}, 0},
      {bloque, 2, "And TOTAL = 1", {"1 ", "2 Si", "3 And", "4 And", "5 ", "6 FSi", "7 "}, 0},
      {bloque, 3, "And TOTAL = 1", {"1 ", "2 Si", "3 And", "4 ", "5 FSi", "6 "}, 0},
      {bloque, 5, "Si MARGEN > 1", {"1 ", "2 Si", "3 And", "4 ", "5 FSi", "6 ", "7 Si"}, 1},
      {bloque, 2, "limpiar", {" "}, 0},
  };
  for (const Caso& caso : casos) {
    SCOPED_TRACE(caso.accion + " at " + std::to_string(caso.fila));
    FrmSecuenciador& e = *editor_;
    e.cmdlimpiar.UserClick();
    Lineas(caso.lineas);
    Ui().ClearMessages();
    e.FGSecuencia.UserClick(caso.fila, 0);
    if (caso.accion.ends_with("quitar")) {
      Ui().QueueAnswer(caso.accion == "quitar" ? ui::vbYes : ui::vbNo);
      e.CmdRemover.UserClick();
      ASSERT_EQ(Ui().Messages().size(), 1u);
      EXPECT_EQ(Ui().Messages()[0].prompt, "Esta Seguro de Eliminar la linea " + std::to_string(caso.fila + 1));
      EXPECT_EQ(Ui().Messages()[0].title, "Eliminacion");
      EXPECT_EQ(Ui().Messages()[0].style, ui::vbYesNo + ui::vbCritical);
    } else if (caso.accion == "limpiar") {
      e.cmdlimpiar.UserClick();
    } else {
      Linea(caso.accion, &e.CmdInsertar);
      EXPECT_EQ(Ui().Prompts(), caso.estructura.size() > bloque.size()
                                    ? std::vector<std::string>{}
                                    : std::vector<std::string>{"No se Acepta Agregar una condicion"});
    }
    EXPECT_EQ(Estructura(), caso.estructura);
    EXPECT_EQ(e.CondAbiertas(), caso.abiertas);
  }
}

TEST_F(Editor, LosClicsEnLaGrillaMarcanYMuestranLosOperandos) {
  Crear("Anual");
  FrmSecuenciador& e = *editor_;
  e.FGSecuencia.UserClick(0, 9);
  EXPECT_EQ(e.FGSecuencia.TextMatrix(0, 9), "");
  Lineas({"Si M:Estado > 5", "F:TOTAL", "FSi"});
  e.FGSecuencia.UserClick(0, 2);
  ASSERT_EQ(Ui().Messages().size(), 1u);
  EXPECT_EQ(Ui().Messages()[0].prompt, "Campo de Muestra");
  EXPECT_EQ(Ui().Messages()[0].title, "Muestra");
  std::string visto;
  Ui().QueueModal("FrmMFormula", [&visto](ui::Form& form) {
    auto& visor = dynamic_cast<formulas::FrmMFormula&>(form);
    visto = visor.Caption() + " = " + visor.TxtFormula.Text();
    visor.Command1.UserClick();
  });
  e.FGSecuencia.UserClick(1, 2);
  EXPECT_EQ(visto, "Total ventas(TOTAL) = VENTAS");
  e.FGSecuencia.UserClick(1, 9);
  EXPECT_EQ(e.FGSecuencia.TextMatrix(1, 9), "*");
  e.FGSecuencia.UserClick(1, 9);
  EXPECT_EQ(e.FGSecuencia.TextMatrix(1, 9), "");
  EXPECT_TRUE(e.LineasModificadas());
  EXPECT_EQ(Ui().Messages().size(), 1u);
}

}  // namespace
}  // namespace sequences_test
