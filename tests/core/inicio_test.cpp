// Start-up: the working folders, the log, the three connections on the real embedded engine and
// the DBF data source, and what the user sees (or does not) when one of them fails.
#include <gtest/gtest.h>

#include "core/inicio.h"
#include "platform/ui/ui.h"
#include "tests/support/carpeta_aplicacion.h"

namespace core_test {

using namespace test_support;
namespace {

const std::vector<std::string> kCarpetas = {"Datos", "Log", "NoProcesados", "Procesados",
                                            "Reporte"};

class Inicio : public CarpetaAplicacion {
 protected:
  // Runs Main; counts the main windows it asks to show.
  std::unique_ptr<core::MDIPrincipal> Arrancar(const std::string& servidor_sql = "") {
    return core::Main(App(servidor_sql), [this](core::MDIPrincipal&) { ++ventanas_; });
  }

  // The lines of the log file of this run (without the CR LF ends).
  std::vector<std::string> LineasDelLog() {
    std::vector<std::string> lineas;
    const std::string texto = LeerArchivo(App().ArchivoErr);
    size_t desde = 0;
    for (size_t fin; (fin = texto.find("\r\n", desde)) != std::string::npos; desde = fin + 2) {
      lineas.push_back(texto.substr(desde, fin - desde));
    }
    EXPECT_EQ(desde, texto.size()) << "text after the last CR LF";
    return lineas;
  }

