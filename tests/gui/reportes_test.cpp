// Offscreen smoke test of the report windows through the Qt views: the three "Reporte" entries
// of the main menu open their windows, which pick, query and write their workbooks.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTableWidget>
#include <QTest>

#include "core/aplicacion.h"
#include "core/mdi_principal.h"
#include "gui/main_window_view.h"
#include "gui/qt_ui.h"
#include "reports/frm_cons_form.h"
#include "reports/frm_cons_sec.h"
#include "reports/frm_reporte.h"
#include "reports/ventanas.h"
#include "schema/schema.h"
#include "sequences/selectores.h"
#include "sequences/ventanas.h"
#include "tests/gui/modales.h"
#include "tests/support/temp_folder.h"

namespace {

using gui_test::Click;
using gui_test::OnModal;

class SinVisor : public reports::Visor {
 public:
  void Abrir(const std::string&) override {}
};

void Elegir(const std::string& form) {
  OnModal(form, [](gui::FormView& view) {
    auto& picker = dynamic_cast<sequences::Selector&>(view.Model());
    auto* list = qobject_cast<QListWidget*>(view.WidgetFor(picker.lstFormularios));
    emit list->itemClicked(list->item(0));
    Click(view, picker.CmdAceptar);
  });
}

TEST(ReportsViewTest, LasTresEntradasDeReporteAbrenYEscriben) {
  gui_test::EnsureApp();
  test_support::TempFolder carpeta("consolida-gui");
  for (const char* nombre : {"Log", "Reporte"}) std::filesystem::create_directory(carpeta.path() / nombre);
  sql::ConfigureEmbedded({(carpeta.path() / "Consolida.db").string(), schema::CreationBatches()});
  gui::QtUi qt_ui;
  core::Aplicacion app(core::Configuracion{carpeta.path().string(), "", 0}, qt_ui);
  app.AbrirLogErrores();
  app.CnSql.Open(app.CadenaSql());
  app.CnSql.Execute(
      "INSERT INTO SE_ARCHIVOS (Arc_Nombre) VALUES('ENCUES_1')\r\n"
      "INSERT INTO SE_CABFORMULA(FC_Nombre, FC_NomVar, FC_Formula) Values('Ventas', 'VT', 'VENTAS * 2')\r\n"
      "INSERT INTO SE_FORMULA_ARCHIVO(Id_FormCab, Id_Arc) Values(1, 1)\r\n"
      "INSERT INTO SE_MUESTRA_PADRON (Unico, Razon, FormSector, Periodo) Values('E1', 'Uno', 'ENCUES', 2005)\r\n"
      "INSERT INTO SE_RESULTADO (Id_FA, RE_Empresa, RE_Periodo, RE_Valor, RE_FormSector, RE_Anio) "
      "Values(1, 'E1', 2005, 4, 'ENCUES', 2005)\r\n"
      "INSERT INTO SE_CABSECUENCIA (SC_NOMBRE, SC_IDARC) Values('Diaria', 1)\r\n"
      "INSERT INTO SE_SECUENCIA (S_IDSECCAB, S_ORDEN, S_CONDIC, S_IDFORMCAB1, S_TIPVAR1) Values(1, 1, '', 1, 'F')");
  sequences::RegistrarVentanas(app);
  reports::RegistrarVentanas(app);
  core::MDIPrincipal principal(app);
  gui::MainWindowView main("Consolida", principal.Menu(), {});
  main.show();
  qt_ui.SetHost(&main);
  SinVisor visor;

  // Each entry opens its window as the newest sub-window.
  const auto abrir = [&](const char* entrada) -> gui::FormView& {
    main.MenuAction(entrada)->trigger();
    return *dynamic_cast<gui::FormView*>(main.Area()->subWindowList().back()->widget());
  };

  gui::FormView& vista_reporte = abrir("MnuRepRE");
  auto& reporte = dynamic_cast<reports::FrmReporte&>(vista_reporte.Model());
  reporte.UsarVisor(visor);
  QTest::keyClicks(vista_reporte.WidgetFor(reporte.TxtPeriodo), "2005");
  QTest::keyClicks(vista_reporte.WidgetFor(reporte.TxtTitulo), "Estimacion");
  Elegir("FrmBuFormReporte");
  Click(vista_reporte, reporte.CmdFormulario);
  OnModal("FrmReporteA", [](gui::FormView& view) {
    auto& dialogo = dynamic_cast<reports::FrmReporteA&>(view.Model());
    Click(view, dialogo.CmdSTodos);
    Click(view, dialogo.CmdAcepta);
  });
  std::vector<std::string> mensajes;
  gui_test::AnswerMessages(2, mensajes);
  Click(vista_reporte, reporte.CmdGenerar);
  ASSERT_TRUE(reporte.Planilla());
  EXPECT_TRUE(std::filesystem::exists(*reporte.Planilla()));

  gui::FormView& vista_formulas = abrir("MnuRepF");
  auto& formulas = dynamic_cast<reports::FrmConsForm&>(vista_formulas.Model());
  qobject_cast<QComboBox*>(vista_formulas.WidgetFor(formulas.cbxFormulario))->setCurrentIndex(0);
  Click(vista_formulas, formulas.CmdConsulta);
  auto* tabla_formulas = qobject_cast<QTableWidget*>(vista_formulas.WidgetFor(formulas.MSFGFormula));
  ASSERT_NE(tabla_formulas, nullptr);
  EXPECT_EQ(formulas.MSFGFormula.TextMatrix(1, 0), "VT");

  gui::FormView& vista_secuencia = abrir("MnuRSec");
  auto& secuencia = dynamic_cast<reports::FrmConsSec&>(vista_secuencia.Model());
  Elegir("FrmBuCoModSec");
  Click(vista_secuencia, secuencia.CmdSecuencia);
  Click(vista_secuencia, secuencia.CmdConsulta);
  auto* tabla = qobject_cast<QTableWidget*>(vista_secuencia.WidgetFor(secuencia.FGSecuencia));
  ASSERT_NE(tabla, nullptr);
  EXPECT_EQ(tabla->rowCount(), 2);
  EXPECT_EQ(tabla->columnCount(), 11);
  qt_ui.SetHost(nullptr);
}

}  // namespace
