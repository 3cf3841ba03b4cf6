// Text files opened by number, the way the program's log routines address them: a free number
// is taken, the file is opened for appending under it, lines are printed to it, it is closed.
// Internal to core; every write reaches the file before the call returns.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>

namespace core::internal {

class ArchivosNumerados {
 public:
  ArchivosNumerados() = default;
  ~ArchivosNumerados();
  ArchivosNumerados(const ArchivosNumerados&) = delete;
  ArchivosNumerados& operator=(const ArchivosNumerados&) = delete;

  // Opens `ruta` for appending (created when missing) under the lowest free number (1 to 255)
  // and returns it. Throws runtime::VbError 67 when every number is taken, 76 when the folder
  // does not exist and 75 when the file cannot be opened otherwise.
  int16_t AbrirParaAgregar(const std::string& ruta);

  // Writes `texto` and CR LF at the end of file `numero` and flushes it.
  // Throws runtime::VbError 52 when `numero` is not open, 61 when the write fails.
  void ImprimirLinea(int16_t numero, const std::string& texto);

  // Closes file `numero`; a number that is not open is left alone.
  void Cerrar(int16_t numero);

  bool EstaAbierto(int16_t numero) const;

 private:
  static constexpr int kMaximo = 255;
  std::array<std::FILE*, kMaximo + 1> archivos_{};  // index 0 is never used
};

}  // namespace core::internal
