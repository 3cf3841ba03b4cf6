// The T-SQL behaviour that SQLite lacks, registered on each connection: the TSQL_CI collation,
// typed conversions and arithmetic that raise the server's errors, LIKE with [] sets, LEFT,
// RIGHT, LEN, GETDATE, STDEV/VAR, OBJECT_ID and OBJECTPROPERTY. A function reports a T-SQL
// error through the FunctionContext slot, which the executor reads when a step fails.
#pragma once

#include <sqlite3.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/engine/engine.h"

namespace engine {

struct FunctionContext {
  // Runs a scalar user function: name (lower case), arguments, result; false with `error` set.
  using UserFunction = std::function<bool(const std::string&, const std::vector<Value>&, Value*, Error*)>;
  UserFunction user_function;
  sqlite3* db = nullptr;
  bool has_error = false;
  Error error;
  sqlite3_stmt* object_by_name = nullptr;
  sqlite3_stmt* object_by_id = nullptr;
  ~FunctionContext();
};

// Modes of tsql_cvt: how a too-long string is treated.
inline constexpr int kCvtColumn = 0;  // 8152, as when writing a column
inline constexpr int kCvtSilent = 1;  // cut, as CAST and variables do

// Modes of tsql_round / tsql_power: the T-SQL type family of the first argument.
inline constexpr int kFamilyInt = 0;
inline constexpr int kFamilyNumeric = 1;
inline constexpr int kFamilyFloat = 2;

bool RegisterFunctions(sqlite3* db, FunctionContext* context);

// True for the conversion errors that abort the whole batch and roll back its transaction.
bool IsBatchAbortingError(int number);

}  // namespace engine
