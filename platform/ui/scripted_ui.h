// ScriptedUi: the Ui service tests run windows on. Records every message box, answers from a
// script, runs a callback for each modal window (the callback works the dialog's controls and
// presses its buttons), and keeps a fake clock that Sleep advances. Part of consolida_ui; never
// waits, never draws.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/ui/ui.h"

namespace ui {

// Thrown when the script and the program disagree: an answer the box has no button for, a modal
// window nobody scripted, a modal window the callback left open.
class ScriptError : public std::logic_error {
 public:
  using std::logic_error::logic_error;
};

class ScriptedUi : public Ui {
 public:
  struct Message {
    std::string prompt;
    int style = 0;
    std::string title;  // as shown: AppTitle() when the program named none
    int answer = 0;
  };
  using ModalScript = std::function<void(Form&)>;

  ScriptedUi();

  // Message boxes: the next box takes the first queued answer; with none queued it takes the
  // default button's. Throws ScriptError when the queued answer is not one of the box's buttons.
  int MsgBox(const std::string& prompt, int style = vbOKOnly, const std::string& title = "") override;
  void QueueAnswer(int answer) { answers_.push_back(answer); }
  const std::vector<Message>& Messages() const { return messages_; }
  // The prompts only, in order (what most tests compare).
  std::vector<std::string> Prompts() const;
  void ClearMessages() { messages_.clear(); }

  // Modal windows: ShowModal loads and shows the form, then runs the next queued script if it
  // is for this form's name, else the standing script for the name; throws ScriptError when
  // there is none. After the script the form must be hidden or unloaded (press its button, or
  // call UserClose()), otherwise ScriptError.
  void ShowModal(Form& form) override;
  void QueueModal(std::string form_name, ModalScript script);
  void SetModalScript(std::string form_name, ModalScript script);
  // Names of the forms shown, modal or not, in order.
  const std::vector<std::string>& ShownForms() const { return shown_; }

  void Show(Form& form) override;

  // DoEvents counts calls and runs the hook, if any (a test can act "while" an operation runs).
  void DoEvents() override;
  void SetDoEventsHook(std::function<void()> hook) { do_events_hook_ = std::move(hook); }
  int DoEventsCount() const { return do_events_count_; }

  // Runs `hook` each time an operation hands control to the Ui in its middle: DoEvents, Sleep, a
  // message box (before it is answered) and a modal window (before its script). A test clicks
  // and closes from there "while" the operation runs. Not run again while it is running.
  void SetInsideHook(std::function<void()> hook) { inside_hook_ = std::move(hook); }

  // The fake clock: starts at 01/01/2005 10:00:00, moves only by Sleep and SetNow.
  void Sleep(int milliseconds) override;
  runtime::DateSerial Now() override { return now_; }
  void SetNow(runtime::DateSerial now) { now_ = now; }
  long long SleptMilliseconds() const { return slept_ms_; }

 private:
  std::vector<Message> messages_;
  std::deque<int> answers_;
  std::deque<std::pair<std::string, ModalScript>> modal_queue_;
  std::map<std::string, ModalScript> modal_scripts_;
  std::vector<std::string> shown_;
  std::function<void()> do_events_hook_;
  std::function<void()> inside_hook_;
  bool in_inside_hook_ = false;
  void Inside();
  int do_events_count_ = 0;
  runtime::DateSerial now_;
  long long slept_ms_ = 0;
};

}  // namespace ui
