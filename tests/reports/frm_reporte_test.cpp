// Tests of the results report: the checks, the picker, the rebuild of TEMP_REPORTE from stored
// results on the real engine, the field dialog and the workbook read back.
#include "reports/frm_reporte.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/ui/ui.h"
#include "tests/reports/reportes_prueba.h"

namespace reports_test {
namespace {

using reports::FrmReporte;
using reports::FrmReporteA;

class Reporte : public ReportesPrueba {
 protected:
  void SetUp() override {
    ReportesPrueba::SetUp();
    Sql("INSERT INTO SE_ARCHIVOS (Arc_Nombre) Values('ENCUES_1'), ('OTRAS_1')\r\n"
        "INSERT INTO SE_CABFORMULA (FC_Nombre, FC_NomVar) Values('Ventas', 'VT'), ('Diferencia', 'DIF'), "
        "('Ventas bis', 'VT')\r\n"
        "INSERT INTO SE_MUESTRA_PADRON (Unico, Razon, FormSector, Periodo, Descripcion_Estado) Values"
        "('E1', 'O''Brien SA', 'ENCUES', 2005, 'Activa'), ('E2', 'Beta', 'ENCUES', 2005, 'Activa'), "
        "('E3', 'Gamma', 'ENCUES', 2005, 'Baja'), ('E4', 'Delta', 'ENCUES', 2005, 'Activa')\r\n"
        "INSERT INTO SE_RESULTADO (Id_FA, RE_Empresa, RE_Periodo, RE_Valor, RE_FormSector, RE_Anio) Values"
        "(1, 'E1', 2005, 10.5, 'ENCUES', 2005), (2, 'E1', 2005, -3, 'ENCUES', 2005), "
        "(2, 'E2', 2005, NULL, 'ENCUES', 2005), (3, 'E4', 2005, 7, 'ENCUES', 2005), "
        "(1, 'E1', 2005, 9, 'ENCUES', 2004), (1, 'E3', 2005, 4, 'ENCUES', 2004), "
        "(1, 'E2', 2005, 99, 'OTRAS', 2005), (1, 'E2', 2006, 98, 'ENCUES', 2006)");
    ventana_ = &Ventana<FrmReporte>("FrmReporte");
    ventana_->UsarVisor(visor_);
  }

  // Fills the boxes as the user and the picker would and presses "Generar"; `dialogo` works
  // the field dialog.
  void Generar(bool anterior, std::function<void(FrmReporteA&)> dialogo, const std::string& periodo = "2005") {
    ventana_->TxtPeriodo.SetText(periodo);
    ventana_->TxtTitulo.SetText("Estimación ENCUES");
    ventana_->TxtFormulario.SetText("ENCUES_1");
    ventana_->TxtIdFormulario.SetText("1");
    ventana_->ChkAnterior.SetValue(anterior ? ui::CheckBox::kChecked : ui::CheckBox::kUnchecked);
    Ui().QueueModal("FrmReporteA", [dialogo](ui::Form& f) { dialogo(static_cast<FrmReporteA&>(f)); });
    Enviadas();
    ASSERT_TRUE(ventana_->CmdGenerar.UserClick());
  }

