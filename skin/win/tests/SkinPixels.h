#pragma once
// For the control skinners' tests: what a window paints, read pixel by pixel, and the mouse as a
// window hears it.
#include <windows.h>

#include <cstdint>

#include "framework/win32/DCState.h"
#include "framework/win32/Handles.h"

// A skin image's pixel (0xRRGGBB) as GDI gives colours.
inline COLORREF AsColorRef(uint32_t pixel) { return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF); }

// What the window paints when handed a DC of its own size (by WM_PAINT, or WM_PRINTCLIENT), read
// at (x, y).
inline COLORREF PaintedPixel(HWND window, int x, int y, UINT paint = WM_PAINT) {
  RECT r{};
  GetClientRect(window, &r);
  WindowDC screen(window);
  UniqueMemoryDC dc(CreateCompatibleDC(screen.get()));
  UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), r.right, r.bottom));
  const SelectedObject selected(dc.get(), bitmap.get());
  SendMessageW(window, paint, reinterpret_cast<WPARAM>(dc.get()), paint == WM_PAINT ? 0 : PRF_CLIENT);
  return GetPixel(dc.get(), x, y);
}

inline void Mouse(HWND window, UINT msg, int x, int y, WPARAM keys = 0) {
  SendMessageW(window, msg, keys, MAKELPARAM(static_cast<unsigned short>(x), static_cast<unsigned short>(y)));
}
