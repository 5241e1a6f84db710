#include <gtest/gtest.h>

#include <cstring>

#include "framework/core/Exception.h"
#include "gif/LZWDecoder.h"
#include "gif/LZWEncoder.h"
#include "gif/tests/GifBytes.h"

namespace {

uint32_t Read32(const uint8_t* p) { return uint32_t(p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24); }

std::vector<int> Ramp(int count, int modulo) {
  std::vector<int> p;
  for (int i = 0; i < count; ++i) p.push_back((i * 5 + i / 7) % modulo);
  return p;
}

TEST(GIFDecodeBitmap, DepthFollowsTheColourCountAndPaletteIsPaddedWithGrey) {
  struct Case {
    int bits, depth;
  };
  for (const Case c : {Case{1, 1}, Case{2, 4}, Case{4, 4}, Case{5, 8}, Case{8, 8}}) {
    TGIFImage image;
    const int codeSize = std::max(2, c.bits);
    GifBytes().Header(5, 3, c.bits).Image(0, 0, 5, 3, Ramp(15, 1 << c.bits), codeSize).Trailer().ReadInto(image);
    const TDibImage& dib = image.Frame(0).Bitmap();
    ASSERT_EQ(dib.BitsPerPixel(), c.depth) << c.bits;
    EXPECT_EQ(dib.PaletteCount(), 1 << c.depth);
    EXPECT_EQ(dib.PaletteColor((1 << c.bits) - 1), (TRGB{uint8_t((1 << c.bits) - 1), uint8_t(2 * ((1 << c.bits) - 1)),
                                                         uint8_t(3 * ((1 << c.bits) - 1))}));
    if (c.depth > c.bits) {
      EXPECT_EQ(dib.PaletteColor(1 << c.bits), (TRGB{128, 128, 128}));
      EXPECT_EQ(dib.InfoHeader()[40 + 4 * (1 << c.bits) + 3], 128) << "padding has 128 in the fourth byte";
    }
    for (int i = 0; i < 15; ++i) EXPECT_EQ(dib.PixelIndex(i % 5, i / 5), Ramp(15, 1 << c.bits)[size_t(i)]);
  }
}

TEST(GIFDecodeBitmap, BmpLayoutHeaderAndBottomUpRows) {
  TGIFImage image;
  GifBytes().Header(3, 2, 8).Image(0, 0, 3, 2, {1, 2, 3, 4, 5, 6}, 8).Trailer().ReadInto(image, true);
  const TDibImage& dib = image.Frame(0).Bitmap();
  const uint8_t* b = dib.Bytes().data();
  EXPECT_EQ(b[0], 'B');
  EXPECT_EQ(b[1], 'M');
  EXPECT_EQ(Read32(b + 2), dib.Bytes().size());
  EXPECT_EQ(Read32(b + 10), 54u + 4 * 256);
  EXPECT_EQ(Read32(b + 14), 40u);
  EXPECT_EQ(Read32(b + 18), 3u);
  EXPECT_EQ(Read32(b + 22), 2u);
  EXPECT_EQ(Read32(b + 34), 2u * 4) << "image size = height x stride of 4";
  const uint8_t* stored = dib.Pixels();
  EXPECT_EQ(stored[0], 4) << "the bottom row is stored first";
  EXPECT_EQ(stored[4], 1);
  EXPECT_EQ(image.Width(), 3);
  EXPECT_EQ(image.Height(), 2);
}

TEST(GIFDecodeBitmap, InterlacedRowsFollowTheFourPasses) {
  for (int height : {1, 2, 3, 5, 10, 17}) {
    std::vector<int> rows;
    for (int pass = 0; pass < 4; ++pass) {
      static const int kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
      for (int y = kStart[pass]; y < height; y += kStep[pass]) rows.push_back(y);
    }
    std::vector<int> pixels;
    for (int y : rows) pixels.insert(pixels.end(), {y % 16, (y + 1) % 16});
    TGIFImage image;
    GifBytes().Header(2, height, 4).Image(0, 0, 2, height, pixels, 4, 0, true).Trailer().ReadInto(image);
    const TDibImage& dib = image.Frame(0).Bitmap();
    for (int y = 0; y < height; ++y) {
      EXPECT_EQ(dib.PixelIndex(0, y), y % 16) << "height " << height << " row " << y;
      EXPECT_EQ(dib.PixelIndex(1, y), (y + 1) % 16);
    }
  }
}

TEST(GIFDecodeBitmap, FramesWithoutColourTablesCannotBeDecoded) {
  TGIFImage image;
  GifBytes().Header(2, 2, 0).Image(0, 0, 2, 2, {0, 1, 1, 0}, 2).Trailer().ReadInto(image);
  EXPECT_EQ(GraphicError([&] { (void)image.Frame(0).Bitmap(); }), "Wrong number of colors; must be a power of 2");
}

TEST(GIFDecodeBitmap, HugeFramesAreRefusedBeforeAllocating) {
  TGIFImage image;
  GifBytes().Header(65535, 65535, 1).Image(0, 0, 65535, 65535, {}, 2).Trailer().ReadInto(image);
  EXPECT_EQ(GraphicError([&] { (void)image.Frame(0).Bitmap(); }), "Image too large");
}

// Decodes hand-made codes of a 4 x 2 frame with 4 colours.
struct CodeRun {
  explicit CodeRun(const std::vector<int>& codes, int codeSize = 2, bool terminate = true) {
    GifBytes().Header(4, 2, 2).Raw({0x2C}).Word(0).Word(0).Word(4).Word(2).Raw({0})
        .Coded(codeSize, codes, 255, terminate).Trailer().ReadInto(image);
  }
  std::vector<int> Decode() {
    const TDibImage& dib = image.Frame(0).Bitmap();
    std::vector<int> p;
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 4; ++x) p.push_back(dib.PixelIndex(x, y));
    return p;
  }
  TGIFImage image;
};

