// The structure catalogue window: the file list, the column grid and the modify/add/save/cancel
// buttons over SE_ESTRUCTURAS.
#include "intake/proc_carga_nov.h"

#include <optional>
#include <utility>

#include "core/aplicacion.h"
#include "intake/internal/comun.h"
#include "platform/runtime/conversions.h"
#include "platform/runtime/dates.h"
#include "platform/runtime/identifiers.h"
#include "platform/runtime/text.h"
#include "platform/runtime/vb_error.h"
#include "platform/sql/client.h"
#include "platform/ui/busy_scope.h"
#include "platform/ui/ui.h"

namespace intake {
namespace {

using internal::Cerrar;
using runtime::SqlText;

// The leading number of a typed text, as the statements write it (0 when there is none).
std::string Numero(const std::string& texto) {
  return runtime::CStrDouble(runtime::Val(runtime::Trim(texto)));
}

constexpr const char* kTitulos[] = {"Campo",   "Tipo",      "Descripcion", "Codigo",
                                    "Tamanio", "Precision", "Escala",      "Id_Estructura"};

constexpr int kBotonesConsulta = 4680;
constexpr int kBotonesAgregar = 5400;

}  // namespace

Proc_CargaNov::Proc_CargaNov(core::Aplicacion& app) : Form("Proc_CargaNov"), app_(app) {
  SetCaption("Carga de Novedades");
  SetWidth(kAncho);
  SetHeight(kAltoConsulta);
  lblForm.SetCaption("Formulario");
  lblForm.Move(120, 120, 1215, 255);
  LstForm.Move(120, 360, 2535, 4155);
  Label1.SetCaption("Campos");
  Label1.Move(2760, 120, 1215, 255);
  MFGField.Move(2760, 360, 7215, 2295);
  LblCampo.SetCaption("Campo");
  LblCampo.Move(2760, 2760, 1000, 255);
  TxtCampo.Move(3840, 2760, 2175, 315);
  lblIdEst.SetCaption("Id_Est");
  lblIdEst.Move(6240, 2760, 800, 255);
  txtIdEst.Move(7080, 2760, 1000, 315);
  lblDesc.SetCaption("Descripcion");
  lblDesc.Move(2760, 3180, 1000, 255);
  txtDesc.Move(3840, 3180, 6135, 315);
  Label6.SetCaption("Id_Arc");
  Label6.Move(2760, 3600, 1000, 255);
  TxtIdArc.Move(3840, 3600, 1000, 315);
  lblTipo.SetCaption("Tipo");
  lblTipo.Move(2760, 4080, 1000, 255);
  CbTipo.Move(3840, 4080, 1815, 315);
  LblTam.SetCaption("Tamaño");
  LblTam.Move(5880, 4080, 900, 255);
  TxtTam.Move(6840, 4080, 1000, 315);
  LblPrec.SetCaption("Precision");
  LblPrec.Move(2760, 4500, 1000, 255);
  TxtPrec.Move(3840, 4500, 1000, 315);
  LblEsc.SetCaption("Escala");
  LblEsc.Move(5880, 4500, 900, 255);
  TxtEsc.Move(6840, 4500, 1000, 315);
  Command1.SetCaption("Modificar");
  Command2.SetCaption("Agregar");
  cmdActualiza.SetCaption("Actualiza");
  cmdCancelar.SetCaption("Cancelar");
  cmdActualiza.SetDefault(true);
  cmdCancelar.SetCancel(true);
  for (ui::CommandButton* boton : {&Command1, &Command2, &cmdActualiza, &cmdCancelar}) {
    boton->SetWidth(1215);
    boton->SetHeight(375);
  }
  Botones(kBotonesConsulta);

  Command1.Click = [this] { Command1_Click(); };
  Command2.Click = [this] { Command2_Click(); };
  cmdActualiza.Click = [this] { cmdActualiza_Click(); };
  cmdCancelar.Click = [this] { cmdCancelar_Click(); };
  LstForm.DblClick = [this] { LstForm_DblClick(); };
  MFGField.Click = [this] { MFGField_Click(); };
}

void Proc_CargaNov::Botones(int top) {
  Command1.Move(2280, top, 1215, 375);
  Command2.Move(3720, top, 1215, 375);
  cmdActualiza.Move(5280, top, 1215, 375);
  cmdCancelar.Move(7080, top, 1215, 375);
}

void Proc_CargaNov::Form_Load() {
  resultado_ = {};
  Command1_Click();
  habilita(false);

  sql::Recordset& rs = app_.Rs1();
  Cerrar(rs);
  rs.Open("SELECT DISTINCT (est_tipo) AS Est_Tipo From se_estructuras ORDER BY 1", app_.CnSql);
  CbTipo.Clear();
  for (; !rs.Eof(); rs.MoveNext()) CbTipo.AddItem(runtime::JoinText(rs(0).Value()));
  Cerrar(rs);

  LlenarListaArchivos();
  lista_recien_leida_ = true;

  MFGField.SetCols(8);
  MFGField.SetFixedCols(0);
  MFGField.SetRows(2);
  MFGField.SetFixedRows(1);
  static constexpr int kAnchos[] = {1000, 1000, 6000, 0, 0, 0, 0, 0};
  for (int col = 0; col < 8; ++col) {
    MFGField.SetTextMatrix(0, col, kTitulos[col]);
    MFGField.SetColWidth(col, kAnchos[col]);
  }
  cmdCancelar_Click();
  visibilidad(false);
  cmdActualiza.SetEnabled(false);
  ui::AplicarTamanoFijo(*this, kAncho, alto_);
}

void Proc_CargaNov::Form_Activate() {
  // The first activation comes right after the load, which has just read the list.
  if (std::exchange(lista_recien_leida_, false) || Busy()) return;
  const int elegido = LstForm.ListIndex();
  const std::optional<long> id = elegido >= 0 ? std::optional<long>(LstForm.ItemData(elegido)) : std::nullopt;
  LlenarListaArchivos();
  for (int i = 0; id && i < LstForm.ListCount(); ++i) {
    if (LstForm.ItemData(i) == *id) {
      LstForm.SetListIndex(i);
      break;
    }
  }
}

void Proc_CargaNov::LlenarListaArchivos() {
  sql::Recordset& rs = app_.Rs1();
  Cerrar(rs);
  rs.Open("Select Arc_Id, Arc_Nombre From SE_ARCHIVOS Order By Arc_Nombre", app_.CnSql);
  LstForm.Clear();
  for (; !rs.Eof(); rs.MoveNext()) {
    LstForm.AddItem(runtime::JoinText(rs("Arc_Nombre").Value()));
    LstForm.SetItemData(LstForm.NewIndex(), runtime::CLng(rs("Arc_Id").Value()));
  }
  Cerrar(rs);
}

void Proc_CargaNov::Form_Resize() { ui::AplicarTamanoFijo(*this, kAncho, alto_); }

void Proc_CargaNov::habilita(bool flag) {
  TxtCampo.SetEnabled(flag);
  txtDesc.SetEnabled(flag);
}

void Proc_CargaNov::BorraCampo() {
  for (ui::TextBox* caja : {&TxtCampo, &txtDesc, &TxtTam, &TxtPrec, &TxtEsc, &txtIdEst}) {
    caja->SetText("");
  }
}

void Proc_CargaNov::visibilidad(bool flag) {
  for (ui::Control* control : std::initializer_list<ui::Control*>{
           &CbTipo, &TxtTam, &TxtPrec, &TxtEsc, &lblTipo, &LblTam, &LblPrec, &LblEsc}) {
    control->SetVisible(flag);
  }
}

void Proc_CargaNov::CargarGrilla(long id_archivo) {
  sql::Recordset& rs = app_.Rs1();
  Cerrar(rs);
  rs.Open("Select * From SE_ESTRUCTURAS Where Est_IdArchivo = " + std::to_string(id_archivo) +
              " Order By Est_Campo",
          app_.CnSql);
  MFGField.SetRows(2);
  MFGField.Clear();
  for (int col = 0; col < 8; ++col) MFGField.SetTextMatrix(0, col, kTitulos[col]);
  int fila = 1;
  for (; !rs.Eof(); rs.MoveNext(), ++fila) {
    if (fila >= MFGField.Rows()) MFGField.SetRows(fila + 1);
    const std::string id = runtime::JoinText(rs("Est_Id").Value());
    const std::string celdas[8] = {runtime::JoinText(rs("Est_Campo").Value()),
                                   runtime::JoinText(rs("Est_Tipo").Value()),
                                   runtime::JoinText(rs("Est_Descripcion").Value()),
                                   id,
                                   runtime::JoinText(rs("Est_Tamanio").Value()),
                                   runtime::JoinText(rs("Est_Precision").Value()),
                                   runtime::JoinText(rs("Est_Escala").Value()),
                                   id};
    for (int col = 0; col < 8; ++col) MFGField.SetTextMatrix(fila, col, celdas[col]);
  }
  Cerrar(rs);
  TxtIdArc.SetText(std::to_string(id_archivo));
}

void Proc_CargaNov::LstForm_DblClick() {
  ui::BusyScope ocupada(*this, app_.Ui());
  if (LstForm.ListIndex() < 0) return;
  CargarGrilla(LstForm.ItemData(LstForm.ListIndex()));
}

void Proc_CargaNov::MFGField_Click() {
  // The header row names the columns; it is never a column of the file.
  const int fila = MFGField.Row();
  if (fila < MFGField.FixedRows() || MFGField.Text().empty()) return;
  habilita(false);
  campo_leido_ = MFGField.TextMatrix(fila, 0);
  TxtCampo.SetText(campo_leido_);
  txtDesc.SetText(MFGField.TextMatrix(fila, 2));
  txtIdEst.SetText(MFGField.TextMatrix(fila, 7));
}

void Proc_CargaNov::Command1_Click() {
  alto_ = kAltoConsulta;
  ui::AplicarTamanoFijo(*this, kAncho, alto_);
  Botones(kBotonesConsulta);
  visibilidad(false);
  if (!runtime::Trim(TxtCampo.Text()).empty()) {
    agregar_ = false;
    Command1.SetEnabled(false);
    Command2.SetEnabled(false);
    cmdActualiza.SetEnabled(true);
    habilita(true);
  }
}

void Proc_CargaNov::Command2_Click() {
  agregar_ = true;
  alto_ = kAltoAgregar;
  ui::AplicarTamanoFijo(*this, kAncho, alto_);
  Botones(kBotonesAgregar);
  Command1.SetEnabled(false);
  Command2.SetEnabled(false);
  cmdActualiza.SetEnabled(true);
  visibilidad(true);
  BorraCampo();
  habilita(true);
}

void Proc_CargaNov::cmdActualiza_Click() {
  ui::BusyScope ocupada(*this, app_.Ui());
  const std::string campo = TxtCampo.Text();
  // A name the user types becomes a column of the generated procedures' work tables, so it must
  // be an identifier; a name that came with the file is kept as it came (it can still be
  // described). A new column also needs the file it belongs to.
  const bool nombre_nuevo = agregar_ || campo != campo_leido_;
  if (runtime::Trim(campo).empty() || (nombre_nuevo && !runtime::IsRegularIdentifier(campo)) ||
      (agregar_ && runtime::Val(TxtIdArc.Text()) <= 0)) {
    ++resultado_.filas_rechazadas;
    app_.Ui().MsgBox("No se pudo actualizar");
    return;
  }
  std::string sentencia;
  if (agregar_) {
    sentencia =
        "INSERT INTO SE_ESTRUCTURAS (Est_IdArchivo, Est_Campo, Est_Tipo, Est_Tamanio, "
        "Est_Precision, Est_Escala, Est_Fecha, Est_Descripcion) Values(" +
        Numero(TxtIdArc.Text()) + "," + SqlText(campo) + "," + SqlText(CbTipo.Text()) + "," +
        Numero(TxtTam.Text()) + "," + Numero(TxtPrec.Text()) + "," + Numero(TxtEsc.Text()) +
        "," + SqlText(runtime::ShortDateText(app_.Ui().Now())) + "," + SqlText(txtDesc.Text()) +
        ")";
  } else {
    sentencia = "UPDATE SE_ESTRUCTURAS SET Est_Campo = " + SqlText(campo) +
                ", Est_Descripcion = " + SqlText(txtDesc.Text()) +
                " Where Est_Id = " + Numero(txtIdEst.Text());
  }
  bool grabada = false;
  try {
    app_.CnSql.Execute(sentencia);
    grabada = true;
    ++resultado_.filas_grabadas;
    cmdCancelar_Click();
    agregar_ = false;
    CargarGrilla(runtime::CLng(runtime::Val(TxtIdArc.Text())));
  } catch (const runtime::VbError& error) {
    if (!grabada) ++resultado_.filas_rechazadas;
    app_.RegistrarError(error, sentencia);
  }
}

void Proc_CargaNov::cmdCancelar_Click() {
  Command1.SetEnabled(true);
  Command2.SetEnabled(true);
  cmdActualiza.SetEnabled(false);
  habilita(false);
  // Back to the browse layout whole: the add-only boxes go and the buttons return to their row.
  agregar_ = false;
  alto_ = kAltoConsulta;
  ui::AplicarTamanoFijo(*this, kAncho, alto_);
  Botones(kBotonesConsulta);
  visibilidad(false);
  BorraCampo();
}

}  // namespace intake
