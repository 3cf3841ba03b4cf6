// Registration of the runner's window with the application object.
#include "runner/ventanas.h"

#include "core/aplicacion.h"
#include "runner/frm_proc_secuencia.h"

namespace runner {

void RegistrarVentanas(core::Aplicacion& app) {
  app.RegistrarVentana<FrmProcSecuencia>("FrmProcSecuencia");
}

}  // namespace runner
