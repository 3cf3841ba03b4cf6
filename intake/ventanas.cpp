// Registration of the intake windows with the application object.
#include "intake/ventanas.h"

#include <memory>

#include "core/aplicacion.h"
#include "intake/frm_muestra.h"
#include "intake/frm_padron.h"
#include "intake/proc_carga_nov.h"
#include "intake/proc_novedades.h"

namespace intake {

void RegistrarVentanas(core::Aplicacion& app) {
  app.RegistrarVentana("Proc_CargaNov", [](core::Aplicacion& a) -> std::unique_ptr<ui::Form> {
    return std::make_unique<Proc_CargaNov>(a);
  });
  app.RegistrarVentana("Proc_Novedades", [](core::Aplicacion& a) -> std::unique_ptr<ui::Form> {
    return std::make_unique<Proc_Novedades>(a);
  });
  app.RegistrarVentana("FrmPadron", [](core::Aplicacion& a) -> std::unique_ptr<ui::Form> {
    return std::make_unique<FrmPadron>(a);
  });
  app.RegistrarVentana("FrmMuestra", [](core::Aplicacion& a) -> std::unique_ptr<ui::Form> {
    return std::make_unique<FrmMuestra>(a);
  });
}

}  // namespace intake
