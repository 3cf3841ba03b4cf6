// Where the application folder and the SQL host come from: option, environment, default.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "core/configuracion.h"

namespace core_test {
namespace {

TEST(Configuracion, OpcionGanaAlEntornoYElEntornoAlDefecto) {
  using Opcion = std::optional<std::string>;
  struct Caso {
    const char* nombre;
    Opcion carpeta;
    Opcion host;
    std::map<std::string, std::string> entorno;
    std::string esperada_carpeta;
    std::string esperado_host;
  };
  const std::map<std::string, std::string> ambas = {{"CONSOLIDA_APP_FOLDER", "/srv/datos"}, {"CONSOLIDA_SQL_HOST", "/srv/c.db"}};
  const std::vector<Caso> casos = {
      {"nothing given", {}, {}, {}, "/opt/consolida", ""},
      {"environment only", {}, {}, ambas, "/srv/datos", "/srv/c.db"},
      {"options beat environment", "/a", "servidor", ambas, "/a", "servidor"},
      {"empty variables count as unset", {}, {}, {{"CONSOLIDA_APP_FOLDER", ""}, {"CONSOLIDA_SQL_HOST", ""}}, "/opt/consolida", ""},
      {"trailing slashes dropped", "/a/b//", {}, {}, "/a/b", ""},
      {"relative folder made absolute", "datos/../trabajo", {}, {}, (std::filesystem::current_path() / "trabajo").string(), ""},
  };
  for (const Caso& caso : casos) {
    SCOPED_TRACE(caso.nombre);
    const core::LecturaOpciones lectura = core::ResolverConfiguracion(
        caso.carpeta, caso.host,
        [&caso](const char* variable) -> std::optional<std::string> {
          const auto it = caso.entorno.find(variable);
          return it == caso.entorno.end() ? std::nullopt : std::optional(it->second);
        },
        "/opt/consolida");
    ASSERT_TRUE(lectura.configuracion.has_value()) << lectura.mensaje;
    EXPECT_EQ(lectura.configuracion->carpeta_aplicacion + "|" + lectura.configuracion->servidor_sql,
              caso.esperada_carpeta + "|" + caso.esperado_host);
  }
}

TEST(Configuracion, CarpetaVaciaNoArranca) {
  const core::LecturaOpciones lectura = core::ResolverConfiguracion(
      std::string(), std::nullopt, [](const char*) { return std::string("/srv/datos"); }, "/x");
  EXPECT_FALSE(lectura.configuracion.has_value());
  EXPECT_EQ(lectura.codigo_salida, 2);
  EXPECT_EQ(lectura.mensaje, "La carpeta de la aplicacion no puede ser vacia\n");
}

TEST(Configuracion, LaPausaDeLaOpcionOElEntornoONinguna) {
  using Opcion = std::optional<std::string>;
  const std::string refusal = " debe ser un numero entero de milisegundos, 0 o mayor: ";
  const std::vector<std::tuple<Opcion, Opcion, std::optional<int>, std::string>> casos = {
      {{}, {}, std::nullopt, ""},
      {"150", "0", 150, ""},
      {{}, "2s", std::nullopt, "La pausa (CONSOLIDA_PAUSA_MS)" + refusal + "2s\n"},
      {"99999999999", "0", std::nullopt, "La pausa (--pausa-ms)" + refusal + "99999999999\n"},
  };
  for (const auto& [opcion, entorno, pausa, mensaje] : casos) {
    SCOPED_TRACE(opcion.value_or("-") + " " + entorno.value_or("-"));
    const core::LecturaOpciones lectura = core::ResolverConfiguracion(
        std::nullopt, std::nullopt, [&](const char* v) { return std::string(v) == "CONSOLIDA_PAUSA_MS" ? entorno : std::nullopt; },
        "/x", opcion);
    EXPECT_EQ(lectura.mensaje, mensaje);
    EXPECT_EQ(lectura.codigo_salida, mensaje.empty() ? 0 : 2);
    EXPECT_EQ(lectura.configuracion.value_or(core::Configuracion{}).pausa_ms, pausa);
  }
}

}  // namespace
}  // namespace core_test
