// Proc_CargaNov ("Carga de Novedades"): the structure catalogue. The user browses the catalogued
// survey files (SE_ARCHIVOS) and their columns (SE_ESTRUCTURAS), renames a column or gives it a
// description, or adds a column by hand. Part of consolida_intake; writes only SE_ESTRUCTURAS.
#pragma once

#include <string>

#include "intake/resultado.h"
#include "platform/ui/form.h"

namespace core {
class Aplicacion;
}

namespace intake {

class Proc_CargaNov : public ui::Form {
 public:
  // REQUIRES: `app` outlives the window.
  explicit Proc_CargaNov(core::Aplicacion& app);

  ui::Label lblForm{*this, "lblForm"};
  ui::ListBox LstForm{*this, "LstForm"};
  ui::Label Label1{*this, "Label1"};
  ui::Grid MFGField{*this, "MFGField"};
  ui::Label LblCampo{*this, "LblCampo"};
  ui::TextBox TxtCampo{*this, "TxtCampo"};
  ui::Label lblIdEst{*this, "lblIdEst"};
  ui::TextBox txtIdEst{*this, "txtIdEst"};
  ui::Label lblDesc{*this, "lblDesc"};
  ui::TextBox txtDesc{*this, "txtDesc"};
  ui::Label Label6{*this, "Label6"};
  ui::TextBox TxtIdArc{*this, "TxtIdArc"};
  ui::Label lblTipo{*this, "lblTipo"};
  ui::ComboBox CbTipo{*this, "CbTipo"};
  ui::Label LblTam{*this, "LblTam"};
  ui::TextBox TxtTam{*this, "TxtTam"};
  ui::Label LblPrec{*this, "LblPrec"};
  ui::TextBox TxtPrec{*this, "TxtPrec"};
  ui::Label LblEsc{*this, "LblEsc"};
  ui::TextBox TxtEsc{*this, "TxtEsc"};
  ui::CommandButton Command1{*this, "Command1"};
  ui::CommandButton Command2{*this, "Command2"};
  ui::CommandButton cmdActualiza{*this, "cmdActualiza"};
  ui::CommandButton cmdCancelar{*this, "cmdCancelar"};

  // True between "Agregar" and the end of the save or the cancel.
  bool ModoAgregar() const { return agregar_; }

  // The saves of "Actualiza" since the window was opened: columns saved, and refused (the
  // refusal message, or a statement the server failed, which is logged).
  const ResultadoImportacion& Resultado() const { return resultado_; }

  static constexpr int kAncho = 10200;
  static constexpr int kAltoConsulta = 5640;
  static constexpr int kAltoAgregar = 6555;

 protected:
  void Form_Load() override;
  void Form_Resize() override;
  // Shown again (chosen from the menu, or brought to the front): the file list is read again,
  // so files catalogued meanwhile (a survey import) appear; the chosen file stays chosen when
  // it is still listed.
  void Form_Activate() override;

 private:
  void Command1_Click();
  void Command2_Click();
  void cmdActualiza_Click();
  void cmdCancelar_Click();
  void LstForm_DblClick();
  void MFGField_Click();

  void habilita(bool flag);
  void BorraCampo();
  void visibilidad(bool flag);
  void CargarGrilla(long id_archivo);
  void LlenarListaArchivos();
  void Botones(int top);

  core::Aplicacion& app_;
  bool agregar_ = false;
  ResultadoImportacion resultado_;
  std::string campo_leido_;  // the name of the column last taken from the grid
  int alto_ = kAltoConsulta;
  bool lista_recien_leida_ = false;  // read by Form_Load, not yet activated
};

}  // namespace intake
