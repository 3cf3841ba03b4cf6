// FrmProcSecuencia ("Procesar Secuencia"): runs a stored sequence for one survey form, period
// and year. Formula lines outside a block call the formula's whole-form procedure P<id> once; a
// "Si" ... "FSi" block is run company by company over the form's roll: its conditions are tested
// for the company (a formula's per-company result through P<id>_emp and FindIdentRes, or a
// column of the company's roll row) and, when all hold, its formulas run through P<id>_emp for
// that company. A failing call is reported and the run goes on. The run ends with a journal row
// in SE_COMM_PROCESO. Part of consolida_runner; no Qt.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/repintado.h"
#include "platform/runtime/valor.h"
#include "platform/ui/form.h"
#include "runner/lineas_corrida.h"

namespace core {
class Aplicacion;
}

namespace runner {

// How the last press of "Procesar" ended.
enum class Resultado {
  kNinguno,      // not pressed yet
  kRechazada,    // an input check or the sequence check refused it: nothing ran
  kInterrumpida, // a read the run depends on failed: logged and told; no journal row
  kConErrores,   // ran to the end, but some call failed or the journal row was not written
  kCorrecta,     // ran to the end without an error
};

class FrmProcSecuencia : public ui::Form {
 public:
  // REQUIRES: `app` outlives the window; FrmBuForm1 and FrmBuSec are registered with it.
  explicit FrmProcSecuencia(core::Aplicacion& app);

  ui::Label Label1{*this, "Label1"};
  ui::TextBox TxtPeriodo{*this, "TxtPeriodo"};
  ui::Label Label2{*this, "Label2"};
  ui::TextBox TxtAnio{*this, "TxtAnio"};
  ui::Label Label3{*this, "Label3"};
  ui::Label LblFormulario{*this, "LblFormulario"};
  ui::TextBox TxtIdFormulario{*this, "TxtIdFormulario"};
  ui::CommandButton Command1{*this, "Command1"};
  ui::Label Label4{*this, "Label4"};
  ui::Label lblSec{*this, "lblSec"};
  ui::TextBox TxtIdSecuencia{*this, "TxtIdSecuencia"};
  ui::CommandButton CmdSec{*this, "CmdSec"};
  ui::CommandButton CmdProcesar2{*this, "CmdProcesar2"};
  ui::Label LblMsg{*this, "LblMsg"};
  ui::Label lblmsg1{*this, "lblmsg1"};

  Resultado UltimoResultado() const { return resultado_; }
  // The clock that paces the repaints inside a block (tests and benchmarks).
  void UsarReloj(core::Repintado::Reloj reloj) { repintado_.UsarReloj(std::move(reloj)); }

  static constexpr int kAncho = 5445;
  static constexpr int kAlto = 3765;
  // The pause before every line of the main walk and every procedure call, unless the program's
  // pause setting says otherwise.
  static constexpr int kPausa = 2000;

 protected:
  void Form_Load() override;
  void Form_Resize() override;

 private:
  // One condition of a block, as S1 collects it.
  struct Condicion {
    LineaCorrida linea;
    std::string columna;  // kind "M": the roll column's name
  };
  // One formula of a block: its name (FC_NomVar) and its id.
  struct FormulaBloque {
    std::string nombre;
    std::string id;
  };

  void Command1_Click();
  void CmdSec_Click();
  void CmdProcesar2_Click();

  // The input checks in order; false after telling the user.
  bool Validar();
  // The run of `lineas` once the checks passed. Throws runtime::VbError when a read the run
  // depends on fails (the lines, the roll, a roll value, FindIdentRes).
  void Correr(const std::vector<LineaCorrida>& lineas, const std::vector<std::string>& columnas);
  // The block that starts at lineas[inicio] (a "Si" line); returns the index of its "FSi" line.
  size_t S1(const std::vector<LineaCorrida>& lineas, size_t inicio, const std::vector<std::string>& columnas);
  // True when every condition holds for `empresa`; every condition is evaluated.
  bool S2(const std::vector<Condicion>& condiciones, const std::string& empresa);
  // The value a condition's operand has for `empresa`: the first column of the first row of
  // the lookup; nullopt when there is no row (or the formula's call failed).
  std::optional<runtime::Valor> ValorFormula(const std::string& id, const std::string& empresa);
  std::optional<runtime::Valor> ValorMuestra(const std::string& columna, const std::string& empresa);
  // One procedure call; false after the error box and log entry of a failure.
  bool ExecSec(const std::string& procedimiento, const std::string& formulario, int32_t anio,
               int32_t periodo, const std::string& empresa);
  void RegistrarJournal();

  core::Aplicacion& app_;
  core::Repintado repintado_;
  Resultado resultado_ = Resultado::kNinguno;
  bool errores_ = false;  // a call or the journal row failed during the run in hand

  // The values of the run in hand, read from the controls once they passed the checks.
  std::string formulario_;  // form code: the first six characters of LblFormulario
  std::string sector_;      // LblFormulario without its last two characters
  std::string periodo_;     // TxtPeriodo, four digits
  std::string id_formulario_;  // TxtIdFormulario and TxtIdSecuencia as whole numbers
  std::string id_secuencia_;
  std::string contexto_;    // where a read that fails is, for the error-log entry
  int32_t vperiodo_ = 0;
  int32_t anio_ = 0;
  int32_t AnioProc = 0;
};

}  // namespace runner
