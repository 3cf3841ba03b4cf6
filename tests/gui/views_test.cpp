// Offscreen smoke tests of the Qt views: the form binder both ways, the fixed window size, the
// Qt Ui service's message boxes and modal dialogs, the main window's menus and close question,
// and the guard that keeps exceptions out of Qt.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QAction>
#include <QApplication>
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
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include "gui/form_view.h"
#include "gui/main_window_view.h"
#include "gui/qt_ui.h"
#include "platform/runtime/vb_error.h"
#include "platform/ui/busy_scope.h"

namespace {

void EnsureApp() {
  static int argc = 1;
  static char name[] = "gui_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  (void)app;
}

// One control of each kind, two of them inside a frame.
class FrmMuestraVista : public ui::Form {
 public:
  FrmMuestraVista() : Form("FrmMuestraVista") {
    SetCaption("Muestra");
    FrOpciones.Move(150, 1500, 3000, 1200);
    FrOpciones.SetCaption("Tipo");
    OptTotal.Move(150, 300, 1200, 300);
    OptTotal.SetCaption("Total");
    OptEmpresa.Move(150, 600, 1200, 300);
    OptEmpresa.SetCaption("Por Empresa");
    TxtPeriodo.Move(150, 300, 1500, 300);
    TxtPeriodo.SetMaxLength(4);
    LblMsg.SetCaption("Periodo:");
    Command1.SetCaption("Aceptar");
    ChkTodos.SetCaption("Todos");
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

template <typename W>
W* Widget(const gui::FormView& view, const ui::Control& control) {
  auto* widget = qobject_cast<W*>(view.WidgetFor(control));
  EXPECT_NE(widget, nullptr) << control.Name();
  return widget;
}

// Runs `action` on the modal widget that appears next (a message box or a dialog).
void OnNextModal(std::function<void(QWidget*)> action) {
  QTimer::singleShot(0, [action] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr) {
      OnNextModal(action);
      return;
    }
    action(modal);
  });
}

TEST(FormViewTest, BindsEveryControlBothWaysAndKeepsTheWindowSize) {
  EnsureApp();
  FrmMuestraVista form;
  form.Load();
  gui::MainWindowView main("Consolida", {}, {});
  main.show();
  main.ShowForm(form);
  form.MarkShown(false);
  QMdiSubWindow* sub = main.Area()->subWindowList().value(0);
  ASSERT_NE(sub, nullptr);
  auto* view = dynamic_cast<gui::FormView*>(sub->widget());
  ASSERT_NE(view, nullptr);

  // Model to widgets: texts, items, cells, placement in twips, frames as parents.
  EXPECT_EQ(sub->windowTitle(), "Muestra");
  EXPECT_EQ(Widget<QLabel>(*view, form.LblMsg)->text(), "Periodo:");
  EXPECT_EQ(Widget<QPushButton>(*view, form.Command1)->text(), "Aceptar");
  EXPECT_EQ(Widget<QGroupBox>(*view, form.FrOpciones)->title(), "Tipo");
  EXPECT_EQ(Widget<QRadioButton>(*view, form.OptEmpresa)->parentWidget(), view->WidgetFor(form.FrOpciones));
  EXPECT_EQ(Widget<QLineEdit>(*view, form.TxtPeriodo)->geometry(), QRect(10, 20, 100, 20));
  EXPECT_EQ(Widget<QListWidget>(*view, form.LstForm)->count(), 2);
  EXPECT_EQ(Widget<QComboBox>(*view, form.CbxCond)->count(), 2);
  auto* table = Widget<QTableWidget>(*view, form.MFGField);
  EXPECT_EQ(table->rowCount(), 3);
  EXPECT_EQ(table->item(2, 1)->text(), "N");
  EXPECT_EQ(table->columnWidth(0), 100);
  EXPECT_TRUE(table->isColumnHidden(2));

  form.TxtPeriodo.SetText("2005");
  form.LstForm.SetListIndex(1);
  form.MFGField.SetTextMatrix(1, 0, "C9");
  form.FrOpciones.SetEnabled(false);
  form.ChkTodos.SetValue(ui::CheckBox::kChecked);
  EXPECT_EQ(Widget<QLineEdit>(*view, form.TxtPeriodo)->text(), "2005");
  EXPECT_EQ(Widget<QListWidget>(*view, form.LstForm)->currentRow(), 1);
  EXPECT_EQ(table->item(1, 0)->text(), "C9");
  EXPECT_FALSE(view->WidgetFor(form.OptTotal)->isEnabled());
  EXPECT_TRUE(Widget<QCheckBox>(*view, form.ChkTodos)->isChecked());
  form.FrOpciones.SetEnabled(true);

  // Tab order follows TabIndex.
  form.Command1.SetTabIndex(0);
  form.TxtPeriodo.SetTabIndex(1);
  form.OptTotal.SetTabIndex(2);
  QWidget* next = view->WidgetFor(form.Command1)->nextInFocusChain();
  while (next != nullptr && next->focusPolicy() == Qt::NoFocus) next = next->nextInFocusChain();
  EXPECT_EQ(next, view->WidgetFor(form.TxtPeriodo));

  // Widgets to model: typing goes through KeyPress, clicks reach the events.
  auto* edit = Widget<QLineEdit>(*view, form.TxtPeriodo);
  edit->clear();
  form.TxtPeriodo.SetText("");
  QTest::keyClicks(edit, "1a9x9");
  EXPECT_EQ(form.TxtPeriodo.Text(), "199");
  EXPECT_EQ(edit->text(), "199");
  Widget<QRadioButton>(*view, form.OptEmpresa)->click();
  EXPECT_TRUE(form.OptEmpresa.Value());
  Widget<QRadioButton>(*view, form.OptTotal)->click();
  EXPECT_TRUE(form.OptTotal.Value());
  EXPECT_FALSE(Widget<QRadioButton>(*view, form.OptEmpresa)->isChecked());
  Widget<QCheckBox>(*view, form.ChkTodos)->click();
  EXPECT_EQ(form.ChkTodos.Value(), ui::CheckBox::kUnchecked);
  auto* list = Widget<QListWidget>(*view, form.LstForm);
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
  EXPECT_EQ(form.LstForm.ListIndex(), 0);
  int combo_clicks = 0;
  form.CbxCond.Click = [&] { ++combo_clicks; };
  QTest::keyClick(Widget<QComboBox>(*view, form.CbxCond), Qt::Key_Down);
  EXPECT_EQ(form.CbxCond.Text(), "Si");
  QTest::keyClick(Widget<QComboBox>(*view, form.CbxCond), Qt::Key_Down);
  EXPECT_EQ(form.CbxCond.Text(), "FSi");
  EXPECT_EQ(combo_clicks, 2);
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
  main.ShowForm(form);
  EXPECT_EQ(main.Area()->subWindowList().size(), 1);
  sub->close();
  EXPECT_FALSE(form.Loaded());
  EXPECT_FALSE(sub->isVisible());
  EXPECT_EQ(form.LstForm.ListCount(), 0);
  EXPECT_EQ(list->count(), 0);
}

// A window whose operation is running: its buttons are drawn disabled, and its close box
// leaves it open with the busy message; once the operation ends it closes as usual.
TEST(FormViewTest, ABusyWindowKeepsItsButtonsDisabledAndStaysOpen) {
  EnsureApp();
  gui::QtUi qt_ui;
  FrmMuestraVista form;
  gui::MainWindowView main("Consolida", {}, {});
  main.show();
  qt_ui.SetHost(&main);
  qt_ui.Show(form);
  QMdiSubWindow* sub = main.Area()->subWindowList().value(0);
  ASSERT_NE(sub, nullptr);
  auto* view = dynamic_cast<gui::FormView*>(sub->widget());
  ASSERT_NE(view, nullptr);
  auto* button = Widget<QPushButton>(*view, form.Command1);
  {
    ui::BusyScope busy(form, qt_ui);
    EXPECT_FALSE(button->isEnabled());
    QString shown;
    OnNextModal([&](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      ASSERT_NE(box, nullptr);
      shown = box->text();
      box->buttons().value(0)->click();
    });
    sub->close();
    EXPECT_EQ(shown, "Espere a que termine el proceso en curso");
    EXPECT_TRUE(form.Loaded());
    EXPECT_TRUE(sub->isVisible());
  }
  EXPECT_TRUE(button->isEnabled());
  sub->close();
  EXPECT_FALSE(form.Loaded());
  EXPECT_FALSE(sub->isVisible());
}

TEST(FormViewTest, KeysReachTheFormWithTheToolkitsKeyCodes) {
  EnsureApp();
  FrmMuestraVista form;
  form.SetKeyPreview(true);
  form.Load();
  gui::FormView view(form);
  struct Case {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    const char* expected;
  };
  const std::vector<Case> cases = {
      {Qt::Key_5, Qt::NoModifier, "53/0"},         {Qt::Key_5, Qt::KeypadModifier, "101/0"},
      {Qt::Key_Asterisk, Qt::NoModifier, "42/0"},  {Qt::Key_Asterisk, Qt::KeypadModifier, "106/0"},
      {Qt::Key_Plus, Qt::KeypadModifier, "107/0"}, {Qt::Key_Minus, Qt::KeypadModifier, "109/0"},
      {Qt::Key_Slash, Qt::KeypadModifier, "111/0"}, {Qt::Key_Period, Qt::KeypadModifier, "110/0"},
      {Qt::Key_A, Qt::ShiftModifier, "65/1"},      {Qt::Key_Return, Qt::NoModifier, "13/0"},
      {Qt::Key_Space, Qt::ControlModifier, "32/2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    form.keys.clear();
    QTest::keyPress(view.WidgetFor(form.Command1), c.key, c.modifiers);
    EXPECT_EQ(form.keys, (std::vector<std::string>{c.expected}));
  }
}

TEST(QtUiTest, MessageBoxesShowTheExactTextTitleIconAndButtons) {
  EnsureApp();
  struct Case {
    int style;
    const char* title;
    const char* press;
    QString expected_title;
    QMessageBox::Icon icon;
    QStringList buttons;
    int answer;
  };
  const std::vector<Case> cases = {
      {ui::vbYesNo + ui::vbInformation, "Cierre del Sistema", "No", "Cierre del Sistema", QMessageBox::Information,
       {"No", "Sí"}, ui::vbNo},
      {ui::vbCritical, "", "Aceptar", "Consolida", QMessageBox::Critical, {"Aceptar"}, ui::vbOK},
      {ui::vbOKCancel + ui::vbQuestion, "T", "Cancelar", "T", QMessageBox::Question, {"Aceptar", "Cancelar"}, ui::vbCancel},
  };
  gui::QtUi qt_ui;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected_title.toStdString());
    QString text, title;
    QStringList buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    OnNextModal([&](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      ASSERT_NE(box, nullptr);
      text = box->text();
      title = box->windowTitle();
      icon = box->icon();
      for (QAbstractButton* button : box->buttons()) {
        buttons << button->text();
      }
      for (QAbstractButton* button : box->buttons()) {
        if (button->text() == QString::fromUtf8(c.press)) button->click();
      }
    });
    const int answer = qt_ui.MsgBox("Esta a punto de Cerrar el Sistema.\r\nEs correcto?", c.style, c.title);
    EXPECT_EQ(answer, c.answer);
    EXPECT_EQ(text, "Esta a punto de Cerrar el Sistema.\nEs correcto?");
    EXPECT_EQ(title, c.expected_title);
    EXPECT_EQ(icon, c.icon);
    buttons.sort();
    EXPECT_EQ(buttons, c.buttons);  // listed in sorted order
  }
}

