// The shared part of every control: placement, enabled/visible, tab order, focus requests and
// the observer list. Part of consolida_ui.
#include "platform/ui/control.h"

#include <algorithm>

#include "platform/ui/busy_scope.h"
#include "platform/ui/controls.h"
#include "platform/ui/form.h"
#include "platform/ui/internal/helpers.h"

namespace ui {

Control::Control(Form& form, std::string name, ControlKind kind, Frame* container, int index)
    : form_(form), name_(std::move(name)), kind_(kind), container_(container), index_(index) {
  basics_.tab_index = static_cast<int>(form_.Controls().size());
  form_.Register(this);
}

Control::~Control() { form_.Unregister(this); }

void Control::SetLeft(int twips) { Move(twips, basics_.top, basics_.width, basics_.height); }
void Control::SetTop(int twips) { Move(basics_.left, twips, basics_.width, basics_.height); }
void Control::SetWidth(int twips) { Move(basics_.left, basics_.top, twips, basics_.height); }
void Control::SetHeight(int twips) { Move(basics_.left, basics_.top, basics_.width, twips); }

void Control::Move(int left, int top, int width, int height) {
  if (left == basics_.left && top == basics_.top && width == basics_.width &&
      height == basics_.height) {
    return;
  }
  basics_.left = left;
  basics_.top = top;
  basics_.width = width;
  basics_.height = height;
  Notify(ControlChange::kGeometry);
}

void Control::SetEnabled(bool enabled) {
  // A busy form's buttons stay disabled until its operation ends; what the operation sets meanwhile
  // is what they get then.
  if (form_.busy_ != nullptr && form_.busy_->Defer(this, enabled)) return;
  if (enabled == basics_.enabled) return;
  basics_.enabled = enabled;
  Notify(ControlChange::kEnabled);
}

void Control::SetVisible(bool visible) {
  if (visible == basics_.visible) return;
  basics_.visible = visible;
  Notify(ControlChange::kVisible);
}

void Control::SetTabIndex(int tab_index) {
  if (tab_index < 0) internal::ThrowBadValue();
  if (tab_index == basics_.tab_index) return;
  form_.MoveInTabOrder(this, tab_index);
}

bool Control::Reachable() const {
  if (form_.Busy()) return false;
  for (const Control* c = this; c != nullptr; c = c->container_) {
    if (!c->basics_.enabled || !c->basics_.visible) return false;
  }
  return true;
}

void Control::SetFocus() { form_.Focus(this); }

int Control::Observe(Observer observer) {
  observers_.emplace_back(next_observer_id_, std::move(observer));
  return next_observer_id_++;
}

void Control::Forget(int id) {
  std::erase_if(observers_, [id](const auto& entry) { return entry.first == id; });
}

void Control::Notify(ControlChange::What what, int row, int col) {
  // A copy, so an observer may subscribe or forget while being told.
  auto observers = observers_;
  const ControlChange change{what, row, col};
  for (const auto& [id, observer] : observers) observer(change);
}

}  // namespace ui
