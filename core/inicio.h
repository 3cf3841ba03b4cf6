// Main, the start of the program: makes the working folders, opens this run's error log, opens
// the three shared connections and then hands the main window to whoever shows it. Part of core;
// it never creates a widget itself: the window factory does (Qt in the program, nothing in tests).
#pragma once

#include <exception>
#include <functional>
#include <memory>
#include <string>

#include "core/aplicacion.h"
#include "core/mdi_principal.h"

namespace core {

// Shows the main window of the given model (not modal) and returns at once.
using MostrarVentanaPrincipal = std::function<void(MDIPrincipal&)>;

// The start-up, in order:
//  1. the folder Log; failing: message "No se pudo generar la carpeta <path>" and nothing more;
//  2. AbrirLogErrores;
//  3. the folders Datos, Procesados, NoProcesados, Reporte, stopping at the first that cannot be
//     made (same message);
//  4. CnDbf, CnSql, CnSql2 opened in turn; the first failure writes one error-log entry naming
//     that connection, shows nothing and ends the start-up;
//  5. the main window model is created and `mostrar` shows it.
// Returns the model when the main window was shown, nullptr when the program is to end.
std::unique_ptr<MDIPrincipal> Main(Aplicacion& app, const MostrarVentanaPrincipal& mostrar);

// The start of a run without a main window (the program's commands): steps 1 to 4 of Main,
// with the same messages and log entries. Returns true when the folders, the error log and the
// three connections are ready.
bool IniciarSinVentana(Aplicacion& app);

// The end of a run without a main window: closes this run's error log and checks it, as the
// main window's close does (an empty log is deleted, a non-empty one is reported through the Ui).
void TerminarSinVentana(Aplicacion& app);

// Writes the error-log entry of an error that no window handled, caught where the view layer
// hands user events to the models (the view shows the message itself). The context line is
// "Error no controlado". Never throws: when the log is not open or cannot be written, nothing
// is written.
void RegistrarErrorNoControlado(Aplicacion& app, const std::exception& error);

}  // namespace core