TEST(QtUiTest, ModalFormRunsUntilItUnloads) {
  EnsureApp();
  gui::QtUi qt_ui;
  FrmMuestraVista form;
  bool was_modal_dialog = false;
  OnNextModal([&](QWidget* modal) {
    gui::FormView* view = nullptr;
    for (QWidget* child : modal->findChildren<QWidget*>()) {
      if (view == nullptr) view = dynamic_cast<gui::FormView*>(child);
    }
    ASSERT_NE(view, nullptr);
    was_modal_dialog = qobject_cast<QDialog*>(modal) != nullptr && form.Modal();
    EXPECT_EQ(modal->size(), QSize(201, 156));
    qobject_cast<QPushButton*>(view->WidgetFor(form.Command1))->click();
  });
  // Should the button not end the dialog, this ends it so the test fails instead of hanging.
  QTimer::singleShot(5000, [&] { form.Hide(); });
  qt_ui.ShowModal(form);
  EXPECT_TRUE(was_modal_dialog);
  EXPECT_EQ(form.presses, 1);
  EXPECT_FALSE(form.Loaded());
}

TEST(QtUiTest, AnExceptionInAHandlerReachesTheHandlerAndAMessage) {
  EnsureApp();
  std::vector<std::string> logged;
  gui::SetExceptionHandler([&](const std::exception& error) { logged.push_back(gui::DescribeException(error)); });
  gui::QtUi qt_ui;
  auto form = std::make_unique<FrmMuestraVista>();
  gui::MainWindowView main("Consolida", {}, {});
  qt_ui.SetHost(&main);
  form->fail = true;
  qt_ui.Show(*form);
  qt_ui.Show(*form);
  EXPECT_EQ(main.Area()->subWindowList().size(), 1);
  auto* view = dynamic_cast<gui::FormView*>(main.Area()->subWindowList().value(0)->widget());
  ASSERT_NE(view, nullptr);
  QString shown;
  OnNextModal([&](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    shown = box->text();
    box->buttons().value(0)->click();
  });
  qobject_cast<QPushButton*>(view->WidgetFor(form->Command1))->click();
  EXPECT_EQ(logged, (std::vector<std::string>{"(381) Invalid property array index"}));
  EXPECT_EQ(shown, "(381) Invalid property array index");
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
  gui::MainWindowView main("Consolida", menu,
                           {[&] {
                              ++queries;
                              return allow_close;
                            },
                            [&] { ++unloads; }});
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
