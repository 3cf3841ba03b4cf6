// FrmBFormula ("Formulas"): chooses a stored formula for the editor's "Modificar". Lists every
// formula as "name (result variable)" by result variable; "Aceptar" hands the chosen one's key
// back, "Salir" hands back nothing. Part of consolida_formulas; modal, no Qt.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/ui/form.h"

namespace core {
class Aplicacion;
}

namespace formulas {

class FrmBFormula : public ui::Form {
 public:
  // REQUIRES: `app` outlives the window.
  explicit FrmBFormula(core::Aplicacion& app);

  ui::ListBox lstFormula{*this, "lstFormula"};
  ui::CommandButton Command1{*this, "Command1"};
  ui::CommandButton Command2{*this, "Command2"};

  // The Id_FormCab chosen with "Aceptar" at the last showing; nullopt after "Salir" or a close.
  const std::optional<int32_t>& Eleccion() const { return eleccion_; }

  static constexpr int kAnchoAlCargar = 4200;
  static constexpr int kAncho = 5340;
  static constexpr int kAlto = 4860;

 protected:
  // Throws runtime::VbError when the list cannot be read.
  void Form_Load() override;
  void Form_Resize() override;

 private:
  void Command1_Click();
  void Command2_Click();

  core::Aplicacion& app_;
  std::optional<int32_t> eleccion_;
};

}  // namespace formulas
