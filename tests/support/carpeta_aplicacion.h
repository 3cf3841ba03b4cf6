// Shared set-up of the window tests: a fresh application folder with its working folders, the
// embedded database created from schema/, the DBF data source over Datos, the error log open
// and the three connections opened as Main opens them; a scripted Ui whose clock stands at
// 05/12/2026 11:20:41. Helpers read tables back as one text per row, read the log and list folders.
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
#include "platform/runtime/conversions.h"
#include "platform/runtime/dates.h"
#include "platform/sql/client.h"
#include "platform/ui/scripted_ui.h"
#include "schema/schema.h"
#include "tests/core/carpeta_prueba.h"
#include "tests/support/dbf_writer.h"

namespace testsupport {

namespace fs = std::filesystem;

using core_test::LeerArchivo;
using core_test::Nombres;

class CarpetaAplicacion : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string plantilla = (fs::temp_directory_path() / "consolida-app-XXXXXX").string();
    ASSERT_NE(::mkdtemp(plantilla.data()), nullptr);
    carpeta_ = plantilla;
    for (const char* nombre : {"Log", "Datos", "Procesados", "NoProcesados", "Reporte"}) {
      fs::create_directory(carpeta_ / nombre);
    }
    sql::ConfigureEmbedded({(carpeta_ / "Consolida.db").string(), schema::CreationBatches()});
    dbf::RegisterProvider();
    dbf::DefineDataSource("DBFFOXNOV", (carpeta_ / "Datos").string());
    AbrirAplicacion();
  }

  void TearDown() override {
    app_.reset();
    ui_.reset();
    std::error_code error;
    fs::remove_all(carpeta_, error);
  }

  // A new run over the same folder and database (what a restart after a crash sees).
  void AbrirAplicacion() {
    app_.reset();
    ui_ = std::make_unique<ui::ScriptedUi>();
    ui_->SetNow(runtime::MakeDate(2026, 12, 5, 11, 20, 41));
    app_ = std::make_unique<core::Aplicacion>(core::Configuracion{carpeta_.string(), ""}, *ui_);
    app_->AbrirLogErrores();
    app_->CnDbf.Open(core::Aplicacion::kCadenaDbf);
    app_->CnSql.Open(app_->CadenaSql());
    app_->CnSql2.Open(app_->CadenaSql());
  }

  core::Aplicacion& App() { return *app_; }
  ui::ScriptedUi& Ui() { return *ui_; }

  void EscribirDbf(const std::string& nombre, const testsupport::DbfTable& tabla) {
    testsupport::WriteDbf((carpeta_ / "Datos" / nombre).string(), tabla);
  }

  // The rows of `consulta`, each as its values joined by "|" (NULL written as "NULL").
  std::vector<std::string> Filas(const std::string& consulta) {
    sql::Connection cn;
    cn.Open(app_->CadenaSql());
    sql::Recordset rs;
    rs.Open(consulta, cn);
    std::vector<std::string> filas;
    for (; !rs.Eof(); rs.MoveNext()) {
      std::string fila;
      for (int i = 0; i < rs.Fields().Count(); ++i) {
        const runtime::Valor valor = rs(i).Value();
        fila += (i ? "|" : "") + (valor.IsNull() ? std::string("NULL") : runtime::CStr(valor));
      }
      filas.push_back(fila);
    }
    return filas;
  }

  // The texts of the entries of this run's error log, without their header lines and without
  // the final line end.
  std::vector<std::string> EntradasLog() {
    const std::string texto = LeerArchivo(app_->ArchivoErr);
    const std::string cabecera(77, '=');
    std::vector<size_t> inicios;
    for (size_t pos = texto.find(cabecera); pos != std::string::npos;
         pos = texto.find(cabecera, pos + 1)) {
      inicios.push_back(pos);
    }
    std::vector<std::string> entradas;
    for (size_t i = 0; i < inicios.size(); ++i) {
      const size_t desde = inicios[i] + cabecera.size() + 2;
      const size_t hasta = (i + 1 < inicios.size() ? inicios[i + 1] - 19 : texto.size()) - 2;
      entradas.push_back(texto.substr(desde, hasta - desde));
    }
    return entradas;
  }

  // The text of this run's error log so far.
  std::string Log() const { return LeerArchivo(app_->ArchivoErr); }

  // The file names in working folder `nombre`, sorted.
  std::vector<std::string> Carpeta(const char* nombre) { return Nombres(carpeta_ / nombre); }

  fs::path carpeta_;
  std::unique_ptr<ui::ScriptedUi> ui_;
  std::unique_ptr<core::Aplicacion> app_;
};

}  // namespace testsupport
