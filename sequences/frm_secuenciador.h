// FrmSecuenciador ("Secuenciador"): the sequence editor. Collapsed it shows the header (name,
// survey form, style) and the commands; "Secuencia" opens the line area, where formula lines
// and "Si"/"And"/"FSi" condition lines are accepted under the block rules, inserted, removed
// and marked. "Generar" stores a new sequence in SE_CABSECUENCIA, SE_SECUENCIA and
// SE_VARSECUENCIA or the changes to one opened with "Modificar"; "Eliminar Secuencia" deletes
// it. Part of consolida_sequences; no Qt.
#pragma once

#include <cstdint>
#include <string>

#include "platform/ui/form.h"
#include "sequences/frm_sec_valor.h"

namespace core {
class Aplicacion;
}

namespace sequences {

class FrmSecuenciador : public ui::Form {
 public:
  // REQUIRES: `app` outlives the window; the other sequence windows and FrmMFormula are
  // registered with it.
  explicit FrmSecuenciador(core::Aplicacion& app);

  // The header.
  ui::Label LblSecuencia{*this, "LblSecuencia"};
  ui::TextBox txtSecuencia{*this, "txtSecuencia"};
  ui::TextBox TxtIdSecuencia{*this, "TxtIdSecuencia"};
  ui::CommandButton CmdSecuencia{*this, "CmdSecuencia"};
  ui::Label lblNForm{*this, "lblNForm"};
  ui::TextBox txtFormulario{*this, "txtFormulario"};
  ui::TextBox TxtIdFormulario{*this, "TxtIdFormulario"};
  ui::CommandButton CmdAddForm{*this, "CmdAddForm"};
  ui::Frame FrTipo{*this, "FrTipo"};
  ui::OptionButton OpcTipo[2]{{*this, "OpcTipo", &FrTipo, 0}, {*this, "OpcTipo", &FrTipo, 1}};

  // The commands.
  ui::CommandButton CmdCrear{*this, "CmdCrear"};
  ui::CommandButton CmdModificar{*this, "CmdModificar"};
  ui::CommandButton CmdEliSec{*this, "CmdEliSec"};
  ui::CommandButton cmdGenerar{*this, "cmdGenerar"};
  ui::CommandButton cmdCancelar{*this, "cmdCancelar"};

  // The line area.
  ui::Frame FrSecuencia{*this, "FrSecuencia"};
  ui::OptionButton OptValor{*this, "OptValor", &FrSecuencia};
  ui::OptionButton OptCondicion{*this, "OptCondicion", &FrSecuencia};
  ui::TextBox TxtValor{*this, "TxtValor", &FrSecuencia};
  ui::CommandButton Command1[3]{{*this, "Command1", &FrSecuencia, 0},
                                {*this, "Command1", &FrSecuencia, 1},
                                {*this, "Command1", &FrSecuencia, 2}};
  ui::CommandButton Command2[3]{{*this, "Command2", &FrSecuencia, 0},
                                {*this, "Command2", &FrSecuencia, 1},
                                {*this, "Command2", &FrSecuencia, 2}};
  ui::CommandButton Command3{*this, "Command3", &FrSecuencia};
  ui::ComboBox CbxCond{*this, "CbxCond", &FrSecuencia};
  ui::TextBox TxtVar1{*this, "TxtVar1", &FrSecuencia};
  ui::CommandButton CmdMuestra{*this, "CmdMuestra", &FrSecuencia};
  ui::CommandButton CmdCampo{*this, "CmdCampo", &FrSecuencia};
  ui::ComboBox CbxOper{*this, "CbxOper", &FrSecuencia};
  ui::TextBox TxtVar2{*this, "TxtVar2", &FrSecuencia};
  ui::CommandButton Command8{*this, "Command8", &FrSecuencia};
  ui::Grid FGSecuencia{*this, "FGSecuencia", &FrSecuencia};
  ui::CommandButton CmdInsertar{*this, "CmdInsertar", &FrSecuencia};
  ui::CommandButton CmdRemover{*this, "CmdRemover", &FrSecuencia};
  ui::CommandButton cmdlimpiar{*this, "cmdlimpiar", &FrSecuencia};
  ui::Grid MSFFormula{*this, "MSFFormula"};

