// GIFs written by giflib and ImageMagick, compared pixel by pixel with the frames those programs
// decode from them (gif/tests/data/make-oracles made both). Unlike the golden hashes, the expected
// pixels owe nothing to our own codec.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

#include "framework/core/Exception.h"
#include "gif/GIFImage.h"

namespace {

std::vector<uint8_t> ReadFile(const std::string& name) {
  std::ifstream file(std::string(BREVIN_GIF_ORACLES "/") + name, std::ios::binary);
  EXPECT_TRUE(file) << name;
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

struct TOracleFrame {
  int left, top, width, height;
};

// frames.txt: "file frame left top width height" per line, frames in order.
std::map<std::string, std::vector<TOracleFrame>> ReadListing() {
  std::map<std::string, std::vector<TOracleFrame>> files;
  const std::vector<uint8_t> listing = ReadFile("frames.txt");
  std::istringstream text(std::string(listing.begin(), listing.end()));
  std::string name;
  int index;
  TOracleFrame f;
  while (text >> name >> index >> f.left >> f.top >> f.width >> f.height) {
    EXPECT_EQ(int(files[name].size()), index) << name;
    files[name].push_back(f);
  }
  return files;
}

void CheckFile(const std::string& name, const std::vector<TOracleFrame>& frames) {
  SCOPED_TRACE(name);
  TMemoryStream gif(ReadFile(name));
  const std::vector<uint8_t> rgb = ReadFile(name.substr(0, name.size() - 4) + ".rgb");
  TGIFImage image;
  image.LoadFromStream(gif);
  ASSERT_EQ(image.FrameCount(), int(frames.size()));
  size_t at = 0;
  for (int i = 0; i < image.FrameCount(); ++i) {
    SCOPED_TRACE(Format("frame %d", i));
    TGIFFrame& frame = image.Frame(i);
    const TDibImage& dib = frame.Bitmap();
    ASSERT_FALSE(frame.Damaged);
    EXPECT_EQ(frame.Origin.X, frames[size_t(i)].left);
    EXPECT_EQ(frame.Origin.Y, frames[size_t(i)].top);
    ASSERT_EQ(dib.Width(), frames[size_t(i)].width);
    ASSERT_EQ(dib.Height(), frames[size_t(i)].height);
    ASSERT_LE(at + size_t(dib.Width() * dib.Height() * 3), rgb.size());
    int wrong = 0;
    for (int y = 0; y < dib.Height(); ++y)
      for (int x = 0; x < dib.Width(); ++x, at += 3) {
        const TRGB c = dib.PixelColor(x, y);
        if (c.r != rgb[at] || c.g != rgb[at + 1] || c.b != rgb[at + 2]) {
          if (wrong++ < 3)
            ADD_FAILURE() << Format("pixel (%d, %d): %02x%02x%02x, expected %02x%02x%02x", x, y, c.r, c.g, c.b,
                                    rgb[at], rgb[at + 1], rgb[at + 2]);
        }
      }
    EXPECT_EQ(wrong, 0);
  }
  EXPECT_EQ(at, rgb.size());
}

// Code sizes 2, 4 and 8, a code table that fills and is cleared, interlacing, local tables and
// offset frames, each from two independent encoders.
TEST(GIFOracle, FramesMatchTheWritersOwnDecoders) {
  const auto files = ReadListing();
  ASSERT_EQ(files.size(), 8u);
  for (const auto& [name, frames] : files) CheckFile(name, frames);
}

}  // namespace
