// The desktop run's end (the main window closed, or the event loop ended without it) deletes an
// empty error log and keeps, and reports, one with an entry; a window brought to the front is activated.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "app/consolida/escritorio.h"
#include "app/consolida/linea_de_comandos.h"
#include "gui/main_window_view.h"
#include "platform/ui/busy_scope.h"
#include "tests/gui/modales.h"

namespace gui_test {
namespace {

// Presses the default button of each message box while `*ronda` is still `esta`, noting its caption.
void Responder(std::vector<std::string>& titulos, const int* ronda, int esta) {
  QTimer::singleShot(0, [&titulos, ronda, esta] {
    if (*ronda != esta) return;
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      titulos.push_back(box->windowTitle().toStdString());
      box->defaultButton()->click();
    }
    Responder(titulos, ronda, esta);
  });
}

TEST(EscritorioTest, ElFinDeLaCorridaBorraElLogVacioYGuardaElQueTieneErrores) {
  EnsureApp();
  const struct {
    const char* nombre;
    bool con_error;
    bool cerrar;  // the close box; otherwise the loop just ends
    std::vector<std::string> titulos;
  } casos[] = {
      {"close, nothing logged", false, true, {"Cierre del Sistema"}},
      {"close, an error logged", true, true, {"Cierre del Sistema", "Captura de Errores"}},
      {"loop ended, nothing logged", false, false, {}},
      {"loop ended, an error logged", true, false, {"Captura de Errores"}},
  };
  std::vector<std::string> titulos;
  int ronda = 0;
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.nombre);
    test_support::TempFolder carpeta("consolida-escritorio");
    gui::QtUi ui;
    core::Aplicacion app(core::Configuracion{carpeta.path().string(), ""}, ui);
    consolida::PrepararMaquina(app);
    titulos.clear();
    ++ronda;
    Responder(titulos, &ronda, ronda);
    bool queda_al_cerrar = true;
    QTimer::singleShot(0, [&] {
      ASSERT_TRUE(std::filesystem::exists(app.ArchivoErr));
      if (caso.con_error) app.GrabarError("algo fallo", app.NroArchivoErr);
      for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* principal = dynamic_cast<gui::MainWindowView*>(widget);
        if (caso.cerrar && principal != nullptr && principal->isVisible()) {
          EXPECT_TRUE(principal->close());
        }
      }
      queda_al_cerrar = std::filesystem::exists(app.ArchivoErr);
      QCoreApplication::exit(0);  // quit() would close the main window, with its question
    });
    EXPECT_EQ(consolida::EjecutarEscritorio(app, ui), 0);
    ++ronda;
    if (caso.cerrar) {
      EXPECT_EQ(queda_al_cerrar, caso.con_error);
    }
    EXPECT_EQ(titulos, caso.titulos);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(carpeta.path() / "Log"), {}), caso.con_error ? 1 : 0);
  }
}

struct Ventana : ui::Form {
  explicit Ventana(std::string nombre) : Form(std::move(nombre)) {}
  void Form_Activate() override { ++activaciones; }
  int activaciones = 0;
};

// Not while busy, and not again for the window already in front.
TEST(EscritorioTest, UnaVentanaTraidaAlFrenteSeActiva) {
  EnsureApp();
  gui::QtUi ui;
  gui::MainWindowView principal("Consolida", {}, {});
  principal.show();
  ui.SetHost(&principal);
  Ventana primera("Primera"), segunda("Segunda");
  ui.Show(primera);
  ui.Show(segunda);
  const QList<QMdiSubWindow*> subs = principal.Area()->subWindowList();
  ASSERT_EQ(subs.size(), 2);
  const int antes = primera.activaciones;
  principal.Area()->setActiveSubWindow(subs[0]);
  principal.Area()->setActiveSubWindow(subs[0]);
  EXPECT_EQ(primera.activaciones, antes + 1);
  principal.Area()->setActiveSubWindow(subs[1]);
  ui::BusyScope ocupada(primera, ui);
  principal.Area()->setActiveSubWindow(subs[0]);
  EXPECT_EQ(primera.activaciones, antes + 1);
  ui.SetHost(nullptr);
}

}  // namespace
}  // namespace gui_test
