// Value conversions with the server's rules (see values.h). Datetime arithmetic uses the
// proleptic Gregorian calendar counted from 1900-01-01, the server's day zero.
#include "platform/engine/internal/values.h"

#include "platform/engine/internal/tokenizer.h"
#include "platform/runtime/conversions.h"
#include "platform/runtime/dates.h"
#include "platform/runtime/text.h"
#include "platform/runtime/utf8.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace engine {
namespace {

constexpr int64_t kMsPerDay = 86400000;

// The server's day 0, 1900-01-01, is the runtime's date serial 2.
constexpr int64_t kSerial1900 = 2;

// Days from 1900-01-01. REQUIRES: a valid date (ValidDate).
int64_t DaysSince1900(int64_t y, int m, int d) {
  return static_cast<int64_t>(runtime::MakeDate(static_cast<int>(y), m, d).days) - kSerial1900;
}

bool ValidDate(int64_t y, int m, int d) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (y < 1753 || y > 9999 || m < 1 || m > 12 || d < 1) return false;
  int max = kDays[m - 1];
  if (m == 2 && ((y % 4 == 0 && y % 100 != 0) || y % 400 == 0)) max = 29;
  return d <= max;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

// Reads up to `max` digits; returns the count read.
int ReadDigits(std::string_view s, size_t* pos, int max, int64_t* value) {
  int count = 0;
  *value = 0;
  while (*pos < s.size() && count < max && std::isdigit(static_cast<unsigned char>(s[*pos]))) {
    *value = *value * 10 + (s[*pos] - '0');
    ++*pos;
    ++count;
  }
  return count;
}

// hh:mm[:ss[.mmm]] at `pos`, after optional blanks. Returns false on malformed text.
bool ParseTime(std::string_view s, size_t pos, int64_t* ms) {
  while (pos < s.size() && s[pos] == ' ') ++pos;
  *ms = 0;
  if (pos == s.size()) return true;
  int64_t h, mi = 0, sec = 0, frac = 0;
  if (ReadDigits(s, &pos, 2, &h) == 0) return false;
  if (pos >= s.size() || s[pos] != ':') return false;
  ++pos;
  if (ReadDigits(s, &pos, 2, &mi) == 0) return false;
  if (pos < s.size() && s[pos] == ':') {
    ++pos;
    if (ReadDigits(s, &pos, 2, &sec) == 0) return false;
    if (pos < s.size() && s[pos] == '.') {
      ++pos;
      int digits = ReadDigits(s, &pos, 3, &frac);
      for (int k = digits; k < 3; ++k) frac *= 10;
      while (pos < s.size() && std::isdigit(static_cast<unsigned char>(s[pos]))) ++pos;
    }
  }
  while (pos < s.size() && s[pos] == ' ') ++pos;
  if (pos != s.size() || h > 23 || mi > 59 || sec > 59) return false;
  *ms = ((h * 60 + mi) * 60 + sec) * 1000 + frac;
  return true;
}

}  // namespace

std::string FormatDateTime(int64_t ms) {
  int64_t days = ms >= 0 ? ms / kMsPerDay : -((-ms + kMsPerDay - 1) / kMsPerDay);
  int64_t rest = ms - days * kMsPerDay;
  const runtime::DateParts parts =
      runtime::DateOf(runtime::DateSerial{static_cast<double>(days + kSerial1900)});
  const long long y = parts.year;
  const unsigned m = static_cast<unsigned>(parts.month), d = static_cast<unsigned>(parts.day);
  char buf[96];
  std::snprintf(buf, sizeof buf, "%04lld-%02u-%02u %02lld:%02lld:%02lld.%03lld",
                static_cast<long long>(y), m, d, static_cast<long long>(rest / 3600000),
                static_cast<long long>(rest / 60000 % 60), static_cast<long long>(rest / 1000 % 60),
                static_cast<long long>(rest % 1000));
  return buf;
}

