// The simple controls: TextBox and the captioned ones (Label, CommandButton, CheckBox,
// OptionButton, Frame).
// Part of consolida_ui.
#include "platform/ui/controls.h"

#include <algorithm>

#include "platform/ui/form.h"
#include "platform/runtime/text.h"
#include "platform/runtime/utf8.h"
#include "platform/ui/internal/helpers.h"

namespace ui {

TextBox::TextBox(Form& form, std::string name, Frame* container, int index)
    : Control(form, std::move(name), ControlKind::kTextBox, container, index) {}

// A box holds well-formed UTF-8 whoever fills it: a byte that is not (pasted from a file in
// another code page, a command-line argument) becomes U+FFFD before the form's code, and any
// statement it builds, sees the text.
void TextBox::SetText(std::string text) {
  text = runtime::ValidUtf8(std::move(text));
  if (state_.max_length > 0 && runtime::Len(text) > state_.max_length) {
    text = runtime::Left(text, state_.max_length);
  }
  if (text == state_.text) return;
  state_.text = std::move(text);
  state_.sel_start = std::min(state_.sel_start, static_cast<int>(runtime::Len(state_.text)));
  Notify(ControlChange::kText);
  Change();
}

void TextBox::SetMaxLength(int characters) {
  if (characters < 0) internal::ThrowBadValue();
  if (characters == state_.max_length) return;
  state_.max_length = characters;
  Notify(ControlChange::kFormat);
}

void TextBox::SetLocked(bool locked) {
  if (locked == state_.locked) return;
  state_.locked = locked;
  Notify(ControlChange::kFormat);
}

void TextBox::SetSelStart(int position) {
  if (position < 0) internal::ThrowBadValue();
  position = std::min(position, static_cast<int>(runtime::Len(state_.text)));
  if (position == state_.sel_start) return;
  state_.sel_start = position;
  Notify(ControlChange::kSelection);
}

bool TextBox::UserType(std::string_view typed) {
  if (!Reachable() || state_.locked) return false;
  const std::string text = runtime::ValidUtf8(std::string(typed));
  for (int64_t i = 1; i <= runtime::Len(text); ++i) {
    int key = static_cast<int>(runtime::AscW(runtime::Mid(text, i, 1)));
    KeyPress(key);
    if (key == 0) continue;
    const int length = static_cast<int>(runtime::Len(state_.text));
    if (state_.max_length > 0 && length >= state_.max_length) continue;
    const int at = std::min(state_.sel_start, length);
    state_.text = runtime::Left(state_.text, at) + runtime::ChrW(key) + runtime::Mid(state_.text, at + 1);
    state_.sel_start = at + 1;
    Notify(ControlChange::kText);
    Change();
  }
  return true;
}

bool TextBox::UserEdit(std::string text) {
  if (!Reachable() || state_.locked) return false;
  SetText(std::move(text));
  state_.sel_start = static_cast<int>(runtime::Len(state_.text));
  return true;
}

void TextBox::SaveDesign() { design_ = state_; }
void TextBox::RestoreDesign() { state_ = design_; }


CaptionedControl::CaptionedControl(Form& form, std::string name, ControlKind kind, Frame* container,
                                   int index)
    : Control(form, std::move(name), kind, container, index) {}

void CaptionedControl::SetCaption(std::string caption) {
  if (caption == caption_) return;
  caption_ = std::move(caption);
  Notify(ControlChange::kText);
}

Label::Label(Form& form, std::string name, Frame* container, int index)
    : CaptionedControl(form, std::move(name), ControlKind::kLabel, container, index) {}

CommandButton::CommandButton(Form& form, std::string name, Frame* container, int index)
    : CaptionedControl(form, std::move(name), ControlKind::kCommandButton, container, index) {}

// Default and Cancel are each held by one button of the form at most.
void CommandButton::SetRole(bool CommandButton::*role, CommandButton* (Form::*holder)() const, bool on) {
  if (on == this->*role) return;
  if (on) {
    if (CommandButton* other = (Parent().*holder)()) other->SetRole(role, holder, false);
  }
  this->*role = on;
  Notify(ControlChange::kFormat);
}

void CommandButton::SetDefault(bool on) { SetRole(&CommandButton::default_, &Form::DefaultButton, on); }
void CommandButton::SetCancel(bool on) { SetRole(&CommandButton::cancel_, &Form::CancelButton, on); }

void CommandButton::SaveDesign() {
  CaptionedControl::SaveDesign();
  design_default_ = default_;
  design_cancel_ = cancel_;
}

void CommandButton::RestoreDesign() {
  CaptionedControl::RestoreDesign();
  default_ = design_default_;
  cancel_ = design_cancel_;
}

bool CommandButton::UserClick() {
  if (!Reachable()) return false;
  Click();
  return true;
}

CheckBox::CheckBox(Form& form, std::string name, Frame* container, int index)
    : CaptionedControl(form, std::move(name), ControlKind::kCheckBox, container, index) {}

void CheckBox::SetValue(int value) {
  if (value < kUnchecked || value > kGrayed) internal::ThrowBadValue();
  if (value == value_) return;
  value_ = value;
  Notify(ControlChange::kValue);
  Click();
}

bool CheckBox::UserClick() {
  if (!Reachable()) return false;
  SetValue(value_ == kChecked ? kUnchecked : kChecked);
  return true;
}

void CheckBox::SaveDesign() {
  CaptionedControl::SaveDesign();
  design_value_ = value_;
}
void CheckBox::RestoreDesign() {
  CaptionedControl::RestoreDesign();
  value_ = design_value_;
}


OptionButton::OptionButton(Form& form, std::string name, Frame* container, int index)
    : CaptionedControl(form, std::move(name), ControlKind::kOptionButton, container, index) {}

void OptionButton::SetValue(bool value) {
  if (value == value_) return;
  value_ = value;
  Notify(ControlChange::kValue);
  if (!value) return;
  // The group is every option button sharing this one's container.
  for (Control* other : Parent().Controls()) {
    if (other == this || other->Kind() != ControlKind::kOptionButton ||
        other->Container() != Container()) {
      continue;
    }
    auto* option = static_cast<OptionButton*>(other);
    if (option->value_) {
      option->value_ = false;
      option->Notify(ControlChange::kValue);
    }
  }
  Click();
}

bool OptionButton::UserClick() {
  if (!Reachable()) return false;
  SetValue(true);
  return true;
}

void OptionButton::SaveDesign() {
  CaptionedControl::SaveDesign();
  design_value_ = value_;
}
void OptionButton::RestoreDesign() {
  CaptionedControl::RestoreDesign();
  value_ = design_value_;
}


Frame::Frame(Form& form, std::string name, Frame* container, int index)
    : CaptionedControl(form, std::move(name), ControlKind::kFrame, container, index) {}

}  // namespace ui
