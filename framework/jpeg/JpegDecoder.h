#pragma once
// Decodes a whole JPEG file held in memory into 24-bit pixels. Portable: the Win32 picture class
// turns the result into a DIB section; tests and the fuzzer use it directly.
#include <cstddef>
#include <cstdint>
#include <vector>

// Pixels are 3 bytes each in blue, green, red order. Rows run top-down (row 0 is the top of the
// picture) and each row starts RowStride bytes after the previous one: Width * 3 rounded up to a
// multiple of 4, the row layout of a 24-bit DIB, so the buffer can be handed to a top-down DIB
// (negative height) unchanged.
struct JpegPixels {
  int Width = 0;
  int Height = 0;
  size_t RowStride = 0;
  std::vector<uint8_t> Bgr;

  const uint8_t* Row(int y) const { return Bgr.data() + static_cast<size_t>(y) * RowStride; }
};

// Largest picture accepted, in pixels; anything larger is refused before memory is allocated.
inline constexpr uint64_t kMaxJpegPixels = uint64_t{1} << 25;

// Grayscale, YCbCr/RGB and CMYK/YCCK (Adobe-inverted) inputs are converted to BGR. Any fault
// (not a JPEG, corrupt or truncated data, unsupported colour space, too large) raises
// EInvalidGraphicOperation (EOutOfResources when memory runs out) with a message that starts
// with "JPEG error: ".
JpegPixels DecodeJpeg(const uint8_t* data, size_t size);
