// The main window's model: its menu bar, task windows opened once per run, the close question
// and the end-of-run check of the log.
#include <gtest/gtest.h>

#include "core/inicio.h"
#include "core/mdi_principal.h"
#include "platform/ui/ui.h"
#include "tests/support/carpeta_aplicacion.h"

namespace core_test {

using namespace test_support;
namespace {

// A task window with a text box the user has typed in.
class VentanaDePrueba : public ui::Form {
 public:
  explicit VentanaDePrueba(std::string nombre) : Form(std::move(nombre)) {}
  ui::TextBox TxtPeriodo{*this, "TxtPeriodo"};
};

class Principal : public CarpetaAplicacion {
 protected:
  void RegistrarPrueba(const std::string& nombre) {
    App().RegistrarVentana(nombre, [this, nombre](core::Aplicacion&) {
      ++creadas_[nombre];
      return std::make_unique<VentanaDePrueba>(nombre);
    });
  }

  // Starts the program with FrmPadron's window registered and opens it from its menu entry.
  std::unique_ptr<core::MDIPrincipal> Arrancar() {
    RegistrarPrueba("FrmPadron");
    auto principal = core::Main(App(), [](core::MDIPrincipal&) {});
    EXPECT_NE(principal, nullptr);
    return principal;
  }
  VentanaDePrueba* Padron(const core::MDIPrincipal& principal) {
    Elegir(principal, "ProcPadron");
    return dynamic_cast<VentanaDePrueba*>(App().Ventana("FrmPadron"));
  }

  // Chooses a menu entry as the user would.
  void Elegir(const core::MDIPrincipal& principal, const std::string& nombre) {
    const ui::MenuEntry* entrada = principal.Entrada(nombre);
    ASSERT_NE(entrada, nullptr) << nombre;
    ASSERT_TRUE(entrada->enabled) << nombre;
    ASSERT_TRUE(entrada->click) << nombre;
    entrada->click();
  }

