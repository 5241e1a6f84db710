#include "app/settime/Autostart.h"

#include <windows.h>

#include "framework/controls/Application.h"
#include "framework/core/Exception.h"
#include "framework/win32/Handles.h"
#include "framework/win32/Strings.h"

namespace {
UniqueRegistryKey OpenRunKey() {
  HKEY key = nullptr;
  const LONG status = RegCreateKeyExW(HKEY_CURRENT_USER, Utf8ToWide(kRunKeyPath).c_str(), 0, nullptr,
                                      REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr);
  return UniqueRegistryKey(status == ERROR_SUCCESS ? key : nullptr);
}

std::wstring RunningExecutablePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);
  }
}
}  // namespace

std::string AutostartCommand(const std::string& executablePath) {
  if (executablePath.find(' ') == std::string::npos) return executablePath;
  return "\"" + executablePath + "\"";
}

void WriteAutostartValue(const std::string& valueName, const std::string& executablePath) {
  const UniqueRegistryKey key = OpenRunKey();
  if (!key) return;
  const std::wstring data = Utf8ToWide(AutostartCommand(executablePath));
  const DWORD bytes = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
  const LONG status = RegSetValueExW(key.get(), Utf8ToWide(valueName).c_str(), 0, REG_SZ,
                                     reinterpret_cast<const BYTE*>(data.c_str()), bytes);
  if (status != ERROR_SUCCESS) throw Exception(Format("Failed to set data for '%s'", valueName.c_str()));
}

void DeleteAutostartValue(const std::string& valueName) {
  const UniqueRegistryKey key = OpenRunKey();
  if (!key) return;
  // An absent value is the state we want; nothing to report.
  RegDeleteValueW(key.get(), Utf8ToWide(valueName).c_str());
}

std::optional<std::string> ReadAutostartValue(const std::string& valueName) {
  const UniqueRegistryKey key = OpenRunKey();
  if (!key) return std::nullopt;
  const std::wstring name = Utf8ToWide(valueName);
  DWORD type = 0;
  DWORD bytes = 0;
  if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS) return std::nullopt;
  std::wstring data(bytes / sizeof(wchar_t) + 1, L'\0');
  if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &bytes) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  data.resize(bytes / sizeof(wchar_t));
  while (!data.empty() && data.back() == L'\0') data.pop_back();
  return WideToUtf8(data);
}

void AddAutostart() { WriteAutostartValue(Application->Title(), WideToUtf8(RunningExecutablePath())); }

void RemoveAutostart() { DeleteAutostartValue(Application->Title()); }
