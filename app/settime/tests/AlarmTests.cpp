// The alarm on the real main window, with the clock set by the test.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>

#include "app/alarm/TimeText.h"
#include "app/settime/TrayIcon.h"
#include "app/settime/Velmain.h"
#include "app/settime/tests/AppFixture.h"
#include "framework/controls/Application.h"
#include "reminders/eye/Doeye.h"
#include "reminders/eye2/Doeye2.h"

namespace {

class Alarm : public AppFixture {
protected:
  // Started at that time, the alarm armed an hour ahead, reminders in the popup mode.
  static void StartOnThePopupPath(TDateTime now) {
    SetClock(now);
    velmain->ArmAtStartup();
    velmain->RadioButton2->SetChecked(true);
    velmain->RadioButton2Click(nullptr);
  }
};

TEST_F(Alarm, StartUpArmsOneHourAheadInExerciseMode) {
  SetClock(EncodeDateTime(2026, 12, 7, 9, 15, 30));
  velmain->ArmAtStartup();
  EXPECT_EQ(velmain->Label2->Caption(), "09:15:30");
  EXPECT_EQ(velmain->Label3->Caption(), "10:15:30");
  EXPECT_EQ(FormatTimeText(velmain->DateTimePicker1->DateTime()), "10:15:30");
  EXPECT_EQ(velmain->Label7->Caption(), "09:15:30");
  EXPECT_FALSE(velmain->DateTimePicker1->Enabled());
  EXPECT_FALSE(velmain->SpeedButton1->Enabled());
  EXPECT_TRUE(velmain->SpeedButton2->Enabled());
  EXPECT_EQ(velmain->SpeedButton2->Caption(), "取消");
  EXPECT_EQ(velmain->Label23->Caption(), "将在10:15:30\r播放眼保健操！");
  EXPECT_EQ(velmain->Label8->Caption(), velmain->Label23->Caption());
  EXPECT_TRUE(velmain->Label23->Visible());
  EXPECT_FALSE(velmain->Label6->Visible());
  EXPECT_FALSE(velmain->Label3->Visible());
  EXPECT_FALSE(velmain->Label7->Visible());
  EXPECT_TRUE(velmain->RadioButton1->Checked());
  EXPECT_FALSE(velmain->CheckBox1->Checked());
  EXPECT_EQ(velmain->SpinEdit1->Value(), 30);
}

TEST_F(Alarm, SetCancelAndModeChangesWriteTheStatusLines) {
  SetClock(EncodeDateTime(2026, 12, 7, 8, 0, 0));
  velmain->ArmAtStartup();

  velmain->SpeedButton2Click(nullptr);
  EXPECT_EQ(velmain->Label3->Caption(), "");
  EXPECT_EQ(velmain->Label7->Caption(), "");
  EXPECT_TRUE(velmain->SpeedButton1->Enabled());
  EXPECT_TRUE(velmain->DateTimePicker1->Enabled());
  EXPECT_FALSE(velmain->SpeedButton2->Enabled());
  EXPECT_EQ(velmain->Label6->Caption(), " 未设置闹钟时间！");
  EXPECT_TRUE(velmain->Label6->Visible());
  EXPECT_FALSE(velmain->Label23->Visible());

  // Not armed: the mode buttons leave both lines alone.
  const std::string exerciseBefore = velmain->Label23->Caption();
  velmain->RadioButton2->SetChecked(true);
  velmain->RadioButton2Click(nullptr);
  velmain->RadioButton1->SetChecked(true);
  velmain->RadioButton1Click(nullptr);
  EXPECT_EQ(velmain->Label6->Caption(), " 未设置闹钟时间！");
  EXPECT_EQ(velmain->Label23->Caption(), exerciseBefore);
  EXPECT_TRUE(velmain->Label6->Visible());

  // Set in prompt mode, then switch to exercise mode while armed.
  velmain->RadioButton2->SetChecked(true);
  velmain->DateTimePicker1->SetDateTime(ParseTimeText("07:30:00"));
  SetClock(EncodeDateTime(2026, 12, 7, 8, 0, 5));
  velmain->Timer1Timer(nullptr);
  velmain->SpeedButton1Click(nullptr);
  EXPECT_EQ(velmain->Label3->Caption(), "07:30:00");
  EXPECT_EQ(velmain->Label7->Caption(), "08:00:05");
  EXPECT_EQ(velmain->Label6->Caption(), "将在07:30:00提示！");
  EXPECT_EQ(velmain->Label5->Caption(), "将在07:30:00提示！");
  EXPECT_TRUE(velmain->Label6->Visible());
  EXPECT_FALSE(velmain->Label23->Visible());
  EXPECT_EQ(velmain->SpeedButton2->Caption(), "取消");
  velmain->RadioButton1->SetChecked(true);
  velmain->RadioButton1Click(nullptr);
  EXPECT_EQ(velmain->Label23->Caption(), "将在07:30:00\r播放眼保健操！");
  EXPECT_TRUE(velmain->Label23->Visible());
  EXPECT_FALSE(velmain->Label6->Visible());
  // An alarm earlier in the day than its arming counts to the next day's occurrence.
  EXPECT_EQ(velmain->WorkedTimeText(), "您已连续工作了23时29分55秒");
}

TEST_F(Alarm, RearmGivesRetryCaptionOneHourAfterDismissal) {
  StartOnThePopupPath(EncodeDateTime(2026, 12, 7, 10, 0, 0));
  SetClock(EncodeDateTime(2026, 12, 7, 11, 0, 42));
  velmain->Timer1Timer(nullptr);
  velmain->RearmAfterReminder();
  EXPECT_EQ(velmain->Label3->Caption(), "12:00:42");
  EXPECT_EQ(velmain->Label7->Caption(), "11:00:42");
  EXPECT_EQ(velmain->SpeedButton2->Caption(), "重来");
  EXPECT_TRUE(velmain->SpeedButton2->Enabled());
  EXPECT_FALSE(velmain->SpeedButton1->Enabled());
  EXPECT_EQ(velmain->Label6->Caption(), "将在12:00:42休息！");
  EXPECT_EQ(velmain->Label23->Caption(), "将在12:00:42\r播放眼保健操！");
  EXPECT_TRUE(velmain->Label6->Visible()) << "the line of the current mode stays the visible one";

  velmain->SpeedButton2Click(nullptr);
  EXPECT_EQ(velmain->SpeedButton2->Caption(), "取消") << "cancelling turns the retry button back";
  EXPECT_EQ(velmain->Label6->Caption(), " 未设置闹钟时间！");
}

TEST_F(Alarm, SettingInExerciseModeShowsTheExerciseLine) {
  SetClock(EncodeDateTime(2026, 12, 7, 13, 0, 0));
  velmain->ArmAtStartup();
  velmain->SpeedButton2Click(nullptr);
  velmain->DateTimePicker1->SetDateTime(ParseTimeText("13:45:10"));
  velmain->SpeedButton1Click(nullptr);
  EXPECT_EQ(velmain->Label3->Caption(), "13:45:10");
  EXPECT_EQ(velmain->Label23->Caption(), "将在13:45:10\r播放眼保健操！");
  EXPECT_EQ(velmain->Label8->Caption(), "将在13:45:10\r播放眼保健操！");
  EXPECT_TRUE(velmain->Label23->Visible());
  EXPECT_FALSE(velmain->Label6->Visible());
  EXPECT_EQ(velmain->Label7->Caption(), "13:00:00");
  EXPECT_FALSE(velmain->SpeedButton1->Enabled());
  EXPECT_EQ(velmain->SpeedButton2->Caption(), "取消");
}

TEST_F(Alarm, AnAlarmSetToTheCurrentSecondFiresAtTheNextTickInThatSecond) {
  StartOnThePopupPath(EncodeDateTime(2026, 12, 7, 16, 20, 5));
  velmain->SpeedButton2Click(nullptr);
  velmain->Timer1Timer(nullptr);
  velmain->DateTimePicker1->SetDateTime(ParseTimeText("16:20:05"));
  velmain->SpeedButton1Click(nullptr);
  bool shown = false;
  WhileModal([&] {
    shown = doeye->Showing();
    doeye->SpeedButton1Click(nullptr);
  });
  velmain->Timer1Timer(nullptr);
  EXPECT_TRUE(shown);
  EXPECT_EQ(velmain->Label3->Caption(), "17:20:05");
}

TEST_F(Alarm, WorkedTimeAcrossMidnightIsOneHour) {
  SetClock(EncodeDateTime(2026, 12, 7, 23, 30, 0));
  velmain->ArmAtStartup();
  EXPECT_EQ(velmain->Label3->Caption(), "00:30:00");
  EXPECT_EQ(velmain->WorkedTimeText(), "您已连续工作了1时0分0秒");
}

TEST_F(Alarm, FiresOnceAtItsSecondOnThePopupPathAndTheClockKeepsTicking) {
  StartOnThePopupPath(EncodeDateTime(2026, 12, 7, 14, 0, 0));
  SetClock(EncodeDateTime(2026, 12, 7, 14, 59, 59));
  velmain->Timer1Timer(nullptr);
  EXPECT_FALSE(doeye->Showing());

  int shown = 0;
  bool trayActiveDuringReminder = true;
  std::string clockDuringReminder;
  WhileModal([&] {
    ++shown;
    trayActiveDuringReminder = TrayIcon1->Active();
    // A second tick in the same second finds the reminder already up and shows nothing.
    velmain->Timer1Timer(nullptr);
    SetClock(EncodeDateTime(2026, 12, 7, 15, 0, 1));
    velmain->Timer1Timer(nullptr);
    clockDuringReminder = velmain->Label2->Caption();
    doeye->SpeedButton1Click(nullptr);
  });
  SetClock(EncodeDateTime(2026, 12, 7, 15, 0, 0));
  velmain->Timer1Timer(nullptr);
  EXPECT_EQ(shown, 1);
  EXPECT_FALSE(trayActiveDuringReminder);
  EXPECT_EQ(clockDuringReminder, "15:00:01");
  EXPECT_FALSE(doeye->Showing());
  EXPECT_TRUE(TrayIcon1->Active()) << "the reminder puts the tray icon back when it closes";
  EXPECT_EQ(velmain->SpeedButton2->Caption(), "重来");
  EXPECT_EQ(velmain->Label3->Caption(), "16:00:01");
}

TEST_F(Alarm, APopupMadeOnlyWhenTheReminderIsDueShowsAndCloses) {
  // As in the program, which makes the reminder windows when the first reminder is due.
  delete doeye;
  doeye = nullptr;
  StartOnThePopupPath(EncodeDateTime(2026, 12, 7, 14, 0, 0));
  SetClock(EncodeDateTime(2026, 12, 7, 14, 59, 59));
  velmain->Timer1Timer(nullptr);
  SetClock(EncodeDateTime(2026, 12, 7, 15, 0, 0));
  bool shown = false;
  WhileModal([&] {
    shown = doeye && doeye->Showing();
    if (doeye) doeye->SpeedButton1Click(nullptr);
  });
  velmain->Timer1Timer(nullptr);
  EXPECT_TRUE(shown);
  ASSERT_NE(doeye, nullptr);
  EXPECT_FALSE(doeye->Showing());
}

TEST_F(Alarm, ALateTickStillFiresAndALongSleepStartsAfresh) {
  StartOnThePopupPath(EncodeDateTime(2026, 12, 7, 9, 30, 0));
  SetClock(EncodeDateTime(2026, 12, 7, 10, 29, 58));
  velmain->Timer1Timer(nullptr);
  int shown = 0;
  WhileModal([&] {
    ++shown;
    doeye->SpeedButton1Click(nullptr);
  });
  // The machine was too busy to tick in the alarm's second.
  SetClock(EncodeDateTime(2026, 12, 7, 10, 30, 3));
  velmain->Timer1Timer(nullptr);
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(velmain->Label3->Caption(), "11:30:03");

  // A night asleep over the next alarm: no stale reminder; the alarm and the worked time restart.
  WhileModal([&] {
    ++shown;
    doeye->SpeedButton1Click(nullptr);
  });
  SetClock(EncodeDateTime(2026, 12, 8, 7, 0, 0));
  velmain->Timer1Timer(nullptr);
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(velmain->Label3->Caption(), "08:00:00");
  EXPECT_EQ(velmain->Label7->Caption(), "07:00:00");
  EXPECT_EQ(velmain->Label6->Caption(), "将在08:00:00休息！");
}

TEST_F(Alarm, TheLockSecondsStayWithinAnHour) {
  TSpinEdit& seconds = *velmain->SpinEdit1;
  const int before = seconds.Value();
  seconds.SetText("30000");
  EXPECT_EQ(seconds.Value(), 3600);
  seconds.SetText("-5");
  EXPECT_EQ(seconds.Value(), 0);
  seconds.SetValue(before);
}

TEST_F(Alarm, LockPathHidesTaskbarAndPointerDuringTheRestWindowAndGivesThemAndActivationBack) {
  HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
  ASSERT_NE(taskbar, nullptr) << "tests run inside a virtual desktop with a taskbar";
  SetForegroundWindow(velmain->Handle());
  Application->ProcessMessages();
  ASSERT_EQ(GetForegroundWindow(), velmain->Handle());
  StartOnThePopupPath(EncodeDateTime(2026, 12, 7, 9, 0, 0));
  velmain->CheckBox1->SetChecked(true);
  SetClock(EncodeDateTime(2026, 12, 7, 9, 59, 59));
  velmain->Timer1Timer(nullptr);
  SetClock(EncodeDateTime(2026, 12, 7, 10, 0, 0));

  const int cursorBefore = CursorDisplayCount();
  bool taskbarVisible = true;
  int cursorCount = 0;
  bool restShown = false;
  WhileModal([&] {
    restShown = doeye2->Showing();
    taskbarVisible = IsWindowVisible(taskbar) != FALSE;
    cursorCount = CursorDisplayCount();
    EXPECT_FALSE(TrayIcon1->Active());
    // Let the countdown run out so that the pointer comes back, then return.
    for (int tick = 0; tick < 40 && !doeye2->SpeedButton1->Visible(); ++tick) doeye2->Timer2Timer(nullptr);
    doeye2->SpeedButton1Click(nullptr);
  });
  velmain->Timer1Timer(nullptr);
  EXPECT_TRUE(restShown);
  EXPECT_FALSE(taskbarVisible);
  EXPECT_EQ(cursorCount, cursorBefore - 1);
  EXPECT_EQ(CursorDisplayCount(), cursorBefore);
  EXPECT_TRUE(IsWindowVisible(taskbar));
  EXPECT_TRUE(TrayIcon1->Active());
  Application->ProcessMessages();
  EXPECT_EQ(GetForegroundWindow(), velmain->Handle()) << "the window that was active before the rest is active again";
}

}  // namespace
