// The input tables the import window tests share: a survey file, a company roll and a sample
// sheet.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "intake/frm_muestra.h"
#include "intake/frm_padron.h"
#include "platform/runtime/valor.h"
#include "platform/sheet/xls_writer.h"
#include "platform/dbf/dbf_writer.h"

namespace intake_test {

using dbf::DbfField;
using dbf::DbfFlavor;
using dbf::DbfRecord;
using dbf::DbfTable;

// Two companies of form ENCUES and a deleted one: a decimal, the company code (not first, not
// upper case), a 32-bit whole number at both ends, a text, a date and a logical each.
inline DbfTable Encuesta() {
  DbfTable tabla;
  tabla.flavor = DbfFlavor::kVisualFoxPro;
  tabla.fields = {{"P001", 'N', 10, 2}, {"Unico", 'C', 11}, {"P002", 'I'},
                  {"NOMBRE", 'C', 20}, {"FECHA", 'D'}, {"MARCA", 'L'}};
  tabla.records = {{{"1234.5", "30500000001", "2147483647", "O'Brien", "20240131", "T"}},
                   {{"", "30500000002", "-2147483648", "", "", ""}},
                   {{"1", "30500000003", "1", "borrada", "", "T"}, true}};
  return tabla;
}

// The company roll: one company with every value, one with only its codes.
inline DbfRecord Completa() {
  return {{"30500000001", "30-50000000-1", "O'Brien SA", "ENCU", "ES", "Activa", "Inactiva", "1",
           "2", "Desc A", "Desc A1", "10", "11", "ES", "3", "C", "Completa", "1.5", "Obs", "Obs1",
           "S", "12,5", "0.75", "20240131", "20240630"}};
}

inline DbfRecord EnBlanco(const std::string& unico, const std::string& cuit) {
  DbfRecord registro;
  registro.values.assign(intake::CamposPadron().size(), "");
  registro.values[0] = unico;
  registro.values[1] = cuit;
  registro.values[3] = "ENCU";
  registro.values[4] = "ES";
  return registro;
}

inline DbfTable Padron(std::vector<DbfRecord> registros) {
  DbfTable tabla;
  tabla.fields = intake::CamposPadron();
  tabla.records = std::move(registros);
  return tabla;
}

// The eleven columns of the sample sheet, in the order the office writes them.
inline const std::vector<std::string> kColumnasMuestra(intake::kColumnasMuestra.begin(),
                                                       intake::kColumnasMuestra.end());

// Writes the sample sheet `ruta`: the header row, then the rows (a Null leaves the cell empty).
inline void EscribirMuestras(const std::string& ruta, const std::vector<std::string>& columnas,
                             const std::vector<std::vector<runtime::Valor>>& filas) {
  sheet::Workbook libro;
  for (size_t c = 0; c < columnas.size(); ++c) libro.SetText(1, c + 1, columnas[c]);
  for (size_t r = 0; r < filas.size(); ++r) {
    for (size_t c = 0; c < filas[r].size(); ++c) libro.SetValue(r + 2, c + 1, filas[r][c]);
  }
  libro.Save(ruta);
}

}  // namespace intake_test
