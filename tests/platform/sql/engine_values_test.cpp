// Engine datetimes as VB dates and back: the day offset between the two calendars and VB's
// way of storing times before its day 0.
#include <gtest/gtest.h>

#include "platform/sql/internal/engine_provider.h"

namespace sql::internal {
namespace {

constexpr int64_t kDay = 86400000;

TEST(EngineValuesTest, DateTimeToVbDateSerialAndBack) {
  struct Case {
    const char* what;
    int64_t ms;
    double serial;
  };
  const Case cases[] = {
      {"1900-01-01 00:00", 0, 2.0}, {"1900-01-02 12:00", kDay + kDay / 2, 3.5},
      {"1899-12-31 00:00", -kDay, 1.0}, {"1899-12-30 00:00", -2 * kDay, 0.0},
      {"1899-12-30 06:00", -2 * kDay + kDay / 4, 0.25},
      {"1899-12-29 18:00", -2 * kDay - kDay / 4, -1.75},
      {"2005-02-01 06:00", (38384 - 2) * kDay + kDay / 4, 38384.25},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_DOUBLE_EQ(ToDateSerial({c.ms}).days, c.serial);
    EXPECT_EQ(ToEngineDateTime({c.serial}).ms, c.ms);
  }
}

TEST(EngineValuesTest, ValueHeldUnlikeItsColumnTypeIsStillRead) {
  // An expression column may come back with a value of another kind than its declared type.
  EXPECT_EQ(ToValor(engine::Value{int64_t{7}}, {engine::TypeKind::kFloat}),
            runtime::Valor::Double(7));
  EXPECT_EQ(ToValor(engine::Value{std::string("x")}, {engine::TypeKind::kInt}),
            runtime::Valor::String("x"));
  EXPECT_EQ(ToValor(engine::Value{int64_t{1} << 40}, {engine::TypeKind::kVarChar}),
            runtime::Valor::Decimal(static_cast<double>(int64_t{1} << 40), 0));
  EXPECT_TRUE(ToValor(engine::Value{}, {engine::TypeKind::kInt}).IsNull());
}

}  // namespace
}  // namespace sql::internal
