#pragma once
// Resampling small pictures whose see-through parts are one key colour (a glyph on magenta, a menu
// glyph on white), so that a glyph drawn for one scale can be shown at another.
//
// The key colour is resampled as transparency: each result pixel counts the source pixels by how
// much of them is covered, so a smoothed edge never takes on the key's tint, and a result pixel
// less than half covered becomes the key again. Enlarging uses a Catmull-Rom filter and reducing a
// Mitchell filter, in sRGB-correct light; the picture's edges are clamped, not wrapped.
#include <cstdint>
#include <vector>

// Pixels are 0x00RRGGBB, row after row; stride is the distance between rows, in pixels.
struct TKeyedPixels {
  const uint32_t* Pixels = nullptr;
  int Width = 0;
  int Height = 0;
  int Stride = 0;
};

// source at width x height, packed; empty when either size or the source is empty.
std::vector<uint32_t> ResampleKeyed(const TKeyedPixels& source, uint32_t key, int width, int height);
