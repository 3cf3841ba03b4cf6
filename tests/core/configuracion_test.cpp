// The program's options and environment: which one wins, defaults, and bad command lines.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "core/configuracion.h"

namespace core_test {
namespace {

TEST(Configuracion, OpcionGanaAlEntornoYElEntornoAlDefecto) {
  struct Caso {
    const char* nombre;
    std::vector<std::string> argumentos;
    std::map<std::string, std::string> entorno;
    std::string carpeta;
    std::string host;
  };
  const std::vector<Caso> casos = {
      {"nothing given", {}, {}, "/opt/consolida", ""},
      {"environment only",
       {},
       {{"CONSOLIDA_APP_FOLDER", "/srv/datos"}, {"CONSOLIDA_SQL_HOST", "/srv/c.db"}},
       "/srv/datos",
       "/srv/c.db"},
      {"options beat environment",
       {"--app-folder", "/a", "--host=servidor"},
       {{"CONSOLIDA_APP_FOLDER", "/srv/datos"}, {"CONSOLIDA_SQL_HOST", "otro"}},
       "/a",
       "servidor"},
      {"empty variables count as unset",
       {},
       {{"CONSOLIDA_APP_FOLDER", ""}, {"CONSOLIDA_SQL_HOST", ""}},
       "/opt/consolida",
       ""},
      {"trailing slashes dropped", {"--app-folder=/a/b//"}, {}, "/a/b", ""},
      {"last option wins", {"--host", "uno", "--host", "dos"}, {}, "/opt/consolida", "dos"},
      {"relative folder made absolute",
       {"--app-folder", "datos/../trabajo"},
       {},
       (std::filesystem::current_path() / "trabajo").string(),
       ""},
  };
  for (const Caso& caso : casos) {
    SCOPED_TRACE(caso.nombre);
    const core::LecturaOpciones lectura = core::LeerOpciones(
        caso.argumentos,
        [&caso](const char* variable) -> std::optional<std::string> {
          auto it = caso.entorno.find(variable);
          if (it == caso.entorno.end()) return std::nullopt;
          return it->second;
        },
        "/opt/consolida");
    ASSERT_TRUE(lectura.configuracion.has_value()) << lectura.mensaje;
    EXPECT_EQ(lectura.configuracion->carpeta_aplicacion, caso.carpeta);
    EXPECT_EQ(lectura.configuracion->servidor_sql, caso.host);
  }
}

TEST(Configuracion, LineasDeOrdenesQueNoArrancan) {
  struct Caso {
    std::vector<std::string> argumentos;
    int codigo;
  };
  const std::vector<Caso> casos = {
      {{"--help"}, 0},
      {{"--verbose"}, 2},
      {{"--host"}, 2},
      {{"--app-folder="}, 2},
  };
  for (const Caso& caso : casos) {
    SCOPED_TRACE(caso.argumentos[0]);
    const core::LecturaOpciones lectura = core::LeerOpciones(
        caso.argumentos, [](const char*) { return std::nullopt; }, "/x");
    EXPECT_FALSE(lectura.configuracion.has_value());
    EXPECT_EQ(lectura.codigo_salida, caso.codigo);
    EXPECT_NE(lectura.mensaje.find("--app-folder"), std::string::npos);
  }
}

}  // namespace
}  // namespace core_test
