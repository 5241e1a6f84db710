#include <gtest/gtest.h>

#include <cstring>

#include "framework/core/Exception.h"
#include "gif/ColorReduce.h"
#include "gif/tests/GifBytes.h"

namespace {

std::vector<int> Ramp(int count, int modulo) {
  std::vector<int> p;
  for (int i = 0; i < count; ++i) p.push_back((i * 3 + i / 5) % modulo);
  return p;
}

std::vector<uint8_t> Write(TGIFImage& image, bool withLength = false) {
  TMemoryStream out;
  image.WriteStream(out, withLength);
  return out.Bytes();
}

void Read(TGIFImage& image, const std::vector<uint8_t>& bytes) {
  TReadOnlyMemoryStream in(bytes.data(), int64_t(bytes.size()));
  image.ReadStream(in.Size(), in, false);
}

// A two-frame animation like the rest window's: global table of 128, background index 2, loop
// count 0, whole-screen frames with disposal 2, transparency index 80, 50 hundredths, a trailing
// comment.
GifBytes Animation() {
  GifBytes g;
  g.Header(115, 123, 7, 2).Loop("NETSCAPE2.0", 0);
  for (int f = 0; f < 2; ++f) {
    std::vector<int> pixels;
    for (int i = 0; i < 115 * 123; ++i) pixels.push_back((i * (f + 3) + i / 115) % 128);
    g.Control(0x08 | 1, 50, 80).Image(0, 0, 115, 123, pixels, 7);
  }
  return g.Comment({"authoring tool note"}).Trailer();
}

TEST(GIFWriterRoundTrip, AnimationWrittenWithLengthReadsBackTheSame) {
  TGIFImage image;
  Animation().ReadInto(image, true);
  EXPECT_EQ(image.BackColor, RGBColor(2, 4, 6));
  EXPECT_EQ(image.Frame(0).TransColor, RGBColor(80, 160, 240));
  const std::vector<uint8_t> bytes = Write(image, true);
  ASSERT_GT(bytes.size(), 4u);
  EXPECT_EQ(bytes[0] | bytes[1] << 8 | bytes[2] << 16 | bytes[3] << 24, int(bytes.size() - 4));

  TMemoryStream stream((std::vector<uint8_t>(bytes)));
  TGIFImage again;
  again.ReadData(stream);
  EXPECT_EQ(again.LogicalWidth(), 115);
  EXPECT_EQ(again.LogicalHeight(), 123);
  EXPECT_EQ(again.Data().GlobalTable.Count, 128u);
  EXPECT_EQ(0, std::memcmp(again.Data().GlobalTable.Colors, image.Data().GlobalTable.Colors, 128 * 3));
  EXPECT_EQ(again.BackColor, image.BackColor);
  EXPECT_TRUE(again.HasLoop);
  EXPECT_EQ(again.LoopCount, 0);
  EXPECT_EQ(again.CommentLines(), std::vector<std::string>{"authoring tool note"});
  ASSERT_EQ(again.FrameCount(), 2);
  for (int f = 0; f < 2; ++f) {
    EXPECT_EQ(again.Frame(f).Item().CodedData, image.Frame(f).Item().CodedData);
    ASSERT_EQ(again.Frame(f).ExtensionList.size(), 1u);
    EXPECT_EQ(again.Frame(f).ExtensionList[0].FixedPart, (std::vector<uint8_t>{4, 0x09, 50, 0, 80, 0}));
    EXPECT_EQ(again.Frame(f).Disposal, 2);
    EXPECT_EQ(again.Frame(f).DelayMs, 500);
    EXPECT_EQ(again.Frame(f).Bitmap(), image.Frame(f).Bitmap());
    EXPECT_EQ(again.Frame(f).Bitmap().Width(), 115);
    EXPECT_EQ(again.Frame(f).Bitmap().Height(), 123);
    EXPECT_EQ(again.Frame(f).Bitmap().BitsPerPixel(), 8);
  }
  // Writing the re-read image again gives the very same file.
  EXPECT_EQ(Write(again, true), bytes);
}

TEST(GIFWriterRoundTrip, LocalTablesInterlaceAndOriginsSurvive) {
  GifBytes g;
  g.Header(20, 10, 1).Image(3, 2, 5, 4, Ramp(20, 8), 3, 3, true).Image(0, 0, 20, 10, Ramp(200, 2), 2).Trailer();
  TGIFImage image;
  g.ReadInto(image);
  TGIFImage again;
  Read(again, Write(image));
  ASSERT_EQ(again.FrameCount(), 2);
  EXPECT_TRUE(again.Frame(0).HasLocalTable);
  EXPECT_TRUE(again.Frame(0).IsInterlaced);
  EXPECT_EQ(again.Frame(0).Origin.X, 3);
  EXPECT_EQ(again.Frame(0).Item().ColorTable.Color(2), image.Frame(0).Item().ColorTable.Color(2));
  EXPECT_EQ(again.Frame(0).Bitmap(), image.Frame(0).Bitmap());
  EXPECT_FALSE(again.Frame(1).HasLocalTable);
  EXPECT_FALSE(again.HasLoop);
}

TEST(GIFWriterRoundTrip, TruncatedFrameIsWrittenWithATerminator) {
  GifBytes full;
  full.blockSize = 10;
  full.Header(16, 16, 2).Image(0, 0, 16, 16, Ramp(256, 4), 2).Trailer();
  GifBytes cut;
  cut.out.assign(full.out.begin(), full.out.end() - 15);
  TGIFImage image;
  cut.ReadInto(image);
  ASSERT_TRUE(image.Frame(0).Damaged);
  TGIFImage again;
  Read(again, Write(image));
  ASSERT_EQ(again.FrameCount(), 1);
  EXPECT_FALSE(again.Frame(0).Damaged);
  EXPECT_EQ(again.Frame(0).Item().CodedData.size(), image.Frame(0).Item().CodedData.size() + 1);
}

TEST(GIFWriterScreen, ScreenIsTheUnionOfTheFramesAndOneFrameGetsNoLoop) {
  GifBytes g;
  g.Header(100, 80, 1).Loop("NETSCAPE2.0", 5).Image(2, 3, 10, 7, Ramp(70, 2), 2).Trailer();
  TGIFImage image;
  g.ReadInto(image);
  EXPECT_EQ(image.LogicalWidth(), 100);
  const std::vector<uint8_t> bytes = Write(image);
  EXPECT_EQ(bytes[6] | bytes[7] << 8, 12);
  EXPECT_EQ(bytes[8] | bytes[9] << 8, 10);
  const std::string text(bytes.begin(), bytes.end());
  EXPECT_EQ(text.find("NETSCAPE2.0"), std::string::npos);
}

TEST(GIFWriterScreen, NoFramesAndFramesWithoutDataCannotBeWritten) {
  TGIFImage image;
  TMemoryStream out;
  EXPECT_EQ(GraphicError([&] { image.WriteStream(out, true); }), "No GIF Data to write");
  image.AddFrame(TDibImage());
  EXPECT_EQ(GraphicError([&] { image.WriteStream(out, true); }), "No GIF Data to write");
  EXPECT_EQ(out.Size(), 0) << "the target receives nothing on failure";
}

TEST(GIFWriterScreen, GlobalTableOfWrongSizeIsRefused) {
  TGIFImage image;
  TDibImage dib(2, 2, 1);
  image.AddFrame(dib);
  image.EncodeFrames();
  image.Data().GlobalTable.Count = 3;
  TMemoryStream out;
  EXPECT_EQ(GraphicError([&] { image.WriteStream(out, false); }), "Wrong number of colors; must be a power of 2");
  EXPECT_EQ(out.Size(), 0);
}

TEST(GIFWriterExtensions, GraphicControlIsMadeOnlyWhenNeeded) {
  TGIFImage image;
  TDibImage dib(4, 4, 4);
  dib.SetPaletteColor(3, {9, 8, 7});
  image.AddFrame(dib);
  image.EncodeFrames();
  EXPECT_TRUE(image.Frame(0).ExtensionList.empty());
  EXPECT_EQ(image.GifVersion, 1);

  image.Frame(0).DelayMs = 120;
  image.Frame(0).TransColor = RGBColor(9, 8, 7);
  image.Frame(0).Disposal = 3;
  image.EncodeFrames();
  ASSERT_EQ(image.Frame(0).ExtensionList.size(), 1u);
  EXPECT_EQ(image.Frame(0).ExtensionList[0].FixedPart, (std::vector<uint8_t>{4, 0x0C | 1, 12, 0, 3, 0}));
  EXPECT_EQ(image.GifVersion, 2);

  image.Frame(0).TransColor = RGBColor(1, 1, 1);  // no such entry
  image.EncodeFrames();
  EXPECT_EQ(image.Frame(0).ExtensionList[0].FixedPart[1], 0x0C);
}

TEST(GIFWriterExtensions, CommentsAreTruncatedAndEmptyOnesDropped) {
  TGIFImage image;
  image.AddFrame(TDibImage(2, 2, 1));
  image.CommentLines() = {std::string(300, 'a'), "", "b"};
  (void)image.Frame(0).Comment();
  const std::vector<uint8_t> bytes = Write(image);
  EXPECT_TRUE(image.Frame(0).ExtensionList.empty()) << "empty frame comment removed";
  EXPECT_EQ(image.GifVersion, 2);
  TGIFImage again;
  Read(again, bytes);
  EXPECT_EQ(again.CommentLines(), (std::vector<std::string>{std::string(255, 'a'), "b"}));
}

TEST(GIFWriterEncode, TrueColourPictureGoesThroughTheHistogram) {
  TDibImage rgb(40, 30, 24);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) {
      uint8_t* p = rgb.Row(y) + 3 * x;
      p[0] = uint8_t(x * 6);  // blue
      p[1] = uint8_t(y * 8);  // green
      p[2] = uint8_t((x * y) & 0xF0);
    }
  TGIFImage image;
  image.AssignBitmap(rgb);
  const std::vector<uint8_t> bytes = Write(image);
  TGIFImage again;
  Read(again, bytes);
  ASSERT_EQ(again.Data().GlobalTable.Count, 256u);
  EXPECT_EQ(again.Frame(0).Item().CodedData[0], 8);
  EXPECT_FALSE(again.Frame(0).HasLocalTable);

