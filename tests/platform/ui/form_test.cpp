// The Form base: load and unload with their events and design reset, the fixed-size resize
// rule, key preview, focus and lookup by name.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/runtime/vb_error.h"
#include "platform/ui/form.h"
#include "tests/platform/runtime/error_of.h"

namespace {

// A window with a fixed size, a list filled on load, a close question and key preview.
class FrmFixed : public ui::Form {
 public:
  FrmFixed() : Form("FrmFixed") {
    SetCaption("Fijo");
    LblMsg.SetCaption("Listo");
    TxtPeriodo.SetText("2005");
    Command1[0].SetCaption("Aceptar");
    Command1[1].SetCaption("Salir");
    TxtPeriodo.KeyDown = [this](int& key, int) { log.push_back("TxtPeriodo_KeyDown " + std::to_string(key)); };
  }
  ui::Label LblMsg{*this, "LblMsg"};
  ui::TextBox TxtPeriodo{*this, "TxtPeriodo"};
  ui::ListBox LstForm{*this, "LstForm"};
  ui::CommandButton Command1[2] = {{*this, "Command1", nullptr, 0}, {*this, "Command1", nullptr, 1}};

  std::vector<std::string> log;
  int cancel_query = 0;
  int cancel_unload = 0;
  int swallow_key = -1;
  int loads = 0;  // a member variable: survives unloads