TEST(GIFDecodeLZW, TableStringsAndTheCodeEqualToTheNextFreeCode) {
  // Code size 3: clear 8, end 9, first free 10. 10 arrives while it is the next free code
  // ("1" + "1"); 11 is then "1 1" + "2".
  CodeRun run({8, 1, 10, 2, 11, 9}, 3);
  EXPECT_EQ(run.Decode(), (std::vector<int>{1, 1, 1, 2, 1, 1, 2, 0}));
  EXPECT_FALSE(run.image.Frame(0).Damaged);
}

TEST(GIFDecodeLZW, PixelsBeyondTheLastRowAreDroppedAndDecodingStops) {
  CodeRun run(GifBytes::LiteralCodes({1, 2, 3, 1, 2, 3, 1, 2, 3, 3, 3}, 2, false));
  EXPECT_EQ(run.Decode(), (std::vector<int>{1, 2, 3, 1, 2, 3, 1, 2}));
}

TEST(GIFDecodeLZW, RunningOutOfDataBeforeTheEndIsAnError) {
  CodeRun run({4, 1, 2});
  EXPECT_EQ(GraphicError([&] { run.Decode(); }), "Stream read error");
  CodeRun ended({4, 1, 2, 5});
  EXPECT_EQ(ended.Decode(), (std::vector<int>{1, 2, 0, 0, 0, 0, 0, 0}));
}

TEST(GIFDecodeLZW, CodeSizeOutOfRange) {
  for (int size : {1, 10, 0}) {
    CodeRun run({4, 1, 2, 5}, size);
    {
      CorruptGIFSetting strict(false);
      EXPECT_EQ(GraphicError([&] { run.Decode(); }), "GIF code size not in range 2 to 9") << size;
    }
    run.image.Frame(0).DecodedBitmap.reset();
    EXPECT_NO_THROW(run.Decode());
    EXPECT_TRUE(run.image.Frame(0).Damaged);
  }
}

