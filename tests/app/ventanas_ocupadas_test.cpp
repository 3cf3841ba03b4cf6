// Every window with a long operation while it works: the operation hands control to the desktop
// in its middle (progress repaints, a message, a picker), and a click or a close the user makes
// then arrives inside it. The window's buttons ignore it, the close is refused, the main menu
// opens nothing, a picker it shows still works, and afterwards the buttons are as the operation
// left them.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <utility>
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

using test_support::Indice;

class VentanasOcupadas : public test_support::EncuestaCatalogada {
 protected:
  void SetUp() override {
    EncuestaCatalogada::SetUp();
    intake::RegistrarVentanas(App());
    formulas::RegistrarVentanas(App());
    sequences::RegistrarVentanas(App());
    runner::RegistrarVentanas(App());
    reports::RegistrarVentanas(App());
  }
  void TearDown() override {
    enviadas_.reset();  // before a new fixture records again
    EncuestaCatalogada::TearDown();
  }
};

template <typename T>
T& De(ui::Form& form, const char* nombre) {
  auto* control = dynamic_cast<T*>(form.FindControl(nombre));
  if (control == nullptr) throw std::logic_error(std::string("no control ") + nombre + " in " + form.Name());
  return *control;
}

// The Enabled state of each command button, by name (and index).
std::map<std::string, bool> Botones(const ui::Form& form) {
  std::map<std::string, bool> botones;
  for (const ui::Control* control : form.Controls()) {
    if (control->Kind() != ui::ControlKind::kCommandButton) continue;
    botones[control->Name() + (control->Index() >= 0 ? std::to_string(control->Index()) : "")] = control->Enabled();
  }
  return botones;
}

// A picker's script: picks the item starting with `item` in list `lista`, then presses `boton`,
// which must take the click although the window that opened the picker is busy.
ui::ScriptedUi::ModalScript Elegir(const char* lista, const char* item, const char* boton) {
  return [=](ui::Form& picker) {
    auto& opciones = De<ui::ListBox>(picker, lista);
    opciones.UserClick(Indice(opciones, item));
    EXPECT_TRUE(De<ui::CommandButton>(picker, boton).UserClick()) << picker.Name();
  };
}

