// The type-code table behind NombreTipo and SufijoTipo: one row per ADO code the catalogue knows.
#include "intake/tipos.h"

#include <array>

namespace intake {
namespace {

struct Tipo {
  int codigo;
  const char* nombre;
  const char* sufijo;
};

// Binary (128) counts as a whole number, as the catalogue always treated it.
constexpr std::array<Tipo, 16> kTipos{{
    {2, "SmallInt", "Int"},   {3, "Integer", "Int"},  {4, "Single", "Dbl"},
    {5, "Double", "Dbl"},     {6, "Currency", "Dbl"}, {7, "Date", "Dte"},
    {8, "Bstr", "Str"},       {12, "Variant", "Var"}, {14, "Decimal", "Dbl"},
    {16, "TinyInt", "Int"},   {20, "BigInt", "Int"},  {128, "Binary", "Int"},
    {129, "Char", "Str"},     {131, "Numeric", "Dbl"}, {133, "DateTime", "Dte"},
    {200, "VarChar", "Str"},
}};

const Tipo* Buscar(int codigo) {
  for (const Tipo& tipo : kTipos) {
    if (tipo.codigo == codigo) return &tipo;
  }
  return nullptr;
}

}  // namespace

std::string NombreTipo(int tipo) {
  const Tipo* encontrado = Buscar(tipo);
  return encontrado ? encontrado->nombre : "";
}

std::string SufijoTipo(int tipo) {
  const Tipo* encontrado = Buscar(tipo);
  return encontrado ? encontrado->sufijo : "";
}

}  // namespace intake
