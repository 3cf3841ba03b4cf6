// The program's command line: what each line asks for, the lines that end at once (help, bad
// input) with their exit codes and Spanish texts, and "formula generar" run in-process on a
// fresh application folder, as a scheduled job would run it.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "platform/runtime/conversions.h"
#include "platform/sheet/xls_reader.h"
#include "platform/sql/client.h"
#include "tests/app/orden_prueba.h"
#include "tests/support/batch_files.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using namespace app_test;
using consolida::Accion;
using consolida::Orden;

TEST(LineaDeOrdenes, CadaLineaPideLoSuyo) {
  struct Caso {
    std::vector<std::string> argumentos;
    Accion accion;
    int32_t formula;
    bool texto;
    std::string carpeta;
    std::string host;
  };
  const std::vector<Caso> casos = {
      {{}, Accion::kEscritorio, 0, false, "/opt/consolida", ""},
      {{"--app-folder=/a", "--host", "uno", "--host", "dos"}, Accion::kEscritorio, 0, false, "/a", "dos"},
      {{"formula", "generar", "7"}, Accion::kFormulaGenerar, 7, false, "/opt/consolida", ""},
      {{"--host=h", "formula", "generar", "--texto", "12"}, Accion::kFormulaGenerar, 12, true, "/opt/consolida", "h"},
      // The program's options may also follow the command.
      {{"formula", "generar", "3", "--app-folder", "/b"}, Accion::kFormulaGenerar, 3, false, "/b", ""},
  };
  for (const Caso& caso : casos) {
    std::string linea;
    for (const std::string& a : caso.argumentos) linea += a + " ";
    SCOPED_TRACE(linea);
    const Orden orden = Leer(caso.argumentos);
    ASSERT_EQ(orden.accion, caso.accion) << orden.mensaje;
    EXPECT_EQ(orden.formula, caso.formula);
    EXPECT_EQ(orden.texto, caso.texto);
    EXPECT_EQ(orden.configuracion.carpeta_aplicacion, caso.carpeta);
    EXPECT_EQ(orden.configuracion.servidor_sql, caso.host);
  }
}

TEST(LineaDeOrdenes, AyudaYLineasQueNoSeLeen) {
  struct Caso {
    std::vector<std::string> argumentos;
    int codigo;
    std::string comienzo;  // how the message starts
    std::string contiene;  // a part of the usage text it shows
  };
  const std::vector<Caso> casos = {
      {{"--help"}, 0, "Consolida: de las encuestas a los indicadores.", "--app-folder <carpeta>"},
      {{"formula", "generar", "-h"}, 0, "Genera los procedimientos de una formula guardada", "--texto"},
      {{"--verbose"}, 2, "Hay argumentos que no corresponden", "--app-folder"},
      {{"formula", "borrar", "3"}, 2, "Falta la orden, o no es una de las que se conocen", "generar"},
      {{"--host"}, 2, "Falta el valor de una opcion", "--host"},
      {{"formula", "generar"}, 2, "Falta un dato obligatorio", "--texto"},
      {{"formula", "generar", "siete"}, 2, "El id de la formula debe ser un numero entero mayor que 0: siete",
       "--texto"},
      {{"formula", "generar", "0"}, 2, "El id de la formula debe ser un numero entero mayor que 0: 0", "id"},
      {{"formula", "generar", "7x"}, 2, "El id de la formula debe ser un numero entero mayor que 0: 7x", "id"},
      {{"demo", "--empresas", "0"}, 2, "La cantidad de empresas debe ser un numero entero mayor que 0: 0", "--empresas"},
      {{"--app-folder", "", "formula", "generar", "7"}, 2, "La carpeta de la aplicacion no puede ser vacia",
       "--texto"},
      {{"secuencia", "correr", "--formulario", "F", "--secuencia", "S", "--periodo", "20055", "--anio", "2005"}, 2,
       "El periodo y el año tienen a lo sumo cuatro caracteres: 20055", "--anio <A>"},
      {{"--pausa-ms", "1.5"}, 2, "La pausa (--pausa-ms) debe ser un numero entero de milisegundos, 0 o mayor: 1.5",
       "--pausa-ms <ms>"},
  };
  for (const Caso& caso : casos) {
    SCOPED_TRACE(caso.argumentos[0] + (caso.argumentos.size() > 1 ? " " + caso.argumentos[1] : ""));
    const Orden orden = Leer(caso.argumentos);
    EXPECT_EQ(orden.accion, Accion::kTerminar);
    EXPECT_EQ(orden.codigo_salida, caso.codigo);
    EXPECT_EQ(orden.mensaje.substr(0, caso.comienzo.size()), caso.comienzo) << orden.mensaje;
    EXPECT_NE(orden.mensaje.find(caso.contiene), std::string::npos) << orden.mensaje;
  }
}

