#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "framework/controls/ExtCtrls.h"
#include "framework/controls/tests/TestForms.h"
#include "framework/win32/CallbackErrors.h"
#include "framework/win32/ThreadHook.h"

namespace {

std::vector<std::string> reported;
void Record(std::exception_ptr error) {
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    reported.emplace_back(e.what());
  }
}

// Windows created on this thread while the owners are installed, as each owner saw them.
TEST(ThreadHook, OwnersShareTheHookAndLeaveInAnyOrder) {
  std::vector<int> seen;
  auto counting = [&seen](int mark) {
    return [&seen, mark](int code, WPARAM, LPARAM) {
      if (code == HCBT_CREATEWND) seen.push_back(mark);
      return false;
    };
  };
  TThreadHook first, second;
  ASSERT_TRUE(first.Install(WH_CBT, counting(1)));
  ASSERT_TRUE(second.Install(WH_CBT, counting(2)));
  { TPlainForm form(nullptr); form.HandleNeeded(); }
  EXPECT_EQ(seen, (std::vector<int>{2, 1}));
  first.Remove();
  seen.clear();
  { TPlainForm form(nullptr); form.HandleNeeded(); }
  EXPECT_EQ(seen, (std::vector<int>{2}));
  second.Remove();
  second.Remove();
  seen.clear();
  { TPlainForm form(nullptr); form.HandleNeeded(); }
  EXPECT_TRUE(seen.empty());
  EXPECT_FALSE(first.Install(12345, counting(3))) << "not a thread hook type";
  EXPECT_FALSE(first.Installed());
}

TEST(ThreadHook, AThrowingHandlerIsReportedAndCanStillVetoTheEvent) {
  reported.clear();
  SetCallbackErrorSink(Record);
  bool later = false;
  TThreadHook veto, thrower;
  // HCBT_CREATEWND answered non-zero makes CreateWindow fail.
  ASSERT_TRUE(veto.Install(WH_CBT, [](int code, WPARAM, LPARAM) { return code == HCBT_CREATEWND; }));
  ASSERT_TRUE(thrower.Install(WH_CBT, [&](int code, WPARAM, LPARAM) -> bool {
    if (code == HCBT_CREATEWND) throw std::runtime_error("hook failed");
    return false;
  }));
  HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(window, nullptr);
  ASSERT_EQ(reported, (std::vector<std::string>{"hook failed"}));
  veto.Remove();
  ASSERT_TRUE(thrower.Install(WH_CBT, [&](int code, WPARAM, LPARAM) {
    later = later || code == HCBT_CREATEWND;
    return false;
  }));
  window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  EXPECT_NE(window, nullptr);
  EXPECT_TRUE(later);
  DestroyWindow(window);
  SetCallbackErrorSink(HandleDispatchException);
}

TEST(ThreadHook, AHandlerMayRemoveItsOwnerWhileCalled) {
  int calls = 0;
  TThreadHook once;
  ASSERT_TRUE(once.Install(WH_CBT, [&](int code, WPARAM, LPARAM) {
    if (code == HCBT_CREATEWND) {
      ++calls;
      once.Remove();
    }
    return false;
  }));
  { TPlainForm form(nullptr); form.HandleNeeded(); }
  { TPlainForm form(nullptr); form.HandleNeeded(); }
  EXPECT_EQ(calls, 1);
  EXPECT_FALSE(once.Installed());
}

}  // namespace
