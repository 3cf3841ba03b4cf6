// How a run is configured: the application folder, the SQL host and the length of the program's
// pauses, from the program's options and environment (the option wins). Part of core; parses no command line and reads no
// environment itself: the caller hands in what the options gave and a lookup, so tests never
// depend on the machine.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "core/aplicacion.h"

namespace core {

// The result of reading the command line: a configuration, or the text to print and the exit
// code when the program should not start (help: code 0; a bad option: code 2).
struct LecturaOpciones {
  std::optional<Configuracion> configuracion;
  std::string mensaje;
  int codigo_salida = 0;
};

// The configuration from what the command line gave (nullopt: the option was not given) and the
// environment: --app-folder, else CONSOLIDA_APP_FOLDER, else `carpeta_programa`; --host, else
// CONSOLIDA_SQL_HOST, else empty. `entorno` returns an environment variable's value, nullopt
// when unset; an empty variable counts as unset. An empty --app-folder is refused (code 2).
// The application folder comes back absolute and without a trailing "/".
// The pause: --pausa-ms, else CONSOLIDA_PAUSA_MS, else none given (each pause keeps its own
// length); a value that is not a whole number from 0 to 2147483647 in decimal digits is refused
// (code 2) with a message naming where it came from.
LecturaOpciones ResolverConfiguracion(
    const std::optional<std::string>& carpeta, const std::optional<std::string>& host,
    const std::function<std::optional<std::string>(const char*)>& entorno,
    const std::string& carpeta_programa, const std::optional<std::string>& pausa = std::nullopt);

// The names of the environment variables.
inline constexpr const char* kVariableCarpeta = "CONSOLIDA_APP_FOLDER";
inline constexpr const char* kVariableHost = "CONSOLIDA_SQL_HOST";
inline constexpr const char* kVariablePausa = "CONSOLIDA_PAUSA_MS";

}  // namespace core
