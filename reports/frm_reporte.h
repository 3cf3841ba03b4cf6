// FrmReporte ("Reporte"): the results report. "Generar" rebuilds the work table TEMP_REPORTE
// from the results the sequence runs stored in SE_RESULTADO for one survey form and period (one
// row per company, one float column per formula name, and with "Año Anterior" one more per name
// for the previous year), lets the user choose its columns in FrmReporteA and writes them into
// a "Rep_" workbook. FrmBuFormReporte picks the survey form. Part of the reports module; no Qt.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "core/repintado.h"
#include "platform/ui/controls.h"
#include "platform/ui/form.h"
#include "reports/genera_excel.h"
#include "sequences/selectores.h"

namespace core {
class Aplicacion;
}  // namespace core

namespace reports {

// "Formularios": the survey form (SE_ARCHIVOS) of the results report.
class FrmBuFormReporte : public sequences::Selector {
 public:
  explicit FrmBuFormReporte(core::Aplicacion& app) : Selector(app, "FrmBuFormReporte", "Formularios") {}

 protected:
  std::string Consulta() const override { return "Select * FROM SE_ARCHIVOS"; }
};

// "Reporte": which columns of TEMP_REPORTE the workbook shows, in order.
class FrmReporteA : public ui::Form {
 public:
  // REQUIRES: `app` outlives the window.
  explicit FrmReporteA(core::Aplicacion& app);

  ui::Label Label1{*this, "Label1"};
  ui::ListBox LstCampo{*this, "LstCampo"};
  ui::ListBox lstVisualiza{*this, "lstVisualiza"};
  ui::CommandButton CmdSUno{*this, "CmdSUno"};
  ui::CommandButton CmdSTodos{*this, "CmdSTodos"};
  ui::CommandButton CmdRUno{*this, "CmdRUno"};
  ui::CommandButton CmdRTodos{*this, "CmdRTodos"};
  ui::CommandButton CmdAcepta{*this, "CmdAcepta"};
  ui::CommandButton CmdCancela{*this, "CmdCancela"};

  // The chosen columns joined by ", " when the last showing ended with "Acepta"; nullopt after
  // "Cancelar", a close, or an empty work table.
  const std::optional<std::string>& Campos() const { return campos_; }

 protected:
  // Lists the columns from Periodo on; with an empty work table tells the user and unloads.
  // Throws runtime::VbError when TEMP_REPORTE cannot be read.
  void Form_Load() override;

 private:
  void Mover(ui::ListBox& desde, ui::ListBox& hacia, bool todos);
  void CmdAcepta_Click();
  void CmdCancela_Click();

  core::Aplicacion& app_;
  std::optional<std::string> campos_;
};

class FrmReporte : public ui::Form {
 public:
  // REQUIRES: `app` outlives the window; FrmBuFormReporte and FrmReporteA are registered.
  explicit FrmReporte(core::Aplicacion& app);

  ui::Label Label1{*this, "Label1"};
  ui::TextBox TxtPeriodo{*this, "TxtPeriodo"};
  ui::Label Label2{*this, "Label2"};
  ui::TextBox TxtFormulario{*this, "TxtFormulario"};
  ui::TextBox TxtIdFormulario{*this, "TxtIdFormulario"};
  ui::CommandButton CmdFormulario{*this, "CmdFormulario"};
  ui::Label Label3{*this, "Label3"};
  ui::TextBox TxtTitulo{*this, "TxtTitulo"};
  ui::CheckBox ChkAnterior{*this, "ChkAnterior"};
  ui::CommandButton CmdGenerar{*this, "CmdGenerar"};
  ui::Label LblMsg{*this, "LblMsg"};
  ui::TextBox TxtCampo{*this, "TxtCampo"};
  ui::TextBox txtResultado{*this, "txtResultado"};

  // The workbook the last "Generar" wrote; nullopt when it wrote none.
  const std::optional<std::string>& Planilla() const { return planilla_; }

  // The viewer "Desea Abrirlo ahora" hands the workbook to (default: the desktop's).
  void UsarVisor(Visor& visor) { visor_ = &visor; }
  // Where nobody can work the field dialog (a command): `elegir` works it instead of the user
  // once it is loaded, pressing its buttons; the dialog is unloaded afterwards if still open.
  void UsarEleccionDeCampos(std::function<void(FrmReporteA&)> elegir) { elegir_ = std::move(elegir); }
  // The clock that paces the repaints of the progress line (tests and benchmarks).
  void UsarReloj(core::Repintado::Reloj reloj) { repintado_.UsarReloj(std::move(reloj)); }

  // The pause before every data row, unless the program's pause setting says otherwise.
  static constexpr int kPausa = 50;

 private:
  void CmdFormulario_Click();
  void CmdGenerar_Click();

  // The input checks in order; false after telling the user.
  bool Validar();
  // Rebuilds TEMP_REPORTE; false when there was nothing to report or the table could not be
  // made. Throws runtime::VbError when a query or a row fails (`sentencia_` holds it).
  bool Construir();
  // Shows the field dialog; true when it ended with "Acepta" (TxtCampo, txtResultado set).
  bool ElegirCampos();
  // Writes the workbook of the chosen fields. Throws runtime::VbError when it cannot.
  void Imprimir();
  void Mensaje(const std::string& texto);

  core::Aplicacion& app_;
  core::Repintado repintado_;
  Visor* visor_;
  std::function<void(FrmReporteA&)> elegir_;
  std::optional<std::string> planilla_;
  // The run in hand: form code, period, and the statement sent last (for the error log).
  std::string formulario_;
  std::string periodo_;
  std::string sentencia_;
};

}  // namespace reports
