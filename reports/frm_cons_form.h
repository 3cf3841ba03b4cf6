// FrmConsForm ("Consulta"): the formulas linked to one survey form (a form code of
// SE_ARCHIVOS), listed in a grid and exported to a "For_" workbook. Part of the reports module;
// it only reads the database. No Qt.
#pragma once

#include <optional>
#include <string>

#include "platform/ui/controls.h"
#include "platform/ui/form.h"
#include "reports/genera_excel.h"

namespace core {
class Aplicacion;
}  // namespace core

namespace reports {

class FrmConsForm : public ui::Form {
 public:
  // REQUIRES: `app` outlives the window and its CnSql is open when the window loads.
  explicit FrmConsForm(core::Aplicacion& app);

  ui::Label lblTitulo{*this, "lblTitulo"};
  ui::Label Label1{*this, "Label1"};
  ui::ComboBox cbxFormulario{*this, "cbxFormulario"};
  ui::CommandButton CmdConsulta{*this, "CmdConsulta"};
  ui::CommandButton CmdImprimir{*this, "CmdImprimir"};
  ui::CommandButton CmdSalir{*this, "CmdSalir"};
  ui::Grid MSFGFormula{*this, "MSFGFormula"};
  ui::Label LblMsg{*this, "LblMsg"};

  // The listing statement for form code `codigo` (quoted as an SQL literal).
  static std::string Consulta(const std::string& codigo);

  // The workbook the last "Imprimir" wrote; nullopt when it wrote none.
  const std::optional<std::string>& Planilla() const { return planilla_; }
  // The viewer "Desea Abrirlo ahora" hands the workbook to (default: the desktop's).
  void UsarVisor(Visor& visor) { visor_ = &visor; }

 protected:
  // Lays out the grid and lists the form codes. Throws runtime::VbError when they cannot be read.
  void Form_Load() override;

 private:
  void CmdConsulta_Click();
  void CmdImprimir_Click();
  void CmdSalir_Click();
  // Back to the header row and one empty row.
  void LimpiarGrilla();
  void Mensaje(const std::string& texto);

  core::Aplicacion& app_;
  Visor* visor_;
  std::optional<std::string> planilla_;
};

}  // namespace reports