  FrmReporte* ventana_ = nullptr;
};

TEST_F(Reporte, ChequeosEnOrdenYElSelectorDeFormulario) {
  struct Caso {
    const char* periodo;
    const char* titulo;
    const char* id;
    const char* mensaje;
  } casos[] = {
      {"1989", "", "", "Periodo Erroneo"},  {"", "T", "1", "Periodo Erroneo"},
      {"20x5", "T", "1", "Periodo Erroneo"}, {"2005", "  ", "1", "Deberá Ingresar el Titulo"},
      {"2005", "T", " ", "Deberá ingresar un Formulario"},
  };
  for (const Caso& caso : casos) {
    SCOPED_TRACE(caso.mensaje);
    Ui().ClearMessages();
    ventana_->TxtPeriodo.SetText(caso.periodo);
    ventana_->TxtTitulo.SetText(caso.titulo);
    ventana_->TxtIdFormulario.SetText(caso.id);
    Enviadas();
    ventana_->CmdGenerar.UserClick();
    EXPECT_EQ(Ui().Prompts(), Lineas{caso.mensaje});
    EXPECT_EQ(Enviadas(), Lineas{});
  }

  // The picker lists the survey files; "Aceptar" fills both boxes.
  Ui().QueueModal("FrmBuFormReporte", [](ui::Form& f) {
    auto& picker = static_cast<reports::FrmBuFormReporte&>(f);
    picker.lstFormularios.UserClick(1);
    picker.CmdAceptar.UserClick();
  });
  ventana_->CmdFormulario.UserClick();
  EXPECT_EQ(ventana_->TxtFormulario.Text() + "|" + ventana_->TxtIdFormulario.Text(), "OTRAS_1|2");
}

TEST_F(Reporte, ConAnioAnteriorCadaValorEnSuCeldaYNuloComoCero) {
  Generar(true, [](FrmReporteA& d) {
    d.CmdSTodos.UserClick();
    d.CmdAcepta.UserClick();
  });
  const std::string crlf = "\r\n";
  const std::string datos =
      "as Per, RE_Anio From SE_RESULTADO INNER JOIN SE_CABFORMULA ON ID_FA = Id_formCab INNER JOIN "
      "SE_MUESTRA_PADRON ON re_empresa = UNICO and periodo = 2005 Where RE_PERIODO = 2005 and RE_Anio = ";
  const Lineas enviadas = Enviadas();
  ASSERT_GE(enviadas.size(), 8u);
  EXPECT_EQ(Lineas(enviadas.begin(), enviadas.begin() + 7),
            (Lineas{"if exists (select * from dbo.sysobjects where id = object_id(N'[dbo].[TEMP_REPORTE]') and "
                    "OBJECTPROPERTY(id, N'IsUserTable') = 1)" + crlf + "drop table [dbo].[TEMP_REPORTE]" + crlf + crlf,
                    "SELECT DISTINCT(ID_FA), FC_NomVar From SE_RESULTADO INNER JOIN SE_CABFORMULA ON ID_FA = "
                    "Id_formCab Where RE_PERIODO = 2005 and RE_Anio = 2005 and RE_FormSector= 'ENCUES' UNION "
                    "(SELECT DISTINCT(ID_FA), FC_NomVar + '_1' From SE_RESULTADO INNER JOIN SE_CABFORMULA ON ID_FA "
                    "= Id_formCab Where RE_PERIODO = 2005 and RE_Anio = 2004 and RE_FormSector= 'ENCUES')",
                    "CREATE TABLE [dbo].[TEMP_REPORTE] (" + crlf +
                        "Empresa Varchar(20), Razon Varchar(200), Estado Varchar(100), Periodo Numeric(4,0) , VT "
                        "Float NULL" + crlf + ", VT_1 Float NULL" + crlf + ", DIF Float NULL" + crlf + ")" + crlf + crlf,
                    "CREATE INDEX IX_TEMP_REPORTE ON [dbo].[TEMP_REPORTE] (Empresa, Periodo)",
                    "SELECT Fc_Nomvar, id_fa, re_empresa, re_valor, razon, descripcion_estado, 2005 " + datos +
                        "2005 and RE_FormSector='ENCUES' UNION (SELECT Fc_Nomvar + '_1', id_fa, re_empresa, re_valor, "
                        "razon, descripcion_estado , 2005 " + datos + "2004 and RE_FormSector='ENCUES') Order by id_fa, "
                        "per, re_anio, re_empresa",
                    "Select * FROM TEMP_REPORTE WHERE Empresa like 'E1' and periodo = 2005",
                    "Insert into TEMP_REPORTE (Empresa, Razon, Estado, Periodo, VT_1) values ('E1', 'O''Brien SA', "
                    "'Activa', 2005, 9) " + crlf}));
  EXPECT_NE(std::find(enviadas.begin(), enviadas.end(),
                      "Update TEMP_REPORTE Set VT = 10.5 WHERE Empresa = 'E1' and Periodo = 2005" + crlf),
            enviadas.end());
  EXPECT_EQ(ventana_->TxtCampo.Text() + "|" + ventana_->txtResultado.Text(), "Periodo, VT, VT_1, DIF|V");
  // Six data rows, each after its pause.
  EXPECT_EQ(Ui().SleptMilliseconds(), 6 * FrmReporte::kPausa);
  ASSERT_TRUE(ventana_->Planilla());
  EXPECT_EQ(Planilla(*ventana_->Planilla()),
            (Lineas{"Estimación ENCUES||||||", "||||||", "Empresa|Razon|Estado|Periodo|VT|VT_1|DIF",
                    "E1|O'Brien SA|Activa|2005|10.5|9|-3", "E2|Beta|Activa|2005|||0",
                    "E3|Gamma|Baja|2005||4|", "E4|Delta|Activa|2005|7||"}));
  EXPECT_EQ(ventana_->LblMsg.Caption(), "Empresa E4");
}

// A company code is looked up in the work table as itself: "A_1" does not find the row of "AB1"
// (its value would be written to no row and lost).
TEST_F(Reporte, UnCodigoConComodinesNoEncuentraAOtraEmpresa) {
  Sql("INSERT INTO SE_MUESTRA_PADRON (Unico, Razon, FormSector, Periodo, Descripcion_Estado) Values"
      "('AB1', 'Uno', 'ENCUES', 2006, 'Activa'), ('A_1', 'Dos', 'ENCUES', 2006, 'Activa')\r\n"
      "INSERT INTO SE_RESULTADO (Id_FA, RE_Empresa, RE_Periodo, RE_Valor, RE_FormSector, RE_Anio) Values"
      "(1, 'AB1', 2006, 5, 'ENCUES', 2006), (2, 'AB1', 2006, 6, 'ENCUES', 2006), (2, 'A_1', 2006, 7, 'ENCUES', 2006)");
  Generar(false, [](FrmReporteA& d) {
    d.CmdSTodos.UserClick();
    d.CmdAcepta.UserClick();
  }, "2006");
  const Lineas enviadas = Enviadas();
  EXPECT_NE(std::find(enviadas.begin(), enviadas.end(),
                      "Select * FROM TEMP_REPORTE WHERE Empresa like 'A[_]1' and periodo = 2006"),
            enviadas.end());
  ASSERT_TRUE(ventana_->Planilla());
  Lineas filas = Planilla(*ventana_->Planilla());
  ASSERT_EQ(filas.size(), 5u);
  std::sort(filas.begin() + 3, filas.end());
  EXPECT_EQ(Lineas(filas.begin() + 3, filas.end()), (Lineas{"AB1|Uno|Activa|2006|5|6", "A_1|Dos|Activa|2006||7"}));
}

TEST_F(Reporte, ElDialogoDeCamposEligeOrdenaYCancela) {
  // Periodo, VT, DIF offered; VT chosen by moving everything and back again.
  Generar(false, [](FrmReporteA& d) {
    d.CmdAcepta.UserClick();
    d.CmdSUno.UserClick();
    d.LstCampo.UserDblClick(2);
    d.LstCampo.UserClick(1);
    d.CmdSUno.UserClick();
    d.CmdSTodos.UserClick();
    d.lstVisualiza.UserDblClick(0);
    d.lstVisualiza.UserClick(1);
    d.CmdRUno.UserClick();
    d.CmdAcepta.UserClick();
  });
  EXPECT_EQ(Ui().Prompts().front(), "No ha seleccionado ningun campo para visualizar");
  EXPECT_EQ(ventana_->TxtCampo.Text(), "VT");
  EXPECT_EQ(Planilla(*ventana_->Planilla()),
            (Lineas{"Estimación ENCUES|||", "|||", "Empresa|Razon|Estado|VT", "E1|O'Brien SA|Activa|10.5",
                    "E2|Beta|Activa|", "E4|Delta|Activa|7"}));

  Generar(false, [](FrmReporteA& d) { d.CmdCancela.UserClick(); });
  EXPECT_EQ(ventana_->txtResultado.Text(), "F");
  EXPECT_FALSE(ventana_->Planilla());
  EXPECT_EQ(Carpeta("Reporte").size(), 1u);
}

TEST_F(Reporte, SinDatosNombreInvalidoYFallas) {
  const auto nunca = [](FrmReporteA&) { FAIL() << "the field dialog was shown"; };
  Generar(false, nunca, "2007");
  EXPECT_EQ(ventana_->LblMsg.Caption(), "No existe Datos para dicho reporte");

  Sql("UPDATE SE_CABFORMULA SET FC_NomVar = 'Mal-Nombre' WHERE Id_FormCab = 2");
  Generar(false, nunca);
  EXPECT_EQ(Ui().Prompts(), Lineas{"El nombre de formula Mal-Nombre no puede ser columna del reporte"});

  // Names compared exactly make two columns the server takes as one: only logged.
  Ui().ClearMessages();
  Sql("UPDATE SE_CABFORMULA SET FC_NomVar = 'vt' WHERE Id_FormCab = 2");
  Generar(false, nunca);
  EXPECT_EQ(Ui().Prompts(), Lineas{});
  EXPECT_EQ(ventana_->LblMsg.Caption(), "Creo Tabla TEMP_REPORTE");
  EXPECT_TRUE(EntradasLog().back().find("\r\nFrmReporte (reporte)\r\nCREATE TABLE") != std::string::npos);

  // A failing data query is logged with the statement and told once; no workbook.
  Sql("UPDATE SE_CABFORMULA SET FC_NomVar = 'DIF' WHERE Id_FormCab = 2");
  Sql("DROP TABLE SE_MUESTRA_PADRON");
  Generar(false, nunca);
  ASSERT_EQ(Ui().Prompts().size(), 1u);
  EXPECT_TRUE(Ui().Prompts()[0].starts_with("Error Generando Reporte: (")) << Ui().Prompts()[0];
  EXPECT_TRUE(EntradasLog().back().ends_with("Order by id_fa, per, re_anio, re_empresa"));
  EXPECT_EQ(Carpeta("Reporte"), Lineas{});
}

}  // namespace
}  // namespace reports_test
