#pragma once
// Shared by the Windows GIF tests: 32-bit test bitmaps and pixel reads, and the message pump.
#include <windows.h>

#include "framework/controls/tests/MessagePump.h"
#include "framework/graphics/Graphic.h"

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
