// T-SQL to SQLite translation (see translator.h). Every place where SQLite's loose typing
// would differ from the server gets an explicit function call: string/number meetings convert
// with the server's errors, '/' raises 8134, string comparisons use the TSQL_CI collation,
// values written to columns convert to the declared type.
#include "platform/engine/internal/translator.h"

#include "platform/engine/internal/sqlite_functions.h"
#include "platform/engine/internal/tokenizer.h"
#include "platform/engine/internal/types.h"

namespace engine {

std::string QuoteName(const std::string& name) {
  std::string out = "\"";
  for (char c : name) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

namespace {

class Translator {
 public:
  Translator(Translation* out, const std::map<std::string, SqlType>& variables)
      : out_(out), variables_(variables) {}

  std::string Param(ParamSource source) {
    out_->params.push_back(source);
    return "?" + std::to_string(out_->params.size());
  }

  // `sql` of type `from` made into `to` (only string -> number/datetime meetings need work;
  // SQLite arithmetic already mixes integer and real).
  std::string Coerce(const std::string& sql, const ExprType& from, const SqlType& to) {
    if (from.is_null) return sql;
    bool needs = (IsStringType(from.sql) && !IsStringType(to)) ||
                 (!IsStringType(from.sql) && IsStringType(to)) ||
                 (to.kind == TypeKind::kDateTime && from.sql.kind != TypeKind::kDateTime) ||
                 (IsIntegerType(to) && !IsIntegerType(from.sql));
    if (!needs) return sql;
    return Convert(sql, to, kCvtSilent);
  }

  static std::string Convert(const std::string& sql, const SqlType& to, int mode) {
    int length = IsStringType(to) ? to.length : to.precision;
    return "tsql_cvt(" + sql + "," + std::to_string(static_cast<int>(to.kind)) + "," +
           std::to_string(length) + "," + std::to_string(to.scale) + "," + std::to_string(mode) + ")";
  }

  // A value written into a column of type `to`.
  std::string Write(const Expr& e, const SqlType& to) {
    if (e.kind == ExprKind::kNull) return "NULL";
    std::string sql = Expression(e);
    const SqlType& from = e.type.sql;
    if (!e.type.is_null && from == to && !IsStringType(to)) return sql;
    // A literal's length is not part of the cache key, so only columns skip the length check.
    if (e.kind == ExprKind::kColumn && IsStringType(from) && to.kind == TypeKind::kVarChar &&
        from.length <= to.length)
      return sql;
    return Convert(sql, to, kCvtColumn);
  }

  static int Family(const SqlType& t) {
    if (IsIntegerType(t)) return kFamilyInt;
    if (t.kind == TypeKind::kNumeric) return kFamilyNumeric;
    return kFamilyFloat;
  }

  std::string Expression(const Expr& e) {
    switch (e.kind) {
      case ExprKind::kLiteral:
        return Param(ParamSource{e.literal_index, SystemValue::kNone, {}});
      case ExprKind::kNull:
        return "NULL";
      case ExprKind::kColumn:
        return e.resolved;
      case ExprKind::kVariable: {
        if (e.name.rfind("@@", 0) != 0) return Param(ParamSource{-1, SystemValue::kNone, e.name});
        SystemValue v = e.name == "@@trancount" ? SystemValue::kTranCount
                        : e.name == "@@rowcount" ? SystemValue::kRowCount
                        : e.name == "@@identity" ? SystemValue::kIdentity
                        : e.name == "@@fetch_status" ? SystemValue::kFetchStatus
                                                 : SystemValue::kError;
        return Param(ParamSource{-1, v, {}});
      }
      case ExprKind::kUnary:
        return e.op == "-" ? "(-" + Expression(*e.args[0]) + ")" : Expression(*e.args[0]);
      case ExprKind::kBinary:
        return Binary(e);
      case ExprKind::kCompare:
        return Compare(e);
      case ExprKind::kAnd:
        return Logical(e, " AND ");
      case ExprKind::kOr:
        return Logical(e, " OR ");
      case ExprKind::kNot:
        return "(NOT " + Expression(*e.args[0]) + ")";
      case ExprKind::kIsNull:
        return "(" + Expression(*e.args[0]) + (e.negated ? " IS NOT NULL)" : " IS NULL)");
      case ExprKind::kInList: {
        ExprType common = e.args[0]->type;
        for (size_t k = 1; k < e.args.size(); ++k) common = CommonType(common, e.args[k]->type);
        bool text = !common.is_null && IsStringType(common.sql);
        std::string sql = "(" + Coerce(Expression(*e.args[0]), e.args[0]->type, common.sql) +
                          (text ? " COLLATE TSQL_CI" : "") + (e.negated ? " NOT IN (" : " IN (");
        for (size_t k = 1; k < e.args.size(); ++k) {
          if (k > 1) sql += ",";
          sql += Coerce(Expression(*e.args[k]), e.args[k]->type, common.sql);
        }
        return sql + "))";
      }
      case ExprKind::kInSelect: {
        ExprType inner{e.subquery->columns[0].type};
        ExprType common = CommonType(e.args[0]->type, inner);
        bool text = !common.is_null && IsStringType(common.sql);
        return "(" + Coerce(Expression(*e.args[0]), e.args[0]->type, common.sql) +
               (text ? " COLLATE TSQL_CI" : "") + (e.negated ? " NOT IN (" : " IN (") +
               Query(*e.subquery) + "))";
      }
      case ExprKind::kExists:
        return std::string(e.negated ? "(NOT " : "(") + "EXISTS (" + Query(*e.subquery) + "))";
      case ExprKind::kSubquery: {
        // The server refuses a scalar subquery that yields a second row (512); SQLite would
        // take the first. The probe reads at most two rows.
        std::string probe = "EXISTS (SELECT 1 FROM (" + Query(*e.subquery) + ") LIMIT 1 OFFSET 1)";
        return "tsql_single(" + probe + ",(" + Query(*e.subquery) + "))";
      }
      case ExprKind::kLike: {
        const Expr& value = *e.args[0];
        if (e.plain_pattern && !e.negated && value.kind == ExprKind::kColumn && !value.type.is_null &&
            IsStringType(value.type.sql)) {
          // A pattern without wildcards matches only texts equal to it under the collation, so
          // the equality lets an index on the column find the candidates; the LIKE call still
          // decides (a trailing blank of the pattern must be there in the value).
          std::string column = Expression(value);
          std::string pattern = Expression(*e.args[1]);
          return "(" + column + " = " + pattern + " COLLATE TSQL_CI AND tsql_like(" + column + "," + pattern + "))";
        }
        std::string sql = "tsql_like(" + Expression(*e.args[0]) + "," + Expression(*e.args[1]);
        if (e.args.size() == 3) sql += "," + Expression(*e.args[2]);
        sql += ")";
        return e.negated ? "(NOT " + sql + ")" : sql;
      }
      case ExprKind::kBetween: {
        ExprType common = CommonType(CommonType(e.args[0]->type, e.args[1]->type), e.args[2]->type);
        bool text = !common.is_null && IsStringType(common.sql);
        return "(" + Coerce(Expression(*e.args[0]), e.args[0]->type, common.sql) +
               (text ? " COLLATE TSQL_CI" : "") + (e.negated ? " NOT BETWEEN " : " BETWEEN ") +
               Coerce(Expression(*e.args[1]), e.args[1]->type, common.sql) + " AND " +
               Coerce(Expression(*e.args[2]), e.args[2]->type, common.sql) + ")";
      }
      case ExprKind::kCase: {
        std::string sql = "CASE";
        size_t k = 0;
        if (e.has_operand) sql += " " + Expression(*e.args[k++]);
        size_t pairs_end = e.args.size() - (e.has_else ? 1 : 0);
        for (; k + 1 < pairs_end; k += 2) {
          sql += " WHEN " + Expression(*e.args[k]) + " THEN " +
                 Coerce(Expression(*e.args[k + 1]), e.args[k + 1]->type, e.type.sql);
        }
        if (e.has_else) sql += " ELSE " + Coerce(Expression(*e.args.back()), e.args.back()->type, e.type.sql);
        return sql + " END";
      }
      case ExprKind::kCast:
        return Convert(Expression(*e.args[0]), e.cast_type, kCvtSilent);
      case ExprKind::kFunction:
        return Function(e);
    }
    return "NULL";
  }

  // SQLite's parser has a small stack, so left-deep chains (a + b + c ..., a AND b AND c ...)
  // are written without nested parentheses; the operators are left-associative in both.
  static bool ChainsWith(const Expr& left, const Expr& parent) {
    if (left.kind != parent.kind) return false;
    if (left.kind == ExprKind::kAnd || left.kind == ExprKind::kOr) return true;
    auto group = [](const Expr& x) {
      if (x.op == "+" || x.op == "-") return IsStringType(x.type.sql) ? 0 : 1;
      return x.op == "*" ? 2 : 0;
    };
    // datetime arithmetic is written through a conversion, never bare.
    return group(left) != 0 && group(left) == group(parent) && left.type.sql == parent.type.sql &&
           parent.type.sql.kind != TypeKind::kDateTime;
  }

  std::string Bare(const Expr& e) {
    std::string sql = e.kind == ExprKind::kBinary ? BinaryCore(e) : Expression(e);
    return sql.substr(1, sql.size() - 2);
  }

  // int arithmetic runs in SQLite's 64 bits; the server's int overflows past 2^31 (8115), its
  // bigint past 2^63 (SQLite then gives a double). A chain (a + b + c) is checked once, at its
  // top: a double stays a double up the chain.
  std::string Binary(const Expr& e) {
    std::string sql = BinaryCore(e);
    if (e.op != "+" && e.op != "-" && e.op != "*") return sql;
    if (e.type.sql.kind == TypeKind::kInt) return "tsql_int(" + sql + ")";
    if (e.type.sql.kind == TypeKind::kBigInt) return "tsql_bigint(" + sql + ")";
    return sql;
  }

  std::string BinaryCore(const Expr& e) {
    const Expr& a = *e.args[0];
    const Expr& b = *e.args[1];
    const SqlType& result = e.type.sql;
    if (e.op == "+" && IsStringType(result)) {
      return "(" + Expression(a) + " || " + Expression(b) + ")";
    }
    if (result.kind == TypeKind::kDateTime) {
      // datetime + or - a number: days since 1900 (a fraction is the time of day), added as
      // floats and turned back into a datetime (8115 past the calendar's range).
      auto days = [this](const Expr& x) {
        if (!x.type.is_null && x.type.sql.kind == TypeKind::kDateTime) return "tsql_days(" + Expression(x) + ")";
        return Coerce(Expression(x), x.type, SqlType{TypeKind::kFloat});
      };
      return Convert("(" + days(a) + " " + e.op + " " + days(b) + ")", result, kCvtSilent);
    }
    std::string x = ChainsWith(a, e) ? Bare(a) : Coerce(Expression(a), a.type, result);
    std::string y = Coerce(Expression(b), b.type, result);
    if (e.op == "/") return "tsql_div(" + x + "," + y + "," + (IsIntegerType(result) ? "1" : "0") + ")";
    if (e.op == "%") return "tsql_mod(" + x + "," + y + ")";
    return "(" + x + " " + e.op + " " + y + ")";
  }

  std::string Logical(const Expr& e, const char* op) {
    const Expr& a = *e.args[0];
    std::string x = ChainsWith(a, e) ? Bare(a) : Expression(a);
    return "(" + x + op + Expression(*e.args[1]) + ")";
  }

  std::string Compare(const Expr& e) {
    const Expr& a = *e.args[0];
    const Expr& b = *e.args[1];
    ExprType common = CommonType(a.type, b.type);
    std::string x = Coerce(Expression(a), a.type, common.sql);
    std::string y = Coerce(Expression(b), b.type, common.sql);
    bool text = !common.is_null && IsStringType(common.sql);
    return "(" + x + " " + e.op + " " + y + (text ? " COLLATE TSQL_CI)" : ")");
  }

  std::string Function(const Expr& e) {
    const std::string& f = e.name;
    auto arg = [&](size_t k) { return Expression(*e.args[k]); };
    if (!e.qualifier.empty()) {  // a user function: the interpreter runs its body
      std::string sql = "tsql_udf('" + f + "'";
      for (size_t k = 0; k < e.args.size(); ++k) sql += "," + arg(k);
      return sql + ")";
    }
    if (f == "count") {
      if (e.star) return "count(*)";
      return std::string("count(") + (e.distinct ? "DISTINCT " : "") + arg(0) + ")";
    }
    std::string distinct = e.distinct ? "DISTINCT " : "";
    if (f == "avg" && IsIntegerType(e.type.sql)) return "CAST(avg(" + distinct + arg(0) + ") AS INTEGER)";
    if (f == "sum" || f == "avg" || f == "stdev" || f == "var" || f == "stdevp" || f == "varp") {
      return f + "(" + distinct + arg(0) + ")";
    }
    if (f == "min" || f == "max") {
      bool text = !e.type.is_null && IsStringType(e.type.sql);
      return f + "(" + distinct + arg(0) + (text ? " COLLATE TSQL_CI)" : ")");
    }
    if (f == "left" || f == "right") return "tsql_" + f + "(" + arg(0) + "," + arg(1) + ")";
    if (f == "len") return "tsql_len(" + arg(0) + ")";
    if (f == "upper" || f == "lower") return f + "(" + arg(0) + ")";
    if (f == "ltrim" || f == "rtrim") return f + "(" + arg(0) + ",' ')";
    if (f == "substring") return "substr(" + arg(0) + "," + arg(1) + "," + arg(2) + ")";
    if (f == "isnull") return "ifnull(" + arg(0) + "," + Coerce(arg(1), e.args[1]->type, e.type.sql) + ")";
    if (f == "coalesce") {
      std::string sql = "coalesce(";
      for (size_t k = 0; k < e.args.size(); ++k) sql += (k ? "," : "") + Coerce(arg(k), e.args[k]->type, e.type.sql);
      return sql + ")";
    }
    if (f == "getdate") return "getdate()";
    if (f == "abs") {
      // The lowest int and bigint have no positive counterpart in their type (8115).
      if (e.type.sql.kind == TypeKind::kInt) return "tsql_int(abs(" + arg(0) + "))";
      if (e.type.sql.kind == TypeKind::kBigInt) return "tsql_abs_bigint(" + arg(0) + ")";
      return "abs(" + arg(0) + ")";
    }
    if (f == "round") {
      std::string truncate = e.args.size() == 3 ? arg(2) : "0";
      return "tsql_round(" + Coerce(arg(0), e.args[0]->type, e.type.sql) + "," + arg(1) + "," + truncate +
             "," + std::to_string(Family(e.type.sql)) + ")";
    }
    if (f == "power") {
      return "tsql_power(" + Coerce(arg(0), e.args[0]->type, e.type.sql) + "," + arg(1) + "," +
             std::to_string(Family(e.type.sql)) + ")";
    }
    if (f == "sqrt" || f == "exp") {
      return "tsql_" + f + "(" + Coerce(arg(0), e.args[0]->type, SqlType{TypeKind::kFloat}) + ")";
    }
    if (f == "object_id") return "object_id(" + arg(0) + ")";
    if (f == "objectproperty") return "objectproperty(" + arg(0) + "," + arg(1) + ")";
    return "NULL";
  }

  std::string TableList(const std::vector<TableRef>& from) {
    std::string sql;
    for (const TableRef& ref : from) {
      switch (ref.join) {
        case JoinKind::kFirst:
          break;
        case JoinKind::kComma:
          sql += ", ";
          break;
        case JoinKind::kInner:
          sql += " JOIN ";
          break;
        case JoinKind::kLeft:
          sql += " LEFT JOIN ";
          break;
      }
      sql += QuoteName(ref.table->name);
      if (!ref.alias.empty()) sql += " AS " + QuoteName(ref.alias);
      if (ref.on) sql += " ON " + Expression(*ref.on);
    }
    return sql;
  }

  // One SELECT of a chain; `types` are the result types of the whole UNION.
  std::string SelectCore(const Select& s, const std::vector<Column>& types) {
    std::string sql = s.distinct ? "SELECT DISTINCT " : "SELECT ";
    size_t column = 0;
    for (const SelectItem& item : s.items) {
      if (item.star) {
        for (const TableRef& ref : s.from) {
          std::string ref_name = ref.alias.empty() ? ref.table->name : ref.alias;
          if (!item.star_qualifier.empty() && Lower(ref_name) != Lower(item.star_qualifier)) continue;
          for (const ColumnInfo& c : ref.table->columns) {
            if (column) sql += ", ";
            sql += QuoteName(ref_name) + "." + QuoteName(c.name) + " AS c" + std::to_string(++column);
          }
        }
        continue;
      }
      if (column) sql += ", ";
      if (!item.assign_to.empty()) {
        // Assignment converts as SET does: strings are cut silently, numbers rounded.
        sql += Convert(Expression(*item.expr), variables_.at(item.assign_to), kCvtSilent) + " AS c" +
               std::to_string(++column);
        continue;
      }
      const SqlType& want = types[column].type;
      std::string expr = Coerce(Expression(*item.expr), item.expr->type, want);
      if (IsStringType(want) && item.expr->kind != ExprKind::kColumn) expr = "(" + expr + ") COLLATE TSQL_CI";
      sql += expr + " AS c" + std::to_string(++column);
    }
    if (!s.from.empty()) sql += " FROM " + TableList(s.from);
    if (s.where) sql += " WHERE " + Expression(*s.where);
    if (!s.group_by.empty()) {
      sql += " GROUP BY ";
      for (size_t k = 0; k < s.group_by.size(); ++k) {
        if (k) sql += ", ";
        sql += Expression(*s.group_by[k]);
        if (!s.group_by[k]->type.is_null && IsStringType(s.group_by[k]->type.sql)) sql += " COLLATE TSQL_CI";
      }
    }
    if (s.having) sql += " HAVING " + Expression(*s.having);
    return sql;
  }

  std::string Query(const Select& s) {
    std::string sql = SelectCore(s, s.columns);
    const Select* prev = &s;
    for (const Select* b = s.union_next.get(); b != nullptr; b = b->union_next.get()) {
      sql += prev->union_all ? " UNION ALL " : " UNION ";
      sql += SelectCore(*b, s.columns);
      prev = b;
    }
    if (!s.order_by.empty()) {
      sql += " ORDER BY ";
      for (size_t k = 0; k < s.order_by.size(); ++k) {
        const OrderItem& item = s.order_by[k];
        if (k) sql += ", ";
        if (item.ordinal != 0) {
          sql += std::to_string(item.ordinal);
        } else {
          sql += Expression(*item.expr);
          if (!item.expr->type.is_null && IsStringType(item.expr->type.sql)) sql += " COLLATE TSQL_CI";
        }
        if (item.descending) sql += " DESC";
      }
    }
    if (s.top >= 0) sql += " LIMIT " + std::to_string(s.top);
    return sql;
  }

  Translation* out_;
  const std::map<std::string, SqlType>& variables_;
};

}  // namespace

std::string ColumnDeclaration(const ColumnDef& def, bool rowid_identity) {
  std::string sql = QuoteName(def.name);
  if (def.identity && rowid_identity) return sql + " INTEGER PRIMARY KEY AUTOINCREMENT";
  if (IsIntegerType(def.type)) sql += " INTEGER";
  else if (IsStringType(def.type)) sql += " TEXT COLLATE TSQL_CI";
  else if (def.type.kind == TypeKind::kDateTime) sql += " TEXT";
  else sql += " REAL";
  if (!def.nullable) sql += " NOT NULL";
  return sql;
}

Translation TranslateStatement(const Catalog& catalog, const Statement& stmt,
                               const std::map<std::string, SqlType>& variables) {
  Translation out;
  Translator t(&out, variables);
  switch (stmt.kind) {
    case StmtKind::kDeclareCursor:
      out.sql = t.Query(*stmt.select);
      out.columns = stmt.select->columns;
      break;
    case StmtKind::kSelect:
      out.sql = t.Query(*stmt.select);
      out.columns = stmt.select->columns;
      out.returns_rows = true;
      for (size_t k = 0; k < stmt.select->items.size(); ++k) {
        const std::string& target = stmt.select->items[k].assign_to;
        if (target.empty()) continue;
        out.columns[k].name = target;
        out.columns[k].type = variables.at(target);
        out.returns_rows = false;
      }
      break;
    case StmtKind::kSet: {
      const SqlType& type = variables.at(stmt.variable);
      out.sql = "SELECT " + t.Convert(t.Expression(*stmt.value), type, kCvtSilent);
      out.columns.push_back(Column{stmt.variable, type, true});
      break;
    }
    case StmtKind::kReturn:
      out.sql = "SELECT " + (stmt.value ? t.Expression(*stmt.value) : std::string("0"));
      out.columns.push_back(Column{"", stmt.value && !stmt.value->type.is_null ? stmt.value->type.sql
                                                                            : SqlType{TypeKind::kInt},
                                   true});
      break;
    case StmtKind::kWhile:
    case StmtKind::kIf:
      out.sql = "SELECT CASE WHEN " + t.Expression(*stmt.condition) + " THEN 1 ELSE 0 END";
      break;
    case StmtKind::kInsert: {
      const TableInfo* table = catalog.FindTable(stmt.table);
      out.table = table->name;
      std::vector<const ColumnInfo*> targets;
      if (stmt.columns.empty()) {
        for (const ColumnInfo& c : table->columns) {
          if (!c.identity) targets.push_back(&c);
        }
      } else {
        for (const std::string& name : stmt.columns) {
          targets.push_back(&table->columns[static_cast<size_t>(table->Find(name))]);
        }
      }
      std::string sql = "INSERT INTO " + QuoteName(table->name) + " (";
      for (size_t k = 0; k < targets.size(); ++k) sql += (k ? "," : "") + QuoteName(targets[k]->name);
      sql += ")";
      if (stmt.select) {
        std::string inner = t.Query(*stmt.select);
        sql += " SELECT ";
        for (size_t k = 0; k < targets.size(); ++k) {
          Expr column;
          column.kind = ExprKind::kColumn;
          column.resolved = "c" + std::to_string(k + 1);
          column.type = ExprType{stmt.select->columns[k].type};
          sql += (k ? "," : "") + t.Write(column, targets[k]->type);
        }
        sql += " FROM (" + inner + ")";
      } else {
        sql += " VALUES ";
        for (size_t r = 0; r < stmt.values.size(); ++r) {
          sql += r ? ",(" : "(";
          for (size_t k = 0; k < targets.size(); ++k) {
            sql += (k ? "," : "") + t.Write(*stmt.values[r][k], targets[k]->type);
          }
          sql += ")";
        }
      }
      out.sql = std::move(sql);
      break;
    }
    case StmtKind::kUpdate: {
      const TableInfo* table = catalog.FindTable(stmt.table);
      out.table = table->name;
      std::string sql = "UPDATE " + QuoteName(table->name) + " SET ";
      for (size_t k = 0; k < stmt.sets.size(); ++k) {
        const ColumnInfo& c = table->columns[static_cast<size_t>(table->Find(stmt.sets[k].first))];
        sql += (k ? ", " : "") + QuoteName(c.name) + " = " + t.Write(*stmt.sets[k].second, c.type);
      }
      if (stmt.where) sql += " WHERE " + t.Expression(*stmt.where);
      out.sql = std::move(sql);
      break;
    }
    case StmtKind::kDelete: {
      const TableInfo* table = catalog.FindTable(stmt.table);
      out.table = table->name;
      out.sql = "DELETE FROM " + QuoteName(table->name);
      if (stmt.where) out.sql += " WHERE " + t.Expression(*stmt.where);
      break;
    }
    default:
      break;
  }
  return out;
}

}  // namespace engine
