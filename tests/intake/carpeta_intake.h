// The intake tests run on the shared window-test set-up (an application folder with its database,
// connections and scripted Ui).
#pragma once

#include <filesystem>

#include "tests/core/carpeta_prueba.h"
#include "tests/support/carpeta_aplicacion.h"

namespace intake_test {

namespace fs = std::filesystem;

using core_test::LeerArchivo;
using core_test::Nombres;
using CarpetaIntake = testsupport::CarpetaAplicacion;

}  // namespace intake_test
