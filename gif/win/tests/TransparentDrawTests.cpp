#include <gtest/gtest.h>

#include <memory>

#include "gif/win/TransparentDraw.h"
#include "gif/win/tests/TestSupport.h"

namespace {

constexpr TColor kKey = RGBColor(10, 20, 30);
constexpr TColor kBackdrop = RGBColor(0, 0, 200);

std::unique_ptr<TBitmap> MakeBitmap(int width, int height, TColor color) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(width, height);
  Fill(*bitmap, color);
  return bitmap;
}

}  // namespace

TEST(TransparentDraw, OnlyTheExactColourIsTransparent) {
  TBitmap source;
  source.SetSize(4, 1);
  PutPixel(source, 0, 0, kKey);
  PutPixel(source, 1, 0, RGBColor(10, 20, 31));
  PutPixel(source, 2, 0, RGBColor(11, 20, 30));
  PutPixel(source, 3, 0, RGBColor(255, 255, 255));
  TBitmap target;
  target.SetSize(4, 1);
  Fill(target, kBackdrop);

  DrawBitmapTransparent(*target.Canvas(), 0, 0, 4, 1, source, 0, 0, 4, 1, kKey);

  EXPECT_EQ(PixelOf(target, 0, 0), kBackdrop);
  EXPECT_EQ(PixelOf(target, 1, 0), RGBColor(10, 20, 31));
  EXPECT_EQ(PixelOf(target, 2, 0), RGBColor(11, 20, 30));
  EXPECT_EQ(PixelOf(target, 3, 0), RGBColor(255, 255, 255));
}

TEST(TransparentDraw, StretchingTwoByTwoToFourByFourKeepsWholeBlocksTransparent) {
  TBitmap source;
  source.SetSize(2, 2);
  PutPixel(source, 0, 0, kKey);
  PutPixel(source, 1, 0, clRed);
  PutPixel(source, 0, 1, clLime);
  PutPixel(source, 1, 1, kKey);
  TBitmap target;
  target.SetSize(6, 6);
  Fill(target, kBackdrop);

  DrawBitmapTransparent(*target.Canvas(), 1, 1, 4, 4, source, 0, 0, 2, 2, kKey);

  const TColor expected[2][2] = {{kBackdrop, clRed}, {clLime, kBackdrop}};
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 6; ++x) {
      const bool inside = x >= 1 && x < 5 && y >= 1 && y < 5;
      const TColor want = inside ? expected[(y - 1) / 2][(x - 1) / 2] : kBackdrop;
      EXPECT_EQ(PixelOf(target, x, y), want) << "at " << x << "," << y;
    }
  }
}

TEST(TransparentDraw, ZeroSizesMeanTheWholeBitmapAtItsOwnSizeAndNoneCopiesOpaquely) {
  auto source_ = MakeBitmap(3, 2, kKey);
  TBitmap& source = *source_;
  PutPixel(source, 2, 1, clRed);
  auto target_ = MakeBitmap(8, 8, kBackdrop);
  TBitmap& target = *target_;

  DrawBitmapTransparent(*target.Canvas(), 2, 3, 0, 0, source, 0, 0, 0, 0, clNone);

  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      const bool inside = x >= 2 && x < 5 && y >= 3 && y < 5;
      const TColor want = !inside ? kBackdrop : (x == 4 && y == 4 ? clRed : kKey);
      EXPECT_EQ(PixelOf(target, x, y), want) << "at " << x << "," << y;
    }
  }
}

TEST(TransparentDraw, DefaultColourTakesTheBottomLeftPixelAndARectGivesTheSource) {
  auto source_ = MakeBitmap(4, 4, clYellow);
  TBitmap& source = *source_;
  PutPixel(source, 0, 3, clGreen);
  PutPixel(source, 2, 2, clGreen);
  auto target_ = MakeBitmap(4, 4, kBackdrop);
  TBitmap& target = *target_;

  DrawBitmapTransparent(*target.Canvas(), 0, 0, 4, 4, source, 0, 0, 4, 4, clDefault);
  EXPECT_EQ(PixelOf(target, 0, 3), kBackdrop);
  EXPECT_EQ(PixelOf(target, 2, 2), kBackdrop);
  EXPECT_EQ(PixelOf(target, 1, 1), clYellow);

  // Only the source rectangle (2, 2)-(4, 4) is drawn.
  auto part_ = MakeBitmap(4, 4, kBackdrop);
  TBitmap& part = *part_;
  DrawBitmapRectTransparent(*part.Canvas(), 0, 0, 2, 2, RECT{2, 2, 4, 4}, source, clGreen);
  EXPECT_EQ(PixelOf(part, 0, 0), kBackdrop);
  EXPECT_EQ(PixelOf(part, 1, 0), clYellow);
  EXPECT_EQ(PixelOf(part, 1, 1), clYellow);
  EXPECT_EQ(PixelOf(part, 2, 2), kBackdrop);
}

TEST(TransparentDraw, MonochromeBitmapsKeyOnWhiteWhateverColourIsGiven) {
  auto mono_ = MakeBitmap(2, 1, clWhite);
  TBitmap& mono = *mono_;
  mono.SetMonochrome(true);
  mono.Canvas()->SetPixel(1, 0, clBlack);
  auto target_ = MakeBitmap(2, 1, kBackdrop);
  TBitmap& target = *target_;

  DrawBitmapTransparent(*target.Canvas(), 0, 0, 2, 1, mono, 0, 0, 2, 1, clBlack);

  EXPECT_EQ(PixelOf(target, 0, 0), kBackdrop);
  EXPECT_EQ(PixelOf(target, 1, 0), clBlack);
}

TEST(TransparentDraw, ContextLevelBlitLeavesTheTargetAloneWhereTheSourceIsKeyed) {
  auto source_ = MakeBitmap(2, 2, kKey);
  TBitmap& source = *source_;
  PutPixel(source, 1, 1, clRed);
  auto target_ = MakeBitmap(2, 2, kBackdrop);
  TBitmap& target = *target_;

  BlitTransparent(target.Canvas()->Handle(), 0, 0, 2, 2, source.Canvas()->Handle(), 0, 0, 2, 2,
                  ColorToRGB(kKey), nullptr);

  EXPECT_EQ(PixelOf(target, 0, 0), kBackdrop);
  EXPECT_EQ(PixelOf(target, 1, 1), clRed);
}
