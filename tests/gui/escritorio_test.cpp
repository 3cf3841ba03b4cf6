// The desktop as a user meets it, offscreen: windows inside the work area with their captions
// whole, Enter and Escape press a window's buttons, Tab leaves a grid, F10 opens the menu.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include "app/consolida/ventanas.h"
#include "core/mdi_principal.h"
#include "gui/form_view.h"
#include "gui/main_window_view.h"
#include "platform/runtime/vb_error.h"
#include "tests/gui/modales.h"

namespace {

// The program's main window over a fresh application with every task window registered.
struct Escritorio {
  Escritorio() {
    main.show();
    prueba.qt_ui.SetHost(&main);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&main));
  }
  ~Escritorio() { prueba.qt_ui.SetHost(nullptr); }

  // Opens every window of the menu as the user would; returns the control names of the entries.
  std::vector<std::string> AbrirElMenu() {
    std::vector<std::string> entradas;
    std::function<void(const std::vector<ui::MenuEntry>&)> abrir = [&](const auto& nivel) {
      for (const ui::MenuEntry& entrada : nivel) {
        abrir(entrada.items);
        if (!entrada.items.empty()) continue;
        entradas.push_back(entrada.name);
        main.MenuAction(entrada.name)->trigger();
      }
    };
    abrir(mdi.Menu());
    QApplication::processEvents();
    return entradas;
  }

  gui::FormView* Vista(const std::string& ventana) const {
    for (QMdiSubWindow* sub : main.Area()->subWindowList()) {
      auto* view = dynamic_cast<gui::FormView*>(sub->widget());
      if (view != nullptr && view->Model().Name() == ventana) return view;
    }
    return nullptr;
  }

  bool app_hecha = (gui_test::EnsureApp(), true);
  gui_test::AplicacionQt prueba;
  bool registradas = (RegistrarVentanas(prueba.app), true);
  core::MDIPrincipal mdi{prueba.app};
  gui::MainWindowView main{mdi.Caption(), mdi.Menu(), {}};
};

// At the main window's default size, each window opened from the menu lies wholly inside the
// work area, and a window of fixed size offers no maximise button. Then no text is cut in any
// window of the program, whether it opens from the menu or from another window.
TEST(EscritorioTest, LasVentanasAbrenDentroDelAreaYMuestranSusTextosEnteros) {
  Escritorio escritorio;
  const std::vector<std::string> entradas = escritorio.AbrirElMenu();
  QMdiArea* area = escritorio.main.Area();
  ASSERT_EQ(area->subWindowList().size(), entradas.size());
  const QRect visible(QPoint(0, 0), area->viewport()->size());
  for (QMdiSubWindow* sub : area->subWindowList()) {
    auto* view = dynamic_cast<gui::FormView*>(sub->widget());
    ASSERT_NE(view, nullptr);
    SCOPED_TRACE(view->Model().Name());
    EXPECT_TRUE(visible.contains(sub->geometry())) << "at " << sub->x() << "," << sub->y() << " size "
                                                   << sub->width() << "x" << sub->height();
    EXPECT_EQ(view->Model().FixedSize(), !(sub->windowFlags() & Qt::WindowMaximizeButtonHint));
  }
  // The windows not in the menu in their own top-level frame at their own size, as dialogs show them.
  std::vector<std::unique_ptr<gui::FormView>> sueltas;
  std::vector<const gui::FormView*> vistas;
  for (const std::string& nombre : escritorio.prueba.app.VentanasRegistradas()) {
    vistas.push_back(escritorio.Vista(nombre));
    if (vistas.back() != nullptr) continue;
    ui::Form* form = escritorio.prueba.app.Ventana(nombre);
    try {
      form->Load();
    } catch (const runtime::VbError&) {
      // A dialog whose load reads what its caller prepared (FrmReporteA's Temp_reporte) is
      // drawn in its design state.
    }
    vistas.back() = sueltas.emplace_back(std::make_unique<gui::FormView>(*form)).get();
    sueltas.back()->AttachWindow(sueltas.back().get());
    sueltas.back()->show();
  }
  QApplication::processEvents();
  for (const gui::FormView* view : vistas) {
    SCOPED_TRACE(view->Model().Name());
    EXPECT_EQ(view->CutTexts(), std::vector<std::string>{});
  }
}

