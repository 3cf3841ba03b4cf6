// The `Ui` service: everything a window needs from the desktop (message boxes, showing other
// windows, letting the screen repaint, pausing, the clock, the application's title). Part of
// consolida_ui; windows call only this, so tests run them on ScriptedUi and the program on the
// Qt implementation (gui/QtUi) or ConsoleUi. Never includes Qt.
#pragma once

#include <string>
#include <vector>

#include "platform/runtime/valor.h"
#include "platform/ui/form.h"

namespace ui {

// MsgBox buttons, icon and default-button flags, added together as the toolkit did.
inline constexpr int vbOKOnly = 0;
inline constexpr int vbOKCancel = 1;
inline constexpr int vbAbortRetryIgnore = 2;
inline constexpr int vbYesNoCancel = 3;
inline constexpr int vbYesNo = 4;
inline constexpr int vbRetryCancel = 5;
inline constexpr int vbCritical = 16;
inline constexpr int vbQuestion = 32;
inline constexpr int vbExclamation = 48;
inline constexpr int vbInformation = 64;
inline constexpr int vbDefaultButton1 = 0;
inline constexpr int vbDefaultButton2 = 256;
inline constexpr int vbDefaultButton3 = 512;

// MsgBox answers.
inline constexpr int vbOK = 1;
inline constexpr int vbCancel = 2;
inline constexpr int vbAbort = 3;
inline constexpr int vbRetry = 4;
inline constexpr int vbIgnore = 5;
inline constexpr int vbYes = 6;
inline constexpr int vbNo = 7;

// The application's title (App.Title): the caption of a message box that names none.
inline constexpr const char* kAppTitle = "Consolida";

// The answers of a style's buttons, left to right (vbYesNo -> {vbYes, vbNo}). An unknown button
// code counts as vbOKOnly.
std::vector<int> MsgBoxButtons(int style);
// The answer of the style's default button (the first unless vbDefaultButton2/3 names one
// that exists).
int MsgBoxDefaultAnswer(int style);
// The icon part of a style: 0, vbCritical, vbQuestion, vbExclamation or vbInformation.
int MsgBoxIcon(int style);

class Ui {
 public:
  virtual ~Ui() = default;

  // Shows `prompt` (lines joined by CR LF) with the buttons and icon of `style`, captioned
  // `title` (empty: AppTitle()), and returns the answer of the button pressed.
  virtual int MsgBox(const std::string& prompt, int style = vbOKOnly, const std::string& title = "") = 0;
  // Loads `form` if needed and shows it not modal; returns at once. Showing a shown form brings
  // it to the front.
  virtual void Show(Form& form) = 0;
  // Loads `form` if needed and shows it modal; returns when it is hidden or unloaded.
  virtual void ShowModal(Form& form) = 0;
  // Unloads `form` (Unload Me); returns false when its QueryUnload/Unload cancelled.
  virtual bool Unload(Form& form) { return form.Unload(vbFormCode); }
  // Lets pending screen updates and user events run (progress labels repaint).
  virtual void DoEvents() = 0;
  // Pauses for `milliseconds`.
  virtual void Sleep(int milliseconds) = 0;
  // The current local date and time.
  virtual runtime::DateSerial Now() = 0;
  virtual std::string AppTitle() const { return kAppTitle; }

 protected:
  std::string TitleOrApp(const std::string& title) const { return title.empty() ? AppTitle() : title; }
};

}  // namespace ui
