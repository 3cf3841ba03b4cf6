// Typed conversion and arithmetic with the server's errors, as SQLite functions: tsql_cvt
// (every declared type, 245, 8114, 8115, 8152, 241, 242), int overflow (8115), division and
// modulo by zero (8134), and ROUND, POWER, SQRT and EXP with T-SQL result types. Registered by
// RegisterFunctions (sqlite_functions.cpp); they read no table and keep no state.
#include <cmath>
#include <cstdint>
#include <iterator>
#include <string>

#include "platform/engine/internal/function_support.h"
#include "platform/engine/internal/types.h"
#include "platform/engine/internal/values.h"
#include "platform/runtime/text.h"

namespace engine {
namespace {

const char* SourceTypeName(sqlite3_value* v) {
  switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER: return "int";
    case SQLITE_FLOAT: return "float";
    default: return "varchar";
  }
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
      int64_t count = runtime::Len(text);
      if (count > length) {
        std::string kept = runtime::Left(text, length);
        bool only_blanks = text.find_first_not_of(' ', kept.size()) == std::string::npos;
        if (mode == kCvtColumn && !only_blanks) {
          Raise(c, 8152, "String or binary data would be truncated.");
          return;
        }
        text = std::move(kept);
        count = length;
      }
      if (kind == TypeKind::kChar && count < length) {
        text.append(static_cast<size_t>(length - count), ' ');
      }
      ResultText(c, text);
      return;
    }
    case TypeKind::kDateTime: {
      int64_t ms = 0;
      if (vtype == SQLITE_INTEGER || vtype == SQLITE_FLOAT) {
        if (!DateTimeFromDays(sqlite3_value_double(v), &ms)) {
          Raise(c, 8115, "Arithmetic overflow error converting expression to data type datetime.");
          return;
        }
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

// tsql_days(datetime): the days since 1900-01-01 of a stored datetime, its time of day as the
// fraction.
void Days(sqlite3_context* c, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) != SQLITE_TEXT) {
    sqlite3_result_value(c, argv[0]);
    return;
  }
  int64_t ms = 0;
  if (!ParseStoredDateTime(TextOf(argv[0]), &ms)) {
    Raise(c, 241, "Conversion failed when converting date and/or time from character string.");
    return;
  }
  sqlite3_result_double(c, static_cast<double>(ms) / 86400000.0);
}

constexpr const char* kBigIntOverflow =
    "Arithmetic overflow error converting expression to data type bigint.";

// tsql_bigint(value): the result of bigint arithmetic, or 8115 when it overflowed: both
// operands are integers, so a double result is SQLite's sign of an int64 overflow.
void BigIntResult(sqlite3_context* c, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_FLOAT) {
    Raise(c, 8115, kBigIntOverflow);
    return;
  }
  sqlite3_result_value(c, argv[0]);
}

// tsql_abs_bigint(value): ABS of a bigint; the lowest bigint has no positive counterpart.
void AbsBigInt(sqlite3_context* c, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) != SQLITE_INTEGER) {
    sqlite3_result_value(c, argv[0]);
    return;
  }
  const int64_t v = sqlite3_value_int64(argv[0]);
  if (v == INT64_MIN) {
    Raise(c, 8115, kBigIntOverflow);
    return;
  }
  sqlite3_result_int64(c, v < 0 ? -v : v);
}

// tsql_div(a, b, integer_mode), tsql_mod(a, b)
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

}  // namespace

bool RegisterConversionFunctions(sqlite3* db, FunctionContext* ctx) {
  const ScalarFunction kScalars[] = {
      {"tsql_cvt", 5, Convert, true},   {"tsql_div", 3, Divide, true},
      {"tsql_int", 1, IntResult, true}, {"tsql_mod", 2, Modulo, true},
      {"tsql_round", 4, Round, true},   {"tsql_power", 3, Power, true},
      {"tsql_sqrt", 1, Sqrt, true},     {"tsql_exp", 1, Exp, true},
      {"tsql_bigint", 1, BigIntResult, true}, {"tsql_abs_bigint", 1, AbsBigInt, true},
      {"tsql_days", 1, Days, true},
  };
  return RegisterScalars(db, ctx, kScalars, std::size(kScalars));
}

}  // namespace engine
