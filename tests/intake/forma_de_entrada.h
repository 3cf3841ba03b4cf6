// The shape of an error-log entry, shared by the import window tests.
#pragma once

#include <regex>
#include <string>

namespace intake_test {

// True when an error-log entry's text has the shape every handler writes: the source, CR LF,
// "(" number ") " description, CR LF, then the context line (which may span lines).
inline bool FormaDeEntrada(const std::string& texto) {
  static const std::regex kForma(R"(^[^\r\n]+\r\n\(-?[0-9]+\) [^\r\n]*\r\n[\s\S]+$)");
  return std::regex_match(texto, kForma);
}

}  // namespace intake_test
