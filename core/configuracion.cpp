// Command line and environment of the program. The options are few and fixed, so they are read
// by hand rather than through a parsing library.
#include "core/configuracion.h"

#include <filesystem>

namespace core {
namespace {

constexpr const char* kVariableCarpeta = "CONSOLIDA_APP_FOLDER";
constexpr const char* kVariableHost = "CONSOLIDA_SQL_HOST";

std::string CarpetaNormalizada(const std::string& carpeta) {
  std::error_code error;
  std::filesystem::path absoluta = std::filesystem::absolute(carpeta, error);
  if (error) absoluta = carpeta;
  std::string texto = absoluta.lexically_normal().string();
  while (texto.size() > 1 && texto.back() == '/') texto.pop_back();
  return texto;
}

LecturaOpciones ErrorDeOpcion(const std::string& mensaje) {
  LecturaOpciones lectura;
  lectura.mensaje = mensaje + "\n" + TextoDeUso();
  lectura.codigo_salida = 2;
  return lectura;
}

}  // namespace

std::string TextoDeUso() {
  return "Uso: consolida [--app-folder <carpeta>] [--host <servidor>]\n"
         "  --app-folder  carpeta de la aplicacion (Log, Datos, Procesados, NoProcesados,\n"
         "                Reporte); si no, " +
         std::string(kVariableCarpeta) +
         ", si no, la carpeta del programa\n"
         "  --host        Data Source de la conexion SQL; si no, " +
         std::string(kVariableHost) +
         ",\n"
         "                si no, la base incorporada Consolida.db en la carpeta de la aplicacion\n";
}

LecturaOpciones LeerOpciones(const std::vector<std::string>& argumentos,
                             const std::function<std::optional<std::string>(const char*)>& entorno,
                             const std::string& carpeta_programa) {
  std::optional<std::string> carpeta;
  std::optional<std::string> host;
  for (size_t i = 0; i < argumentos.size(); ++i) {
    const std::string& argumento = argumentos[i];
    if (argumento == "--help" || argumento == "-h") {
      LecturaOpciones lectura;
      lectura.mensaje = TextoDeUso();
      return lectura;
    }
    std::optional<std::string>* destino = nullptr;
    std::string nombre = argumento;
    std::optional<std::string> valor;
    if (const size_t igual = argumento.find('='); igual != std::string::npos) {
      nombre = argumento.substr(0, igual);
      valor = argumento.substr(igual + 1);
    }
    if (nombre == "--app-folder") destino = &carpeta;
    if (nombre == "--host") destino = &host;
    if (destino == nullptr) return ErrorDeOpcion("Opcion desconocida: " + argumento);
    if (!valor) {
      if (i + 1 >= argumentos.size()) return ErrorDeOpcion("Falta el valor de " + nombre);
      valor = argumentos[++i];
    }
    *destino = *valor;
  }
  auto de_entorno = [&entorno](const char* variable) -> std::optional<std::string> {
    std::optional<std::string> valor = entorno(variable);
    if (valor && valor->empty()) return std::nullopt;
    return valor;
  };
  if (!carpeta) carpeta = de_entorno(kVariableCarpeta);
  if (!host) host = de_entorno(kVariableHost);
  if (carpeta && carpeta->empty()) return ErrorDeOpcion("La carpeta de la aplicacion no puede ser vacia");

  LecturaOpciones lectura;
  lectura.configuracion = Configuracion{CarpetaNormalizada(carpeta.value_or(carpeta_programa)),
                                        host.value_or("")};
  return lectura;
}

}  // namespace core
