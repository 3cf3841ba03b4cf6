// Conversions between Valor subtypes, text and numbers with the language's rules and a fixed
// point-decimal locale. Text is never read through the C locale (the GUI toolkit may set a
// comma locale): digits are gathered by hand and converted with std::from_chars/to_chars.
#include "platform/runtime/conversions.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>

#include "platform/runtime/dates.h"
#include "platform/runtime/text.h"
#include "platform/runtime/vb_error.h"

namespace runtime {
namespace {

enum class Parse { kOk, kNotNumeric, kOverflow };

struct Number {
  Parse status = Parse::kNotNumeric;
  double value = 0;
};

// Reads a decimal number gathered as "[-]digits[.digits][e[-]digits]". A magnitude too large
// for a Double overflows; one too small becomes 0, as the language reads it.
Number FromDecimal(const std::string& text) {
  Number n;
  const char* first = text.data();
  const char* last = text.data() + text.size();
  auto [end, ec] = std::from_chars(first, last, n.value, std::chars_format::general);
  if (ec == std::errc::result_out_of_range) {
    // Estimate the decimal exponent of the first significant digit to tell overflow from
    // underflow.
    const size_t e_at = text.find('e');
    long exponent = 0;
    if (e_at != std::string::npos) {
      // Any exponent past a few hundred decides alone; bounded, the sum below cannot overflow.
      exponent = std::clamp(std::strtol(text.c_str() + e_at + 1, nullptr, 10), -100000L, 100000L);
    }
    const std::string mantissa = text.substr(0, e_at);
    const size_t dot = mantissa.find('.');
    const size_t first_digit = mantissa.find_first_of("123456789");
    const long digits_before_point =
        static_cast<long>(dot == std::string::npos ? mantissa.size() : dot) -
        static_cast<long>(first_digit);
    if (first_digit != std::string::npos && exponent + digits_before_point > 0) {
      n.status = Parse::kOverflow;
      return n;
    }
    n.value = 0;
    end = last;
  } else if (ec != std::errc()) {
    return n;
  }
  n.status = end == last ? Parse::kOk : Parse::kNotNumeric;
  return n;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A hex or octal literal's value: up to &HFFFF a 16-bit Integer, up to &HFFFFFFFF a Long.
Number FromRadix(unsigned long long raw, bool too_long) {
  Number n;
  if (too_long || raw > 0xFFFFFFFFull) {
    n.status = Parse::kOverflow;
  } else if (raw <= 0xFFFF) {
    n.status = Parse::kOk;
    n.value = static_cast<int16_t>(static_cast<uint16_t>(raw));
  } else {
    n.status = Parse::kOk;
    n.value = static_cast<int32_t>(static_cast<uint32_t>(raw));
  }
  return n;
}

// Reads "&H..." / "&O..." / "&..." at text[i] (text[i] == '&'); stops at the first character
// that is not a digit of the radix. `skip` says which characters are ignored between digits.
template <typename Skip>
Number ReadRadix(std::string_view text, size_t& i, Skip skip) {
  ++i;
  while (i < text.size() && skip(text[i])) ++i;
  int radix = 8;
  if (i < text.size() && (text[i] == 'H' || text[i] == 'h')) {
    radix = 16;
    ++i;
  } else if (i < text.size() && (text[i] == 'O' || text[i] == 'o')) {
    ++i;
  }
  unsigned long long raw = 0;
  bool too_long = false;
  int digits = 0;
  for (; i < text.size(); ++i) {
    if (skip(text[i])) continue;
    const int d = HexDigit(text[i]);
    if (d < 0 || d >= radix) break;
    raw = raw * radix + static_cast<unsigned>(d);
    if (raw > 0xFFFFFFFFull) too_long = true;
    ++digits;
  }
  Number n = FromRadix(raw, too_long);
  if (digits == 0) n.status = Parse::kNotNumeric;
  return n;
}

bool IsValBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool IsEdgeBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsExponentMark(char c) { return c == 'e' || c == 'E' || c == 'd' || c == 'D'; }

// The IsNumeric / CDbl grammar (see conversions.h).
Number ParseStrict(std::string_view text) {
  size_t i = 0;
  const auto at = [&](size_t k) { return k < text.size() ? text[k] : '\0'; };
  while (IsEdgeBlank(at(i))) ++i;
  size_t end = text.size();
  while (end > i && IsEdgeBlank(text[end - 1])) --end;
  text = text.substr(0, end);
  if (at(i) == '&') {
    Number n = ReadRadix(text, i, [](char) { return false; });
    if (i != text.size()) n.status = Parse::kNotNumeric;
    return n;
  }
  std::string gathered;
  bool currency = false;
  if (at(i) == '$') currency = true, ++i;
  if (at(i) == '+' || at(i) == '-') gathered += text[i] == '-' ? "-" : "", ++i;
  if (!currency && at(i) == '$') ++i;
  int digits = 0;
  while (IsDigit(at(i)) || (digits > 0 && at(i) == ',')) {
    if (text[i] != ',') gathered += text[i], ++digits;
    ++i;
  }
  if (at(i) == '.') {
    gathered += '.', ++i;
    while (IsDigit(at(i))) gathered += text[i++], ++digits;
  }
  if (digits == 0) return {};
  if (IsExponentMark(at(i))) {
    gathered += 'e', ++i;
    if (at(i) == '+' || at(i) == '-') gathered += text[i++];
    if (!IsDigit(at(i))) return {};
    while (IsDigit(at(i))) gathered += text[i++];
  }
  if (i != text.size()) return {};
  if (gathered.front() == '.' || gathered.rfind("-.", 0) == 0) {
    gathered.insert(gathered.front() == '-' ? 1 : 0, "0");
  }
  return FromDecimal(gathered);
}

double NumberOrRaise(const Number& n) {
  if (n.status == Parse::kOverflow) RaiseVbError(kVbOverflow);
  if (n.status != Parse::kOk) RaiseVbError(kVbTypeMismatch);
  return n.value;
}

// The shortest decimal form of `value` rounded to `precision` significant digits.
struct Digits {
  bool negative = false;
  std::string digits;  // no trailing zeros; "0" for zero
  int exponent = 0;    // value = 0.d1d2... * 10^(exponent+1), i.e. d1 is at 10^exponent
};

Digits SignificantDigits(double value, int precision) {
  Digits d;
  if (value == 0) {
    d.digits = "0";
    return d;
  }
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                    std::chars_format::scientific, precision - 1);
  const std::string_view s(buffer, static_cast<size_t>(result.ptr - buffer));
  size_t i = 0;
  if (s[0] == '-') d.negative = true, i = 1;
  const size_t e_at = s.find('e');
  for (; i < e_at; ++i) {
    if (s[i] != '.') d.digits += s[i];
  }
  while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();
  std::from_chars(s.data() + e_at + (s[e_at + 1] == '+' ? 2 : 1), s.data() + s.size(),
                  d.exponent);
  return d;
}

// Writes digits in plain notation: 123.45, 0.00012, 1500.
std::string Plain(const Digits& d) {
  std::string out = d.negative ? "-" : "";
  const int e = d.exponent;
  const int n = static_cast<int>(d.digits.size());
  if (e < 0) {
    out += "0.";
    out.append(static_cast<size_t>(-e - 1), '0');
    out += d.digits;
  } else if (e + 1 >= n) {
    out += d.digits;
    out.append(static_cast<size_t>(e + 1 - n), '0');
  } else {
    out += d.digits.substr(0, static_cast<size_t>(e + 1));
    out += '.';
    out += d.digits.substr(static_cast<size_t>(e + 1));
  }
  return out;
}

// VB's text of a floating value with `precision` significant digits: plain between 10^-5 and
// 10^precision, else d.dddE+nn.
std::string FloatText(double value, int precision) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value < 0 ? "-Inf" : "Inf";
  const Digits d = SignificantDigits(value, precision);
  if (d.exponent < precision && d.exponent >= -4) return Plain(d);
  std::string out = d.negative ? "-" : "";
  out += d.digits[0];
  if (d.digits.size() > 1) out += "." + d.digits.substr(1);
  char exponent[16];
  std::snprintf(exponent, sizeof exponent, "E%c%02d", d.exponent < 0 ? '-' : '+',
                std::abs(d.exponent));
  return out + exponent;
}

std::string CurrencyText(CurrencyUnits c) {
  const bool negative = c.units < 0;
  // Work on the unsigned magnitude so the most negative count does not overflow.
  const unsigned long long magnitude =
      negative ? 0ull - static_cast<unsigned long long>(c.units) : static_cast<unsigned long long>(c.units);
  std::string out = negative ? "-" : "";
  out += std::to_string(magnitude / 10000);
  char fraction[8];
  std::snprintf(fraction, sizeof fraction, "%04llu", magnitude % 10000);
  std::string f = fraction;
  while (!f.empty() && f.back() == '0') f.pop_back();
  if (!f.empty()) out += "." + f;
  return out;
}

template <typename Int>
Int RoundInto(double value) {
  const double r = RoundHalfEven(value);
  if (!(r >= static_cast<double>(std::numeric_limits<Int>::min()) &&
        r <= static_cast<double>(std::numeric_limits<Int>::max()))) {
    RaiseVbError(kVbOverflow);
  }
  return static_cast<Int>(r);
}

}  // namespace

