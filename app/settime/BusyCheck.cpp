#include "app/settime/BusyCheck.h"

#include <windows.h>

#include <cwchar>
#include <initializer_list>
#include <iterator>

#include "framework/win32/SystemLibrary.h"

namespace {
TRect ToRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

// The desktop's and the taskbars' windows: in front when the user clicked the desktop or the
// taskbar, and covering a monitor without being anybody's full-screen work.
bool IsShellWindow(HWND window) {
  if (window == GetShellWindow() || window == GetDesktopWindow()) return true;
  wchar_t name[64] = {};
  if (!GetClassNameW(window, name, static_cast<int>(std::size(name)))) return false;
  for (const wchar_t* shell : {L"Progman", L"WorkerW", L"Shell_TrayWnd", L"Shell_SecondaryTrayWnd"})
    if (_wcsicmp(name, shell) == 0) return true;
  return false;
}

using QueryNotificationState = HRESULT(WINAPI*)(int*);

QueryNotificationState NotificationStateQuery() {
  // Looked up once; absent before Windows Vista and in some shells.
  static const QueryNotificationState query = [] {
    HMODULE shell = LoadSystemLibrary(L"shell32.dll");
    return shell ? reinterpret_cast<QueryNotificationState>(
                       reinterpret_cast<void*>(GetProcAddress(shell, "SHQueryUserNotificationState")))
                 : nullptr;
  }();
  return query;
}
}  // namespace

TForegroundFacts ReadForegroundFacts() {
  TForegroundFacts facts;
  HWND window = GetForegroundWindow();
  RECT bounds{};
  if (!window || !GetWindowRect(window, &bounds)) return facts;
  facts.exists = true;
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  facts.ours = process == GetCurrentProcessId();
  facts.shell = IsShellWindow(window);
  facts.maximisedWithCaption =
      IsZoomed(window) && (static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)) & WS_CAPTION) == WS_CAPTION;
  facts.window = ToRect(bounds);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor))
    facts.monitor = ToRect(monitor.rcMonitor);
  return facts;
}

TNotificationState ReadShellNotificationState() {
  const QueryNotificationState query = NotificationStateQuery();
  int state = 0;
  if (!query || FAILED(query(&state)) || state < 1 || state > 7) return TNotificationState::Unknown;
  return static_cast<TNotificationState>(state);
}
