// ScriptedUi: records message boxes and answers them from a queue, runs scripted modal
// dialogs, and keeps a fake clock. Part of consolida_ui; used by tests only.
#include "platform/ui/scripted_ui.h"

#include <algorithm>

namespace ui {

namespace {
// 01/01/2005 10:00:00: days since 30/12/1899 plus ten hours.
constexpr double kStartOfScript = 38353.0 + 10.0 / 24.0;
constexpr double kMillisecondsPerDay = 86400000.0;
}  // namespace

ScriptedUi::ScriptedUi() : now_{kStartOfScript} {}

int ScriptedUi::MsgBox(const std::string& prompt, int style, const std::string& title) {
  int answer = MsgBoxDefaultAnswer(style);
  if (!answers_.empty()) {
    answer = answers_.front();
    answers_.pop_front();
    const std::vector<int> buttons = MsgBoxButtons(style);
    if (std::find(buttons.begin(), buttons.end(), answer) == buttons.end()) {
      throw ScriptError("answer " + std::to_string(answer) + " is not a button of the message \"" +
                        prompt + "\"");
    }
  }
  messages_.push_back(Message{prompt, style, TitleOrApp(title), answer});
  if (inside_hook_ && !in_inside_hook_) {
    // The boxes the hook raises take their default answers: the queue is the program's.
    std::deque<int> queued;
    queued.swap(answers_);
    Inside();
    answers_.swap(queued);
    answers_.insert(answers_.end(), queued.begin(), queued.end());
  }
  return answer;
}

std::vector<std::string> ScriptedUi::Prompts() const {
  std::vector<std::string> prompts;
  for (const Message& message : messages_) prompts.push_back(message.prompt);
  return prompts;
}

void ScriptedUi::QueueModal(std::string form_name, ModalScript script) {
  modal_queue_.emplace_back(std::move(form_name), std::move(script));
}

void ScriptedUi::SetModalScript(std::string form_name, ModalScript script) {
  modal_scripts_[std::move(form_name)] = std::move(script);
}

void ScriptedUi::ShowModal(Form& form) {
  ModalScript script;
  if (!modal_queue_.empty() && modal_queue_.front().first == form.Name()) {
    script = std::move(modal_queue_.front().second);
    modal_queue_.pop_front();
  } else if (auto standing = modal_scripts_.find(form.Name()); standing != modal_scripts_.end()) {
    script = standing->second;
  } else {
    throw ScriptError("no script for the modal form " + form.Name());
  }
  form.Load();
  // Form_Load may have unloaded the form again (a dialog with nothing to offer).
  if (!form.Loaded()) return;
  form.MarkShown(true);
  shown_.push_back(form.Name());
  Inside();
  script(form);
  if (form.Visible()) throw ScriptError("the modal form " + form.Name() + " was left open");
}

void ScriptedUi::Show(Form& form) {
  form.Load();
  if (!form.Loaded()) return;
  form.MarkShown(false);
  shown_.push_back(form.Name());
}

void ScriptedUi::Inside() {
  if (!inside_hook_ || in_inside_hook_) return;
  in_inside_hook_ = true;
  try {
    inside_hook_();
  } catch (...) {
    in_inside_hook_ = false;
    throw;
  }
  in_inside_hook_ = false;
}

void ScriptedUi::DoEvents() {
  Inside();
  ++do_events_count_;
  if (do_events_hook_) do_events_hook_();
}

void ScriptedUi::Sleep(int milliseconds) {
  Inside();
  if (milliseconds <= 0) return;
  slept_ms_ += milliseconds;
  now_.days += milliseconds / kMillisecondsPerDay;
}

}  // namespace ui
