#pragma once
// What one tick of the alarm's one-second timer does. A tick looks at every second since the last
// one checked, so an alarm is not lost when a tick comes late or a few do not come at all (a busy
// machine, a short sleep). After a gap of more than an hour, either way (a long sleep, the clock
// moved), the user has not been working all that time: the alarm starts afresh instead of firing a
// stale reminder.
#include <cstdint>
#include <string_view>

#include "framework/core/Clock.h"

enum class TAlarmTick { Wait, Fire, Restart };

// Whole seconds on the clock's time line, cut the way the time texts cut them.
int64_t ClockSecond(TDateTime value);

// Whole seconds from now to the alarm's next occurrence, 0 when it is this very second.
int64_t SecondsUntilAlarm(int64_t now, std::string_view alarmText);

// checkedUpTo: the last second already checked; now: the tick's second; alarmText: "HH:MM:SS".
TAlarmTick CheckAlarmTick(int64_t checkedUpTo, int64_t now, std::string_view alarmText);
