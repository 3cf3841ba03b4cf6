// The formula viewer of the sequence editor.
#include "formulas/frm_m_formula.h"

#include "core/aplicacion.h"
#include "platform/runtime/conversions.h"
#include "platform/runtime/text.h"
#include "platform/sql/client.h"
#include "platform/ui/ui.h"

namespace formulas {

FrmMFormula::FrmMFormula(core::Aplicacion& app) : Form("FrmMFormula"), app_(app) {
  SetCaption("Formulas");
  SetWidth(kAncho);
  SetHeight(kAlto);
  txtIdCab.SetVisible(false);
  TxtFormula.Move(120, 120, 6840, 315);
  TxtFormula.SetLocked(true);
  Command1.SetCaption("Salir");
  Command1.SetCancel(true);
  Command1.Move(2880, 600, 1335, 375);
  Command1.Click = [this] { Command1_Click(); };
}

void FrmMFormula::Form_Load() {
  ui::AplicarTamanoFijo(*this, kAncho, kAlto);
  TxtFormula.SetText("Formula");
}

void FrmMFormula::Form_Resize() { ui::AplicarTamanoFijo(*this, kAncho, kAlto); }

void FrmMFormula::Form_Activate() {
  const std::string id = runtime::Trim(txtIdCab.Text());
  if (id.empty()) return;
  // The key goes into the statement bare: only a whole number is a key.
  if (id.find_first_not_of("0123456789") != std::string::npos) return;
  sql::Recordset& rs = app_.Rs1();
  if (rs.State() == sql::adStateOpen) rs.Close();
  rs.Open("SELECT FC_Formula, FC_Nombre + '(' + FC_NomVar + ')' AS Nombre FROM SE_CABFORMULA "
          "WHERE Id_formCab = " + id,
          app_.CnSql);
  if (!rs.Eof()) {
    TxtFormula.SetText(runtime::JoinText(rs("FC_Formula").Value()));
    SetCaption(runtime::JoinText(rs("Nombre").Value()));
  }
  rs.Close();
}

void FrmMFormula::Command1_Click() { app_.Ui().Unload(*this); }

}  // namespace formulas
