#include <gtest/gtest.h>

#include <string>

#include "app/alarm/AwayTracker.h"

namespace {

constexpr int64_t At(int day, int h, int m, int s) { return day * 86'400LL + h * 3'600 + m * 60 + s; }
using A = TAwayAction;

// The alarm's tick as the main window runs it: the alarm check of the same seconds, then the tracker.
struct Day {
  explicit Day(int64_t start, std::string alarmText, int64_t threshold = 5 * 60) : alarm(std::move(alarmText)) {
    tracker.Configure(true, threshold);
    tracker.Restart({start, input});
    checked = start - 1;
  }
  A Tick(int64_t second, bool typed = false, bool showing = false, bool locked = false) {
    if (typed) ++input;
    const TAlarmTick due = alarm.empty() || showing ? TAlarmTick::Wait : CheckAlarmTick(checked, second, alarm);
    checked = second;
    return tracker.Tick({second, input, showing, locked}, due);
  }
  // The user at the keyboard, giving input every second up to and including until.
  void Work(int64_t until) {
    for (int64_t s = checked + 1; s <= until; ++s) ASSERT_EQ(Tick(s, true), A::None) << s;
  }
  TAwayTracker tracker;
  std::string alarm;
  int64_t checked = 0;
  uint32_t input = 7;
};

TEST(AwayTracker, AnAlarmThatFallsWhileAwayIsSkippedAndTheReturnRearms) {
  Day day(At(0, 10, 0, 0), "11:00:00");
  day.Work(At(0, 10, 50, 0));
  EXPECT_EQ(day.Tick(At(0, 10, 54, 59)), A::None);
  EXPECT_FALSE(day.tracker.Away());
  EXPECT_EQ(day.Tick(At(0, 10, 55, 0)), A::None);
  EXPECT_TRUE(day.tracker.Away()) << "five minutes without input";
  EXPECT_EQ(day.Tick(At(0, 11, 0, 0)), A::None) << "no reminder for an empty room";
  EXPECT_EQ(day.Tick(At(0, 11, 40, 0)), A::None);
  EXPECT_EQ(day.Tick(At(0, 11, 45, 0), true), A::Rearm);
  EXPECT_FALSE(day.tracker.Away());
  EXPECT_EQ(day.Tick(At(0, 11, 45, 1)), A::None);

  // Switched off, the same absence ends in the reminder, as before.
  Day off(At(0, 10, 0, 0), "11:00:00");
  off.tracker.Configure(false, 5 * 60);
  EXPECT_EQ(off.Tick(At(0, 10, 50, 0), true), A::None);
  EXPECT_EQ(off.Tick(At(0, 11, 0, 0)), A::Remind);
  EXPECT_FALSE(off.tracker.Away());
}

TEST(AwayTracker, ARearmOwedForASkippedReminderOutlivesAChangeOfTheSetting) {
  // Back after the skipped alarm, the first input unticks the setting (Space on its box).
  for (const bool switchedOn : {false, true}) {
    Day day(At(0, 10, 0, 0), "10:30:00");
    day.Work(At(0, 10, 20, 0));
    EXPECT_EQ(day.Tick(At(0, 10, 30, 0)), A::None);
    ASSERT_TRUE(day.tracker.Away());
    day.tracker.Configure(false, 5 * 60);
    if (switchedOn) day.tracker.Configure(true, 5 * 60);
    EXPECT_EQ(day.Tick(At(0, 10, 40, 0), true), A::Rearm) << switchedOn;
    EXPECT_EQ(day.Tick(At(0, 10, 40, 1), true), A::None) << "re-armed once";
  }
}

TEST(AwayTracker, OnlyAnAbsenceOfTheFullThresholdIsABreak) {
  Day day(At(0, 10, 0, 0), "10:09:58");
  EXPECT_EQ(day.Tick(At(0, 10, 4, 59), true), A::None) << "back one second before the threshold";
  EXPECT_FALSE(day.tracker.Away());
  EXPECT_EQ(day.Tick(At(0, 10, 9, 58)), A::Remind) << "four minutes 59 of reading: still there";

  Day lunch(At(0, 12, 0, 0), "13:30:00");
  EXPECT_EQ(lunch.Tick(At(0, 12, 5, 0), true), A::RestartWorkedTime) << "back at the threshold";
  EXPECT_EQ(lunch.Tick(At(0, 12, 50, 0), true), A::RestartWorkedTime) << "45 minutes away";
  lunch.Work(At(0, 13, 29, 59));
  EXPECT_EQ(lunch.Tick(At(0, 13, 30, 0), true), A::Remind) << "the alarm itself is left where it was";
}

TEST(AwayTracker, IdlenessWhileAReminderShowsIsNoAbsence) {
  Day day(At(0, 10, 0, 0), "10:00:10");
  EXPECT_EQ(day.Tick(At(0, 10, 0, 10)), A::Remind);
  for (int64_t s = At(0, 10, 0, 11); s <= At(0, 10, 6, 0); s += 30) EXPECT_EQ(day.Tick(s, false, true), A::None);
  EXPECT_FALSE(day.tracker.Away());
  // The dismissal's click comes in with the first tick after the reminder.
  EXPECT_EQ(day.Tick(At(0, 10, 6, 1), true), A::None);
  EXPECT_EQ(day.Tick(At(0, 10, 11, 0)), A::None);
  EXPECT_FALSE(day.tracker.Away()) << "idleness counts from the end of the reminder";
}

TEST(AwayTracker, SleepCountsAsTimeAway) {
  // Woken by a key press eighteen minutes later, the alarm's second lost in the sleep.
  Day day(At(0, 10, 58, 0), "11:00:00");
  EXPECT_EQ(day.Tick(At(0, 11, 16, 0), true), A::Rearm);

  // A short nap with no alarm in it is no break; a long one ends one once the user is back.
  Day nap(At(0, 10, 10, 0), "11:00:00");
  EXPECT_EQ(nap.Tick(At(0, 10, 13, 0), true), A::None);
  EXPECT_EQ(nap.Tick(At(0, 10, 25, 0)), A::None);
  EXPECT_TRUE(nap.tracker.Away()) << "nothing ticked for twelve minutes";
  EXPECT_EQ(nap.Tick(At(0, 10, 26, 0), true), A::RestartWorkedTime);
}

TEST(AwayTracker, AClockChangedWhileAwayKeepsTheAbsenceAndNeverMakesIdlenessNegative) {
  Day day(At(0, 9, 50, 0), "");
  EXPECT_EQ(day.Tick(At(0, 9, 55, 0)), A::None);
  ASSERT_TRUE(day.tracker.Away());
  EXPECT_EQ(day.Tick(At(0, 8, 0, 0)), A::None) << "set back two hours";
  EXPECT_EQ(day.Tick(At(0, 8, 10, 0), true), A::RestartWorkedTime);

  // Set back while the user is there: idleness goes on from where it was.
  day.Work(At(0, 8, 20, 0));
  EXPECT_EQ(day.Tick(At(0, 7, 20, 0)), A::None);
  EXPECT_EQ(day.Tick(At(0, 7, 24, 59)), A::None);
  EXPECT_FALSE(day.tracker.Away());
  EXPECT_EQ(day.Tick(At(0, 7, 25, 0)), A::None);
  EXPECT_TRUE(day.tracker.Away());

  // Moved forward past the alarm by more than an hour while away: the return re-arms.
  Day far(At(0, 10, 0, 0), "10:30:00");
  EXPECT_EQ(far.Tick(At(0, 10, 6, 0)), A::None);
  EXPECT_EQ(far.Tick(At(0, 13, 0, 0)), A::None);
  EXPECT_EQ(far.Tick(At(0, 13, 1, 0), true), A::Rearm);
}

TEST(AwayTracker, AbsencesRunAcrossMidnight) {
  Day late(At(0, 23, 56, 0), "00:00:00");
  EXPECT_EQ(late.Tick(At(1, 0, 0, 0)), A::Remind) << "four minutes idle";

  Day away(At(0, 23, 56, 0), "00:00:00", 3 * 60);
  EXPECT_EQ(away.Tick(At(1, 0, 0, 0)), A::None);
  EXPECT_EQ(away.Tick(At(1, 0, 2, 0), true), A::Rearm);
}

TEST(AwayTracker, ALockedSessionIsAwayAtOnceAndTheUnlockIsTheReturn) {
  Day day(At(0, 10, 29, 0), "10:31:00");
  EXPECT_EQ(day.Tick(At(0, 10, 30, 0), true, false, true), A::None);
  EXPECT_TRUE(day.tracker.Away());
  EXPECT_EQ(day.Tick(At(0, 10, 31, 0), false, false, true), A::None);
  EXPECT_EQ(day.Tick(At(0, 10, 31, 30), true, false, true), A::None);
  EXPECT_EQ(day.Tick(At(0, 10, 32, 0), false, false, false), A::Remind)
      << "two minutes locked are no break: the reminder that fell inside them comes at the unlock";

  Day brief(At(0, 10, 29, 0), "");
  EXPECT_EQ(brief.Tick(At(0, 10, 30, 0), true, false, true), A::None);
  EXPECT_EQ(brief.Tick(At(0, 10, 32, 0), false, false, false), A::None) << "two minutes locked are no break";
  EXPECT_EQ(brief.Tick(At(0, 10, 33, 0), true, false, true), A::None);
  EXPECT_EQ(brief.Tick(At(0, 10, 36, 0), true, false, true), A::None);
  EXPECT_EQ(brief.Tick(At(0, 10, 39, 0), false, false, false), A::RestartWorkedTime) << "six minutes are, input behind the lock being nobody's";
}

}  // namespace
