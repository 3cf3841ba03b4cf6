// The intake tests run on the window-test set-up (an application folder with its database,
// connections and scripted Ui).
#pragma once

#include <filesystem>

#include "tests/support/carpeta_aplicacion.h"

namespace intake_test {

namespace fs = std::filesystem;

using test_support::LeerArchivo;
using test_support::Nombres;
using CarpetaIntake = test_support::VentanaPrueba;

}  // namespace intake_test
