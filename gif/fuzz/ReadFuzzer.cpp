// Reads any bytes as a GIF, with and without damaged data accepted, and decodes every frame.
// Every input must give an image or one of the codec's errors.
#include <cstddef>
#include <cstdint>

#include "framework/core/Exception.h"
#include "gif/GIFImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  GIFMaxFramePixels = 1 << 22;
  for (bool acceptDamage : {true, false}) {
    LoadCorruptGIF = acceptDamage;
    TGIFImage image;
    try {
      TReadOnlyMemoryStream in(data, int64_t(size));
      image.ReadStream(in.Size(), in, false);
    } catch (const Exception&) {
    }
    for (int i = 0; i < image.FrameCount(); ++i) {
      try {
        const TDibImage& dib = image.Frame(i).Bitmap();
        if (!dib.Empty() && (dib.Width() != image.Frame(i).Item().FrameSize.Width ||
                             dib.Height() != image.Frame(i).Item().FrameSize.Height))
          __builtin_trap();
      } catch (const Exception&) {
      }
    }
    TGIFImage copy;
    copy.Assign(image);
    if (!copy.Equals(image) || copy.FrameCount() != image.FrameCount()) __builtin_trap();
  }
  LoadCorruptGIF = true;
  return 0;
}
