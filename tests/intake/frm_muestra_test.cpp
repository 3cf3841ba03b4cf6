// Tests of the sample import end to end: sheets written on the spot (and one made from a real
// workbook's data) are imported into the embedded database; rows, journal, file moves, labels,
// messages and error-log entries are checked, for the good sheet and the broken ones.
#include "intake/frm_muestra.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/runtime/conversions.h"
#include "platform/runtime/text.h"
#include "platform/sheet/xls_reader.h"
#include "tests/intake/sentencias_enviadas.h"
#include "tests/intake/tablas_de_prueba.h"
#include "tests/support/carpeta_aplicacion.h"

namespace intake_test {

using namespace test_support;
namespace {

using runtime::Valor;
namespace fs = std::filesystem;

const std::vector<std::string>& kColumnas = kColumnasMuestra;
constexpr const char* kErrorDeDatos = "Ha Finalizado el proceso por existir un error en los Datos";

Valor T(const char* texto) { return Valor::String(texto); }
Valor N(double numero) { return Valor::Double(numero); }
Valor Nulo() { return Valor::Null(); }

// The sample columns read back, in a fixed order.
constexpr const char* kConsulta =
    "Select Unico, Periodo, CUIT, FormSector, PI, PI_1, EmpCba, Mues, auto_0, auto_1, domi, Razon, "
    "Estado From SE_MUESTRA_PADRON Order by Unico, Periodo";
constexpr const char* kDiario =
    "Select Id_FC, Formulario, Capitulo, Periodo, Tipo, Contenido From SE_COMM_PROCESO";

class FrmMuestraTest : public test_support::VentanaPrueba {
 protected:
  void SetUp() override {
    VentanaPrueba::SetUp();
    form_ = std::make_unique<intake::FrmMuestra>(App());
    Ui().Show(*form_);
  }
  void TearDown() override {
    form_.reset();
    VentanaPrueba::TearDown();
  }

  // Writes Datos/Muestras.xls.
  void EscribirMuestras(const std::vector<std::string>& columnas,
                        const std::vector<std::vector<Valor>>& filas) {
    intake_test::EscribirMuestras((carpeta_ / "Datos" / "Muestras.xls").string(), columnas, filas);
  }

