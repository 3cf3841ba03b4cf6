// Tests of the formula and sequence listings: their checks, grids and workbooks, on the real
// engine from stored formulas and sequences.
#include <gtest/gtest.h>

#include "platform/runtime/dates.h"
#include "core/mdi_principal.h"
#include "platform/ui/ui.h"
#include "reports/frm_cons_form.h"
#include "reports/frm_cons_sec.h"
#include "sequences/selectores.h"
#include "tests/reports/reportes_prueba.h"

namespace reports_test {
namespace {

using reports::FrmConsForm;
using reports::FrmConsSec;

class Listados : public ReportesPrueba {
 protected:
  void SetUp() override {
    ReportesPrueba::SetUp();
    Sql("INSERT INTO SE_ARCHIVOS (Arc_Nombre) Values('ENCUES_1'), ('ENCUES_2'), ('OTRASX_1'), ('VACIOS_1')\r\n"
        "INSERT INTO SE_CABFORMULA (FC_Nombre, FC_NomVar, FC_Formula) Values('Ventas', 'VT', 'VENTAS * 2'), "
        "('Diferencia', 'DIF', 'VENTAS - VENTAS_1'), ('Otra', 'X', '1')\r\n"
        "INSERT INTO SE_FORMULA_ARCHIVO (Id_FormCab, Id_Arc) Values(1, 1), (1, 2), (2, 1), (3, 3)\r\n"
        "INSERT INTO SE_MUESTRA_PADRON (Unico, Periodo) Values('E1', 2005)\r\n"
        "INSERT INTO SE_CABSECUENCIA (SC_NOMBRE, SC_IDARC) Values('Principal', 1), ('Vacia', 1)");
  }

