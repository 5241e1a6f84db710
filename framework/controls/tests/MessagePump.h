#pragma once
// For Windows tests: a message pump with a deadline.
#include <windows.h>

#include <chrono>
#include <functional>
#include <string>

// Dispatches messages until the condition holds or the time is up; returns the condition's value.
inline bool PumpUntil(const std::function<bool()>& condition, int milliseconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (condition && condition()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
}

inline void Pump(int milliseconds) { PumpUntil(nullptr, milliseconds); }

// Runs action once from a thread timer, so also from inside a modal loop (a menu's, a dialog's)
// that the caller is about to enter. One action waits at a time.
class TRunSoon {
public:
  TRunSoon(std::function<void()> action, int milliseconds) {
    Pending() = std::move(action);
    SetTimer(nullptr, 0, static_cast<UINT>(milliseconds), Fire);
  }

private:
  static std::function<void()>& Pending() {
    static std::function<void()> pending;
    return pending;
  }
  static void CALLBACK Fire(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    const std::function<void()> action = std::move(Pending());
    Pending() = nullptr;
    if (action) action();
  }
};

// The popup-menu window of this thread that is showing; nullptr when none is.
inline HWND ShownMenuWindow() {
  HWND found = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM result) -> BOOL {
        wchar_t name[16] = {};
        GetClassNameW(window, name, 16);
        if (std::wstring(name) != L"#32768" || !IsWindowVisible(window)) return TRUE;
        *reinterpret_cast<HWND*>(result) = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}
