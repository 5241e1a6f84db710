#include "app/alarm/AlarmTick.h"

#include <cmath>

#include "app/alarm/TimeText.h"

namespace {
constexpr int64_t kSecondsPerDayInt = 86'400;
constexpr int64_t kLongestGap = 3'600;

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }
}  // namespace

int64_t ClockSecond(TDateTime value) {
  // Rounded to the millisecond first, as the formatter does, so that both agree on the second.
  return FloorDiv(std::llround(value * kSecondsPerDayInt * 1000.0), 1000);
}

TAlarmTick CheckAlarmTick(int64_t checkedUpTo, int64_t now, std::string_view alarmText) {
  const int64_t gap = now - checkedUpTo;
  if (gap > kLongestGap || gap < -kLongestGap) return TAlarmTick::Restart;
  if (gap <= 0) return TAlarmTick::Wait;
  // The alarm's first occurrence after the checked second.
  const int64_t first = checkedUpTo + 1;
  return first + SecondsUntilAlarm(first, alarmText) <= now ? TAlarmTick::Fire : TAlarmTick::Wait;
}

int64_t SecondsUntilAlarm(int64_t now, std::string_view alarmText) {
  const auto alarm = static_cast<int64_t>(std::llround(ParseTimeText(alarmText) * kSecondsPerDayInt));
  return ((alarm - now) % kSecondsPerDayInt + kSecondsPerDayInt) % kSecondsPerDayInt;
}
