// Serial dates: calendar round trips, the language's carrying rules, the fixed short texts,
// Format patterns, day-first parsing and the local-time bridge.
#include "platform/runtime/dates.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

#include "platform/runtime/vb_error.h"
#include "tests/platform/runtime/error_of.h"

namespace runtime {
namespace {

using test_support::ErrorNumberOf;

TEST(MakeDateTest, KnownSerials) {
  const struct {
    DateParts parts;
    double serial;
  } cases[] = {
      {{1899, 12, 30}, 0}, {{1900, 3, 1}, 61},  // no 29/02/1900: the serial counts real days
      {{2000, 1, 1}, 36526}, {{2026, 12, 5, 12, 0, 0}, 46361.5},
      {{1899, 12, 29, 6, 0, 0}, -1.25}, {{100, 1, 1}, -657434}, {{9999, 12, 31}, 2958465},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.serial);
    EXPECT_DOUBLE_EQ(MakeDate(c.parts).days, c.serial);
    EXPECT_EQ(DateOf(DateSerial{c.serial}), c.parts);
  }
}

TEST(MakeDateTest, CarriesOutOfRangePartsAsTheLanguageDoes) {
  const struct {
    const char* name;
    DateParts given;
    std::optional<DateParts> expected;  // nullopt: Invalid procedure call (5)
  } cases[] = {
      {"month 13", {2026, 13, 1}, DateParts{2027, 1, 1}},
      {"month -1", {2026, -1, 15}, DateParts{2025, 11, 15}},
      {"day 0", {2026, 3, 0}, DateParts{2026, 2, 28}},
      {"leap day 0", {2024, 3, 0}, DateParts{2024, 2, 29}},
      {"two-digit year 29", {29, 5, 1}, DateParts{2029, 5, 1}},
      {"two-digit year 30", {30, 5, 1}, DateParts{1930, 5, 1}},
      {"hour 24", {2026, 12, 31, 24, 0, 0}, DateParts{2027, 1, 1, 0, 0, 0}},
      {"second -1", {2026, 1, 1, 0, 0, -1}, DateParts{2025, 12, 31, 23, 59, 59}},
      {"year 10000", {10000, 1, 1}, {}}, {"carried past 9999", {9999, 12, 32}, {}},
      {"carried before 100", {100, 1, 0}, {}}, {"negative year", {-5, 1, 1}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.expected) {
      EXPECT_EQ(DateOf(MakeDate(c.given)), *c.expected);
    } else {
      EXPECT_EQ(ErrorNumberOf([&] { MakeDate(c.given); }), kVbInvalidCall);
    }
  }
}

TEST(DateOfTest, RoundsTheTimeToTheSecond) {
  const double second = 1.0 / 86400;
  EXPECT_EQ(DateOf(DateSerial{46361 + 0.4 * second}), (DateParts{2026, 12, 5}));
  EXPECT_EQ(DateOf(DateSerial{46361 + 0.6 * second}), (DateParts{2026, 12, 5, 0, 0, 1}));
  // 29/12/1899 23:59:59.6 is stored as -1.99999...; it rounds into the next day, day 0.
  EXPECT_EQ(DateOf(DateSerial{-1 - (1 - 0.4 * second)}), (DateParts{1899, 12, 30}));
  EXPECT_EQ(DateOf(DateSerial{-1 - (1 - 0.6 * second)}), (DateParts{1899, 12, 29, 23, 59, 59}));
}

TEST(DateTextTest, ShortDateLongTimeAndCStr) {
  const struct {
    DateSerial date;
    const char* short_date;
    const char* long_time;
    const char* cstr;
  } cases[] = {
      {MakeDate(2026, 12, 5), "05/12/2026", "00:00:00", "05/12/2026"},
      {MakeDate(1899, 12, 30, 11, 20, 41), "30/12/1899", "11:20:41", "11:20:41"},
      {DateSerial{0}, "30/12/1899", "00:00:00", "00:00:00"},
      {MakeDate(1850, 7, 9, 6, 5, 4), "09/07/1850", "06:05:04", "09/07/1850 06:05:04"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cstr);
    EXPECT_EQ(ShortDateText(c.date), c.short_date);
    EXPECT_EQ(LongTimeText(c.date), c.long_time);
    EXPECT_EQ(CStrDate(c.date), c.cstr);
  }
}

TEST(FormatTest, DatePatterns) {
  const DateSerial date = MakeDate(2026, 3, 5, 9, 7, 4);
  const struct {
    const char* pattern;
    const char* expected;
  } cases[] = {
      {"yyyymmddhhmmss", "20260305090704"}, {"d/m/yy", "5/3/26"}, {"h:n:s", "9:7:4"},
      {"hh:mm:ss", "09:07:04"}, {"mm:ss", "07:04"}, {"mm/yyyy", "03/2026"},
      {"DD/MM/YYYY", "05/03/2026"}, {"\"Hoy es \"dd", "Hoy es 05"}, {"\\d dd", "d 05"},
      {"dd_mm", "05_03"}, {"", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pattern);
    EXPECT_EQ(Format(date, c.pattern), c.expected);
  }
}

TEST(ParseDateTextTest, DayFirstTexts) {
  const struct {
    const char* text;
    std::optional<DateParts> expected;
  } cases[] = {
      {" 05-12-2026 ", DateParts{2026, 12, 5}}, {"05.12.26", DateParts{2026, 12, 5}},
      {"5/12/99", DateParts{1999, 12, 5}}, {"5/12/6", DateParts{2006, 12, 5}},
      {"2026-12-05", DateParts{2026, 12, 5}}, {"29/02/2024", DateParts{2024, 2, 29}},
      {"05/12/2026  11:20", DateParts{2026, 12, 5, 11, 20, 0}},
      {"11:20:41", DateParts{1899, 12, 30, 11, 20, 41}},
      {"11:20 pm", DateParts{1899, 12, 30, 23, 20, 0}},
      {"12:05 AM", DateParts{1899, 12, 30, 0, 5, 0}}, {"05/13/2026", {}}, {"31/04/2026", {}},
      {"29/02/2026", {}}, {"05/12", {}}, {"05/12-2026", {}}, {"05/12/206", {}}, {"25:00", {}},
      {"10:60", {}}, {"13:00 PM", {}}, {"05/12/202611:20", {}}, {"", {}}, {"05/12/2026 x", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const std::optional<DateSerial> parsed = ParseDateText(c.text);
    ASSERT_EQ(parsed.has_value(), c.expected.has_value());
    if (parsed) {
      EXPECT_EQ(DateOf(*parsed), *c.expected);
    }
  }
}

// A zone with a fixed offset and one with daylight saving, so the bridge must use the rules of
// the zone rather than a constant offset. The test's own TZ is put back afterwards.
class LocalTimeTest : public ::testing::Test {
 protected:
  void UseZone(const char* zone) {
    setenv("TZ", zone, 1);
    tzset();
  }
  void TearDown() override {
    old_tz_ ? setenv("TZ", old_tz_->c_str(), 1) : unsetenv("TZ");
    tzset();
  }

 private:
  const std::optional<std::string> old_tz_ =
      getenv("TZ") ? std::optional<std::string>(getenv("TZ")) : std::nullopt;
};

TEST_F(LocalTimeTest, ConvertsInLocalTimeKeepingMilliseconds) {
  using namespace std::chrono;
  const struct {
    const char* zone;
    sys_seconds utc;
    DateParts local;
  } cases[] = {
      {"UTC0", sys_days{2026y / 12 / 5} + 11h + 20min + 41s, {2026, 12, 5, 11, 20, 41}},
      {"<-03>3", sys_days{2026y / 12 / 5} + 1h, {2026, 12, 4, 22, 0, 0}},
      {"CET-1CEST,M3.5.0,M10.5.0/3", sys_days{2026y / 7 / 1} + 10h, {2026, 7, 1, 12, 0, 0}},
      {"CET-1CEST,M3.5.0,M10.5.0/3", sys_days{2026y / 1 / 1} + 10h, {2026, 1, 1, 11, 0, 0}},
      {"UTC0", sys_days{1850y / 1 / 1} + 6h, {1850, 1, 1, 6, 0, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.zone);
    UseZone(c.zone);
    const DateSerial serial = FromTimePoint(c.utc);
    EXPECT_EQ(DateOf(serial), c.local);
    EXPECT_EQ(ToTimePoint(serial), c.utc);
  }
  UseZone("UTC0");
  const system_clock::time_point when = sys_days{2026y / 12 / 5} + 11h + 500ms;
  EXPECT_EQ(ToTimePoint(FromTimePoint(when)), when);  // milliseconds are kept
}

TEST(NowLocalTest, IsAPlausibleDateSerial) {
  // 01/01/2020 is serial 43831; the test machine's clock is later than that and before 2100.
  const double now = NowLocal().days;
  EXPECT_GT(now, 43831.0);
  EXPECT_LT(now, 73051.0);
}

}  // namespace
}  // namespace runtime
