#pragma once
// BMP files written byte by byte for the tests, independently of the decoder under test.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace skin_test {

inline void PutU16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
inline void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  PutU16(out, v & 0xFFFF);
  PutU16(out, v >> 16);
}

// A 24-bit bottom-up BMP; pixel(x, y) gives 0xRRGGBB with y counted from the top.
inline std::vector<uint8_t> Bmp24(int width, int height, const std::function<uint32_t(int, int)>& pixel) {
  const uint32_t stride = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
  std::vector<uint8_t> out = {'B', 'M'};
  PutU32(out, 54 + stride * static_cast<uint32_t>(height));
  PutU32(out, 0);
  PutU32(out, 54);
  PutU32(out, 40);
  PutU32(out, static_cast<uint32_t>(width));
  PutU32(out, static_cast<uint32_t>(height));
  PutU16(out, 1);
  PutU16(out, 24);
  for (int i = 0; i < 6; ++i) PutU32(out, 0);
  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < width; ++x) {
      const uint32_t p = pixel(x, y);
      out.push_back(static_cast<uint8_t>(p));
      out.push_back(static_cast<uint8_t>(p >> 8));
      out.push_back(static_cast<uint8_t>(p >> 16));
    }
    out.resize(out.size() + stride - static_cast<uint32_t>(width) * 3, 0);
  }
  return out;
}

inline std::vector<uint8_t> Bmp24(int width, int height, uint32_t fill = 0x808080) {
  return Bmp24(width, height, [fill](int, int) { return fill; });
}

inline std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

}  // namespace skin_test
