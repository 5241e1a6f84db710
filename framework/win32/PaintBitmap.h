#pragma once
// Bitmaps to compose a paint in off screen. A 32-bit DIB section rather than a bitmap compatible
// with the window: making one of those asks the display driver about the screen, and under Wine
// drawing into it is several times slower (an image list draws into one in 180 us, into a DIB
// section in 26). Copying the finished DIB section to the window converts it as needed.
#include <windows.h>

#include "framework/win32/Handles.h"

// 32-bit pixels, first row on top: the layout every pixel exchange of the program uses.
inline BITMAPINFO TopDown32Info(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  return info;
}

// Null when the system has no memory for it; bits, when given, receives where its pixels are.
inline UniqueBitmap CreatePaintBitmap(HDC like, int width, int height, void** bits = nullptr) {
  const BITMAPINFO info = TopDown32Info(width, height);
  void* pixels = nullptr;
  UniqueBitmap bitmap(CreateDIBSection(like, &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
  if (bits) *bits = pixels;
  return bitmap;
}
