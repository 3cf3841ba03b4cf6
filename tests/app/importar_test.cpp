// "consolida importar ...": each command run in-process on an application folder of its own, as
// a scheduled job runs it: exit status, end line, messages and progress on stderr, the rows
// stored; the same input through the window and through the command stores the same rows; the
// command lines and the help.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "app/consolida/linea_de_comandos.h"
#include "intake/frm_muestra.h"
#include "intake/frm_padron.h"
#include "intake/proc_novedades.h"
#include "platform/runtime/conversions.h"
#include "platform/sql/client.h"
#include "tests/intake/tablas_de_prueba.h"
#include "tests/support/carpeta_aplicacion.h"

namespace {

namespace fs = std::filesystem;
using consolida::Accion;
using consolida::Orden;
using runtime::Valor;

constexpr char kErroresEnLog[] =
    "[Captura de Errores] Existen errores en el archivo de Errores\r\nAvisar al Personal de Sistemas "
    "para que lo revise -> 1";
constexpr char kNovedades[] =
    "Select FormSector, Capitulo, Empresa, Periodo, Campo, Tipo, ValorStr, ValorInt, ValorDbl, "
    "ValorDte From SE_NOVEDAD Order By Empresa, Campo";
constexpr char kPadron[] =
    "Select Unico, Periodo, CUIT, Razon, FormSector, Domi, Muestra, auto, wf, Novedad, Estado, "
    "Caja, Caja_1, NumFor, fecha_ac, Corte_Fecha, PI, PI_1, EmpCba, Mues, auto_0, auto_1 "
    "From SE_MUESTRA_PADRON Order By Unico, Periodo";

Orden Leer(std::vector<std::string> argumentos) {
  return consolida::LeerOrden(argumentos, [](const char*) { return std::nullopt; }, "/opt/consolida");
}

// The rows of `consulta` on the database of application folder `carpeta`, values joined by "|".
std::vector<std::string> FilasDe(const fs::path& carpeta, const std::string& consulta) {
  sql::Connection cn;
  cn.Open("Provider=SQLOLEDB.1;Data Source=" + (carpeta / "Consolida.db").string());
  sql::Recordset rs;
  rs.Open(consulta, cn);
  std::vector<std::string> filas;
  for (; !rs.Eof(); rs.MoveNext()) {
    std::string fila;
    for (int i = 0; i < rs.Fields().Count(); ++i) {
      const Valor valor = rs(i).Value();
      fila += (i ? "|" : "") + (valor.IsNull() ? std::string("NULL") : runtime::CStr(valor));
    }
    filas.push_back(fila);
  }
  return filas;
}

// What the inputs of a case write into Datos.
using Preparar = std::function<void(const fs::path& datos)>;

void Encuesta(const fs::path& datos) {
  test_support::WriteDbf((datos / "ENCUES_1.dbf").string(), intake_test::Encuesta());
}
void Padron(const fs::path& datos) {
  test_support::WriteDbf((datos / "Padron.dbf").string(),
                         intake_test::Padron({intake_test::Completa(),
                                              intake_test::EnBlanco("30500000002", "30500000002")}));
}
void Muestras(const fs::path& datos) {
  intake_test::EscribirMuestras(
      (datos / "Muestras.xls").string(), intake_test::kColumnasMuestra,
      {{Valor::Double(30500000001), Valor::String("30500000001"), Valor::String("ENCUES"),
        Valor::Double(2005), Valor::String("0,75"), Valor::Double(1.5), Valor::Double(1),
        Valor::Double(2), Valor::Double(3), Valor::Double(4), Valor::Double(5)},
       {Valor::String("sin numero"), Valor::String("30500000002"), Valor::String("ENCUES"),
        Valor::Double(2004), Valor::Null(), Valor::Null(), Valor::Null(), Valor::Null(),
        Valor::Null(), Valor::Null(), Valor::Null()}});
}

// Each command's run: exit status, stdout, and stderr split into message boxes and the progress
// line written last.
struct Corrida {
  int codigo = 0;
  std::string out;
  std::vector<std::string> mensajes;
  std::string ultimo_progreso;
  std::vector<std::string> otras;  // any other line of stderr
};

class ImportarTest : public test_support::VentanaPrueba {
 protected:
  void SetUp() override {
    VentanaPrueba::SetUp();
    otra_ = std::make_unique<test_support::TempFolder>("consolida-importar");
    fs::create_directory(otra_->path() / "Datos");
  }
  void TearDown() override {
    otra_.reset();
    VentanaPrueba::TearDown();
  }

