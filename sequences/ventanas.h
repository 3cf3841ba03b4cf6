// The sequence windows' entry in the program: registers them with the application object so
// the main menu and the other windows can open them. Holds no window logic.
#pragma once

namespace core {
class Aplicacion;
}

namespace sequences {

// Registers FrmSecuenciador, FrmSecValor, FrmBuModSec, FrmBuForm, FrmBuSec, FrmBuForm1,
// FrmBuCoModSec and FrmBMuestra. The editor's formula viewer comes with the formula windows.
void RegistrarVentanas(core::Aplicacion& app);

}  // namespace sequences
