// The argument dialog of the function buttons.
#include "formulas/frm_pre_formula.h"

#include "core/aplicacion.h"
#include "formulas/frm_sub_formula.h"
#include "formulas/ventanas.h"
#include "platform/ui/ui.h"

namespace formulas {

FrmPreFormula::FrmPreFormula(core::Aplicacion& app) : Form("FrmPreFormula"), app_(app) {
  SetWidth(kAncho);
  SetHeight(kAlto);
  lblFormula.Move(120, 120, 5900, 255);
  lblMensaje.Move(120, 480, 5900, 1080);
  lblParametro.SetCaption("Parametro:");
  lblParametro.Move(120, 1680, 1095, 255);
  lblVar.Move(1260, 1680, 2000, 255);
  txtDato.Move(120, 2040, 4500, 315);
  txtDato.SetLocked(true);
  CmdFormula.SetCaption("...");
  CmdFormula.Move(4740, 2040, 495, 315);
  Command1.SetCaption("Acepta");
  Command1.Move(1560, 2580, 1335, 375);
  Command2.SetCaption("Limpiar");
  Command1.SetDefault(true);
  Command2.Move(3240, 2580, 1335, 375);
  CmdFormula.Click = [this] { CmdFormula_Click(); };
  Command1.Click = [this] { Command1_Click(); };
  Command2.Click = [this] { Command2_Click(); };
}

void FrmPreFormula::Form_Load() {
  ui::AplicarTamanoFijo(*this, kAncho, kAlto);
  eleccion_.reset();
  faltan_ = llamada_ != nullptr ? llamada_->cantidad_argumentos : 0;
}

void FrmPreFormula::Form_Resize() { ui::AplicarTamanoFijo(*this, kAncho, kAlto); }

void FrmPreFormula::Preparar(const Funcion& funcion, LlamadaPendiente& llamada,
                             std::string ids_formularios) {
  Load();
  llamada_ = &llamada;
  ids_formularios_ = std::move(ids_formularios);
  SetCaption(funcion.nombre);
  lblFormula.SetCaption(funcion.firma);
  lblMensaje.SetCaption(funcion.Mensaje());
  faltan_ = llamada.cantidad_argumentos;
  tipo_primer_argumento_.clear();
  txtDato.SetText("");
  lblVar.SetCaption(Parametro(1));
}

std::string FrmPreFormula::Parametro(int numero) const {
  if (llamada_ == nullptr || numero < 1 ||
      numero >= static_cast<int>(llamada_->nombres_parametros.size())) {
    return "";
  }
  return llamada_->nombres_parametros[static_cast<size_t>(numero)];
}

void FrmPreFormula::CmdFormula_Click() {
  // Once every parameter is in, a further pick would give the call one argument too many.
  if (llamada_ == nullptr || faltan_ == 0) return;
  const bool dos = llamada_->cantidad_argumentos == 2;
  const bool exponente = dos && faltan_ == 1;
  FrmSubFormula& picker = VentanaRegistrada<FrmSubFormula>(app_, "FrmSubFormula");
  if (exponente) {
    picker.Preparar(true, false, false, ids_formularios_);
  } else {
    picker.Preparar(llamada_->IsN, llamada_->IsC, llamada_->IsV, ids_formularios_);
  }
  app_.Ui().ShowModal(picker);
  const std::optional<Argumento> eleccion = picker.Eleccion();
  app_.Ui().Unload(picker);
  if (!eleccion) return;

  llamada_->tipo_argumento = eleccion->tipo_argumento;
  llamada_->argumento = eleccion->argumento;
  if (dos && !exponente) tipo_primer_argumento_ = eleccion->tipo_argumento;
  if (exponente) llamada_->tipo_argumento = tipo_primer_argumento_;
  txtDato.SetText(txtDato.Text().empty() ? eleccion->texto : txtDato.Text() + "," + eleccion->texto);
  --faltan_;
  if (faltan_ > 0) lblVar.SetCaption(Parametro(llamada_->cantidad_argumentos - faltan_ + 1));
}

void FrmPreFormula::Command1_Click() {
  if (faltan_ > 0) {
    app_.Ui().MsgBox("Falta un Parametro a Completar");
    return;
  }
  eleccion_ = txtDato.Text();
  Hide();
}

void FrmPreFormula::Command2_Click() {
  faltan_ = llamada_ != nullptr ? llamada_->cantidad_argumentos : 0;
  tipo_primer_argumento_.clear();
  txtDato.SetText("");
  lblVar.SetCaption(Parametro(1));
}

}  // namespace formulas
