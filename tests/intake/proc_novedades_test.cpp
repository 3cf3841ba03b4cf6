// The survey import end to end: files written into Datos, Proc_Novedades run on the scripted Ui
// against the embedded database, then the catalogue, the values, the journal, the log, the
// messages and the folders checked.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "intake/proc_novedades.h"
#include "tests/intake/tablas_de_prueba.h"
#include "tests/support/carpeta_aplicacion.h"
#include "tests/intake/sentencias_enviadas.h"

namespace intake_test {

using namespace test_support;
namespace {

constexpr char kNovedades[] =
    "Select Empresa, Periodo, Campo, Tipo, ValorStr, ValorInt, ValorDbl From SE_NOVEDAD "
    "Order By Empresa, Campo";

// A clock that moves `paso` further each time it is read.
struct RelojFalso {
  std::chrono::milliseconds paso;
  std::chrono::steady_clock::time_point ahora{};
  std::chrono::steady_clock::time_point operator()() { return ahora += paso; }
};

class ProcNovedadesTest : public VentanaPrueba {
 protected:
  // Runs the import for `periodo` the way the user does: type the year, press "Proceso".
  void Importar(const std::string& periodo,
                std::chrono::milliseconds paso_reloj = std::chrono::milliseconds(0)) {
    form_ = std::make_unique<intake::Proc_Novedades>(App());
    form_->UsarReloj(RelojFalso{paso_reloj});
    Ui().Show(*form_);
    form_->TxtPeriodo.UserEdit(periodo);
    form_->Proceso.UserClick();
  }

