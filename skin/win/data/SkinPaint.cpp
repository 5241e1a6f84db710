#include "skin/win/data/SkinPaint.h"

#include <algorithm>

#include "framework/core/Exception.h"
#include "framework/win32/DCState.h"

namespace {

void Copy(HDC dc, const TRect& dest, HDC source, const TRect& from, bool transparent) {
  if (transparent) {
    GdiTransparentBlt(dc, dest.Left, dest.Top, dest.Width(), dest.Height(), source, from.Left, from.Top, from.Width(),
                      from.Height(), RGB(255, 0, 255));
  } else if (dest.Width() == from.Width() && dest.Height() == from.Height()) {
    BitBlt(dc, dest.Left, dest.Top, dest.Width(), dest.Height(), source, from.Left, from.Top, SRCCOPY);
  } else {
    StretchBlt(dc, dest.Left, dest.Top, dest.Width(), dest.Height(), source, from.Left, from.Top, from.Width(),
               from.Height(), SRCCOPY);
  }
}

void Tile(HDC dc, const TRect& dest, HDC source, const TRect& from, bool transparent) {
  for (int y = dest.Top; y < dest.Bottom; y += from.Height()) {
    const int h = std::min(from.Height(), dest.Bottom - y);
    for (int x = dest.Left; x < dest.Right; x += from.Width()) {
      const int w = std::min(from.Width(), dest.Right - x);
      Copy(dc, Bounds(x, y, w, h), source, Bounds(from.Left, from.Top, w, h), transparent);
    }
  }
}

}  // namespace

void DrawSkinPicture(HDC dc, TBitmap& picture, const TRect& frame, TSkinMargins margins, bool tileMiddle,
                     const TRect& target, bool transparent) {
  HDC source = picture.Canvas()->Handle();
  const StretchBltModeKept mode(dc, COLORONCOLOR);
  for (const TSlicePiece& piece : NineSlicePieces(frame, margins, target, tileMiddle)) {
    if (piece.Tile) {
      Tile(dc, piece.Dest, source, piece.Source, transparent);
    } else {
      Copy(dc, piece.Dest, source, piece.Source, transparent);
    }
  }
}

HDC TPaintBuffer::Prepare(HDC like, int width, int height) {
  if (dc_ && width <= width_ && height <= height_) return dc_.get();
  Release();
  width = std::max({width, width_, 1});
  height = std::max({height, height_, 1});
  UniqueMemoryDC dc(CreateCompatibleDC(like));
  UniqueBitmap bitmap(CreateCompatibleBitmap(like, width, height));
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
