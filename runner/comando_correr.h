// "consolida secuencia correr": runs a stored sequence without a window, through the runner's own
// window model with the program's Ui (the console one: its message boxes as text on stderr).
// Part of consolida_runner; the program's command line (app/) calls it on a started application.
#pragma once

#include <chrono>
#include <ostream>
#include <string>

namespace core {
class Aplicacion;
}

namespace runner {

// The least time between two progress lines on `errores`.
inline constexpr std::chrono::milliseconds kIntervaloProgreso{250};

// Finds survey form `formulario` (Arc_Nombre) and its sequence `secuencia` (SC_NOMBRE), both
// compared as the server compares names (no regard to case or trailing blanks), fills
// FrmProcSecuencia's boxes with them and with `periodo` and `anio`, and presses "Procesar".
// Progress goes to `errores` as lines of the window's two progress labels ("Procesando ... V1
// | Empresa -> E7"), the first at once and then at most one per kIntervaloProgreso, and the
// last ("Proceso Finalizado") always. On success one line goes to `salida`.
// Returns 0 when the run went to its end without an error box or a lost journal row; 1 when a
// name matches no row or more than one (told on `errores`), when a check refused the input or
// the sequence, or when something failed. REQUIRES: CnSql is open; `periodo` and `anio` are at
// most four characters long (the window's boxes hold no more).
int SecuenciaCorrer(core::Aplicacion& app, const std::string& formulario, const std::string& secuencia,
                    const std::string& periodo, const std::string& anio, std::ostream& salida,
                    std::ostream& errores);

}  // namespace runner
