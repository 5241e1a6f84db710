#pragma once
// Natural breaks: time away from the computer counts as rest. The user is away once no input has
// come for the threshold, while the session is locked or disconnected, and across a stretch in
// which nothing ticked (the machine asleep). Durations come from the alarm's own clock; the input
// source only has to tell that input happened, by a number that changes whenever it does (the
// system's last-input tick). Its own time base is not used: it keeps real time where the clock
// may be moved, and it does not run while the machine sleeps.
#include <cstdint>

#include "app/alarm/AlarmTick.h"

struct TAwaySample {
  int64_t second = 0;            // ClockSecond of the tick
  uint32_t lastInput = 0;        // changes whenever the user gives input
  bool reminderShowing = false;  // a reminder is done with the eyes closed: idleness is no absence
  bool sessionAway = false;      // the session is locked or disconnected
};

enum class TAwayAction {
  None,
  Remind,            // show the reminder; also at the return from an absence too short to be a
                     // break that the alarm fell inside (a quick Win+L is no rest)
  Rearm,             // re-arm one hour from now: the alarm fell due while the user was away, or
                     // the clock jumped too far for the alarm to mean anything
  RestartWorkedTime  // the user is back from a break: the worked time counts from now, and the
                     // next reminder is no sooner than an hour away
};

class TAwayTracker {
public:
  static constexpr int64_t kDefaultThreshold = 5 * 60;

  // Off: the alarm behaves as if the user never left. A re-arm owed for a reminder skipped in an
  // absence is still given at the next tick: the click that changes the setting is the return.
  void Configure(bool enabled, int64_t thresholdSeconds);
  // Starts counting idleness afresh at this sample, as after start-up.
  void Restart(const TAwaySample& sample);
  // One tick of the alarm's timer; alarm is what CheckAlarmTick found for the same seconds
  // (Wait when no alarm is armed).
  TAwayAction Tick(const TAwaySample& sample, TAlarmTick alarm);
  bool Away() const { return away_; }

private:
  bool enabled_ = true;
  int64_t threshold_ = kDefaultThreshold;
  bool started_ = false;
  int64_t lastSecond_ = 0;
  uint32_t lastInput_ = 0;
  bool sessionAway_ = false;
  // Seconds since the last input, each input dated to the tick that sees it.
  int64_t idle_ = 0;
  bool away_ = false;
  bool missedReminder_ = false;
  bool owedRearm_ = false;
};
