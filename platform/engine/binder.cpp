// Name resolution, static typing and compile-time checks (see binder.h). Result types follow
// the server's rules: int / int stays int, decimal arithmetic widens precision and scale,
// float wins over decimal, a string meeting a number is converted to the number.
#include "platform/engine/binder.h"

#include <algorithm>
#include <charconv>

#include "platform/engine/tokenizer.h"
#include "platform/engine/values.h"

namespace engine {
namespace {

SqlType IntType() { return SqlType{TypeKind::kInt}; }
SqlType FloatType() { return SqlType{TypeKind::kFloat}; }

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

SqlType Decimal(int p, int s) {
  if (p > 38) {
    // Capped at 38 digits; the scale gives way but keeps at least 6.
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
    return ExprType{Decimal(std::max(p1 - s1, p2 - s2) + s + 1, s)};
  }
  if (op == "*") return ExprType{Decimal(p1 + p2 + 1, s1 + s2)};
  if (op == "/") {
    int s = std::max(6, s1 + p2 + 1);
    return ExprType{Decimal(p1 - s1 + s2 + s, s)};
  }
  return ExprType{Decimal(std::max(p1 - s1, p2 - s2) + std::max(s1, s2), std::max(s1, s2))};
}

// The first column name outside subqueries, for VALUES lists where none is allowed.
const Expr* FindColumnReference(const Expr& e) {
  if (e.kind == ExprKind::kColumn) return &e;
  for (const auto& a : e.args) {
    if (const Expr* found = FindColumnReference(*a)) return found;
  }
  return nullptr;
}

bool IsAggregateName(const std::string& name) {
  static const char* kNames[] = {"sum", "avg", "count", "min", "max", "stdev", "var", "stdevp", "varp"};
  return std::find_if(std::begin(kNames), std::end(kNames), [&](const char* n) { return name == n; }) !=
         std::end(kNames);
}

}  // namespace

ExprType CommonType(const ExprType& a, const ExprType& b) {
  if (a.is_null) return b;
  if (b.is_null) return a;
  if (IsStringType(a.sql) && IsStringType(b.sql)) {
    return ExprType{SqlType{TypeKind::kVarChar, std::max(a.sql.length, b.sql.length)}};
  }
  if (a.sql.kind == TypeKind::kNumeric && b.sql.kind == TypeKind::kNumeric) {
    int s = std::max(a.sql.scale, b.sql.scale);
    return ExprType{Decimal(std::max(a.sql.precision - a.sql.scale, b.sql.precision - b.sql.scale) + s, s)};
  }
  return TypePrecedence(a.sql) >= TypePrecedence(b.sql) ? a : b;
}

std::string ExprFingerprint(const Expr& e) {
  std::string out = std::to_string(static_cast<int>(e.kind)) + ":" + e.op + ":";
  if (e.kind == ExprKind::kColumn) out += e.resolved;
  else if (e.kind == ExprKind::kLiteral) out += e.literal_text;
  else out += e.name;
  out += "(";
  for (const auto& a : e.args) out += ExprFingerprint(*a) + ",";
  if (e.subquery) out += "subquery@" + std::to_string(reinterpret_cast<uintptr_t>(e.subquery.get()));
  return out + ")";
}

bool Binder::Fail(int number, int line, std::string message, int severity) {
  error_ = Error{};
  error_.number = number;
  error_.severity = severity;
  error_.line = line;
  error_.message = std::move(message);
  return false;
}

bool Binder::BindStatement(Statement* stmt, Error* error) {
  bool ok = true;
  Scope empty;
  switch (stmt->kind) {
    case StmtKind::kDeclareCursor:
      ok = BindQuery(stmt->select.get(), nullptr);
      break;
    case StmtKind::kSelect: {
      ok = BindQuery(stmt->select.get(), nullptr);
      size_t assigned = 0;
      for (const SelectItem& item : stmt->select->items) {
        if (item.assign_to.empty()) continue;
        ++assigned;
        if (ok && variables_.count(item.assign_to) == 0) {
          ok = Fail(137, stmt->line, "Must declare the scalar variable \"" + item.assign_to + "\".", 15);
        }
      }
      if (ok && assigned > 0 && (assigned != stmt->select->items.size() || stmt->select->union_next)) {
        ok = Fail(141, stmt->line,
                  "A SELECT statement that assigns a value to a variable must not be combined with "
                  "data-retrieval operations.",
                  15);
      }
      break;
    }
    case StmtKind::kIf:
    case StmtKind::kWhile:
      ok = BindExpr(stmt->condition.get(), empty, false);
      break;
    case StmtKind::kSet:
      ok = (variables_.count(stmt->variable) > 0 ||
            Fail(137, stmt->line, "Must declare the scalar variable \"" + stmt->variable + "\".", 15)) &&
           BindExpr(stmt->value.get(), empty, false);
      break;
    case StmtKind::kReturn:
      ok = !stmt->value || BindExpr(stmt->value.get(), empty, false);
      break;
    case StmtKind::kInsert: {
      const TableInfo* table = catalog_.FindTable(stmt->table);
      if (table == nullptr) {
        ok = Fail(208, stmt->line, "Invalid object name '" + stmt->table + "'.");
        break;
      }
      std::vector<int> targets;
      if (stmt->columns.empty()) {
        for (size_t k = 0; k < table->columns.size(); ++k) {
          if (!table->columns[k].identity) targets.push_back(static_cast<int>(k));
        }
      } else {
        for (const std::string& name : stmt->columns) {
          int index = table->Find(name);
          if (index < 0) {
            Fail(207, stmt->line, "Invalid column name '" + name + "'.");
            *error = error_;
            return false;
          }
          if (table->columns[static_cast<size_t>(index)].identity) {
            Fail(544, stmt->line,
                 "Cannot insert explicit value for identity column in table '" + table->name +
                     "' when IDENTITY_INSERT is set to OFF.");
            *error = error_;
            return false;
          }
          targets.push_back(index);
        }
      }
      for (auto& row : stmt->values) {
        if (row.size() != targets.size()) {
          ok = Fail(213, stmt->line,
                    "Column name or number of supplied values does not match table definition.");
          break;
        }
        for (auto& value : row) {
          if (const Expr* column = FindColumnReference(*value)) {
            ok = Fail(128, column->line,
                      "The name \"" + column->name +
                          "\" is not permitted in this context. Valid expressions are constants, "
                          "constant expressions, and (in some contexts) variables. Column names are "
                          "not permitted.",
                      15);
            break;
          }
          if (!BindExpr(value.get(), empty, false)) {
            ok = false;
            break;
          }
        }
        if (!ok) break;
      }
      if (ok && stmt->select) {
        ok = BindQuery(stmt->select.get(), nullptr) &&
             (stmt->select->columns.size() == targets.size() ||
              Fail(213, stmt->line,
                   "Column name or number of supplied values does not match table definition."));
      }
      break;
    }
    case StmtKind::kUpdate:
    case StmtKind::kDelete: {
      const TableInfo* table = catalog_.FindTable(stmt->table);
      if (table == nullptr) {
        ok = Fail(208, stmt->line, "Invalid object name '" + stmt->table + "'.");
        break;
      }
      if (!stmt->from.empty()) {
        ok = Fail(102, stmt->line, "Incorrect syntax near 'FROM'.", 15);
        break;
      }
      Scope scope;
      scope.tables.push_back(ScopeTable{table, table->name});
      for (auto& [name, value] : stmt->sets) {
        if (table->Find(name) < 0) {
          ok = Fail(207, stmt->line, "Invalid column name '" + name + "'.");
          break;
        }
        if (table->columns[static_cast<size_t>(table->Find(name))].identity) {
          ok = Fail(8102, stmt->line, "Cannot update identity column '" + name + "'.");
          break;
        }
        if (!BindExpr(value.get(), scope, false)) {
          ok = false;
          break;
        }
      }
      if (ok && stmt->where) ok = BindExpr(stmt->where.get(), scope, false);
      break;
    }
    default:
      break;
  }
  if (!ok) *error = error_;
  return ok;
}

bool Binder::BindFrom(std::vector<TableRef>* from, const Scope* outer, Scope* scope) {
  scope->parent = outer;
  for (TableRef& ref : *from) {
    ref.table = catalog_.FindTable(ref.name);
    if (ref.table == nullptr) return Fail(208, ref.line, "Invalid object name '" + ref.name + "'.");
    scope->tables.push_back(ScopeTable{ref.table, ref.alias.empty() ? ref.table->name : ref.alias});
  }
  for (TableRef& ref : *from) {
    if (ref.on && !BindExpr(ref.on.get(), *scope, false)) return false;
  }
  return true;
}

bool Binder::BindSelectCore(Select* select, const Scope* outer, Scope* scope) {
  if (!BindFrom(&select->from, outer, scope)) return false;
  select->columns.clear();
  bool has_aggregate = false;
  for (SelectItem& item : select->items) {
    if (item.star) {
      bool any = false;
      for (const ScopeTable& t : scope->tables) {
        if (!item.star_qualifier.empty() && Lower(t.ref) != Lower(item.star_qualifier)) continue;
        any = true;
        for (const ColumnInfo& c : t.table->columns) {
          select->columns.push_back(Column{c.name, c.type, c.nullable});
        }
      }
      if (!any) {
        return item.star_qualifier.empty()
                   ? Fail(263, select->line, "Must specify table to select from.")
                   : Fail(107, select->line,
                          "The column prefix '" + item.star_qualifier +
                              "' does not match with a table name or alias name used in the query.");
      }
      continue;
    }
    if (!BindExpr(item.expr.get(), *scope, true)) return false;
    has_aggregate = has_aggregate || item.expr->is_aggregate;
    std::string name = item.has_alias ? item.alias
                       : item.expr->kind == ExprKind::kColumn ? item.expr->name
                                                              : std::string();
    SqlType type = item.expr->type.is_null ? IntType() : item.expr->type.sql;
    select->columns.push_back(Column{name, type, true});
  }
  if (select->where && !BindExpr(select->where.get(), *scope, false)) return false;
  for (auto& g : select->group_by) {
    if (!BindExpr(g.get(), *scope, false)) return false;
  }
  if (select->having) {
    if (!BindExpr(select->having.get(), *scope, true)) return false;
  }
  if (has_aggregate || !select->group_by.empty()) {
    for (SelectItem& item : select->items) {
      if (item.star) {
        const ScopeTable& t = scope->tables.front();
        return Fail(8120, select->line,
                    "Column '" + t.ref + "." + t.table->columns.front().name +
                        "' is invalid in the select list because it is not contained in either an "
                        "aggregate function or the GROUP BY clause.");
      }
      if (!CheckGrouping(item.expr.get(), *select, *scope)) return false;
    }
  }
  return true;
}

bool Binder::CheckGrouping(const Expr* e, const Select& select, const Scope& scope) {
  if (e->is_aggregate || e->kind == ExprKind::kSubquery || e->kind == ExprKind::kExists) return true;
  std::string print = ExprFingerprint(*e);
  for (const auto& g : select.group_by) {
    if (ExprFingerprint(*g) == print) return true;
  }
  if (e->kind == ExprKind::kColumn) {
    // Only columns of this query's own tables must be grouped; outer references are constants.
    std::string ref = e->resolved.substr(1, e->resolved.find('"', 1) - 1);
    for (const ScopeTable& t : scope.tables) {
      if (t.ref == ref) {
        return Fail(8120, e->line,
                    "Column '" + t.ref + "." + t.table->columns[static_cast<size_t>(t.table->Find(e->name))].name +
                        "' is invalid in the select list because it is not contained in either an "
                        "aggregate function or the GROUP BY clause.");
      }
    }
    return true;
  }
  for (const auto& a : e->args) {
    if (!CheckGrouping(a.get(), select, scope)) return false;
  }
  return true;
}

bool Binder::BindQuery(Select* select, const Scope* outer) {
  Scope scope;
  if (!BindSelectCore(select, outer, &scope)) return false;
  for (Select* branch = select->union_next.get(); branch != nullptr; branch = branch->union_next.get()) {
    Scope branch_scope;
    if (!BindSelectCore(branch, outer, &branch_scope)) return false;
    if (branch->columns.size() != select->columns.size()) {
      return Fail(205, branch->line,
                  "All queries combined using a UNION, INTERSECT or EXCEPT operator must have an "
                  "equal number of expressions in their target lists.");
    }
  }
  if (select->union_next) {
    // Result types of a UNION follow data type precedence across the branches.
    for (size_t k = 0; k < select->columns.size(); ++k) {
      ExprType type{select->columns[k].type};
      for (Select* b = select->union_next.get(); b != nullptr; b = b->union_next.get()) {
        type = CommonType(type, ExprType{b->columns[k].type});
      }
      select->columns[k].type = type.sql;
    }
  }
  for (OrderItem& item : select->order_by) {
    if (item.ordinal != 0) {
      if (item.ordinal < 1 || item.ordinal > static_cast<int>(select->columns.size())) {
        return Fail(108, select->line,
                    "The ORDER BY position number " + std::to_string(item.ordinal) +
                        " is out of range of the number of items in the select list.",
                    15);
      }
      continue;
    }
    // A bare name that is a result column (alias or column name) orders by that column.
    if (item.expr->kind == ExprKind::kColumn && item.expr->qualifier.empty()) {
      for (size_t k = 0; k < select->columns.size(); ++k) {
        bool is_alias = k < select->items.size() && select->items[k].has_alias;
        if ((is_alias || select->union_next) && Lower(select->columns[k].name) == Lower(item.expr->name)) {
          item.ordinal = static_cast<int>(k) + 1;
          break;
        }
      }
      if (item.ordinal != 0) continue;
    }
    if (select->union_next) {
      return Fail(104, select->line,
                  "ORDER BY items must appear in the select list if the statement contains a UNION, "
                  "INTERSECT or EXCEPT operator.");
    }
    if (!BindExpr(item.expr.get(), scope, true)) return false;
    if (select->distinct) {
      std::string print = ExprFingerprint(*item.expr);
      bool found = false;
      for (size_t k = 0; k < select->items.size(); ++k) {
        if (select->items[k].expr && ExprFingerprint(*select->items[k].expr) == print) {
          item.ordinal = static_cast<int>(k) + 1;
          found = true;
        }
      }
      if (!found) {
        return Fail(145, select->line,
                    "ORDER BY items must appear in the select list if SELECT DISTINCT is specified.", 15);
      }
    }
  }
  return true;
}

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
          e->type = ExprType{SqlType{TypeKind::kVarChar, std::max<int>(1, static_cast<int>(CharCount(e->literal_text)))}};
          break;
        case LiteralKind::kInteger: {
          int64_t v = 0;
          auto r = std::from_chars(e->literal_text.data(), e->literal_text.data() + e->literal_text.size(), v);
          if (r.ec == std::errc() && v <= 2147483647LL) e->type = ExprType{IntType()};
          else e->type = ExprType{Decimal(static_cast<int>(e->literal_text.size()), 0)};
          break;
        }
        case LiteralKind::kDecimal: {
          size_t dot = e->literal_text.find('.');
          int scale = static_cast<int>(e->literal_text.size() - dot - 1);
          std::string whole = e->literal_text.substr(0, dot);
          while (!whole.empty() && whole[0] == '0') whole.erase(0, 1);
          e->type = ExprType{Decimal(std::max<int>(1, static_cast<int>(whole.size()) + scale), scale)};
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
        e->type = ExprType{e->name == "@@identity" ? Decimal(38, 0) : IntType()};
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
      else if (t.kind == TypeKind::kNumeric) t = f == "avg" ? Decimal(38, std::max(t.scale, 6)) : Decimal(38, t.scale);
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
    else if (t.kind == TypeKind::kNumeric) t = Decimal(38, t.scale);
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
