// "consolida importar ...": the intake windows run without a screen. Each command opens the
// window on the application's Ui (the console one in the program), fills its controls as the
// user would, presses its button, and prints one end line from the outcome the window counted
// (ResultadoImportacion). Part of consolida_intake; the program's command line calls these on a
// started application. They hold no import logic of their own.
#pragma once

#include <ostream>
#include <string>

#include "intake/resultado.h"

namespace core {
class Aplicacion;
}

namespace intake {

// The end line of an import, written to `salida`:
//   "Fin de la importacion: 1 archivo, 40 filas grabadas, 0 filas rechazadas"
// ("Fin de la importacion con errores: ..." when the outcome has an error or refused rows),
// with the singular for a count of 1.
std::string LineaFinal(const ResultadoImportacion& resultado);

// The exit status of an import: 0 when it ended without error and refused no row, else 1.
int CodigoSalida(const ResultadoImportacion& resultado);

// "importar novedades --periodo <P>": Proc_Novedades with `periodo` typed in TxtPeriodo, then
// "Proceso". Messages go through the application's Ui; the end line to `salida`.
// Returns CodigoSalida. REQUIRES (all four): the application is started (connections open).
int ImportarNovedades(core::Aplicacion& app, const std::string& periodo, std::ostream& salida);

// "importar padron --anio <A>": FrmPadron with `anio` typed in TxtPeriodo, then "Procesar".
int ImportarPadron(core::Aplicacion& app, const std::string& anio, std::ostream& salida);

// "importar muestra": FrmMuestra, "Procesar" (the sheet's rows carry their own year).
int ImportarMuestra(core::Aplicacion& app, std::ostream& salida);

// "importar estructuras --descripciones <archivo>": gives catalogued columns their
// descriptions through Proc_CargaNov. The file is UTF-8 text, one column a line:
//   <Arc_Nombre> TAB <Est_Campo> TAB <description>
// (blank lines are skipped; names are matched without regard to letter case). For each line the
// command double-clicks the file in LstForm, clicks the column's row of MFGField, presses
// "Modificar", types the description in txtDesc and presses "Actualiza". A line it cannot hand
// to the window (no two tabs, a file or column not in the catalogue) is refused with a line on
// `errores` that names it. The end line counts the descriptions file, the columns saved and the
// lines refused (by the command or by the window).
int ImportarEstructuras(core::Aplicacion& app, const std::string& descripciones,
                        std::ostream& salida, std::ostream& errores);

}  // namespace intake
