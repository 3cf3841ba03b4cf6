// Offscreen smoke test of the report windows: the three "Reporte" entries of the main menu open
// their windows through the one view binder.
#include <gtest/gtest.h>

#include <QMdiArea>
#include <QMdiSubWindow>

#include "core/aplicacion.h"
#include "core/mdi_principal.h"
#include "gui/main_window_view.h"
#include "gui/qt_ui.h"
#include "reports/ventanas.h"
#include "schema/schema.h"
#include "sequences/ventanas.h"
#include "tests/gui/modales.h"
#include "tests/support/temp_folder.h"

namespace {

TEST(ReportsViewTest, LasTresEntradasDeReporteAbrenSusVentanas) {
  gui_test::EnsureApp();
  test_support::TempFolder carpeta("consolida-gui");
  std::filesystem::create_directory(carpeta.path() / "Log");
  sql::ConfigureEmbedded({(carpeta.path() / "Consolida.db").string(), schema::CreationBatches()});
  gui::QtUi qt_ui;
  core::Aplicacion app(core::Configuracion{carpeta.path().string(), "", 0}, qt_ui);
  app.AbrirLogErrores();
  app.CnSql.Open(app.CadenaSql());
  sequences::RegistrarVentanas(app);
  reports::RegistrarVentanas(app);
  core::MDIPrincipal principal(app);
  gui::MainWindowView main("Consolida", principal.Menu(), {});
  main.show();
  qt_ui.SetHost(&main);

  std::vector<std::string> abiertas;
  for (const char* entrada : {"MnuRepRE", "MnuRepF", "MnuRSec"}) {
    main.MenuAction(entrada)->trigger();
    abiertas.push_back(dynamic_cast<gui::FormView*>(main.Area()->subWindowList().back()->widget())->Model().Name());
  }
  EXPECT_EQ(abiertas, (std::vector<std::string>{"FrmReporte", "FrmConsForm", "FrmConsSec"}));

  qt_ui.SetHost(nullptr);
}

}  // namespace
