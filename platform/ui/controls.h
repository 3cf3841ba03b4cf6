// The control models a form is built from: TextBox, Label, CommandButton, ListBox, ComboBox,
// CheckBox, OptionButton, Frame and Grid, with the properties and events the windows use.
// Part of consolida_ui; plain C++ bags of properties, never Qt. A view binds them to widgets.
//
// Two kinds of operations:
//  - property setters (SetText, SetListIndex ...) are what the form's code does; like the
//    toolkit, some raise events when they change a value (noted on each);
//  - User* operations are what a person does with mouse and keyboard (the Qt view calls them,
//    and tests call them to drive a form); they do nothing and return false when the control
//    cannot be reached (disabled or hidden, itself or a frame around it).
// Bad indexes and values throw runtime::VbError with the toolkit's numbers: 381 "Invalid property
// array index", 380 "Invalid property value", and the grid's own 30009/30010/30015.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/control.h"

namespace ui {

// A single-line text box.
class TextBox : public Control {
 public:
  TextBox(Form& form, std::string name, Frame* container = nullptr, int index = -1);

  const std::string& Text() const { return state_.text; }
  // Raises Change when the text differs. Text longer than a MaxLength is cut to it.
  void SetText(std::string text);
  // Characters the user may type; 0 means no limit.
  int MaxLength() const { return state_.max_length; }
  void SetMaxLength(int characters);
  // A locked box shows its text but the user cannot edit it.
  bool Locked() const { return state_.locked; }
  void SetLocked(bool locked);
  // Caret position in characters (0 = before the first).
  int SelStart() const { return state_.sel_start; }
  void SetSelStart(int position);

  Event<> Change;
  Event<int&> KeyPress;          // KeyAscii by reference: setting it to 0 cancels the key
  Event<int&, int> KeyDown;      // KeyCode, Shift
  Event<int&, int> KeyUp;

  // Types `text` character by character at the caret: each raises KeyPress (a key set to 0 is
  // dropped, a changed key is inserted instead); MaxLength and Locked are honoured.
  bool UserType(std::string_view text);
  // Replaces the whole text as an edit by the user (paste, the view's own editing).
  bool UserEdit(std::string text);

 private:
  struct State {
    std::string text;
    int max_length = 0;
    bool locked = false;
    int sel_start = 0;
  };
  void SaveDesign() override;
  void RestoreDesign() override;
  State state_, design_;
};

// A control that shows a caption (Label, CommandButton, CheckBox, OptionButton, Frame).
class CaptionedControl : public Control {
 public:
  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);

 protected:
  CaptionedControl(Form& form, std::string name, ControlKind kind, Frame* container, int index);
  void SaveDesign() override { design_caption_ = caption_; }
  void RestoreDesign() override { caption_ = design_caption_; }

 private:
  std::string caption_, design_caption_;
};

class Label : public CaptionedControl {
 public:
  Label(Form& form, std::string name, Frame* container = nullptr, int index = -1);
};

class CommandButton : public CaptionedControl {
 public:
  CommandButton(Form& form, std::string name, Frame* container = nullptr, int index = -1);

  // The button Enter presses (Default) and the one Escape presses (Cancel), wherever the focus
  // is in the form unless the control there takes the key itself. At most one of each a form:
  // setting either to true clears it on the form's other buttons.
  bool Default() const { return default_; }
  void SetDefault(bool on);
  bool Cancel() const { return cancel_; }
  void SetCancel(bool on);

  Event<> Click;
  bool UserClick();

 private:
  void SaveDesign() override;
  void RestoreDesign() override;
  void SetRole(bool CommandButton::*role, CommandButton* (Form::*holder)() const, bool on);
  bool default_ = false, design_default_ = false;
  bool cancel_ = false, design_cancel_ = false;
};

