// ConsoleUi: message boxes written to a stream and answered with their default button, modal
// windows closed at once, real sleeps and clock, and the optional echo of progress labels.
// Part of consolida_ui.
#include "platform/ui/console_ui.h"

#include <algorithm>
#include <iostream>
#include <thread>

#include "platform/ui/controls.h"

namespace ui {
namespace {

std::vector<const Label*> Labels(const Form& form) {
  std::vector<const Label*> labels;
  for (const Control* control : form.Controls()) {
    if (control->Kind() == ControlKind::kLabel) labels.push_back(static_cast<const Label*>(control));
  }
  return labels;
}

}  // namespace

ConsoleUi::ConsoleUi(std::ostream* out) : out_(out != nullptr ? out : &std::cerr) {}

int ConsoleUi::MsgBox(const std::string& prompt, int style, const std::string& title) {
  const int answer = MsgBoxDefaultAnswer(style);
  *out_ << "[" << TitleOrApp(title) << "] " << prompt << " -> " << answer << '\n';
  out_->flush();
  return answer;
}

void ConsoleUi::Show(Form& form) {
  form.Load();
  if (!form.Loaded()) return;
  form.MarkShown(false);
  if (!echo_) return;
  for (const Watched& w : watched_) {
    if (w.form == &form && !w.alive.expired()) return;
  }
  Watched w{&form, form.Lifetime(), {}, {}, {}};
  for (const Label* label : Labels(form)) w.at_show.push_back(label->Caption());
  w.changed.assign(w.at_show.size(), false);
  watched_.push_back(std::move(w));
}

// Nobody can work a dialog here: it is shown and closed as if by its close box.
void ConsoleUi::ShowModal(Form& form) {
  form.Load();
  if (!form.Loaded()) return;
  form.MarkShown(true);
  *out_ << "[" << AppTitle() << "] " << form.Name() << " closed: no one to answer it\n";
  if (!form.UserClose()) form.Hide();
}

bool ConsoleUi::Unload(Form& form) {
  for (auto it = watched_.begin(); it != watched_.end(); ++it) {
    if (it->form != &form || it->alive.expired()) continue;
    WriteProgress(*it);
    watched_.erase(it);
    break;
  }
  return Ui::Unload(form);
}

void ConsoleUi::EchoProgress(std::chrono::milliseconds interval, Clock clock) {
  echo_ = true;
  interval_ = interval;
  clock_ = clock ? std::move(clock) : Clock([] { return std::chrono::steady_clock::now(); });
}

void ConsoleUi::DoEvents() {
  if (!echo_ || watched_.empty()) return;
  const auto now = clock_();
  if (written_ && now - last_ < interval_) return;
  std::erase_if(watched_, [](const Watched& w) { return w.alive.expired(); });
  bool wrote = false;
  for (Watched& w : watched_) wrote = WriteProgress(w) || wrote;
  if (wrote) {
    written_ = true;
    last_ = now;
  }
}

bool ConsoleUi::WriteProgress(Watched& w) {
  const std::vector<const Label*> labels = Labels(*w.form);
  std::string line;
  for (size_t i = 0; i < labels.size() && i < w.at_show.size(); ++i) {
    const std::string& caption = labels[i]->Caption();
    if (caption != w.at_show[i]) w.changed[i] = true;
    if (!w.changed[i] || caption.empty()) continue;
    line += (line.empty() ? "" : " | ") + caption;
  }
  if (line.empty() || line == w.last_line) return false;
  w.last_line = line;
  *out_ << w.form->Caption() << ": " << line << '\n';
  out_->flush();
  return true;
}

void ConsoleUi::Sleep(int milliseconds) {
  if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace ui
