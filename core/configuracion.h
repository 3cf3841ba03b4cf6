// How a run is configured: the application folder and the SQL host, from the program's options
// and environment (the option wins). Part of core; reads no environment itself: the caller
// hands in a lookup, so tests never depend on the machine.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/aplicacion.h"

namespace core {

// The result of reading the command line: a configuration, or the text to print and the exit
// code when the program should not start (--help: code 0; a bad option: code 2).
struct LecturaOpciones {
  std::optional<Configuracion> configuracion;
  std::string mensaje;
  int codigo_salida = 0;
};

// Reads `argumentos` (without the program name):
//   --app-folder <dir> | --app-folder=<dir>   (else CONSOLIDA_APP_FOLDER, else `carpeta_programa`)
//   --host <name>      | --host=<name>        (else CONSOLIDA_SQL_HOST, else empty)
//   --help
// `entorno` returns an environment variable's value, nullopt when unset. An empty variable
// counts as unset. The application folder comes back absolute and without a trailing "/".
LecturaOpciones LeerOpciones(const std::vector<std::string>& argumentos,
                             const std::function<std::optional<std::string>(const char*)>& entorno,
                             const std::string& carpeta_programa);

// The usage text printed by --help.
std::string TextoDeUso();

}  // namespace core
