// SQLite functions with T-SQL semantics (see sqlite_functions.h). Each raises the server's
// error number and text through the connection's FunctionContext before failing the step.
#include "platform/engine/internal/sqlite_functions.h"

#include <chrono>
#include <cstdint>
#include <cmath>
#include <cstring>
#include <ctime>
#include <string>
#include <string_view>

#include "platform/engine/internal/tokenizer.h"
#include "platform/engine/internal/types.h"
#include "platform/engine/internal/values.h"

namespace engine {
namespace {

FunctionContext* Ctx(sqlite3_context* c) {
  return static_cast<FunctionContext*>(sqlite3_user_data(c));
}

void Raise(sqlite3_context* c, int number, std::string message) {
  FunctionContext* ctx = Ctx(c);
  ctx->has_error = true;
  ctx->error = Error{};
  ctx->error.number = number;
  ctx->error.severity = 16;
  ctx->error.message = std::move(message);
  sqlite3_result_error(c, ctx->error.message.c_str(), -1);
}

std::string_view TextOf(sqlite3_value* v) {
  const unsigned char* t = sqlite3_value_text(v);
  return std::string_view(reinterpret_cast<const char*>(t), static_cast<size_t>(sqlite3_value_bytes(v)));
}

void ResultText(sqlite3_context* c, const std::string& s) {
  sqlite3_result_text(c, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
}

const char* SourceTypeName(sqlite3_value* v) {
  switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER: return "int";
    case SQLITE_FLOAT: return "float";
    default: return "varchar";
  }
}

int CollateCi(void*, int na, const void* a, int nb, const void* b) {
  return CompareText(std::string_view(static_cast<const char*>(a), static_cast<size_t>(na)),
                     std::string_view(static_cast<const char*>(b), static_cast<size_t>(nb)));
}

// tsql_cvt(value, kind, length_or_precision, scale, mode)
void Convert(sqlite3_context* c, int, sqlite3_value** argv) {
  sqlite3_value* v = argv[0];
  int vtype = sqlite3_value_type(v);
  if (vtype == SQLITE_NULL) {
    sqlite3_result_null(c);
    return;
  }
  auto kind = static_cast<TypeKind>(sqlite3_value_int(argv[1]));
  int length = sqlite3_value_int(argv[2]);
  int scale = sqlite3_value_int(argv[3]);
  int mode = sqlite3_value_int(argv[4]);
  SqlType target{kind, length, length, scale};
  switch (kind) {
    case TypeKind::kBit:
    case TypeKind::kTinyInt:
    case TypeKind::kSmallInt:
    case TypeKind::kInt:
    case TypeKind::kBigInt: {
      int64_t value;
      if (vtype == SQLITE_INTEGER) {
        value = sqlite3_value_int64(v);
      } else if (vtype == SQLITE_FLOAT) {
        double d = std::trunc(sqlite3_value_double(v));
        if (std::fabs(d) > 9.2e18) {
          Raise(c, 8115, "Arithmetic overflow error converting float to data type " + TypeName(target) + ".");
          return;
        }
        value = static_cast<int64_t>(d);
      } else if (!ParseIntegerText(TextOf(v), &value)) {
        std::string text(TextOf(v));
        Raise(c, 245, "Conversion failed when converting the varchar value '" + text +
                          "' to data type " + TypeName(target) + ".");
        return;
      }
      if (kind == TypeKind::kBit) value = value != 0;
      int64_t lo = kind == TypeKind::kTinyInt ? 0 : kind == TypeKind::kSmallInt ? -32768
                   : kind == TypeKind::kInt   ? -2147483648LL : INT64_MIN;
      int64_t hi = kind == TypeKind::kTinyInt ? 255 : kind == TypeKind::kSmallInt ? 32767
                   : kind == TypeKind::kInt   ? 2147483647LL : INT64_MAX;
      if (value < lo || value > hi) {
        Raise(c, 8115, std::string("Arithmetic overflow error converting ") + SourceTypeName(v) +
                           " to data type " + TypeName(target) + ".");
        return;
      }
      sqlite3_result_int64(c, value);
      return;
    }
    case TypeKind::kFloat:
    case TypeKind::kReal: {
      double d;
      if (vtype == SQLITE_INTEGER || vtype == SQLITE_FLOAT) {
        d = sqlite3_value_double(v);
      } else if (!ParseFloatText(TextOf(v), &d)) {
        Raise(c, 8114, "Error converting data type varchar to float.");
        return;
      }
      if (kind == TypeKind::kReal) d = static_cast<float>(d);
      sqlite3_result_double(c, d);
      return;
    }
    case TypeKind::kNumeric: {
      double d;
      if (vtype == SQLITE_INTEGER || vtype == SQLITE_FLOAT) {
        d = sqlite3_value_double(v);
      } else if (!ParseDecimalText(TextOf(v), &d)) {
        Raise(c, 8114, "Error converting data type varchar to numeric.");
        return;
      }
      d = RoundHalfAway(d, scale);
      if (std::fabs(d) >= std::pow(10.0, length - scale)) {
        Raise(c, 8115, std::string("Arithmetic overflow error converting ") +
                           (vtype == SQLITE_TEXT ? "varchar" : SourceTypeName(v)) +
                           " to data type numeric.");
        return;
      }
      sqlite3_result_double(c, d);
      return;
    }
    case TypeKind::kChar:
    case TypeKind::kVarChar: {
      std::string text;
      if (vtype == SQLITE_INTEGER) text = std::to_string(sqlite3_value_int64(v));
      else if (vtype == SQLITE_FLOAT) text = FormatFloat(sqlite3_value_double(v));
      else text = std::string(TextOf(v));
      size_t count = CharCount(text);
      if (count > static_cast<size_t>(length)) {
        std::string kept = CharPrefix(text, static_cast<size_t>(length));
        bool only_blanks = text.find_first_not_of(' ', kept.size()) == std::string::npos;
        if (mode == kCvtColumn && !only_blanks) {
          Raise(c, 8152, "String or binary data would be truncated.");
          return;
        }
        text = std::move(kept);
        count = static_cast<size_t>(length);
      }
      if (kind == TypeKind::kChar && count < static_cast<size_t>(length)) {
        text.append(static_cast<size_t>(length) - count, ' ');
      }
      ResultText(c, text);
      return;
    }
    case TypeKind::kDateTime: {
      int64_t ms = 0;
      if (vtype == SQLITE_INTEGER || vtype == SQLITE_FLOAT) {
        ms = static_cast<int64_t>(std::llround(sqlite3_value_double(v) * 86400000.0));
      } else {
        DateParse r = ParseDateTimeText(TextOf(v), &ms);
        if (r == DateParse::kBadText) {
          Raise(c, 241, "Conversion failed when converting date and/or time from character string.");
          return;
        }
        if (r == DateParse::kOutOfRange) {
          Raise(c, 242,
                "The conversion of a varchar data type to a datetime data type resulted in an "
                "out-of-range value.");
          return;
        }
      }
      ResultText(c, FormatDateTime(ms));
      return;
    }
  }
  sqlite3_result_value(c, v);
}

// tsql_div(a, b, integer_mode), tsql_mod(a, b)
// tsql_int(value): the result of int arithmetic, or 8115 when it does not fit an int.
void IntResult(sqlite3_context* c, int, sqlite3_value** argv) {
  int type = sqlite3_value_type(argv[0]);
  // SQLite turns an int64 overflow into a double, so both storage classes are range-checked.
  bool fits = type == SQLITE_NULL || type == SQLITE_TEXT || type == SQLITE_BLOB ||
              (type == SQLITE_INTEGER ? sqlite3_value_int64(argv[0]) >= INT32_MIN &&
                                            sqlite3_value_int64(argv[0]) <= INT32_MAX
                                      : sqlite3_value_double(argv[0]) >= INT32_MIN &&
                                            sqlite3_value_double(argv[0]) <= INT32_MAX);
  if (!fits) {
    Raise(c, 8115, "Arithmetic overflow error converting expression to data type int.");
    return;
  }
  sqlite3_result_value(c, argv[0]);
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

void Divide(sqlite3_context* c, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
    sqlite3_result_null(c);
    return;
  }
  bool integer = sqlite3_value_int(argv[2]) != 0;
  if (integer) {
    int64_t b = sqlite3_value_int64(argv[1]);
    if (b == 0) {
      Raise(c, 8134, "Divide by zero error encountered.");
      return;
    }
    int64_t a = sqlite3_value_int64(argv[0]);
    if (b == -1) sqlite3_result_int64(c, -a);
    else sqlite3_result_int64(c, a / b);
    return;
  }
  double b = sqlite3_value_double(argv[1]);
  if (b == 0) {
    Raise(c, 8134, "Divide by zero error encountered.");
    return;
  }
  sqlite3_result_double(c, sqlite3_value_double(argv[0]) / b);
}

void Modulo(sqlite3_context* c, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
    sqlite3_result_null(c);
    return;
  }
  if (sqlite3_value_type(argv[0]) == SQLITE_INTEGER && sqlite3_value_type(argv[1]) == SQLITE_INTEGER) {
    int64_t b = sqlite3_value_int64(argv[1]);
    if (b == 0) {
      Raise(c, 8134, "Divide by zero error encountered.");
      return;
    }
    sqlite3_result_int64(c, b == -1 ? 0 : sqlite3_value_int64(argv[0]) % b);
    return;
  }
  double b = sqlite3_value_double(argv[1]);
  if (b == 0) {
    Raise(c, 8134, "Divide by zero error encountered.");
    return;
  }
  sqlite3_result_double(c, std::fmod(sqlite3_value_double(argv[0]), b));
}

// The T-SQL LIKE pattern language over code points, case-folded.
bool LikeMatch(const std::u32string& s, size_t si, const std::u32string& p, size_t pi, char32_t escape) {
  while (pi < p.size()) {
    char32_t pc = p[pi];
    if (escape != 0 && pc == escape && pi + 1 < p.size()) {
      if (si >= s.size() || s[si] != p[pi + 1]) return false;
      ++si;
      pi += 2;
      continue;
    }
    if (pc == U'%') {
      while (pi < p.size() && p[pi] == U'%') ++pi;
      if (pi == p.size()) return true;
      for (size_t k = si; k <= s.size(); ++k) {
        if (LikeMatch(s, k, p, pi, escape)) return true;
      }
      return false;
    }
    if (si >= s.size()) return false;
    if (pc == U'_') {
      ++si;
      ++pi;
      continue;
    }
    if (pc == U'[') {
      size_t close = p.find(U']', pi + 1);
      if (close != std::u32string::npos) {
        size_t k = pi + 1;
        bool negate = k < close && p[k] == U'^';
        if (negate) ++k;
        bool hit = false;
        for (; k < close; ++k) {
          if (k + 2 < close && p[k + 1] == U'-') {
            if (s[si] >= p[k] && s[si] <= p[k + 2]) hit = true;
            k += 2;
          } else if (s[si] == p[k]) {
            hit = true;
          }
        }
        if (hit == negate) return false;
        ++si;
        pi = close + 1;
        continue;
      }
    }
    if (s[si] != pc) return false;
    ++si;
    ++pi;
  }
  return si == s.size();
}

std::u32string Folded(std::string_view text) {
  std::u32string out;
  for (char32_t cp : DecodeUtf8(text)) out.push_back(FoldCase(cp));
  return out;
}

std::string ValueAsText(sqlite3_value* v) {
  if (sqlite3_value_type(v) == SQLITE_FLOAT) return FormatFloat(sqlite3_value_double(v));
  return std::string(TextOf(v));
}

void Like(sqlite3_context* c, int argc, sqlite3_value** argv) {
  for (int k = 0; k < argc; ++k) {
    if (sqlite3_value_type(argv[k]) == SQLITE_NULL) {
      sqlite3_result_null(c);
      return;
    }
  }
  std::u32string value = Folded(ValueAsText(argv[0]));
  std::u32string pattern = Folded(ValueAsText(argv[1]));
  char32_t escape = 0;
  if (argc == 3) {
    std::u32string e = Folded(TextOf(argv[2]));
    escape = e.empty() ? 0 : e[0];
  }
  bool hit = LikeMatch(value, 0, pattern, 0, escape);
  if (!hit) {
    // Trailing blanks of the tested value do not count; those of the pattern do.
    while (!value.empty() && value.back() == U' ') value.pop_back();
    hit = LikeMatch(value, 0, pattern, 0, escape);
  }
  sqlite3_result_int(c, hit ? 1 : 0);
}

void LeftOrRight(sqlite3_context* c, sqlite3_value** argv, bool left) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
    sqlite3_result_null(c);
    return;
  }
  int64_t n = sqlite3_value_int64(argv[1]);
  if (n < 0) {
    Raise(c, 536, std::string("Invalid length parameter passed to the ") + (left ? "left" : "right") +
                      " function.");
    return;
  }
  std::string text = ValueAsText(argv[0]);
  size_t count = CharCount(text);
  if (static_cast<size_t>(n) >= count) {
    ResultText(c, text);
  } else if (left) {
    ResultText(c, CharPrefix(text, static_cast<size_t>(n)));
  } else {
    ResultText(c, text.substr(CharPrefix(text, count - static_cast<size_t>(n)).size()));
  }
}

