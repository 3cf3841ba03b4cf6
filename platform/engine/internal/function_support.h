// Helpers shared by the files that implement the SQLite functions (sqlite_functions.cpp,
// conversion_functions.cpp, text_functions.cpp): raising a T-SQL error from inside a function,
// reading and returning text, and registering a table of scalar functions. Only those files
// include it.
#pragma once

#include <sqlite3.h>

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/engine/internal/sqlite_functions.h"

namespace engine {

inline FunctionContext* Ctx(sqlite3_context* c) {
  return static_cast<FunctionContext*>(sqlite3_user_data(c));
}

// Records the T-SQL error in the connection's FunctionContext and fails the step.
void Raise(sqlite3_context* c, int number, std::string message);

inline std::string_view TextOf(sqlite3_value* v) {
  const unsigned char* t = sqlite3_value_text(v);
  return std::string_view(reinterpret_cast<const char*>(t), static_cast<size_t>(sqlite3_value_bytes(v)));
}

inline void ResultText(sqlite3_context* c, const std::string& s) {
  sqlite3_result_text(c, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
}

struct ScalarFunction {
  const char* name;
  int args;
  void (*fn)(sqlite3_context*, int, sqlite3_value**);
  bool deterministic;
};

// Registers `count` scalar functions with `context` as their user data.
bool RegisterScalars(sqlite3* db, FunctionContext* context, const ScalarFunction* functions, size_t count);

// tsql_cvt, tsql_int, tsql_div, tsql_mod, tsql_round, tsql_power, tsql_sqrt, tsql_exp.
bool RegisterConversionFunctions(sqlite3* db, FunctionContext* context);
// tsql_like, tsql_left, tsql_right, tsql_len.
bool RegisterTextFunctions(sqlite3* db, FunctionContext* context);

}  // namespace engine
