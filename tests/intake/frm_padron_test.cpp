// The company roll import end to end: Padron.dbf written into Datos, FrmPadron run on the
// scripted Ui against the embedded database; rows of both years, journal, log, messages, folders.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "intake/frm_padron.h"
#include "tests/intake/tablas_de_prueba.h"
#include "tests/support/carpeta_aplicacion.h"
#include "tests/intake/sentencias_enviadas.h"

namespace intake_test {

using namespace test_support;
namespace {

// Every column of the rows of company 30500000004.
constexpr char kPadron[] =
    "Select Unico, Periodo, CUIT, Razon, FormSector, Domi, Muestra, auto, wf, Novedad, Novedad_1, "
    "Estado, Estado_1, Descripcion_Estado, Descripcion_Estado_1, Caja, Caja_1, NumFor, NumFor_1, "
    "fecha_ac, Comple, Com_desc, Observaciones, Observaciones_1, Corte, Corte_Fecha "
    "From SE_MUESTRA_PADRON Where Unico = '30500000004' Order By Periodo";
constexpr char kDiario[] =
    "Select Id_FC, Formulario, Capitulo, Periodo, Tipo, Contenido From SE_COMM_PROCESO";

class FrmPadronTest : public VentanaPrueba {
 protected:
  void Importar(const std::string& periodo) {
    form_ = std::make_unique<intake::FrmPadron>(App());
    Ui().Show(*form_);
    form_->TxtPeriodo.UserEdit(periodo);
    form_->Command1.UserClick();
  }