// The checker behind the test above finds both faults it looks for: a caption narrower than its
// text, and one whose text lies under a neighbouring box.
TEST(EscritorioTest, ElRevisorDeTextosEncuentraUnTextoCortadoOTapado) {
  gui_test::EnsureApp();
  struct Apretada : ui::Form {
    Apretada() : Form("Apretada") {
      Corta.SetCaption("Existencia");
      Corta.Move(4200, 120, 300, 255);  // the window's edge stops its growth
      Tapada.SetCaption("Descripcion");
      Tapada.Move(120, 600, 1500, 255);
      Caja.Move(600, 560, 1200, 300);
    }
    ui::Label Corta{*this, "Corta"};
    ui::Label Tapada{*this, "Tapada"};
    ui::TextBox Caja{*this, "Caja"};
  } form;
  form.Load();
  gui::FormView view(form);
  view.AttachWindow(&view);
  view.show();
  QApplication::processEvents();
  const std::vector<std::string> hallados = view.CutTexts();
  ASSERT_EQ(hallados.size(), 2u) << ::testing::PrintToString(hallados);
  EXPECT_TRUE(hallados[0].starts_with("Corta: \"Existencia\" needs ")) << hallados[0];
  EXPECT_EQ(hallados[1], "Tapada: \"Descripcion\" lies under Caja");
}

// A window that sets its own place keeps it as far as the work area allows.
TEST(EscritorioTest, UnaVentanaQueFijaSuLugarQuedaDentroDelArea) {
  struct Ubicada : ui::Form {
    Ubicada() : Form("Ubicada") {
      SetLeft(90000);
      SetTop(1500);
      SetWidth(3000);
      SetHeight(1500);
    }
  } form;
  Escritorio escritorio;
  escritorio.prueba.qt_ui.Show(form);
  QMdiSubWindow* sub = escritorio.main.Area()->subWindowList().value(0);
  ASSERT_NE(sub, nullptr);
  EXPECT_EQ(sub->pos(), QPoint(escritorio.main.Area()->viewport()->width() - 200, 100));
}

// Each key sent to a control of a window opened from the menu, and the caption of the button it
// pressed ("" for none).
TEST(EscritorioTest, EnterYEscapePresionanLosBotonesDeLaVentana) {
  struct Caso {
    const char* ventana;
    const char* control;
    Qt::Key tecla;
    const char* presionado;
  };
  const std::vector<Caso> casos = {
      {"FrmPadron", "TxtPeriodo", Qt::Key_Return, "Procesar"},
      {"Proc_Novedades", "TxtPeriodo", Qt::Key_Enter, "Proceso"},
      {"FrmCmdProcess", "cbxTipo", Qt::Key_Escape, "Salir"},
      {"FrmCmdProcess", "CmdSalir", Qt::Key_Return, "Salir"},
      {"FrmPadron", "TxtPeriodo", Qt::Key_Escape, ""},
      // A grid keeps its Enter; the sequence editor's operator list takes every key itself.
      {"FrmCmdProcess", "FGrConsulta", Qt::Key_Return, ""},
      {"FrmSecuenciador", "CbxOper", Qt::Key_Return, ""},
  };
  Escritorio escritorio;
  escritorio.AbrirElMenu();
  for (const Caso& caso : casos) {
    SCOPED_TRACE(std::string(caso.ventana) + " " + caso.control + " " + std::to_string(caso.tecla));
    gui::FormView* view = escritorio.Vista(caso.ventana);
    ASSERT_NE(view, nullptr);
    std::string presionado;
    for (ui::Control* control : view->Model().Controls()) {
      if (control->Kind() != ui::ControlKind::kCommandButton) continue;
      auto* boton = static_cast<ui::CommandButton*>(control);
      boton->SetEnabled(true);
      boton->SetVisible(true);
      boton->Click = [&presionado, boton] { presionado += boton->Caption(); };
    }
    ui::Control* control = view->Model().FindControl(caso.control);
    ASSERT_NE(control, nullptr);
    control->SetEnabled(true);
    control->SetVisible(true);
    QTest::keyClick(view->WidgetFor(*control), caso.tecla);
    EXPECT_EQ(presionado, caso.presionado);
  }
}

TEST(EscritorioTest, TabSaleDeUnaGrillaYF10AbreElMenu) {
  Escritorio escritorio;
  escritorio.AbrirElMenu();
  gui::FormView* view = escritorio.Vista("FrmCmdProcess");
  ASSERT_NE(view, nullptr);
  escritorio.main.Area()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(view->parentWidget()));
  auto& model = dynamic_cast<ui::Grid&>(*view->Model().FindControl("FGrConsulta"));
  model.SetCols(3);
  model.SetRows(3);
  QWidget* grilla = view->WidgetFor(model);
  grilla->setFocus();
  ASSERT_EQ(QApplication::focusWidget(), grilla);
  QTest::keyClick(grilla, Qt::Key_Tab);
  EXPECT_NE(QApplication::focusWidget(), grilla);

  QTest::keyClick(QApplication::focusWidget(), Qt::Key_F10);
  QAction* primero = escritorio.main.menuBar()->actions().value(0);
  ASSERT_NE(primero, nullptr);
  EXPECT_EQ(escritorio.main.menuBar()->activeAction(), primero);
  EXPECT_TRUE(primero->menu() != nullptr && primero->menu()->isVisible());
  primero->menu()->close();
}

}  // namespace
