// FrmSubFormula ("Formula"): picks one argument of a function call: a field or a result
// variable of the editor's chosen forms, or a number constant typed on its digit buttons, as
// the call allows. The dialog that opened it reads the pick back; closing it without one
// changes nothing. Part of consolida_formulas; modal, no Qt.
#pragma once

#include <optional>
#include <string>

#include "platform/ui/form.h"

namespace core {
class Aplicacion;
}

namespace formulas {

// What was picked: the argument kind ("Ca", "Va" or "Co"), the argument and the text shown.
struct Argumento {
  std::string tipo_argumento;
  std::string argumento;
  std::string texto;
};

class FrmSubFormula : public ui::Form {
 public:
  // REQUIRES: `app` outlives the window.
  explicit FrmSubFormula(core::Aplicacion& app);

  ui::Frame FmOpcion{*this, "FmOpcion"};
  ui::OptionButton OptCampos{*this, "OptCampos", &FmOpcion};
  ui::OptionButton OptVariable{*this, "OptVariable", &FmOpcion};
  ui::Frame FmCampos{*this, "FmCampos"};
  ui::ListBox LstCampos{*this, "LstCampos", &FmCampos};
  ui::Frame FmVariable{*this, "FmVariable"};
  ui::ListBox LstVariable{*this, "LstVariable", &FmVariable};
  ui::TextBox txtDisplay{*this, "txtDisplay"};
  ui::CommandButton cmdConstantes[10]{
      {*this, "cmdConstantes", nullptr, 0}, {*this, "cmdConstantes", nullptr, 1},
      {*this, "cmdConstantes", nullptr, 2}, {*this, "cmdConstantes", nullptr, 3},
      {*this, "cmdConstantes", nullptr, 4}, {*this, "cmdConstantes", nullptr, 5},
      {*this, "cmdConstantes", nullptr, 6}, {*this, "cmdConstantes", nullptr, 7},
      {*this, "cmdConstantes", nullptr, 8}, {*this, "cmdConstantes", nullptr, 9}};
  ui::CommandButton CmdComa{*this, "CmdComa"};
  ui::CommandButton cmdlimpiar{*this, "cmdlimpiar"};
  ui::CommandButton CmdAceptar{*this, "CmdAceptar"};
  ui::TextBox txtvTipo{*this, "txtvTipo"};
  ui::TextBox txtVvFct{*this, "txtVvFct"};

  // Loads the window for one parameter: what it may be (constants, fields, result variables)
  // and the forms whose fields and variables are listed (their ids as TxtIdFormulario holds
  // them). Throws runtime::VbError when a list cannot be read.
  void Preparar(bool IsN, bool IsC, bool IsV, const std::string& ids_formularios);
  // The pick of the last showing; nullopt when it was closed, or accepted, without one.
  const std::optional<Argumento>& Eleccion() const { return eleccion_; }

  static constexpr int kAncho = 4740;
  static constexpr int kAlto = 7695;

 protected:
  void Form_Load() override;
  void Form_Resize() override;
  void Form_KeyDown(int& key_code, int shift) override;

 private:
  void OptOpcion_Click();
  void LstCampos_Click();
  void LstVariable_Click();
  void cmdConstantes_Click(int index);
  void CmdComa_Click();
  void cmdlimpiar_Click();
  void CmdAceptar_Click();
  // HiddenConst: the digit and decimal-point buttons follow `habilitar`.
  void HiddenConst(bool habilitar);

  core::Aplicacion& app_;
  bool IsC_ = false;
  bool IsV_ = false;
  std::string tipo_;  // "C", "V", "N" or "" before a pick
  std::optional<Argumento> eleccion_;
};

}  // namespace formulas
