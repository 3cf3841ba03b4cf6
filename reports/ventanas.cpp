// The report windows offered to the main menu.
#include "reports/ventanas.h"

#include <memory>

#include "core/aplicacion.h"
#include "reports/frm_cmd_process.h"

namespace reports {

void RegistrarVentanas(core::Aplicacion& app) {
  app.RegistrarVentana("FrmCmdProcess", [](core::Aplicacion& a) -> std::unique_ptr<ui::Form> {
    return std::make_unique<FrmCmdProcess>(a);
  });
}

}  // namespace reports
