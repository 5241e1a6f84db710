#pragma once
// TDibImage: a device-independent picture held exactly in the layout of a BMP file, in one buffer:
//
//   offset 0   BITMAPFILEHEADER, 14 bytes: "BM", total size, 0, 0, offset of the pixels
//   offset 14  BITMAPINFOHEADER, 40 bytes: 40, width, height (positive: rows are bottom-up), 1 plane,
//              bits per pixel, BI_RGB (0), image size = height x stride, 0, 0, colours used, 0
//   offset 54  colour table, 2^bits entries of (blue, green, red, reserved); none above 8 bits
//   PixelOffset()  the rows, bottom row first, each RowStride() bytes (a multiple of 4)
//
// The Win32 side hands InfoHeader() (header plus colour table) and Pixels() to CreateDIBSection /
// SetDIBits unchanged; nothing here needs <windows.h>. Depths 1, 4 and 8 are indexed (1-bit pixels
// most significant bit first, 4-bit pixels high nibble first); 24 is blue, green, red; 32 is blue,
// green, red, unused.
#include <cstddef>
#include <cstdint>
#include <vector>

struct TRGB {
  uint8_t r = 0;
  uint8_t g = 0;
  uint8_t b = 0;
  friend bool operator==(const TRGB&, const TRGB&) = default;
};

class TDibImage {
public:
  static constexpr size_t kFileHeaderSize = 14;
  static constexpr size_t kInfoHeaderSize = 40;
  // The largest pixel buffer a TDibImage will hold; larger requests raise EInvalidGraphicOperation.
  static constexpr uint64_t kMaxPixelBytes = uint64_t{1} << 30;

  TDibImage() = default;
  // A zero-filled picture; indexed depths get a colour table whose every entry is (128, 128, 128)
  // with 128 in the reserved byte. Raises EInvalidGraphicOperation for another depth or a size
  // beyond kMaxPixelBytes.
  TDibImage(int width, int height, int bitsPerPixel);

  bool Empty() const { return width_ <= 0 || height_ <= 0; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  int BitsPerPixel() const { return bitsPerPixel_; }
  size_t RowStride() const { return stride_; }
  int PaletteCount() const { return bitsPerPixel_ <= 8 && bitsPerPixel_ > 0 ? 1 << bitsPerPixel_ : 0; }

  TRGB PaletteColor(int index) const;
  // Sets an entry with a reserved byte of 0 (a real colour, unlike the grey padding).
  void SetPaletteColor(int index, TRGB color);

  // Row y counted from the top of the picture.
  uint8_t* Row(int y) { return bytes_.data() + PixelOffset() + (height_ - 1 - y) * stride_; }
  const uint8_t* Row(int y) const { return bytes_.data() + PixelOffset() + (height_ - 1 - y) * stride_; }
  // Palette index of an indexed pixel; colour of any pixel.
  int PixelIndex(int x, int y) const;
  TRGB PixelColor(int x, int y) const;

  // The whole BMP file, the header plus colour table, and the pixel rows (bottom row first).
  const std::vector<uint8_t>& Bytes() const { return bytes_; }
  const uint8_t* InfoHeader() const { return bytes_.data() + kFileHeaderSize; }
  size_t PixelOffset() const { return kFileHeaderSize + kInfoHeaderSize + 4 * size_t(PaletteCount()); }
  uint8_t* Pixels() { return bytes_.data() + PixelOffset(); }
  const uint8_t* Pixels() const { return bytes_.data() + PixelOffset(); }

  friend bool operator==(const TDibImage& a, const TDibImage& b) { return a.bytes_ == b.bytes_; }

private:
  std::vector<uint8_t> bytes_;
  int width_ = 0;
  int height_ = 0;
  int bitsPerPixel_ = 0;
  size_t stride_ = 0;
};
