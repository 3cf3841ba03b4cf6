// The formula windows' entry in the program: registers them with the application object so
// the main menu and the other windows can open them. Holds no window logic.
#pragma once

#include <stdexcept>
#include <string>

#include "core/aplicacion.h"

namespace formulas {

// Registers FrmFormulas, FrmPreFormula, FrmSubFormula, FrmBFormulario, FrmBFormula and
// FrmMFormula.
void RegistrarVentanas(core::Aplicacion& app);

// The one instance of registered window `nombre`, of type T. Throws std::logic_error when no
// such window is registered (a program built without it).
template <typename T>
T& VentanaRegistrada(core::Aplicacion& app, const std::string& nombre) {
  T* ventana = dynamic_cast<T*>(app.Ventana(nombre));
  if (ventana == nullptr) throw std::logic_error("window not registered: " + nombre);
  return *ventana;
}

}  // namespace formulas
