// Behaviour of the control models on their own: option groups, text boxes with key filtering,
// list and combo boxes, grids, and the toolkit's index errors.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/runtime/vb_error.h"
#include "platform/ui/form.h"
#include "tests/platform/runtime/error_of.h"

namespace {

using test_support::ErrorNumberOf;

// A form with two option groups (one in a frame, one on the form) and a few other controls.
class SampleForm : public ui::Form {
 public:
  SampleForm() : Form("FrmSample") {
    OptA.Click = [this] { clicks.push_back("OptA"); };
    OptB.Click = [this] { clicks.push_back("OptB"); };
    OpcTipo0.Click = [this] { clicks.push_back("OpcTipo0"); };
    OpcTipo1.Click = [this] { clicks.push_back("OpcTipo1"); };
  }
  ui::OptionButton OptA{*this, "OptA"};
  ui::OptionButton OptB{*this, "OptB"};
  ui::Frame FrTipo{*this, "FrTipo"};
  ui::OptionButton OpcTipo0{*this, "OpcTipo", &FrTipo, 0};
  ui::OptionButton OpcTipo1{*this, "OpcTipo", &FrTipo, 1};
  ui::TextBox TxtPeriodo{*this, "TxtPeriodo", &FrTipo};
  ui::ListBox LstForm{*this, "LstForm"};
  ui::ComboBox CbxCond{*this, "CbxCond"};
  ui::Grid MFGField{*this, "MFGField"};
  ui::CheckBox ChkTodos{*this, "ChkTodos"};
  std::vector<std::string> clicks;
};

std::string Values(const SampleForm& f) {
  std::string out;
  for (const ui::OptionButton* o : {&f.OptA, &f.OptB, &f.OpcTipo0, &f.OpcTipo1}) out += o->Value() ? '1' : '0';
  return out;
}

TEST(OptionButtonTest, SelectingOneClearsOnlyItsOwnContainer) {
  struct Step {
    const char* what;
    std::function<void(SampleForm&)> act;
    const char* values;  // OptA OptB OpcTipo0 OpcTipo1
    std::vector<std::string> clicks;
  };
  const std::vector<Step> steps = {
      {"code selects OptA", [](SampleForm& f) { f.OptA.SetValue(true); }, "1000", {"OptA"}},
      {"frame group is separate", [](SampleForm& f) { f.OpcTipo1.SetValue(true); }, "1001", {"OpcTipo1"}},
      {"user picks OptB", [](SampleForm& f) { f.OptB.UserClick(); }, "0101", {"OptB"}},
      {"setting a selected one again raises nothing", [](SampleForm& f) { f.OptB.SetValue(true); }, "0101", {}},
      {"clearing raises nothing", [](SampleForm& f) { f.OpcTipo1.SetValue(false); }, "0100", {}},
      {"disabled frame refuses the user", [](SampleForm& f) {
         f.FrTipo.SetEnabled(false);
         EXPECT_FALSE(f.OpcTipo0.UserClick());
       }, "0100", {}},
      {"code still works in a disabled frame", [](SampleForm& f) { f.OpcTipo0.SetValue(true); }, "0110", {"OpcTipo0"}},
  };
  SampleForm form;
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    form.clicks.clear();
    step.act(form);
    EXPECT_EQ(Values(form), step.values);
    EXPECT_EQ(form.clicks, step.clicks);
  }
}