void Left(sqlite3_context* c, int, sqlite3_value** argv) { LeftOrRight(c, argv, true); }
void Right(sqlite3_context* c, int, sqlite3_value** argv) { LeftOrRight(c, argv, false); }

void Len(sqlite3_context* c, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
    sqlite3_result_null(c);
    return;
  }
  std::string text = ValueAsText(argv[0]);
  while (!text.empty() && text.back() == ' ') text.pop_back();
  sqlite3_result_int64(c, static_cast<int64_t>(CharCount(text)));
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

// tsql_round(x, digits, truncate, family)
void Round(sqlite3_context* c, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
    sqlite3_result_null(c);
    return;
  }
  int digits = sqlite3_value_int(argv[1]);
  bool truncate = sqlite3_value_int(argv[2]) != 0;
  int family = sqlite3_value_int(argv[3]);
  double x = sqlite3_value_double(argv[0]);
  double factor = std::pow(10.0, digits);
  double result;
  if (truncate) result = std::trunc(x * factor) / factor;
  else if (family == kFamilyFloat) result = std::round(x * factor) / factor;  // the binary value
  else result = RoundHalfAway(x, digits);
  if (family == kFamilyInt) sqlite3_result_int64(c, static_cast<int64_t>(result));
  else sqlite3_result_double(c, result);
}

