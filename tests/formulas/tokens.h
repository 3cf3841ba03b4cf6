// Tokens as the editor's buttons make them, for the formula tests: one short call per kind.
#pragma once

#include <string>
#include <vector>

#include "formulas/formula.h"

namespace formulas::prueba {

inline Token C(const std::string& campo) { return {campo, kCampo, "", ""}; }
inline Token V(const std::string& variable) { return {variable, kVariable, "", ""}; }
inline Token M(const std::string& columna) { return {columna, kMuestra, "", ""}; }
inline Token O(char op) { return {std::string(" ") + op + " ", kOperador, "", ""}; }
inline Token PA() { return {" (", kAbreParentesis, "", ""}; }
inline Token PC() { return {") ", kCierraParentesis, "", ""}; }
inline Token N(char c) { return {std::string(1, c), kNumero, "", ""}; }
inline Token F(const std::string& dato, const char* tipo, const std::string& argumento) {
  return {dato, kFuncion, tipo, argumento};
}
// The number constant `texto`, one token per character.
inline std::vector<Token> Numero(const std::string& texto) {
  std::vector<Token> tokens;
  for (char c : texto) tokens.push_back(N(c));
  return tokens;
}

}  // namespace formulas::prueba
