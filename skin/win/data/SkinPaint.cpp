#include "skin/win/data/SkinPaint.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "framework/core/Exception.h"
#include "framework/win32/DCState.h"
#include "framework/win32/PaintBitmap.h"

namespace {

void Blit(HDC dc, const TRect& dest, HDC source, const TRect& from, DWORD operation) {
  if (dest.Width() == from.Width() && dest.Height() == from.Height()) {
    BitBlt(dc, dest.Left, dest.Top, dest.Width(), dest.Height(), source, from.Left, from.Top, operation);
  } else {
    StretchBlt(dc, dest.Left, dest.Top, dest.Width(), dest.Height(), source, from.Left, from.Top, from.Width(),
               from.Height(), operation);
  }
}

// mask: the picture's mask DC for a transparent copy, else nullptr.
void Copy(HDC dc, const TRect& dest, HDC source, const TRect& from, HDC mask) {
  if (!mask) {
    Blit(dc, dest, source, from, SRCCOPY);
    return;
  }
  // destination ^ picture, cleared where the picture is opaque, ^ picture again: the picture's own
  // pixels where it is opaque, the destination untouched under magenta. A monochrome source is drawn
  // in the destination's text colour (0 bits) and background colour (1 bits).
  const TextColorKept black(dc, RGB(0, 0, 0));
  const BkColorKept white(dc, RGB(255, 255, 255));
  Blit(dc, dest, source, from, SRCINVERT);
  Blit(dc, dest, mask, from, SRCAND);
  Blit(dc, dest, source, from, SRCINVERT);
}

void Tile(HDC dc, const TRect& dest, HDC source, const TRect& from, HDC mask) {
  for (int y = dest.Top; y < dest.Bottom; y += from.Height()) {
    const int h = std::min(from.Height(), dest.Bottom - y);
    for (int x = dest.Left; x < dest.Right; x += from.Width()) {
      const int w = std::min(from.Width(), dest.Right - x);
      Copy(dc, Bounds(x, y, w, h), source, Bounds(from.Left, from.Top, w, h), mask);
    }
  }
}

}  // namespace

HDC TSkinPicture::MaskDC() {
  if (maskDc_) return maskDc_.get();
  // Rows of a monochrome bitmap are padded to 16 bits; a set bit is white.
  const int stride = (Width() + 15) / 16 * 2;
  std::vector<uint8_t> bits(static_cast<size_t>(stride) * Height());
  for (int y = 0; y < Height(); ++y) {
    const uint8_t* pixel = ScanLine(y);
    for (int x = 0; x < Width(); ++x, pixel += 4) {
      // Blue, green, red.
      if (pixel[0] == 255 && pixel[1] == 0 && pixel[2] == 255) bits[y * stride + x / 8] |= 0x80 >> (x % 8);
    }
  }
  UniqueBitmap mask(CreateBitmap(Width(), Height(), 1, 1, bits.data()));
  UniqueMemoryDC dc(CreateCompatibleDC(nullptr));
  if (!mask || !dc || !SelectObject(dc.get(), mask.get())) throw EOutOfResources("Out of system resources");
  mask_ = std::move(mask);
  maskDc_ = std::move(dc);
  return maskDc_.get();
}

void DrawSkinPicture(HDC dc, TSkinPicture& picture, const TRect& frame, TSkinMargins margins, bool tileMiddle,
                     const TRect& target, bool transparent) {
  HDC source = picture.Canvas()->Handle();
  HDC mask = transparent ? picture.MaskDC() : nullptr;
  const StretchBltModeKept mode(dc, COLORONCOLOR);
  for (const TSlicePiece& piece : NineSlicePieces(frame, margins, target, tileMiddle)) {
    if (piece.Tile) {
      Tile(dc, piece.Dest, source, piece.Source, mask);
    } else {
      Copy(dc, piece.Dest, source, piece.Source, mask);
    }
  }
}

HDC TPaintBuffer::Prepare(HDC like, int width, int height) {
  if (dc_ && width <= width_ && height <= height_) return dc_.get();
  Release();
  width = std::max({width, width_, 1});
  height = std::max({height, height_, 1});
  UniqueMemoryDC dc(CreateCompatibleDC(like));
  UniqueBitmap bitmap = CreatePaintBitmap(like, width, height);
  if (!dc || !bitmap) throw EOutOfResources("Out of system resources");
  previous_ = SelectObject(dc.get(), bitmap.get());
  dc_ = std::move(dc);
  bitmap_ = std::move(bitmap);
  width_ = width;
  height_ = height;
  return dc_.get();
}

void TPaintBuffer::Release() {
  if (dc_ && previous_) SelectObject(dc_.get(), previous_);
  previous_ = nullptr;
  dc_.reset();
  bitmap_.reset();
  width_ = height_ = 0;
}
