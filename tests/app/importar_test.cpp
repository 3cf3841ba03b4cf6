// "consolida importar ...": each command run in-process on an application folder of its own, as
// a scheduled job runs it: exit status, end line and stderr on good and bad folders; the command
// stores what the window stores; the descriptions file of "importar estructuras"; the help.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "intake/proc_novedades.h"
#include "tests/app/orden_prueba.h"
#include "tests/intake/tablas_de_prueba.h"
#include "tests/support/carpeta_aplicacion.h"

namespace {

namespace fs = std::filesystem;
using namespace app_test;
using consolida::Orden;
using runtime::Valor;

constexpr char kErroresEnLog[] =
    "[Captura de Errores] Existen errores en el archivo de Errores\r\nAvisar al Personal de Sistemas "
    "para que lo revise -> 1";

// ENCUES_1.dbf, with its company column named `unico`.
void Encuesta(const fs::path& datos, const std::string& unico = "Unico") {
  dbf::DbfTable tabla = intake_test::Encuesta();
  for (dbf::DbfField& campo : tabla.fields) {
    if (campo.name == "Unico") campo.name = unico;
  }
  dbf::WriteDbf((datos / "ENCUES_1.dbf").string(), tabla);
}

class ImportarTest : public test_support::VentanaPrueba {
 protected:
  // A new application folder for the command, with an empty Datos.
  fs::path NuevaCarpeta() {
    otra_ = std::make_unique<test_support::TempFolder>("consolida-importar");
    fs::create_directory(otra_->path() / "Datos");
    return otra_->path();
  }
  Corrida Correr(const Textos& argumentos) { return app_test::Correr(argumentos, otra_->path()); }
  std::unique_ptr<test_support::TempFolder> otra_;
};

TEST_F(ImportarTest, CadaImportacionEnCarpetaBuenaYMala) {
  const Textos novedades = {"importar", "novedades", "--periodo", "2005"};
  const Textos padron = {"importar", "padron", "--anio", "2005"};
  auto padron_con = [](const std::string& cuit) {
    return [cuit](const fs::path& datos) {
      dbf::WriteDbf((datos / "Padron.dbf").string(),
                             intake_test::Padron({intake_test::Completa(), intake_test::EnBlanco("30500000002",
                                                                                                 cuit)}));
    };
  };
  const std::string bien = "Fin de la importacion: ", mal = "Fin de la importacion con errores: ";
  const struct {
    const char* nombre;
    std::function<void(const fs::path& datos)> preparar;
    Textos argumentos;
    int codigo;
    std::string fin, en_stderr;  // the end line; a message or progress line shown on stderr
  } casos[] = {
      {"novedades", [](const fs::path& datos) { Encuesta(datos); }, novedades, 0,
       bien + "1 archivo, 10 filas grabadas, 0 filas rechazadas",
       "Procesar Novedades: ENCUES_1 | 30500000002 | MARCA | Finalizado\n"},
      {"novedades, archivo sin unico", [](const fs::path& datos) { Encuesta(datos, "CODIGO"); }, novedades, 1,
       mal + "0 archivos, 0 filas grabadas, 0 filas rechazadas",
       "[Consolida] El archivo ENCUES_1.dbf no tiene la columna unico. Se movio a la carpeta NoProcesados -> 1\n"},
      {"padron", padron_con("30500000002"), padron, 0, bien + "1 archivo, 2 filas grabadas, 0 filas rechazadas",
       "Procesa Padron: Fin Proceso | 30500000002\n"},
      {"padron, un CUIT sin cifras", padron_con("s/n"), padron, 1,
       mal + "1 archivo, 1 fila grabada, 1 fila rechazada", kErroresEnLog},
      {"muestra",
       [](const fs::path& datos) {
         intake_test::EscribirMuestras(
             (datos / "Muestras.xls").string(), intake_test::kColumnasMuestra,
             {{Valor::Double(30500000001), Valor::String("30500000001"), Valor::String("ENCUES"), Valor::Double(2005),
               Valor::String("0,75"), Valor::Double(1.5), Valor::Double(1), Valor::Double(2), Valor::Double(3),
               Valor::Double(4), Valor::Double(5)}});
       },
       {"importar", "muestra"}, 0, bien + "1 archivo, 1 fila grabada, 0 filas rechazadas",
       "Procesa Muestra: Fin Proceso | 30500000001\n"},
      {"muestra, sin la columna Form",
       [](const fs::path& datos) {
         intake_test::EscribirMuestras((datos / "Muestras.xls").string(), {"Unico", "Periodo"},
                                       {{Valor::String("305"), Valor::Double(2005)}});
       },
       {"importar", "muestra"}, 1, mal + "0 archivos, 0 filas grabadas, 0 filas rechazadas",
       "[Consolida] Ha Finalizado el proceso por existir un error en los Datos\r\nFalta la columna Form en "
       "Muestras.xls -> 1"},
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.nombre);
    caso.preparar(NuevaCarpeta() / "Datos");
    const Corrida corrida = Correr(caso.argumentos);
    EXPECT_EQ(corrida.codigo, caso.codigo);
    EXPECT_EQ(corrida.out, caso.fin + "\n");
    EXPECT_NE(corrida.err.find(caso.en_stderr), std::string::npos) << corrida.err;
  }
}

