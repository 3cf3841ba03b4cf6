// The line list on its own: the block grammar checked before storing and the stored operand.
#include <gtest/gtest.h>

#include "platform/ui/form.h"
#include "sequences/lineas.h"

namespace sequences_test {
namespace {

TEST(Lista, LaGramaticaDeBloquesNombraLaPrimeraLineaEnFalta) {
  ui::Form form("Prueba");
  ui::Grid grilla(form, "FGSecuencia");
  const std::string revisar = "\r\nRevisar por el Nº de Orden ";
  const struct {
    std::vector<std::string> condiciones;
    std::string problema;
    int abiertas;
  } casos[] = {
      {{}, "", 0},
      {{"Si", "", "FSi", "Si", "", "FSi"}, "", 0},
      {{"Si", "And", "And", "", "FSi", "", "Si", "And", "", "FSi"}, "", 0},
      {{"Si", "Si", "", "FSi"}, "Problema en la condicion\r\nFalta la condicion de Fin" + revisar + "2", 0},
      {{"Si", "", "And", "", "FSi"}, "Error en la condicion" + revisar + "3", 0},
      {{"And", ""}, "Error en la condicion" + revisar + "1", 0},
      {{"", "Si", "", "FSi", "FSi"}, "Problemas con el fin de condicion" + revisar + "5", 0},
      {{"", "Si", ""}, "No se ha cerrado alguna condicion", 1},
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(::testing::PrintToString(caso.condiciones));
    sequences::PrepararLista(grilla);
    for (int i = 0; i < static_cast<int>(caso.condiciones.size()); ++i) {
      if (i > 0) grilla.AddItem("");
      grilla.SetTextMatrix(i, 0, std::to_string(i + 1));
      grilla.SetTextMatrix(i, 1, caso.condiciones[i]);
      grilla.SetTextMatrix(i, 2, "TOTAL");
    }
    EXPECT_EQ(sequences::ProblemaDeCondiciones(grilla), caso.problema);
    EXPECT_EQ(sequences::CondicionesAbiertas(grilla), caso.abiertas);
    // The empty list stores no line.
    EXPECT_EQ(sequences::InsertsDeLineas(grilla, "7").empty(), caso.condiciones.empty());
  }
}

// A number shown wins over whatever the row's hidden cell holds.
TEST(Lista, UnOperandoSeGuardaComoElNumeroMostradoOSuIdentificador) {
  EXPECT_EQ(sequences::OperandoGuardado("12.5", "99") + " " + sequences::OperandoGuardado("TOTAL (Total ventas) ", "1") +
                " " + sequences::OperandoGuardado("", ""),
            "12.5 1 Null");
}

}  // namespace
}  // namespace sequences_test
