// The sequence listing: the picker, the grid of the sequence's lines and its "Sec_" workbook.
#include "reports/frm_cons_sec.h"

#include <cmath>

#include "core/aplicacion.h"
#include "platform/runtime/conversions.h"
#include "platform/runtime/text.h"
#include "platform/runtime/vb_error.h"
#include "platform/sql/client.h"
#include "platform/ui/busy_scope.h"
#include "platform/ui/ui.h"
#include "reports/internal/comun.h"

namespace reports {
namespace {

using runtime::JoinText;
using runtime::Valor;

// A sequence identifier as the statement takes it: a whole number, else "".
std::string Identificador(const std::string& texto) {
  const std::string limpio = runtime::Trim(texto);
  if (limpio.empty() || limpio.size() > 9) return "";
  for (char c : limpio) {
    if (c < '0' || c > '9') return "";
  }
  return limpio;
}

// A stored formula or column number (a float column) as a whole number; nullopt for Null or a
// number that is not whole.
std::optional<long> Entero(const Valor& valor) {
  if (valor.IsNull()) return std::nullopt;
  const double numero = runtime::CDbl(valor);
  if (numero != std::floor(numero) || std::fabs(numero) > 2e9) return std::nullopt;
  return static_cast<long>(numero);
}

}  // namespace

FrmConsSec::FrmConsSec(core::Aplicacion& app) : Form("FrmConsSec"), app_(app), visor_(&VisorPredeterminado()) {
  SetCaption("Consulta");
  SetWidth(kAncho);
  SetHeight(kAlto);
  lblTitulo.SetCaption("Consulta de Secuencias");
  lblTitulo.Move(120, 120, 8655, 315);
  Label1.SetCaption("Secuencia");
  Label1.Move(120, 600, 975, 255);
  txtSecuencia.Move(1200, 570, 3375, 315);
  txtSecuencia.SetEnabled(false);
  TxtIdSecuencia.SetVisible(false);
  CmdSecuencia.SetCaption("...");
  CmdSecuencia.Move(4680, 570, 435, 315);
  CmdConsulta.SetCaption("Consulta");
  CmdConsulta.Move(5400, 540, 1095, 375);
  CmdImprimir.SetCaption("Imprimir");
  CmdImprimir.Move(6600, 540, 1095, 375);
  CmdSalir.SetCaption("Salir");
  CmdConsulta.SetDefault(true);
  CmdSalir.SetCancel(true);
  CmdSalir.Move(7800, 540, 1035, 375);
  FGSecuencia.Move(120, 1080, 8655, 3735);
  LblMsg.Move(120, 4920, 8655, 255);
  CmdSecuencia.Click = [this] { CmdSecuencia_Click(); };
  CmdConsulta.Click = [this] { CmdConsulta_Click(); };
  CmdImprimir.Click = [this] { CmdImprimir_Click(); };
  CmdSalir.Click = [this] { CmdSalir_Click(); };
}

void FrmConsSec::Form_Load() {
  ui::AplicarTamanoFijo(*this, kAncho, kAlto);
  FGSecuencia.Clear();
  FGSecuencia.SetRows(1);
  FGSecuencia.SetCols(11);
  FGSecuencia.SetFixedRows(1);
  FGSecuencia.SetFixedCols(0);
  const int anchos[] = {400, 600, 3000, 600, 800, 1, 1, 1, 1, 300, 3000};
  const char* encabezados[] = {"Nro", "Condic", "Operando1", "Operador", "Operando2", "", "", "", "", "A-1",
                               "Formula"};
  for (int c = 0; c < 11; ++c) {
    FGSecuencia.SetColWidth(c, anchos[c]);
    FGSecuencia.SetTextMatrix(0, c, encabezados[c]);
  }
  FGSecuencia.SetColAlignment(9, ui::Grid::kCenterCenter);
}

void FrmConsSec::Form_Resize() { ui::AplicarTamanoFijo(*this, kAncho, kAlto); }

void FrmConsSec::Mensaje(const std::string& texto) {
  LblMsg.SetCaption(texto);
  app_.Ui().DoEvents();
}

void FrmConsSec::CmdSecuencia_Click() {
  ui::BusyScope ocupada(*this, app_.Ui());
  const std::optional<sequences::Eleccion> elegido = internal::Elegir<sequences::FrmBuCoModSec>(app_, "FrmBuCoModSec");
  if (!elegido) return;
  txtSecuencia.SetText(elegido->texto);
  TxtIdSecuencia.SetText(std::to_string(elegido->dato));
}

std::pair<std::string, std::string> FrmConsSec::Operando(const std::string& tipo, const Valor& id) {
  const std::optional<long> numero = Entero(id);
  if (tipo == "F" && numero) {
    sql::Recordset rs;
    rs.Open("SELECT fc_nomvar + ' (' + fc_nombre + ')' as FC_NOMVAR, FC_Formula FROM SE_CABFORMULA WHERE "
            "Id_formCab = " + std::to_string(*numero),
            app_.CnSql);
    std::pair<std::string, std::string> celdas;
    if (!rs.Eof()) celdas = {JoinText(rs("FC_NOMVAR").Value()), JoinText(rs("FC_Formula").Value())};
    rs.Close();
    return celdas;
  }
  if (tipo == "M" && numero) {
    if (!columnas_) {
      sql::Recordset rs;
      rs.Open("SELECT * FROM SE_MUESTRA_PADRON", app_.CnSql);
      columnas_.emplace();
      for (int i = 0; i < rs.Fields().Count(); ++i) columnas_->push_back(rs.Fields().Item(i).Name());
      rs.Close();
    }
    // A stored number past the roll's columns names none.
    const long posicion = *numero + 1;
    const std::string columna =
        posicion >= 0 && posicion < static_cast<long>(columnas_->size()) ? (*columnas_)[posicion] : "";
    return {columna, "Campo de la Tabla Muestra"};
  }
  return {};
}

void FrmConsSec::CmdConsulta_Click() {
  ui::BusyScope ocupada(*this, app_.Ui());
  consulta_correcta_ = false;
  const std::string id = Identificador(TxtIdSecuencia.Text());
  if (txtSecuencia.Text().empty() || id.empty()) {
    app_.Ui().MsgBox("Debera Ingresar un nombre para la Secuencia");
    return;
  }
  const std::string consulta = "SELECT * FROM se_secuencia WHERE S_IdSecCab = " + id + " Order by S_IdSec";
  columnas_.reset();
  try {
    sql::Recordset& rs = app_.Rs2();
    internal::Cerrar(rs);
    rs.Open(consulta, app_.CnSql);
    if (!rs.Eof()) FGSecuencia.SetRows(1);
    for (; !rs.Eof(); rs.MoveNext()) {
      const int fila = FGSecuencia.Rows();
      FGSecuencia.SetRows(fila + 1);
      const Valor id1 = rs("S_IdFormCab1").Value();
      const Valor id2 = rs("S_IdFormCab2").Value();
      const auto [operando, formula] = Operando(JoinText(rs("S_TipVar1").Value()), id1);
      const std::string celdas[] = {JoinText(rs("S_Orden").Value()), JoinText(rs("S_Condic").Value()), operando,
                                    JoinText(rs("S_Operador").Value()), JoinText(id2), JoinText(id1), JoinText(id2),
                                    JoinText(rs("S_TipVar1").Value()), JoinText(rs("S_TipVar2").Value()),
                                    JoinText(rs("S_Marca").Value()), formula};
      for (int c = 0; c < 11; ++c) FGSecuencia.SetTextMatrix(fila, c, celdas[c]);
    }
    rs.Close();
  } catch (const runtime::VbError& error) {
    internal::Cerrar(app_.Rs2());
    internal::InformarError(app_, error, "FrmConsSec (CmdConsulta_Click)\r\n" + consulta, "Consulta");
    return;
  }
  consulta_correcta_ = true;
}

void FrmConsSec::CmdImprimir_Click() {
  ui::BusyScope ocupada(*this, app_.Ui());
  planilla_.reset();
  if (txtSecuencia.Text().empty()) {
    app_.Ui().MsgBox("Deberá Seleccionar una Secuencia para Imprimir");
    return;
  }
  Mensaje("Generando Consulta ...");
  Mensaje("Abriendo Excel ...");
  Mensaje("Generando Reporte ...");
  reports::Planilla planilla;
  planilla.titulo = "Reporte Secuencia: " + runtime::Trim(txtSecuencia.Text());
  planilla.encabezados = {"Nro.", "Condicion", "Operando1", "Operador", "Operando2", "A-1", "Formula"};
  for (int fila = 1; fila < FGSecuencia.Rows(); ++fila) {
    if (FGSecuencia.TextMatrix(fila, 0).empty()) continue;
    std::vector<Valor> celdas;
    for (int c : {0, 1, 2, 3, 4, 9, 10}) celdas.push_back(Valor::String(FGSecuencia.TextMatrix(fila, c)));
    planilla.filas.push_back(std::move(celdas));
  }
  try {
    planilla_ = GeneraExcel(app_, kPrefijoSecuencia, planilla, *visor_);
  } catch (const runtime::VbError& error) {
    internal::InformarError(app_, error, "FrmConsSec (CmdImprimir_Click)", "Reporte");
    LblMsg.SetCaption("");
    return;
  }
  LblMsg.SetCaption("Finalizacion Generacion Consulta ...");
}

void FrmConsSec::CmdSalir_Click() { app_.Ui().Unload(*this); }

}  // namespace reports
