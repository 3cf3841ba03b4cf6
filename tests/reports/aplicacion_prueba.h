// Shared set-up of the report and sample-import tests: a fresh application folder in a temp dir
// with its working folders, a scripted Ui whose clock stands at 05/12/2026 11:20:41, the embedded
// database created from schema/ and CnSql open on it, and the run's error log open.
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
#include "platform/runtime/conversions.h"
#include "platform/runtime/dates.h"
#include "platform/sql/client.h"
#include "platform/ui/scripted_ui.h"
#include "schema/schema.h"

namespace reports_test {

namespace fs = std::filesystem;

class AplicacionPrueba : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string plantilla = (fs::temp_directory_path() / "consolida-reports-XXXXXX").string();
    ASSERT_NE(::mkdtemp(plantilla.data()), nullptr);
    carpeta_ = plantilla;
    for (const char* nombre : {"Log", "Datos", "Procesados", "NoProcesados", "Reporte"}) {
      fs::create_directory(carpeta_ / nombre);
    }
    ui_.SetNow(runtime::MakeDate(2026, 12, 5, 11, 20, 41));
    sql::ConfigureEmbedded({(carpeta_ / "Consolida.db").string(), schema::CreationBatches()});
    app_ = std::make_unique<core::Aplicacion>(core::Configuracion{carpeta_.string(), ""}, ui_);
    app_->AbrirLogErrores();
    app_->CnSql.Open(app_->CadenaSql());
  }

  void TearDown() override {
    app_.reset();
    std::error_code error;
    fs::remove_all(carpeta_, error);
  }

  core::Aplicacion& App() { return *app_; }

  // Every row of `consulta`, each as its values in CStr form joined by "|" (Null as "NULL").
  std::vector<std::string> Filas(const std::string& consulta) {
    std::vector<std::string> filas;
    sql::Recordset rs;
    rs.Open(consulta, app_->CnSql);
    while (!rs.Eof()) {
      std::string fila;
      for (int i = 0; i < rs.Fields().Count(); ++i) {
        const runtime::Valor valor = rs(i).Value();
        fila += (i ? "|" : "") + (valor.IsNull() ? std::string("NULL") : runtime::CStr(valor));
      }
      filas.push_back(fila);
      rs.MoveNext();
    }
    rs.Close();
    return filas;
  }

  // The text of this run's error log so far.
  std::string Log() const {
    std::ifstream entrada(app_->ArchivoErr, std::ios::binary);
    std::ostringstream texto;
    texto << entrada.rdbuf();
    return texto.str();
  }

  // Number of entries in this run's error log (header lines of 77 "=").
  int EntradasDeLog() const {
    const std::string texto = Log();
    int n = 0;
    for (size_t p = texto.find(std::string(77, '=')); p != std::string::npos;
         p = texto.find(std::string(77, '='), p + 77)) {
      ++n;
    }
    return n;
  }

  std::vector<std::string> Nombres(const std::string& carpeta) const {
    std::vector<std::string> nombres;
    for (const auto& entrada : fs::directory_iterator(carpeta_ / carpeta)) {
      nombres.push_back(entrada.path().filename().string());
    }
    std::sort(nombres.begin(), nombres.end());
    return nombres;
  }

  fs::path carpeta_;
  ui::ScriptedUi ui_;
  std::unique_ptr<core::Aplicacion> app_;
};

}  // namespace reports_test
