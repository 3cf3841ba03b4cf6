// The function catalogue of the editor.
#include "formulas/funciones.h"

namespace formulas {

std::string Funcion::Mensaje() const { return std::string(linea1) + "\r\n" + linea2; }

std::string Funcion::Texto(const std::string& t) const { return std::string(nombre) + "(" + t + cierre; }

const std::vector<Funcion>& Funciones() {
  static const std::vector<Funcion> funciones = {
      {"CmdSum", "SUM", "SUM", "SUM( campo )", {"campo"}, false, true, true, true,
       "Devuelve la suma de una expresión numérica evaluada sobre un conjunto.",
       "Campo = Nombre del campo a ser sumarizado.", ")"},
      {"CmdAvg", "AVG", "AVG", "AVG(campo)", {"campo"}, false, true, true, true,
       "Devuelve el promedio de una expresión numérica evaluada sobre un conjunto.",
       "Campo = Campo a ser evaluado.", ")"},
      {"CmdCount", "COUNT", "COUNT", "COUNT( campo )", {"campo"}, false, true, true, true,
       "Devuelve el número de elementos de una colección, según cual sea ésta.",
       "Campo = Por medio de este campo se mide la cantidad de items.", ")"},
      {"CmdMediana", "MEDIANA", "MEDIANA", "MEDIANA( campo )", {"campo"}, false, true, true, true,
       "Devuelve el Valor del elementos del punto medio de la colección.",
       "Campo = Por medio de este campo se mide la cantidad de items.", ")"},
      {"CmdPCuartil", "1er CUARTIL", "PCUARTIL", "PCUARTIL( campo )", {"campo"}, false, true, true,
       true,
       "Devuelve el Valor de la mediana del elemento que esta en la primera mitad de los valores.",
       "Campo = Por medio de este campo se mide la cantidad de items.", ")"},
      {"CmdTCuartil", "3er CUARTIL", "TCUARTIL", "TCUARTIL( campo )", {"campo"}, false, true, true,
       true,
       "Devuelve el Valor de la mediana del elemento que esta en la segunda mitad de los valores.",
       "Campo = Por medio de este campo se mide la cantidad de items.", ")"},
      {"CmdStdev", "STDEV", "STDEV", "STDEV( expresion )", {"expresion"}, false, true, true, true,
       "Devuelve la desviación típica estadística de todos los valores de la expresión especificada.",
       "Expression = Es una expresión numérica.", ")"},
      {"CmdVar", "VAR", "VAR", "VAR( expression )", {"expresion"}, false, true, true, false,
       "Devuelve la varianza estadística de todos los valores de la expresión dada.",
       "Expression = Es una expresión numérica.", ")"},
      {"CmdSQRT", "SQRT", "SQRT", "SQRT(float_expression)", {"float_expression"}, true, true, true,
       true, "Devuelve la raíz cuadrada de la expresión especificada.",
       "float_expression= Es una expresión de tipo float. ", ")"},
      {"CmdRound", "ROUND", "ROUND", "ROUND(numeric_expression)", {"numeric_expression"}, true,
       true, true, false,
       "Devuelve una expresión numérica, redondeada a la longitud o precisión especificada.",
       "numeric_expression= Es una expresión de la categoría de tipo de datos numérico exacto o "
       "numérico aproximado",
       ",0)"},
      {"CmdPower", "POWER", "POWER", "POWER(numeric_expression , y)", {"numeric_expression", "y"},
       true, true, true, true,
       "Devuelve el valor de la expresión indicada elevada a la potencia especificada.",
       "numeric_expression= Es una expresión de la categoría de tipo de datos numérico exacto o "
       "numérico aproximado, excepto para el tipo de datos bit\r\ny=Es la potencia a la que se "
       "eleva numeric_expression. y puede ser una expresión de la categoría de tipos de datos "
       "numérico exacto o numérico aproximado, excepto el tipo de datos bit.",
       ")"},
      {"CmdExp", "EXP", "EXP", "EXP(float_expression)", {"float_expression"}, true, true, true,
       false, "Devuelve el valor exponencial de la expresión float dada.",
       "float_expression= Ingresar un valor numerico o bien un campo", ")"},
      {"CmdAbs", "ABS", "ABS", "ABS(numeric_expression)", {"numeric_expression"}, true, true, true,
       true, "Devuelve el valor absoluto, positivo de la expresión numérica dada.",
       "numeric_expression= Ingresar un valor numerico o bien un campo", ")"},
  };
  return funciones;
}

bool EsAgregado(const std::string& dato) {
  const std::string nombre = dato.substr(0, dato.find('('));
  return nombre == "SUM" || nombre == "AVG" || nombre == "COUNT" || nombre == "STDEV" || nombre == "VAR";
}

}  // namespace formulas