  std::unique_ptr<intake::Proc_Novedades> form_;
};

TEST_F(ProcNovedadesTest, ImportaCadaValorCatalogaElArchivoYLoMueve) {
  EscribirDbf("ENCUES_1.dbf", Encuesta());
  Importar("2005");

  EXPECT_EQ(Filas("Select Arc_Id, Arc_Nombre, Arc_Fecha From SE_ARCHIVOS"),
            (std::vector<std::string>{"1|ENCUES_1|05/12/2026"}));
  EXPECT_EQ(Filas("Select Est_IdArchivo, Est_Campo, Est_Tipo, Est_Tamanio, Est_Precision, "
                  "Est_Escala, Est_Fecha, Est_Descripcion From SE_ESTRUCTURAS Order By Est_Id"),
            (std::vector<std::string>{
                "1|UNICO|Char|11|255|255|05/12/2026|NULL",
                "1|P001|Numeric|19|10|2|05/12/2026|NULL",
                "1|P002|Integer|4|10|255|05/12/2026|NULL",
                "1|NOMBRE|Char|20|255|255|05/12/2026|NULL",
                "1|FECHA|DateTime|6|10|255|05/12/2026|NULL",
            }));
  // The apostrophe is kept; an empty text is the word Null; a blank number is 0.
  EXPECT_EQ(Filas(kNovedades), (std::vector<std::string>{
                                   "30500000001|2005|FECHA|Dte|Null|0|0",
                                   "30500000001|2005|NOMBRE|Str|O'Brien|0|0",
                                   "30500000001|2005|P001|Dbl|Null|0|1234.5",
                                   "30500000001|2005|P002|Int|Null|12|0",
                                   "30500000002|2005|FECHA|Dte|Null|0|0",
                                   "30500000002|2005|NOMBRE|Str|Null|0|0",
                                   "30500000002|2005|P001|Dbl|Null|0|0",
                                   "30500000002|2005|P002|Int|Null|-7|0",
                               }));
  EXPECT_EQ(Filas("Select ValorDte From SE_NOVEDAD Where Empresa = '30500000001' And "
                  "Campo = 'FECHA'"),
            (std::vector<std::string>{"31/01/2024"}));
  EXPECT_EQ(Filas("Select Distinct Arc_Id, FormSector, Capitulo From SE_NOVEDAD"),
            (std::vector<std::string>{"1|ENCUES|1"}));
  EXPECT_EQ(Filas("Select Id_FC, Formulario, Capitulo, Periodo, Tipo, Contenido From "
                  "SE_COMM_PROCESO"),
            (std::vector<std::string>{"1|ENCUES|1|2005|Novedad|"}));

  EXPECT_EQ(Carpeta("Datos"), std::vector<std::string>{});
  EXPECT_EQ(Carpeta("Procesados"), (std::vector<std::string>{"ENCUES_1_05122026112041.dbf"}));
  EXPECT_EQ(form_->lblProceso.Caption(), "Finalizado");
  EXPECT_EQ(form_->lblArchivo_1.Caption(), "ENCUES_1");
  EXPECT_EQ(Ui().Prompts(), std::vector<std::string>{});
  EXPECT_EQ(EntradasLog(), std::vector<std::string>{});
}

TEST_F(ProcNovedadesTest, UnPeriodoIncorrectoNoHaceNada) {
  EscribirDbf("ENCUES_1.dbf", Encuesta());
  Importar("1989");
  EXPECT_EQ(Ui().Prompts(), std::vector<std::string>{"Incorrecto el Periodo"});
  EXPECT_EQ(form_->ActiveControl(), &form_->TxtPeriodo);
  EXPECT_EQ(Filas("Select Count(*) From SE_ARCHIVOS"), std::vector<std::string>{"0"});
  EXPECT_EQ(Carpeta("Datos"), std::vector<std::string>{"ENCUES_1.dbf"});
}

// Files that cannot be imported are refused whole: nothing of them is written, one log entry
// says why, one message tells the user, and the good files of the same run still go in.
TEST_F(ProcNovedadesTest, UnArchivoQueNoSePuedeImportarNoDejaNadaAMedias) {
  struct Caso {
    const char* nombre;
    std::function<void(const fs::path&)> escribir;
    const char* mensaje;
    const char* entrada;   // the log entry, or how it starts
    const char* destino;   // where the file ends: "NoProcesados" or "Datos"
  };
  const Caso casos[] = {
      {"SINUNI_1.dbf",
       [](const fs::path& ruta) {
         DbfTable tabla;
         tabla.fields = {{"EMPRESA", 'C', 11}, {"P001", 'N', 10, 2}};
         tabla.records = {{{"30500000001", "1"}}};
         test_support::WriteDbf(ruta.string(), tabla);
       },
       "El archivo SINUNI_1.dbf no tiene la columna unico. Se movio a la carpeta NoProcesados",
       "Proc_Novedades\r\n(3265) El archivo SINUNI_1.dbf no tiene la columna unico\r\n"
       "Verificando columnas de SINUNI_1.dbf",
       "NoProcesados"},
      {"CORTAD_1.dbf",
       [](const fs::path& ruta) {
         std::string bytes = test_support::DbfBytes(Encuesta());
         std::ofstream(ruta, std::ios::binary) << bytes.substr(0, bytes.size() - 40);
       },
       "No se pudo leer el archivo CORTAD_1.dbf. Se movio a la carpeta NoProcesados",
       "Microsoft OLE DB Provider for ODBC Drivers", "NoProcesados"},
      {"Padron.dbf",
       [](const fs::path& ruta) { test_support::WriteDbf(ruta.string(), Encuesta()); },
       "El archivo Padron.dbf no lleva el capitulo en el octavo caracter del nombre. No se "
       "proceso",
       "Proc_Novedades\r\n(5) El archivo Padron.dbf no lleva el capitulo en el octavo caracter "
       "del nombre\r\nVerificando el nombre de Padron.dbf",
       "Datos"},
  };
  for (const Caso& caso : casos) {
    SCOPED_TRACE(caso.nombre);
    TearDown();
    SetUp();
    caso.escribir(carpeta_ / "Datos" / caso.nombre);
    EscribirDbf("ZBUENO_1.dbf", Encuesta());  // listed after the bad one
    Importar("2005");

    EXPECT_EQ(Ui().Prompts(), std::vector<std::string>{caso.mensaje});
    const std::vector<std::string> log = EntradasLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].rfind(caso.entrada, 0), 0u) << log[0];
    EXPECT_TRUE(FormaDeEntrada(log[0])) << log[0];
    EXPECT_EQ(Filas("Select Distinct FormSector From SE_NOVEDAD"),
              std::vector<std::string>{"ZBUENO"});
    EXPECT_EQ(Filas("Select Arc_Nombre From SE_ARCHIVOS"), std::vector<std::string>{"ZBUENO_1"});
    EXPECT_EQ(Filas("Select Formulario From SE_COMM_PROCESO"),
              std::vector<std::string>{"ZBUENO"});
    const std::vector<std::string> en_destino = Carpeta(caso.destino);
    EXPECT_EQ(std::count_if(en_destino.begin(), en_destino.end(),
                            [&](const std::string& n) {
                              return n.rfind(std::string(caso.nombre).substr(0, 6), 0) == 0;
                            }),
              1);
    EXPECT_EQ(form_->lblProceso.Caption(), "Finalizado");
  }
}

