#include "core/nombrados.h"

#include "core/aplicacion.h"
#include "platform/runtime/conversions.h"
#include "platform/sql/client.h"

namespace core {

std::vector<Nombrado> LeerNombrados(Aplicacion& app, const std::string& consulta) {
  sql::Recordset rs;
  rs.Open(consulta, app.CnSql);
  std::vector<Nombrado> filas;
  for (; !rs.Eof(); rs.MoveNext()) {
    filas.push_back({runtime::JoinText(rs(0).Value()), runtime::JoinText(rs(1).Value())});
  }
  rs.Close();
  return filas;
}

}  // namespace core
