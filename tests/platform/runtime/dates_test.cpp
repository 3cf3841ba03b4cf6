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

// Out-of-range parts carry as the language does, within years 100 to 9999 ("": Invalid
// procedure call); two-digit years 0-29 are 20xx.
TEST(MakeDateTest, CarriesOutOfRangeParts) {
  const std::pair<DateParts, const char*> cases[] = {
      {{2026, 13, 1}, "01/01/2027"}, {{2026, -1, 15}, "15/11/2025"}, {{2026, 3, 0}, "28/02/2026"},
      {{2024, 3, 0}, "29/02/2024"}, {{29, 5, 1}, "01/05/2029"}, {{30, 5, 1}, "01/05/1930"},
      {{2026, 12, 31, 24, 0, 0}, "01/01/2027"}, {{2026, 1, 1, 0, 0, -1}, "31/12/2025 23:59:59"},
      {{10000, 1, 1}, ""}, {{9999, 12, 32}, ""}, {{100, 1, 0}, ""}, {{-5, 1, 1}, ""},
  };
  for (const auto& [given, expected] : cases) {
    SCOPED_TRACE(expected);
    if (*expected) {
      EXPECT_EQ(CStrDate(MakeDate(given)), expected);
    } else {
      EXPECT_EQ(ErrorNumberOf([&] { MakeDate(given); }), kVbInvalidCall);
    }
  }
}

// The time rounds to the second; 29/12/1899 23:59:59.6 is stored as -1.99999... and rounds into
// the next day, day 0.
TEST(DateOfTest, RoundsTheTimeToTheSecond) {
  const double second = 1.0 / 86400;
  const std::pair<double, DateParts> cases[] = {
      {46361 + 0.4 * second, {2026, 12, 5}}, {46361 + 0.6 * second, {2026, 12, 5, 0, 0, 1}},
      {-1 - (1 - 0.4 * second), {1899, 12, 30}},
      {-1 - (1 - 0.6 * second), {1899, 12, 29, 23, 59, 59}},
  };
  for (const auto& [serial, parts] : cases) {
    SCOPED_TRACE(serial);
    EXPECT_EQ(DateOf(DateSerial{serial}), parts);
  }
}

TEST(DateTextTest, ShortDateLongTimeAndCStr) {
  const struct {
    DateSerial date;
    const char* texts;  // short date, long time, CStr
  } cases[] = {
      {MakeDate(2026, 12, 5), "05/12/2026 00:00:00 05/12/2026"},
      {MakeDate(1899, 12, 30, 11, 20, 41), "30/12/1899 11:20:41 11:20:41"},
      {DateSerial{0}, "30/12/1899 00:00:00 00:00:00"},
      {MakeDate(1850, 7, 9, 6, 5, 4), "09/07/1850 06:05:04 09/07/1850 06:05:04"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.texts);
    EXPECT_EQ(ShortDateText(c.date) + " " + LongTimeText(c.date) + " " + CStrDate(c.date), c.texts);
  }
}

TEST(FormatTest, DatePatterns) {
  const std::pair<const char*, const char*> cases[] = {
      {"yyyymmddhhmmss", "20260305090704"}, {"d/m/yy", "5/3/26"}, {"h:n:s", "9:7:4"},
      {"hh:mm:ss", "09:07:04"}, {"mm:ss", "07:04"}, {"mm/yyyy", "03/2026"},
      {"DD/MM/YYYY", "05/03/2026"}, {"\"Hoy es \"dd", "Hoy es 05"}, {"\\d dd", "d 05"}, {"", ""},
  };
  for (const auto& [pattern, expected] : cases) {
    SCOPED_TRACE(pattern);
    EXPECT_EQ(Format(MakeDate(2026, 3, 5, 9, 7, 4), pattern), expected);
  }
}

// Day first; what parses is compared as CStr writes it, "" for refused texts.
TEST(ParseDateTextTest, DayFirstTexts) {
  const std::pair<const char*, const char*> cases[] = {
      {" 05-12-2026 ", "05/12/2026"}, {"05.12.26", "05/12/2026"}, {"5/12/99", "05/12/1999"},
      {"5/12/6", "05/12/2006"}, {"2026-12-05", "05/12/2026"}, {"29/02/2024", "29/02/2024"},
      {"05/12/2026  11:20", "05/12/2026 11:20:00"}, {"11:20:41", "11:20:41"},
      {"11:20 pm", "23:20:00"}, {"12:05 AM", "00:05:00"}, {"05/13/2026", ""}, {"31/04/2026", ""},
      {"29/02/2026", ""}, {"05/12", ""}, {"05/12-2026", ""}, {"05/12/206", ""}, {"25:00", ""},
      {"10:60", ""}, {"13:00 PM", ""}, {"05/12/202611:20", ""}, {"", ""}, {"05/12/2026 x", ""},
  };
  for (const auto& [text, expected] : cases) {
    SCOPED_TRACE(text);
    const std::optional<DateSerial> parsed = ParseDateText(text);
    EXPECT_EQ(parsed ? CStrDate(*parsed) : "", expected);
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
  EXPECT_GT(NowLocal().days, 43831.0);  // 01/01/2020
  EXPECT_LT(NowLocal().days, 73051.0);  // 01/01/2100
}

}  // namespace
}  // namespace runtime
