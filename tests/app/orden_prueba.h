// What the command-line tests share: a line read with no environment set, a command run
// in-process on an application folder as a scheduled job runs it, and that folder's rows.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "app/consolida/linea_de_comandos.h"
#include "platform/runtime/conversions.h"
#include "platform/sql/client.h"

namespace app_test {

using Textos = std::vector<std::string>;

inline consolida::Orden Leer(const Textos& argumentos) {
  return consolida::LeerOrden(argumentos, [](const char*) { return std::nullopt; }, "/opt/consolida");
}

struct Corrida {
  int codigo;
  std::string out, err;
  // The whole outcome as one text: "code|stdout|stderr".
  std::string Todo() const { return std::to_string(codigo) + "|" + out + "|" + err; }
};

// Runs `argumentos` on application folder `carpeta`; the line must be one that runs.
inline Corrida Correr(Textos argumentos, const std::filesystem::path& carpeta) {
  argumentos.push_back("--app-folder=" + carpeta.string());
  const consolida::Orden orden = Leer(argumentos);
  EXPECT_NE(orden.accion, consolida::Accion::kTerminar) << orden.mensaje;
  std::ostringstream out, err;
  const int codigo = consolida::EjecutarSinVentana(orden, out, err);
  return {codigo, out.str(), err.str()};
}

// The rows of `consulta` on the database of application folder `carpeta`, values joined by "|".
inline Textos FilasDe(const std::filesystem::path& carpeta, const std::string& consulta) {
  sql::Connection cn;
  cn.Open("Provider=SQLOLEDB.1;Data Source=" + (carpeta / "Consolida.db").string());
  Textos filas;
  for (sql::Recordset rs = cn.Execute(consulta); !rs.Eof(); rs.MoveNext()) {
    filas.emplace_back();
    for (int i = 0; i < rs.Fields().Count(); ++i) filas.back() += (i ? "|" : "") + runtime::JoinText(rs(i).Value());
  }
  return filas;
}

}  // namespace app_test
