// The survey import window: validation, the loop over the DBF files of Datos, the catalogue
// entries of each file, one SE_NOVEDAD row per value, the journal row and the move of the file.
#include "intake/proc_novedades.h"

#include <vector>

#include "core/aplicacion.h"
#include "intake/tipos.h"
#include "platform/runtime/conversions.h"
#include "platform/runtime/dates.h"
#include "platform/runtime/files.h"
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

constexpr char kVentana[] = "Proc_Novedades";
constexpr char kMensajeError[] = "Finalizo el proceso con error, algunos campos no se procesaron";

// "Est_Tamanio" and its two neighbours: the metadata number as text, trimmed, read back.
std::string NumeroDeTexto(long numero) {
  return runtime::CStrDouble(runtime::Val(runtime::Trim(std::to_string(numero))));
}

struct Columna {
  sql::Field campo;
  std::string nombre;
  std::string sufijo;
};

}  // namespace

ValorNovedad ConvertirValor(const std::string& sufijo, const runtime::Valor& valor) {
  ValorNovedad v;
  if (sufijo == "Str") {
    v.texto = runtime::Trim(runtime::JoinText(valor));
  } else if (sufijo == "Int") {
    // ValorInt is a 32-bit column, so every whole number a DBF integer column holds fits.
    if (!valor.IsNull()) v.entero = runtime::CLng(valor);
  } else if (sufijo == "Dbl") {
    if (!valor.IsNull()) v.doble = runtime::CDbl(valor);
  } else if (sufijo == "Dte") {
    v.fecha = runtime::JoinText(valor);
  }
  return v;
}

Proc_Novedades::Proc_Novedades(core::Aplicacion& app)
    : Form(kVentana), app_(app), repintado_(app.Ui()), grabacion_(app) {
  SetCaption("Procesar Novedades");
  SetWidth(kAncho);
  SetHeight(kAlto);
  lblPeriodo.SetCaption("Periodo");
  lblPeriodo.Move(240, 240, 855, 255);
  TxtPeriodo.Move(1200, 200, 975, 315);
  Proceso.SetCaption("Proceso");
  Proceso.SetDefault(true);
  Proceso.Move(1200, 640, 1215, 375);
  LblArchivo.SetCaption("Archivo");
  LblArchivo.Move(240, 1200, 855, 255);
  lblArchivo_1.Move(1200, 1200, 1695, 255);
  lblEmpresa.SetCaption("Empresa");
  lblEmpresa.Move(240, 1560, 855, 255);
  lblEmpresa_1.Move(1200, 1560, 1695, 255);
  LblCampo.SetCaption("Novedad");
  LblCampo.Move(240, 1920, 855, 255);
  LblCampo_1.Move(1200, 1920, 1695, 255);
  lblProceso.SetCaption("Proceso");
  lblProceso.Move(240, 2280, 2655, 255);
  Proceso.Click = [this] { Proceso_Click(); };
}

void Proc_Novedades::Form_Load() { ui::AplicarTamanoFijo(*this, kAncho, kAlto); }

void Proc_Novedades::Form_Resize() { ui::AplicarTamanoFijo(*this, kAncho, kAlto); }

void Proc_Novedades::Proceso_Click() {
  ui::Ui& ui = app_.Ui();
  ui::BusyScope ocupada(*this, ui);
  resultado_ = {};
  const std::string mensaje = internal::ValidarPeriodo(TxtPeriodo.Text());
  if (!mensaje.empty()) {
    resultado_.error = true;
    ui.MsgBox(mensaje);
    TxtPeriodo.SetFocus();
    return;
  }
  const std::string periodo = runtime::Trim(TxtPeriodo.Text());
  repintado_.Comenzar();
  std::string archivo;
  try {
    const std::string patron = app_.Ruta("Datos") + "/*.dbf";
    paso_ = "Buscando dbf en ruta" + patron;
    internal::AbrirCnDbf(app_);
    for (const std::string& nombre : runtime::Dir(patron)) {
      archivo = nombre;
      ProcesarArchivo(archivo, periodo);
    }
  } catch (const runtime::VbError& error) {
    resultado_.error = true;
    grabacion_.Deshacer();
    app_.RegistrarError(error, paso_);
    Cerrar(app_.Rs1());
    Cerrar(app_.Rs2());
    Cerrar(app_.Rs3());
    if (!archivo.empty()) app_.MoverArchivo(archivo, "NoProcesados");
    ui.MsgBox(kMensajeError);
    return;
  }
  lblProceso.SetCaption("Finalizado");
  repintado_.Forzar();
}

void Proc_Novedades::Rechazar(const std::string& archivo, long numero, const std::string& motivo,
                              const std::string& mensaje, bool mover) {
  Cerrar(app_.Rs1());
  lblProceso.SetCaption(motivo);
  // A file outside the naming convention is no survey file and stays; any other is a failure.
  if (mover) {
    resultado_.error = true;
    app_.MoverArchivo(archivo, "NoProcesados");
  }
  app_.RegistrarError(runtime::VbError(numero, kVentana, motivo), paso_);
  app_.Ui().MsgBox(mensaje);
}