  std::unique_ptr<intake::FrmPadron> form_;
};

// What the import sends, letter for letter, and what it stores. The first company has a row of
// last year only (this year's INSERT, last year's UPDATE), the second one of this year only (its
// UPDATE, which leaves the columns it does not name alone, and last year's INSERT): each pair
// goes in one transaction after the two lookups. The roll's code-page mark is one no table
// lists: its text is read as UTF-8 and that is logged.
TEST_F(FrmPadronTest, SentenciasQueEnviaYFilasQueGraba) {
  SentenciasEnviadas enviadas;
  AbrirAplicacion();
  App().CnSql.Execute("insert into SE_MUESTRA_PADRON (Unico, Periodo) Values('30500000001', 2004)");
  App().CnSql.Execute("insert into SE_MUESTRA_PADRON (Unico, Periodo, Razon, EmpCba) "
                      "Values('30500000002', 2005, 'Vieja', 7)");
  enviadas.Olvidar();
  DbfTable tabla = Padron({Completa(), Completa()});
  tabla.code_page = 0xF0;
  tabla.records[0].values[2] = "O'Briéñ SA";  // UTF-8, as the tool that wrote it stores text
  tabla.records[1].values[0] = "30500000002";
  tabla.records[1].values[2] = "Nueva Razon";
  EscribirDbf("Padron.dbf", tabla);
  Importar("2005");

  auto busquedas = [](const std::string& unico) {
    return std::vector<std::string>{
        "Select * From SE_MUESTRA_PADRON where Periodo = 2005 and Unico='" + unico + "'",
        "Select * From SE_MUESTRA_PADRON where Periodo = 2004 and Unico='" + unico + "'",
        "BeginTrans"};
  };
  std::vector<std::string> esperadas = busquedas("30500000001");
  esperadas.insert(
      esperadas.end(),
      {"insert into SE_MUESTRA_PADRON (CUIT, FormSector, Periodo, Domi, Muestra, unico, razon, "
       "auto, wf, Novedad, Novedad_1, Estado, Estado_1, Descripcion_Estado, Descripcion_Estado_1, "
       "Caja, Caja_1, NumFor, NumFor_1, fecha_ac, Comple, Com_desc, Observaciones, "
       "Observaciones_1, Corte, Corte_Fecha) Values(30500000001 ,'ENCUES', 2005, 3, 1.5, "
       "'30500000001','O''Briéñ SA',12.5,0.75,'Activa','Inactiva',1, 2,'Desc A','Desc A1',10,11,"
       "'ES','ES','31/01/2024','C','Completa','Obs','Obs1','S','30/06/2024')\r\n"
       "Update SE_MUESTRA_PADRON Set Razon='O''Briéñ SA', FormSector='ENCUES', "
       "Novedad='Inactiva',Estado=2, Descripcion_Estado='Desc A1', Caja=11, NumFor='ES', "
       "Observaciones='Obs1' Where Unico='30500000001' and Periodo= 2004",
       "CommitTrans"});
  const std::vector<std::string> segunda = busquedas("30500000002");
  esperadas.insert(esperadas.end(), segunda.begin(), segunda.end());
  esperadas.insert(
      esperadas.end(),
      {"Update SE_MUESTRA_PADRON Set Muestra=1.5,Razon='Nueva Razon', FormSector='ENCUES', "
       "auto =12.5, domi=3, wf =0.75, Novedad='Activa',Novedad_1='Inactiva',Estado=1, "
       "Estado_1=2, Descripcion_Estado='Desc A', Descripcion_Estado_1='Desc A1', Caja=10, "
       "Caja_1=11, NumFor='ES', NumFor_1='ES', fecha_ac='31/01/2024', Comple='C', "
       "Com_desc='Completa', Observaciones='Obs', Observaciones_1='Obs1', Corte='S', "
       "Corte_Fecha='30/06/2024'  Where Unico='30500000002' and Periodo= 2005\r\n"
       "INSERT INTO SE_MUESTRA_PADRON (Cuit, FormSector, Periodo, Unico, Razon, Novedad, Estado, "
       "Descripcion_Estado, Caja, NumFor, Observaciones) Values(30500000001 ,'ENCUES', 2004, "
       "'30500000002','Nueva Razon','Inactiva',2,'Desc A1',11,'ES','Obs1')",
       "CommitTrans",
       "Insert into SE_COMM_PROCESO (Id_FC, Formulario, Periodo, Fecha, Tipo, Contenido) "
       "Values(Null, '', 2005, getdate(), 'Padron', '')"});
  EXPECT_EQ(enviadas.Todas(), esperadas);
  EXPECT_EQ(Filas("Select Unico, Periodo, Razon, EmpCba From SE_MUESTRA_PADRON Order By Unico, "
                  "Periodo"),
            (std::vector<std::string>{"30500000001|2004|O'Briéñ SA|NULL",
                                      "30500000001|2005|O'Briéñ SA|NULL",
                                      "30500000002|2004|Nueva Razon|NULL",
                                      "30500000002|2005|Nueva Razon|7"}));
  EXPECT_EQ(Filas(kDiario), std::vector<std::string>{"NULL||NULL|2005|Padron|"});
  EXPECT_EQ(Carpeta("Datos"), std::vector<std::string>{});
  EXPECT_EQ(Carpeta("Procesados"), std::vector<std::string>{"Padron_05122026112041.dbf"});
  EXPECT_EQ(form_->LblMsg.Caption() + " " + form_->lblEmpresa_1.Caption(), "Fin Proceso 30500000002");
  EXPECT_EQ(Ui().Prompts(), std::vector<std::string>{});
  EXPECT_EQ(EntradasLog(),
            std::vector<std::string>{
                "Microsoft OLE DB Provider for ODBC Drivers\r\n(0) [Consolida][DBF] " +
                (carpeta_ / "Datos" / "Padron.dbf").string() +
                ": la marca de página de códigos 0xF0 no figura en ninguna tabla; el texto se "
                "leyó como UTF-8\r\nAbriendo Padron.dbf"});
}

TEST_F(FrmPadronTest, PeriodoYArchivoSeVerificanAntesDeEmpezar) {
  const struct {
    const char* periodo;
    bool con_archivo;
    const char* mensaje;
    const char* etiqueta;
  } casos[] = {
      {"19900", true, "Dato Incorrecto", "Verifica Periodo"},
      {"2005", false, "No se encuentra el Archivo Padron.dbf en la Carpeta Datos",
       "Verifica Existencia de la Tabla"},
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.periodo);
    fs::remove(carpeta_ / "Datos" / "Padron.dbf");
    if (caso.con_archivo) EscribirDbf("Padron.dbf", Padron({Completa()}));
    Ui().ClearMessages();
    Importar(caso.periodo);
    EXPECT_EQ(Ui().Prompts(), std::vector<std::string>{caso.mensaje});
    EXPECT_EQ(form_->LblMsg.Caption(), caso.etiqueta);
  }
  EXPECT_EQ(Filas("Select Count(*) From SE_MUESTRA_PADRON"), std::vector<std::string>{"0"});
  EXPECT_EQ(Filas("Select Count(*) From SE_COMM_PROCESO"), std::vector<std::string>{"0"});
}

// A roll that cannot be read whole ends the import: one log entry, "Error de Proceso", the file
// in NoProcesados and the message; no company of a refused file is written.
TEST_F(FrmPadronTest, UnPadronIlegibleTerminaElProceso) {
  DbfTable sin_columnas = Padron({Completa()});
  sin_columnas.fields.erase(sin_columnas.fields.begin() + 2);  // Razon
  sin_columnas.fields.pop_back();                              // cote_fech
  for (DbfRecord& registro : sin_columnas.records) {
    registro.values.erase(registro.values.begin() + 2);
    registro.values.pop_back();
  }
  const struct {
    const char* nombre;
    std::function<void(const fs::path&)> escribir;
    const char* entrada;
    int filas;
  } casos[] = {
      {"faltan columnas",
       [&](const fs::path& ruta) { dbf::WriteDbf(ruta.string(), sin_columnas); },
       "FrmPadron\r\n(3265) Faltan columnas en Padron.dbf: Razon, cote_fech\r\n"
       "Abriendo Padron.dbf",
       0},
      {"archivo cortado",
       [](const fs::path& ruta) {
         const std::string bytes = dbf::DbfBytes(Padron({Completa()}));
         std::ofstream(ruta, std::ios::binary) << bytes.substr(0, bytes.size() - 30);
       },
       "Microsoft OLE DB Provider for ODBC Drivers\r\n", 0},
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.nombre);
    TearDown();
    SetUp();
    caso.escribir(carpeta_ / "Datos" / "Padron.dbf");
    Importar("2005");

    EXPECT_EQ(Ui().Prompts(), std::vector<std::string>{
                                  "Ha Finalizado el proceso por existir un error en los Datos"});
    const std::vector<std::string> log = EntradasLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].rfind(caso.entrada, 0), 0u) << log[0];
    EXPECT_TRUE(FormaDeEntrada(log[0])) << log[0];
    EXPECT_EQ(form_->LblMsg.Caption(), "Error de Proceso");
    EXPECT_EQ(Carpeta("NoProcesados"), std::vector<std::string>{"Padron_05122026112041.dbf"});
    EXPECT_EQ(Filas("Select Count(*) From SE_MUESTRA_PADRON"),
              std::vector<std::string>{std::to_string(caso.filas)});
    EXPECT_EQ(Filas("Select Count(*) From SE_COMM_PROCESO"), std::vector<std::string>{"0"});
  }
}

