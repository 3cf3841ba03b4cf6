// What every Ui implementation shares: the meaning of a MsgBox style (its buttons, default
// button and icon) and the local clock as a DateSerial. Part of consolida_ui.
#include "platform/ui/ui.h"


namespace ui {

std::vector<int> MsgBoxButtons(int style) {
  switch (style & 0x0F) {
    case vbOKCancel: return {vbOK, vbCancel};
    case vbAbortRetryIgnore: return {vbAbort, vbRetry, vbIgnore};
    case vbYesNoCancel: return {vbYes, vbNo, vbCancel};
    case vbYesNo: return {vbYes, vbNo};
    case vbRetryCancel: return {vbRetry, vbCancel};
    default: return {vbOK};
  }
}

int MsgBoxDefaultAnswer(int style) {
  const std::vector<int> buttons = MsgBoxButtons(style);
  const size_t wanted = (style & 0xF00) == vbDefaultButton3 ? 2 : (style & 0xF00) == vbDefaultButton2 ? 1 : 0;
  return wanted < buttons.size() ? buttons[wanted] : buttons.front();
}

int MsgBoxIcon(int style) {
  const int icon = style & 0x70;
  return icon == vbCritical || icon == vbQuestion || icon == vbExclamation || icon == vbInformation ? icon : 0;
}

}  // namespace ui
