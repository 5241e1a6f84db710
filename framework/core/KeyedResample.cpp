#include "framework/core/KeyedResample.h"

// The one copy of the resizer in the program: the skin's resampling links to it too. The build
// reads stb's folder as a system one, so its own warnings do not count as ours.
#define STB_IMAGE_RESIZE_IMPLEMENTATION
#include <stb_image_resize.h>

namespace {
constexpr int kChannels = 4;
}  // namespace

std::vector<uint32_t> ResampleKeyed(const TKeyedPixels& source, uint32_t key, int width, int height) {
  key &= 0xFFFFFFu;
  if (!source.Pixels || source.Width <= 0 || source.Height <= 0 || width <= 0 || height <= 0) return {};
  std::vector<uint8_t> in(static_cast<size_t>(source.Width) * static_cast<size_t>(source.Height) * kChannels);
  uint8_t* p = in.data();
  for (int y = 0; y < source.Height; ++y) {
    const uint32_t* row = source.Pixels + static_cast<size_t>(y) * static_cast<size_t>(source.Stride);
    for (int x = 0; x < source.Width; ++x, p += kChannels) {
      const uint32_t pixel = row[x] & 0xFFFFFFu;
      const bool clear = pixel == key;
      p[0] = clear ? 0 : static_cast<uint8_t>(pixel >> 16);
      p[1] = clear ? 0 : static_cast<uint8_t>(pixel >> 8);
      p[2] = clear ? 0 : static_cast<uint8_t>(pixel);
      p[3] = clear ? 0 : 255;
    }
  }
  std::vector<uint8_t> out(static_cast<size_t>(width) * static_cast<size_t>(height) * kChannels);
  // Fails only for parameters this code never passes; nothing is shown then rather than garbage.
  if (!stbir_resize_uint8_generic(in.data(), source.Width, source.Height, 0, out.data(), width, height, 0, kChannels, 3,
                                  0, STBIR_EDGE_CLAMP, STBIR_FILTER_DEFAULT, STBIR_COLORSPACE_SRGB, nullptr))
    return std::vector<uint32_t>(static_cast<size_t>(width) * static_cast<size_t>(height), key);
  std::vector<uint32_t> result(static_cast<size_t>(width) * static_cast<size_t>(height));
  p = out.data();
  for (uint32_t& pixel : result) {
    uint32_t colour = static_cast<uint32_t>(p[0]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[2];
    // A covered pixel that happens to come out in the key colour would turn see-through: nudge it.
    if (colour == key) colour ^= 1;
    pixel = p[3] < 128 ? key : colour;
    p += kChannels;
  }
  return result;
}
