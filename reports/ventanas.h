// Registers the report windows with the application object so the main menu can open them.
// Part of the reports module; holds no window logic.
#pragma once

namespace core {
class Aplicacion;
}  // namespace core

namespace reports {

// Registers the report windows: FrmReporte with its picker and field dialog, FrmConsForm,
// FrmConsSec and FrmCmdProcess ("Panel de Comando").
void RegistrarVentanas(core::Aplicacion& app);

}  // namespace reports
