// Nombrados: the rows (identifier, name) a command reads to find a stored form or sequence by the
// name the user typed. Part of core.
#pragma once

#include <string>
#include <vector>

namespace core {

class Aplicacion;

struct Nombrado {
  std::string id;
  std::string nombre;
};

// The rows of `consulta`, a query of two columns (identifier, name), read on CnSql in the order
// the server gives them. A failing query throws the server's runtime::VbError.
std::vector<Nombrado> LeerNombrados(Aplicacion& app, const std::string& consulta);

}  // namespace core
