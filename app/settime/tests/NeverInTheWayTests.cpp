// The reminders out of the user's way, tried with another program of its own in front and real X
// input: held over a full-screen program, shown after a pause in typing without taking the keys,
// and the rest window holding the keyboard whichever window has the focus.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <optional>
#include <string>

#include "app/alarm/TimeText.h"
#include "app/settime/Velmain.h"
#include "app/settime/tests/AppFixture.h"
#include "app/tests/ProgramProcess.h"
#include "framework/controls/tests/MessagePump.h"
#include "framework/controls/tests/RealInput.h"
#include "framework/win32/Strings.h"
#include "reminders/eye/Doeye.h"
#include "reminders/eye2/Doeye2.h"

namespace {

class NeverInTheWay : public AppFixture {
protected:
  void SetUp() override {
    velmain->CheckBox1->SetChecked(false);
    velmain->CheckBox3->SetChecked(true);
    velmain->RadioButton1->SetChecked(true);
  }
  void TearDown() override {
    if (watch_) KillTimer(nullptr, watch_);
    watch_ = 0;
    front_.reset();
    velmain->CheckBox1->SetChecked(false);
    AppFixture::TearDown();
  }

  HWND StartFront(const wchar_t* kind) {
    front_.reset();
    front_.emplace(StartProgram(TestProgramDirectory() / "front_program.exe", kind));
    HWND window = WaitForWindow(front_->id, L"前台程序");
    EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == window; }, 5000)) << "the program is not in front";
    return window;
  }
  static std::wstring Text(HWND window) {
    wchar_t text[256] = {};
    SendMessageTimeoutW(window, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000,
                        nullptr);
    return text;
  }
  static bool Type(const std::wstring& text, int delayMs = 12) {
    return real_input::RunUnix(L"type --delay " + std::to_wstring(delayMs) + L" " + text);
  }
  // Set at 10:00:00 for the given alarm, ticked once in the second before it.
  static void ArmFor(const char* alarm, int h, int m, int s) {
    SetClock(EncodeDateTime(2026, 12, 8, 10, 0, 0));
    velmain->ArmAtStartup();
    velmain->SpeedButton2Click(nullptr);
    velmain->DateTimePicker1->SetDateTime(ParseTimeText(alarm));
    velmain->SpeedButton1Click(nullptr);
    Tick(h, m, s);
  }
  static void Tick(int h, int m, int s) {
    SetClock(EncodeDateTime(2026, 12, 8, h, m, s));
    velmain->Timer1Timer(nullptr);
  }
  // Armed for 10:01:00 and ticked then: whether the popup showed at once (it is dismissed).
  bool ShownOnTime() {
    ArmFor("10:01:00", 10, 0, 59);
    bool shown = false;
    OnReminder([&] {
      shown = true;
      doeye->SpeedButton1Click(nullptr);
    });
    Tick(10, 1, 0);
    return shown;
  }
  // Runs action once, from whatever loop runs then, as soon as a reminder window shows.
  void OnReminder(std::function<void()> action) {
    action_ = std::move(action);
    watch_ = SetTimer(nullptr, 0, 50, Watch);
  }

  std::optional<Process> front_;

private:
  static void CALLBACK Watch(HWND, UINT, UINT_PTR id, DWORD) {
    if (!doeye->Showing() && !doeye2->Showing()) return;
    KillTimer(nullptr, id);
    watch_ = 0;
    if (auto action = std::exchange(action_, nullptr)) action();
  }
  static inline UINT_PTR watch_ = 0;
  static inline std::function<void()> action_;
};

TEST_F(NeverInTheWay, AReminderDueOverAFullScreenProgramIsHeldSilentlyAndShownWhenItEnds) {
  const std::filesystem::path audio = TestProgramDirectory() / "eyezz.mp3";
  std::filesystem::remove(audio);
  HWND slideShow = StartFront(L"fullscreen");
  ArmFor("10:01:00", 10, 0, 59);
  // Minutes go by with the user at work, each seen by a tick (a longer gap would look like sleep).
  for (int minute = 1; minute <= 25; minute += 3) Tick(10, minute, 0);
  EXPECT_FALSE(doeye->Showing());
  EXPECT_TRUE(velmain->ReminderWaiting());
  EXPECT_EQ(velmain->Label23->Caption(), "全屏程序运行中，\r结束后提醒");
  EXPECT_FALSE(std::filesystem::exists(audio)) << "the guide was got ready to play";

  front_.reset();
  ASSERT_TRUE(PumpUntil([&] { return !IsWindow(slideShow); }, 5000));
  std::string worked;
  OnReminder([&] {
    worked = doeye->Label1->Caption();
    doeye->SpeedButton1Click(nullptr);
  });
  Tick(10, 25, 1);
  EXPECT_EQ(worked, "\r您已连续工作了0时25分1秒") << "the time held was work";
  EXPECT_FALSE(velmain->ReminderWaiting());
  EXPECT_EQ(velmain->Label23->Caption(), "将在" + velmain->Label3->Caption() + "\r播放眼保健操！");

  // Switched off, the same full-screen program gets the reminder on time.
  StartFront(L"fullscreen");
  velmain->CheckBox3->SetChecked(false);
  EXPECT_TRUE(ShownOnTime());
}