std::optional<double> ReadDecimalText(std::string_view text) {
  std::string gathered;
  gathered.reserve(text.size());
  for (char c : text) gathered += c == 'E' ? 'e' : c;
  bool negative = false;
  if (!gathered.empty() && (gathered[0] == '+' || gathered[0] == '-')) {
    negative = gathered[0] == '-';
    gathered.erase(0, 1);
  }
  if (gathered.empty() || gathered[0] == '-' || gathered[0] == '+') return std::nullopt;
  const Number n = FromDecimal(gathered);
  if (n.status == Parse::kNotNumeric) return std::nullopt;
  const double magnitude = n.status == Parse::kOverflow ? HUGE_VAL : n.value;
  return negative ? -magnitude : magnitude;
}

double Val(std::string_view text) {
  size_t i = 0;
  const auto skip = [&] {
    while (i < text.size() && IsValBlank(text[i])) ++i;
  };
  const auto at = [&](size_t k) { return k < text.size() ? text[k] : '\0'; };
  skip();
  if (at(i) == '&') {
    const Number n = ReadRadix(text, i, IsValBlank);
    if (n.status == Parse::kOverflow) RaiseVbError(kVbOverflow);
    return n.status == Parse::kOk ? n.value : 0;
  }
  std::string gathered;
  if (at(i) == '+' || at(i) == '-') {
    if (text[i] == '-') gathered += '-';
    ++i;
    skip();
  }
  int digits = 0;
  bool point = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (IsValBlank(c)) continue;
    if (IsDigit(c)) {
      gathered += c;
      ++digits;
    } else if (c == '.' && !point) {
      gathered += c;
      point = true;
    } else {
      break;
    }
  }
  if (digits == 0) return 0;
  if (IsExponentMark(at(i))) {
    ++i;
    skip();
    std::string exponent = "e";
    if (at(i) == '+' || at(i) == '-') {
      exponent += text[i++];
      skip();
    }
    bool any = false;
    for (; i < text.size(); ++i) {
      if (IsValBlank(text[i])) continue;
      if (!IsDigit(text[i])) break;
      exponent += text[i];
      any = true;
    }
    if (any) gathered += exponent;
  }
  if (gathered.back() == '.') gathered.pop_back();
  if (gathered.front() == '.' || gathered.rfind("-.", 0) == 0) {
    gathered.insert(gathered.front() == '-' ? 1 : 0, "0");
  }
  const Number n = FromDecimal(gathered);
  if (n.status == Parse::kOverflow) RaiseVbError(kVbOverflow);
  return n.value;
}

