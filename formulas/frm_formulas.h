// FrmFormulas ("Generador de Formulas"): the formula editor. Collapsed it shows the header
// (name, result variable, style, survey forms) and the command buttons; after "Formula" it
// grows to the token area, where the formula is assembled token by token under the admission
// rules, functions included (FrmPreFormula, FrmSubFormula). "Generar" stores the formula in
// SE_CABFORMULA, SE_FORMULA and SE_FORMULA_ARCHIVO and compiles its procedures; "Modificar"
// reopens a stored one, "Elimina Formula" deletes it with its procedures when nothing uses it.
// Part of consolida_formulas; no Qt.
#pragma once

#include <cstdint>
#include <string>

#include "formulas/formula.h"
#include "formulas/funciones.h"
#include "platform/ui/form.h"

namespace core {
class Aplicacion;
}

namespace formulas {

class FrmFormulas : public ui::Form {
 public:
  // REQUIRES: `app` outlives the window; the other formula windows are registered with it.
  explicit FrmFormulas(core::Aplicacion& app);

  // The header.
  ui::Label lblNombre{*this, "lblNombre"};
  ui::TextBox txtNombre{*this, "txtNombre"};
  ui::Label lblResulVar{*this, "lblResulVar"};
  ui::TextBox txtResulVar{*this, "txtResulVar"};
  ui::Label lblEspacios{*this, "lblEspacios"};
  ui::Label lblFormulario{*this, "lblFormulario"};
  ui::TextBox TxtFormulario{*this, "TxtFormulario"};
  ui::TextBox TxtIdFormulario{*this, "TxtIdFormulario"};
  ui::CommandButton CmdAddForm{*this, "CmdAddForm"};
  ui::CommandButton CmdFormula{*this, "CmdFormula"};
  ui::Frame FrTipo{*this, "FrTipo"};
  ui::OptionButton OpcTipo[2]{{*this, "OpcTipo", &FrTipo, 0}, {*this, "OpcTipo", &FrTipo, 1}};

  // The command buttons.
  ui::CommandButton CmdCrear{*this, "CmdCrear"};
  ui::CommandButton CmdModif{*this, "CmdModif"};
  ui::CommandButton CmdEliForm{*this, "CmdEliForm"};
  ui::CommandButton CmdGenerar{*this, "CmdGenerar"};
  ui::CommandButton cmdCancelar{*this, "cmdCancelar"};
  ui::CommandButton CmdSalir{*this, "CmdSalir"};
  ui::TextBox txtIdFoCab{*this, "txtIdFoCab"};
  ui::TextBox txtIdModificacion{*this, "txtIdModificacion"};

  // The token area.
  ui::TextBox txtDisplay{*this, "txtDisplay"};
  ui::Label lblCampos{*this, "lblCampos"};
  ui::ListBox LstCampos{*this, "LstCampos"};
  ui::Label lblVariable{*this, "lblVariable"};
  ui::ListBox LstVariable{*this, "LstVariable"};
  ui::Label lblMuestra{*this, "lblMuestra"};
  ui::ListBox LstMuestra{*this, "LstMuestra"};
  ui::CommandButton cmdConstantes[10]{
      {*this, "cmdConstantes", nullptr, 0}, {*this, "cmdConstantes", nullptr, 1},
      {*this, "cmdConstantes", nullptr, 2}, {*this, "cmdConstantes", nullptr, 3},
      {*this, "cmdConstantes", nullptr, 4}, {*this, "cmdConstantes", nullptr, 5},
      {*this, "cmdConstantes", nullptr, 6}, {*this, "cmdConstantes", nullptr, 7},
      {*this, "cmdConstantes", nullptr, 8}, {*this, "cmdConstantes", nullptr, 9}};
  ui::CommandButton CmdComa{*this, "CmdComa"};
  ui::CommandButton CmdMas{*this, "CmdMas"};
  ui::CommandButton CmdMenos{*this, "CmdMenos"};
  ui::CommandButton CmdMult{*this, "CmdMult"};
  ui::CommandButton CmdDiv{*this, "CmdDiv"};
  ui::CommandButton CmdAPar{*this, "CmdAPar"};
  ui::CommandButton CmdCPar{*this, "CmdCPar"};
  ui::CommandButton CmdAAnt{*this, "CmdAAnt"};
  ui::CommandButton CmdSum{*this, "CmdSum"};
  ui::CommandButton CmdAvg{*this, "CmdAvg"};
  ui::CommandButton CmdCount{*this, "CmdCount"};
  ui::CommandButton CmdMediana{*this, "CmdMediana"};
  ui::CommandButton CmdPCuartil{*this, "CmdPCuartil"};
  ui::CommandButton CmdTCuartil{*this, "CmdTCuartil"};
  ui::CommandButton CmdStdev{*this, "CmdStdev"};
  ui::CommandButton CmdVar{*this, "CmdVar"};
  ui::CommandButton CmdSQRT{*this, "CmdSQRT"};
  ui::CommandButton CmdRound{*this, "CmdRound"};
  ui::CommandButton CmdPower{*this, "CmdPower"};
  ui::CommandButton CmdExp{*this, "CmdExp"};
  ui::CommandButton CmdAbs{*this, "CmdAbs"};
  ui::CommandButton CmdRetro{*this, "CmdRetro"};
  ui::CommandButton CmdClear{*this, "CmdClear"};