TEST(GIFDecodeLZW, UndefinedCodesAreCorrupt) {
  CodeRun run({4, 1, 7, 2, 2, 2});  // 7 is beyond the next free code 6
  {
    CorruptGIFSetting strict(false);
    EXPECT_EQ(GraphicError([&] { run.Decode(); }), "GIF encoded data is corrupt");
  }
  run.image.Frame(0).DecodedBitmap.reset();
  EXPECT_EQ(run.Decode(), (std::vector<int>{1, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_TRUE(run.image.Frame(0).Damaged);

  CodeRun first({4, 6, 1});  // a table code right after a clear
  EXPECT_EQ(first.Decode(), (std::vector<int>(8, 0)));
  EXPECT_TRUE(first.image.Frame(0).Damaged);
}

TEST(GIFDecodeLZW, ProgressIsReportedFromStartToEnd) {
  TGIFImage image;
  GifBytes bytes;
  bytes.blockSize = 8;
  bytes.Header(64, 64, 4).Image(0, 0, 64, 64, Ramp(4096, 16), 4).Trailer().ReadInto(image);
  std::vector<std::pair<TProgressStage, int>> seen;
  image.OnProgress = [&](TProgressStage s, int percent, const std::string&) { seen.emplace_back(s, percent); };
  (void)image.Frame(0).Bitmap();
  ASSERT_GE(seen.size(), 3u);
  EXPECT_EQ(seen.front(), std::make_pair(TProgressStage::psStarting, 0));
  EXPECT_EQ(seen.back(), std::make_pair(TProgressStage::psEnding, 100));
  for (size_t i = 2; i + 1 < seen.size(); ++i) EXPECT_GE(seen[i].second, seen[i - 1].second);
  EXPECT_GT(seen.size(), 20u);
}

// Round trips through the encoder: long noisy pictures fill the 4096-entry table, restart at
// 4094 and cross sub-block boundaries; the decoder must give back every pixel.
TEST(GIFDecodeLZW, EncoderRoundTripForEveryDepth) {
  uint32_t seed = 12345;
  auto random = [&] {
    seed = seed * 1103515245 + 12345;
    return seed >> 16;
  };
  for (int depth : {1, 4, 8}) {
    for (int flavour = 0; flavour < 3; ++flavour) {
      const int w = 301, h = 97;
      TDibImage dib(w, h, depth);
      const int colors = 1 << depth;
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
          int v = flavour == 0 ? int(random() % uint32_t(colors))
                  : flavour == 1 ? (x / 9 + y / 5) % colors
                                 : 0;
          uint8_t* row = dib.Row(y);
          if (depth == 8) row[x] = uint8_t(v);
          else if (depth == 4) row[x / 2] |= uint8_t((x & 1) ? v : v << 4);
          else row[x / 8] |= uint8_t(v << (7 - x % 8));
        }
      const std::vector<uint8_t> coded = EncodeLZW(dib);
      EXPECT_EQ(coded[0], depth == 1 ? 2 : depth) << "minimum code size";
      TDibImage out(w, h, depth);
      TLZWDecodeParams params;
      params.ColorBits = depth;
      params.AcceptDamage = false;
      EXPECT_FALSE(DecodeLZW(coded.data(), coded.size(), params, out));
      for (int y = 0; y < h; ++y)
        ASSERT_EQ(0, std::memcmp(dib.Row(y), out.Row(y), (size_t(w) * size_t(depth) + 7) / 8))
            << "depth " << depth << " flavour " << flavour << " row " << y;
    }
  }
}

// The encoder must find the strings it has already seen: a plain picture of 200 x 200 pixels
// needs about 630 codes (string lengths 1, 2, 3, ...), far below one code per pixel.
TEST(GIFDecodeLZW, EncoderReusesStringsOfPlainPictures) {
  for (int depth : {1, 4, 8}) {
    TDibImage plain(200, 200, depth);
    const std::vector<uint8_t> coded = EncodeLZW(plain);
    EXPECT_LT(coded.size(), 1200u) << depth;
  }
}

TEST(GIFDecodeLZW, EncodedSubBlocksAreFullExceptTheLast) {
  TDibImage dib(400, 300, 8);
  for (int y = 0; y < 300; ++y)
    for (int x = 0; x < 400; ++x) dib.Row(y)[x] = uint8_t((x * 31 + y * 17 + x * y) & 0xFF);
  const std::vector<uint8_t> coded = EncodeLZW(dib);
  size_t pos = 1;
  std::vector<size_t> lengths;
  while (pos < coded.size() && coded[pos] != 0) {
    lengths.push_back(coded[pos]);
    pos += 1 + coded[pos];
  }
  ASSERT_EQ(pos + 1, coded.size()) << "one zero terminator ends the data";
  ASSERT_GT(lengths.size(), 2u);
  for (size_t i = 0; i + 1 < lengths.size(); ++i) EXPECT_EQ(lengths[i], 255u);
}

}  // namespace
