// The report windows offered to the main menu.
#include "reports/ventanas.h"

#include "core/aplicacion.h"
#include "reports/frm_cmd_process.h"
#include "reports/frm_cons_form.h"
#include "reports/frm_cons_sec.h"
#include "reports/frm_reporte.h"

namespace reports {

void RegistrarVentanas(core::Aplicacion& app) {
  app.RegistrarVentana<FrmCmdProcess>("FrmCmdProcess");
  app.RegistrarVentana<FrmReporte>("FrmReporte");
  app.RegistrarVentana<FrmBuFormReporte>("FrmBuFormReporte");
  app.RegistrarVentana<FrmReporteA>("FrmReporteA");
  app.RegistrarVentana<FrmConsForm>("FrmConsForm");
  app.RegistrarVentana<FrmConsSec>("FrmConsSec");
}

}  // namespace reports
