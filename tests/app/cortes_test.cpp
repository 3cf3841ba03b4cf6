// Crash safety: the real program, killed with SIGKILL at seeded instants spread over a clean
// run of a survey import, a roll import and a sequence run, then run again to its end: the
// database holds exactly a clean run's rows and is sound, every input file is in Procesados once.
#include <gtest/gtest.h>

#ifdef CONSOLIDA_PROGRAMA

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sqlite3.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <iostream>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "platform/dbf/dbf_writer.h"
#include "platform/engine/engine.h"
#include "platform/engine/internal/sqlite_functions.h"
#include "tests/intake/tablas_de_prueba.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using Reloj = std::chrono::steady_clock;
using Textos = std::vector<std::string>;
using test_support::EscribirArchivo;
using test_support::LeerArchivo;
using test_support::Nombres;

constexpr int kCortes = 20;

// In memory where the system has it: a kill leaves the page cache in place, so only the order
// of the program's writes matters, and no run waits on disk syncs.
struct Carpeta : test_support::TempFolder {
  Carpeta() : TempFolder("consolida-cortes", fs::is_directory("/dev/shm") ? "/dev/shm" : fs::temp_directory_path()) {}
};
constexpr int kEmpresasDemo = 40;
constexpr int kEmpresasPadron = 300;

struct Proceso {
  int codigo = -1;  // exit status; -1 when the kill took it
  double ms = 0;    // from the start to its end or to the kill
};

// Runs the program on `carpeta` with `argumentos`; with `matar_ms`, kills it at that instant
// unless it has ended before. stdout and stderr go to salida.txt in the folder.
Proceso Ejecutar(const fs::path& carpeta, const Textos& argumentos, double matar_ms = -1) {
  Textos linea = {CONSOLIDA_PROGRAMA, "--app-folder", carpeta.string(), "--pausa-ms", "0"};
  linea.insert(linea.end(), argumentos.begin(), argumentos.end());
  std::vector<char*> argv;
  for (std::string& texto : linea) argv.push_back(texto.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t salida;
  posix_spawn_file_actions_init(&salida);
  posix_spawn_file_actions_addopen(&salida, 1, (carpeta / "salida.txt").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
  posix_spawn_file_actions_adddup2(&salida, 1, 2);
  const Reloj::time_point inicio = Reloj::now();
  pid_t pid = 0;
  posix_spawn(&pid, argv[0], &salida, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&salida);
  Proceso proceso;
  if (matar_ms >= 0) {
    // Waits on the process itself, so a run that ends before the instant ends the wait.
    const int fd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    const long ns = static_cast<long>(matar_ms * 1e6);
    const timespec limite{ns / 1000000000, ns % 1000000000};
    pollfd espera_fd{fd, POLLIN, 0};
    if (ppoll(&espera_fd, 1, &limite, nullptr) == 0) kill(pid, SIGKILL);
    close(fd);
  }
  int estado = 0;
  waitpid(pid, &estado, 0);
  proceso.ms = std::chrono::duration<double, std::milli>(Reloj::now() - inicio).count();
  if (WIFEXITED(estado)) proceso.codigo = WEXITSTATUS(estado);
  return proceso;
}

// A statement's rows on the database file, each its columns but those in `sin` joined by "|",
// sorted, one a line.
std::string Filas(const fs::path& base, const std::string& sql, const std::set<std::string>& sin = {}) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(base.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
  engine::FunctionContext funciones;  // the engine's collation, which its indexes use
  engine::RegisterFunctions(db, &funciones);
  sqlite3_stmt* stmt = nullptr;
  std::vector<std::string> filas;
  int paso = sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr);
  while (paso == SQLITE_OK && (paso = sqlite3_step(stmt)) == SQLITE_ROW) {
    std::string fila;
    for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
      if (sin.contains(sqlite3_column_name(stmt, c))) continue;
      const unsigned char* texto = sqlite3_column_text(stmt, c);
      fila += (texto ? reinterpret_cast<const char*>(texto) : "NULL") + std::string("|");
    }
    filas.push_back(fila);
    paso = SQLITE_OK;
  }
  if (paso != SQLITE_DONE) filas.push_back(std::string("error: ") + sqlite3_errmsg(db));
  sqlite3_finalize(stmt);
  // The function context finalizes its own statements when it goes, after this: close_v2 frees
  // the connection then.
  sqlite3_close_v2(db);
  std::sort(filas.begin(), filas.end());
  std::string todo;
  for (const std::string& fila : filas) todo += fila + "\n";
  return todo;
}

