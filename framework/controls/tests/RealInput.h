#pragma once
// For Windows tests under Wine: pointer input as a user makes it. Posted mouse messages never move
// the pointer, so a control that asks where the pointer is (hover tracking, capture, hit tests)
// sees something else than a user would. These move the X pointer and click it with xdotool on the
// test's display, which Wine turns into real input. Each step dispatches messages while it waits.
#include <windows.h>

#include <string>

#include "framework/controls/tests/MessagePump.h"

namespace real_input {

// Starts a Unix program through Wine's start /unix; true when it could be started.
inline bool RunUnix(const std::wstring& arguments) {
  std::wstring command = L"start.exe /unix /usr/bin/xdotool " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                      &process))
    return false;
  // start.exe ends once the Unix program is on its way; the program's own end is not observable.
  WaitForSingleObject(process.hProcess, 5000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

inline bool PointerAt(POINT target) {
  POINT now{};
  return GetCursorPos(&now) && now.x == target.x && now.y == target.y;
}

// Moves the pointer to a screen point; true once the system reports it there.
inline bool MoveTo(POINT screen) {
  if (!RunUnix(L"mousemove " + std::to_wstring(screen.x) + L" " + std::to_wstring(screen.y))) return false;
  return ::PumpUntil([&] { return PointerAt(screen); }, 3000);
}

inline DWORD LastInputTime() {
  LASTINPUTINFO info{sizeof info, 0};
  return GetLastInputInfo(&info) ? info.dwTime : 0;
}

// Presses and releases the left button where the pointer is, waits until the system has the
// input, then lets the program take it in; false when the click could not be made or never came.
inline bool Click() {
  const DWORD before = LastInputTime();
  if (!RunUnix(L"click 1")) return false;
  // The press dates the input; the release follows it, and both are then in this thread's queue.
  const bool arrived = ::PumpUntil([&] { return LastInputTime() != before && GetAsyncKeyState(VK_LBUTTON) >= 0; }, 3000);
  ::Pump(150);
  return arrived;
}

// Presses (true) or releases the left button where the pointer is, and lets the program take it in;
// false when it could not be done or never came.
inline bool LeftButton(bool down) {
  if (!RunUnix(down ? L"mousedown 1" : L"mouseup 1")) return false;
  const bool arrived = ::PumpUntil([&] { return (GetAsyncKeyState(VK_LBUTTON) < 0) == down; }, 3000);
  ::Pump(100);
  return arrived;
}

// The centre of a window-relative rectangle, on the screen.
inline POINT ScreenCentre(HWND window, const RECT& client) {
  POINT p{(client.left + client.right) / 2, (client.top + client.bottom) / 2};
  ClientToScreen(window, &p);
  return p;
}

}  // namespace real_input
