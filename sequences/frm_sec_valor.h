// FrmSecValor ("Formulas"): the value dialog of the sequence editor's "N" and "R" buttons. With
// the keypad ("N") the user types a number; with the list ("R") he picks one of the formulas of
// the sequence's survey form. "Aceptar" hands the value back for the operand slot it was opened
// for; the editor writes its own boxes. Part of consolida_sequences; modal, no Qt.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/ui/form.h"

namespace core {
class Aplicacion;
}

namespace sequences {

// The operand slot a value is for.
enum class Ranura : int16_t { kFormula = 0, kIzquierdo = 1, kDerecho = 2 };

// A value handed back: its display text, its kind ("N" a number, "V" a formula) and the
// formula's Id_formCab ("" for a number).
struct Valor {
  std::string texto;
  std::string tipo;
  std::string id;
  bool operator==(const Valor&) const = default;
};

class FrmSecValor : public ui::Form {
 public:
  // REQUIRES: `app` outlives the window.
  explicit FrmSecValor(core::Aplicacion& app);

  ui::TextBox txtDisplay{*this, "txtDisplay"};
  ui::Frame FmConstante{*this, "FmConstante"};
  ui::CommandButton cmdConstantes[10]{
      {*this, "cmdConstantes", &FmConstante, 0}, {*this, "cmdConstantes", &FmConstante, 1},
      {*this, "cmdConstantes", &FmConstante, 2}, {*this, "cmdConstantes", &FmConstante, 3},
      {*this, "cmdConstantes", &FmConstante, 4}, {*this, "cmdConstantes", &FmConstante, 5},
      {*this, "cmdConstantes", &FmConstante, 6}, {*this, "cmdConstantes", &FmConstante, 7},
      {*this, "cmdConstantes", &FmConstante, 8}, {*this, "cmdConstantes", &FmConstante, 9}};
  ui::CommandButton CmdComa{*this, "CmdComa", &FmConstante};
  ui::Frame FmVariable{*this, "FmVariable"};
  ui::ListBox LstVariable{*this, "LstVariable", &FmVariable};
  ui::CommandButton Command1{*this, "Command1"};
  ui::CommandButton Command2{*this, "Command2"};

  // Loads the window for operand slot `ranura`: the formula list when `modo_variables`, else
  // the keypad; the list holds the formulas of survey form `id_formulario` (the editor's
  // TxtIdFormulario). Throws runtime::VbError when the list cannot be read.
  void Preparar(Ranura ranura, bool modo_variables, const std::string& id_formulario);
  // The value "Aceptar" handed back at the last showing; nullopt when it handed back nothing
  // or the window was closed.
  const std::optional<Valor>& Elegido() const { return elegido_; }

  static constexpr int kAncho = 5985;
  static constexpr int kAltoVariables = 5550;
  static constexpr int kAltoConstante = 3390;

 protected:
  void Form_Load() override;
  void Form_Resize() override;

 private:
  void cmdConstantes_Click(int index);
  void CmdComa_Click();
  void LstVariable_Click();
  void Command1_Click();
  void Command2_Click();

  core::Aplicacion& app_;
  Ranura ranura_ = Ranura::kFormula;
  bool ModoVariables = false;
  std::string id_formulario_;
  std::optional<Valor> elegido_;
};

}  // namespace sequences
