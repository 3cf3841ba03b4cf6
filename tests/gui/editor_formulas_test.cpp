// Offscreen smoke test of the formula editor through the Qt views: opened in the main window, a
// form chosen in the form picker, a formula built with the buttons (a field, "+", a digit) and
// saved.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "core/aplicacion.h"
#include "formulas/frm_b_formulario.h"
#include "formulas/frm_formulas.h"
#include "formulas/ventanas.h"
#include "gui/form_view.h"
#include "gui/main_window_view.h"
#include "platform/runtime/conversions.h"
#include "tests/gui/modales.h"

namespace {

using gui_test::AnswerMessages;
using gui_test::Click;
using gui_test::EnsureApp;
using gui_test::OnModal;

// Clicks, or double-clicks, the first item of the list box `control`.
void ClickItem(const gui::FormView& view, const ui::Control& control, bool doble) {
  auto* list = qobject_cast<QListWidget*>(view.WidgetFor(control));
  ASSERT_TRUE(list != nullptr && list->count() > 0) << control.Name();
  const QPoint centro = list->visualItemRect(list->item(0)).center();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centro);
  if (doble) QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centro);
}

TEST(FormulasViewTest, ElEditorArmaUnaFormulaConSusBotonesYLaGuarda) {
  EnsureApp();
  gui_test::AplicacionQt prueba;
  core::Aplicacion& app = prueba.app;
  gui::QtUi& qt_ui = prueba.qt_ui;
  app.CnSql.Execute("INSERT INTO SE_ARCHIVOS (Arc_Nombre, Arc_Fecha) VALUES('ENCUES_1','05/12/2026')");
  app.CnSql.Execute("INSERT INTO SE_ESTRUCTURAS (Est_IdArchivo, Est_Campo, Est_Tipo) Values(1,'VENTAS','Numeric')");
  formulas::RegistrarVentanas(app);
  gui::MainWindowView main("Consolida", {}, {});
  main.show();
  qt_ui.SetHost(&main);
  auto& editor = formulas::VentanaRegistrada<formulas::FrmFormulas>(app, "FrmFormulas");
  qt_ui.Show(editor);
  ASSERT_EQ(main.Area()->subWindowList().size(), 1);
  auto* view = dynamic_cast<gui::FormView*>(main.Area()->subWindowList()[0]->widget());
  ASSERT_NE(view, nullptr);

  Click(*view, editor.CmdCrear);
  QTest::keyClicks(view->WidgetFor(editor.txtNombre), "Margen");
  QTest::keyClicks(view->WidgetFor(editor.txtResulVar), "MARGEN");
  OnModal("FrmBFormulario", [](gui::FormView& picker) {
    auto& form = dynamic_cast<formulas::FrmBFormulario&>(picker.Model());
    ClickItem(picker, form.lstFormularios, false);
    Click(picker, form.CmdAceptar);
  });
  Click(*view, editor.CmdAddForm);
  Click(*view, editor.CmdFormula);
  ClickItem(*view, editor.LstCampos, true);
  Click(*view, editor.CmdMas);
  Click(*view, editor.cmdConstantes[2]);
  EXPECT_EQ(qobject_cast<QLineEdit*>(view->WidgetFor(editor.txtDisplay))->text(), "VENTAS + 2");

  std::vector<std::string> mensajes;
  AnswerMessages(2, mensajes);
  Click(*view, editor.CmdGenerar);
  EXPECT_EQ(mensajes, (std::vector<std::string>{"Se ha Generado la Formula", "Se ha Grabado con Exito"}));
  sql::Recordset rs =
      app.CnSql.Execute("SELECT FC_Formula FROM SE_CABFORMULA WHERE object_id(N'[dbo].[P1]') IS NOT NULL");
  ASSERT_FALSE(rs.Eof());
  EXPECT_EQ(runtime::CStr(rs(0).Value()), "VENTAS + 2");
  rs.MoveNext();
  EXPECT_TRUE(rs.Eof());
  rs.Close();
  qt_ui.SetHost(nullptr);
  app.CerrarLogErrores();
}

}  // namespace
