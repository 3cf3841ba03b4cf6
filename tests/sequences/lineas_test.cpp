// The line list on its own: the block grammar checked before storing and the rows it stores.
#include <gtest/gtest.h>

#include <sstream>

#include "platform/ui/form.h"
#include "sequences/lineas.h"

namespace sequences_test {
namespace {

class Lista : public ::testing::Test {
 protected:
  // One line per entry, cells separated by "|"; no entry leaves the empty list.
  void Cargar(const std::vector<std::string>& lineas) {
    sequences::PrepararLista(grilla_);
    for (size_t i = 0; i < lineas.size(); ++i) {
      if (i > 0) grilla_.AddItem("");
      std::istringstream celdas(lineas[i]);
      std::string celda;
      for (int c = 0; std::getline(celdas, celda, '|'); ++c) grilla_.SetTextMatrix(static_cast<int>(i), c, celda);
    }
  }
  ui::Form form_{"Prueba"};
  ui::Grid grilla_{form_, "FGSecuencia"};
};

TEST_F(Lista, LaGramaticaDeBloquesNombraLaPrimeraLineaEnFalta) {
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
    std::vector<std::string> lineas;
    for (const std::string& condicion : caso.condiciones) {
      lineas.push_back(std::to_string(lineas.size() + 1) + "|" + condicion + "|TOTAL");
    }
    Cargar(lineas);
    EXPECT_EQ(sequences::ProblemaDeCondiciones(grilla_), caso.problema);
    EXPECT_EQ(sequences::CondicionesAbiertas(grilla_), caso.abiertas);
  }
}

TEST_F(Lista, UnaLineaGuardaElNumeroMostradoAntesQueElIdentificador) {
  Cargar({});
  EXPECT_EQ(sequences::InsertsDeLineas(grilla_, "7"), "");
  Cargar({"1||TOTAL (Total ventas) |||1||F||", "2|Si|Estado|>|5|10||M|N| * ", "3|And|12.5|<|MARGEN |99|2|N|F|",
          "4|FSi||||||N|N|"});
  const std::string insert =
      "INSERT INTO SE_SECUENCIA (S_IDSECCAB, S_ORDEN, S_CONDIC, S_IDFORMCAB1, S_IDFORMCAB2, S_OPERADOR, S_TIPVAR1, "
      "S_TIPVAR2, S_MARCA) VALUES(7, ";
  EXPECT_EQ(sequences::InsertsDeLineas(grilla_, "7"),
            insert + "1, '', 1, Null, '', 'F', '', '')\r\n" + insert + "2, 'Si', 10, 5, '>', 'M', 'N', '*')\r\n" +
                insert + "3, 'And', 12.5, 2, '<', 'N', 'F', '')\r\n" + insert +
                "4, 'FSi', Null, Null, '', 'N', 'N', '')\r\n");
}

}  // namespace
}  // namespace sequences_test
