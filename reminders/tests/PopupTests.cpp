#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

#include "app/alarm/TimeText.h"
#include "app/settime/TrayIcon.h"
#include "app/settime/Velmain.h"
#include "framework/core/Clock.h"
#include "reminders/audio/ExerciseAudio.h"
#include "reminders/eye/Doeye.h"
#include "reminders/tests/ReminderHarness.h"
#include "framework/controls/tests/RealInput.h"

using namespace reminder_test;

namespace {

// The harness pumps through the application, as the program does.
using reminder_test::Pump;
using reminder_test::PumpUntil;

// After the return button: the player let go, the file is gone, the alarm is one hour after
// the dismissal (the clock stands still in these tests), and the tray icon is back.
void ExpectDismissed(const std::string& dismissedAt) {
  EXPECT_FALSE(doeye->MediaPlayer1->IsOpen());
  EXPECT_FALSE(FileExists(AudioPath()));
  EXPECT_EQ(velmain->Label3->Caption(), FormatTimeText(ParseTimeText(dismissedAt) + kOneHour));
  EXPECT_EQ(velmain->Label7->Caption(), dismissedAt);
  EXPECT_EQ(velmain->SpeedButton2->Caption(), "重来");
  EXPECT_TRUE(velmain->Armed());
  EXPECT_TRUE(TrayIcon1->Active());
}

TEST(Popup, ExerciseModePlaysAFreshCopyPausesAndContinuesThenReturnRearms) {
  Errors().clear();
  SetClock(11, 5, 3);
  WriteStale(AudioPath());
  Fire({.exercise = true, .workStart = "10:00:00"}, [] {
    EXPECT_TRUE(doeye->Showing());
    EXPECT_EQ(GetWindowLongPtrW(doeye->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST, WS_EX_TOPMOST);
    EXPECT_EQ(doeye->Caption(), "休息一下吧！");
    EXPECT_EQ(doeye->Label1->Caption(), "\r您已连续工作了1时5分3秒");
    EXPECT_EQ(doeye->Label2->Caption(), "   正在播放眼保健操...");
    EXPECT_EQ(doeye->Label2->Font()->Size(), 11);
    EXPECT_TRUE(doeye->BitBtn1->Visible());
    EXPECT_EQ(doeye->BitBtn1->Caption(), kPauseCaption);
    EXPECT_FALSE(TrayIcon1->Active());
    // The stale copy was replaced by the whole resource.
    EXPECT_EQ(FileSize(AudioPath()), AudioResourceSize());

    TMediaPlayer& player = *doeye->MediaPlayer1;
    ASSERT_TRUE(player.IsOpen());
    ASSERT_TRUE(PumpUntil([&] { return player.Position() > 300; }, 3000)) << "the audio does not play";

    PressButton(*doeye->BitBtn1);
    EXPECT_EQ(doeye->BitBtn1->Caption(), kContinueCaption);
    EXPECT_EQ(player.Mode(), TMPModes::mpPaused);
    const int64_t paused = player.Position();
    Pump(300);
    EXPECT_NEAR(static_cast<double>(player.Position()), static_cast<double>(paused), 40);

    PressButton(*doeye->BitBtn1);
    EXPECT_EQ(doeye->BitBtn1->Caption(), kPauseCaption);
    EXPECT_EQ(player.Mode(), TMPModes::mpPlaying);
    EXPECT_TRUE(PumpUntil([&] { return player.Position() > paused + 100; }, 2000));
    EXPECT_GE(player.Position(), paused) << "playing on started again from the beginning";

    ClickAt(*doeye->SpeedButton1);
  });
  ExpectDismissed("11:05:03");
  EXPECT_TRUE(Errors().empty());
}

TEST(Popup, AfterTheAudioEndedTheFirstPressOnlyFlipsAndTheSecondPlaysFromTheStart) {
  SetClock(12, 0, 0);
  Fire({.exercise = true}, [] {
    TMediaPlayer& player = *doeye->MediaPlayer1;
    ASSERT_TRUE(PumpUntil([&] { return player.Mode() != TMPModes::mpPlaying; }, 6000)) << "the audio did not end";
    EXPECT_EQ(doeye->BitBtn1->Caption(), kPauseCaption);

    PressButton(*doeye->BitBtn1);
    EXPECT_EQ(doeye->BitBtn1->Caption(), kContinueCaption);
    EXPECT_NE(player.Mode(), TMPModes::mpPlaying);

    PressButton(*doeye->BitBtn1);
    EXPECT_EQ(doeye->BitBtn1->Caption(), kPauseCaption);
    EXPECT_EQ(player.Mode(), TMPModes::mpPlaying);
    EXPECT_LT(player.Position(), 700);

    // Left paused: the next reminder must not inherit that.
    PressButton(*doeye->BitBtn1);
    EXPECT_EQ(doeye->BitBtn1->Caption(), kContinueCaption);
    ClickAt(*doeye->SpeedButton1);
  });
  ExpectDismissed("12:00:00");

  SetClock(13, 0, 0);
  Fire({.exercise = true}, [] {
    EXPECT_EQ(doeye->BitBtn1->Caption(), kPauseCaption);
    EXPECT_EQ(FileSize(AudioPath()), AudioResourceSize());
    EXPECT_EQ(doeye->MediaPlayer1->Mode(), TMPModes::mpPlaying);
    EXPECT_LT(doeye->MediaPlayer1->Position(), 700);
    ClickAt(*doeye->SpeedButton1);
  });
  ExpectDismissed("13:00:00");
}

TEST(Popup, EveryWayOfClosingItEndsTheReminderAsTheReturnButtonDoes) {
  Errors().clear();
  const std::pair<const char*, std::function<void(HWND)>> ways[] = {
      {"Alt+F4", [](HWND w) { SendMessageW(w, WM_SYSKEYDOWN, VK_F4, 1 << 29); }},
      {"WM_CLOSE from outside", [](HWND w) { PostMessageW(w, WM_CLOSE, 0, 0); }},
      {"the end of the session", [](HWND) { doeye->EndForSession(); }},
  };
  for (const auto& [way, close] : ways) {
    SCOPED_TRACE(way);
    SetClock(12, 10, 0);
    Fire({.exercise = true}, [&] {
      ASSERT_TRUE(doeye->MediaPlayer1->IsOpen());
      close(doeye->Handle());
      ASSERT_TRUE(PumpUntil([] { return doeye->ModalResult() != mrNone; }, 2000)) << "still up";
    });
    ExpectDismissed("12:10:00");
  }
  EXPECT_TRUE(Errors().empty());
}

TEST(Popup, RemindOnlyModeWritesNoFileHidesThePauseButtonAndShowsZeroWorkedTime) {
  Errors().clear();
  SetClock(14, 30, 0);
  WriteStale(AudioPath());
  const uint64_t stale = FileSize(AudioPath());
  Fire({.exercise = false}, [&] {
    EXPECT_EQ(doeye->Caption(), "松影提醒您了！");
    EXPECT_EQ(doeye->Label1->Caption(), "\r您已连续工作了0时0分0秒");
    EXPECT_EQ(doeye->Label2->Caption(), "  休息一下吧！");
    EXPECT_EQ(doeye->Label2->Font()->Size(), 20);
    EXPECT_FALSE(doeye->BitBtn1->Visible());
    EXPECT_EQ(FileSize(AudioPath()), stale) << "remind-only mode wrote the audio";
    EXPECT_FALSE(doeye->MediaPlayer1->IsOpen());
    ClickAt(*doeye->SpeedButton1);
  });
  ExpectDismissed("14:30:00");
  EXPECT_EQ(velmain->Label6->Caption(), "将在15:30:00休息！");
  EXPECT_TRUE(Errors().empty());
}

// The colours read back from the popup at (x, y) and the pixel below it: an oval's edge may fall
// on either row.
std::vector<COLORREF> ColumnPair(int x, int y) {
  UpdateWindow(doeye->Handle());
  HDC dc = GetDC(doeye->Handle());
  std::vector<COLORREF> pair{GetPixel(dc, x, y), GetPixel(dc, x, y + 1)};
  ReleaseDC(doeye->Handle(), dc);
  return pair;
}

bool Has(const std::vector<COLORREF>& pixels, int sysColor) {
  return std::find(pixels.begin(), pixels.end(), GetSysColor(sysColor)) != pixels.end();
}

TEST(Popup, TheReturnButtonsHoverAndPressedFramesFollowItsOval) {
  SetClock(16, 0, 0);
  Fire({.exercise = false}, [] {
    const TControl& b = *doeye->SpeedButton1;
    const LPARAM centre = MAKELPARAM(b.Left() + b.Width() / 2, b.Top() + b.Height() / 2);
    const int middle = b.Left() + b.Width() / 2;
    const std::vector<COLORREF> corner = ColumnPair(b.Left(), b.Top());
    SendMessageW(doeye->Handle(), WM_MOUSEMOVE, 0, centre);
    EXPECT_TRUE(Has(ColumnPair(middle, b.Top()), COLOR_BTNHIGHLIGHT)) << "lit from above";
    EXPECT_TRUE(Has(ColumnPair(middle, b.Top() + b.Height() - 2), COLOR_BTNSHADOW)) << "shaded below";
    EXPECT_EQ(ColumnPair(b.Left(), b.Top()), corner) << "the frame is not a rectangle";
    SendMessageW(doeye->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, centre);
    EXPECT_TRUE(Has(ColumnPair(middle, b.Top()), COLOR_BTNSHADOW)) << "pressed in";
    EXPECT_EQ(ColumnPair(b.Left(), b.Top()), corner);
    SendMessageW(doeye->Handle(), WM_LBUTTONUP, 0, centre);
  });
  EXPECT_FALSE(doeye->Showing());
}

// Clicks as another program posts them: the pointer never moves, the button is under no real
// pointer, and the press follows the resumed guide closely.
TEST(Popup, ReturnTakesAPostedClickRightAfterTheGuideIsPausedAndResumed) {
  for (int round = 0; round < 4; ++round) {
    SetClock(18, round, 0);
    bool closedByClick = false;
    FireAndDrive({.exercise = true}, [&closedByClick](HWND popup) {
      HWND pause = doeye->BitBtn1->Handle();
      SendMessageW(pause, BM_CLICK, 0, 0);
      SendMessageW(pause, BM_CLICK, 0, 0);
      Sleep(500);
      const TControl& b = *doeye->SpeedButton1;
      const LPARAM centre = MAKELPARAM(b.Left() + b.Width() / 2, b.Top() + b.Height() / 2);
      SendMessageW(popup, WM_MOUSEMOVE, 0, centre);
      PostMessageW(popup, WM_LBUTTONDOWN, MK_LBUTTON, centre);
      Sleep(50);
      PostMessageW(popup, WM_LBUTTONUP, 0, centre);
      closedByClick = WaitUntilHidden(popup, 3000);
    });
    EXPECT_TRUE(closedByClick) << "round " << round;
  }
}

// A user's hand: the pointer jumps to the pause button, clicks, jumps to 返回, rests there a
// moment and clicks. Four reminders in a row, each with another rest before the click.
TEST(Popup, RealClicksPauseTheGuideAndThenReturnFourTimesInARow) {
  const int rests[] = {400, 700, 1000, 1500};
  for (int round = 0; round < 4; ++round) {
    SetClock(19, round, 0);
    Fire({.exercise = true}, [&, round] {
      HWND popup = doeye->Handle();
      RECT pause{};
      GetWindowRect(doeye->BitBtn1->Handle(), &pause);
      MapWindowPoints(nullptr, popup, reinterpret_cast<POINT*>(&pause), 2);
      ASSERT_TRUE(real_input::MoveTo(real_input::ScreenCentre(popup, pause)));
      ASSERT_TRUE(real_input::Click());
      EXPECT_EQ(doeye->BitBtn1->Caption(), kContinueCaption) << "round " << round;

      const TRect back = doeye->SpeedButton1->BoundsRect();
      ASSERT_TRUE(real_input::MoveTo(real_input::ScreenCentre(popup, {back.Left, back.Top, back.Right, back.Bottom})));
      Pump(rests[round]);
      ASSERT_TRUE(real_input::Click());
      EXPECT_TRUE(PumpUntil([] { return doeye->ModalResult() != mrNone; }, 2000)) << "round " << round;
    });
  }
}

TEST(Popup, AStaleFileThatCannotBeReplacedIsReportedAndTheReturnButtonStillWorks) {
  Errors().clear();
  SetClock(16, 0, 0);
  WriteStale(AudioPath(), true);
  // A pause button left showing by an earlier exercise reminder.
  doeye->BitBtn1->SetVisible(true);
  Fire({.exercise = true}, [] {
    ASSERT_EQ(Errors().size(), 1u);
    EXPECT_NE(Errors()[0].find("Cannot create file"), std::string::npos) << Errors()[0];
    EXPECT_TRUE(doeye->Showing());
    EXPECT_FALSE(doeye->MediaPlayer1->IsOpen());

    const std::string caption = doeye->BitBtn1->Caption();
    PressButton(*doeye->BitBtn1);
    ASSERT_EQ(Errors().size(), 2u);
    EXPECT_EQ(Errors()[1], "No MCI device open");
    EXPECT_EQ(doeye->BitBtn1->Caption(), caption);
    ClickAt(*doeye->SpeedButton1);
  });
  EXPECT_EQ(velmain->Label3->Caption(), "17:00:00");
  EXPECT_TRUE(TrayIcon1->Active());
  EXPECT_EQ(Errors().size(), 2u);
  RemoveFile(AudioPath());
}

}  // namespace
