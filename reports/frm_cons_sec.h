// FrmConsSec ("Consulta"): the lines of one stored sequence in a grid laid out like the sequence
// editor's line list, with each formula's text beside it, exported to a "Sec_" workbook. The
// sequence is chosen with FrmBuCoModSec. Part of the reports module; it only reads the
// database. No Qt.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/runtime/valor.h"
#include "platform/ui/controls.h"
#include "platform/ui/form.h"
#include "reports/genera_excel.h"

namespace core {
class Aplicacion;
}  // namespace core

namespace reports {

class FrmConsSec : public ui::Form {
 public:
  // REQUIRES: `app` outlives the window; FrmBuCoModSec is registered with it.
  explicit FrmConsSec(core::Aplicacion& app);

  ui::Label lblTitulo{*this, "lblTitulo"};
  ui::Label Label1{*this, "Label1"};
  ui::TextBox txtSecuencia{*this, "txtSecuencia"};
  ui::TextBox TxtIdSecuencia{*this, "TxtIdSecuencia"};
  ui::CommandButton CmdSecuencia{*this, "CmdSecuencia"};
  ui::CommandButton CmdConsulta{*this, "CmdConsulta"};
  ui::CommandButton CmdImprimir{*this, "CmdImprimir"};
  ui::CommandButton CmdSalir{*this, "CmdSalir"};
  ui::Grid FGSecuencia{*this, "FGSecuencia"};
  ui::Label LblMsg{*this, "LblMsg"};

  // The workbook the last "Imprimir" wrote; nullopt when it wrote none.
  const std::optional<std::string>& Planilla() const { return planilla_; }
  // The viewer "Desea Abrirlo ahora" hands the workbook to (default: the desktop's).
  void UsarVisor(Visor& visor) { visor_ = &visor; }
  // True when the last "Consulta" ran to its end.
  bool ConsultaCorrecta() const { return consulta_correcta_; }

  static constexpr int kAncho = 9015;
  static constexpr int kAlto = 5700;

 protected:
  void Form_Load() override;
  void Form_Resize() override;

 private:
  void CmdSecuencia_Click();
  void CmdConsulta_Click();
  void CmdImprimir_Click();
  void CmdSalir_Click();
  // Columns 2 and 10 of a line whose left operand is of kind `tipo` with identifier `id`.
  std::pair<std::string, std::string> Operando(const std::string& tipo, const runtime::Valor& id);
  void Mensaje(const std::string& texto);

  core::Aplicacion& app_;
  Visor* visor_;
  std::optional<std::string> planilla_;
  bool consulta_correcta_ = false;
  // The roll's column names, read once per "Consulta" when a line needs them.
  std::optional<std::vector<std::string>> columnas_;
};

}  // namespace reports