bool DateTimeFromDays(double days, int64_t* ms) {
  static const int64_t kFirst = DaysSince1900(1753, 1, 1) * kMsPerDay;
  static const int64_t kEnd = (DaysSince1900(9999, 12, 31) + 1) * kMsPerDay;
  // Checked as a double before rounding: a day count far out of range (1e300) has no integer
  // millisecond count, and NaN fails both comparisons.
  const double scaled = days * static_cast<double>(kMsPerDay);
  if (!(scaled >= static_cast<double>(kFirst) - 0.5 && scaled < static_cast<double>(kEnd) - 0.5)) {
    return false;
  }
  *ms = std::llround(scaled);
  return true;
}

bool ParseStoredDateTime(std::string_view text, int64_t* ms) {
  return ParseDateTimeText(text, ms) == DateParse::kOk;
}

DateParse ParseDateTimeText(std::string_view raw, int64_t* ms) {
  std::string_view s = Trim(raw);
  if (s.empty()) {
    *ms = 0;
    return DateParse::kOk;
  }
  size_t pos = 0;
  int64_t a, b, c;
  int na = ReadDigits(s, &pos, 8, &a);
  if (na == 0) return DateParse::kBadText;
  // A time alone ('00:00:00', '11:20') falls on the server's day 0, 1900-01-01.
  if (na <= 2 && pos < s.size() && s[pos] == ':') {
    return ParseTime(s, 0, ms) ? DateParse::kOk : DateParse::kBadText;
  }
  int64_t y, m, d;
  if (na == 8 && (pos == s.size() || s[pos] == ' ' || s[pos] == 'T')) {  // yyyymmdd
    y = a / 10000;
    m = a / 100 % 100;
    d = a % 100;
    if (pos < s.size() && s[pos] == 'T') ++pos;
  } else {
    if (pos >= s.size()) return DateParse::kBadText;
    char sep = s[pos];
    if (sep != '/' && sep != '-' && sep != '.') return DateParse::kBadText;
    ++pos;
    if (ReadDigits(s, &pos, 4, &b) == 0 || pos >= s.size() || s[pos] != sep) return DateParse::kBadText;
    ++pos;
    int nc = ReadDigits(s, &pos, 4, &c);
    if (nc == 0) return DateParse::kBadText;
    if (na == 4) {  // yyyy-mm-dd: the ISO order this engine also stores
      y = a;
      m = b;
      d = c;
    } else {  // dd/mm/yyyy
      d = a;
      m = b;
      y = nc <= 2 ? (c < 50 ? 2000 + c : 1900 + c) : c;
    }
    if (pos < s.size() && s[pos] == 'T') ++pos;
    else if (pos < s.size() && s[pos] != ' ') return DateParse::kBadText;
  }
  int64_t time_ms;
  if (!ParseTime(s, pos, &time_ms)) return DateParse::kBadText;
  if (!ValidDate(y, static_cast<int>(m), static_cast<int>(d))) return DateParse::kOutOfRange;
  *ms = DaysSince1900(y, static_cast<int>(m), static_cast<int>(d)) * kMsPerDay +
        time_ms;
  return DateParse::kOk;
}

bool ParseIntegerText(std::string_view raw, int64_t* value) {
  std::string_view s = Trim(raw);
  if (s.empty()) {
    *value = 0;
    return true;
  }
  size_t start = (s[0] == '+' || s[0] == '-') ? 1 : 0;
  if (start == s.size()) return false;
  for (size_t k = start; k < s.size(); ++k) {
    if (!std::isdigit(static_cast<unsigned char>(s[k]))) return false;
  }
  std::string digits(s.substr(s[0] == '+' ? 1 : 0));
  auto r = std::from_chars(digits.data(), digits.data() + digits.size(), *value);
  return r.ec == std::errc();
}

