#include <gtest/gtest.h>

#include <cmath>

#include "framework/core/Clock.h"

TEST(Clock, EncodesTheDelphiEpochAndTimeOfDay) {
  EXPECT_DOUBLE_EQ(EncodeDateTime(1899, 12, 30, 0, 0, 0), 0.0);
  EXPECT_DOUBLE_EQ(EncodeDateTime(1970, 1, 1, 0, 0, 0), 25569.0);
  const TDateTime t = EncodeDateTime(2026, 12, 7, 6, 0, 0);
  EXPECT_NEAR(t - std::floor(t), 0.25, 1e-9);
}

TEST(Clock, ATestSourceReplacesTheSystemClockUntilCleared) {
  SetClockSource([] { return 42.5; });
  EXPECT_DOUBLE_EQ(Now(), 42.5);
  SetClockSource({});
  EXPECT_GT(Now(), 40000.0);
}
