// The application object: the program-wide objects of one run (the connections CnDbf, CnSql and
// CnSql2, the shared recordsets Rs1..Rs5, the error log ArchivoErr/NroArchivoErr, the application
// folder, the Ui service) and the routines every window shares: the error log and the file
// routines. Windows receive it; it never draws anything and never reads the real clock.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/internal/archivos_numerados.h"
#include "platform/runtime/vb_error.h"
#include "platform/sql/client.h"
#include "platform/ui/form.h"

namespace ui {
class Ui;
}  // namespace ui

namespace core {

// Where the run happens, as the program is started with it.
struct Configuracion {
  // The folder that holds Log, Datos, Procesados, NoProcesados, Reporte. No trailing "/".
  std::string carpeta_aplicacion;
  // The Data Source of the SQL Server connection string; empty selects the embedded database
  // that the database client keeps by default.
  std::string servidor_sql;
  // The length in milliseconds of every fixed pause of the program (between the steps of a
  // sequence run, between the rows of the results report); 0 for none. nullopt: each pause
  // keeps its own length (see Aplicacion::Pausa).
  std::optional<int> pausa_ms = std::nullopt;
};

class Aplicacion;

// Creates a task window; called once per run, the first time its menu entry is used.
using FabricaVentana = std::function<std::unique_ptr<ui::Form>(Aplicacion&)>;

class Aplicacion {
 public:
  // REQUIRES: `ui` outlives the object.
  Aplicacion(Configuracion configuracion, ui::Ui& ui);
  ~Aplicacion();
  Aplicacion(const Aplicacion&) = delete;
  Aplicacion& operator=(const Aplicacion&) = delete;

  ui::Ui& Ui() { return ui_; }
  // The application folder ("App.Path"), without a trailing separator.
  const std::string& Carpeta() const { return configuracion_.carpeta_aplicacion; }
  // The application folder followed by "/" and `nombre` (a working folder or a file in it).
  std::string Ruta(const std::string& nombre) const;
  // The length of a fixed pause whose own length is `descrita` milliseconds (2000 for a step of
  // a sequence run, 50 for a row of the results report): the configured pause when one was
  // given, else `descrita`. Windows pause through Ui::Sleep with it.
  int Pausa(int descrita) const { return configuracion_.pausa_ms.value_or(descrita); }

  // The connection strings the program opens its three connections with.
  static constexpr const char* kCadenaDbf =
      "Provider=MSDASQL.1;Persist Security Info=False;Data Source=DBFFOXNOV";
  std::string CadenaSql() const;

  // The three connections; opened by Main, never replaced.
  sql::Connection CnDbf;
  sql::Connection CnSql;
  sql::Connection CnSql2;

  // The shared recordsets, each created on its first use and kept for the run. A user closes
  // one it finds open before opening it on its own SELECT.
  sql::Recordset& Rs1() { return Rs(0); }
  sql::Recordset& Rs2() { return Rs(1); }
  sql::Recordset& Rs3() { return Rs(2); }
  sql::Recordset& Rs4() { return Rs(3); }
  sql::Recordset& Rs5() { return Rs(4); }
  // Releases Rs1 (the imports do); the next use creates it again.
  void LiberarRs1() { recordsets_[0].reset(); }

  // The error log of this run: full path, and its file number while open (0 before).
  std::string ArchivoErr;
  int16_t NroArchivoErr = 0;

  // Sets ArchivoErr to <folder>/Log/err<yyyymmddhhmmss>.log from the Ui clock and opens it for
  // appending as NroArchivoErr. Throws runtime::VbError when the file cannot be opened.
  void AbrirLogErrores();
  // Opens `ruta` for appending (created when missing) under the next free file number.
  // Throws runtime::VbError when it cannot be opened.
  int16_t AbrirArchivo(const std::string& ruta);
  // Appends one entry to file `numero`: the line "dd/mm/yyyy hh:nn:ss" followed by 77 "=", then
  // `texto` as one line; both end CR LF and reach the file before the call returns.
  // Throws runtime::VbError when `numero` is not open or the write fails (no handler of its own).
  void GrabarError(const std::string& texto, int16_t numero);
  // Appends the entry for a caught error (see TextoError) to this run's log.
  void RegistrarError(const runtime::VbError& error, const std::string& contexto);
  // Appends one entry per warning of `cn`'s last statement (cn.Errors()), in the format of a
  // caught error: a table read on an assumption (an unknown code page, say) is said in the log.
  void RegistrarAvisos(const sql::Connection& cn, const std::string& contexto);
  // Closes file NroArchivoErr; nothing happens when it is not open.
  void CerrarLogErrores();
  // End-of-run check of the log at `ruta`: an empty file is deleted (a failure to delete is
  // ignored); a non-empty one stays and the user is warned ("Captura de Errores"). A missing
  // file is nothing to report.
  void VerificarLogErrores(const std::string& ruta);

  // True when `ruta` names an existing file (not a folder).
  bool ExisteArchivo(const std::string& ruta) const;
  // Moves Datos/<nombre> to <carpeta>/<name>_<ddmmyyyy><hhnnss><ext>, the date and time from the
  // Ui clock and <ext> the last four characters of `nombre`; when that name is taken (a file of
  // the same name moved within the same second), to the first free <name>_<ddmmyyyy><hhnnss>_<n>
  // <ext>, n from 2 to kCopiasMovidas. Never overwrites: returns false when no name is free, the
  // source is missing or anything else fails; logs nothing.
  bool MoverArchivo(const std::string& nombre, const std::string& carpeta);
  static constexpr int kCopiasMovidas = 99;

  // The task windows the program knows, by window name (FrmPadron, Proc_Novedades ...).
  // A registration after the window was created does not replace it.
  void RegistrarVentana(const std::string& nombre, FabricaVentana fabrica);
  // Registers window class T, built from the application object.
  template <typename T>
  void RegistrarVentana(const std::string& nombre) {
    RegistrarVentana(nombre, [](Aplicacion& app) -> std::unique_ptr<ui::Form> { return std::make_unique<T>(app); });
  }
  bool ConoceVentana(const std::string& nombre) const;
  // The names of the registered windows, in name order.
  std::vector<std::string> VentanasRegistradas() const;
  // The one instance of window `nombre` for this run, created on first use; nullptr when no
  // such window is registered. Windows find each other through it.
  ui::Form* Ventana(const std::string& nombre);
  // The instances created so far, in creation order.
  std::vector<ui::Form*> VentanasCreadas() const;

 private:
  sql::Recordset& Rs(int indice);

  Configuracion configuracion_;
  ui::Ui& ui_;
  internal::ArchivosNumerados archivos_;
  std::array<std::unique_ptr<sql::Recordset>, 5> recordsets_;
  std::map<std::string, FabricaVentana> fabricas_;
  std::vector<std::pair<std::string, std::unique_ptr<ui::Form>>> ventanas_;
};

// The text of a caught error as every handler logs it: the error's source, CR LF, "(" number
// ") " description, CR LF, then the context line ("FrmReporte (reporte)", "Ejecutando - ...").
std::string TextoError(const runtime::VbError& error, const std::string& contexto);

// Makes `ruta` a folder when it is not one: true when it is a folder afterwards. Never throws
// and logs nothing; a file of that name is not a folder.
bool CrearCarpeta(const std::string& ruta);

}  // namespace core
