// The command panel's logic: filling the three filter lists from the journal, building the
// filtered query and showing its rows in the grid. Reads SE_COMM_PROCESO only.
#include "reports/frm_cmd_process.h"

#include "core/aplicacion.h"
#include "platform/runtime/conversions.h"
#include "platform/runtime/text.h"
#include "platform/sql/client.h"
#include "platform/ui/busy_scope.h"
#include "platform/ui/ui.h"

namespace reports {

namespace {

constexpr int kAncho = 8400;
constexpr int kAlto = 6300;

enum { kTipo = 0, kFormulario = 1, kPeriodo = 2 };


}  // namespace

FrmCmdProcess::FrmCmdProcess(core::Aplicacion& app) : Form("FrmCmdProcess"), app_(app) {
  SetCaption("Panel de Comando");
  SetWidth(kAncho);
  SetHeight(kAlto);

  FmProceso.SetCaption(" Procesos ");
  FmProceso.Move(120, 60, 4815, 1575);
  const char* titulos[] = {"Tipo", "Formulario", "Periodo"};
  ui::ComboBox* listas[] = {&cbxTipo, &cbxFormulario, &cbxPeriodo};
  for (int i = 0; i < 3; ++i) {
    ChkProceso[i].SetCaption(titulos[i]);
    ChkProceso[i].Move(120, 300 + 420 * i, 1335, 315);
    ChkProceso[i].Click = [this, i] { ChkProceso_Click(i); };
    listas[i]->SetStyle(ui::ComboBox::kDropdownList);
    listas[i]->Move(1560, 270 + 420 * i, 3015, 315);
  }
  CmdConsulta.SetCaption("Consulta");
  CmdConsulta.Move(5400, 300, 1215, 375);
  CmdConsulta.Click = [this] { CmdConsulta_Click(); };
  CmdSalir.SetCaption("Salir");
  CmdConsulta.SetDefault(true);
  CmdSalir.SetCancel(true);
  CmdSalir.Move(5400, 900, 1215, 375);
  CmdSalir.Click = [this] { CmdSalir_Click(); };
  FGrConsulta.Move(120, 1800, 8040, 3960);
}

void FrmCmdProcess::Form_Load() {
  ui::AplicarTamanoFijo(*this, kAncho, kAlto);
  ui::ComboBox* listas[] = {&cbxTipo, &cbxFormulario, &cbxPeriodo};
  for (int i = 0; i < 3; ++i) {
    listas[i]->SetEnabled(false);
    ChkProceso[i].SetValue(ui::CheckBox::kUnchecked);
  }
  LimpiarGrilla();
  LlenarLista(cbxFormulario, "Select Distinct(Formulario)  From SE_COMM_PROCESO ");
  LlenarLista(cbxTipo, "Select Distinct(Tipo)  From SE_COMM_PROCESO ");
  LlenarLista(cbxPeriodo, "Select Distinct(Periodo)  From SE_COMM_PROCESO ");
}

void FrmCmdProcess::Form_Resize() { ui::AplicarTamanoFijo(*this, kAncho, kAlto); }

void FrmCmdProcess::LlenarLista(ui::ComboBox& lista, const std::string& sql) {
  sql::Recordset rs;
  rs.Open(sql, app_.CnSql);
  lista.Clear();
  while (!rs.Eof()) {
    lista.AddItem(runtime::JoinText(rs(0).Value()));
    rs.MoveNext();
  }
  rs.Close();
  if (lista.ListCount() > 0) lista.SetListIndex(0);
}

void FrmCmdProcess::LimpiarGrilla() {
  FGrConsulta.Clear();
  FGrConsulta.SetCols(4);
  FGrConsulta.SetRows(2);
  FGrConsulta.SetFixedRows(1);
  FGrConsulta.SetFixedCols(0);
  const int anchos[] = {1500, 1000, 700, 2000};
  const char* encabezados[] = {"Formulario", "Tipo", "Periodo", "Fecha"};
  for (int c = 0; c < 4; ++c) {
    FGrConsulta.SetColWidth(c, anchos[c]);
    FGrConsulta.SetTextMatrix(0, c, encabezados[c]);
  }
}

// Clicking the box toggles its list whatever the box's new value; the filter reads the boxes.
void FrmCmdProcess::ChkProceso_Click(int Index) {
  ui::ComboBox* listas[] = {&cbxTipo, &cbxFormulario, &cbxPeriodo};
  listas[Index]->SetEnabled(!listas[Index]->Enabled());
}

std::string FrmCmdProcess::Filtro() const {
  auto marcado = [this](int i) { return ChkProceso[i].Value() == ui::CheckBox::kChecked; };
  std::string w;
  if (marcado(kFormulario)) {
    w = "WHERE Formulario = " + runtime::SqlText(cbxFormulario.Text());
  }
  if (marcado(kTipo)) {
    const std::string condicion = "tipo = " + runtime::SqlText(cbxTipo.Text());
    w = w.empty() ? " where " + condicion : w + " And " + condicion;
  }
  if (marcado(kPeriodo)) {
    // The period goes in bare as a number; anything else (an empty list) as a literal, so the
    // statement stays well formed and simply finds nothing.
    const std::string periodo = cbxPeriodo.Text();
    const std::string condicion =
        "periodo = " + (runtime::IsNumeric(periodo) ? periodo : runtime::SqlText(periodo));
    w = w.empty() ? " where " + condicion : w + " And " + condicion;
  }
  return w;
}

std::string FrmCmdProcess::Consulta() const {
  return "SELECT formulario, tipo, periodo, Fecha, capitulo, Id_CommProc, Contenido FROM "
         "SE_COMM_PROCESO " +
         Filtro() + " Order by Id_CommProc";
}

void FrmCmdProcess::CmdConsulta_Click() {
  ui::BusyScope ocupada(*this, app_.Ui());
  LimpiarGrilla();
  sql::Recordset rs;
  rs.Open(Consulta(), app_.CnSql);
  const bool secuencia = runtime::UCase(cbxTipo.Text()) == "SECUENCIA";
  if (secuencia) {
    FGrConsulta.SetCols(5);
    FGrConsulta.SetColWidth(4, 2500);
    FGrConsulta.SetTextMatrix(0, 4, "Secuencia");
  }
  int fila = 1;
  while (!rs.Eof()) {
    if (fila > 1) FGrConsulta.SetRows(fila + 1);
    std::string formulario = runtime::JoinText(rs("formulario").Value());
    const runtime::Valor capitulo = rs("capitulo").Value();
    if (!capitulo.IsNull()) formulario += "_" + runtime::CStr(capitulo);
    FGrConsulta.SetTextMatrix(fila, 0, formulario);
    FGrConsulta.SetTextMatrix(fila, 1, runtime::JoinText(rs("tipo").Value()));
    FGrConsulta.SetTextMatrix(fila, 2, runtime::JoinText(rs("periodo").Value()));
    FGrConsulta.SetTextMatrix(fila, 3, runtime::JoinText(rs("Fecha").Value()));
    if (secuencia) FGrConsulta.SetTextMatrix(fila, 4, runtime::JoinText(rs("Contenido").Value()));
    ++fila;
    rs.MoveNext();
  }
  rs.Close();
}

void FrmCmdProcess::CmdSalir_Click() { app_.Ui().Unload(*this); }

}  // namespace reports
