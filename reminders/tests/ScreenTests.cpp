// The rest on a desktop of two monitors. Runs under tools/wine-two-heads: an X display with two
// heads, which Wine reports as two monitors (both at the origin, so they overlap).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/settime/Velmain.h"
#include "reminders/eye2/Doeye2.h"
#include "reminders/tests/ReminderHarness.h"

using namespace reminder_test;

namespace {

std::vector<RECT> Covers() {
  std::vector<RECT> rects;
  for (HWND w = FindWindowExW(nullptr, nullptr, L"BrevinRestCover", nullptr); w;
       w = FindWindowExW(nullptr, w, L"BrevinRestCover", nullptr)) {
    if (!IsWindowVisible(w)) continue;
    RECT r{};
    GetWindowRect(w, &r);
    rects.push_back(r);
  }
  return rects;
}

// Whether every cover lies under the rest window, where monitors overlap.
bool CoversUnderTheRestWindow() {
  int under = 0;
  for (HWND w = GetWindow(doeye2->Handle(), GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT)) {
    wchar_t name[32] = {};
    GetClassNameW(w, name, 32);
    under += std::wstring(name) == L"BrevinRestCover" && IsWindowVisible(w);
  }
  return under == static_cast<int>(Covers().size());
}

bool IsSecondHead(const RECT& r) { return r.left == 0 && r.top == 0 && r.right == 800 && r.bottom == 600; }

TEST(Screens, EveryOtherMonitorIsCoveredExactlyWhileTheRestIsUp) {
  ASSERT_EQ(GetSystemMetrics(SM_CMONITORS), 2) << "run under tools/wine-two-heads";
  std::vector<RECT> during;
  std::vector<RECT> afterDisplayChange;
  bool coverActive = true;
  bool under = false;
  int shape = ERROR;
  Fire({.lockScreen = true, .exercise = false, .lockSeconds = 0}, [&] {
    during = Covers();
    coverActive = !during.empty() && GetForegroundWindow() != doeye2->Handle();
    under = CoversUnderTheRestWindow();
    // This head lies inside the primary one: the cover leaves all of it to the rest window.
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    shape = GetWindowRgn(FindWindowExW(nullptr, nullptr, L"BrevinRestCover", nullptr), region);
    DeleteObject(region);
    SendMessageW(doeye2->Handle(), WM_DISPLAYCHANGE, 24, MAKELPARAM(1024, 768));
    afterDisplayChange = Covers();
    doeye2->Timer2->SetEnabled(false);
    doeye2->Timer2Timer(doeye2->Timer2);
    ClickAt(*doeye2->SpeedButton1);
  });
  ASSERT_EQ(during.size(), 1u);
  EXPECT_TRUE(IsSecondHead(during[0]));
  EXPECT_FALSE(coverActive) << "a cover took the activation from the rest window";
  EXPECT_TRUE(under) << "a cover lies over the rest window";
  EXPECT_EQ(shape, NULLREGION) << "the cover hides part of the primary monitor";
  ASSERT_EQ(afterDisplayChange.size(), 1u) << "covered afresh, not twice";
  EXPECT_TRUE(IsSecondHead(afterDisplayChange[0]));
  EXPECT_TRUE(Covers().empty()) << "the covers went with the rest window";
  EXPECT_TRUE(Errors().empty());
}

}  // namespace
