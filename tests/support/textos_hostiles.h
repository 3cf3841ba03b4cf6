// What a person may type or paste into any box: quotes, brackets, comment marks, a statement of
// its own, a very long text and bytes that are not UTF-8. Each comes with the text a box keeps
// (the bytes that are not UTF-8 become U+FFFD). The windows' hostile-text tests share them; the
// table `x` they create must still be there afterwards.
#pragma once

#include <string>
#include <vector>

namespace test_support {

struct TextoHostil {
  std::string caso;
  std::string texto;
  std::string guardado;
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
