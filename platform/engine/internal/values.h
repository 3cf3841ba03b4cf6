// Value conversions with the server's rules: text to number and datetime (day-first), numeric
// rounding, the stored datetime text, the case-insensitive string order, and number text for
// output. Pure functions: no SQLite, no session state.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/engine/engine.h"

namespace engine {

// Milliseconds since 1900-01-01 00:00:00.000 <-> 'yyyy-mm-dd hh:mm:ss.mmm' (the stored form).
// REQUIRES (FormatDateTime): ms within the datetime range, 1753-01-01 to 9999-12-31.
std::string FormatDateTime(int64_t ms);
bool ParseStoredDateTime(std::string_view text, int64_t* ms);

enum class DateParse { kOk, kBadText /* 241 */, kOutOfRange /* 242 */ };
// Reads a datetime literal as a Spanish login does: dd/mm/yyyy (also '-' or '.'), optionally
// followed by hh:mm[:ss[.mmm]]; 'yyyymmdd'; ISO 'yyyy-mm-dd[Thh:mm:ss[.mmm]]' (the stored form).
// Blank text is 1900-01-01 00:00:00.
DateParse ParseDateTimeText(std::string_view text, int64_t* ms);
// A number read as days since 1900-01-01 (the fraction is the time of day), rounded to the
// millisecond. Returns false, leaving *ms alone, when it falls outside 1753-01-01 to
// 9999-12-31 23:59:59.999 (the server's 8115 for a number converted to datetime).
bool DateTimeFromDays(double days, int64_t* ms);

// Text to number as the server converts it. Surrounding blanks are allowed; '' is 0 for int
// and float, an error for numeric (returns false).
bool ParseIntegerText(std::string_view text, int64_t* value);
bool ParseFloatText(std::string_view text, double* value);
bool ParseDecimalText(std::string_view text, double* value);

// Reads a numeric literal the tokenizer accepted (digits, point, exponent) whatever the process
// locale; 0 when it holds no number.
double NumberLiteralValue(std::string_view text);

// Rounds half away from zero at `scale` decimals (negative scale rounds to tens, hundreds ...).
double RoundHalfAway(double value, int scale);

// A Double as VB's CStr writes it: up to 15 significant digits, '.' separator, no trailing
// zeros, E+nn / E-nn outside the plain range.
std::string FormatFloat(double value);
// A numeric value with exactly `scale` decimals.
std::string FormatNumeric(double value, int scale);

// Collation order for strings: trailing blanks ignored, case-insensitive (Latin letters with
// accents included), accent-sensitive, accented letters right after their base letter.
int CompareText(std::string_view a, std::string_view b);

}  // namespace engine
