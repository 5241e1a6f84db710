// Golden hashes: the codec's output for fixed inputs, so that any change in what it decodes or
// encodes shows up here and in the diff of this list. A deliberate change updates the list with
// the values the failure message prints.
#include <gtest/gtest.h>

#include <cstdio>

#include "gif/ColorReduce.h"
#include "gif/LZWEncoder.h"
#include "gif/tests/GifBytes.h"

namespace {

struct Golden {
  const char* name;
  uint64_t hash;
};

const Golden kGolden[] = {
    {"decode/animation", 0x5c0e1168a08560ddull},
    {"encode/noise-1", 0xc08312987c2de41dull},
    {"encode/noise-4", 0xb45cd648c1d19e36ull},
    {"encode/noise-8", 0x1e53f5fc28913574ull},
    {"encode/gradient-8", 0x9eb06d626e345a7aull},
    {"reduce/histogram", 0x577fe09fa1988625ull},
    {"reduce/grey", 0x7aa6a62ca01c25f1ull},
};

uint64_t Fnv1a(const std::vector<uint8_t>& bytes, uint64_t h = 14695981039346656037ull) {
  for (uint8_t b : bytes) h = (h ^ b) * 1099511628211ull;
  return h;
}

uint64_t Expected(const std::string& name) {
  for (const Golden& g : kGolden)
    if (name == g.name) return g.hash;
  return 0;
}

void CheckGolden(const std::string& name, uint64_t actual) {
  EXPECT_EQ(Expected(name), actual) << Format("{\"%s\", 0x%016llxull},", name.c_str(), (unsigned long long)actual);
}

uint32_t Noise(uint32_t& seed) {
  seed = seed * 1664525 + 1013904223;
  return seed >> 24;
}

TDibImage Picture(int depth, bool noise) {
  TDibImage dib(173, 91, depth);
  uint32_t seed = 7;
  for (int i = 0; i < dib.PaletteCount(); ++i)
    dib.SetPaletteColor(i, {uint8_t(i * 3), uint8_t(255 - i), uint8_t(i * 7)});
  for (int y = 0; y < dib.Height(); ++y)
    for (size_t x = 0; x < dib.RowStride(); ++x)
      dib.Row(y)[x] = noise ? uint8_t(Noise(seed) & (Noise(seed) | 0x0F)) : uint8_t((x / 5 + size_t(y) / 3) * 17);
  return dib;
}

TEST(GIFGolden, DecodedAnimation) {
  GifBytes g;
  g.Header(40, 30, 5, 3).Loop("NETSCAPE2.0", 0);
  uint32_t seed = 1;
  for (int f = 0; f < 3; ++f) {
    std::vector<int> pixels;
    const int w = 40 - 7 * f, h = 30 - 5 * f;
    for (int i = 0; i < w * h; ++i) pixels.push_back(int(Noise(seed) % (f == 1 ? 16 : 32)));
    g.Control(f * 4, 10, 0).Image(f, 2 * f, w, h, pixels, f == 1 ? 4 : 5, f == 1 ? 4 : 0, f == 2);
  }
  g.Trailer();
  TGIFImage image;
  g.ReadInto(image);
  uint64_t h = 14695981039346656037ull;
  for (int i = 0; i < image.FrameCount(); ++i) h = Fnv1a(image.Frame(i).Bitmap().Bytes(), h);
  CheckGolden("decode/animation", h);
}

TEST(GIFGolden, EncodedPictures) {
  for (int depth : {1, 4, 8}) CheckGolden(Format("encode/noise-%d", depth), Fnv1a(EncodeLZW(Picture(depth, true))));
  CheckGolden("encode/gradient-8", Fnv1a(EncodeLZW(Picture(8, false))));
}

TEST(GIFGolden, ReducedPictures) {
  const TDibImage rgb = Picture(24, true);
  CheckGolden("reduce/histogram", Fnv1a(ColorReduce(rgb, rmHistogram).Bytes()));
  CheckGolden("reduce/grey", Fnv1a(ColorReduce(rgb, rmGrayLevels).Bytes()));
}

}  // namespace
