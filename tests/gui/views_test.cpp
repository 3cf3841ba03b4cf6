// Offscreen smoke tests of the Qt views: the form binder both ways, the fixed window size, the
// Qt Ui service's message boxes and modal dialogs, the main window's menus and close question,
// and the guard that keeps exceptions out of Qt.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>

#include "gui/main_window_view.h"
#include "gui/qt_ui.h"
#include "platform/runtime/vb_error.h"
#include "platform/ui/busy_scope.h"
#include "tests/gui/modales.h"

namespace {

using gui_test::EnsureApp;

// One control of each kind, two of them inside a frame.
class FrmMuestraVista : public ui::Form {
 public:
  FrmMuestraVista() : Form("FrmMuestraVista") {
    SetCaption("Muestra");
    FrOpciones.Move(150, 1500, 3000, 1200);
    FrOpciones.SetCaption("Tipo");
    OptTotal.Move(150, 300, 1200, 300);
    OptEmpresa.Move(150, 600, 1200, 300);
    TxtPeriodo.Move(150, 300, 1500, 300);
    LblMsg.SetCaption("Periodo:");
    Command1.SetCaption("Aceptar");
    CbxCond.SetStyle(ui::ComboBox::kDropdownList);
    MFGField.SetCols(3);
    MFGField.SetColWidth(0, 1500);
    MFGField.SetColWidth(2, 0);
    TxtPeriodo.KeyPress = [](int& key) {
      if (key < '0' || key > '9') key = 0;
    };
    Command1.Click = [this] {
      ++presses;
      if (fail) throw runtime::VbError(381, "Consolida", "Invalid property array index");
      Unload(ui::vbFormCode);
    };
  }
  ui::Frame FrOpciones{*this, "FrOpciones"};
  ui::OptionButton OptTotal{*this, "OptTotal", &FrOpciones};
  ui::OptionButton OptEmpresa{*this, "OptEmpresa", &FrOpciones};
  ui::TextBox TxtPeriodo{*this, "TxtPeriodo"};
  ui::Label LblMsg{*this, "LblMsg"};
  ui::CommandButton Command1{*this, "Command1"};
  ui::ListBox LstForm{*this, "LstForm"};
  ui::ComboBox CbxCond{*this, "CbxCond"};
  ui::CheckBox ChkTodos{*this, "ChkTodos"};
  ui::Grid MFGField{*this, "MFGField"};
  int presses = 0;
  bool fail = false;
  std::vector<std::string> keys;

