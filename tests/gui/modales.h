// Helpers of the offscreen window tests that drive a task window through its Qt view: the one
// QApplication, a fresh application object on the Qt dialogs, actions on modal windows as soon as they are up, answers to message boxes and
// clicks on the buttons bound to controls. Test code only.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "core/aplicacion.h"
#include "gui/form_view.h"
#include "gui/qt_ui.h"
#include "platform/sql/client.h"
#include "schema/schema.h"
#include "tests/support/temp_folder.h"

namespace gui_test {

inline void EnsureApp() {
  static int argc = 1;
  static char name[] = "gui_tests";
  static char* argv[] = {name, nullptr};
  if (QApplication::instance() == nullptr) new QApplication(argc, argv);
}

// An application on the Qt dialogs over a new database in a temporary folder, its error log open
// and CnSql connected. REQUIRES: EnsureApp() was called.
class AplicacionQt {
 public:
  AplicacionQt() {
    app.AbrirLogErrores();
    app.CnSql.Open(app.CadenaSql());
  }

  test_support::TempFolder carpeta{"consolida-gui"};
  gui::QtUi qt_ui;
  core::Aplicacion app{Configurar(carpeta), qt_ui};

 private:
  static core::Configuracion Configurar(const test_support::TempFolder& carpeta) {
    std::filesystem::create_directory(carpeta.path() / "Log");
    sql::ConfigureEmbedded({(carpeta.path() / "Consolida.db").string(), schema::CreationBatches()});
    return core::Configuracion{carpeta.path().string(), ""};
  }
};

// The view of the modal form `form` once it is the active modal window.
inline gui::FormView* ModalView(const std::string& form) {
  QWidget* modal = QApplication::activeModalWidget();
  if (modal == nullptr) return nullptr;
  for (auto* view : modal->findChildren<gui::FormView*>()) {
    if (view->Model().Name() == form) return view;
  }
  return nullptr;
}

// Runs `action` on the view of modal form `form` as soon as it is up.
inline void OnModal(const std::string& form, std::function<void(gui::FormView&)> action) {
  QTimer::singleShot(0, [form, action] {
    gui::FormView* view = ModalView(form);
    if (view == nullptr) {
      OnModal(form, action);
      return;
    }
    action(*view);
  });
}

// Answers the next `count` message boxes with their first button, recording their texts.
inline void AnswerMessages(int count, std::vector<std::string>& texts) {
  if (count == 0) return;
  QTimer::singleShot(0, [count, &texts] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) {
      AnswerMessages(count, texts);
      return;
    }
    texts.push_back(box->text().toStdString());
    box->buttons().value(0)->click();
    AnswerMessages(count - 1, texts);
  });
}

inline void Click(const gui::FormView& view, const ui::Control& control) {
  auto* button = qobject_cast<QPushButton*>(view.WidgetFor(control));
  ASSERT_NE(button, nullptr) << control.Name();
  button->click();
}

}  // namespace gui_test
