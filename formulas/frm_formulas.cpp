// The formula editor: header, token grammar, function buttons, saving, reopening and deleting.
#include "formulas/frm_formulas.h"

#include "core/aplicacion.h"
#include "formulas/formula_guardada.h"
#include "formulas/frm_b_formula.h"
#include "formulas/frm_b_formulario.h"
#include "formulas/frm_pre_formula.h"
#include "formulas/generador.h"
#include "formulas/listas.h"
#include "formulas/procedimientos.h"
#include "formulas/ventanas.h"
#include "platform/runtime/conversions.h"
#include "platform/runtime/identifiers.h"
#include "platform/runtime/text.h"
#include "platform/runtime/vb_error.h"
#include "platform/sql/client.h"
#include "platform/ui/busy_scope.h"
#include "platform/ui/ui.h"

namespace formulas {
namespace {

using runtime::SqlText;

constexpr char kCrLf[] = "\r\n";

bool Encontrado(sql::Recordset& rs) { return !(rs.Eof() && rs.Bof()); }

// Runs `consulta` on CnSql through Rs1 and tells whether it gave a row.
bool HayFilas(core::Aplicacion& app, const std::string& consulta) {
  sql::Recordset& rs = app.Rs1();
  if (rs.State() == sql::adStateOpen) rs.Close();
  rs.Open(consulta, app.CnSql);
  const bool hay = Encontrado(rs);
  rs.Close();
  return hay;
}

}  // namespace

FrmFormulas::FrmFormulas(core::Aplicacion& app) : Form("FrmFormulas"), app_(app) {
  SetCaption("Generador de Formulas");
  SetWidth(kAncho);
  SetHeight(kAltoCerrado);
  SetKeyPreview(true);

  lblNombre.SetCaption("Nombre");
  lblNombre.Move(120, 160, 1500, 255);
  txtNombre.Move(1680, 120, 3000, 315);
  lblResulVar.SetCaption("Variable Resultado");
  lblResulVar.Move(120, 560, 1500, 255);
  txtResulVar.Move(1680, 520, 2000, 315);
  lblEspacios.SetCaption("( No Debe tener espacios )");
  lblEspacios.Move(3780, 560, 2100, 255);
  lblFormulario.SetCaption("Elegir Formulario");
  lblFormulario.Move(120, 960, 1500, 255);
  TxtFormulario.Move(1680, 920, 3000, 315);
  TxtFormulario.SetLocked(true);
  TxtIdFormulario.SetVisible(false);
  CmdAddForm.SetCaption("...");
  CmdAddForm.Move(4740, 920, 435, 315);
  CmdFormula.SetCaption("Formula");
  CmdFormula.Move(5280, 920, 1000, 315);
  FrTipo.SetCaption("Estilo");
  FrTipo.Move(6000, 60, 1980, 800);
  OpcTipo[0].SetCaption("Por Empresa");
  OpcTipo[0].Move(120, 240, 1700, 255);
  OpcTipo[1].SetCaption("Total");
  OpcTipo[1].Move(120, 500, 1700, 255);

  const std::pair<ui::CommandButton*, const char*> comandos[] = {
      {&CmdCrear, "Crear"},     {&CmdModif, "Modificar"}, {&CmdEliForm, "Elimina Formula"},
      {&CmdGenerar, "Generar"}, {&cmdCancelar, "Cancela"}, {&CmdSalir, "Salir"}};
  int izquierda = 120;
  for (const auto& [boton, caption] : comandos) {
    const int ancho = boton == &CmdEliForm ? 1500 : 1150;
    boton->SetCaption(caption);
    boton->Move(izquierda, 1440, ancho, 375);
    izquierda += ancho + 80;
  }
  CmdGenerar.SetDefault(true);
  cmdCancelar.SetCancel(true);
  CmdEliForm.SetEnabled(false);
  txtIdFoCab.SetVisible(false);
  txtIdModificacion.SetVisible(false);

  txtDisplay.Move(120, 1980, 7800, 315);
  txtDisplay.SetLocked(true);
  lblCampos.SetCaption("Campos");
  lblCampos.Move(120, 2400, 2400, 255);
  LstCampos.Move(120, 2660, 2400, 2400);
  lblVariable.SetCaption("Variable Resultado");
  lblVariable.Move(2640, 2400, 2400, 255);
  LstVariable.Move(2640, 2660, 2400, 2400);
  lblMuestra.SetCaption("Muestra");
  lblMuestra.Move(5160, 2400, 1400, 255);
  LstMuestra.Move(5160, 2660, 1400, 900);
  for (const char* columna : {"Estado", "Mues", "Auto"}) LstMuestra.AddItem(columna);

  for (int i = 0; i < 10; ++i) {
    cmdConstantes[i].SetCaption(std::to_string(i));
    cmdConstantes[i].Move(120 + i * 560, 5220, 500, 375);
    cmdConstantes[i].Click = [this, i] { cmdConstantes_Click(i); };
  }
  CmdComa.SetCaption(".");
  CmdComa.Move(120 + 10 * 560, 5220, 500, 375);
  const std::pair<ui::CommandButton*, const char*> signos[] = {
      {&CmdMas, "+"}, {&CmdMenos, "-"}, {&CmdMult, "*"}, {&CmdDiv, "/"}, {&CmdAPar, "("}, {&CmdCPar, ")"}};
  izquierda = 120;
  for (const auto& [boton, caption] : signos) {
    boton->SetCaption(caption);
    boton->Move(izquierda, 5700, 500, 375);
    izquierda += 560;
  }
  CmdAAnt.SetCaption("A-1");
  CmdAAnt.Move(izquierda, 5700, 700, 375);

  funciones_ = {&CmdSum, &CmdAvg, &CmdCount, &CmdMediana, &CmdPCuartil, &CmdTCuartil, &CmdStdev,
                &CmdVar, &CmdSQRT, &CmdRound, &CmdPower,    &CmdExp,      &CmdAbs};
  for (size_t i = 0; i < funciones_.size(); ++i) {
    const Funcion& funcion = Funciones()[i];
    funciones_[i]->SetCaption(funcion.caption);
    funciones_[i]->Move(120 + static_cast<int>(i % 7) * 1120, 6180 + static_cast<int>(i / 7) * 440, 1050, 375);
    funciones_[i]->Click = [this, &funcion] { Funcion_Click(funcion); };
  }
  CmdRetro.SetCaption("Retroceder");
  CmdRetro.Move(120, 7140, 1300, 375);
  CmdClear.SetCaption("Limpiar");
  CmdClear.Move(1500, 7140, 1300, 375);

  OpcTipo[0].Click = [this] { OpcTipo_Click(0); };
  OpcTipo[1].Click = [this] { OpcTipo_Click(1); };
  txtResulVar.KeyUp = [this](int& key_code, int shift) { txtResulVar_KeyUp(key_code, shift); };
  CmdCrear.Click = [this] { CmdCrear_Click(); };
  CmdModif.Click = [this] { CmdModif_Click(); };
  CmdAddForm.Click = [this] { CmdAddForm_Click(); };
  CmdFormula.Click = [this] { CmdFormula_Click(); };
  LstCampos.DblClick = [this] { LstCampos_DblClick(); };
  LstVariable.DblClick = [this] { LstVariable_DblClick(); };
  LstMuestra.Click = [this] { LstMuestra_Click(); };
  CmdComa.Click = [this] { CmdComa_Click(); };
  CmdMas.Click = [this] { Operador(" + "); };
  CmdMenos.Click = [this] { Operador(" - "); };
  CmdMult.Click = [this] { Operador(" * "); };
  CmdDiv.Click = [this] { Operador(" / "); };
  CmdAPar.Click = [this] { CmdAPar_Click(); };
  CmdCPar.Click = [this] { CmdCPar_Click(); };
  CmdAAnt.Click = [this] { CmdAAnt_Click(); };
  CmdRetro.Click = [this] { CmdRetro_Click(); };
  CmdClear.Click = [this] { CmdClear_Click(); };
  cmdCancelar.Click = [this] { cmdCancelar_Click(); };
  CmdGenerar.Click = [this] { CmdGenerar_Click(); };
  CmdEliForm.Click = [this] { CmdEliForm_Click(); };
  CmdSalir.Click = [this] { CmdSalir_Click(); };
}

// ---------------------------------------------------------------------------------------------
// Window

void FrmFormulas::Form_Load() {
  expandido_ = false;
  ui::AplicarTamanoFijo(*this, kAncho, kAltoCerrado);
  formula_ = Formula();
  TxtFormulario.SetVisible(false);
  HCabFormula(false);
  OpcTipo[0].SetValue(true);
  for (ui::CommandButton* boton : funciones_) boton->SetEnabled(true);
  LstCampos.SetEnabled(true);
  LstVariable.SetEnabled(true);
}

void FrmFormulas::Form_Resize() {
  ui::AplicarTamanoFijo(*this, kAncho, expandido_ ? kAltoAbierto : kAltoCerrado);
}

void FrmFormulas::Form_KeyDown(int& key_code, int shift) {
  (void)shift;
  if (!expandido_) return;
  if (key_code >= 48 && key_code <= 57) {
    cmdConstantes[key_code - 48].UserClick();
  } else if (key_code >= 96 && key_code <= 105) {
    cmdConstantes[key_code - 96].UserClick();
  } else if (key_code == 42 || key_code == 106) {
    CmdMult.UserClick();
  } else if (key_code == 43 || key_code == 107) {
    CmdMas.UserClick();
  } else if (key_code == 45 || key_code == 109) {
    CmdMenos.UserClick();
  } else if (key_code == 47 || key_code == 111) {
    CmdDiv.UserClick();
  } else if (key_code == 110) {
    CmdComa.UserClick();
  }
}

void FrmFormulas::HCabFormula(bool hab) {
  txtNombre.SetEnabled(hab);
  txtResulVar.SetEnabled(hab);
  OpcTipo[0].SetEnabled(hab);
  OpcTipo[1].SetEnabled(hab);
  CmdAddForm.SetEnabled(hab);
  CmdFormula.SetEnabled(hab);
}

bool FrmFormulas::DuplDato(const std::string& CCampo) const { return formula_.DuplDato(CCampo); }

bool FrmFormulas::ValCamp(const std::string& VString) {
  return VString.find_first_of("-,.") == std::string::npos;
}

Estilo FrmFormulas::EstiloElegido() const {
  return OpcTipo[0].Value() ? Estilo::kPorEmpresa : Estilo::kTotal;
}

// ---------------------------------------------------------------------------------------------
// Header

void FrmFormulas::CmdCrear_Click() {
  formula_.modo_edicion = 'A';
  HCabFormula(true);
  CmdCrear.SetEnabled(false);
  CmdModif.SetEnabled(false);
  CmdEliForm.SetEnabled(false);
}

void FrmFormulas::CmdAddForm_Click() {
  ui::BusyScope ocupada(*this, app_.Ui());
  FrmBFormulario& picker = VentanaRegistrada<FrmBFormulario>(app_, "FrmBFormulario");
  const bool modificando = !txtIdModificacion.Text().empty();
  picker.Preparar(modificando ? std::optional<std::string>(TxtIdFormulario.Text()) : std::nullopt);
  app_.Ui().ShowModal(picker);
  const auto eleccion = picker.Eleccion();
  if (picker.Loaded()) app_.Ui().Unload(picker);
  if (!eleccion) return;
  // While modifying, the picker starts from the formula's own forms: the choice replaces them.
  if (modificando) {
    TxtFormulario.SetText("");
    TxtIdFormulario.SetText("");
  }
  for (const auto& [nombre, id] : *eleccion) {
    TxtFormulario.SetText(TxtFormulario.Text().empty() ? nombre : TxtFormulario.Text() + ", " + nombre);
    const std::string texto_id = std::to_string(id);
    TxtIdFormulario.SetText(TxtIdFormulario.Text().empty() ? texto_id
                                                           : TxtIdFormulario.Text() + ", " + texto_id);
  }
  if (!TxtFormulario.Text().empty()) TxtFormulario.SetVisible(true);
}

void FrmFormulas::OpcTipo_Click(int index) {
  // A Total formula takes no per-company operand, but its functions stay: aggregates over the
  // companies (the argument picker has its own lists) and constants.
  const bool por_empresa = index == 0;
  for (ui::CommandButton* boton : funciones_) boton->SetEnabled(true);
  LstCampos.SetEnabled(por_empresa);
  LstVariable.SetEnabled(por_empresa);
  LstMuestra.SetEnabled(por_empresa);
}

void FrmFormulas::txtResulVar_KeyUp(int& key_code, int shift) {
  (void)shift;
  if (key_code != 32) return;
  txtResulVar.SetText(runtime::Trim(txtResulVar.Text()));
  txtResulVar.SetSelStart(static_cast<int>(txtResulVar.Text().size()));
}

void FrmFormulas::CmdFormula_Click() {
  ui::BusyScope ocupada(*this, app_.Ui());
  const std::string variable = txtResulVar.Text();
  if (!ValCamp(variable)) return;
  // The result variable becomes a column and a variable of the generated procedures, and a
  // final "_1" would read as the year before of another name.
  if (formula_.modo_edicion == 'A') {
    if (!runtime::IsRegularIdentifier(variable)) {
      app_.Ui().MsgBox(
          "La Variable Resultado no es un nombre valido\r\n(letras, digitos y \"_\", sin empezar "
          "por un digito, hasta 128 caracteres)");
      return;
    }
    if (EsAnioAnterior(variable)) {
      app_.Ui().MsgBox("La Variable Resultado no puede terminar en \"_1\"\r\n(indica el año anterior)");
      return;
    }
  }
  if (!(OpcTipo[0].Value() || OpcTipo[1].Value()) || TxtFormulario.Text().empty()) return;
  expandido_ = true;
  SetHeight(kAltoAlAbrir);
  HCabFormula(false);
  LlenarLista(app_, LstCampos, ConsultaCampos(TxtIdFormulario.Text()), 0);
  LlenarLista(app_, LstVariable, ConsultaVariables(TxtIdFormulario.Text()), 1);
}

// ---------------------------------------------------------------------------------------------
// Tokens

bool FrmFormulas::AdmiteOperando() const {
  const std::string& ultimo = formula_.UltimoTipo();
  return formula_.CantidadTokens() == 0 || ultimo == kOperador || ultimo == kAbreParentesis;
}

void FrmFormulas::Agregar(const Token& token) {
  formula_.Agregar(token);
  txtDisplay.SetText(formula_.Display());
}

bool FrmFormulas::AgregarOperando(const ui::ListBox& lista, const char* tipo, const char* duplicado) {
  if (!AdmiteOperando() || lista.ListIndex() < 0) return false;
  const std::string nombre = lista.Text();
  if (DuplDato(nombre)) {
    app_.Ui().MsgBox(duplicado);
    return false;
  }
  Agregar({nombre, tipo, "", ""});
  return true;
}

void FrmFormulas::LstCampos_DblClick() {
  AgregarOperando(LstCampos, kCampo, "Ya existe este campo en la formula");
}

void FrmFormulas::LstMuestra_Click() {
  AgregarOperando(LstMuestra, kMuestra, "Ya existe Valor de Muestra en la formula");
}

void FrmFormulas::LstVariable_DblClick() {
  if (AgregarOperando(LstVariable, kVariable, "Ya existe Valor de Resultado en la formula")) {
    ++formula_.cdor_v_resul;
  }
}

void FrmFormulas::cmdConstantes_Click(int index) {
  if (!AdmiteOperando() && formula_.UltimoTipo() != kNumero) return;
  Agregar({std::to_string(index), kNumero, "", ""});
}

void FrmFormulas::CmdComa_Click() {
  if (formula_.CantidadTokens() == 0 || formula_.UltimoTipo() != kNumero ||
      txtDisplay.Text().find('.') != std::string::npos) {
    app_.Ui().MsgBox("No puede ingresar una coma sin existir un numero");
    return;
  }
  Agregar({".", kNumero, "", ""});
}

void FrmFormulas::Operador(const char* texto) {
  const std::string& ultimo = formula_.UltimoTipo();
  if (formula_.CantidadTokens() == 0) return;
  if (ultimo != kCampo && ultimo != kVariable && ultimo != kMuestra && ultimo != kFuncion &&
      ultimo != kNumero && ultimo != kCierraParentesis) {
    return;
  }
  Agregar({texto, kOperador, "", ""});
}

void FrmFormulas::CmdAPar_Click() {
  if (!AdmiteOperando()) return;
  Agregar({" (", kAbreParentesis, "", ""});
}

void FrmFormulas::CmdCPar_Click() {
  const std::string& ultimo = formula_.UltimoTipo();
  if (formula_.CantidadTokens() == 0 || formula_.ParentesisAbiertos() <= 0) return;
  if (ultimo != kCampo && ultimo != kVariable && ultimo != kMuestra && ultimo != kFuncion &&
      ultimo != kNumero && ultimo != kCierraParentesis) {
    return;
  }
  Agregar({") ", kCierraParentesis, "", ""});
}

void FrmFormulas::CmdAAnt_Click() {
  if (formula_.MarcarAnioAnterior()) txtDisplay.SetText(formula_.Display());
}

void FrmFormulas::Funcion_Click(const Funcion& funcion) {
  ui::BusyScope ocupada(*this, app_.Ui());
  if (!AdmiteOperando()) return;
  LlamadaPendiente& llamada = formula_.llamada;
  llamada = LlamadaPendiente{};
  llamada.cantidad_argumentos = static_cast<uint8_t>(funcion.parametros.size());
  llamada.nombres_parametros.assign(1, "");
  for (const char* nombre : funcion.parametros) llamada.nombres_parametros.emplace_back(nombre);
  llamada.IsN = funcion.IsN;
  llamada.IsC = funcion.IsC;
  llamada.IsV = funcion.IsV;

  FrmPreFormula& dialogo = VentanaRegistrada<FrmPreFormula>(app_, "FrmPreFormula");
  dialogo.Preparar(funcion, llamada, TxtIdFormulario.Text());
  app_.Ui().ShowModal(dialogo);
  const std::optional<std::string> texto = dialogo.Eleccion();
  if (dialogo.Loaded()) app_.Ui().Unload(dialogo);
  // Closed without "Acepta": the call brings nothing, not even a stale argument to test.
  if (!texto || texto->empty()) return;

  std::string tipo = llamada.tipo_argumento;
  std::string argumento = llamada.argumento;
  if (llamada.cantidad_argumentos == 2) {
    const size_t coma = texto->find(',');
    formula_.par_power = {texto->substr(0, coma), coma == std::string::npos ? "" : texto->substr(coma + 1)};
    argumento = formula_.par_power.first;
  }
  // Only operands stand in the work table once; a constant may repeat.
  if (funcion.verifica_duplicado && (tipo == kArgCampo || tipo == kArgVariable) && DuplDato(argumento)) {
    app_.Ui().MsgBox("Ya existe este Valor de Resultado/Campo que utiliza en la funcion\r\npara esta formula");
    return;
  }
  Agregar({funcion.Texto(*texto), kFuncion, tipo, argumento});
  // Counted when the reference enters the formula, so that a pick abandoned or refused leaves
  // the count as it was and "Retroceder" takes back exactly what was counted.
  if (tipo == kArgVariable) ++formula_.cdor_v_resul;
}

void FrmFormulas::CmdRetro_Click() {
  if (formula_.CantidadTokens() == 0) return;
  formula_.Retroceder();
  txtDisplay.SetText(formula_.Display());
}

void FrmFormulas::CmdClear_Click() {
  formula_.Vaciar();
  txtDisplay.SetText("");
  formula_.cdor_v_resul = 0;
  cmdCancelar_Click();
}

void FrmFormulas::Colapsar() {
  expandido_ = false;
  SetHeight(kAltoCerrado);
}

void FrmFormulas::cmdCancelar_Click() {
  formula_.Vaciar();
  txtDisplay.SetText("");
  Colapsar();
  HCabFormula(false);
  CmdCrear.SetEnabled(true);
  CmdModif.SetEnabled(true);
  OpcTipo[0].SetValue(true);
  txtNombre.SetText("");
  txtResulVar.SetText("");
  TxtFormulario.SetText("");
  TxtIdFormulario.SetText("");
  TxtFormulario.SetVisible(false);
  LstCampos.Clear();
  LstVariable.Clear();
  FrTipo.SetEnabled(true);
  formula_.cdor_v_resul = 0;
  txtIdFoCab.SetText("");
  // Back to no formula at all: "Elimina Formula" and the form picker must not act on the one
  // that was open.
  txtIdModificacion.SetText("");
  CmdEliForm.SetEnabled(false);
  txtResulVar.SetEnabled(false);
}

void FrmFormulas::CmdSalir_Click() { app_.Ui().Unload(*this); }

// ---------------------------------------------------------------------------------------------
// Storage

std::string FrmFormulas::Rechazo() {
  const std::vector<Token> tokens = formula_.Lista();
  std::string motivo = VerificarCuartiles(tokens);
  if (!motivo.empty()) return motivo;
  if (EstiloElegido() == Estilo::kPorEmpresa) {
    for (const Token& token : tokens) {
      if (token.FM_Tipo == kFuncion && EsAgregado(token.FM_Dato)) {
        return "Una formula Por Empresa no puede usar SUM, AVG, COUNT, STDEV ni VAR\r\n"
               "(dan un valor de todas las empresas): elija el estilo Total";
      }
    }
  }
  // Names are compared by the server, as it compares them (letter case and trailing blanks
  // aside): the key is read back by name and result variables are found by name.
  const bool modificando = formula_.modo_edicion == 'M';
  std::string consulta =
      "Select Id_FormCab From SE_CABFORMULA where FC_Nombre = " + SqlText(runtime::Trim(txtNombre.Text()));
  if (modificando) consulta += " and Id_FormCab <> " + std::to_string(runtime::CLng(runtime::Val(txtIdModificacion.Text())));
  if (HayFilas(app_, consulta)) return "Ya existe una formula con este Nombre";
  if (!modificando &&
      HayFilas(app_, "Select Id_FormCab From SE_CABFORMULA where FC_NomVar = " + SqlText(txtResulVar.Text()))) {
    return "Ya existe una formula con esta Variable Resultado";
  }
  return "";
}

void FrmFormulas::CmdGenerar_Click() {
  ui::BusyScope ocupada(*this, app_.Ui());
  ui::Ui& ui = app_.Ui();
  if (runtime::Trim(txtDisplay.Text()).empty()) {
    ui.MsgBox("No Existen datos de formula para grabar");
    return;
  }
  if (formula_.CantidadTokens() == 0) {
    ui.MsgBox("Error al validar la formula.\r\nCierre el generador y vuelva a intentarlo");
    cmdCancelar_Click();
    return;
  }
  if (formula_.UltimoTipo() == kOperador) {
    ui.MsgBox("No se podrá generar la formula, cuando el ultimo dato es un Operador");
    return;
  }
  const std::string rechazo = Rechazo();
  if (!rechazo.empty()) {
    ui.MsgBox(rechazo);
    return;
  }
  if (formula_.modo_edicion == 'A') {
    switch (Guarda()) {
      case Grabacion::kGrabada:
        ui.MsgBox("Se ha Grabado con Exito");
        cmdCancelar_Click();
        break;
      case Grabacion::kNoGrabada:
        ui.MsgBox("Error Grabando la Formula\r\nNo se ha generado la misma");
        break;
      case Grabacion::kSinProcedimientos:
        // Stored but not compiled: from now on the editor holds that formula, so the next
        // "Generar" replaces it instead of storing a second one.
        formula_.modo_edicion = 'M';
        txtIdModificacion.SetText(txtIdFoCab.Text());
        CmdEliForm.SetEnabled(true);
        break;
    }
  } else {
    switch (Modifica()) {
      case Grabacion::kGrabada:
        ui.MsgBox("Se ha Modificado con Exito");
        cmdCancelar_Click();
        break;
      case Grabacion::kNoGrabada:
        ui.MsgBox("Error Modificando la Formula\r\nNo se ha modificado la misma");
        break;
      case Grabacion::kSinProcedimientos:
        break;
    }
  }
}

std::string FrmFormulas::InsertsDeTokens(const std::string& id) const {
  std::string lote;
  for (int i = 1; i <= formula_.CantidadTokens(); ++i) {
    const Token& token = formula_[i];
    lote += "INSERT INTO SE_FORMULA(Id_FormCab, FM_Dato, FM_Tipo, FM_FCreacion, FM_FtTipo, FM_FtDato) Values (" +
            id + ", " + SqlText(token.FM_Dato) + ", " + SqlText(token.FM_Tipo) + ", GetDate(), " +
            SqlText(token.FM_FtTipo) + ", " + SqlText(token.FM_FtDato) + ")" + kCrLf;
  }
  return lote;
}

bool FrmFormulas::Generar(int32_t id, const std::string& error) {
  const std::vector<Token> tokens = formula_.Lista();
  Generacion generacion = G_Store_Procedure(app_, tokens, id, EstiloElegido());
  if (generacion.exito) generacion = G_Store_Procedure_Emp(app_, tokens, id, EstiloElegido());
  if (!generacion.exito) {
    app_.Ui().MsgBox(error + kCrLf + generacion.motivo);
    return false;
  }
  app_.Ui().MsgBox("Se ha Generado la Formula");
  return true;
}

FrmFormulas::Grabacion FrmFormulas::Guarda() {
  if (formula_.ParentesisAbiertos() != 0) {
    app_.Ui().MsgBox("Deberá Cerrar todos los parentesis");
    return Grabacion::kNoGrabada;
  }
  // The name is stored as it is read back: without the blanks around it.
  const std::string nombre = runtime::Trim(txtNombre.Text());
  const std::string display = txtDisplay.Text();
  std::string id;
  try {
    app_.CnSql.Execute(
        "INSERT INTO SE_CABFORMULA(FC_Nombre, FC_NomVar, FC_Formula, FC_Form_Completa, FC_Tipo, FC_Activo, "
        "FC_FCreacion, FC_CdorVResul) Values(" +
        SqlText(nombre) + ", " + SqlText(txtResulVar.Text()) + ", " + SqlText(display) + ", " +
        SqlText(display) + ", '" + CodigoEstilo(EstiloElegido()) + "', 1, GetDate(), " +
        std::to_string(formula_.cdor_v_resul) + ")");
    sql::Recordset& rs = app_.Rs1();
    if (rs.State() == sql::adStateOpen) rs.Close();
    rs.Open("Select Id_FormCab From SE_CABFORMULA where FC_Nombre = " + SqlText(nombre), app_.CnSql);
    // No row raises the client's no-current-record error, handled like a failed insert.
    id = runtime::JoinText(rs(0).Value());
    rs.Close();
  } catch (const runtime::VbError& error) {
    app_.Ui().MsgBox("Error intentado grabar la formula\r\nCierre el generador y vuelva a intentarlo");
    // Without a key there is nothing to take back by key.
    if (!id.empty()) {
      try {
        app_.CnSql.Execute("delete SE_CABFORMULA where Id_formCab = " + id);
      } catch (const runtime::VbError&) {
      }
    }
    app_.RegistrarError(error, "Error intentado grabar la formula");
    return Grabacion::kNoGrabada;
  }

  std::string lote = InsertsDeTokens(id);
  for (const std::string& formulario : PartirIds(TxtIdFormulario.Text())) {
    lote += "INSERT INTO SE_FORMULA_ARCHIVO(Id_FormCab, Id_Arc) Values(" + id + ", " + formulario + ")" + kCrLf;
  }
  try {
    sql::ExecuteInTransaction(app_.CnSql, {lote});
  } catch (const runtime::VbError& error) {
    try {
      app_.CnSql.Execute("delete SE_CABFORMULA where Id_formCab = " + id);
    } catch (const runtime::VbError&) {
    }
    app_.RegistrarError(error, "FrmFormulas (Guarda)");
    return Grabacion::kNoGrabada;
  }

  txtIdFoCab.SetText(id);
  return Generar(runtime::CLng(runtime::Val(id)), "Error Grabando la Formula") ? Grabacion::kGrabada
                                                                                : Grabacion::kSinProcedimientos;
}

FrmFormulas::Grabacion FrmFormulas::Modifica() {
  if (formula_.ParentesisAbiertos() != 0) {
    app_.Ui().MsgBox("Deberá Cerrar todos los parentesis");
    return Grabacion::kNoGrabada;
  }
  const int32_t numero = runtime::CLng(runtime::Val(txtIdModificacion.Text()));
  const std::string id = std::to_string(numero);
  const std::string display = txtDisplay.Text();
  std::string lote = "Delete SE_FORMULA_ARCHIVO where Id_FormCab = " + id + kCrLf;
  for (const std::string& formulario : PartirIds(TxtIdFormulario.Text())) {
    lote += "INSERT INTO SE_FORMULA_ARCHIVO(Id_FormCab, Id_Arc) Values(" + id + ", " + runtime::Trim(formulario) +
            ")" + kCrLf;
  }
  lote += "UPDATE SE_CABFORMULA SET FC_Nombre = " + SqlText(runtime::Trim(txtNombre.Text())) +
          ", FC_Formula = " + SqlText(display) + ", FC_Form_Completa = " + SqlText(display) +
          ", FC_CdorVResul = " + std::to_string(formula_.cdor_v_resul) + " WHERE Id_formCab = " + id + kCrLf;
  lote += "DELETE SE_FORMULA where Id_FormCab = " + id + kCrLf;
  lote += InsertsDeTokens(id);
  try {
    sql::ExecuteInTransaction(app_.CnSql, {lote});
  } catch (const runtime::VbError& error) {
    app_.RegistrarError(error, "FrmFormulas (Modifica)");
    return Grabacion::kNoGrabada;
  }
  return Generar(numero, "Error Modificando la Formula") ? Grabacion::kGrabada : Grabacion::kSinProcedimientos;
}

void FrmFormulas::CmdModif_Click() {
  ui::BusyScope ocupada(*this, app_.Ui());
  FrmBFormula& picker = VentanaRegistrada<FrmBFormula>(app_, "FrmBFormula");
  app_.Ui().ShowModal(picker);
  const std::optional<int32_t> eleccion = picker.Eleccion();
  if (picker.Loaded()) app_.Ui().Unload(picker);
  if (!eleccion) return;
  txtIdModificacion.SetText(std::to_string(*eleccion));
  formula_.modo_edicion = 'M';
  CargarFormula(*eleccion);
  HCabFormula(true);
  txtResulVar.SetEnabled(false);
  FrTipo.SetEnabled(false);
  CmdCrear.SetEnabled(false);
  CmdModif.SetEnabled(false);
  TxtFormulario.SetVisible(true);
  CmdAddForm.SetEnabled(true);
  CmdFormula.SetEnabled(true);
  CmdEliForm.SetEnabled(true);
}

void FrmFormulas::CargarFormula(int32_t id) {
  const std::string texto_id = std::to_string(id);
  sql::Recordset& rs = app_.Rs1();
  if (rs.State() == sql::adStateOpen) rs.Close();
  rs.Open(ConsultaCabecera(id), app_.CnSql);
  if (!rs.Eof()) {
    txtNombre.SetText(runtime::JoinText(rs("FC_Nombre").Value()));
    txtResulVar.SetText(runtime::JoinText(rs("FC_NomVar").Value()));
    formula_.SetDisplay(runtime::JoinText(rs("FC_Formula").Value()));
    txtDisplay.SetText(formula_.Display());
    const runtime::Valor contador = rs("FC_CdorVResul").Value();
    formula_.cdor_v_resul = contador.IsNull() ? 0 : runtime::CInt(contador);
    OpcTipo[EstiloDeCodigo(runtime::JoinText(rs("FC_Tipo").Value())) == Estilo::kPorEmpresa ? 0 : 1].SetValue(true);
  }
  rs.Close();

  rs.Open("SELECT * FROM SE_ARCHIVOS SEA INNER JOIN SE_FORMULA_ARCHIVO SEFA ON SEA.Arc_Id = SEFA.Id_Arc  "
          "WHERE Id_FormCab = " + texto_id,
          app_.CnSql);
  std::string nombres, ids;
  for (; !rs.Eof(); rs.MoveNext()) {
    nombres += (nombres.empty() ? "" : ", ") + runtime::JoinText(rs("Arc_Nombre").Value());
    ids += (ids.empty() ? "" : ", ") + runtime::JoinText(rs("Arc_Id").Value());
  }
  rs.Close();
  TxtFormulario.SetText(nombres);
  TxtIdFormulario.SetText(ids);

  std::vector<Token> tokens;
  rs.Open(ConsultaTokens(id), app_.CnSql);
  for (; !rs.Eof(); rs.MoveNext()) {
    tokens.push_back({runtime::JoinText(rs("FM_Dato").Value()), runtime::JoinText(rs("FM_Tipo").Value()),
                      runtime::JoinText(rs("FM_FtTipo").Value()), runtime::JoinText(rs("FM_FtDato").Value())});
  }
  rs.Close();
  const std::string display = formula_.Display();
  formula_.Cargar(tokens);
  formula_.SetDisplay(display);
}

void FrmFormulas::CmdEliForm_Click() {
  ui::BusyScope ocupada(*this, app_.Ui());
  ui::Ui& ui = app_.Ui();
  const std::string texto_id = runtime::Trim(txtIdModificacion.Text());
  if (texto_id.empty()) return;
  const int32_t numero = runtime::CLng(runtime::Val(texto_id));
  const std::string id = std::to_string(numero);
  // A formula is in use when a sequence line names it on either side, or another formula reads
  // its result, for this year or the year before.
  if (HayFilas(app_, "SELECT * FROM SE_SECUENCIA WHERE S_IdFormCab1 = " + id + " and S_TipVar1='F'") ||
      HayFilas(app_, "SELECT * FROM SE_SECUENCIA WHERE S_IdFormCab2 = " + id + " and S_TipVar2='F'")) {
    ui.MsgBox("Existe esta formula generada en una secuencia\r\nNo se Eliminará");
    return;
  }
  const std::string variable = txtResulVar.Text();
  for (const std::string& nombre : {variable, variable + "_1"}) {
    if (HayFilas(app_, "SELECT * FROM SE_FORMULA WHERE (fM_dATO = " + SqlText(nombre) +
                           " and FM_Tipo = 'V') or (Fm_FtTipo = 'Va'  and Fm_FtDato = " + SqlText(nombre) + ")")) {
      ui.MsgBox("Existe esta formula generada en otra Formula\r\nNo se Eliminará");
      return;
    }
  }
  if (ui.MsgBox("Desea Eliminar esta Formula", ui::vbYesNo + ui::vbCritical, "Elimina Formula") != ui::vbYes) {
    return;
  }
  // The three deletes go together: a formula is never left half deleted.
  try {
    sql::ExecuteInTransaction(app_.CnSql, {"DELETE SE_FORMULA WHERE Id_FormCab = " + id + kCrLf +
                                           "DELETE SE_FORMULA_ARCHIVO WHERE Id_FormCab = " + id + kCrLf +
                                           "DELETE SE_CABFORMULA WHERE Id_formCab = " + id});
  } catch (const runtime::VbError& error) {
    ui.MsgBox("Se ha producido un Error al Eliminar la Formula");
    app_.RegistrarError(error, "CmdEliForm_Click (Borrando Formula)");
    return;
  }
  const std::vector<std::string> procedimientos = ProcedimientosDeFormula(numero);
  for (size_t i = 0; i < procedimientos.size(); ++i) {
    try {
      app_.CnSql.Execute(EliminarProcedimiento(procedimientos[i]));
    } catch (const runtime::VbError& error) {
      ui.MsgBox("Se ha producido un Error al Eliminar un Store Procedure de la formula");
      app_.RegistrarError(error, i == 0 ? "CmdEliForm_Click (Borrando Store Procedure)"
                                        : "CmdEliForm_Click (Borrando Store procedure");
    }
  }
  ui.MsgBox("La formula Fue eliminada");
  cmdCancelar_Click();
}

}  // namespace formulas