bool IsNumeric(std::string_view text) { return ParseStrict(text).status == Parse::kOk; }

bool IsNumeric(const Valor& value) {
  switch (value.Type()) {
    case VarType::kNull:
    case VarType::kDate: return false;
    case VarType::kString: return IsNumeric(value.AsString());
    default: return true;
  }
}

double CDbl(const Valor& value) {
  switch (value.Type()) {
    case VarType::kEmpty: return 0;
    case VarType::kNull: RaiseVbError(kVbInvalidUseOfNull);
    case VarType::kInteger: return value.AsInteger();
    case VarType::kLong: return value.AsLong();
    case VarType::kSingle:
    case VarType::kDouble:
    case VarType::kDecimal: return value.AsDouble();
    case VarType::kCurrency: return static_cast<double>(value.AsCurrency().units) / 10000.0;
    case VarType::kDate: return value.AsDate().days;
    case VarType::kString: return NumberOrRaise(ParseStrict(value.AsString()));
    case VarType::kBoolean: return value.AsBoolean() ? -1 : 0;
  }
  RaiseVbError(kVbTypeMismatch);
}

double RoundHalfEven(double value) {
  // The default floating-point rounding mode rounds ties to even.
  return std::nearbyint(value);
}

int16_t CInt(double value) { return RoundInto<int16_t>(value); }
int32_t CLng(double value) { return RoundInto<int32_t>(value); }
int16_t CInt(const Valor& value) { return CInt(CDbl(value)); }

