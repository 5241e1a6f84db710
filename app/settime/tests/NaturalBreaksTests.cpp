// Time away as rest on the real main window: the system's own last-input tick moved by input that
// goes through the system's input queue, and the session notices as the system sends them.
#include <gtest/gtest.h>

#include <windows.h>

#include <wtsapi32.h>

#include "app/alarm/TimeText.h"
#include "app/settime/Velmain.h"
#include "app/settime/tests/AppFixture.h"
#include "framework/controls/Application.h"
#include "framework/controls/tests/MessagePump.h"
#include "reminders/eye/Doeye.h"

namespace {

class NaturalBreaks : public AppFixture {
protected:
  void SetUp() override {
    velmain->CheckBox2->SetChecked(true);
    velmain->SpinEdit2->SetValue(1);
    velmain->RadioButton2->SetChecked(true);
  }
  void TearDown() override {
    SendMessageW(velmain->Handle(), WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK, 0);
    velmain->SpinEdit2->SetValue(5);
    AppFixture::TearDown();
  }
  // Closes a reminder that shows within the next tick; the action may run later, in any loop.
  void CountReminders(int& shown) {
    WhileModal([&shown] {
      if (!doeye->Showing()) return;
      ++shown;
      doeye->SpeedButton1Click(nullptr);
    });
  }
  static DWORD LastInput() {
    LASTINPUTINFO info{sizeof info, 0};
    EXPECT_TRUE(GetLastInputInfo(&info));
    return info.dwTime;
  }
  // Wine turns the pointer's entering the first windows into input, delivered once the message
  // loop runs: it is let in before the test counts on there being none.
  static void SettleInput() {
    DWORD last = LastInput();
    DWORD since = GetTickCount();
    PumpUntil(
        [&] {
          if (LastInput() != last) {
            last = LastInput();
            since = GetTickCount();
          }
          return GetTickCount() - since >= 300;
        },
        5000);
  }
  // Started at 10:00:00, the alarm set for 10:01:00 and ticked once right before it.
  static void ArmForOneMinute() {
    SetClock(EncodeDateTime(2026, 12, 7, 10, 0, 0));
    velmain->ArmAtStartup();
    velmain->RadioButton2->SetChecked(true);
    velmain->SpeedButton2Click(nullptr);
    velmain->DateTimePicker1->SetDateTime(ParseTimeText("10:01:00"));
    velmain->SpeedButton1Click(nullptr);
    Tick(10, 0, 59);
  }
  static void Tick(int h, int m, int s) {
    SetClock(EncodeDateTime(2026, 12, 7, h, m, s));
    velmain->Timer1Timer(nullptr);
  }
};

TEST_F(NaturalBreaks, AMinuteWithoutInputOverTheAlarmShowsNothingAndTheNextInputRearmsAnHourAhead) {
  velmain->SetInputSource({});
  SettleInput();
  ArmForOneMinute();
  ASSERT_FALSE(velmain->Away());
  int shown = 0;
  CountReminders(shown);
  Tick(10, 1, 0);
  EXPECT_TRUE(velmain->Away());
  Tick(10, 1, 30);
  Application->ProcessMessages();
  EXPECT_EQ(shown, 0) << "a reminder was shown to nobody";
  EXPECT_EQ(velmain->Label3->Caption(), "10:01:00");

  // A posted message is no input; a mouse movement through the input queue is.
  const DWORD before = LastInput();
  PostMessageW(velmain->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
  PostMessageW(velmain->Handle(), WM_KEYDOWN, VK_SHIFT, 0);
  Application->ProcessMessages();
  Tick(10, 1, 45);
  EXPECT_TRUE(velmain->Away());
  EXPECT_EQ(LastInput(), before);
  INPUT moves[2] = {};
  for (INPUT& move : moves) {
    move.type = INPUT_MOUSE;
    move.mi.dwFlags = MOUSEEVENTF_MOVE;
  }
  moves[0].mi.dx = 1;
  moves[1].mi.dx = -1;
  ASSERT_EQ(SendInput(2, moves, sizeof(INPUT)), 2u);
  ASSERT_TRUE(PumpUntil([&] { return LastInput() != before; }, 5000)) << "the input never reached the system";

  Tick(10, 2, 0);
  EXPECT_FALSE(velmain->Away());
  EXPECT_EQ(velmain->Label3->Caption(), "11:02:00");
  EXPECT_EQ(velmain->Label7->Caption(), "10:02:00") << "the worked time counts from the return";
  EXPECT_EQ(velmain->Label6->Caption(), "将在11:02:00休息！");
  EXPECT_EQ(velmain->SpeedButton2->Caption(), "重来");
}

TEST_F(NaturalBreaks, AShortLockOverTheAlarmShowsTheReminderAtTheUnlockAndALostUnlockNoticeEndsAtTheNextInput) {
  velmain->SpinEdit2->SetValue(5);
  // Nobody's input behind the lock.
  uint32_t input = 1;
  velmain->SetInputSource([&input] { return input; });
  ArmForOneMinute();
  SendMessageW(velmain->Handle(), WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, 0);
  int shown = 0;
  CountReminders(shown);
  Tick(10, 1, 0);
  Application->ProcessMessages();
  EXPECT_EQ(shown, 0);
  SendMessageW(velmain->Handle(), WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK, 0);
  CountReminders(shown);
  Tick(10, 1, 20);
  EXPECT_EQ(shown, 1) << "twenty seconds locked are no rest";
  EXPECT_EQ(velmain->Label3->Caption(), "11:01:20");

  // The unlock notice never comes: the first input asks the session itself, which is unlocked.
  ArmForOneMinute();
  SendMessageW(velmain->Handle(), WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, 0);
  Tick(10, 1, 0);
  Tick(10, 8, 0);
  EXPECT_TRUE(velmain->Away());
  ++input;
  Tick(10, 8, 1);
  EXPECT_FALSE(velmain->Away());
  EXPECT_EQ(velmain->Label3->Caption(), "11:08:01") << "the reminder skipped in the absence is re-armed";

  // Switched off, the alarm rings for the locked session as it always did.
  velmain->CheckBox2->SetChecked(false);
  EXPECT_FALSE(velmain->SpinEdit2->Enabled());
  ArmForOneMinute();
  SendMessageW(velmain->Handle(), WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, 0);
  CountReminders(shown);
  Tick(10, 1, 0);
  SendMessageW(velmain->Handle(), WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK, 0);
  EXPECT_EQ(shown, 2);
}

TEST_F(NaturalBreaks, BackFromABreakTheNextReminderIsAnHourAfterTheReturnAndAnOwedRearmSurvivesTheSwitch) {
  uint32_t input = 1;
  velmain->SetInputSource([&input] { return input; });
  const auto armFor = [](const char* alarm) {
    ArmForOneMinute();
    velmain->SpeedButton2Click(nullptr);
    velmain->DateTimePicker1->SetDateTime(ParseTimeText(alarm));
    velmain->SpeedButton1Click(nullptr);
  };
  armFor("10:30:00");
  for (int minute = 1; minute <= 28; ++minute) Tick(10, minute, 0);
  EXPECT_TRUE(velmain->Away());
  ++input;
  Tick(10, 28, 30);
  EXPECT_EQ(velmain->Label3->Caption(), "11:28:30") << "not 10:30:00, two minutes after the return";
  EXPECT_EQ(velmain->Label7->Caption(), "10:28:30");

  // A reminder skipped while away, and the first input unticks the setting: the re-arm stays owed.
  armFor("10:05:00");
  for (int minute = 1; minute <= 6; ++minute) Tick(10, minute, 0);
  ASSERT_TRUE(velmain->Away());
  ++input;
  velmain->CheckBox2->SetChecked(false);
  Tick(10, 6, 1);
  EXPECT_EQ(velmain->Label3->Caption(), "11:06:01");
  velmain->CheckBox2->SetChecked(true);
}

}  // namespace
