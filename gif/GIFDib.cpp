#include "gif/GIFDib.h"

#include "framework/core/Exception.h"

namespace {

void Put16(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}

void Put32(uint8_t* p, uint32_t v) {
  Put16(p, v);
  Put16(p + 2, v >> 16);
}

}  // namespace

TDibImage::TDibImage(int width, int height, int bitsPerPixel) {
  if (bitsPerPixel != 1 && bitsPerPixel != 4 && bitsPerPixel != 8 && bitsPerPixel != 24 &&
      bitsPerPixel != 32)
    throw EInvalidGraphicOperation("Invalid pixel format");
  if (width < 0 || height < 0) throw EInvalidGraphicOperation("Invalid image size");
  const uint64_t stride = (uint64_t(width) * uint64_t(bitsPerPixel) + 31) / 32 * 4;
  const uint64_t imageSize = stride * uint64_t(height);
  if (imageSize > kMaxPixelBytes) throw EInvalidGraphicOperation("Image too large");
  width_ = width;
  height_ = height;
  bitsPerPixel_ = bitsPerPixel;
  stride_ = size_t(stride);
  const size_t offset = PixelOffset();
  bytes_.assign(offset + size_t(imageSize), 0);
  uint8_t* p = bytes_.data();
  p[0] = 'B';
  p[1] = 'M';
  Put32(p + 2, uint32_t(bytes_.size()));
  Put32(p + 10, uint32_t(offset));
  uint8_t* info = p + kFileHeaderSize;
  Put32(info, kInfoHeaderSize);
  Put32(info + 4, uint32_t(width));
  Put32(info + 8, uint32_t(height));
  Put16(info + 12, 1);
  Put16(info + 14, uint32_t(bitsPerPixel));
  Put32(info + 20, uint32_t(imageSize));
  Put32(info + 32, uint32_t(PaletteCount()));
  for (int i = 0; i < PaletteCount(); ++i) {
    uint8_t* e = info + kInfoHeaderSize + 4 * i;
    e[0] = e[1] = e[2] = e[3] = 128;
  }
}

TRGB TDibImage::PaletteColor(int index) const {
  if (index < 0 || index >= PaletteCount()) return {};
  const uint8_t* e = InfoHeader() + kInfoHeaderSize + 4 * index;
  return {e[2], e[1], e[0]};
}

void TDibImage::SetPaletteColor(int index, TRGB color) {
  if (index < 0 || index >= PaletteCount()) return;
  uint8_t* e = bytes_.data() + kFileHeaderSize + kInfoHeaderSize + 4 * index;
  e[0] = color.b;
  e[1] = color.g;
  e[2] = color.r;
  e[3] = 0;
}

int TDibImage::PixelIndex(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  const uint8_t* row = Row(y);
  switch (bitsPerPixel_) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4: return (x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4;
    case 8: return row[x];
    default: return 0;
  }
}

TRGB TDibImage::PixelColor(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return {};
  if (bitsPerPixel_ <= 8) return PaletteColor(PixelIndex(x, y));
  const uint8_t* p = Row(y) + size_t(x) * (bitsPerPixel_ / 8);
  return {p[2], p[1], p[0]};
}
