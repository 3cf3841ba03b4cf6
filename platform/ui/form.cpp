// The Form base: load, show, hide and unload with their events, the fixed-size resize rule's
// Form_Resize, key preview, focus, and the design-state snapshot. Part of consolida_ui.
#include "platform/ui/form.h"

#include <algorithm>
#include <cassert>

#include "platform/runtime/utf8.h"
#include "platform/runtime/vb_error.h"
#include "platform/ui/busy_scope.h"

namespace ui {

namespace {

// Resets a flag when a handler returns or throws.
class FlagScope {
 public:
  explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~FlagScope() { flag_ = false; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  bool& flag_;
};

}  // namespace

Form::Form(std::string name) : name_(std::move(name)) {}

Form::~Form() = default;

void Form::SetCaption(std::string caption) {
  if (caption == caption_) return;
  caption_ = std::move(caption);
  Notify(FormChange::kCaption);
}

void Form::SetFixedSize(bool fixed) {
  if (fixed == fixed_size_) return;
  fixed_size_ = fixed;
  Notify(FormChange::kGeometry);
}

CommandButton* Form::DefaultButton() const {
  for (Control* control : controls_) {
    if (control->Kind() == ControlKind::kCommandButton && static_cast<CommandButton*>(control)->Default()) {
      return static_cast<CommandButton*>(control);
    }
  }
  return nullptr;
}

CommandButton* Form::CancelButton() const {
  for (Control* control : controls_) {
    if (control->Kind() == ControlKind::kCommandButton && static_cast<CommandButton*>(control)->Cancel()) {
      return static_cast<CommandButton*>(control);
    }
  }
  return nullptr;
}

void Form::SetLeft(int twips) {
  if (twips == left_) return;
  left_ = twips;
  Notify(FormChange::kGeometry);
}

void Form::SetTop(int twips) {
  if (twips == top_) return;
  top_ = twips;
  Notify(FormChange::kGeometry);
}

void Form::SetWidth(int twips) {
  if (twips == width_) return;
  width_ = twips;
  Notify(FormChange::kGeometry);
  SizeChanged();
}

void Form::SetHeight(int twips) {
  if (twips == height_) return;
  height_ = twips;
  Notify(FormChange::kGeometry);
  SizeChanged();
}

void Form::SizeChanged() {
  if (!loaded_ || in_resize_) return;
  FlagScope scope(in_resize_);
  Form_Resize();
}

void Form::UserResize(int width, int height) {
  if (width == width_ && height == height_) return;
  width_ = width;
  height_ = height;
  Notify(FormChange::kGeometry);
  SizeChanged();
}

Control* Form::FindControl(std::string_view name, int index) const {
  for (Control* control : controls_) {
    if (control->Index() == index && runtime::EqualIgnoringCase(control->Name(), name)) {
      return control;
    }
  }
  return nullptr;
}

void Form::Load() {
  if (loaded_) return;
  if (!design_saved_) {
    SaveDesign();
    design_saved_ = true;
  }
  loaded_ = true;
  resized_since_load_ = false;
  Notify(FormChange::kLoaded);
  Form_Load();
}

void Form::MarkShown(bool modal) {
  assert(loaded_);
  if (modal && visible_) {
    throw runtime::VbError(400, runtime::kVbRuntimeSource, "Form already displayed; can't show modally");
  }
  const bool first = !resized_since_load_;
  resized_since_load_ = true;
  if (!visible_) {
    visible_ = true;
    modal_ = modal;
  }
  Notify(FormChange::kShown);
  if (first && !in_resize_) {
    FlagScope scope(in_resize_);
    Form_Resize();
  }
  Form_Activate();
}

bool Form::UserActivate() {
  if (!loaded_ || !visible_ || busy_ != nullptr) return false;
  Form_Activate();
  return true;
}

void Form::Hide() {
  if (!visible_) return;
  visible_ = false;
  modal_ = false;
  Notify(FormChange::kShown);
}

bool Form::Unload(int unload_mode) {
  if (!loaded_) return true;
  if (busy_ != nullptr && unload_mode != vbFormCode) {
    busy_->RefuseClose();
    return false;
  }
  int cancel = 0;
  Form_QueryUnload(cancel, unload_mode);
  if (cancel != 0) return false;
  Form_Unload(cancel);
  if (cancel != 0) return false;
  const bool was_visible = visible_;
  visible_ = false;
  modal_ = false;
  loaded_ = false;
  active_control_ = nullptr;
  if (was_visible) Notify(FormChange::kShown);
  Notify(FormChange::kLoaded);
  RestoreDesign();
  if (busy_ != nullptr) busy_->Release();
  return true;
}

int Form::UserKeyDown(Control* target, int key_code, int shift) {
  // A busy form takes no keys: a key of it could start its work again.
  if (busy_ != nullptr) return 0;
  if (key_preview_) Form_KeyDown(key_code, shift);
  return RouteKey(target, key_code, shift, &TextBox::KeyDown, &ComboBox::KeyDown);
}

int Form::UserKeyUp(Control* target, int key_code, int shift) {
  if (busy_ != nullptr) return 0;
  if (key_preview_) Form_KeyUp(key_code, shift);
  return RouteKey(target, key_code, shift, &TextBox::KeyUp, &ComboBox::KeyUp);
}

// Only text and combo boxes have key events of their own; a key cancelled by the form stops here.
int Form::RouteKey(Control* target, int key_code, int shift, Event<int&, int> TextBox::*text_event,
                   Event<int&, int> ComboBox::*combo_event) {
  if (key_code == 0 || target == nullptr) return key_code;
  if (target->Kind() == ControlKind::kTextBox) {
    (static_cast<TextBox*>(target)->*text_event)(key_code, shift);
  } else if (target->Kind() == ControlKind::kComboBox) {
    (static_cast<ComboBox*>(target)->*combo_event)(key_code, shift);
  }
  return key_code;
}

int Form::Observe(Observer observer) {
  observers_.emplace_back(next_observer_id_, std::move(observer));
  return next_observer_id_++;
}

void Form::Forget(int id) {
  std::erase_if(observers_, [id](const auto& entry) { return entry.first == id; });
}

void Form::Unregister(Control* control) {
  std::erase(controls_, control);
  if (active_control_ == control) active_control_ = nullptr;
}

void Form::MoveInTabOrder(Control* control, int tab_index) {
  std::vector<Control*> order = controls_;
  std::stable_sort(order.begin(), order.end(),
                   [](const Control* a, const Control* b) { return a->TabIndex() < b->TabIndex(); });
  std::erase(order, control);
  order.insert(order.begin() + std::min<size_t>(tab_index, order.size()), control);
  for (size_t i = 0; i < order.size(); ++i) {
    if (order[i]->basics_.tab_index == static_cast<int>(i)) continue;
    order[i]->basics_.tab_index = static_cast<int>(i);
    order[i]->Notify(ControlChange::kTabIndex);
  }
}

void Form::Focus(Control* control) {
  active_control_ = control;
  Notify(FormChange::kFocus);
}

void Form::Notify(FormChange::What what) {
  auto observers = observers_;
  const FormChange change{what};
  for (const auto& [id, observer] : observers) observer(change);
}

void Form::SaveDesign() {
  design_ = Design{caption_, left_, top_, width_, height_};
  for (Control* control : controls_) {
    control->design_basics_ = control->basics_;
    control->SaveDesign();
  }
}

void Form::RestoreDesign() {
  caption_ = design_.caption;
  left_ = design_.left;
  top_ = design_.top;
  width_ = design_.width;
  height_ = design_.height;
  Notify(FormChange::kCaption);
  Notify(FormChange::kGeometry);
  for (Control* control : controls_) {
    control->basics_ = control->design_basics_;
    control->RestoreDesign();
    control->Notify(ControlChange::kAll);
  }
}

void AplicarTamanoFijo(Form& form, int ancho, int alto) {
  form.SetFixedSize(true);
  if (form.Width() != ancho) form.SetWidth(ancho);
  if (form.Height() != alto) form.SetHeight(alto);
}

}  // namespace ui