TEST(TextBoxTest, TypingGoesThroughKeyPressAndLimits) {
  struct Case {
    const char* what;
    int max_length;
    bool digits_only;
    bool upper;
    const char* typed;
    const char* expected;
    int changes;  // one per character that went in
  };
  const std::vector<Case> cases = {
      {"plain typing", 0, false, false, "2005", "2005", 4},
      {"max length counts characters", 4, false, false, "Añoñoño", "Añoñ", 4},
      {"a cancelled key is dropped", 0, true, false, "20a0x5", "2005", 4},
      {"a replaced key is inserted instead", 0, false, true, "abc", "ABC", 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SampleForm form;
    auto& box = form.TxtPeriodo;
    box.SetMaxLength(c.max_length);
    int changes = 0;
    box.Change = [&] { ++changes; };
    box.KeyPress = [&](int& key) {
      if (c.digits_only && (key < '0' || key > '9')) key = 0;
      if (c.upper && key >= 'a' && key <= 'z') key -= 32;
    };
    EXPECT_TRUE(box.UserType(c.typed));
    EXPECT_EQ(box.Text(), c.expected);
    EXPECT_EQ(changes, c.changes);
  }
}

TEST(TextBoxTest, CodeAssignmentTruncatesLockingRefusesTheUserAndTypingGoesInAtTheCaret) {
  SampleForm form;
  auto& box = form.TxtPeriodo;
  int changes = 0;
  box.Change = [&] { ++changes; };
  box.SetMaxLength(4);
  box.SetText("200512");
  EXPECT_EQ(box.Text(), "2005");
  box.SetText("2005xx");  // same after the cut: no Change
  EXPECT_EQ(changes, 1);
  box.SetLocked(true);
  EXPECT_FALSE(box.UserType("1"));
  EXPECT_FALSE(box.UserEdit("1999"));
  EXPECT_EQ(box.Text(), "2005");
  box.SetLocked(false);
  box.SetMaxLength(0);
  box.SetText("205");
  box.SetSelStart(1);
  box.UserType("0");  // typing goes in at the caret
  EXPECT_EQ(box.Text(), "2005");
  EXPECT_EQ(box.SelStart(), 2);
  // A byte that is not UTF-8 becomes U+FFFD, one character for the cut; typed, the same.
  box.SetMaxLength(3);
  box.SetText("a\xE9\xC3\xA9z");  // a stray Latin-1 byte, then "é" in UTF-8
  EXPECT_EQ(box.Text(), "a\xEF\xBF\xBD\xC3\xA9");
  box.SetSelStart(3);
  box.SetMaxLength(0);
  box.UserType("\xC3\xB1\xFF");  // "ñ" and a stray byte typed after them
  EXPECT_EQ(box.Text(), "a\xEF\xBF\xBD\xC3\xA9\xC3\xB1\xEF\xBF\xBD");
}

std::string ListState(const ui::ListBox& list) {
  std::string out;
  for (int i = 0; i < list.ListCount(); ++i) {
    out += list.List(i) + "=" + std::to_string(list.ItemData(i)) + (list.Selected(i) ? "*" : "") + " ";
  }
  return out + "@" + std::to_string(list.ListIndex());
}

TEST(ListBoxTest, ItemsCarryTheirDataAndTheCurrentItemFollowsEdits) {
  SampleForm form;
  auto& list = form.LstForm;
  int clicks = 0;
  list.Click = [&] { ++clicks; };
  for (const char* name : {"ENCUES", "INDUST", "SERVIC"}) {
    list.AddItem(name);
    list.SetItemData(list.NewIndex(), 10 + list.NewIndex());
  }
  struct Step {
    const char* what;
    std::function<void()> act;
    const char* state;
    int clicks;
  };
  const std::vector<Step> steps = {
      {"select by code", [&] { list.SetListIndex(1); }, "ENCUES=10 INDUST=11* SERVIC=12 @1", 1},
      {"same index again", [&] { list.SetListIndex(1); }, "ENCUES=10 INDUST=11* SERVIC=12 @1", 1},
      {"insert before the current", [&] { list.AddItem("AGRO", 0); }, "AGRO=0 ENCUES=10 INDUST=11* SERVIC=12 @2", 1},
      {"remove before the current", [&] { list.RemoveItem(1); }, "AGRO=0 INDUST=11* SERVIC=12 @1", 1},
      {"remove the current", [&] { list.RemoveItem(1); }, "AGRO=0 SERVIC=12 @-1", 1},
      {"user click on an item", [&] { list.UserClick(1); }, "AGRO=0 SERVIC=12* @1", 2},
      {"user click on the current one again", [&] { list.UserClick(1); }, "AGRO=0 SERVIC=12* @1", 3},
      {"clear", [&] { list.Clear(); }, "@-1", 3},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    step.act();
    EXPECT_EQ(ListState(list), step.state);
    EXPECT_EQ(clicks, step.clicks);
  }
  EXPECT_EQ(list.List(list.ListIndex()), "");
  // A double click is the click first, then DblClick, both on the new current item.
  std::vector<std::string> events;
  list.AddItem("ENCUES");
  list.AddItem("INDUST");
  list.Click = [&] { events.push_back("Click " + list.Text()); };
  list.DblClick = [&] { events.push_back("DblClick " + list.Text()); };
  list.UserDblClick(1);
  EXPECT_EQ(events, (std::vector<std::string>{"Click INDUST", "DblClick INDUST"}));
}

TEST(ListBoxTest, MultiSelectionModesByUserAndByCode) {
  struct Case {
    int mode;
    std::vector<std::pair<int, bool>> clicks;  // item, Ctrl held
    const char* state;
  };
  const std::vector<Case> cases = {
      {ui::ListBox::kNone, {{0, false}, {2, true}}, "a=0 b=0 c=0* @2"},
      {ui::ListBox::kSimple, {{0, false}, {2, false}, {0, false}}, "a=0 b=0 c=0* @0"},
      {ui::ListBox::kExtended, {{0, false}, {2, false}}, "a=0 b=0 c=0* @2"},
      {ui::ListBox::kExtended, {{0, false}, {2, true}}, "a=0* b=0 c=0* @2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.state);
    SampleForm form;
    auto& list = form.LstForm;
    list.SetMultiSelect(c.mode);
    for (const char* item : {"a", "b", "c"}) list.AddItem(item);
    for (auto [item, ctrl] : c.clicks) list.UserClick(item, ctrl);
    EXPECT_EQ(ListState(list), c.state);
  }
  // Selection by code leaves the current item alone.
  SampleForm form;
  auto& list = form.LstForm;
  list.SetMultiSelect(ui::ListBox::kExtended);
  for (const char* item : {"a", "b", "c"}) list.AddItem(item);
  list.SetSelected(0, true);
  list.SetSelected(2, true);
  EXPECT_EQ(list.SelCount(), 2);
  EXPECT_EQ(list.ListIndex(), -1);
  list.SetSelected(0, false);
  EXPECT_EQ(ListState(list), "a=0 b=0 c=0* @-1");
}

TEST(ComboBoxTest, TextAndCurrentItemByStyle) {
  SampleForm form;
  auto& combo = form.CbxCond;
  for (const char* word : {"Si", "Y", "O", "FSi"}) combo.AddItem(word);
  std::vector<std::string> events;
  combo.Click = [&] { events.push_back("Click " + combo.Text()); };
  combo.Change = [&] { events.push_back("Change " + combo.Text()); };

  combo.SetText("O");  // editable combo: the text, and the item that matches it
  EXPECT_EQ(combo.ListIndex(), 2);
  combo.SetText("Otro");
  EXPECT_EQ(combo.ListIndex(), -1);
  EXPECT_TRUE(combo.UserSelect(3));
  EXPECT_EQ(combo.Text(), "FSi");
  EXPECT_EQ(events, (std::vector<std::string>{"Change O", "Change Otro", "Click FSi"}));
  // A window that lets values come only from the list empties the text on every key.
  combo.KeyPress = [&](int& key) {
    key = 0;
    combo.SetText("");
  };
  combo.UserType("x");
  EXPECT_EQ(combo.Text(), "");
  EXPECT_EQ(combo.ListIndex(), -1);
  combo.KeyPress = nullptr;

  combo.SetStyle(ui::ComboBox::kDropdownList);
  events.clear();
  combo.SetText("Y");
  EXPECT_EQ(combo.ListIndex(), 1);
  combo.SetText("nada");
  EXPECT_EQ(combo.ListIndex(), -1);
  EXPECT_EQ(combo.Text(), "");
  EXPECT_EQ(events, (std::vector<std::string>{"Click Y", "Click "}));
}

TEST(ComboBoxTest, KeyInADropDownListJumpsToTheFirstItemWithThatLetter) {
  SampleForm form;
  auto& combo = form.CbxCond;
  combo.SetStyle(ui::ComboBox::kDropdownList);
  for (const char* word : {"Si", "Y", "O", "FSi", "Ñandú", "Índice"}) combo.AddItem(word);
  const std::pair<const char*, const char*> keys[] = {{"f", "FSi"}, {"S", "Si"}, {"ñ", "Ñandú"}};
  for (const auto& [key, item] : keys) {
    SCOPED_TRACE(key);
    combo.UserType(key);
    EXPECT_EQ(combo.Text(), item);
  }
}

std::string GridText(const ui::Grid& grid) {
  std::string out;
  for (int r = 0; r < grid.Rows(); ++r) {
    for (int c = 0; c < grid.Cols(); ++c) out += (c ? "|" : "") + grid.TextMatrix(r, c);
    out += "\n";
  }
  return out;
}

TEST(GridTest, RowsByAddItemRemoveItemAndClear) {
  SampleForm form;
  auto& grid = form.MFGField;
  grid.SetCols(3);
  grid.SetRows(1);
  grid.SetTextMatrix(0, 0, "Campo");
  grid.SetTextMatrix(0, 1, "Tipo");
  grid.SetTextMatrix(0, 2, "Descripcion");
  struct Step {
    const char* what;
    std::function<void()> act;
    const char* text;
  };
  const std::vector<Step> steps = {
      {"append", [&] { grid.AddItem("C1\tN\tVentas"); }, "Campo|Tipo|Descripcion\nC1|N|Ventas\n"},
      {"fewer parts leave cells empty", [&] { grid.AddItem("C2"); },
       "Campo|Tipo|Descripcion\nC1|N|Ventas\nC2||\n"},
      {"extra parts are dropped", [&] { grid.AddItem("C0\tC\tx\ty\tz", 1); },
       "Campo|Tipo|Descripcion\nC0|C|x\nC1|N|Ventas\nC2||\n"},
      {"empty parts keep their place", [&] { grid.AddItem("\t\tsolo", 4); },
       "Campo|Tipo|Descripcion\nC0|C|x\nC1|N|Ventas\nC2||\n||solo\n"},
      {"remove a middle row", [&] { grid.RemoveItem(2); }, "Campo|Tipo|Descripcion\nC0|C|x\nC2||\n||solo\n"},
      {"shrink", [&] { grid.SetRows(2); }, "Campo|Tipo|Descripcion\nC0|C|x\n"},
      {"grow", [&] { grid.SetRows(3); }, "Campo|Tipo|Descripcion\nC0|C|x\n||\n"},
      {"clear empties fixed cells too", [&] { grid.Clear(); }, "||\n||\n||\n"},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    step.act();
    EXPECT_EQ(GridText(grid), step.text);
  }
  // A click moves the current cell, then raises Click; a hidden grid takes none.
  grid.SetTextMatrix(2, 1, "Ventas");
  std::string seen;
  grid.Click = [&] { seen = std::to_string(grid.Row()) + "," + std::to_string(grid.Col()) + " " + grid.Text(); };
  EXPECT_TRUE(grid.UserClick(2, 1));
  EXPECT_EQ(seen, "2,1 Ventas");
  grid.SetVisible(false);
  EXPECT_FALSE(grid.UserClick(1, 1));
  EXPECT_EQ(grid.Row(), 2);
}

TEST(GridTest, ErrorsAsTheToolkitRaisedThem) {
  SampleForm form;
  auto& grid = form.MFGField;  // 2 x 2, one fixed row and column
  struct Case {
    const char* what;
    std::function<void()> act;
    long number;
  };
  const std::vector<Case> cases = {
      {"cell outside", [&] { grid.SetTextMatrix(2, 0, "x"); }, 381},
      {"negative column width index", [&] { grid.SetColWidth(-1, 100); }, 381},
      {"last non-fixed row", [&] { grid.RemoveItem(1); }, 30015},
      {"fewer rows than fixed", [&] { grid.SetRows(0); }, 30009},
      {"more fixed cols than cols", [&] { grid.SetFixedCols(3); }, 30010},
      {"row outside", [&] { grid.SetRow(5); }, 30009},
      {"bad alignment", [&] { grid.SetColAlignment(0, 10); }, 380},
      {"list item outside", [&] { form.LstForm.ItemData(0); }, 381},
      {"list index outside", [&] { form.LstForm.SetListIndex(0); }, 380},
      {"check value outside", [&] { form.ChkTodos.SetValue(3); }, 380},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ErrorNumberOf(c.act).value_or(0), c.number);
  }
  grid.SetFixedRows(0);
  EXPECT_EQ(ErrorNumberOf([&] { grid.RemoveItem(1); }), std::nullopt);  // not the last non-fixed row any more
}

// A check box raises Click on each change of value; observers hear each change once, until they
// are forgotten.
TEST(ControlTest, CheckBoxClicksAndObserversHearEachChangeOnce) {
  SampleForm form;
  int clicks = 0;
  form.ChkTodos.Click = [&] { ++clicks; };
  form.ChkTodos.UserClick();
  form.ChkTodos.SetValue(ui::CheckBox::kChecked);
  form.ChkTodos.SetValue(ui::CheckBox::kGrayed);
  form.ChkTodos.UserClick();
  EXPECT_EQ(form.ChkTodos.Value(), ui::CheckBox::kChecked);
  EXPECT_EQ(clicks, 3);

  std::vector<ui::ControlChange::What> heard;
  const int id = form.MFGField.Observe([&](const ui::ControlChange& change) { heard.push_back(change.what); });
  form.MFGField.SetTextMatrix(1, 1, "x");
  form.MFGField.SetTextMatrix(1, 1, "x");
  form.MFGField.SetColWidth(0, 1000);
  form.MFGField.Move(0, 0, 4000, 2000);
  form.MFGField.SetEnabled(false);
  form.MFGField.Forget(id);
  form.MFGField.SetEnabled(true);
  EXPECT_EQ(heard, (std::vector<ui::ControlChange::What>{ui::ControlChange::kItems, ui::ControlChange::kFormat,
                                                         ui::ControlChange::kGeometry, ui::ControlChange::kEnabled}));
}

}  // namespace
