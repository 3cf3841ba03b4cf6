// BusyScope: the one guard every window uses while a long operation runs on the UI thread. Such
// an operation lets events in with Ui::DoEvents so its progress labels repaint, and with them a
// second click on the button that started it or a close of its window would run in the middle of
// it. Part of consolida_ui; knows no window of the system.
//
//   void Proc_Novedades::Proceso_Click() {
//     ui::BusyScope ocupada(*this, app_.Ui());
//     ...  // the import, DoEvents included
//   }
#pragma once

#include <utility>
#include <vector>

namespace ui {

class Control;
class Form;
class Ui;

class BusyScope {
 public:
  // What the user is told when closing a busy window.
  static constexpr const char* kCloseRefused = "Espere a que termine el proceso en curso";

  // Marks `form` busy: every command button of it is disabled, so a click that arrives meanwhile
  // is ignored, and closing the window (its close box, or the MDI frame closing) is refused with
  // the message kCloseRefused (vbExclamation) shown on `ui`. An unload by the program itself
  // (vbFormCode) is not refused. A scope opened on a form that is already busy changes nothing.
  // REQUIRES: `form` and `ui` outlive the scope.
  BusyScope(Form& form, Ui& ui);
  // Gives each button back the Enabled state it had when the scope began, however the operation
  // ended (returned or threw), and lets the window close again.
  ~BusyScope();
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  friend class Form;
  // Called by Form::Unload for a close it refuses.
  void RefuseClose();

  Form& form_;
  Ui& ui_;
  bool outermost_ = false;
  std::vector<std::pair<Control*, bool>> buttons_;  // each command button and its Enabled
};

}  // namespace ui