 protected:
  void Form_KeyDown(int& key_code, int shift) override {
    keys.push_back(std::to_string(key_code) + "/" + std::to_string(shift));
  }
  void Form_Load() override {
    LstForm.AddItem("ENCUES");
    LstForm.AddItem("INDUST");
    CbxCond.AddItem("Si");
    CbxCond.AddItem("FSi");
    MFGField.AddItem("C1\tN\tx");
  }
  void Form_Resize() override {
    SetWidth(3015);
    SetHeight(2340);
  }
};

// A form shown through the Qt Ui in an MDI main window: its sub-window and view.
struct Hosted {
  explicit Hosted(ui::Form& form) {
    main.show();
    qt_ui.SetHost(&main);
    qt_ui.Show(form);
    sub = main.Area()->subWindowList().value(0);
    if (sub != nullptr) view = dynamic_cast<gui::FormView*>(sub->widget());
    EXPECT_NE(view, nullptr);
  }
  template <typename W>
  W* Widget(const ui::Control& control) const {
    auto* widget = qobject_cast<W*>(view->WidgetFor(control));
    EXPECT_NE(widget, nullptr) << control.Name();
    return widget;
  }
  bool app_made = (EnsureApp(), true);  // before any widget
  gui::QtUi qt_ui;
  gui::MainWindowView main{"Consolida", {}, {}};
  QMdiSubWindow* sub = nullptr;
  gui::FormView* view = nullptr;
};

TEST(FormViewTest, BindsEveryControlBothWaysAndKeepsTheWindowSize) {
  FrmMuestraVista form;
  Hosted shown(form);
  ASSERT_NE(shown.view, nullptr);
  QMdiSubWindow* sub = shown.sub;
  auto* edit = shown.Widget<QLineEdit>(form.TxtPeriodo);
  auto* list = shown.Widget<QListWidget>(form.LstForm);
  auto* table = shown.Widget<QTableWidget>(form.MFGField);

  // Model to widgets: texts, items, cells, placement in twips, frames as parents.
  EXPECT_EQ(sub->windowTitle(), "Muestra");
  EXPECT_EQ(shown.Widget<QLabel>(form.LblMsg)->text(), "Periodo:");
  EXPECT_EQ(shown.Widget<QPushButton>(form.Command1)->text(), "Aceptar");
  EXPECT_EQ(shown.Widget<QGroupBox>(form.FrOpciones)->title(), "Tipo");
  EXPECT_EQ(shown.Widget<QRadioButton>(form.OptEmpresa)->parentWidget(), shown.view->WidgetFor(form.FrOpciones));
  EXPECT_EQ(edit->geometry(), QRect(10, 20, 100, 20));
  EXPECT_EQ(list->count(), 2);
  EXPECT_EQ(shown.Widget<QComboBox>(form.CbxCond)->count(), 2);
  EXPECT_EQ(table->rowCount(), 3);
  EXPECT_EQ(table->item(2, 1)->text(), "N");
  EXPECT_EQ(table->columnWidth(0), 100);
  EXPECT_TRUE(table->isColumnHidden(2));

  form.TxtPeriodo.SetText("2005");
  form.LstForm.SetListIndex(1);
  form.MFGField.SetTextMatrix(1, 0, "C9");
  form.FrOpciones.SetEnabled(false);
  form.ChkTodos.SetValue(ui::CheckBox::kChecked);
  form.OptTotal.SetValue(true);
  EXPECT_EQ(edit->text(), "2005");
  EXPECT_EQ(list->currentRow(), 1);
  EXPECT_EQ(table->item(1, 0)->text(), "C9");
  EXPECT_FALSE(shown.view->WidgetFor(form.OptTotal)->isEnabled());
  EXPECT_TRUE(shown.Widget<QCheckBox>(form.ChkTodos)->isChecked());
  form.FrOpciones.SetEnabled(true);

  // Tab order follows TabIndex.
  form.Command1.SetTabIndex(0);
  form.TxtPeriodo.SetTabIndex(1);
  QWidget* next = shown.view->WidgetFor(form.Command1)->nextInFocusChain();
  while (next != nullptr && next->focusPolicy() == Qt::NoFocus) next = next->nextInFocusChain();
  EXPECT_EQ(next, edit);

  // Widgets to model: typing goes through KeyPress, clicks reach the events.
  edit->clear();
  form.TxtPeriodo.SetText("");
  QTest::keyClicks(edit, "1a9x9");
  EXPECT_EQ(form.TxtPeriodo.Text(), "199");
  EXPECT_EQ(edit->text(), "199");
  shown.Widget<QRadioButton>(form.OptEmpresa)->click();
  EXPECT_TRUE(form.OptEmpresa.Value());
  EXPECT_FALSE(shown.Widget<QRadioButton>(form.OptTotal)->isChecked());
  shown.Widget<QCheckBox>(form.ChkTodos)->click();
  EXPECT_EQ(form.ChkTodos.Value(), ui::CheckBox::kUnchecked);
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
  EXPECT_EQ(form.LstForm.ListIndex(), 0);
  int combo_clicks = 0;
  form.CbxCond.Click = [&] { ++combo_clicks; };
  QTest::keyClick(shown.Widget<QComboBox>(form.CbxCond), Qt::Key_Down);
  EXPECT_EQ(form.CbxCond.Text(), "Si");
  EXPECT_EQ(combo_clicks, 1);
  QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualItemRect(table->item(2, 1)).center());
  EXPECT_EQ(form.MFGField.Row(), 2);
  EXPECT_EQ(form.MFGField.Col(), 1);

  // The window keeps the form's size: 3015 x 2340 twips.
  EXPECT_EQ(sub->size(), QSize(201, 156));
  sub->resize(400, 300);
  QApplication::processEvents();
  EXPECT_EQ(sub->size(), QSize(201, 156));
  EXPECT_EQ(form.Width(), 3015);

