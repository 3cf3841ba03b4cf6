// Registration of the intake windows with the application object.
#include "intake/ventanas.h"

#include "core/aplicacion.h"
#include "intake/frm_muestra.h"
#include "intake/frm_padron.h"
#include "intake/proc_carga_nov.h"
#include "intake/proc_novedades.h"

namespace intake {

void RegistrarVentanas(core::Aplicacion& app) {
  app.RegistrarVentana<Proc_CargaNov>("Proc_CargaNov");
  app.RegistrarVentana<Proc_Novedades>("Proc_Novedades");
  app.RegistrarVentana<FrmPadron>("FrmPadron");
  app.RegistrarVentana<FrmMuestra>("FrmMuestra");
}

}  // namespace intake
