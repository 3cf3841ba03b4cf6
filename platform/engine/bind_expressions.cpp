// Binding of expressions (see binder.h): column references through the nested scopes,
// variables, literal types, aggregates and where they may appear, and the built-in and user
// functions with their argument counts and result types. Part of the binder: it only annotates
// the tree and never touches the database.
#include "platform/engine/internal/binder.h"

#include <algorithm>
#include <charconv>

#include "platform/engine/internal/tokenizer.h"
#include "platform/engine/internal/types.h"
#include "platform/engine/internal/values.h"
#include "platform/runtime/text.h"

namespace engine {
namespace {

bool IsAggregateName(const std::string& name) {
  static const char* kNames[] = {"sum", "avg", "count", "min", "max", "stdev", "var", "stdevp", "varp"};
  return std::find_if(std::begin(kNames), std::end(kNames), [&](const char* n) { return name == n; }) !=
         std::end(kNames);
}

}  // namespace

bool Binder::BindColumn(Expr* e, const Scope& scope) {
  for (const Scope* s = &scope; s != nullptr; s = s->parent) {
    const ScopeTable* found = nullptr;
    int index = -1;
    for (const ScopeTable& t : s->tables) {
      // A table with an alias is known by its alias only, as on the server.
      if (!e->qualifier.empty() && Lower(t.ref) != Lower(e->qualifier)) continue;
      int k = t.table->Find(e->name);
      if (k < 0) continue;
      if (found != nullptr) return Fail(209, e->line, "Ambiguous column name '" + e->name + "'.");
      found = &t;
      index = k;
    }
    if (found != nullptr) {
      const ColumnInfo& c = found->table->columns[static_cast<size_t>(index)];
      e->resolved = "\"" + found->ref + "\".\"" + c.name + "\"";
      e->type = ExprType{c.type};
      return true;
    }
  }
  if (!e->qualifier.empty()) {
    bool known = false;
    for (const Scope* s = &scope; s != nullptr; s = s->parent) {
      for (const ScopeTable& t : s->tables) {
        known = known || Lower(t.ref) == Lower(e->qualifier);
      }
    }
    if (!known) {
      return Fail(4104, e->line,
                  "The multi-part identifier \"" + e->qualifier + "." + e->name + "\" could not be bound.");
    }
  }
  return Fail(207, e->line, "Invalid column name '" + e->name + "'.");
}

bool Binder::BindExpr(Expr* e, const Scope& scope, bool allow_aggregate) {
  e->is_aggregate = false;
  switch (e->kind) {
    case ExprKind::kLiteral:
      switch (e->literal_kind) {
        case LiteralKind::kString:
          e->type = ExprType{SqlType{TypeKind::kVarChar, std::max<int>(1, static_cast<int>(runtime::Len(e->literal_text)))}};
          break;
        case LiteralKind::kInteger: {
          int64_t v = 0;
          auto r = std::from_chars(e->literal_text.data(), e->literal_text.data() + e->literal_text.size(), v);
          if (r.ec == std::errc() && v <= 2147483647LL) e->type = ExprType{IntType()};
          else e->type = ExprType{DecimalType(static_cast<int>(e->literal_text.size()), 0)};
          break;
        }
        case LiteralKind::kDecimal: {
          size_t dot = e->literal_text.find('.');
          int scale = static_cast<int>(e->literal_text.size() - dot - 1);
          std::string whole = e->literal_text.substr(0, dot);
          while (!whole.empty() && whole[0] == '0') whole.erase(0, 1);
          e->type = ExprType{DecimalType(std::max<int>(1, static_cast<int>(whole.size()) + scale), scale)};
          break;
        }
        case LiteralKind::kFloat:
          e->type = ExprType{FloatType()};
          break;
      }
      return true;
    case ExprKind::kNull:
      e->type = ExprType{IntType(), true};
      return true;
    case ExprKind::kColumn:
      return BindColumn(e, scope);
    case ExprKind::kVariable:
      if (e->name == "@@trancount" || e->name == "@@rowcount" || e->name == "@@error" ||
          e->name == "@@identity" || e->name == "@@fetch_status") {
        e->type = ExprType{e->name == "@@identity" ? DecimalType(38, 0) : IntType()};
        return true;
      }
      if (auto it = variables_.find(e->name); it != variables_.end()) {
        e->type = ExprType{it->second};
        return true;
      }
      return Fail(137, e->line, "Must declare the scalar variable \"" + e->name + "\".", 15);
    default:
      break;
  }
  bool child_aggregate = false;
  for (auto& a : e->args) {
    if (!BindExpr(a.get(), scope, allow_aggregate)) return false;
    child_aggregate = child_aggregate || a->is_aggregate;
  }
  if (e->subquery && !BindQuery(e->subquery.get(), &scope)) return false;
  e->is_aggregate = child_aggregate;
  switch (e->kind) {
    case ExprKind::kUnary:
      e->type = e->args[0]->type;
      break;
    case ExprKind::kBinary:
      e->type = ArithmeticType(e->op, e->args[0]->type, e->args[1]->type);
      if (!e->type.is_null && e->type.sql.kind == TypeKind::kDateTime && e->op != "+" && e->op != "-") {
        const char* name = e->op == "*" ? "multiply" : e->op == "/" ? "divide" : "modulo";
        return Fail(8117, e->line,
                    std::string("Operand data type datetime is invalid for ") + name + " operator.");
      }
      break;
    case ExprKind::kSubquery:
      if (e->subquery->columns.size() != 1) {
        return Fail(116, e->line,
                    "Only one expression can be specified in the select list when the subquery is "
                    "not introduced with EXISTS.");
      }
      e->type = ExprType{e->subquery->columns[0].type};
      break;
    case ExprKind::kInSelect:
      if (e->subquery->columns.size() != 1) {
        return Fail(116, e->line,
                    "Only one expression can be specified in the select list when the subquery is "
                    "not introduced with EXISTS.");
      }
      e->type = ExprType{SqlType{TypeKind::kBit}};
      break;
    case ExprKind::kCase: {
      ExprType result{IntType(), true};
      size_t start = e->has_operand ? 1 : 0;
      size_t pairs_end = e->args.size() - (e->has_else ? 1 : 0);
      for (size_t k = start + 1; k < pairs_end; k += 2) result = CommonType(result, e->args[k]->type);
      if (e->has_else) result = CommonType(result, e->args.back()->type);
      e->type = result;
      break;
    }
    case ExprKind::kCast:
      e->type = ExprType{e->cast_type};
      break;
    case ExprKind::kFunction:
      return BindFunction(e, scope, allow_aggregate);
    default:
      e->type = ExprType{SqlType{TypeKind::kBit}};
      break;
  }
  return true;
}

bool Binder::BindFunction(Expr* e, const Scope&, bool allow_aggregate) {
  const std::string& f = e->name;
  auto arg_count = [&](size_t lo, size_t hi) {
    if (e->args.size() < lo || e->args.size() > hi) {
      return Fail(174, e->line,
                  "The " + f + " function requires " + std::to_string(lo) + " argument(s).", 15);
    }
    return true;
  };
  auto arg = [&](size_t k) -> const ExprType& { return e->args[k]->type; };
  if (IsAggregateName(f)) {
    if (!allow_aggregate) {
      return Fail(147, e->line,
                  "An aggregate may not appear in the WHERE clause unless it is in a subquery "
                  "contained in a HAVING clause or a select list, and the column being aggregated "
                  "is an outer reference.");
    }
    if (e->is_aggregate) {
      return Fail(130, e->line,
                  "Cannot perform an aggregate or a subquery on an expression containing an "
                  "aggregate or a subquery.");
    }
    if (!e->star && !arg_count(1, 1)) return false;
    e->is_aggregate = true;
    if (f == "count") {
      e->type = ExprType{IntType()};
    } else if (f == "stdev" || f == "var" || f == "stdevp" || f == "varp") {
      e->type = ExprType{FloatType()};
    } else if (f == "min" || f == "max") {
      e->type = arg(0);
    } else {
      SqlType t = arg(0).is_null ? IntType() : arg(0).sql;
      if (IsIntegerType(t)) t = t.kind == TypeKind::kBigInt ? t : IntType();
      else if (t.kind == TypeKind::kNumeric) t = f == "avg" ? DecimalType(38, std::max(t.scale, 6)) : DecimalType(38, t.scale);
      else if (IsStringType(t) || t.kind == TypeKind::kDateTime) {
        return Fail(8117, e->line,
                    "Operand data type " + TypeName(t) + " is invalid for " + f + " operator.");
      }
      e->type = ExprType{t};
    }
    return true;
  }
  SqlType returns;
  size_t parameters = 0;
  if (!e->qualifier.empty() && functions_ != nullptr && functions_->FindFunction(f, &returns, &parameters)) {
    if (e->args.size() < parameters) {
      return Fail(313, e->line,
                  "An insufficient number of arguments were supplied for the procedure or function " +
                      e->qualifier + "." + f + ".");
    }
    if (e->args.size() > parameters) {
      return Fail(8144, e->line,
                  "Procedure or function " + e->qualifier + "." + f + " has too many arguments specified.");
    }
    e->type = ExprType{returns};
    return true;
  }
  if (!e->qualifier.empty()) {
    return Fail(4121, e->line,
                "Cannot find either column \"" + e->qualifier + "\" or the user-defined function or "
                "aggregate \"" + e->qualifier + "." + e->name + "\", or the name is ambiguous.");
  }
  if (f == "left" || f == "right") {
    if (!arg_count(2, 2)) return false;
    e->type = ExprType{SqlType{TypeKind::kVarChar, IsStringType(arg(0).sql) ? arg(0).sql.length : 30}};
  } else if (f == "len") {
    if (!arg_count(1, 1)) return false;
    e->type = ExprType{IntType()};
  } else if (f == "upper" || f == "lower" || f == "ltrim" || f == "rtrim") {
    if (!arg_count(1, 1)) return false;
    e->type = ExprType{SqlType{TypeKind::kVarChar, IsStringType(arg(0).sql) ? arg(0).sql.length : 30}};
  } else if (f == "substring") {
    if (!arg_count(3, 3)) return false;
    e->type = ExprType{SqlType{TypeKind::kVarChar, IsStringType(arg(0).sql) ? arg(0).sql.length : 30}};
  } else if (f == "isnull" || f == "coalesce") {
    if (!arg_count(2, f == "isnull" ? 2 : 64)) return false;
    ExprType t = arg(0);
    if (f == "coalesce") {
      for (auto& a : e->args) t = CommonType(t, a->type);
    } else if (t.is_null) {
      t = arg(1);
    }
    e->type = t;
  } else if (f == "getdate") {
    if (!arg_count(0, 0)) return false;
    e->type = ExprType{SqlType{TypeKind::kDateTime}};
  } else if (f == "abs") {
    if (!arg_count(1, 1)) return false;
    e->type = arg(0);
  } else if (f == "round") {
    if (!arg_count(2, 3)) return false;
    SqlType t = arg(0).is_null ? IntType() : arg(0).sql;
    if (IsIntegerType(t)) t = t.kind == TypeKind::kBigInt ? t : IntType();
    if (IsStringType(t)) t = FloatType();
    e->type = ExprType{t};
  } else if (f == "power") {
    if (!arg_count(2, 2)) return false;
    SqlType t = arg(0).is_null ? IntType() : arg(0).sql;
    if (IsIntegerType(t)) t = t.kind == TypeKind::kBigInt ? t : IntType();
    else if (t.kind == TypeKind::kNumeric) t = DecimalType(38, t.scale);
    else t = FloatType();
    e->type = ExprType{t};
  } else if (f == "sqrt" || f == "exp") {
    if (!arg_count(1, 1)) return false;
    e->type = ExprType{FloatType()};
  } else if (f == "object_id" || f == "objectproperty") {
    if (!arg_count(f == "object_id" ? 1 : 2, f == "object_id" ? 1 : 2)) return false;
    e->type = ExprType{IntType()};
  } else {
    return Fail(195, e->line, "'" + f + "' is not a recognized built-in function name.", 15);
  }
  return true;
}

}  // namespace engine
