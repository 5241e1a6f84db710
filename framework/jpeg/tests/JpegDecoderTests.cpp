#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>

#include <array>
#include <string>
#include <vector>

#include "framework/core/Exception.h"
#include "framework/jpeg/JpegDecoder.h"

namespace {
struct Picture {
  int width;
  int height;
  int components;
  J_COLOR_SPACE space;
  std::vector<uint8_t> samples;  // interleaved, top row first, in the given colour space
};

// A picture of two bands: the top half filled with `top`, the bottom half with `bottom`.
Picture Bands(int width, int height, int components, J_COLOR_SPACE space, std::array<uint8_t, 4> top,
              std::array<uint8_t, 4> bottom) {
  Picture p{width, height, components, space, {}};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      for (int c = 0; c < components; ++c) p.samples.push_back(y < height / 2 ? top[c] : bottom[c]);
  return p;
}

std::vector<uint8_t> Encode(const Picture& p, bool progressive = false) {
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr errors{};
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = static_cast<JDIMENSION>(p.width);
  cinfo.image_height = static_cast<JDIMENSION>(p.height);
  cinfo.input_components = p.components;
  cinfo.in_color_space = p.space;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 95, TRUE);
  if (progressive) jpeg_simple_progression(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  const size_t stride = static_cast<size_t>(p.width * p.components);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<uint8_t*>(p.samples.data()) + cinfo.next_scanline * stride;
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::vector<uint8_t> file(buffer, buffer + size);
  std::free(buffer);
  return file;
}

JpegPixels Decode(const std::vector<uint8_t>& file) { return DecodeJpeg(file.data(), file.size()); }

// Blue, green, red of one pixel.
std::array<int, 3> Pixel(const JpegPixels& p, int x, int y) {
  const uint8_t* px = p.Row(y) + x * 3;
  return {px[0], px[1], px[2]};
}

void ExpectNear(std::array<int, 3> actual, std::array<int, 3> expected) {
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(actual[i], expected[i], 6) << "channel " << i;
}

std::string DecodeError(const std::vector<uint8_t>& file) {
  try {
    DecodeJpeg(file.data(), file.size());
  } catch (const EInvalidGraphicOperation& e) {
    return e.Message();
  }
  return "no error";
}

// Offset of the byte after the first marker `code` (0xFF code), or 0.
size_t FindMarker(const std::vector<uint8_t>& file, uint8_t code) {
  for (size_t i = 0; i + 1 < file.size(); ++i)
    if (file[i] == 0xFF && file[i + 1] == code) return i + 2;
  return 0;
}
}  // namespace

TEST(JpegDecoder, ColourPictureComesOutAsBgrTopDownWithDibRowPadding) {
  // Width 10: 30 bytes of pixels padded to 32. Red over blue tells the row order and byte order.
  const JpegPixels p = Decode(Encode(Bands(10, 16, 3, JCS_RGB, {220, 30, 20}, {10, 40, 200})));
  ASSERT_EQ(p.Width, 10);
  ASSERT_EQ(p.Height, 16);
  EXPECT_EQ(p.RowStride, 32u);
  ASSERT_EQ(p.Bgr.size(), 32u * 16);
  ExpectNear(Pixel(p, 3, 2), {20, 30, 220});
  ExpectNear(Pixel(p, 9, 15), {200, 40, 10});
  EXPECT_EQ(p.Row(0)[30], 0);  // padding stays zero
}

TEST(JpegDecoder, GrayscaleAndProgressiveInputs) {
  const JpegPixels gray = Decode(Encode(Bands(8, 8, 1, JCS_GRAYSCALE, {200}, {50})));
  ExpectNear(Pixel(gray, 1, 1), {200, 200, 200});
  ExpectNear(Pixel(gray, 6, 7), {50, 50, 50});

  const Picture colour = Bands(24, 24, 3, JCS_RGB, {0, 160, 90}, {250, 250, 0});
  const JpegPixels baseline = Decode(Encode(colour));
  const JpegPixels progressive = Decode(Encode(colour, true));
  ASSERT_EQ(progressive.Bgr.size(), baseline.Bgr.size());
  ExpectNear(Pixel(progressive, 5, 5), Pixel(baseline, 5, 5));
  ExpectNear(Pixel(progressive, 20, 20), {0, 250, 250});
}

TEST(JpegDecoder, AdobeCmykIsReadAsInverted) {
  // Stored the Adobe way (255 = no ink): top is pure cyan ink, bottom is half black.
  const JpegPixels p = Decode(Encode(Bands(16, 16, 4, JCS_CMYK, {0, 255, 255, 255}, {255, 255, 255, 128})));
  ExpectNear(Pixel(p, 4, 2), {255, 255, 0});
  ExpectNear(Pixel(p, 4, 12), {128, 128, 128});
}

TEST(JpegDecoder, BadInputRaisesAClearError) {
  const std::vector<uint8_t> good = Encode(Bands(64, 64, 3, JCS_RGB, {1, 2, 3}, {200, 100, 0}));

  std::vector<uint8_t> truncated(good.begin(), good.begin() + static_cast<long>(good.size() / 2));
  EXPECT_EQ(DecodeError(truncated), "JPEG error: Premature end of JPEG file");

  const std::vector<uint8_t> garbage = {'G', 'I', 'F', '8', '9', 'a', 1, 2, 3, 4, 5, 6, 7, 8};
  EXPECT_EQ(DecodeError(garbage).rfind("JPEG error: Not a JPEG file", 0), 0u) << DecodeError(garbage);

  std::vector<uint8_t> headerOnly(good.begin(), good.begin() + 4);
  EXPECT_EQ(DecodeError(headerOnly).rfind("JPEG error: ", 0), 0u);

  EXPECT_THROW(DecodeJpeg(nullptr, 0), EInvalidGraphicOperation);
  EXPECT_THROW(DecodeJpeg(good.data(), 0), EInvalidGraphicOperation);

  // A corrupted entropy-coded segment must not crash, whatever libjpeg makes of it.
  std::vector<uint8_t> scrambled = good;
  for (size_t i = FindMarker(good, 0xDA) + 12; i + 2 < scrambled.size(); i += 7) scrambled[i] ^= 0xA5;
  try {
    const JpegPixels p = Decode(scrambled);
    EXPECT_EQ(p.Bgr.size(), p.RowStride * 64);
  } catch (const EInvalidGraphicOperation& e) {
    EXPECT_EQ(e.Message().rfind("JPEG error: ", 0), 0u);
  }
}

TEST(JpegDecoder, HugeDimensionsAreRefusedBeforeAllocating) {
  std::vector<uint8_t> file = Encode(Bands(16, 16, 3, JCS_RGB, {9, 9, 9}, {9, 9, 9}));
  const size_t sof = FindMarker(file, 0xC0);
  ASSERT_NE(sof, 0u);
  // SOF0: length(2) precision(1) height(2) width(2)
  file[sof + 3] = 0x9C, file[sof + 4] = 0x40;  // 40000
  file[sof + 5] = 0x9C, file[sof + 6] = 0x40;
  EXPECT_EQ(DecodeError(file), "JPEG error: Picture too large (40000x40000)");

  // The limit is on the pixel count: 512 x 65500 is just under it, 513 x 65500 just over.
  file[sof + 3] = 0xFF, file[sof + 4] = 0xDC;
  file[sof + 5] = 0x02, file[sof + 6] = 0x01;
  EXPECT_EQ(DecodeError(file), "JPEG error: Picture too large (513x65500)");
  file[sof + 6] = 0x00;
  EXPECT_EQ(DecodeError(file).find("too large"), std::string::npos);
}