void Copiar(const fs::path& desde, const fs::path& hasta) {
  fs::create_directories(hasta.parent_path());
  fs::copy_file(desde, hasta, fs::copy_options::overwrite_existing);
}

// One command to be killed: how to lay out a folder before it, the tables it writes and the
// input file it takes from Datos (empty: none).
struct Caso {
  std::string nombre;
  Textos argumentos;
  std::function<void(const fs::path&)> preparar;
  std::vector<std::pair<std::string, std::set<std::string>>> tablas;  // table, columns left out
  std::string entrada;
};

class CortesTest : public testing::Test {
 protected:
  // The demo's folder: survey forms imported, formulas and the sequence DEMO made; its results
  // removed so that a run starts from none.
  static void SetUpTestSuite() {
    demo_ = new Carpeta();
    const Proceso demo =
        Ejecutar(demo_->path(), {"demo", "--carpeta", demo_->path().string(), "--empresas", std::to_string(kEmpresasDemo)});
    ASSERT_EQ(demo.codigo, 0) << LeerArchivo(demo_->path() / "salida.txt");
    ASSERT_EQ(Filas(demo_->path() / "Consolida.db", "DELETE FROM SE_RESULTADO"), "");
    for (const std::string& nombre : Nombres(demo_->path() / "Procesados")) {
      if (nombre.starts_with("ENCUES_1") && encuesta_.empty()) encuesta_ = (demo_->path() / "Procesados" / nombre).string();
    }
  }
  static void TearDownTestSuite() { delete demo_; }

  // Runs the case clean once, then kCortes times killed and run again; checks each outcome.
  void Cortar(const Caso& caso, unsigned semilla) {
    Carpeta limpia;
    caso.preparar(limpia.path());
    const std::string bytes = caso.entrada.empty() ? "" : LeerArchivo(limpia.path() / "Datos" / caso.entrada);
    const Proceso referencia = Ejecutar(limpia.path(), caso.argumentos);
    ASSERT_EQ(referencia.codigo, 0) << LeerArchivo(limpia.path() / "salida.txt");
    std::vector<std::string> esperado;
    for (const auto& [tabla, sin] : caso.tablas) {
      esperado.push_back(Filas(limpia.path() / "Consolida.db", "SELECT * FROM " + tabla, sin));
      ASSERT_NE(esperado.back(), "") << tabla;
    }

    std::mt19937 azar(semilla);
    std::uniform_real_distribution<double> instante(0, referencia.ms);
    int cortados = 0;
    for (int corte = 0; corte < kCortes; ++corte) {
      const double ms = instante(azar);
      SCOPED_TRACE(caso.nombre + ", corte " + std::to_string(corte) + " a los " + std::to_string(ms) + " ms");
      Carpeta carpeta;
      caso.preparar(carpeta.path());
      if (Ejecutar(carpeta.path(), caso.argumentos, ms).codigo == -1) ++cortados;
      const bool pendiente = !caso.entrada.empty() && fs::exists(carpeta.path() / "Datos" / caso.entrada);
      const Proceso otra = Ejecutar(carpeta.path(), caso.argumentos);
      const std::string salida = LeerArchivo(carpeta.path() / "salida.txt");
      if (caso.entrada.empty() || pendiente) {
        EXPECT_EQ(otra.codigo, 0) << salida;
      }

      const fs::path base = carpeta.path() / "Consolida.db";
      for (size_t t = 0; t < caso.tablas.size(); ++t) {
        EXPECT_EQ(Filas(base, "SELECT * FROM " + caso.tablas[t].first, caso.tablas[t].second), esperado[t])
            << caso.tablas[t].first << "\n" << salida;
      }
      EXPECT_EQ(Filas(base, "PRAGMA integrity_check"), "ok|\n");
      if (!caso.entrada.empty()) {
        const std::vector<std::string> procesados = Nombres(carpeta.path() / "Procesados");
        ASSERT_EQ(procesados.size(), 1u) << testing::PrintToString(procesados);
        EXPECT_EQ(LeerArchivo(carpeta.path() / "Procesados" / procesados[0]), bytes);
        EXPECT_FALSE(fs::exists(carpeta.path() / "Datos" / caso.entrada));
        EXPECT_TRUE(Nombres(carpeta.path() / "NoProcesados").empty());
      }
    }
    std::cout << caso.nombre << ": " << cortados << " de " << kCortes << " cortes durante una corrida de "
              << static_cast<long>(referencia.ms) << " ms\n";  // gtest reports the total time
    // Most instants fall while the program runs (13 to 20 of 20 here); a program that ended
    // before every instant would test nothing. The margin is for a machine whose load changes.
    EXPECT_GE(cortados, kCortes / 4);
  }

