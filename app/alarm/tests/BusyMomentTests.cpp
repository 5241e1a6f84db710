#include <gtest/gtest.h>

#include "app/alarm/BusyMoment.h"

namespace {

using N = TNotificationState;
const TRect kFirst{0, 0, 1920, 1080};
const TRect kSecond{1920, 0, 3200, 1024};

TForegroundFacts Window(TRect window, TRect monitor = kFirst) {
  TForegroundFacts f;
  f.exists = true;
  f.window = window;
  f.monitor = monitor;
  return f;
}

TEST(BusyMoment, AnotherProgramsWindowOverItsWholeMonitorIsBusy) {
  EXPECT_TRUE(UserIsBusy(Window(kFirst), N::AcceptsNotifications));
  EXPECT_TRUE(UserIsBusy(Window({-1, -1, 1921, 1081}), N::AcceptsNotifications)) << "a pixel larger";
  EXPECT_TRUE(UserIsBusy(Window(kSecond, kSecond), N::AcceptsNotifications)) << "on the second monitor";
  EXPECT_FALSE(UserIsBusy(Window({0, 0, 1920, 1079}), N::AcceptsNotifications)) << "a pixel short";
  EXPECT_FALSE(UserIsBusy(Window({1, 0, 1920, 1080}), N::AcceptsNotifications));
  EXPECT_FALSE(UserIsBusy(Window({0, 0, 1920, 1080}, kSecond), N::AcceptsNotifications))
      << "covering the first monitor is nothing to the second one's window";
  // A maximised window keeps the taskbar in sight; its frame reaches past the work area's edges.
  TForegroundFacts maximised = Window({-8, -8, 1928, 1048});
  EXPECT_FALSE(UserIsBusy(maximised, N::AcceptsNotifications));
  maximised.window = {-8, -8, 1928, 1088};  // the taskbar hides itself
  maximised.maximisedWithCaption = true;
  EXPECT_FALSE(UserIsBusy(maximised, N::AcceptsNotifications));
}

TEST(BusyMoment, TheShellOurOwnWindowsAndNoWindowAreNeverBusy) {
  TForegroundFacts desktop = Window(kFirst);
  desktop.shell = true;
  EXPECT_FALSE(UserIsBusy(desktop, N::AcceptsNotifications));
  TForegroundFacts ours = Window(kFirst);
  ours.ours = true;
  EXPECT_FALSE(UserIsBusy(ours, N::Busy)) << "our own rest window covers the screen and makes the shell say busy";
  EXPECT_FALSE(UserIsBusy(TForegroundFacts{}, N::Unknown));
  EXPECT_FALSE(UserIsBusy(Window(kFirst, TRect{}), N::AcceptsNotifications)) << "no monitor found";
}

TEST(BusyMoment, TheShellsStateCountsOnlyForFullScreenDirect3DAndPresentations) {
  const TForegroundFacts small = Window({100, 100, 900, 700});
  EXPECT_TRUE(UserIsBusy(small, N::RunningD3DFullScreen));
  EXPECT_TRUE(UserIsBusy(small, N::PresentationMode));
  EXPECT_TRUE(UserIsBusy(TForegroundFacts{}, N::PresentationMode));
  for (N state : {N::Unknown, N::NotPresent, N::Busy, N::AcceptsNotifications, N::QuietTime, N::App})
    EXPECT_FALSE(UserIsBusy(small, state)) << static_cast<int>(state);
}

}  // namespace
