// Text form of batch results and errors, shared by the SQL console and the engine's script
// tests: result sets as TAB-separated lines with a "(N rows affected)" footer, values written
// as the client program shows them.
#pragma once

#include <string>

#include "platform/engine/engine.h"

namespace engine {

// Each result set: a header of column names, one line per row, then "(N rows affected)".
// NULL prints as NULL, floats as CStr writes a Double, numeric with its scale, datetime as
// yyyy-mm-dd hh:mm:ss.mmm. Lines end with LF; statements without rows print nothing.
std::string FormatBatchOutput(const BatchResult& result);

// "Msg N, Level L, State S[, Procedure P], Line K\n<message>".
std::string FormatError(const Error& error);

// One value as FormatBatchOutput writes it, given its column type.
std::string FormatValue(const Value& value, const SqlType& type);

}  // namespace engine
