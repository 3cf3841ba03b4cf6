// Hostile text in the runner: refused in the period and year boxes; as a sequence's name it
// reaches the journal row exactly or is reported unknown; none runs as a statement.
#include <gtest/gtest.h>

#include <sstream>

#include "platform/runtime/text.h"
#include "runner/comando_correr.h"
#include "runner/frm_proc_secuencia.h"
#include "tests/support/carpeta_aplicacion.h"
#include "tests/support/textos_hostiles.h"

namespace runner {
namespace {

using Lineas = std::vector<std::string>;
using TextosHostilesCorrida = test_support::VentanaPrueba;

TEST_F(TextosHostilesCorrida, CajasYNombresHostiles) {
  for (const test_support::TextoHostil& hostil : test_support::TextosHostiles()) {
    SCOPED_TRACE(hostil.caso);
    TearDown();
    SetUp();
    App().CnSql.Execute(test_support::kTablaTestigo);
    // A sequence of one line calling P1, which does nothing, under the name if its column holds it.
    App().CnSql.Execute("INSERT INTO SE_ARCHIVOS (Arc_Nombre) VALUES('ENCUES_1')");
    App().CnSql.Execute("CREATE PROCEDURE P1 @Formulario varchar(10), @Periodo int, @VPeriodo int AS SELECT 1");
    const bool cabe = !hostil.Largo();
    if (cabe) {
      App().CnSql.Execute("INSERT INTO SE_CABSECUENCIA (SC_NOMBRE, SC_IDARC) VALUES(" +
                          runtime::SqlText(hostil.guardado) + ", 1)\r\n"
                          "INSERT INTO SE_SECUENCIA (S_IDSECCAB, S_ORDEN, S_CONDIC, S_IDFORMCAB1, S_TIPVAR1) "
                          "VALUES(1, 1, '', 1, 'F')");
    }

    FrmProcSecuencia ventana(App());
    Ui().Show(ventana);
    for (const bool en_periodo : {true, false}) {
      Ui().ClearMessages();
      ventana.TxtPeriodo.UserEdit(en_periodo ? hostil.texto : "2005");
      ventana.TxtAnio.UserEdit(en_periodo ? "2005" : hostil.texto);
      ventana.LblFormulario.SetCaption("ENCUES_1");
      ventana.TxtIdFormulario.SetText("1");
      ventana.TxtIdSecuencia.SetText("1");
      ventana.CmdProcesar2.UserClick();
      EXPECT_EQ(Ui().Prompts(),
                Lineas{en_periodo ? " Periodo Incorrecto" : "El Año no puede ser Mayor al Periodo"});
    }

    std::ostringstream salida, errores;
    EXPECT_EQ(SecuenciaCorrer(App(), "ENCUES_1", hostil.texto, "2005", "2005", salida, errores), cabe ? 0 : 1);
    if (cabe) {
      EXPECT_TRUE(errores.str().ends_with("Proceso Finalizado\n")) << errores.str();
    } else {
      EXPECT_EQ(errores.str(), "No existe la secuencia " + hostil.guardado + " del formulario ENCUES_1\n");
    }
    EXPECT_EQ(Filas("SELECT Contenido FROM SE_COMM_PROCESO"), cabe ? Lineas{hostil.guardado} : Lineas{});
    std::ostringstream otra_salida, otros_errores;
    EXPECT_EQ(SecuenciaCorrer(App(), hostil.texto, "S", "2005", "2005", otra_salida, otros_errores), 1);
    EXPECT_EQ(otros_errores.str(), "No existe el formulario " + hostil.guardado + "\n");
    EXPECT_EQ(Filas("SELECT count(*) FROM x"), Lineas{"0"});
  }
}

}  // namespace
}  // namespace runner