// What the import writes for the column kinds the survey table does not have. A logical column
// has a type the catalogue does not know: empty name, empty tag, no value column filled.
// ValorInt is a 32-bit column: a whole number beyond 16 bits is stored like any other. The table's
// code-page mark is one no table lists: its text is read as UTF-8 and that is logged once.
TEST_F(ProcNovedadesTest, ColumnasLogicasEnterosGrandesYMarcaDeCodigosDesconocida) {
  DbfTable tabla;
  tabla.flavor = DbfFlavor::kVisualFoxPro;
  tabla.code_page = 0xF0;  // written by a tool that stores UTF-8 text
  tabla.fields = {{"UNICO", 'C', 11}, {"TEXTO", 'C', 8}, {"CONTADOR", 'I'}, {"MARCA", 'L'}};
  tabla.records = {{{"30500000001", "Peña", "-2147483648", "T"}},
                   {{"30500000002", "", "2147483647", ""}}};
  EscribirDbf("ENCUES_1.dbf", tabla);
  Importar("2005");

  EXPECT_EQ(Filas("Select Est_Campo, Est_Tipo From SE_ESTRUCTURAS Order By Est_Id"),
            (std::vector<std::string>{"UNICO|Char", "TEXTO|Char", "CONTADOR|Integer", "MARCA|"}));
  EXPECT_EQ(Filas("Select Empresa, Campo, Tipo, ValorStr, ValorInt, ValorDbl, ValorDte From "
                  "SE_NOVEDAD Order By IdNovedad"),
            (std::vector<std::string>{
                "30500000001|TEXTO|Str|Peña|0|0|01/01/1900",
                "30500000001|CONTADOR|Int|Null|-2147483648|0|01/01/1900",
                "30500000001|MARCA||Null|0|0|01/01/1900",
                "30500000002|TEXTO|Str|Null|0|0|01/01/1900",
                "30500000002|CONTADOR|Int|Null|2147483647|0|01/01/1900",
                "30500000002|MARCA||Null|0|0|01/01/1900",
            }));
  EXPECT_EQ(EntradasLog(),
            std::vector<std::string>{
                "Microsoft OLE DB Provider for ODBC Drivers\r\n(0) [Consolida][DBF] " +
                (carpeta_ / "Datos" / "ENCUES_1.dbf").string() +
                ": la marca de página de códigos 0xF0 no figura en ninguna tabla; el texto se "
                "leyó como UTF-8\r\nAbriendo ENCUES_1.dbf"});
  EXPECT_EQ(form_->lblProceso.Caption(), "Finalizado");
}

// The file name is looked up literally: "_" and "%" in it are no wildcards, so a file is never
// taken for another catalogued one, while the case of the letters still does not count.
TEST_F(ProcNovedadesTest, ElArchivoSeBuscaPorSuNombreLiteral) {
  const struct {
    const char* catalogado;
    const char* archivo;
    std::vector<std::string> archivos;  // SE_ARCHIVOS afterwards
    const char* arc_id;                 // under which the values are stored
  } casos[] = {
      {"ENCUES11", "ENCUES_1.dbf", {"1|ENCUES11", "2|ENCUES_1"}, "2"},
      {"ENCUESXY1", "ENCUES%1.dbf", {"1|ENCUESXY1", "2|ENCUES%1"}, "2"},
      {"ENCUES_1", "ENCUES_1.dbf", {"1|ENCUES_1"}, "1"},
      {"encues_1", "ENCUES_1.dbf", {"1|encues_1"}, "1"},
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.archivo);
    TearDown();
    SetUp();
    App().CnSql.Execute(std::string("INSERT INTO se_archivos (Arc_Nombre, Arc_Fecha) VALUES('") +
                        caso.catalogado + "','01/01/2005')");
    EscribirDbf(caso.archivo, Encuesta());
    Importar("2005");

    EXPECT_EQ(Filas("Select Arc_Id, Arc_Nombre From SE_ARCHIVOS Order By Arc_Id"), caso.archivos);
    EXPECT_EQ(Filas("Select Distinct Arc_Id From SE_NOVEDAD"),
              std::vector<std::string>{caso.arc_id});
    EXPECT_EQ(Filas("Select Id_FC From SE_COMM_PROCESO"), std::vector<std::string>{caso.arc_id});
    EXPECT_EQ(Ui().Prompts(), std::vector<std::string>{});
  }
}