// Every command opens its window and presses its button the same way; novedades stands for all.
TEST_F(ImportarTest, ElComandoGrabaLoMismoQueLaVentana) {
  const char consulta[] = "Select * From SE_NOVEDAD Order By Empresa, Campo";
  // The window first: the command points the embedded database at its own folder.
  consolida::PrepararMaquina(App());
  Encuesta(carpeta_ / "Datos");
  intake::Proc_Novedades ventana(App());
  Ui().Show(ventana);
  ventana.TxtPeriodo.UserEdit("2005");
  ventana.Proceso.UserClick();
  const Textos de_la_ventana = FilasDe(carpeta_, consulta);
  ASSERT_FALSE(de_la_ventana.empty());

  Encuesta(NuevaCarpeta() / "Datos");
  EXPECT_EQ(Correr({"importar", "novedades", "--periodo", "2005"}).codigo, 0);
  EXPECT_EQ(FilasDe(otra_->path(), consulta), de_la_ventana);
}

TEST_F(ImportarTest, EstructurasDescribeLosCamposDelCatalogo) {
  Encuesta(NuevaCarpeta() / "Datos");
  ASSERT_EQ(Correr({"importar", "novedades", "--periodo", "2005"}).codigo, 0);
  const std::string ruta = (otra_->path() / "descripciones.txt").string();
  const struct {
    const char* nombre;
    std::string texto;  // the descriptions file; "-" for none
    int codigo;
    std::string fin;
    Textos otras;  // stderr besides the progress lines
    Textos filas;  // the columns described
  } casos[] = {
      {"buena", "\xEF\xBB\xBF" "ENCUES_1\tP001\tVentas del a\xC3\xB1o\r\n\r\nencues_1\tnombre\tRazon de O'Brien\n", 0,
       "Fin de la importacion: 1 archivo, 2 filas grabadas, 0 filas rechazadas\n", {},
       {"NOMBRE|Razon de O'Brien", "P001|Ventas del a\xC3\xB1o"}},
      {"con lineas que no corresponden",
       "ENCUES_9\tP001\tX\nENCUES_1\tP999\tX\nsin tabuladores\nENCUES_1\tP002\tEmpleo\nENCUES_1\tP001\t\n", 1,
       "Fin de la importacion con errores: 1 archivo, 2 filas grabadas, 3 filas rechazadas\n",
       {"Linea 1 de " + ruta + ": el archivo ENCUES_9 no esta en el catalogo",
        "Linea 2 de " + ruta + ": el archivo ENCUES_1 no tiene el campo P999 en el catalogo",
        "Linea 3 de " + ruta + ": se esperaba archivo, campo y descripcion separados por tabuladores"},
       {"NOMBRE|Razon de O'Brien", "P001|", "P002|Empleo"}},
      {"sin archivo", "-", 1, "Fin de la importacion con errores: 0 archivos, 0 filas grabadas, 0 filas rechazadas\n",
       {"No se pudo leer el archivo de descripciones " + ruta}, {"NOMBRE|Razon de O'Brien", "P001|", "P002|Empleo"}},
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.nombre);
    fs::remove(ruta);
    if (caso.texto != "-") test_support::EscribirArchivo(ruta, caso.texto);
    const Corrida corrida = Correr({"importar", "estructuras", "--descripciones", ruta});
    EXPECT_EQ(corrida.codigo, caso.codigo);
    EXPECT_EQ(corrida.out, caso.fin);
    Textos otras;
    std::istringstream err(corrida.err);
    for (std::string linea; std::getline(err, linea);) {
      if (!linea.starts_with("Carga de Novedades: ")) otras.push_back(linea);
    }
    EXPECT_EQ(otras, caso.otras);
    EXPECT_EQ(FilasDe(otra_->path(), "Select Est_Campo, Est_Descripcion From SE_ESTRUCTURAS "
                                     "Where Est_Descripcion Is Not Null Order By Est_Campo"),
              caso.filas);
  }
}

// The help names every command on a line of its own: how it is typed, then its description.
TEST(LineaDeOrdenesImportar, LaAyudaListaCadaOrden) {
  const Orden orden = Leer({"--help"});
  EXPECT_EQ(orden.codigo_salida, 0);
  for (const std::string uso : {"formula generar <id> [--texto]", "importar estructuras --descripciones <archivo>",
                                "importar novedades --periodo <P>", "importar padron --anio <A>", "importar muestra",
                                "demo [--carpeta <carpeta>] [--empresas <N>]"}) {
    const size_t en = orden.mensaje.find("\n  " + uso + "  ");
    ASSERT_NE(en, std::string::npos) << uso << "\n" << orden.mensaje;
    EXPECT_NE(orden.mensaje[orden.mensaje.find_first_not_of(' ', en + 3 + uso.size())], '\n') << uso;
  }
}

}  // namespace
