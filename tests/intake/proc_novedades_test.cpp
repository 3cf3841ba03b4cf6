// The survey import end to end: files written into Datos, Proc_Novedades run on the scripted Ui
// against the embedded database; statements sent, rows, log, messages and folders checked.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "intake/proc_novedades.h"
#include "tests/intake/sentencias_enviadas.h"
#include "tests/intake/tablas_de_prueba.h"
#include "tests/support/carpeta_aplicacion.h"

namespace intake_test {

using namespace test_support;
namespace {

using Textos = std::vector<std::string>;
using std::chrono::milliseconds;

constexpr char kNovedades[] =
    "Select Empresa, Campo, Tipo, ValorStr, ValorInt, ValorDbl, ValorDte From SE_NOVEDAD Order By Empresa, Campo";

// A clock that moves `paso` further each time it is read.
struct RelojFalso {
  milliseconds paso;
  std::chrono::steady_clock::time_point ahora{};
  std::chrono::steady_clock::time_point operator()() { return ahora += paso; }
};

class ProcNovedadesTest : public VentanaPrueba {
 protected:
  // Runs the import for `periodo` the way the user does: type the year, press "Proceso".
  void Importar(const std::string& periodo, milliseconds paso_reloj = milliseconds(0)) {
    form_ = std::make_unique<intake::Proc_Novedades>(App());
    form_->UsarReloj(RelojFalso{paso_reloj});
    Ui().Show(*form_);
    form_->TxtPeriodo.UserEdit(periodo);
    form_->Proceso.UserClick();
  }
  void DeNuevo() {
    form_.reset();
    TearDown();
    SetUp();
  }

