// The line list of a sequence as the editor holds it (one grid row of ten text cells per line)
// and its two conversions: grid rows to the INSERT statements of SE_SECUENCIA, stored rows back
// to grid rows. Also the condition grammar the editor checks before storing. Part of
// consolida_sequences; works on grid models only: no database, no messages.
#pragma once

#include <cstdint>
#include <string>

#include "platform/runtime/valor.h"

namespace ui {
class Grid;
}

namespace sequences {

// The cells of a line.
enum Celda {
  kOrden = 0,       // line number from 1 (S_ORDEN)
  kCondicion = 1,   // "Si", "And", "FSi" or "" for a formula line (S_CONDIC)
  kOperando1 = 2,   // display text of the left operand or of the formula
  kOperador = 3,    // S_OPERADOR
  kOperando2 = 4,   // display text of the right operand
  kId1 = 5,         // hidden: Id_formCab or the stored roll column number; "" for a number
  kId2 = 6,         // hidden: Id_formCab of the right operand; "" for a number
  kTipo1 = 7,       // hidden: "F", "M" or "N" (S_TIPVAR1)
  kTipo2 = 8,       // hidden: "F", "N" or "" (S_TIPVAR2)
  kMarca = 9,       // "*" or ""
};
inline constexpr int kCeldas = 10;

// Operand kinds.
inline constexpr const char* kFormula = "F";
inline constexpr const char* kMuestra = "M";
inline constexpr const char* kNumero = "N";

// Condition words.
inline constexpr const char* kSi = "Si";
inline constexpr const char* kAnd = "And";
inline constexpr const char* kFSi = "FSi";

// Makes `lista` an empty line list: one row of ten empty cells, no fixed rows or columns, the
// column widths in twips (the hidden ones 1 twip wide) and the mark column centred.
void PrepararLista(ui::Grid& lista);
// Makes `lista` the empty variable list: one row of two empty cells, no fixed rows or columns.
void PrepararVariables(ui::Grid& lista);

// True when the list holds no line: its only row has an empty number cell.
bool ListaVacia(const ui::Grid& lista);

// The number of condition blocks left open after the last line: 1 when a "Si" line has no
// "FSi" line after it, else 0.
int16_t CondicionesAbiertas(const ui::Grid& lista);

// Rewrites every line's number as its position from 1.
void Renumerar(ui::Grid& lista);

// The fault that keeps the list from being stored, as the user is told it ("" when the list is
// well formed): an "FSi" without an open block, a "Si" inside an open block, an "And" that does
// not follow the "Si" or another "And" of its block, a block still open at the end.
std::string ProblemaDeCondiciones(const ui::Grid& lista);

// An operand as SE_SECUENCIA stores it: the display text itself when it is a number, else the
// hidden identifier, else the word Null.
std::string OperandoGuardado(const std::string& display, const std::string& id);

// The INSERT INTO SE_SECUENCIA statement of every line of `lista` for header `id`, each
// followed by CR LF; "" for the empty list. Texts go through the literal helper.
std::string InsertsDeLineas(const ui::Grid& lista, const std::string& id);

// One row of SE_SECUENCIA as the editor reloads it.
struct LineaGuardada {
  runtime::Valor orden, condicion, id1, id2, operador, tipo1, tipo2, marca;
};

// Writes stored line `linea` into row `fila`; `operando1` is the display text of the left
// operand (the formula's or roll column's name looked up by the caller, "" when not found).
void EscribirLineaGuardada(ui::Grid& lista, int fila, const LineaGuardada& linea, const std::string& operando1);

}  // namespace sequences
