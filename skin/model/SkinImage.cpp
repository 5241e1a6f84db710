#include "skin/model/SkinImage.h"

#include <algorithm>
#include <array>

#include "framework/core/Exception.h"

namespace {

uint32_t U16(const uint8_t* p) { return static_cast<uint32_t>(p[0] | p[1] << 8); }
uint32_t U32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

// A channel picked out by a BI_BITFIELDS mask, scaled to 8 bits.
struct TChannel {
  uint32_t mask = 0;
  int shift = 0;
  int bits = 0;

  explicit TChannel(uint32_t m) : mask(m) {
    if (mask == 0) return;
    while (!((mask >> shift) & 1)) ++shift;
    while (shift + bits < 32 && ((mask >> (shift + bits)) & 1)) ++bits;
  }
  uint32_t Take(uint32_t value) const {
    if (bits == 0) return 0;
    const uint32_t v = (value & mask) >> shift;
    const uint32_t top = (1u << std::min(bits, 31)) - 1;
    return bits >= 8 ? v >> (bits - 8) : (v * 255 + top / 2) / top;
  }
};

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;

}  // namespace

TSkinImage::TSkinImage(int width, int height, uint32_t fill) {
  if (width < 0 || height < 0 || width > kMaxSide || height > kMaxSide ||
      int64_t{width} * height > kMaxPixels) {
    throw EInvalidGraphicOperation(Format("Skin image of %d x %d pixels is too large", width, height));
  }
  if (width == 0 || height == 0) return;
  width_ = width;
  height_ = height;
  pixels_.assign(static_cast<size_t>(width) * static_cast<size_t>(height), fill);
}

TSkinImage TSkinImage::Deferred(int width, int height, std::function<TSkinImage()> make) {
  TSkinImage image;
  if (width <= 0 || height <= 0) return image;
  image.width_ = width;
  image.height_ = height;
  image.make_ = std::make_shared<const std::function<TSkinImage()>>(std::move(make));
  return image;
}

bool TSkinImage::Ready() const {
  if (!make_) return true;
  const auto make = std::move(make_);
  make_.reset();
  try {
    TSkinImage made = (*make)();
    if (made.width_ == width_ && made.height_ == height_ && !made.make_) {
      pixels_ = std::move(made.pixels_);
      return true;
    }
  } catch (const std::exception&) {
    // Out of memory for the making: the picture is left see-through, as a skin without it.
  }
  // Should even this not fit, the exception goes to the caller, as any allocation's would.
  pixels_.assign(static_cast<size_t>(width_) * static_cast<size_t>(height_), kSkinMagenta);
  return false;
}

bool operator==(const TSkinImage& a, const TSkinImage& b) {
  if (a.width_ != b.width_ || a.height_ != b.height_) return false;
  (void)a.Ready();
  (void)b.Ready();
  return a.pixels_ == b.pixels_;
}

uint32_t TSkinImage::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  return Row(y)[x];
}

void TSkinImage::SetPixel(int x, int y, uint32_t pixel) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  Row(y)[x] = pixel;
}

TRect TSkinImage::Clip(const TRect& rect) const {
  TRect r{std::max(rect.Left, 0), std::max(rect.Top, 0), std::min(rect.Right, width_),
              std::min(rect.Bottom, height_)};
  if (r.Empty()) return {};
  return r;
}

TSkinImage TSkinImage::Crop(const TRect& rect) const {
  const TRect r = Clip(rect);
  TSkinImage part(r.Width(), r.Height());
  for (int y = 0; y < part.height_; ++y) std::copy_n(Row(r.Top + y) + r.Left, part.width_, part.Row(y));
  return part;
}

void TSkinImage::Fill(const TRect& rect, uint32_t pixel) {
  const TRect r = Clip(rect);
  for (int y = r.Top; y < r.Bottom; ++y) std::fill_n(Row(y) + r.Left, r.Width(), pixel);
}

