#pragma once
// Reduction of true-colour pictures to 8 bits per pixel for GIF encoding.
#include <optional>

#include "gif/GIFDib.h"

enum TColorReduction {
  rmHistogram = 0,   // the 256 most frequent colours
  rmGrayLevels = 5,  // 256 grey levels
};

// Reduces a 24- or 32-bit picture to an 8-bit one with the given method. Methods other than the
// two above fall back to the histogram. Raises EInvalidGraphicOperation for other depths.
// A kept colour (the frame's transparent colour) gets a palette entry of its own, exactly: the
// pixels of that colour map to it and no other pixel does, however rare or common it is.
TDibImage ColorReduce(const TDibImage& source, int method, std::optional<TRGB> keep = std::nullopt);
