// Connection strings and the provider registry: which code serves "Provider=X" and where the
// embedded database lives. Never opens anything itself; the factories do.
#include <algorithm>
#include <map>
#include <mutex>

#include "platform/runtime/text.h"
#include "platform/runtime/utf8.h"
#include "platform/sql/internal/providers.h"

namespace sql {
namespace {

using runtime::IsBlank;

std::string Trim(std::string_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return std::string(text.substr(begin, end - begin));
}

// "SQLOLEDB.1" and "Microsoft.Jet.OLEDB.4.0" name "SQLOLEDB" and "MICROSOFT.JET.OLEDB": the
// trailing version parts (all digits) are dropped, so a provider answers to every version.
std::string ProviderName(std::string_view text) {
  std::string name = runtime::UpperCaseText(Trim(text));
  while (true) {
    size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot + 1 == name.size()) break;
    bool digits = name.find_first_not_of("0123456789", dot + 1) == std::string::npos;
    if (!digits) break;
    name.erase(dot);
  }
  return name;
}

struct Registry {
  std::mutex mutex;
  std::map<std::string, ProviderFactory> factories;
  EmbeddedDatabase embedded;
};

// Built on first use, so the embedded provider is there without any registration call, and
// static initialisation order never matters.
Registry& TheRegistry() {
  static Registry* registry = [] {
    auto* r = new Registry;
    r->factories["SQLOLEDB"] = internal::OpenEmbeddedSession;
    return r;
  }();
  return *registry;
}

}  // namespace

void RegisterProvider(const std::string& name, ProviderFactory factory) {
  Registry& registry = TheRegistry();
  std::lock_guard lock(registry.mutex);
  registry.factories[ProviderName(name)] = std::move(factory);
}

void ConfigureEmbedded(EmbeddedDatabase config) {
  Registry& registry = TheRegistry();
  std::lock_guard lock(registry.mutex);
  registry.embedded = std::move(config);
}

namespace internal {

ConnectionProperties ParseConnectionString(std::string_view text) {
  ConnectionProperties properties;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t eq = text.find('=', pos);
    size_t semi = text.find(';', pos);
    if (eq == std::string_view::npos || (semi != std::string_view::npos && semi < eq)) {
      if (semi == std::string_view::npos) break;
      pos = semi + 1;  // a part without '=' carries nothing
      continue;
    }
    std::string key = runtime::LowerCaseText(Trim(text.substr(pos, eq - pos)));
    size_t v = eq + 1;
    while (v < text.size() && IsBlank(text[v])) ++v;
    std::string value;
    if (v < text.size() && (text[v] == '"' || text[v] == '\'')) {
      char quote = text[v++];
      while (v < text.size()) {
        if (text[v] == quote) {
          if (v + 1 < text.size() && text[v + 1] == quote) {
            value += quote;
            v += 2;
            continue;
          }
          ++v;
          break;
        }
        value += text[v++];
      }
      semi = text.find(';', v);
    } else {
      semi = text.find(';', v);
      value = Trim(text.substr(v, (semi == std::string_view::npos ? text.size() : semi) - v));
    }
    if (!key.empty()) properties.emplace_back(std::move(key), std::move(value));
    pos = semi == std::string_view::npos ? text.size() : semi + 1;
  }
  return properties;
}

std::string PropertyValue(const ConnectionProperties& properties, std::string_view key) {
  for (auto it = properties.rbegin(); it != properties.rend(); ++it) {
    if (it->first == key) return it->second;
  }
  return "";
}

std::string ProviderKey(const ConnectionProperties& properties) {
  bool present = std::any_of(properties.begin(), properties.end(),
                             [](const auto& p) { return p.first == "provider"; });
  if (!present) return "MSDASQL";
  return ProviderName(PropertyValue(properties, "provider"));
}

ProviderFactory FindProvider(const std::string& key) {
  Registry& registry = TheRegistry();
  std::lock_guard lock(registry.mutex);
  auto it = registry.factories.find(key);
  return it == registry.factories.end() ? ProviderFactory{} : it->second;
}

EmbeddedDatabase EmbeddedConfiguration() {
  Registry& registry = TheRegistry();
  std::lock_guard lock(registry.mutex);
  return registry.embedded;
}

}  // namespace internal
}  // namespace sql
