// Numbered append-only text files for the error log. Errors carry VB's numbers and texts for
// file faults (runtime::RaiseVbError), since the windows log them like any other caught error.
#include "core/internal/archivos_numerados.h"

#include <filesystem>

#include "platform/runtime/files.h"
#include "platform/runtime/vb_error.h"

namespace core::internal {

ArchivosNumerados::~ArchivosNumerados() {
  for (std::FILE*& archivo : archivos_) {
    if (archivo != nullptr) std::fclose(archivo);
    archivo = nullptr;
  }
}

int16_t ArchivosNumerados::AbrirParaAgregar(const std::string& ruta) {
  int libre = 0;
  for (int numero = 1; numero <= kMaximo && libre == 0; ++numero) {
    if (archivos_[numero] == nullptr) libre = numero;
  }
  if (libre == 0) runtime::RaiseVbError(runtime::kVbTooManyFiles);
  const std::filesystem::path carpeta = std::filesystem::path(ruta).parent_path();
  if (!carpeta.empty() && !runtime::FolderExists(carpeta.string())) {
    runtime::RaiseVbError(runtime::kVbPathNotFound);
  }
  // Binary mode: the log's line ends are CR LF exactly as written.
  std::FILE* archivo = std::fopen(ruta.c_str(), "ab");
  if (archivo == nullptr) runtime::RaiseVbError(runtime::kVbPathFileAccess);
  archivos_[libre] = archivo;
  return static_cast<int16_t>(libre);
}

void ArchivosNumerados::ImprimirLinea(int16_t numero, const std::string& texto) {
  if (!EstaAbierto(numero)) runtime::RaiseVbError(runtime::kVbBadFileNameOrNumber);
  std::FILE* archivo = archivos_[numero];
  const bool escrito = std::fwrite(texto.data(), 1, texto.size(), archivo) == texto.size() &&
                       std::fwrite("\r\n", 1, 2, archivo) == 2 && std::fflush(archivo) == 0;
  if (!escrito) runtime::RaiseVbError(runtime::kVbDiskFull);
}

void ArchivosNumerados::Cerrar(int16_t numero) {
  if (!EstaAbierto(numero)) return;
  std::fclose(archivos_[numero]);
  archivos_[numero] = nullptr;
}

bool ArchivosNumerados::EstaAbierto(int16_t numero) const {
  return numero >= 1 && numero <= kMaximo && archivos_[numero] != nullptr;
}

}  // namespace core::internal
