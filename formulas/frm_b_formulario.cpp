// The survey-form picker of the formula editor.
#include "formulas/frm_b_formulario.h"

#include "core/aplicacion.h"
#include "formulas/listas.h"
#include "platform/runtime/conversions.h"
#include "platform/runtime/text.h"
#include "platform/ui/ui.h"

namespace formulas {

FrmBFormulario::FrmBFormulario(core::Aplicacion& app) : Form("FrmBFormulario"), app_(app) {
  SetCaption("Formularios");
  SetWidth(kAncho);
  SetHeight(kAlto);
  lstFormularios.Move(120, 120, 3840, 3570);
  lstFormularios.SetMultiSelect(ui::ListBox::kSimple);
  CmdAceptar.SetCaption("Aceptar");
  CmdAceptar.Move(480, 3840, 1335, 375);
  CmdSalir.SetCaption("Salir");
  CmdAceptar.SetDefault(true);
  CmdSalir.SetCancel(true);
  CmdSalir.Move(2280, 3840, 1335, 375);
  CmdAceptar.Click = [this] { CmdAceptar_Click(); };
  CmdSalir.Click = [this] { CmdSalir_Click(); };
}

void FrmBFormulario::Form_Load() {
  ui::AplicarTamanoFijo(*this, kAncho, kAlto);
  eleccion_.reset();
}

void FrmBFormulario::Form_Resize() { ui::AplicarTamanoFijo(*this, kAncho, kAlto); }

void FrmBFormulario::Preparar(const std::optional<std::string>& ids_actuales) {
  Load();
  LlenarLista(app_, lstFormularios, "Select * FROM SE_ARCHIVOS", 1, 0);
  if (!ids_actuales) return;
  for (const std::string& id : PartirIds(*ids_actuales)) {
    const std::string limpio = runtime::Trim(id);
    for (int i = 0; i < lstFormularios.ListCount(); ++i) {
      if (std::to_string(lstFormularios.ItemData(i)) == limpio) lstFormularios.SetSelected(i, true);
    }
  }
}

void FrmBFormulario::CmdAceptar_Click() {
  std::vector<Formulario> elegidos;
  for (int i = 0; i < lstFormularios.ListCount(); ++i) {
    if (lstFormularios.Selected(i)) elegidos.emplace_back(lstFormularios.List(i), lstFormularios.ItemData(i));
  }
  eleccion_ = std::move(elegidos);
  app_.Ui().Unload(*this);
}

void FrmBFormulario::CmdSalir_Click() {
  eleccion_.reset();
  app_.Ui().Unload(*this);
}

}  // namespace formulas