  const TDibImage& dib = again.Frame(0).Bitmap();
  const TGIFPalette& table = again.Data().GlobalTable;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) {
      const TRGB want = rgb.PixelColor(x, y);
      auto distance = [&](TRGB c) {
        return (c.r - want.r) * (c.r - want.r) + (c.g - want.g) * (c.g - want.g) + (c.b - want.b) * (c.b - want.b);
      };
      int best = distance(table.Colors[0]);
      for (int i = 1; i < 256; ++i) best = std::min(best, distance(table.Colors[i]));
      ASSERT_EQ(distance(dib.PixelColor(x, y)), best) << x << "," << y;
    }
}

TEST(GIFWriterEncode, HistogramKeepsTheMostFrequentColoursAndPadsWithGrey) {
  TDibImage rgb(10, 1, 24);
  const TRGB colors[] = {{1, 2, 3}, {200, 0, 0}, {200, 0, 0}, {0, 90, 0}};
  for (int x = 0; x < 10; ++x) {
    const TRGB c = colors[x % 4];
    uint8_t* p = rgb.Row(0) + 3 * x;
    p[0] = c.b;
    p[1] = c.g;
    p[2] = c.r;
  }
  const TDibImage out = ColorReduce(rgb, rmHistogram);
  EXPECT_EQ(out.PaletteColor(0), (TRGB{200, 0, 0}));
  EXPECT_EQ(out.PaletteColor(1), (TRGB{1, 2, 3}));
  EXPECT_EQ(out.PaletteColor(2), (TRGB{0, 90, 0}));
  EXPECT_EQ(out.PaletteColor(3), (TRGB{128, 128, 128}));
  for (int x = 0; x < 10; ++x) EXPECT_EQ(out.PixelColor(x, 0), colors[x % 4]);
}

