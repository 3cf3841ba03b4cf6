// The busy guard of a window: its command buttons disabled and its close refused while a long
// operation runs. Part of consolida_ui.
#include "platform/ui/busy_scope.h"

#include "platform/ui/form.h"
#include "platform/ui/ui.h"

namespace ui {

BusyScope::BusyScope(Form& form, Ui& ui) : form_(form), ui_(ui) {
  if (form_.busy_ != nullptr) return;
  outermost_ = true;
  for (Control* control : form_.Controls()) {
    if (control->Kind() != ControlKind::kCommandButton) continue;
    buttons_.emplace_back(control, control->Enabled());
    control->SetEnabled(false);
  }
  // Only now: from here on the buttons' SetEnabled is kept for the end of the scope.
  form_.busy_ = this;
}

BusyScope::~BusyScope() {
  if (!outermost_) return;
  form_.busy_ = nullptr;
  for (const auto& [control, enabled] : buttons_) control->SetEnabled(enabled);
}

bool BusyScope::Defer(const Control* control, bool enabled) {
  for (auto& [button, give_back] : buttons_) {
    if (button != control) continue;
    give_back = enabled;
    return true;
  }
  return false;
}

void BusyScope::RefuseClose() { ui_.MsgBox(kCloseRefused, vbExclamation); }

}  // namespace ui
