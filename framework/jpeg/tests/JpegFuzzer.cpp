// libFuzzer target for the JPEG decoder; run it with a file name to replay one input, or with
// tests/corpus (colour, grayscale, CMYK and progressive seeds) to start from.
#include <cstddef>
#include <cstdint>

#include "framework/core/Exception.h"
#include "framework/jpeg/JpegDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    const JpegPixels pixels = DecodeJpeg(data, size);
    const size_t rowBytes = static_cast<size_t>(pixels.Width) * 3;
    if (pixels.RowStride < rowBytes || pixels.Bgr.size() != pixels.RowStride * static_cast<size_t>(pixels.Height))
      __builtin_trap();
  } catch (const Exception&) {
  }
  return 0;
}
