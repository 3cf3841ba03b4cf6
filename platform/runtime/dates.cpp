// Serial dates: the day count from 30/12/1899 with the time as fraction, calendar arithmetic on
// the proleptic Gregorian calendar, the fixed dd/mm/yyyy and hh:nn:ss texts, Format patterns,
// day-first parsing and the local-time bridge to std::chrono.
#include "platform/runtime/dates.h"

#include <cmath>
#include <cstdio>
#include <ctime>

#include "platform/runtime/text.h"
#include "platform/runtime/vb_error.h"

namespace runtime {
namespace {

constexpr long kSecondsPerDay = 86400;
constexpr long long kMinSerial = -657434;  // 01/01/100
constexpr long long kMaxSerial = 2958465;  // 31/12/9999

// Days from 01/01/1970 to the given civil date (any month/day in range).
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, int& y, int& m, int& d) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long yy = static_cast<long long>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yy + (m <= 2));
}

const long long kEpochOffset = DaysFromCivil(1899, 12, 30);

long long FloorDiv(long long a, long long b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// The serial of a day number and a time of day in seconds (0 <= seconds < 86400): negative days
// carry their time away from zero.
double Compose(long long day, double seconds) {
  const double fraction = seconds / kSecondsPerDay;
  return day >= 0 ? static_cast<double>(day) + fraction : static_cast<double>(day) - fraction;
}

// A serial outside 01/01/100 .. 31/12/9999 (its time included), or not a number, is no date:
// Overflow, as VB gives for such a Date. Checked before any conversion to an integer.
void RequireDateRange(DateSerial date) {
  if (!(date.days > static_cast<double>(kMinSerial - 1) &&
        date.days < static_cast<double>(kMaxSerial + 1))) {
    RaiseVbError(kVbOverflow);
  }
}

// Splits a serial into its day number and its time of day in whole seconds (rounded, carried).
// Throws VbError 6 for a serial outside the date range.
void Split(DateSerial date, long long& day, long& seconds) {
  RequireDateRange(date);
  const double whole = std::trunc(date.days);
  day = static_cast<long long>(whole);
  seconds = std::lround(std::fabs(date.days - whole) * kSecondsPerDay);
  if (seconds >= kSecondsPerDay) {
    seconds -= kSecondsPerDay;
    // The next calendar day: for negative serials that is one step towards zero.
    day += 1;
  }
}

std::string TwoDigits(int n) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%02d", n);
  return buffer;
}

std::string Digits(int n, int width) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%0*d", width, n);
  return buffer;
}

}  // namespace

DateSerial MakeDate(int year, int month, int day, int hour, int minute, int second) {
  if (year >= 0 && year <= 29) year += 2000;
  else if (year >= 30 && year <= 99) year += 1900;
  // Carry months into years first, then let the day count absorb days and time.
  const long long month_index = static_cast<long long>(year) * 12 + (month - 1);
  const long long y = FloorDiv(month_index, 12);
  const unsigned m = static_cast<unsigned>(month_index - y * 12 + 1);
  const long long total_seconds =
      static_cast<long long>(hour) * 3600 + static_cast<long long>(minute) * 60 + second;
  const long long extra_days = FloorDiv(total_seconds, kSecondsPerDay);
  const long long serial_day =
      DaysFromCivil(y, m, 1) + (day - 1) + extra_days - kEpochOffset;
  if (y < 100 || y > 9999 || serial_day < kMinSerial || serial_day > kMaxSerial) {
    RaiseVbError(kVbInvalidCall);
  }
  return DateSerial{Compose(serial_day, static_cast<double>(total_seconds - extra_days * kSecondsPerDay))};
}

DateSerial MakeDate(const DateParts& p) {
  return MakeDate(p.year, p.month, p.day, p.hour, p.minute, p.second);
}

DateParts DateOf(DateSerial date) {
  long long day;
  long seconds;
  Split(date, day, seconds);
  DateParts p;
  CivilFromDays(day + kEpochOffset, p.year, p.month, p.day);
  p.hour = static_cast<int>(seconds / 3600);
  p.minute = static_cast<int>(seconds / 60 % 60);
  p.second = static_cast<int>(seconds % 60);
  return p;
}

