// Offscreen smoke test of the formula windows through the Qt views: the editor opened in the
// main window, a formula built with its buttons (a form chosen in the form picker, a field
// double-clicked, an operator, digits, a function through its two dialogs) and saved.
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
#include "formulas/frm_formulas.h"
#include "formulas/frm_pre_formula.h"
#include "formulas/frm_sub_formula.h"
#include "formulas/frm_b_formulario.h"
#include "formulas/ventanas.h"
#include "gui/form_view.h"
#include "gui/main_window_view.h"
#include "gui/qt_ui.h"
#include "platform/runtime/conversions.h"
#include "platform/sql/client.h"
#include "schema/schema.h"
#include "tests/gui/modales.h"
#include "tests/support/temp_folder.h"

namespace {

using gui_test::AnswerMessages;
using gui_test::Click;
using gui_test::EnsureApp;
using gui_test::OnModal;

TEST(FormulasViewTest, ElEditorArmaUnaFormulaConSusBotonesYLaGuarda) {
  EnsureApp();
  test_support::TempFolder carpeta("consolida-gui");
  std::filesystem::create_directory(carpeta.path() / "Log");
  sql::ConfigureEmbedded({(carpeta.path() / "Consolida.db").string(), schema::CreationBatches()});
  gui::QtUi qt_ui;
  core::Aplicacion app(core::Configuracion{carpeta.path().string(), ""}, qt_ui);
  app.AbrirLogErrores();
  app.CnSql.Open(app.CadenaSql());
  app.CnSql.Execute("INSERT INTO SE_ARCHIVOS (Arc_Nombre, Arc_Fecha) VALUES('ENCUES_1','05/12/2026')");
  app.CnSql.Execute("INSERT INTO SE_ESTRUCTURAS (Est_IdArchivo, Est_Campo, Est_Tipo) Values(1,'VENTAS','Numeric')");
  formulas::RegistrarVentanas(app);
  gui::MainWindowView main("Consolida", {}, {});
  main.show();
  qt_ui.SetHost(&main);
  auto& editor = formulas::VentanaRegistrada<formulas::FrmFormulas>(app, "FrmFormulas");
  qt_ui.Show(editor);
  QMdiSubWindow* sub = main.Area()->subWindowList().value(0);
  ASSERT_NE(sub, nullptr);
  auto* view = dynamic_cast<gui::FormView*>(sub->widget());
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(sub->windowTitle(), "Generador de Formulas");

  Click(*view, editor.CmdCrear);
  QTest::keyClicks(view->WidgetFor(editor.txtNombre), "Margen");
  QTest::keyClicks(view->WidgetFor(editor.txtResulVar), "MARGEN");
  OnModal("FrmBFormulario", [](gui::FormView& picker) {
    auto& form = dynamic_cast<formulas::FrmBFormulario&>(picker.Model());
    auto* list = qobject_cast<QListWidget*>(picker.WidgetFor(form.lstFormularios));
    ASSERT_NE(list, nullptr);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
    Click(picker, form.CmdAceptar);
  });
  Click(*view, editor.CmdAddForm);
  EXPECT_EQ(editor.TxtFormulario.Text(), "ENCUES_1");
  Click(*view, editor.CmdFormula);
  ASSERT_TRUE(editor.Expandido());
  EXPECT_TRUE(view->WidgetFor(editor.CmdSum)->isVisible());

  auto* campos = qobject_cast<QListWidget*>(view->WidgetFor(editor.LstCampos));
  ASSERT_NE(campos, nullptr);
  ASSERT_EQ(campos->count(), 1);
  const QPoint item = campos->visualItemRect(campos->item(0)).center();
  QTest::mouseClick(campos->viewport(), Qt::LeftButton, {}, item);
  QTest::mouseDClick(campos->viewport(), Qt::LeftButton, {}, item);
  Click(*view, editor.CmdMult);
  Click(*view, editor.cmdConstantes[2]);
  Click(*view, editor.CmdMas);
  OnModal("FrmPreFormula", [](gui::FormView& dialogo) {
    auto& pre = dynamic_cast<formulas::FrmPreFormula&>(dialogo.Model());
    OnModal("FrmSubFormula", [](gui::FormView& picker) {
      auto& form = dynamic_cast<formulas::FrmSubFormula&>(picker.Model());
      Click(picker, form.cmdConstantes[4]);
      Click(picker, form.CmdAceptar);
    });
    Click(dialogo, pre.CmdFormula);
    Click(dialogo, pre.Command1);
  });
  Click(*view, editor.CmdAbs);
  EXPECT_EQ(qobject_cast<QLineEdit*>(view->WidgetFor(editor.txtDisplay))->text(), "VENTAS * 2 + ABS(4)");

  std::vector<std::string> mensajes;
  AnswerMessages(2, mensajes);
  Click(*view, editor.CmdGenerar);
  EXPECT_EQ(mensajes, (std::vector<std::string>{"Se ha Generado la Formula", "Se ha Grabado con Exito"}));
  sql::Recordset rs = app.CnSql.Execute(
      "SELECT FC_Formula FROM SE_CABFORMULA WHERE object_id(N'[dbo].[P1_Emp]') IS NOT NULL");
  ASSERT_FALSE(rs.Eof());
  EXPECT_EQ(runtime::JoinText(rs(0).Value()), "VENTAS * 2 + ABS(4)");
  rs.Close();
  EXPECT_FALSE(editor.Expandido());
  qt_ui.SetHost(nullptr);
  app.CerrarLogErrores();
}

}  // namespace
