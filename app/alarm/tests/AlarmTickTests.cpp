#include <gtest/gtest.h>

#include "app/alarm/AlarmTick.h"

namespace {

constexpr int64_t At(int day, int h, int m, int s) { return day * 86'400LL + h * 3'600 + m * 60 + s; }

TEST(AlarmTick, FiresForAnAlarmSecondPassedSinceTheLastCheckAndNeverTwice) {
  EXPECT_EQ(CheckAlarmTick(At(0, 9, 59, 59), At(0, 10, 0, 0), "10:00:00"), TAlarmTick::Fire);
  EXPECT_EQ(CheckAlarmTick(At(0, 10, 0, 0), At(0, 10, 0, 0), "10:00:00"), TAlarmTick::Wait) << "same second again";
  EXPECT_EQ(CheckAlarmTick(At(0, 10, 0, 0), At(0, 10, 0, 1), "10:00:00"), TAlarmTick::Wait);
  EXPECT_EQ(CheckAlarmTick(At(0, 9, 59, 58), At(0, 9, 59, 59), "10:00:00"), TAlarmTick::Wait);
  // Late ticks and a skipped alarm second.
  EXPECT_EQ(CheckAlarmTick(At(0, 9, 59, 58), At(0, 10, 0, 2), "10:00:00"), TAlarmTick::Fire);
  // A sleep of ten minutes over the alarm.
  EXPECT_EQ(CheckAlarmTick(At(0, 9, 55, 0), At(0, 10, 5, 0), "10:00:00"), TAlarmTick::Fire);
  EXPECT_EQ(CheckAlarmTick(At(0, 9, 0, 0), At(0, 10, 0, 0), "10:00:00"), TAlarmTick::Fire) << "an hour is no gap";
}

TEST(AlarmTick, CountsAcrossMidnight) {
  EXPECT_EQ(CheckAlarmTick(At(0, 23, 59, 59), At(1, 0, 0, 0), "00:00:00"), TAlarmTick::Fire);
  EXPECT_EQ(CheckAlarmTick(At(0, 23, 59, 58), At(1, 0, 0, 1), "23:59:59"), TAlarmTick::Fire);
  EXPECT_EQ(CheckAlarmTick(At(0, 23, 59, 58), At(1, 0, 0, 1), "00:00:02"), TAlarmTick::Wait);
  EXPECT_EQ(CheckAlarmTick(At(6, 23, 30, 0), At(7, 0, 15, 0), "00:10:00"), TAlarmTick::Fire);
}

TEST(AlarmTick, AGapOfMoreThanAnHourEitherWayStartsAfresh) {
  EXPECT_EQ(CheckAlarmTick(At(0, 22, 0, 0), At(1, 6, 0, 0), "23:00:00"), TAlarmTick::Restart) << "a night asleep";
  EXPECT_EQ(CheckAlarmTick(At(0, 9, 0, 0), At(0, 10, 0, 1), "10:30:00"), TAlarmTick::Restart);
  EXPECT_EQ(CheckAlarmTick(At(0, 12, 0, 0), At(0, 9, 59, 59), "10:00:00"), TAlarmTick::Restart) << "clock back two hours";
  // Set back by an hour: nothing fires until the clock reaches the alarm again.
  EXPECT_EQ(CheckAlarmTick(At(0, 10, 30, 0), At(0, 9, 30, 0), "10:00:00"), TAlarmTick::Wait);
  EXPECT_EQ(CheckAlarmTick(At(0, 9, 59, 59), At(0, 10, 0, 0), "10:00:00"), TAlarmTick::Fire);
}

TEST(AlarmTick, ClockSecondsCutLikeTheTimeTexts) {
  EXPECT_EQ(ClockSecond(1.0 / 24.0), 3'600) << "one hour, not exactly representable, is not 00:59:59";
  EXPECT_EQ(ClockSecond(EncodeDateTime(2026, 12, 7, 10, 0, 1)) - ClockSecond(EncodeDateTime(2026, 12, 7, 10, 0, 0)), 1);
  EXPECT_EQ(ClockSecond(EncodeDateTime(2026, 12, 8, 0, 0, 0)) - ClockSecond(EncodeDateTime(2026, 12, 7, 23, 59, 59)), 1);
  EXPECT_EQ(ClockSecond(0.75 + 0.4 / 86'400), At(0, 18, 0, 0)) << "0.4 s into the second";
}

TEST(AlarmTick, SecondsUntilTheAlarmsNextOccurrence) {
  EXPECT_EQ(SecondsUntilAlarm(At(0, 10, 0, 0), "10:00:03"), 3);
  EXPECT_EQ(SecondsUntilAlarm(At(0, 10, 0, 3), "10:00:03"), 0);
  EXPECT_EQ(SecondsUntilAlarm(At(0, 10, 0, 4), "10:00:03"), 86'399) << "passed: tomorrow's";
  EXPECT_EQ(SecondsUntilAlarm(At(3, 23, 59, 58), "00:00:01"), 3) << "across midnight";
}

}  // namespace
