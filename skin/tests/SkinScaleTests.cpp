#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "skin/layout/SkinFrame.h"
#include "skin/model/SkinResample.h"
#include "skin/tests/SkinBytes.h"
#include "skin/tests/SkinTestModel.h"

using skin_test::Bmp24;

namespace {

constexpr uint32_t kRed = 0xC01010;
constexpr uint32_t kGreen = 0x10C010;
constexpr uint32_t kBlue = 0x1010C0;
constexpr uint32_t kGrey = 0x808080;

// Two 6 x 6 frames side by side, cut at 2 pixels all round: frame 1 red corners, green edges and a
// blue middle with a magenta top-left pixel; frame 2 grey.
TSkinImage TwoFrames() {
  TSkinImage image(12, 6, kGrey);
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 6; ++x) {
      const bool sideX = x < 2 || x >= 4;
      const bool sideY = y < 2 || y >= 4;
      image.SetPixel(x, y, sideX && sideY ? kRed : sideX || sideY ? kGreen : kBlue);
    }
  }
  image.SetPixel(0, 0, kSkinMagenta);
  return image;
}

TEST(SkinScale, SlicedPictureKeepsPiecesFramesAndSeeThroughApart) {
  const TSlicedPicture from{2, TFrameLayout::SideBySide, {2, 2, 2, 2}};
  const TSkinImage big = ResampleSlicedImage(TwoFrames(), from, 12, 12, {2, TFrameLayout::SideBySide, {4, 4, 4, 4}});
  ASSERT_EQ(big.Width(), 24);
  ASSERT_EQ(big.Height(), 12);
  // The magenta pixel covers the 2 x 2 block it became; every other pixel of the corner stays
  // exactly red: nothing pink at its edge.
  EXPECT_EQ(big.Pixel(0, 0), kSkinMagenta);
  EXPECT_EQ(big.Pixel(1, 1), kSkinMagenta);
  for (const auto& [x, y] : {std::pair{2, 0}, {0, 2}, {2, 2}, {3, 3}, {2, 1}}) EXPECT_EQ(big.Pixel(x, y), kRed) << x << "," << y;
  // Corners, edges and middle meet at the scaled margins, 4 and 8.
  EXPECT_EQ(big.Pixel(4, 0), kGreen);
  EXPECT_EQ(big.Pixel(7, 3), kGreen);
  EXPECT_EQ(big.Pixel(8, 8), kRed);
  EXPECT_EQ(big.Pixel(4, 4), kBlue);
  EXPECT_EQ(big.Pixel(7, 7), kBlue);
  EXPECT_EQ(big.Pixel(11, 11), kRed);
  // The second frame starts at 12 and has nothing of the first.
  EXPECT_EQ(big.Pixel(12, 0), kGrey);
  EXPECT_EQ(big.Pixel(12, 6), kGrey);
}

TEST(SkinScale, FrameGeometryHitTestAndButtonsFollowTheDisplayScale) {
  TSkinModel model;
  skin_test::LoadModel(model,
                       "[Personality]\nLeft=l.bmp\nLeftFrame=2\nRight=r.bmp\nTop=t.bmp\nTopFrame=2\nBottom=b.bmp\n"
                       "TextShift=28\nTextRightClip=90\n[Fonts]\nFontHeight=14\n"
                       "[Button.Close]\nAction=0\nAlign=1\nXcoord=26\nYcoord=4\nframe=4\nButtonImage=c.bmp\n",
                       {{"l.bmp", Bmp24(8, 10)}, {"r.bmp", Bmp24(4, 10)}, {"t.bmp", Bmp24(30, 52)},
                        {"b.bmp", Bmp24(10, 3)}, {"c.bmp", Bmp24(80, 18)}});
  const TSkinModel at150 = model.Scaled(144);
  // 4, 26, 4 and 3 pixels at 96 dpi; at 144 the halves round away from zero.
  const TFrameMetrics m = SkinFrameMetrics(at150, TBorderMode::Sizeable, 30);
  EXPECT_EQ(m, (TFrameMetrics{6, 39, 6, 5, 30, 144}));
  EXPECT_EQ(SkinClientRect(300, 200, m), (TRect{6, 69, 294, 195}));
  // The sizing band is 3 pixels at 96 dpi, 5 at 144.
  EXPECT_EQ(SkinHitTest(0, {100, 5}, m), 0);
  EXPECT_EQ(SkinHitTest(0, {100, 6}, m), kHitCaption);
  EXPECT_EQ(SkinHitTest(0, {100, 38}, m), kHitCaption);
  EXPECT_EQ(SkinHitTest(0, {100, 39}, m), kHitMenu);

  const TDataSkinSysButton& close = *at150.CaptionButtons().front();
  EXPECT_EQ(CaptionButtonRect(close, 400, {}, m), (TRect{361, 6, 391, 33}));
  EXPECT_EQ(at150.Title().FontHeight, 21);
  // The text ends 6 pixels (4 at 96 dpi) before the first button on the right.
  EXPECT_EQ(CaptionTextRect(at150.Title(), 400, m, 260), (TRect{42, 0, 254, 39}));
}