  int ventanas_ = 0;
};

TEST_F(Inicio, ArrancaConCarpetasLogVacioYTresConexiones) {
  for (bool ya_estaban : {false, true}) {
    SCOPED_TRACE(ya_estaban ? "folders already there" : "fresh folder");
    if (ya_estaban) {
      app_.reset();
      ventanas_ = 0;
    }
    auto principal = Arrancar();
    ASSERT_NE(principal, nullptr);
    EXPECT_EQ(ventanas_, 1);
    EXPECT_TRUE(Ui().Messages().empty());
    for (const std::string& carpeta : kCarpetas) {
      EXPECT_TRUE(fs::is_directory(carpeta_ / carpeta)) << carpeta;
    }
    EXPECT_EQ(App().CnDbf.State(), sql::adStateOpen);
    EXPECT_EQ(App().CnSql.State(), sql::adStateOpen);
    EXPECT_EQ(App().CnSql2.State(), sql::adStateOpen);
    ASSERT_TRUE(fs::exists(App().ArchivoErr));
    EXPECT_EQ(fs::file_size(App().ArchivoErr), 0u);
  }
}

TEST_F(Inicio, UnaCarpetaImposibleDetieneTodoConUnMensaje) {
  struct Caso {
    const char* bloqueada;  // a file of that name stands where the folder should go
    std::vector<std::string> carpetas_hechas;
    bool hay_log;
  };
  const std::vector<Caso> casos = {
      {"Log", {}, false},
      {"Datos", {"Log"}, true},
      {"Procesados", {"Datos", "Log"}, true},
      {"NoProcesados", {"Datos", "Log", "Procesados"}, true},
      {"Reporte", {"Datos", "Log", "NoProcesados", "Procesados"}, true},
  };
  for (const Caso& caso : casos) {
    SCOPED_TRACE(caso.bloqueada);
    for (const std::string& carpeta : kCarpetas) fs::remove_all(carpeta_ / carpeta);
    app_.reset();
    Ui().ClearMessages();
    EscribirArchivo(carpeta_ / caso.bloqueada, "");

    EXPECT_EQ(Arrancar(), nullptr);
    EXPECT_EQ(ventanas_, 0);
    ASSERT_EQ(Ui().Messages().size(), 1u);
    EXPECT_EQ(Ui().Messages()[0].prompt,
              "No se pudo generar la carpeta " + (carpeta_ / caso.bloqueada).string());
    EXPECT_EQ(Ui().Messages()[0].style, ui::vbOKOnly);
    EXPECT_EQ(Ui().Messages()[0].title, Ui().AppTitle());
    std::vector<std::string> hechas;
    for (const std::string& carpeta : kCarpetas) {
      if (fs::is_directory(carpeta_ / carpeta)) hechas.push_back(carpeta);
    }
    EXPECT_EQ(hechas, caso.carpetas_hechas);
    EXPECT_EQ(App().CnDbf.State(), sql::adStateClosed);
    // The log is made right after Log itself; it holds nothing, as a folder failure is not logged.
    if (caso.hay_log) {
      EXPECT_EQ(Nombres(carpeta_ / "Log"), std::vector<std::string>{"err20261205112041.log"});
      EXPECT_EQ(fs::file_size(App().ArchivoErr), 0u);
    }
    fs::remove(carpeta_ / caso.bloqueada);
  }
}

TEST_F(Inicio, UnaConexionQueFallaDejaUnaEntradaYNingunaVentana) {
  struct Caso {
    const char* nombre;
    bool sin_fuente_dbf;
    std::string servidor;
    std::vector<std::string> esperado;  // the entry after its header line
  };
  const std::vector<Caso> casos = {
      {"DBF data source missing",
       true,
       "",
       {"Microsoft OLE DB Provider for ODBC Drivers",
        "(-2147467259) [Microsoft][Administrador de controladores ODBC] No se encuentra el nombre "
        "del origen de datos y no se especificó ningún controlador predeterminado",
        "Error intentando conectar por medio de ODBC."}},
      {"SQL host unreachable", false, "/nonexistent-host/Consolida.db", {}},
  };
  for (const Caso& caso : casos) {
    SCOPED_TRACE(caso.nombre);
    app_.reset();
    Ui().ClearMessages();
    if (caso.sin_fuente_dbf) dbf::RemoveDataSource("DBFFOXNOV");
    EXPECT_EQ(Arrancar(caso.servidor), nullptr);
    dbf::DefineDataSource("DBFFOXNOV", (carpeta_ / "Datos").string());

    EXPECT_EQ(ventanas_, 0);
    EXPECT_TRUE(Ui().Messages().empty());
    const std::vector<std::string> lineas = LineasDelLog();
    ASSERT_EQ(lineas.size(), 4u);
    EXPECT_EQ(lineas[0], "05/12/2026 11:20:41" + std::string(77, '='));
    if (!caso.esperado.empty()) {
      EXPECT_EQ(std::vector<std::string>(lineas.begin() + 1, lineas.end()), caso.esperado);
      EXPECT_EQ(App().CnSql.State(), sql::adStateClosed);
    } else {
      EXPECT_EQ(lineas[3], "Error intentando conectar a la primera instacia de SQL.");
      EXPECT_EQ(App().CnDbf.State(), sql::adStateOpen);
      EXPECT_EQ(App().CnSql2.State(), sql::adStateClosed);
    }
    fs::remove(App().ArchivoErr);
  }
}

TEST_F(Inicio, LaFuenteDbfExigeSuCarpetaYAunNoLeeTablas) {
  sql::Connection sin_carpeta;
  dbf::DefineDataSource("OTRAFUENTE", (carpeta_ / "NoExiste").string());
  try {
    sin_carpeta.Open("Provider=MSDASQL.1;Persist Security Info=False;Data Source=otrafuente");
    ADD_FAILURE() << "opened a data source without its folder";
  } catch (const runtime::VbError& error) {
    EXPECT_EQ(error.Source(), dbf::kOdbcErrorSource);
    EXPECT_NE(error.Description().find("NoExiste"), std::string::npos);
  }
  dbf::RemoveDataSource("OTRAFUENTE");

  CrearCarpetasDeTrabajo();
  sql::Connection dbf;
  dbf.Open(core::Aplicacion::kCadenaDbf);
  EXPECT_EQ(dbf.State(), sql::adStateOpen);
  EXPECT_THROW(dbf.Execute("Select * from Padron"), runtime::VbError);
}

}  // namespace
}  // namespace core_test
