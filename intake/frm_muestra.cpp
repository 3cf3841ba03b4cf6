// The sample import: reads the first worksheet of Datos/Muestras.xls, checks its columns, and
// writes each row into SE_MUESTRA_PADRON (UPDATE of the sample columns when the company has a row
// for that year, INSERT otherwise), one transaction per row; then the journal row and the move.
#include "intake/frm_muestra.h"

#include <cstdint>
#include <vector>

#include "core/aplicacion.h"
#include "platform/runtime/conversions.h"
#include "platform/runtime/text.h"
#include "platform/runtime/vb_error.h"
#include "platform/sheet/xls_reader.h"
#include "platform/sql/client.h"
#include "platform/ui/busy_scope.h"
#include "platform/ui/ui.h"

namespace intake {

namespace {

using internal::Cerrar;
using internal::Encontrado;

constexpr const char* kPlanilla = "Muestras.xls";
constexpr const char* kFuente = "FrmMuestra";
constexpr const char* kErrorDeDatos = "Ha Finalizado el proceso por existir un error en los Datos";

// Positions in kColumnasMuestra.
enum Columna { kCuit, kUnico, kForm, kPeriodo, kPi, kPi1, kEmpCba, kMues, kAuto, kAuto1, kDom };
constexpr int kCantidadColumnas = static_cast<int>(kColumnasMuestra.size());

struct FilaMuestra {
  double cuit = 0;
  std::string unico;
  std::string form;
  int32_t periodo = 0;
  double pi = 0;
  double pi_1 = 0;
  int32_t emp_cba = 0;
  int32_t mues = 0;
  int32_t auto_0 = 0;
  int32_t auto_1 = 0;
  int32_t dom = 0;
};

// CUIT is read with errors suspended: a missing column, an empty cell or a cell that is no
// number gives 0.
double LeerCuit(const runtime::Valor& valor) {
  if (valor.IsNull()) return 0;
  try {
    return runtime::CDbl(valor);
  } catch (const runtime::VbError&) {
    return 0;
  }
}

// The sheets come from a desktop that writes decimals with a comma: a cell holding the text
// "0,75" means 0.75, not 75 with a thousands separator.
double LeerDecimal(const runtime::Valor& valor) {
  if (valor.IsNull()) return 0;
  if (valor.Type() == runtime::VarType::kString) {
    return runtime::CDbl(runtime::Valor::String(runtime::Replace(valor.AsString(), ",", ".")));
  }
  return runtime::CDbl(valor);
}

int32_t LeerEntero(const runtime::Valor& valor) {
  return valor.IsNull() ? 0 : runtime::CLng(valor);
}

std::string Numero(double valor) { return runtime::CStrDouble(valor); }
std::string Numero(int32_t valor) { return std::to_string(valor); }

// Reads one sheet row; throws runtime::VbError as the conversions do (a Null period or form,
// text where a whole number belongs). `indices` holds each column's position in the sheet, -1
// for a CUIT column the sheet lacks.
FilaMuestra LeerFila(const std::vector<runtime::Valor>& celdas, const int (&indices)[kCantidadColumnas]) {
  static const runtime::Valor kNulo = runtime::Valor::Null();
  auto celda = [&](Columna c) -> const runtime::Valor& {
    return indices[c] < 0 ? kNulo : celdas[indices[c]];
  };
  FilaMuestra fila;
  fila.cuit = LeerCuit(celda(kCuit));
  fila.unico = celda(kUnico).IsNull() ? std::string() : runtime::CStr(celda(kUnico));
  fila.form = runtime::CStr(celda(kForm));
  fila.periodo = runtime::CLng(celda(kPeriodo));
  fila.pi = LeerDecimal(celda(kPi));
  fila.pi_1 = LeerDecimal(celda(kPi1));
  fila.emp_cba = LeerEntero(celda(kEmpCba));
  fila.mues = LeerEntero(celda(kMues));
  fila.auto_0 = LeerEntero(celda(kAuto));
  fila.auto_1 = LeerEntero(celda(kAuto1));
  fila.dom = LeerEntero(celda(kDom));
  return fila;
}

std::string SentenciaUpdate(const FilaMuestra& f) {
  return "Update SE_MUESTRA_PADRON Set CUIT=" + Numero(f.cuit) + ",EmpCba=" + Numero(f.emp_cba) +
         ", auto_0=" + Numero(f.auto_0) + ", Mues=" + Numero(f.mues) +
         ", FormSector=" + runtime::SqlText(f.form) + ", domi=" + Numero(f.dom) +
         ",auto_1=" + Numero(f.auto_1) + ", PI=" + Numero(f.pi) + ", PI_1=" + Numero(f.pi_1) +
         " Where Unico=" + runtime::SqlText(f.unico) + " And Periodo = " + Numero(f.periodo);
}

std::string SentenciaInsert(const FilaMuestra& f) {
  return "insert into SE_MUESTRA_PADRON (CUIT, EmpCba, FormSector, Periodo, auto_0, Mues, unico, "
         "domi, auto_1, PI, PI_1) Values(" +
         Numero(f.cuit) + "," + Numero(f.emp_cba) + ", " + runtime::SqlText(f.form) + ", " +
         Numero(f.periodo) + ", " + Numero(f.auto_0) + ", " + Numero(f.mues) + ", " +
         runtime::SqlText(f.unico) + ", " + Numero(f.dom) + ", " + Numero(f.auto_1) + ", " +
         Numero(f.pi) + ", " + Numero(f.pi_1) + ")";
}

}  // namespace

FrmMuestra::FrmMuestra(core::Aplicacion& app)
    : Form("FrmMuestra"), app_(app), repintado_(app.Ui()), grabacion_(app) {
  SetCaption("Procesa Muestra");
  SetWidth(kAncho);
  SetHeight(kAlto);
  Command1.SetCaption("Procesar");
  Command1.SetDefault(true);
  Command1.Move(840, 1320, 1215, 375);
  Command1.Click = [this] { Command1_Click(); };
  LblMsg.Move(120, 120, 2655, 495);
  lblEmpresa.SetCaption("Unico");
  lblEmpresa.Move(120, 780, 735, 255);
  lblEmpresa_1.Move(900, 780, 1875, 255);
}

void FrmMuestra::Form_Load() { ui::AplicarTamanoFijo(*this, kAncho, kAlto); }

void FrmMuestra::Form_Resize() { ui::AplicarTamanoFijo(*this, kAncho, kAlto); }

void FrmMuestra::Mostrar(const std::string& texto) {
  LblMsg.SetCaption(texto);
  repintado_.Pedir();
}

void FrmMuestra::Command1_Click() {
  ui::Ui& ui = app_.Ui();
  ui::BusyScope ocupada(*this, ui);
  resultado_ = {};
  repintado_.Comenzar();

  Mostrar("Verifica Existencia de la Planilla Excel");
  const std::string ruta = app_.Ruta("Datos") + "/" + kPlanilla;
  if (!app_.ExisteArchivo(ruta)) {
    resultado_.error = true;
    ui.MsgBox("No se encuentra el Archivo Muestra.xls en la Carpeta Datos");
    return;
  }

  // A sheet that cannot be read stays in Datos, as a failed connection to it did.
  Mostrar("Cargando Datos a un Cursor");
  sheet::SheetTable tabla;
  try {
    tabla = sheet::ReadFirstWorksheet(ruta);
  } catch (const runtime::VbError& error) {
    resultado_.error = true;
    app_.RegistrarError(error, LblMsg.Caption());
    Mostrar("Error de Conexion");
    return;
  }

  std::string paso = "Verificando columnas de " + std::string(kPlanilla);
  sql::Recordset& rs1 = app_.Rs1();
  auto fallar = [&](const runtime::VbError& error, const std::string& detalle) {
    resultado_.error = true;
    grabacion_.Deshacer();
    app_.RegistrarError(error, paso);
    Cerrar(rs1);
    Mostrar("Error de Proceso");
    app_.MoverArchivo(kPlanilla, "NoProcesados");
    ui.MsgBox(detalle.empty() ? std::string(kErrorDeDatos) : kErrorDeDatos + ("\r\n" + detalle));
  };

  int indices[kCantidadColumnas];
  for (int c = 0; c < kCantidadColumnas; ++c) {
    indices[c] = tabla.ColumnIndex(kColumnasMuestra[c]);
    if (indices[c] < 0 && c != kCuit) {
      const std::string falta = "Falta la columna " + std::string(kColumnasMuestra[c]) + " en " + kPlanilla;
      fallar(runtime::VbError(sql::kAdoItemNotFound, kFuente, falta), falta);
      return;
    }
  }

  Mostrar("Procesando ...");
  paso = LblMsg.Caption();
  FilaMuestra ultima;
  bool hubo_filas = false;
  int numero = 0;
  try {
    for (const auto& celdas : tabla.rows) {
      ++numero;
      const FilaMuestra fila = LeerFila(celdas, indices);
      ultima = fila;
      hubo_filas = true;
      if (runtime::Trim(fila.unico).empty()) {
        ++resultado_.filas_rechazadas;
        app_.RegistrarError(
            runtime::VbError(runtime::kVbInvalidUseOfNull, kFuente,
                             "Registro " + std::to_string(numero) + " de " + kPlanilla +
                                 " sin Unico: no se graba"),
            paso);
        continue;
      }

      paso = "Ejecutando - Select * From Muestra_Padron where Unico = '" + fila.unico + "'";
      Cerrar(rs1);
      rs1.Open("Select * From Se_Muestra_Padron where Unico = " + runtime::SqlText(fila.unico) +
                   " And Periodo=" + Numero(fila.periodo),
               app_.CnSql);
      std::string sentencia;
      if (Encontrado(rs1)) {
        sentencia = SentenciaUpdate(fila);
        Mostrar("Actualizando - Registro Existente");
      } else {
        paso = "Armando -  insert into SE_MUESTRA_PADRON";
        sentencia = SentenciaInsert(fila);
      }

      paso = "Ejecutando - " + sentencia;
      ++(grabacion_.Enviar(sentencia, sentencia) ? resultado_.filas_grabadas
                                                 : resultado_.filas_rechazadas);

      lblEmpresa_1.SetCaption(fila.unico);
      repintado_.Pedir();
      Cerrar(rs1);
    }
  } catch (const runtime::VbError& error) {
    fallar(error, "");
    return;
  }

  if (hubo_filas) {
    try {
      app_.CnSql.Execute(
          "Insert into SE_COMM_PROCESO (Id_FC, Formulario, Periodo, Fecha, Tipo, Contenido) "
          "Values(Null, " +
          runtime::SqlText(ultima.form) + ", " + Numero(ultima.periodo) +
          ", getdate(), 'Muestra', '')");
    } catch (const runtime::VbError&) {
      // A journal row that cannot be written does not undo the import.
    }
    app_.MoverArchivo(kPlanilla, "Procesados");
    ++resultado_.archivos;
  }

  LblMsg.SetCaption("Fin Proceso");
  repintado_.Forzar();
  app_.LiberarRs1();
}

}  // namespace intake
