#include <gtest/gtest.h>

#include "framework/controls/ExtCtrls.h"
#include "framework/controls/tests/TestForms.h"
#include "framework/win32/CallbackErrors.h"
#include "framework/win32/WindowSubclass.h"

#include <future>
#include <stdexcept>
#include <thread>

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

// A panel on a form: a window of the program's own to put replacements in front of.
class WindowSubclass : public ::testing::Test {
protected:
  WindowSubclass() { panel->SetParent(&form); }
  TPlainForm form{nullptr};
  TPanel* panel = new TPanel(&form);
};

TEST_F(WindowSubclass, SitsInFrontAndLeavesInAnyOrder) {
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

TEST_F(WindowSubclass, AWindowThatGoesAwayTakesItsReplacementAlong) {
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

TEST_F(WindowSubclass, AWindowOfAnotherThreadIsRefused) {
  std::promise<HWND> made;
  std::promise<void> done;
  std::thread other([&] {
    HWND w = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    made.set_value(w);
    done.get_future().wait();
    DestroyWindow(w);
  });
  HWND w = made.get_future().get();
  ASSERT_NE(w, nullptr);
  const LONG_PTR own = GetWindowLongPtrW(w, GWLP_WNDPROC);
  TWindowSubclass owner;
  EXPECT_FALSE(owner.Attach(w, Marker(owner, 1)));
  EXPECT_FALSE(owner.Attached());
  EXPECT_EQ(GetWindowLongPtrW(w, GWLP_WNDPROC), own);
  done.set_value();
  other.join();
}

int CountProperties(HWND w) {
  int count = 0;
  EnumPropsExW(w, [](HWND, LPWSTR, HANDLE, ULONG_PTR counter) -> BOOL { return ++*reinterpret_cast<int*>(counter), TRUE; },
               reinterpret_cast<LPARAM>(&count));
  return count;
}

WNDPROC behindForeign = nullptr;
LRESULT CALLBACK Foreign(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  const LRESULT behind = CallWindowProcW(behindForeign, w, msg, wp, lp);
  return msg == kAsk ? 3 + behind * 10 : behind;
}

TEST_F(WindowSubclass, TheWindowGetsItsProcedureBackUnlessSomeoneReplacedOursMeanwhile) {
  HWND w = panel->Handle();
  const LONG_PTR own = GetWindowLongPtrW(w, GWLP_WNDPROC);
  const int properties = CountProperties(w);
  TWindowSubclass first;
  ASSERT_TRUE(first.Attach(w, Marker(first, 1)));
  // Kept in the process: a window property costs a server round trip per message under Wine.
  EXPECT_EQ(CountProperties(w), properties);
  first.Detach();
  EXPECT_EQ(GetWindowLongPtrW(w, GWLP_WNDPROC), own);

  // Another program part replaces ours the plain way, and is not undone by our leaving.
  ASSERT_TRUE(first.Attach(w, Marker(first, 1)));
  behindForeign = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Foreign)));
  TWindowSubclass second;
  ASSERT_TRUE(second.Attach(w, Marker(second, 2)));
  // A newer one joins the chain behind the other part, as it would the system's chain.
  EXPECT_EQ(SendMessageW(w, kAsk, 0, 0), 3 + 10 * (2 + 10 * 1));
  first.Detach();
  second.Detach();
  EXPECT_EQ(GetWindowLongPtrW(w, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(Foreign));
  EXPECT_EQ(SendMessageW(w, kAsk, 0, 0), 3);
  panel->SetCaption("behind both");
  EXPECT_EQ(panel->Caption(), "behind both");
}

TEST_F(WindowSubclass, OneLeavingOrComingWhileAMessageIsHandledLeavesTheOthersInPlace) {
  HWND w = panel->Handle();
  TWindowSubclass oldest, leaving, newcomer;
  ASSERT_TRUE(oldest.Attach(w, Marker(oldest, 1)));
  ASSERT_TRUE(leaving.Attach(w, [&](HWND hw, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
    if (msg != kAsk) return leaving.Default(hw, msg, wp, lp);
    // Gone before it passes the message on, and a new one in front: the message still goes on
    // to the one behind it, and the new one is asked only from the next message on.
    leaving.Detach();
    EXPECT_TRUE(newcomer.Attach(hw, Marker(newcomer, 4)));
    EXPECT_EQ(SendMessageW(hw, kAsk, 0, 0), 14) << "a message sent meanwhile passes the new one and the oldest";
    return 5 + leaving.Default(hw, msg, wp, lp) * 10;
  }));
  EXPECT_EQ(SendMessageW(w, kAsk, 0, 0), 15);
  EXPECT_EQ(SendMessageW(w, kAsk, 0, 0), 14);
  newcomer.Detach();
  oldest.Detach();
  EXPECT_EQ(SendMessageW(w, kAsk, 0, 0), 0);
}

int failures = 0;
void Count(std::exception_ptr) { ++failures; }

TEST_F(WindowSubclass, AThrowingHandlerEndsItsMessageAndIsReported) {
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
