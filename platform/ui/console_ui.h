// ConsoleUi: the Ui service for headless runs. Message boxes go to stderr and take their
// default button; a modal window is loaded, shown and closed at once (nobody can work it);
// Sleep really sleeps; the clock is the machine's. On request it also echoes the progress
// labels of the windows it shows, a few lines a second. Part of consolida_ui; no Qt.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "platform/runtime/dates.h"
#include "platform/ui/ui.h"

namespace ui {

class ConsoleUi : public Ui {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;

  // Writes to `out` (std::cerr by default).
  explicit ConsoleUi(std::ostream* out = nullptr);
  int MsgBox(const std::string& prompt, int style = vbOKOnly, const std::string& title = "") override;
  void Show(Form& form) override;
  void ShowModal(Form& form) override;
  // Unloads `form`; the last progress of a watched window is written first, whatever the pace.
  bool Unload(Form& form) override;
  // Writes one progress line when progress is echoed, something changed and the interval has
  // passed since the last line.
  void DoEvents() override;
  void Sleep(int milliseconds) override;
  runtime::DateSerial Now() override { return runtime::NowLocal(); }

  // Echoes the progress of every window shown from now on (not modal): on DoEvents, at most one
  // line per `interval` by `clock` (the steady clock when empty), as
  //   "<caption>: <label> | <label> ..."
  // with the captions of the window's labels that have changed since it was shown, in the order
  // of its controls, empty ones left out. A line equal to the last one is not written again.
  void EchoProgress(std::chrono::milliseconds interval, Clock clock = {});

 private:
  struct Watched {
    Form* form;
    std::weak_ptr<const void> alive;
    std::vector<std::string> at_show;  // each label's caption when shown
    std::vector<bool> changed;
    std::string last_line;
  };
  // Writes `w`'s line when it differs from the last one; true when written.
  bool WriteProgress(Watched& w);

  std::ostream* out_;
  bool echo_ = false;
  std::chrono::milliseconds interval_{0};
  Clock clock_;
  bool written_ = false;
  std::chrono::steady_clock::time_point last_{};
  std::vector<Watched> watched_;
};

}  // namespace ui
