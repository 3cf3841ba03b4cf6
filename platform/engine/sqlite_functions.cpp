// Registers the T-SQL behaviour SQLite lacks on a connection (see sqlite_functions.h), and
// holds the functions that need the connection itself: the TSQL_CI collation, the scalar
// subquery check, GETDATE, STDEV/VAR, tsql_udf and the sysobjects look-ups. Conversions and
// text functions live in conversion_functions.cpp and text_functions.cpp.
#include "platform/engine/internal/sqlite_functions.h"

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <iterator>
#include <string>
#include <string_view>

#include "platform/engine/internal/function_support.h"
#include "platform/engine/internal/tokenizer.h"
#include "platform/engine/internal/values.h"

namespace engine {
namespace {

int CollateCi(void*, int na, const void* a, int nb, const void* b) {
  return CompareText(std::string_view(static_cast<const char*>(a), static_cast<size_t>(na)),
                     std::string_view(static_cast<const char*>(b), static_cast<size_t>(nb)));
}

// tsql_single(has_second_row, value): a scalar subquery's value, or 512 when it had more rows.
void Single(sqlite3_context* c, int, sqlite3_value** argv) {
  if (sqlite3_value_int(argv[0]) != 0) {
    Raise(c, 512,
          "Subquery returned more than 1 value. This is not permitted when the subquery follows "
          "=, !=, <, <= , >, >= or when the subquery is used as an expression.");
    return;
  }
  sqlite3_result_value(c, argv[1]);
}

void GetDate(sqlite3_context* c, int, sqlite3_value**) {
  auto now = std::chrono::system_clock::now();
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count();
  std::time_t secs = static_cast<std::time_t>(ms / 1000);
  std::tm local{};
  localtime_r(&secs, &local);
  char buf[80];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d.%03d", local.tm_year + 1900,
                local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                static_cast<int>(ms % 1000));
  ResultText(c, buf);
}

// STDEV, VAR, STDEVP, VARP with Welford's running mean; NULLs skipped.
struct Moments {
  int64_t n;
  double mean;
  double m2;
};

void MomentsStep(sqlite3_context* c, int, sqlite3_value** argv) {
  auto* m = static_cast<Moments*>(sqlite3_aggregate_context(c, sizeof(Moments)));
  if (m == nullptr || sqlite3_value_type(argv[0]) == SQLITE_NULL) return;
  double x = sqlite3_value_double(argv[0]);
  ++m->n;
  double delta = x - m->mean;
  m->mean += delta / static_cast<double>(m->n);
  m->m2 += delta * (x - m->mean);
}

template <bool kSample, bool kRoot>
void MomentsFinalT(sqlite3_context* c) {
  auto* m = static_cast<Moments*>(sqlite3_aggregate_context(c, 0));
  int64_t n = m ? m->n : 0;
  if (n == 0 || (kSample && n < 2)) {
    sqlite3_result_null(c);
    return;
  }
  double var = m->m2 / static_cast<double>(kSample ? n - 1 : n);
  sqlite3_result_double(c, kRoot ? std::sqrt(var) : var);
}

// tsql_udf(name, args...): hands the call to the interpreter.
void UserFunction(sqlite3_context* c, int argc, sqlite3_value** argv) {
  FunctionContext* ctx = Ctx(c);
  std::string name(TextOf(argv[0]));
  std::vector<Value> args;
  for (int k = 1; k < argc; ++k) {
    switch (sqlite3_value_type(argv[k])) {
      case SQLITE_INTEGER: args.emplace_back(static_cast<int64_t>(sqlite3_value_int64(argv[k]))); break;
      case SQLITE_FLOAT: args.emplace_back(sqlite3_value_double(argv[k])); break;
      case SQLITE_NULL: args.emplace_back(std::monostate{}); break;
      default: args.emplace_back(std::string(TextOf(argv[k]))); break;
    }
  }
  Value result;
  Error error;
  if (!ctx->user_function || !ctx->user_function(name, args, &result, &error)) {
    ctx->has_error = true;
    ctx->error = error;
    sqlite3_result_error(c, ctx->error.message.c_str(), -1);
    return;
  }
  if (const auto* i = std::get_if<int64_t>(&result)) sqlite3_result_int64(c, *i);
  else if (const auto* d = std::get_if<double>(&result)) sqlite3_result_double(c, *d);
  else if (const auto* t = std::get_if<std::string>(&result)) ResultText(c, *t);
  else if (const auto* when = std::get_if<DateTime>(&result)) ResultText(c, FormatDateTime(when->ms));
  else sqlite3_result_null(c);
}

// The last part of a possibly bracketed, schema-qualified name: N'[dbo].[X]' -> X.
std::string ObjectNamePart(std::string_view text) {
  std::string last;
  std::string current;
  bool bracket = false;
  for (char ch : text) {
    if (ch == '[' && !bracket) {
      bracket = true;
    } else if (ch == ']' && bracket) {
      bracket = false;
    } else if (ch == '.' && !bracket) {
      last = current;
      current.clear();
    } else {
      current += ch;
    }
  }
  return current.empty() ? last : current;
}

void ObjectId(sqlite3_context* c, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
    sqlite3_result_null(c);
    return;
  }
  FunctionContext* ctx = Ctx(c);
  std::string name = ObjectNamePart(TextOf(argv[0]));
  sqlite3_stmt* s = ctx->object_by_name;
  sqlite3_bind_text(s, 1, name.c_str(), -1, SQLITE_TRANSIENT);
  if (sqlite3_step(s) == SQLITE_ROW) sqlite3_result_int64(c, sqlite3_column_int64(s, 0));
  else sqlite3_result_null(c);
  sqlite3_reset(s);
}

