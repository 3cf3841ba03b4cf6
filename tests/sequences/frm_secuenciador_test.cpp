// The sequence editor before anything is stored: the admission of each kind of line and of
// the values the value dialog hands back, removal, insertion and clearing, the grid clicks and
// the keys that empty the combos.
#include <gtest/gtest.h>

#include "formulas/frm_m_formula.h"
#include "tests/sequences/secuenciador_prueba.h"

namespace sequences_test {
namespace {

using Editor = SecuenciadorPrueba;

TEST_F(Editor, LasLineasSeAdmitenQuitanEInsertanSegunElBloqueAbierto) {
  Crear("Anual");
  FrmSecuenciador& e = *editor_;
  const std::string falta_formula = "Debera ingresar alguna formula para ejecutar\r\nantes de Cerrar las condiciones";
  const std::string no_and = "No se Acepta Agregar una condicion";
  const std::string quitar = "Esta Seguro de Eliminar la linea ";
  const Textos bloque = {"F:TOTAL", "Si TOTAL > 5", "And MARGEN < 3", "F:MARGEN", "FSi", "F:TOTAL"};
  // The lines entered, then on row `fila` an action: none, "si"/"no" to removing it, "limpiar",
  // or a line inserted after it. A formula line and a left operand take no typed number.
  const struct {
    Textos lineas;
    int fila;
    std::string accion, estructura;
    int abiertas;
    Textos mensajes;
  } casos[] = {
      {{"F:12"}, 0, "", " ", 0, {"Deberá ingresar un valor"}},
      {{"Si TOTAL > 5", "And MARGEN <> TOTAL", "And M:Estado = 1", "F:TOTAL", "FSi", "F:MARGEN"}, 0, "",
       "1 Si,2 And,3 And,4 ,5 FSi,6 ", 0, {}},
      {{"Si TOTAL > 5", "F:MARGEN", "Si MARGEN < 1"}, 0, "", "1 Si,2 ", 1,
       {"No podrá Realizar Anidamientos de Condiciones"}},
      {{"Si TOTAL > 5", "FSi"}, 0, "", "1 Si", 1, {falta_formula}},
      {{"Si TOTAL > 5", "F:MARGEN", "And MARGEN = 2"}, 0, "", "1 Si,2 ", 1, {no_and}},
      {{"F:TOTAL", "FSi"}, 0, "", "1 ", 0, {"Esta agregando mas Fin de las condiciones que existen"}},
      {{"- TOTAL > 5"}, 0, "", " ", 0, {"Debe cargar una condicion"}},
      {{"Si TOTAL - 5"}, 0, "", " ", 0, {"Debe cargar Operadores"}},
      {{"Si 3 > TOTAL"}, 0, "", " ", 0, {"Debe Cargar un valor en la primera condicion"}},
      {{"Si TOTAL > .."}, 0, "", " ", 0,
       {"No puede ingresar una coma sin existir un numero", "Debe Cargar un valor en la segunda condicion"}},
      {bloque, 1, "si", "1 ,2 ,3 ", 0, {quitar + "2"}},
      {bloque, 4, "si", "1 ,2 Si,3 And,4 ,5 ", 1, {quitar + "5"}},
      {{"F:TOTAL"}, 0, "si", " ", 0, {quitar + "1"}},
      {{"Si TOTAL > 5", "F:MARGEN"}, 0, "si", "1 ", 0, {quitar + "1"}},
      {bloque, 0, "F:MARGEN", "1 ,2 ,3 Si,4 And,5 ,6 FSi,7 ", 0, {}},
      {bloque, 2, "And TOTAL = 1", "1 ,2 Si,3 And,4 And,5 ,6 FSi,7 ", 0, {}},
      {bloque, 3, "And TOTAL = 1", "1 ,2 Si,3 And,4 ,5 FSi,6 ", 0, {no_and}},
      {bloque, 5, "Si MARGEN > 1", "1 ,2 Si,3 And,4 ,5 FSi,6 ,7 Si", 1, {}},
      {bloque, 2, "limpiar", " ", 0, {}},
      {bloque, 4, "no", "1 ,2 Si,3 And,4 ,5 FSi,6 ", 0, {quitar + "5"}},
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(::testing::PrintToString(caso.lineas) + " " + caso.accion + " " + std::to_string(caso.fila));
    e.cmdlimpiar.UserClick();
    Ui().ClearMessages();
    Lineas(caso.lineas);
    if (!caso.accion.empty()) {
      Ui().ClearMessages();
      e.FGSecuencia.UserClick(caso.fila, 0);
    }
    if (caso.accion == "si" || caso.accion == "no") {
      Ui().QueueAnswer(caso.accion == "si" ? ui::vbYes : ui::vbNo);
      e.CmdRemover.UserClick();
    } else if (caso.accion == "limpiar") {
      e.cmdlimpiar.UserClick();
    } else if (!caso.accion.empty()) {
      Linea(caso.accion, &e.CmdInsertar);
    }
    EXPECT_EQ(Estructura(), caso.estructura);
    EXPECT_EQ(e.CondAbiertas(), caso.abiertas);
    EXPECT_EQ(Ui().Prompts(), caso.mensajes);
  }
  EXPECT_EQ(Ui().Messages()[0].title + " " + std::to_string(Ui().Messages()[0].style),
            "Eliminacion " + std::to_string(ui::vbYesNo + ui::vbCritical));
}

TEST_F(Editor, UnFSiNoLlevaOperandosYLosClicsEnLaGrillaMarcanYMuestran) {
  Crear("Anual");
  FrmSecuenciador& e = *editor_;
  e.FGSecuencia.UserClick(0, 9);
  Lineas({"Si M:Estado > 5", "F:TOTAL"});
  // A right operand chosen after a sample column leaves the column's mark alone.
  Linea("- M:Domi < MARGEN", &e.CmdCampo);
  EXPECT_EQ(e.txtNMuestra.Text() + e.txtIdMuestra.Text() + e.txtIdR2.Text(), "M42");
  e.CbxCond.UserSelect(Indice(e.CbxCond, "FSi"));
  EXPECT_EQ(e.TxtVar1.Text() + e.TxtVar2.Text() + e.CbxOper.Text() + e.txtNMuestra.Text() + e.txtIdR2.Text(), "");
  EXPECT_FALSE(e.CmdMuestra.Enabled() || e.CbxOper.Enabled() || e.Command2[1].Enabled());
  e.Command8.UserClick();
  EXPECT_EQ(Celdas(e.FGSecuencia).back(), "3|FSi||||||N|N|");

  e.FGSecuencia.UserClick(0, 2);
  std::string visto;
  Ui().QueueModal("FrmMFormula", [&visto](ui::Form& form) {
    visto = form.Caption() + " = " + dynamic_cast<formulas::FrmMFormula&>(form).TxtFormula.Text();
    form.UserClose();
  });
  e.FGSecuencia.UserClick(1, 2);
  EXPECT_EQ(visto, "Total ventas(TOTAL) = VENTAS");
  ASSERT_EQ(Ui().Messages().size(), 1u);
  EXPECT_EQ(Ui().Messages()[0].prompt + "/" + Ui().Messages()[0].title, "Campo de Muestra/Muestra");
  e.FGSecuencia.UserClick(1, 9);
  EXPECT_EQ(e.FGSecuencia.TextMatrix(0, 9) + e.FGSecuencia.TextMatrix(1, 9), "*");
  e.FGSecuencia.UserClick(1, 9);
  EXPECT_EQ(e.FGSecuencia.TextMatrix(1, 9), "");

  // Keys empty the combos and go no further.
  e.OptCondicion.UserClick();
  e.CbxCond.UserSelect(0);
  EXPECT_TRUE(e.CbxCond.UserType("S"));
  e.CbxOper.UserSelect(2);
  EXPECT_EQ(e.UserKeyDown(&e.CbxOper, 60), 0);
  EXPECT_EQ(e.CbxOper.Text() + e.CbxCond.Text(), "");
  e.CbxCond.UserSelect(0);
  e.UserKeyUp(&e.CbxCond, 40);
  EXPECT_EQ(e.CbxCond.Text(), "");
}

}  // namespace
}  // namespace sequences_test
