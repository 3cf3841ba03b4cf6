// The scripted and console Ui services: message boxes recorded and answered, modal dialogs
// worked by scripts, the fake clock; and the meaning of a MsgBox style.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "platform/ui/console_ui.h"
#include "platform/ui/scripted_ui.h"

namespace {

TEST(MsgBoxStyleTest, ButtonsDefaultAndIcon) {
  const struct {
    int style;
    std::vector<int> buttons;
    int default_answer, icon;
  } cases[] = {
      {ui::vbOKOnly, {ui::vbOK}, ui::vbOK, 0},
      {ui::vbOKCancel + ui::vbInformation, {ui::vbOK, ui::vbCancel}, ui::vbOK, ui::vbInformation},
      {ui::vbYesNo + ui::vbDefaultButton2, {ui::vbYes, ui::vbNo}, ui::vbNo, 0},
      {ui::vbYesNoCancel + ui::vbDefaultButton3 + ui::vbExclamation,
       {ui::vbYes, ui::vbNo, ui::vbCancel}, ui::vbCancel, ui::vbExclamation},
      {ui::vbOKOnly + ui::vbDefaultButton3 + ui::vbCritical, {ui::vbOK}, ui::vbOK, ui::vbCritical},
      {ui::vbAbortRetryIgnore + ui::vbQuestion, {ui::vbAbort, ui::vbRetry, ui::vbIgnore}, ui::vbAbort,
       ui::vbQuestion},
      {ui::vbRetryCancel + ui::vbDefaultButton2, {ui::vbRetry, ui::vbCancel}, ui::vbCancel, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.style);
    EXPECT_EQ(ui::MsgBoxButtons(c.style), c.buttons);
    EXPECT_EQ(ui::MsgBoxDefaultAnswer(c.style), c.default_answer);
    EXPECT_EQ(ui::MsgBoxIcon(c.style), c.icon);
  }
}

// Answers come from the script, else the default button; the title defaults to the program's.
TEST(ScriptedUiTest, RecordsMessagesAndAnswersFromTheScript) {
  ui::ScriptedUi ui;
  ui.QueueAnswer(ui::vbNo);
  EXPECT_EQ(ui.MsgBox("Es correcto?", ui::vbYesNo + ui::vbInformation, "Cierre del Sistema"), ui::vbNo);
  EXPECT_EQ(ui.MsgBox("Dato Incorrecto"), ui::vbOK);
  EXPECT_EQ(ui.MsgBox("Seguro?", ui::vbYesNo + ui::vbDefaultButton2), ui::vbNo);
  const auto& m = ui.Messages();
  ASSERT_EQ(m.size(), 3u);
  EXPECT_EQ(std::make_tuple(m[0].title, m[0].style, m[1].title, m[1].answer),
            std::make_tuple(std::string("Cierre del Sistema"), ui::vbYesNo + ui::vbInformation,
                            std::string("Consolida"), ui::vbOK));
  EXPECT_EQ(ui.Prompts(), (std::vector<std::string>{"Es correcto?", "Dato Incorrecto", "Seguro?"}));
}

// A picker: a list filled on load, "Aceptar" hands the choice back and unloads, "Salir" unloads.
class FrmBuSec : public ui::Form {
 public:
  explicit FrmBuSec(ui::Ui& ui) : Form("FrmBuSec"), ui_(ui) {
    CmdAceptar.Click = [this] {
      chosen = LstSec.Text();
      ui_.Unload(*this);
    };
    CmdSalir.Click = [this] { ui_.Unload(*this); };
  }
  ui::ListBox LstSec{*this, "LstSec"};
  ui::CommandButton CmdAceptar{*this, "CmdAceptar"};
  ui::CommandButton CmdSalir{*this, "CmdSalir"};
  std::string chosen;
  bool empty_on_load = false;

 protected:
  void Form_Load() override {
    if (empty_on_load) {
      ui_.MsgBox("No hay secuencias");
      ui_.Unload(*this);
      return;
    }
    LstSec.AddItem("Ventas");
    LstSec.AddItem("Costos");
  }

