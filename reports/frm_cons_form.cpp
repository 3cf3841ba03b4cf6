// The formula listing: the form codes, the grid of linked formulas and its "For_" workbook.
#include "reports/frm_cons_form.h"

#include <vector>

#include "core/aplicacion.h"
#include "platform/runtime/conversions.h"
#include "platform/runtime/text.h"
#include "platform/runtime/vb_error.h"
#include "platform/sql/client.h"
#include "platform/ui/busy_scope.h"
#include "platform/ui/ui.h"
#include "reports/internal/comun.h"

namespace reports {

FrmConsForm::FrmConsForm(core::Aplicacion& app) : Form("FrmConsForm"), app_(app), visor_(&VisorPredeterminado()) {
  SetCaption("Consulta");
  SetWidth(8760);
  SetHeight(5700);
  lblTitulo.SetCaption("Consulta de Formulas");
  lblTitulo.Move(120, 120, 8415, 315);
  Label1.SetCaption("Formulario");
  Label1.Move(120, 600, 975, 255);
  cbxFormulario.SetStyle(ui::ComboBox::kDropdownList);
  cbxFormulario.Move(1200, 570, 1815, 315);
  CmdConsulta.SetCaption("Consulta");
  CmdConsulta.Move(3360, 540, 1215, 375);
  CmdImprimir.SetCaption("Imprimir");
  CmdImprimir.Move(4740, 540, 1215, 375);
  CmdSalir.SetCaption("Salir");
  CmdConsulta.SetDefault(true);
  CmdSalir.SetCancel(true);
  CmdSalir.Move(6120, 540, 1215, 375);
  MSFGFormula.Move(120, 1080, 8415, 3735);
  LblMsg.Move(120, 4920, 8415, 255);
  CmdConsulta.Click = [this] { CmdConsulta_Click(); };
  CmdImprimir.Click = [this] { CmdImprimir_Click(); };
  CmdSalir.Click = [this] { CmdSalir_Click(); };
}

std::string FrmConsForm::Consulta(const std::string& codigo) {
  return "SELECT SCF.Id_formCab, SCF.FC_Nombre, SCF.FC_NomVar, SCF.FC_Formula FROM SE_FORMULA_ARCHIVO  SEA "
         "INNER JOIN SE_ARCHIVOS SA ON SA.ARC_ID = SEA.ID_ARC INNER JOIN SE_CABFORMULA SCF ON SCF.Id_FormCab = "
         "SEA.Id_FormCab WHERE LEFT(SA.ARC_NOMBRE,6) = " +
         runtime::SqlText(codigo) + " GROUP BY SCF.Id_formCab, SCF.FC_Nombre, SCF.FC_NomVar, SCF.FC_Formula";
}

void FrmConsForm::Form_Load() {
  LimpiarGrilla();
  cbxFormulario.Clear();
  sql::Recordset rs;
  rs.Open("SELECT distinct(LEFT(ARC_NOMBRE,6)) FROM SE_ARCHIVOS ", app_.CnSql);
  for (; !rs.Eof(); rs.MoveNext()) cbxFormulario.AddItem(runtime::JoinText(rs(0).Value()));
  rs.Close();
}

void FrmConsForm::LimpiarGrilla() {
  MSFGFormula.Clear();
  MSFGFormula.SetCols(3);
  MSFGFormula.SetRows(2);
  MSFGFormula.SetFixedRows(1);
  MSFGFormula.SetFixedCols(0);
  const int anchos[] = {1000, 5000, 2000};
  const char* encabezados[] = {"Formula", "Contenido", "Nombre Completo"};
  for (int c = 0; c < 3; ++c) {
    MSFGFormula.SetColWidth(c, anchos[c]);
    MSFGFormula.SetTextMatrix(0, c, encabezados[c]);
  }
}

void FrmConsForm::Mensaje(const std::string& texto) {
  LblMsg.SetCaption(texto);
  app_.Ui().DoEvents();
}

void FrmConsForm::CmdConsulta_Click() {
  ui::BusyScope ocupada(*this, app_.Ui());
  const std::string codigo = cbxFormulario.Text();
  if (codigo.empty()) {
    app_.Ui().MsgBox("Deberá Seleccionar un formulario para Generar la Consulta");
    LblMsg.SetCaption("");
    return;
  }
  Mensaje("Generando Consulta ...");
  LimpiarGrilla();
  const std::string consulta = Consulta(codigo);
  try {
    sql::Recordset rs;
    rs.Open(consulta, app_.CnSql);
    for (int fila = 1; !rs.Eof(); rs.MoveNext(), ++fila) {
      if (fila > 1) MSFGFormula.SetRows(fila + 1);
      MSFGFormula.SetTextMatrix(fila, 0, runtime::JoinText(rs("FC_NomVar").Value()));
      MSFGFormula.SetTextMatrix(fila, 1, runtime::JoinText(rs("FC_Formula").Value()));
      MSFGFormula.SetTextMatrix(fila, 2, runtime::JoinText(rs("FC_Nombre").Value()));
    }
    rs.Close();
  } catch (const runtime::VbError& error) {
    internal::InformarError(app_, error, "FrmConsForm (CmdConsulta_Click)\r\n" + consulta, "Consulta");
    LblMsg.SetCaption("");
    return;
  }
  LblMsg.SetCaption("Finalizacion Generacion Consulta");
}

void FrmConsForm::CmdImprimir_Click() {
  ui::BusyScope ocupada(*this, app_.Ui());
  planilla_.reset();
  const std::string codigo = cbxFormulario.Text();
  if (codigo.empty()) {
    app_.Ui().MsgBox("Deberá Seleccionar un formulario para Imprimir");
    return;
  }
  const std::string consulta = Consulta(codigo);
  try {
    reports::Planilla planilla;
    sql::Recordset& rs = app_.Rs2();
    internal::Cerrar(rs);
    rs.Open(consulta, app_.CnSql);
    Mensaje("Generando Consulta ...");
    Mensaje("Abriendo Excel ...");
    Mensaje("Generando Reporte ...");
    planilla.titulo = "Reporte de Formula Nº: " + runtime::Trim(runtime::Right(codigo, 2));
    planilla.encabezados = {"Formula", "Contenido", "Nombre Completo"};
    for (; !rs.Eof(); rs.MoveNext()) {
      planilla.filas.push_back({rs("FC_NomVar").Value(), rs("FC_Formula").Value(), rs("FC_Nombre").Value()});
    }
    rs.Close();
    planilla_ = GeneraExcel(app_, kPrefijoFormulas, planilla, *visor_);
  } catch (const runtime::VbError& error) {
    internal::Cerrar(app_.Rs2());
    internal::InformarError(app_, error, "FrmConsForm (CmdImprimir_Click)\r\n" + consulta, "Reporte");
    LblMsg.SetCaption("");
    return;
  }
  LblMsg.SetCaption("Finalizacion Generacion Consulta ...");
}

void FrmConsForm::CmdSalir_Click() { app_.Ui().Unload(*this); }

}  // namespace reports
