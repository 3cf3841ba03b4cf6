// The "MSDASQL" provider over named DBF data sources. Opening checks the name and the folder the
// way the ODBC driver manager and the FoxPro driver would; each "Select * from" reads the whole
// file afresh, so a session holds no file open and closing or reopening costs nothing.
#include "platform/dbf/data_source.h"

#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/dbf/dbf_reader.h"
#include "platform/runtime/text.h"
#include "platform/runtime/utf8.h"
#include "platform/runtime/vb_error.h"
#include "platform/sql/client.h"

namespace dbf {
namespace {

using runtime::IsBlank;

struct Definition {
  std::string folder;
  int default_code_page = 1252;
};

struct Registry {
  std::mutex mutex;
  std::map<std::string, Definition> definitions;  // by runtime::LowerCaseText of the name
  bool provider_registered = false;
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

constexpr char kNoTransactions[] = "[Consolida][DBF] Este origen de datos no tiene transacciones";

[[noreturn]] void Fail(const std::string& description) {
  throw runtime::VbError(kOdbcErrorNumber, kOdbcErrorSource, description);
}

// Consumes `word` (any case) at `at`.
bool TakeWord(std::string_view sql, size_t& at, std::string_view word) {
  if (sql.size() - at < word.size() ||
      !runtime::EqualIgnoringCase(sql.substr(at, word.size()), word)) {
    return false;
  }
  at += word.size();
  return true;
}

void SkipBlanks(std::string_view sql, size_t& at) {
  while (at < sql.size() && IsBlank(sql[at])) ++at;
}

class DbfSession : public sql::ProviderSession {
 public:
  DbfSession(Definition definition, bool include_deleted)
      : definition_(std::move(definition)), include_deleted_(include_deleted) {}

  std::optional<sql::RowSet> Execute(const std::string& sql) override {
    warnings_.clear();
    std::optional<std::string> table = SelectedTable(sql);
    if (!table) {
      Fail("[Consolida][DBF] Sobre archivos DBF solo se puede ejecutar \"Select * from <tabla>\"; "
           "no se ejecutó: " + sql);
    }
    if (table->find('/') != std::string::npos || table->find('\\') != std::string::npos) {
      Fail("[Consolida][DBF] El nombre de una tabla no puede nombrar una carpeta: " + *table);
    }
    std::optional<std::string> path = FindTable(*table);
    if (!path) {
      Fail("[Microsoft][ODBC Visual FoxPro Driver]El archivo '" + *table + "' no existe.");
    }
    ReadOptions options;
    options.default_code_page = definition_.default_code_page;
    options.include_deleted = include_deleted_;
    TableContents contents = ReadTable(*path, options);
    for (std::string& notice : contents.notices) {
      warnings_.push_back({kOdbcWarningNumber, kOdbcErrorSource, std::move(notice)});
    }
    return std::move(contents.rows);
  }
  std::vector<sql::ProviderWarning> Warnings() const override { return warnings_; }
  void BeginTrans() override { Fail(kNoTransactions); }
  void CommitTrans() override { Fail(kNoTransactions); }
  void RollbackTrans() override { Fail(kNoTransactions); }

 private:
  // The file of the folder named `table` or `table`.dbf, without regard to case.
  std::optional<std::string> FindTable(const std::string& table) const {
    const std::string table_dbf = table + ".dbf";
    std::error_code error;
    std::optional<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(definition_.folder, error)) {
      if (!entry.is_regular_file(error)) continue;
      const std::string name = entry.path().filename().string();
      if (runtime::EqualIgnoringCase(name, table)) return entry.path().string();
      if (runtime::EqualIgnoringCase(name, table_dbf)) found = entry.path().string();
    }
    return found;
  }

  Definition definition_;
  bool include_deleted_;
  std::vector<sql::ProviderWarning> warnings_;
};

std::unique_ptr<sql::ProviderSession> OpenSession(
    const std::vector<std::pair<std::string, std::string>>& properties) {
  std::string name;
  bool include_deleted = false;
  for (const auto& [key, value] : properties) {
    if (key == "data source" || key == "dsn") name = value;
    if (key == "deleted") include_deleted = runtime::EqualIgnoringCase(value, "no");
  }
  std::optional<Definition> definition;
  {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    auto it = registry.definitions.find(runtime::LowerCaseText(name));
    if (it != registry.definitions.end()) definition = it->second;
  }
  if (!definition) Fail(kDataSourceNotFound);
  std::error_code error;
  if (!std::filesystem::is_directory(definition->folder, error)) {
    Fail("[Microsoft][ODBC Visual FoxPro Driver]Ruta o nombre de archivo no válido: " +
         definition->folder);
  }
  return std::make_unique<DbfSession>(std::move(*definition), include_deleted);
}

}  // namespace

void RegisterProvider() {
  Registry& registry = TheRegistry();
  {
    std::lock_guard lock(registry.mutex);
    if (registry.provider_registered) return;
    registry.provider_registered = true;
  }
  sql::RegisterProvider("MSDASQL", OpenSession);
}

void DefineDataSource(const std::string& name, const std::string& folder, int default_code_page) {
  Registry& registry = TheRegistry();
  std::lock_guard lock(registry.mutex);
  registry.definitions[runtime::LowerCaseText(name)] = Definition{folder, default_code_page};
}

void RemoveDataSource(const std::string& name) {
  Registry& registry = TheRegistry();
  std::lock_guard lock(registry.mutex);
  registry.definitions.erase(runtime::LowerCaseText(name));
}

std::optional<std::string> SelectedTable(std::string_view sql) {
  size_t at = 0;
  SkipBlanks(sql, at);
  if (!TakeWord(sql, at, "select")) return std::nullopt;
  SkipBlanks(sql, at);
  if (at >= sql.size() || sql[at] != '*') return std::nullopt;
  ++at;
  SkipBlanks(sql, at);
  if (!TakeWord(sql, at, "from")) return std::nullopt;
  if (at >= sql.size() || !IsBlank(sql[at])) return std::nullopt;
  SkipBlanks(sql, at);
  std::string table;
  if (at < sql.size() && (sql[at] == '[' || sql[at] == '"' || sql[at] == '`')) {
    const char close = sql[at] == '[' ? ']' : sql[at];
    size_t end = sql.find(close, at + 1);
    if (end == std::string_view::npos) return std::nullopt;
    table = std::string(sql.substr(at + 1, end - at - 1));
    at = end + 1;
  } else {
    size_t start = at;
    while (at < sql.size() && !IsBlank(sql[at]) && sql[at] != ';') ++at;
    table = std::string(sql.substr(start, at - start));
  }
  SkipBlanks(sql, at);
  if (at < sql.size() && sql[at] == ';') ++at;
  SkipBlanks(sql, at);
  if (at != sql.size() || table.empty()) return std::nullopt;
  return table;
}

}  // namespace dbf
