// The generated procedure of a per-company formula, timed: P7 (VENTAS / VENTAS_1, built by the
// formula generator from its tokens) over 5,000 companies on the embedded engine, called through the
// client as the sequence runner calls it, against a floor: one set-based SQLite statement
// computing the same results on the same tables, indexes and durability. Also the rate of the
// single-company P7_Emp and the time of the median formula P9. Run by hand; never a test.
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_util.h"
#include "formulas/generador.h"
#include "platform/runtime/conversions.h"
#include "platform/runtime/vb_error.h"
#include "platform/sql/client.h"
#include "schema/schema.h"

namespace {

using bench::Batches;
using bench::Seconds;

namespace fs = std::filesystem;

constexpr int kCompanies = 5000;
constexpr int kRuns = 3;
constexpr int kEmpCalls = 1000;

std::string Company(int i) { return "E" + std::to_string(i); }
double Ventas(int i, int year) { return 100.0 + (i % 97) * 3.5 + (year == 2005 ? i % 13 : 0); }

// Creates the procedures of formula `id` as the generators send them.
void CreateProcedures(sql::Connection& cn, int id, const std::vector<formulas::Token>& tokens) {
  for (formulas::Procedimiento which : {formulas::Procedimiento::kCompanias, formulas::Procedimiento::kEmpresa}) {
    const formulas::Textos texts =
        formulas::GenerarTextos(which, tokens, id, formulas::Estilo::kPorEmpresa, {"VENTAS"});
    for (const std::string& command : texts.comandos) cn.Execute(command);
  }
}

// Rolls for 2005 and 2004, VENTAS for both years: every company has both values, so every
// result is a real quotient. The even companies' 2005 value comes as an integer reading.
std::vector<std::string> DataStatements() {
  std::vector<std::string> statements;
  for (int i = 0; i < kCompanies; ++i) {
    for (int year : {2005, 2004}) {
      statements.push_back(
          "insert into SE_MUESTRA_PADRON (CUIT, FormSector, Periodo, Domi, Muestra, unico, razon, "
          "Estado, Mues) Values(" + std::to_string(30000000000LL + i) + ", 'ENCUES', " +
          std::to_string(year) + ", 1, 1, '" + Company(i) + "', 'Empresa', 1, 1)");
      bool as_int = year == 2005 && i % 2 == 0;
      double v = as_int ? std::round(Ventas(i, year)) : Ventas(i, year);
      char values[96];
      std::snprintf(values, sizeof values, "%d, %.17g", as_int ? static_cast<int>(v) : 0,
                    as_int ? 0.0 : v);
      statements.push_back(
          "INSERT INTO SE_NOVEDAD (Arc_Id, FormSector, Capitulo, Empresa, Periodo, Campo, Tipo, "
          "ValorStr, ValorInt, ValorDbl, ValorDte) Values(1,'ENCUES', 1, '" + Company(i) + "', " +
          std::to_string(year) + ", 'VENTAS', 'Dbl', 'Null', " + values + ", '')");
    }
  }
  return statements;
}

void ExecOrDie(sqlite3* db, const char* sql) {
  char* message = nullptr;
  if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
    std::fprintf(stderr, "sqlite: %s\n%s\n", message, sql);
    std::exit(1);
  }
}

