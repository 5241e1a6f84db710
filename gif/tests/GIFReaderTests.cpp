#include <gtest/gtest.h>

#include "framework/core/Exception.h"
#include "gif/tests/GifBytes.h"

namespace {

std::vector<int> Pixels(int count, int modulo) {
  std::vector<int> p;
  for (int i = 0; i < count; ++i) p.push_back((i * 7 + i / 3) % modulo);
  return p;
}

TEST(GIFReaderHeader, SignatureAndVersionIgnoreCaseAndUnknownVersionsFail) {
  TGIFImage image;
  GifBytes().Header(4, 2, 1, 0, "gif89a").Image(0, 0, 4, 2, Pixels(8, 2), 2).Trailer().ReadInto(image);
  EXPECT_EQ(image.GifVersion, 2);
  EXPECT_EQ(image.FrameCount(), 1);
  GifBytes().Header(4, 2, 1, 0, "GIF87A").Trailer().ReadInto(image);
  EXPECT_EQ(image.GifVersion, 1);

  for (const char* version : {"GIF90a", "GIX89a", "JFIF00"}) {
    GifBytes bytes;
    bytes.Header(4, 2, 1, 0, version).Trailer();
    EXPECT_EQ(GraphicError([&] { bytes.ReadInto(image); }), "Unknown GIF version") << version;
  }
}

TEST(GIFReaderHeader, EmptyStreamGivesEmptyImageAndTruncatedHeaderFails) {
  TGIFImage image;
  GifBytes().Header(4, 2, 1).Image(0, 0, 4, 2, Pixels(8, 2), 2).Trailer().ReadInto(image);
  TMemoryStream empty;
  image.ReadStream(0, empty, true);
  EXPECT_EQ(image.FrameCount(), 0);
  EXPECT_TRUE(image.Empty());
  EXPECT_EQ(image.CurrentFrame, -1);

  GifBytes cut;
  cut.Text("GIF89a").Word(4);
  EXPECT_EQ(GraphicError([&] { cut.ReadInto(image); }), "Stream read error");
}

TEST(GIFReaderHeader, ScreenGlobalTableAndBackground) {
  TGIFImage image;
  GifBytes().Header(300, 200, 3, 5).Trailer().ReadInto(image);
  EXPECT_EQ(image.Data().ColorBits, 3);
  EXPECT_EQ(image.Data().ColorResolution, 3);
  EXPECT_EQ(image.Data().GlobalTable.Count, 8u);
  EXPECT_EQ(image.BackColor, RGBColor(5, 10, 15));

  GifBytes().Header(300, 200, 3, 8).Trailer().ReadInto(image);
  EXPECT_EQ(image.BackColor, clNone) << "background index beyond the table";
  GifBytes().Header(300, 200, 0, 1).Trailer().ReadInto(image);
  EXPECT_EQ(image.BackColor, clNone) << "no global table";
}

TEST(GIFReaderExtensions, GraphicControlDelayDisposalAndTransparency) {
  TGIFImage image;
  GifBytes()
      .Header(4, 2, 2)
      .Control(0x08 | 1, 50, 3)  // disposal 2, transparent index 3
      .Image(0, 0, 4, 2, Pixels(8, 4), 2)
      .Control(0x04, 7, 0)  // two controls: larger delay, last disposal and transparency
      .Control(0x0C | 1, 3, 1)
      .Image(0, 0, 4, 2, Pixels(8, 4), 2)
      .Control(1, 0, 4)  // index beyond the 4 colours
      .Image(0, 0, 4, 2, Pixels(8, 4), 2)
      .Trailer()
      .ReadInto(image);
  ASSERT_EQ(image.FrameCount(), 3);
  EXPECT_EQ(image.Frame(0).DelayMs, 500);
  EXPECT_EQ(image.Frame(0).Disposal, 2);
  EXPECT_EQ(image.Frame(0).TransColor, RGBColor(3, 6, 9));
  EXPECT_EQ(image.Frame(1).DelayMs, 70);
  EXPECT_EQ(image.Frame(1).Disposal, 3);
  EXPECT_EQ(image.Frame(1).TransColor, RGBColor(1, 2, 3));
  EXPECT_EQ(image.Frame(2).DelayMs, 0);
  EXPECT_EQ(image.Frame(2).TransColor, clNone);
  EXPECT_TRUE(image.IsTransparent());
  image.Transparent = false;
  EXPECT_FALSE(image.IsTransparent());
}

TEST(GIFReaderExtensions, DelayKeepsLowSixteenBits) {
  TGIFImage image;
  GifBytes().Header(4, 2, 1).Control(0, 6554, 0).Image(0, 0, 4, 2, Pixels(8, 2), 2).Trailer().ReadInto(image);
  EXPECT_EQ(image.Frame(0).DelayMs, uint16_t(65540));
}

TEST(GIFReaderExtensions, LoopExtensionsAreCappedAndOthersIgnored) {
  TGIFImage image;
  GifBytes().Header(4, 2, 1).Loop("NETSCAPE2.0", 40000).Image(0, 0, 4, 2, Pixels(8, 2), 2).Trailer().ReadInto(image);
  EXPECT_TRUE(image.HasLoop);
  EXPECT_EQ(image.LoopCount, 30000);
  GifBytes().Header(4, 2, 1).Loop("ANIMEXTS1.0", 3).Image(0, 0, 4, 2, Pixels(8, 2), 2).Trailer().ReadInto(image);
  EXPECT_TRUE(image.HasLoop);
  EXPECT_EQ(image.LoopCount, 3);
  GifBytes().Header(4, 2, 1).Loop("XMPDataXMP ", 3).Image(0, 0, 4, 2, Pixels(8, 2), 2).Trailer().ReadInto(image);
  EXPECT_FALSE(image.HasLoop);
  EXPECT_EQ(image.LoopCount, 1);
  EXPECT_TRUE(image.Frame(0).ExtensionList.empty()) << "application extensions are not kept";
}

TEST(GIFReaderExtensions, UnknownLabelFailsAndPlainTextDropsPendingExtensions) {
  TGIFImage image;
  GifBytes bad;
  bad.Header(4, 2, 1).Raw({0x21, 0x99, 0}).Trailer();
  EXPECT_EQ(GraphicError([&] { bad.ReadInto(image); }), "Unrecognized extension block: 99");

  GifBytes plain;
  plain.Header(4, 2, 1).Control(1, 10, 1).Raw({0x21, 0x01, 12, 0, 0, 0, 0, 4, 0, 2, 0, 8, 8, 1, 0});
  plain.Raw({2, 'h', 'i', 0}).Image(0, 0, 4, 2, Pixels(8, 2), 2).Trailer().ReadInto(image);
  ASSERT_EQ(image.FrameCount(), 1);
  EXPECT_TRUE(image.Frame(0).ExtensionList.empty());
  EXPECT_EQ(image.Frame(0).DelayMs, 0);
}

TEST(GIFReaderExtensions, CommentsAfterTheLastImageBecomeCommentLines) {
  TGIFImage image;
  GifBytes()
      .Header(4, 2, 1)
      .Comment({"frame note"})
      .Image(0, 0, 4, 2, Pixels(8, 2), 2)
      .Comment({"made by", "hand"})
      .Comment({"second"})
      .Trailer()
      .ReadInto(image);
  EXPECT_EQ(image.CommentLines(), (std::vector<std::string>{"made by", "hand", "\r\n\r\n", "second"}));
  EXPECT_EQ(image.Frame(0).Comment(), std::vector<std::string>{"frame note"});
}

// A sub-block length at the very end of the file, with no bytes after it, once gave an empty
// comment line, which writing then dropped.
TEST(GIFReaderRegression, CommentCutAtTheEndOfTheFileKeepsNoEmptyLine) {
  TGIFImage image;
  GifBytes g;
  g.Header(4, 2, 1).Image(0, 0, 4, 2, Pixels(8, 2), 2).Raw({0x21, 0xFE, 3, 'a', 'b', 'c', 5});
  g.ReadInto(image);
  EXPECT_EQ(image.CommentLines(), std::vector<std::string>{"abc"});
  g.Raw({'d', 'e'});
  g.ReadInto(image);
  EXPECT_EQ(image.CommentLines(), (std::vector<std::string>{"abc", "de"})) << "a cut block keeps its bytes";
}

TEST(GIFReaderBlocks, ZeroBytesAfterAnImageAreSkippedOrEndReading) {
  TGIFImage image;
  GifBytes skipped;
  skipped.Header(4, 2, 1).Image(0, 0, 4, 2, Pixels(8, 2), 2).Raw({0, 0, 0}).Image(1, 1, 2, 1, {1, 0}, 2).Trailer();
  skipped.ReadInto(image);
  EXPECT_EQ(image.FrameCount(), 2);

  GifBytes ends;
  ends.Header(4, 2, 1).Image(0, 0, 4, 2, Pixels(8, 2), 2).Raw({0});
  ends.ReadInto(image);
  EXPECT_EQ(image.FrameCount(), 1);
  EXPECT_EQ(image.CurrentFrame, 0);

  GifBytes junk;
  junk.Header(4, 2, 1).Image(0, 0, 4, 2, Pixels(8, 2), 2).Raw({'x', 0x2C, 1, 2});
  junk.ReadInto(image);
  EXPECT_EQ(image.FrameCount(), 1) << "an unknown block after an image ends reading";
}

TEST(GIFReaderBlocks, UnknownBlockBeforeAnyImageFailsAndKeepsEarlierFrames) {
  TGIFImage image;
  GifBytes bytes;
  bytes.Header(4, 2, 1).Raw({'x'}).Trailer();
  EXPECT_EQ(GraphicError([&] { bytes.ReadInto(image); }), "Stream read error");

  GifBytes later;
  later.Header(4, 2, 1).Image(0, 0, 4, 2, Pixels(8, 2), 2).Comment({"c"}).Raw({'x'}).Trailer();
  int changes = 0;
  image.OnChange = [&] { ++changes; };
  EXPECT_EQ(GraphicError([&] { later.ReadInto(image); }), "Stream read error");
  EXPECT_EQ(image.FrameCount(), 1);
  EXPECT_EQ(image.CurrentFrame, -1);
  EXPECT_EQ(changes, 0);
}

TEST(GIFReaderFrames, DescriptorLocalTableAndZeroSizes) {
  TGIFImage image;
  GifBytes().Header(6, 5, 1).Image(2, 1, 0, 0, Pixels(30, 2), 2, 3, true).Trailer().ReadInto(image);
  TGIFFrame& f = image.Frame(0);
  EXPECT_EQ(f.Origin.X, 2);
  EXPECT_EQ(f.Origin.Y, 1);
  EXPECT_EQ(f.Item().FrameSize.Width, 6);
  EXPECT_EQ(f.Item().FrameSize.Height, 5);
  EXPECT_TRUE(f.IsInterlaced);
  EXPECT_TRUE(f.HasLocalTable);
  EXPECT_EQ(f.Item().ColorBits, 3);
  EXPECT_EQ(f.Item().ColorTable.Count, 8u);
  EXPECT_EQ(f.Item().ColorTable.Color(1), RGBColor(254, 1, 7));
  EXPECT_EQ(f.Item().DescriptorFlags, 0x80 | 0x40 | 2);
}

TEST(GIFReaderFrames, TruncatedFrameIsDamagedOrRefused) {
  GifBytes full;
  full.blockSize = 16;
  full.Header(16, 16, 2).Image(0, 0, 16, 16, Pixels(256, 4), 2).Trailer();
  GifBytes cut;
  cut.out.assign(full.out.begin(), full.out.begin() + long(full.out.size() - 20));

  TGIFImage image;
  cut.ReadInto(image, true);
  ASSERT_EQ(image.FrameCount(), 1);
  EXPECT_TRUE(image.Frame(0).Damaged);
  const TDibImage& dib = image.Frame(0).Bitmap();
  EXPECT_EQ(dib.PixelIndex(1, 0), Pixels(256, 4)[1]);
  EXPECT_EQ(dib.PixelIndex(15, 15), 0) << "pixels after the cut stay at index 0";

  GifBytes bare;  // cut right after the descriptor, before the code size
  bare.Header(4, 2, 1).Raw({0x2C}).Word(0).Word(0).Word(4).Word(2).Raw({0});
  bare.ReadInto(image, true);
  ASSERT_EQ(image.FrameCount(), 1);
  EXPECT_TRUE(image.Frame(0).Damaged);
  EXPECT_TRUE(image.Frame(0).Bitmap().Empty());

  CorruptGIFSetting strict(false);
  EXPECT_EQ(GraphicError([&] { cut.ReadInto(image); }), "Stream read error");
  EXPECT_EQ(image.FrameCount(), 0);
  EXPECT_EQ(GraphicError([&] { bare.ReadInto(image); }), "Stream read error");
}

TEST(GIFReaderFrames, ForcedDecodeFailureRemovesTheFirstFrame) {
  TGIFImage image;
  GifBytes bytes;
  bytes.Header(4, 2, 0).Image(0, 0, 4, 2, Pixels(8, 2), 2).Image(0, 0, 4, 2, Pixels(8, 2), 2, 1).Trailer();
  EXPECT_EQ(GraphicError([&] { bytes.ReadInto(image, true); }), "Wrong number of colors; must be a power of 2");
  EXPECT_EQ(image.FrameCount(), 1);
  EXPECT_TRUE(image.Frame(0).HasLocalTable);

  bytes.ReadInto(image, false);
  EXPECT_EQ(image.FrameCount(), 2) << "without forced decoding the frames stay coded";
  EXPECT_EQ(image.Frame(1).Bitmap().Width(), 4);
}

TEST(GIFReaderFrames, LayoutDataCarriesItsByteCount) {
  GifBytes gif;
  gif.Header(4, 2, 1).Image(0, 0, 4, 2, Pixels(8, 2), 2).Trailer();
  TMemoryStream stream;
  const uint32_t n = uint32_t(gif.out.size());
  const uint8_t count[4] = {uint8_t(n), uint8_t(n >> 8), 0, 0};
  stream.WriteBuffer(count, 4);
  stream.WriteBuffer(gif.out.data(), n);
  stream.WriteBuffer("tail", 4);
  stream.SetPosition(0);
  TGIFImage image;
  image.ReadData(stream);
  EXPECT_EQ(image.FrameCount(), 1);
  EXPECT_TRUE(image.Frame(0).HasBitmap()) << "the layout form decodes the first frame at once";
  EXPECT_EQ(stream.Position(), 4 + int64_t(n));

  TMemoryStream huge;
  const uint8_t big[4] = {0xFF, 0xFF, 0xFF, 0x7F};
  huge.WriteBuffer(big, 4);
  huge.WriteBuffer(gif.out.data(), n);
  huge.SetPosition(0);
  EXPECT_THROW(image.ReadData(huge), EReadError);
}

}  // namespace
