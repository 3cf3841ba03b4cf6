// Hostile text in the sequence editor's name box: stored exactly as the box keeps it or refused
// by the editor; nothing typed ever runs as a statement, and a refused sequence leaves no row.
#include <gtest/gtest.h>

#include "tests/sequences/secuenciador_prueba.h"
#include "tests/support/textos_hostiles.h"

namespace sequences_test {
namespace {

using TextosHostilesSecuencias = SecuenciadorPrueba;

TEST_F(TextosHostilesSecuencias, ElNombreSeGuardaExactoOSeRechaza) {
  const Textos kGrabada = {"La Secuencia se Generó con Exito"};
  const Textos kCabecera = {"No se puedo Generar la Secuencia, Error en la Cabecera de Secuencia"};
  const std::vector<test_support::TextoHostil> textos = test_support::TextosHostiles();
  const std::vector<Textos> mensajes = {kGrabada, kGrabada, kGrabada, kGrabada, kGrabada, kCabecera, kGrabada};
  Sql(test_support::kTablaTestigo);
  for (size_t i = 0; i < textos.size(); ++i) {
    SCOPED_TRACE(textos[i].caso);
    Sql("DELETE FROM SE_VARSECUENCIA\r\nDELETE FROM SE_SECUENCIA\r\nDELETE FROM SE_CABSECUENCIA");
    editor_->cmdCancelar.UserClick();
    Ui().Show(*editor_);
    Crear(textos[i].texto);
    Lineas({"F:TOTAL"});
    Ui().ClearMessages();
    editor_->cmdGenerar.UserClick();
    EXPECT_EQ(Ui().Prompts(), mensajes[i]);
    EXPECT_EQ(Filas("SELECT SC_NOMBRE FROM SE_CABSECUENCIA"),
              mensajes[i] == kGrabada ? Textos{textos[i].guardado} : Textos{});
    EXPECT_EQ(Filas("SELECT count(*) FROM SE_SECUENCIA"), Textos{mensajes[i] == kGrabada ? "1" : "0"});
    EXPECT_EQ(Filas("SELECT count(*) FROM x"), Textos{"0"});
  }
}

}  // namespace
}  // namespace sequences_test
