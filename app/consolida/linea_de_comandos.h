// The command line of the desktop program: the options every run takes (--app-folder, --host,
// --pausa-ms) and the commands that do one job without a window ("formula generar", "importar
// ...", "secuencia correr", "reporte ..."), each through the same code the windows use, with the
// console Ui. Part of the consolida program; no Qt, so the
// commands run on a machine without a display and in tests.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "core/aplicacion.h"

namespace consolida {

// What a command line asks for.
enum class Accion {
  kEscritorio,      // no command: the desktop program
  kFormulaGenerar,  // formula generar <id> [--texto]
  kImportarEstructuras,  // importar estructuras --descripciones <archivo>
  kImportarNovedades,    // importar novedades --periodo <P>
  kImportarPadron,       // importar padron --anio <A>
  kImportarMuestra,      // importar muestra
  kSecuenciaCorrer, // secuencia correr --formulario F --secuencia S --periodo P --anio A
  kReporteResultados,  // reporte resultados --formulario F --periodo P --titulo T [--anio-anterior] [--campos A,B]
  kReporteFormulas,    // reporte formulas --formulario <form code>
  kReporteSecuencia,   // reporte secuencia --secuencia S
  kDemo,               // demo [--carpeta <dir>] [--empresas <N>]
  kTerminar,        // print `mensaje` and end with `codigo_salida` (help, a bad line)
};

struct Orden {
  Accion accion = Accion::kTerminar;
  core::Configuracion configuracion;
  // formula generar
  int32_t formula = 0;
  bool texto = false;
  // importar novedades and padron, secuencia correr: the period or year as typed (the window
  // checks it); importar estructuras: the descriptions file.
  std::string periodo;
  std::string descripciones;
  // secuencia correr
  std::string formulario;
  std::string secuencia;
  std::string anio;
  // reporte resultados (with formulario and periodo above; reporte formulas takes formulario,
  // reporte secuencia takes secuencia)
  std::string titulo;
  bool anio_anterior = false;
  std::optional<std::vector<std::string>> campos;
  // demo: its folder ("" for a new one under the temporary folder) and its number of companies
  std::string carpeta_demo;
  int empresas = 200;
  // kTerminar: the text to print (stdout when the code is 0, else stderr) and the exit code:
  // 0 for the help, 2 for a line that cannot be read.
  std::string mensaje;
  int codigo_salida = 0;
};

// Reads `argumentos` (without the program name). `entorno` looks up an environment variable
// (nullopt when unset); `carpeta_programa` is the default application folder. Bad lines give
// kTerminar with a Spanish message followed by the usage text. The help of the program lists
// every command with its options and one line of description.
Orden LeerOrden(const std::vector<std::string>& argumentos,
                const std::function<std::optional<std::string>(const char*)>& entorno,
                const std::string& carpeta_programa);

// What the machine provides outside the program, for `app`'s folder: the embedded SQL database
// (created from the schema on first use) and the DBF data source over Datos.
void PrepararMaquina(const core::Aplicacion& app);

// Runs a command (any Accion but kEscritorio and kTerminar) to its end: prepares the machine,
// starts the run as Main does but without a window (folders, error log, connections), does the
// job with the console Ui (its messages, and the progress labels of the windows it opens, a few
// lines a second, on `errores`), then closes and checks the error log.
// Returns the exit status: 0 when the job succeeded, 1 otherwise (a start that fails included).
int EjecutarSinVentana(const Orden& orden, std::ostream& salida, std::ostream& errores);

}  // namespace consolida