void Proc_Novedades::ProcesarArchivo(const std::string& archivo, const std::string& periodo) {
  const std::string base = runtime::Left(archivo, runtime::Len(archivo) - 4);
  const std::string form = runtime::Left(archivo, 6);
  const std::string capitulo = runtime::Len(archivo) >= 8 ? runtime::Mid(archivo, 8, 1) : "";
  const std::string seleccion = "Select * from " + archivo;

  // A chapter that is not a digit would make every statement of the file fail, and a file
  // without "unico" has no company for its values: neither is imported in part. A name outside
  // the convention (Padron.dbf, say) is no survey file: it stays where it is.
  if (capitulo.size() != 1 || capitulo[0] < '0' || capitulo[0] > '9') {
    paso_ = "Verificando el nombre de " + archivo;
    Rechazar(archivo, runtime::kVbInvalidCall,
             "El archivo " + archivo + " no lleva el capitulo en el octavo caracter del nombre",
             "El archivo " + archivo +
                 " no lleva el capitulo en el octavo caracter del nombre. No se proceso",
             false);
    return;
  }
  sql::Recordset& rs_dbf = app_.Rs1();
  Cerrar(rs_dbf);
  try {
    rs_dbf.Open(seleccion, app_.CnDbf);
  } catch (const runtime::VbError& error) {
    paso_ = "Error Tabla " + archivo;
    resultado_.error = true;
    lblProceso.SetCaption(paso_);
    app_.MoverArchivo(archivo, "NoProcesados");
    app_.RegistrarError(error, paso_);
    app_.Ui().MsgBox("No se pudo leer el archivo " + archivo +
                     ". Se movio a la carpeta NoProcesados");
    return;
  }
  app_.RegistrarAvisos(app_.CnDbf, "Abriendo " + archivo);

  const sql::Fields campos = rs_dbf.Fields();
  bool tiene_unico = false;
  for (int i = 0; i < campos.Count(); ++i) {
    if (runtime::LCase(campos.Item(i).Name()) == "unico") tiene_unico = true;
  }
  if (!tiene_unico) {
    paso_ = "Verificando columnas de " + archivo;
    Rechazar(archivo, sql::kAdoItemNotFound, "El archivo " + archivo + " no tiene la columna unico",
             "El archivo " + archivo +
                 " no tiene la columna unico. Se movio a la carpeta NoProcesados",
             true);
    return;
  }

  long arc_id = 0;
  bool catalogado = false;
  // The statement keeps its LIKE, but the name's "_" (ENCUES_1) must not match ENCUES11.
  const std::string busqueda = "SELECT * FROM se_archivos WHERE Arc_Nombre LIKE " +
                               SqlText(runtime::LikeLiteral(base));
  sql::Recordset& rs_sql = app_.Rs2();
  Cerrar(rs_sql);
  rs_sql.Open(busqueda, app_.CnSql);
  if (!Encontrado(rs_sql)) {
    Cerrar(rs_sql);
    const std::string hoy = runtime::ShortDateText(app_.Ui().Now());
    app_.CnSql.Execute("INSERT INTO se_archivos (Arc_Nombre, Arc_Fecha) VALUES(" + SqlText(base) +
                       "," + SqlText(hoy) + ")");
    rs_sql.Open(busqueda, app_.CnSql);
  }
  if (Encontrado(rs_sql)) {
    arc_id = runtime::CLng(rs_sql(0).Value());
    catalogado = true;
  }
  Cerrar(rs_sql);

  if (!catalogado) {
    resultado_.error = true;
    app_.Ui().MsgBox("Error al intentar insertar el archivo");
  } else {
    lblArchivo_1.SetCaption(base);
    paso_ = "Buscando - (" + seleccion + ") ";
    if (Encontrado(rs_dbf)) {
      RegistrarColumnas(arc_id);
      GuardarValores(arc_id, form, capitulo, periodo);
    }
  }
  RegistrarJournal(arc_id, form, capitulo, periodo);
  Cerrar(rs_dbf);
  app_.MoverArchivo(archivo, "Procesados");
  ++resultado_.archivos;
}

void Proc_Novedades::RegistrarColumnas(long arc_id) {
  const sql::Fields campos = app_.Rs1().Fields();
  const std::string hoy = runtime::ShortDateText(app_.Ui().Now());
  sql::Recordset& rs = app_.Rs3();
  for (int i = 0; i < campos.Count(); ++i) {
    const sql::Field campo = campos.Item(i);
    grabacion_.Comenzar();
    Cerrar(rs);
    rs.Open("Select * From se_Estructuras where Est_IdArchivo = " + std::to_string(arc_id) +
                " and Est_Campo = " + SqlText(campo.Name()),
            app_.CnSql2);
    const bool existe = Encontrado(rs);
    Cerrar(rs);
    if (existe) {
      grabacion_.Deshacer();
      continue;
    }
    const std::string sentencia =
        "INSERT INTO SE_ESTRUCTURAS (Est_IdArchivo, Est_Campo, Est_Tipo, Est_Tamanio, "
        "Est_Precision, Est_Escala, Est_Fecha) Values(" +
        std::to_string(arc_id) + "," + SqlText(campo.Name()) + "," +
        SqlText(NombreTipo(campo.Type())) + "," + NumeroDeTexto(campo.DefinedSize()) + "," +
        NumeroDeTexto(campo.Precision()) + "," + NumeroDeTexto(campo.NumericScale()) + "," +
        SqlText(hoy) + ")";
    if (!grabacion_.Enviar(sentencia, sentencia)) resultado_.error = true;
  }
}

