// Name resolution and static typing of statements and queries (see binder.h): the FROM scope,
// the select list and its result columns, GROUP BY and UNION checks, ORDER BY by name or
// position, and the targets of INSERT, UPDATE and DELETE. Expressions are typed in
// bind_expressions.cpp and the type rules live in types.cpp; nothing here touches the database.
#include "platform/engine/internal/binder.h"

#include <cstdint>

#include "platform/engine/internal/tokenizer.h"
#include "platform/engine/internal/types.h"

namespace engine {
namespace {

// The first column name outside subqueries, for VALUES lists where none is allowed.
const Expr* FindColumnReference(const Expr& e) {
  if (e.kind == ExprKind::kColumn) return &e;
  for (const auto& a : e.args) {
    if (const Expr* found = FindColumnReference(*a)) return found;
  }
  return nullptr;
}

}  // namespace

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
    if (item.positional || item.ordinal != 0) {
      if (item.ordinal < 1 || item.ordinal > static_cast<int64_t>(select->columns.size())) {
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

}  // namespace engine