  std::unique_ptr<intake::FrmMuestra> form_;
};

// Real workbooks' data under the sample columns. Each source says which of its columns becomes
// the company code, the form, the CUIT, the PI and the Mues of the sample sheet.
TEST_F(FrmMuestraTest, PlanillasConDatosDeLibrosReales) {
  struct Fuente {
    const char* archivo;
    int unico, form, cuit, pi, mues;  // column positions in the real sheet; -1: not used
  } fuentes[] = {
      // dates as company codes, the text column as CUIT (text, so 0), doubles and booleans
      {"Test_num_double_date_bool_string.xls", 5, -1, 4, 1, 3},
      // Cyrillic, Arabic and Latin text as company codes and forms
      {"TestUnicodeChars.xls", 0, 1, 2, -1, -1},
  };
  auto numero = [](const Valor& v) { return v.IsNull() ? 0.0 : runtime::CDbl(v); };
  for (const Fuente& fuente : fuentes) {
    SCOPED_TRACE(fuente.archivo);
    App().CnSql.Execute("Delete From SE_MUESTRA_PADRON");
    const sheet::SheetTable real = sheet::ReadFirstWorksheet(
        std::string(CONSOLIDA_TEST_DATA_DIR) + "/xls/" + fuente.archivo);
    ASSERT_GE(real.rows.size(), 2u);

    std::vector<std::vector<Valor>> filas;
    std::vector<std::string> esperado;
    for (const auto& fila : real.rows) {
      const std::string unico = runtime::CStr(fila[fuente.unico]);
      const std::string form = fuente.form < 0 ? "REAL01" : runtime::CStr(fila[fuente.form]);
      const Valor pi = fuente.pi < 0 ? Nulo() : fila[fuente.pi];
      const Valor mues = fuente.mues < 0 ? Nulo() : fila[fuente.mues];
      filas.push_back({fila[fuente.cuit], Valor::String(unico), Valor::String(form), N(2009), pi,
                       Nulo(), Nulo(), mues, Nulo(), Nulo(), Nulo()});
      esperado.push_back(unico + "|2009|0|" + form + "|" + runtime::CStrDouble(numero(pi)) + "|" +
                         runtime::CStrDouble(numero(mues)));
    }
    std::sort(esperado.begin(), esperado.end());
    EscribirMuestras(kColumnas, filas);

    ASSERT_TRUE(form_->Command1.UserClick());

    std::vector<std::string> grabado =
        Filas("Select Unico, Periodo, CUIT, FormSector, PI, Mues From SE_MUESTRA_PADRON");
    std::sort(grabado.begin(), grabado.end());
    EXPECT_EQ(grabado, esperado);
    EXPECT_EQ(EntradasLog(), std::vector<std::string>{});
    Ui().SetNow(runtime::DateSerial{Ui().Now().days + 1});  // the next move gets a name of its own
  }
}

TEST_F(FrmMuestraTest, PlanillasQueNoSePuedenProcesar) {
  struct Caso {
    const char* nombre;
    std::vector<std::string> columnas;
    std::vector<std::vector<Valor>> filas;
    std::vector<std::string> mensajes;
    std::vector<std::string> filas_grabadas;
    const char* en_el_log;
  };
  std::vector<std::string> sin_dom(kColumnas.begin(), kColumnas.end() - 1);
  const std::vector<Caso> casos = {
      {"falta una columna", sin_dom,
       {{N(1), T("E1"), T("F"), N(2005), N(1), N(1), N(1), N(1), N(1), N(1)}},
       {std::string(kErrorDeDatos) + "\r\nFalta la columna Dom en Muestras.xls"}, {},
       "Falta la columna Dom en Muestras.xls"},
      {"periodo que no es numero", kColumnas,
       {{N(1), T("E1"), T("F"), N(2005), N(1), N(1), N(1), N(1), N(1), N(1), N(1)},
        {N(1), T("E2"), T("F"), T("dos mil"), N(1), N(1), N(1), N(1), N(1), N(1), N(1)}},
       {kErrorDeDatos}, {"E1|2005"}, "No coinciden los tipos"},
  };
  for (const Caso& caso : casos) {
    SCOPED_TRACE(caso.nombre);
    TearDown();
    SetUp();
    EscribirMuestras(caso.columnas, caso.filas);

    ASSERT_TRUE(form_->Command1.UserClick());

    EXPECT_EQ(Ui().Prompts(), caso.mensajes);
    EXPECT_EQ(form_->LblMsg.Caption(), "Error de Proceso");
    EXPECT_EQ(Filas("Select Unico, Periodo From SE_MUESTRA_PADRON"), caso.filas_grabadas);
    EXPECT_TRUE(Filas(kDiario).empty());
    EXPECT_EQ(Carpeta("NoProcesados"), std::vector<std::string>{"Muestras_05122026112041.xls"});
    const std::vector<std::string> log = EntradasLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_TRUE(FormaDeEntrada(log[0])) << log[0];
    EXPECT_NE(log[0].find(caso.en_el_log), std::string::npos) << log[0];
  }
}

// Rows that cannot be stored are logged and skipped, and the import goes on: a row without
// Unico, one the server refuses (a company code too long) and one whose conversion fails on the
// server, which ends its transaction there. Here the server's FormSector column is a number.
TEST_F(FrmMuestraTest, LasFilasRechazadasSeRegistranYLasDemasSiguen) {
  App().CnSql.Execute("DROP TABLE SE_MUESTRA_PADRON");
  App().CnSql.Execute(
      "CREATE TABLE SE_MUESTRA_PADRON (Unico varchar(20) NULL, CUIT float NULL, FormSector int "
      "NULL, Periodo int NULL, EmpCba int NULL, Mues int NULL, auto_0 int NULL, auto_1 int NULL, "
      "domi int NULL, PI float NULL, PI_1 float NULL)");
  EscribirMuestras(kColumnas, {
      {N(1), T("E1"), T("7"), N(2005), N(1), N(1), N(1), N(1), N(1), N(1), N(1)},
      {N(2), T("  "), T("7"), N(2005), N(1), N(1), N(1), N(1), N(1), N(1), N(1)},
      {N(3), T("UNICO-DE-MAS-DE-VEINTE"), T("7"), N(2005), N(1), N(1), N(1), N(1), N(1), N(1), N(1)},
      {N(2), T("E2"), T("F"), N(2005), N(1), N(1), N(1), N(1), N(1), N(1), N(1)},
      {N(4), T("E4"), T("8"), N(2006), N(1), N(1), N(1), N(1), N(1), N(1), N(1)},
  });

  ASSERT_TRUE(form_->Command1.UserClick());

  EXPECT_EQ(Filas("Select Unico, CUIT, FormSector From SE_MUESTRA_PADRON Order by Unico"),
            (std::vector<std::string>{"E1|1|7", "E4|4|8"}));
  EXPECT_EQ(Filas(kDiario), std::vector<std::string>{"NULL|8|NULL|2006|Muestra|"});
  const std::vector<std::string> log = EntradasLog();
  ASSERT_EQ(log.size(), 3u);
  for (const std::string& entrada : log) EXPECT_TRUE(FormaDeEntrada(entrada)) << entrada;
  EXPECT_NE(log[0].find("Registro 2 de Muestras.xls sin Unico"), std::string::npos) << log[0];
  EXPECT_NE(log[1].find("'UNICO-DE-MAS-DE-VEINTE'"), std::string::npos) << log[1];
  EXPECT_NE(log[2].find(") Conversion failed when converting the varchar value 'F' to data type "
                        "int.\r\n"),
            std::string::npos)
      << log[2];
  EXPECT_NE(log[2].find("\r\ninsert into SE_MUESTRA_PADRON (CUIT, EmpCba, FormSector, Periodo, "
                        "auto_0, Mues, unico, domi, auto_1, PI, PI_1) Values(2,1, 'F', 2005, 1, 1, "
                        "'E2', 1, 1, 1, 1)"),
            std::string::npos)
      << log[2];
  EXPECT_TRUE(Ui().Prompts().empty());
  EXPECT_EQ(Carpeta("Procesados"), std::vector<std::string>{"Muestras_05122026112041.xls"});
}

// No sheet, or a file that is no workbook: the import stops before reading and the file stays.
TEST_F(FrmMuestraTest, SinPlanillaOSinLibroNoCambiaNada) {
  const struct {
    const char* contenido;  // nullptr: no file
    std::vector<std::string> mensajes;
    const char* etiqueta;
    size_t entradas;
  } casos[] = {
      {nullptr, {"No se encuentra el Archivo Muestra.xls en la Carpeta Datos"},
       "Verifica Existencia de la Planilla Excel", 0},
      {"Unico;Form;Periodo\nE1;F;2005\n", {}, "Error de Conexion", 1},
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.etiqueta);
    Ui().ClearMessages();
    if (caso.contenido) EscribirArchivo(carpeta_ / "Datos" / "Muestras.xls", caso.contenido);
    ASSERT_TRUE(form_->Command1.UserClick());
    EXPECT_EQ(Ui().Prompts(), caso.mensajes);
    EXPECT_EQ(form_->LblMsg.Caption(), caso.etiqueta);
    EXPECT_TRUE(Filas(kDiario).empty());
    EXPECT_EQ(Carpeta("Datos"), caso.contenido ? std::vector<std::string>{"Muestras.xls"}
                                               : std::vector<std::string>{});
    EXPECT_EQ(EntradasLog().size(), caso.entradas);
  }
  EXPECT_NE(Log().find("Cargando Datos a un Cursor"), std::string::npos);
}

// CUIT is read with errors suspended: a sheet without the column gives 0, like a cell that holds
// no number.
TEST_F(FrmMuestraTest, SinColumnaCuitSeGrabaCero) {
  EscribirMuestras(std::vector<std::string>(kColumnas.begin() + 1, kColumnas.end()),
                   {{T("E1"), T("FORM01"), N(2005), N(0.5), N(1), N(1), N(1), N(0), N(1), N(4)}});
  ASSERT_TRUE(form_->Command1.UserClick());
  EXPECT_EQ(Filas("Select Unico, CUIT, PI, domi From SE_MUESTRA_PADRON"), std::vector<std::string>{"E1|0|0.5|4"});
  EXPECT_EQ(EntradasLog(), std::vector<std::string>{});
}

// What the import sends, letter for letter, and what it stores: per row the lookup, then its
// UPDATE (the columns it does not name stay) or INSERT in a transaction of its own; at the end
// the journal row with the last row's form and year. A CUIT that is no number and empty cells
// are 0; a decimal comma in a text cell is a decimal point.
TEST_F(FrmMuestraTest, SentenciasQueEnviaYFilasQueGraba) {
  SentenciasEnviadas enviadas;
  form_.reset();
  AbrirAplicacion();
  form_ = std::make_unique<intake::FrmMuestra>(App());
  Ui().Show(*form_);
  App().CnSql.Execute(
      "insert into SE_MUESTRA_PADRON (Unico, Periodo, Razon, Estado, FormSector, CUIT, Mues) "
      "Values('E1', 2005, 'Acme SA', 3, 'VIEJO', 99, 9)");
  enviadas.Olvidar();
  EscribirMuestras(kColumnas, {
      {N(20111), T("E1"), T("FORM01"), N(2005), N(0.5), T("0,75"), N(1), N(2), N(3), N(4), N(5)},
      {T("sin cuit"), T("E2"), T("FORM01"), N(2005), Nulo(), Nulo(), Nulo(), Nulo(), Nulo(),
       Nulo(), Nulo()},
      {N(30123456789), T("O'K"), T("FORM02"), N(2004), N(1.25), N(2), N(7), N(0), N(1), N(0), N(2)},
  });

  ASSERT_TRUE(form_->Command1.UserClick());

  EXPECT_EQ(enviadas.Todas(),
            (std::vector<std::string>{
                "Select * From Se_Muestra_Padron where Unico = 'E1' And Periodo=2005",
                "BeginTrans",
                "Update SE_MUESTRA_PADRON Set CUIT=20111,EmpCba=1, auto_0=3, Mues=2, "
                "FormSector='FORM01', domi=5,auto_1=4, PI=0.5, PI_1=0.75 Where Unico='E1' And "
                "Periodo = 2005",
                "CommitTrans",
                "Select * From Se_Muestra_Padron where Unico = 'E2' And Periodo=2005",
                "BeginTrans",
                "insert into SE_MUESTRA_PADRON (CUIT, EmpCba, FormSector, Periodo, auto_0, Mues, "
                "unico, domi, auto_1, PI, PI_1) Values(0,0, 'FORM01', 2005, 0, 0, 'E2', 0, 0, 0, 0)",
                "CommitTrans",
                "Select * From Se_Muestra_Padron where Unico = 'O''K' And Periodo=2004",
                "BeginTrans",
                "insert into SE_MUESTRA_PADRON (CUIT, EmpCba, FormSector, Periodo, auto_0, Mues, "
                "unico, domi, auto_1, PI, PI_1) Values(30123456789,7, 'FORM02', 2004, 1, 0, 'O''K', "
                "2, 0, 1.25, 2)",
                "CommitTrans",
                "Insert into SE_COMM_PROCESO (Id_FC, Formulario, Periodo, Fecha, Tipo, Contenido) "
                "Values(Null, 'FORM02', 2004, getdate(), 'Muestra', '')",
            }));
  EXPECT_EQ(Filas(kConsulta), (std::vector<std::string>{
                                  "E1|2005|20111|FORM01|0.5|0.75|1|2|3|4|5|Acme SA|3",
                                  "E2|2005|0|FORM01|0|0|0|0|0|0|0|NULL|NULL",
                                  "O'K|2004|30123456789|FORM02|1.25|2|7|0|1|0|2|NULL|NULL",
                              }));
  EXPECT_EQ(Carpeta("Procesados"), std::vector<std::string>{"Muestras_05122026112041.xls"});
  EXPECT_TRUE(Carpeta("Datos").empty());
  EXPECT_EQ(form_->LblMsg.Caption(), "Fin Proceso");
  EXPECT_EQ(form_->lblEmpresa_1.Caption(), "O'K");
  EXPECT_TRUE(Ui().Prompts().empty());
  EXPECT_EQ(EntradasLog(), std::vector<std::string>{});
}

}  // namespace
}  // namespace intake_test