void Proc_Novedades::GuardarValores(long arc_id, const std::string& form,
                                    const std::string& capitulo, const std::string& periodo) {
  sql::Recordset& rs_dbf = app_.Rs1();
  const sql::Fields campos = rs_dbf.Fields();
  const sql::Field unico = campos.Item("unico");
  // Every column is a value but the company code, found by its name wherever it stands.
  std::vector<Columna> columnas;
  for (int i = 0; i < campos.Count(); ++i) {
    const sql::Field campo = campos.Item(i);
    if (campo.Name().empty() || runtime::LCase(campo.Name()) == "unico") continue;
    columnas.push_back({campo, campo.Name(), SufijoTipo(campo.Type())});
  }
  // The parts of the statements that stay the same for the whole file.
  const std::string arc = std::to_string(arc_id);
  const std::string cabeza_insert =
      "INSERT INTO SE_NOVEDAD (Arc_Id, FormSector, Capitulo, Empresa, Periodo, Campo, Tipo, "
      "ValorStr, ValorInt, ValorDbl, ValorDte) Values(" +
      arc + "," + SqlText(form) + ", " + capitulo + ", ";

  sql::Recordset& rs = app_.Rs2();
  rs_dbf.MoveFirst();
  for (; !rs_dbf.Eof(); rs_dbf.MoveNext()) {
    const std::string empresa = runtime::JoinText(unico.Value());
    const std::string empresa_sql = SqlText(empresa);
    for (const Columna& columna : columnas) {
      LblCampo_1.SetCaption(columna.nombre);
      lblEmpresa_1.SetCaption(empresa);
      repintado_.Pedir();
      paso_ = "Armando Transaccion";
      grabacion_.Comenzar();

      const runtime::Valor valor = columna.campo.Value();
      ValorNovedad v;
      try {
        v = ConvertirValor(columna.sufijo, valor);
      } catch (const runtime::VbError& error) {
        // A value its column cannot hold is lost alone, as a value the server refuses is.
        grabacion_.Deshacer();
        ++resultado_.filas_rechazadas;
        app_.RegistrarError(error, paso_ + " - Empresa " + empresa + ", " + columna.nombre +
                                       " '" + runtime::JoinText(valor) + "'");
        continue;
      }

      const std::string campo_sql = SqlText(columna.nombre);
      Cerrar(rs);
      rs.Open("Select IdNovedad From se_novedad Where Empresa = " + empresa_sql +
                  " And Periodo = " + periodo + " And Campo = " + campo_sql,
              app_.CnSql);
      std::string sentencia;
      if (!Encontrado(rs)) {
        lblProceso.SetCaption("Insertando...");
        sentencia = cabeza_insert + empresa_sql + ", " + periodo + ", " + campo_sql + ", " +
                    SqlText(columna.sufijo) + ", " + SqlText(v.texto.empty() ? "Null" : v.texto) +
                    ", " + std::to_string(v.entero) + ", " + runtime::CStrDouble(v.doble) + ", " +
                    SqlText(v.fecha == "00:00:00" ? "" : v.fecha) + ")";
      } else {
        lblProceso.SetCaption("Actualizando...");
        sentencia = "UPDATE SE_NOVEDAD Set ValorInt  = " + std::to_string(v.entero) +
                    ", ValorDbl = " + runtime::CStrDouble(v.doble) +
                    " Where IdNovedad = " + runtime::CStr(rs(0).Value());
      }
      Cerrar(rs);
      ++(grabacion_.Enviar(sentencia, sentencia) ? resultado_.filas_grabadas
                                                 : resultado_.filas_rechazadas);
    }
  }
}

void Proc_Novedades::RegistrarJournal(long arc_id, const std::string& form,
                                      const std::string& capitulo, const std::string& periodo) {
  const std::string sentencia =
      "Insert into SE_COMM_PROCESO (Id_FC, Formulario, Capitulo, Periodo, Fecha, Tipo, "
      "Contenido) Values(" +
      std::to_string(arc_id) + ", " + SqlText(form) + ", " + capitulo + ", " + periodo +
      ", getdate(), 'Novedad', '')";
  if (!grabacion_.Enviar(sentencia, sentencia + "\r\nNo se ha registrado en el panel de comando")) {
    resultado_.error = true;
  }
}

}  // namespace intake
