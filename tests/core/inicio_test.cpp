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
  // A new start on the same folder: no application object, no messages, no windows shown.
  void DeNuevo() {
    app_.reset();
    Ui().ClearMessages();
    ventanas_ = 0;
  }
  std::vector<std::string> CarpetasHechas() {
    std::vector<std::string> hechas;
    for (const std::string& carpeta : kCarpetas) {
      if (fs::is_directory(carpeta_ / carpeta)) hechas.push_back(carpeta);
    }
    return hechas;
  }

  int ventanas_ = 0;
};

TEST_F(Inicio, ArrancaConCarpetasLogVacioYTresConexiones) {
  for (bool ya_estaban : {false, true}) {
    SCOPED_TRACE(ya_estaban ? "folders already there" : "fresh folder");
    DeNuevo();
    ASSERT_NE(Arrancar(), nullptr);
    EXPECT_EQ(ventanas_, 1);
    EXPECT_TRUE(Ui().Messages().empty());
    EXPECT_EQ(CarpetasHechas(), kCarpetas);
    EXPECT_EQ((std::vector{App().CnDbf.State(), App().CnSql.State(), App().CnSql2.State()}),
              std::vector<int>(3, sql::adStateOpen));
    ASSERT_TRUE(fs::exists(App().ArchivoErr));
    EXPECT_EQ(fs::file_size(App().ArchivoErr), 0u);
  }
}

// Log first (no log without it), then the rest in order, stopping at the first that fails.
TEST_F(Inicio, UnaCarpetaImposibleDetieneTodoConUnMensaje) {
  const std::vector<std::pair<const char*, std::vector<std::string>>> casos = {
      {"Log", {}},
      {"Datos", {"Log"}},
      {"NoProcesados", {"Datos", "Log", "Procesados"}},
      {"Reporte", {"Datos", "Log", "NoProcesados", "Procesados"}},
  };
  for (const auto& [bloqueada, hechas] : casos) {
    SCOPED_TRACE(bloqueada);
    for (const std::string& carpeta : kCarpetas) fs::remove_all(carpeta_ / carpeta);
    DeNuevo();
    EscribirArchivo(carpeta_ / bloqueada, "");  // a file stands where the folder should go

    EXPECT_EQ(Arrancar(), nullptr);
    EXPECT_EQ(ventanas_, 0);
    ASSERT_EQ(Ui().Messages().size(), 1u);
    EXPECT_EQ(Ui().Messages()[0].prompt, "No se pudo generar la carpeta " + (carpeta_ / bloqueada).string());
    EXPECT_EQ(Ui().Messages()[0].style, ui::vbOKOnly);
    EXPECT_EQ(CarpetasHechas(), hechas);
    EXPECT_EQ(App().CnDbf.State(), sql::adStateClosed);
    // The log is made right after Log itself; it holds nothing, as a folder failure is not logged.
    if (!hechas.empty()) {
      EXPECT_EQ(Nombres(carpeta_ / "Log"), std::vector<std::string>{"err20261205112041.log"});
      EXPECT_EQ(fs::file_size(App().ArchivoErr), 0u);
    }
    fs::remove(carpeta_ / bloqueada);
  }
}

TEST_F(Inicio, UnaConexionQueFallaDejaUnaEntradaYNingunaVentana) {
  struct Caso {
    const char* nombre;
    std::string servidor;
    std::string entrada;
  };
  const std::vector<Caso> casos = {
      {"DBF data source missing", "",
       "Microsoft OLE DB Provider for ODBC Drivers\r\n"
       "(-2147467259) [Microsoft][Administrador de controladores ODBC] No se encuentra el nombre del origen de "
       "datos y no se especificó ningún controlador predeterminado\r\nError intentando conectar por medio de ODBC."},
      {"SQL host unreachable", "/nonexistent-host/Consolida.db", "Error intentando conectar a la primera instacia de SQL."},
  };
  for (const Caso& caso : casos) {
    SCOPED_TRACE(caso.nombre);
    DeNuevo();
    if (caso.servidor.empty()) dbf::RemoveDataSource("DBFFOXNOV");
    EXPECT_EQ(Arrancar(caso.servidor), nullptr);
    dbf::DefineDataSource("DBFFOXNOV", (carpeta_ / "Datos").string());

    EXPECT_EQ(ventanas_, 0);
    EXPECT_TRUE(Ui().Messages().empty());
    const std::vector<std::string> entradas = EntradasLog();
    ASSERT_EQ(entradas.size(), 1u);
    EXPECT_TRUE(FormaDeEntrada(entradas[0])) << entradas[0];
    EXPECT_TRUE(entradas[0].ends_with(caso.entrada)) << entradas[0];
    // The connections open in turn: DBF, then SQL; nothing is opened after a failure.
    EXPECT_EQ(App().CnDbf.State(), caso.servidor.empty() ? sql::adStateClosed : sql::adStateOpen);
    EXPECT_EQ((std::vector{App().CnSql.State(), App().CnSql2.State()}), std::vector<int>(2, sql::adStateClosed));
    fs::remove(App().ArchivoErr);
  }
}

}  // namespace
}  // namespace core_test
