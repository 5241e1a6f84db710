#pragma once
// The alarm compares times of day as text, so every time the program shows or compares goes
// through this one formatter and its matching parser: 24-hour "HH:MM:SS".
#include <string>
#include <string_view>

#include "framework/core/Clock.h"

// The time-of-day part of value, truncated to the whole second.
std::string FormatTimeText(TDateTime value);
// Inverse of FormatTimeText: a day fraction in [0, 1). Raises EConvertError on anything else.
TDateTime ParseTimeText(std::string_view text);

struct WorkedTime {
  int hours;
  int minutes;
  int seconds;
};

// Time from the work start text to the alarm time text; a period that crosses midnight (or an
// alarm set earlier in the day than the moment of arming) counts the next day's occurrence.
WorkedTime ComputeWorkedTime(std::string_view alarmText, std::string_view workStartText);

// "您已连续工作了" + hours + "时" + minutes + "分" + seconds + "秒", numbers without leading zeros.
std::string WorkedTimeMessage(const WorkedTime& worked);

inline const TDateTime kOneHour = 1.0 / 24.0;
