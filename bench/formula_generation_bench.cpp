// What saving a formula costs in procedures: the two generators (catalogue lookups, texts, the
// drops and creations in one transaction each) for a 40-token formula over 10 catalogued
// fields, timed per formula on the embedded engine, the program's own database file and
// connection. Run by hand; never a test.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/aplicacion.h"
#include "formulas/procedimientos.h"
#include "platform/runtime/vb_error.h"
#include "platform/sql/client.h"
#include "platform/ui/console_ui.h"
#include "schema/schema.h"

namespace {

namespace fs = std::filesystem;
using formulas::Token;

constexpr int kFormulas = 50;

// F1 * 12 + F2 * 3 + ... + F10 * 3: 10 operand columns, 40 tokens.
std::vector<Token> FortyTokens() {
  std::vector<Token> tokens;
  for (int k = 1; k <= 10; ++k) {
    if (k > 1) tokens.push_back({" + ", formulas::kOperador, "", ""});
    tokens.push_back({"F" + std::to_string(k), formulas::kCampo, "", ""});
    tokens.push_back({" * ", formulas::kOperador, "", ""});
    if (k == 1) tokens.push_back({"1", formulas::kNumero, "", ""});
    tokens.push_back({k == 1 ? "2" : "3", formulas::kNumero, "", ""});
  }
  return tokens;
}

int Run(const fs::path& dir) {
  ui::ConsoleUi console;
  core::Aplicacion app({dir.string(), ""}, console);
  fs::create_directories(dir / "Log");
  sql::ConfigureEmbedded({app.Ruta("Consolida.db"), schema::CreationBatches()});
  app.AbrirLogErrores();
  app.CnSql.Open(app.CadenaSql());
  for (int k = 1; k <= 10; ++k) {
    app.CnSql.Execute("INSERT INTO SE_ESTRUCTURAS (Est_IdArchivo, Est_Campo, Est_Tipo) Values(1, 'F" +
                      std::to_string(k) + "', 'Numeric')");
  }
  const std::vector<Token> tokens = FortyTokens();
  std::printf("tokens: %zu, operand columns: %zu\n", tokens.size(),
              formulas::ColumnasDeOperandos(tokens).size());

  std::vector<double> times;
  for (int i = 0; i < kFormulas; ++i) {
    // Half the saves create new procedures, half replace existing ones (a modification).
    const int id = 100 + i % (kFormulas / 2);
    const auto start = std::chrono::steady_clock::now();
    for (auto which : {formulas::Procedimiento::kCompanias, formulas::Procedimiento::kEmpresa}) {
      const formulas::Generacion g = formulas::Generar(app, which, tokens, id, formulas::Estilo::kPorEmpresa);
      if (!g.exito) {
        std::fprintf(stderr, "generation failed: %s\n", g.motivo.c_str());
        return 1;
      }
    }
    times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(times.begin(), times.end());
  double sum = 0;
  for (double t : times) sum += t;
  std::printf("both generators per formula, %d saves: median %.1f ms, mean %.1f ms, worst %.1f ms\n",
              kFormulas, times[times.size() / 2], sum / times.size(), times.back());
  app.CnSql.Close();
  app.CerrarLogErrores();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  // argv[1]: a scratch folder.
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <scratch folder>\n", argv[0]);
    return 2;
  }
  const fs::path dir = fs::path(argv[1]) / "formula_generation_bench";
  fs::remove_all(dir);
  fs::create_directories(dir);
  try {
    const int rc = Run(dir);
    fs::remove_all(dir);
    return rc;
  } catch (const runtime::VbError& e) {
    std::fprintf(stderr, "error %ld: %s\n", e.NativeNumber(), e.Description().c_str());
    return 1;
  }
}
