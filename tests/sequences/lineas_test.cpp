// The line list on its own: the block grammar checked before storing, and the two conversions
// between grid rows and SE_SECUENCIA rows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ui/form.h"
#include "sequences/lineas.h"

namespace sequences_test {
namespace {

using runtime::Valor;

class Lista : public ::testing::Test {
 protected:
  Lista() { sequences::PrepararLista(grilla_); }
  // One line per entry, its cells separated by "|"; "" leaves the empty list.
  void Cargar(const std::vector<std::string>& lineas) {
    for (size_t i = 0; i < lineas.size(); ++i) {
      if (i > 0) grilla_.AddItem("");
      size_t desde = 0;
      for (int c = 0; c < sequences::kCeldas && desde <= lineas[i].size(); ++c) {
        size_t fin = lineas[i].find('|', desde);
        if (fin == std::string::npos) fin = lineas[i].size();
        grilla_.SetTextMatrix(static_cast<int>(i), c, lineas[i].substr(desde, fin - desde));
        desde = fin + 1;
      }
    }
  }
  ui::Form form_{"Prueba"};
  ui::Grid grilla_{form_, "FGSecuencia"};
};

TEST_F(Lista, LaGramaticaDeBloquesNombraLaPrimeraLineaEnFalta) {
  const std::string revisar = "\r\nRevisar por el Nº de Orden ";
  struct Caso {
    std::vector<std::string> condiciones;
    std::string problema;
    int abiertas;
  } casos[] = {
      {{}, "", 0},
      {{"Si", "", "FSi", "Si", "", "FSi"}, "", 0},
      {{"Si", "And", "And", "", "FSi"}, "", 0},
      {{"Si", "And", "", "FSi", "", "Si", "And", "", "FSi"}, "", 0},
      {{"Si", "Si", "", "FSi"}, "Problema en la condicion\r\nFalta la condicion de Fin" + revisar + "2", 0},
      {{"Si", "", "And", "", "FSi"}, "Error en la condicion" + revisar + "3", 0},
      {{"And", "", ""}, "Error en la condicion" + revisar + "1", 0},
      {{"", "Si", "", "FSi", "FSi"}, "Problemas con el fin de condicion" + revisar + "5", 0},
      {{"", "Si", ""}, "No se ha cerrado alguna condicion", 1},
  };
  for (const Caso& caso : casos) {
    SCOPED_TRACE(::testing::PrintToString(caso.condiciones));
    sequences::PrepararLista(grilla_);
    std::vector<std::string> lineas;
    for (size_t i = 0; i < caso.condiciones.size(); ++i) {
      lineas.push_back(std::to_string(i + 1) + "|" + caso.condiciones[i] + "|TOTAL");
    }
    Cargar(lineas);
    EXPECT_EQ(sequences::ProblemaDeCondiciones(grilla_), caso.problema);
    EXPECT_EQ(sequences::CondicionesAbiertas(grilla_), caso.abiertas);
  }
}

TEST_F(Lista, UnaFilaSeGuardaConElNumeroMostradoAntesQueElIdentificador) {
  EXPECT_EQ(sequences::InsertsDeLineas(grilla_, "7"), "");
  Cargar({"1||TOTAL (Total ventas) |||1||F||",
          "2|Si|Estado|>|5|10||M|N| * ",
          "3|And|12.5|<|MARGEN (Margen) |99|2|N|F|",
          "4|FSi||||||N|N|"});
  const std::string insert =
      "INSERT INTO SE_SECUENCIA (S_IDSECCAB, S_ORDEN, S_CONDIC, S_IDFORMCAB1, S_IDFORMCAB2, S_OPERADOR, S_TIPVAR1, "
      "S_TIPVAR2, S_MARCA) VALUES(7, ";
  EXPECT_EQ(sequences::InsertsDeLineas(grilla_, "7"),
            insert + "1, '', 1, Null, '', 'F', '', '')\r\n" +
                insert + "2, 'Si', 10, 5, '>', 'M', 'N', '*')\r\n" +
                insert + "3, 'And', 12.5, 2, '<', 'N', 'F', '')\r\n" +
                insert + "4, 'FSi', Null, Null, '', 'N', 'N', '')\r\n");
}

TEST_F(Lista, UnaFilaGuardadaVuelveALaGrillaComoSeGuardo) {
  grilla_.AddItem("");
  sequences::EscribirLineaGuardada(grilla_, 0,
                                   {Valor::Long(2), Valor::String("Si"), Valor::Double(-1), Valor::Double(12.5),
                                    Valor::String(">="), Valor::String("M"), Valor::String("N"), Valor::Null()},
                                   "Unico");
  sequences::EscribirLineaGuardada(grilla_, 1,
                                   {Valor::Long(3), Valor::String(""), Valor::Double(4), Valor::Null(),
                                    Valor::String(""), Valor::String("F"), Valor::String(""), Valor::String("*")},
                                   "TOTAL (Total ventas)");
  EXPECT_EQ(grilla_.Rows(), 2);
  const std::vector<std::string> esperadas = {"2|Si|Unico|>=|12.5|-1|12.5|M|N|", "3||TOTAL (Total ventas)|||4||F||*"};
  for (int f = 0; f < 2; ++f) {
    std::string fila;
    for (int c = 0; c < sequences::kCeldas; ++c) fila += (c ? "|" : "") + grilla_.TextMatrix(f, c);
    EXPECT_EQ(fila, esperadas[f]);
  }
  sequences::Renumerar(grilla_);
  EXPECT_EQ(grilla_.TextMatrix(0, 0) + grilla_.TextMatrix(1, 0), "12");
}

}  // namespace
}  // namespace sequences_test