  std::unique_ptr<intake::Proc_Novedades> form_;
};

// What the import sends, letter for letter: the file's lookup and registration, its columns
// (a logical one has a type the catalogue does not know), one transaction per value of each live
// record (a blank text is the word Null, a blank number 0), the journal row. On a second run the
// catalogue gets the new column only and the stored values get their numbers overwritten.
TEST_F(ProcNovedadesTest, SentenciasQueEnviaYFilasQueQuedan) {
  SentenciasEnviadas enviadas;
  AbrirAplicacion();
  EscribirDbf("ENCUES_1.dbf", Encuesta());
  Importar("2005");

  auto columna = [](const std::string& nombre, const std::string& resto) {
    return Textos{"BeginTrans", "Select * From se_Estructuras where Est_IdArchivo = 1 and Est_Campo = '" + nombre + "'",
                  "INSERT INTO SE_ESTRUCTURAS (Est_IdArchivo, Est_Campo, Est_Tipo, Est_Tamanio, Est_Precision, "
                  "Est_Escala, Est_Fecha) Values(1,'" + nombre + "'," + resto + ",'05/12/2026')",
                  "CommitTrans"};
  };
  auto valor = [](const std::string& empresa, const std::string& campo, const std::string& valores) {
    return Textos{"BeginTrans",
                  "Select IdNovedad From se_novedad Where Empresa = '" + empresa + "' And Periodo = 2005 And Campo = '" +
                      campo + "'",
                  "INSERT INTO SE_NOVEDAD (Arc_Id, FormSector, Capitulo, Empresa, Periodo, Campo, Tipo, ValorStr, "
                  "ValorInt, ValorDbl, ValorDte) Values(1,'ENCUES', 1, '" + empresa + "', 2005, '" + campo + "', " +
                      valores + ")",
                  "CommitTrans"};
  };
  const std::string busqueda = "SELECT * FROM se_archivos WHERE Arc_Nombre LIKE 'ENCUES[_]1'";
  const std::string diario = "Insert into SE_COMM_PROCESO (Id_FC, Formulario, Capitulo, Periodo, Fecha, Tipo, "
                             "Contenido) Values(1, 'ENCUES', 1, 2005, getdate(), 'Novedad', '')";
  Textos esperadas = {busqueda, "INSERT INTO se_archivos (Arc_Nombre, Arc_Fecha) VALUES('ENCUES_1','05/12/2026')",
                      busqueda};
  const std::string a = "30500000001", b = "30500000002";
  for (const Textos& parte :
       {columna("P001", "'Numeric',19,10,2"), columna("Unico", "'Char',11,255,255"),
        columna("P002", "'Integer',4,10,255"), columna("NOMBRE", "'Char',20,255,255"),
        columna("FECHA", "'DateTime',6,10,255"), columna("MARCA", "'',2,255,255"),
        valor(a, "P001", "'Dbl', 'Null', 0, 1234.5, ''"), valor(a, "P002", "'Int', 'Null', 2147483647, 0, ''"),
        valor(a, "NOMBRE", "'Str', 'O''Brien', 0, 0, ''"), valor(a, "FECHA", "'Dte', 'Null', 0, 0, '31/01/2024'"),
        valor(a, "MARCA", "'', 'Null', 0, 0, ''"), valor(b, "P001", "'Dbl', 'Null', 0, 0, ''"),
        valor(b, "P002", "'Int', 'Null', -2147483648, 0, ''"), valor(b, "NOMBRE", "'Str', 'Null', 0, 0, ''"),
        valor(b, "FECHA", "'Dte', 'Null', 0, 0, ''"), valor(b, "MARCA", "'', 'Null', 0, 0, ''"),
        Textos{"BeginTrans", diario, "CommitTrans"}}) {
    esperadas.insert(esperadas.end(), parte.begin(), parte.end());
  }
  EXPECT_EQ(enviadas.Todas(), esperadas);
  EXPECT_EQ(Carpeta("Procesados"), Textos{"ENCUES_1_05122026112041.dbf"});
  EXPECT_EQ(form_->lblProceso.Caption() + " " + form_->lblArchivo_1.Caption(), "Finalizado ENCUES_1");

  // The same file again, one company, a new value and one column more.
  Ui().Sleep(1000);  // the moved copy of the second file gets its own time stamp
  DbfTable tabla = Encuesta();
  tabla.records.resize(1);
  tabla.records[0].values[0] = "7";
  tabla.fields.push_back({"P003", 'N', 5});
  tabla.records[0].values.push_back("5");
  tabla.code_page = 0xF0;  // a mark no code page has: read as UTF-8, and the log says so
  EscribirDbf("ENCUES_1.dbf", tabla);
  enviadas.Olvidar();
  Importar("2005");
  Textos escrituras;
  for (const std::string& texto : enviadas.Todas()) {
    if (texto.starts_with("UPDATE") || texto.starts_with("INSERT") || texto.starts_with("Insert")) {
      escrituras.push_back(texto);
    }
  }
  auto actualiza = [](int id, const std::string& entero, const std::string& doble) {
    return "UPDATE SE_NOVEDAD Set ValorInt  = " + entero + ", ValorDbl = " + doble +
           " Where IdNovedad = " + std::to_string(id);
  };
  EXPECT_EQ(escrituras, (Textos{columna("P003", "'Numeric',19,5,0")[2], actualiza(1, "0", "7"),
                                actualiza(2, "2147483647", "0"), actualiza(3, "0", "0"), actualiza(4, "0", "0"),
                                actualiza(5, "0", "0"), valor(a, "P003", "'Dbl', 'Null', 0, 5, ''")[2], diario}));
  EXPECT_EQ(Filas("Select Empresa, Campo, Tipo, ValorStr, ValorInt, ValorDbl, ValorDte From SE_NOVEDAD Where "
                  "Empresa = '30500000001' Order By Campo"),
            (Textos{"30500000001|FECHA|Dte|Null|0|0|31/01/2024", "30500000001|MARCA||Null|0|0|01/01/1900",
                    "30500000001|NOMBRE|Str|O'Brien|0|0|01/01/1900", "30500000001|P001|Dbl|Null|0|7|01/01/1900",
                    "30500000001|P002|Int|Null|2147483647|0|01/01/1900", "30500000001|P003|Dbl|Null|0|5|01/01/1900"}));
  EXPECT_EQ(Carpeta("Procesados").size(), 2u);
  EXPECT_EQ(Ui().Prompts(), Textos{});
  EXPECT_EQ(EntradasLog(), Textos{"Microsoft OLE DB Provider for ODBC Drivers\r\n(0) [Consolida][DBF] " +
                                  (carpeta_ / "Datos" / "ENCUES_1.dbf").string() +
                                  ": la marca de página de códigos 0xF0 no figura en ninguna tabla; el texto se "
                                  "leyó como UTF-8\r\nAbriendo ENCUES_1.dbf"});
}

TEST_F(ProcNovedadesTest, UnPeriodoIncorrectoNoHaceNada) {
  EscribirDbf("ENCUES_1.dbf", Encuesta());
  Importar("1989");
  EXPECT_EQ(Ui().Prompts(), Textos{"Incorrecto el Periodo"});
  EXPECT_EQ(form_->ActiveControl(), &form_->TxtPeriodo);
  EXPECT_EQ(Filas("Select Count(*) From SE_ARCHIVOS"), Textos{"0"});
  EXPECT_EQ(Carpeta("Datos"), Textos{"ENCUES_1.dbf"});
}

// Files that cannot be imported are refused whole: nothing of them is written, one log entry
// says why, one message tells the user, and the good files of the same run still go in.
TEST_F(ProcNovedadesTest, UnArchivoQueNoSePuedeImportarNoDejaNadaAMedias) {
  DbfTable sin_unico;
  sin_unico.fields = {{"EMPRESA", 'C', 11}};
  sin_unico.records = {{{"30500000001"}}};
  const std::string entera = DbfBytes(Encuesta());
  const struct {
    const char* nombre;
    std::string bytes;
    const char* mensaje;
    const char* entrada;  // the log entry, or how it starts
    const char* destino;  // where the file ends, and under which name
    const char* queda;
  } casos[] = {
      {"SINUNI_1.dbf", DbfBytes(sin_unico),
       "El archivo SINUNI_1.dbf no tiene la columna unico. Se movio a la carpeta NoProcesados",
       "Proc_Novedades\r\n(3265) El archivo SINUNI_1.dbf no tiene la columna unico\r\n"
       "Verificando columnas de SINUNI_1.dbf",
       "NoProcesados", "SINUNI_1_05122026112041.dbf"},
      {"CORTAD_1.dbf", entera.substr(0, entera.size() - 40),
       "No se pudo leer el archivo CORTAD_1.dbf. Se movio a la carpeta NoProcesados",
       "Microsoft OLE DB Provider for ODBC Drivers", "NoProcesados", "CORTAD_1_05122026112041.dbf"},
      {"Padron.dbf", entera,
       "El archivo Padron.dbf no lleva el capitulo en el octavo caracter del nombre. No se proceso",
       "Proc_Novedades\r\n(5) El archivo Padron.dbf no lleva el capitulo en el octavo caracter del nombre\r\n"
       "Verificando el nombre de Padron.dbf",
       "Datos", "Padron.dbf"},
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.nombre);
    DeNuevo();
    EscribirArchivo(carpeta_ / "Datos" / caso.nombre, caso.bytes);
    EscribirDbf("ZBUENO_1.dbf", Encuesta());  // listed after the bad one
    Importar("2005");

    EXPECT_EQ(Ui().Prompts(), Textos{caso.mensaje});
    const Textos log = EntradasLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_TRUE(log[0].starts_with(caso.entrada)) << log[0];
    EXPECT_TRUE(FormaDeEntrada(log[0])) << log[0];
    EXPECT_EQ(Filas("Select Distinct FormSector From SE_NOVEDAD Union All Select Arc_Nombre From SE_ARCHIVOS "
                    "Union All Select Formulario From SE_COMM_PROCESO"),
              (Textos{"ZBUENO", "ZBUENO_1", "ZBUENO"}));
    EXPECT_EQ(Carpeta(caso.destino), Textos{caso.queda});
    EXPECT_EQ(form_->lblProceso.Caption(), "Finalizado");
  }
}

// The file name is looked up literally: "_" and "%" in it are no wildcards, so a file is never
// taken for another catalogued one, while the case of the letters still does not count.
TEST_F(ProcNovedadesTest, ElArchivoSeBuscaPorSuNombreLiteral) {
  const struct {
    const char* catalogado;
    const char* archivo;
    Textos archivos;     // SE_ARCHIVOS afterwards
    const char* arc_id;  // under which the values and the journal row are stored
  } casos[] = {
      {"ENCUES11", "ENCUES_1.dbf", {"1|ENCUES11", "2|ENCUES_1"}, "2"},
      {"ENCUESXY1", "ENCUES%1.dbf", {"1|ENCUESXY1", "2|ENCUES%1"}, "2"},
      {"ENCUES_1", "ENCUES_1.dbf", {"1|ENCUES_1"}, "1"},
      {"encues_1", "ENCUES_1.dbf", {"1|encues_1"}, "1"},
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.archivo);
    DeNuevo();
    App().CnSql.Execute(std::string("INSERT INTO se_archivos (Arc_Nombre, Arc_Fecha) VALUES('") + caso.catalogado +
                        "','01/01/2005')");
    EscribirDbf(caso.archivo, Encuesta());
    Importar("2005");
    EXPECT_EQ(Filas("Select Arc_Id, Arc_Nombre From SE_ARCHIVOS Order By Arc_Id"), caso.archivos);
    EXPECT_EQ(Filas("Select Distinct Arc_Id From SE_NOVEDAD Union All Select Id_FC From SE_COMM_PROCESO"),
              (Textos{caso.arc_id, caso.arc_id}));
    EXPECT_EQ(Ui().Prompts(), Textos{});
  }
}

