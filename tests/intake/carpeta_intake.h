// The intake tests run on the shared window-test set-up (an application folder with its database,
// connections and scripted Ui).
#pragma once

#include <filesystem>
#include <regex>
#include <string>

#include "tests/core/carpeta_prueba.h"
#include "tests/support/carpeta_aplicacion.h"

namespace intake_test {

namespace fs = std::filesystem;

using core_test::LeerArchivo;
using core_test::Nombres;
using CarpetaIntake = testsupport::CarpetaAplicacion;

// True when an error-log entry's text has the shape every handler writes: the source, CR LF,
// "(" number ") " description, CR LF, then the context line (which may span lines).
inline bool FormaDeEntrada(const std::string& texto) {
  static const std::regex kForma(R"(^[^\r\n]+\r\n\(-?[0-9]+\) [^\r\n]*\r\n[\s\S]+$)");
  return std::regex_match(texto, kForma);
}

}  // namespace intake_test
