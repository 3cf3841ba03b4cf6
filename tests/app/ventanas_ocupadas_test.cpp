// Every window with a long operation, clicked and closed from inside it (where a repaint, message
// or picker hands control to the desktop): the click is ignored, the close refused, the menu opens
// nothing, a picker still works, and the buttons end as the operation left them.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/mdi_principal.h"
#include "formulas/ventanas.h"
#include "intake/ventanas.h"
#include "reports/ventanas.h"
#include "runner/ventanas.h"
#include "sequences/ventanas.h"
#include "tests/intake/tablas_de_prueba.h"
#include "tests/support/encuesta_catalogada.h"

namespace app_test {
namespace {

using runtime::Valor;
using test_support::Indice;

class VentanasOcupadas : public test_support::EncuestaCatalogada {
 protected:
  void SetUp() override {
    EncuestaCatalogada::SetUp();
    for (auto registrar : {intake::RegistrarVentanas, formulas::RegistrarVentanas, sequences::RegistrarVentanas,
                           runner::RegistrarVentanas, reports::RegistrarVentanas}) {
      registrar(App());
    }
  }
};

template <typename T>
T& De(ui::Form& form, const char* nombre) {
  return dynamic_cast<T&>(*form.FindControl(nombre));
}

std::map<std::string, bool> Botones(const ui::Form& form) {
  std::map<std::string, bool> botones;
  for (const ui::Control* c : form.Controls()) {
    if (c->Kind() == ui::ControlKind::kCommandButton) botones[c->Name() + (c->Index() < 0 ? "" : std::to_string(c->Index()))] = c->Enabled();
  }
  return botones;
}

// A picker's script: the item starting with `item`, then `boton`, which must take the click.
ui::ScriptedUi::ModalScript Elegir(const char* lista, const char* item, const char* boton) {
  return [=](ui::Form& picker) {
    De<ui::ListBox>(picker, lista).UserClick(Indice(De<ui::ListBox>(picker, lista), item));
    EXPECT_TRUE(De<ui::CommandButton>(picker, boton).UserClick()) << picker.Name();
  };
}

TEST_F(VentanasOcupadas, LaOperacionNoAceptaOtroClicNiCierreNiMenu) {
  struct Caso {
    const char* ventana;
    const char* boton;
    std::function<void(ui::Form&)> preparar;
    std::map<std::string, bool> cambios = {};  // buttons the operation itself enables or disables
    const char* cuenta = nullptr;  // a query of what it stored, then its count
    const char* filas = nullptr;
  };
  auto nada = [](ui::Form&) {};
  auto periodo = [](ui::Form& f) { De<ui::TextBox>(f, "TxtPeriodo").UserEdit("2006"); };
  const char* muestra = "Select Count(*) From SE_MUESTRA_PADRON Where Periodo = 2006";
  const Caso casos[] = {
      {"Proc_Novedades", "Proceso",
       [&](ui::Form& f) { EscribirDbf("ENCUES_1.dbf", intake_test::Encuesta()), periodo(f); },
       {}, "Select Count(*) From SE_NOVEDAD Where Periodo = 2006", "10"},
      {"FrmPadron", "Command1",
       [&](ui::Form& f) {
         EscribirDbf("Padron.dbf", intake_test::Padron({intake_test::EnBlanco("30500000009", "9")})), periodo(f);
       },
       {}, muestra, "1"},
      {"FrmMuestra", "Command1",
       [&](ui::Form&) {
         intake_test::EscribirMuestras((carpeta_ / "Datos" / "Muestras.xls").string(), intake_test::kColumnasMuestra,
                                       {{Valor::Null(), Valor::String("E9"), Valor::String("F"), Valor::Double(2006)}});
       },
       {}, muestra, "1"},
      // Saved and generated: back to no formula, whose buttons the editor sets itself.
      {"FrmFormulas", "CmdGenerar",
       [&](ui::Form& f) {
         De<ui::CommandButton>(f, "CmdCrear").UserClick();
         De<ui::TextBox>(f, "txtNombre").UserEdit("Ventas");
         De<ui::TextBox>(f, "txtResulVar").UserEdit("VENTOT");
         Ui().QueueModal("FrmBFormulario", Elegir("lstFormularios", "ENCUES_1", "CmdAceptar"));
         De<ui::CommandButton>(f, "CmdAddForm").UserClick();
         De<ui::CommandButton>(f, "CmdFormula").UserClick();
         De<ui::ListBox>(f, "LstCampos").UserDblClick(Indice(De<ui::ListBox>(f, "LstCampos"), "VENTAS"));
       },
       {{"CmdCrear", true}, {"CmdModif", true}}, "Select Count(*) From SE_CABFORMULA Where FC_NomVar = 'VENTOT'", "1"},
      {"FrmFormulas", "CmdAddForm",
       [&](ui::Form& f) {
         De<ui::CommandButton>(f, "CmdCrear").UserClick();
         Ui().QueueModal("FrmBFormulario", Elegir("lstFormularios", "ENCUES_1", "CmdAceptar"));
       }},
      {"FrmSecuenciador", "CmdModificar",
       [&](ui::Form&) {
         Sql("INSERT INTO SE_CABSECUENCIA (SC_NOMBRE, SC_TIPO, SC_IDARC, SC_ACTIVO) VALUES ('Anual', 'F', 1, 1)");
         Ui().QueueModal("FrmBuModSec", Elegir("lstFormularios", "Anual", "CmdAceptar"));
       },
       {{"CmdCrear", false}, {"CmdModificar", false}, {"CmdEliSec", true}, {"CmdAddForm", true},
        {"CmdSecuencia", true}}},
      {"Proc_CargaNov", "cmdActualiza",
       [](ui::Form& f) {
         De<ui::ListBox>(f, "LstForm").UserDblClick(Indice(De<ui::ListBox>(f, "LstForm"), "ENCUES_1"));
         De<ui::Grid>(f, "MFGField").UserClick(1, 0);
         De<ui::CommandButton>(f, "Command1").UserClick();
         De<ui::TextBox>(f, "TxtCampo").UserEdit("1 nombre");  // refused with a message
       }},
      {"FrmProcSecuencia", "CmdProcesar2", nada},
      {"FrmReporte", "CmdGenerar", nada},
      {"FrmConsForm", "CmdConsulta", [](ui::Form& f) { De<ui::ComboBox>(f, "cbxFormulario").SetText("ENCUES"); }},
      {"FrmConsSec", "CmdConsulta", nada},
  };
  for (const Caso& caso : casos) {
    SCOPED_TRACE(std::string(caso.ventana) + " " + caso.boton);
    TearDown();
    SetUp();
    core::MDIPrincipal principal(App());
    ui::Form& form = *App().Ventana(caso.ventana);
    Ui().Show(form);
    caso.preparar(form);
    auto& boton = De<ui::CommandButton>(form, caso.boton);
    std::map<std::string, bool> esperados = Botones(form);
    for (const auto& [nombre, habilitado] : caso.cambios) esperados.at(nombre) = habilitado;
    Ui().ClearMessages();

    std::vector<std::string> durante;
    Ui().SetInsideHook([&] {
      if (!durante.empty()) return;
      durante = {boton.Enabled() ? "habilitado" : "deshabilitado", boton.UserClick() ? "clic" : "ignorado",
                 form.UserClose() ? "cerrada" : "abierta",
                 principal.MostrarVentana("FrmCmdProcess") ? "menu" : "sin menu"};
    });
    ASSERT_TRUE(boton.UserClick());
    Ui().SetInsideHook(nullptr);

    EXPECT_EQ(durante, (std::vector<std::string>{"deshabilitado", "ignorado", "abierta", "sin menu"}));
    const std::vector<std::string> mensajes = Ui().Prompts();
    EXPECT_EQ(std::count(mensajes.begin(), mensajes.end(), "Espere a que termine el proceso en curso"), 1);
    EXPECT_EQ(EntradasLog(), std::vector<std::string>{});
    if (caso.cuenta != nullptr) {
      EXPECT_EQ(Filas(caso.cuenta), std::vector<std::string>{caso.filas});
    }
    EXPECT_EQ(Botones(form), esperados);
    EXPECT_TRUE(principal.MostrarVentana("FrmCmdProcess"));
    EXPECT_TRUE(form.UserClose());
  }
}

}  // namespace
}  // namespace app_test