// A run cut off in the middle (the process dies: nothing is handled) leaves the file in Datos;
// the next run completes it, and the result is what one clean run gives.
TEST_F(ProcNovedadesTest, TrasUnaCaidaLaSegundaCorridaTerminaConLasMismasFilas) {
  struct Caida {};
  DbfTable tabla = Encuesta();
  for (int i = 4; i <= 12; ++i) {
    tabla.records.push_back({{std::to_string(i * 1.5), "305000000" + std::to_string(10 + i), std::to_string(i),
                              "Empresa " + std::to_string(i), "20240101", "F"}});
  }
  EscribirDbf("ENCUES_1.dbf", tabla);
  int pintadas = 0;
  Ui().SetDoEventsHook([&] {
    if (++pintadas == 20) throw Caida{};
  });
  EXPECT_THROW(Importar("2005", milliseconds(100)), Caida);
  EXPECT_EQ(Carpeta("Datos"), Textos{"ENCUES_1.dbf"});
  const size_t parciales = Filas(kNovedades).size();

  form_.reset();
  AbrirAplicacion();
  Importar("2005");
  const Textos recuperadas = Filas(kNovedades);
  EXPECT_EQ(Carpeta("Datos"), Textos{});
  EXPECT_EQ(Filas("Select Count(*) From SE_ARCHIVOS Union All Select Count(*) From SE_ESTRUCTURAS"),
            (Textos{"1", "6"}));

  DeNuevo();
  EscribirDbf("ENCUES_1.dbf", tabla);
  Importar("2005");
  const Textos limpias = Filas(kNovedades);
  EXPECT_EQ(limpias.size(), 11u * 5u);
  EXPECT_GT(parciales, 0u);
  EXPECT_LT(parciales, limpias.size());
  EXPECT_EQ(recuperadas, limpias);
}

// The labels are set for every value but painted at most every 100 ms, and what is painted is
// the value in hand.
TEST_F(ProcNovedadesTest, LasEtiquetasSePintanComoMuchoCadaCienMilisegundos) {
  // Of 10 values (the clock read once each), plus the final paint.
  for (const auto& [paso_ms, pintadas] : {std::pair{0, 1 + 1}, {30, 3 + 1}, {100, 10 + 1}}) {
    SCOPED_TRACE(paso_ms);
    DeNuevo();
    EscribirDbf("ENCUES_1.dbf", Encuesta());
    Textos vistas;
    Ui().SetDoEventsHook([&] { vistas.push_back(form_->lblEmpresa_1.Caption() + "/" + form_->LblCampo_1.Caption()); });
    Importar("2005", milliseconds(paso_ms));
    ASSERT_EQ(static_cast<int>(vistas.size()), pintadas);
    EXPECT_EQ(vistas.front(), "30500000001/P001");
  }
}

}  // namespace
}  // namespace intake_test
