// The intake windows in the main menu: registered, their entries enabled, each opening its one
// window with its caption and fixed size, which a resize cannot change.
#include <gtest/gtest.h>

#include "core/mdi_principal.h"
#include "intake/ventanas.h"
#include "tests/support/carpeta_aplicacion.h"

namespace intake_test {

using namespace test_support;
namespace {

class VentanasTest : public VentanaPrueba {};

TEST_F(VentanasTest, ElMenuAbreCadaVentanaConSuTamanoFijo) {
  intake::RegistrarVentanas(App());
  core::MDIPrincipal mdi(App());
  const struct {
    const char* entrada;
    const char* ventana;
    const char* titulo;
    int ancho, alto;
  } casos[] = {
      {"CarEstr", "Proc_CargaNov", "Carga de Novedades", 10200, 5640},
      {"MnuNov", "Proc_Novedades", "Procesar Novedades", 3180, 3165},
      {"ProcPadron", "FrmPadron", "Procesa Padron", 3015, 2340},
      {"MnuMuestra", "FrmMuestra", "Procesa Muestra", 3015, 2340},
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.ventana);
    const ui::MenuEntry* entrada = mdi.Entrada(caso.entrada);
    ASSERT_NE(entrada, nullptr);
    EXPECT_TRUE(entrada->enabled);
    entrada->click();
    ui::Form* form = App().Ventana(caso.ventana);
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->Visible());
    EXPECT_EQ(form->Caption(), caso.titulo);
    form->UserResize(caso.ancho + 500, caso.alto - 300);
    EXPECT_EQ(form->Width(), caso.ancho);
    EXPECT_EQ(form->Height(), caso.alto);
    entrada->click();  // shown again, not created twice
    EXPECT_EQ(App().Ventana(caso.ventana), form);
  }
}

}  // namespace
}  // namespace intake_test
