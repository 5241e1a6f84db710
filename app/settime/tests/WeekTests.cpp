// A simulated week of hourly reminders, every one dismissed by the user: none is missed, none
// fires twice, and the process does not accumulate window-system objects.
#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>

#include "app/alarm/TimeText.h"
#include "app/settime/TrayIcon.h"
#include "app/settime/Velmain.h"
#include "app/settime/tests/AppFixture.h"
#include "framework/controls/tests/GuiObjectCount.h"
#include "reminders/eye/Doeye.h"
#include "reminders/eye2/Doeye2.h"

namespace {

class Week : public AppFixture {};

TEST_F(Week, HourlyRemindersForSevenDaysEachFireExactlyOnce) {
  TDateTime now = EncodeDateTime(2026, 12, 7, 8, 0, 0);
  SetClock(now);
  velmain->ArmAtStartup();
  velmain->RadioButton2->SetChecked(true);
  velmain->RadioButton2Click(nullptr);
  const int lockSeconds = velmain->SpinEdit1->Value();
  velmain->SpinEdit1->SetValue(0);

  constexpr int kReminders = 7 * 24;
  constexpr double kSecond = 1.0 / kSecondsPerDay;
  int fired = 0;
  GuiObjectCount afterFirst{};
  // The first hours settle the caches of the window system (a couple of objects that then stay);
  // a leak would keep growing over the following days.
  GuiObjectCount afterFirstDay{};
  for (int reminder = 0; reminder < kReminders; ++reminder) {
    const bool lock = reminder % 2 == 1;
    velmain->CheckBox1->SetChecked(lock);
    const TDateTime alarm = std::floor(now) + ParseTimeText(velmain->Label3->Caption()) +
                            (ParseTimeText(velmain->Label3->Caption()) < now - std::floor(now) ? 1.0 : 0.0);
    // The seconds before the alarm: every tick only moves the clock.
    for (TDateTime t = alarm - 3 * kSecond; t < alarm - kSecond / 2; t += kSecond) {
      SetClock(t);
      velmain->Timer1Timer(nullptr);
    }
    ASSERT_EQ(fired, reminder) << "fired early before reminder " << reminder;
    // The user reads the reminder for five minutes, then returns.
    WhileModal([&] {
      ++fired;
      // The main window's timer goes on ticking in the reminder's modal loop.
      if (lock) {
        for (int tick = 0; tick < 3 && !doeye2->SpeedButton1->Visible(); ++tick) doeye2->Timer2Timer(nullptr);
        SetClock(alarm + 300 * kSecond);
        velmain->Timer1Timer(nullptr);
        doeye2->SpeedButton1Click(nullptr);
      } else {
        SetClock(alarm + 300 * kSecond);
        velmain->Timer1Timer(nullptr);
        doeye->SpeedButton1Click(nullptr);
      }
    });
    SetClock(alarm);
    velmain->Timer1Timer(nullptr);
    ASSERT_EQ(fired, reminder + 1) << "reminder " << reminder << " was missed";
    // A tick later in the same second shows nothing more.
    velmain->Timer1Timer(nullptr);
    ASSERT_EQ(fired, reminder + 1);
    now = alarm + 300 * kSecond;
    ASSERT_EQ(velmain->Label3->Caption(), FormatTimeText(now + kOneHour));
    if (reminder == 1) afterFirst = CountGuiObjects();
    if (reminder == 23) afterFirstDay = CountGuiObjects();
  }
  const GuiObjectCount afterLast = CountGuiObjects();
  std::printf("GDI objects / windows: after the first popup and rest window %d / %d, after the first day "
              "%d / %d, after the last reminder %d / %d\n",
              afterFirst.gdi, afterFirst.windows, afterFirstDay.gdi, afterFirstDay.windows, afterLast.gdi,
              afterLast.windows);
  EXPECT_EQ(fired, kReminders);
  EXPECT_GT(afterFirst.gdi, 0);
  EXPECT_LE(afterLast.gdi, afterFirstDay.gdi);
  EXPECT_LE(afterLast.gdi, afterFirst.gdi + 4) << "more than a settling cache";
  EXPECT_LE(afterLast.windows, afterFirst.windows);
  EXPECT_TRUE(TrayIcon1->Active());
  velmain->SpinEdit1->SetValue(lockSeconds);
  velmain->CheckBox1->SetChecked(false);
}

}  // namespace

TEST(GuiObjects, TheCounterSeesObjectsComeAndGo) {
  const GuiObjectCount before = CountGuiObjects();
  HBRUSH brushes[10];
  for (auto& brush : brushes) brush = CreateSolidBrush(RGB(1, 2, 3));
  HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  const GuiObjectCount during = CountGuiObjects();
  for (auto& brush : brushes) DeleteObject(brush);
  DestroyWindow(window);
  const GuiObjectCount after = CountGuiObjects();
  EXPECT_EQ(during.gdi, before.gdi + 10);
  EXPECT_EQ(during.windows, before.windows + 1);
  EXPECT_EQ(after.gdi, before.gdi);
  EXPECT_EQ(after.windows, before.windows);
}
