// The desktop run: the main window's view over its model, the event loop, the end of the run.
#include "app/consolida/escritorio.h"

#include <memory>

#include <QApplication>

#include "core/aplicacion.h"
#include "core/inicio.h"
#include "core/mdi_principal.h"
#include "gui/form_view.h"
#include "gui/main_window_view.h"
#include "gui/qt_ui.h"
#include "platform/ui/form.h"

namespace consolida {

int EjecutarEscritorio(core::Aplicacion& app, gui::QtUi& ui) {
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
  const int codigo = QApplication::exec();
  // The loop may end without the close (an exit that closes no window): the run ends all the
  // same, so an empty log does not stay behind.
  if (!principal->Terminado()) core::TerminarSinVentana(app);
  ui.SetHost(nullptr);
  return codigo;
}

}  // namespace consolida
