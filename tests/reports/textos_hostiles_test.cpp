// Hostile text in the results report: the title goes into the workbook as the box keeps it, the
// period is refused, a sequence stored under it is listed under it; none runs as a statement.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "reports/comando_reporte.h"
#include "platform/runtime/dates.h"
#include "platform/runtime/text.h"
#include "reports/frm_reporte.h"
#include "tests/reports/reportes_prueba.h"
#include "tests/support/textos_hostiles.h"

namespace reports_test {
namespace {

namespace fs = std::filesystem;
using TextosHostilesReportes = ReportesPrueba;

TEST_F(TextosHostilesReportes, TituloYPeriodoYNombreDeSecuencia) {
  Sql(test_support::kTablaTestigo);
  Sql("INSERT INTO SE_ARCHIVOS (Arc_Nombre) Values('ENCUES_1')\r\n"
        "INSERT INTO SE_CABFORMULA (FC_Nombre, FC_NomVar) Values('Ventas', 'VT')\r\n"
        "INSERT INTO SE_MUESTRA_PADRON (Unico, Razon, FormSector, Periodo) Values('E1', 'Alfa', 'ENCUES', 2005)\r\n"
        "INSERT INTO SE_RESULTADO (Id_FA, RE_Empresa, RE_Periodo, RE_Valor, RE_FormSector, RE_Anio) "
        "Values(1, 'E1', 2005, 10.5, 'ENCUES', 2005)");
  auto& ventana = Ventana<reports::FrmReporte>("FrmReporte");
  ventana.UsarVisor(visor_);
  int segundo = 0;
  for (const test_support::TextoHostil& hostil : test_support::TextosHostiles()) {
    SCOPED_TRACE(hostil.caso);
    Sql("DELETE FROM SE_CABSECUENCIA");
    for (const bool periodo_hostil : {true, false}) {
      Ui().ClearMessages();
      Ui().SetNow(runtime::MakeDate(2026, 12, 5, 11, 20, segundo++));  // a workbook name of its own
      ventana.TxtPeriodo.UserEdit(periodo_hostil ? hostil.texto : "2005");
      ventana.TxtTitulo.UserEdit(periodo_hostil ? "T" : hostil.texto);
      ventana.TxtFormulario.SetText("ENCUES_1");
      ventana.TxtIdFormulario.SetText("1");
      Ui().QueueModal("FrmReporteA", [](ui::Form& f) {
        auto& d = static_cast<reports::FrmReporteA&>(f);
        d.CmdSTodos.UserClick();
        d.CmdAcepta.UserClick();
      });
      ventana.CmdGenerar.UserClick();
      if (periodo_hostil) {
        EXPECT_EQ(Ui().Prompts(), Lineas{"Periodo Erroneo"});
      } else {
        ASSERT_TRUE(ventana.Planilla());
        EXPECT_EQ(Ui().Prompts().at(0), "Se ha grabado la planillacon el nombre (" +
                                            fs::path(*ventana.Planilla()).filename().string());
        const std::string titulo = Planilla(*ventana.Planilla()).at(0);
        EXPECT_EQ(titulo.substr(0, titulo.find('|')), hostil.guardado);
      }
    }

    // A sequence stored by the editor under the name as its box keeps it, asked for by that name.
    const bool cabe = !hostil.Largo();
    if (cabe) Sql("INSERT INTO SE_CABSECUENCIA (SC_NOMBRE, SC_IDARC) VALUES(" + runtime::SqlText(hostil.guardado) + ", 1)");
    std::ostringstream salida, errores;
    EXPECT_EQ(reports::ReporteSecuencia(App(), hostil.texto, salida, errores), cabe ? 0 : 1);
    EXPECT_EQ(errores.str(), cabe ? "" : "No existe la secuencia " + hostil.guardado + "\n");
    EXPECT_EQ(Filas("SELECT count(*) FROM x"), Lineas{"0"});
  }
}

}  // namespace
}  // namespace reports_test
