// What a person may type or paste into any box, each with the text a box keeps (bytes that are
// not UTF-8 become U+FFFD). The tests create table `x`, which must still be there afterwards.
#pragma once

#include <string>
#include <vector>

namespace test_support {

struct TextoHostil {
  std::string caso;
  std::string texto;
  std::string guardado;
  bool Largo() const { return guardado.size() > 100; }  // too long for a name column
};

inline std::vector<TextoHostil> TextosHostiles() {
  std::string largo;
  while (largo.size() < 10240) largo += "ab'c]-- ";
  return {
      {"apostrofo", "O'Brien", "O'Brien"},
      {"corchetes", "[SE_ARCHIVOS]", "[SE_ARCHIVOS]"},
      {"comentario", "a -- b", "a -- b"},
      {"sentencia inyectada", "x'); DROP TABLE x; --", "x'); DROP TABLE x; --"},
      {"punto y coma", "; DROP TABLE x", "; DROP TABLE x"},
      {"10 KB", largo, largo},
      {"UTF-8 invalido", "A\xff\xc3(B\xed\xa0\x80", "A\xEF\xBF\xBD\xEF\xBF\xBD(B\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
  };
}

inline constexpr char kTablaTestigo[] = "CREATE TABLE x (a int)";

}  // namespace test_support
