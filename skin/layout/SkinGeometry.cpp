#include "skin/layout/SkinGeometry.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "framework/core/DpiScale.h"

TRect SkinFrameRect(int imageWidth, int imageHeight, int count, int frame, TFrameLayout layout) {
  const int n = std::max(count, 1);
  const int index = std::clamp(frame, 1, n) - 1;
  const int width = std::max(imageWidth, 0);
  const int height = std::max(imageHeight, 0);
  if (layout == TFrameLayout::SideBySide) {
    const int step = width / n;
    return {index * step, 0, index * step + step, height};
  }
  const int step = height / n;
  return {0, index * step, width, index * step + step};
}

namespace {

// Margins that neither the frame nor the target can hold are dropped in pairs.
void FitPair(int& first, int& second, int frameSize, int targetSize) {
  first = std::max(first, 0);
  second = std::max(second, 0);
  if (int64_t{first} + second > frameSize || int64_t{first} + second > targetSize) first = second = 0;
}

}  // namespace

std::vector<TSlicePiece> NineSlicePieces(const TRect& frame, TSkinMargins m, const TRect& target,
                                         bool tileMiddle) {
  std::vector<TSlicePiece> pieces;
  if (frame.Empty() || target.Empty()) return pieces;
  FitPair(m.Left, m.Right, frame.Width(), target.Width());
  FitPair(m.Top, m.Bottom, frame.Height(), target.Height());

  const int sx[4] = {frame.Left, frame.Left + m.Left, frame.Right - m.Right, frame.Right};
  const int sy[4] = {frame.Top, frame.Top + m.Top, frame.Bottom - m.Bottom, frame.Bottom};
  const int dx[4] = {target.Left, target.Left + m.Left, target.Right - m.Right, target.Right};
  const int dy[4] = {target.Top, target.Top + m.Top, target.Bottom - m.Bottom, target.Bottom};
  // Corners, then edges, then the middle.
  static constexpr int kOrder[9][2] = {{0, 0}, {2, 0}, {0, 2}, {2, 2}, {1, 0}, {0, 1}, {2, 1}, {1, 2}, {1, 1}};
  for (const auto& [col, row] : kOrder) {
    TSlicePiece piece{{sx[col], sy[row], sx[col + 1], sy[row + 1]},
                      {dx[col], dy[row], dx[col + 1], dy[row + 1]},
                      tileMiddle && col == 1 && row == 1};
    if (!piece.Source.Empty() && !piece.Dest.Empty()) pieces.push_back(piece);
  }
  return pieces;
}

void DrawNineSlice(const TSkinImage& source, const TRect& frame, TSkinMargins margins, bool tileMiddle,
                   TSkinImage& dest, const TRect& target, bool transparent) {
  const TRect inside = source.Clip(frame);
  if (inside != frame) return;
  for (const TSlicePiece& piece : NineSlicePieces(frame, margins, target, tileMiddle)) {
    const TRect& s = piece.Source;
    const TRect& d = piece.Dest;
    const TRect clip = dest.Clip(d);
    for (int y = clip.Top; y < clip.Bottom; ++y) {
      const int v = y - d.Top;
      const int sy = s.Top + (piece.Tile ? v % s.Height() : static_cast<int>(int64_t{v} * s.Height() / d.Height()));
      for (int x = clip.Left; x < clip.Right; ++x) {
        const int u = x - d.Left;
        const int sx = s.Left + (piece.Tile ? u % s.Width() : static_cast<int>(int64_t{u} * s.Width() / d.Width()));
        const uint32_t pixel = source.Pixel(sx, sy);
        if (!transparent || pixel != kSkinMagenta) dest.SetPixel(x, y, pixel);
      }
    }
  }
}

std::vector<TRect> OpaqueRuns(const TSkinImage& image) {
  std::vector<TRect> done;
  // The previous row's rectangles, left to right: they may still grow downwards.
  std::vector<TRect> open;
  std::vector<TRect> current;
  for (int y = 0; y < image.Height(); ++y) {
    const uint32_t* row = image.Row(y);
    size_t scan = 0;
    for (int x = 0; x < image.Width();) {
      if (row[x] == kSkinMagenta) {
        ++x;
        continue;
      }
      const int start = x;
      while (x < image.Width() && row[x] != kSkinMagenta) ++x;
      for (; scan < open.size() && open[scan].Left < start; ++scan) done.push_back(open[scan]);
      if (scan < open.size() && open[scan].Left == start && open[scan].Right == x) {
        current.push_back(open[scan++]);
        current.back().Bottom = y + 1;
      } else {
        current.push_back({start, y, x, y + 1});
      }
    }
    done.insert(done.end(), open.begin() + static_cast<std::ptrdiff_t>(scan), open.end());
    open.swap(current);
    current.clear();
  }
  done.insert(done.end(), open.begin(), open.end());
  return done;
}

TSkinMargins ScaledMargins(const TSkinMargins& m, int dpi) {
  return {ScaleToDpi(m.Left, dpi), ScaleToDpi(m.Top, dpi), ScaleToDpi(m.Right, dpi), ScaleToDpi(m.Bottom, dpi)};
}
