#include "framework/controls/GlyphScale.h"

#include <algorithm>

#include "framework/core/KeyedResample.h"
#include "framework/win32/Handles.h"
#include "framework/win32/PaintBitmap.h"

std::vector<uint32_t> BitmapPixels(TBitmap& bitmap) {
  const int width = bitmap.Width();
  const int height = bitmap.Height();
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
  BITMAPINFO info = TopDown32Info(width, height);
  WindowDC screen(nullptr);
  // A bitmap selected into a DC cannot be read.
  bitmap.Dormant();
  if (GetDIBits(screen.get(), bitmap.Handle(), 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS) !=
      height)
    throw EOutOfResources("Out of system resources");
  return pixels;
}

void ScaleStrip(TBitmap& strip, int cells, COLORREF key, int cellWidth, int cellHeight, TBitmap& into) {
  if (strip.Empty() || cells <= 0 || cellWidth <= 0 || cellHeight <= 0) return;
  const std::vector<uint32_t> source = BitmapPixels(strip);
  const uint32_t keyPixel = static_cast<uint32_t>(GetRValue(key)) << 16 | GetGValue(key) << 8 | GetBValue(key);
  const int fromWidth = strip.Width() / cells;
  const int width = cells * cellWidth;
  TBitmap result;
  result.SetSize(width, cellHeight);
  for (int cell = 0; cell < cells; ++cell) {
    const TKeyedPixels from{source.data() + static_cast<size_t>(cell) * fromWidth, fromWidth, strip.Height(),
                            strip.Width()};
    const std::vector<uint32_t> image = ResampleKeyed(from, keyPixel, cellWidth, cellHeight);
    for (int y = 0; y < cellHeight; ++y) {
      auto* row = reinterpret_cast<uint32_t*>(result.ScanLine(y));
      std::copy_n(image.data() + static_cast<size_t>(y) * cellWidth, cellWidth, row + static_cast<size_t>(cell) * cellWidth);
    }
  }
  result.SetTransparentColor(static_cast<TColor>(key));
  into.Assign(result);
}
