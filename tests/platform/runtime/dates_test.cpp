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
  struct Case {
    DateParts parts;
    double serial;
  };
  const Case cases[] = {
      {{1899, 12, 30}, 0}, {{1899, 12, 31}, 1}, {{1900, 1, 1}, 2},
      {{1900, 3, 1}, 61},  // no 29/02/1900: the serial counts real days
      {{2000, 1, 1}, 36526}, {{2026, 12, 5}, 46361}, {{2026, 12, 5, 12, 0, 0}, 46361.5},
      {{2026, 12, 5, 6, 0, 0}, 46361.25}, {{1899, 12, 29, 6, 0, 0}, -1.25},
      {{1899, 12, 30, 18, 0, 0}, 0.75}, {{100, 1, 1}, -657434}, {{9999, 12, 31}, 2958465},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.serial);
    EXPECT_DOUBLE_EQ(MakeDate(c.parts).days, c.serial);
    EXPECT_EQ(DateOf(DateSerial{c.serial}), c.parts);
  }
}

TEST(MakeDateTest, CarriesOutOfRangePartsAsTheLanguageDoes) {
  struct Case {
    const char* name;
    DateParts given;
    DateParts expected;
  };
  const Case cases[] = {
      {"month 13", {2026, 13, 1}, {2027, 1, 1}}, {"month 0", {2026, 0, 15}, {2025, 12, 15}},
      {"month -1", {2026, -1, 15}, {2025, 11, 15}}, {"day 0", {2026, 3, 0}, {2026, 2, 28}},
      {"day 32", {2026, 1, 32}, {2026, 2, 1}}, {"leap day 0", {2024, 3, 0}, {2024, 2, 29}},
      {"two-digit year 26", {26, 5, 1}, {2026, 5, 1}},
      {"two-digit year 29", {29, 5, 1}, {2029, 5, 1}},
      {"two-digit year 30", {30, 5, 1}, {1930, 5, 1}},
      {"minute 60", {2026, 1, 1, 10, 60, 0}, {2026, 1, 1, 11, 0, 0}},
      {"hour 24", {2026, 12, 31, 24, 0, 0}, {2027, 1, 1, 0, 0, 0}},
      {"second -1", {2026, 1, 1, 0, 0, -1}, {2025, 12, 31, 23, 59, 59}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(DateOf(MakeDate(c.given)), c.expected);
  }
}

TEST(MakeDateTest, OutOfRangeRaisesFive) {
  const DateParts cases[] = {{10000, 1, 1}, {9999, 12, 32}, {100, 1, 0}, {-5, 1, 1}};
  for (const DateParts& p : cases) {
    SCOPED_TRACE(p.year);
    EXPECT_EQ(ErrorNumberOf([&] { MakeDate(p); }), kVbInvalidCall);
  }
}

TEST(DateOfTest, RoundsTheTimeToTheSecond) {
  const double second = 1.0 / 86400;
  EXPECT_EQ(DateOf(DateSerial{46361 + 0.4 * second}), (DateParts{2026, 12, 5}));
  EXPECT_EQ(DateOf(DateSerial{46361 + 0.6 * second}), (DateParts{2026, 12, 5, 0, 0, 1}));
  EXPECT_EQ(DateOf(DateSerial{46362 - 0.4 * second}), (DateParts{2026, 12, 6}));
  // 29/12/1899 23:59:59.6 is stored as -1.99999...; it rounds into the next day, day 0.
  EXPECT_EQ(DateOf(DateSerial{-1 - (1 - 0.4 * second)}), (DateParts{1899, 12, 30}));
  EXPECT_EQ(DateOf(DateSerial{-1 - (1 - 0.6 * second)}), (DateParts{1899, 12, 29, 23, 59, 59}));
}

TEST(DateTextTest, ShortDateLongTimeAndCStr) {
  struct Case {
    DateSerial date;
    const char* short_date;
    const char* long_time;
    const char* cstr;
  };
  const Case cases[] = {
      {MakeDate(2026, 12, 5), "05/12/2026", "00:00:00", "05/12/2026"},
      {MakeDate(2026, 12, 5, 11, 20, 41), "05/12/2026", "11:20:41", "05/12/2026 11:20:41"},
      {MakeDate(1899, 12, 30, 11, 20, 41), "30/12/1899", "11:20:41", "11:20:41"},
      {DateSerial{0}, "30/12/1899", "00:00:00", "00:00:00"},
      {MakeDate(1, 2, 3, 23, 59, 59), "03/02/2001", "23:59:59", "03/02/2001 23:59:59"},
      {MakeDate(1850, 7, 9, 6, 5, 4), "09/07/1850", "06:05:04", "09/07/1850 06:05:04"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cstr);
    EXPECT_EQ(ShortDateText(c.date), c.short_date);
    EXPECT_EQ(LongTimeText(c.date), c.long_time);
    EXPECT_EQ(CStrDate(c.date), c.cstr);
  }
}

TEST(FormatTest, DatePatterns) {
  const DateSerial date = MakeDate(2026, 3, 5, 9, 7, 4);
  struct Case {
    const char* pattern;
    const char* expected;
  };
  const Case cases[] = {
      {"dd/mm/yyyy", "05/03/2026"}, {"hh:nn:ss", "09:07:04"}, {"yyyymmddhhmmss", "20260305090704"},
      {"d/m/yy", "5/3/26"}, {"h:n:s", "9:7:4"}, {"hh:mm:ss", "09:07:04"}, {"hh:mm", "09:07"},
      {"mm:ss", "07:04"}, {"mm/yyyy", "03/2026"}, {"DD/MM/YYYY", "05/03/2026"},
      {"yyyy-mm-dd", "2026-03-05"}, {"\"Hoy es \"dd", "Hoy es 05"}, {"\\dd", "d5"},
      {"\\d dd", "d 05"}, {"dd_mm", "05_03"}, {"", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pattern);
    EXPECT_EQ(Format(date, c.pattern), c.expected);
  }
}

TEST(ParseDateTextTest, DayFirstTexts) {
  struct Case {
    const char* text;
    std::optional<DateParts> expected;
  };
  const Case cases[] = {
      {"05/12/2026", DateParts{2026, 12, 5}}, {"5/12/2026", DateParts{2026, 12, 5}},
      {" 05-12-2026 ", DateParts{2026, 12, 5}}, {"05.12.26", DateParts{2026, 12, 5}},
      {"5/12/99", DateParts{1999, 12, 5}}, {"5/12/6", DateParts{2006, 12, 5}},
      {"2026-12-05", DateParts{2026, 12, 5}}, {"13/05/2026", DateParts{2026, 5, 13}},
      {"29/02/2024", DateParts{2024, 2, 29}},
      {"05/12/2026 11:20:41", DateParts{2026, 12, 5, 11, 20, 41}},
      {"05/12/2026  11:20", DateParts{2026, 12, 5, 11, 20, 0}},
      {"11:20:41", DateParts{1899, 12, 30, 11, 20, 41}},
      {"11:20 pm", DateParts{1899, 12, 30, 23, 20, 0}},
      {"12:05 AM", DateParts{1899, 12, 30, 0, 5, 0}}, {"05/13/2026", std::nullopt},
      {"31/04/2026", std::nullopt}, {"29/02/2026", std::nullopt}, {"05/12", std::nullopt},
      {"05/12-2026", std::nullopt}, {"05/12/206", std::nullopt}, {"25:00", std::nullopt},
      {"10:60", std::nullopt}, {"13:00 PM", std::nullopt}, {"05/12/202611:20", std::nullopt},
      {"hoy", std::nullopt}, {"", std::nullopt}, {"05/12/2026 x", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const std::optional<DateSerial> parsed = ParseDateText(c.text);
    ASSERT_EQ(parsed.has_value(), c.expected.has_value());
    if (parsed) {
      EXPECT_EQ(DateOf(*parsed), *c.expected);
    }
  }
}

class LocalTimeTest : public ::testing::Test {
 protected:
  // A zone with a fixed offset and one with daylight saving, so the bridge must use the rules
  // of the zone rather than a constant offset.
  void UseZone(const char* zone) {
    setenv("TZ", zone, 1);
    tzset();
  }
  void SetUp() override {
    const char* old = getenv("TZ");
    had_tz_ = old != nullptr;
    if (had_tz_) old_tz_ = old;
  }
  void TearDown() override {
    if (had_tz_) setenv("TZ", old_tz_.c_str(), 1);
    else unsetenv("TZ");
    tzset();
  }

 private:
  bool had_tz_ = false;
  std::string old_tz_;
};

TEST_F(LocalTimeTest, ConvertsInLocalTimeKeepingMilliseconds) {
  using namespace std::chrono;
  struct Case {
    const char* zone;
    sys_seconds utc;
    DateParts local;
  };
  const Case cases[] = {
      {"UTC0", sys_days{2026y / 12 / 5} + 11h + 20min + 41s, {2026, 12, 5, 11, 20, 41}},
      {"<-03>3", sys_days{2026y / 12 / 5} + 1h, {2026, 12, 4, 22, 0, 0}},
      {"CET-1CEST,M3.5.0,M10.5.0/3", sys_days{2026y / 7 / 1} + 10h, {2026, 7, 1, 12, 0, 0}},
      {"CET-1CEST,M3.5.0,M10.5.0/3", sys_days{2026y / 1 / 1} + 10h, {2026, 1, 1, 11, 0, 0}},
      {"UTC0", sys_days{1850y / 1 / 1} + 6h, {1850, 1, 1, 6, 0, 0}},
  };
  for (const Case& c : cases) {
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
