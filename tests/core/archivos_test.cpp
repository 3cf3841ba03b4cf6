// The file routines the imports share: moving an input file out of Datos under a time-stamped
// name without ever overwriting, the file-exists test, and making a working folder.
#include <gtest/gtest.h>

#include "tests/support/carpeta_aplicacion.h"

namespace core_test {

using namespace test_support;
namespace {

using Archivos = CarpetaAplicacion;

TEST_F(Archivos, MoverArchivoPoneFechaYHoraAntesDeLaExtension) {
  struct Caso {
    const char* nombre;
    const char* carpeta;
    const char* nuevo;
  };
  const std::vector<Caso> casos = {
      {"Padron.dbf", "Procesados", "Padron_05122026112041.dbf"},
      {"ENCUES_1.DBF", "NoProcesados", "ENCUES_1_05122026112041.DBF"},
      {"Muestras.xls", "Procesados", "Muestras_05122026112041.xls"},
      {"ab.c", "Procesados", "_05122026112041ab.c"},  // four characters: all of it is the extension
  };
  CrearCarpetasDeTrabajo();
  for (const Caso& caso : casos) {
    SCOPED_TRACE(caso.nombre);
    EscribirArchivo(carpeta_ / "Datos" / caso.nombre, caso.nombre);
    EXPECT_TRUE(App().MoverArchivo(caso.nombre, caso.carpeta));
    EXPECT_FALSE(fs::exists(carpeta_ / "Datos" / caso.nombre));
    EXPECT_EQ(LeerArchivo(carpeta_ / caso.carpeta / caso.nuevo), caso.nombre);
  }
}

TEST_F(Archivos, MoverArchivoNuncaPisaYFallaSinRegistrarNada) {
  CrearCarpetasDeTrabajo();
  App().AbrirLogErrores();
  EscribirArchivo(carpeta_ / "Datos" / "Padron.dbf", "nuevo");
  EscribirArchivo(carpeta_ / "Procesados" / "Padron_05122026112041.dbf", "anterior");

  struct Caso {
    const char* que;
    const char* nombre;
    const char* carpeta;
  };
  const std::vector<Caso> casos = {
      {"source missing", "NoEsta.dbf", "Procesados"},
      {"target folder missing", "Padron.dbf", "Otra"},
      {"name shorter than its extension", "abc", "Procesados"},
  };
  for (const Caso& caso : casos) {
    SCOPED_TRACE(caso.que);
    EXPECT_FALSE(App().MoverArchivo(caso.nombre, caso.carpeta));
  }
  EXPECT_EQ(LeerArchivo(carpeta_ / "Datos" / "Padron.dbf"), "nuevo");
  EXPECT_EQ(LeerArchivo(carpeta_ / "Procesados" / "Padron_05122026112041.dbf"), "anterior");
  EXPECT_EQ(fs::file_size(App().ArchivoErr), 0u);
  EXPECT_TRUE(Ui().Messages().empty());

  // Within the same second the stamped name is taken: the next free copy number is used, and
  // when none is left the file stays where it is.
  EXPECT_TRUE(App().MoverArchivo("Padron.dbf", "Procesados"));
  EXPECT_EQ(LeerArchivo(carpeta_ / "Procesados" / "Padron_05122026112041_2.dbf"), "nuevo");
  for (int copia = 3; copia <= core::Aplicacion::kCopiasMovidas; ++copia) {
    EscribirArchivo(carpeta_ / "Procesados" / ("Padron_05122026112041_" + std::to_string(copia) + ".dbf"), "");
  }
  EscribirArchivo(carpeta_ / "Datos" / "Padron.dbf", "otro");
  EXPECT_FALSE(App().MoverArchivo("Padron.dbf", "Procesados"));
  EXPECT_EQ(LeerArchivo(carpeta_ / "Datos" / "Padron.dbf"), "otro");
  EXPECT_EQ(LeerArchivo(carpeta_ / "Procesados" / "Padron_05122026112041.dbf"), "anterior");
}

// CrearCarpeta is true only when the folder is there afterwards; ExisteArchivo only for files.
TEST_F(Archivos, CrearCarpetaYExisteArchivo) {
  fs::create_directory(carpeta_ / "Ya");
  EscribirArchivo(carpeta_ / "Archivo", "no soy carpeta");
  // One level only: the parent must exist.
  for (const auto& [ruta, resultado] : {std::pair{"Nueva", true}, {"Ya", true}, {"Archivo", false}, {"Falta/Hija", false}}) {
    SCOPED_TRACE(ruta);
    EXPECT_EQ(core::CrearCarpeta((carpeta_ / ruta).string()), resultado);
    EXPECT_EQ(fs::is_directory(carpeta_ / ruta), resultado);
  }
  EXPECT_TRUE(App().ExisteArchivo((carpeta_ / "Archivo").string()));
  EXPECT_FALSE(App().ExisteArchivo((carpeta_ / "Otro").string()));
  EXPECT_FALSE(App().ExisteArchivo((carpeta_ / "Ya").string()));
}

}  // namespace
}  // namespace core_test
