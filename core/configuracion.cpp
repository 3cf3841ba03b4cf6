// Where the application folder, the SQL host and the pause come from when the options leave
// them out.
#include "core/configuracion.h"

#include <charconv>
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

// Milliseconds written in decimal digits only: no sign, no blank, no exponent.
std::optional<int> Milisegundos(const std::string& texto) {
  int valor = 0;
  const char* fin = texto.data() + texto.size();
  if (texto.empty() || texto[0] < '0' || texto[0] > '9') return std::nullopt;
  const auto [resto, error] = std::from_chars(texto.data(), fin, valor);
  if (error != std::errc() || resto != fin) return std::nullopt;
  return valor;
}

}  // namespace

LecturaOpciones ResolverConfiguracion(
    const std::optional<std::string>& carpeta_opcion, const std::optional<std::string>& host_opcion,
    const std::function<std::optional<std::string>(const char*)>& entorno,
    const std::string& carpeta_programa, const std::optional<std::string>& pausa_opcion) {
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
  const std::optional<std::string> pausa = pausa_opcion ? pausa_opcion : de_entorno(kVariablePausa);
  std::optional<int> pausa_ms;
  if (pausa) {
    pausa_ms = Milisegundos(*pausa);
    if (!pausa_ms) {
      LecturaOpciones lectura;
      lectura.mensaje = std::string("La pausa (") + (pausa_opcion ? "--pausa-ms" : kVariablePausa) +
                        ") debe ser un numero entero de milisegundos, 0 o mayor: " + *pausa + "\n";
      lectura.codigo_salida = 2;
      return lectura;
    }
  }
  LecturaOpciones lectura;
  lectura.configuracion = Configuracion{CarpetaNormalizada(carpeta.value_or(carpeta_programa)),
                                        host.value_or(""), pausa_ms};
  return lectura;
}

}  // namespace core
