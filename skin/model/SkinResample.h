#pragma once
// Resampling skin pictures for another display scale.
//
// Magenta is the see-through colour of every skin picture, so it is resampled as transparency:
// each pixel counts by how much of it is covered, a filtered edge never turns pink, and a result
// pixel less than half covered becomes magenta again. Enlarging uses a Catmull-Rom filter and
// reducing a Mitchell filter (stb_image_resize's choices), both in sRGB-correct light.
//
// A sliced picture (state frames side by side or stacked, each cut at its margins) is resampled
// piece by piece: every frame and every one of its nine pieces on its own, with its edges clamped,
// so that no frame bleeds into its neighbour and a corner stays a corner at the new size.
#include "skin/layout/SkinGeometry.h"
#include "skin/model/SkinImage.h"

// The part from of source at width x height; empty when either is empty.
TSkinImage ResampleSkinImage(const TSkinImage& source, const TRect& from, int width, int height);

struct TSlicedPicture {
  int Frames = 1;
  TFrameLayout Layout = TFrameLayout::SideBySide;
  TSkinMargins Margins;
};

// Every frame of source, laid out as given, at frameWidth x frameHeight with its pieces cut at
// to.Margins. A pair of margins that the frame (source or target) cannot hold cuts nothing.
TSkinImage ResampleSlicedImage(const TSkinImage& source, const TSlicedPicture& from, int frameWidth, int frameHeight,
                               const TSlicedPicture& to);
