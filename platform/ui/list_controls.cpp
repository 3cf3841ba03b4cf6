// ListBox and ComboBox: the item list with item data and the current item (ListControl), the
// list box's multi-selection and the combo box's edit text. Part of consolida_ui.
#include <algorithm>

#include "platform/ui/controls.h"
#include "platform/runtime/text.h"
#include "platform/runtime/utf8.h"
#include "platform/ui/internal/helpers.h"

namespace ui {

ListControl::ListControl(Form& form, std::string name, ControlKind kind, Frame* container, int index)
    : Control(form, std::move(name), kind, container, index) {}

void ListControl::CheckIndex(int index) const {
  if (index < 0 || index >= ListCount()) internal::ThrowBadIndex();
}

int ListControl::AddItem(std::string item, int index) {
  if (index == -1) index = ListCount();
  if (index < 0 || index > ListCount()) internal::ThrowBadIndex();
  items_.insert(items_.begin() + index, Item{std::move(item), 0, false});
  if (list_index_ >= index) ++list_index_;
  new_index_ = index;
  Notify(ControlChange::kItems);
  return index;
}

void ListControl::RemoveItem(int index) {
  CheckIndex(index);
  items_.erase(items_.begin() + index);
  if (list_index_ == index) {
    list_index_ = -1;
    ListIndexChanged();
  } else if (list_index_ > index) {
    --list_index_;
  }
  if (new_index_ >= ListCount()) new_index_ = -1;
  Notify(ControlChange::kItems);
}

void ListControl::Clear() {
  if (items_.empty() && list_index_ == -1) return;
  items_.clear();
  const bool had_current = list_index_ != -1;
  list_index_ = -1;
  new_index_ = -1;
  if (had_current) ListIndexChanged();
  Notify(ControlChange::kItems);
}

const std::string& ListControl::List(int index) const {
  // Reading List(ListIndex) with no current item is a common idiom: it gives "".
  static const std::string kNoItem;
  if (index < 0 || index >= ListCount()) return kNoItem;
  return items_[index].text;
}

void ListControl::SetList(int index, std::string text) {
  CheckIndex(index);
  if (items_[index].text == text) return;
  items_[index].text = std::move(text);
  if (index == list_index_) ListIndexChanged();
  Notify(ControlChange::kItems, index);
}

long ListControl::ItemData(int index) const {
  CheckIndex(index);
  return items_[index].data;
}

void ListControl::SetItemData(int index, long data) {
  CheckIndex(index);
  items_[index].data = data;
}

void ListControl::SetListIndex(int index) {
  if (index < -1 || index >= ListCount()) internal::ThrowBadValue();
  if (index == list_index_) return;
  list_index_ = index;
  ListIndexChanged();
  Notify(ControlChange::kSelection);
  Click();
}

void ListControl::SaveItems() {
  design_items_ = items_;
  design_list_index_ = list_index_;
}

void ListControl::RestoreItems() {
  items_ = design_items_;
  list_index_ = design_list_index_;
  new_index_ = -1;
}

ListBox::ListBox(Form& form, std::string name, Frame* container, int index)
    : ListControl(form, std::move(name), ControlKind::kListBox, container, index) {}

std::string ListBox::Text() const { return List(list_index_); }

void ListBox::SetMultiSelect(int mode) {
  if (mode < kNone || mode > kExtended) internal::ThrowBadValue();
  if (mode == multi_select_) return;
  multi_select_ = mode;
  for (auto& item : items_) item.selected = false;
  ListIndexChanged();
  Notify(ControlChange::kFormat);
}

bool ListBox::Selected(int index) const {
  CheckIndex(index);
  return items_[index].selected;
}

void ListBox::SetSelected(int index, bool selected) {
  CheckIndex(index);
  if (multi_select_ == kNone) {
    if (selected) {
      SetListIndex(index);
    } else if (index == list_index_) {
      SetListIndex(-1);
    }
    return;
  }
  if (items_[index].selected == selected) return;
  items_[index].selected = selected;
  Notify(ControlChange::kSelection, index);
  Click();
}

int ListBox::SelCount() const {
  return static_cast<int>(std::count_if(items_.begin(), items_.end(),
                                        [](const Item& item) { return item.selected; }));
}

// Without multi-selection the selected item is always the current one.
void ListBox::ListIndexChanged() {
  if (multi_select_ != kNone) return;
  for (int i = 0; i < ListCount(); ++i) items_[i].selected = i == list_index_;
}

bool ListBox::UserClick(int index, bool add_to_selection) {
  CheckIndex(index);
  if (!Reachable()) return false;
  if (multi_select_ == kSimple || (multi_select_ == kExtended && add_to_selection)) {
    items_[index].selected = !items_[index].selected;
  } else if (multi_select_ == kExtended) {
    for (int i = 0; i < ListCount(); ++i) items_[i].selected = i == index;
  }
  list_index_ = index;
  ListIndexChanged();
  Notify(ControlChange::kSelection);
  // A click on the current item still raises Click, as the user did click.
  Click();
  return true;
}

bool ListBox::UserDblClick(int index) {
  if (!UserClick(index)) return false;
  DblClick();
  return true;
}

void ListBox::SaveDesign() {
  SaveItems();
  design_multi_select_ = multi_select_;
}

void ListBox::RestoreDesign() {
  RestoreItems();
  multi_select_ = design_multi_select_;
}

ComboBox::ComboBox(Form& form, std::string name, Frame* container, int index)
    : ListControl(form, std::move(name), ControlKind::kComboBox, container, index) {}

void ComboBox::SetStyle(int style) {
  if (style != kDropdownCombo && style != kDropdownList) internal::ThrowBadValue();
  if (style == style_) return;
  style_ = style;
  Notify(ControlChange::kFormat);
}

std::string ComboBox::Text() const {
  return style_ == kDropdownList ? List(list_index_) : edit_text_;
}

void ComboBox::SetText(std::string text) {
  text = runtime::ValidUtf8(std::move(text));  // as a TextBox does
  const auto match = std::find_if(items_.begin(), items_.end(),
                                  [&](const Item& item) { return item.text == text; });
  const int found = match == items_.end() ? -1 : static_cast<int>(match - items_.begin());
  if (style_ == kDropdownList) {
    SetListIndex(found);
    return;
  }
  if (found != list_index_) {
    list_index_ = found;
    Notify(ControlChange::kSelection);
  }
  if (text == edit_text_) return;
  edit_text_ = std::move(text);
  Notify(ControlChange::kText);
  Change();
}

// Choosing an item puts its text in the edit part; no current item empties it.
void ComboBox::ListIndexChanged() {
  std::string text = List(list_index_);
  if (text == edit_text_) return;
  edit_text_ = std::move(text);
  Notify(ControlChange::kText);
}

bool ComboBox::UserSelect(int index) {
  CheckIndex(index);
  if (!Reachable()) return false;
  if (index != list_index_) {
    list_index_ = index;
    ListIndexChanged();
    Notify(ControlChange::kSelection);
  }
  Click();
  return true;
}

bool ComboBox::UserType(std::string_view typed) {
  if (!Reachable()) return false;
  const std::string text = runtime::ValidUtf8(std::string(typed));
  for (int64_t k = 1; k <= runtime::Len(text); ++k) {
    int key = static_cast<int>(runtime::AscW(runtime::Mid(text, k, 1)));
    KeyPress(key);
    if (key == 0) continue;
    if (style_ == kDropdownList) {
      // A key in a closed drop-down list jumps to the first item starting with it.
      const auto lower = [](long c) { return runtime::LowerCase(static_cast<char32_t>(c)); };
      for (int i = 0; i < ListCount(); ++i) {
        const std::string& item = items_[i].text;
        if (!item.empty() && lower(static_cast<int>(runtime::AscW(item))) == lower(key)) {
          SetListIndex(i);
          break;
        }
      }
      continue;
    }
    std::string typed_text = edit_text_ + runtime::ChrW(key);
    SetText(std::move(typed_text));
  }
  return true;
}

void ComboBox::SaveDesign() {
  SaveItems();
  design_style_ = style_;
  design_edit_text_ = edit_text_;
}

void ComboBox::RestoreDesign() {
  RestoreItems();
  style_ = design_style_;
  edit_text_ = design_edit_text_;
}

}  // namespace ui
