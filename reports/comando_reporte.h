// "consolida reporte ...": the three reports without a window, through the report windows' own
// models with the program's Ui (the console one: message boxes as text on stderr). Each fills
// its window's boxes, presses its button, and prints the path of the workbook written into
// Reporte; nothing is ever opened for viewing. Part of the reports module; the program's command
// line (app/) calls these on a started application.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace core {
class Aplicacion;
}

namespace reports {

// What "reporte resultados" asks for.
struct PedidoResultados {
  std::string formulario;  // Arc_Nombre of the survey file
  std::string periodo;
  std::string titulo;
  bool anio_anterior = false;
  // The columns to show, in order; nullopt: every column of the work table, in table order.
  std::optional<std::vector<std::string>> campos;
};

// The results report of FrmReporte for `pedido`. A column named in `campos` is found without
// regard to case. Returns 0 when a workbook was written (its path on `salida`); 1 when the
// survey file matches no row or more than one, a column is unknown, a check refused the input,
// there was nothing to report, or something failed (told on `errores`). REQUIRES: CnSql open.
int ReporteResultados(core::Aplicacion& app, const PedidoResultados& pedido, std::ostream& salida,
                      std::ostream& errores);

// The formula listing of FrmConsForm for form code `codigo` (one of the codes its list offers).
// Returns 0 when the workbook was written (its path on `salida`), 1 otherwise.
int ReporteFormulas(core::Aplicacion& app, const std::string& codigo, std::ostream& salida,
                    std::ostream& errores);

// The sequence listing of FrmConsSec for the sequence named `secuencia` (SC_NOMBRE, compared as
// the server compares names). Returns 0 when the workbook was written (its path on `salida`),
// 1 when the name matches no sequence or more than one, or something failed.
int ReporteSecuencia(core::Aplicacion& app, const std::string& secuencia, std::ostream& salida,
                     std::ostream& errores);

}  // namespace reports
