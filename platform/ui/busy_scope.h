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

  // Marks `form` busy: every command button of it is disabled, and no control of it takes a
  // click, a double click, a selection, typing or a key (Control::Reachable is false), so a
  // gesture that arrives meanwhile is ignored; closing the window (its close box, or the MDI
  // frame closing) is refused with the message kCloseRefused (vbExclamation) shown on `ui`. An
  // unload by the program itself (vbFormCode) is not refused. A scope opened on a form that is
  // already busy changes nothing. Other forms (a modal picker the operation shows) are not
  // touched. REQUIRES: `form` and `ui` outlive the scope.
  BusyScope(Form& form, Ui& ui);
  // Gives each button back its Enabled state, however the operation ended (returned or threw),
  // and lets the window close again. The state given back is the one the operation last set
  // (a handler that enables or disables its buttons while busy has that kept for the end), or
  // the one the button had when the scope began.
  ~BusyScope();
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  friend class Form;
  friend class Control;
  // Called by Form::Unload for a close it refuses.
  void RefuseClose();
  // Called by Control::SetEnabled while the form is busy: true when `control` is one of the
  // buttons held disabled, whose state to give back becomes `enabled`.
  bool Defer(const Control* control, bool enabled);
  // Called by Form::Unload when the program unloads the busy form: its controls are back to
  // their design state, which the end of the scope must not overwrite.
  void Release() { buttons_.clear(); }

  Form& form_;
  Ui& ui_;
  bool outermost_ = false;
  std::vector<std::pair<Control*, bool>> buttons_;  // each command button and the Enabled to give back
};

}  // namespace ui
