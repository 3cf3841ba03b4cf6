// The sequence runner, timed: a sequence of two formula lines for the whole form and one block
// with a formula condition, a roll-column condition and three formulas, over 2,000 companies that
// all meet the conditions, run by FrmProcSecuencia with no pauses. The floor is the same
// procedure calls (and FindIdentRes after each condition call) made directly through the client
// in a loop. Run by hand; never a test.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "bench/bench_util.h"
#include "core/aplicacion.h"
#include "formulas/procedimientos.h"
#include "platform/runtime/conversions.h"
#include "platform/sql/client.h"
#include "platform/ui/console_ui.h"
#include "runner/frm_proc_secuencia.h"
#include "schema/schema.h"

namespace {

using bench::Batches;
using bench::Seconds;

namespace fs = std::filesystem;

constexpr int kCompanies = 2000;
constexpr int kRuns = 2;

std::string Company(int i) { return "E" + std::to_string(i); }

void Data(core::Aplicacion& app) {
  std::vector<std::string> s = {"INSERT INTO SE_ARCHIVOS (Arc_Nombre) VALUES('ENCUES_1')"};
  for (const char* field : {"VENTAS", "EMPLEO"}) {
    s.push_back(std::string("INSERT INTO SE_ESTRUCTURAS (Est_IdArchivo, Est_Campo, Est_Tipo) Values(1, '") + field +
                "', 'Numeric')");
  }
  for (int i = 0; i < kCompanies; ++i) {
    for (int year : {2005, 2004}) {
      s.push_back("INSERT INTO SE_MUESTRA_PADRON (Unico, FormSector, Periodo, Muestra) Values('" + Company(i) +
                  "', 'ENCUES', " + std::to_string(year) + ", 1)");
      s.push_back("INSERT INTO SE_NOVEDAD (FormSector, Empresa, Periodo, Campo, ValorInt, ValorDbl) Values('ENCUES', '" +
                  Company(i) + "', " + std::to_string(year) + ", 'VENTAS', 0, " + std::to_string(100 + i % 97 + year % 7) +
                  ")");
    }
    s.push_back("INSERT INTO SE_NOVEDAD (FormSector, Empresa, Periodo, Campo, ValorInt, ValorDbl) Values('ENCUES', '" +
                Company(i) + "', 2005, 'EMPLEO', " + std::to_string(1 + i % 50) + ", 0)");
  }
  Batches(app.CnSql, s);
  using formulas::Token;
  const Token ventas{"VENTAS", formulas::kCampo, "", ""}, ventas_1{"VENTAS_1", formulas::kCampo, "", ""},
      empleo{"EMPLEO", formulas::kCampo, "", ""}, two{"2", formulas::kNumero, "", ""};
  const auto op = [](char c) { return Token{std::string(" ") + c + " ", formulas::kOperador, "", ""}; };
  const std::vector<std::vector<Token>> formulas = {{ventas, op('*'), two}, {ventas, op('-'), ventas_1},
                                                     {ventas, op('/'), empleo}, {empleo, op('*'), two},
                                                     {ventas, op('+'), empleo}};
  for (size_t i = 0; i < formulas.size(); ++i) {
    app.CnSql.Execute("INSERT INTO SE_CABFORMULA (FC_Nombre, FC_NomVar) Values('F" + std::to_string(i + 1) + "', 'F" +
                      std::to_string(i + 1) + "')");
    for (auto which : {formulas::Procedimiento::kCompanias, formulas::Procedimiento::kEmpresa}) {
      if (!formulas::Generar(app, which, formulas[i], static_cast<int32_t>(i + 1), formulas::Estilo::kPorEmpresa).exito) {
        std::fprintf(stderr, "generation failed\n");
        std::exit(1);
      }
    }
  }
  // The roll column Muestra by its stored number (position from 0, minus one).
  sql::Recordset rs;
  rs.Open("SELECT * FROM SE_MUESTRA_PADRON", app.CnSql);
  int muestra = 0;
  for (int i = 0; i < rs.Fields().Count(); ++i) {
    if (rs.Fields().Item(i).Name() == "Muestra") muestra = i - 1;
  }
  rs.Close();
  app.CnSql.Execute("INSERT INTO SE_CABSECUENCIA (SC_NOMBRE, SC_TIPO, SC_IDARC, SC_ACTIVO) VALUES('Bench', 'F', 1, 1)");
  const std::string head =
      "INSERT INTO SE_SECUENCIA (S_IDSECCAB, S_ORDEN, S_CONDIC, S_IDFORMCAB1, S_IDFORMCAB2, S_OPERADOR, S_TIPVAR1, "
      "S_TIPVAR2, S_MARCA) VALUES(1, ";
  Batches(app.CnSql, {head + "1, '', 1, Null, '', 'F', '', '')", head + "2, '', 2, Null, '', 'F', '', '')",
                      head + "3, 'Si', 1, 0, '>', 'F', 'N', '')",
                      head + "4, 'And', " + std::to_string(muestra) + ", 1, '=', 'M', 'N', '')",
                      head + "5, '', 3, Null, '', 'F', '', '')", head + "6, '', 4, Null, '', 'F', '', '')",
                      head + "7, '', 5, Null, '', 'F', '', '')", head + "8, 'FSi', Null, Null, '', 'N', 'N', '')"});
}

void Call(sql::Connection& cn, const std::string& name, const std::string& company) {
  sql::Command cmd;
  cmd.SetActiveConnection(cn);
  cmd.SetCommandText(name);
  cmd.SetCommandType(sql::adCmdStoredProc);
  cmd.Parameters().Refresh();
  cmd.Parameters().Item("@Formulario").SetValue(runtime::Valor::String("ENCUES"));
  cmd.Parameters().Item("@Periodo").SetValue(runtime::Valor::Long(2005));
  cmd.Parameters().Item("@VPeriodo").SetValue(runtime::Valor::Long(2005));
  if (!company.empty()) cmd.Parameters().Item("@VEmpresa").SetValue(runtime::Valor::String(company));
  sql::Recordset rs = cmd.Execute();
  if (rs.State() == sql::adStateOpen) rs.Close();
}

// The floor: the calls the run makes, in its order, with nothing around them.
double Floor(sql::Connection& cn) {
  const auto start = std::chrono::steady_clock::now();
  Call(cn, "P1", "");
  Call(cn, "P2", "");
  std::vector<std::string> companies;
  sql::Recordset rs;
  rs.Open("SELECT Unico as Empresa FROM SE_MUESTRA_PADRON WHERE FormSector = 'ENCUES' and Periodo = 2005", cn);
  for (; !rs.Eof(); rs.MoveNext()) companies.push_back(runtime::JoinText(rs(0).Value()));
  rs.Close();
  for (const std::string& company : companies) {
    Call(cn, "P1_emp", company);
    sql::Recordset value = cn.Execute("FindIdentRes");
    value.Close();
    for (const char* name : {"P3_emp", "P4_emp", "P5_emp"}) Call(cn, name, company);
  }
  return Seconds(start);
}

long Results(sql::Connection& cn) {
  sql::Recordset rs = cn.Execute("SELECT COUNT(*) FROM SE_RESULTADO");
  return static_cast<long>(runtime::CDbl(rs(0).Value()));
}

}  // namespace