  // Showing it again reuses the sub-window; the close box unloads the form and hides it.
  shown.qt_ui.Show(form);
  EXPECT_EQ(shown.main.Area()->subWindowList().size(), 1);
  sub->close();
  EXPECT_FALSE(form.Loaded());
  EXPECT_FALSE(sub->isVisible());
  EXPECT_EQ(list->count(), 0);
}

// A window whose operation is running: its buttons are drawn disabled, and its close box
// leaves it open with the busy message; once the operation ends it closes as usual.
TEST(FormViewTest, ABusyWindowKeepsItsButtonsDisabledAndStaysOpen) {
  FrmMuestraVista form;
  Hosted shown(form);
  ASSERT_NE(shown.view, nullptr);
  auto* button = shown.Widget<QPushButton>(form.Command1);
  {
    ui::BusyScope busy(form, shown.qt_ui);
    EXPECT_FALSE(button->isEnabled());
    std::vector<std::string> texts;
    gui_test::AnswerMessages(1, texts);
    shown.sub->close();
    EXPECT_EQ(texts, std::vector<std::string>{"Espere a que termine el proceso en curso"});
    EXPECT_TRUE(shown.sub->isVisible());
  }
  EXPECT_TRUE(button->isEnabled());
  shown.sub->close();
  EXPECT_FALSE(form.Loaded());
}

TEST(FormViewTest, KeysReachTheFormWithTheToolkitsKeyCodes) {
  EnsureApp();
  FrmMuestraVista form;
  form.SetKeyPreview(true);
  form.Load();
  gui::FormView view(form);
  const std::vector<std::tuple<Qt::Key, Qt::KeyboardModifiers, const char*>> cases = {
      {Qt::Key_5, Qt::NoModifier, "53/0"},         {Qt::Key_5, Qt::KeypadModifier, "101/0"},
      {Qt::Key_Asterisk, Qt::NoModifier, "42/0"},  {Qt::Key_Asterisk, Qt::KeypadModifier, "106/0"},
      {Qt::Key_Period, Qt::KeypadModifier, "110/0"}, {Qt::Key_A, Qt::ShiftModifier, "65/1"},
      {Qt::Key_Return, Qt::NoModifier, "13/0"},    {Qt::Key_Space, Qt::ControlModifier, "32/2"},
  };
  for (const auto& [key, modifiers, expected] : cases) {
    SCOPED_TRACE(expected);
    form.keys.clear();
    QTest::keyPress(view.WidgetFor(form.Command1), key, modifiers);
    EXPECT_EQ(form.keys, (std::vector<std::string>{expected}));
  }
}

// Each box as seen: title, icon (QMessageBox::Icon: 1 information, 3 critical, 4 question), text and
// buttons (sorted); the button pressed gives the answer.
TEST(QtUiTest, MessageBoxesShowTheExactTextTitleIconAndButtons) {
  EnsureApp();
  const std::vector<std::tuple<int, const char*, const char*, QString, int>> cases = {
      {ui::vbYesNo + ui::vbInformation, "Cierre del Sistema", "No",
       "Cierre del Sistema|1|Esta a punto de Cerrar el Sistema.\nEs correcto?|No,Sí", ui::vbNo},
      {ui::vbCritical, "", "Aceptar", "Consolida|3|Esta a punto de Cerrar el Sistema.\nEs correcto?|Aceptar", ui::vbOK},
      {ui::vbOKCancel + ui::vbQuestion, "T", "Cancelar",
       "T|4|Esta a punto de Cerrar el Sistema.\nEs correcto?|Aceptar,Cancelar", ui::vbCancel},
  };
  gui::QtUi qt_ui;
  for (const auto& [style, title, press, expected, answer] : cases) {
    SCOPED_TRACE(expected.toStdString());
    QString seen;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      QStringList buttons;
      for (QAbstractButton* button : box->buttons()) buttons << button->text();
      buttons.sort();
      seen = box->windowTitle() + "|" + QString::number(box->icon()) + "|" + box->text() + "|" + buttons.join(",");
      for (QAbstractButton* button : box->buttons()) {
        if (button->text() == QString::fromUtf8(press)) button->click();
      }
    });
    EXPECT_EQ(qt_ui.MsgBox("Esta a punto de Cerrar el Sistema.\r\nEs correcto?", style, title), answer);
    EXPECT_EQ(seen, expected);
  }
}

