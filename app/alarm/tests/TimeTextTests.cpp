#include <gtest/gtest.h>

#include "app/alarm/TimeText.h"
#include "framework/core/Exception.h"

TEST(TimeText, FormatsTheTimeOfDayIn24HourClock) {
  EXPECT_EQ(FormatTimeText(EncodeDateTime(2026, 12, 7, 14, 5, 9)), "14:05:09");
  EXPECT_EQ(FormatTimeText(EncodeDateTime(2026, 12, 7, 0, 0, 0)), "00:00:00");
  EXPECT_EQ(FormatTimeText(EncodeDateTime(2026, 12, 7, 23, 59, 59, 999)), "23:59:59");
  // One hour ahead of late evening is the early morning of the next day.
  EXPECT_EQ(FormatTimeText(EncodeDateTime(2026, 12, 7, 23, 30, 0) + kOneHour), "00:30:00");
}

TEST(TimeText, OneHourIsExactlyOneHourNotAFractionShort) {
  EXPECT_EQ(FormatTimeText(kOneHour), "01:00:00");
  EXPECT_EQ(FormatTimeText(ParseTimeText("01:00:00")), "01:00:00");
  // Adding an hour to every second of the day must land on the same second an hour later.
  for (int s = 0; s < 86400; s += 37) {
    const TDateTime t = EncodeDateTime(2026, 1, 1, s / 3600, s / 60 % 60, s % 60);
    const int later = (s + 3600) % 86400;
    char expected[16];
    std::snprintf(expected, sizeof expected, "%02d:%02d:%02d", later / 3600, later / 60 % 60, later % 60);
    ASSERT_EQ(FormatTimeText(t + ParseTimeText("01:00:00")), expected) << "second " << s;
  }
}

TEST(TimeText, ParserInvertsTheFormatterAndRejectsAnythingElse) {
  for (const char* text : {"00:00:00", "12:34:56", "23:59:59"}) EXPECT_EQ(FormatTimeText(ParseTimeText(text)), text);
  for (const char* bad : {"", "24:00:00", "12:60:00", "12:00:60", "1:00:00", "12-00-00", "12:00:00 ", "ab:cd:ef"}) {
    EXPECT_THROW(ParseTimeText(bad), EConvertError) << "'" << bad << "'";
  }
}

TEST(WorkedTime, CountsFromArmingToTheAlarmAcrossMidnight) {
  const WorkedTime overnight = ComputeWorkedTime("00:30:00", "23:30:00");
  EXPECT_EQ(WorkedTimeMessage(overnight), "您已连续工作了1时0分0秒");
  const WorkedTime same = ComputeWorkedTime("10:00:00", "10:00:00");
  EXPECT_EQ(WorkedTimeMessage(same), "您已连续工作了0时0分0秒");
  const WorkedTime earlier = ComputeWorkedTime("09:59:59", "10:00:00");
  EXPECT_EQ(earlier.hours, 23);
  EXPECT_EQ(earlier.minutes, 59);
  EXPECT_EQ(earlier.seconds, 59);
  EXPECT_THROW(ComputeWorkedTime("", "10:00:00"), EConvertError);
}
