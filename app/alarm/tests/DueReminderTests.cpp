#include <gtest/gtest.h>

#include <string>

#include "app/alarm/DueReminder.h"
#include "app/alarm/TimeText.h"

namespace {

constexpr int64_t At(int day, int h, int m, int s) { return day * 86'400LL + h * 3'600 + m * 60 + s; }
using S = TReminderStep;

// The main window's tick: the alarm check, typing and busy facts, then the due reminder.
struct Desk {
  explicit Desk(int64_t start, std::string alarmText) : alarm(std::move(alarmText)) {
    away.Configure(true, 5 * 60);
    away.Restart({start, input});
    checked = start - 1;
  }
  // typed: a key pressed in the second before this tick; pointer: input that was no key press.
  S Tick(int64_t second, bool typed = false, bool busy = false, bool locked = false, bool pointer = false) {
    if (typed || pointer) ++input;
    if (typed) lastKey = second;
    const TAlarmTick scheduled = CheckAlarmTick(checked, second, alarm);
    checked = second;
    // The main window asks whether a key was pressed within the last two seconds.
    return due.Tick(away, {second, input, false, locked}, scheduled, busy, second - lastKey < 2);
  }
  // Ticks every second from the one after the last up to until; returns the first step that is
  // not expected, or expected itself when all were.
  S Run(int64_t until, S expected, bool typed, bool busy) {
    for (int64_t s = checked + 1; s <= until; ++s)
      if (const S step = Tick(s, typed, busy); step != expected) return step;
    return expected;
  }
  TAwayTracker away;
  TDueReminder due;
  std::string alarm;
  int64_t checked = 0;
  uint32_t input = 3;
  int64_t lastKey = -100;
};

TEST(DueReminder, AReminderDueWhileTypingWaitsForAPauseOfTwoSecondsAndNoMoreThanHalfAMinute) {
  Desk keys(At(0, 10, 0, 0), "10:30:00");
  ASSERT_EQ(keys.Run(At(0, 10, 29, 59), S::None, true, false), S::None);
  // A key a second: the reminder comes when it has waited thirty seconds.
  ASSERT_EQ(keys.Run(At(0, 10, 30, 29), S::WaitForTypingPause, true, false), S::WaitForTypingPause);
  EXPECT_EQ(keys.Tick(At(0, 10, 30, 30), true), S::Show);
  EXPECT_TRUE(keys.due.ShownLate());
  EXPECT_FALSE(keys.due.Due());

  Desk gap(At(0, 10, 0, 0), "10:30:00");
  gap.Run(At(0, 10, 29, 59), S::None, true, false);
  EXPECT_EQ(gap.Tick(At(0, 10, 30, 0), true), S::WaitForTypingPause);
  EXPECT_EQ(gap.Tick(At(0, 10, 30, 5), true), S::WaitForTypingPause);
  EXPECT_EQ(gap.Tick(At(0, 10, 30, 6)), S::WaitForTypingPause) << "one second without a key is no pause";
  EXPECT_EQ(gap.Tick(At(0, 10, 30, 7)), S::Show) << "two are";

  // Moving the pointer is not typing; a reminder due after a pause shows on time.
  Desk pointer(At(0, 10, 0, 0), "10:30:00");
  for (int64_t s = At(0, 10, 29, 50); s < At(0, 10, 30, 0); ++s) pointer.Tick(s, false, false, false, true);
  EXPECT_EQ(pointer.Tick(At(0, 10, 30, 0), false, false, false, true), S::Show);
  EXPECT_FALSE(pointer.due.ShownLate());
}

TEST(DueReminder, AReminderHeldOverFullScreenWorkShowsWhenItEndsAndItsWorkedTimeRunsToThen) {
  // Longer than an hour, and across midnight.
  Desk film(At(0, 23, 0, 0), "23:50:00");
  ASSERT_EQ(film.Run(At(0, 23, 49, 59), S::None, true, false), S::None);
  ASSERT_EQ(film.Run(At(1, 1, 10, 0), S::Hold, true, true), S::Hold);
  EXPECT_TRUE(film.due.Held());
  EXPECT_EQ(film.Tick(At(1, 1, 10, 1), false, false), S::WaitForTypingPause) << "the last key is a second old";
  EXPECT_EQ(film.Tick(At(1, 1, 10, 2), false, false), S::Show);
  EXPECT_TRUE(film.due.ShownLate());
  const WorkedTime worked = ComputeWorkedTime("01:10:02", "23:00:00");
  EXPECT_EQ(worked.hours, 2);
  EXPECT_EQ(worked.minutes, 10);
  EXPECT_EQ(worked.seconds, 2);
  EXPECT_EQ(film.Tick(At(1, 1, 10, 3)), S::None) << "shown once";

  // Busy again while waiting for the typing pause: held again.
  Desk twice(At(0, 10, 0, 0), "10:00:10");
  twice.Run(At(0, 10, 0, 9), S::None, true, false);
  EXPECT_EQ(twice.Tick(At(0, 10, 0, 10), true), S::WaitForTypingPause);
  EXPECT_EQ(twice.Tick(At(0, 10, 0, 11), true, true), S::Hold);
  EXPECT_EQ(twice.Tick(At(0, 10, 0, 40)), S::Show) << "once the busy moment and the typing are over";
}

TEST(DueReminder, TimeAwayDecidesWhileAReminderIsHeld) {
  // Busy, then away: the absence skips the reminder and the return re-arms.
  Desk left(At(0, 10, 0, 0), "10:30:00");
  left.Run(At(0, 10, 29, 59), S::None, true, false);
  EXPECT_EQ(left.Tick(At(0, 10, 30, 0), false, true), S::Hold);
  EXPECT_EQ(left.Run(At(0, 10, 34, 58), S::Hold, false, true), S::Hold) << "still there for five minutes";
  EXPECT_EQ(left.Tick(At(0, 10, 34, 59), false, true), S::None);
  EXPECT_TRUE(left.away.Away());
  EXPECT_EQ(left.Tick(At(0, 10, 50, 0), true, false), S::Rearm);
  EXPECT_FALSE(left.due.Due());
  EXPECT_EQ(left.Tick(At(0, 10, 50, 1), true, false), S::None);

  // A locked session while held is away at once; a short lock is no break, a long one is.
  Desk locked(At(0, 10, 0, 0), "10:30:00");
  EXPECT_EQ(locked.Run(At(0, 10, 30, 0), S::None, true, false), S::WaitForTypingPause);
  EXPECT_TRUE(locked.due.Due());
  EXPECT_EQ(locked.Tick(At(0, 10, 31, 0), false, true, true), S::None);
  EXPECT_EQ(locked.Tick(At(0, 10, 32, 0), false, true, false), S::Hold) << "still due after a minute's lock";
  EXPECT_EQ(locked.Tick(At(0, 10, 33, 0), false, true, true), S::None);
  EXPECT_EQ(locked.Tick(At(0, 10, 39, 0), false, true, false), S::Rearm);

  // Away, then back to a full-screen program: the reminder is skipped, not held.
  Desk back(At(0, 10, 0, 0), "10:30:00");
  back.Run(At(0, 10, 20, 0), S::None, true, false);
  EXPECT_EQ(back.Tick(At(0, 10, 30, 0), false, true), S::None);
  EXPECT_EQ(back.Tick(At(0, 10, 45, 0), true, true), S::Rearm);
  EXPECT_FALSE(back.due.Due());

  // Cleared (the alarm cancelled or set anew) while held: nothing more comes.
  Desk cancelled(At(0, 10, 0, 0), "10:00:05");
  EXPECT_EQ(cancelled.Run(At(0, 10, 0, 5), S::None, true, true), S::Hold);
  ASSERT_TRUE(cancelled.due.Held());
  cancelled.due.Clear();
  cancelled.alarm = "12:00:00";
  EXPECT_EQ(cancelled.Run(At(0, 10, 5, 0), S::None, true, false), S::None);
}

}  // namespace
