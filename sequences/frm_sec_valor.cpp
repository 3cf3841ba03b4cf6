// The value dialog of the sequence editor.
#include "sequences/frm_sec_valor.h"

#include "core/aplicacion.h"
#include "platform/runtime/conversions.h"
#include "platform/runtime/text.h"
#include "platform/sql/client.h"
#include "platform/ui/ui.h"

namespace sequences {

FrmSecValor::FrmSecValor(core::Aplicacion& app) : Form("FrmSecValor"), app_(app) {
  SetCaption("Formulas");
  SetWidth(kAncho);
  SetHeight(kAltoVariables);
  txtDisplay.Move(120, 120, 5600, 315);
  txtDisplay.SetLocked(true);
  FmConstante.Move(120, 540, 5600, 1500);
  for (int i = 0; i < 10; ++i) {
    cmdConstantes[i].SetCaption(std::to_string(i));
    cmdConstantes[i].Move(120 + (i % 5) * 900, 240 + (i / 5) * 480, 800, 375);
    cmdConstantes[i].Click = [this, i] { cmdConstantes_Click(i); };
  }
  CmdComa.SetCaption(".");
  CmdComa.Move(120 + 5 * 900, 240, 800, 375);
  FmVariable.Move(120, 540, 5600, 3660);
  LstVariable.Move(120, 240, 5360, 3300);
  Command1.SetCaption("Aceptar");
  Command2.SetCaption("Limpiar");
  Command1.SetDefault(true);
  CmdComa.Click = [this] { CmdComa_Click(); };
  LstVariable.Click = [this] { LstVariable_Click(); };
  Command1.Click = [this] { Command1_Click(); };
  Command2.Click = [this] { Command2_Click(); };
}

void FrmSecValor::Preparar(Ranura ranura, bool modo_variables, const std::string& id_formulario) {
  ranura_ = ranura;
  ModoVariables = modo_variables;
  id_formulario_ = runtime::Trim(id_formulario);
  Load();
}

void FrmSecValor::Form_Load() {
  elegido_.reset();
  FmVariable.SetVisible(ModoVariables);
  FmConstante.SetVisible(!ModoVariables);
  const int botones = ModoVariables ? 4320 : 2160;
  Command1.Move(1200, botones, 1335, 375);
  Command2.Move(3120, botones, 1335, 375);
  ui::AplicarTamanoFijo(*this, kAncho, ModoVariables ? kAltoVariables : kAltoConstante);
  // The form's key goes into the statement bare: without one there is nothing to list.
  if (id_formulario_.empty()) return;
  sql::Recordset& rs = app_.Rs1();
  if (rs.State() == sql::adStateOpen) rs.Close();
  rs.Open("SELECT distinct(CF.Id_formCab), CF.FC_NomVar, cf.fc_nombre FROM SE_CABFORMULA CF "
          "Inner Join SE_FORMULA_ARCHIVO FA "
          "ON CF.id_formCab = FA.Id_FormCab "
          "where FA.Id_Arc = " +
              id_formulario_ + " order by CF.FC_NomVar",
          app_.CnSql);
  for (; !rs.Eof(); rs.MoveNext()) {
    LstVariable.AddItem(runtime::JoinText(rs(1).Value()) + " (" + runtime::JoinText(rs(2).Value()) + ") ");
    LstVariable.SetItemData(LstVariable.NewIndex(), static_cast<long>(runtime::CLng(rs(0).Value())));
  }
  rs.Close();
}

void FrmSecValor::Form_Resize() {
  ui::AplicarTamanoFijo(*this, kAncho, ModoVariables ? kAltoVariables : kAltoConstante);
}

void FrmSecValor::cmdConstantes_Click(int index) {
  txtDisplay.SetText(txtDisplay.Text() + runtime::Trim(cmdConstantes[index].Caption()));
}

void FrmSecValor::CmdComa_Click() {
  if (txtDisplay.Text().find('.') != std::string::npos) {
    app_.Ui().MsgBox("No puede ingresar una coma sin existir un numero");
    return;
  }
  txtDisplay.SetText(txtDisplay.Text() + ".");
}

void FrmSecValor::LstVariable_Click() {
  if (LstVariable.ListIndex() >= 0) txtDisplay.SetText(LstVariable.List(LstVariable.ListIndex()));
}

void FrmSecValor::Command1_Click() {
  const std::string valor = txtDisplay.Text();
  const std::string tipo = runtime::IsNumeric(valor) ? "N" : "V";
  const int elegido = LstVariable.ListIndex();
  const std::string id = elegido >= 0 ? std::to_string(LstVariable.ItemData(elegido)) : "";
  elegido_.reset();
  switch (ranura_) {
    case Ranura::kFormula:
    case Ranura::kIzquierdo:
      // A formula line and a left operand take a formula of the list only.
      if (elegido >= 0) elegido_ = Valor{valor, tipo, ranura_ == Ranura::kFormula || tipo == "V" ? id : ""};
      break;
    case Ranura::kDerecho:
      // A right operand is a typed number or a listed formula; anything else (a lone ".") is
      // neither and goes back to nobody.
      if (tipo == "N") {
        elegido_ = Valor{valor, tipo, ""};
      } else if (elegido >= 0) {
        elegido_ = Valor{valor, tipo, id};
      }
      break;
  }
  app_.Ui().Unload(*this);
}

void FrmSecValor::Command2_Click() { txtDisplay.SetText(""); }

}  // namespace sequences
