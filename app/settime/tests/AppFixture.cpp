#include "app/settime/tests/AppFixture.h"

#include <optional>

#include "app/settime/Settings.h"
#include "app/settime/Velmain.h"
#include "framework/controls/Application.h"
#include "framework/win32/Strings.h"
#include "reminders/eye/Doeye.h"
#include "reminders/eye2/Doeye2.h"

std::function<void()> AppFixture::pending_;
UINT_PTR AppFixture::timer_ = 0;

namespace {
// The prefix may be the one tools/run uses: the user's settings are set aside while the tests
// start from none, and put back when the process ends.
class SettingsSetAside {
public:
  SettingsSetAside() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, Path().c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
      RegCloseKey(key);
      saved_ = ReadStoredSettings();
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, Path().c_str());
  }
  ~SettingsSetAside() {
    RegDeleteTreeW(HKEY_CURRENT_USER, Path().c_str());
    if (saved_) static_cast<void>(WriteStoredSettings(*saved_));
  }

private:
  static std::wstring Path() { return Utf8ToWide(kSettingsKeyPath); }
  std::optional<TStoredSettings> saved_;
};
}  // namespace

void AppFixture::SetUpTestSuite() {
  if (velmain) return;
  static const SettingsSetAside setAside;
  Application->Initialize();
  Application->SetTitle("晴岚");
  // Errors that reach the default handler fail the test instead of waiting on a message box.
  Application->OnException = [](const std::exception& error) { ADD_FAILURE() << "unhandled: " << error.what(); };
  Application->CreateForm(velmain);
  Application->CreateForm(doeye);
  Application->CreateForm(doeye2);
  velmain->Show();
  BusyUser();
  PresentThroughout();
}

void AppFixture::PresentThroughout() {
  // Tests jump the clock by hours between two ticks, which time away as rest would take for sleep.
  velmain->CheckBox2->SetChecked(false);
}

void AppFixture::BusyUser() {
  velmain->SetInputSource([count = uint32_t{0}]() mutable { return ++count; });
}

void AppFixture::TearDown() {
  if (timer_) KillTimer(nullptr, timer_);
  timer_ = 0;
  pending_ = nullptr;
  SetClockSource({});
  BusyUser();
  PresentThroughout();
}

void AppFixture::WhileModal(std::function<void()> action) {
  pending_ = std::move(action);
  timer_ = SetTimer(nullptr, 0, 20, RunPending);
}

void CALLBACK AppFixture::RunPending(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  timer_ = 0;
  auto action = std::move(pending_);
  pending_ = nullptr;
  if (action) action();
}

int AppFixture::CursorDisplayCount() {
  const int count = ShowCursor(TRUE) - 1;
  ShowCursor(FALSE);
  return count;
}
