// The busy guard: while a window's long operation runs and lets events in (DoEvents), a click on
// its buttons and a close of the window arrive in the middle of it; they are ignored and refused,
// and the window is as before once the operation ends, however it ends.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/ui/busy_scope.h"
#include "platform/ui/form.h"
#include "platform/ui/scripted_ui.h"

namespace {

// A window whose "Proceso" runs three steps, letting events in after each.
class FrmLargo : public ui::Form {
 public:
  explicit FrmLargo(ui::Ui& ui) : Form("FrmLargo"), ui_(ui) {
    Proceso.Click = [this] { Proceso_Click(); };
    Salir.SetEnabled(false);  // disabled by the window's own logic: stays so afterwards
    Frame1.Move(0, 0, 2000, 1000);
  }
  ui::CommandButton Proceso{*this, "Proceso"};
  ui::CommandButton Salir{*this, "Salir"};
  ui::Frame Frame1{*this, "Frame1"};
  ui::CommandButton Dentro{*this, "Dentro", &Frame1};
  ui::TextBox TxtPeriodo{*this, "TxtPeriodo"};

  int runs = 0;
  bool fail = false;
  bool nested = false;
  bool sets_buttons = false;  // the operation enables "Salir" and disables "Proceso" itself

 private:
  void Proceso_Click() {
    ui::BusyScope busy(*this, ui_);
    ++runs;
    if (sets_buttons) {
      Salir.SetEnabled(true);
      Proceso.SetEnabled(false);
    }
    for (int step = 0; step < 3; ++step) {
      if (nested && step == 1) {
        ui::BusyScope again(*this, ui_);  // a routine of the operation guards itself too
        ui_.DoEvents();
      }
      ui_.DoEvents();
    }
    if (fail) throw std::runtime_error("step failed");
  }

  ui::Ui& ui_;
};

TEST(BusyScopeTest, ClicksAndClosesDuringTheOperationAreRefused) {
  const struct {
    const char* name;
    bool fail;
    bool nested;
    bool sets_buttons;
  } cases[] = {{"returns", false, false, false},
               {"throws", true, false, false},
               {"nested", false, true, false},
               {"sets its buttons", false, false, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ui::ScriptedUi ui;
    FrmLargo form(ui);
    ui.Show(form);
    form.fail = c.fail;
    form.nested = c.nested;
    form.sets_buttons = c.sets_buttons;
    // Each time events are let in, the user tries everything once.
    std::vector<std::string> seen;
    ui.SetDoEventsHook([&] {
      std::string line = form.Busy() ? "busy" : "idle";
      line += form.Proceso.Enabled() || form.Dentro.Enabled() || form.Salir.Enabled() ? " enabled" : " disabled";
      line += form.Proceso.UserClick() ? " clicked" : "";
      line += form.Dentro.UserClick() ? " clicked" : "";
      line += form.UserClose() ? " closed" : "";
      line += form.Unload(ui::vbFormMDIForm) ? " unloaded" : "";
      line += form.TxtPeriodo.Enabled() ? " text" : "";
      line += form.TxtPeriodo.UserEdit("2006") ? " typed" : "";
      seen.push_back(line);
    });

    if (c.fail) {
      EXPECT_THROW(form.Proceso.UserClick(), std::runtime_error);
    } else {
      EXPECT_TRUE(form.Proceso.UserClick());
    }

    const std::string busy = "busy disabled text";
    EXPECT_EQ(seen, std::vector<std::string>(c.nested ? 4 : 3, busy));
    EXPECT_EQ(form.runs, 1);
    // Two refusals each time: the close box and the closing frame.
    EXPECT_EQ(ui.Prompts(),
              std::vector<std::string>(seen.size() * 2, "Espere a que termine el proceso en curso"));
    ASSERT_FALSE(ui.Messages().empty());
    EXPECT_EQ(ui.Messages()[0].style, ui::vbExclamation);
    EXPECT_FALSE(form.Busy());
    // As the operation left them: what it set while busy, the rest as before.
    EXPECT_EQ(form.Proceso.Enabled(), !c.sets_buttons);
    EXPECT_TRUE(form.Dentro.Enabled());
    EXPECT_EQ(form.Salir.Enabled(), c.sets_buttons);
    EXPECT_TRUE(form.Visible());
    ui.SetDoEventsHook(nullptr);
    EXPECT_TRUE(form.UserClose());
  }
}

// The program may still unload its own window while it works; only the user's closes wait.
TEST(BusyScopeTest, TheProgramsOwnUnloadGoesThrough) {
  ui::ScriptedUi ui;
  FrmLargo form(ui);
  ui.Show(form);
  bool unloaded = false;
  ui.SetDoEventsHook([&] {
    if (!unloaded) unloaded = ui.Unload(form);
  });
  form.Proceso.UserClick();
  EXPECT_TRUE(unloaded);
  EXPECT_FALSE(form.Loaded());
  EXPECT_TRUE(ui.Prompts().empty());
  EXPECT_TRUE(form.Proceso.Enabled());
}

}  // namespace
