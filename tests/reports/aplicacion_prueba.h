// The report and sample-import tests run on the shared window-test set-up (an application folder
// with its database, connections and scripted Ui).
#pragma once

#include <filesystem>

#include "tests/support/carpeta_aplicacion.h"

namespace reports_test {

namespace fs = std::filesystem;

using AplicacionPrueba = testsupport::CarpetaAplicacion;

}  // namespace reports_test
