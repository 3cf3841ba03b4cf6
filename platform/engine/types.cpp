// The static type rules (see internal/types.h). Result types follow the server's rules:
// int / int stays int, decimal arithmetic widens precision and scale, float wins over decimal,
// a string meeting a number is converted to the number.
#include "platform/engine/internal/types.h"

#include <algorithm>

namespace engine {
namespace {

// Type of a numeric operand seen as decimal(p, s), for the decimal arithmetic rules.
void AsDecimal(const SqlType& t, int* p, int* s) {
  switch (t.kind) {
    case TypeKind::kNumeric:
      *p = t.precision;
      *s = t.scale;
      return;
    case TypeKind::kBigInt:
      *p = 19;
      break;
    case TypeKind::kSmallInt:
      *p = 5;
      break;
    case TypeKind::kTinyInt:
      *p = 3;
      break;
    case TypeKind::kBit:
      *p = 1;
      break;
    default:
      *p = 10;
      break;
  }
  *s = 0;
}

}  // namespace

bool IsStringType(const SqlType& t) { return t.kind == TypeKind::kChar || t.kind == TypeKind::kVarChar; }
bool IsIntegerType(const SqlType& t) {
  return t.kind == TypeKind::kBit || t.kind == TypeKind::kTinyInt || t.kind == TypeKind::kSmallInt ||
         t.kind == TypeKind::kInt || t.kind == TypeKind::kBigInt;
}

int TypePrecedence(const SqlType& t) {
  switch (t.kind) {
    case TypeKind::kDateTime: return 11;
    case TypeKind::kFloat: return 10;
    case TypeKind::kReal: return 9;
    case TypeKind::kNumeric: return 8;
    case TypeKind::kBigInt: return 7;
    case TypeKind::kInt: return 6;
    case TypeKind::kSmallInt: return 5;
    case TypeKind::kTinyInt: return 4;
    case TypeKind::kBit: return 3;
    case TypeKind::kVarChar: return 2;
    case TypeKind::kChar: return 1;
  }
  return 0;
}

std::string TypeName(const SqlType& t) {
  switch (t.kind) {
    case TypeKind::kBit: return "bit";
    case TypeKind::kTinyInt: return "tinyint";
    case TypeKind::kSmallInt: return "smallint";
    case TypeKind::kInt: return "int";
    case TypeKind::kBigInt: return "bigint";
    case TypeKind::kReal: return "real";
    case TypeKind::kFloat: return "float";
    case TypeKind::kNumeric: return "numeric";
    case TypeKind::kChar: return "char";
    case TypeKind::kVarChar: return "varchar";
    case TypeKind::kDateTime: return "datetime";
  }
  return "int";
}

SqlType DecimalType(int p, int s) {
  if (p > 38) {
    int cut = p - 38;
    s = std::max(std::min(s, 6), s - cut);
    p = 38;
  }
  return SqlType{TypeKind::kNumeric, 0, p, s};
}

ExprType ArithmeticType(const std::string& op, const ExprType& a, const ExprType& b) {
  if (a.is_null && b.is_null) return ExprType{IntType(), true};
  if (a.is_null) return b;
  if (b.is_null) return a;
  const SqlType& x = a.sql;
  const SqlType& y = b.sql;
  if (op == "+" && IsStringType(x) && IsStringType(y)) {
    return ExprType{SqlType{TypeKind::kVarChar, std::min(8000, x.length + y.length)}};
  }
  SqlType winner = TypePrecedence(x) >= TypePrecedence(y) ? x : y;
  if (IsStringType(winner)) winner = IntType();  // '1' - '2': both converted... to int
  if (winner.kind != TypeKind::kNumeric) return ExprType{winner};
  int p1, s1, p2, s2;
  AsDecimal(IsStringType(x) ? winner : x, &p1, &s1);
  AsDecimal(IsStringType(y) ? winner : y, &p2, &s2);
  if (op == "+" || op == "-") {
    int s = std::max(s1, s2);
    return ExprType{DecimalType(std::max(p1 - s1, p2 - s2) + s + 1, s)};
  }
  if (op == "*") return ExprType{DecimalType(p1 + p2 + 1, s1 + s2)};
  if (op == "/") {
    int s = std::max(6, s1 + p2 + 1);
    return ExprType{DecimalType(p1 - s1 + s2 + s, s)};
  }
  return ExprType{DecimalType(std::max(p1 - s1, p2 - s2) + std::max(s1, s2), std::max(s1, s2))};
}

ExprType CommonType(const ExprType& a, const ExprType& b) {
  if (a.is_null) return b;
  if (b.is_null) return a;
  if (IsStringType(a.sql) && IsStringType(b.sql)) {
    return ExprType{SqlType{TypeKind::kVarChar, std::max(a.sql.length, b.sql.length)}};
  }
  if (a.sql.kind == TypeKind::kNumeric && b.sql.kind == TypeKind::kNumeric) {
    int s = std::max(a.sql.scale, b.sql.scale);
    return ExprType{DecimalType(std::max(a.sql.precision - a.sql.scale, b.sql.precision - b.sql.scale) + s, s)};
  }
  return TypePrecedence(a.sql) >= TypePrecedence(b.sql) ? a : b;
}

}  // namespace engine
