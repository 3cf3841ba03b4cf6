// QtUi: message boxes as QMessageBox with Spanish button texts, modal forms in a dialog with its
// own event loop, non-modal forms in the main window's MDI area, processEvents, real sleeps.
// Part of consolida_gui.
#include "gui/qt_ui.h"

#include <map>
#include <memory>

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

#include "gui/form_view.h"
#include "gui/main_window_view.h"

namespace gui {

namespace {

struct ButtonInfo {
  int answer;
  QMessageBox::StandardButton button;
  const char* text;
};

// The buttons as a Spanish desktop labels them.
constexpr ButtonInfo kButtons[] = {
    {ui::vbOK, QMessageBox::Ok, "Aceptar"},       {ui::vbCancel, QMessageBox::Cancel, "Cancelar"},
    {ui::vbAbort, QMessageBox::Abort, "Anular"},  {ui::vbRetry, QMessageBox::Retry, "Reintentar"},
    {ui::vbIgnore, QMessageBox::Ignore, "Omitir"}, {ui::vbYes, QMessageBox::Yes, "Sí"},
    {ui::vbNo, QMessageBox::No, "No"},
};

const ButtonInfo& InfoFor(int answer) {
  for (const ButtonInfo& info : kButtons) {
    if (info.answer == answer) return info;
  }
  return kButtons[0];
}

QMessageBox::Icon QtIcon(int style) {
  switch (ui::MsgBoxIcon(style)) {
    case ui::vbCritical: return QMessageBox::Critical;
    case ui::vbQuestion: return QMessageBox::Question;
    case ui::vbExclamation: return QMessageBox::Warning;
    case ui::vbInformation: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

// A modal form's window: Esc and the close box ask the form, which decides whether it goes.
class ModalDialog : public QDialog {
 public:
  ModalDialog(ui::Form& form, QWidget* parent) : QDialog(parent), form_(form) {}
  void reject() override {
    Guarded([this] { form_.UserClose(); });
  }

 protected:
  void closeEvent(QCloseEvent* event) override {
    event->ignore();
    Guarded([this] { form_.UserClose(); });
  }

 private:
  ui::Form& form_;
};

}  // namespace

QtUi::QtUi() = default;
QtUi::~QtUi() = default;

int QtUi::MsgBox(const std::string& prompt, int style, const std::string& title) {
  QString text = QString::fromStdString(prompt);
  text.replace("\r\n", "\n");
  QMessageBox box(QtIcon(style), QString::fromStdString(TitleOrApp(title)), text, QMessageBox::NoButton,
                  QApplication::activeWindow());
  const std::vector<int> answers = ui::MsgBoxButtons(style);
  for (int answer : answers) {
    const ButtonInfo& info = InfoFor(answer);
    box.addButton(info.button)->setText(QString::fromUtf8(info.text));
  }
  box.setDefaultButton(InfoFor(ui::MsgBoxDefaultAnswer(style)).button);
  // Esc answers Cancel where there is one, OK on a lone OK button; otherwise it does nothing.
  for (int answer : answers) {
    if (answer == ui::vbCancel || (answers.size() == 1 && answer == ui::vbOK)) {
      box.setEscapeButton(InfoFor(answer).button);
    }
  }
  box.exec();
  const auto clicked = box.standardButton(box.clickedButton());
  for (const ButtonInfo& info : kButtons) {
    if (info.button == clicked) return info.answer;
  }
  return ui::MsgBoxDefaultAnswer(style);
}

void QtUi::Show(ui::Form& form) {
  form.Load();
  if (!form.Loaded()) return;
  if (host_ != nullptr) {
    host_->ShowForm(form);
  } else {
    auto& window = loose_windows_[&form];
    if (!window) {
      auto* view = new FormView(form);
      window.reset(view);
      view->AttachWindow(view);
    }
  }
  form.MarkShown(false);
}

void QtUi::ShowModal(ui::Form& form) {
  form.Load();
  if (!form.Loaded()) return;
  ModalDialog dialog(form, QApplication::activeWindow());
  auto* layout = new QVBoxLayout(&dialog);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* view = new FormView(form, &dialog);
  layout->addWidget(view);
  view->AttachWindow(&dialog);
  dialog.setModal(true);
  form.MarkShown(true);
  // The view shows the dialog when the form is marked shown; exec runs until the form hides.
  if (form.Visible()) dialog.exec();
}

void QtUi::DoEvents() { QCoreApplication::processEvents(); }

void QtUi::Sleep(int milliseconds) {
  if (milliseconds > 0) QThread::msleep(static_cast<unsigned long>(milliseconds));
}

}  // namespace gui