  std::map<std::string, int> creadas_;
};

// The menu bar rendered as one text: "name:caption[window]" per entry, items indented.
std::string Dibujo(const std::vector<ui::MenuEntry>& entradas, const std::string& sangria = "") {
  std::string texto;
  for (const ui::MenuEntry& entrada : entradas) {
    texto += sangria + entrada.name + ":" + entrada.caption;
    const std::string ventana = core::MDIPrincipal::VentanaDe(entrada.name);
    if (!ventana.empty()) texto += "[" + ventana + (entrada.enabled ? "" : ",off") + "]";
    texto += "\n" + Dibujo(entrada.items, sangria + "  ");
  }
  return texto;
}

TEST_F(Principal, LaBarraDeMenuTieneCadaEntradaEnSuOrden) {
  auto principal = Arrancar();
  EXPECT_EQ(Dibujo(principal->Menu()),
            "MnuCarga:Carga\n"
            "  CarEstr:Estructuras[Proc_CargaNov,off]\n"
            "mnuGenerador:Generadores\n"
            "  Frm:Formula[FrmFormulas,off]\n"
            "  Sec:Secuencia[FrmSecuenciador,off]\n"
            "MnuProceso:Procesos\n"
            "  MnuMuestra:Muestra[FrmMuestra,off]\n"
            "  ProcPadron:Padron[FrmPadron]\n"
            "  MnuNov:Novedades[Proc_Novedades,off]\n"
            "  PCS:Correr Secuencia[FrmProcSecuencia,off]\n"
            "mnuReporte:Reporte\n"
            "  MnuRepRE:Estimacion[FrmReporte,off]\n"
            "  MnuRepF:Formulas[FrmConsForm,off]\n"
            "  MnuRSec:Secuencia[FrmConsSec,off]\n"
            "mnuPC:Panel de Comando[FrmCmdProcess,off]\n");
}

TEST_F(Principal, CadaVentanaSeCreaUnaVezYVuelveAlFrente) {
  RegistrarPrueba("FrmCmdProcess");
  auto principal = Arrancar();
  auto* padron = Padron(*principal);
  ASSERT_NE(padron, nullptr);
  padron->TxtPeriodo.SetText("2005");
  Elegir(*principal, "mnuPC");
  Elegir(*principal, "ProcPadron");

  EXPECT_EQ(creadas_, (std::map<std::string, int>{{"FrmCmdProcess", 1}, {"FrmPadron", 1}}));
  EXPECT_EQ(Ui().ShownForms(),
            (std::vector<std::string>{"FrmPadron", "FrmCmdProcess", "FrmPadron"}));
  EXPECT_EQ(App().Ventana("FrmPadron"), padron);
  EXPECT_EQ(padron->TxtPeriodo.Text(), "2005");
  EXPECT_FALSE(principal->MostrarVentana("FrmFormulas"));
}

// The close question: No changes nothing and leaves the log open; Yes unloads the windows and
// checks the log, which warns only of a run that caught an error.
TEST_F(Principal, ElCierreSeConfirmaYRevisaElLog) {
  const struct {
    const char* nombre;
    int respuesta;
    bool con_error;
    std::vector<std::string> titulos;
  } casos[] = {
      {"answer No", ui::vbNo, false, {"Cierre del Sistema"}},
      {"run without errors", ui::vbYes, false, {"Cierre del Sistema"}},
      {"run with a caught error", ui::vbYes, true, {"Cierre del Sistema", "Captura de Errores"}},
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.nombre);
    app_.reset();
    Ui().ClearMessages();
    fs::remove_all(carpeta_ / "Log");
    auto principal = Arrancar();
    auto* padron = Padron(*principal);
    ASSERT_NE(padron, nullptr);
    padron->TxtPeriodo.SetText("2005");
    if (caso.con_error) App().GrabarError("algo fallo", App().NroArchivoErr);

    Ui().QueueAnswer(caso.respuesta);
    const bool cierra = caso.respuesta == ui::vbYes;
    EXPECT_EQ(principal->Cerrar(ui::vbFormControlMenu), cierra);
    EXPECT_EQ(principal->Terminado(), cierra);
    ASSERT_EQ(Titulos(), caso.titulos);
    EXPECT_EQ(Ui().Messages()[0].prompt, "Esta a punto de Cerrar el Sistema.\r\nEs correcto?");
    EXPECT_EQ(Ui().Messages()[0].style, ui::vbYesNo + ui::vbInformation);
    EXPECT_EQ(padron->Loaded(), !cierra);
    if (!cierra) {
      EXPECT_TRUE(padron->Visible());
      EXPECT_EQ(padron->TxtPeriodo.Text(), "2005");
      // The log is still open: errors of the rest of the run still reach it.
      App().GrabarError("despues", App().NroArchivoErr);
      EXPECT_GT(fs::file_size(App().ArchivoErr), 0u);
    } else {
      EXPECT_EQ(Nombres(carpeta_ / "Log").size(), caso.con_error ? 1u : 0u);
      EXPECT_THROW(App().GrabarError("tarde", App().NroArchivoErr), runtime::VbError);
    }
  }
}

// A window that refuses to go (its own QueryUnload cancels) keeps the program open.
class VentanaTerca : public ui::Form {
 public:
  VentanaTerca() : Form("FrmProcSecuencia") {}

 protected:
  void Form_QueryUnload(int& cancel, int) override { cancel = 1; }
};

TEST_F(Principal, UnaVentanaQueNoSeCierraDetieneElCierre) {
  App().RegistrarVentana("FrmProcSecuencia",
                         [](core::Aplicacion&) { return std::make_unique<VentanaTerca>(); });
  auto principal = Arrancar();
  Elegir(*principal, "PCS");
  Ui().QueueAnswer(ui::vbYes);
  EXPECT_FALSE(principal->Cerrar(ui::vbFormControlMenu));
  EXPECT_FALSE(principal->Terminado());
  EXPECT_TRUE(fs::exists(App().ArchivoErr));
  App().GrabarError("sigue abierto", App().NroArchivoErr);
}

}  // namespace
}  // namespace core_test
