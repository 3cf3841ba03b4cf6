// The start routine. A folder failure is reported by a message (the log may not exist yet); a
// connection failure only by an error-log entry, as the run ends before any window exists.
#include "core/inicio.h"

#include "platform/runtime/vb_error.h"
#include "platform/ui/ui.h"

namespace core {
namespace {

void AvisarCarpeta(Aplicacion& app, const std::string& ruta) {
  app.Ui().MsgBox("No se pudo generar la carpeta " + ruta, ui::vbOKOnly, app.Ui().AppTitle());
}

// Opens one connection; on failure logs the entry whose last line is `linea`.
bool Conectar(Aplicacion& app, sql::Connection& conexion, const std::string& cadena,
              const char* linea) {
  try {
    conexion.Open(cadena, "", "", -1);
    return true;
  } catch (const runtime::VbError& error) {
    app.GrabarError(TextoError(error, linea), app.NroArchivoErr);
    return false;
  }
}

}  // namespace

bool IniciarSinVentana(Aplicacion& app) {
  const std::string carpeta_log = app.Ruta("Log");
  if (!CrearCarpeta(carpeta_log)) {
    AvisarCarpeta(app, carpeta_log);
    return false;
  }
  try {
    app.AbrirLogErrores();
  } catch (const runtime::VbError& error) {
    // Nothing can be logged without the log: the user hears of it instead.
    app.Ui().MsgBox("No se pudo abrir el archivo de errores " + app.ArchivoErr + "\r\n(" +
                        std::to_string(error.Number()) + ") " + error.Description(),
                    ui::vbOKOnly + ui::vbCritical, app.Ui().AppTitle());
    return false;
  }
  for (const char* nombre : {"Datos", "Procesados", "NoProcesados", "Reporte"}) {
    const std::string carpeta = app.Ruta(nombre);
    if (!CrearCarpeta(carpeta)) {
      AvisarCarpeta(app, carpeta);
      return false;
    }
  }
  if (!Conectar(app, app.CnDbf, Aplicacion::kCadenaDbf,
                "Error intentando conectar por medio de ODBC.") ||
      !Conectar(app, app.CnSql, app.CadenaSql(),
                "Error intentando conectar a la primera instacia de SQL.") ||
      !Conectar(app, app.CnSql2, app.CadenaSql(),
                "Error intentando conectar a la segunda instacia de SQL.")) {
    return false;
  }
  return true;
}

void TerminarSinVentana(Aplicacion& app) {
  app.CerrarLogErrores();
  app.VerificarLogErrores(app.ArchivoErr);
}

std::unique_ptr<MDIPrincipal> Main(Aplicacion& app, const MostrarVentanaPrincipal& mostrar) {
  if (!IniciarSinVentana(app)) return nullptr;
  auto principal = std::make_unique<MDIPrincipal>(app);
  mostrar(*principal);
  return principal;
}

void RegistrarErrorNoControlado(Aplicacion& app, const std::exception& error) {
  const auto* vb = dynamic_cast<const runtime::VbError*>(&error);
  const runtime::VbError como_vb =
      vb != nullptr ? *vb : runtime::VbError(0, "Consolida", error.what());
  try {
    app.GrabarError(TextoError(como_vb, "Error no controlado"), app.NroArchivoErr);
  } catch (const std::exception&) {
    // Called from the last line of defence: a failing log must not bring the program down.
  }
}

}  // namespace core