class FormulaGenerar : public ::testing::Test {
 protected:
  using Salida = Corrida;
  Salida Correr(const Textos& argumentos) { return app_test::Correr(argumentos, temporal_.path()); }

  // The program's database, opened as any client opens it (the first command created it).
  void Enviar(const std::string& lote) {
    sql::Connection cn;
    cn.Open(Cadena());
    cn.Execute(lote);
  }
  std::string Consultar(const std::string& consulta) {
    std::string filas;
    for (const std::string& fila : FilasDe(temporal_.path(), consulta)) filas += fila + ";";
    return filas;
  }
  std::string Cadena() const { return "Provider=SQLOLEDB.1;Data Source=" + (temporal_.path() / "Consolida.db").string(); }
  void CargarFixtures() {
    for (const std::string& lote : test_support::SplitBatches(fixtures_ / "setup.sql")) Enviar(lote);
  }

  bool SinLogs() const { return fs::is_empty(temporal_.path() / "Log"); }

  const fs::path fixtures_ = fs::path(CONSOLIDA_TEST_DATA_DIR) / "fixtures/engine";
  test_support::TempFolder temporal_{"consolida-orden"};
};

TEST_F(FormulaGenerar, FormulaGuardadaAProcedimientosYTexto) {
  EXPECT_EQ(Correr({"formula", "generar", "7"}).Todo(), "1||No existe la formula 7\n");
  EXPECT_TRUE(SinLogs()) << "an empty error log is deleted at the end";

  // Formula 7 of the acceptance fixtures, VENTAS / VENTAS_1, stored as the editor stores it.
  CargarFixtures();
  for (int i = 1; i <= 7; ++i) {
    Enviar("INSERT INTO SE_CABFORMULA(FC_Nombre, FC_NomVar, FC_Formula, FC_Form_Completa, FC_Tipo, FC_Activo, FC_FCreacion, "
           "FC_CdorVResul) Values('F" + std::to_string(i) + "', 'V" + std::to_string(i) +
           "', 'VENTAS / VENTAS_1', 'VENTAS / VENTAS_1', 'F', 1, GetDate(), 0)");
  }
  Enviar("INSERT INTO SE_FORMULA(Id_FormCab, FM_Dato, FM_Tipo, FM_FCreacion, FM_FtTipo, FM_FtDato) Values "
         "(7, 'VENTAS', 'C', GetDate(), '', ''), (7, ' / ', 'O', GetDate(), '', ''), (7, 'VENTAS_1', 'C', GetDate(), '', '')");

  const Salida texto = Correr({"formula", "generar", "--texto", "7"});
  EXPECT_EQ(texto.codigo, 0) << texto.err;
  EXPECT_EQ(texto.out, test_support::LeerArchivo(fixtures_ / "p7.sql") + test_support::LeerArchivo(fixtures_ / "p7_emp.sql"));
  EXPECT_EQ(Consultar("SELECT name FROM dbo.sysobjects WHERE name LIKE 'P7%'"), "")
      << "--texto creates nothing";

  EXPECT_EQ(Correr({"formula", "generar", "7"}).Todo(), "0|Se ha Generado la Formula 7: P7, P7_T, P7_Emp, P7Emp_T\n|");
  Enviar("EXEC P7 @Formulario='ENCUES', @Periodo=2005, @VPeriodo=2005");
  EXPECT_EQ(Consultar("SELECT RE_Valor FROM SE_RESULTADO WHERE Id_FA = 7 ORDER BY RE_Empresa"),
            "2.5;2.5;1.875;1.6;1.25;1.25;");
  EXPECT_TRUE(SinLogs());

  // A second quartile: refused, nothing changes, the procedures made before stay.
  Enviar("DELETE SE_FORMULA WHERE Id_FormCab = 7\r\n"
         "INSERT INTO SE_FORMULA(Id_FormCab, FM_Dato, FM_Tipo, FM_FCreacion, FM_FtTipo, FM_FtDato) Values "
         "(7, 'MEDIANA(VENTAS)', 'F', GetDate(), 'Ca', 'VENTAS'), (7, ' + ', 'O', GetDate(), '', ''), "
         "(7, 'PCUARTIL(EMPLEO)', 'F', GetDate(), 'Ca', 'EMPLEO')");
  EXPECT_EQ(Correr({"formula", "generar", "7"}).Todo(),
            "1||No se generaron los procedimientos de la formula 7 (P7): Solamente puede cargar por formula "
            "uno de los cuartiles\n");
  EXPECT_EQ(Consultar("SELECT name FROM dbo.sysobjects WHERE name LIKE 'P7%' ORDER BY name"),
            "P7;P7_Emp;P7_T;P7Emp_T;");
}

