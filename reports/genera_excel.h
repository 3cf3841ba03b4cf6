// GeneraExcel, the workbook output the reports share: title, boxed headers and data rows written
// as an .xls into the Reporte folder, then the two questions of the export and, on request, the
// file handed to the desktop's viewer. Part of the reports module; it never reads the database.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/valor.h"
#include "platform/sheet/xls_writer.h"

namespace core {
class Aplicacion;
}  // namespace core

namespace reports {

// File-name prefixes of the three exports.
inline constexpr const char* kPrefijoReporte = "Rep_";
inline constexpr const char* kPrefijoFormulas = "For_";
inline constexpr const char* kPrefijoSecuencia = "Sec_";

// What one export writes: the title into A1, the headers into row 3 from column A on, and each
// row of values from row 4 on (text as text, numbers as numbers, Null and Empty as empty cells).
struct Planilla {
  std::string titulo;
  std::vector<std::string> encabezados;
  std::vector<std::vector<runtime::Valor>> filas;
};

// Opens a written workbook for the user. The program uses the desktop's default viewer; tests
// put their own in its place so nothing is launched.
class Visor {
 public:
  virtual ~Visor() = default;
  // Hands `ruta` to the viewer and returns at once. Throws runtime::VbError when it cannot.
  virtual void Abrir(const std::string& ruta) = 0;
};

// The viewer that GeneraExcel uses unless told otherwise: the desktop's default (xdg-open).
Visor& VisorPredeterminado();

// The file name of an export made at `ahora`: `prefijo`, the short date without "/", the
// first six characters of the time without ":", ".xls" ("Rep_05122026112041.xls").
std::string NombrePlanilla(std::string_view prefijo, runtime::DateSerial ahora);

// The workbook of `planilla` as the export lays it out: A1 bold, italic, underlined, 15 points;
// each header with a white fill, black text and a thick continuous box; data unformatted.
// Throws runtime::VbError 1004 when the sheet cannot hold it (more than 256 columns or 65536
// rows).
sheet::Workbook ArmaPlanilla(const Planilla& planilla);

// Writes `planilla` to <application folder>/Reporte/<NombrePlanilla(prefijo, Ui clock)>, tells
// the user its name ("REPORTE EXCEL") and asks "Desea Abrirlo ahora" ("Resultados"): Yes hands
// the file to `visor`, No does nothing more. Returns the full path written. Throws
// runtime::VbError, before any message, when the file cannot be written (the caller's handler
// reports it).
std::string GeneraExcel(core::Aplicacion& app, std::string_view prefijo, const Planilla& planilla,
                        Visor& visor);
// The same with VisorPredeterminado().
std::string GeneraExcel(core::Aplicacion& app, std::string_view prefijo, const Planilla& planilla);

}  // namespace reports
