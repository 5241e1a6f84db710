#pragma once
// Bitmaps to compose a paint in off screen. A 32-bit DIB section rather than a bitmap compatible
// with the window: making one of those asks the display driver about the screen, and under Wine
// drawing into it is several times slower (an image list draws into one in 180 us, into a DIB
// section in 26). Copying the finished DIB section to the window converts it as needed.
#include <windows.h>

#include "framework/win32/Handles.h"

// Null when the system has no memory for it.
inline UniqueBitmap CreatePaintBitmap(HDC like, int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  return UniqueBitmap(CreateDIBSection(like, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
}