std::string ShortDateText(DateSerial date) { return Format(date, "dd/mm/yyyy"); }
std::string LongTimeText(DateSerial date) { return Format(date, "hh:nn:ss"); }

std::string CStrDate(DateSerial date) {
  long long day;
  long seconds;
  Split(date, day, seconds);
  if (day == 0) return LongTimeText(date);
  if (seconds == 0) return ShortDateText(date);
  return ShortDateText(date) + " " + LongTimeText(date);
}

std::string Format(DateSerial date, std::string_view pattern) {
  const DateParts p = DateOf(date);
  std::string out;
  // VB reads m/mm as minutes right after an hour token (literals between allowed) or right
  // before a seconds token.
  bool after_hour = false;
  size_t i = 0;
  const auto run_of = [&](char c) {
    size_t n = 0;
    while (i + n < pattern.size() && (pattern[i + n] | 0x20) == c) ++n;
    return n;
  };
  const auto seconds_follow = [&](size_t from) {
    for (size_t k = from; k < pattern.size(); ++k) {
      const char c = static_cast<char>(pattern[k] | 0x20);
      if (c == 's') return true;
      if (c >= 'a' && c <= 'z') return false;
    }
    return false;
  };
  while (i < pattern.size()) {
    const char raw = pattern[i];
    const char c = static_cast<char>(raw | 0x20);
    size_t n = 1;
    if (raw == '\\' && i + 1 < pattern.size()) {
      out += pattern[i + 1];
      n = 2;
    } else if (raw == '"') {
      const size_t close = pattern.find('"', i + 1);
      const size_t end = close == std::string_view::npos ? pattern.size() : close;
      out.append(pattern.substr(i + 1, end - i - 1));
      n = end - i + 1;
    } else if (c == 'd' && (n = run_of('d')) <= 2) {
      out += n == 1 ? std::to_string(p.day) : TwoDigits(p.day);
      after_hour = false;
    } else if (c == 'm' && (n = run_of('m')) <= 2) {
      const bool minutes = after_hour || seconds_follow(i + n);
      const int v = minutes ? p.minute : p.month;
      out += n == 1 ? std::to_string(v) : TwoDigits(v);
      after_hour = false;
    } else if (c == 'y' && ((n = run_of('y')) == 2 || n == 4)) {
      out += n == 2 ? TwoDigits(p.year % 100) : Digits(p.year, 4);
      after_hour = false;
    } else if ((c == 'h' || c == 'n' || c == 's') && (n = run_of(c)) <= 2) {
      const int v = c == 'h' ? p.hour : c == 'n' ? p.minute : p.second;
      out += n == 1 ? std::to_string(v) : TwoDigits(v);
      after_hour = c == 'h';
    } else {
      if (n == 0) n = 1;
      // Unsupported runs of letters are copied as they are.
      out.append(pattern.substr(i, n));
      if (c >= 'a' && c <= 'z') after_hour = false;
    }
    i += n;
  }
  return out;
}

namespace {

// A small cursor over the text being parsed.
struct Scanner {
  std::string_view s;
  size_t i = 0;
  void SkipBlanks() {
    while (i < s.size() && s[i] == ' ') ++i;
  }
  bool AtEnd() const { return i >= s.size(); }
  // Reads 1..max_digits digits; returns the number of digits read (0 when none).
  int Number(int& value, int max_digits) {
    int n = 0;
    value = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9' && n < max_digits) {
      value = value * 10 + (s[i] - '0');
      ++i;
      ++n;
    }
    if (i < s.size() && s[i] >= '0' && s[i] <= '9') return 0;  // too many digits
    return n;
  }
  bool Accept(char c) {
    if (i < s.size() && s[i] == c) {
      ++i;
      return true;
    }
    return false;
  }
};

bool ValidDay(int y, int m, int d) {
  if (y < 100 || y > 9999 || m < 1 || m > 12 || d < 1) return false;
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return d <= kDays[m - 1] + (m == 2 && leap ? 1 : 0);
}