TEST_F(VentanasOcupadas, LaOperacionNoAceptaOtroClicNiCierreNiMenu) {
  struct Caso {
    const char* ventana;
    const char* boton;
    std::function<void(ui::Form&)> preparar;
    std::map<std::string, bool> cambios;  // the buttons the operation itself enables or disables
    const char* consulta = nullptr;       // what the operation stored, counted
    const char* cuenta = nullptr;
  };
  const Caso casos[] = {
      {"Proc_Novedades", "Proceso",
       [this](ui::Form& form) {
         EscribirDbf("ENCUES_1.dbf", intake_test::Encuesta());
         De<ui::TextBox>(form, "TxtPeriodo").UserEdit("2006");
       },
       {}, "Select Count(*) From SE_NOVEDAD Where Periodo = 2006", "10"},
      {"FrmPadron", "Command1",
       [this](ui::Form& form) {
         EscribirDbf("Padron.dbf", intake_test::Padron({intake_test::EnBlanco("30500000009", "9")}));
         De<ui::TextBox>(form, "TxtPeriodo").UserEdit("2006");
       },
       {}, "Select Count(*) From SE_MUESTRA_PADRON Where Periodo = 2006", "1"},
      {"FrmMuestra", "Command1",
       [this](ui::Form&) {
         intake_test::EscribirMuestras(
             (carpeta_ / "Datos" / "Muestras.xls").string(), intake_test::kColumnasMuestra,
             {{runtime::Valor::Null(), runtime::Valor::String("E9"), runtime::Valor::String("F"),
               runtime::Valor::Double(2006)}});
       },
       {}, "Select Count(*) From SE_MUESTRA_PADRON Where Periodo = 2006", "1"},
      // Saved and generated: the editor goes back to no formula, whose buttons it sets itself.
      {"FrmFormulas", "CmdGenerar",
       [this](ui::Form& form) {
         De<ui::CommandButton>(form, "CmdCrear").UserClick();
         De<ui::TextBox>(form, "txtNombre").UserEdit("Ventas");
         De<ui::TextBox>(form, "txtResulVar").UserEdit("VENTOT");
         Ui().QueueModal("FrmBFormulario", Elegir("lstFormularios", "ENCUES_1", "CmdAceptar"));
         De<ui::CommandButton>(form, "CmdAddForm").UserClick();
         De<ui::CommandButton>(form, "CmdFormula").UserClick();
         auto& campos = De<ui::ListBox>(form, "LstCampos");
         campos.UserDblClick(Indice(campos, "VENTAS"));
       },
       {{"CmdCrear", true}, {"CmdModif", true}},
       "Select Count(*) From SE_CABFORMULA Where FC_NomVar = 'VENTOT'", "1"},
      // The forms picker is shown in the middle of the work: its own buttons still work.
      {"FrmFormulas", "CmdAddForm",
       [this](ui::Form& form) {
         De<ui::CommandButton>(form, "CmdCrear").UserClick();
         Ui().QueueModal("FrmBFormulario", Elegir("lstFormularios", "ENCUES_1", "CmdAceptar"));
       },
       {}},
      {"FrmSecuenciador", "CmdModificar",
       [this](ui::Form&) {
         Sql("INSERT INTO SE_CABSECUENCIA (SC_NOMBRE, SC_TIPO, SC_IDARC, SC_ACTIVO) VALUES ('Anual', 'F', 1, 1)");
         Ui().QueueModal("FrmBuModSec", Elegir("lstFormularios", "Anual", "CmdAceptar"));
       },
       {{"CmdCrear", false}, {"CmdModificar", false}, {"CmdEliSec", true}, {"CmdAddForm", true},
        {"CmdSecuencia", true}}},
      {"Proc_CargaNov", "cmdActualiza",
       [](ui::Form& form) {
         auto& lista = De<ui::ListBox>(form, "LstForm");
         lista.UserDblClick(Indice(lista, "ENCUES_1"));
         De<ui::Grid>(form, "MFGField").UserClick(1, 0);
         De<ui::CommandButton>(form, "Command1").UserClick();
         De<ui::TextBox>(form, "TxtCampo").UserEdit("1 nombre");  // refused: no identifier
       },
       {}},
      {"FrmProcSecuencia", "CmdProcesar2", [](ui::Form&) {}, {}},
      {"FrmReporte", "CmdGenerar", [](ui::Form&) {}, {}},
      {"FrmConsForm", "CmdConsulta",
       [](ui::Form& form) { De<ui::ComboBox>(form, "cbxFormulario").SetText("ENCUES"); }, {}},
      {"FrmConsSec", "CmdConsulta", [](ui::Form&) {}, {}},
  };
  const std::string kEspere = "Espere a que termine el proceso en curso";
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
      durante.push_back(boton.Enabled() ? "habilitado" : "deshabilitado");
      durante.push_back(boton.UserClick() ? "clic aceptado" : "clic ignorado");
      durante.push_back(form.UserClose() ? "cerrada" : "abierta");
      durante.push_back(principal.MostrarVentana("FrmCmdProcess") ? "menu abierto" : "menu ignorado");
    });
    ASSERT_TRUE(boton.UserClick());
    Ui().SetInsideHook(nullptr);

    EXPECT_EQ(durante, (std::vector<std::string>{"deshabilitado", "clic ignorado", "abierta", "menu ignorado"}));
    int refusals = 0;
    for (const auto& mensaje : Ui().Messages()) {
      if (mensaje.prompt != kEspere) continue;
      ++refusals;
      EXPECT_EQ(mensaje.style, ui::vbExclamation);
    }
    EXPECT_EQ(refusals, 1) << testing::PrintToString(Ui().Prompts());
    EXPECT_EQ(EntradasLog(), std::vector<std::string>{});
    if (caso.consulta != nullptr) {
      EXPECT_EQ(Filas(caso.consulta), std::vector<std::string>{caso.cuenta});
    }
    EXPECT_FALSE(form.Busy());
    EXPECT_TRUE(form.Visible());
    EXPECT_EQ(Botones(form), esperados);
    EXPECT_TRUE(principal.MostrarVentana("FrmCmdProcess"));
    EXPECT_TRUE(form.UserClose());
  }
}

}  // namespace
}  // namespace app_test
