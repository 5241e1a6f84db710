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
  const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
  std::vector<uint8_t> out(count * kChannels);
  // Which pixels are covered is decided on the plain share of each that the source covers: the
  // smoother filters ripple around a half-covered edge, and the ripple would notch a straight one.
  std::vector<uint8_t> cover(count * kChannels);
  // Fails only for parameters this code never passes; nothing is shown then rather than garbage.
  const auto resize = [&](std::vector<uint8_t>& into, stbir_filter filter) {
    return stbir_resize_uint8_generic(in.data(), source.Width, source.Height, 0, into.data(), width, height, 0,
                                      kChannels, 3, 0, STBIR_EDGE_CLAMP, filter, STBIR_COLORSPACE_SRGB, nullptr);
  };
  if (!resize(out, STBIR_FILTER_DEFAULT) || !resize(cover, STBIR_FILTER_BOX)) return std::vector<uint32_t>(count, key);
  std::vector<uint32_t> result(count);
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* p = &out[i * kChannels];
    uint32_t colour = static_cast<uint32_t>(p[0]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[2];
    // A covered pixel that happens to come out in the key colour would turn see-through: nudge it.
    if (colour == key) colour ^= 1;
    result[i] = cover[i * kChannels + 3] < 128 ? key : colour;
  }
  return result;
}