// The item list shared by ListBox and ComboBox: texts with a long of item data each.
class ListControl : public Control {
 public:
  // Adds `item` at `index` (-1: at the end) and returns where it went (also NewIndex).
  // Items from `index` on, and ListIndex when it points at one of them, move down by one.
  int AddItem(std::string item, int index = -1);
  // Removes one item; ListIndex follows its item, or becomes -1 when that item goes.
  void RemoveItem(int index);
  // Removes every item; ListIndex becomes -1.
  void Clear();
  int ListCount() const { return static_cast<int>(items_.size()); }
  // An item's text; "" for an index outside the list (so List(ListIndex) is "" with no item).
  const std::string& List(int index) const;
  void SetList(int index, std::string text);
  long ItemData(int index) const;
  void SetItemData(int index, long data);
  // Index of the item added last (-1 before any).
  int NewIndex() const { return new_index_; }
  // The current item, -1 for none. Raises Click when it changes.
  int ListIndex() const { return list_index_; }
  void SetListIndex(int index);

  Event<> Click;

 protected:
  ListControl(Form& form, std::string name, ControlKind kind, Frame* container, int index);
  struct Item {
    std::string text;
    long data = 0;
    bool selected = false;
  };
  void CheckIndex(int index) const;
  virtual void ListIndexChanged() {}
  void SaveItems();
  void RestoreItems();
  std::vector<Item> items_, design_items_;
  int list_index_ = -1, design_list_index_ = -1;
  int new_index_ = -1;
};

class ListBox : public ListControl {
 public:
  enum MultiSelectMode { kNone = 0, kSimple = 1, kExtended = 2 };
  ListBox(Form& form, std::string name, Frame* container = nullptr, int index = -1);

  // Text of the current item, "" when none.
  std::string Text() const;
  // kNone, kSimple or kExtended; changing it clears the selection.
  int MultiSelect() const { return multi_select_; }
  void SetMultiSelect(int mode);
  // Without multi-selection Selected(i) is true only for ListIndex, and setting it moves
  // ListIndex. With it, items are selected independently; a change raises Click.
  bool Selected(int index) const;
  void SetSelected(int index, bool selected);
  int SelCount() const;

  Event<> DblClick;

  // A click on an item: it becomes ListIndex; with kSimple it toggles, with kExtended it
  // alone stays selected unless `add_to_selection` (Ctrl held). Raises Click.
  bool UserClick(int index, bool add_to_selection = false);
  // A double click: the click above, then DblClick.
  bool UserDblClick(int index);

 private:
  void ListIndexChanged() override;
  void SaveDesign() override;
  void RestoreDesign() override;
  int multi_select_ = kNone, design_multi_select_ = kNone;
};

class ComboBox : public ListControl {
 public:
  enum StyleMode { kDropdownCombo = 0, kDropdownList = 2 };
  ComboBox(Form& form, std::string name, Frame* container = nullptr, int index = -1);

  int Style() const { return style_; }
  void SetStyle(int style);
  // The edit text (kDropdownCombo) or the current item's text (kDropdownList).
  std::string Text() const;
  // kDropdownCombo: sets the edit text (raises Change when it differs); ListIndex becomes the
  // item with exactly that text, or -1. kDropdownList: selects the item with that text, or
  // none when no item has it.
  void SetText(std::string text);

  Event<> Change;
  Event<int&> KeyPress;
  Event<int&, int> KeyDown;
  Event<int&, int> KeyUp;

  // The user picks an item from the drop-down: ListIndex and Text follow, Click is raised.
  bool UserSelect(int index);
  // The user types, each key through KeyPress: into the edit part (kDropdownCombo), or jumping
  // to the first item that starts with the key (kDropdownList).
  bool UserType(std::string_view text);

 private:
  void ListIndexChanged() override;
  void SaveDesign() override;
  void RestoreDesign() override;
  int style_ = kDropdownCombo, design_style_ = kDropdownCombo;
  std::string edit_text_, design_edit_text_;
};

class CheckBox : public CaptionedControl {
 public:
  enum { kUnchecked = 0, kChecked = 1, kGrayed = 2 };
  CheckBox(Form& form, std::string name, Frame* container = nullptr, int index = -1);
  int Value() const { return value_; }
  // Raises Click when the value changes.
  void SetValue(int value);

