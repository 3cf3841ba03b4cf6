// The error log of a run: file name, entry layout, numbered files, the end-of-run check, and the
// text every handler builds from a caught error.
#include <gtest/gtest.h>

#include "core/inicio.h"
#include "platform/runtime/vb_error.h"
#include "platform/ui/ui.h"
#include "tests/support/carpeta_aplicacion.h"

namespace core_test {

using namespace test_support;
namespace {

const std::string kIguales(77, '=');

using RegistroErrores = CarpetaAplicacion;

// The file is named by the start of the run and is empty until the first entry.
TEST_F(RegistroErrores, CadaEntradaEsCabeceraDe96CaracteresYTextoConCrLf) {
  CrearCarpetasDeTrabajo();
  App().AbrirLogErrores();
  EXPECT_EQ(App().ArchivoErr, (carpeta_ / "Log" / "err20261205112041.log").string());
  EXPECT_EQ(LeerArchivo(App().ArchivoErr), "");
  App().GrabarError("primera", App().NroArchivoErr);
  Ui().SetNow(runtime::MakeDate(2027, 1, 9, 7, 5, 3));
  // A caught error's text: its source, "(" number ") " description, the handler's context.
  const runtime::VbError error(-2147217900, "Microsoft OLE DB Provider for SQL Server", "Invalid object name 'SE_X'.");
  App().RegistrarError(error, "FrmReporte (reporte)");

  // Read while the file is still open: each entry must already be in the file.
  const std::string contenido = LeerArchivo(App().ArchivoErr);
  EXPECT_EQ(contenido, "05/12/2026 11:20:41" + kIguales + "\r\nprimera\r\n" + "09/01/2027 07:05:03" + kIguales +
                           "\r\nMicrosoft OLE DB Provider for SQL Server\r\n(-2147217900) Invalid object name "
                           "'SE_X'.\r\nFrmReporte (reporte)\r\n");
  const std::string cabecera = contenido.substr(0, contenido.find("\r\n"));
  EXPECT_EQ(cabecera.size(), 96u);
}

TEST_F(RegistroErrores, LosNumerosDeArchivoSonLibresYSeReusanAlCerrar) {
  CrearCarpetasDeTrabajo();
  const int16_t a = App().AbrirArchivo((carpeta_ / "Log" / "a.txt").string());
  const int16_t b = App().AbrirArchivo((carpeta_ / "Log" / "b.txt").string());
  EXPECT_NE(a, b);
  App().GrabarError("en b", b);
  EXPECT_EQ(fs::file_size(carpeta_ / "Log" / "a.txt"), 0u);
  EXPECT_GT(fs::file_size(carpeta_ / "Log" / "b.txt"), 0u);

  App().NroArchivoErr = a;
  App().CerrarLogErrores();
  App().CerrarLogErrores();  // closing a closed number is harmless
  EXPECT_EQ(App().AbrirArchivo((carpeta_ / "Log" / "c.txt").string()), a);
}

TEST_F(RegistroErrores, FallasDeArchivoLleganAlLlamadorComoErrores) {
  struct Caso {
    const char* nombre;
    std::function<void(core::Aplicacion&)> accion;
    long numero;
  };
  CrearCarpetasDeTrabajo();
  const std::vector<Caso> casos = {
      {"write to a number never opened",
       [](core::Aplicacion& app) { app.GrabarError("x", 7); }, 52},
      {"write after close",
       [](core::Aplicacion& app) {
         app.AbrirLogErrores();
         app.CerrarLogErrores();
         app.GrabarError("x", app.NroArchivoErr);
       },
       52},
      {"open in a missing folder",
       [this](core::Aplicacion& app) {
         app.AbrirArchivo((carpeta_ / "NoExiste" / "x.log").string());
       },
       76},
      {"open a folder as a file",
       [this](core::Aplicacion& app) { app.AbrirArchivo((carpeta_ / "Datos").string()); }, 75},
  };
  for (const Caso& caso : casos) {
    SCOPED_TRACE(caso.nombre);
    try {
      caso.accion(App());
      ADD_FAILURE() << "no error raised";
    } catch (const runtime::VbError& error) {
      EXPECT_EQ(error.Number(), caso.numero);
    }
  }
}

TEST_F(RegistroErrores, VerificarBorraElVacioYAvisaDelQueTieneErrores) {
  struct Caso {
    const char* nombre;
    bool crear;
    std::string contenido;
    bool queda;
    int mensajes;
  };
  const std::vector<Caso> casos = {
      {"empty log", true, "", false, 0},
      {"log with an entry", true, "algo\r\n", true, 1},
      {"log already gone", false, "", false, 0},
  };
  CrearCarpetasDeTrabajo();
  for (const Caso& caso : casos) {
    SCOPED_TRACE(caso.nombre);
    Ui().ClearMessages();
    const fs::path ruta = carpeta_ / "Log" / "err20261205112041.log";
    if (caso.crear) EscribirArchivo(ruta, caso.contenido);
    App().VerificarLogErrores(ruta.string());
    EXPECT_EQ(fs::exists(ruta), caso.queda);
    std::vector<std::string> mensajes;
    for (const auto& m : Ui().Messages()) mensajes.push_back(m.title + "|" + std::to_string(m.style) + "|" + m.prompt);
    EXPECT_EQ(mensajes, std::vector<std::string>(caso.mensajes, "Captura de Errores|" +
                                                                    std::to_string(ui::vbCritical + ui::vbOKOnly) +
                                                                    "|Existen errores en el archivo de Errores\r\n"
                                                                    "Avisar al Personal de Sistemas para que lo revise"));
    fs::remove(ruta);
  }
}

TEST_F(RegistroErrores, UnErrorNoControladoQuedaEnElLogSinLanzar) {
  CrearCarpetasDeTrabajo();
  // Before the log is open nothing can be written, and nothing may be thrown either.
  core::RegistrarErrorNoControlado(App(), std::runtime_error("antes"));
  App().AbrirLogErrores();
  core::RegistrarErrorNoControlado(App(), runtime::VbError(3021, "ADODB.Field", "sin fila"));
  core::RegistrarErrorNoControlado(App(), std::runtime_error("otra cosa"));
  EXPECT_EQ(LeerArchivo(App().ArchivoErr),
            "05/12/2026 11:20:41" + kIguales + "\r\nADODB.Field\r\n(3021) sin fila\r\n" +
                "Error no controlado\r\n" + "05/12/2026 11:20:41" + kIguales +
                "\r\nConsolida\r\n(0) otra cosa\r\nError no controlado\r\n");
}

}  // namespace
}  // namespace core_test
