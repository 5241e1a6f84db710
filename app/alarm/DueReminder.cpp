#include "app/alarm/DueReminder.h"

void TDueReminder::Clear() {
  due_ = false;
  held_ = false;
  waited_ = false;
  typingSince_.reset();
}

TReminderStep TDueReminder::Tick(TAwayTracker& away, const TAwaySample& sample, TAlarmTick scheduled, bool busy,
                                 bool typing) {
  // A due reminder stays due at every tick, so that the time-away rules see it as they see an
  // alarm that falls due: skipped while away, a re-arm once the user is back.
  const TAlarmTick alarm = due_ && !sample.reminderShowing ? TAlarmTick::Fire : scheduled;
  switch (away.Tick(sample, alarm)) {
    case TAwayAction::None:
      return TReminderStep::None;
    case TAwayAction::RestartWorkedTime:
      return TReminderStep::RestartWorkedTime;
    case TAwayAction::Rearm:
      Clear();
      return TReminderStep::Rearm;
    case TAwayAction::Remind:
      break;
  }
  due_ = true;
  if (busy) {
    held_ = waited_ = true;
    // The pause in typing is looked for afresh once the busy moment is over.
    typingSince_.reset();
    return TReminderStep::Hold;
  }
  if (typing) {
    if (!typingSince_) typingSince_ = sample.second;
    if (sample.second - *typingSince_ < kLongestTypingWait) {
      waited_ = true;
      return TReminderStep::WaitForTypingPause;
    }
  }
  const bool late = waited_;
  Clear();
  shownLate_ = late;
  return TReminderStep::Show;
}