int main() {
  const fs::path dir = fs::temp_directory_path() / ("consolida-runner-bench-" + std::to_string(::getpid()));
  fs::create_directories(dir / "Log");
  sql::ConfigureEmbedded({(dir / "Consolida.db").string(), schema::CreationBatches()});
  ui::ConsoleUi ui;
  core::Aplicacion app(core::Configuracion{dir.string(), "", 0}, ui);
  app.AbrirLogErrores();
  app.CnSql.Open(app.CadenaSql());
  Data(app);

  runner::FrmProcSecuencia window(app);
  window.Load();
  window.TxtPeriodo.SetText("2005");
  window.TxtAnio.SetText("2005");
  window.LblFormulario.SetCaption("ENCUES_1");
  window.TxtIdFormulario.SetText("1");
  window.lblSec.SetCaption("Bench");
  window.TxtIdSecuencia.SetText("1");
  double run_best = 1e9;
  for (int run = 0; run < kRuns; ++run) {
    const auto start = std::chrono::steady_clock::now();
    window.CmdProcesar2.UserClick();
    run_best = std::min(run_best, Seconds(start));
    if (window.UltimoResultado() != runner::Resultado::kCorrecta) {
      std::fprintf(stderr, "the run did not end cleanly\n");
      return 1;
    }
  }
  const long rows = Results(app.CnSql);
  double floor_best = 1e9;
  for (int run = 0; run < kRuns; ++run) floor_best = std::min(floor_best, Floor(app.CnSql));
  const int calls = 2 + 4 * kCompanies;
  std::printf("companies: %d, procedure calls per run: %d (+%d FindIdentRes), best of %d\n", kCompanies, calls,
              kCompanies, kRuns);
  std::printf("runner:  %.2f s, %.0f calls/s (%ld result rows)\n", run_best, calls / run_best, rows);
  std::printf("floor:   %.2f s, %.0f calls/s\n", floor_best, calls / floor_best);
  std::printf("ratio:   %.2f\n", run_best / floor_best);
  app.CnSql.Close();
  app.CerrarLogErrores();
  fs::remove_all(dir);
  return 0;
}
