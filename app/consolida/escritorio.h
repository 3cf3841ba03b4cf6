// The desktop run of the program: Main with the main window on the screen, the event loop, and
// the end of the run. Kept out of main() so that the whole close can be driven offscreen.
#pragma once

namespace core {
class Aplicacion;
}  // namespace core
namespace gui {
class QtUi;
}  // namespace gui

namespace consolida {

// Runs Main over `app`, whose Ui is `ui`, with the main window shown, then the Qt event loop
// until it ends. A confirmed close of the main window ends the run (its task windows unloaded,
// the error log closed and checked: an empty log is deleted). When the loop ends without that
// close (QCoreApplication::exit), the log is closed and checked all the same.
// Returns the loop's exit code, or 0 when Main ended the run before showing a window.
// REQUIRES: a QApplication exists; `app` was prepared (PrepararMaquina) and has its windows.
int EjecutarEscritorio(core::Aplicacion& app, gui::QtUi& ui);

}  // namespace consolida