// date := d sep m sep y | yyyy sep m sep d
bool ParseDatePart(Scanner& sc, int& y, int& m, int& d) {
  int a, b, c;
  const int a_digits = sc.Number(a, 4);
  if (a_digits == 0 || sc.AtEnd()) return false;
  const char sep = sc.s[sc.i];
  if (sep != '/' && sep != '-' && sep != '.') return false;
  ++sc.i;
  if (sc.Number(b, 2) == 0 || !sc.Accept(sep)) return false;
  const int c_digits = sc.Number(c, 4);
  if (c_digits == 0) return false;
  if (a_digits == 4) {
    y = a, m = b, d = c;
    if (c_digits > 2) return false;
  } else {
    if (a_digits > 2 || c_digits == 3) return false;
    d = a, m = b, y = c;
    if (c_digits <= 2) y += y < 30 ? 2000 : 1900;
  }
  return ValidDay(y, m, d);
}

// time := h:n[:s] [AM|PM]
bool ParseTimePart(Scanner& sc, int& h, int& n, int& s) {
  s = 0;
  if (sc.Number(h, 2) == 0 || !sc.Accept(':') || sc.Number(n, 2) == 0) return false;
  if (sc.Accept(':') && sc.Number(s, 2) == 0) return false;
  if (n > 59 || s > 59) return false;
  const size_t before = sc.i;
  sc.SkipBlanks();
  const std::string rest = UCase(sc.s.substr(sc.i, 2));
  if (rest == "AM" || rest == "PM") {
    if (h < 1 || h > 12) return false;
    h = h % 12 + (rest == "PM" ? 12 : 0);
    sc.i += 2;
  } else {
    sc.i = before;
  }
  return h <= 23;
}

}  // namespace

std::optional<DateSerial> ParseDateText(std::string_view text) {
  Scanner sc{text};
  sc.SkipBlanks();
  int y = 1899, m = 12, d = 30, hh = 0, nn = 0, ss = 0;
  const size_t start = sc.i;
  bool has_date = ParseDatePart(sc, y, m, d);
  if (!has_date) {
    sc.i = start;
    y = 1899, m = 12, d = 30;
  }
  sc.SkipBlanks();
  bool has_time = false;
  if (!sc.AtEnd()) {
    if (has_date && sc.i > 0 && sc.s[sc.i - 1] != ' ') return std::nullopt;
    has_time = ParseTimePart(sc, hh, nn, ss);
    if (!has_time) return std::nullopt;
    sc.SkipBlanks();
  }
  if (!sc.AtEnd() || (!has_date && !has_time)) return std::nullopt;
  return MakeDate(y, m, d, hh, nn, ss);
}

DateSerial FromTimePoint(std::chrono::system_clock::time_point when) {
  using namespace std::chrono;
  const auto ms = duration_cast<milliseconds>(when.time_since_epoch()).count();
  const std::time_t whole = static_cast<std::time_t>(FloorDiv(ms, 1000));
  std::tm local{};
  localtime_r(&whole, &local);
  const long long day =
      DaysFromCivil(local.tm_year + 1900, static_cast<unsigned>(local.tm_mon + 1),
                    static_cast<unsigned>(local.tm_mday)) - kEpochOffset;
  const double seconds = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec +
                         static_cast<double>(ms - static_cast<long long>(whole) * 1000) / 1000.0;
  return DateSerial{Compose(day, seconds)};
}

std::chrono::system_clock::time_point ToTimePoint(DateSerial date) {
  RequireDateRange(date);
  const double whole = std::trunc(date.days);
  const long long day = static_cast<long long>(whole);
  const double fraction_ms = std::fabs(date.days - whole) * kSecondsPerDay * 1000.0;
  const long long ms = std::llround(fraction_ms);
  int y, m, d;
  CivilFromDays(day + kEpochOffset, y, m, d);
  std::tm local{};
  local.tm_year = y - 1900;
  local.tm_mon = m - 1;
  local.tm_mday = d;
  local.tm_sec = static_cast<int>(ms / 1000);  // mktime normalises seconds past 59
  local.tm_isdst = -1;
  const std::time_t t = std::mktime(&local);
  return std::chrono::system_clock::from_time_t(t) + std::chrono::milliseconds(ms % 1000);
}

DateSerial NowLocal() {
  using namespace std::chrono;
  return FromTimePoint(time_point_cast<seconds>(system_clock::now()));
}

}  // namespace runtime
