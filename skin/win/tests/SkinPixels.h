#pragma once
// For the control skinners' tests: what a window paints, read pixel by pixel, and the mouse as a
// window hears it.
#include <windows.h>

#include <cstdint>

#include "framework/win32/DCState.h"
#include "framework/win32/Handles.h"

// A skin image's pixel (0xRRGGBB) as GDI gives colours.
inline COLORREF AsColorRef(uint32_t pixel) { return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF); }

// What the window paints when handed a DC of its own size (by WM_PAINT, or WM_PRINTCLIENT).
class TPaintedWindow {
public:
  explicit TPaintedWindow(HWND window, UINT paint = WM_PAINT) {
    RECT r{};
    GetClientRect(window, &r);
    size_ = {r.right, r.bottom};
    WindowDC screen(window);
    dc_.reset(CreateCompatibleDC(screen.get()));
    bitmap_.reset(CreateCompatibleBitmap(screen.get(), r.right, r.bottom));
    const SelectedObject selected(dc_.get(), bitmap_.get());
    SendMessageW(window, paint, reinterpret_cast<WPARAM>(dc_.get()), paint == WM_PAINT ? 0 : PRF_CLIENT);
  }
  COLORREF Pixel(int x, int y) const {
    const SelectedObject selected(dc_.get(), bitmap_.get());
    return GetPixel(dc_.get(), x, y);
  }
  int Count(COLORREF colour) const {
    const SelectedObject selected(dc_.get(), bitmap_.get());
    int count = 0;
    for (int y = 0; y < size_.cy; ++y)
      for (int x = 0; x < size_.cx; ++x) count += GetPixel(dc_.get(), x, y) == colour;
    return count;
  }

private:
  SIZE size_{};
  UniqueMemoryDC dc_;
  UniqueBitmap bitmap_;
};

inline COLORREF PaintedPixel(HWND window, int x, int y, UINT paint = WM_PAINT) {
  return TPaintedWindow(window, paint).Pixel(x, y);
}

inline void Mouse(HWND window, UINT msg, int x, int y, WPARAM keys = 0) {
  SendMessageW(window, msg, keys, MAKELPARAM(static_cast<unsigned short>(x), static_cast<unsigned short>(y)));
}