// A company that cannot be written is logged and the others are stored; the roll counts as
// processed. A value that cannot be converted (a CUIT without digits, a domi beyond 16 bits) is
// logged naming the company and the value; one the server refuses (a company code too long)
// with the whole batch as context: this year's INSERT, CR LF, last year's INSERT. Blank values
// go in as NULL, 0 or '' (30500000004 is updated for this year, inserted for the year before).
TEST_F(FrmPadronTest, UnaEmpresaQueFallaSeRegistraYLasDemasSiguen) {
  App().CnSql.Execute("insert into SE_MUESTRA_PADRON (Unico, Periodo) Values('30500000004', 2005)");
  DbfRecord domi_grande = EnBlanco("30500000005", "5");
  domi_grande.values[14] = "70000";
  DbfTable tabla = Padron({EnBlanco(std::string(25, '9'), "1"), EnBlanco("30500000001", "30-1"),
                           EnBlanco("30500000002", "s/n"), domi_grande, EnBlanco("30500000004", "4")});
  tabla.fields[14].length = 6;  // domi
  EscribirDbf("Padron.dbf", tabla);
  Importar("2005");

  std::vector<std::string> log = EntradasLog();
  ASSERT_EQ(log.size(), 3u);
  EXPECT_NE(log[0].find("String or binary data would be truncated."), std::string::npos);
  EXPECT_NE(log[0].find("\r\ninsert into SE_MUESTRA_PADRON (CUIT, FormSector"), std::string::npos);
  EXPECT_NE(log[0].find("Null)\r\nINSERT INTO SE_MUESTRA_PADRON (Cuit, FormSector"),
            std::string::npos);
  log.erase(log.begin());
  EXPECT_EQ(log, (std::vector<std::string>{
                     "Consolida\r\n(13) No coinciden los tipos\r\nLeyendo Padron.dbf - Empresa "
                     "30500000002, Cuit 's/n'",
                     "Consolida\r\n(6) Desbordamiento\r\nLeyendo Padron.dbf - Empresa 30500000005, "
                     "domi '70000'"}));
  EXPECT_EQ(Filas("Select Unico, Periodo, CUIT From SE_MUESTRA_PADRON Order By Unico, Periodo"),
            (std::vector<std::string>{"30500000001|2004|301", "30500000001|2005|301",
                                      "30500000004|2004|4", "30500000004|2005|NULL"}));
  EXPECT_EQ(Filas(kPadron),
            (std::vector<std::string>{
                "30500000004|2004|4||ENCUES|NULL|NULL|NULL|NULL||NULL|0|NULL||NULL|0|NULL||NULL|"
                "NULL|NULL|NULL||NULL|NULL|NULL",
                "30500000004|2005|NULL||ENCUES|0|0|NULL|0|||0|0|||0|0|ES||NULL||||||NULL"}));
  EXPECT_EQ(Filas(kDiario), std::vector<std::string>{"NULL||NULL|2005|Padron|"});
  EXPECT_EQ(Carpeta("Procesados"), std::vector<std::string>{"Padron_05122026112041.dbf"});
  EXPECT_EQ(Ui().Prompts(), std::vector<std::string>{});
  EXPECT_EQ(form_->LblMsg.Caption(), "Fin Proceso");
}

TEST_F(FrmPadronTest, UnPadronVacioSeMueveSinRegistrarse) {
  EscribirDbf("Padron.dbf", Padron({}));
  Importar("2005");
  EXPECT_EQ(Filas("Select Count(*) From SE_COMM_PROCESO"), std::vector<std::string>{"0"});
  EXPECT_EQ(Carpeta("Procesados"), std::vector<std::string>{"Padron_05122026112041.dbf"});
  EXPECT_EQ(form_->LblMsg.Caption(), "Fin Proceso");
}

}  // namespace
}  // namespace intake_test