// The floor: the same rows in plain SQLite tables with the schema's indexes, and the formula's
// whole work (old results out, one quotient per company of the roll in) as one statement each.
double FloorSeconds(const fs::path& file, double* checksum) {
  sqlite3* db = nullptr;
  sqlite3_open(file.string().c_str(), &db);
  ExecOrDie(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL;"
                "CREATE TABLE SE_MUESTRA_PADRON (Unico TEXT, FormSector TEXT, Periodo INT);"
                "CREATE UNIQUE INDEX UX_P ON SE_MUESTRA_PADRON (Unico, Periodo);"
                "CREATE INDEX IX_P ON SE_MUESTRA_PADRON (FormSector, Periodo);"
                "CREATE TABLE SE_NOVEDAD (FormSector TEXT, Empresa TEXT, Periodo INT, Campo TEXT,"
                " ValorInt NUMERIC, ValorDbl REAL);"
                "CREATE UNIQUE INDEX UX_N ON SE_NOVEDAD (Empresa, Periodo, Campo);"
                "CREATE TABLE SE_RESULTADO (Id_FA INT, RE_Empresa TEXT, RE_Periodo INT, RE_Valor REAL,"
                " RE_FCreacion TEXT, RE_FormSector TEXT, RE_Anio INT);"
                "CREATE INDEX IX_R ON SE_RESULTADO (Id_FA, RE_Periodo, RE_Anio, RE_Empresa);"
                "CREATE INDEX IX_R2 ON SE_RESULTADO (RE_FormSector, RE_Periodo, RE_Anio);");
  ExecOrDie(db, "BEGIN");
  for (int i = 0; i < kCompanies; ++i) {
    for (int year : {2005, 2004}) {
      bool as_int = year == 2005 && i % 2 == 0;
      double v = as_int ? std::round(Ventas(i, year)) : Ventas(i, year);
      char sql[512];
      std::snprintf(sql, sizeof sql,
                    "INSERT INTO SE_MUESTRA_PADRON VALUES('%s', 'ENCUES', %d);"
                    "INSERT INTO SE_NOVEDAD VALUES('ENCUES', '%s', %d, 'VENTAS', %d, %.17g);",
                    Company(i).c_str(), year, Company(i).c_str(), year,
                    as_int ? static_cast<int>(v) : 0, as_int ? 0.0 : v);
      ExecOrDie(db, sql);
    }
  }
  ExecOrDie(db, "COMMIT");
  const char* kValue =
      "(SELECT CASE WHEN n.ValorInt = 0 THEN n.ValorDbl ELSE n.ValorInt END FROM SE_NOVEDAD n"
      " WHERE n.FormSector = 'ENCUES' AND n.Empresa = p.Unico AND n.Campo = 'VENTAS' AND n.Periodo = ";
  const std::string insert =
      std::string("INSERT INTO SE_RESULTADO SELECT 7, p.Unico, 2005, coalesce(") + kValue +
      "2005), 0) / coalesce(" + kValue + "2004), 0), datetime('now'), 'ENCUES', 2005"
      " FROM SE_MUESTRA_PADRON p WHERE p.FormSector = 'ENCUES' AND p.Periodo = 2005";
  double best = 1e9;
  for (int run = 0; run < kRuns; ++run) {
    auto start = std::chrono::steady_clock::now();
    ExecOrDie(db, "BEGIN");
    ExecOrDie(db, "DELETE FROM SE_RESULTADO WHERE Id_FA = 7 AND RE_Periodo = 2005 AND RE_Anio = 2005");
    ExecOrDie(db, insert.c_str());
    ExecOrDie(db, "COMMIT");
    best = std::min(best, Seconds(start));
  }
  sqlite3_stmt* sum = nullptr;
  sqlite3_prepare_v2(db, "SELECT sum(RE_Valor), count(*) FROM SE_RESULTADO", -1, &sum, nullptr);
  sqlite3_step(sum);
  *checksum = sqlite3_column_double(sum, 0);
  std::printf("floor rows: %d\n", sqlite3_column_int(sum, 1));
  sqlite3_finalize(sum);
  sqlite3_close(db);
  return best;
}

double ResultChecksum(sql::Connection& cn, int* rows) {
  sql::Recordset rs = cn.Execute("SELECT SUM(RE_Valor) AS S, COUNT(*) AS N FROM SE_RESULTADO WHERE Id_FA = 7");
  *rows = static_cast<int>(runtime::CDbl(rs("N").Value()));
  return runtime::CDbl(rs("S").Value());
}

