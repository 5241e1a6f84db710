#pragma once
// The slicing every skin painter shares, as plain arithmetic on rectangles and pixels.
//
// Nine-slice: a skin image holds its state frames side by side (or stacked for the top and bottom
// window borders); one frame is cut into four fixed corners, four edges and a middle by its left,
// top, right and bottom margins. Drawn into a target, the corners keep their size, the edges
// stretch along their length and the middle is stretched or tiled. A target too narrow for both
// side margins drops them (likewise for the top and bottom margins), and so does a frame too small
// to hold them; a frame count below 1 counts as 1 and the frame number is kept within the count.
//
// Region runs: the pixels of a picture that are not magenta (0xFF00FF), as rectangles: one per
// horizontal run, with a run joined to the one below it when both span the same columns.
#include <vector>

#include "skin/model/SkinImage.h"

enum class TFrameLayout { SideBySide, Stacked };

struct TSkinMargins {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  friend bool operator==(const TSkinMargins&, const TSkinMargins&) = default;
};

// Margins given at 96 dpi, at dpi.
TSkinMargins ScaledMargins(const TSkinMargins& m, int dpi);

// Frame number (from 1) of count frames in an image of the given size.
TRect SkinFrameRect(int imageWidth, int imageHeight, int count, int frame, TFrameLayout layout);

struct TSlicePiece {
  TRect Source;
  TRect Dest;
  // The middle piece with tiling asked for: repeated instead of stretched.
  bool Tile = false;
  friend bool operator==(const TSlicePiece&, const TSlicePiece&) = default;
};

// The pieces that cover target, in the order corners, edges, middle; empty pieces are left out.
std::vector<TSlicePiece> NineSlicePieces(const TRect& frame, TSkinMargins margins, const TRect& target,
                                         bool tileMiddle);

// Draws with the pieces above (stretching picks the nearest source pixel); with transparent set,
// magenta source pixels leave the destination as it was.
void DrawNineSlice(const TSkinImage& source, const TRect& frame, TSkinMargins margins, bool tileMiddle,
                   TSkinImage& dest, const TRect& target, bool transparent = false);

std::vector<TRect> OpaqueRuns(const TSkinImage& image);
