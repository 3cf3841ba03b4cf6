// The company roll import: period and file checks, one batch per company (its row of the year
// and of the year before, each an UPDATE when present, else an INSERT), the journal row and the
// move of Padron.dbf.
#include "intake/frm_padron.h"


#include "core/aplicacion.h"
#include "platform/runtime/conversions.h"
#include "platform/runtime/dates.h"
#include "platform/runtime/text.h"
#include "platform/runtime/vb_error.h"
#include "platform/sql/client.h"
#include "platform/ui/busy_scope.h"
#include "platform/ui/ui.h"

namespace intake {
namespace {

using internal::Cerrar;
using internal::Encontrado;
using runtime::SqlText;
using runtime::Valor;

constexpr char kVentana[] = "FrmPadron";
constexpr char kArchivo[] = "Padron.dbf";



// A number "as read": NULL is 0.
std::string Numero(const Valor& valor) { return valor.IsNull() ? "0" : runtime::CStr(valor); }

// "auto" and "wf": Null, or the text with a decimal comma made a point. The text goes into the
// statement bare, so anything but a plain decimal number (a blank, a word) is sent as Null.
std::string Decimal(const Valor& valor) {
  if (valor.IsNull()) return "Null";
  const std::string texto = runtime::Trim(runtime::Replace(runtime::CStr(valor), ",", "."));
  size_t i = (!texto.empty() && (texto[0] == '-' || texto[0] == '+')) ? 1 : 0;
  int digitos = 0, puntos = 0;
  for (; i < texto.size(); ++i) {
    if (texto[i] >= '0' && texto[i] <= '9') {
      ++digitos;
    } else if (texto[i] != '.' || ++puntos > 1) {
      return "Null";
    }
  }
  return digitos > 0 ? texto : "Null";
}

// The cut-off date: a value only when it is a date other than the bare "00:00:00".
std::string FechaCorte(const Valor& valor) {
  std::string texto;
  if (valor.Type() == runtime::VarType::kDate) {
    texto = runtime::CStr(valor);
  } else if (valor.Type() == runtime::VarType::kString &&
             runtime::ParseDateText(valor.AsString())) {
    texto = valor.AsString();
  } else {
    return "";
  }
  return texto == "00:00:00" ? "" : texto;
}

// A value of a record that its conversion refuses (a CUIT without digits, a domi beyond 16
// bits): that company is skipped, the rest of the roll goes in.
class ValorIlegible : public runtime::VbError {
 public:
  ValorIlegible(const runtime::VbError& error, std::string columna, std::string texto)
      : VbError(error), columna(std::move(columna)), texto(std::move(texto)) {}
  std::string columna;
  std::string texto;
};

// The value of `columna` converted by `conversion`; a conversion error becomes ValorIlegible.
// Errors of the reading itself (a broken file) pass unchanged.
template <typename Conversion>
auto Convertir(const sql::Recordset& rs, const char* columna, Conversion conversion) {
  const Valor valor = rs(columna).Value();
  try {
    return conversion(valor);
  } catch (const runtime::VbError& error) {
    throw ValorIlegible(error, columna, runtime::JoinText(valor));
  }
}

// One record of the roll, as the statements use it: numbers already as SQL text, texts raw.
struct Registro {
  std::string unico, razon, form_sector, novedad, novedad_1, descripcio, descripc_1;
  std::string num_for, num_for_1, comple, com_desc, obsevacion, obsevac_1, corte;
  std::string cuit, estado, estado_1, caja, caja_1, domi, muestra;
  std::string auto_, wf, fecha_ac, corte_fecha;  // auto_, wf, fecha_ac: "Null" or SQL text
};

Registro Leer(const sql::Recordset& rs) {
  auto valor = [&rs](const char* columna) { return rs(columna).Value(); };
  auto texto = [&](const char* columna) { return runtime::JoinText(valor(columna)); };
  Registro r;
  r.unico = texto("Unico");
  r.cuit = runtime::CStrDouble(
      Convertir(rs, "Cuit", [](const Valor& v) { return SoloNumeros(runtime::JoinText(v)); }));
  r.razon = texto("Razon");
  r.form_sector = runtime::Trim(texto("FORM")) + runtime::Trim(texto("NumFor"));
  r.novedad = texto("Novedad");
  r.novedad_1 = texto("Novedad_1");
  r.estado = Numero(valor("Estado"));
  r.estado_1 = Numero(valor("Estado_1"));
  r.descripcio = texto("Descripcio");
  r.descripc_1 = texto("Descripc_1");
  r.caja = Numero(valor("Caja"));
  r.caja_1 = std::to_string(Convertir(
      rs, "Caja_1", [](const Valor& v) { return v.IsNull() ? 0 : runtime::CLng(v); }));
  r.num_for = texto("NumFor");
  r.num_for_1 = texto("NumFor_1");
  r.domi = std::to_string(
      Convertir(rs, "domi", [](const Valor& v) { return v.IsNull() ? 0 : runtime::CInt(v); }));
  r.comple = texto("Comple");
  r.com_desc = texto("Com_Desc");
  r.muestra = runtime::CStrDouble(Convertir(
      rs, "Muestra", [](const Valor& v) { return v.IsNull() ? 0.0 : runtime::CDbl(v); }));
  r.obsevacion = texto("Obsevacion");
  r.obsevac_1 = texto("Obsevac_1");
  r.corte = texto("Corte");
  r.auto_ = Decimal(valor("auto"));
  r.wf = Decimal(valor("wf"));
  // A blank date column reads as day zero, whose text is a bare time: no date, so Null.
  const Valor fecha_ac = valor("fecha_ac");
  const std::string texto_fecha_ac = fecha_ac.IsNull() ? "" : runtime::Trim(runtime::CStr(fecha_ac));
  r.fecha_ac = texto_fecha_ac.empty() || texto_fecha_ac == "00:00:00" ? "Null" : SqlText(texto_fecha_ac);
  r.corte_fecha = FechaCorte(valor("cote_fech"));
  return r;
}

std::string InsertActual(const Registro& r, const std::string& p) {
  return "insert into SE_MUESTRA_PADRON (CUIT, FormSector, Periodo, Domi, Muestra, unico, razon, "
         "auto, wf, Novedad, Novedad_1, Estado, Estado_1, Descripcion_Estado, "
         "Descripcion_Estado_1, Caja, Caja_1, NumFor, NumFor_1, fecha_ac, Comple, Com_desc, "
         "Observaciones, Observaciones_1, Corte, Corte_Fecha) Values(" +
         r.cuit + " ," + SqlText(r.form_sector) + ", " + p + ", " + r.domi + ", " + r.muestra +
         ", " + SqlText(r.unico) + "," + SqlText(r.razon) + "," + r.auto_ + "," + r.wf + "," +
         SqlText(r.novedad) + "," + SqlText(r.novedad_1) + "," + r.estado + ", " + r.estado_1 +
         "," + SqlText(r.descripcio) + "," + SqlText(r.descripc_1) + "," + r.caja + "," +
         r.caja_1 + "," + SqlText(r.num_for) + "," + SqlText(r.num_for_1) + "," + r.fecha_ac +
         "," + SqlText(r.comple) + "," + SqlText(r.com_desc) + "," + SqlText(r.obsevacion) +
         "," + SqlText(r.obsevac_1) + "," + SqlText(r.corte) + "," +
         (r.corte_fecha.empty() ? "Null" : SqlText(r.corte_fecha)) + ")";
}

std::string UpdateActual(const Registro& r, const std::string& p) {
  return "Update SE_MUESTRA_PADRON Set Muestra=" + r.muestra + ",Razon=" + SqlText(r.razon) +
         ", FormSector=" + SqlText(r.form_sector) + ", " +
         (r.auto_ == "Null" ? "auto=Null" : "auto =" + r.auto_) + ", domi=" + r.domi + ", " +
         (r.wf == "Null" ? "wf=Null" : "wf =" + r.wf) + ", Novedad=" + SqlText(r.novedad) +
         ",Novedad_1=" + SqlText(r.novedad_1) + ",Estado=" + r.estado +
         ", Estado_1=" + r.estado_1 + ", Descripcion_Estado=" + SqlText(r.descripcio) +
         ", Descripcion_Estado_1=" + SqlText(r.descripc_1) + ", Caja=" + r.caja +
         ", Caja_1=" + r.caja_1 + ", NumFor=" + SqlText(r.num_for) +
         ", NumFor_1=" + SqlText(r.num_for_1) + ", fecha_ac=" + r.fecha_ac +
         ", Comple=" + SqlText(r.comple) + ", Com_desc=" + SqlText(r.com_desc) +
         ", Observaciones=" + SqlText(r.obsevacion) +
         ", Observaciones_1=" + SqlText(r.obsevac_1) + ", Corte=" + SqlText(r.corte) + ", " +
         (r.corte_fecha.empty() ? "Corte_Fecha=Null " : "Corte_Fecha=" + SqlText(r.corte_fecha) + " ") +
         " Where Unico=" + SqlText(r.unico) + " and Periodo= " + p;
}

std::string InsertAnterior(const Registro& r, const std::string& p1) {
  return "INSERT INTO SE_MUESTRA_PADRON (Cuit, FormSector, Periodo, Unico, Razon, Novedad, "
         "Estado, Descripcion_Estado, Caja, NumFor, Observaciones) Values(" +
         r.cuit + " ," + SqlText(r.form_sector) + ", " + p1 + ", " + SqlText(r.unico) + "," +
         SqlText(r.razon) + "," + SqlText(r.novedad_1) + "," + r.estado_1 + "," +
         SqlText(r.descripc_1) + "," + r.caja_1 + "," + SqlText(r.num_for_1) + "," +
         SqlText(r.obsevac_1) + ")";
}

std::string UpdateAnterior(const Registro& r, const std::string& p1) {
  return "Update SE_MUESTRA_PADRON Set Razon=" + SqlText(r.razon) +
         ", FormSector=" + SqlText(r.form_sector) + ", Novedad=" + SqlText(r.novedad_1) +
         ",Estado=" + r.estado_1 + ", Descripcion_Estado=" + SqlText(r.descripc_1) +
         ", Caja=" + r.caja_1 + ", NumFor=" + SqlText(r.num_for_1) +
         ", Observaciones=" + SqlText(r.obsevac_1) + " Where Unico=" + SqlText(r.unico) +
         " and Periodo= " + p1;
}

}  // namespace

double SoloNumeros(const std::string& texto) {
  std::string digitos;
  for (char c : texto) {
    if (c >= '0' && c <= '9') digitos += c;
  }
  if (digitos.empty()) runtime::RaiseVbError(runtime::kVbTypeMismatch);
  return runtime::Val(digitos);
}

FrmPadron::FrmPadron(core::Aplicacion& app)
    : Form(kVentana), app_(app), repintado_(app.Ui()), grabacion_(app) {
  SetCaption("Procesa Padron");
  SetWidth(kAncho);
  SetHeight(kAlto);
  lblPeriodo.SetCaption("Periodo");
  lblPeriodo.Move(240, 240, 855, 255);
  TxtPeriodo.Move(1200, 200, 975, 315);
  Command1.SetCaption("Procesar");
  Command1.SetDefault(true);
  Command1.Move(1200, 640, 1215, 375);
  LblMsg.Move(240, 1140, 2535, 255);
  lblEmpresa.SetCaption("Unico");
  lblEmpresa.Move(240, 1500, 855, 255);
  lblEmpresa_1.Move(1200, 1500, 1575, 255);
  Command1.Click = [this] { Command1_Click(); };
}

void FrmPadron::Form_Load() { ui::AplicarTamanoFijo(*this, kAncho, kAlto); }

void FrmPadron::Form_Resize() { ui::AplicarTamanoFijo(*this, kAncho, kAlto); }

void FrmPadron::Command1_Click() {
  ui::Ui& ui = app_.Ui();
  ui::BusyScope ocupada(*this, ui);
  resultado_ = {};
  LblMsg.SetCaption("Verifica Periodo");
  const std::string mensaje = internal::ValidarPeriodo(TxtPeriodo.Text());
  if (!mensaje.empty()) {
    resultado_.error = true;
    ui.MsgBox(mensaje);
    TxtPeriodo.SetFocus();
    return;
  }
  LblMsg.SetCaption("Verifica Existencia de la Tabla");
  if (!app_.ExisteArchivo(app_.Ruta(std::string("Datos/") + kArchivo))) {
    resultado_.error = true;
    ui.MsgBox("No se encuentra el Archivo Padron.dbf en la Carpeta Datos");
    return;
  }
  repintado_.Comenzar();
  paso_ = "Abriendo " + std::string(kArchivo);
  try {
    Importar(runtime::Trim(TxtPeriodo.Text()));
  } catch (const runtime::VbError& error) {
    grabacion_.Deshacer();
    Abortar(core::TextoError(error, paso_));
  }
}

void FrmPadron::Abortar(const std::string& entrada) {
  resultado_.error = true;
  app_.GrabarError(entrada, app_.NroArchivoErr);
  LblMsg.SetCaption("Error de Proceso");
  Cerrar(app_.Rs1());
  Cerrar(app_.Rs2());
  app_.LiberarRs1();
  if (app_.CnDbf.State() == sql::adStateOpen) app_.CnDbf.Close();
  app_.MoverArchivo(kArchivo, "NoProcesados");
  app_.Ui().MsgBox("Ha Finalizado el proceso por existir un error en los Datos");
}

std::vector<dbf::DbfField> CamposPadron() {
  return {{"Unico", 'C', 25},      {"Cuit", 'C', 13},       {"Razon", 'C', 30},
          {"FORM", 'C', 4},        {"NumFor", 'C', 2},      {"Novedad", 'C', 10},
          {"Novedad_1", 'C', 10},  {"Estado", 'N', 2},      {"Estado_1", 'N', 2},
          {"Descripcio", 'C', 20}, {"Descripc_1", 'C', 20}, {"Caja", 'N', 4},
          {"Caja_1", 'N', 4},      {"NumFor_1", 'C', 2},    {"domi", 'N', 3},
          {"Comple", 'C', 2},      {"Com_Desc", 'C', 10},   {"Muestra", 'N', 6, 2},
          {"Obsevacion", 'C', 20}, {"Obsevac_1", 'C', 20},  {"Corte", 'C', 1},
          {"auto", 'C', 6},        {"wf", 'N', 6, 2},       {"fecha_ac", 'D'},
          {"cote_fech", 'D'}};
}

void FrmPadron::Importar(const std::string& periodo) {
  internal::AbrirCnDbf(app_);
  sql::Recordset& rs_dbf = app_.Rs1();
  Cerrar(rs_dbf);
  rs_dbf.Open(std::string("Select * From ") + kArchivo, app_.CnDbf);
  app_.RegistrarAvisos(app_.CnDbf, paso_);

  // A roll without a column the statements need is refused whole, before any company is written.
  std::string faltan;
  for (const dbf::DbfField& campo : CamposPadron()) {
    try {
      rs_dbf.Fields().Item(campo.name);
    } catch (const runtime::VbError&) {
      faltan += (faltan.empty() ? "" : ", ") + campo.name;
    }
  }
  if (!faltan.empty()) {
    const runtime::VbError error(sql::kAdoItemNotFound, kVentana,
                                 "Faltan columnas en " + std::string(kArchivo) + ": " + faltan);
    Abortar(core::TextoError(error, paso_));
    return;
  }

  const std::string periodo_anterior = runtime::CStrDouble(runtime::Val(periodo) - 1);
  sql::Recordset& rs = app_.Rs2();
  const bool hay_filas = !(rs_dbf.Eof() && rs_dbf.Bof());
  for (; !rs_dbf.Eof(); rs_dbf.MoveNext()) {
    LblMsg.SetCaption("Procesando ...");
    paso_ = "Leyendo " + std::string(kArchivo);
    Registro r;
    try {
      r = Leer(rs_dbf);
    } catch (const ValorIlegible& ilegible) {
      ++resultado_.filas_rechazadas;
      app_.RegistrarError(ilegible, paso_ + " - Empresa " +
                                        runtime::JoinText(rs_dbf("Unico").Value()) + ", " +
                                        ilegible.columna + " '" + ilegible.texto + "'");
      continue;
    }

    Cerrar(rs);
    rs.Open("Select * From SE_MUESTRA_PADRON where Periodo = " + periodo +
                " and Unico=" + SqlText(r.unico),
            app_.CnSql);
    std::string lote;
    if (Encontrado(rs)) {
      paso_ = "Actualizando - Registro Existente";
      LblMsg.SetCaption(paso_);
      lote = UpdateActual(r, periodo);
    } else {
      paso_ = "Armando -  insert into SE_MUESTRA_PADRON";
      lote = InsertActual(r, periodo);
      LblMsg.SetCaption("Insert - Nuevo Dato");
    }
    paso_ = "Ejecutando - " + lote;
    Cerrar(rs);
    rs.Open("Select * From SE_MUESTRA_PADRON where Periodo = " + periodo_anterior +
                " and Unico=" + SqlText(r.unico),
            app_.CnSql);
    lote += "\r\n" + (Encontrado(rs) ? UpdateAnterior(r, periodo_anterior)
                                     : InsertAnterior(r, periodo_anterior));
    Cerrar(rs);

    ++(grabacion_.Enviar(lote, lote) ? resultado_.filas_grabadas : resultado_.filas_rechazadas);
    lblEmpresa_1.SetCaption(r.unico);
    repintado_.Pedir();
  }

  if (hay_filas) {
    const std::string diario =
        "Insert into SE_COMM_PROCESO (Id_FC, Formulario, Periodo, Fecha, Tipo, Contenido) "
        "Values(Null, '', " + periodo + ", getdate(), 'Padron', '')";
    try {
      app_.CnSql.Execute(diario);
    } catch (const runtime::VbError& error) {
      // Not a reason to stop the import, but never lost without a trace.
      resultado_.error = true;
      app_.RegistrarError(error, diario + "\r\nNo se ha registrado en el panel de comando");
    }
  }

  paso_ = "Cerrando DBF";
  Cerrar(rs_dbf);
  app_.LiberarRs1();
  app_.CnDbf.Close();
  app_.MoverArchivo(kArchivo, "Procesados");
  ++resultado_.archivos;
  LblMsg.SetCaption("Fin Proceso");
  repintado_.Forzar();
}

}  // namespace intake