// tsql_power(x, y, family)
void Power(sqlite3_context* c, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
    sqlite3_result_null(c);
    return;
  }
  double r = std::pow(sqlite3_value_double(argv[0]), sqlite3_value_double(argv[1]));
  if (!std::isfinite(r)) {
    Raise(c, 3623, "An invalid floating point operation occurred.");
    return;
  }
  if (sqlite3_value_int(argv[2]) == kFamilyInt) sqlite3_result_int64(c, static_cast<int64_t>(r));
  else sqlite3_result_double(c, r);
}

void Sqrt(sqlite3_context* c, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
    sqlite3_result_null(c);
    return;
  }
  double x = sqlite3_value_double(argv[0]);
  if (x < 0) {
    Raise(c, 3623, "An invalid floating point operation occurred.");
    return;
  }
  sqlite3_result_double(c, std::sqrt(x));
}

void Exp(sqlite3_context* c, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
    sqlite3_result_null(c);
    return;
  }
  double r = std::exp(sqlite3_value_double(argv[0]));
  if (!std::isfinite(r)) {
    Raise(c, 3623, "An invalid floating point operation occurred.");
    return;
  }
  sqlite3_result_double(c, r);
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

FunctionContext::~FunctionContext() {
  sqlite3_finalize(object_by_name);
  sqlite3_finalize(object_by_id);
}

