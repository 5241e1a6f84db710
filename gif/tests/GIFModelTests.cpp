#include <gtest/gtest.h>

#include "framework/core/Exception.h"
#include "gif/tests/GifBytes.h"

namespace {

GifBytes TwoFrames() {
  std::vector<int> a(12, 1), b(6, 2);
  GifBytes g;
  g.Header(4, 3, 2, 1).Loop("NETSCAPE2.0", 7).Control(1, 10, 3).Image(0, 0, 4, 3, a, 2);
  return g.Comment({"second"}).Image(1, 1, 3, 2, b, 2, 2).Trailer();
}

TEST(GIFModelAssign, ImageAssignmentSharesHeaderAndCodedData) {
  TGIFImage source;
  TwoFrames().ReadInto(source, true);
  int changes = 0;
  TGIFImage copy;
  copy.OnChange = [&] { ++changes; };
  copy.Assign(source);
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(copy.Equals(source));
  EXPECT_EQ(&copy.Data(), &source.Data());
  ASSERT_EQ(copy.FrameCount(), 2);
  EXPECT_EQ(copy.Frame(1).ItemRef(), source.Frame(1).ItemRef());
  EXPECT_TRUE(copy.Frame(1).HasLocalTable);
  EXPECT_FALSE(copy.Frame(0).HasLocalTable);
  EXPECT_EQ(copy.Frame(1).Comment(), std::vector<std::string>{"second"});
  EXPECT_TRUE(copy.HasLoop);
  EXPECT_EQ(copy.LoopCount, 7);
  EXPECT_EQ(copy.Frame(0).TransColor, source.Frame(0).TransColor);
  ASSERT_TRUE(copy.Frame(0).HasBitmap()) << "a decoded bitmap is copied";
  EXPECT_NE(&copy.Frame(0).Bitmap(), &source.Frame(0).Bitmap());

  source.Clear();
  EXPECT_FALSE(copy.Equals(source));
  EXPECT_EQ(copy.Frame(1).Bitmap().PixelIndex(0, 0), 2) << "the copy keeps the shared data alive";
}

TEST(GIFModelAssign, ImageFromFrameAndFrameFromImage) {
  TGIFImage source;
  TwoFrames().ReadInto(source);
  TGIFImage one;
  one.Assign(source.Frame(1));
  ASSERT_EQ(one.FrameCount(), 1);
  EXPECT_EQ(one.CurrentFrame, 0);
  EXPECT_EQ(one.GifVersion, 1);
  EXPECT_EQ(one.Data().GlobalTable.Count, 4u);
  EXPECT_TRUE(one.Frame(0).HasLocalTable) << "a frame from another image keeps its table local";
  EXPECT_EQ(one.LogicalWidth(), 4);
  EXPECT_EQ(one.LogicalHeight(), 3);

  one.Assign(one.Frame(0));
  EXPECT_EQ(one.FrameCount(), 1) << "assigning an image from its own frame is safe";

  TGIFFrame frame(nullptr);
  frame.Assign(source);
  EXPECT_EQ(frame.ItemRef(), source.Frame(0).ItemRef());
  TGIFImage empty;
  frame.Assign(empty);
  EXPECT_FALSE(frame.HasCodedData());
  EXPECT_EQ(frame.Width(), 0);
}

TEST(GIFModelAssign, AddFrameSetsVersionAndGrowsTheScreen) {
  TGIFImage image;
  EXPECT_EQ(image.AddFrame(TDibImage(5, 4, 8)), 0);
  EXPECT_EQ(image.GifVersion, 1);
  EXPECT_EQ(image.AddFrame(TDibImage(2, 9, 8)), 1);
  EXPECT_EQ(image.GifVersion, 2);
  EXPECT_EQ(image.CurrentFrame, 1);
  EXPECT_EQ(image.LogicalWidth(), 5);
  EXPECT_EQ(image.LogicalHeight(), 9);
  EXPECT_EQ(image.Width(), 2);
}

TEST(GIFModelState, EmptyImagesAndFixedSize) {
  TGIFImage image;
  EXPECT_TRUE(image.Empty());
  EXPECT_EQ(image.Width(), 0);
  image.SetLogicalSize(10, 10);
  EXPECT_EQ(image.LogicalWidth(), 0) << "an empty image has no logical size";
  EXPECT_EQ(GraphicError([&] { image.SetWidth(3); }), "Cannot change the Size of a GIF image");
  EXPECT_EQ(GraphicError([&] { image.SetHeight(3); }), "Cannot change the Size of a GIF image");

  TwoFrames().ReadInto(image);
  EXPECT_FALSE(image.Empty());
  EXPECT_FALSE(image.Frame(1).HasBitmap()) << "frames stay coded until asked for";
  EXPECT_EQ(image.Frame(1).CoveredSize().Width, 3);
  EXPECT_EQ(image.Width(), 4);
  EXPECT_TRUE(image.Frame(0).HasBitmap());
  EXPECT_FALSE(image.Frame(1).HasBitmap());
}

TEST(GIFModelState, PaletteBitsAcceptsOnlyPowersOfTwo) {
  EXPECT_EQ(PaletteBits(2), 1);
  EXPECT_EQ(PaletteBits(256), 8);
  for (uint32_t bad : {0u, 1u, 3u, 255u, 512u})
    EXPECT_EQ(GraphicError([&] { (void)PaletteBits(bad); }), "Wrong number of colors; must be a power of 2") << bad;
}

}  // namespace
