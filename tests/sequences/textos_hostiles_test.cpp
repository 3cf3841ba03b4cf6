// Hostile text in the sequence editor's name box: stored as the box keeps it, or refused (too
// long) leaving no row; none runs as a statement.
#include <gtest/gtest.h>

#include "tests/sequences/secuenciador_prueba.h"
#include "tests/support/textos_hostiles.h"

namespace sequences_test {
namespace {

using TextosHostilesSecuencias = SecuenciadorPrueba;

TEST_F(TextosHostilesSecuencias, ElNombreSeGuardaExactoOSeRechaza) {
  const Textos kGrabada = {"La Secuencia se Generó con Exito"};
  const Textos kCabecera = {"No se puedo Generar la Secuencia, Error en la Cabecera de Secuencia"};
  Sql(test_support::kTablaTestigo);
  for (const test_support::TextoHostil& hostil : test_support::TextosHostiles()) {
    SCOPED_TRACE(hostil.caso);
    Sql("DELETE FROM SE_VARSECUENCIA\r\nDELETE FROM SE_SECUENCIA\r\nDELETE FROM SE_CABSECUENCIA");
    editor_->cmdCancelar.UserClick();
    Ui().Show(*editor_);
    Crear(hostil.texto);
    Lineas({"F:TOTAL"});
    Ui().ClearMessages();
    editor_->cmdGenerar.UserClick();
    EXPECT_EQ(Ui().Prompts(), hostil.Largo() ? kCabecera : kGrabada);
    EXPECT_EQ(Filas("SELECT SC_NOMBRE FROM SE_CABSECUENCIA"), hostil.Largo() ? Textos{} : Textos{hostil.guardado});
    EXPECT_EQ(Filas("SELECT count(*) FROM SE_SECUENCIA"), Textos{hostil.Largo() ? "0" : "1"});
    EXPECT_EQ(Filas("SELECT count(*) FROM x"), Textos{"0"});
  }
}

}  // namespace
}  // namespace sequences_test