TEST(QtUiTest, ModalFormRunsUntilItUnloads) {
  EnsureApp();
  gui::QtUi qt_ui;
  FrmMuestraVista form;
  bool was_modal_dialog = false;
  gui_test::OnModal("FrmMuestraVista", [&](gui::FormView& view) {
    QWidget* modal = QApplication::activeModalWidget();
    was_modal_dialog = qobject_cast<QDialog*>(modal) != nullptr && form.Modal();
    EXPECT_EQ(modal->size(), QSize(201, 156));
    gui_test::Click(view, form.Command1);
  });
  // Should the button not end the dialog, this ends it so the test fails instead of hanging.
  QTimer::singleShot(5000, [&] { form.Hide(); });
  qt_ui.ShowModal(form);
  EXPECT_TRUE(was_modal_dialog);
  EXPECT_EQ(form.presses, 1);
  EXPECT_FALSE(form.Loaded());
}

TEST(QtUiTest, AnExceptionInAHandlerReachesTheHandlerAndAMessage) {
  std::vector<std::string> logged;
  gui::SetExceptionHandler([&](const std::exception& error) { logged.push_back(gui::DescribeException(error)); });
  auto form = std::make_unique<FrmMuestraVista>();
  form->fail = true;
  Hosted shown(*form);
  ASSERT_NE(shown.view, nullptr);
  std::vector<std::string> texts;
  gui_test::AnswerMessages(1, texts);
  gui_test::Click(*shown.view, form->Command1);
  EXPECT_EQ(logged, (std::vector<std::string>{"(381) Invalid property array index"}));
  EXPECT_EQ(texts, logged);
  EXPECT_TRUE(form->Loaded());
  gui::SetExceptionHandler(nullptr);
  // The form may go before its window: the view then only lets go of its widgets.
  form.reset();
}

TEST(MainWindowViewTest, MenusAndTheCloseQuestion) {
  EnsureApp();
  std::vector<std::string> clicked;
  auto open = [&](const char* name) { return [&clicked, name] { clicked.push_back(name); }; };
  std::vector<ui::MenuEntry> menu = {
      {"MnuCarga", "Carga", true, nullptr, {{"CarEstr", "Estructuras", true, open("CarEstr"), {}}}},
      {"mnuGenerador", "Generadores", true, nullptr,
       {{"Frm", "Formula", true, open("Frm"), {}}, {"Sec", "Secuencia", false, open("Sec"), {}}}},
      {"mnuPC", "Panel de Comando", true, open("mnuPC"), {}},
  };
  bool allow_close = false;
  int queries = 0, unloads = 0;
  gui::MainWindowView main("Consolida", menu, {[&] { return ++queries, allow_close; }, [&] { ++unloads; }});
  main.show();
  QStringList bar;
  for (QAction* action : main.menuBar()->actions()) bar << action->text();
  EXPECT_EQ(bar, (QStringList{"Carga", "Generadores", "Panel de Comando"}));
  EXPECT_EQ(main.MenuAction("Frm")->text(), "Formula");
  EXPECT_FALSE(main.MenuAction("Sec")->isEnabled());
  main.MenuAction("CarEstr")->trigger();
  main.MenuAction("mnuPC")->trigger();
  main.MenuAction("Sec")->trigger();  // disabled: nothing
  EXPECT_EQ(clicked, (std::vector<std::string>{"CarEstr", "mnuPC"}));

  main.close();
  EXPECT_TRUE(main.isVisible());
  EXPECT_EQ(unloads, 0);
  allow_close = true;
  main.close();
  EXPECT_FALSE(main.isVisible());
  EXPECT_EQ(queries, 2);
  EXPECT_EQ(unloads, 1);
}

}  // namespace
