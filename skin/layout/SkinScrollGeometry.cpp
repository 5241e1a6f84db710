#include "skin/layout/SkinScrollGeometry.h"

#include <algorithm>
#include <cstdint>

#include "framework/core/DpiScale.h"

namespace {

constexpr int kChunkGap = 2;

// How many positions the range has, as a 64-bit number (Max - Min + 1 may pass INT_MAX).
int64_t Span(const TScrollRange& range) { return int64_t{range.Max} - range.Min + 1; }

}  // namespace

int ScrollLimit(const TScrollRange& range) {
  const int64_t limit = int64_t{range.Max} - std::max(range.Page - 1, 0);
  return static_cast<int>(std::max<int64_t>(limit, range.Min));
}

TScrollBarLayout LayoutScrollBar(int length, int thickness, const TScrollRange& range, bool withThumb) {
  TScrollBarLayout layout;
  layout.Length = std::max(length, 0);
  thickness = std::max(thickness, 1);
  layout.Arrow = std::min(thickness, layout.Length / 2);
  layout.TrackStart = layout.Arrow;
  layout.TrackEnd = layout.Length - layout.Arrow;
  const int track = layout.TrackEnd - layout.TrackStart;
  const int64_t span = Span(range);
  if (!withThumb || span <= 0 || (range.Page > 0 && range.Page >= span)) return layout;
  int thumb = thickness;
  if (range.Page > 0) {
    thumb = static_cast<int>(int64_t{track} * range.Page / span);
    thumb = std::max(thumb, thickness);
  }
  if (thumb > track) return layout;
  layout.ThumbLength = thumb;
  const int64_t movable = int64_t{ScrollLimit(range)} - range.Min;
  const int pos = std::clamp(range.Pos, range.Min, ScrollLimit(range));
  const int offset =
      movable > 0 ? static_cast<int>((int64_t{track - thumb} * (int64_t{pos} - range.Min) + movable / 2) / movable) : 0;
  layout.ThumbStart = layout.TrackStart + offset;
  return layout;
}

TScrollBarLayout WithThumbAt(const TScrollBarLayout& layout, int thumbStart) {
  TScrollBarLayout moved = layout;
  if (layout.ThumbLength > 0)
    moved.ThumbStart = std::clamp(thumbStart, layout.TrackStart, layout.TrackEnd - layout.ThumbLength);
  return moved;
}

TScrollPart ScrollPartAt(const TScrollBarLayout& layout, int along) {
  if (along < 0 || along >= layout.Length) return TScrollPart::None;
  if (along < layout.TrackStart) return TScrollPart::LineBack;
  if (along >= layout.TrackEnd) return TScrollPart::LineForward;
  if (layout.ThumbLength <= 0) return TScrollPart::None;
  if (along < layout.ThumbStart) return TScrollPart::PageBack;
  if (along < layout.ThumbStart + layout.ThumbLength) return TScrollPart::Thumb;
  return TScrollPart::PageForward;
}

int ScrollPosForThumb(const TScrollBarLayout& layout, const TScrollRange& range, int thumbStart) {
  const int travel = layout.TrackEnd - layout.TrackStart - layout.ThumbLength;
  if (layout.ThumbLength <= 0 || travel <= 0) return range.Min;
  const int offset = std::clamp(thumbStart - layout.TrackStart, 0, travel);
  const int64_t movable = int64_t{ScrollLimit(range)} - range.Min;
  return static_cast<int>(range.Min + (int64_t{offset} * movable + travel / 2) / travel);
}

int ProgressFill(int length, int min, int max, int pos) {
  if (max <= min || length <= 0) return 0;
  const int64_t range = int64_t{max} - min;
  const int64_t done = std::clamp<int64_t>(int64_t{pos} - min, 0, range);
  return static_cast<int>(int64_t{length} * done / range);
}

std::vector<TProgressChunk> ProgressChunks(int length, int thickness, int filled, int dpi) {
  std::vector<TProgressChunk> chunks;
  const int chunk = std::max((2 * thickness + 1) / 3, 1);
  filled = std::min(filled, length);
  const int gap = ScaleToDpi(kChunkGap, dpi);
  for (int start = 0; start < filled; start += chunk + gap)
    chunks.push_back({start, std::min(chunk, length - start)});
  return chunks;
}
