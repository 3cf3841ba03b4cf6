// The runner's reading of stored lines and the checks made before a run.
#include "runner/lineas_corrida.h"

#include <array>
#include <cmath>
#include <cstdint>

#include "platform/runtime/conversions.h"
#include "sequences/lineas.h"

namespace runner {
namespace {

constexpr std::array<const char*, 6> kOperadores{"=", ">", "<", "<=", ">=", "<>"};

std::string Rechazo(const std::string& motivo, const LineaCorrida& linea) {
  return "No se puede correr la Secuencia: " + motivo + "\r\nRevisar por el Nº de Orden " +
         runtime::JoinText(linea.orden);
}

// A formula id: a whole number from 1 on.
bool EsFormula(const runtime::Valor& valor) {
  const std::optional<int> id = Entero(valor);
  return id && *id >= 1;
}

bool OperadorConocido(const std::string& operador) {
  for (const char* conocido : kOperadores) {
    if (operador == conocido) return true;
  }
  return false;
}

std::string ProblemaDeCondicion(const LineaCorrida& linea, int columnas_muestra) {
  if (linea.tipo1 != sequences::kFormula && linea.tipo1 != sequences::kMuestra) {
    return Rechazo("la condicion debe comparar una formula (F) o una columna de la muestra (M)", linea);
  }
  if (!OperadorConocido(linea.operador)) {
    return Rechazo("el operador '" + linea.operador + "' no es uno de =, <>, <, >, <=, >=", linea);
  }
  // A roll column number is its position from 0 minus one: -1 is the first column.
  const std::optional<int> columna = Entero(linea.id1);
  const bool izquierdo_valido = linea.tipo1 == sequences::kFormula ? EsFormula(linea.id1)
                                                   : columna && *columna >= -1 &&
                                                         *columna + 1 < columnas_muestra;
  if (!izquierdo_valido) return Rechazo("el operando izquierdo no es valido", linea);
  const bool derecho_valido =
      (linea.tipo2 == sequences::kFormula && EsFormula(linea.id2)) ||
      (linea.tipo2 == sequences::kNumero && !linea.id2.IsNull() && runtime::IsNumeric(linea.id2));
  if (!derecho_valido) return Rechazo("el operando derecho no es valido", linea);
  return "";
}

}  // namespace

Clase ClaseDe(const LineaCorrida& linea) {
  if (linea.condicion.IsNull()) return Clase::kOtra;
  const std::string condicion = runtime::JoinText(linea.condicion);
  if (condicion.empty()) return Clase::kFormula;
  if (condicion == sequences::kSi) return Clase::kSi;
  if (condicion == sequences::kAnd) return Clase::kAnd;
  if (condicion == sequences::kFSi) return Clase::kFSi;
  return Clase::kOtra;
}

std::optional<int> Entero(const runtime::Valor& valor) {
  if (valor.IsNull() || valor.IsEmpty() || !runtime::IsNumeric(valor)) return std::nullopt;
  const double numero = runtime::CDbl(valor);
  if (numero != std::floor(numero) || numero < INT32_MIN || numero > INT32_MAX) return std::nullopt;
  return static_cast<int>(numero);
}

bool UsaMuestra(const std::vector<LineaCorrida>& lineas) {
  for (const LineaCorrida& linea : lineas) {
    const Clase clase = ClaseDe(linea);
    if ((clase == Clase::kSi || clase == Clase::kAnd) && linea.tipo1 == sequences::kMuestra) return true;
  }
  return false;
}

std::string ProblemaDeSecuencia(const std::vector<LineaCorrida>& lineas, int columnas_muestra) {
  for (size_t i = 0; i < lineas.size(); ++i) {
    const Clase clase = ClaseDe(lineas[i]);
    if (clase == Clase::kFormula && !EsFormula(lineas[i].id1)) return Rechazo("falta la formula", lineas[i]);
    if (clase != Clase::kSi) continue;
    const LineaCorrida& si = lineas[i];
    bool formulas = false;
    size_t j = i;
    for (; j < lineas.size() && ClaseDe(lineas[j]) != Clase::kFSi; ++j) {
      const Clase dentro = ClaseDe(lineas[j]);
      if (dentro == Clase::kSi || dentro == Clase::kAnd) {
        const std::string problema = ProblemaDeCondicion(lineas[j], columnas_muestra);
        if (!problema.empty()) return problema;
      } else if (dentro == Clase::kFormula) {
        if (!EsFormula(lineas[j].id1)) return Rechazo("falta la formula", lineas[j]);
        formulas = true;
      }
    }
    if (j == lineas.size()) return Rechazo("la condicion no se cierra con FSi", si);
    if (!formulas) return Rechazo("la condicion no tiene formulas", si);
    i = j;
  }
  return "";
}

}  // namespace runner
