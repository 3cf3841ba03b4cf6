// Text form of batch results (see result_text.h): what the SQL console prints and the engine's
// script tests compare. It formats values it is given and never runs a statement.
#include "platform/engine/result_text.h"

#include "platform/engine/internal/values.h"

namespace engine {

std::string FormatValue(const Value& value, const SqlType& type) {
  if (std::holds_alternative<std::monostate>(value)) return "NULL";
  if (const auto* i = std::get_if<int64_t>(&value)) {
    if (type.kind == TypeKind::kNumeric && type.scale > 0) return FormatNumeric(static_cast<double>(*i), type.scale);
    return std::to_string(*i);
  }
  if (const auto* d = std::get_if<double>(&value)) {
    if (type.kind == TypeKind::kNumeric) return FormatNumeric(*d, type.scale);
    return FormatFloat(*d);
  }
  if (const auto* s = std::get_if<std::string>(&value)) return *s;
  return FormatDateTime(std::get<DateTime>(value).ms);
}

std::string FormatBatchOutput(const BatchResult& result) {
  std::string out;
  for (const ResultSet& set : result.result_sets) {
    for (size_t k = 0; k < set.columns.size(); ++k) {
      if (k) out += '\t';
      out += set.columns[k].name;
    }
    out += '\n';
    for (const auto& row : set.rows) {
      for (size_t k = 0; k < row.size(); ++k) {
        if (k) out += '\t';
        out += FormatValue(row[k], set.columns[k].type);
      }
      out += '\n';
    }
    // Appended piece by piece: GCC 12 at -O3 reports a false -Wrestrict overlap for
    // "literal" + std::string temporaries, which stops a Release build under -Werror.
    out += '(';
    out += std::to_string(set.rows.size());
    out += " rows affected)\n";
  }
  return out;
}

std::string FormatError(const Error& error) {
  std::string out = "Msg " + std::to_string(error.number) + ", Level " + std::to_string(error.severity) +
                    ", State " + std::to_string(error.state);
  if (!error.procedure.empty()) out += ", Procedure " + error.procedure;
  out += ", Line " + std::to_string(error.line) + "\n" + error.message;
  return out;
}

}  // namespace engine
