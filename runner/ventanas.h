// The runner's entry in the program: registers its window with the application object so the
// main menu can open it. Holds no window logic.
#pragma once

namespace core {
class Aplicacion;
}

namespace runner {

// Registers FrmProcSecuencia. Its pickers FrmBuForm1 and FrmBuSec come with the sequence windows.
void RegistrarVentanas(core::Aplicacion& app);

}  // namespace runner
