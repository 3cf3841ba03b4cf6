// The desktop program: reads the application folder and the SQL host from its options and
// environment, sets up the embedded database and the DBF data source the way the machine would,
// then runs Main with a factory that puts the main window on the screen. Holds no logic of its own.
#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QApplication>

#include "core/aplicacion.h"
#include "core/configuracion.h"
#include "core/inicio.h"
#include "core/mdi_principal.h"
#include "gui/form_view.h"
#include "gui/main_window_view.h"
#include "gui/qt_ui.h"
#include "platform/dbf/data_source.h"
#include "platform/runtime/files.h"
#include "platform/sql/client.h"
#include "platform/ui/ui.h"
#include "schema/schema.h"

int main(int argc, char** argv) {
  QApplication programa(argc, argv);

  // QApplication has taken its own options out of argv by now.
  std::vector<std::string> argumentos;
  for (int i = 1; i < argc; ++i) argumentos.emplace_back(argv[i]);
  const core::LecturaOpciones lectura = core::LeerOpciones(
      argumentos,
      [](const char* variable) -> std::optional<std::string> {
        const char* valor = std::getenv(variable);
        if (valor == nullptr) return std::nullopt;
        return std::string(valor);
      },
      runtime::ProgramFolder());
  if (!lectura.configuracion) {
    (lectura.codigo_salida == 0 ? std::cout : std::cerr) << lectura.mensaje;
    return lectura.codigo_salida;
  }

  gui::QtUi ui;
  core::Aplicacion app(*lectura.configuracion, ui);

  // What the machine provides outside the program: the embedded SQL database by default and the
  // DBF data source over the input folder.
  sql::ConfigureEmbedded({app.Ruta("Consolida.db"), schema::CreationBatches()});
  dbf::RegisterProvider();
  dbf::DefineDataSource("DBFFOXNOV", app.Ruta("Datos"));

  gui::SetExceptionHandler(
      [&app](const std::exception& error) { core::RegistrarErrorNoControlado(app, error); });

  std::unique_ptr<gui::MainWindowView> ventana;
  std::unique_ptr<core::MDIPrincipal> principal =
      core::Main(app, [&ventana, &ui](core::MDIPrincipal& mdi) {
        gui::MainWindowView::Callbacks callbacks;
        // The model asks the question and, when confirmed, unloads everything itself.
        callbacks.query_unload = [&mdi] { return mdi.Cerrar(ui::vbFormControlMenu); };
        callbacks.unload = [] {};
        ventana = std::make_unique<gui::MainWindowView>(mdi.Caption(), mdi.Menu(), callbacks);
        ui.SetHost(ventana.get());
        ventana->show();
      });
  if (!principal) return 0;
  const int codigo = programa.exec();
  ui.SetHost(nullptr);
  return codigo;
}
