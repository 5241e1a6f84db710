#include "app/settime/Settings.h"

#include <windows.h>

#include "framework/win32/Handles.h"
#include "framework/win32/Strings.h"

namespace {
struct TValue {
  const wchar_t* name;
  DWORD low;
  DWORD high;
};

constexpr TValue kExerciseMode{L"ExerciseMode", 0, 1};
constexpr TValue kLockScreen{L"LockScreen", 0, 1};
constexpr TValue kLockSeconds{L"LockSeconds", 0, 3600};
constexpr TValue kAwayIsRest{L"AwayIsRest", 0, 1};
constexpr TValue kAwayMinutes{L"AwayMinutes", 1, 60};
constexpr TValue kHoldWhenBusy{L"HoldWhenBusy", 0, 1};

std::wstring KeyPath() { return Utf8ToWide(kSettingsKeyPath); }

int Read(const TValue& value, int fallback) {
  DWORD data = 0;
  DWORD bytes = sizeof data;
  // RRF_RT_REG_DWORD fails for any other type and for data of another size.
  if (RegGetValueW(HKEY_CURRENT_USER, KeyPath().c_str(), value.name, RRF_RT_REG_DWORD, nullptr, &data, &bytes) !=
      ERROR_SUCCESS) {
    return fallback;
  }
  return data >= value.low && data <= value.high ? static_cast<int>(data) : fallback;
}

bool Write(HKEY key, const TValue& value, int data) {
  const DWORD dword = static_cast<DWORD>(data);
  return RegSetValueExW(key, value.name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dword), sizeof dword) ==
         ERROR_SUCCESS;
}
}  // namespace

TStoredSettings ReadStoredSettings() {
  const TStoredSettings defaults;
  TStoredSettings s;
  s.exerciseMode = Read(kExerciseMode, defaults.exerciseMode) != 0;
  s.lockScreen = Read(kLockScreen, defaults.lockScreen) != 0;
  s.lockSeconds = Read(kLockSeconds, defaults.lockSeconds);
  s.awayIsRest = Read(kAwayIsRest, defaults.awayIsRest) != 0;
  s.awayMinutes = Read(kAwayMinutes, defaults.awayMinutes);
  s.holdWhenBusy = Read(kHoldWhenBusy, defaults.holdWhenBusy) != 0;
  return s;
}

bool WriteStoredSettings(const TStoredSettings& s) {
  HKEY opened = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, KeyPath().c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                      nullptr, &opened, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const UniqueRegistryKey key(opened);
  // Every value is written, so that a damaged one is replaced even when the others fail.
  bool ok = Write(key.get(), kExerciseMode, s.exerciseMode);
  ok &= Write(key.get(), kLockScreen, s.lockScreen);
  ok &= Write(key.get(), kLockSeconds, s.lockSeconds);
  ok &= Write(key.get(), kAwayIsRest, s.awayIsRest);
  ok &= Write(key.get(), kAwayMinutes, s.awayMinutes);
  ok &= Write(key.get(), kHoldWhenBusy, s.holdWhenBusy);
  return ok;
}
