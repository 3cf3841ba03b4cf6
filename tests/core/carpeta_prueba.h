// Shared set-up of the core tests: a fresh application folder in a temp dir, a scripted Ui whose
// clock stands at 05/12/2026 11:20:41, the embedded database and the DBF data source pointed into
// that folder (as the program sets them up), and small file helpers.
#pragma once

#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/aplicacion.h"
#include "platform/dbf/data_source.h"
#include "platform/runtime/dates.h"
#include "platform/sql/client.h"
#include "platform/ui/scripted_ui.h"

namespace core_test {

namespace fs = std::filesystem;

inline std::string LeerArchivo(const fs::path& ruta) {
  std::ifstream entrada(ruta, std::ios::binary);
  std::ostringstream texto;
  texto << entrada.rdbuf();
  return texto.str();
}

inline void EscribirArchivo(const fs::path& ruta, const std::string& texto) {
  std::ofstream salida(ruta, std::ios::binary);
  salida << texto;
}

// The names in a folder, sorted; empty when the folder is missing.
inline std::vector<std::string> Nombres(const fs::path& carpeta) {
  std::vector<std::string> nombres;
  std::error_code error;
  for (const auto& entrada : fs::directory_iterator(carpeta, error)) {
    nombres.push_back(entrada.path().filename().string());
  }
  std::sort(nombres.begin(), nombres.end());
  return nombres;
}

class CarpetaPrueba : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string plantilla = (fs::temp_directory_path() / "consolida-core-XXXXXX").string();
    ASSERT_NE(::mkdtemp(plantilla.data()), nullptr);
    carpeta_ = plantilla;
    ui_.SetNow(runtime::MakeDate(2026, 12, 5, 11, 20, 41));
    sql::ConfigureEmbedded({(carpeta_ / "Consolida.db").string(), {}});
    dbf::RegisterProvider();
    dbf::DefineDataSource("DBFFOXNOV", (carpeta_ / "Datos").string());
  }

  void TearDown() override {
    app_.reset();
    std::error_code error;
    fs::remove_all(carpeta_, error);
  }

  // The application object over the test folder, created on first use.
  core::Aplicacion& App(const std::string& servidor_sql = "") {
    if (!app_) {
      app_ = std::make_unique<core::Aplicacion>(
          core::Configuracion{carpeta_.string(), servidor_sql}, ui_);
    }
    return *app_;
  }

  // Makes the working folders Main would make.
  void CrearCarpetasDeTrabajo() {
    for (const char* nombre : {"Log", "Datos", "Procesados", "NoProcesados", "Reporte"}) {
      fs::create_directory(carpeta_ / nombre);
    }
  }

  std::vector<std::string> Titulos() const {
    std::vector<std::string> titulos;
    for (const auto& mensaje : ui_.Messages()) titulos.push_back(mensaje.title);
    return titulos;
  }

  fs::path carpeta_;
  ui::ScriptedUi ui_;
  std::unique_ptr<core::Aplicacion> app_;
};

}  // namespace core_test
