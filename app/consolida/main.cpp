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

#include "app/consolida/ventanas.h"
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

namespace {

std::optional<std::string> Variable(const char* nombre) {
  const char* valor = std::getenv(nombre);
  if (valor == nullptr) return std::nullopt;
  return std::string(valor);
}

// Qt's own options start with a single "-" (-platform, -style ...); ours with "--".
bool HayOpcionesDeQt(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string argumento = argv[i];
    if (argumento.size() > 1 && argumento[0] == '-' && argumento[1] != '-') return true;
  }
  return false;
}

core::LecturaOpciones Leer(int argc, char** argv) {
  std::vector<std::string> argumentos;
  for (int i = 1; i < argc; ++i) argumentos.emplace_back(argv[i]);
  return core::LeerOpciones(argumentos, Variable, runtime::ProgramFolder());
}

}  // namespace

int main(int argc, char** argv) {
  // Read before Qt starts, so --help and the usual options work without a display; a line
  // that also carries Qt's own options (-platform ...) is read again once Qt has taken them out.
  core::LecturaOpciones lectura = Leer(argc, argv);
  if (!lectura.configuracion && (lectura.codigo_salida == 0 || !HayOpcionesDeQt(argc, argv))) {
    (lectura.codigo_salida == 0 ? std::cout : std::cerr) << lectura.mensaje;
    return lectura.codigo_salida;
  }
  QApplication programa(argc, argv);
  if (!lectura.configuracion) lectura = Leer(argc, argv);
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
  RegistrarVentanas(app);

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
