// Real DBF files from tests/data/dbf through the survey import. Each is read with the DBF
// reader, given a company column "unico" in front (the real files have none) and written again
// with the test writer under a survey name; then every value must arrive in SE_NOVEDAD.
#include <gtest/gtest.h>

#include <charconv>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "intake/proc_novedades.h"
#include "platform/dbf/dbf_reader.h"
#include "platform/runtime/text.h"
#include "tests/support/carpeta_aplicacion.h"

namespace intake_test {

using namespace test_support;
namespace {

using dbf::DbfField;
using dbf::DbfTable;

constexpr size_t kMaxRegistros = 8;

struct Esperado {
  std::string tipo;   // the value tag
  std::string valor;  // ValorStr, ValorInt or ValorDbl as text, by tag
};

bool EsAscii(const std::string& texto) {
  for (unsigned char c : texto) {
    if (c >= 0x80 || c < 0x20) return false;
  }
  return true;
}

// Rewrites a real table with "UNICO" first and the columns the writer can hold; fills the values
// each company must end with, keyed by "company|field".
DbfTable ConUnico(const sql::RowSet& real, const std::string& prefijo,
                  std::map<std::string, Esperado>& esperado) {
  DbfTable tabla;
  tabla.flavor = dbf::DbfFlavor::kVisualFoxPro;
  tabla.fields.push_back({"UNICO", 'C', 20});
  const size_t registros = std::min(real.rows.size(), kMaxRegistros);
  std::vector<int> columnas;
  for (size_t c = 0; c < real.fields.size(); ++c) {
    const sql::FieldInfo& info = real.fields[c];
    bool sirve = false;
    switch (info.type) {
      case sql::adChar:
        sirve = info.defined_size <= 254;
        for (size_t r = 0; sirve && r < registros; ++r) {
          const runtime::Valor& v = real.rows[r][c];
          sirve = v.IsNull() || EsAscii(runtime::CStr(v));
        }
        if (sirve) tabla.fields.push_back({info.name, 'C', static_cast<int>(info.defined_size)});
        break;
      case sql::adNumeric:
        sirve = true;
        tabla.fields.push_back({info.name, 'N', info.precision, info.numeric_scale});
        break;
      case sql::adInteger:
        sirve = true;
        tabla.fields.push_back({info.name, 'I'});
        break;
      case sql::adDBDate:
        sirve = true;
        tabla.fields.push_back({info.name, 'D'});
        break;
      default:
        break;
    }
    if (sirve) columnas.push_back(static_cast<int>(c));
  }

  for (size_t r = 0; r < registros; ++r) {
    const std::string unico = prefijo + std::to_string(r + 1);
    dbf::DbfRecord registro;
    registro.values.push_back(unico);
    for (size_t i = 0; i < columnas.size(); ++i) {
      const DbfField& campo = tabla.fields[i + 1];
      const runtime::Valor& v = real.rows[r][columnas[i]];
      std::string texto;
      Esperado e;
      if (campo.type == 'C') {
        texto = v.IsNull() ? "" : runtime::CStr(v);
        const std::string recortado = runtime::Trim(texto);
        e = {"Str", recortado.empty() ? "Null" : recortado};
      } else if (campo.type == 'N') {
        const double numero = v.IsNull() ? 0 : runtime::CDbl(v);
        char buffer[64];
        texto.assign(buffer, std::to_chars(buffer, buffer + sizeof buffer, numero,
                                           std::chars_format::fixed, campo.decimals).ptr);
        // A number too wide for its field comes back as the writer would refuse it; keep it blank.
        if (static_cast<int>(texto.size()) > campo.length) texto.clear();
        e = {"Dbl", runtime::CStrDouble(texto.empty() ? 0 : runtime::Val(texto))};
      } else if (campo.type == 'I') {
        texto = v.IsNull() ? "0" : std::to_string(v.AsLong());
        e = {"Int", texto};
      } else {
        const bool vacia = v.IsNull() || v.AsDate().days == 0;
        texto = vacia ? "" : runtime::Format(v.AsDate(), "yyyymmdd");
        e = {"Dte", vacia ? "01/01/1900" : runtime::Format(v.AsDate(), "dd/mm/yyyy")};
      }
      registro.values.push_back(texto);
      // A name met again (dbase_03.dbf has two Point_ID) is the same field of the same company:
      // its row keeps the tag and text of the first, the later one only updates the numbers.
      esperado.emplace(unico + "|" + campo.name, e);
    }
    tabla.records.push_back(registro);
  }
  return tabla;
}

class ArchivosRealesTest : public VentanaPrueba {};

TEST_F(ArchivosRealesTest, CadaValorDeArchivosRealesLlegaASuFila) {
  const char* reales[] = {"dbase_03.dbf", "dbase_30.dbf", "dbase_31.dbf",
                          "stations_with_deleted.dbf", "dbase_8b.dbf", "dbase_83.dbf"};
  std::map<std::string, Esperado> esperado;
  std::vector<std::string> nombres;
  int indice = 0;
  for (const char* real : reales) {
    SCOPED_TRACE(real);
    const dbf::TableContents contenido =
        dbf::ReadTable(std::string(CONSOLIDA_TEST_DATA_DIR) + "/dbf/" + real);
    ASSERT_FALSE(contenido.rows.rows.empty());
    ++indice;
    const std::string nombre = "REAL0" + std::to_string(indice) + "_" + std::to_string(indice) +
                               ".dbf";
    const DbfTable tabla = ConUnico(contenido.rows, "R" + std::to_string(indice) + "-", esperado);
    ASSERT_GT(tabla.fields.size(), 2u);
    EscribirDbf(nombre, tabla);
    nombres.push_back(nombre.substr(0, nombre.size() - 4));
  }

  auto form = std::make_unique<intake::Proc_Novedades>(App());
  Ui().Show(*form);
  form->TxtPeriodo.UserEdit("2006");
  form->Proceso.UserClick();

  EXPECT_EQ(Ui().Prompts(), std::vector<std::string>{});
  EXPECT_EQ(EntradasLog(), std::vector<std::string>{});
  EXPECT_EQ(Carpeta("Datos"), std::vector<std::string>{});
  EXPECT_EQ(Filas("Select Arc_Nombre From SE_ARCHIVOS Order By Arc_Nombre"), nombres);
  EXPECT_EQ(Filas("Select Count(*) From SE_COMM_PROCESO Where Tipo = 'Novedad' And Periodo = 2006"),
            std::vector<std::string>{std::to_string(nombres.size())});

  std::map<std::string, Esperado> guardado;
  for (const std::string& fila :
       Filas("Select Empresa, Campo, Tipo, ValorStr, ValorInt, ValorDbl, ValorDte From SE_NOVEDAD")) {
    std::vector<std::string> partes;
    size_t desde = 0;
    for (size_t hasta; (hasta = fila.find('|', desde)) != std::string::npos; desde = hasta + 1) {
      partes.push_back(fila.substr(desde, hasta - desde));
    }
    partes.push_back(fila.substr(desde));
    ASSERT_EQ(partes.size(), 7u) << fila;
    const std::string& tipo = partes[2];
    const std::string valor = tipo == "Str" ? partes[3]
                              : tipo == "Int" ? partes[4]
                              : tipo == "Dbl" ? partes[5]
                                              : partes[6];
    guardado[partes[0] + "|" + partes[1]] = {tipo, valor};
  }
  EXPECT_EQ(guardado.size(), esperado.size());
  int distintos = 0;
  for (const auto& [clave, e] : esperado) {
    const auto it = guardado.find(clave);
    if (it == guardado.end() || it->second.tipo != e.tipo || it->second.valor != e.valor) {
      if (++distintos <= 10) {
        ADD_FAILURE() << clave << ": expected " << e.tipo << " " << e.valor << ", stored "
                      << (it == guardado.end() ? "nothing" : it->second.tipo + " " + it->second.valor);
      }
    }
  }
  EXPECT_EQ(distintos, 0);
}

}  // namespace
}  // namespace intake_test
