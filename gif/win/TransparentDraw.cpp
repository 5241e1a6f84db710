#include "gif/win/TransparentDraw.h"

#include "framework/classes/Properties.h"
#include "framework/core/Exception.h"
#include "framework/graphics/Graphic.h"
#include "framework/graphics/Graphics.h"
#include "framework/win32/DCState.h"
#include "framework/win32/Handles.h"

#include <optional>

namespace {

// A memory context holding its own bitmap for the length of one draw.
struct Surface {
  UniqueMemoryDC dc;
  UniqueBitmap bitmap;
  std::optional<SelectedObject> selected;

  Surface(HDC compatibleWith, HBITMAP made) : dc(CreateCompatibleDC(compatibleWith)), bitmap(made) {
    if (!dc || !bitmap) throw EOutOfResources("Out of system resources");
    selected.emplace(dc.get(), bitmap.get());
  }
  HDC get() const { return dc.get(); }
};

// Monochrome-to-colour copies map 0 bits to the text colour and 1 bits to the background colour;
// the masks only work with black and white there.
void BlackOnWhite(HDC dc) {
  SetTextColor(dc, RGB(0, 0, 0));
  SetBkColor(dc, RGB(255, 255, 255));
}

}  // namespace

void BlitTransparent(HDC target, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
                     int sourceWidth, int sourceHeight, COLORREF maskColor, HPALETTE palette) {
  if (width == 0 || height == 0 || sourceWidth <= 0 || sourceHeight <= 0) return;
  const int workWidth = width < 0 ? -width : width;
  const int workHeight = height < 0 ? -height : height;

  Surface mask(target, CreateBitmap(sourceWidth, sourceHeight, 1, 1, nullptr));
  Surface inverse(target, CreateBitmap(sourceWidth, sourceHeight, 1, 1, nullptr));
  Surface work(target, CreateCompatibleBitmap(target, workWidth, workHeight));
  Surface copy(target, CreateCompatibleBitmap(target, sourceWidth, sourceHeight));

  SelectedPalette targetPalette(target, palette, true);
  SelectedPalette copyPalette(copy.get(), palette, false);
  SelectedPalette maskPalette(mask.get(), palette, false);
  SelectedPalette workPalette(work.get(), palette, true);

  const int mapMode = GetMapMode(target);
  MapModeKept sourceMapping(source, mapMode);
  SetMapMode(copy.get(), mapMode);

  // Source AND white: the colours stay, and the unused fourth byte of 32-bit pixels (which some
  // drivers take into the colour comparison below) becomes 0, as it is in the mask colour.
  {
    SelectedObject white(copy.get(), GetStockObject(WHITE_BRUSH));
    BitBlt(copy.get(), 0, 0, sourceWidth, sourceHeight, source, sourceX, sourceY, MERGECOPY);
  }

  // Colour-to-monochrome: pixels equal to the background colour become 1, all others 0.
  const COLORREF keyed = palette ? (maskColor & 0x00FFFFFF) | 0x02000000 : (maskColor & 0x00FFFFFF);
  {
    BkColorKept key(copy.get(), keyed);
    BitBlt(mask.get(), 0, 0, sourceWidth, sourceHeight, copy.get(), 0, 0, SRCCOPY);
  }
  BitBlt(inverse.get(), 0, 0, sourceWidth, sourceHeight, mask.get(), 0, 0, NOTSRCCOPY);

  BlackOnWhite(work.get());
  BlackOnWhite(copy.get());
  SetStretchBltMode(work.get(), COLORONCOLOR);
  // A negative target extent mirrors; the work area is always upright and the mirroring happens in
  // the stretch from the work area's point of view.
  const int workX = width < 0 ? workWidth - 1 : 0;
  const int workY = height < 0 ? workHeight - 1 : 0;
  const int targetLeft = width < 0 ? x + width + 1 : x;
  const int targetTop = height < 0 ? y + height + 1 : y;
  BitBlt(work.get(), 0, 0, workWidth, workHeight, target, targetLeft, targetTop, SRCCOPY);
  StretchBlt(work.get(), workX, workY, width, height, mask.get(), 0, 0, sourceWidth, sourceHeight, SRCAND);
  BitBlt(copy.get(), 0, 0, sourceWidth, sourceHeight, inverse.get(), 0, 0, SRCAND);
  StretchBlt(work.get(), workX, workY, width, height, copy.get(), 0, 0, sourceWidth, sourceHeight, SRCPAINT);
  BitBlt(target, targetLeft, targetTop, workWidth, workHeight, work.get(), 0, 0, SRCCOPY);
}

void DrawBitmapTransparent(TCanvas& target, int x, int y, int width, int height, TBitmap& bitmap, int sourceX,
                           int sourceY, int sourceWidth, int sourceHeight, TColor transparentColor) {
  if (bitmap.Empty()) return;
  if (width < 1) width = bitmap.Width();
  if (height < 1) height = bitmap.Height();
  if (sourceWidth < 1 || sourceHeight < 1) {
    sourceX = 0;
    sourceY = 0;
    sourceWidth = bitmap.Width();
    sourceHeight = bitmap.Height();
  }
  HDC dc = target.Handle();
  TCanvas& bitmapCanvas = *bitmap.Canvas();
  TCanvasLock lock(bitmapCanvas);
  HDC source = bitmapCanvas.Handle();
  StretchBltModeKept mode(dc, bitmap.Monochrome() ? GetStretchBltMode(dc) : COLORONCOLOR);
  if (transparentColor == clNone) {
    StretchBlt(dc, x, y, width, height, source, sourceX, sourceY, sourceWidth, sourceHeight, SRCCOPY);
    return;
  }
  COLORREF mask;
  if (bitmap.Monochrome()) {
    mask = RGB(255, 255, 255);
  } else if (transparentColor == clDefault) {
    mask = GetPixel(source, 0, bitmap.Height() - 1) & 0x00FFFFFF;
  } else {
    mask = ColorToRGB(transparentColor);
  }
  BlitTransparent(dc, x, y, width, height, source, sourceX, sourceY, sourceWidth, sourceHeight, mask,
                  bitmap.Palette());
}

void DrawBitmapRectTransparent(TCanvas& target, int x, int y, int width, int height, const RECT& source,
                               TBitmap& bitmap, TColor transparentColor) {
  DrawBitmapTransparent(target, x, y, width, height, bitmap, source.left, source.top, source.right - source.left,
                        source.bottom - source.top, transparentColor);
}