namespace {
bool ParseNumberText(std::string_view s, bool allow_exponent, double* value) {
  if (s.empty()) return false;
  size_t k = 0;
  if (s[k] == '+' || s[k] == '-') ++k;
  bool digits = false;
  while (k < s.size() && std::isdigit(static_cast<unsigned char>(s[k]))) ++k, digits = true;
  if (k < s.size() && s[k] == '.') {
    ++k;
    while (k < s.size() && std::isdigit(static_cast<unsigned char>(s[k]))) ++k, digits = true;
  }
  if (!digits) return false;
  if (allow_exponent && k < s.size() && (s[k] == 'e' || s[k] == 'E')) {
    ++k;
    if (k < s.size() && (s[k] == '+' || s[k] == '-')) ++k;
    bool exp_digits = false;
    while (k < s.size() && std::isdigit(static_cast<unsigned char>(s[k]))) ++k, exp_digits = true;
    if (!exp_digits) return false;
  }
  if (k != s.size()) return false;
  *value = NumberLiteralValue(s);
  return std::isfinite(*value);
}
}  // namespace

double NumberLiteralValue(std::string_view text) {
  return runtime::ReadDecimalText(text).value_or(0);
}

bool ParseFloatText(std::string_view raw, double* value) {
  std::string_view s = Trim(raw);
  if (s.empty()) {
    *value = 0;
    return true;
  }
  return ParseNumberText(s, true, value);
}

bool ParseDecimalText(std::string_view raw, double* value) {
  return ParseNumberText(Trim(raw), false, value);
}

double RoundHalfAway(double value, int scale) {
  if (!std::isfinite(value)) return value;
  double factor = std::pow(10.0, scale);
  double scaled = value * factor;
  // Decimal text of the value decides ties (2.675 is stored below the tie, yet numeric(4,2)
  // reads the literal 2.675 as exactly 2.675).
  char buf[64];
  const auto printed = std::to_chars(buf, buf + sizeof buf, scaled, std::chars_format::general, 15);
  double clean = scaled;
  std::from_chars(buf, printed.ptr, clean);
  double rounded = std::round(clean);
  return rounded / factor;
}

std::string FormatFloat(double value) { return runtime::CStrDouble(value); }

std::string FormatNumeric(double value, int scale) {
  double rounded = RoundHalfAway(value, scale);
  char buf[400];
  const auto printed = std::to_chars(buf, buf + sizeof buf, rounded, std::chars_format::fixed, scale < 0 ? 0 : scale);
  std::string out(buf, printed.ptr);
  if (out[0] == '-' && out.find_first_not_of("-0.") == std::string::npos) out.erase(0, 1);
  return out;
}

namespace {
// Base letter of a folded Latin-1 letter, for the primary sort level.
char32_t BaseLetter(char32_t c) {
  if (c < 0xE0 || c > 0xFF) return c;
  static const char kBase[] = "aaaaaaaceeeeiiii" "dnooooo/ouuuuyty";
  return static_cast<unsigned char>(kBase[c - 0xE0]);
}
}  // namespace

int CompareText(std::string_view a, std::string_view b) {
  while (!a.empty() && a.back() == ' ') a.remove_suffix(1);
  while (!b.empty() && b.back() == ' ') b.remove_suffix(1);
  bool ascii = true;
  for (char c : a) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  for (char c : b) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (ascii) {
    size_t n = std::min(a.size(), b.size());
    for (size_t k = 0; k < n; ++k) {
      // This is the TSQL_CI collation that every index on a text column runs per comparison,
      // so the fold is the inline ASCII one (the text is ASCII here), not the C library's call.
      int x = static_cast<unsigned char>(AsciiLower(a[k]));
      int y = static_cast<unsigned char>(AsciiLower(b[k]));
      if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
  }
  // The runtime's UTF-8 rules: an invalid byte decodes to a code point of its own that no case
  // mapping touches.
  const std::vector<char32_t> x = runtime::CodePoints(a), y = runtime::CodePoints(b);
  size_t n = std::min(x.size(), y.size());
  for (size_t k = 0; k < n; ++k) {
    char32_t p = BaseLetter(runtime::LowerCase(x[k])), q = BaseLetter(runtime::LowerCase(y[k]));
    if (p != q) return p < q ? -1 : 1;
  }
  if (x.size() != y.size()) return x.size() < y.size() ? -1 : 1;
  for (size_t k = 0; k < n; ++k) {
    char32_t p = runtime::LowerCase(x[k]), q = runtime::LowerCase(y[k]);
    if (p != q) return p < q ? -1 : 1;
  }
  return 0;
}

}  // namespace engine