  // The working set: the tokens, the display, the counters, the pending function call.
  const Formula& Trabajo() const { return formula_; }
  // True once "Formula" opened the token area (until "Cancela" or "Limpiar").
  bool Expandido() const { return expandido_; }
  // The thirteen function buttons, in the order of Funciones().
  ui::CommandButton& BotonFuncion(size_t i) { return *funciones_[i]; }

  static constexpr int kAncho = 8160;
  static constexpr int kAltoCerrado = 2445;
  static constexpr int kAltoAlAbrir = 8700;
  static constexpr int kAltoAbierto = 8280;

 protected:
  void Form_Load() override;
  void Form_Resize() override;
  void Form_KeyDown(int& key_code, int shift) override;

 private:
  enum class Grabacion { kNoGrabada, kGrabada, kSinProcedimientos };

  // Enables or disables the header: name, result variable, both styles, "..." and "Formula".
  void HCabFormula(bool hab);
  // True when `CCampo` is already a token text or a function argument of the formula.
  bool DuplDato(const std::string& CCampo) const;
  // True when `VString` holds none of "-", "," and ".".
  static bool ValCamp(const std::string& VString);

  void CmdCrear_Click();
  void CmdModif_Click();
  void CmdAddForm_Click();
  void CmdFormula_Click();
  void OpcTipo_Click(int index);
  void txtResulVar_KeyUp(int& key_code, int shift);
  void LstCampos_DblClick();
  void LstVariable_DblClick();
  void LstMuestra_Click();
  void cmdConstantes_Click(int index);
  void CmdComa_Click();
  void Operador(const char* texto);
  void CmdAPar_Click();
  void CmdCPar_Click();
  void CmdAAnt_Click();
  void Funcion_Click(const Funcion& funcion);
  void CmdRetro_Click();
  void CmdClear_Click();
  void cmdCancelar_Click();
  void CmdGenerar_Click();
  void CmdEliForm_Click();
  void CmdSalir_Click();

  // An operand (field, variable or sample column) may follow nothing, an operator or "(".
  bool AdmiteOperando() const;
  // Adds the item chosen in `lista` as an operand of kind `tipo` when the grammar admits an
  // operand; a name already in the formula shows `duplicado` instead. True when added.
  bool AgregarOperando(const ui::ListBox& lista, const char* tipo, const char* duplicado);
  // Appends `token` and shows the display.
  void Agregar(const Token& token);
  // Why the formula cannot be stored before anything is sent (a second median or quartile, an
  // aggregate in a "Por Empresa" formula, a name or result variable another formula has); ""
  // when it can. Throws runtime::VbError when a lookup fails.
  std::string Rechazo();
  // Creates the formula and compiles its procedures; says what went wrong itself except for a
  // refused store, which "Generar" reports.
  Grabacion Guarda();
  Grabacion Modifica();
  // Runs both generators for formula `id`; true when both succeed. Shows "Se ha Generado la
  // Formula", or `error` with the reason.
  bool Generar(int32_t id, const std::string& error);
  // Fills the header, the forms and the tokens of formula `id` (txtIdModificacion).
  void CargarFormula(int32_t id);
  // The four statements of a token row and the file links, as Guarda and Modifica send them.
  std::string InsertsDeTokens(const std::string& id) const;
  Estilo EstiloElegido() const;
  void Colapsar();

  core::Aplicacion& app_;
  Formula formula_;
  bool expandido_ = false;
  std::vector<ui::CommandButton*> funciones_;
};

}  // namespace formulas
