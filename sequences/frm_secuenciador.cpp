// The sequence editor: header, line entry under the block rules, storing, reopening, deleting.
#include "sequences/frm_secuenciador.h"

#include <algorithm>
#include <vector>

#include "core/aplicacion.h"
#include "formulas/frm_m_formula.h"
#include "formulas/ventanas.h"
#include "platform/runtime/conversions.h"
#include "platform/runtime/text.h"
#include "platform/runtime/utf8.h"
#include "platform/runtime/vb_error.h"
#include "platform/sql/client.h"
#include "platform/ui/busy_scope.h"
#include "platform/ui/ui.h"
#include "sequences/lineas.h"
#include "sequences/selectores.h"

namespace sequences {
namespace {

using formulas::VentanaRegistrada;
using runtime::SqlText;

constexpr char kCrLf[] = "\r\n";
constexpr char kContexto[] = "FrmSecuencia (CmdGenerar)";
constexpr char kErrorCabecera[] = "No se puedo Generar la Secuencia, Error en la Cabecera de Secuencia";

// An error-log entry about a state, not about a caught error: number 0, no source, no text.
const runtime::VbError kSinError(0, "", "");

// Ends a transaction that failed; the server may have ended it already.
void Deshacer(core::Aplicacion& app) {
  try {
    app.CnSql.RollbackTrans();
  } catch (const runtime::VbError&) {
  }
}

// Shows picker `nombre`, unloads it and returns what it handed back.
template <typename T>
std::optional<Eleccion> Elegir(core::Aplicacion& app, const char* nombre) {
  T& picker = VentanaRegistrada<T>(app, nombre);
  app.Ui().ShowModal(picker);
  std::optional<Eleccion> elegido = picker.Elegido();
  if (picker.Loaded()) app.Ui().Unload(picker);
  return elegido;
}

}  // namespace

FrmSecuenciador::FrmSecuenciador(core::Aplicacion& app) : Form("FrmSecuenciador"), app_(app) {
  SetCaption("Secuenciador");
  SetWidth(kAncho);
  SetHeight(kAltoCerrado);

  LblSecuencia.SetCaption("Secuencia");
  LblSecuencia.Move(60, 150, 880, 255);
  txtSecuencia.Move(960, 120, 2400, 315);
  TxtIdSecuencia.SetVisible(false);
  CmdSecuencia.SetCaption("Secuencia");
  CmdSecuencia.Move(3420, 120, 960, 315);
  lblNForm.SetCaption("Formulario");
  lblNForm.Move(60, 550, 880, 255);
  txtFormulario.Move(960, 520, 2400, 315);
  txtFormulario.SetEnabled(false);
  TxtIdFormulario.SetVisible(false);
  CmdAddForm.SetCaption("...");
  CmdAddForm.Move(3420, 520, 435, 315);
  FrTipo.SetCaption("Estilo");
  FrTipo.Move(4410, 0, 1410, 840);
  OpcTipo[0].SetCaption("Por Empresa");
  OpcTipo[0].Move(60, 240, 1320, 255);
  OpcTipo[1].SetCaption("Total");
  OpcTipo[1].Move(60, 520, 1320, 255);

  CmdCrear.SetCaption("Crear");
  CmdCrear.Move(5880, 60, 990, 315);
  CmdModificar.SetCaption("Modificar");
  CmdModificar.Move(6900, 60, 1020, 315);
  CmdEliSec.SetCaption("Eliminar Secuencia");
  CmdEliSec.Move(5880, 400, 2040, 315);
  CmdEliSec.SetEnabled(false);
  cmdGenerar.SetCaption("Generar");
  cmdGenerar.Move(5880, 740, 990, 315);
  cmdCancelar.SetCaption("Cancelar");
  cmdCancelar.Move(6900, 740, 1020, 315);
  cmdGenerar.SetDefault(true);
  cmdCancelar.SetCancel(true);

  FrSecuencia.Move(60, 1140, 7860, 4800);
  OptValor.SetCaption("Valor");
  OptValor.Move(120, 240, 1200, 255);
  TxtValor.Move(1380, 210, 4440, 315);
  TxtValor.SetEnabled(false);
  OptCondicion.SetCaption("Condicion");
  OptCondicion.Move(120, 640, 1200, 255);
  CbxCond.Move(1380, 1000, 800, 315);
  CbxCond.SetStyle(ui::ComboBox::kDropdownList);
  for (const char* palabra : {kSi, kFSi, kAnd}) CbxCond.AddItem(palabra);
  TxtVar1.Move(2220, 1000, 3600, 315);
  TxtVar1.SetEnabled(false);
  CbxOper.Move(1380, 1400, 800, 315);
  CbxOper.SetStyle(ui::ComboBox::kDropdownList);
  for (const char* operador : {"<", ">", "<=", ">=", "=", "<>"}) CbxOper.AddItem(operador);
  TxtVar2.Move(2220, 1400, 3600, 315);
  TxtVar2.SetEnabled(false);
  const int filas[3] = {210, 1000, 1400};
  for (int i = 0; i < 3; ++i) {
    Command1[i].SetCaption("N");
    Command1[i].Move(5880, filas[i], 375, 315);
    Command1[i].Click = [this, i] { Command1_Click(i); };
    Command2[i].SetCaption("R");
    Command2[i].Move(6300, filas[i], 375, 315);
    Command2[i].Click = [this, i] { Command2_Click(i); };
  }
  CmdMuestra.SetCaption("M");
  CmdMuestra.Move(6720, 1000, 450, 315);
  CmdCampo.SetCaption("C");
  CmdCampo.Move(7200, 1000, 450, 315);
  CmdCampo.SetEnabled(false);
  Command3.SetCaption("Acepta");
  Command3.Move(6720, 210, 930, 315);
  Command8.SetCaption("Acepta");
  Command8.Move(6720, 1400, 930, 315);
  FGSecuencia.Move(120, 1840, 6300, 2800);
  PrepararLista(FGSecuencia);
  CmdInsertar.SetCaption("Insertar");
  CmdInsertar.Move(6540, 1840, 1200, 375);
  CmdRemover.SetCaption("Eliminar");
  CmdRemover.Move(6540, 2300, 1200, 375);
  cmdlimpiar.SetCaption("Limpiar");
  cmdlimpiar.Move(6540, 2760, 1200, 375);
  MSFFormula.SetVisible(false);
  PrepararVariables(MSFFormula);
  for (ui::TextBox* oculto : {&Txt, &Txt1, &Txt2, &txtIdR, &txtIdR1, &txtIdR2, &txtNMuestra, &txtIdMuestra}) {
    oculto->SetVisible(false);
  }

  CmdCrear.Click = [this] { CmdCrear_Click(); };
  CmdModificar.Click = [this] { CmdModificar_Click(); };
  CmdAddForm.Click = [this] { CmdAddForm_Click(); };
  txtSecuencia.Change = [this] { txtSecuencia_Change(); };
  CmdSecuencia.Click = [this] { CmdSecuencia_Click(); };
  OptValor.Click = [this] { OptValor_Click(); };
  OptCondicion.Click = [this] { OptCondicion_Click(); };
  CmdMuestra.Click = [this] { CmdMuestra_Click(); };
  CbxCond.Click = [this] { CbxCond_Click(); };
  // Values come from the lists only: a key empties the combo and goes no further, so that it
  // cannot pick an item by its first letter either.
  auto vaciar = [](ui::ComboBox& combo) {
    return [&combo](int& key, auto...) {
      combo.SetText("");
      key = 0;
    };
  };
  CbxCond.KeyPress = vaciar(CbxCond);
  CbxCond.KeyUp = vaciar(CbxCond);
  CbxOper.KeyPress = vaciar(CbxOper);
  CbxOper.KeyDown = vaciar(CbxOper);
  Command3.Click = [this] { Command3_Click(); };
  Command8.Click = [this] { Command8_Click(); };
  CmdInsertar.Click = [this] { CmdInsertar_Click(); };
  CmdRemover.Click = [this] { CmdRemover_Click(); };
  cmdlimpiar.Click = [this] { cmdlimpiar_Click(); };
  FGSecuencia.Click = [this] { FGSecuencia_Click(); };
  cmdGenerar.Click = [this] { cmdGenerar_Click(); };
  CmdEliSec.Click = [this] { CmdEliSec_Click(); };
  cmdCancelar.Click = [this] { cmdCancelar_Click(); };
}

// ---------------------------------------------------------------------------------------------
// Window

void FrmSecuenciador::Form_Load() { Reiniciar(); }

void FrmSecuenciador::Form_Resize() {
  ui::AplicarTamanoFijo(*this, kAncho, linea_abierta_ ? kAltoAbierto : kAltoCerrado);
}

void FrmSecuenciador::Reiniciar() {
  // Out of any mode first, so that emptying the name is no change of a sequence.
  ModoEdicion_ = ' ';
  linea_abierta_ = false;
  ui::AplicarTamanoFijo(*this, kAncho, kAltoCerrado);
  OptValor.SetValue(true);
  OptValor_Click();
  TxtValor.SetText("");
  PrepararLista(FGSecuencia);
  // A new sequence records only its own display texts.
  PrepararVariables(MSFFormula);
  FrTipo.SetEnabled(true);
  OpcTipo[1].SetValue(true);
  CmdAddForm.SetEnabled(false);
  txtSecuencia.SetEnabled(false);
  CmdSecuencia.SetEnabled(false);
  CmdCrear.SetEnabled(true);
  CmdModificar.SetEnabled(true);
  // No sequence is open: there is nothing to delete.
  CmdEliSec.SetEnabled(false);
  for (ui::TextBox* caja : {&txtFormulario, &TxtIdFormulario, &txtSecuencia, &TxtIdSecuencia, &Txt, &Txt1, &Txt2,
                            &txtIdR, &txtIdR1, &txtIdR2, &txtNMuestra, &txtIdMuestra}) {
    caja->SetText("");
  }
  CondAbiertas_ = 0;
  CabModificada_ = false;
  LineasModificadas_ = false;
}

bool FrmSecuenciador::RevGrilla() {
  const std::string problema = ProblemaDeCondiciones(FGSecuencia);
  if (problema.empty()) return true;
  app_.Ui().MsgBox(problema);
  return false;
}

void FrmSecuenciador::cmdCancelar_Click() { app_.Ui().Unload(*this); }

// ---------------------------------------------------------------------------------------------
// Header

void FrmSecuenciador::CmdCrear_Click() {
  ModoEdicion_ = 'A';
  CmdAddForm.SetEnabled(true);
  txtSecuencia.SetEnabled(true);
  CmdSecuencia.SetEnabled(true);
  CmdCrear.SetEnabled(false);
  CmdModificar.SetEnabled(false);
  CmdEliSec.SetEnabled(false);
  txtSecuencia.SetFocus();
}

void FrmSecuenciador::CmdModificar_Click() {
  ui::BusyScope ocupada(*this, app_.Ui());
  const std::optional<Eleccion> elegida = Elegir<FrmBuModSec>(app_, "FrmBuModSec");
  if (!elegida) return;
  txtSecuencia.SetText(elegida->texto);
  TxtIdSecuencia.SetText(std::to_string(elegida->dato));
  ModoEdicion_ = 'M';
  sql::Recordset& rs = app_.Rs1();
  if (rs.State() == sql::adStateOpen) rs.Close();
  rs.Open("SELECT * FROM SE_CABSECUENCIA INNER JOIN SE_ARCHIVOS ON SC_IDARC=Arc_Id WHERE SC_IDSECCAB = " +
              TxtIdSecuencia.Text(),
          app_.CnSql2);
  if (!rs.Eof()) {
    OpcTipo[runtime::JoinText(rs("sc_tipo").Value()) == "F" ? 0 : 1].SetValue(true);
    txtFormulario.SetText(runtime::JoinText(rs("Arc_Nombre").Value()));
    TxtIdFormulario.SetText(runtime::JoinText(rs("SC_IDARC").Value()));
  }
  rs.Close();
  txtSecuencia.SetEnabled(true);
  CmdAddForm.SetEnabled(true);
  CmdSecuencia.SetEnabled(true);
  CmdEliSec.SetEnabled(true);
  CmdCrear.SetEnabled(false);
  CmdModificar.SetEnabled(false);
}

void FrmSecuenciador::CmdAddForm_Click() {
  ui::BusyScope ocupada(*this, app_.Ui());
  const std::optional<Eleccion> elegido = Elegir<FrmBuForm>(app_, "FrmBuForm");
  if (!elegido) return;
  if (ModoEdicion_ == 'M') CabModificada_ = true;
  txtFormulario.SetText(elegido->texto);
  TxtIdFormulario.SetText(std::to_string(elegido->dato));
}

void FrmSecuenciador::txtSecuencia_Change() {
  if (ModoEdicion_ == 'M') CabModificada_ = true;
}

void FrmSecuenciador::CmdSecuencia_Click() {
  ui::BusyScope ocupada(*this, app_.Ui());
  if (txtSecuencia.Text().empty()) {
    app_.Ui().MsgBox("Debera Ingresar un nombre para la Secuencia");
    return;
  }
  if (TxtIdFormulario.Text().empty()) {
    app_.Ui().MsgBox("Debera Ingresar un Formulario");
    return;
  }
  linea_abierta_ = true;
  SetHeight(kAltoAbierto);
  FrTipo.SetEnabled(false);
  CmdAddForm.SetEnabled(false);
  txtSecuencia.SetEnabled(false);
  CmdSecuencia.SetEnabled(false);
  if (ModoEdicion_ == 'M') CargarLineas();
}

// ---------------------------------------------------------------------------------------------
// Line entry

void FrmSecuenciador::OptValor_Click() {
  CbxCond.SetText("");
  CbxOper.SetText("");
  TxtVar1.SetText("");
  TxtVar2.SetText("");
  CbxCond.SetEnabled(false);
  CbxOper.SetEnabled(false);
  for (int i = 0; i < 3; ++i) {
    Command1[i].SetEnabled(i == 0);
    Command2[i].SetEnabled(i == 0);
  }
  Command3.SetEnabled(true);
  Command8.SetEnabled(false);
  CmdMuestra.SetEnabled(false);
  for (ui::TextBox* caja : {&Txt, &Txt1, &Txt2, &txtIdR, &txtIdR1, &txtIdR2}) caja->SetText("");
}

void FrmSecuenciador::OptCondicion_Click() {
  TxtValor.SetText("");
  TxtValor.SetEnabled(false);
  for (int i = 0; i < 3; ++i) {
    Command1[i].SetEnabled(i != 0);
    Command2[i].SetEnabled(i != 0);
  }
  Command3.SetEnabled(false);
  Command8.SetEnabled(true);
  CmdMuestra.SetEnabled(true);
  CbxCond.SetEnabled(true);
  CbxOper.SetEnabled(true);
  for (ui::TextBox* caja : {&Txt, &Txt1, &Txt2, &txtIdR, &txtIdR1, &txtIdR2}) caja->SetText("");
}

void FrmSecuenciador::Command1_Click(int index) { PedirValor(static_cast<Ranura>(index), false); }

void FrmSecuenciador::Command2_Click(int index) { PedirValor(static_cast<Ranura>(index), true); }

void FrmSecuenciador::PedirValor(Ranura ranura, bool modo_variables) {
  FrmSecValor& dialogo = VentanaRegistrada<FrmSecValor>(app_, "FrmSecValor");
  dialogo.Preparar(ranura, modo_variables, TxtIdFormulario.Text());
  app_.Ui().ShowModal(dialogo);
  const std::optional<Valor> valor = dialogo.Elegido();
  if (dialogo.Loaded()) app_.Ui().Unload(dialogo);
  // Nothing handed back changes nothing: a sample column chosen for the left operand keeps
  // its mark. A right operand never touches the left one's.
  if (!valor) return;
  ui::TextBox* cajas[3][3] = {{&TxtValor, &Txt, &txtIdR}, {&TxtVar1, &Txt1, &txtIdR1}, {&TxtVar2, &Txt2, &txtIdR2}};
  ui::TextBox** destino = cajas[static_cast<int>(ranura)];
  destino[0]->SetText(valor->texto);
  destino[1]->SetText(valor->tipo);
  destino[2]->SetText(valor->id);
  if (ranura != Ranura::kDerecho) txtNMuestra.SetText("");
}

void FrmSecuenciador::CmdMuestra_Click() {
  const std::optional<Eleccion> columna = Elegir<FrmBMuestra>(app_, "FrmBMuestra");
  if (!columna) return;
  txtNMuestra.SetText(kMuestra);
  TxtVar1.SetText(columna->texto);
  txtIdMuestra.SetText(std::to_string(columna->dato));
}

void FrmSecuenciador::CbxCond_Click() {
  const bool fin = runtime::EqualIgnoringCase(CbxCond.Text(), kFSi);
  for (int i = 1; i < 3; ++i) {
    Command1[i].SetEnabled(!fin);
    Command2[i].SetEnabled(!fin);
  }
  CmdMuestra.SetEnabled(!fin);
  CbxOper.SetEnabled(!fin);
  if (!fin) return;
  // An "FSi" line has no operands and no operator: nothing chosen before may reach its row.
  CbxOper.SetText("");
  for (ui::TextBox* caja : {&TxtVar1, &TxtVar2, &Txt1, &Txt2, &txtIdR1, &txtIdR2, &txtNMuestra, &txtIdMuestra}) {
    caja->SetText("");
  }
}

bool FrmSecuenciador::AdmiteFormula() {
  if (runtime::Trim(TxtValor.Text()).empty()) {
    app_.Ui().MsgBox("Deberá ingresar un valor");
    return false;
  }
  if (ModoEdicion_ == 'M') LineasModificadas_ = true;
  return true;
}

bool FrmSecuenciador::AdmiteCondicion(int referencia, bool insercion) {
  ui::Ui& ui = app_.Ui();
  const std::string palabra = CbxCond.Text();
  if (palabra.empty()) {
    ui.MsgBox("Debe cargar una condicion");
    return false;
  }
  if (!(palabra == kFSi && CbxOper.Text().empty())) {
    if (CbxOper.Text().empty()) {
      ui.MsgBox("Debe cargar Operadores");
      return false;
    }
    if (TxtVar1.Text().empty()) {
      ui.MsgBox("Debe Cargar un valor en la primera condicion");
      return false;
    }
    if (TxtVar2.Text().empty()) {
      ui.MsgBox("Debe Cargar un valor en la segunda condicion");
      return false;
    }
    if (runtime::IsNumeric(TxtVar1.Text()) && runtime::IsNumeric(TxtVar2.Text())) {
      ui.MsgBox("No podra comparar dos valores Numericos");
      return false;
    }
  }
  if (ModoEdicion_ == 'M') LineasModificadas_ = true;
  const std::string& ultima = FGSecuencia.TextMatrix(FGSecuencia.Rows() - 1, kCondicion);
  const std::string& anterior = FGSecuencia.TextMatrix(referencia, kCondicion);
  if (palabra == kSi) {
    if (CondAbiertas_ != 0 || !(ultima == kFSi || ultima.empty())) {
      ui.MsgBox("No podrá Realizar Anidamientos de Condiciones");
      return false;
    }
    CondAbiertas_ = 1;
  } else if (palabra == kAnd) {
    const bool tras_and = anterior == kAnd && (CondAbiertas_ == 1 || (insercion && LineasModificadas_));
    if (!(anterior == kSi || tras_and)) {
      ui.MsgBox("No se Acepta Agregar una condicion");
      return false;
    }
  } else if (palabra == kFSi) {
    if (CondAbiertas_ != 1) {
      ui.MsgBox("Esta agregando mas Fin de las condiciones que existen");
      return false;
    }
    if (!(anterior.empty() && !FGSecuencia.TextMatrix(referencia, kOperando1).empty())) {
      ui.MsgBox(std::string("Debera ingresar alguna formula para ejecutar") + kCrLf + "antes de Cerrar las condiciones");
      return false;
    }
    CondAbiertas_ = 0;
  }
  return true;
}

int FrmSecuenciador::NuevaFila(int despues) {
  if (ListaVacia(FGSecuencia)) return 0;
  FGSecuencia.AddItem("", despues + 1);
  return despues + 1;
}

void FrmSecuenciador::EscribirFormula(int fila) {
  const std::string celdas[kCeldas] = {std::to_string(FGSecuencia.Rows()), "", TxtValor.Text(), "", "",
                                       txtIdR.Text(), "", kFormula, "", ""};
  for (int c = 0; c < kCeldas; ++c) FGSecuencia.SetTextMatrix(fila, c, celdas[c]);
}

void FrmSecuenciador::EscribirCondicion(int fila) {
  const bool muestra = txtNMuestra.Text() == kMuestra;
  const std::string& id1 = muestra ? txtIdMuestra.Text() : txtIdR1.Text();
  const std::string tipo1 = muestra ? kMuestra : txtIdR1.Text().empty() ? kNumero : kFormula;
  const std::string celdas[kCeldas] = {std::to_string(FGSecuencia.Rows()),
                                       CbxCond.Text(),
                                       TxtVar1.Text(),
                                       CbxOper.Text(),
                                       TxtVar2.Text(),
                                       id1,
                                       txtIdR2.Text(),
                                       tipo1,
                                       txtIdR2.Text().empty() ? kNumero : kFormula,
                                       ""};
  for (int c = 0; c < kCeldas; ++c) FGSecuencia.SetTextMatrix(fila, c, celdas[c]);
}

void FrmSecuenciador::RegistrarVariable(const std::string& texto, bool primera) {
  int fila = 0;
  if (!primera) {
    MSFFormula.AddItem("");
    fila = MSFFormula.Rows() - 1;
  }
  MSFFormula.SetTextMatrix(fila, 0, std::to_string(FGSecuencia.Rows()));
  MSFFormula.SetTextMatrix(fila, 1, texto);
}

void FrmSecuenciador::VaciarFormula() {
  for (ui::TextBox* caja : {&TxtValor, &txtIdR, &Txt, &txtNMuestra}) caja->SetText("");
  OptValor.SetValue(true);
}

void FrmSecuenciador::VaciarCondicion() {
  CbxOper.SetText("");
  CbxCond.SetText("");
  for (ui::TextBox* caja : {&TxtVar1, &TxtVar2, &txtIdR1, &Txt1, &txtIdR2, &Txt2, &txtNMuestra}) caja->SetText("");
  OptValor.SetValue(true);
}

void FrmSecuenciador::Command3_Click() {
  if (!AdmiteFormula()) return;
  const bool primera = ListaVacia(FGSecuencia);
  EscribirFormula(NuevaFila(FGSecuencia.Rows() - 1));
  RegistrarVariable(TxtValor.Text(), primera);
  VaciarFormula();
}

void FrmSecuenciador::Command8_Click() {
  if (!AdmiteCondicion(FGSecuencia.Rows() - 1, false)) return;
  const bool primera = ListaVacia(FGSecuencia);
  EscribirCondicion(NuevaFila(FGSecuencia.Rows() - 1));
  RegistrarVariable(TxtVar1.Text(), primera);
  RegistrarVariable(TxtVar2.Text(), false);
  VaciarCondicion();
}

void FrmSecuenciador::CmdInsertar_Click() {
  if (ListaVacia(FGSecuencia)) return;
  LineasModificadas_ = true;
  // Inserting after the last row appends.
  const int elegida = FGSecuencia.Row();
  if (OptValor.Value()) {
    if (!AdmiteFormula()) return;
    EscribirFormula(NuevaFila(elegida));
    RegistrarVariable(TxtValor.Text(), false);
    VaciarFormula();
  } else {
    if (!AdmiteCondicion(elegida, true)) return;
    EscribirCondicion(NuevaFila(elegida));
    RegistrarVariable(TxtVar1.Text(), false);
    RegistrarVariable(TxtVar2.Text(), false);
    VaciarCondicion();
  }
  Renumerar(FGSecuencia);
  CondAbiertas_ = CondicionesAbiertas(FGSecuencia);
}

void FrmSecuenciador::CmdRemover_Click() {
  if (ListaVacia(FGSecuencia)) return;
  const int elegida = FGSecuencia.Row();
  if (app_.Ui().MsgBox("Esta Seguro de Eliminar la linea " + FGSecuencia.TextMatrix(elegida, kOrden),
                       ui::vbYesNo + ui::vbCritical, "Eliminacion") != ui::vbYes) {
    return;
  }
  if (ModoEdicion_ == 'M') LineasModificadas_ = true;
  std::vector<int> quitar = {elegida};
  // A "Si" line takes its block's structure with it ("And" lines and the "FSi"); the block's
  // formula lines stay, now unconditional.
  if (FGSecuencia.TextMatrix(elegida, kCondicion) == kSi) {
    int fila = elegida + 1;
    for (; fila < FGSecuencia.Rows() && FGSecuencia.TextMatrix(fila, kCondicion) == kAnd; ++fila) quitar.push_back(fila);
    for (; fila < FGSecuencia.Rows(); ++fila) {
      if (FGSecuencia.TextMatrix(fila, kCondicion) == kFSi) {
        quitar.push_back(fila);
        break;
      }
    }
  }
  std::sort(quitar.rbegin(), quitar.rend());
  for (int fila : quitar) {
    if (FGSecuencia.Rows() > 1) {
      FGSecuencia.RemoveItem(fila);
    } else {
      for (int c = 0; c < kCeldas; ++c) FGSecuencia.SetTextMatrix(0, c, "");
    }
  }
  Renumerar(FGSecuencia);
  CondAbiertas_ = CondicionesAbiertas(FGSecuencia);
}

void FrmSecuenciador::cmdlimpiar_Click() {
  for (ui::TextBox* caja : {&Txt, &Txt1, &Txt2, &txtIdR, &txtIdR1, &txtIdR2, &txtNMuestra}) caja->SetText("");
  PrepararLista(FGSecuencia);
  CondAbiertas_ = CondicionesAbiertas(FGSecuencia);
  // Emptied lines are changed lines: "Generar" then stores the sequence without them.
  if (ModoEdicion_ == 'M') LineasModificadas_ = true;
}

void FrmSecuenciador::FGSecuencia_Click() {
  ui::BusyScope ocupada(*this, app_.Ui());
  // The empty list's row is no line: nothing to mark or to show.
  if (ListaVacia(FGSecuencia)) return;
  const int fila = FGSecuencia.Row();
  const int columna = FGSecuencia.Col();
  if (columna == kMarca) {
    FGSecuencia.SetTextMatrix(fila, kMarca, FGSecuencia.TextMatrix(fila, kMarca) == "*" ? "" : "*");
    LineasModificadas_ = true;
    return;
  }
  if (columna != kOperando1) return;
  const std::string& tipo = FGSecuencia.TextMatrix(fila, kTipo1);
  if (tipo == kFormula) {
    auto& visor = VentanaRegistrada<formulas::FrmMFormula>(app_, "FrmMFormula");
    visor.Load();
    visor.txtIdCab.SetText(FGSecuencia.TextMatrix(fila, kId1));
    app_.Ui().ShowModal(visor);
    if (visor.Loaded()) app_.Ui().Unload(visor);
  } else if (tipo == kMuestra) {
    app_.Ui().MsgBox("Campo de Muestra", ui::vbOKOnly, "Muestra");
  }
}

// ---------------------------------------------------------------------------------------------
// Storage

void FrmSecuenciador::cmdGenerar_Click() {
  ui::BusyScope ocupada(*this, app_.Ui());
  if (!RevGrilla()) {
    app_.Ui().MsgBox("No se podra Grabar la secuencia");
    return;
  }
  const bool hecho = ModoEdicion_ == 'A' ? Crear() : Actualizar();
  if (hecho) Reiniciar();
}

void FrmSecuenciador::CondicionesAbiertasAlGrabar() {
  app_.Ui().MsgBox("Error en condiciones, revise la Secuencia.");
  app_.RegistrarError(kSinError, std::string(kContexto) + kCrLf + "If Si = 0 And FSi = 0 Then");
}

bool FrmSecuenciador::NombreExistente(const std::string& nombre) {
  std::string consulta = "Select SC_IdSecCab From SE_CABSECUENCIA Where SC_nombre = " + SqlText(nombre);
  if (ModoEdicion_ == 'M') consulta += " and SC_IdSecCab <> " + TxtIdSecuencia.Text();
  sql::Recordset& rs = app_.Rs1();
  if (rs.State() == sql::adStateOpen) rs.Close();
  rs.Open(consulta, app_.CnSql);
  const bool existe = !rs.Eof();
  rs.Close();
  if (existe) app_.Ui().MsgBox("Ya existe una Secuencia con este Nombre");
  return existe;
}

bool FrmSecuenciador::Crear() {
  ui::Ui& ui = app_.Ui();
  if (CondAbiertas_ != 0) {
    CondicionesAbiertasAlGrabar();
    return false;
  }
  // "Generar" before "Secuencia" would send a header without its name or its form.
  if (txtSecuencia.Text().empty() || TxtIdFormulario.Text().empty()) {
    ui.MsgBox(txtSecuencia.Text().empty() ? "Debera Ingresar un nombre para la Secuencia"
                                          : "Debera Ingresar un Formulario");
    return false;
  }
  const std::string nombre = txtSecuencia.Text();
  // The new header is found again by its name: another sequence of that name would take the
  // lines.
  if (NombreExistente(nombre)) return false;
  const std::string cabecera =
      "INSERT INTO SE_CABSECUENCIA (SC_NOMBRE, SC_TIPO, SC_IDARC, SC_ACTIVO, SC_FCREACION) VALUES(" + SqlText(nombre) +
      ", '" + (OpcTipo[0].Value() ? "F" : "T") + "', " + TxtIdFormulario.Text() + ", 1,GetDate())";
  const std::string lectura = "Select SC_IdSecCab From SE_CABSECUENCIA Where SC_nombre = " + SqlText(nombre);
  std::string id;
  try {
    app_.CnSql.Execute(cabecera);
  } catch (const runtime::VbError& error) {
    ui.MsgBox(kErrorCabecera);
    app_.RegistrarError(error, std::string(kContexto) + kCrLf + cabecera);
    return false;
  }
  sql::Recordset& rs = app_.Rs1();
  if (rs.State() == sql::adStateOpen) rs.Close();
  rs.Open(lectura, app_.CnSql);
  if (!rs.Eof()) id = runtime::JoinText(rs(0).Value());
  rs.Close();
  if (id.empty()) {
    ui.MsgBox(kErrorCabecera);
    app_.RegistrarError(kSinError, std::string(kContexto) + kCrLf + lectura);
    return false;
  }

  std::string lote = InsertsDeLineas(FGSecuencia, id);
  if (!(MSFFormula.Rows() == 1 && MSFFormula.TextMatrix(0, 0).empty())) {
    for (int i = 0; i < MSFFormula.Rows(); ++i) {
      lote += "INSERT INTO SE_VARSECUENCIA (SV_IDSEC, SV_ORDEN, SV_NOMVAR) VALUES (" + id + ", " + std::to_string(i) +
              ", " + SqlText(MSFFormula.TextMatrix(i, 1)) + ")" + kCrLf;
    }
  }
  try {
    if (!lote.empty()) sql::ExecuteInTransaction(app_.CnSql, {lote});
  } catch (const runtime::VbError& error) {
    app_.RegistrarError(error, std::string(kContexto) + kCrLf + lote);
    const std::string borrar = "Delete SE_CABSECUENCIA Where SC_IdSecCab= " + id;
    try {
      app_.CnSql.Execute(borrar);
    } catch (const runtime::VbError& error_borrado) {
      ui.MsgBox("Error al Generar Secuencia");
      app_.RegistrarError(error_borrado, std::string("FrmSecuencia (CmdEliSec)") + kCrLf + borrar);
      return false;
    }
    ui.MsgBox("No se pudo Generar la Secuencia, Error al intentar Grabar");
    return false;
  }
  ui.MsgBox("La Secuencia se Generó con Exito");
  return true;
}

bool FrmSecuenciador::Actualizar() {
  ui::Ui& ui = app_.Ui();
  if (CondAbiertas_ != 0) {
    CondicionesAbiertasAlGrabar();
    return false;
  }
  if (!CabModificada_ && !LineasModificadas_) return true;
  const std::string id = TxtIdSecuencia.Text();
  if (CabModificada_ && NombreExistente(txtSecuencia.Text())) return false;
  // The header and the lines change together: a failure leaves the sequence as it was.
  struct Paso {
    std::string texto;
    const char* mensaje;
  };
  std::vector<Paso> pasos;
  if (CabModificada_) {
    pasos.push_back({"UPDATE SE_CABSECUENCIA SET SC_NOMBRE= " + SqlText(txtSecuencia.Text()) +
                         ", SC_IDARC = " + TxtIdFormulario.Text() + " WHERE SC_IDSECCAB = " + id,
                     "No se pudo Actualizar la cabecera de Secuencia"});
  }
  if (LineasModificadas_) {
    pasos.push_back({"DELETE SE_SECUENCIA Where S_IDSECCAB=" + id + kCrLf + InsertsDeLineas(FGSecuencia, id),
                     "No se pudo Actualizar las Secuencias"});
  }
  app_.CnSql.BeginTrans();
  for (const Paso& paso : pasos) {
    try {
      app_.CnSql.Execute(paso.texto);
    } catch (const runtime::VbError& error) {
      Deshacer(app_);
      ui.MsgBox(paso.mensaje);
      app_.RegistrarError(error, std::string(kContexto) + kCrLf + paso.texto);
      return false;
    }
  }
  app_.CnSql.CommitTrans();
  if (LineasModificadas_) ui.MsgBox("La Secuencia se Modificó con Exito");
  return true;
}

void FrmSecuenciador::CmdEliSec_Click() {
  ui::BusyScope ocupada(*this, app_.Ui());
  ui::Ui& ui = app_.Ui();
  if (ui.MsgBox("Esta Seguro que desea eliminar la secuencia", ui::vbYesNo + ui::vbCritical, "Elimina Secuenia") !=
      ui::vbYes) {
    return;
  }
  const std::string id = TxtIdSecuencia.Text();
  const std::string lote = "Delete From SE_VARSECUENCIA where Sv_IdSec = " + id + kCrLf +
                           "Delete From SE_SECUENCIA where S_IdSecCab = " + id + kCrLf +
                           "Delete From SE_CABSECUENCIA where Sc_IdSecCab = " + id;
  try {
    sql::ExecuteInTransaction(app_.CnSql, {lote});
  } catch (const runtime::VbError& error) {
    ui.MsgBox("No se ha Eliminado la Secuencia");
    app_.RegistrarError(error, std::string("FrmSecuencia (CmdEliSec)") + kCrLf + lote);
    return;
  }
  ui.MsgBox("Se ha Eliminado la Secuencia");
  Reiniciar();
}

void FrmSecuenciador::CargarLineas() {
  sql::Recordset& lineas = app_.Rs2();
  if (lineas.State() == sql::adStateOpen) lineas.Close();
  lineas.Open("SELECT * FROM se_secuencia WHERE S_IdSecCab = " + TxtIdSecuencia.Text() + " Order by S_IdSec",
              app_.CnSql);
  sql::Recordset& busqueda = app_.Rs1();
  for (; !lineas.Eof(); lineas.MoveNext()) {
    const LineaGuardada linea{lineas("s_orden").Value(),    lineas("s_condic").Value(),
                              lineas("s_IdFormCab1").Value(), lineas("s_IdFormCab2").Value(),
                              lineas("s_operador").Value(), lineas("s_tipvar1").Value(),
                              lineas("s_tipvar2").Value(),  lineas("s_Marca").Value()};
    const std::string tipo = runtime::JoinText(linea.tipo1);
    std::string operando1 = runtime::JoinText(linea.id1);
    if ((tipo == kFormula || tipo == kMuestra) && !linea.id1.IsNull()) {
      operando1.clear();
      if (busqueda.State() == sql::adStateOpen) busqueda.Close();
      if (tipo == kFormula) {
        busqueda.Open("SELECT fc_nomvar + ' (' + fc_nombre + ')' as FC_NOMVAR FROM SE_CABFORMULA WHERE Id_formCab = " +
                          runtime::JoinText(linea.id1),
                      app_.CnSql);
        if (!busqueda.Eof()) operando1 = runtime::JoinText(busqueda(0).Value());
      } else {
        busqueda.Open("SELECT * FROM SE_MUESTRA_PADRON", app_.CnSql);
        // The stored number is the column's position minus one; a position the table no
        // longer has shows no name.
        const double posicion = runtime::CDbl(linea.id1) + 1;
        if (posicion >= 0 && posicion < busqueda.Fields().Count()) {
          operando1 = busqueda.Fields().Item(static_cast<int>(posicion)).Name();
        }
      }
      busqueda.Close();
    }
    const bool vacia = ListaVacia(FGSecuencia);
    if (!vacia) FGSecuencia.AddItem("");
    EscribirLineaGuardada(FGSecuencia, vacia ? 0 : FGSecuencia.Rows() - 1, linea, operando1);
  }
  lineas.Close();
  const int ultima = FGSecuencia.Rows() - 1;
  if (ultima > 0 && FGSecuencia.TextMatrix(ultima, kOrden).empty()) FGSecuencia.RemoveItem(ultima);
  CondAbiertas_ = CondicionesAbiertas(FGSecuencia);
}

}  // namespace sequences
