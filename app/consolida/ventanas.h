// The task windows of the desktop program: one place that registers every subsystem's windows
// with the application object, so the main menu can open them. Holds no window logic.
#pragma once

namespace core {
class Aplicacion;
}  // namespace core

// Registers every task window this build has (each subsystem offers its own registration).
void RegistrarVentanas(core::Aplicacion& app);
