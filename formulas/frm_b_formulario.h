// FrmBFormulario ("Formularios"): chooses the survey forms of a formula for the editor's "..."
// button. Lists every catalogued form; while a formula is being modified its forms come
// selected. "Aceptar" hands the selected forms back, "Salir" hands back nothing. Part of
// consolida_formulas; modal, no Qt.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/ui/form.h"

namespace core {
class Aplicacion;
}

namespace formulas {

class FrmBFormulario : public ui::Form {
 public:
  // A chosen form: its name (Arc_Nombre) and key (Arc_Id).
  using Formulario = std::pair<std::string, long>;

  // REQUIRES: `app` outlives the window.
  explicit FrmBFormulario(core::Aplicacion& app);

  ui::ListBox lstFormularios{*this, "lstFormularios"};
  ui::CommandButton CmdAceptar{*this, "CmdAceptar"};
  ui::CommandButton CmdSalir{*this, "CmdSalir"};

  // Loads the window; with `ids_actuales` (the editor's ids, as TxtIdFormulario holds them,
  // while it modifies a formula) those forms come selected. Throws runtime::VbError when the
  // list cannot be read.
  void Preparar(const std::optional<std::string>& ids_actuales);
  // The forms selected when "Aceptar" was pressed, in list order; nullopt after "Salir" or a
  // close.
  const std::optional<std::vector<Formulario>>& Eleccion() const { return eleccion_; }

  static constexpr int kAncho = 4200;
  static constexpr int kAlto = 4860;

 protected:
  void Form_Load() override;
  void Form_Resize() override;

 private:
  void CmdAceptar_Click();
  void CmdSalir_Click();

  core::Aplicacion& app_;
  std::optional<std::vector<Formulario>> eleccion_;
};

}  // namespace formulas
