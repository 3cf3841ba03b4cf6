// Value conversions: number text as the client writes it, day-first datetime reading, and the
// case-insensitive collation order.
#include <gtest/gtest.h>

#include "platform/engine/internal/values.h"
#include "platform/engine/result_text.h"

namespace engine {
namespace {

TEST(ValuesTest, FloatsPrintAsTheClientWritesADouble) {
  const std::vector<std::pair<double, std::string>> cases = {
      {0, "0"},          {2.5, "2.5"},        {-1.875, "-1.875"}, {1.0 / 3, "0.333333333333333"},
      {1e20, "1E+20"},   {123456789012345.0, "123456789012345"},  {1234567890123456.0, "1.23456789012346E+15"},
      {0.0001, "0.0001"}, {0.00001234, "1.234E-05"}, {100, "100"}, {0.1 + 0.2, "0.3"},
  };
  for (const auto& [value, text] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(FormatFloat(value), text);
  }
}

TEST(ValuesTest, NumericValuesPrintWithTheirScale) {
  EXPECT_EQ(FormatValue(Value{2005.0}, SqlType{TypeKind::kNumeric, 0, 4, 0}), "2005");
  EXPECT_EQ(FormatValue(Value{1.5}, SqlType{TypeKind::kNumeric, 0, 18, 2}), "1.50");
  EXPECT_EQ(FormatValue(Value{-0.004}, SqlType{TypeKind::kNumeric, 0, 18, 2}), "0.00");
  EXPECT_EQ(FormatValue(Value{}, SqlType{TypeKind::kInt}), "NULL");
}

TEST(ValuesTest, DatetimeTextIsReadDayFirst) {
  struct Case {
    std::string text;
    DateParse result;
    std::string stored;
  };
  const std::vector<Case> cases = {
      {"06/12/2026", DateParse::kOk, "2026-12-06 00:00:00.000"},
      {"6/12/2026 13:05", DateParse::kOk, "2026-12-06 13:05:00.000"},
      {"06-12-2026 13:05:09.25", DateParse::kOk, "2026-12-06 13:05:09.250"},
      {"20261206", DateParse::kOk, "2026-12-06 00:00:00.000"},
      {"2026-12-06T10:00:00", DateParse::kOk, "2026-12-06 10:00:00.000"},
      {"2026-12-06 10:00:00.123", DateParse::kOk, "2026-12-06 10:00:00.123"},
      {"29/02/2024", DateParse::kOk, "2024-02-29 00:00:00.000"},
      {"", DateParse::kOk, "1900-01-01 00:00:00.000"},
      {"29/02/2025", DateParse::kOutOfRange, ""},
      {"13/13/2026", DateParse::kOutOfRange, ""},
      {"abc", DateParse::kBadText, ""},
      {"06/12/2026 25:00", DateParse::kBadText, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    int64_t ms = -1;
    ASSERT_EQ(ParseDateTimeText(c.text, &ms), c.result);
    if (c.result == DateParse::kOk) {
      EXPECT_EQ(FormatDateTime(ms), c.stored);
    }
  }
}

TEST(ValuesTest, CollationIgnoresCaseAndTrailingBlanksButNotAccents) {
  EXPECT_EQ(CompareText("abc", "ABC  "), 0);
  EXPECT_EQ(CompareText("árbol", "ÁRBOL"), 0);
  EXPECT_EQ(CompareText("ÿšœž", "ŸŠŒŽ"), 0);  // the pairs of code page 1252 beyond Latin-1
  EXPECT_NE(CompareText("arbol", "árbol"), 0);
  EXPECT_LT(CompareText("arbol", "árbol"), 0);
  EXPECT_LT(CompareText("árbol", "b"), 0);  // accented letters sort with their base letter
  EXPECT_LT(CompareText("ab", "abc"), 0);
  EXPECT_GT(CompareText("abd", "ab "), 0);
}

TEST(ValuesTest, RoundingIsHalfAwayFromZeroOnTheDecimalValue) {
  EXPECT_EQ(RoundHalfAway(2005.5, 0), 2006);
  EXPECT_EQ(RoundHalfAway(-2.5, 0), -3);
  EXPECT_DOUBLE_EQ(RoundHalfAway(2.675, 2), 2.68);
  EXPECT_DOUBLE_EQ(RoundHalfAway(123.9995, 3), 124.0);
  EXPECT_EQ(RoundHalfAway(748.58, -3), 1000);
}

}  // namespace
}  // namespace engine
