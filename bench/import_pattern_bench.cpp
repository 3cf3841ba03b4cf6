// The survey import's database pattern, timed: per value one lookup by company, year and field,
// then one INSERT with literal values, each pair in its own transaction, sent as new SQL text
// through the client on the embedded engine. Measured against a floor: the same work through
// SQLite's C API directly, statements prepared once and bound, same durability, table, indexes
// and text collation. The runs are interleaved in slices so that a shared disk's changing flush
// latency falls on all of them alike. A plain timed program, run by hand; it asserts nothing.
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/engine/internal/values.h"
#include "platform/runtime/vb_error.h"
#include "platform/sql/client.h"

namespace {

// One survey value as the import sees it: the record's company, the year typed, the column.
struct Novedad {
  std::string empresa;
  std::string campo;
  const char* tipo;
  int valor_int;
  double valor_dbl;
};

constexpr int kArcId = 1;
constexpr int kPeriodo = 2005;
constexpr char kFormSector[] = "ENCUES";
constexpr int kCapitulo = 1;

std::vector<Novedad> MakeValues(int count, int fields) {
  std::vector<Novedad> values;
  values.reserve(count);
  for (int i = 0; i < count; ++i) {
    int company = i / fields;
    int field = i % fields;
    char empresa[16];
    char campo[16];
    std::snprintf(empresa, sizeof empresa, "30%09d", 500000 + company);
    std::snprintf(campo, sizeof campo, "P%03d", field + 1);
    bool whole = field % 2 == 0;
    values.push_back({empresa, campo, whole ? "Int" : "Dbl", whole ? i % 30000 : 0,
                      whole ? 0.0 : i * 0.25});
  }
  return values;
}

// The statements as the import writes them, letter for letter.
std::string LookupText(const Novedad& v) {
  return "Select IdNovedad From se_novedad Where Empresa = '" + v.empresa +
         "' And Periodo = " + std::to_string(kPeriodo) + " And Campo = '" + v.campo + "'";
}

std::string DoubleText(double d) {
  char text[32];
  std::snprintf(text, sizeof text, "%.15g", d);
  return text;
}

std::string InsertText(const Novedad& v) {
  return "INSERT INTO SE_NOVEDAD (Arc_Id, FormSector, Capitulo, Empresa, Periodo, Campo, Tipo, "
         "ValorStr, ValorInt, ValorDbl, ValorDte) Values(" +
         std::to_string(kArcId) + ",'" + kFormSector + "', " + std::to_string(kCapitulo) +
         ", '" + v.empresa + "', " + std::to_string(kPeriodo) + ", '" + v.campo + "', '" +
         v.tipo + "', 'Null', " + std::to_string(v.valor_int) + ", " + DoubleText(v.valor_dbl) +
         ", '')";
}

const char kCreateTable[] =
    "CREATE TABLE SE_NOVEDAD (IdNovedad int IDENTITY(1,1) NOT NULL, Arc_Id int NULL, "
    "FormSector varchar(30) NULL, Capitulo int NULL, Empresa varchar(20) NULL, "
    "Periodo numeric(4,0) NULL, Campo varchar(50) NULL, Tipo varchar(3) NULL, "
    "ValorStr varchar(255) NULL, ValorInt int NULL, ValorDbl float NULL, ValorDte datetime NULL)";
// The table's indexes as the system's schema declares them: both unique.
const char kCreateIdIndex[] = "CREATE UNIQUE INDEX UX_SE_NOVEDAD_IdNovedad ON SE_NOVEDAD (IdNovedad)";
const char kCreateKeyIndex[] =
    "CREATE UNIQUE INDEX UX_SE_NOVEDAD_Empresa_Periodo_Campo ON SE_NOVEDAD (Empresa, Periodo, Campo)";

// Wall time shows what the user waits for; process CPU time shows what is left once the
// waits for the disk (one flush per commit under synchronous=FULL) are taken out.
struct Timing {
  double wall = 0;
  double cpu = 0;
  Timing& operator+=(const Timing& o) {
    wall += o.wall;
    cpu += o.cpu;
    return *this;
  }
};

class Stopwatch {
 public:
  Stopwatch() : wall_(std::chrono::steady_clock::now()), cpu_(std::clock()) {}
  Timing Elapsed() const {
    return {std::chrono::duration<double>(std::chrono::steady_clock::now() - wall_).count(),
            static_cast<double>(std::clock() - cpu_) / CLOCKS_PER_SEC};
  }