// A stored sequence run as a scheduled job would run it: the formula compiled with "formula
// generar", the sequences stored as the editor stores them, no pauses.
TEST_F(FormulaGenerar, SecuenciaCorrerCorreUnaSecuenciaGuardada) {
  const auto correr = [this](const char* secuencia, const char* anio) {
    return Correr({"secuencia", "correr", "--formulario", "encues_1", "--secuencia", secuencia, "--periodo", "2005",
                   "--anio", anio, "--pausa-ms", "0"});
  };
  EXPECT_EQ(correr("Diaria", "2005").err, "No existe el formulario encues_1\n");

  CargarFixtures();
  Enviar("INSERT INTO SE_CABFORMULA(FC_Nombre, FC_NomVar, FC_Tipo) Values('Doble', 'DOBLE', 'F')\r\n"
         "INSERT INTO SE_FORMULA(Id_FormCab, FM_Dato, FM_Tipo) Values (1, 'VENTAS', 'C'), (1, ' * ', 'O'), (1, '2', 'N')");
  ASSERT_EQ(Correr({"formula", "generar", "1"}).codigo, 0);
  // Diaria runs DOBLE for the whole form; Rota first a formula that has no procedures.
  Enviar("INSERT INTO SE_CABSECUENCIA (SC_NOMBRE, SC_IDARC) VALUES('Diaria', 1), ('Rota', 1)\r\n"
         "INSERT INTO SE_SECUENCIA (S_IDSECCAB, S_ORDEN, S_CONDIC, S_IDFORMCAB1, S_TIPVAR1) "
         "VALUES(1, 1, '', 1, 'F'), (2, 1, '', 9, 'F'), (2, 2, '', 1, 'F')");

  EXPECT_EQ(correr("DIARIA", "2005").Todo(),
            "0|Se ha corrido la Secuencia Diaria del formulario ENCUES_1 para el Periodo 2005 y el Año 2005\n|"
            "Procesando ... DOBLE\nProceso Finalizado\n");
  EXPECT_EQ(Consultar("SELECT RE_Valor FROM SE_RESULTADO ORDER BY RE_Empresa"), "200;400;600;800;1000;1200;");
  EXPECT_EQ(Consultar("SELECT Contenido FROM SE_COMM_PROCESO"), "Diaria;");
  EXPECT_TRUE(SinLogs());

  EXPECT_EQ(correr("Diaria", "2003").Todo(), "1||[Consolida] El Año no pertenece al par de Años para el Periodo -> 1\n");
  EXPECT_EQ(correr("Semanal", "2005").err, "No existe la secuencia Semanal del formulario ENCUES_1\n");

  // The failing call's box, then the run goes on to its end; the log it left is reported last.
  const Salida rota = correr("Rota", "2005");
  EXPECT_EQ(rota.codigo, 1);
  EXPECT_TRUE(rota.out.empty());
  EXPECT_TRUE(rota.err.starts_with("Procesando ... \n[ERROR SECUENCIA] Error Ejecutando Secuencia -> 1\n")) << rota.err;
  EXPECT_TRUE(rota.err.ends_with("\nProceso Finalizado\n[Captura de Errores] Existen errores en el archivo de Errores\r\n"
                                 "Avisar al Personal de Sistemas para que lo revise -> 1\n"))
      << rota.err;
}

