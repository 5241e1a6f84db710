// Another program in front of 晴岚, as a user has one, for the tests that check that a reminder
// stays out of the way: "fullscreen" (a borderless window over the whole monitor, like a slide
// show), "maximised" (a window with its caption, maximised) or "edit" (an editor whose text the
// tests read back). Its window is captioned "前台程序" and takes the foreground when it starts.
#include <windows.h>

#include <cwchar>

namespace {
HWND editor = nullptr;

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      if (editor) MoveWindow(editor, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      return 0;
    case WM_SETFOCUS:
      if (editor) SetFocus(editor);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}
}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR arguments, int) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = Procedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = L"BrevinFrontProgram";
  if (!RegisterClassW(&windowClass)) return 1;

  const bool fullScreen = std::wcsstr(arguments, L"fullscreen") != nullptr;
  const bool maximised = std::wcsstr(arguments, L"maximised") != nullptr;
  HWND window = nullptr;
  if (fullScreen) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& r = monitor.rcMonitor;
    window = CreateWindowExW(0, windowClass.lpszClassName, L"前台程序", WS_POPUP, r.left, r.top, r.right - r.left,
                             r.bottom - r.top, nullptr, nullptr, instance, nullptr);
  } else {
    window = CreateWindowExW(0, windowClass.lpszClassName, L"前台程序", WS_OVERLAPPEDWINDOW, 60, 60, 420, 260, nullptr,
                             nullptr, instance, nullptr);
  }
  if (!window) return 1;
  if (!fullScreen && !maximised) {
    editor = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL, 0,
                             0, 400, 220, window, nullptr, instance, nullptr);
  }
  ShowWindow(window, maximised ? SW_SHOWMAXIMIZED : SW_SHOW);
  SetForegroundWindow(window);
  if (editor) SetFocus(editor);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
