#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "skin/model/SkinColour.h"
#include "skin/layout/SkinGeometry.h"
#include "skin/tests/SkinBytes.h"

using skin_test::Bmp24;
using skin_test::Bytes;

namespace {

TSkinImage Decode(const std::vector<uint8_t>& bytes) {
  TSkinImage image;
  EXPECT_TRUE(DecodeSkinBitmap(bytes.data(), bytes.size(), image));
  return image;
}

TEST(SkinImage, DecodesBottomUpTwentyFourBitAndIndexedRows) {
  const TSkinImage rgb = Decode(Bmp24(3, 2, [](int x, int y) { return uint32_t(0x010203 * (x + 3 * y + 1)); }));
  EXPECT_EQ(rgb.Pixel(0, 0), 0x010203u);
  EXPECT_EQ(rgb.Pixel(2, 1), 0x060C12u);

  // 4 x 2, 1 bit per pixel, top-down, palette black and red; rows 0b1010 and 0b0110.
  std::vector<uint8_t> mono = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 62, 0, 0, 0, 40, 0, 0, 0, 4, 0, 0, 0,
                               0xFE, 0xFF, 0xFF, 0xFF, 1, 0, 1, 0};
  mono.resize(54, 0);
  const std::vector<uint8_t> tail = {0, 0, 0, 0, 0, 0, 0xFF, 0, 0xA0, 0, 0, 0, 0x60, 0, 0, 0};
  mono.insert(mono.end(), tail.begin(), tail.end());
  const TSkinImage indexed = Decode(mono);
  EXPECT_EQ(indexed.Pixel(0, 0), 0xFF0000u);
  EXPECT_EQ(indexed.Pixel(1, 0), 0u);
  EXPECT_EQ(indexed.Pixel(1, 1), 0xFF0000u);
  EXPECT_EQ(indexed.Pixel(3, 1), 0u);
}

TEST(SkinImage, RefusesWhatTheBytesCannotHold) {
  std::vector<uint8_t> good = Bmp24(4, 4);
  TSkinImage image;
  const auto refuses = [&image](std::vector<uint8_t> bytes) {
    return !DecodeSkinBitmap(bytes.data(), bytes.size(), image) && image.Empty();
  };
  EXPECT_TRUE(refuses(Bytes("")));
  EXPECT_TRUE(refuses(Bytes("BM")));
  EXPECT_TRUE(refuses(std::vector<uint8_t>(good.begin(), good.end() - 1)));
  std::vector<uint8_t> huge = good;
  huge[18] = huge[22] = 0xFF;  // 32767 x 32767 claimed by a 102-byte file
  huge[19] = huge[23] = 0x7F;
  EXPECT_TRUE(refuses(huge));
  std::vector<uint8_t> depth = good;
  depth[28] = 7;
  EXPECT_TRUE(refuses(depth));
  std::vector<uint8_t> compressed = good;
  compressed[30] = 1;
  EXPECT_TRUE(refuses(compressed));
  std::vector<uint8_t> zero = good;
  zero[18] = 0;
  EXPECT_TRUE(refuses(zero));
}

TEST(SkinGeometry, FramesSideBySideOrStackedWithCountAndNumberKeptInRange) {
  EXPECT_EQ(SkinFrameRect(80, 18, 4, 2, TFrameLayout::SideBySide), (TRect{20, 0, 40, 18}));
  EXPECT_EQ(SkinFrameRect(80, 52, 2, 2, TFrameLayout::Stacked), (TRect{0, 26, 80, 52}));
  EXPECT_EQ(SkinFrameRect(80, 18, 0, 1, TFrameLayout::SideBySide), (TRect{0, 0, 80, 18}));
  EXPECT_EQ(SkinFrameRect(80, 18, 4, 9, TFrameLayout::SideBySide), (TRect{60, 0, 80, 18}));
  EXPECT_TRUE(SkinFrameRect(3, 18, 5, 1, TFrameLayout::SideBySide).Empty());
}

