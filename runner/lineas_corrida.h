// The lines of a stored sequence as a run reads them (one row of the runner's line query each)
// and the check that refuses, before anything runs, a sequence the run could not carry out
// soundly: a block never closed, a block without formulas, a condition on an operand kind the
// run cannot evaluate, an unknown operator, a missing or malformed operand. Part of
// consolida_runner; pure functions, no database, no messages shown.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/runtime/valor.h"

namespace runner {

// One row of the line query, in S_Orden order.
struct LineaCorrida {
  runtime::Valor orden;      // S_Orden
  runtime::Valor nombre;     // FC_NomVar of the formula joined through S_IdformCab1; Null if none
  runtime::Valor condicion;  // S_Condic: "" formula line, "Si", "And", "FSi"; anything else is passed over
  runtime::Valor id1;        // S_IdformCab1: formula id, or roll column number for kind "M"
  runtime::Valor id2;        // S_IdformCab2: the number compared with, or a formula id for kind "F"
  std::string operador;      // S_Operador
  std::string tipo1;         // S_TipVar1
  std::string tipo2;         // S_TipVar2
  std::string marca;         // S_Marca ("*" or "")
};

// What a line does in the main walk, by its condition word (compared exactly, as stored).
enum class Clase { kFormula, kSi, kAnd, kFSi, kOtra };
Clase ClaseDe(const LineaCorrida& linea);

// The formula id or operand `valor` as a whole number, when it is one: a number (or numeric
// text) with no fraction, inside the 32-bit range. nullopt for Null, text and fractions.
std::optional<int> Entero(const runtime::Valor& valor);

// True when some "Si" or "And" line compares a column of the company roll (kind "M").
bool UsaMuestra(const std::vector<LineaCorrida>& lineas);

// Why the run refuses `lineas`, as the user is told it ("" when it can run). Reads the lines as
// the run walks them: a "Si" line opens a block that ends at the first "FSi" line; "Si" and
// "And" lines inside it are its conditions, formula lines its formulas. Refused, naming the
// line's S_Orden: a block with no "FSi" after it, a block without a formula line, a condition
// whose left operand is not of kind "F" or "M", an operator outside =, <>, <, >, <=, >=, a
// formula line or "F" operand without a whole formula id, an "M" operand that is not a column
// number of a roll of `columnas_muestra` columns, a right operand that is not a number ("N") or
// a formula id ("F"). Lines outside blocks other than formula lines are passed over, as the run
// passes them over.
std::string ProblemaDeSecuencia(const std::vector<LineaCorrida>& lineas, int columnas_muestra);

}  // namespace runner
