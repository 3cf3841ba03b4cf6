// The shared export: lays out the workbook, saves it under the time-stamped name, asks the two
// questions and launches the desktop viewer on request. Never reads the database.
#include "reports/genera_excel.h"

#include <filesystem>
#include <system_error>

#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/aplicacion.h"
#include "platform/runtime/dates.h"
#include "platform/runtime/text.h"
#include "platform/runtime/vb_error.h"
#include "platform/ui/ui.h"

namespace reports {

namespace {

// Detaches xdg-open through an intermediate child so the viewer is never our zombie and keeps
// running after the program ends.
class VisorEscritorio : public Visor {
 public:
  void Abrir(const std::string& ruta) override {
    const pid_t hijo = ::fork();
    if (hijo < 0) {
      throw runtime::VbError(runtime::kVbPathFileAccess, runtime::kVbRuntimeSource,
                             "No se pudo abrir " + ruta);
    }
    if (hijo == 0) {
      ::setsid();
      if (::fork() == 0) {
        ::execlp("xdg-open", "xdg-open", ruta.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
      }
      ::_exit(0);
    }
    int estado = 0;
    ::waitpid(hijo, &estado, 0);
  }
};

}  // namespace

Visor& VisorPredeterminado() {
  static VisorEscritorio escritorio;
  return escritorio;
}

std::string NombrePlanilla(std::string_view prefijo, runtime::DateSerial ahora) {
  const std::string fecha = runtime::Replace(runtime::ShortDateText(ahora), "/", "");
  const std::string hora = runtime::Left(runtime::Replace(runtime::LongTimeText(ahora), ":", ""), 6);
  return std::string(prefijo) + fecha + hora + ".xls";
}

sheet::Workbook ArmaPlanilla(const Planilla& planilla) {
  sheet::Workbook libro;
  libro.SetText(1, 1, planilla.titulo);
  sheet::Font titulo;
  titulo.bold = titulo.italic = titulo.underline = true;
  titulo.points = 15;
  libro.SetFont(1, 1, titulo);

  sheet::Font encabezado;
  encabezado.color_index = 1;
  const sheet::BorderLine borde{sheet::kContinuous, sheet::kThick, sheet::kColorIndexAutomatic};
  for (size_t i = 0; i < planilla.encabezados.size(); ++i) {
    const int c = static_cast<int>(i) + 1;
    libro.SetText(3, c, planilla.encabezados[i]);
    libro.SetFill(3, c, 2);
    libro.SetFont(3, c, encabezado);
    for (sheet::Edge lado :
         {sheet::Edge::kRight, sheet::Edge::kBottom, sheet::Edge::kTop, sheet::Edge::kLeft}) {
      libro.SetBorder(3, c, lado, borde);
    }
  }

  int r = 4;
  for (const auto& fila : planilla.filas) {
    for (size_t i = 0; i < fila.size(); ++i) {
      libro.SetValue(r, static_cast<int>(i) + 1, fila[i]);
    }
    ++r;
  }
  return libro;
}

std::string GeneraExcel(core::Aplicacion& app, std::string_view prefijo, const Planilla& planilla,
                        Visor& visor) {
  const std::string nombre = NombrePlanilla(prefijo, app.Ui().Now());
  const std::string ruta = app.Ruta("Reporte") + "/" + nombre;
  try {
    ArmaPlanilla(planilla).Save(ruta);
  } catch (const runtime::VbError&) {
    // A write that stopped half way leaves no file behind for the user to take as the report.
    std::error_code ignorado;
    std::filesystem::remove(ruta, ignorado);
    throw;
  }

  // The first message has no closing parenthesis; users know it that way.
  app.Ui().MsgBox("Se ha grabado la planillacon el nombre (" + nombre, ui::vbExclamation,
                  "REPORTE EXCEL");
  if (app.Ui().MsgBox("Desea Abrirlo ahora", ui::vbYesNo + ui::vbExclamation, "Resultados") ==
      ui::vbYes) {
    visor.Abrir(ruta);
  }
  return ruta;
}

std::string GeneraExcel(core::Aplicacion& app, std::string_view prefijo, const Planilla& planilla) {
  return GeneraExcel(app, prefijo, planilla, VisorPredeterminado());
}

}  // namespace reports
