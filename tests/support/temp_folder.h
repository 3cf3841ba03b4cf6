// The tests' scratch space: a fresh folder under the system's temp folder, removed with
// everything in it when the holder goes; and the few file helpers the tests share (whole-file
// read and write, the sorted names in a folder). Test support only; never linked into the program.
#pragma once

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace test_support {

namespace fs = std::filesystem;

class TempFolder {
 public:
  // Makes <root>/<prefix>-XXXXXX (root: the system's temp folder). Throws std::runtime_error
  // when it cannot.
  explicit TempFolder(const std::string& prefix = "consolida", const fs::path& root = fs::temp_directory_path()) {
    std::string pattern = (root / (prefix + "-XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr) {
      throw std::runtime_error("cannot make a temp folder from " + pattern);
    }
    path_ = pattern;
  }
  ~TempFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const fs::path& path() const { return path_; }
  std::string Path() const { return path_.string(); }
  // The path of file `name` inside the folder.
  std::string File(const std::string& name) const { return (path_ / name).string(); }
  // Writes `bytes` as file `name`, replacing it.
  void Write(const std::string& name, const std::string& bytes) const {
    std::ofstream file(path_ / name, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }

 private:
  fs::path path_;
};

// The bytes of a file; empty when it cannot be read.
inline std::string LeerArchivo(const fs::path& ruta) {
  std::ifstream entrada(ruta, std::ios::binary);
  std::ostringstream texto;
  texto << entrada.rdbuf();
  return texto.str();
}

inline void EscribirArchivo(const fs::path& ruta, const std::string& texto) {
  std::ofstream salida(ruta, std::ios::binary);
  salida << texto;
}

// The names in a folder, sorted; empty when the folder is missing.
inline std::vector<std::string> Nombres(const fs::path& carpeta) {
  std::vector<std::string> nombres;
  std::error_code error;
  for (const auto& entrada : fs::directory_iterator(carpeta, error)) {
    nombres.push_back(entrada.path().filename().string());
  }
  std::sort(nombres.begin(), nombres.end());
  return nombres;
}

}  // namespace test_support
