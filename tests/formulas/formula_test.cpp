// The editor's working set: the display text as tokens come and go, the previous-year mark on
// every kind of last token, and what "Retroceder" gives back (open parentheses, the counter of
// result-variable references).
#include <gtest/gtest.h>

#include "formulas/formula.h"
#include "tests/formulas/tokens.h"

namespace formulas {
namespace {

using namespace prueba;

Formula Con(const std::vector<Token>& tokens) {
  Formula formula;
  for (const Token& token : tokens) formula.Agregar(token);
  return formula;
}

TEST(Formula, ElDisplaySigueALosTokens) {
  Formula formula = Con({PA(), C("VENTAS"), O('/'), N('0'), N('.'), N('5'), PC()});
  // The first "(" shows without its blank; its token keeps it.
  EXPECT_EQ(formula.Display(), "(VENTAS / 0.5) ");
  EXPECT_EQ(formula[1].FM_Dato, " (");
  EXPECT_EQ(formula.CantidadTokens(), 7);
  EXPECT_EQ(formula.UltimoTipo(), kCierraParentesis);
  EXPECT_EQ(formula.ParentesisAbiertos(), 0);
  EXPECT_TRUE(formula.DuplDato("VENTAS"));
  EXPECT_FALSE(formula.DuplDato("VENTAS_1"));

  // "Retroceder" rebuilds the display from the token texts, blank of the first "(" included.
  EXPECT_EQ(formula.Retroceder(), PC());
  EXPECT_EQ(formula.ParentesisAbiertos(), 1);
  EXPECT_EQ(formula.Display(), " (VENTAS / 0.5");
  EXPECT_EQ(formula.UltimoTipo(), kNumero);
  while (formula.CantidadTokens() > 0) formula.Retroceder();
  EXPECT_EQ(formula.ParentesisAbiertos(), 0);
  EXPECT_EQ(formula.UltimoTipo(), "");
  EXPECT_EQ(formula.Retroceder(), Token{});
  EXPECT_EQ(formula.CantidadTokens(), 0);
}

TEST(Formula, AnioAnteriorSobreElUltimoToken) {
  struct Caso {
    const char* nombre;
    std::vector<Token> tokens;
    bool cambia;
    Token ultimo;         // the last token afterwards
    std::string display;  // the display afterwards
  };
  const std::vector<Caso> casos = {
      {"field", {N('2'), O('*'), C("VENTAS")}, true, C("VENTAS_1"), "2 * VENTAS_1"},
      {"result variable", {V("TOTAL")}, true, V("TOTAL_1"), "TOTAL_1"},
      {"sample column", {M("Mues")}, true, M("Mues_1"), "Mues_1"},
      {"already previous year", {C("VENTAS_1")}, false, C("VENTAS_1"), "VENTAS_1"},
      {"function over a field", {C("A"), O('+'), F("SUM(VENTAS)", kArgCampo, "VENTAS")}, true,
       F("SUM(VENTAS_1)", kArgCampo, "VENTAS_1"), "A + SUM(VENTAS_1)"},
      {"function over a variable", {F("AVG(TOTAL)", kArgVariable, "TOTAL")}, true,
       F("AVG(TOTAL_1)", kArgVariable, "TOTAL_1"), "AVG(TOTAL_1)"},
      // The mark goes on the argument, not after ROUND's ",0".
      {"round", {F("ROUND(VENTAS,0)", kArgCampo, "VENTAS")}, true, F("ROUND(VENTAS_1,0)", kArgCampo, "VENTAS_1"),
       "ROUND(VENTAS_1,0)"},
      {"power", {PA(), F("POWER(VENTAS,2)", kArgCampo, "VENTAS")}, true,
       F("POWER(VENTAS_1,2)", kArgCampo, "VENTAS_1"), " (POWER(VENTAS_1,2)"},
      {"function already marked", {F("SUM(VENTAS_1)", kArgCampo, "VENTAS_1")}, false,
       F("SUM(VENTAS_1)", kArgCampo, "VENTAS_1"), "SUM(VENTAS_1)"},
      {"power already marked", {F("POWER(VENTAS_1,2)", kArgCampo, "VENTAS_1")}, false,
       F("POWER(VENTAS_1,2)", kArgCampo, "VENTAS_1"), "POWER(VENTAS_1,2)"},
      {"function over a constant", {F("SQRT(4)", kArgConstante, "4")}, false, F("SQRT(4)", kArgConstante, "4"),
       "SQRT(4)"},
      {"operator", {C("A"), O('+')}, false, O('+'), "A + "},
      {"number", {N('7')}, false, N('7'), "7"},
  };
  for (const Caso& caso : casos) {
    SCOPED_TRACE(caso.nombre);
    Formula formula = Con(caso.tokens);
    EXPECT_EQ(formula.MarcarAnioAnterior(), caso.cambia);
    EXPECT_EQ(formula[formula.CantidadTokens()], caso.ultimo);
    EXPECT_EQ(formula.Display(), caso.display);
  }
  Formula vacia;
  EXPECT_FALSE(vacia.MarcarAnioAnterior());
}

// A POWER call marked after a later POWER call was removed keeps its own exponent.
TEST(Formula, PowerMarcadoConservaSuExponente) {
  Formula formula = Con({F("POWER(VENTAS,2)", kArgCampo, "VENTAS"), O('+')});
  formula.par_power = {"COSTOS", "3"};  // what a later POWER call left
  formula.Retroceder();
  ASSERT_TRUE(formula.MarcarAnioAnterior());
  EXPECT_EQ(formula[1].FM_Dato, "POWER(VENTAS_1,2)");
}

TEST(Formula, RetrocederDescuentaReferenciasAVariables) {
  Formula formula = Con({V("TOTAL"), O('+'), F("SUM(MONTO)", kArgVariable, "MONTO"), O('-'), C("VENTAS")});
  formula.cdor_v_resul = 2;
  std::vector<int> contador;
  while (formula.CantidadTokens() > 0) {
    formula.Retroceder();
    contador.push_back(formula.cdor_v_resul);
  }
  // The field and the operators leave it; SUM over a variable and the variable take one each.
  EXPECT_EQ(contador, (std::vector<int>{2, 2, 1, 1, 0}));
}

}  // namespace
}  // namespace formulas
