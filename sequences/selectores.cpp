// The list pickers of the sequence windows.
#include "sequences/selectores.h"

#include "core/aplicacion.h"
#include "formulas/listas.h"
#include "platform/runtime/text.h"
#include "platform/sql/client.h"
#include "platform/ui/ui.h"

namespace sequences {

Selector::Selector(core::Aplicacion& app, std::string nombre, std::string caption)
    : Form(std::move(nombre)), app_(app) {
  SetCaption(std::move(caption));
  SetWidth(kAncho);
  SetHeight(kAlto);
  lstFormularios.Move(120, 120, 3840, 3570);
  CmdAceptar.SetCaption("Aceptar");
  CmdAceptar.Move(480, 3840, 1335, 375);
  CmdSalir.SetCaption("Salir");
  CmdAceptar.SetDefault(true);
  CmdSalir.SetCancel(true);
  CmdSalir.Move(2280, 3840, 1335, 375);
  CmdAceptar.Click = [this] { CmdAceptar_Click(); };
  CmdSalir.Click = [this] { CmdSalir_Click(); };
}

void Selector::Form_Load() {
  ui::AplicarTamanoFijo(*this, kAncho, kAlto);
  elegido_.reset();
  Llenar();
}

void Selector::Form_Resize() { ui::AplicarTamanoFijo(*this, kAncho, kAlto); }

void Selector::Llenar() {
  const std::string consulta = Consulta();
  if (!consulta.empty()) formulas::LlenarLista(app_, lstFormularios, consulta, 1, 0);
}

void Selector::CmdAceptar_Click() {
  const int elegido = lstFormularios.ListIndex();
  if (elegido >= 0) elegido_ = Eleccion{lstFormularios.List(elegido), lstFormularios.ItemData(elegido)};
  app_.Ui().Unload(*this);
}

void Selector::CmdSalir_Click() {
  elegido_.reset();
  app_.Ui().Unload(*this);
}

void FrmBuSec::Preparar(const std::string& id_formulario) {
  // The run form may hold no form yet: the query would end after "SC_IDARC = ".
  id_formulario_ = runtime::Trim(id_formulario);
  Load();
}

std::string FrmBuSec::Consulta() const {
  if (id_formulario_.empty()) return "";
  return "SELECT * FROM SE_CABSECUENCIA WHERE SC_IDARC = " + id_formulario_;
}

void FrmBMuestra::Llenar() {
  sql::Recordset& rs = app_.Rs1();
  if (rs.State() == sql::adStateOpen) rs.Close();
  rs.Open(Consulta(), app_.CnSql);
  if (!rs.Eof()) {
    const sql::Fields columnas = rs.Fields();
    for (int i = 0; i < columnas.Count(); ++i) {
      lstFormularios.AddItem(runtime::Trim(columnas.Item(i).Name()));
      lstFormularios.SetItemData(lstFormularios.NewIndex(), i - 1);
    }
  }
  rs.Close();
}

}  // namespace sequences