bool DecodeSkinBitmap(const uint8_t* data, size_t size, TSkinImage& image) {
  image = TSkinImage();
  if (data == nullptr || size < 14 + 12 || data[0] != 'B' || data[1] != 'M') return false;
  const uint32_t pixelOffset = U32(data + 10);
  const uint32_t headerSize = U32(data + 14);
  const uint8_t* header = data + 14;
  if (headerSize != 12 && (headerSize < 40 || headerSize > 1024)) return false;
  if (size < 14 + uint64_t{headerSize}) return false;

  int64_t width = 0;
  int64_t height = 0;
  uint32_t depth = 0;
  uint32_t compression = kBiRgb;
  uint32_t coloursUsed = 0;
  const bool core = headerSize == 12;
  if (core) {
    width = U16(header + 4);
    height = U16(header + 6);
    depth = U16(header + 10);
  } else {
    width = static_cast<int32_t>(U32(header + 4));
    height = static_cast<int32_t>(U32(header + 8));
    depth = U16(header + 14);
    compression = U32(header + 16);
    coloursUsed = U32(header + 32);
  }
  const bool topDown = height < 0;
  height = topDown ? -height : height;
  if (width <= 0 || height <= 0 || width > TSkinImage::kMaxSide || height > TSkinImage::kMaxSide ||
      width * height > TSkinImage::kMaxPixels) {
    return false;
  }
  if (depth != 1 && depth != 4 && depth != 8 && depth != 16 && depth != 24 && depth != 32) return false;
  if (compression != kBiRgb && !(compression == kBiBitfields && (depth == 16 || depth == 32))) return false;

  std::array<uint32_t, 256> palette{};
  if (depth <= 8) {
    const uint32_t entries = coloursUsed == 0 ? 1u << depth : coloursUsed;
    if (entries > (1u << depth)) return false;
    const uint64_t entrySize = core ? 3 : 4;
    const uint64_t start = 14 + uint64_t{headerSize};
    if (start + entries * entrySize > size) return false;
    for (uint32_t i = 0; i < entries; ++i) {
      const uint8_t* e = data + start + i * entrySize;
      palette[i] = static_cast<uint32_t>(e[2]) << 16 | static_cast<uint32_t>(e[1]) << 8 | e[0];
    }
  }

  TChannel red(0x7C00), green(0x03E0), blue(0x001F);
  if (depth == 32) red = TChannel(0xFF0000), green = TChannel(0xFF00), blue = TChannel(0xFF);
  if (compression == kBiBitfields) {
    const uint64_t masks = headerSize >= 52 ? 14 + 40 : 14 + uint64_t{headerSize};
    if (masks + 12 > size) return false;
    red = TChannel(U32(data + masks));
    green = TChannel(U32(data + masks + 4));
    blue = TChannel(U32(data + masks + 8));
  }

  const uint64_t stride = ((static_cast<uint64_t>(width) * depth + 31) / 32) * 4;
  if (pixelOffset > size || stride * static_cast<uint64_t>(height) > size - pixelOffset) return false;

  image = TSkinImage(static_cast<int>(width), static_cast<int>(height));
  for (int64_t row = 0; row < height; ++row) {
    const uint8_t* src = data + pixelOffset + static_cast<uint64_t>(row) * stride;
    uint32_t* dst = image.Row(static_cast<int>(topDown ? row : height - 1 - row));
    for (int64_t x = 0; x < width; ++x) {
      uint32_t pixel = 0;
      switch (depth) {
        case 1: pixel = palette[(src[x / 8] >> (7 - x % 8)) & 1]; break;
        case 4: pixel = palette[(src[x / 2] >> (x % 2 ? 0 : 4)) & 0xF]; break;
        case 8: pixel = palette[src[x]]; break;
        case 16: {
          const uint32_t v = U16(src + 2 * x);
          pixel = red.Take(v) << 16 | green.Take(v) << 8 | blue.Take(v);
          break;
        }
        case 24: pixel = static_cast<uint32_t>(src[3 * x + 2]) << 16 | static_cast<uint32_t>(src[3 * x + 1]) << 8 | src[3 * x]; break;
        default: {
          const uint32_t v = U32(src + 4 * x);
          pixel = red.Take(v) << 16 | green.Take(v) << 8 | blue.Take(v);
          break;
        }
      }
      dst[x] = pixel;
    }
  }
  return true;
}
