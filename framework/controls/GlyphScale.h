#pragma once
// Glyph strips (equal images side by side on a see-through key colour) at another size: the one
// path by which image lists and button glyphs follow the display scale.
#include <windows.h>

#include <cstdint>
#include <vector>

#include "framework/graphics/Graphic.h"

// The pixels of a bitmap (0x00RRGGBB, top row first); raises EOutOfResources when they cannot
// be read.
std::vector<uint32_t> BitmapPixels(TBitmap& bitmap);

// A strip of `cells` images, each resampled on its own (so that none bleeds into its neighbour) to
// cellWidth x cellHeight and set side by side into `into`; key stays see-through. Leaves `into`
// as it was when the strip is empty.
void ScaleStrip(TBitmap& strip, int cells, COLORREF key, int cellWidth, int cellHeight, TBitmap& into);
