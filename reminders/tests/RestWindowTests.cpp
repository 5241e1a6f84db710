#include <gtest/gtest.h>

#include "app/alarm/TimeText.h"
#include "app/settime/TrayIcon.h"
#include "app/settime/Velmain.h"
#include "framework/controls/Application.h"
#include "reminders/audio/ExerciseAudio.h"
#include "reminders/eye2/Doeye2.h"
#include "reminders/tests/ReminderHarness.h"

using namespace reminder_test;

namespace {

// The test runs the countdown itself, one call per second that would have passed.
void Tick(int times = 1) {
  for (int i = 0; i < times; ++i) doeye2->Timer2Timer(doeye2->Timer2);
}

void StopRealCountdown() {
  EXPECT_TRUE(doeye2->Timer2->Enabled()) << "the show did not start the countdown";
  doeye2->Timer2->SetEnabled(false);
}

bool ReturnOffered() { return doeye2->SpeedButton1->Visible() && !doeye2->Label3->Visible(); }

TEST(RestWindow, CountsDownTheLockSecondsThenOffersTheReturnButtonAndThePointer) {
  SetClock(9, 0, 0);
  const int pointer = CursorCount();
  ASSERT_TRUE(TaskbarVisible());
  Fire({.lockScreen = true, .exercise = false, .lockSeconds = 2, .workStart = "08:15:30"}, [&] {
    EXPECT_TRUE(doeye2->Showing());
    EXPECT_FALSE(TaskbarVisible());
    EXPECT_FALSE(TrayIcon1->Active());
    EXPECT_EQ(CursorCount(), pointer - 1);
    EXPECT_EQ(GetWindowLongPtrW(doeye2->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST, WS_EX_TOPMOST);
    EXPECT_EQ(doeye2->Label1->Caption(), "您已连续工作了0时44分30秒");
    EXPECT_EQ(doeye2->Label2->Caption(), "\r\r\r休息一下吧！");
    EXPECT_FALSE(doeye2->BitBtn1->Visible());
    EXPECT_FALSE(FileExists(AudioPath()));
    EXPECT_EQ(doeye2->Label3->Caption(), "");
    EXPECT_FALSE(doeye2->SpeedButton1->Visible());
    StopRealCountdown();

    // The window covers the screen; the buttons stay centred at the design's share of the height.
    RECT workArea{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    EXPECT_TRUE(IsZoomed(doeye2->Handle()));
    EXPECT_EQ(doeye2->ClientWidth(), GetSystemMetrics(SM_CXSCREEN));
    EXPECT_GE(doeye2->ClientHeight(), workArea.bottom - workArea.top);
    EXPECT_EQ(doeye2->Label3->Top() + doeye2->Label3->Height(), doeye2->ClientHeight());
    EXPECT_EQ(doeye2->BitBtn1->Left(), (doeye2->ClientWidth() - 100) / 2);
    EXPECT_EQ(doeye2->SpeedButton1->Top(), MulDiv(596, doeye2->ClientHeight(), 712));

    // A click where the hidden return button sits does nothing.
    ClickAt(*doeye2->SpeedButton1);
    EXPECT_EQ(doeye2->ModalResult(), mrNone);

    Tick();
    EXPECT_EQ(doeye2->Label3->Caption(), "锁屏1秒");
    Tick();
    EXPECT_EQ(doeye2->Label3->Caption(), "锁屏0秒");
    EXPECT_FALSE(doeye2->SpeedButton1->Visible());
    EXPECT_EQ(CursorCount(), pointer - 1);
    Tick();
    EXPECT_TRUE(ReturnOffered());
    EXPECT_EQ(doeye2->Label3->Caption(), "");
    EXPECT_EQ(CursorCount(), pointer);
    Tick(3);  // later ticks change nothing
    EXPECT_TRUE(ReturnOffered());
    EXPECT_EQ(CursorCount(), pointer);

    ClickAt(*doeye2->SpeedButton1);
  });
  EXPECT_TRUE(TaskbarVisible());
  EXPECT_TRUE(TrayIcon1->Active());
  EXPECT_FALSE(doeye2->Timer2->Enabled());
  EXPECT_EQ(velmain->Label3->Caption(), "10:00:00");
  EXPECT_EQ(velmain->SpeedButton2->Caption(), "重来");
  EXPECT_EQ(CursorCount(), pointer);
}

TEST(RestWindow, NoLockSecondsMeansTheReturnButtonAtTheFirstTick) {
  for (const int seconds : {0, -5}) {
    Fire({.lockScreen = true, .exercise = false, .lockSeconds = seconds}, [] {
      // The real countdown this time: its first tick comes a second after the show.
      EXPECT_FALSE(ReturnOffered());
      EXPECT_TRUE(PumpUntil(ReturnOffered, 2500)) << "no return button";
      EXPECT_EQ(doeye2->Label3->Caption(), "");
      ClickAt(*doeye2->SpeedButton1);
    });
  }
}

// Another program clicks 返回 once it is offered, at its corners and its middle, while the rest
// window runs its own loop with the animation and the guide playing: the window answers at once
// and goes.
TEST(RestWindow, PostedClicksAnywhereOnTheReturnButtonEndTheRestWithoutHoldingTheWindowUp) {
  for (int point = 0; point < 4; ++point) {
    SetClock(20, point, 0);
    bool answered = false;
    bool closed = false;
    FireAndDrive({.lockScreen = true, .exercise = true, .lockSeconds = 1}, [&, point](HWND rest) {
      for (int waited = 0; waited < 4000 && !ReturnOffered(); waited += 20) Sleep(20);
      const TControl& b = *doeye2->SpeedButton1;
      const int x[] = {b.Left() + 3, b.Left() + b.Width() - 4, b.Left() + 3, b.Left() + b.Width() / 2};
      const int y[] = {b.Top() + 3, b.Top() + 3, b.Top() + b.Height() - 4, b.Top() + b.Height() / 2};
      const LPARAM at = MAKELPARAM(x[point], y[point]);
      DWORD_PTR result = 0;
      answered = SendMessageTimeoutW(rest, WM_MOUSEMOVE, 0, at, SMTO_NORMAL, 5000, &result) != 0;
      PostMessageW(rest, WM_LBUTTONDOWN, MK_LBUTTON, at);
      Sleep(50);
      PostMessageW(rest, WM_LBUTTONUP, 0, at);
      closed = WaitUntilHidden(rest, 5000);
    });
    EXPECT_TRUE(answered) << "point " << point;
    EXPECT_TRUE(closed) << "point " << point;
  }
}

TEST(RestWindow, NoKeyClosesTheWindowOrPressesAButtonBeforeOrAfterTheCountdown) {
  SetClock(10, 30, 0);
  Fire({.lockScreen = true, .exercise = true, .lockSeconds = 1}, [] {
    StopRealCountdown();
    ASSERT_TRUE(doeye2->BitBtn1->Visible());
    doeye2->BitBtn1->SetFocus();
    const std::string alarm = velmain->Label3->Caption();
    std::vector<uint16_t> seen;
    const TKeyEvent swallow = doeye2->OnKeyDown;
    doeye2->OnKeyDown = [&](TObject* sender, uint16_t& key, TShiftState shift) {
      seen.push_back(key);
      swallow(sender, key, shift);
    };
    const auto tryEveryKey = [&] {
      seen.clear();
      Type(VK_F4, VK_MENU);
      Type(VK_ESCAPE);
      Type(VK_SPACE);
      Type(VK_RETURN);
      Type(VK_TAB);
      Type('P', VK_MENU);
      SendMessageW(doeye2->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
      // Swallowed before any window, this one included, saw them.
      EXPECT_TRUE(seen.empty());
      EXPECT_EQ(doeye2->ModalResult(), mrNone) << "closed";
      EXPECT_EQ(doeye2->BitBtn1->Caption(), kPauseCaption);
      // The two-second test tone may have ended on a slow machine; what must not happen is a pause.
      EXPECT_NE(doeye2->MediaPlayer1->Mode(), TMPModes::mpPaused);
      EXPECT_EQ(velmain->Label3->Caption(), alarm);
    };
    tryEveryKey();
    EXPECT_FALSE(doeye2->SpeedButton1->Visible());
    Tick(2);
    ASSERT_TRUE(ReturnOffered());
    tryEveryKey();
    doeye2->OnKeyDown = swallow;
    ClickAt(*doeye2->SpeedButton1);
  });
  EXPECT_FALSE(FileExists(AudioPath()));
  EXPECT_FALSE(doeye2->MediaPlayer1->IsOpen());
  EXPECT_EQ(velmain->Label3->Caption(), "11:30:00");
}

TEST(RestWindow, ThePointerCountStaysBalancedOverManyRestWindows) {
  const int pointer = CursorCount();
  for (int round = 0; round < 3; ++round) {
    Fire({.lockScreen = true, .exercise = false, .lockSeconds = 1}, [&] {
      StopRealCountdown();
      EXPECT_EQ(CursorCount(), pointer - 1) << "round " << round;
      Tick(2);
      EXPECT_EQ(CursorCount(), pointer) << "round " << round;
      ClickAt(*doeye2->SpeedButton1);
    });
    EXPECT_EQ(CursorCount(), pointer) << "round " << round;
    EXPECT_TRUE(TaskbarVisible());
  }
  // Closed by the program while still locked: the pointer comes back with the taskbar.
  Fire({.lockScreen = true, .exercise = false, .lockSeconds = 5}, [&] {
    StopRealCountdown();
    doeye2->Timer2->SetEnabled(true);
    doeye2->Close();
  });
  EXPECT_EQ(CursorCount(), pointer);
  EXPECT_FALSE(doeye2->Timer2->Enabled());
  EXPECT_TRUE(TaskbarVisible());
}

TEST(RestWindow, AudioThatCannotBePreparedIsReportedInFrontAndTheLockStillEnds) {
  Errors().clear();
  SetClock(18, 0, 0);
  WriteStale(AudioPath(), true);
  const int pointer = CursorCount();
  bool reportedWhileUp = false;
  int pointerDuringReport = -1;
  Application->OnException = [&](const std::exception& error) {
    Errors().push_back(error.what());
    reportedWhileUp = doeye2->Showing();
    pointerDuringReport = CursorCount();
  };
  Fire({.lockScreen = true, .exercise = true, .lockSeconds = 1}, [&] {
    ASSERT_TRUE(PumpUntil([] { return !Errors().empty(); }, 1000));
    EXPECT_NE(Errors()[0].find("Cannot create file"), std::string::npos) << Errors()[0];
    EXPECT_TRUE(reportedWhileUp) << "the report came before the window was up";
    EXPECT_EQ(pointerDuringReport, pointer) << "the pointer was hidden during the report";
    EXPECT_EQ(CursorCount(), pointer - 1);
    StopRealCountdown();
    Tick(2);
    EXPECT_TRUE(ReturnOffered());
    ClickAt(*doeye2->SpeedButton1);
  });
  Application->OnException = [](const std::exception& error) { Errors().push_back(error.what()); };
  EXPECT_EQ(velmain->Label3->Caption(), "19:00:00");
  EXPECT_EQ(Errors().size(), 1u);
  RemoveFile(AudioPath());
}

}  // namespace
