// The readers' fuzzing entry points (see inputs.h). Files go to one scratch folder per process,
// rewritten for every input; SQL runs on an in-memory database opened for every input, so no
// input leaves anything behind for the next.
#include "fuzz/inputs.h"

#include <sqlite3.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/dbf/data_source.h"
#include "platform/dbf/dbf_reader.h"
#include "platform/engine/engine.h"
#include "platform/engine/internal/binder.h"
#include "platform/engine/internal/catalog.h"
#include "platform/engine/internal/parser.h"
#include "platform/engine/internal/translator.h"
#include "platform/engine/result_text.h"
#include "platform/runtime/conversions.h"
#include "platform/runtime/vb_error.h"
#include "platform/sheet/internal/biff_reader.h"
#include "platform/sheet/internal/compound_file.h"
#include "platform/sheet/xls_reader.h"

namespace fuzz_inputs {
namespace {

namespace fs = std::filesystem;

// The process's scratch folder, removed at exit.
class Scratch {
 public:
  Scratch() {
    std::string pattern = (fs::temp_directory_path() / "consolida-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("no scratch folder");
    path_ = pattern;
  }
  ~Scratch() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  std::string File(const char* name) const { return (path_ / name).string(); }

 private:
  fs::path path_;
};

const Scratch& ScratchFolder() {
  static const Scratch scratch;
  return scratch;
}

void WriteFile(const std::string& path, const uint8_t* data, size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string Describe(const runtime::VbError& e) {
  return std::to_string(e.Number()) + " " + e.Source() + ": " + e.Description();
}

// Every value as text, so that conversions of what was read run too.
void Render(const std::vector<runtime::Valor>& row) {
  for (const runtime::Valor& v : row) {
    if (v.IsNull()) continue;
    try {
      (void)runtime::CStr(v);
    } catch (const runtime::VbError&) {
      // A value CStr refuses (as VB would) is not the reader's fault.
    }
  }
}

std::string Shown(const runtime::Valor& v) {
  if (v.IsNull()) return "Null";
  try {
    return "[" + runtime::CStr(v) + "] (type " + std::to_string(static_cast<int>(v.Type())) + ")";
  } catch (const runtime::VbError&) {
    return "(type " + std::to_string(static_cast<int>(v.Type())) + ")";
  }
}

// What the program read (through FreeXL, or through the record reader when it refused FreeXL
// the workbook) must be what the record reader reads, but for formulas: FreeXL gives them as
// empty cells where the record reader gives the cached result.
void SameReading(const sheet::SheetGrid& read, const sheet::SheetGrid& own) {
  if (read.row_count != own.row_count || read.column_count != own.column_count) {
    throw std::logic_error("sheet '" + own.name + "' reads as " + std::to_string(read.row_count) + " x " +
                           std::to_string(read.column_count) + ", its records give " +
                           std::to_string(own.row_count) + " x " + std::to_string(own.column_count));
  }
  for (size_t r = 0; r < read.rows.size(); ++r) {
    for (size_t c = 0; c < read.rows[r].size(); ++c) {
      if (!read.rows[r][c].IsNull() && !(read.rows[r][c] == own.rows[r][c])) {
        throw std::logic_error("sheet '" + own.name + "' cell " + std::to_string(r) + "," +
                               std::to_string(c) + " reads " + Shown(read.rows[r][c]) +
                               ", its record " + Shown(own.rows[r][c]));
      }
    }
  }
}

}  // namespace

Outcome ReadDbf(const uint8_t* data, size_t size) {
  const Scratch& scratch = ScratchFolder();
  const std::string table = scratch.File("t.dbf");
  const std::string fpt = scratch.File("t.fpt");
  const std::string dbt = scratch.File("t.dbt");
  std::error_code ignored;
  fs::remove(fpt, ignored);
  fs::remove(dbt, ignored);
  dbf::ReadOptions options;
  if (size < 5) {
    WriteFile(table, data, size);
  } else {
    const uint8_t flags = data[0];
    size_t table_size = static_cast<size_t>(data[1]) | static_cast<size_t>(data[2]) << 8 |
                        static_cast<size_t>(data[3]) << 16 | static_cast<size_t>(data[4]) << 24;
    data += 5;
    size -= 5;
    table_size = std::min(table_size, size);
    WriteFile(table, data, table_size);
    if (size > table_size) {
      WriteFile((flags & 1) ? dbt : fpt, data + table_size, size - table_size);
    }
    options.include_deleted = (flags & 2) != 0;
    if (flags & 4) options.forced_code_page = 850;
  }
  Outcome outcome;
  try {
    dbf::TableContents contents = dbf::ReadTable(table, options);
    for (const auto& row : contents.rows.rows) Render(row);
    outcome.read = true;
  } catch (const runtime::VbError& e) {
    if (e.Number() != dbf::kOdbcErrorNumber || e.Source() != dbf::kOdbcErrorSource) throw;
    outcome.error = Describe(e);
  }
  return outcome;
}

Outcome ReadXls(const uint8_t* data, size_t size) {
  static constexpr uint8_t kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  std::vector<uint8_t> file(data, data + size);
  if (size < 8 || !std::equal(kSignature, kSignature + 8, data)) {
    std::vector<uint8_t> stream = file;
    if (stream.size() < 4096) stream.resize(4096, 0);
    file = sheet::internal::BuildCompoundFile(stream);
  }
  const std::string path = ScratchFolder().File("t.xls");
  WriteFile(path, file.data(), file.size());

  // The record reader alone, on the stream the program's own check reads.
  std::optional<size_t> own_sheets;
  std::optional<sheet::internal::BiffWorkbook> own;
  std::optional<std::vector<uint8_t>> stream = sheet::internal::ReadCompoundStream(file, "Workbook");
  if (!stream) stream = sheet::internal::ReadCompoundStream(file, "Book");
  if (stream) {
    try {
      own.emplace(std::move(*stream));
      own_sheets = own->SheetNames().size();
      for (unsigned k = 0; k < std::min<size_t>(*own_sheets, 4); ++k) {
        for (const auto& row : own->ReadGrid(k).rows) Render(row);
      }
    } catch (const sheet::internal::BiffError&) {
      // Refused: the program then keeps FreeXL's answer.
      own.reset();
    }
  }

  Outcome outcome;
  try {
    const std::vector<std::string> names = sheet::SheetNames(path);
    if (own_sheets && names.size() != *own_sheets) {
      throw std::logic_error("the workbook reads as " + std::to_string(names.size()) +
                             " sheets, its records list " + std::to_string(*own_sheets));
    }
    for (unsigned k = 0; k < std::min<size_t>(names.size(), 4); ++k) {
      const sheet::SheetGrid grid = sheet::ReadSheet(path, k);
      for (const auto& row : grid.rows) Render(row);
      // One sheet's two grids at a time: a sheet may hold 65,536 x 256 cells.
      if (own && k < *own_sheets) SameReading(grid, own->ReadGrid(k));
    }
    const sheet::SheetTable table = sheet::ReadFirstWorksheet(path);
    for (const auto& row : table.rows) {
      if (row.size() != table.columns.size()) throw std::logic_error("ragged sheet table");
      Render(row);
    }
    outcome.read = true;
  } catch (const runtime::VbError& e) {
    if (e.Number() != sheet::kErrUnreadableWorkbook && e.Number() != runtime::kVbFileNotFound) {
      throw;
    }
    outcome.error = Describe(e);
  }
  return outcome;
}

namespace {

// A catalog of two tables, as the front end sees the database.
const engine::Catalog& FixedCatalog() {
  static const engine::Catalog catalog = [] {
    sqlite3* db = nullptr;
    sqlite3_open(":memory:", &db);
    engine::Error error;
    engine::Catalog made;
    using engine::SqlType;
    using engine::TypeKind;
    bool ok = engine::Catalog::Ensure(db, &error) &&
              engine::Catalog::RecordTable(
                  db, "T",
                  {{"A", SqlType{TypeKind::kInt}, true, false},
                   {"B", SqlType{TypeKind::kVarChar, 20}, true, false},
                   {"C", SqlType{TypeKind::kNumeric, 0, 18, 2}, true, false},
                   {"D", SqlType{TypeKind::kDateTime}, true, false},
                   {"E", SqlType{TypeKind::kFloat}, true, false}},
                  &error) &&
              engine::Catalog::RecordTable(
                  db, "U",
                  {{"Id", SqlType{TypeKind::kInt}, false, true},
                   {"A", SqlType{TypeKind::kSmallInt}, true, false},
                   {"Name", SqlType{TypeKind::kChar, 10}, true, false}},
                  &error) &&
              made.Load(db, &error);
    sqlite3_close(db);
    if (!ok) throw std::runtime_error("fixed catalog: " + error.message);
    return made;
  }();
  return catalog;
}

bool IsBound(engine::StmtKind kind) {
  using engine::StmtKind;
  switch (kind) {
    case StmtKind::kSelect: case StmtKind::kInsert: case StmtKind::kUpdate:
    case StmtKind::kDelete: case StmtKind::kIf: case StmtKind::kWhile: case StmtKind::kSet:
    case StmtKind::kReturn: case StmtKind::kDeclareCursor:
      return true;
    default:
      return false;
  }
}

// Binds and translates `stmt` and the statements inside it, as the executor compiles a batch;
// the first failure is the outcome's error.
void Compile(engine::Statement* stmt, const std::map<std::string, engine::SqlType>& variables,
             Outcome* outcome) {
  if (!outcome->error.empty()) return;
  if (IsBound(stmt->kind)) {
    engine::Binder binder(FixedCatalog(), variables);
    engine::Error error;
    if (!binder.BindStatement(stmt, &error)) {
      outcome->error = engine::FormatError(error);
      return;
    }
    (void)engine::TranslateStatement(FixedCatalog(), *stmt, variables);
  }
  if (stmt->kind == engine::StmtKind::kCreateProcedure ||
      stmt->kind == engine::StmtKind::kCreateFunction) {
    return;  // their bodies see their own variables; checked when they run
  }
  for (auto& child : stmt->body) Compile(child.get(), variables, outcome);
}

}  // namespace

Outcome CompileSql(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  Outcome outcome;
  engine::TokenizedBatch tokens;
  engine::Error error;
  if (!engine::Tokenize(text, &tokens, &error)) {
    outcome.error = engine::FormatError(error);
    return outcome;
  }
  engine::ParsedBatch batch;
  if (!engine::ParseBatch(tokens, &batch, &error)) {
    outcome.error = engine::FormatError(error);
    return outcome;
  }
  for (auto& stmt : batch.statements) Compile(stmt.get(), batch.variables, &outcome);
  outcome.read = outcome.error.empty();
  return outcome;
}

namespace {

// The deadline of the batch being run; SQLite asks every few steps of every statement.
std::chrono::steady_clock::time_point run_deadline = std::chrono::steady_clock::time_point::max();

int PastDeadline(void*) { return std::chrono::steady_clock::now() > run_deadline ? 1 : 0; }

int BoundConnection(sqlite3* db, const char**, const struct sqlite3_api_routines*) {
  sqlite3_limit(db, SQLITE_LIMIT_LENGTH, 1 << 20);
  sqlite3_progress_handler(db, 16, PastDeadline, nullptr);
  return SQLITE_OK;
}

}  // namespace

Outcome RunSql(const uint8_t* data, size_t size, int budget_ms) {
  static const bool registered = [] {
    sqlite3_auto_extension(reinterpret_cast<void (*)()>(BoundConnection));
    return true;
  }();
  (void)registered;
  Outcome outcome;
  engine::Error error;
  std::unique_ptr<engine::Session> session = engine::Session::Open(":memory:", {}, &error);
  if (!session) throw std::runtime_error("scratch database: " + error.message);
  run_deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(budget_ms);
  const engine::BatchResult result =
      session->Execute(std::string_view(reinterpret_cast<const char*>(data), size));
  run_deadline = std::chrono::steady_clock::time_point::max();
  (void)engine::FormatBatchOutput(result);
  outcome.read = result.ok();
  if (!result.ok()) outcome.error = engine::FormatError(result.errors.back());
  return outcome;
}

}  // namespace fuzz_inputs
