// QtUi: the Ui service of the desktop program. Message boxes are QMessageBox with the exact
// text, caption, icon and buttons; modal forms run in a dialog with a nested event loop; the
// others go into the main window's MDI area. Part of consolida_gui.
#pragma once

#include <map>
#include <memory>

#include "platform/runtime/dates.h"
#include "platform/ui/ui.h"

class QWidget;

namespace gui {

class MainWindowView;

class QtUi : public ui::Ui {
 public:
  QtUi();
  ~QtUi() override;
  // Where non-modal forms appear; without a host they become top-level windows.
  void SetHost(MainWindowView* host) { host_ = host; }

  int MsgBox(const std::string& prompt, int style = ui::vbOKOnly, const std::string& title = "") override;
  void Show(ui::Form& form) override;
  void ShowModal(ui::Form& form) override;
  void DoEvents() override;
  void Sleep(int milliseconds) override;
  runtime::DateSerial Now() override { return runtime::NowLocal(); }

 private:
  MainWindowView* host_ = nullptr;
  // Windows of forms shown while there was no host, one per form.
  std::map<ui::Form*, std::unique_ptr<QWidget>> loose_windows_;
};

}  // namespace gui
