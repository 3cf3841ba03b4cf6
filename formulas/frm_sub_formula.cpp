// The argument picker of the function dialogs.
#include "formulas/frm_sub_formula.h"

#include "core/aplicacion.h"
#include "formulas/formula.h"
#include "formulas/listas.h"

namespace formulas {

FrmSubFormula::FrmSubFormula(core::Aplicacion& app) : Form("FrmSubFormula"), app_(app) {
  SetCaption("Formula");
  SetWidth(kAncho);
  SetHeight(kAlto);
  SetKeyPreview(true);
  FmOpcion.Move(120, 60, 4380, 615);
  OptCampos.SetCaption("Campos");
  OptCampos.Move(240, 240, 1500, 255);
  OptCampos.SetValue(true);
  OptVariable.SetCaption("Variables");
  OptVariable.Move(2280, 240, 1500, 255);
  FmCampos.SetCaption("Campos");
  FmCampos.Move(120, 780, 4380, 3000);
  LstCampos.Move(120, 270, 4140, 2610);
  FmVariable.SetCaption("Variable Resultado");
  FmVariable.Move(120, 780, 4380, 3000);
  LstVariable.Move(120, 270, 4140, 2610);
  txtDisplay.Move(120, 3900, 4380, 315);
  txtDisplay.SetLocked(true);
  for (int i = 0; i < 10; ++i) {
    // 7 8 9 / 4 5 6 / 1 2 3 / 0 .
    const int fila = i == 0 ? 3 : 2 - (i - 1) / 3;
    const int columna = i == 0 ? 0 : (i - 1) % 3;
    cmdConstantes[i].SetCaption(std::to_string(i));
    cmdConstantes[i].Move(1080 + columna * 840, 4380 + fila * 480, 735, 400);
    cmdConstantes[i].Click = [this, i] { cmdConstantes_Click(i); };
  }
  CmdComa.SetCaption(".");
  CmdComa.Move(1080 + 840, 4380 + 3 * 480, 735, 400);
  cmdlimpiar.SetCaption("Limpiar");
  cmdlimpiar.Move(600, 6420, 1500, 400);
  CmdAceptar.SetCaption("Aceptar");
  CmdAceptar.SetDefault(true);
  CmdAceptar.Move(2520, 6420, 1500, 400);
  txtvTipo.SetVisible(false);
  txtVvFct.SetVisible(false);

  OptCampos.Click = [this] { OptOpcion_Click(); };
  OptVariable.Click = [this] { OptOpcion_Click(); };
  LstCampos.Click = [this] { LstCampos_Click(); };
  LstVariable.Click = [this] { LstVariable_Click(); };
  CmdComa.Click = [this] { CmdComa_Click(); };
  cmdlimpiar.Click = [this] { cmdlimpiar_Click(); };
  CmdAceptar.Click = [this] { CmdAceptar_Click(); };
}

void FrmSubFormula::Form_Load() {
  ui::AplicarTamanoFijo(*this, kAncho, kAlto);
  tipo_.clear();
  eleccion_.reset();
}

void FrmSubFormula::Form_Resize() { ui::AplicarTamanoFijo(*this, kAncho, kAlto); }

void FrmSubFormula::Preparar(bool IsN, bool IsC, bool IsV, const std::string& ids_formularios) {
  Load();
  IsC_ = IsC;
  IsV_ = IsV;
  LlenarLista(app_, LstCampos, ConsultaCampos(ids_formularios), 0);
  LlenarLista(app_, LstVariable, ConsultaVariables(ids_formularios), 1);
  FmOpcion.SetVisible(IsC && IsV);
  OptOpcion_Click();
  HiddenConst(IsN);
}

// With both lists allowed the option buttons choose the one shown (both sit in one place).
void FrmSubFormula::OptOpcion_Click() {
  const bool ambas = IsC_ && IsV_;
  FmCampos.SetVisible(IsC_ && (!ambas || OptCampos.Value()));
  FmVariable.SetVisible(IsV_ && (!ambas || OptVariable.Value()));
}

void FrmSubFormula::HiddenConst(bool habilitar) {
  for (ui::CommandButton& boton : cmdConstantes) boton.SetEnabled(habilitar);
  CmdComa.SetEnabled(habilitar);
}

void FrmSubFormula::LstCampos_Click() {
  if (!tipo_.empty() || LstCampos.ListIndex() < 0) return;
  tipo_ = kCampo;
  txtDisplay.SetText(LstCampos.Text());
  txtvTipo.SetText(kArgCampo);
  txtVvFct.SetText(txtDisplay.Text());
}

void FrmSubFormula::LstVariable_Click() {
  if (!tipo_.empty() || LstVariable.ListIndex() < 0) return;
  tipo_ = kVariable;
  txtDisplay.SetText(LstVariable.Text());
  txtvTipo.SetText(kArgVariable);
  txtVvFct.SetText(txtDisplay.Text());
}

void FrmSubFormula::cmdConstantes_Click(int index) {
  if (!tipo_.empty() && tipo_ != kNumero) return;
  tipo_ = kNumero;
  txtDisplay.SetText(txtDisplay.Text() + std::to_string(index));
  txtvTipo.SetText(kArgConstante);
  txtVvFct.SetText(txtDisplay.Text());
}

void FrmSubFormula::CmdComa_Click() {
  if (tipo_ != kNumero || txtDisplay.Text().find('.') != std::string::npos) return;
  txtDisplay.SetText(txtDisplay.Text() + ".");
  txtVvFct.SetText(txtDisplay.Text());
}

void FrmSubFormula::cmdlimpiar_Click() {
  tipo_.clear();
  txtDisplay.SetText("");
  txtvTipo.SetText("");
  txtVvFct.SetText("");
}

// Accepting with nothing picked is no choice: the dialog that asked supplies nothing.
void FrmSubFormula::CmdAceptar_Click() {
  if (tipo_.empty()) {
    eleccion_.reset();
  } else {
    eleccion_ = Argumento{txtvTipo.Text(), txtVvFct.Text(), txtDisplay.Text()};
  }
  Hide();
}

// The digits of both keyboards press the digit buttons, which do nothing while disabled.
void FrmSubFormula::Form_KeyDown(int& key_code, int shift) {
  (void)shift;
  if (key_code >= 48 && key_code <= 57) cmdConstantes[key_code - 48].UserClick();
  if (key_code >= 96 && key_code <= 105) cmdConstantes[key_code - 96].UserClick();
}

}  // namespace formulas