  fs::path Carpeta() const { return otra_->path(); }

  // Runs a command line on the command's folder; `progreso` is the caption that starts the
  // window's progress lines.
  Corrida Correr(std::vector<std::string> argumentos, const std::string& progreso) {
    argumentos.push_back("--app-folder=" + Carpeta().string());
    const Orden orden = Leer(argumentos);
    EXPECT_NE(orden.accion, Accion::kTerminar) << orden.mensaje;
    std::ostringstream out, err;
    Corrida corrida;
    corrida.codigo = consolida::EjecutarSinVentana(orden, out, err);
    corrida.out = out.str();
    std::istringstream lineas(err.str());
    std::string linea;
    while (std::getline(lineas, linea)) {
      if (!linea.empty() && linea.back() == '\r') linea.pop_back();
      if (!linea.empty() && linea[0] == '[') {
        corrida.mensajes.push_back(linea);
      } else if (linea.rfind(progreso + ": ", 0) == 0) {
        corrida.ultimo_progreso = linea;
      } else if (!corrida.mensajes.empty() && corrida.mensajes.back().find(" -> ") == std::string::npos) {
        corrida.mensajes.back() += "\r\n" + linea;  // a message of several lines
      } else {
        corrida.otras.push_back(linea);
      }
    }
    return corrida;
  }

