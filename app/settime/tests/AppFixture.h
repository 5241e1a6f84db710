#pragma once
// The program's three windows, created once per test process as brevin does, with the clock
// under the test's control and a way to act from inside a modal loop.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>

#include "framework/core/Clock.h"

class AppFixture : public ::testing::Test {
protected:
  static void SetUpTestSuite();
  void TearDown() override;

  static void SetClock(TDateTime now) {
    SetClockSource([now] { return now; });
  }
  // Runs action from the next message loop that dispatches timers: the modal loop of the
  // reminder that the caller is about to show.
  void WhileModal(std::function<void()> action);
  // The pointer's display counter, left as it was.
  static int CursorDisplayCount();
  // A user who gives input all the time: the alarm's ticks never find them away.
  static void BusyUser();
  // Time away does not count as rest: the user never leaves, however far the clock jumps.
  static void PresentThroughout();

private:
  static void CALLBACK RunPending(HWND, UINT, UINT_PTR, DWORD);
  static std::function<void()> pending_;
  static UINT_PTR timer_;
};