TEST(SkinScale, DetailedPicturesAreTakenAtOrAboveTheNeed) {
  const std::string description = "[Personality]\nTop=t.bmp\nTopFrame=1\n";
  TSkinModel model;
  skin_test::LoadModel(model, description, {{"t.bmp", Bmp24(4, 2, kGrey)}});
  // The 2x picture is a checkerboard no enlargement of the plain 1x one could give.
  const auto checker = [](int x, int y) { return (x + y) % 2 ? kRed : kBlue; };
  auto detailed = std::make_shared<TSkinModel>();
  skin_test::LoadModel(*detailed, description, {{"t.bmp", Bmp24(8, 4, checker)}});
  const TSkinModel scaled = model.Scaled(192, detailed);
  const TSkinImage& at200 = scaled.Border("Top").Image;
  ASSERT_EQ(at200.Width(), 8);
  EXPECT_EQ(at200.Pixel(0, 0), kBlue);
  EXPECT_EQ(at200.Pixel(1, 0), kRed);
  // 96 dpi keeps the 1x picture; a detailed picture of the wrong size is not taken.
  EXPECT_EQ(model.Scaled(96, detailed).Border("Top").Image.Pixel(1, 0), kGrey);
  auto odd = std::make_shared<TSkinModel>();
  skin_test::LoadModel(*odd, description, {{"t.bmp", Bmp24(7, 4, checker)}});
  EXPECT_EQ(model.Scaled(192, odd).Border("Top").Image.Pixel(1, 0), kGrey);

  // A picture as wide as a skin picture may be cannot double: it stays as it is.
  TSkinModel wide;
  skin_test::LoadModel(wide, description, {{"t.bmp", Bmp24(TSkinImage::kMaxSide, 1, kGrey)}});
  EXPECT_EQ(wide.Scaled(192).Border("Top").Image.Width(), TSkinImage::kMaxSide);
}

TEST(SkinScale, TheProgramsSkinCarriesEveryPictureAtTwiceTheSize) {
  TMemoryStream file;
  file.LoadFromFile(BREVIN_SKIN_FILE);
  TSkinModel model;
  ASSERT_TRUE(model.LoadFile(file, TSkinEnvironment())) << model.Error();
  file.SetPosition(0);
  auto detailed = std::make_shared<TSkinModel>();
  ASSERT_TRUE(detailed->LoadFile(file, TSkinEnvironment(), 2)) << detailed->Error();
  // The images the engine makes from others (the combined combo face, the tool-bar gradient) too.
  for (const auto& object : model.Objects()) {
    const TDataSkinObject* twice = detailed->Find(object->Name);
    ASSERT_NE(twice, nullptr) << object->Name;
    EXPECT_EQ(twice->Image.Width(), 2 * object->Image.Width()) << object->Name;
    EXPECT_EQ(twice->Image.Height(), 2 * object->Image.Height()) << object->Name;
    EXPECT_EQ(twice->Margins(), object->Margins()) << object->Name;
  }
  const TSkinModel at200 = model.Scaled(192, detailed);
  EXPECT_TRUE(at200.Border("Left").Image == detailed->Border("Left").Image);
  EXPECT_TRUE(at200.CaptionButtons().front()->Image == detailed->CaptionButtons().front()->Image);
}

TEST(SkinScale, APictureForANewScaleIsMadeWhenFirstReadAndTheDetailedSkinLetGoThen) {
  const std::string description = "[Personality]\nTop=t.bmp\nTopFrame=1\nLeft=l.bmp\nLeftFrame=1\n";
  TSkinModel model;
  skin_test::LoadModel(model, description, {{"t.bmp", Bmp24(4, 2, kGrey)}, {"l.bmp", Bmp24(2, 4, kRed)}});
  auto detailed = std::make_shared<TSkinModel>();
  skin_test::LoadModel(*detailed, description, {{"t.bmp", Bmp24(8, 4, kBlue)}, {"l.bmp", Bmp24(4, 8, kRed)}});
  const std::weak_ptr<const TSkinModel> held = detailed;
  const TSkinModel at150 = model.Scaled(144, std::move(detailed));
  EXPECT_EQ(at150.ImageBytes(), 0u);
  // 6 x 3 at 150 %, from the 2x picture.
  EXPECT_EQ(at150.Border("Top").Image.Pixel(5, 2), kBlue);
  EXPECT_EQ(at150.ImageBytes(), 6u * 3 * 4);
  EXPECT_FALSE(held.expired()) << "the left border is still to be made from it";
  EXPECT_EQ(at150.Border("Left").Image.Pixel(0, 0), kRed);
  EXPECT_TRUE(held.expired());
}

}  // namespace
