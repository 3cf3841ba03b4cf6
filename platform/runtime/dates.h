// VB dates: the serial day number (DateSerial) and its calendar parts, the fixed short formats
// (dd/mm/yyyy, hh:nn:ss), Format with date patterns, day-first parsing and the bridge to
// std::chrono in local time. Only NowLocal reads the clock; everything else is pure.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "platform/runtime/valor.h"

namespace runtime {

// Calendar parts of a date: year 100..9999, month 1..12, day 1..31, 24-hour time.
struct DateParts {
  int year = 1899;
  int month = 12;
  int day = 30;
  int hour = 0;
  int minute = 0;
  int second = 0;
  friend bool operator==(const DateParts&, const DateParts&) = default;
};

// VB's DateSerial + TimeSerial in one: the serial of the given parts. Like VB it carries parts
// out of range into the next unit (month 13 is January of the next year, day 0 the last day of
// the month before, minute 60 the next hour), and reads years 0..29 as 2000..2029 and 30..99
// as 1930..1999. Days before 30/12/1899 are negative with the time added away from zero, as VB
// stores them (29/12/1899 06:00 is -1.25). Throws VbError 5 when the result falls outside
// 01/01/100 .. 31/12/9999.
DateSerial MakeDate(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
DateSerial MakeDate(const DateParts& parts);

// The calendar parts of a serial, the time rounded to the nearest second (23:59:59.6 becomes
// 00:00:00 of the next day). Throws VbError 6 (Overflow) for a serial outside 01/01/100 ..
// 31/12/9999 or not a number; so do the texts and Format below and ToTimePoint.
DateParts DateOf(DateSerial date);

// The short date "dd/mm/yyyy" and the long time "hh:nn:ss" (24-hour), as the program writes
// VB's Date and Time.
std::string ShortDateText(DateSerial date);
std::string LongTimeText(DateSerial date);

// VB's CStr of a Date: "dd/mm/yyyy" when the time is midnight, "hh:nn:ss" when the day is 0
// (30/12/1899), both joined by a blank otherwise; day 0 at midnight is "00:00:00".
std::string CStrDate(DateSerial date);

// VB's Format of a date with a pattern. Tokens: d dd (day), m mm (month; minutes right after an
// h/hh token or right before an s/ss token, as VB reads "hh:mm:ss"), yy yyyy, h hh, n nn, s ss.
// "/" and ":" give the fixed separators; "\x" and "..." give literal text; other characters are
// copied. Examples: "dd/mm/yyyy" -> 05/12/2026, "yyyymmddhhmmss" -> 20261205112041.
// Not supported (copied as letters): day and month names (ddd, mmm...), AM/PM, y, w, q.
std::string Format(DateSerial date, std::string_view pattern);

// Reads a day-first date and/or time text, as CDate does with a dd/mm/yyyy setting:
//   date: d/m/yyyy or d/m/yy (or d/m/y) with "/", "-" or "." between the parts (yy: 00..29 is 20yy,
//         30..99 is 19yy), or the ISO order yyyy-m-d when the first part has four digits;
//   time: h:n or h:n:s, 24-hour, optionally followed by AM/PM (any case);
//   either alone, or date then blank(s) then time; blanks around are allowed.
// Returns nullopt for anything else, including impossible dates (31/02/2026): unlike VB it
// never swaps day and month to make a text fit.
std::optional<DateSerial> ParseDateText(std::string_view text);

// Local wall-clock time <-> serial. Sub-second parts are kept to the millisecond.
DateSerial FromTimePoint(std::chrono::system_clock::time_point when);
std::chrono::system_clock::time_point ToTimePoint(DateSerial date);

// VB's Now: the current local date and time, whole seconds. Reads the real clock: code under
// test takes its time from the Ui's clock instead.
DateSerial NowLocal();

}  // namespace runtime
