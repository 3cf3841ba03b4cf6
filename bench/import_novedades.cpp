// The survey import timed end to end: a survey file of N companies by M numeric fields goes
// through Proc_Novedades (ConsoleUi, embedded engine, WAL with synchronous=FULL) and is compared
// with a floor: the same lookup and INSERT per value, each pair in its own transaction, made
// directly on SQLite with statements prepared once and the same durability. Also reports how
// often the progress labels were painted and the time spent painting them.
// Run by hand: consolida_import_novedades_bench [companies=2000] [fields=150]. Asserts nothing.
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "core/aplicacion.h"
#include "intake/proc_novedades.h"
#include "platform/runtime/conversions.h"
#include "platform/dbf/data_source.h"
#include "platform/sql/client.h"
#include "platform/ui/console_ui.h"
#include "schema/schema.h"
#include "platform/dbf/dbf_writer.h"

namespace {

namespace fs = std::filesystem;
using Reloj = std::chrono::steady_clock;

double Segundos(Reloj::duration d) { return std::chrono::duration<double>(d).count(); }

// ConsoleUi that times each repaint request the window makes.
class UiMedida : public ui::ConsoleUi {
 public:
  void DoEvents() override {
    const auto inicio = Reloj::now();
    ui::ConsoleUi::DoEvents();
    ++llamadas;
    tiempo += Reloj::now() - inicio;
  }
  long llamadas = 0;
  Reloj::duration tiempo{};
};

std::string Empresa(int i) { return "30" + std::to_string(500000000 + i); }
std::string Campo(int j) {
  char texto[16];
  std::snprintf(texto, sizeof texto, "P%03d", j + 1);
  return texto;
}
double Valor(int i, int j) { return (i * 7 + j * 13) % 100000 / 4.0; }

dbf::DbfTable Encuesta(int empresas, int campos) {
  dbf::DbfTable tabla;
  tabla.fields.push_back({"UNICO", 'C', 11});
  for (int j = 0; j < campos; ++j) tabla.fields.push_back({Campo(j), 'N', 12, 2});
  for (int i = 0; i < empresas; ++i) {
    dbf::DbfRecord registro;
    registro.values.push_back(Empresa(i));
    for (int j = 0; j < campos; ++j) {
      char texto[32];
      std::snprintf(texto, sizeof texto, "%.2f", Valor(i, j));
      registro.values.push_back(texto);
    }
    tabla.records.push_back(std::move(registro));
  }
  return tabla;
}

void Check(int rc, sqlite3* db, const char* que) {
  if (rc != SQLITE_OK && rc != SQLITE_ROW && rc != SQLITE_DONE) {
    throw std::runtime_error(std::string(que) + ": " + sqlite3_errmsg(db));
  }
}

// The floor: per value BEGIN, lookup by company, year and field, INSERT, COMMIT.
double Piso(const fs::path& archivo, int empresas, int campos) {
  sqlite3* db = nullptr;
  Check(sqlite3_open(archivo.string().c_str(), &db), db, "open");
  Check(sqlite3_exec(db,
                     "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL;"
                     "CREATE TABLE SE_NOVEDAD (IdNovedad INTEGER PRIMARY KEY, Arc_Id INT, "
                     "FormSector TEXT, Capitulo INT, Empresa TEXT, Periodo INT, Campo TEXT, "
                     "Tipo TEXT, ValorStr TEXT, ValorInt INT, ValorDbl REAL, ValorDte TEXT);"
                     "CREATE UNIQUE INDEX UX ON SE_NOVEDAD (Empresa, Periodo, Campo);",
                     nullptr, nullptr, nullptr),
        db, "schema");
  sqlite3_stmt* buscar = nullptr;
  sqlite3_stmt* insertar = nullptr;
  Check(sqlite3_prepare_v2(db, "SELECT IdNovedad FROM SE_NOVEDAD WHERE Empresa = ? AND "
                               "Periodo = ? AND Campo = ?", -1, &buscar, nullptr), db, "prepare");
  Check(sqlite3_prepare_v2(db, "INSERT INTO SE_NOVEDAD (Arc_Id, FormSector, Capitulo, Empresa, "
                               "Periodo, Campo, Tipo, ValorStr, ValorInt, ValorDbl, ValorDte) "
                               "VALUES (1, 'ENCUES', 1, ?, 2005, ?, 'Dbl', 'Null', 0, ?, '')",
                           -1, &insertar, nullptr), db, "prepare");
  const auto inicio = Reloj::now();
  for (int i = 0; i < empresas; ++i) {
    const std::string empresa = Empresa(i);
    for (int j = 0; j < campos; ++j) {
      const std::string campo = Campo(j);
      Check(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db, "begin");
      sqlite3_bind_text(buscar, 1, empresa.c_str(), -1, SQLITE_STATIC);
      sqlite3_bind_int(buscar, 2, 2005);
      sqlite3_bind_text(buscar, 3, campo.c_str(), -1, SQLITE_STATIC);
      const bool existe = sqlite3_step(buscar) == SQLITE_ROW;
      sqlite3_reset(buscar);
      if (!existe) {
        sqlite3_bind_text(insertar, 1, empresa.c_str(), -1, SQLITE_STATIC);
        sqlite3_bind_text(insertar, 2, campo.c_str(), -1, SQLITE_STATIC);
        sqlite3_bind_double(insertar, 3, Valor(i, j));
        Check(sqlite3_step(insertar), db, "insert");
        sqlite3_reset(insertar);
      }
      Check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db, "commit");
    }
  }
  const double segundos = Segundos(Reloj::now() - inicio);
  sqlite3_finalize(buscar);
  sqlite3_finalize(insertar);
  sqlite3_close(db);
  return segundos;
}

}  // namespace

