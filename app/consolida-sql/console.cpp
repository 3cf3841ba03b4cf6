// The console's argument handling, database choice and batch loop. Output formatting belongs to
// the engine (result_text.h) so that the console, the script tests and the fixtures agree.

#include "app/consolida-sql/console.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <optional>
#include <sstream>

#include "platform/engine/engine.h"
#include "platform/engine/result_text.h"
#include "schema/schema.h"

namespace sql_console {
namespace {

constexpr char kUsage[] =
    "usage: consolida-sql [-d database-file] [-i script-file]... [-Q query] [-b]\n";

struct Options {
  bool help = false;
  std::optional<std::string> database;
  std::vector<std::string> script_files;
  std::optional<std::string> query;
  bool stop_on_error = false;
};

// Parses `args`; on a mistake writes the reason and the usage line to `err` and returns nullopt.
std::optional<Options> ParseArguments(const std::vector<std::string>& args, std::ostream& err) {
  Options options;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "-b") {
      options.stop_on_error = true;
      continue;
    }
    if (arg == "-?" || arg == "--help") {
      options.help = true;
      continue;
    }
    if (arg != "-d" && arg != "-i" && arg != "-Q") {
      err << "consolida-sql: unknown argument '" << arg << "'\n" << kUsage;
      return std::nullopt;
    }
    if (i + 1 == args.size()) {
      err << "consolida-sql: " << arg << " needs a value\n" << kUsage;
      return std::nullopt;
    }
    const std::string& value = args[++i];
    if (arg == "-d") {
      options.database = value;
    } else if (arg == "-i") {
      options.script_files.push_back(value);
    } else {
      options.query = value;
    }
  }
  if (options.query && !options.script_files.empty()) {
    err << "consolida-sql: -i and -Q cannot be used together\n" << kUsage;
    return std::nullopt;
  }
  return options;
}

std::string EnvironmentValue(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

std::filesystem::path ExecutableFolder() {
  std::error_code error;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return std::filesystem::current_path();
  return exe.parent_path();
}

// The same default as the desktop program: the configured host, else the application folder's
// Consolida.db.
std::string DefaultDatabase() {
  std::string host = EnvironmentValue("CONSOLIDA_SQL_HOST");
  if (!host.empty()) return host;
  std::string folder = EnvironmentValue("CONSOLIDA_APP_FOLDER");
  std::filesystem::path app_folder = folder.empty() ? ExecutableFolder() : std::filesystem::path(folder);
  return (app_folder / "Consolida.db").string();
}

bool ReadFile(const std::string& path, std::string* text) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  std::ostringstream content;
  content << file.rdbuf();
  if (file.bad()) return false;
  *text = content.str();
  return true;
}

}  // namespace

int RunConsole(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
               std::ostream& err) {
  std::optional<Options> options = ParseArguments(args, err);
  if (!options) return 1;
  if (options->help) {
    out << kUsage;
    return 0;
  }

  // Scripts are read before the database is opened, so a mistyped script name does not leave a
  // new database file behind.
  std::vector<std::string> scripts;
  if (options->query) {
    scripts.push_back(*options->query);
  } else if (options->script_files.empty()) {
    scripts.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  for (const std::string& path : options->script_files) {
    std::string text;
    if (!ReadFile(path, &text)) {
      err << "consolida-sql: cannot read script file '" << path << "'\n";
      return 1;
    }
    scripts.push_back(std::move(text));
  }

  engine::OpenOptions open_options;
  open_options.creation_scripts = schema::CreationBatches();
  engine::Error open_error;
  std::unique_ptr<engine::Session> session = engine::Session::Open(
      options->database.value_or(DefaultDatabase()), open_options, &open_error);
  if (session == nullptr) {
    err << engine::FormatError(open_error) << "\n";
    return 1;
  }

  bool failed = false;
  for (const std::string& script : scripts) {
    for (const std::string& batch : schema::SplitBatches(script)) {
      engine::BatchResult result = session->Execute(batch);
      out << engine::FormatBatchOutput(result);
      for (const engine::Error& error : result.errors) err << engine::FormatError(error) << "\n";
      if (!result.ok()) {
        failed = true;
        if (options->stop_on_error) {
          out.flush();
          return 1;
        }
      }
    }
  }
  out.flush();
  return failed ? 1 : 0;
}

}  // namespace sql_console
