// The pure rules of the intake windows: the working values of a survey
// value, the digits of a CUIT and the check of a typed year.
#include <gtest/gtest.h>

#include <string>

#include "intake/frm_padron.h"
#include "intake/internal/comun.h"
#include "intake/proc_novedades.h"
#include "platform/runtime/conversions.h"
#include "platform/runtime/vb_error.h"
#include "tests/platform/runtime/error_of.h"

namespace intake_test {
namespace {

// Each tag sets its own working value; an 'Int' value beyond the 32 bits of ValorInt is an
// overflow (the import logs and skips that value).
TEST(ConvertirValorTest, CadaEtiquetaLlenaSuValor) {
  using runtime::Valor;
  struct Caso {
    const char* sufijo;
    Valor valor;
    const char* esperado;  // texto|entero|doble|fecha, or the error number
  };
  const Caso casos[] = {
      {"Str", Valor::String("  O'Brien  "), "O'Brien|0|0|"}, {"Str", Valor::Null(), "|0|0|"},
      {"Int", Valor::Long(40000), "|40000|0|"},  {"Int", Valor::Null(), "|0|0|"},
      {"Int", Valor::Double(2147483648.0), "error 6"},
      {"Dbl", Valor::Double(1234.5), "|0|1234.5|"}, {"Dbl", Valor::Null(), "|0|0|"},
      {"Dte", Valor::String("31/01/2024"), "|0|0|31/01/2024"}, {"Dte", Valor::Null(), "|0|0|"},
      {"Var", Valor::Long(7), "|0|0|"},
  };
  for (const Caso& caso : casos) {
    SCOPED_TRACE(std::string(caso.sufijo) + " " + caso.esperado);
    std::string obtenido;
    try {
      const intake::ValorNovedad v = intake::ConvertirValor(caso.sufijo, caso.valor);
      obtenido = v.texto + "|" + std::to_string(v.entero) + "|" + runtime::CStrDouble(v.doble) +
                 "|" + v.fecha;
    } catch (const runtime::VbError& error) {
      obtenido = "error " + std::to_string(error.Number());
    }
    EXPECT_EQ(obtenido, caso.esperado);
  }
}

TEST(SoloNumerosTest, LeeSoloLosDigitos) {
  struct Caso {
    const char* texto;
    double numero;
  };
  const Caso casos[] = {{"30-12345678-9", 30123456789.0}, {" 27 1.2,3 ", 27123.0}, {"007", 7.0}};
  for (const Caso& caso : casos) {
    SCOPED_TRACE(caso.texto);
    EXPECT_EQ(intake::SoloNumeros(caso.texto), caso.numero);
  }
  for (const char* sin_digitos : {"", "s/n"}) {
    SCOPED_TRACE(sin_digitos);
    EXPECT_EQ(test_support::ErrorNumberOf([&] { intake::SoloNumeros(sin_digitos); }),
              runtime::kVbTypeMismatch);
  }
}

TEST(PeriodoTest, SoloCuatroDigitosDesde1990) {
  struct Caso {
    const char* texto;
    const char* mensaje;
  };
  const Caso casos[] = {
      {" 2005 ", ""}, {"1990", ""}, {"199", "Dato Incorrecto"}, {"20a5", "Dato Incorrecto"},
      // Numeric to a lenient reader, but not a year the statements can carry.
      {"2e03", "Dato Incorrecto"}, {"1989", "Incorrecto el Periodo"},
  };
  for (const Caso& caso : casos) {
    SCOPED_TRACE(caso.texto);
    EXPECT_EQ(intake::internal::ValidarPeriodo(caso.texto), caso.mensaje);
  }
}

}  // namespace
}  // namespace intake_test
