// The report windows offered to the main menu.
#include "reports/ventanas.h"

#include <memory>

#include "core/aplicacion.h"
#include "reports/frm_cmd_process.h"
#include "reports/frm_cons_form.h"
#include "reports/frm_cons_sec.h"
#include "reports/frm_reporte.h"

namespace reports {

namespace {

template <typename T>
void Registrar(core::Aplicacion& app, const char* nombre) {
  app.RegistrarVentana(nombre, [](core::Aplicacion& a) -> std::unique_ptr<ui::Form> {
    return std::make_unique<T>(a);
  });
}

}  // namespace

void RegistrarVentanas(core::Aplicacion& app) {
  Registrar<FrmCmdProcess>(app, "FrmCmdProcess");
  Registrar<FrmReporte>(app, "FrmReporte");
  Registrar<FrmBuFormReporte>(app, "FrmBuFormReporte");
  Registrar<FrmReporteA>(app, "FrmReporteA");
  Registrar<FrmConsForm>(app, "FrmConsForm");
  Registrar<FrmConsSec>(app, "FrmConsSec");
}

}  // namespace reports