  static Carpeta* demo_;
  static std::string encuesta_;
};

Carpeta* CortesTest::demo_ = nullptr;
std::string CortesTest::encuesta_;

// A new folder with no database: the first kills fall while the program creates it.
TEST_F(CortesTest, ImportacionDeNovedades) {
  Cortar({"importar novedades", {"importar", "novedades", "--periodo", "2005"},
          [&](const fs::path& carpeta) { Copiar(encuesta_, carpeta / "Datos" / "ENCUES_1.dbf"); },
          {{"SE_NOVEDAD", {}}, {"SE_ARCHIVOS", {"Arc_Fecha"}}, {"SE_ESTRUCTURAS", {"Est_Fecha"}}}, "ENCUES_1.dbf"},
         20261207);
}

// A folder whose database is already made, so that the instants fall among the companies.
TEST_F(CortesTest, ImportacionDelPadron) {
  dbf::DbfTable padron = intake_test::Padron({});
  for (int i = 1; i <= kEmpresasPadron; ++i) {
    dbf::DbfRecord registro = intake_test::Completa();
    registro.values[0] = std::to_string(30600000000L + i);
    registro.values[1] = registro.values[0];
    padron.records.push_back(registro);
  }
  Carpeta vacia;
  EscribirArchivo(vacia.path() / "Padron.dbf", dbf::DbfBytes(padron));
  ASSERT_EQ(Ejecutar(vacia.path(), {"importar", "novedades", "--periodo", "2005"}).codigo, 0);
  Cortar({"importar padron", {"importar", "padron", "--anio", "2005"},
          [&](const fs::path& carpeta) {
            Copiar(vacia.path() / "Consolida.db", carpeta / "Consolida.db");
            Copiar(vacia.path() / "Padron.dbf", carpeta / "Datos" / "Padron.dbf");
          },
          {{"SE_MUESTRA_PADRON", {}}}, "Padron.dbf"},
         20261208);
}

// The demo's database without results; a result's time and running number differ between runs.
TEST_F(CortesTest, CorridaDeSecuencia) {
  Cortar({"secuencia correr",
          {"secuencia", "correr", "--formulario", "ENCUES_1", "--secuencia", "DEMO", "--periodo", "2005",
           "--anio", "2005"},
          [&](const fs::path& carpeta) { Copiar(demo_->path() / "Consolida.db", carpeta / "Consolida.db"); },
          {{"SE_RESULTADO", {"RE_FCreacion", "RE_IdRes"}}}, ""},
         20261209);
}

// The state a kill leaves when it falls while the database is created: the engine's own tables
// and none of the program's. Every later start finishes the creation.
TEST_F(CortesTest, BaseSinObjetosSeCreaAlAbrir) {
  Carpeta carpeta;
  engine::Error error;
  ASSERT_NE(engine::Session::Open((carpeta.path() / "Consolida.db").string(), {}, &error), nullptr) << error.message;
  Copiar(encuesta_, carpeta.path() / "Datos" / "ENCUES_1.dbf");
  const Proceso proceso = Ejecutar(carpeta.path(), {"importar", "novedades", "--periodo", "2005"});
  EXPECT_EQ(proceso.codigo, 0) << LeerArchivo(carpeta.path() / "salida.txt");
  EXPECT_EQ(Filas(carpeta.path() / "Consolida.db", "SELECT COUNT(*) FROM SE_NOVEDAD"),
            std::to_string(kEmpresasDemo * 20) + "|\n");
}

}  // namespace

#endif  // CONSOLIDA_PROGRAMA
