// The pure rules of the intake windows: the digits of a CUIT and the check of a typed year.
#include <gtest/gtest.h>

#include <string>

#include "intake/frm_padron.h"
#include "intake/internal/comun.h"
#include "platform/runtime/vb_error.h"

namespace intake_test {
namespace {

TEST(SoloNumerosTest, LeeSoloLosDigitos) {
  struct Caso {
    const char* texto;
    double numero;
  };
  const Caso casos[] = {
      {"30-12345678-9", 30123456789.0}, {"20123456786", 20123456786.0},
      {" 27 1.2,3 ", 27123.0},          {"007", 7.0},
      {"CUIT: 33-7", 337.0},
  };
  for (const Caso& caso : casos) {
    SCOPED_TRACE(caso.texto);
    EXPECT_EQ(intake::SoloNumeros(caso.texto), caso.numero);
  }
  for (const char* sin_digitos : {"", "   ", "s/n", "--"}) {
    SCOPED_TRACE(sin_digitos);
    try {
      intake::SoloNumeros(sin_digitos);
      ADD_FAILURE() << "a text without digits was read as a number";
    } catch (const runtime::VbError& error) {
      EXPECT_EQ(error.Number(), runtime::kVbTypeMismatch);
    }
  }
}

TEST(PeriodoTest, SoloCuatroDigitosDesde1990) {
  struct Caso {
    const char* texto;
    const char* mensaje;
  };
  const Caso casos[] = {
      {"2005", ""},
      {" 2005 ", ""},
      {"1990", ""},
      {"", "Dato Incorrecto"},
      {"    ", "Dato Incorrecto"},
      {"199", "Dato Incorrecto"},
      {"19900", "Dato Incorrecto"},
      {"20a5", "Dato Incorrecto"},
      // Numeric to a lenient reader, but not a year the statements can carry.
      {"2e03", "Dato Incorrecto"},
      {"20.5", "Dato Incorrecto"},
      {"1989", "Incorrecto el Periodo"},
      {"0000", "Incorrecto el Periodo"},
  };
  for (const Caso& caso : casos) {
    SCOPED_TRACE(caso.texto);
    EXPECT_EQ(intake::internal::ValidarPeriodo(caso.texto), caso.mensaje);
  }
}

}  // namespace
}  // namespace intake_test