bool IsBatchAbortingError(int number) {
  return number == 245 || number == 8114 || number == 241 || number == 242 || number == 248;
}

bool RegisterFunctions(sqlite3* db, FunctionContext* ctx) {
  ctx->db = db;
  if (sqlite3_create_collation_v2(db, "TSQL_CI", SQLITE_UTF8, nullptr, CollateCi, nullptr) != SQLITE_OK)
    return false;
  struct Scalar {
    const char* name;
    int args;
    void (*fn)(sqlite3_context*, int, sqlite3_value**);
    bool deterministic;
  };
  const Scalar kScalars[] = {
      {"tsql_cvt", 5, Convert, true},       {"tsql_div", 3, Divide, true},
      {"tsql_single", 2, Single, true},     {"tsql_int", 1, IntResult, true},
      {"tsql_mod", 2, Modulo, true},        {"tsql_like", 2, Like, true},
      {"tsql_like", 3, Like, true},         {"tsql_left", 2, Left, true},
      {"tsql_right", 2, Right, true},       {"tsql_len", 1, Len, true},
      {"getdate", 0, GetDate, false},       {"tsql_round", 4, Round, true},
      {"tsql_power", 3, Power, true},       {"tsql_sqrt", 1, Sqrt, true},
      {"tsql_exp", 1, Exp, true},           {"object_id", 1, ObjectId, false},
      {"objectproperty", 2, ObjectProperty, false}, {"tsql_udf", -1, UserFunction, false},
  };
  for (const Scalar& s : kScalars) {
    int flags = SQLITE_UTF8 | (s.deterministic ? SQLITE_DETERMINISTIC : 0);
    if (sqlite3_create_function_v2(db, s.name, s.args, flags, ctx, s.fn, nullptr, nullptr, nullptr) !=
        SQLITE_OK)
      return false;
  }
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