sql::Recordset CallProcedure(sql::Connection& cn, const std::string& name, const char* company) {
  sql::Command cmd;
  cmd.SetActiveConnection(cn);
  cmd.SetCommandText(name);
  cmd.SetCommandType(sql::adCmdStoredProc);
  cmd.Parameters().Item("@Formulario").SetValue(runtime::Valor::String("ENCUES"));
  cmd.Parameters().Item("@Periodo").SetValue(runtime::Valor::Long(2005));
  cmd.Parameters().Item("@VPeriodo").SetValue(runtime::Valor::Long(2005));
  if (company != nullptr) cmd.Parameters().Item("@VEmpresa").SetValue(runtime::Valor::String(company));
  return cmd.Execute();
}

int Run(const fs::path& dir) {
  sql::ConfigureEmbedded({"", schema::CreationBatches()});
  sql::Connection cn;
  cn.Open("Provider=SQLOLEDB.1;Data Source=" + (dir / "engine.db").string());
  std::vector<std::string> data = DataStatements();
  for (size_t i = 0; i < data.size(); i += 500) {
    std::string batch = "BEGIN TRANSACTION\n";
    for (size_t k = i; k < std::min(data.size(), i + 500); ++k) batch += data[k] + "\n";
    cn.Execute(batch + "COMMIT\n");
  }
  CreateProcedures(cn, 7, {{"VENTAS", formulas::kCampo, "", ""}, {" / ", formulas::kOperador, "", ""},
                           {"VENTAS_1", formulas::kCampo, "", ""}});
  CreateProcedures(cn, 9, {{"MEDIANA(VENTAS)", formulas::kFuncion, formulas::kArgCampo, "VENTAS"}});

  double engine_best = 1e9;
  for (int run = 0; run < kRuns; ++run) {
    auto start = std::chrono::steady_clock::now();
    CallProcedure(cn, "P7", nullptr);
    engine_best = std::min(engine_best, Seconds(start));
  }
  int engine_rows = 0;
  double engine_sum = ResultChecksum(cn, &engine_rows);

  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kEmpCalls; ++i) {
    CallProcedure(cn, "P7_Emp", Company(i * (kCompanies / kEmpCalls)).c_str());
  }
  double emp_seconds = Seconds(start);
  start = std::chrono::steady_clock::now();
  for (int i = 0; i < kEmpCalls; ++i) {
    CallProcedure(cn, "P7_Emp", Company(i * (kCompanies / kEmpCalls)).c_str());
    cn.Execute("FindIdentRes");
  }
  double emp_find_seconds = Seconds(start);
  // The median formula P9 calls DBO.MEDIANA once per company over all companies' values.
  start = std::chrono::steady_clock::now();
  CallProcedure(cn, "P9", nullptr);
  double median_seconds = Seconds(start);
  cn.Close();

  double floor_sum = 0;
  double floor_best = FloorSeconds(dir / "floor.db", &floor_sum);
  std::printf("companies: %d, best of %d runs\n", kCompanies, kRuns);
  std::printf("engine P7:   %.3f s  (%d rows, sum %.6f)\n", engine_best, engine_rows, engine_sum);
  std::printf("sqlite floor: %.3f s  (sum %.6f)\n", floor_best, floor_sum);
  std::printf("ratio: %.1fx\n", engine_best / floor_best);
  std::printf("P7_Emp: %.0f calls/s; with FindIdentRes after each: %.0f calls/s\n",
              kEmpCalls / emp_seconds, kEmpCalls / emp_find_seconds);
  std::printf("P9 (median of %d values, per company): %.3f s\n", kCompanies, median_seconds);
  if (std::fabs(engine_sum - floor_sum) > 1e-6 * std::fabs(floor_sum)) {
    std::fprintf(stderr, "the engine and the floor disagree\n");
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  // argv[1]: a scratch folder.
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <scratch folder>\n", argv[0]);
    return 2;
  }
  fs::path dir = fs::path(argv[1]) / "procedure_bench";
  fs::remove_all(dir);
  fs::create_directories(dir);
  try {
    int rc = Run(dir);
    fs::remove_all(dir);
    return rc;
  } catch (const runtime::VbError& e) {
    std::fprintf(stderr, "error %ld: %s\n", e.NativeNumber(), e.Description().c_str());
    return 1;
  }
}