// The three reports as a scheduled job would ask for them: the workbook's path on stdout and
// the row of data where the window writes it.
TEST_F(FormulaGenerar, ReportesSinVentanaEscribenLaPlanilla) {
  const auto correr = [this](std::vector<std::string> argumentos) {
    argumentos.insert(argumentos.begin(), "reporte");
    argumentos.push_back("--pausa-ms=0");
    return Correr(argumentos);
  };
  // The workbook's fourth row, its cells joined by "|".
  const auto cuarta_fila = [](const Salida& salida) {
    const sheet::SheetGrid hoja = sheet::ReadSheet(salida.out.substr(0, salida.out.size() - 1));
    std::string fila;
    for (size_t c = 0; c < hoja.rows.at(3).size(); ++c) fila += (c ? "|" : "") + runtime::JoinText(hoja.rows[3][c]);
    return fila;
  };
  const std::vector<std::string> resultados = {"resultados", "--formulario", "ENCUES_1", "--periodo", "2005",
                                               "--titulo", "Estimacion"};
  EXPECT_EQ(correr(resultados).err, "No existe el formulario ENCUES_1\n");
  Enviar("INSERT INTO SE_ARCHIVOS (Arc_Nombre) Values('ENCUES_1')\r\n"
         "INSERT INTO SE_CABFORMULA (FC_Nombre, FC_NomVar, FC_Formula) Values('Ventas', 'VT', 'VENTAS * 2')\r\n"
         "INSERT INTO SE_FORMULA_ARCHIVO (Id_FormCab, Id_Arc) Values(1, 1)\r\n"
         "INSERT INTO SE_MUESTRA_PADRON (Unico, Razon, FormSector, Periodo, Descripcion_Estado) "
         "Values('E1', 'Uno', 'ENCUES', 2005, 'Activa')\r\n"
         "INSERT INTO SE_RESULTADO (Id_FA, RE_Empresa, RE_Periodo, RE_Valor, RE_FormSector, RE_Anio) "
         "Values(1, 'E1', 2005, 4, 'ENCUES', 2005), (1, 'E1', 2005, 2, 'ENCUES', 2004)\r\n"
         "INSERT INTO SE_CABSECUENCIA (SC_NOMBRE, SC_IDARC) Values('Diaria', 1)\r\n"
         "INSERT INTO SE_SECUENCIA (S_IDSECCAB, S_ORDEN, S_CONDIC, S_IDFORMCAB1, S_TIPVAR1) Values(1, 1, '', 1, 'F')");

  std::vector<std::string> elegidos = resultados;
  elegidos.insert(elegidos.end(), {"--anio-anterior", "--campos", "VT_1,vt"});
  const Salida elegida = correr(elegidos);
  ASSERT_EQ(elegida.codigo, 0) << elegida.err;
  EXPECT_TRUE(elegida.out.starts_with((temporal_.path() / "Reporte" / "Rep_").string())) << elegida.out;
  EXPECT_EQ(cuarta_fila(elegida), "E1|Uno|Activa|2|4");
  EXPECT_EQ(cuarta_fila(correr(resultados)), "E1|Uno|Activa|2005|4");

  struct Caso {
    std::vector<std::string> argumentos;
    std::string fila;   // the workbook's fourth row, when one is written
    std::string error;  // else the end of stderr
  } casos[] = {
      {{"formulas", "--formulario", "encues"}, "VT|VENTAS * 2|Ventas", ""},
      {{"secuencia", "--secuencia", "diaria"}, "1||VT (Ventas)||||VENTAS * 2", ""},
      {{"secuencia", "--secuencia", "Semanal"}, "", "No existe la secuencia Semanal\n"},
      {{"resultados", "--formulario", "ENCUES_1", "--periodo", "2007", "--titulo", "T"}, "",
       "No existe Datos para dicho reporte\n"},
      {{"resultados", "--formulario", "ENCUES_1", "--periodo", "2005", "--titulo", "T", "--campos", "VT,X"}, "",
       "El reporte no tiene la columna X\n"},
  };
  for (const Caso& caso : casos) {
    SCOPED_TRACE(caso.argumentos[0] + " " + caso.argumentos[2]);
    const Salida salida = correr(caso.argumentos);
    EXPECT_EQ(salida.codigo, caso.fila.empty() ? 1 : 0) << salida.err;
    EXPECT_EQ(caso.fila.empty() ? salida.err.substr(salida.err.size() - std::min(salida.err.size(), caso.error.size()))
                                : cuarta_fila(salida),
              caso.fila.empty() ? caso.error : caso.fila);
  }
}

}  // namespace