  Event<> Click;
  // Unchecked <-> checked (grayed becomes unchecked), then Click.
  bool UserClick();

 private:
  void SaveDesign() override;
  void RestoreDesign() override;
  int value_ = kUnchecked, design_value_ = kUnchecked;
};

// Option buttons form one group per container (a frame, or the form itself): selecting one
// clears the others of the group.
class OptionButton : public CaptionedControl {
 public:
  OptionButton(Form& form, std::string name, Frame* container = nullptr, int index = -1);
  bool Value() const { return value_; }
  // Setting true clears the rest of the group and raises Click when it was false.
  void SetValue(bool value);

  Event<> Click;
  bool UserClick();

 private:
  void SaveDesign() override;
  void RestoreDesign() override;
  bool value_ = false, design_value_ = false;
};

// A captioned container: disabling or hiding it does the same to what it holds.
class Frame : public CaptionedControl {
 public:
  Frame(Form& form, std::string name, Frame* container = nullptr, int index = -1);
};

// A grid of text cells with fixed (header) rows and columns at the top and left.
class Grid : public Control {
 public:
  enum Alignment {
    kLeftTop = 0, kLeftCenter = 1, kLeftBottom = 2,
    kCenterTop = 3, kCenterCenter = 4, kCenterBottom = 5,
    kRightTop = 6, kRightCenter = 7, kRightBottom = 8,
    kGeneral = 9,  // text left, numbers right
  };
  Grid(Form& form, std::string name, Frame* container = nullptr, int index = -1);

  // Rows/Cols: growing adds empty cells, shrinking drops them. Fixed rows/cols must stay
  // fewer than Rows/Cols (else VbError 30009 "Invalid Row value" / 30010 "Invalid Col value").
  int Rows() const { return static_cast<int>(state_.cells.size()); }
  void SetRows(int rows);
  int Cols() const { return static_cast<int>(state_.columns.size()); }
  void SetCols(int cols);
  int FixedRows() const { return state_.fixed_rows; }
  void SetFixedRows(int rows);
  int FixedCols() const { return state_.fixed_cols; }
  void SetFixedCols(int cols);

  const std::string& TextMatrix(int row, int col) const;
  void SetTextMatrix(int row, int col, std::string text);
  // Width of a column in twips; -1 is the default width. 0 hides the column.
  int ColWidth(int col) const;
  void SetColWidth(int col, int twips);
  int ColAlignment(int col) const;
  void SetColAlignment(int col, int alignment);

  // The current cell; Text is its text.
  int Row() const { return state_.row; }
  void SetRow(int row);
  int Col() const { return state_.col; }
  void SetCol(int col);
  const std::string& Text() const { return TextMatrix(state_.row, state_.col); }
  void SetText(std::string text) { SetTextMatrix(state_.row, state_.col, std::move(text)); }

  // Adds a row at `index` (-1: at the end) whose cells take the tab-separated parts of `item`
  // from column 0 on (extra parts are dropped).
  void AddItem(std::string_view item, int index = -1);
  // Removes a row; the last non-fixed row cannot go (VbError 30015 "Cannot remove last non-fixed row").
  void RemoveItem(int index);
  // Empties every cell; rows, columns and widths stay.
  void Clear();

  Event<> Click;
  Event<> DblClick;

  // A click on a cell: Row/Col move there (fixed cells too), then Click.
  bool UserClick(int row, int col);
  bool UserDblClick(int row, int col);

 private:
  struct Column {
    int width = -1;
    int alignment = kGeneral;
  };
  void CheckCell(int row, int col) const;
  void SaveDesign() override;
  void RestoreDesign() override;
  struct State {
    std::vector<std::vector<std::string>> cells;  // cells[row][col]
    std::vector<Column> columns;
    int fixed_rows = 1;
    int fixed_cols = 1;
    int row = 1;
    int col = 1;
  };
  State state_, design_;
};

}  // namespace ui