 private:
  std::chrono::steady_clock::time_point wall_;
  std::clock_t cpu_;
};

// One way of doing the import's work, run a slice of the values at a time on its own file.
class Runner {
 public:
  virtual ~Runner() = default;
  virtual void Run(const Novedad* begin, const Novedad* end) = 0;
};

class ClientRunner : public Runner {
 public:
  explicit ClientRunner(const std::filesystem::path& file) {
    sql::ConfigureEmbedded({file.string(), {kCreateTable, kCreateIdIndex, kCreateKeyIndex}});
    cn_.Open("Provider=SQLOLEDB.1;Password=kxqv;Persist Security Info=False;User ID=Ruma;"
             "Initial Catalog=Consolida;Data Source=");
  }
  void Run(const Novedad* begin, const Novedad* end) override {
    for (const Novedad* v = begin; v != end; ++v) {
      cn_.BeginTrans();
      rs_.Open(LookupText(*v), cn_, -1, -1, -1);
      bool found = !(rs_.Eof() && rs_.Bof());
      rs_.Close();
      if (found) throw std::runtime_error("a fresh table already held " + v->empresa + v->campo);
      cn_.Execute(InsertText(*v));
      cn_.CommitTrans();
    }
  }

 private:
  sql::Connection cn_;
  sql::Recordset rs_;
};

void Check(int rc, sqlite3* db, const char* what) {
  if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
    throw std::runtime_error(std::string(what) + ": " + sqlite3_errmsg(db));
  }
}

class Statement {
 public:
  Statement(sqlite3* db, const char* sql) : db_(db) {
    Check(sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr), db, sql);
  }
  ~Statement() { sqlite3_finalize(stmt_); }
  sqlite3_stmt* get() { return stmt_; }
  int Step() {
    int rc = sqlite3_step(stmt_);
    Check(rc, db_, "step");
    return rc;
  }
  void Reset() { sqlite3_reset(stmt_); }

 private:
  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
};

// The text comparison every client of this table needs: case-insensitive, trailing blanks
// ignored. The floor uses the engine's own comparison so that both pay the same per key
// compared; SQLite's built-in NOCASE would make the floor cheaper than any correct client.
int CollateCi(void*, int na, const void* a, int nb, const void* b) {
  return engine::CompareText(std::string_view(static_cast<const char*>(a), static_cast<size_t>(na)),
                             std::string_view(static_cast<const char*>(b), static_cast<size_t>(nb)));
}

sqlite3* OpenFloor(const std::filesystem::path& file, const char* synchronous) {
  sqlite3* db = nullptr;
  Check(sqlite3_open(file.string().c_str(), &db), db, "open");
  Check(sqlite3_create_collation_v2(db, "TSQL_CI", SQLITE_UTF8, nullptr, CollateCi, nullptr), db,
        "collation");
  std::string pragmas = std::string("PRAGMA journal_mode=WAL; PRAGMA synchronous=") + synchronous;
  Check(sqlite3_exec(db, pragmas.c_str(), nullptr, nullptr, nullptr), db, "pragma");
  Check(sqlite3_exec(db,
                     "CREATE TABLE SE_NOVEDAD (IdNovedad INTEGER PRIMARY KEY AUTOINCREMENT, "
                     "Arc_Id INTEGER, FormSector TEXT COLLATE TSQL_CI, Capitulo INTEGER, "
                     "Empresa TEXT COLLATE TSQL_CI, Periodo REAL, Campo TEXT COLLATE TSQL_CI, "
                     "Tipo TEXT COLLATE TSQL_CI, ValorStr TEXT COLLATE TSQL_CI, ValorInt INTEGER, "
                     "ValorDbl REAL, ValorDte TEXT);"
                     "CREATE UNIQUE INDEX UX_SE_NOVEDAD_IdNovedad ON SE_NOVEDAD (IdNovedad);"
                     "CREATE UNIQUE INDEX UX_SE_NOVEDAD_Empresa_Periodo_Campo ON SE_NOVEDAD "
                     "(Empresa, Periodo, Campo);",
                     nullptr, nullptr, nullptr),
        db, "create");
  return db;
}

// The floor: the least any client on this storage can spend on the same durable work.
class FloorRunner : public Runner {
 public:
  FloorRunner(const std::filesystem::path& file, const char* synchronous)
      : db_(OpenFloor(file, synchronous), sqlite3_close),
        begin_(db_.get(), "BEGIN"),
        commit_(db_.get(), "COMMIT"),
        lookup_(db_.get(),
                "SELECT IdNovedad FROM SE_NOVEDAD WHERE Empresa = ?1 AND Periodo = ?2 "
                "AND Campo = ?3"),
        insert_(db_.get(),
                "INSERT INTO SE_NOVEDAD (Arc_Id, FormSector, Capitulo, Empresa, Periodo, "
                "Campo, Tipo, ValorStr, ValorInt, ValorDbl, ValorDte) "
                "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11)") {}
  void Run(const Novedad* begin, const Novedad* end) override {
    for (const Novedad* v = begin; v != end; ++v) {
      begin_.Step();
      begin_.Reset();
      sqlite3_bind_text(lookup_.get(), 1, v->empresa.c_str(), -1, SQLITE_STATIC);
      sqlite3_bind_int(lookup_.get(), 2, kPeriodo);
      sqlite3_bind_text(lookup_.get(), 3, v->campo.c_str(), -1, SQLITE_STATIC);
      bool found = lookup_.Step() == SQLITE_ROW;
      lookup_.Reset();
      if (found) throw std::runtime_error("a fresh table already held " + v->empresa + v->campo);
      sqlite3_stmt* s = insert_.get();
      sqlite3_bind_int(s, 1, kArcId);
      sqlite3_bind_text(s, 2, kFormSector, -1, SQLITE_STATIC);
      sqlite3_bind_int(s, 3, kCapitulo);
      sqlite3_bind_text(s, 4, v->empresa.c_str(), -1, SQLITE_STATIC);
      sqlite3_bind_int(s, 5, kPeriodo);
      sqlite3_bind_text(s, 6, v->campo.c_str(), -1, SQLITE_STATIC);
      sqlite3_bind_text(s, 7, v->tipo, -1, SQLITE_STATIC);
      sqlite3_bind_text(s, 8, "Null", -1, SQLITE_STATIC);
      sqlite3_bind_int(s, 9, v->valor_int);
      sqlite3_bind_double(s, 10, v->valor_dbl);
      sqlite3_bind_text(s, 11, "1900-01-01 00:00:00.000", -1, SQLITE_STATIC);
      insert_.Step();
      insert_.Reset();
      commit_.Step();
      commit_.Reset();
    }
  }