void PutRGB(TDibImage& dib, int x, int y, TRGB c) {
  uint8_t* p = dib.Row(y) + size_t(x) * size_t(dib.BitsPerPixel() / 8);
  p[0] = c.b;
  p[1] = c.g;
  p[2] = c.r;
}

TEST(GIFWriterEncode, RareColoursMapToTheNearestFrequentOne) {
  TDibImage rgb(300, 10, 24);
  for (int x = 0; x < 300; ++x)
    for (int y = 0; y < 10; ++y) {
      const int i = x % 250;
      const TRGB frequent{uint8_t(i), uint8_t(255 - i), uint8_t(i * 3)};
      const bool rare = y == 9 && x >= 250;
      PutRGB(rgb, x, y, rare ? TRGB{uint8_t(frequent.r + 1), frequent.g, frequent.b} : frequent);
    }
  const TDibImage out = ColorReduce(rgb, rmHistogram);
  // 300 colours: the 250 frequent ones and the 6 earliest rare ones fill the palette.
  for (int x = 250; x < 256; ++x) EXPECT_EQ(out.PixelColor(x, 9), rgb.PixelColor(x, 9)) << x;
  for (int x = 256; x < 300; ++x) EXPECT_EQ(out.PixelColor(x, 9), rgb.PixelColor(x - 250, 0)) << x;
  for (int x = 0; x < 300; ++x) EXPECT_EQ(out.PixelColor(x, 3), rgb.PixelColor(x, 3));
}

TEST(GIFWriterEncode, TooManyColoursAreCountedWithCoarserMasks) {
  // 4096 distinct colours, once each, then 100 favourites many times over. Only when the blue
  // mask reaches E0h do the colours fit the 2049-entry count; the favourites have blue bit 4
  // clear, so they survive the masks unchanged and take the first palette entries.
  TDibImage rgb(64, 128, 24);
  for (int i = 0; i < 4096; ++i)
    PutRGB(rgb, i % 64, i / 64, {uint8_t((i & 15) * 16), uint8_t((i >> 4 & 15) * 16), uint8_t((i >> 8) * 16)});
  auto favourite = [](int k) { return TRGB{uint8_t((k % 16) * 16), uint8_t((k / 16) * 16), uint8_t(k % 8 * 32)}; };
  for (int i = 0; i < 4096; ++i) PutRGB(rgb, i % 64, 64 + i / 64, favourite(i % 100));
  const TDibImage out = ColorReduce(rgb, rmHistogram);
  for (int i = 0; i < 4096; i += 37) EXPECT_EQ(out.PixelColor(i % 64, 64 + i / 64), favourite(i % 100)) << i;
  EXPECT_EQ(out.PaletteColor(0), favourite(0));
}