 protected:
  void Form_Load() override {
    ++loads;
    log.push_back("Form_Load");
    LstForm.AddItem("ENCUES");
    SetWidth(3015);
    SetHeight(2340);
  }
  void Form_Resize() override {
    log.push_back("Form_Resize " + std::to_string(Width()) + "x" + std::to_string(Height()));
    ui::AplicarTamanoFijo(*this, 3015, 2340);
  }
  void Form_QueryUnload(int& cancel, int mode) override {
    log.push_back("Form_QueryUnload " + std::to_string(mode));
    cancel = cancel_query;
  }
  void Form_Unload(int& cancel) override {
    log.push_back("Form_Unload");
    cancel = cancel_unload;
  }
  void Form_KeyDown(int& key, int shift) override {
    log.push_back("Form_KeyDown " + std::to_string(key) + " " + std::to_string(shift));
    if (key == swallow_key) key = 0;
  }
};

TEST(FormTest, LoadShowAndResizeEvents) {
  FrmFixed form;
  form.Load();
  form.Load();  // already loaded: nothing
  EXPECT_EQ(form.log, (std::vector<std::string>{"Form_Load", "Form_Resize 3015x3600"}));
  form.log.clear();
  form.MarkShown(false);
  EXPECT_TRUE(form.Visible());
  EXPECT_FALSE(form.Modal());
  form.MarkShown(false);  // bringing it up again is no first showing
  EXPECT_EQ(form.log, (std::vector<std::string>{"Form_Resize 3015x2340"}));
  // The handler sets the size itself without being raised again from inside.
  for (auto [width, height] : {std::pair{6000, 900}, {3015, 100}, {10, 2340}}) {
    form.log.clear();
    form.UserResize(width, height);
    EXPECT_EQ(std::to_string(form.Width()) + "x" + std::to_string(form.Height()), "3015x2340");
    EXPECT_EQ(form.log.size(), 1u);
  }
}

TEST(FormTest, UnloadAsksThenResetsControlsButKeepsMembers) {
  struct Case {
    const char* what;
    int cancel_query;
    int cancel_unload;
    bool unloaded;
    std::vector<std::string> log;
  };
  const std::vector<Case> cases = {
      {"query cancels", 1, 0, false, {"Form_QueryUnload 0"}},
      {"unload cancels", 0, 1, false, {"Form_QueryUnload 0", "Form_Unload"}},
      {"goes", 0, 0, true, {"Form_QueryUnload 0", "Form_Unload"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FrmFixed form;
    form.Load();
    form.MarkShown(true);
    form.TxtPeriodo.SetText("1999");
    form.LblMsg.SetCaption("Procesando");
    form.Command1[1].SetEnabled(false);
    form.SetCaption("Otro");
    form.log.clear();
    form.cancel_query = c.cancel_query;
    form.cancel_unload = c.cancel_unload;
    EXPECT_EQ(form.UserClose(), c.unloaded);
    EXPECT_EQ(form.log, c.log);
    EXPECT_EQ(form.Loaded(), !c.unloaded);
    EXPECT_EQ(form.Visible(), !c.unloaded);
    EXPECT_EQ(form.TxtPeriodo.Text(), c.unloaded ? "2005" : "1999");
    EXPECT_EQ(form.LblMsg.Caption(), c.unloaded ? "Listo" : "Procesando");
    EXPECT_EQ(form.Command1[1].Enabled(), c.unloaded);
    EXPECT_EQ(form.Caption(), c.unloaded ? "Fijo" : "Otro");
    EXPECT_EQ(form.LstForm.ListCount(), c.unloaded ? 0 : 1);
    // Loaded again it starts from the design, without the items of the last load twice; an
    // unloaded form unloads again without asking.
    form.cancel_query = form.cancel_unload = 0;
    form.Load();
    EXPECT_EQ(form.LstForm.ListCount(), 1);
    EXPECT_EQ(form.loads, c.unloaded ? 2 : 1);
    form.Unload();
    form.log.clear();
    EXPECT_TRUE(form.Unload());
    EXPECT_TRUE(form.log.empty());
  }
}

TEST(FormTest, HideKeepsEverythingAndOnlyAHiddenFormCanBeShownModal) {
  FrmFixed form;
  form.Load();
  form.MarkShown(false);
  EXPECT_EQ(test_support::ErrorNumberOf([&] { form.MarkShown(true); }), 400);
  EXPECT_FALSE(form.Modal());
  form.Hide();
  form.MarkShown(true);
  EXPECT_TRUE(form.Modal());
  form.TxtPeriodo.SetText("1999");
  form.Hide();
  EXPECT_TRUE(form.Loaded());
  EXPECT_FALSE(form.Visible());
  EXPECT_FALSE(form.Modal());
  EXPECT_EQ(form.TxtPeriodo.Text(), "1999");
}

TEST(FormTest, KeyPreviewSeesKeysFirstAndMayCancelThem) {
  struct Case {
    bool preview;
    int swallow;
    std::vector<std::string> log;
    int remaining;
  };
  const std::vector<Case> cases = {
      {false, -1, {"TxtPeriodo_KeyDown 96"}, 96},
      {true, -1, {"Form_KeyDown 96 1", "TxtPeriodo_KeyDown 96"}, 96},
      {true, 96, {"Form_KeyDown 96 1"}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.log.front());
    FrmFixed form;
    form.SetKeyPreview(c.preview);
    form.swallow_key = c.swallow;
    EXPECT_EQ(form.UserKeyDown(&form.TxtPeriodo, 96, 1), c.remaining);
    EXPECT_EQ(form.log, c.log);
  }
}

// "Command1(1)" for a member of a control array, the bare name otherwise.
std::string NameOf(const ui::Control& control) {
  return control.Name() + (control.Index() >= 0 ? "(" + std::to_string(control.Index()) + ")" : "");
}

// Controls are found by name (any case) and index; tab indexes stay unique and contiguous.
TEST(FormTest, ControlsFoundByNameAndTabIndexesStayUniqueAndContiguous) {
  struct Step {
    const char* what;
    std::function<void(FrmFixed&)> act;
    const char* order;
  };
  const std::vector<Step> steps = {
      {"creation order", [](FrmFixed&) {}, "LblMsg TxtPeriodo LstForm Command1(0) Command1(1)"},
      {"to the front", [](FrmFixed& f) { f.Command1[1].SetTabIndex(0); },
       "Command1(1) LblMsg TxtPeriodo LstForm Command1(0)"},
      {"backwards", [](FrmFixed& f) { f.LblMsg.SetTabIndex(3); }, "Command1(1) TxtPeriodo LstForm LblMsg Command1(0)"},
      {"past the end is last", [](FrmFixed& f) { f.TxtPeriodo.SetTabIndex(99); },
       "Command1(1) LstForm LblMsg Command1(0) TxtPeriodo"},
  };
  FrmFixed form;
  std::string created;
  for (const ui::Control* control : form.Controls()) created += NameOf(*control) + " ";
  EXPECT_EQ(created, std::string(steps[0].order) + " ") << "Controls() in creation order";
  EXPECT_EQ(form.FindControl("txtperiodo"), &form.TxtPeriodo);
  EXPECT_EQ(form.FindControl("Command1", 1), &form.Command1[1]);
  EXPECT_EQ(form.FindControl("Command1"), nullptr);
  form.TxtPeriodo.SetFocus();
  EXPECT_EQ(form.ActiveControl(), &form.TxtPeriodo);
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    step.act(form);
    std::vector<std::string> by_index(form.Controls().size());
    for (const ui::Control* control : form.Controls()) {
      ASSERT_LT(control->TabIndex(), static_cast<int>(by_index.size()));
      by_index[control->TabIndex()] = NameOf(*control);
    }
    std::string order;
    for (const std::string& name : by_index) order += (order.empty() ? "" : " ") + name;
    EXPECT_EQ(order, step.order);
  }
}

TEST(FormTest, ObserversHearShowHideAndUnload) {
  FrmFixed form;
  std::vector<ui::FormChange::What> heard;
  form.Observe([&](const ui::FormChange& change) { heard.push_back(change.what); });
  form.Load();
  form.MarkShown(true);
  heard.clear();
  form.Hide();
  form.Unload();
  EXPECT_EQ(heard, (std::vector<ui::FormChange::What>{ui::FormChange::kShown, ui::FormChange::kLoaded,
                                                      ui::FormChange::kCaption, ui::FormChange::kGeometry}));
}

}  // namespace