 private:
  // Declared first, so the statements are finalized before the connection closes.
  std::unique_ptr<sqlite3, int (*)(sqlite3*)> db_{nullptr, sqlite3_close};
  Statement begin_, commit_, lookup_, insert_;
};

void Report(const char* what, int count, Timing t) {
  std::printf("%-44s %8d values %9.2f s wall %10.0f values/s %9.2f s cpu %10.0f values/cpu-s\n",
              what, count, t.wall, count / t.wall, t.cpu, count / t.cpu);
}

}  // namespace

// Usage: consolida_import_bench [values (300000)] [fields per company (50)] [folder (temp)]
int main(int argc, char** argv) {
  int count = argc > 1 ? std::atoi(argv[1]) : 300000;
  int fields = argc > 2 ? std::atoi(argv[2]) : 50;
  std::filesystem::path folder =
      argc > 3 ? std::filesystem::path(argv[3])
               : std::filesystem::temp_directory_path() / "consolida_import_bench";
  if (count <= 0 || fields <= 0) {
    std::fprintf(stderr, "values and fields must be positive\n");
    return 2;
  }
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  std::vector<Novedad> values = MakeValues(count, fields);
  std::printf("import pattern: %d values, %d fields per company, folder %s\n", count, fields,
              folder.string().c_str());
  try {
    struct Contender {
      const char* what;
      std::unique_ptr<Runner> runner;
      Timing total, first, last;  // all values; the first and the last tenth
    };
    std::vector<Contender> contenders;
    contenders.push_back({"floor: SQLite C API, WAL, synchronous=FULL",
                          std::make_unique<FloorRunner>(folder / "floor_full.db", "FULL"), {}, {}, {}});
    contenders.push_back({"floor: SQLite C API, WAL, synchronous=NORMAL",
                          std::make_unique<FloorRunner>(folder / "floor_normal.db", "NORMAL"), {}, {}, {}});
    contenders.push_back({"client: Connection/Recordset on the engine",
                          std::make_unique<ClientRunner>(folder / "client.db"), {}, {}, {}});
    // Slices of a tenth of a tenth: the first and the last tenth show whether the cost per value
    // grows with the table, and alternating keeps a busy disk's spells from favouring one side.
    int slice = std::max(1, count / 100);
    for (int from = 0; from < count; from += slice) {
      int to = std::min(count, from + slice);
      for (Contender& c : contenders) {
        Stopwatch watch;
        c.runner->Run(values.data() + from, values.data() + to);
        Timing t = watch.Elapsed();
        c.total += t;
        if (to <= count / 10) c.first += t;
        if (from >= count - count / 10) c.last += t;
      }
    }
    for (const Contender& c : contenders) Report(c.what, count, c.total);
    const Timing& floor_full = contenders[0].total;
    const Timing& floor_normal = contenders[1].total;
    const Timing& client = contenders[2].total;
    std::printf("client / floor(FULL): %.2f wall, %.2f cpu\n", client.wall / floor_full.wall,
                client.cpu / floor_full.cpu);
    std::printf("floor FULL / NORMAL:  %.2f wall, %.2f cpu\n", floor_full.wall / floor_normal.wall,
                floor_full.cpu / floor_normal.cpu);
    for (const Contender& c : contenders) {
      std::printf("%-44s last tenth / first tenth: %.2f wall, %.2f cpu\n", c.what,
                  c.last.wall / c.first.wall, c.last.cpu / c.first.cpu);
    }
  } catch (const runtime::VbError& e) {
    std::fprintf(stderr, "error %ld (%s): %s\n", e.Number(), e.Source().c_str(),
                 e.Description().c_str());
    return 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "error: %s\n", e.what());
    return 1;
  }
  std::filesystem::remove_all(folder);
  return 0;
}