  // Value holders: kinds ("N"/"V"), formula ids, the sample-column mark and number.
  ui::TextBox Txt{*this, "Txt"};
  ui::TextBox Txt1{*this, "Txt1"};
  ui::TextBox Txt2{*this, "Txt2"};
  ui::TextBox txtIdR{*this, "txtIdR"};
  ui::TextBox txtIdR1{*this, "txtIdR1"};
  ui::TextBox txtIdR2{*this, "txtIdR2"};
  ui::TextBox txtNMuestra{*this, "txtNMuestra"};
  ui::TextBox txtIdMuestra{*this, "txtIdMuestra"};

  // The editor state: 'A' creating, 'M' modifying, ' ' neither (after opening or a reset).
  char ModoEdicion() const { return ModoEdicion_; }
  int16_t CondAbiertas() const { return CondAbiertas_; }
  bool CabModificada() const { return CabModificada_; }
  bool LineasModificadas() const { return LineasModificadas_; }
  // True once "Secuencia" opened the line area (until the editor is reset).
  bool LineaAbierta() const { return linea_abierta_; }

  static constexpr int kAncho = 8085;
  static constexpr int kAltoCerrado = 1485;
  static constexpr int kAltoAbierto = 6540;

 protected:
  void Form_Load() override;
  void Form_Resize() override;

 private:
  // Back to the state of a freshly opened editor: no sequence, empty lists, collapsed.
  void Reiniciar();
  // Checks the block structure of the whole list; shows the fault and returns false.
  bool RevGrilla();

  void CmdCrear_Click();
  void CmdModificar_Click();
  void CmdAddForm_Click();
  void txtSecuencia_Change();
  void CmdSecuencia_Click();
  void OptValor_Click();
  void OptCondicion_Click();
  void Command1_Click(int index);
  void Command2_Click(int index);
  // Opens FrmSecValor for `ranura` and writes what it hands back.
  void PedirValor(Ranura ranura, bool modo_variables);
  void CmdMuestra_Click();
  void CbxCond_Click();
  void Command3_Click();
  void Command8_Click();
  void CmdInsertar_Click();
  void CmdRemover_Click();
  void cmdlimpiar_Click();
  void FGSecuencia_Click();
  void cmdGenerar_Click();
  void CmdEliSec_Click();
  void cmdCancelar_Click();

  // The checks of a formula line; false after telling the user.
  bool AdmiteFormula();
  // The checks of a condition line; `referencia` is the row an "And" or "FSi" follows (the
  // last row, or the selected one for an insertion). Moves CondAbiertas; false after telling
  // the user.
  bool AdmiteCondicion(int referencia, bool insercion);
  // The row a new line goes into: row 0 of an empty list, else a new row after `despues`.
  int NuevaFila(int despues);
  void EscribirFormula(int fila);
  void EscribirCondicion(int fila);
  // Records one display text in the variable list; `primera` is the first entry of a line
  // accepted into an empty list, which takes the list's first row.
  void RegistrarVariable(const std::string& texto, bool primera);
  void VaciarFormula();
  void VaciarCondicion();

  // Storing: true when done (or nothing to do), false after a refusal or an error.
  bool Crear();
  bool Actualizar();
  // True when a sequence other than the one being modified is called `nombre`.
  bool NombreExistente(const std::string& nombre);
  // "Error en condiciones, revise la Secuencia." with its log entry.
  void CondicionesAbiertasAlGrabar();
  // Fills the line list with the stored lines of TxtIdSecuencia.
  void CargarLineas();

  core::Aplicacion& app_;
  char ModoEdicion_ = ' ';
  int16_t CondAbiertas_ = 0;
  bool CabModificada_ = false;
  bool LineasModificadas_ = false;
  bool linea_abierta_ = false;
};

}  // namespace sequences
