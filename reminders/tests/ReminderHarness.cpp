#include "reminders/tests/ReminderHarness.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <filesystem>
#include <fstream>

#include "app/alarm/TimeText.h"
#include "app/settime/TrayIcon.h"
#include "app/settime/Velmain.h"
#include "framework/controls/Application.h"
#include "framework/controls/Spin.h"
#include "framework/core/Clock.h"
#include "framework/resources/ResourceStream.h"
#include "framework/win32/Strings.h"
#include "reminders/audio/ExerciseAudio.h"
#include "reminders/eye/Doeye.h"
#include "reminders/eye2/Doeye2.h"

namespace reminder_test {
namespace {

TDateTime g_now = EncodeDateTime(2026, 3, 2, 11, 5, 3);
std::function<void()> g_script;

void CALLBACK RunScript(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  std::function<void()> script = std::move(g_script);
  g_script = nullptr;
  if (script) script();
}

class ReminderEnvironment : public ::testing::Environment {
public:
  void SetUp() override {
    Application->Initialize();
    Application->OnException = [](const std::exception& error) { Errors().push_back(error.what()); };
    SetClockSource([] { return g_now; });
    Application->CreateForm(velmain);
    Application->CreateForm(doeye);
    Application->CreateForm(doeye2);
    TrayIcon1 = new TTrayIcon(velmain);
    TrayIcon1->SetActive(true);
  }
};
const auto* const environment = ::testing::AddGlobalTestEnvironment(new ReminderEnvironment);

}  // namespace

std::vector<std::string>& Errors() {
  static std::vector<std::string> errors;
  return errors;
}

void SetClock(int hour, int minute, int second) { g_now = EncodeDateTime(2026, 3, 2, hour, minute, second); }

void Soon(std::function<void()> script) {
  g_script = std::move(script);
  SetTimer(nullptr, 0, 20, RunScript);
}

bool PumpUntil(const std::function<bool()>& condition, int milliseconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  for (;;) {
    Application->ProcessMessages();
    if (condition()) return true;
    if (std::chrono::steady_clock::now() > deadline) return false;
    Sleep(10);
  }
}

void Pump(int milliseconds) { static_cast<void>(PumpUntil([] { return false; }, milliseconds)); }

namespace {

void ArmFor(const Alarm& alarm) {
  velmain->ArmAtStartup();
  (alarm.exercise ? velmain->RadioButton1 : velmain->RadioButton2)->SetChecked(true);
  velmain->CheckBox1->SetChecked(alarm.lockScreen);
  velmain->SpinEdit1->SetValue(alarm.lockSeconds);
  const std::string clock = FormatTimeText(Now());
  velmain->Label3->SetCaption(clock);
  velmain->Label7->SetCaption(alarm.workStart.empty() ? clock : alarm.workStart);
}

}  // namespace

void Fire(const Alarm& alarm, const std::function<void()>& script) {
  ArmFor(alarm);
  TCustomForm* const reminder = alarm.lockScreen ? static_cast<TCustomForm*>(doeye2) : doeye;
  bool ran = false;
  Soon([&] {
    ran = true;
    script();
    if (reminder->ModalResult() == mrNone) {
      ADD_FAILURE() << "the script left the reminder up";
      reminder->Close();
    }
  });
  velmain->Timer1Timer(nullptr);
  EXPECT_TRUE(ran) << "the tick did not show a reminder";
  EXPECT_FALSE(reminder->Showing());
}

void FireAndDrive(const Alarm& alarm, const std::function<void(HWND)>& driver) {
  TCustomForm* const reminder = alarm.lockScreen ? static_cast<TCustomForm*>(doeye2) : doeye;
  std::thread worker;
  ArmFor(alarm);
  Soon([&] {
    HWND window = reminder->Handle();
    worker = std::thread([&driver, window] {
      driver(window);
      if (IsWindowVisible(window)) PostMessageW(window, WM_CLOSE, 0, 0);
    });
  });
  velmain->Timer1Timer(nullptr);
  if (worker.joinable()) worker.join();
  EXPECT_FALSE(reminder->Showing());
}

bool WaitUntilHidden(HWND window, int milliseconds) {
  for (int waited = 0; IsWindowVisible(window); waited += 10) {
    if (waited >= milliseconds) return false;
    Sleep(10);
  }
  return true;
}

void ClickAt(TControl& control) {
  TWinControl* parent = control.Parent();
  const LPARAM at = MAKELPARAM(control.Left() + control.Width() / 2, control.Top() + control.Height() / 2);
  SendMessageW(parent->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(parent->Handle(), WM_LBUTTONUP, 0, at);
}

void PressButton(TWinControl& button) { SendMessageW(button.Handle(), BM_CLICK, 0, 0); }

void Type(uint16_t key, uint16_t modifier) {
  std::vector<INPUT> inputs;
  const auto add = [&](uint16_t vk, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    inputs.push_back(input);
  };
  if (modifier) add(modifier, false);
  add(key, false);
  add(key, true);
  if (modifier) add(modifier, true);
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  Pump(150);
}

int CursorCount() {
  const int count = ShowCursor(TRUE) - 1;
  ShowCursor(FALSE);
  return count;
}

bool TaskbarVisible() {
  HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
  return taskbar && IsWindowVisible(taskbar);
}

std::string AudioPath() { return ExerciseAudioPath(); }

uint64_t FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(Utf8ToWide(path).c_str(), GetFileExInfoStandard, &data)) return 0;
  return (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

bool FileExists(const std::string& path) { return GetFileAttributesW(Utf8ToWide(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

void WriteStale(const std::string& path, bool readOnly) {
  RemoveFile(path);
  std::ofstream(std::filesystem::path(Utf8ToWide(path)), std::ios::binary) << "left over from an earlier run";
  if (readOnly) SetFileAttributesW(Utf8ToWide(path).c_str(), FILE_ATTRIBUTE_READONLY);
}

void RemoveFile(const std::string& path) {
  SetFileAttributesW(Utf8ToWide(path).c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileW(Utf8ToWide(path).c_str());
}

uint64_t AudioResourceSize() {
  const TResourceStream stream(GetModuleHandleW(nullptr), kExerciseAudioResource, kExerciseAudioType);
  return static_cast<uint64_t>(stream.Size());
}

}  // namespace reminder_test
