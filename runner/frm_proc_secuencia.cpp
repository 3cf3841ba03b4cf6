// The sequence runner's window: the input checks, the main walk over the lines, the blocks run
// company by company (S1, S2), the procedure calls (ExecSec) and the journal row.
#include "runner/frm_proc_secuencia.h"

#include <charconv>
#include <limits>
#include <optional>

#include "core/aplicacion.h"
#include "core/grabacion.h"
#include "formulas/ventanas.h"
#include "platform/runtime/conversions.h"
#include "sequences/lineas.h"
#include "platform/runtime/text.h"
#include "platform/runtime/vb_error.h"
#include "platform/sql/client.h"
#include "platform/ui/busy_scope.h"
#include "platform/ui/ui.h"
#include "sequences/selectores.h"

namespace runner {
namespace {

using runtime::SqlText;
using runtime::Valor;

constexpr char kProcesando[] = "Procesando ... ";
constexpr char kCrLf[] = "\r\n";

void Cerrar(sql::Recordset& rs) {
  if (rs.State() == sql::adStateOpen) rs.Close();
}

// Shows picker `nombre` modally, unloads it and returns what it handed back.
template <typename T>
std::optional<sequences::Eleccion> Elegir(core::Aplicacion& app, const char* nombre) {
  T& picker = formulas::VentanaRegistrada<T>(app, nombre);
  app.Ui().ShowModal(picker);
  std::optional<sequences::Eleccion> elegido = picker.Elegido();
  if (picker.Loaded()) app.Ui().Unload(picker);
  return elegido;
}

// A text box's number as the checks read it: its leading numeric part; a number too large for
// a Double counts as infinitely large.
double Numero(const std::string& texto) {
  try {
    return runtime::Val(texto);
  } catch (const runtime::VbError&) {
    return std::numeric_limits<double>::infinity();
  }
}

bool CuatroDigitos(const std::string& texto) {
  if (texto.size() != 4) return false;
  for (char c : texto) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// The identifier a picker left in a hidden box, as a number for the statements; "" when the
// box holds none.
std::string Identificador(const std::string& texto) {
  const std::optional<int> id = Entero(Valor::String(runtime::Trim(texto)));
  return id ? std::to_string(*id) : "";
}

}  // namespace

FrmProcSecuencia::FrmProcSecuencia(core::Aplicacion& app)
    : Form("FrmProcSecuencia"), app_(app), repintado_(app.Ui()) {
  SetCaption("Procesar Secuencia");
  SetWidth(kAncho);
  SetHeight(kAlto);
  Label1.SetCaption("Periodo:");
  Label1.Move(240, 270, 855, 255);
  TxtPeriodo.Move(1140, 240, 855, 315);
  TxtPeriodo.SetMaxLength(4);
  Label2.SetCaption("Año:");
  Label2.Move(2400, 270, 615, 255);
  TxtAnio.Move(3060, 240, 855, 315);
  TxtAnio.SetMaxLength(4);
  Label3.SetCaption("Formulario");
  Label3.Move(240, 750, 855, 255);
  LblFormulario.Move(1140, 720, 3255, 315);
  TxtIdFormulario.SetVisible(false);
  Command1.SetCaption("...");
  Command1.Move(4500, 720, 435, 315);
  Label4.SetCaption("Secuencia");
  Label4.Move(240, 1230, 855, 255);
  lblSec.Move(1140, 1200, 3255, 315);
  TxtIdSecuencia.SetVisible(false);
  CmdSec.SetCaption("...");
  CmdSec.Move(4500, 1200, 435, 315);
  CmdProcesar2.SetCaption("Procesar");
  CmdProcesar2.SetDefault(true);
  CmdProcesar2.Move(1920, 1740, 1335, 375);
  LblMsg.Move(120, 2400, 5085, 255);
  lblmsg1.Move(120, 2760, 5085, 255);
  Command1.Click = [this] { Command1_Click(); };
  CmdSec.Click = [this] { CmdSec_Click(); };
  CmdProcesar2.Click = [this] { CmdProcesar2_Click(); };
}

void FrmProcSecuencia::Form_Load() { ui::AplicarTamanoFijo(*this, kAncho, kAlto); }

void FrmProcSecuencia::Form_Resize() { ui::AplicarTamanoFijo(*this, kAncho, kAlto); }

void FrmProcSecuencia::Command1_Click() {
  ui::BusyScope ocupada(*this, app_.Ui());
  const std::optional<sequences::Eleccion> elegido = Elegir<sequences::FrmBuForm1>(app_, "FrmBuForm1");
  if (!elegido) return;
  LblFormulario.SetCaption(elegido->texto);
  TxtIdFormulario.SetText(std::to_string(elegido->dato));
}

void FrmProcSecuencia::CmdSec_Click() {
  ui::BusyScope ocupada(*this, app_.Ui());
  if (TxtIdFormulario.Text().empty()) {
    app_.Ui().MsgBox("Debera primero ingresar el formulario");
    return;
  }
  sequences::FrmBuSec& picker = formulas::VentanaRegistrada<sequences::FrmBuSec>(app_, "FrmBuSec");
  picker.Preparar(TxtIdFormulario.Text());
  const std::optional<sequences::Eleccion> elegido = Elegir<sequences::FrmBuSec>(app_, "FrmBuSec");
  if (!elegido) return;
  lblSec.SetCaption(elegido->texto);
  TxtIdSecuencia.SetText(std::to_string(elegido->dato));
}

bool FrmProcSecuencia::Validar() {
  ui::Ui& ui = app_.Ui();
  const std::string& periodo = TxtPeriodo.Text();
  const std::string& anio = TxtAnio.Text();
  std::string mensaje;
  // The year is compared with the period as text first, so "999" is refused as later than "2005".
  if (periodo.empty()) {
    mensaje = "Deberá Ingresar el Periodo";
  } else if (anio.empty()) {
    mensaje = "Deberá Ingresar el Año";
  } else if (anio > periodo) {
    mensaje = "El Año no puede ser Mayor al Periodo";
  } else if (Numero(periodo) - 1 > Numero(anio)) {
    mensaje = "El Año no pertenece al par de Años para el Periodo";
  } else if (Identificador(TxtIdFormulario.Text()).empty()) {
    mensaje = "Deberá ingresar un formulario";
  } else if (Identificador(TxtIdSecuencia.Text()).empty()) {
    mensaje = "Deberá Ingresar una secuencia";
  } else if (Numero(periodo) < 1990) {
    mensaje = " Periodo Incorrecto";
  } else if (!CuatroDigitos(periodo)) {
    mensaje = "El Periodo debe tener cuatro digitos";
  } else if (!CuatroDigitos(anio)) {
    mensaje = "El Año debe tener cuatro digitos";
  } else if (runtime::Len(LblFormulario.Caption()) < 2) {
    mensaje = "No se puede correr la Secuencia: el nombre del formulario tiene menos de dos caracteres";
  }
  if (!mensaje.empty()) {
    ui.MsgBox(mensaje);
    return false;
  }
  const std::string& nombre = LblFormulario.Caption();
  formulario_ = runtime::Left(nombre, 6);
  sector_ = runtime::Left(nombre, runtime::Len(nombre) - 2);
  periodo_ = periodo;
  std::from_chars(periodo.data(), periodo.data() + periodo.size(), vperiodo_);
  std::from_chars(anio.data(), anio.data() + anio.size(), anio_);
  id_formulario_ = Identificador(TxtIdFormulario.Text());
  id_secuencia_ = Identificador(TxtIdSecuencia.Text());
  return true;
}

void FrmProcSecuencia::CmdProcesar2_Click() {
  ui::Ui& ui = app_.Ui();
  // A click that arrives while the run lets events in finds the button disabled.
  ui::BusyScope ocupada(*this, ui);
  resultado_ = Resultado::kRechazada;
  errores_ = false;
  if (!Validar()) return;
  try {
    contexto_ = "FrmProcSecuencia (CmdProcesar2_Click)";
    std::vector<LineaCorrida> lineas;
    sql::Recordset& rs = app_.Rs2();
    Cerrar(rs);
    rs.Open("SELECT s_idSec, S_Orden, FC_NomVar, S_Condic, S_IdformCab1, S_IdformCab2, S_Operador, "
            "S_TipVar1, S_TipVar2, S_Marca FROM SE_SECUENCIA left join SE_CABFORMULA on S_IdFormCab1 = "
            "Id_formCab Where s_IdSecCab = " + id_secuencia_ + " Order by S_Orden",
            app_.CnSql);
    for (; !rs.Eof(); rs.MoveNext()) {
      lineas.push_back({rs("S_Orden").Value(), rs("FC_NomVar").Value(), rs("S_Condic").Value(),
                        rs("S_IdformCab1").Value(), rs("S_IdformCab2").Value(),
                        runtime::JoinText(rs("S_Operador").Value()), runtime::JoinText(rs("S_TipVar1").Value()),
                        runtime::JoinText(rs("S_TipVar2").Value()), runtime::JoinText(rs("S_Marca").Value())});
    }
    rs.Close();
    // The roll's column names, read once for the run: a condition of kind "M" names its column
    // by position.
    std::vector<std::string> columnas;
    if (UsaMuestra(lineas)) {
      sql::Recordset muestra;
      muestra.Open("Select * From SE_MUESTRA_PADRON", app_.CnSql);
      const sql::Fields campos = muestra.Fields();
      for (int i = 0; i < campos.Count(); ++i) columnas.push_back(campos.Item(i).Name());
      muestra.Close();
    }
    const std::string problema = ProblemaDeSecuencia(lineas, static_cast<int>(columnas.size()));
    if (!problema.empty()) {
      ui.MsgBox(problema);
      return;
    }
    Correr(lineas, columnas);
  } catch (const runtime::VbError& error) {
    Cerrar(app_.Rs2());
    Cerrar(app_.Rs3());
    lblmsg1.SetCaption("");
    resultado_ = Resultado::kInterrumpida;
    ui.MsgBox("Error Ejecutando Secuencia", ui::vbCritical, "ERROR SECUENCIA");
    app_.RegistrarError(error, contexto_);
    return;
  }
  resultado_ = errores_ ? Resultado::kConErrores : Resultado::kCorrecta;
}

void FrmProcSecuencia::Correr(const std::vector<LineaCorrida>& lineas, const std::vector<std::string>& columnas) {
  for (size_t i = 0; i < lineas.size(); ++i) {
    const LineaCorrida& linea = lineas[i];
    AnioProc = linea.marca == "*" ? anio_ - 1 : anio_;
    LblMsg.SetCaption(kProcesando + runtime::JoinText(linea.nombre));
    repintado_.Forzar();
    app_.Ui().Sleep(app_.Pausa(kPausa));
    switch (ClaseDe(linea)) {
      case Clase::kFormula:
        ExecSec("P" + std::to_string(*Entero(linea.id1)), formulario_, AnioProc, vperiodo_, "");
        break;
      case Clase::kSi:
        i = S1(lineas, i, columnas);
        break;
      case Clase::kAnd:
      case Clase::kFSi:
      case Clase::kOtra:
        break;
    }
  }
  if (!lineas.empty()) RegistrarJournal();
  LblMsg.SetCaption("Proceso Finalizado");
  repintado_.Forzar();
}

size_t FrmProcSecuencia::S1(const std::vector<LineaCorrida>& lineas, size_t inicio,
                            const std::vector<std::string>& columnas) {
  std::vector<Condicion> condiciones;
  std::vector<FormulaBloque> formulas;
  size_t fin = inicio;
  for (; ClaseDe(lineas[fin]) != Clase::kFSi; ++fin) {
    const LineaCorrida& linea = lineas[fin];
    switch (ClaseDe(linea)) {
      case Clase::kSi:
      case Clase::kAnd:
        condiciones.push_back({linea, linea.tipo1 == sequences::kMuestra ? columnas[*Entero(linea.id1) + 1] : ""});
        break;
      case Clase::kFormula:
        formulas.push_back({runtime::JoinText(linea.nombre), std::to_string(*Entero(linea.id1))});
        break;
      case Clase::kFSi:
      case Clase::kOtra:
        break;
    }
  }

  contexto_ = "FrmProcSecuencia (S1)";
  sql::Recordset& rs = app_.Rs3();
  Cerrar(rs);
  rs.Open("SELECT Unico as Empresa FROM SE_MUESTRA_PADRON WHERE FormSector = " + SqlText(sector_) +
              " and Periodo = " + periodo_,
          app_.CnSql);
  repintado_.Comenzar();
  for (; !rs.Eof(); rs.MoveNext()) {
    const std::string empresa = runtime::JoinText(rs("Empresa").Value());
    lblmsg1.SetCaption("Empresa -> " + empresa);
    repintado_.Pedir();
    if (S2(condiciones, empresa)) {
      for (const FormulaBloque& formula : formulas) {
        LblMsg.SetCaption(kProcesando + formula.nombre);
        repintado_.Pedir();
        ExecSec("P" + formula.id + "_emp", formulario_, AnioProc, vperiodo_, empresa);
      }
    }
    repintado_.Pedir();
  }
  rs.Close();
  lblmsg1.SetCaption("");
  repintado_.Forzar();
  return fin;
}

bool FrmProcSecuencia::S2(const std::vector<Condicion>& condiciones, const std::string& empresa) {
  bool resultado = true;
  for (const Condicion& condicion : condiciones) {
    const LineaCorrida& linea = condicion.linea;
    const std::optional<Valor> izquierdo =
        linea.tipo1 == sequences::kMuestra ? ValorMuestra(condicion.columna, empresa)
                           : ValorFormula(std::to_string(*Entero(linea.id1)), empresa);
    // A right operand of kind "F" is that formula's result for the company, found as the left
    // one is; one of kind "N" is the stored number.
    const std::optional<Valor> derecho =
        linea.tipo2 == sequences::kFormula ? ValorFormula(std::to_string(*Entero(linea.id2)), empresa) : linea.id2;
    if (!izquierdo || !derecho) {
      resultado = false;
      continue;
    }
    // A result is read as its text with a decimal comma made a point; Null counts as 0, except
    // that "=" never holds for a Null.
    const auto numero = [](const Valor& valor) {
      return runtime::Val(runtime::Replace(runtime::JoinText(valor), ",", "."));
    };
    const double a = numero(*izquierdo);
    const double b = linea.tipo2 == sequences::kFormula ? numero(*derecho) : runtime::CDbl(*derecho);
    const std::string& op = linea.operador;
    bool cumple = false;
    if (op == "=") {
      cumple = !izquierdo->IsNull() && !derecho->IsNull() && a == b;
    } else if (op == ">") {
      cumple = a > b;
    } else if (op == "<") {
      cumple = a < b;
    } else if (op == "<=") {
      cumple = a <= b;
    } else if (op == ">=") {
      cumple = a >= b;
    } else if (op == "<>") {
      cumple = a != b;
    }
    if (!cumple) resultado = false;
  }
  return resultado;
}

std::optional<Valor> FrmProcSecuencia::ValorFormula(const std::string& id, const std::string& empresa) {
  // A failed call leaves FindIdentRes on an earlier result: it has no value for this company.
  if (!ExecSec("P" + id + "_emp", formulario_, AnioProc, vperiodo_, empresa)) return std::nullopt;
  contexto_ = "FrmProcSecuencia (S2)";
  sql::Recordset rs = app_.CnSql.Execute("FindIdentRes");
  if (rs.State() != sql::adStateOpen) return std::nullopt;
  std::optional<Valor> valor;
  if (!rs.Eof()) valor = rs(0).Value();
  rs.Close();
  return valor;
}

std::optional<Valor> FrmProcSecuencia::ValorMuestra(const std::string& columna, const std::string& empresa) {
  contexto_ = "FrmProcSecuencia (S2)";
  sql::Recordset rs;
  rs.Open("Select " + columna + " from SE_MUESTRA_PADRON where Unico = " + SqlText(empresa) +
              " and Periodo = " + std::to_string(AnioProc),
          app_.CnSql);
  std::optional<Valor> valor;
  if (!rs.Eof()) valor = rs(0).Value();
  rs.Close();
  return valor;
}

bool FrmProcSecuencia::ExecSec(const std::string& procedimiento, const std::string& formulario, int32_t anio,
                               int32_t periodo, const std::string& empresa) {
  app_.Ui().Sleep(app_.Pausa(kPausa));
  try {
    sql::Command comando;
    comando.SetActiveConnection(app_.CnSql);
    comando.SetCommandText(procedimiento);
    comando.SetCommandType(sql::adCmdStoredProc);
    comando.Parameters().Refresh();
    comando.Parameters().Item("@Formulario").SetValue(Valor::String(formulario));
    comando.Parameters().Item("@Periodo").SetValue(Valor::Long(anio));
    comando.Parameters().Item("@VPeriodo").SetValue(Valor::Long(periodo));
    if (!empresa.empty()) comando.Parameters().Item("@VEmpresa").SetValue(Valor::String(empresa));
    sql::Recordset rs = comando.Execute();
    Cerrar(rs);
    return true;
  } catch (const runtime::VbError& error) {
    errores_ = true;
    app_.Ui().MsgBox("Error Ejecutando Secuencia", ui::vbCritical, "ERROR SECUENCIA");
    app_.RegistrarError(error, std::string("FrmProcSecuencia (ExecSec)") + kCrLf + procedimiento + " " +
                                   formulario + "," + std::to_string(anio) + "," + std::to_string(periodo));
    return false;
  }
}

void FrmProcSecuencia::RegistrarJournal() {
  const std::string sentencia =
      "Insert into SE_COMM_PROCESO (Id_FC, Formulario, Periodo, Fecha, Tipo, Contenido) Values(" +
      id_formulario_ + ", " + SqlText(LblFormulario.Caption()) + ", " + periodo_ + ", getdate(), 'Secuencia', " +
      SqlText(lblSec.Caption()) + ")";
  core::Grabacion grabacion(app_);
  if (!grabacion.Enviar(sentencia, sentencia + kCrLf + "No se ha registrado en el panel de comando")) {
    errores_ = true;
  }
}

}  // namespace runner