TEST_F(NeverInTheWay, AMaximisedWindowIsNoFullScreenWork) {
  StartFront(L"maximised");
  EXPECT_TRUE(ShownOnTime());
  EXPECT_FALSE(velmain->ReminderWaiting());
}

TEST_F(NeverInTheWay, ThePopupWaitsForAPauseInTypingAndLeavesTheKeysWithTheProgramInFront) {
  velmain->SetInputSource({});
  velmain->RadioButton2->SetChecked(true);
  HWND editorWindow = StartFront(L"edit");
  HWND editor = FindWindowExW(editorWindow, nullptr, L"EDIT", nullptr);
  ASSERT_TRUE(editor);
  // The clock runs with real time from 10:00:00, and the real timer ticks the alarm.
  const DWORD start = GetTickCount();
  const TDateTime base = EncodeDateTime(2026, 12, 8, 10, 0, 0);
  SetClockSource([=] { return base + (GetTickCount() - start) / 86'400'000.0; });
  velmain->SpeedButton2Click(nullptr);
  velmain->DateTimePicker1->SetDateTime(ParseTimeText("10:00:02"));
  velmain->SpeedButton1Click(nullptr);

  const std::wstring typed = L"abcdefghijklmnopqrstuvwx";
  ASSERT_TRUE(Type(typed, 250));  // six seconds of typing across the alarm
  DWORD lastKeyAt = 0;
  DWORD shownAt = 0;
  HWND foregroundThen = nullptr;
  HWND focusThen = nullptr;
  std::wstring typedAfter;
  OnReminder([&] {
    shownAt = GetTickCount();
    foregroundThen = GetForegroundWindow();
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(editorWindow, nullptr), &info)) focusThen = info.hwndFocus;
    // Typing on once the popup is up goes on landing in the editor.
    if (Type(L"XYZ")) PumpUntil([&] { return Text(editor).size() >= typed.size() + 3; }, 5000);
    typedAfter = Text(editor);
    doeye->SpeedButton1Click(nullptr);
  });
  size_t seen = 0;
  ASSERT_TRUE(PumpUntil(
      [&] {
        if (const size_t now = Text(editor).size(); now != seen && !shownAt) {
          seen = now;
          lastKeyAt = GetTickCount();
        }
        return shownAt != 0 && !doeye->Showing();
      },
      30000))
      << "no reminder";
  EXPECT_EQ(typedAfter, typed + L"XYZ") << "keys went astray";
  EXPECT_EQ(seen, typed.size()) << "the popup came before the typing ended";
  EXPECT_GE(shownAt - lastKeyAt, 900u) << "the popup came in the middle of the typing";
  EXPECT_EQ(foregroundThen, editorWindow) << "the popup took the foreground";
  EXPECT_EQ(focusThen, editor);
}

TEST_F(NeverInTheWay, TheRestWindowHoldsEveryKeyWhicheverWindowHasTheFocusAndOnlyWhileItIsUp) {
  velmain->RadioButton2->SetChecked(true);
  HWND editorWindow = StartFront(L"edit");
  HWND editor = FindWindowExW(editorWindow, nullptr, L"EDIT", nullptr);
  ArmFor("10:01:00", 10, 0, 59);
  velmain->CheckBox1->SetChecked(true);
  bool held = false;
  bool inFront = false;
  std::wstring duringRest = L"?";
  OnReminder([&] {
    held = doeye2->HoldingKeyboard();
    // As Windows' foreground lock may leave it: the other program in front of the rest window.
    SetForegroundWindow(editorWindow);
    inFront = PumpUntil([&] { return GetForegroundWindow() == editorWindow; }, 3000);
    if (Type(L"abc")) Pump(1500);
    duringRest = Text(editor);
    doeye2->SpeedButton1Click(nullptr);
  });
  Tick(10, 1, 0);
  EXPECT_TRUE(held);
  EXPECT_TRUE(inFront);
  EXPECT_EQ(duringRest, L"") << "keys reached the program beneath the rest window";
  EXPECT_FALSE(doeye2->HoldingKeyboard());

  SetForegroundWindow(editorWindow);
  ASSERT_TRUE(Type(L"d"));
  EXPECT_TRUE(PumpUntil([&] { return Text(editor) == L"d"; }, 5000)) << "the keyboard is still held: " << WideToUtf8(Text(editor));
}

}  // namespace
