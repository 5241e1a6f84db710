#include "app/alarm/AwayTracker.h"

#include <algorithm>
#include <utility>

namespace {
TAwayAction Present(TAlarmTick alarm) {
  switch (alarm) {
    case TAlarmTick::Fire:
      return TAwayAction::Remind;
    case TAlarmTick::Restart:
      return TAwayAction::Rearm;
    case TAlarmTick::Wait:
      break;
  }
  return TAwayAction::None;
}
}  // namespace

void TAwayTracker::Configure(bool enabled, int64_t thresholdSeconds) {
  // Switched on, idleness is counted from the next tick: the click that switched it is input.
  if (enabled != enabled_) {
    started_ = false;
    if (std::exchange(missedReminder_, false)) owedRearm_ = true;
  }
  enabled_ = enabled;
  threshold_ = thresholdSeconds;
}

void TAwayTracker::Restart(const TAwaySample& sample) {
  started_ = true;
  lastSecond_ = sample.second;
  lastInput_ = sample.lastInput;
  sessionAway_ = sample.sessionAway;
  idle_ = 0;
  away_ = false;
  missedReminder_ = false;
  owedRearm_ = false;
}

TAwayAction TAwayTracker::Tick(const TAwaySample& sample, TAlarmTick alarm) {
  if (std::exchange(owedRearm_, false)) {
    if (enabled_) Restart(sample);
    return TAwayAction::Rearm;
  }
  if (!enabled_) return Present(alarm);
  if (!started_) Restart(sample);
  // Input seen behind a locked session is not the user coming back; input in the tick that locks it
  // (the key press that locked it, say) came before the lock.
  const bool input = sample.lastInput != lastInput_ && !sessionAway_;
  const bool unlocked = sessionAway_ && !sample.sessionAway;
  // A clock set back adds nothing; a stretch in which nothing ticked (sleep) counts in full.
  idle_ += std::max<int64_t>(0, sample.second - lastSecond_);
  lastSecond_ = sample.second;
  lastInput_ = sample.lastInput;
  sessionAway_ = sample.sessionAway;

  if (sample.reminderShowing) {
    idle_ = 0;
    away_ = false;
    return TAwayAction::None;
  }
  if (sample.sessionAway || idle_ >= threshold_) away_ = true;
  if (away_ && !sample.sessionAway && (input || unlocked)) {
    const bool longEnough = idle_ >= threshold_;
    // An alarm due in this very tick fell inside the absence too (a sleep ended by this input).
    const bool missed = missedReminder_ || alarm != TAlarmTick::Wait;
    idle_ = 0;
    away_ = false;
    missedReminder_ = false;
    if (missed) return longEnough ? TAwayAction::Rearm : TAwayAction::Remind;
    return longEnough ? TAwayAction::RestartWorkedTime : TAwayAction::None;
  }
  if (input) idle_ = 0;
  if (!away_) return Present(alarm);
  if (alarm != TAlarmTick::Wait) missedReminder_ = true;
  return TAwayAction::None;
}
