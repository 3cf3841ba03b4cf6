// ConsoleUi: message boxes written to a stream and answered with their default button, modal
// windows closed at once, real sleeps and clock. Part of consolida_ui.
#include "platform/ui/console_ui.h"

#include <chrono>
#include <iostream>
#include <thread>

namespace ui {

ConsoleUi::ConsoleUi(std::ostream* out) : out_(out != nullptr ? out : &std::cerr) {}

int ConsoleUi::MsgBox(const std::string& prompt, int style, const std::string& title) {
  const int answer = MsgBoxDefaultAnswer(style);
  *out_ << "[" << TitleOrApp(title) << "] " << prompt << " -> " << answer << '\n';
  out_->flush();
  return answer;
}

void ConsoleUi::Show(Form& form) {
  form.Load();
  if (form.Loaded()) form.MarkShown(false);
}

// Nobody can work a dialog here: it is shown and closed as if by its close box.
void ConsoleUi::ShowModal(Form& form) {
  form.Load();
  if (!form.Loaded()) return;
  form.MarkShown(true);
  *out_ << "[" << AppTitle() << "] " << form.Name() << " closed: no one to answer it\n";
  if (!form.UserClose()) form.Hide();
}

void ConsoleUi::Sleep(int milliseconds) {
  if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace ui
