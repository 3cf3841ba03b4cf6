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
  struct Case {
    const char* text;
    double expected;
  };
  const Case cases[] = {
      {"", 0}, {"abc", 0}, {"123", 123}, {" 1 2 3", 123}, {"\t\n 42 apples", 42},
      {"  -17.5kg", -17.5}, {"+3", 3}, {"- 4", -4}, {"1,5", 1}, {"1.5.6", 1.5}, {".5", 0.5},
      {"-.25", -0.25}, {"5.", 5}, {"1e3", 1000}, {"1E-2", 0.01}, {"2d2", 200}, {"1.5e+2x", 150},
      {"1e", 1}, {"1e+", 1}, {"&HFF", 255}, {"&hff", 255}, {"&HFFFF", -1}, {"&H8000", -32768},
      {"&H10000", 65536}, {"&HFFFFFFFF", -1}, {"&O17", 15}, {"&17", 15}, {"&H", 0}, {"&HFG", 15},
      {"--1", 0}, {"2005", 2005}, {"\r5", 0}, {"1e-400", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_DOUBLE_EQ(Val(c.text), c.expected);
  }
}

TEST(ValTest, OverflowRaisesSix) {
  for (const char* text : {"1e400", "-1e309", "&H100000000"}) {
    SCOPED_TRACE(text);
    EXPECT_EQ(ErrorNumberOf([&] { Val(text); }), kVbOverflow);
  }
}

// Numbers written by programs (SQL literals): the whole text must be the number; the magnitude
// saturates instead of raising, as the engine needs it.
TEST(ReadDecimalTextTest, ReadsProgramNumbersWhateverTheLocale) {
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    const char* text;
    std::optional<double> value;
  } cases[] = {
      {"1234.5", 1234.5}, {".5", 0.5},     {"5.", 5.0},         {"+2", 2.0},
      {"-1E-3", -0.001},  {"1e+2", 100.0}, {"1e400", inf},      {"-1e400", -inf},
      {"1e-400", 0.0},    {"1,5", std::nullopt}, {"", std::nullopt}, {"--1", std::nullopt},
      {"1.5x", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ReadDecimalText(c.text), c.value);
  }
}