// The company code is the column named "unico", wherever it stands and however it is written;
// every other column is a value.
TEST_F(ProcNovedadesTest, LaColumnaUnicoSeReconocePorSuNombre) {
  DbfTable tabla;
  tabla.fields = {{"P001", 'N', 10, 2}, {"Unico", 'C', 11}, {"NOMBRE", 'C', 20}};
  tabla.records = {{{"1.5", "30500000001", "Acme"}}};
  EscribirDbf("ENCUES_1.dbf", tabla);
  Importar("2005");

  EXPECT_EQ(Filas("Select Empresa, Campo, ValorStr, ValorDbl From SE_NOVEDAD Order By Campo"),
            (std::vector<std::string>{"30500000001|NOMBRE|Acme|0", "30500000001|P001|Null|1.5"}));
  EXPECT_EQ(EntradasLog(), std::vector<std::string>{});
}

// What the import sends, letter for letter: the file's lookup and registration, its columns,
// one transaction per value, the journal row; on a second run the values are updated.
TEST_F(ProcNovedadesTest, SentenciasQueEnvia) {
  SentenciasEnviadas enviadas;
  AbrirAplicacion();
  DbfTable tabla;
  tabla.fields = {{"UNICO", 'C', 11}, {"P001", 'N', 10, 2}, {"NOMBRE", 'C', 20}};
  tabla.records = {{{"30500000001", "12.5", "Acme"}}};
  EscribirDbf("ENCUES_1.dbf", tabla);
  Importar("2005");

  const std::string busqueda = "SELECT * FROM se_archivos WHERE Arc_Nombre LIKE 'ENCUES[_]1'";
  auto columna = [](const std::string& nombre, const std::string& resto) {
    return std::vector<std::string>{
        "BeginTrans",
        "Select * From se_Estructuras where Est_IdArchivo = 1 and Est_Campo = '" + nombre + "'",
        "INSERT INTO SE_ESTRUCTURAS (Est_IdArchivo, Est_Campo, Est_Tipo, Est_Tamanio, "
        "Est_Precision, Est_Escala, Est_Fecha) Values(1,'" + nombre + "'," + resto +
            ",'05/12/2026')",
        "CommitTrans"};
  };
  auto valor = [](const std::string& campo, const std::string& valores) {
    return std::vector<std::string>{
        "BeginTrans",
        "Select IdNovedad From se_novedad Where Empresa = '30500000001' And Periodo = 2005 And "
        "Campo = '" + campo + "'",
        "INSERT INTO SE_NOVEDAD (Arc_Id, FormSector, Capitulo, Empresa, Periodo, Campo, Tipo, "
        "ValorStr, ValorInt, ValorDbl, ValorDte) Values(1,'ENCUES', 1, '30500000001', 2005, '" +
            campo + "', " + valores + ", '')",
        "CommitTrans"};
  };
  std::vector<std::string> esperadas = {
      busqueda, "INSERT INTO se_archivos (Arc_Nombre, Arc_Fecha) VALUES('ENCUES_1','05/12/2026')",
      busqueda};
  for (const auto& parte :
       {columna("UNICO", "'Char',11,255,255"), columna("P001", "'Numeric',19,10,2"),
        columna("NOMBRE", "'Char',20,255,255"), valor("P001", "'Dbl', 'Null', 0, 12.5"),
        valor("NOMBRE", "'Str', 'Acme', 0, 0")}) {
    esperadas.insert(esperadas.end(), parte.begin(), parte.end());
  }
  esperadas.insert(esperadas.end(),
                   {"BeginTrans",
                    "Insert into SE_COMM_PROCESO (Id_FC, Formulario, Capitulo, Periodo, Fecha, "
                    "Tipo, Contenido) Values(1, 'ENCUES', 1, 2005, getdate(), 'Novedad', '')",
                    "CommitTrans"});
  EXPECT_EQ(enviadas.Todas(), esperadas);

  // The same file again with new values and one column more: the catalogue gets the new column
  // only, the stored values get their numbers overwritten (their text and date stay), the new
  // value is inserted.
  Ui().Sleep(1000);  // the moved copy of the second file gets its own time stamp
  tabla.fields.push_back({"P003", 'N', 5});
  tabla.records = {{{"30500000001", "7", "Otra", "5"}}};
  EscribirDbf("ENCUES_1.dbf", tabla);
  enviadas.Olvidar();
  Importar("2005");
  std::vector<std::string> escrituras;
  for (const std::string& texto : enviadas.Todas()) {
    const std::string inicio = texto.substr(0, 6);
    if (inicio == "UPDATE" || inicio == "INSERT" || inicio == "Insert") escrituras.push_back(texto);
  }
  EXPECT_EQ(escrituras,
            (std::vector<std::string>{
                columna("P003", "'Numeric',19,5,0")[2],
                "UPDATE SE_NOVEDAD Set ValorInt  = 0, ValorDbl = 7 Where IdNovedad = 1",
                "UPDATE SE_NOVEDAD Set ValorInt  = 0, ValorDbl = 0 Where IdNovedad = 2",
                valor("P003", "'Dbl', 'Null', 0, 5")[2], esperadas[esperadas.size() - 2]}));
  EXPECT_EQ(Carpeta("Procesados").size(), 2u);
  EXPECT_EQ(EntradasLog(), std::vector<std::string>{});
}

