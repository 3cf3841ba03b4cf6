// Where the application folder and the SQL host come from: option, environment, default.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "core/configuracion.h"
#include "platform/ui/scripted_ui.h"

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
  const std::vector<Caso> casos = {
      {"nothing given", {}, {}, {}, "/opt/consolida", ""},
      {"environment only",
       {},
       {},
       {{"CONSOLIDA_APP_FOLDER", "/srv/datos"}, {"CONSOLIDA_SQL_HOST", "/srv/c.db"}},
       "/srv/datos",
       "/srv/c.db"},
      {"options beat environment",
       "/a",
       "servidor",
       {{"CONSOLIDA_APP_FOLDER", "/srv/datos"}, {"CONSOLIDA_SQL_HOST", "otro"}},
       "/a",
       "servidor"},
      {"empty variables count as unset",
       {},
       {},
       {{"CONSOLIDA_APP_FOLDER", ""}, {"CONSOLIDA_SQL_HOST", ""}},
       "/opt/consolida",
       ""},
      {"trailing slashes dropped", "/a/b//", {}, {}, "/a/b", ""},
      {"relative folder made absolute",
       "datos/../trabajo",
       {},
       {},
       (std::filesystem::current_path() / "trabajo").string(),
       ""},
  };
  for (const Caso& caso : casos) {
    SCOPED_TRACE(caso.nombre);
    const core::LecturaOpciones lectura = core::ResolverConfiguracion(
        caso.carpeta, caso.host,
        [&caso](const char* variable) -> std::optional<std::string> {
          auto it = caso.entorno.find(variable);
          if (it == caso.entorno.end()) return std::nullopt;
          return it->second;
        },
        "/opt/consolida");
    ASSERT_TRUE(lectura.configuracion.has_value()) << lectura.mensaje;
    EXPECT_EQ(lectura.configuracion->carpeta_aplicacion, caso.esperada_carpeta);
    EXPECT_EQ(lectura.configuracion->servidor_sql, caso.esperado_host);
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
  struct Caso {
    Opcion opcion;
    Opcion entorno;
    std::optional<int> pausa;
    std::string mensaje;  // the refusal, code 2
  };
  const std::vector<Caso> casos = {
      {{}, {}, std::nullopt, ""},
      {{}, "0", 0, ""},
      {"150", "0", 150, ""},
      {{}, "2s", std::nullopt, "La pausa (CONSOLIDA_PAUSA_MS) debe ser un numero entero de milisegundos, 0 o mayor: 2s\n"},
      {"-1", "0", std::nullopt, "La pausa (--pausa-ms) debe ser un numero entero de milisegundos, 0 o mayor: -1\n"},
      {"99999999999", {}, std::nullopt,
       "La pausa (--pausa-ms) debe ser un numero entero de milisegundos, 0 o mayor: 99999999999\n"},
  };
  for (const Caso& caso : casos) {
    SCOPED_TRACE(caso.opcion.value_or("-") + " " + caso.entorno.value_or("-"));
    const core::LecturaOpciones lectura = core::ResolverConfiguracion(
        std::nullopt, std::nullopt,
        [&caso](const char* variable) { return std::string(variable) == "CONSOLIDA_PAUSA_MS" ? caso.entorno : std::nullopt; },
        "/x", caso.opcion);
    EXPECT_EQ(lectura.mensaje, caso.mensaje);
    EXPECT_EQ(lectura.codigo_salida, caso.mensaje.empty() ? 0 : 2);
    EXPECT_EQ(lectura.configuracion.has_value(), caso.mensaje.empty());
    EXPECT_EQ(lectura.configuracion.value_or(core::Configuracion{}).pausa_ms, caso.pausa);
  }
  // Without a setting each pause keeps its own length; with one, every pause takes it.
  ui::ScriptedUi ui;
  EXPECT_EQ(core::Aplicacion(core::Configuracion{"/x", ""}, ui).Pausa(50), 50);
  EXPECT_EQ(core::Aplicacion(core::Configuracion{"/x", "", 0}, ui).Pausa(2000), 0);
}

}  // namespace
}  // namespace core_test
