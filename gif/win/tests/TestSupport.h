#pragma once
// Shared by the Windows GIF tests: a message pump with a deadline, 32-bit test bitmaps and pixel reads.
#include <windows.h>

#include <chrono>
#include <functional>

#include "framework/graphics/Graphic.h"

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

// The colour of a pixel of a 32-bit bitmap, as 00BBGGRR.
inline TColor PixelOf(TBitmap& bitmap, int x, int y) {
  const uint8_t* p = bitmap.ScanLine(y) + 4 * x;
  return RGBColor(p[2], p[1], p[0]);
}

inline void Fill(TBitmap& bitmap, TColor color) {
  bitmap.Canvas()->Brush()->SetColor(color);
  bitmap.Canvas()->FillRect(Bounds(0, 0, bitmap.Width(), bitmap.Height()));
}

inline void PutPixel(TBitmap& bitmap, int x, int y, TColor color) {
  uint8_t* p = bitmap.ScanLine(y) + 4 * x;
  p[0] = BlueOf(color);
  p[1] = GreenOf(color);
  p[2] = RedOf(color);
}