  std::unique_ptr<test_support::TempFolder> otra_;
};

TEST_F(ImportarTest, CadaImportacionEnCarpetaBuenaYMala) {
  struct Caso {
    std::string nombre;
    Preparar preparar;
    std::vector<std::string> argumentos;
    std::string ventana;  // the caption of its progress lines
    int codigo;
    std::string out;
    std::vector<std::string> mensajes;
    std::string ultimo_progreso;
    std::string consulta;  // rows read back afterwards
    size_t filas;
    std::vector<std::string> procesados;  // Procesados and NoProcesados, names without the stamp
  };
  const std::vector<Caso> casos = {
      {"novedades", Encuesta, {"importar", "novedades", "--periodo", "2005"}, "Procesar Novedades", 0,
       "Fin de la importacion: 1 archivo, 8 filas grabadas, 0 filas rechazadas\n", {},
       "Procesar Novedades: ENCUES_1 | 30500000002 | FECHA | Finalizado", kNovedades, 8,
       {"P:ENCUES_1"}},
      {"novedades, periodo mal escrito", Encuesta, {"importar", "novedades", "--periodo", "20a5"},
       "Procesar Novedades", 1,
       "Fin de la importacion con errores: 0 archivos, 0 filas grabadas, 0 filas rechazadas\n",
       {"[Consolida] Dato Incorrecto -> 1"}, "", kNovedades, 0, {}},
      {"novedades, archivo sin unico",
       [](const fs::path& datos) {
         test_support::DbfTable tabla;
         tabla.fields = {{"CODIGO", 'C', 11}, {"P001", 'N', 10, 2}};
         tabla.records = {{{"305", "1"}}};
         test_support::WriteDbf((datos / "ENCUES_1.dbf").string(), tabla);
       },
       {"importar", "novedades", "--periodo", "2005"}, "Procesar Novedades", 1,
       "Fin de la importacion con errores: 0 archivos, 0 filas grabadas, 0 filas rechazadas\n",
       {"[Consolida] El archivo ENCUES_1.dbf no tiene la columna unico. Se movio a la carpeta "
        "NoProcesados -> 1",
        kErroresEnLog},
       "Procesar Novedades: Finalizado", kNovedades, 0,
       {"N:ENCUES_1"}},
      {"padron", Padron, {"importar", "padron", "--anio", "2005"}, "Procesa Padron", 0,
       "Fin de la importacion: 1 archivo, 2 filas grabadas, 0 filas rechazadas\n", {},
       "Procesa Padron: Fin Proceso | 30500000002", kPadron, 4, {"P:Padron"}},
      {"padron, un CUIT sin cifras",
       [](const fs::path& datos) {
         test_support::WriteDbf(
             (datos / "Padron.dbf").string(),
             intake_test::Padron({intake_test::Completa(), intake_test::EnBlanco("30500000002", "s/n")}));
       },
       {"importar", "padron", "--anio", "2005"}, "Procesa Padron", 1,
       "Fin de la importacion con errores: 1 archivo, 1 fila grabada, 1 fila rechazada\n",
       {kErroresEnLog}, "Procesa Padron: Fin Proceso | 30500000001", kPadron, 2, {"P:Padron"}},
      {"padron, sin Padron.dbf", Encuesta, {"importar", "padron", "--anio", "2005"}, "Procesa Padron", 1,
       "Fin de la importacion con errores: 0 archivos, 0 filas grabadas, 0 filas rechazadas\n",
       {"[Consolida] No se encuentra el Archivo Padron.dbf en la Carpeta Datos -> 1"},
       "Procesa Padron: Verifica Existencia de la Tabla", kPadron, 0, {}},
      {"muestra", Muestras, {"importar", "muestra"}, "Procesa Muestra", 0,
       "Fin de la importacion: 1 archivo, 2 filas grabadas, 0 filas rechazadas\n", {},
       "Procesa Muestra: Fin Proceso | 30500000002", kPadron, 2, {"P:Muestras"}},
      {"muestra, sin la columna Form",
       [](const fs::path& datos) {
         intake_test::EscribirMuestras((datos / "Muestras.xls").string(), {"Unico", "Periodo"},
                                       {{Valor::String("305"), Valor::Double(2005)}});
       },
       {"importar", "muestra"}, "Procesa Muestra", 1,
       "Fin de la importacion con errores: 0 archivos, 0 filas grabadas, 0 filas rechazadas\n",
       {"[Consolida] Ha Finalizado el proceso por existir un error en los Datos\r\nFalta la columna "
        "Form en Muestras.xls -> 1",
        kErroresEnLog},
       "Procesa Muestra: Error de Proceso", kPadron, 0, {"N:Muestras"}},
  };
  for (const Caso& caso : casos) {
    SCOPED_TRACE(caso.nombre);
    otra_ = std::make_unique<test_support::TempFolder>("consolida-importar");
    fs::create_directory(Carpeta() / "Datos");
    caso.preparar(Carpeta() / "Datos");

    const Corrida corrida = Correr(caso.argumentos, caso.ventana);
    EXPECT_EQ(corrida.codigo, caso.codigo);
    EXPECT_EQ(corrida.out, caso.out);
    EXPECT_EQ(corrida.mensajes, caso.mensajes);
    EXPECT_EQ(corrida.ultimo_progreso, caso.ultimo_progreso);
    EXPECT_EQ(corrida.otras, std::vector<std::string>{});
    EXPECT_EQ(FilasDe(Carpeta(), caso.consulta).size(), caso.filas);
    std::vector<std::string> movidos;
    for (const auto& [carpeta, marca] : {std::pair{"Procesados", "P:"}, {"NoProcesados", "N:"}}) {
      for (const std::string& nombre : test_support::Nombres(Carpeta() / carpeta)) {
        movidos.push_back(marca + nombre.substr(0, nombre.rfind('_')));
      }
    }
    EXPECT_EQ(movidos, caso.procesados);
  }
}

// The same files imported through the window (scripted Ui) and through the command store the
// same rows.
TEST_F(ImportarTest, ElComandoGrabaLoMismoQueLaVentana) {
  struct Caso {
    std::string nombre;
    Preparar preparar;
    std::function<void(core::Aplicacion&, ui::Ui&)> ventana;
    std::vector<std::string> argumentos;
    std::string consulta;
  };
  const std::vector<Caso> casos = {
      {"novedades", Encuesta,
       [](core::Aplicacion& app, ui::Ui& ui) {
         intake::Proc_Novedades v(app);
         ui.Show(v);
         v.TxtPeriodo.UserEdit("2005");
         v.Proceso.UserClick();
       },
       {"importar", "novedades", "--periodo", "2005"}, kNovedades},
      {"padron", Padron,
       [](core::Aplicacion& app, ui::Ui& ui) {
         intake::FrmPadron v(app);
         ui.Show(v);
         v.TxtPeriodo.UserEdit("2005");
         v.Command1.UserClick();
       },
       {"importar", "padron", "--anio", "2005"}, kPadron},
      {"muestra", Muestras,
       [](core::Aplicacion& app, ui::Ui& ui) {
         intake::FrmMuestra v(app);
         ui.Show(v);
         v.Command1.UserClick();
       },
       {"importar", "muestra"}, kPadron},
  };
  for (const Caso& caso : casos) {
    SCOPED_TRACE(caso.nombre);
    // The window first: the command points the embedded database at its own folder.
    consolida::PrepararMaquina(App());
    caso.preparar(carpeta_ / "Datos");
    caso.ventana(App(), Ui());
    const std::vector<std::string> de_la_ventana = FilasDe(carpeta_, caso.consulta);
    ASSERT_FALSE(de_la_ventana.empty());

    caso.preparar(Carpeta() / "Datos");
    EXPECT_EQ(Correr(caso.argumentos, "-").codigo, 0);
    EXPECT_EQ(FilasDe(Carpeta(), caso.consulta), de_la_ventana);
  }
}

TEST_F(ImportarTest, EstructurasDescribeLosCamposDelCatalogo) {
  Encuesta(Carpeta() / "Datos");
  ASSERT_EQ(Correr({"importar", "novedades", "--periodo", "2005"}, "-").codigo, 0);
  const std::string ruta = (Carpeta() / "descripciones.txt").string();
  const std::string consulta =
      "Select Est_Campo, Est_Descripcion From SE_ESTRUCTURAS Order By Est_Campo";

  struct Caso {
    std::string nombre;
    std::string texto;  // the descriptions file; "-" for none
    int codigo;
    std::string out;
    std::vector<std::string> otras;
    std::vector<std::string> filas;
  };
  const std::vector<Caso> casos = {
      {"buena", "\xEF\xBB\xBF" "ENCUES_1\tP001\tVentas del a\xC3\xB1o\r\n\r\nencues_1\tnombre\tRazon de O'Brien\n",
       0, "Fin de la importacion: 1 archivo, 2 filas grabadas, 0 filas rechazadas\n", {},
       {"FECHA|NULL", "NOMBRE|Razon de O'Brien", "P001|Ventas del a\xC3\xB1o", "P002|NULL", "UNICO|NULL"}},
      {"con lineas que no corresponden",
       "ENCUES_9\tP001\tX\nENCUES_1\tP999\tX\nsin tabuladores\nENCUES_1\tP002\tEmpleo\nENCUES_1\tP001\t\n", 1,
       "Fin de la importacion con errores: 1 archivo, 2 filas grabadas, 3 filas rechazadas\n",
       {"Linea 1 de " + ruta + ": el archivo ENCUES_9 no esta en el catalogo",
        "Linea 2 de " + ruta + ": el archivo ENCUES_1 no tiene el campo P999 en el catalogo",
        "Linea 3 de " + ruta +
            ": se esperaba archivo, campo y descripcion separados por tabuladores"},
       {"FECHA|NULL", "NOMBRE|Razon de O'Brien", "P001|", "P002|Empleo", "UNICO|NULL"}},
      {"sin archivo", "-", 1,
       "Fin de la importacion con errores: 0 archivos, 0 filas grabadas, 0 filas rechazadas\n",
       {"No se pudo leer el archivo de descripciones " + ruta},
       {"FECHA|NULL", "NOMBRE|Razon de O'Brien", "P001|", "P002|Empleo", "UNICO|NULL"}},
  };
  for (const Caso& caso : casos) {
    SCOPED_TRACE(caso.nombre);
    fs::remove(ruta);
    if (caso.texto != "-") test_support::EscribirArchivo(ruta, caso.texto);
    const Corrida corrida =
        Correr({"importar", "estructuras", "--descripciones", ruta}, "Carga de Novedades");
    EXPECT_EQ(corrida.codigo, caso.codigo);
    EXPECT_EQ(corrida.out, caso.out);
    EXPECT_EQ(corrida.otras, caso.otras);
    EXPECT_EQ(corrida.mensajes, std::vector<std::string>{});
    EXPECT_EQ(FilasDe(Carpeta(), consulta), caso.filas);
  }
}

TEST(LineaDeOrdenesImportar, CadaLineaPideLoSuyo) {
  struct Caso {
    std::vector<std::string> argumentos;
    Accion accion;
    std::string periodo;
    std::string descripciones;
  };
  const std::vector<Caso> casos = {
      {{"importar", "novedades", "--periodo", "2005"}, Accion::kImportarNovedades, "2005", ""},
      // The year goes to the window as typed: the window refuses it.
      {{"importar", "novedades", "--periodo=20a5"}, Accion::kImportarNovedades, "20a5", ""},
      {{"importar", "padron", "--anio", "2004"}, Accion::kImportarPadron, "2004", ""},
      {{"--host=h", "importar", "muestra"}, Accion::kImportarMuestra, "", ""},
      {{"importar", "estructuras", "--descripciones", "d.txt"}, Accion::kImportarEstructuras, "", "d.txt"},
  };
  for (const Caso& caso : casos) {
    SCOPED_TRACE(caso.argumentos[1]);
    const Orden orden = Leer(caso.argumentos);
    ASSERT_EQ(orden.accion, caso.accion) << orden.mensaje;
    EXPECT_EQ(orden.periodo, caso.periodo);
    EXPECT_EQ(orden.descripciones, caso.descripciones);
  }

  struct Mala {
    std::vector<std::string> argumentos;
    std::string comienzo;
  };
  const std::vector<Mala> malas = {
      {{"importar", "novedades"}, "Falta un dato obligatorio"},
      {{"importar", "padron", "--anio", "2005", "--periodo", "2005"}, "Hay argumentos que no corresponden"},
      {{"importar", "muestra", "--periodo", "2005"}, "Hay argumentos que no corresponden"},
      {{"importar", "estructuras"}, "Falta un dato obligatorio"},
      {{"importar", "formulas"}, "Falta la orden, o no es una de las que se conocen"},
      {{"importar", "padron", "--anio"}, "Falta el valor de una opcion"},
  };
  for (const Mala& mala : malas) {
    SCOPED_TRACE(mala.argumentos.back());
    const Orden orden = Leer(mala.argumentos);
    EXPECT_EQ(orden.accion, Accion::kTerminar);
    EXPECT_EQ(orden.codigo_salida, 2);
    EXPECT_EQ(orden.mensaje.substr(0, mala.comienzo.size()), mala.comienzo) << orden.mensaje;
  }
}

// The program's help names every command on a line of its own, with how it is typed.
TEST(LineaDeOrdenesImportar, LaAyudaListaCadaOrden) {
  const Orden orden = Leer({"--help"});
  ASSERT_EQ(orden.codigo_salida, 0);
  std::vector<std::string> ordenes;
  std::istringstream lineas(orden.mensaje);
  std::string linea;
  bool en_ordenes = false;
  while (std::getline(lineas, linea)) {
    if (linea == "Ordenes:") en_ordenes = true;
    if (!en_ordenes || linea.rfind("  ", 0) != 0) continue;
    // How the command is typed, then at least two blanks and its description.
    const size_t hueco = linea.find("  ", 2);
    ASSERT_NE(hueco, std::string::npos) << linea;
    EXPECT_GT(linea.find_first_not_of(' ', hueco), hueco) << linea;
    ordenes.push_back(linea.substr(2, hueco - 2));
  }
  EXPECT_EQ(ordenes, (std::vector<std::string>{
                         "formula generar <id> [--texto]",
                         "importar estructuras --descripciones <archivo>",
                         "importar novedades --periodo <P>",
                         "importar padron --anio <A>",
                         "importar muestra",
                     }));
}

}  // namespace
