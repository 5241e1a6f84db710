#pragma once
// Variable-length-code LZW decoding of one GIF frame into an indexed TDibImage.
#include <cstddef>
#include <cstdint>
#include <functional>

#include "gif/GIFDib.h"

struct TLZWDecodeParams {
  int ColorBits = 8;             // the frame's colour bits: pixel values are masked to them
  bool Interlaced = false;
  bool AcceptDamage = true;      // LoadCorruptGIF
  bool AlreadyDamaged = false;   // the frame was truncated when read: running out is expected
  // Called with the running percentage of coded bytes consumed (may be empty).
  std::function<void(int)> Progress;
};

// Decodes coded data (the minimum code size byte followed by the data sub-blocks) into the
// pixels of dib, whose rows must start zero-filled. Returns true when the code stream was found
// damaged and the damage was accepted. Raises EInvalidGraphicOperation otherwise.
[[nodiscard]] bool DecodeLZW(const uint8_t* data, size_t size, const TLZWDecodeParams& params,
                             TDibImage& dib);
