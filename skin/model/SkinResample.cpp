#include "skin/model/SkinResample.h"

#include <algorithm>
#include <cstdint>
#include <vector>

// The resizer itself is compiled once, in the framework's core, for the framework and the skin.
#include <stb_image_resize.h>

namespace {

constexpr int kChannels = 4;

std::vector<uint8_t> Rgba(const TSkinImage& source, const TRect& from) {
  std::vector<uint8_t> out(static_cast<size_t>(from.Width()) * static_cast<size_t>(from.Height()) * kChannels);
  uint8_t* p = out.data();
  for (int y = from.Top; y < from.Bottom; ++y) {
    const uint32_t* row = source.Row(y);
    for (int x = from.Left; x < from.Right; ++x, p += kChannels) {
      const uint32_t pixel = row[x];
      const bool clear = pixel == kSkinMagenta;
      p[0] = static_cast<uint8_t>(pixel >> 16);
      p[1] = static_cast<uint8_t>(pixel >> 8);
      p[2] = static_cast<uint8_t>(pixel);
      p[3] = clear ? 0 : 255;
    }
  }
  return out;
}

// Resamples from into the part at of dest (both inside their pictures, neither empty).
void ResampleInto(const TSkinImage& source, const TRect& from, TSkinImage& dest, const TRect& at) {
  if (from.Width() == at.Width() && from.Height() == at.Height()) {
    for (int y = 0; y < at.Height(); ++y)
      std::copy_n(source.Row(from.Top + y) + from.Left, at.Width(), dest.Row(at.Top + y) + at.Left);
    return;
  }
  const std::vector<uint8_t> in = Rgba(source, from);
  std::vector<uint8_t> out(static_cast<size_t>(at.Width()) * static_cast<size_t>(at.Height()) * kChannels);
  // Fails only for sizes and parameters this code never passes; the part then stays as it was.
  if (!stbir_resize_uint8_generic(in.data(), from.Width(), from.Height(), 0, out.data(), at.Width(), at.Height(), 0,
                                  kChannels, 3, 0, STBIR_EDGE_CLAMP, STBIR_FILTER_DEFAULT, STBIR_COLORSPACE_SRGB,
                                  nullptr)) {
    return;
  }
  const uint8_t* p = out.data();
  for (int y = at.Top; y < at.Bottom; ++y) {
    uint32_t* row = dest.Row(y);
    for (int x = at.Left; x < at.Right; ++x, p += kChannels) {
      uint32_t pixel = static_cast<uint32_t>(p[0]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[2];
      // A covered pixel that happens to come out magenta would turn see-through: nudge it.
      if (pixel == kSkinMagenta) pixel ^= 1;
      row[x] = p[3] < 128 ? kSkinMagenta : pixel;
    }
  }
}

// The three cuts of a span at its margins, or one cut when either side cannot hold them.
struct TCuts {
  int At[4];
  int Count;
};
TCuts Cut(int start, int size, int first, int second, bool whole) {
  if (whole) return {{start, start + size, 0, 0}, 1};
  return {{start, start + first, start + size - second, start + size}, 3};
}
bool Fits(int first, int second, int size) { return first >= 0 && second >= 0 && first + second <= size; }
// Margins cut a source and a target span alike only when both hold them and both have a middle or
// neither has: a middle that rounding made from nothing would have no pixels to come from.
bool CutsAlike(int sFirst, int sSecond, int sSize, int dFirst, int dSecond, int dSize) {
  return Fits(sFirst, sSecond, sSize) && Fits(dFirst, dSecond, dSize) &&
         (sFirst + sSecond == sSize) == (dFirst + dSecond == dSize);
}

}  // namespace

TSkinImage ResampleSkinImage(const TSkinImage& source, const TRect& from, int width, int height) {
  const TRect part = source.Clip(from);
  if (part.Empty() || width <= 0 || height <= 0) return {};
  TSkinImage out(width, height);
  ResampleInto(source, part, out, {0, 0, width, height});
  return out;
}

TSkinImage ResampleSlicedImage(const TSkinImage& source, const TSlicedPicture& from, int frameWidth, int frameHeight,
                               const TSlicedPicture& to) {
  const int frames = std::max(from.Frames, 1);
  if (source.Empty() || frameWidth <= 0 || frameHeight <= 0) return {};
  const bool side = to.Layout == TFrameLayout::SideBySide;
  TSkinImage out(side ? frameWidth * frames : frameWidth, side ? frameHeight : frameHeight * frames);
  for (int i = 0; i < frames; ++i) {
    const TRect src = SkinFrameRect(source.Width(), source.Height(), frames, i + 1, from.Layout);
    if (src.Empty()) continue;
    const TRect dst = side ? Bounds(i * frameWidth, 0, frameWidth, frameHeight)
                           : Bounds(0, i * frameHeight, frameWidth, frameHeight);
    const TSkinMargins& s = from.Margins;
    const TSkinMargins& d = to.Margins;
    const bool wholeColumns = !CutsAlike(s.Left, s.Right, src.Width(), d.Left, d.Right, dst.Width());
    const bool wholeRows = !CutsAlike(s.Top, s.Bottom, src.Height(), d.Top, d.Bottom, dst.Height());
    const TCuts sx = Cut(src.Left, src.Width(), s.Left, s.Right, wholeColumns);
    const TCuts sy = Cut(src.Top, src.Height(), s.Top, s.Bottom, wholeRows);
    const TCuts dx = Cut(dst.Left, dst.Width(), d.Left, d.Right, wholeColumns);
    const TCuts dy = Cut(dst.Top, dst.Height(), d.Top, d.Bottom, wholeRows);
    for (int row = 0; row < sy.Count; ++row) {
      for (int col = 0; col < sx.Count; ++col) {
        const TRect piece{sx.At[col], sy.At[row], sx.At[col + 1], sy.At[row + 1]};
        const TRect place{dx.At[col], dy.At[row], dx.At[col + 1], dy.At[row + 1]};
        if (!piece.Empty() && !place.Empty()) ResampleInto(source, piece, out, place);
      }
    }
  }
  return out;
}
