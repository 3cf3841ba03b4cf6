// The one application-folder fixture of the tests: a fresh application folder in a temp dir,
// the embedded database (created from schema/ on first use) and the DBF data source pointed into
// it as the program sets them up, and a scripted Ui whose clock stands at 05/12/2026 11:20:41.
// `VentanaPrueba` also makes the working folders and opens the error log and the three
// connections as Main does, which is what every window test starts from. Helpers read tables
// back as one text per row, read the log and list folders.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "core/aplicacion.h"
#include "platform/dbf/data_source.h"
#include "platform/runtime/conversions.h"
#include "platform/runtime/dates.h"
#include "platform/sql/client.h"
#include "platform/ui/scripted_ui.h"
#include "schema/schema.h"
#include "platform/dbf/dbf_writer.h"
#include "tests/support/temp_folder.h"

namespace test_support {

class CarpetaAplicacion : public ::testing::Test {
 protected:
  void SetUp() override {
    temporal_ = std::make_unique<TempFolder>("consolida-app");
    carpeta_ = temporal_->path();
    sql::ConfigureEmbedded({(carpeta_ / "Consolida.db").string(), schema::CreationBatches()});
    dbf::RegisterProvider();
    dbf::DefineDataSource("DBFFOXNOV", (carpeta_ / "Datos").string());
    NuevaUi();
  }

  void TearDown() override {
    app_.reset();
    ui_.reset();
    temporal_.reset();
  }

  // The application object over the test folder, created on first use with `servidor_sql` as
  // the database host.
  core::Aplicacion& App(const std::string& servidor_sql = "") {
    if (!app_) {
      app_ = std::make_unique<core::Aplicacion>(
          core::Configuracion{carpeta_.string(), servidor_sql, pausa_ms_}, *ui_);
    }
    return *app_;
  }
  ui::ScriptedUi& Ui() { return *ui_; }

  // Makes the working folders Main would make.
  void CrearCarpetasDeTrabajo() {
    for (const char* nombre : {"Log", "Datos", "Procesados", "NoProcesados", "Reporte"}) {
      fs::create_directory(carpeta_ / nombre);
    }
  }

  // A new run over the same folder and database (what a restart after a crash sees): a new Ui,
  // a new application object, its error log and its three connections open.
  void AbrirAplicacion() {
    app_.reset();
    NuevaUi();
    App().AbrirLogErrores();
    app_->CnDbf.Open(core::Aplicacion::kCadenaDbf);
    app_->CnSql.Open(app_->CadenaSql());
    app_->CnSql2.Open(app_->CadenaSql());
  }

  void EscribirDbf(const std::string& nombre, const dbf::DbfTable& tabla) {
    dbf::WriteDbf((carpeta_ / "Datos" / nombre).string(), tabla);
  }

  // The rows of `consulta`, each as its values joined by "|" (NULL written as "NULL").
  std::vector<std::string> Filas(const std::string& consulta) {
    sql::Connection cn;
    cn.Open(App().CadenaSql());
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
    const std::string texto = LeerArchivo(App().ArchivoErr);
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
  std::string Log() { return LeerArchivo(App().ArchivoErr); }

  // The file names in working folder `nombre`, sorted.
  std::vector<std::string> Carpeta(const char* nombre) { return Nombres(carpeta_ / nombre); }

  // The titles of the messages shown so far, in order.
  std::vector<std::string> Titulos() const {
    std::vector<std::string> titulos;
    for (const auto& mensaje : ui_->Messages()) titulos.push_back(mensaje.title);
    return titulos;
  }

  fs::path carpeta_;
  // The program's pause setting for the application objects created from then on.
  std::optional<int> pausa_ms_;
  // Reset to close the application as the end of a run does (the Ui stays).
  std::unique_ptr<core::Aplicacion> app_;

 private:
  void NuevaUi() {
    ui_ = std::make_unique<ui::ScriptedUi>();
    ui_->SetNow(runtime::MakeDate(2026, 12, 5, 11, 20, 41));
  }

  std::unique_ptr<TempFolder> temporal_;
  std::unique_ptr<ui::ScriptedUi> ui_;
};

// True when `texto` has the shape of an error-log entry after its header line: the source, then
// "(" number ") " and the description, then a context line.
inline bool FormaDeEntrada(const std::string& texto) {
  static const std::regex kForma(R"(^[^\r\n]+\r\n\(-?[0-9]+\) [^\r\n]*\r\n[\s\S]+$)");
  return std::regex_match(texto, kForma);
}

// What every window test starts from: the working folders made, the application open.
class VentanaPrueba : public CarpetaAplicacion {
 protected:
  void SetUp() override {
    CarpetaAplicacion::SetUp();
    CrearCarpetasDeTrabajo();
    AbrirAplicacion();
  }
};

}  // namespace test_support
