// Where the application folder and the SQL host come from when the options leave them out.
#include "core/configuracion.h"

#include <filesystem>

namespace core {
namespace {

std::string CarpetaNormalizada(const std::string& carpeta) {
  std::error_code error;
  std::filesystem::path absoluta = std::filesystem::absolute(carpeta, error);
  if (error) absoluta = carpeta;
  std::string texto = absoluta.lexically_normal().string();
  while (texto.size() > 1 && texto.back() == '/') texto.pop_back();
  return texto;
}

}  // namespace

LecturaOpciones ResolverConfiguracion(
    const std::optional<std::string>& carpeta_opcion, const std::optional<std::string>& host_opcion,
    const std::function<std::optional<std::string>(const char*)>& entorno,
    const std::string& carpeta_programa) {
  if (carpeta_opcion && carpeta_opcion->empty()) {
    LecturaOpciones lectura;
    lectura.mensaje = "La carpeta de la aplicacion no puede ser vacia\n";
    lectura.codigo_salida = 2;
    return lectura;
  }
  auto de_entorno = [&entorno](const char* variable) -> std::optional<std::string> {
    std::optional<std::string> valor = entorno(variable);
    if (valor && valor->empty()) return std::nullopt;
    return valor;
  };
  const std::optional<std::string> carpeta = carpeta_opcion ? carpeta_opcion : de_entorno(kVariableCarpeta);
  const std::optional<std::string> host = host_opcion ? host_opcion : de_entorno(kVariableHost);
  LecturaOpciones lectura;
  lectura.configuracion = Configuracion{CarpetaNormalizada(carpeta.value_or(carpeta_programa)),
                                        host.value_or("")};
  return lectura;
}

}  // namespace core
