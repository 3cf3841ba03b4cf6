// The generators' texts against the procedure files, byte for byte: the acceptance fixtures and
// the local shapes (every operand kind for the current and the previous year, the functions,
// parentheses, Total with aggregates), each built from its token list with the catalogue
// lookups made on a database holding the case's setup.sql. Then what the generators refuse.
#include <gtest/gtest.h>

#include <filesystem>

#include "formulas/generador.h"
#include "formulas/procedimientos.h"
#include "tests/formulas/tokens.h"
#include "tests/support/batch_files.h"
#include "tests/support/carpeta_aplicacion.h"
#include "tests/support/temp_folder.h"

namespace formulas {
namespace {

namespace fs = std::filesystem;

const fs::path kFixtures = fs::path(CONSOLIDA_TEST_DATA_DIR) / "fixtures/engine";
const fs::path kLocales = fs::path(CONSOLIDA_SOURCE_DIR) / "tests/platform/engine/procedures";

using namespace prueba;

std::vector<Token> Unir(std::initializer_list<std::vector<Token>> partes) {
  std::vector<Token> todos;
  for (const auto& parte : partes) todos.insert(todos.end(), parte.begin(), parte.end());
  return todos;
}

struct Forma {
  const char* nombre;
  fs::path carpeta;
  int32_t id;
  Estilo estilo;
  std::vector<Token> tokens;
};

class Generador : public test_support::VentanaPrueba {
 protected:
  void Cargar(const fs::path& setup) {
    for (const std::string& lote : test_support::SplitBatches(setup)) App().CnSql.Execute(lote);
  }

