// VB's conversion functions (Val, IsNumeric, CInt, CLng, CDbl, CBool, CStr, CDate) over Valor
// and text, with the locale fixed to a point decimal separator, "," as thousands separator and
// day/month/year dates. Pure functions: no clock, no files, no database.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/runtime/valor.h"

namespace runtime {

// VB's Val: the leading numeric part of `text` as a Double, 0 when there is none. Blanks, tabs and
// line feeds are skipped everywhere, also inside the number (Val(" 1 2 3") = 123). Reads an
// optional sign, digits, one '.' (only the point is a decimal separator: Val("1,5") = 1), an
// exponent introduced by 'e', 'E', 'd' or 'D'; "&H" and "&O" (or bare "&") prefixes read hex and
// octal; a value up to &HFFFF is read as a 16-bit Integer and up to &HFFFFFFFF as a 32-bit
// Long, so Val("&HFFFF") = -1 and Val("&H10000") = 65536. Throws VbError 6 when the number does
// not fit in a Double or a hex/octal value passes &HFFFFFFFF.
double Val(std::string_view text);

// Reads a number written by a program, "[+-]digits[.digits][(e|E)[+-]digits]" ("1234.5", ".5",
// "1E-3"), whatever the process locale: its value, +-infinity when its magnitude is too large
// for a Double, 0 when too small. nullopt when the whole text is not such a number.
std::optional<double> ReadDecimalText(std::string_view text);

// VB's IsNumeric. Empty, Boolean and every number subtype are numeric; Null and Date are not; a
// String is numeric when CDbl could convert it. The accepted text (our fixed-locale subset):
// blanks and tabs around it; one leading sign; an optional "$" before or after the sign; digits
// with "," thousands separators anywhere after the first digit of the integer part; an optional
// "." and decimals (".5" and "5." are numbers, "." is not); an optional exponent 'e'/'d' with
// sign and digits; or "&H"/"&O" with hex/octal digits (read as Val reads them). A number too
// large for a Double is not numeric. Not accepted: parentheses for negatives,
// trailing signs, a decimal comma, "True"/"False", date texts.
bool IsNumeric(const Valor& value);
bool IsNumeric(std::string_view text);

// VB's CDbl. Empty is 0; Boolean True is -1; Date is its serial number; a String must pass
// IsNumeric (the same grammar). Throws VbError 94 for Null, 13 for non-numeric text, 6 when text
// overflows a Double.
double CDbl(const Valor& value);

// VB's CInt / CLng: CDbl's value rounded half to even (CInt(2.5) = 2, CInt(3.5) = 4) into 16 or
// 32 bits. Throws VbError 6 when the rounded value does not fit, 13 and 94 as CDbl does.
int16_t CInt(const Valor& value);
int32_t CLng(const Valor& value);
int16_t CInt(double value);
int32_t CLng(double value);

// VB's CBool: numbers are True when not 0; text "True"/"False" (any letter case, blanks around)
// or numeric text. Throws VbError 94 for Null, 13 for other text.
bool CBool(const Valor& value);

// VB's CStr. Empty gives ""; Boolean "True"/"False"; Integer and Long in decimal; Double as
// CStrDouble; Single the same with 7 significant digits; Currency with up to 4 decimals and no
// trailing zeros, never in E form; Decimal with up to 15 significant digits, never in E form;
// Date as CStrDate. Throws VbError 94 for Null.
std::string CStr(const Valor& value);

// The value joined to text as VB's `value & ""` does: CStr, except that Null gives "".
std::string JoinText(const Valor& value);

// A Double as VB writes it: up to 15 significant digits, '.' as separator, no trailing zeros,
// no leading zero lost (0.5), E form with a signed two-digit-or-more exponent when the decimal
// exponent is 15 or more or below -4: 1E+15, 1.5E-05, 123456789012345, 0.0001, -2.5.
// NaN and infinities (which VB never holds) give "NaN", "Inf" and "-Inf".
std::string CStrDouble(double value);

// VB's CDate. A Date stays; Empty is day 0; numbers and Boolean (-1, 0) become the serial with
// that value; text is read as ParseDateText reads it (dates.h). Throws VbError 94 for Null, 13
// for text that is no date, 6 for a serial outside 01/01/100 to 31/12/9999.
DateSerial CDate(const Valor& value);

// Rounds half to even, as VB's CInt, CLng and integer conversions do.
double RoundHalfEven(double value);

}  // namespace runtime
