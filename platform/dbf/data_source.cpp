// The "MSDASQL" provider over named DBF data sources. Opening checks the name and the folder the
// way the ODBC driver manager and the FoxPro driver would; reading tables through a session is
// not available yet and says so with an error instead of returning nothing.
#include "platform/dbf/data_source.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/runtime/vb_error.h"
#include "platform/sql/client.h"

namespace dbf {
namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

struct Registry {
  std::mutex mutex;
  std::map<std::string, std::string> folders;  // by lower-cased name
  bool provider_registered = false;
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

[[noreturn]] void Fail(const std::string& description) {
  throw runtime::VbError(kOdbcErrorNumber, kOdbcErrorSource, description);
}

class DbfSession : public sql::ProviderSession {
 public:
  explicit DbfSession(std::string folder) : folder_(std::move(folder)) {}

  std::optional<sql::RowSet> Execute(const std::string& sql) override {
    Fail("[Consolida][DBF] Reading tables from " + folder_ +
         " is not available yet; statement not run: " + sql);
  }
  void BeginTrans() override { Fail("[Consolida][DBF] This data source has no transactions"); }
  void CommitTrans() override { Fail("[Consolida][DBF] This data source has no transactions"); }
  void RollbackTrans() override { Fail("[Consolida][DBF] This data source has no transactions"); }

 private:
  std::string folder_;
};

std::unique_ptr<sql::ProviderSession> OpenSession(
    const std::vector<std::pair<std::string, std::string>>& properties) {
  std::string name;
  for (const auto& [key, value] : properties) {
    if (key == "data source" || key == "dsn") name = value;
  }
  std::optional<std::string> folder = DataSourceFolder(name);
  if (!folder) Fail(kDataSourceNotFound);
  std::error_code error;
  if (!std::filesystem::is_directory(*folder, error)) {
    Fail("[Microsoft][ODBC Visual FoxPro Driver]Invalid path or file name: " + *folder);
  }
  return std::make_unique<DbfSession>(*folder);
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

void DefineDataSource(const std::string& name, const std::string& folder) {
  Registry& registry = TheRegistry();
  std::lock_guard lock(registry.mutex);
  registry.folders[Lower(name)] = folder;
}

void RemoveDataSource(const std::string& name) {
  Registry& registry = TheRegistry();
  std::lock_guard lock(registry.mutex);
  registry.folders.erase(Lower(name));
}

std::optional<std::string> DataSourceFolder(const std::string& name) {
  Registry& registry = TheRegistry();
  std::lock_guard lock(registry.mutex);
  auto it = registry.folders.find(Lower(name));
  if (it == registry.folders.end()) return std::nullopt;
  return it->second;
}

}  // namespace dbf
