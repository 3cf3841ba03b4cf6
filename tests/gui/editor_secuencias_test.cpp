// Offscreen smoke test of the sequence windows through the Qt views: the editor opened from the
// main menu, a sequence with a "Si" block built with its buttons, combos and value dialog, shown
// in a table whose hidden holders stay hidden, and stored.
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
#include "gui/qt_ui.h"
#include "platform/runtime/conversions.h"
#include "schema/schema.h"
#include "sequences/frm_sec_valor.h"
#include "sequences/frm_secuenciador.h"
#include "sequences/selectores.h"
#include "sequences/ventanas.h"
#include "tests/gui/modales.h"
#include "tests/support/temp_folder.h"

namespace {

using gui_test::Click;
using gui_test::OnModal;

void ClickItem(const gui::FormView& view, const ui::Control& list, int row) {
  auto* widget = qobject_cast<QListWidget*>(view.WidgetFor(list));
  emit widget->itemClicked(widget->item(row));
}

// The next value dialog picks formula `row` of its list, or types `digit` on its keypad.
void Value(int row, int digit = -1) {
  OnModal("FrmSecValor", [row, digit](gui::FormView& view) {
    auto& dialog = dynamic_cast<sequences::FrmSecValor&>(view.Model());
    if (digit < 0) ClickItem(view, dialog.LstVariable, row);
    if (digit >= 0) Click(view, dialog.cmdConstantes[digit]);
    Click(view, dialog.Command1);
  });
}

TEST(SequencesViewTest, ElEditorArmaUnBloqueYGuardaLaSecuencia) {
  gui_test::EnsureApp();
  test_support::TempFolder carpeta("consolida-gui");
  std::filesystem::create_directory(carpeta.path() / "Log");
  sql::ConfigureEmbedded({(carpeta.path() / "Consolida.db").string(), schema::CreationBatches()});
  gui::QtUi qt_ui;
  core::Aplicacion app(core::Configuracion{carpeta.path().string(), ""}, qt_ui);
  app.AbrirLogErrores();
  app.CnSql.Open(app.CadenaSql());
  for (const char* sql : {"INSERT INTO SE_ARCHIVOS (Arc_Nombre) VALUES('ENCUES_1')",
                          "INSERT INTO SE_CABFORMULA(FC_Nombre, FC_NomVar) Values('Margen', 'MARGEN')",
                          "INSERT INTO SE_CABFORMULA(FC_Nombre, FC_NomVar) Values('Total ventas', 'TOTAL')",
                          "INSERT INTO SE_FORMULA_ARCHIVO(Id_FormCab, Id_Arc) SELECT Id_FormCab, 1 FROM SE_CABFORMULA"}) {
    app.CnSql.Execute(sql);
  }
  formulas::RegistrarVentanas(app);
  sequences::RegistrarVentanas(app);
  core::MDIPrincipal principal(app);
  ASSERT_TRUE(principal.Entrada("Sec")->enabled);
  gui::MainWindowView main("Consolida", principal.Menu(), {});
  main.show();
  qt_ui.SetHost(&main);
  main.MenuAction("Sec")->trigger();
  QMdiSubWindow* sub = main.Area()->subWindowList().value(0);
  ASSERT_NE(sub, nullptr);
  EXPECT_EQ(sub->windowTitle(), "Secuenciador");
  auto* view = dynamic_cast<gui::FormView*>(sub->widget());
  auto& editor = dynamic_cast<sequences::FrmSecuenciador&>(view->Model());

  Click(*view, editor.CmdCrear);
  QTest::keyClicks(view->WidgetFor(editor.txtSecuencia), "Anual");
  OnModal("FrmBuForm", [](gui::FormView& picker) {
    auto& form = dynamic_cast<sequences::FrmBuForm&>(picker.Model());
    ClickItem(picker, form.lstFormularios, 0);
    Click(picker, form.CmdAceptar);
  });
  Click(*view, editor.CmdAddForm);
  Click(*view, editor.CmdSecuencia);
  auto* condicion = qobject_cast<QComboBox*>(view->WidgetFor(editor.CbxCond));
  auto* opcion = qobject_cast<QRadioButton*>(view->WidgetFor(editor.OptCondicion));
  opcion->click();
  condicion->setCurrentIndex(0);
  Value(0);
  Click(*view, editor.Command2[1]);
  qobject_cast<QComboBox*>(view->WidgetFor(editor.CbxOper))->setCurrentIndex(1);
  Value(0, 5);
  Click(*view, editor.Command1[2]);
  Click(*view, editor.Command8);
  Value(1);
  Click(*view, editor.Command2[0]);
  Click(*view, editor.Command3);
  opcion->click();
  condicion->setCurrentIndex(1);
  Click(*view, editor.Command8);

  auto* table = qobject_cast<QTableWidget*>(view->WidgetFor(editor.FGSecuencia));
  ASSERT_EQ(table->rowCount(), 3);
  EXPECT_EQ(table->item(0, 2)->text() + table->item(1, 2)->text() + table->item(2, 1)->text(),
            "MARGEN (Margen) TOTAL (Total ventas) FSi");
  EXPECT_EQ(table->columnWidth(2), 3000 / gui::kTwipsPerPixel);
  for (int column = 0; column < table->columnCount(); ++column) {
    EXPECT_EQ(table->isColumnHidden(column), column >= 5 && column <= 8) << column;
  }
  std::vector<std::string> messages;
  gui_test::AnswerMessages(1, messages);
  Click(*view, editor.cmdGenerar);
  EXPECT_EQ(messages, (std::vector<std::string>{"La Secuencia se Generó con Exito"}));
  sql::Recordset rs = app.CnSql.Execute(
      "SELECT S_ORDEN, S_CONDIC, S_IDFORMCAB1, S_IDFORMCAB2, S_OPERADOR, S_TIPVAR1, S_TIPVAR2 FROM SE_SECUENCIA "
      "ORDER BY S_ORDEN");
  std::string rows;
  for (; !rs.Eof(); rs.MoveNext()) {
    for (int i = 0; i < 7; ++i) rows += runtime::JoinText(rs(i).Value()) + (i < 6 ? "|" : " ");
  }
  rs.Close();
  EXPECT_EQ(rows, "1|Si|1|5|>|F|N 2||2|||F| 3|FSi||||N|N ");
  qt_ui.SetHost(nullptr);
  app.CerrarLogErrores();
}

}  // namespace
