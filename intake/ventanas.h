// The intake windows' entry in the program: registers them with the application object so the
// main menu can open them. Holds no window logic.
#pragma once

namespace core {
class Aplicacion;
}

namespace intake {

// Registers the intake windows: Proc_CargaNov, Proc_Novedades, FrmPadron and FrmMuestra.
void RegistrarVentanas(core::Aplicacion& app);

}  // namespace intake