  static Lineas Grilla(const ui::Grid& grilla, std::initializer_list<int> columnas) {
    Lineas filas;
    for (int r = 0; r < grilla.Rows(); ++r) {
      std::string fila;
      for (int c : columnas) fila += (fila.empty() && c == *columnas.begin() ? "" : "|") + grilla.TextMatrix(r, c);
      filas.push_back(fila);
    }
    return filas;
  }
};

TEST_F(Listados, LasEntradasDeReporteYElPanelAbrenSusVentanas) {
  core::MDIPrincipal principal(App());
  for (const char* entrada : {"MnuRepRE", "MnuRepF", "MnuRSec", "mnuPC"}) {
    ASSERT_TRUE(principal.Entrada(entrada)->enabled) << entrada;
    principal.Entrada(entrada)->click();
  }
  EXPECT_EQ(Ui().ShownForms(), (Lineas{"FrmReporte", "FrmConsForm", "FrmConsSec", "FrmCmdProcess"}));
  EXPECT_EQ(App().Ventana("FrmCmdProcess")->Caption(), "Panel de Comando");
}

TEST_F(Listados, FormulasDeUnFormularioEnLaGrillaYEnLaPlanilla) {
  FrmConsForm& ventana = Ventana<FrmConsForm>("FrmConsForm");
  ventana.UsarVisor(visor_);
  ASSERT_EQ(ventana.cbxFormulario.ListCount(), 3);
  EXPECT_EQ(ventana.cbxFormulario.Text(), "");
  ventana.CmdConsulta.UserClick();
  ventana.CmdImprimir.UserClick();
  EXPECT_EQ(Ui().Prompts(), (Lineas{"Deberá Seleccionar un formulario para Generar la Consulta",
                                    "Deberá Seleccionar un formulario para Imprimir"}));

  // The formulas listed, in the grid after its header and in the workbook after its headers.
  struct Caso {
    const char* codigo;
    Lineas filas;
  } casos[] = {
      {"OTRASX", {"X|1|Otra"}},
      {"ENCUES", {"VT|VENTAS * 2|Ventas", "DIF|VENTAS - VENTAS_1|Diferencia"}},
      {"VACIOS", {}},
  };
  const std::string encabezados = "Formula|Contenido|Nombre Completo";
  int segundo = 0;
  for (const Caso& caso : casos) {
    SCOPED_TRACE(caso.codigo);
    for (int i = 0; i < ventana.cbxFormulario.ListCount(); ++i) {
      if (ventana.cbxFormulario.List(i) == caso.codigo) ventana.cbxFormulario.UserSelect(i);
    }
    ventana.CmdConsulta.UserClick();
    Lineas grilla = {encabezados};
    grilla.insert(grilla.end(), caso.filas.begin(), caso.filas.end());
    EXPECT_EQ(Grilla(ventana.MSFGFormula, {0, 1, 2}), (caso.filas.empty() ? Lineas{encabezados, "||"} : grilla));
    EXPECT_EQ(ventana.LblMsg.Caption(), "Finalizacion Generacion Consulta");

    Ui().SetNow(runtime::MakeDate(2026, 12, 5, 11, 21, ++segundo));
    ventana.CmdImprimir.UserClick();
    ASSERT_TRUE(ventana.Planilla());
    grilla.insert(grilla.begin(), {"Reporte de Formula Nº: " + std::string(caso.codigo).substr(4) + "||", "||"});
    EXPECT_EQ(Planilla(*ventana.Planilla()), grilla);
    EXPECT_EQ(ventana.LblMsg.Caption(), "Finalizacion Generacion Consulta ...");
  }
  EXPECT_EQ(Enviadas().back(),
            "SELECT SCF.Id_formCab, SCF.FC_Nombre, SCF.FC_NomVar, SCF.FC_Formula FROM SE_FORMULA_ARCHIVO  SEA INNER "
            "JOIN SE_ARCHIVOS SA ON SA.ARC_ID = SEA.ID_ARC INNER JOIN SE_CABFORMULA SCF ON SCF.Id_FormCab = "
            "SEA.Id_FormCab WHERE LEFT(SA.ARC_NOMBRE,6) = 'VACIOS' GROUP BY SCF.Id_formCab, SCF.FC_Nombre, "
            "SCF.FC_NomVar, SCF.FC_Formula");
}

TEST_F(Listados, LineasDeUnaSecuenciaEnLaGrillaYEnLaPlanilla) {
  // Roll column "Unico" is stored as -1: the column before the first one counted.
  Sql("INSERT INTO SE_SECUENCIA (S_IDSECCAB, S_ORDEN, S_CONDIC, S_IDFORMCAB1, S_IDFORMCAB2, S_OPERADOR, S_TIPVAR1, "
      "S_TIPVAR2, S_MARCA) Values(1, 1, NULL, 1, NULL, NULL, 'F', NULL, '*'), (1, 2, 'Si', -1, 5, '>', 'M', 'N', NULL), "
      "(1, 3, 'And', 3, 2, '=', 'N', 'F', NULL), (1, 4, NULL, 99, NULL, NULL, 'F', NULL, NULL), "
      "(1, 5, 'FSi', NULL, NULL, NULL, NULL, NULL, NULL)");
  FrmConsSec& ventana = Ventana<FrmConsSec>("FrmConsSec");
  ventana.UsarVisor(visor_);

  // The checks; a name without an identifier is refused as a missing name.
  ventana.CmdConsulta.UserClick();
  ventana.txtSecuencia.SetText("Principal");
  ventana.CmdConsulta.UserClick();
  EXPECT_EQ(Ui().Prompts(), Lineas(2, "Debera Ingresar un nombre para la Secuencia"));

  // Exporting before any query writes the title and headers only.
  ventana.CmdImprimir.UserClick();
  const Lineas vacia = {"Reporte Secuencia: Principal||||||", "||||||",
                        "Nro.|Condicion|Operando1|Operador|Operando2|A-1|Formula"};
  EXPECT_EQ(Planilla(*ventana.Planilla()), vacia);

  Ui().QueueModal("FrmBuCoModSec", [](ui::Form& f) {
    auto& picker = static_cast<sequences::FrmBuCoModSec&>(f);
    picker.lstFormularios.UserClick(0);
    picker.CmdAceptar.UserClick();
  });
  ventana.CmdSecuencia.UserClick();
  EXPECT_EQ(ventana.txtSecuencia.Text() + "|" + ventana.TxtIdSecuencia.Text(), "Principal|1");

  Enviadas();
  ventana.CmdConsulta.UserClick();
  EXPECT_EQ(Enviadas().front(), "SELECT * FROM se_secuencia WHERE S_IdSecCab = 1 Order by S_IdSec");
  const Lineas lineas = {"1||VT (Ventas)|||*|VENTAS * 2", "2|Si|Unico|>|5||Campo de la Tabla Muestra",
                         "3|And||=|2||", "4||||||", "5|FSi|||||"};
  Lineas grilla = {"Nro|Condic|Operando1|Operador|Operando2|A-1|Formula"};
  grilla.insert(grilla.end(), lineas.begin(), lineas.end());
  EXPECT_EQ(Grilla(ventana.FGSecuencia, {0, 1, 2, 3, 4, 9, 10}), grilla);
  EXPECT_EQ(Grilla(ventana.FGSecuencia, {5, 6, 7, 8})[2], "-1|5|M|N");

  Ui().SetNow(runtime::MakeDate(2026, 12, 5, 11, 21, 0));
  ventana.CmdImprimir.UserClick();
  Lineas planilla = vacia;
  planilla.insert(planilla.end(), lineas.begin(), lineas.end());
  EXPECT_EQ(Planilla(*ventana.Planilla()), planilla);

  // A sequence without lines leaves the grid as it was.
  ventana.TxtIdSecuencia.SetText("2");
  ventana.CmdConsulta.UserClick();
  EXPECT_EQ(Grilla(ventana.FGSecuencia, {0, 1, 2, 3, 4, 9, 10}), grilla);
}

}  // namespace
}  // namespace reports_test