TEST(GIFWriterEncode, TheTransparentColourSurvivesTheReduction) {
  // 1,600 colours and one magenta key pixel: far too rare for the 256 most frequent, and masked
  // away by the coarser counts.
  TDibImage rgb(40, 40, 24);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) PutRGB(rgb, x, y, {uint8_t(x * 6), uint8_t(y * 6), uint8_t(100 + (x ^ y))});
  PutRGB(rgb, 7, 11, {255, 0, 255});
  for (const bool grey : {false, true}) {
    SCOPED_TRACE(grey ? "grey levels" : "histogram");
    TGIFImage image;
    image.AddFrame(rgb);
    image.Frame(0).TransColor = RGBColor(255, 0, 255);
    image.Frame(0).GrayOnly = grey;
    TGIFImage again;
    Read(again, Write(image));
    ASSERT_EQ(again.Frame(0).TransColor, RGBColor(255, 0, 255));
    const TDibImage& dib = again.Frame(0).Bitmap();
    EXPECT_EQ(dib.PixelColor(7, 11), (TRGB{255, 0, 255}));
    int keyed = 0;
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 40; ++x) keyed += dib.PixelColor(x, y) == TRGB{255, 0, 255};
    EXPECT_EQ(keyed, 1) << "no other pixel turned transparent";
  }
}

TEST(GIFWriterEncode, GreyOnlyFramesUseGreyLevels) {
  TDibImage rgb(3, 1, 24);
  uint8_t* p = rgb.Row(0);
  p[2] = 255;          // red
  p[3 + 1] = 255;      // green
  p[6 + 0] = 255;      // blue
  TGIFImage image;
  image.AddFrame(rgb);
  image.Frame(0).GrayOnly = true;
  TGIFImage again;
  Read(again, Write(image));
  const TDibImage& dib = again.Frame(0).Bitmap();
  EXPECT_EQ(dib.PixelColor(0, 0), (TRGB{76, 76, 76}));
  EXPECT_EQ(dib.PixelColor(1, 0), (TRGB{149, 149, 149}));
  EXPECT_EQ(dib.PixelColor(2, 0), (TRGB{28, 28, 28}));
  EXPECT_EQ(again.Data().GlobalTable.Color(200), RGBColor(200, 200, 200));
}

TEST(GIFWriterEncode, SecondFrameKeepsItsTableLocal) {
  TDibImage a(4, 4, 1), b(6, 2, 4);
  a.SetPaletteColor(1, {255, 0, 0});
  b.SetPaletteColor(1, {0, 0, 255});
  TGIFImage image;
  image.AddFrame(a);
  image.AddFrame(b);
  image.Frame(1).Origin = {10, 20};
  EXPECT_EQ(image.GifVersion, 2);
  TGIFImage again;
  Read(again, Write(image));
  EXPECT_EQ(again.Data().GlobalTable.Count, 2u);
  EXPECT_FALSE(again.Frame(0).HasLocalTable);
  EXPECT_TRUE(again.Frame(1).HasLocalTable);
  EXPECT_EQ(again.Frame(1).Item().ColorTable.Count, 16u);
  EXPECT_EQ(again.Frame(1).Bitmap().PaletteColor(1), (TRGB{0, 0, 255}));
  EXPECT_EQ(again.LogicalWidth(), 16);
  EXPECT_EQ(again.LogicalHeight(), 22);
}

TEST(GIFWriterEncode, AbortFromProgressResetsTheFrame) {
  TGIFImage image;
  image.AddFrame(TDibImage(8, 8, 8));
  std::string endMessage = "none";
  image.OnProgress = [&](TProgressStage stage, int percent, const std::string& message) {
    if (stage == TProgressStage::psRunning && percent >= 50) throw EAbort("stopped");
    if (stage == TProgressStage::psEnding) endMessage = message;
  };
  TMemoryStream out;
  EXPECT_THROW(image.WriteStream(out, false), EAbort);
  EXPECT_EQ(endMessage, "stopped");
  EXPECT_FALSE(image.Frame(0).HasBitmap());
  EXPECT_FALSE(image.Frame(0).HasCodedData());
  EXPECT_EQ(out.Size(), 0);
}

}  // namespace
