// The desktop run, offscreen: its end (the main window closed and confirmed, or the event loop
// ended without it) deletes this run's error log when nothing was written to it, and keeps it and
// says so when something was; a task window brought to the front is activated.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "app/consolida/escritorio.h"
#include "app/consolida/linea_de_comandos.h"
#include "core/aplicacion.h"
#include "gui/main_window_view.h"
#include "gui/qt_ui.h"
#include "platform/ui/busy_scope.h"
#include "platform/ui/form.h"
#include "tests/gui/modales.h"
#include "tests/support/temp_folder.h"

namespace gui_test {
namespace {

struct Respuestas {
  std::vector<std::string> titulos;
  int ronda = 0;  // the answering of an earlier round stops
};

// Presses the default button of every message box that comes up during round `ronda`,
// recording its caption.
void Responder(Respuestas& respuestas, int ronda) {
  QTimer::singleShot(0, [&respuestas, ronda] {
    if (respuestas.ronda != ronda) return;
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      respuestas.titulos.push_back(box->windowTitle().toStdString());
      box->defaultButton()->click();
    }
    Responder(respuestas, ronda);
  });
}

gui::MainWindowView* VentanaPrincipal() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (auto* ventana = dynamic_cast<gui::MainWindowView*>(widget); ventana && ventana->isVisible()) return ventana;
  }
  return nullptr;
}

TEST(EscritorioTest, ElFinDeLaCorridaBorraElLogVacioYGuardaElQueTieneErrores) {
  EnsureApp();
  const struct {
    const char* nombre;
    bool con_error;
    bool cerrar;  // the close box; otherwise the event loop just ends
    std::vector<std::string> titulos;
  } casos[] = {
      {"close, nothing logged", false, true, {"Cierre del Sistema"}},
      {"close, an error logged", true, true, {"Cierre del Sistema", "Captura de Errores"}},
      {"loop ended, nothing logged", false, false, {}},
      {"loop ended, an error logged", true, false, {"Captura de Errores"}},
  };
  Respuestas respuestas;
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.nombre);
    test_support::TempFolder carpeta("consolida-escritorio");
    gui::QtUi ui;
    core::Aplicacion app(core::Configuracion{carpeta.path().string(), ""}, ui);
    consolida::PrepararMaquina(app);

    respuestas.titulos.clear();
    Responder(respuestas, ++respuestas.ronda);
    bool habia_log = false;
    bool queda_al_cerrar = true;
    QTimer::singleShot(0, [&] {
      habia_log = std::filesystem::exists(app.ArchivoErr);
      if (caso.con_error) app.GrabarError("algo fallo", app.NroArchivoErr);
      if (caso.cerrar) {
        gui::MainWindowView* ventana = VentanaPrincipal();
        ASSERT_NE(ventana, nullptr);
        EXPECT_TRUE(ventana->close());
        queda_al_cerrar = std::filesystem::exists(app.ArchivoErr);
      }
      // Also after the close, so that a window left on the screen cannot keep the loop running.
      // (quit() would close the main window first, with its question.)
      QCoreApplication::exit(0);
    });
    EXPECT_EQ(consolida::EjecutarEscritorio(app, ui), 0);
    ++respuestas.ronda;

    EXPECT_TRUE(habia_log);
    if (caso.cerrar) {
      EXPECT_EQ(queda_al_cerrar, caso.con_error);
    }
    EXPECT_EQ(respuestas.titulos, caso.titulos);
    EXPECT_EQ(std::filesystem::exists(app.ArchivoErr), caso.con_error);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(carpeta.path() / "Log"), {}), caso.con_error ? 1 : 0);
  }
}

// A task window that counts its activations.
class Ventana : public ui::Form {
 public:
  explicit Ventana(std::string nombre) : Form(std::move(nombre)) {}
  int activaciones = 0;

 protected:
  void Form_Activate() override { ++activaciones; }
};

// Bringing a task window to the front (a click on it) activates it, as a showing does; not while
// it is busy, and not the one that was already in front.
TEST(EscritorioTest, UnaVentanaTraidaAlFrenteSeActiva) {
  EnsureApp();
  gui::QtUi ui;
  gui::MainWindowView principal("Consolida", {}, {});
  principal.show();
  ui.SetHost(&principal);
  Ventana primera("Primera"), segunda("Segunda");
  ui.Show(primera);
  ui.Show(segunda);
  ASSERT_EQ(principal.Area()->subWindowList().size(), 2);
  QMdiSubWindow* sub_primera = principal.Area()->subWindowList()[0];
  QMdiSubWindow* sub_segunda = principal.Area()->subWindowList()[1];
  const int antes = primera.activaciones;

  principal.Area()->setActiveSubWindow(sub_primera);
  EXPECT_EQ(primera.activaciones, antes + 1);
  principal.Area()->setActiveSubWindow(sub_primera);
  EXPECT_EQ(primera.activaciones, antes + 1);
  principal.Area()->setActiveSubWindow(sub_segunda);
  {
    ui::BusyScope ocupada(primera, ui);
    principal.Area()->setActiveSubWindow(sub_primera);
    EXPECT_EQ(primera.activaciones, antes + 1);
  }
  ui.SetHost(nullptr);
}

}  // namespace
}  // namespace gui_test