TEST(SkinGeometry, NineSlicePiecesKeepCornersAndDropMarginsThatDoNotFit) {
  const TRect frame{20, 0, 50, 20};
  const auto pieces = NineSlicePieces(frame, {5, 4, 6, 3}, {100, 10, 200, 60}, true);
  ASSERT_EQ(pieces.size(), 9u);
  EXPECT_EQ(pieces[0], (TSlicePiece{{20, 0, 25, 4}, {100, 10, 105, 14}, false}));
  EXPECT_EQ(pieces[3], (TSlicePiece{{44, 17, 50, 20}, {194, 57, 200, 60}, false}));
  EXPECT_EQ(pieces[4], (TSlicePiece{{25, 0, 44, 4}, {105, 10, 194, 14}, false}));
  EXPECT_EQ(pieces[8], (TSlicePiece{{25, 4, 44, 17}, {105, 14, 194, 57}, true}));

  // Narrower than left + right: only the top and bottom margins remain.
  const auto narrow = NineSlicePieces(frame, {5, 4, 6, 3}, {0, 0, 10, 60}, false);
  ASSERT_EQ(narrow.size(), 3u);
  EXPECT_EQ(narrow[0], (TSlicePiece{{20, 0, 50, 4}, {0, 0, 10, 4}, false}));
  EXPECT_EQ(narrow[2], (TSlicePiece{{20, 4, 50, 17}, {0, 4, 10, 57}, false}));

  // Margins larger than the frame itself are dropped rather than read beyond it.
  const auto oversized = NineSlicePieces(frame, {40, -2, 40, 0}, {0, 0, 100, 100}, false);
  ASSERT_EQ(oversized.size(), 1u);
  EXPECT_EQ(oversized[0].Source, frame);
  EXPECT_TRUE(NineSlicePieces({}, {}, {0, 0, 5, 5}, false).empty());
}

TEST(SkinGeometry, TheMiddleIsTiledOrStretched) {
  const TSkinImage strip = Decode(Bmp24(4, 1, [](int x, int) { return uint32_t(x + 1); }));
  const auto row = [&](bool tile) {
    TSkinImage target(7, 1);
    DrawNineSlice(strip, {0, 0, 4, 1}, {1, 0, 1, 0}, tile, target, {0, 0, 7, 1});
    std::vector<uint32_t> pixels;
    for (int x = 0; x < 7; ++x) pixels.push_back(target.Pixel(x, 0));
    return pixels;
  };
  EXPECT_EQ(row(true), (std::vector<uint32_t>{1, 2, 3, 2, 3, 2, 4}));
  EXPECT_EQ(row(false), (std::vector<uint32_t>{1, 2, 2, 2, 3, 3, 4}));
}

TEST(SkinGeometry, MagentaKeyedPixelsBecomeRegionRectangles) {
  // . = magenta        x..x
  //                    xxxx
  //                    xxxx
  //                    .xx.
  const char* rows[] = {"x..x", "xxxx", "xxxx", ".xx."};
  TSkinImage image(4, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) image.SetPixel(x, y, rows[y][x] == '.' ? kSkinMagenta : 0x123456);
  std::vector<TRect> runs = OpaqueRuns(image);
  std::sort(runs.begin(), runs.end(), [](const TRect& a, const TRect& b) {
    return a.Top != b.Top ? a.Top < b.Top : a.Left < b.Left;
  });
  EXPECT_EQ(runs, (std::vector<TRect>{{0, 0, 1, 1}, {3, 0, 4, 1}, {0, 1, 4, 3}, {1, 3, 3, 4}}));
  EXPECT_TRUE(OpaqueRuns(TSkinImage(3, 2, kSkinMagenta)).empty());
}

TEST(SkinColour, ParsingBlendingAndMeasuring) {
  EXPECT_EQ(ParseSkinColour("30,52,41", clRed), RGBColor(30, 52, 41));
  EXPECT_EQ(ParseSkinColour("30 52 41", clRed), RGBColor(30, 52, 41));
  EXPECT_EQ(ParseSkinColour("30, 52 ,41", clRed), RGBColor(30, 52, 41));
  EXPECT_EQ(ParseSkinColour("", clRed), clRed);
  EXPECT_EQ(ParseSkinColour("12", clRed), RGBColor(12, 0, 0));
  EXPECT_EQ(ParseSkinColour("999999999999 1 2 3", clRed), RGBColor(255, 1, 2));

  EXPECT_EQ(SkinBlend(clWhite, clBlack, 150), RGBColor(38, 38, 38));
  EXPECT_EQ(SkinBlend(clWhite, clBlack, 70), RGBColor(179, 179, 179));
  EXPECT_EQ(SkinBlend(clWhite, clBlack, 5000), clWhite);
  EXPECT_EQ(SkinColourMeasure(RGBColor(0, 128, 255)), 255);
  EXPECT_EQ(SkinColourMeasure(RGBColor(200, 200, 200)), 0);
  EXPECT_EQ(SkinColourMeasure(RGBColor(100, 150, 159)), 200);
  EXPECT_EQ(SkinColourMeasure(RGBColor(160, 80, 120)), 128);
}

}  // namespace
