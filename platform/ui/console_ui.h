// ConsoleUi: the Ui service for headless runs. Message boxes go to stderr and take their
// default button; a modal window is loaded, shown and closed at once (nobody can work it);
// Sleep really sleeps; the clock is the machine's. Part of consolida_ui; no Qt.
#pragma once

#include <ostream>

#include "platform/runtime/dates.h"
#include "platform/ui/ui.h"

namespace ui {

class ConsoleUi : public Ui {
 public:
  // Writes to `out` (std::cerr by default).
  explicit ConsoleUi(std::ostream* out = nullptr);
  int MsgBox(const std::string& prompt, int style = vbOKOnly, const std::string& title = "") override;
  void Show(Form& form) override;
  void ShowModal(Form& form) override;
  void DoEvents() override {}
  void Sleep(int milliseconds) override;
  runtime::DateSerial Now() override { return runtime::NowLocal(); }

 private:
  std::ostream* out_;
};

}  // namespace ui
