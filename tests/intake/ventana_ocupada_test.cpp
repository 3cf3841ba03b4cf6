// The import windows while they work: they let events in between values (DoEvents), so a click
// or a close that the user makes meanwhile arrives in the middle of the import. Their buttons
// ignore it and the window stays open until the import ends.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "intake/frm_muestra.h"
#include "intake/frm_padron.h"
#include "intake/proc_novedades.h"
#include "tests/intake/tablas_de_prueba.h"
#include "tests/support/carpeta_aplicacion.h"

namespace intake_test {

using namespace test_support;
namespace {

using runtime::Valor;

class VentanaOcupadaTest : public VentanaPrueba {};

TEST_F(VentanaOcupadaTest, MientrasImportaNoAceptaOtroClicNiSeCierra) {
  struct Caso {
    const char* ventana;
    const char* boton;
    std::function<void(const fs::path& datos)> escribir;
    std::function<std::unique_ptr<ui::Form>(core::Aplicacion&)> crear;
    const char* procesado;  // the input file in Procesados afterwards
    const char* tabla;      // rows written by one run
    const char* filas;
  };
  const Caso casos[] = {
      {"Proc_Novedades", "Proceso",
       [](const fs::path& datos) {
         dbf::WriteDbf((datos / "ENCUES_1.dbf").string(), Encuesta());
       },
       [](core::Aplicacion& app) { return std::make_unique<intake::Proc_Novedades>(app); },
       "ENCUES_1_05122026112041.dbf", "SE_NOVEDAD", "10"},
      {"FrmPadron", "Command1",
       [](const fs::path& datos) {
         dbf::WriteDbf((datos / "Padron.dbf").string(),
                                Padron({EnBlanco("30500000001", "1"), EnBlanco("30500000002", "2")}));
       },
       [](core::Aplicacion& app) { return std::make_unique<intake::FrmPadron>(app); },
       "Padron_05122026112041.dbf", "SE_MUESTRA_PADRON", "4"},
      {"FrmMuestra", "Command1",
       [](const fs::path& datos) {
         EscribirMuestras((datos / "Muestras.xls").string(), kColumnasMuestra,
                          {{Valor::Null(), Valor::String("E2"), Valor::String("F"), Valor::Double(2005)},
                           {Valor::Null(), Valor::String("E3"), Valor::String("F"), Valor::Double(2005)}});
       },
       [](core::Aplicacion& app) { return std::make_unique<intake::FrmMuestra>(app); },
       "Muestras_05122026112041.xls", "SE_MUESTRA_PADRON", "2"},
  };
  for (const Caso& caso : casos) {
    SCOPED_TRACE(caso.ventana);
    TearDown();
    SetUp();
    caso.escribir(carpeta_ / "Datos");
    std::unique_ptr<ui::Form> form = caso.crear(App());
    Ui().Show(*form);
    auto* boton = static_cast<ui::CommandButton*>(form->FindControl(caso.boton));
    ASSERT_NE(boton, nullptr);
    if (auto* periodo = static_cast<ui::TextBox*>(form->FindControl("TxtPeriodo"))) {
      periodo->UserEdit("2005");
    }

    // The user clicks again and closes the window while the first values are being written.
    std::vector<std::string> durante;
    Ui().SetDoEventsHook([&] {
      if (!durante.empty()) return;
      durante.push_back(boton->Enabled() ? "habilitado" : "deshabilitado");
      durante.push_back(boton->UserClick() ? "clic aceptado" : "clic ignorado");
      durante.push_back(form->UserClose() ? "cerrada" : "abierta");
    });
    ASSERT_TRUE(boton->UserClick());

    EXPECT_EQ(durante, (std::vector<std::string>{"deshabilitado", "clic ignorado", "abierta"}));
    EXPECT_EQ(Ui().Prompts(),
              std::vector<std::string>{"Espere a que termine el proceso en curso"});
    EXPECT_EQ(EntradasLog(), std::vector<std::string>{});
    EXPECT_EQ(Filas(std::string("Select Count(*) From ") + caso.tabla),
              std::vector<std::string>{caso.filas});
    EXPECT_EQ(Carpeta("Procesados"), std::vector<std::string>{caso.procesado});
    EXPECT_TRUE(form->Visible());
    EXPECT_TRUE(boton->Enabled());
    // Once the import is over the window closes as usual.
    Ui().SetDoEventsHook(nullptr);
    EXPECT_TRUE(form->UserClose());
  }
}

}  // namespace
}  // namespace intake_test
