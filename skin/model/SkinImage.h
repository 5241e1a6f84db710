#pragma once
// The pictures of a skin, held without Windows so that the description model, the derived images
// and every piece of slicing arithmetic are tested natively.
//
// TSkinImage: 32-bit pixels 0x00RRGGBB (the byte order of a 32-bit DIB section, so the Win32 side
// copies rows unchanged), rows top-down.
//
// A picture may be deferred: its size is known at once and its pixels are made by a function the
// first time anything reads or writes them (a skin at a new display scale makes only the pictures
// its windows draw). Making is not guarded against other threads: a skin is used from one thread.
//
// DecodeSkinBitmap reads a Windows BMP file as skins carry it:
//   0   "BM", file size, 2 reserved words, u32 offset of the pixel rows
//   14  info header: its own size first; 12 (core: u16 width, u16 height, planes, depth) or
//       40 and longer (i32 width, i32 height, planes, depth, compression, ...; from 40 on the
//       colour masks follow for BI_BITFIELDS, inside a longer header or after a 40-byte one)
//       A negative height means the rows are stored top-down.
//   then the colour table (depths 1, 4, 8: 3-byte entries after a core header, 4-byte otherwise;
//       "colours used" entries, or 2^depth when 0), then the rows from the pixel offset, each a
//       multiple of 4 bytes long.
// Depths 1, 4, 8 (indexed), 16 (5-5-5 or masks), 24 and 32 are read; compressed rows are not.
// Everything a header claims is checked against the bytes present before anything is allocated.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "framework/classes/Types.h"
#include "framework/core/Colors.h"

inline constexpr uint32_t kSkinMagenta = 0xFF00FF;

constexpr uint32_t PixelOfColour(TColor c) {
  return static_cast<uint32_t>(RedOf(c)) << 16 | static_cast<uint32_t>(GreenOf(c)) << 8 | BlueOf(c);
}
constexpr TColor ColourOfPixel(uint32_t p) {
  return RGBColor(static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8), static_cast<uint8_t>(p));
}

class TSkinImage {
public:
  // No skin picture comes near these; a header asking for more is damage.
  static constexpr int kMaxSide = 16384;
  static constexpr int64_t kMaxPixels = int64_t{16} << 20;

  TSkinImage() = default;
  // Raises EInvalidGraphicOperation for a size beyond the limits; a zero side gives an empty image.
  TSkinImage(int width, int height, uint32_t fill = 0);
  // A width x height picture whose pixels make() gives when first needed. A make() that fails or
  // gives another size leaves the picture see-through (all magenta).
  static TSkinImage Deferred(int width, int height, std::function<TSkinImage()> make);

  bool Empty() const { return width_ <= 0 || height_ <= 0; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  // What the pixels take now: nothing for a deferred picture not yet made.
  size_t ByteSize() const { return pixels_.size() * sizeof(uint32_t); }
  // Makes a deferred picture's pixels; false when that failed and the picture is see-through.
  bool Ready() const;

  // 0 outside the picture.
  uint32_t Pixel(int x, int y) const;
  // Ignored outside the picture.
  void SetPixel(int x, int y, uint32_t pixel);
  const uint32_t* Row(int y) const {
    if (make_) (void)Ready();
    return pixels_.data() + static_cast<size_t>(y) * static_cast<size_t>(width_);
  }
  uint32_t* Row(int y) {
    if (make_) (void)Ready();
    return pixels_.data() + static_cast<size_t>(y) * static_cast<size_t>(width_);
  }

  // The part of rect inside the picture.
  TRect Clip(const TRect& rect) const;
  TSkinImage Crop(const TRect& rect) const;
  void Fill(const TRect& rect, uint32_t pixel);

  friend bool operator==(const TSkinImage& a, const TSkinImage& b);

private:
  int width_ = 0;
  int height_ = 0;
  // Filled in by Ready() on a const picture: making is not a change anyone can see.
  mutable std::vector<uint32_t> pixels_;
  // Shared by copies of a deferred picture; each copy makes its own pixels.
  mutable std::shared_ptr<const std::function<TSkinImage()>> make_;
};

// False (image left empty) for anything that is not a BMP this reader can take whole.
[[nodiscard]] bool DecodeSkinBitmap(const uint8_t* data, size_t size, TSkinImage& image);
