#pragma once
// For Windows tests: a message pump with a deadline.
#include <windows.h>

#include <chrono>
#include <functional>

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
