#include <gtest/gtest.h>

#include "framework/controls/ExtCtrls.h"
#include "framework/controls/tests/TestForms.h"
#include "framework/win32/CallbackErrors.h"
#include "framework/win32/WindowSubclass.h"

#include <stdexcept>

namespace {

constexpr UINT kAsk = WM_APP + 7;

// A handler that answers kAsk with its mark added to what the window behind it answers.
TWindowSubclass::Handler Marker(TWindowSubclass& owner, LRESULT mark, std::vector<UINT>* seen = nullptr) {
  return [&owner, mark, seen](HWND w, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
    if (seen) seen->push_back(msg);
    if (msg == kAsk) return mark + owner.Default(w, msg, wp, lp) * 10;
    return owner.Default(w, msg, wp, lp);
  };
}

TEST(WindowSubclass, SitsInFrontAndLeavesInAnyOrder) {
  TPlainForm form(nullptr);
  auto* panel = new TPanel(&form);
  panel->SetParent(&form);
  HWND w = panel->Handle();
  EXPECT_EQ(SendMessageW(w, kAsk, 0, 0), 0);
  TWindowSubclass first, second;
  ASSERT_TRUE(first.Attach(w, Marker(first, 1)));
  ASSERT_TRUE(second.Attach(w, Marker(second, 2)));
  // The newest replacement answers first.
  EXPECT_EQ(SendMessageW(w, kAsk, 0, 0), 12);
  first.Detach();
  EXPECT_EQ(SendMessageW(w, kAsk, 0, 0), 2);
  second.Detach();
  EXPECT_EQ(SendMessageW(w, kAsk, 0, 0), 0);
  // The control itself still works behind them.
  panel->SetCaption("after");
  EXPECT_EQ(panel->Caption(), "after");
}

TEST(WindowSubclass, AWindowThatGoesAwayTakesItsReplacementAlong) {
  TPlainForm form(nullptr);
  auto* panel = new TPanel(&form);
  panel->SetParent(&form);
  std::vector<UINT> seen;
  TWindowSubclass owner;
  ASSERT_TRUE(owner.Attach(panel->Handle(), Marker(owner, 5, &seen)));
  panel->DestroyHandle();
  EXPECT_FALSE(owner.Attached());
  EXPECT_EQ(seen.back(), static_cast<UINT>(WM_NCDESTROY));
  owner.Detach();
  EXPECT_FALSE(owner.Attach(nullptr, Marker(owner, 1)));
  EXPECT_FALSE(owner.Attached());
}

int failures = 0;
void Count(std::exception_ptr) { ++failures; }

TEST(WindowSubclass, AThrowingHandlerEndsItsMessageAndIsReported) {
  TPlainForm form(nullptr);
  auto* panel = new TPanel(&form);
  panel->SetParent(&form);
  failures = 0;
  SetCallbackErrorSink(Count);
  TWindowSubclass owner;
  ASSERT_TRUE(owner.Attach(panel->Handle(), [&owner](HWND w, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
    if (msg == kAsk || msg == WM_NCDESTROY) throw std::runtime_error("handler failed");
    return owner.Default(w, msg, wp, lp);
  }));
  EXPECT_EQ(SendMessageW(panel->Handle(), kAsk, 0, 0), 0);
  EXPECT_EQ(failures, 1);
  panel->SetCaption("still works");
  EXPECT_EQ(panel->Caption(), "still works");
  panel->DestroyHandle();
  EXPECT_EQ(failures, 2);
  EXPECT_FALSE(owner.Attached()) << "a failing last message still removes the replacement";
  SetCallbackErrorSink(HandleDispatchException);
}

}  // namespace
