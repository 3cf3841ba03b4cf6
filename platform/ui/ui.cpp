// What every Ui implementation shares: the meaning of a MsgBox style (its buttons, default
// button and icon) and the local clock as a DateSerial. Part of consolida_ui.
#include "platform/ui/ui.h"

#include <ctime>

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

namespace {

// Days from 01/01/1970 to the given civil date (proleptic Gregorian).
long DaysFromCivil(long year, unsigned month, unsigned day) {
  year -= month <= 2;
  const long era = (year >= 0 ? year : year - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(year - era * 400);
  const unsigned doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long>(doe) - 719468;
}

}  // namespace

runtime::DateSerial LocalNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  const long days = DaysFromCivil(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) -
                    DaysFromCivil(1899, 12, 30);
  const double seconds = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec;
  return runtime::DateSerial{static_cast<double>(days) + seconds / 86400.0};
}

}  // namespace ui
