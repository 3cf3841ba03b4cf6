// The line list: layout, grammar and the conversions to and from SE_SECUENCIA rows.
#include "sequences/lineas.h"

#include "platform/runtime/conversions.h"
#include "platform/runtime/text.h"
#include "platform/ui/controls.h"

namespace sequences {
namespace {

constexpr int kAnchos[kCeldas] = {400, 600, 3000, 600, 800, 1, 1, 1, 1, 300};
constexpr char kCrLf[] = "\r\n";
constexpr char kRevisar[] = "Revisar por el Nº de Orden ";

void Vaciar(ui::Grid& lista, int columnas) {
  lista.SetFixedRows(0);
  lista.SetFixedCols(0);
  lista.SetCols(columnas);
  lista.SetRows(1);
  lista.Clear();
  lista.SetRow(0);
  lista.SetCol(0);
}

}  // namespace

void PrepararLista(ui::Grid& lista) {
  Vaciar(lista, kCeldas);
  for (int c = 0; c < kCeldas; ++c) lista.SetColWidth(c, kAnchos[c]);
  lista.SetColAlignment(kMarca, ui::Grid::kCenterCenter);
}

void PrepararVariables(ui::Grid& lista) { Vaciar(lista, 2); }

bool ListaVacia(const ui::Grid& lista) { return lista.Rows() == 1 && lista.TextMatrix(0, kOrden).empty(); }

int16_t CondicionesAbiertas(const ui::Grid& lista) {
  int16_t abiertas = 0;
  for (int fila = 0; fila < lista.Rows(); ++fila) {
    const std::string& condicion = lista.TextMatrix(fila, kCondicion);
    if (condicion == kSi) abiertas = 1;
    if (condicion == kFSi) abiertas = 0;
  }
  return abiertas;
}

void Renumerar(ui::Grid& lista) {
  if (ListaVacia(lista)) return;
  for (int fila = 0; fila < lista.Rows(); ++fila) lista.SetTextMatrix(fila, kOrden, std::to_string(fila + 1));
}

std::string ProblemaDeCondiciones(const ui::Grid& lista) {
  bool bloque = false;
  bool encadenado = false;
  for (int fila = 0; fila < lista.Rows(); ++fila) {
    const std::string& condicion = lista.TextMatrix(fila, kCondicion);
    const std::string& numero = lista.TextMatrix(fila, kOrden);
    if (condicion == kFSi) {
      if (!bloque) return std::string("Problemas con el fin de condicion") + kCrLf + kRevisar + numero;
      bloque = false;
    } else if (condicion == kSi) {
      if (bloque) {
        return std::string("Problema en la condicion") + kCrLf + "Falta la condicion de Fin" + kCrLf + kRevisar +
               numero;
      }
      bloque = true;
    } else if (condicion == kAnd) {
      const std::string anterior = fila > 0 ? lista.TextMatrix(fila - 1, kCondicion) : "";
      const bool valida = (anterior == kSi && !encadenado) || (anterior == kAnd && encadenado && bloque);
      if (!valida) return std::string("Error en la condicion") + kCrLf + kRevisar + numero;
      encadenado = true;
    } else if (condicion.empty()) {
      encadenado = false;
    }
  }
  if (bloque) return "No se ha cerrado alguna condicion";
  return "";
}

std::string OperandoGuardado(const std::string& display, const std::string& id) {
  if (runtime::IsNumeric(display)) return display;
  return id.empty() ? "Null" : id;
}

std::string InsertsDeLineas(const ui::Grid& lista, const std::string& id) {
  if (ListaVacia(lista)) return "";
  std::string lote;
  for (int fila = 0; fila < lista.Rows(); ++fila) {
    auto celda = [&](int c) -> const std::string& { return lista.TextMatrix(fila, c); };
    lote += "INSERT INTO SE_SECUENCIA (S_IDSECCAB, S_ORDEN, S_CONDIC, S_IDFORMCAB1, S_IDFORMCAB2, S_OPERADOR, "
            "S_TIPVAR1, S_TIPVAR2, S_MARCA) VALUES(" +
            id + ", " + celda(kOrden) + ", " + runtime::SqlText(celda(kCondicion)) + ", " +
            OperandoGuardado(celda(kOperando1), celda(kId1)) + ", " +
            OperandoGuardado(celda(kOperando2), celda(kId2)) + ", " + runtime::SqlText(celda(kOperador)) + ", " +
            runtime::SqlText(celda(kTipo1)) + ", " + runtime::SqlText(celda(kTipo2)) + ", " +
            runtime::SqlText(runtime::Trim(celda(kMarca))) + ")" + kCrLf;
  }
  return lote;
}

void EscribirLineaGuardada(ui::Grid& lista, int fila, const LineaGuardada& linea, const std::string& operando1) {
  using runtime::JoinText;
  lista.SetTextMatrix(fila, kOrden, JoinText(linea.orden));
  lista.SetTextMatrix(fila, kCondicion, JoinText(linea.condicion));
  lista.SetTextMatrix(fila, kOperando1, operando1);
  lista.SetTextMatrix(fila, kOperador, JoinText(linea.operador));
  lista.SetTextMatrix(fila, kOperando2, JoinText(linea.id2));
  lista.SetTextMatrix(fila, kId1, JoinText(linea.id1));
  lista.SetTextMatrix(fila, kId2, JoinText(linea.id2));
  lista.SetTextMatrix(fila, kTipo1, JoinText(linea.tipo1));
  lista.SetTextMatrix(fila, kTipo2, JoinText(linea.tipo2));
  lista.SetTextMatrix(fila, kMarca, JoinText(linea.marca));
}

}  // namespace sequences