int main(int argc, char** argv) {
  const int empresas = argc > 1 ? std::atoi(argv[1]) : 2000;
  const int campos = argc > 2 ? std::atoi(argv[2]) : 150;
  const double valores = static_cast<double>(empresas) * campos;

  std::string plantilla = (fs::temp_directory_path() / "consolida-bench-XXXXXX").string();
  if (!::mkdtemp(plantilla.data())) return 1;
  const fs::path carpeta = plantilla;
  for (const char* nombre : {"Log", "Datos", "Procesados", "NoProcesados", "Reporte"}) {
    fs::create_directory(carpeta / nombre);
  }
  dbf::WriteDbf((carpeta / "Datos" / "ENCUES_1.dbf").string(), Encuesta(empresas, campos));
  sql::ConfigureEmbedded({(carpeta / "Consolida.db").string(), schema::CreationBatches()});
  dbf::RegisterProvider();
  dbf::DefineDataSource("DBFFOXNOV", (carpeta / "Datos").string());

  UiMedida ui;
  double importacion = 0;
  long filas = 0;
  {
    core::Aplicacion app(core::Configuracion{carpeta.string(), ""}, ui);
    app.AbrirLogErrores();
    app.CnDbf.Open(core::Aplicacion::kCadenaDbf);
    app.CnSql.Open(app.CadenaSql());
    app.CnSql2.Open(app.CadenaSql());
    intake::Proc_Novedades form(app);
    ui.Show(form);
    form.TxtPeriodo.SetText("2005");
    const auto inicio = Reloj::now();
    form.Proceso.UserClick();
    importacion = Segundos(Reloj::now() - inicio);
    sql::Recordset rs;
    rs.Open("Select Count(*) From SE_NOVEDAD", app.CnSql);
    filas = runtime::CLng(rs(0).Value());
  }
  const double piso = Piso(carpeta / "piso.db", empresas, campos);

  std::printf("values              %.0f (%d companies x %d fields), rows stored %ld\n", valores,
              empresas, campos, filas);
  std::printf("Proc_Novedades      %.1f s, %.0f values/s\n", importacion, valores / importacion);
  std::printf("SQLite floor        %.1f s, %.0f values/s\n", piso, valores / piso);
  std::printf("ratio               %.2f (goal <= 2)\n", importacion / piso);
  std::printf("label repaints      %ld (%.1f per s), %.3f s in DoEvents = %.2f%% of the import\n",
              ui.llamadas, ui.llamadas / importacion, Segundos(ui.tiempo),
              100.0 * Segundos(ui.tiempo) / importacion);
  std::error_code error;
  fs::remove_all(carpeta, error);
  return filas == static_cast<long>(valores) ? 0 : 2;
}