TEST(IsNumericTest, TextFollowsTheConversionGrammar) {
  struct Case {
    const char* text;
    bool numeric;
  };
  const Case cases[] = {
      {"123", true},      {" 123 ", true},   {"\t-1.5\t", true}, {"+7", true},
      {"1,234.5", true},  {"1,2,3", true},   {",5", false},      {".5", true},
      {"5.", true},       {".", false},      {"", false},        {"   ", false},
      {"1e5", true},      {"1E-5", true},    {"1d5", true},      {"1e", false},
      {"e5", false},      {"$5", true},      {"-$5", true},      {"$-5", true},
      {"&HFF", true},     {"&O17", true},    {"&H", false},      {"&HFG", false},
      {"12abc", false},   {"abc", false},    {"1.2.3", false},   {"1 2", false},
      {"(5)", false},     {"5-", false},     {"True", false},    {"05/12/2026", false},
      {"1e400", false},   {"--5", false},    {"1,5", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(IsNumeric(c.text), c.numeric);
    EXPECT_EQ(IsNumeric(Valor::String(c.text)), c.numeric);
  }
}

// One row per value: IsNumeric and CDbl together; CDbl either returns `number` or raises
// `error`.
TEST(CDblTest, IsNumericAndCDblAgreeOnEverySubtype) {
  struct Case {
    const char* name;
    Valor value;
    bool numeric;
    double number;
    long error;
  };
  const Case cases[] = {
      {"Empty", Valor(), true, 0, 0}, {"Null", Valor::Null(), false, 0, kVbInvalidUseOfNull},
      {"Integer", Valor::Integer(-7), true, -7, 0}, {"Long", Valor::Long(100000), true, 100000, 0},
      {"Single", Valor::Single(0.5f), true, 0.5, 0},
      {"Currency", Valor::Currency({-12345}), true, -1.2345, 0},
      {"Decimal", Valor::Decimal(2005, 0), true, 2005, 0},
      {"Date is not numeric but converts", Valor::Date(DateSerial{1.5}), false, 1.5, 0},
      {"True", Valor::Boolean(true), true, -1, 0}, {"False", Valor::Boolean(false), true, 0, 0},
      {"text", Valor::String(" 1,234.5 "), true, 1234.5, 0},
      {"hex text", Valor::String("&HFFFF"), true, -1, 0},
      {"exponent text", Valor::String("2.5E3"), true, 2500, 0},
      {"empty text", Valor::String(""), false, 0, kVbTypeMismatch},
      {"words", Valor::String("doce"), false, 0, kVbTypeMismatch},
      {"trailing junk", Valor::String("12x"), false, 0, kVbTypeMismatch},
      {"huge", Valor::String("1e999"), false, 0, kVbOverflow},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(IsNumeric(c.value), c.numeric);
    if (c.error == 0) {
      EXPECT_DOUBLE_EQ(CDbl(c.value), c.number);
    } else {
      EXPECT_EQ(ErrorNumberOf([&] { CDbl(c.value); }), c.error);
    }
  }
}

TEST(CIntTest, RoundsHalfToEvenAndChecksRange) {
  struct Case {
    Valor value;
    std::optional<int> expected;  // nullopt: Overflow
  };
  const Case cases[] = {
      {Valor::Double(0.5), 0},           {Valor::Double(1.5), 2},
      {Valor::Double(2.5), 2},           {Valor::Double(3.5), 4},
      {Valor::Double(-2.5), -2},         {Valor::Double(-3.5), -4},
      {Valor::Double(2.4999), 2},        {Valor::Double(2.5001), 3},
      {Valor::String("32767"), 32767},   {Valor::Double(32767.5), std::nullopt},
      {Valor::Double(-32768.5), -32768}, {Valor::Double(-32769), std::nullopt},
      {Valor::Long(40000), std::nullopt}, {Valor::Boolean(true), -1},
      {Valor(), 0},                      {Valor::Currency({25000}), 2},
      {Valor::Double(std::nan("")), std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(CStr(c.value));
    if (c.expected) {
      EXPECT_EQ(CInt(c.value), *c.expected);
    } else {
      EXPECT_EQ(ErrorNumberOf([&] { CInt(c.value); }), kVbOverflow);
    }
  }
  EXPECT_EQ(ErrorNumberOf([] { CInt(Valor::Null()); }), kVbInvalidUseOfNull);
  EXPECT_EQ(ErrorNumberOf([] { CInt(Valor::String("uno")); }), kVbTypeMismatch);
}

TEST(CLngTest, RoundsHalfToEvenAndChecksRange) {
  struct Case {
    Valor value;
    std::optional<long> expected;
  };
  const Case cases[] = {
      {Valor::Double(2147483647.0), 2147483647L}, {Valor::Double(2147483647.5), std::nullopt},
      {Valor::Double(-2147483648.5), -2147483648L}, {Valor::Double(-2147483649.0), std::nullopt},
      {Valor::Double(100000.5), 100000}, {Valor::Double(100001.5), 100002},
      {Valor::Currency({15000}), 2}, {Valor::Currency({25000}), 2}, {Valor::Currency({-15000}), -2},
      {Valor::Currency({-25001}), -3}, {Valor::String("1e5"), 100000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(CStr(c.value));
    if (c.expected) {
      EXPECT_EQ(CLng(c.value), *c.expected);
    } else {
      EXPECT_EQ(ErrorNumberOf([&] { CLng(c.value); }), kVbOverflow);
    }
  }
}

TEST(CBoolTest, NumbersAndWords) {
  struct Case {
    Valor value;
    std::optional<bool> expected;  // nullopt: Type mismatch
  };
  const Case cases[] = {
      {Valor::Integer(0), false},        {Valor::Double(0.1), true},
      {Valor::String(" true "), true},   {Valor::String("FALSE"), false},
      {Valor::String("-1"), true},       {Valor::String("0"), false},
      {Valor::String("si"), std::nullopt}, {Valor(), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(CStr(c.value));
    if (c.expected) {
      EXPECT_EQ(CBool(c.value), *c.expected);
    } else {
      EXPECT_EQ(ErrorNumberOf([&] { CBool(c.value); }), kVbTypeMismatch);
    }
  }
  EXPECT_EQ(ErrorNumberOf([] { CBool(Valor::Null()); }), kVbInvalidUseOfNull);
}

TEST(CStrDoubleTest, WritesDoublesAsTheLanguageDoes) {
  struct Case {
    double value;
    const char* expected;
  };
  const Case cases[] = {
      {0, "0"}, {-0.0, "0"}, {1, "1"}, {-2.5, "-2.5"}, {0.5, "0.5"}, {-0.5, "-0.5"}, {0.1, "0.1"},
      {0.0001, "0.0001"}, {0.00001, "1E-05"}, {0.000015, "1.5E-05"},
      {123456789012345.0, "123456789012345"}, {1e15, "1E+15"},
      {1234567890123456.0, "1.23456789012346E+15"}, {999999999999999.9, "1E+15"},
      {1.0 / 3.0, "0.333333333333333"}, {2.0 / 3.0, "0.666666666666667"}, {100, "100"},
      {1500.25, "1500.25"}, {0.1 + 0.2, "0.3"}, {1e100, "1E+100"}, {-1.5e-300, "-1.5E-300"},
      {12345.678, "12345.678"},
      {std::numeric_limits<double>::max(), "1.79769313486232E+308"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    EXPECT_EQ(CStrDouble(c.value), c.expected);
  }
}

TEST(CStrTest, WritesEverySubtype) {
  struct Case {
    Valor value;
    const char* expected;
  };
  const Case cases[] = {
      {Valor(), ""}, {Valor::Boolean(true), "True"}, {Valor::Boolean(false), "False"},
      {Valor::Integer(-32768), "-32768"}, {Valor::Long(2005), "2005"},
      {Valor::Double(-2.5), "-2.5"}, {Valor::Single(0.1f), "0.1"},
      {Valor::Single(1234567.0f), "1234567"}, {Valor::Single(12345678.0f), "1.234568E+07"},
      {Valor::Single(1.0f / 3.0f), "0.3333333"}, {Valor::Currency({12345}), "1.2345"},
      {Valor::Currency({-5000}), "-0.5"},
      {Valor::Currency({100000000000000LL * 10000}), "100000000000000"},
      {Valor::Currency({std::numeric_limits<int64_t>::min()}), "-922337203685477.5808"},
      {Valor::Decimal(2005, 0), "2005"}, {Valor::Decimal(1.5, 2), "1.5"},
      {Valor::Decimal(1e20, 0), "100000000000000000000"}, {Valor::Decimal(0.00001, 5), "0.00001"},
      {Valor::String("texto"), "texto"},
      {Valor::Date(MakeDate(2026, 12, 5, 11, 20, 41)), "05/12/2026 11:20:41"},  // as CStrDate
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    EXPECT_EQ(CStr(c.value), c.expected);
  }
  EXPECT_EQ(ErrorNumberOf([] { CStr(Valor::Null()); }), kVbInvalidUseOfNull);
  // Joined into text, Null is empty text and the rest as CStr.
  EXPECT_EQ(JoinText(Valor::Null()), "");
  EXPECT_EQ(JoinText(Valor::Double(2.5)), "2.5");
}

TEST(CStrTest, DoubleTextReadsBackToTheSameFifteenDigits) {
  // Whatever CStr writes, Val and CDbl read back (within the 15 digits written).
  const double values[] = {3.14159265358979, -1e-7, 6.02214076e23, 42, 0.000123, 1e15 - 1};
  for (double v : values) {
    const std::string text = CStrDouble(v);
    SCOPED_TRACE(text);
    EXPECT_NEAR(Val(text), v, std::fabs(v) * 1e-14);
    EXPECT_NEAR(CDbl(Valor::String(text)), v, std::fabs(v) * 1e-14);
  }
}

TEST(CDateTest, ConvertsTextNumbersAndRange) {
  EXPECT_EQ(CDate(Valor::String("05/12/2026")), MakeDate(2026, 12, 5));
  EXPECT_EQ(CDate(Valor::String("5-12-2026 11:20")), MakeDate(2026, 12, 5, 11, 20, 0));
  EXPECT_EQ(CDate(Valor::Double(46000.5)).days, 46000.5);
  EXPECT_EQ(CDate(Valor()).days, 0);
  EXPECT_EQ(CDate(Valor::Boolean(true)).days, -1);
  struct Case {
    const char* name;
    Valor value;
    long error;
  };
  const Case cases[] = {
      {"Null", Valor::Null(), kVbInvalidUseOfNull},
      {"not a date", Valor::String("mañana"), kVbTypeMismatch},
      {"impossible day", Valor::String("31/02/2026"), kVbTypeMismatch},
      {"after 9999", Valor::Double(2958466), kVbOverflow},
      {"before 100", Valor::Double(-657435), kVbOverflow},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ErrorNumberOf([&] { CDate(c.value); }), c.error);
  }
}

TEST(ValorTest, CheckedAccessToTheWrongSubtypeRaisesTypeMismatch) {
  EXPECT_NE(Valor::Double(1), Valor::Long(1));
  EXPECT_EQ(Valor::Decimal(1.25, 2).DecimalScale(), 2);
  try {
    Valor::Null().AsString();
    ADD_FAILURE() << "raw access to the wrong subtype returned";
  } catch (const VbError& e) {
    EXPECT_EQ(e.Number(), kVbTypeMismatch);
    EXPECT_EQ(e.Description(), "No coinciden los tipos");
    EXPECT_EQ(e.Source(), kVbRuntimeSource);
  }
}

}  // namespace
}  // namespace runtime
