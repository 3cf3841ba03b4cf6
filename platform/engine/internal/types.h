// The static type rules of T-SQL: which declared types are text or integers, data type
// precedence, the type of an arithmetic result and the type two operands meet in. The binder
// types the tree with them and the translator converts by them. Pure functions over types:
// they never see a value, a name or the database.
#pragma once

#include <string>

#include "platform/engine/engine.h"

namespace engine {

// A static type as the binder infers it; `is_null` marks the bare NULL literal, whose type
// adapts to its context.
struct ExprType {
  SqlType sql;
  bool is_null = false;
};

bool IsStringType(const SqlType& t);
bool IsIntegerType(const SqlType& t);
// Data type precedence rank: higher wins when two types meet.
int TypePrecedence(const SqlType& t);
// The type's name as the server writes it in messages ("varchar", "numeric" ...).
std::string TypeName(const SqlType& t);

inline SqlType IntType() { return SqlType{TypeKind::kInt}; }
inline SqlType FloatType() { return SqlType{TypeKind::kFloat}; }
// numeric(p, s), capped at 38 digits: past that the scale gives way but keeps at least 6.
SqlType DecimalType(int precision, int scale);

// The result type of `a op b` for op one of + - * / %: '+' of two strings joins them, the
// operand of higher precedence wins otherwise, and numeric results widen precision and scale
// as the server's decimal arithmetic does.
ExprType ArithmeticType(const std::string& op, const ExprType& a, const ExprType& b);

// The type two operands meet in (data type precedence); `is_null` operands adapt.
ExprType CommonType(const ExprType& a, const ExprType& b);

}  // namespace engine
