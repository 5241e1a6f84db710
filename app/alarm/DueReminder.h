#pragma once
// A reminder that has fallen due waits for a moment at which it may show: not over full-screen
// work (it is held until that ends, however long), and not in the middle of a word (it waits for
// a pause in typing, at most half a minute). Time away decides as it always does while it waits:
// away means rest, and the reminder gives way to a re-arm once the user is back.
#include <cstdint>
#include <optional>

#include "app/alarm/AlarmTick.h"
#include "app/alarm/AwayTracker.h"

enum class TReminderStep {
  None,
  Show,               // show the reminder now
  Hold,               // due, held over full-screen work
  WaitForTypingPause, // due, waiting for the user to stop typing
  Rearm,              // re-arm an hour from now (see TAwayAction::Rearm)
  RestartWorkedTime,  // back from a break: the worked time counts from now
};

class TDueReminder {
public:
  static constexpr int64_t kLongestTypingWait = 30;

  // One tick. scheduled: what CheckAlarmTick found for the tick's seconds (Wait while no alarm is
  // armed or a reminder is up); busy: the user is in a busy moment and reminders are to be held
  // then; typing: a key press within the last two seconds.
  TReminderStep Tick(TAwayTracker& away, const TAwaySample& sample, TAlarmTick scheduled, bool busy, bool typing);
  // The alarm was cancelled, set anew or re-armed: nothing is due any more.
  void Clear();
  bool Due() const { return due_; }
  // Due and, at some tick, held over full-screen work.
  bool Held() const { return due_ && held_; }
  // The reminder of the last Show had been made to wait: its worked time runs to the showing, not
  // to the alarm.
  bool ShownLate() const { return shownLate_; }

private:
  bool due_ = false;
  bool held_ = false;
  bool waited_ = false;
  bool shownLate_ = false;
  std::optional<int64_t> typingSince_;
};
