// Registration of the runner's window with the application object.
#include "runner/ventanas.h"

#include <memory>

#include "core/aplicacion.h"
#include "runner/frm_proc_secuencia.h"

namespace runner {

void RegistrarVentanas(core::Aplicacion& app) {
  app.RegistrarVentana("FrmProcSecuencia", [](core::Aplicacion& a) -> std::unique_ptr<ui::Form> {
    return std::make_unique<FrmProcSecuencia>(a);
  });
}

}  // namespace runner