int32_t CLng(const Valor& value) {
  if (value.Type() == VarType::kCurrency) {
    // Exact: round the count of ten-thousandths without passing through a Double.
    const int64_t units = value.AsCurrency().units;
    int64_t whole = units / 10000;
    const int64_t rest = units % 10000;
    if (rest > 5000 || (rest == 5000 && whole % 2 != 0)) ++whole;
    if (rest < -5000 || (rest == -5000 && whole % 2 != 0)) --whole;
    return CLng(static_cast<double>(whole));
  }
  return CLng(CDbl(value));
}

bool CBool(const Valor& value) {
  if (value.Type() == VarType::kString) {
    const std::string word = LCase(Trim(value.AsString()));
    if (word == "true") return true;
    if (word == "false") return false;
  }
  if (value.Type() == VarType::kBoolean) return value.AsBoolean();
  return CDbl(value) != 0;
}

std::string CStrDouble(double value) { return FloatText(value, 15); }

std::string JoinText(const Valor& value) { return value.IsNull() ? std::string() : CStr(value); }

std::string CStr(const Valor& value) {
  switch (value.Type()) {
    case VarType::kEmpty: return "";
    case VarType::kNull: RaiseVbError(kVbInvalidUseOfNull);
    case VarType::kInteger: return std::to_string(value.AsInteger());
    case VarType::kLong: return std::to_string(value.AsLong());
    case VarType::kSingle: return FloatText(value.AsDouble(), 7);
    case VarType::kDouble: return CStrDouble(value.AsDouble());
    case VarType::kCurrency: return CurrencyText(value.AsCurrency());
    case VarType::kDecimal: {
      if (!std::isfinite(value.AsDouble())) return CStrDouble(value.AsDouble());
      return Plain(SignificantDigits(value.AsDouble(), 15));
    }
    case VarType::kDate: return CStrDate(value.AsDate());
    case VarType::kString: return value.AsString();
    case VarType::kBoolean: return value.AsBoolean() ? "True" : "False";
  }
  return "";
}

DateSerial CDate(const Valor& value) {
  switch (value.Type()) {
    case VarType::kNull: RaiseVbError(kVbInvalidUseOfNull);
    case VarType::kDate: return value.AsDate();
    case VarType::kString: {
      const std::optional<DateSerial> parsed = ParseDateText(value.AsString());
      if (!parsed) RaiseVbError(kVbTypeMismatch);
      return *parsed;
    }
    default: {
      const double days = CDbl(value);
      // The last valid serial is 31/12/9999 23:59:59.
      if (!(days > -657435.0 && days < 2958466.0)) RaiseVbError(kVbOverflow);
      return DateSerial{days};
    }
  }
}

}  // namespace runtime