void ObjectProperty(sqlite3_context* c, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
    sqlite3_result_null(c);
    return;
  }
  FunctionContext* ctx = Ctx(c);
  std::string property = Lower(TextOf(argv[1]));
  const char* wanted = property == "isusertable"   ? "U"
                       : property == "isprocedure" ? "P"
                       : property == "isscalarfunction" ? "FN"
                                                        : nullptr;
  sqlite3_stmt* s = ctx->object_by_id;
  sqlite3_bind_int64(s, 1, sqlite3_value_int64(argv[0]));
  if (wanted != nullptr && sqlite3_step(s) == SQLITE_ROW) {
    std::string xtype = reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
    sqlite3_result_int(c, xtype == wanted ? 1 : 0);
  } else {
    sqlite3_result_null(c);
  }
  sqlite3_reset(s);
}

}  // namespace

void Raise(sqlite3_context* c, int number, std::string message) {
  FunctionContext* ctx = Ctx(c);
  ctx->has_error = true;
  ctx->error = Error{};
  ctx->error.number = number;
  ctx->error.severity = 16;
  ctx->error.message = std::move(message);
  sqlite3_result_error(c, ctx->error.message.c_str(), -1);
}

FunctionContext::~FunctionContext() {
  sqlite3_finalize(object_by_name);
  sqlite3_finalize(object_by_id);
}

bool IsBatchAbortingError(int number) {
  return number == 245 || number == 8114 || number == 241 || number == 242 || number == 248;
}

bool RegisterScalars(sqlite3* db, FunctionContext* ctx, const ScalarFunction* functions, size_t count) {
  for (size_t k = 0; k < count; ++k) {
    const ScalarFunction& s = functions[k];
    int flags = SQLITE_UTF8 | (s.deterministic ? SQLITE_DETERMINISTIC : 0);
    if (sqlite3_create_function_v2(db, s.name, s.args, flags, ctx, s.fn, nullptr, nullptr, nullptr) !=
        SQLITE_OK)
      return false;
  }
  return true;
}

bool RegisterFunctions(sqlite3* db, FunctionContext* ctx) {
  ctx->db = db;
  if (sqlite3_create_collation_v2(db, "TSQL_CI", SQLITE_UTF8, nullptr, CollateCi, nullptr) != SQLITE_OK)
    return false;
  const ScalarFunction kScalars[] = {
      {"tsql_single", 2, Single, true},          {"getdate", 0, GetDate, false},
      {"object_id", 1, ObjectId, false},         {"objectproperty", 2, ObjectProperty, false},
      {"tsql_udf", -1, UserFunction, false},
  };
  if (!RegisterScalars(db, ctx, kScalars, std::size(kScalars)) || !RegisterConversionFunctions(db, ctx) ||
      !RegisterTextFunctions(db, ctx))
    return false;
  struct Aggregate {
    const char* name;
    void (*final)(sqlite3_context*);
  };
  const Aggregate kAggregates[] = {{"stdev", MomentsFinalT<true, true>},
                                   {"var", MomentsFinalT<true, false>},
                                   {"stdevp", MomentsFinalT<false, true>},
                                   {"varp", MomentsFinalT<false, false>}};
  for (const Aggregate& a : kAggregates) {
    if (sqlite3_create_function_v2(db, a.name, 1, SQLITE_UTF8, ctx, nullptr, MomentsStep, a.final,
                                   nullptr) != SQLITE_OK)
      return false;
  }
  return sqlite3_prepare_v2(db, "SELECT id FROM _engine_objects WHERE name = ?1", -1,
                            &ctx->object_by_name, nullptr) == SQLITE_OK &&
         sqlite3_prepare_v2(db, "SELECT xtype FROM _engine_objects WHERE id = ?1", -1,
                            &ctx->object_by_id, nullptr) == SQLITE_OK;
}

}  // namespace engine