// A run cut off in the middle (the process dies: nothing is handled) leaves the file in Datos;
// the next run completes it, and the result is what one clean run gives.
TEST_F(ProcNovedadesTest, TrasUnaCaidaLaSegundaCorridaTerminaConLasMismasFilas) {
  struct Caida {};
  DbfTable tabla = Encuesta();
  for (int i = 4; i <= 12; ++i) {
    tabla.records.push_back({{"305000000" + std::to_string(10 + i), std::to_string(i * 1.5),
                              std::to_string(i), "Empresa " + std::to_string(i), "20240101"}});
  }
  EscribirDbf("ENCUES_1.dbf", tabla);

  int pintadas = 0;
  Ui().SetDoEventsHook([&] {
    if (++pintadas == 20) throw Caida{};
  });
  EXPECT_THROW(Importar("2005", std::chrono::milliseconds(100)), Caida);
  EXPECT_EQ(Carpeta("Datos"), std::vector<std::string>{"ENCUES_1.dbf"});
  const std::vector<std::string> parciales = Filas(kNovedades);
  EXPECT_GT(parciales.size(), 0u);

  form_.reset();
  AbrirAplicacion();
  Importar("2005");
  const std::vector<std::string> recuperadas = Filas(kNovedades);
  EXPECT_EQ(Carpeta("Datos"), std::vector<std::string>{});
  EXPECT_EQ(Filas("Select Count(*) From SE_ARCHIVOS"), std::vector<std::string>{"1"});
  EXPECT_EQ(Filas("Select Count(*) From SE_ESTRUCTURAS"), std::vector<std::string>{"5"});

  form_.reset();
  TearDown();
  SetUp();
  EscribirDbf("ENCUES_1.dbf", tabla);
  Importar("2005");
  const std::vector<std::string> limpias = Filas(kNovedades);
  EXPECT_EQ(limpias.size(), 11u * 4u);
  EXPECT_LT(parciales.size(), limpias.size());
  EXPECT_EQ(recuperadas, limpias);
}

// The labels are set for every value but painted at most every 100 ms, and what is painted is
// the value in hand.
TEST_F(ProcNovedadesTest, LasEtiquetasSePintanComoMuchoCadaCienMilisegundos) {
  DbfTable tabla = Encuesta();
  tabla.records.resize(2);
  EscribirDbf("ENCUES_1.dbf", tabla);
  const struct {
    int paso_ms;
    int pintadas;  // 8 values, plus the final paint
  } casos[] = {{0, 1 + 1}, {30, 2 + 1}, {100, 8 + 1}};
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.paso_ms);
    TearDown();
    SetUp();
    EscribirDbf("ENCUES_1.dbf", tabla);
    std::vector<std::string> vistas;
    Ui().SetDoEventsHook([&] {
      vistas.push_back(form_->lblEmpresa_1.Caption() + "/" + form_->LblCampo_1.Caption());
    });
    Importar("2005", std::chrono::milliseconds(caso.paso_ms));
    EXPECT_EQ(static_cast<int>(vistas.size()), caso.pintadas);
    ASSERT_FALSE(vistas.empty());
    EXPECT_EQ(vistas.front(), "30500000001/P001");
  }
}

}  // namespace
}  // namespace intake_test