 private:
  ui::Ui& ui_;
};

TEST(ScriptedUiTest, ModalScriptsWorkTheDialog) {
  ui::ScriptedUi ui;
  FrmBuSec picker(ui);
  ui.QueueModal("FrmBuSec", [](ui::Form& form) {
    auto& f = static_cast<FrmBuSec&>(form);
    EXPECT_TRUE(f.Modal());
    f.LstSec.UserClick(1);
    f.CmdAceptar.UserClick();
  });
  ui.ShowModal(picker);
  EXPECT_EQ(picker.chosen, "Costos");
  EXPECT_FALSE(picker.Loaded());
  EXPECT_EQ(picker.LstSec.ListCount(), 0);

  // The standing script answers every later showing; the list is loaded afresh each time.
  ui.SetModalScript("FrmBuSec", [](ui::Form& form) {
    auto& f = static_cast<FrmBuSec&>(form);
    EXPECT_EQ(f.LstSec.ListCount(), 2);
    f.LstSec.UserClick(0);
    f.CmdAceptar.UserClick();
  });
  ui.ShowModal(picker);
  EXPECT_EQ(picker.chosen, "Ventas");
  EXPECT_EQ(ui.ShownForms(), (std::vector<std::string>{"FrmBuSec", "FrmBuSec"}));

  // A dialog that unloads itself in its Load never runs its script.
  picker.empty_on_load = true;
  ui.SetModalScript("FrmBuSec", [](ui::Form&) { ADD_FAILURE() << "script ran"; });
  ui.ShowModal(picker);
  EXPECT_EQ(ui.Prompts(), (std::vector<std::string>{"No hay secuencias"}));
}

TEST(ScriptedUiTest, ScriptMistakesAreReported) {
  ui::ScriptedUi ui;
  FrmBuSec picker(ui);
  EXPECT_THROW(ui.ShowModal(picker), ui::ScriptError);  // nobody scripted it

  ui.QueueModal("FrmOtro", [](ui::Form&) {});
  EXPECT_THROW(ui.ShowModal(picker), ui::ScriptError);  // the queue expects another form

  ui::ScriptedUi ui2;
  FrmBuSec picker2(ui2);
  ui2.QueueModal("FrmBuSec", [](ui::Form&) {});
  EXPECT_THROW(ui2.ShowModal(picker2), ui::ScriptError);  // left open

  ui2.QueueAnswer(ui::vbYes);
  EXPECT_THROW(ui2.MsgBox("Dato Incorrecto", ui::vbOKOnly), ui::ScriptError);  // no Yes button
}

// The clock starts at 01/01/2005 10:00:00 and moves only by Sleep (negative sleeps count 0).
TEST(ScriptedUiTest, FakeClockAndDoEvents) {
  ui::ScriptedUi ui;
  const double start = ui.Now().days;
  EXPECT_DOUBLE_EQ(start, 38353.0 + 10.0 / 24.0);
  for (int ms : {1500, 0, -5, 86400000 - 1500}) ui.Sleep(ms);
  EXPECT_EQ(ui.SleptMilliseconds(), 86400000);
  EXPECT_NEAR(ui.Now().days, start + 1.0, 1e-9);
  ui.SetNow(runtime::DateSerial{40000.5});
  EXPECT_DOUBLE_EQ(ui.Now().days, 40000.5);
  int hooks = 0;
  ui.SetDoEventsHook([&] { ++hooks; });
  ui.DoEvents();
  ui.DoEvents();
  EXPECT_EQ(std::make_pair(ui.DoEventsCount(), hooks), std::make_pair(2, 2));
}

TEST(ConsoleUiTest, WritesMessagesAndTakesTheDefaultButton) {
  std::ostringstream out;
  ui::ConsoleUi ui(&out);
  EXPECT_EQ(ui.MsgBox("Existen errores", ui::vbYesNo + ui::vbDefaultButton2, "Captura de Errores"), ui::vbNo);
  EXPECT_EQ(out.str(), "[Captura de Errores] Existen errores -> 7\n");

  FrmBuSec picker(ui);
  ui.ShowModal(picker);
  EXPECT_FALSE(picker.Loaded());
  EXPECT_TRUE(picker.chosen.empty());
}

}  // namespace
