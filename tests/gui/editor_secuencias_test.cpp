// Offscreen smoke test of the sequence windows through the Qt views: the editor opened from the
// main menu builds a sequence with a "Si" block through its buttons, combos and value dialog,
// shows it with the hidden holders hidden, and stores it.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>

#include "core/aplicacion.h"
#include "core/mdi_principal.h"
#include "formulas/ventanas.h"
#include "gui/main_window_view.h"
#include "platform/runtime/conversions.h"
#include "sequences/frm_sec_valor.h"
#include "sequences/frm_secuenciador.h"
#include "sequences/selectores.h"
#include "sequences/ventanas.h"
#include "tests/gui/modales.h"

namespace {

using gui_test::Click;
using gui_test::OnModal;

// The next modal window `form` clicks item `row` of its list, or `digit` on the value dialog's
// keypad, and accepts.
void Pick(const std::string& form, int row, int digit = -1) {
  OnModal(form, [row, digit](gui::FormView& view) {
    auto* value = dynamic_cast<sequences::FrmSecValor*>(&view.Model());
    auto* picker = dynamic_cast<sequences::Selector*>(&view.Model());
    auto* list = qobject_cast<QListWidget*>(view.WidgetFor(value ? value->LstVariable : picker->lstFormularios));
    if (digit < 0) emit list->itemClicked(list->item(row));
    if (digit >= 0) Click(view, value->cmdConstantes[digit]);
    Click(view, value ? value->Command1 : picker->CmdAceptar);
  });
}

TEST(SequencesViewTest, ElEditorArmaUnBloqueYGuardaLaSecuencia) {
  gui_test::EnsureApp();
  gui_test::AplicacionQt prueba;
  core::Aplicacion& app = prueba.app;
  gui::QtUi& qt_ui = prueba.qt_ui;
  app.CnSql.Execute("INSERT INTO SE_ARCHIVOS (Arc_Nombre) VALUES('ENCUES_1')\r\n"
                    "INSERT INTO SE_CABFORMULA(FC_Nombre, FC_NomVar) Values('Margen', 'MARGEN')\r\n"
                    "INSERT INTO SE_CABFORMULA(FC_Nombre, FC_NomVar) Values('Total ventas', 'TOTAL')\r\n"
                    "INSERT INTO SE_FORMULA_ARCHIVO(Id_FormCab, Id_Arc) SELECT Id_FormCab, 1 FROM SE_CABFORMULA");
  formulas::RegistrarVentanas(app);
  sequences::RegistrarVentanas(app);
  core::MDIPrincipal principal(app);
  gui::MainWindowView main("Consolida", principal.Menu(), {});
  main.show();
  qt_ui.SetHost(&main);
  main.MenuAction("Sec")->trigger();
  QMdiSubWindow* sub = main.Area()->subWindowList().value(0);
  ASSERT_NE(sub, nullptr);
  auto* view = dynamic_cast<gui::FormView*>(sub->widget());
  auto& editor = dynamic_cast<sequences::FrmSecuenciador&>(view->Model());

  Click(*view, editor.CmdCrear);
  QTest::keyClicks(view->WidgetFor(editor.txtSecuencia), "Anual");
  Pick("FrmBuForm", 0);
  Click(*view, editor.CmdAddForm);
  Click(*view, editor.CmdSecuencia);
  auto* condicion = qobject_cast<QComboBox*>(view->WidgetFor(editor.CbxCond));
  auto* opcion = qobject_cast<QRadioButton*>(view->WidgetFor(editor.OptCondicion));
  opcion->click();
  condicion->setCurrentIndex(0);  // Si MARGEN > 5
  Pick("FrmSecValor", 0);
  Click(*view, editor.Command2[1]);
  qobject_cast<QComboBox*>(view->WidgetFor(editor.CbxOper))->setCurrentIndex(1);
  Pick("FrmSecValor", 0, 5);
  Click(*view, editor.Command1[2]);
  Click(*view, editor.Command8);
  Pick("FrmSecValor", 1);  // TOTAL
  Click(*view, editor.Command2[0]);
  Click(*view, editor.Command3);
  opcion->click();
  condicion->setCurrentIndex(1);  // FSi
  Click(*view, editor.Command8);

  auto* table = qobject_cast<QTableWidget*>(view->WidgetFor(editor.FGSecuencia));
  ASSERT_EQ(table->rowCount(), 3);
  for (int column = 0; column < table->columnCount(); ++column) {
    EXPECT_EQ(table->isColumnHidden(column), column >= 5 && column <= 8) << column;
  }
  std::vector<std::string> messages;
  gui_test::AnswerMessages(1, messages);
  Click(*view, editor.cmdGenerar);
  EXPECT_EQ(messages, (std::vector<std::string>{"La Secuencia se Generó con Exito"}));
  sql::Recordset rs =
      app.CnSql.Execute("SELECT S_CONDIC, S_IDFORMCAB1, S_IDFORMCAB2 FROM SE_SECUENCIA ORDER BY S_ORDEN");
  std::string rows;
  for (; !rs.Eof(); rs.MoveNext()) {
    for (int i = 0; i < 3; ++i) rows += runtime::JoinText(rs(i).Value()) + (i < 2 ? "|" : " ");
  }
  rs.Close();
  EXPECT_EQ(rows, "Si|1|5 |2| FSi|| ");
  qt_ui.SetHost(nullptr);
  app.CerrarLogErrores();
}

}  // namespace