  // The commands of one generator as the procedure files hold them: each followed by "GO".
  std::string Archivo(Procedimiento cual, const Forma& forma) {
    const Textos textos = PrepararTextos(App(), cual, forma.tokens, forma.id, forma.estilo);
    EXPECT_EQ(textos.rechazo, "");
    std::string texto;
    for (const std::string& comando : textos.comandos) texto += comando + "GO\r\n";
    return texto;
  }
};

TEST_F(Generador, ReproduceLosArchivosDeProcedimientosByteAByte) {
  const std::vector<Forma> formas = {
      {"p7", kFixtures, 7, Estilo::kPorEmpresa, {C("VENTAS"), O('/'), C("VENTAS_1")}},
      {"p8", kFixtures, 8, Estilo::kPorEmpresa, Unir({{C("VENTAS"), O('*')}, Numero("2"), {O('+'), M("Mues")}})},
      {"p9", kFixtures, 9, Estilo::kPorEmpresa, {F("MEDIANA(VENTAS)", kArgCampo, "VENTAS")}},
      {"p11", kFixtures, 11, Estilo::kPorEmpresa, Unir({{C("EMPLEO"), O('+')}, Numero("0.5")})},
      {"p12", kFixtures, 12, Estilo::kTotal, Unir({Numero("2"), {O('*')}, Numero("3")})},
      {"p21", kLocales, 21, Estilo::kPorEmpresa, {V("TOTAL_1"), O('+'), V("TOTAL")}},
      {"p22", kLocales, 22, Estilo::kTotal,
       {F("SUM(VENTAS_1)", kArgCampo, "VENTAS_1"), O('/'), F("COUNT(VENTAS)", kArgCampo, "VENTAS")}},
      {"p23", kLocales, 23, Estilo::kTotal, {F("AVG(TOTAL_1)", kArgVariable, "TOTAL_1")}},
      {"p24", kLocales, 24, Estilo::kPorEmpresa, {M("wf_1"), O('-'), M("wf")}},
      {"p25", kLocales, 25, Estilo::kTotal, {F("TCUARTIL(VENTAS)", kArgCampo, "VENTAS")}},
      {"p26", kLocales, 26, Estilo::kPorEmpresa,
       {F("PCUARTIL(VENTAS_1)", kArgCampo, "VENTAS_1"), O('+'), C("VENTAS")}},
      {"p27", kLocales, 27, Estilo::kPorEmpresa, Unir({Numero("2"), {O('*')}, Numero("3")})},
      {"p29", kLocales, 29, Estilo::kPorEmpresa,
       Unir({{PA(), F("ROUND(VENTAS_1,0)", kArgCampo, "VENTAS_1"), O('+'),
              F("POWER(TOTAL,2)", kArgVariable, "TOTAL"), PC(), O('*'),
              F("SQRT(4)", kArgConstante, "4"), O('-'), F("ABS(VENTAS)", kArgCampo, "VENTAS"), O('+'),
              F("EXP(0)", kArgConstante, "0")}})},
  };
  for (const Forma& forma : formas) {
    SCOPED_TRACE(forma.nombre);
    TearDown();
    SetUp();
    Cargar(forma.carpeta / "setup.sql");
    const fs::path base = forma.carpeta / forma.nombre;
    ASSERT_TRUE(fs::exists(base.string() + ".sql")) << "missing fixture " << base.string();
    EXPECT_EQ(Archivo(Procedimiento::kCompanias, forma), test_support::LeerArchivo(base.string() + ".sql"));
    EXPECT_EQ(Archivo(Procedimiento::kEmpresa, forma), test_support::LeerArchivo(base.string() + "_emp.sql"));
  }
}

// A field the catalogue does not know is read and inserted like any other, but gets no column in
// the work table: the catalogue decides what is declared.
TEST(Textos, SoloSeDeclaranLosCamposCatalogados) {
  const std::vector<Token> tokens = {C("VENTAS"), O('+'), C("COSTOS_1")};
  const Textos textos = GenerarTextos(Procedimiento::kCompanias, tokens, 5, Estilo::kPorEmpresa, {"VENTAS"});
  ASSERT_EQ(textos.comandos.size(), 5u);
  const std::string& principal = textos.comandos[4];
  EXPECT_NE(principal.find("VPeriodo Numeric(4,0) NULL ,\r\nVENTAS Float NULL\r\n)\r\n"), std::string::npos);
  EXPECT_NE(principal.find("AND Periodo = @Periodo-1 AND Empresa = @Empresa AND Campo ='COSTOS'"),
            std::string::npos);
  EXPECT_NE(principal.find("(Empresa, Periodo, VPeriodo, VENTAS, COSTOS_1) VALUES"), std::string::npos);
}

TEST(Textos, RechazosNoEnvianNada) {
  const std::string kNo = "No se puede generar la formula: ";
  const auto invalido = [&](const std::string& nombre) {
    return kNo + "\"" + nombre + "\" no es un nombre valido para el servidor (letras, digitos y \"_\", sin empezar "
           "por un digito, hasta 128 caracteres)";
  };
  const auto elemento = [&](const std::string& texto, const char* tipo) {
    return kNo + "el elemento \"" + texto + "\" (tipo \"" + tipo + "\") no es un elemento valido de una formula";
  };
  struct Caso {
    const char* nombre;
    std::vector<Token> tokens;
    std::string rechazo;
  };
  const std::vector<Caso> casos = {
      {"two quartiles, a median over a variable counting too",
       {F("PCUARTIL(TOTAL)", kArgVariable, "TOTAL"), O('-'), F("MEDIANA(VENTAS)", kArgCampo, "VENTAS")},
       "Solamente puede cargar por formula uno de los cuartiles"},
      {"field name with a blank inside", {C("MONTO TOTAL")}, invalido("MONTO TOTAL")},
      {"variable name that closes the string", {V("X'; DROP TABLE SE_NOVEDAD --")},
       invalido("X'; DROP TABLE SE_NOVEDAD --")},
      {"function argument starting with a digit", {F("SUM(1A)", kArgCampo, "1A")}, invalido("1A")},
      {"same operand twice, whatever the case", {C("VENTAS"), O('/'), F("ROUND(ventas,0)", kArgCampo, "ventas")},
       kNo + "el operando \"ventas\" figura dos veces en ella"},
      {"operator that is not one", {C("VENTAS"), {"; DELETE SE_RESULTADO; ", kOperador, "", ""}, C("COSTOS")},
       elemento("; DELETE SE_RESULTADO; ", "O")},
      {"function text that does not match its argument", {F("SUM(VENTAS) + (SELECT 1)", kArgCampo, "VENTAS")},
       elemento("SUM(VENTAS) + (SELECT 1)", "F")},
      {"empty formula", {}, kNo + "no tiene elementos"},
  };
  for (const Caso& caso : casos) {
    SCOPED_TRACE(caso.nombre);
    for (Procedimiento cual : {Procedimiento::kCompanias, Procedimiento::kEmpresa}) {
      const Textos textos = GenerarTextos(cual, caso.tokens, 3, Estilo::kPorEmpresa, {"VENTAS", "COSTOS"});
      EXPECT_EQ(textos.rechazo, caso.rechazo);
      EXPECT_TRUE(textos.comandos.empty());
    }
  }
}

// A median over a result variable fills TEMP_FUNCION as one over a field does: without it the
// server function would read a table that does not exist.
TEST(Textos, MedianaSobreVariableLlenaLaTablaDeLaFuncion) {
  const Textos textos = GenerarTextos(Procedimiento::kEmpresa, {F("MEDIANA(TOTAL_1)", kArgVariable, "TOTAL_1")},
                                      4, Estilo::kTotal, {});
  ASSERT_EQ(textos.rechazo, "");
  EXPECT_TRUE(textos.mediana);
  const std::string& principal = textos.comandos.back();
  EXPECT_NE(principal.find("SELECT TOTAL_1 From TEMP_NOVEDADES ORDER BY 1\r\n"), std::string::npos);
  EXPECT_NE(principal.find("SELECT  @P4 = (DBO.MEDIANA(TOTAL_1)) From TEMP_NOVEDADES\r\n"), std::string::npos);
  EXPECT_TRUE(principal.ends_with("drop table [dbo].[TEMP_FUNCION]\r\n\r\n"));
}

}  // namespace
}  // namespace formulas
