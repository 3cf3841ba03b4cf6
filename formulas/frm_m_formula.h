// FrmMFormula ("Formulas"): shows the text of one stored formula, for the sequence editor. The
// opener loads it, puts the formula's key into txtIdCab and shows it; on activation the text
// and the caption "name(result variable)" are read. Part of consolida_formulas; modal, no Qt.
#pragma once

#include "platform/ui/form.h"

namespace core {
class Aplicacion;
}

namespace formulas {

class FrmMFormula : public ui::Form {
 public:
  // REQUIRES: `app` outlives the window.
  explicit FrmMFormula(core::Aplicacion& app);

  ui::TextBox txtIdCab{*this, "txtIdCab"};
  ui::TextBox TxtFormula{*this, "TxtFormula"};
  ui::CommandButton Command1{*this, "Command1"};

  static constexpr int kAncho = 7200;
  static constexpr int kAlto = 1800;

 protected:
  void Form_Load() override;
  void Form_Resize() override;
  // Throws runtime::VbError when the formula cannot be read.
  void Form_Activate() override;

 private:
  void Command1_Click();

  core::Aplicacion& app_;
};

}  // namespace formulas
