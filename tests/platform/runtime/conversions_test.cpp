// Conversions against the language's documented results: Val, IsNumeric, CDbl, CInt, CLng,
// CBool, CStr and CDate over every Valor subtype, including the errors they raise.
#include "platform/runtime/conversions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>

#include "platform/runtime/dates.h"
#include "platform/runtime/vb_error.h"
#include "tests/platform/runtime/error_of.h"

namespace runtime {
namespace {

using test_support::ErrorNumberOf;

TEST(ValTest, ReadsTheLeadingNumber) {
  const struct {
    const char* text;
    std::optional<double> expected;  // nullopt: Overflow
  } cases[] = {
      {"\t\n 1 2 3x", 123}, {"- 4", -4},   {"--1", 0},         {"\r5", 0},       {"1,5", 1},
      {".5", 0.5},          {"1.5.6", 1.5}, {"2d2", 200},      {"1.5e+2x", 150}, {"1e", 1},
      {"&HFFFF", -1},       {"&H10000", 65536}, {"&HFFFFFFFF", -1}, {"&O17", 15}, {"&17", 15},
      {"&H", 0},            {"&HFG", 15},  {"1e-400", 0},      {"1e400", std::nullopt},
      {"&H100000000", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    if (c.expected) {
      EXPECT_DOUBLE_EQ(Val(c.text), *c.expected);
    } else {
      EXPECT_EQ(ErrorNumberOf([&] { Val(c.text); }), kVbOverflow);
    }
  }
}

// Numbers written by programs (SQL literals): the whole text must be the number; the magnitude
// saturates instead of raising, as the engine needs it.
TEST(ReadDecimalTextTest, ReadsProgramNumbersWhateverTheLocale) {
  const double inf = std::numeric_limits<double>::infinity();
  const std::pair<const char*, std::optional<double>> cases[] = {
      {"1234.5", 1234.5}, {"-1E-3", -0.001}, {"-1e400", -inf}, {"1e-400", 0.0},
      {"1e9223372036854775807", inf}, {"0.01e-99999999999999999999", 0.0},
      {"1,5", std::nullopt}, {"", std::nullopt}, {"1.5x", std::nullopt},
  };
  for (const auto& [text, value] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(ReadDecimalText(text), value);
  }
}

TEST(IsNumericTest, TextFollowsTheConversionGrammar) {
  const std::pair<const char*, bool> cases[] = {
      {"\t-1.5 ", true}, {"1,234.5", true}, {",5", false},   {".5", true},    {".", false},
      {"", false},       {"1E-5", true},    {"1d5", true},   {"1e", false},   {"-$5", true},
      {"$-5", true},     {"&HFF", true},    {"&H", false},   {"&HFG", false}, {"1.2.3", false},
      {"1 2", false},    {"5-", false},     {"05/12/2026", false}, {"1e400", false}, {"--5", false},
  };
  for (const auto& [text, numeric] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(IsNumeric(text), numeric);
    EXPECT_EQ(IsNumeric(Valor::String(text)), numeric);
  }
}

// One row per value: IsNumeric and CDbl together; CDbl either returns `number` or raises
// `error`.
TEST(CDblTest, IsNumericAndCDblAgreeOnEverySubtype) {
  const struct {
    const char* name;
    Valor value;
    bool numeric;
    double number;
    long error;
  } cases[] = {
      {"Empty", Valor(), true, 0, 0}, {"Null", Valor::Null(), false, 0, kVbInvalidUseOfNull},
      {"Integer", Valor::Integer(-7), true, -7, 0}, {"Long", Valor::Long(100000), true, 100000, 0},
      {"Single", Valor::Single(0.5f), true, 0.5, 0},
      {"Currency", Valor::Currency({-12345}), true, -1.2345, 0},
      {"Decimal", Valor::Decimal(2005, 0), true, 2005, 0},
      {"Date is not numeric but converts", Valor::Date(DateSerial{1.5}), false, 1.5, 0},
      {"True", Valor::Boolean(true), true, -1, 0},
      {"text", Valor::String(" 1,234.5 "), true, 1234.5, 0},
      {"hex text", Valor::String("&HFFFF"), true, -1, 0},
      {"trailing junk", Valor::String("12x"), false, 0, kVbTypeMismatch},
      {"huge", Valor::String("1e999"), false, 0, kVbOverflow},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(IsNumeric(c.value), c.numeric);
    if (c.error == 0) {
      EXPECT_DOUBLE_EQ(CDbl(c.value), c.number);
    } else {
      EXPECT_EQ(ErrorNumberOf([&] { CDbl(c.value); }), c.error);
    }
  }
}

// CInt and CLng round half to even and raise Overflow out of range; CLng rounds Currency in
// whole units. CBool takes numbers and the words; every one refuses Null.
TEST(CIntCLngCBoolTest, RoundHalfToEvenCheckRangeAndReadWords) {
  const struct {
    char as;  // 'i' CInt, 'l' CLng, 'b' CBool
    Valor value;
    std::optional<long> expected;  // nullopt: `error`
    long error = kVbOverflow;
  } cases[] = {
      {'i', Valor::Double(2.5), 2}, {'i', Valor::Double(-2.5), -2}, {'i', Valor::Double(2.5001), 3},
      {'i', Valor::String("32767"), 32767}, {'i', Valor::Double(32767.5), {}},
      {'i', Valor::Double(-32768.5), -32768}, {'i', Valor::Double(-32769), {}},
      {'i', Valor::Currency({25000}), 2}, {'i', Valor::Double(std::nan("")), {}},
      {'i', Valor::String("uno"), {}, kVbTypeMismatch},
      {'l', Valor::Double(2147483647.5), {}}, {'l', Valor::Double(-2147483648.5), -2147483648L},
      {'l', Valor::Double(-2147483649.0), {}}, {'l', Valor::Currency({25000}), 2},
      {'l', Valor::Currency({-25001}), -3}, {'l', Valor::Null(), {}, kVbInvalidUseOfNull},
      {'b', Valor::Double(0.1), -1}, {'b', Valor(), 0}, {'b', Valor::String(" true "), -1},
      {'b', Valor::String("FALSE"), 0}, {'b', Valor::String("-1"), -1},
      {'b', Valor::String("si"), {}, kVbTypeMismatch},
      {'b', Valor::Null(), {}, kVbInvalidUseOfNull},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(1, c.as) + " " + JoinText(c.value));
    const auto call = [&]() -> long {
      if (c.as == 'b') return CBool(c.value) ? -1 : 0;
      return c.as == 'l' ? long{CLng(c.value)} : long{CInt(c.value)};
    };
    if (c.expected) {
      EXPECT_EQ(call(), *c.expected);
    } else {
      EXPECT_EQ(ErrorNumberOf(call), c.error);
    }
  }
}

TEST(CStrDoubleTest, WritesDoublesAsTheLanguageDoes) {
  const std::pair<double, const char*> cases[] = {
      {0, "0"}, {-0.0, "0"}, {-2.5, "-2.5"}, {100, "100"}, {0.0001, "0.0001"},
      {0.000015, "1.5E-05"},
      {123456789012345.0, "123456789012345"}, {1e15, "1E+15"},
      {1234567890123456.0, "1.23456789012346E+15"}, {999999999999999.9, "1E+15"},
      {2.0 / 3.0, "0.666666666666667"}, {0.1 + 0.2, "0.3"}, {-1.5e-300, "-1.5E-300"},
      {std::numeric_limits<double>::max(), "1.79769313486232E+308"},
  };
  for (const auto& [value, expected] : cases) {
    SCOPED_TRACE(expected);
    EXPECT_EQ(CStrDouble(value), expected);
  }
}

TEST(CStrTest, WritesEverySubtype) {
  const std::pair<Valor, const char*> cases[] = {
      {Valor(), ""}, {Valor::Boolean(true), "True"}, {Valor::Boolean(false), "False"},
      {Valor::Long(2005), "2005"},
      {Valor::Single(0.1f), "0.1"}, {Valor::Single(12345678.0f), "1.234568E+07"},
      {Valor::Currency({-5000}), "-0.5"},
      {Valor::Currency({std::numeric_limits<int64_t>::min()}), "-922337203685477.5808"},
      {Valor::Decimal(1e20, 0), "100000000000000000000"}, {Valor::Decimal(0.00001, 5), "0.00001"},
      {Valor::String("texto"), "texto"},
      {Valor::Date(MakeDate(2026, 12, 5, 11, 20, 41)), "05/12/2026 11:20:41"},  // as CStrDate
  };
  for (const auto& [value, expected] : cases) {
    SCOPED_TRACE(expected);
    EXPECT_EQ(CStr(value), expected);
  }
  EXPECT_EQ(ErrorNumberOf([] { CStr(Valor::Null()); }), kVbInvalidUseOfNull);
  EXPECT_EQ(JoinText(Valor::Null()), "") << "joined into text, Null is empty text";
}

TEST(CDateTest, ConvertsTextNumbersAndRange) {
  EXPECT_EQ(CDate(Valor::String("5-12-2026 11:20")), MakeDate(2026, 12, 5, 11, 20, 0));
  EXPECT_EQ(CDate(Valor::Double(46000.5)).days, 46000.5);
  EXPECT_EQ(CDate(Valor::Boolean(true)).days, -1);
  EXPECT_EQ(CDate(Valor()).days, 0);
  const std::pair<Valor, long> cases[] = {
      {Valor::Null(), kVbInvalidUseOfNull}, {Valor::String("31/02/2026"), kVbTypeMismatch},
      {Valor::Double(2958466), kVbOverflow}, {Valor::Double(-657435), kVbOverflow},
  };
  for (const auto& [value, error] : cases) {
    SCOPED_TRACE(JoinText(value));
    EXPECT_EQ(ErrorNumberOf([&] { CDate(value); }), error);
  }
}

TEST(ValorTest, CheckedAccessToTheWrongSubtypeRaisesTypeMismatch) {
  EXPECT_NE(Valor::Double(1), Valor::Long(1));
  const VbError e = test_support::ErrorOf([] { Valor::Null().AsString(); });
  EXPECT_EQ(e.Number(), kVbTypeMismatch);
  EXPECT_EQ(e.Description(), "No coinciden los tipos");
  EXPECT_EQ(e.Source(), kVbRuntimeSource);
}

}  // namespace
}  // namespace runtime
