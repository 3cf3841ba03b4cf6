// The results report: the checks of "Generar", the rebuild of TEMP_REPORTE from SE_RESULTADO,
// the field dialog and the "Rep_" workbook.
#include "reports/frm_reporte.h"

#include <set>
#include <vector>

#include "core/aplicacion.h"
#include "platform/runtime/conversions.h"
#include "platform/runtime/identifiers.h"
#include "platform/runtime/text.h"
#include "platform/runtime/vb_error.h"
#include "platform/sql/client.h"
#include "platform/ui/busy_scope.h"
#include "platform/ui/ui.h"
#include "reports/internal/comun.h"

namespace reports {
namespace {

using runtime::SqlText;
using runtime::Valor;

constexpr char kCrLf[] = "\r\n";
constexpr char kContexto[] = "FrmReporte (reporte)";

// A period the report accepts: digits only, from 1990 on.
bool PeriodoValido(const std::string& texto) {
  if (texto.empty()) return false;
  for (char c : texto) {
    if (c < '0' || c > '9') return false;
  }
  return runtime::Val(texto) >= 1990;
}

// A result as the work table receives it: a decimal number with a point, 0 for Null.
std::string Numero(const Valor& valor) {
  return valor.IsNull() ? "0" : runtime::CStrDouble(runtime::CDbl(valor));
}

void Deshacer(sql::Connection& cn) {
  try {
    cn.RollbackTrans();
  } catch (const runtime::VbError&) {
    // The server already ended the transaction with the failing statement.
  }
}

}  // namespace

FrmReporteA::FrmReporteA(core::Aplicacion& app) : Form("FrmReporteA"), app_(app) {
  SetCaption("Reporte");
  SetWidth(6600);
  SetHeight(4800);
  Label1.SetCaption("Campos a Visualizar en el Reporte");
  Label1.Move(120, 120, 6255, 255);
  LstCampo.Move(120, 480, 2655, 3210);
  lstVisualiza.Move(3720, 480, 2655, 3210);
  const struct {
    ui::CommandButton* boton;
    const char* caption;
  } botones[] = {{&CmdSUno, ">"}, {&CmdSTodos, ">>"}, {&CmdRUno, "<"}, {&CmdRTodos, "<<"}};
  for (int i = 0; i < 4; ++i) {
    botones[i].boton->SetCaption(botones[i].caption);
    botones[i].boton->Move(2940, 720 + 600 * i, 615, 375);
  }
  CmdAcepta.SetCaption("Acepta");
  CmdAcepta.Move(1680, 3840, 1335, 375);
  CmdCancela.SetCaption("Cancelar");
  CmdAcepta.SetDefault(true);
  CmdCancela.SetCancel(true);
  CmdCancela.Move(3480, 3840, 1335, 375);
  CmdSUno.Click = [this] { Mover(LstCampo, lstVisualiza, false); };
  CmdSTodos.Click = [this] { Mover(LstCampo, lstVisualiza, true); };
  CmdRUno.Click = [this] { Mover(lstVisualiza, LstCampo, false); };
  CmdRTodos.Click = [this] { Mover(lstVisualiza, LstCampo, true); };
  LstCampo.DblClick = [this] { Mover(LstCampo, lstVisualiza, false); };
  lstVisualiza.DblClick = [this] { Mover(lstVisualiza, LstCampo, false); };
  CmdAcepta.Click = [this] { CmdAcepta_Click(); };
  CmdCancela.Click = [this] { CmdCancela_Click(); };
}

void FrmReporteA::Form_Load() {
  campos_.reset();
  LstCampo.Clear();
  lstVisualiza.Clear();
  sql::Recordset rs;
  rs.Open("Select * from Temp_reporte", app_.CnSql);
  if (rs.Eof()) {
    rs.Close();
    app_.Ui().MsgBox("No se ha generado reporte");
    app_.Ui().Unload(*this);
    return;
  }
  const sql::Fields columnas = rs.Fields();
  for (int i = 3; i < columnas.Count(); ++i) LstCampo.AddItem(columnas.Item(i).Name());
  rs.Close();
}

void FrmReporteA::Mover(ui::ListBox& desde, ui::ListBox& hacia, bool todos) {
  if (todos) {
    for (int i = 0; i < desde.ListCount(); ++i) hacia.AddItem(desde.List(i));
    desde.Clear();
    return;
  }
  const int elegido = desde.ListIndex();
  if (elegido < 0) return;
  hacia.AddItem(desde.List(elegido));
  desde.RemoveItem(elegido);
}

void FrmReporteA::CmdAcepta_Click() {
  if (lstVisualiza.ListCount() == 0) {
    app_.Ui().MsgBox("No ha seleccionado ningun campo para visualizar");
    return;
  }
  std::string campos;
  for (int i = 0; i < lstVisualiza.ListCount(); ++i) campos += (i ? ", " : "") + lstVisualiza.List(i);
  campos_ = campos;
  app_.Ui().Unload(*this);
}

void FrmReporteA::CmdCancela_Click() {
  campos_.reset();
  app_.Ui().Unload(*this);
}

FrmReporte::FrmReporte(core::Aplicacion& app)
    : Form("FrmReporte"), app_(app), repintado_(app.Ui()), visor_(&VisorPredeterminado()) {
  SetCaption("Reporte");
  SetWidth(6000);
  SetHeight(3900);
  Label1.SetCaption("Periodo");
  Label1.Move(240, 270, 975, 255);
  TxtPeriodo.Move(1320, 240, 855, 315);
  TxtPeriodo.SetMaxLength(4);
  Label2.SetCaption("Formulario");
  Label2.Move(240, 750, 975, 255);
  TxtFormulario.Move(1320, 720, 3375, 315);
  TxtFormulario.SetEnabled(false);
  TxtIdFormulario.SetVisible(false);
  CmdFormulario.SetCaption("...");
  CmdFormulario.Move(4800, 720, 435, 315);
  Label3.SetCaption("Titulo");
  Label3.Move(240, 1230, 975, 255);
  TxtTitulo.Move(1320, 1200, 4335, 315);
  ChkAnterior.SetCaption("Año Anterior");
  ChkAnterior.Move(1320, 1680, 1815, 315);
  CmdGenerar.SetCaption("Generar");
  CmdGenerar.SetDefault(true);
  CmdGenerar.Move(2280, 2160, 1335, 375);
  LblMsg.Move(120, 2760, 5655, 255);
  TxtCampo.SetVisible(false);
  txtResultado.SetVisible(false);
  CmdFormulario.Click = [this] { CmdFormulario_Click(); };
  CmdGenerar.Click = [this] { CmdGenerar_Click(); };
}

void FrmReporte::Mensaje(const std::string& texto) {
  LblMsg.SetCaption(texto);
  repintado_.Forzar();
}

void FrmReporte::CmdFormulario_Click() {
  ui::BusyScope ocupada(*this, app_.Ui());
  const std::optional<sequences::Eleccion> elegido =
      internal::Elegir<FrmBuFormReporte>(app_, "FrmBuFormReporte");
  if (!elegido) return;
  TxtFormulario.SetText(runtime::Trim(elegido->texto));
  TxtIdFormulario.SetText(std::to_string(elegido->dato));
}

bool FrmReporte::Validar() {
  std::string mensaje;
  if (!PeriodoValido(TxtPeriodo.Text())) {
    mensaje = "Periodo Erroneo";
  } else if (runtime::Trim(TxtTitulo.Text()).empty()) {
    mensaje = "Deberá Ingresar el Titulo";
  } else if (runtime::Trim(TxtIdFormulario.Text()).empty()) {
    mensaje = "Deberá ingresar un Formulario";
  }
  if (!mensaje.empty()) {
    app_.Ui().MsgBox(mensaje);
    return false;
  }
  formulario_ = runtime::Trim(runtime::Left(TxtFormulario.Text(), 6));
  periodo_ = TxtPeriodo.Text();
  return true;
}

void FrmReporte::CmdGenerar_Click() {
  ui::BusyScope ocupada(*this, app_.Ui());
  planilla_.reset();
  if (!Validar()) return;
  sentencia_.clear();
  try {
    if (!Construir()) return;
    if (!ElegirCampos()) return;
    Imprimir();
  } catch (const runtime::VbError& error) {
    internal::Cerrar(app_.Rs2());
    internal::InformarError(app_, error, sentencia_.empty() ? kContexto : kContexto + std::string(kCrLf) + sentencia_, "Reporte");
  }
}

bool FrmReporte::Construir() {
  sql::Connection& cn = app_.CnSql;
  const bool anterior = ChkAnterior.Value() == ui::CheckBox::kChecked;
  const std::string anio_anterior = std::to_string(std::stoi(periodo_) - 1);
  const std::string sector = SqlText(formulario_);

  sentencia_ = std::string(
                   "if exists (select * from dbo.sysobjects where id = object_id(N'[dbo].[TEMP_REPORTE]') "
                   "and OBJECTPROPERTY(id, N'IsUserTable') = 1)") +
               kCrLf + "drop table [dbo].[TEMP_REPORTE]" + kCrLf + kCrLf;
  cn.Execute(sentencia_);
  Mensaje("Drop Table TEMP_REPORTE");

  const std::string cruce = " From SE_RESULTADO INNER JOIN SE_CABFORMULA ON ID_FA = Id_formCab Where RE_PERIODO = ";
  sentencia_ = "SELECT DISTINCT(ID_FA), FC_NomVar" + cruce + periodo_ + " and RE_Anio = " + periodo_ +
               " and RE_FormSector= " + sector;
  if (anterior) {
    sentencia_ += " UNION (SELECT DISTINCT(ID_FA), FC_NomVar + '_1'" + cruce + periodo_ + " and RE_Anio = " +
                  anio_anterior + " and RE_FormSector= " + sector + ")";
  }
  std::vector<std::string> nombres;
  std::set<std::string> vistos;
  sql::Recordset& rs = app_.Rs2();
  internal::Cerrar(rs);
  rs.Open(sentencia_, cn);
  for (; !rs.Eof(); rs.MoveNext()) {
    const std::string nombre = runtime::JoinText(rs(1).Value());
    if (vistos.insert(nombre).second) nombres.push_back(nombre);
  }
  rs.Close();
  if (nombres.empty()) {
    Mensaje("No existe Datos para dicho reporte");
    return false;
  }
  // Each name becomes a column of the work table and of the statements below.
  for (const std::string& nombre : nombres) {
    if (!runtime::IsRegularIdentifier(nombre)) {
      app_.Ui().MsgBox("El nombre de formula " + nombre + " no puede ser columna del reporte");
      return false;
    }
  }

  Mensaje("Creo Tabla TEMP_REPORTE");
  std::string crear = std::string("CREATE TABLE [dbo].[TEMP_REPORTE] (") + kCrLf +
                      "Empresa Varchar(20), Razon Varchar(200), Estado Varchar(100), Periodo Numeric(4,0) ";
  for (const std::string& nombre : nombres) crear += ", " + nombre + " Float NULL" + kCrLf;
  crear += std::string(")") + kCrLf + kCrLf;
  // Every data row below looks its company up by Empresa and Periodo; the index keeps each
  // lookup and update from reading the whole table. It goes with the table: both or neither.
  const std::string indice = "CREATE INDEX IX_TEMP_REPORTE ON [dbo].[TEMP_REPORTE] (Empresa, Periodo)";
  std::string enviada = crear;
  try {
    cn.BeginTrans();
    cn.Execute(crear);
    enviada = indice;
    cn.Execute(indice);
    cn.CommitTrans();
  } catch (const runtime::VbError& error) {
    Deshacer(cn);
    app_.RegistrarError(error, kContexto + std::string(kCrLf) + enviada);
    return false;
  }
  Mensaje("Creo con Exito TEMP_REPORTE");

  const auto datos = [&](const std::string& cabeza, const std::string& anio) {
    return cabeza + periodo_ +
           " as Per, RE_Anio From SE_RESULTADO INNER JOIN SE_CABFORMULA ON ID_FA = Id_formCab INNER JOIN "
           "SE_MUESTRA_PADRON ON re_empresa = UNICO and periodo = " +
           periodo_ + " Where RE_PERIODO = " + periodo_ + " and RE_Anio = " + anio + " and RE_FormSector=" + sector;
  };
  sentencia_ = datos("SELECT Fc_Nomvar, id_fa, re_empresa, re_valor, razon, descripcion_estado, ", periodo_);
  if (anterior) {
    sentencia_ += " UNION (" +
                  datos("SELECT Fc_Nomvar + '_1', id_fa, re_empresa, re_valor, razon, descripcion_estado , ",
                        anio_anterior) +
                  ")";
  }
  sentencia_ += " Order by id_fa, per, re_anio, re_empresa";
  rs.Open(sentencia_, cn);
  const std::string consulta = sentencia_;
  // The work table is scratch: its rows are committed together, and a failure leaves none.
  cn.BeginTrans();
  try {
    repintado_.Comenzar();
    for (; !rs.Eof(); rs.MoveNext()) {
      app_.Ui().Sleep(app_.Pausa(kPausa));
      const std::string nombre = runtime::JoinText(rs(0).Value());
      const std::string empresa = runtime::JoinText(rs(2).Value());
      const std::string per = runtime::JoinText(rs(6).Value());
      const std::string valor = Numero(rs(3).Value());
      sentencia_ = "Select * FROM TEMP_REPORTE WHERE Empresa like " + SqlText(runtime::LikeLiteral(runtime::Trim(empresa))) +
                   " and periodo = " + per;
      sql::Recordset fila;
      fila.Open(sentencia_, cn);
      const bool existe = !fila.Eof();
      fila.Close();
      if (existe) {
        sentencia_ = "Update TEMP_REPORTE Set " + nombre + " = " + valor + " WHERE Empresa = " + SqlText(empresa) +
                     " and Periodo = " + per + kCrLf;
        LblMsg.SetCaption("Actualiza " + empresa);
      } else {
        sentencia_ = "Insert into TEMP_REPORTE (Empresa, Razon, Estado, Periodo, " + nombre + ") values (" +
                     SqlText(empresa) + ", " + SqlText(runtime::JoinText(rs(4).Value())) + ", " +
                     SqlText(runtime::JoinText(rs(5).Value())) + ", " + per + ", " + valor + ") " + kCrLf;
        LblMsg.SetCaption("Agrega " + empresa);
      }
      cn.Execute(sentencia_);
      repintado_.Pedir();
    }
    sentencia_ = consulta;
    rs.Close();
    cn.CommitTrans();
  } catch (const runtime::VbError&) {
    Deshacer(cn);
    throw;
  }
  return true;
}

bool FrmReporte::ElegirCampos() {
  FrmReporteA& dialogo = internal::Ventana<FrmReporteA>(app_, "FrmReporteA");
  sentencia_.clear();
  if (elegir_) {
    dialogo.Load();
    if (dialogo.Loaded()) {
      elegir_(dialogo);
      if (dialogo.Loaded()) app_.Ui().Unload(dialogo);
    }
  } else {
    app_.Ui().ShowModal(dialogo);
    if (dialogo.Loaded()) app_.Ui().Unload(dialogo);
  }
  if (!dialogo.Campos()) {
    txtResultado.SetText("F");
    return false;
  }
  TxtCampo.SetText(*dialogo.Campos());
  txtResultado.SetText("V");
  return true;
}

void FrmReporte::Imprimir() {
  reports::Planilla planilla;
  Mensaje("Abre Excel");
  planilla.titulo = TxtTitulo.Text();
  planilla.encabezados = {"Empresa", "Razon", "Estado"};
  const std::string& campos = TxtCampo.Text();
  for (size_t desde = 0; desde <= campos.size();) {
    size_t hasta = campos.find(',', desde);
    if (hasta == std::string::npos) hasta = campos.size();
    const std::string nombre = runtime::Trim(std::string_view(campos).substr(desde, hasta - desde));
    if (!nombre.empty()) planilla.encabezados.push_back(nombre);
    desde = hasta + 1;
  }
  Mensaje("Arma Excel");
  sentencia_ = "Select * from TEMP_REPORTE Order by Empresa";
  sql::Recordset& rs = app_.Rs2();
  internal::Cerrar(rs);
  rs.Open(sentencia_, app_.CnSql);
  repintado_.Comenzar();
  for (; !rs.Eof(); rs.MoveNext()) {
    LblMsg.SetCaption("Empresa " + runtime::JoinText(rs("Empresa").Value()));
    repintado_.Pedir();
    std::vector<Valor> fila;
    for (const std::string& columna : planilla.encabezados) fila.push_back(rs(columna).Value());
    planilla.filas.push_back(std::move(fila));
  }
  rs.Close();
  sentencia_.clear();
  planilla_ = GeneraExcel(app_, kPrefijoReporte, planilla, *visor_);
}

}  // namespace reports
