// FrmCmdProcess, the command panel: lists the process journal SE_COMM_PROCESO (one row per import
// and per sequence run), optionally filtered by type, survey form and period. Part of the reports
// module; it only reads the database and never writes a row.
#pragma once

#include <string>

#include "platform/ui/controls.h"
#include "platform/ui/form.h"

namespace core {
class Aplicacion;
}  // namespace core

namespace reports {

class FrmCmdProcess : public ui::Form {
 public:
  // REQUIRES: `app` outlives the window and its CnSql is open when the window loads.
  explicit FrmCmdProcess(core::Aplicacion& app);

  ui::Frame FmProceso{*this, "FmProceso"};
  // (0) "Tipo", (1) "Formulario", (2) "Periodo": ticking a box filters on its list's value.
  ui::CheckBox ChkProceso[3]{{*this, "ChkProceso", &FmProceso, 0},
                             {*this, "ChkProceso", &FmProceso, 1},
                             {*this, "ChkProceso", &FmProceso, 2}};
  ui::ComboBox cbxTipo{*this, "cbxTipo", &FmProceso};
  ui::ComboBox cbxFormulario{*this, "cbxFormulario", &FmProceso};
  ui::ComboBox cbxPeriodo{*this, "cbxPeriodo", &FmProceso};
  ui::CommandButton CmdConsulta{*this, "CmdConsulta"};
  ui::CommandButton CmdSalir{*this, "CmdSalir"};
  ui::Grid FGrConsulta{*this, "FGrConsulta"};

  // The filter text of "Consulta" for the boxes ticked now: "" when none is, else the WHERE
  // part that follows "FROM SE_COMM_PROCESO " (values quoted as SQL literals).
  std::string Filtro() const;
  // The whole statement "Consulta" sends.
  std::string Consulta() const;

  void ChkProceso_Click(int Index);
  void CmdConsulta_Click();
  void CmdSalir_Click();

 protected:
  void Form_Load() override;
  void Form_Resize() override;

 private:
  // Back to the header row and one empty row, four columns.
  void LimpiarGrilla();
  // Fills `lista` with the first column of every row of `sql`, showing the first entry.
  void LlenarLista(ui::ComboBox& lista, const std::string& sql);

  core::Aplicacion& app_;
};

}  // namespace reports
