// The generators on the program's database: the procedures they create compute what a hand
// computation gives, a failing creation leaves the procedures that were there, and the failure
// is said to the caller and logged.
#include <gtest/gtest.h>

#include "formulas/procedimientos.h"
#include "tests/formulas/tokens.h"
#include "tests/support/carpeta_aplicacion.h"

namespace formulas {
namespace {

using namespace prueba;

class Procedimientos : public test_support::VentanaPrueba {
 protected:
  void SetUp() override {
    VentanaPrueba::SetUp();
    // Two companies of form ENC in 2005; VENTAS for both in 2005, only for E1 in 2004.
    App().CnSql.Execute(
        "INSERT INTO SE_ESTRUCTURAS (Est_IdArchivo, Est_Campo, Est_Tipo) Values(1, 'VENTAS', 'Numeric')\r\n"
        "INSERT INTO SE_MUESTRA_PADRON (CUIT, FormSector, Periodo, unico) Values(1, 'ENC', 2005, 'E1'), "
        "(2, 'ENC', 2005, 'E2')\r\n"
        "INSERT INTO SE_NOVEDAD (FormSector, Empresa, Periodo, Campo, ValorInt, ValorDbl) Values"
        "('ENC', 'E1', 2005, 'VENTAS', 0, 12.5), ('ENC', 'E2', 2005, 'VENTAS', 30, 0), "
        "('ENC', 'E1', 2004, 'VENTAS', 0, 10)");
  }

  void GenerarAmbos(const std::vector<Token>& tokens, Estilo estilo) {
    for (Procedimiento cual : {Procedimiento::kCompanias, Procedimiento::kEmpresa}) {
      const Generacion g = Generar(App(), cual, tokens, 5, estilo);
      ASSERT_TRUE(g.exito) << g.motivo;
    }
  }

  // The results of formula 5 after running P5 for 2005, by company.
  std::vector<std::string> Correr() {
    App().CnSql.Execute("EXEC P5 @Formulario='ENC', @Periodo=2005, @VPeriodo=2005");
    return Filas("SELECT RE_Empresa, RE_Valor FROM SE_RESULTADO WHERE Id_FA = 5 ORDER BY RE_Empresa");
  }
};

// Total: SUM(VENTAS) / 2 for every company, (12.5 + 30) / 2.
TEST_F(Procedimientos, UnaFormulaTotalDaElMismoValorATodas) {
  ASSERT_NO_FATAL_FAILURE(GenerarAmbos({F("SUM(VENTAS)", kArgCampo, "VENTAS"), O('/'), N('2')}, Estilo::kTotal));
  EXPECT_EQ(Correr(), (std::vector<std::string>{"E1|21.25", "E2|21.25"}));
  EXPECT_TRUE(Ui().Messages().empty());
  EXPECT_TRUE(EntradasLog().empty());
}

TEST_F(Procedimientos, UnaCreacionQueFallaDejaLosProcedimientosAnteriores) {
  // VENTAS * 2 - VENTAS_1: E1 12.5 * 2 - 10 = 15; E2 30 * 2 - 0 (no 2004 value) = 60.
  ASSERT_NO_FATAL_FAILURE(GenerarAmbos({C("VENTAS"), O('*'), N('2'), O('-'), C("VENTAS_1")}, Estilo::kPorEmpresa));

  // An opening parenthesis never closed passes the generator and fails on the server when the
  // main procedure is created, after the old procedures were dropped.
  const Generacion fallida =
      Generar(App(), Procedimiento::kCompanias, {PA(), C("VENTAS")}, 5, Estilo::kPorEmpresa);
  EXPECT_FALSE(fallida.exito);
  EXPECT_TRUE(fallida.motivo.starts_with("(")) << fallida.motivo;
  const std::vector<std::string> entradas = EntradasLog();
  ASSERT_EQ(entradas.size(), 1u);
  EXPECT_TRUE(test_support::FormaDeEntrada(entradas[0])) << entradas[0];
  EXPECT_TRUE(entradas[0].ends_with("\r\nFrmFormulas (G_Store_Procedure)")) << entradas[0];

  EXPECT_EQ(Filas("SELECT name FROM dbo.sysobjects WHERE name LIKE 'P5%' ORDER BY name"),
            (std::vector<std::string>{"P5", "P5_Emp", "P5_T", "P5Emp_T"}));
  // Both old procedures still run: for one company, and for all.
  App().CnSql.Execute("EXEC P5_Emp @Formulario='ENC', @Periodo=2005, @VPeriodo=2005, @VEmpresa='E2'");
  EXPECT_EQ(Filas("SELECT RE_Empresa, RE_Valor FROM SE_RESULTADO WHERE Id_FA = 5"), (std::vector<std::string>{"E2|60"}));
  EXPECT_EQ(Correr(), (std::vector<std::string>{"E1|15", "E2|60"}));
  // The connection is usable and outside any transaction afterwards.
  App().CnSql.BeginTrans();
  App().CnSql.CommitTrans();
}

}  // namespace
}  // namespace formulas
