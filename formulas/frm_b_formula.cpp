// The formula picker of the editor's "Modificar".
#include "formulas/frm_b_formula.h"

#include "core/aplicacion.h"
#include "platform/runtime/conversions.h"
#include "platform/sql/client.h"
#include "platform/ui/ui.h"

namespace formulas {

FrmBFormula::FrmBFormula(core::Aplicacion& app) : Form("FrmBFormula"), app_(app) {
  SetCaption("Formulas");
  SetWidth(kAnchoAlCargar);
  SetHeight(kAlto);
  lstFormula.Move(120, 120, 4980, 3570);
  Command1.SetCaption("Aceptar");
  Command1.Move(720, 3840, 1335, 375);
  Command2.SetCaption("Salir");
  Command1.SetDefault(true);
  Command2.SetCancel(true);
  Command2.Move(2880, 3840, 1335, 375);
  Command1.Click = [this] { Command1_Click(); };
  Command2.Click = [this] { Command2_Click(); };
}

// Loads at 4200 twips wide; its first showing resizes it to 5340, which it keeps.
void FrmBFormula::Form_Load() {
  ui::AplicarTamanoFijo(*this, kAnchoAlCargar, kAlto);
  eleccion_.reset();
  sql::Recordset& rs = app_.Rs1();
  if (rs.State() == sql::adStateOpen) rs.Close();
  rs.Open("Select * FROM SE_CABFORMULA ORDER BY FC_NOMVAR", app_.CnSql);
  for (; !rs.Eof(); rs.MoveNext()) {
    lstFormula.AddItem(runtime::JoinText(rs(1).Value()) + " (" + runtime::JoinText(rs(2).Value()) + ")");
    lstFormula.SetItemData(lstFormula.NewIndex(), static_cast<long>(runtime::CLng(rs(0).Value())));
  }
  rs.Close();
}

void FrmBFormula::Form_Resize() { ui::AplicarTamanoFijo(*this, kAncho, kAlto); }

void FrmBFormula::Command1_Click() {
  if (lstFormula.ListIndex() < 0) return;
  eleccion_ = static_cast<int32_t>(lstFormula.ItemData(lstFormula.ListIndex()));
  app_.Ui().Unload(*this);
}

void FrmBFormula::Command2_Click() {
  eleccion_.reset();
  app_.Ui().Unload(*this);
}

}  // namespace formulas
