#pragma once
// The settings kept for the user between runs, under HKEY_CURRENT_USER\Software\晴岚, one DWORD
// value each. The alarm time is not among them: every start is armed one hour ahead.
#include <string>

inline constexpr const char* kSettingsKeyPath = "Software\\晴岚";

struct TStoredSettings {
  bool exerciseMode = true;
  bool lockScreen = false;
  int lockSeconds = 30;  // 0..3600, as the spin edit allows
  bool awayIsRest = true;
  int awayMinutes = 5;  // 1..60
  bool holdWhenBusy = true;  // hold a reminder while a full-screen program is in front
};

// A value that is missing, of another type or size, or out of its range reads as its default: a
// damaged key never stops the start.
TStoredSettings ReadStoredSettings();
// False when the key cannot be created or a value not written.
[[nodiscard]] bool WriteStoredSettings(const TStoredSettings& settings);
