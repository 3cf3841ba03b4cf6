// FrmPreFormula: the argument dialog of a function button. Shows the function's signature and
// description, collects its parameters one by one through FrmSubFormula into the pending call
// and hands the collected text back to the editor on "Acepta"; closing it hands back nothing.
// Part of consolida_formulas; modal, no Qt.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "formulas/formula.h"
#include "formulas/funciones.h"
#include "platform/ui/form.h"

namespace core {
class Aplicacion;
}

namespace formulas {

class FrmPreFormula : public ui::Form {
 public:
  // REQUIRES: `app` outlives the window; FrmSubFormula is registered with it.
  explicit FrmPreFormula(core::Aplicacion& app);

  ui::Label lblFormula{*this, "lblFormula"};
  ui::Label lblMensaje{*this, "lblMensaje"};
  ui::Label lblParametro{*this, "lblParametro"};
  ui::Label lblVar{*this, "lblVar"};
  ui::TextBox txtDato{*this, "txtDato"};
  ui::CommandButton CmdFormula{*this, "CmdFormula"};
  ui::CommandButton Command1{*this, "Command1"};
  ui::CommandButton Command2{*this, "Command2"};

  // Loads the window for function `funcion`: caption, signature, description and the first
  // parameter. The picks go into `llamada` (its argument count, names and permissions set by
  // the button), over the forms `ids_formularios`. REQUIRES: `llamada` outlives the showing.
  void Preparar(const Funcion& funcion, LlamadaPendiente& llamada, std::string ids_formularios);
  // The collected text of the last showing ("VENTAS", "VENTAS,2"); nullopt when it was closed
  // without "Acepta".
  const std::optional<std::string>& Eleccion() const { return eleccion_; }

  static constexpr int kAncho = 6285;
  static constexpr int kAlto = 3660;

 protected:
  void Form_Load() override;
  void Form_Resize() override;

 private:
  void CmdFormula_Click();
  void Command1_Click();
  void Command2_Click();
  // The name of parameter `numero` (1 based).
  std::string Parametro(int numero) const;

  core::Aplicacion& app_;
  LlamadaPendiente* llamada_ = nullptr;
  std::string ids_formularios_;
  uint8_t faltan_ = 0;              // parameters still to supply
  std::string tipo_primer_argumento_;  // POWER: the kind of the base
  std::optional<std::string> eleccion_;
};

}  // namespace formulas
