#pragma once
// The arithmetic of the skinned scroll bars and progress bars, measured along the bar.
//
// Scroll bar: an arrow button at each end, as long as the bar is thick (half the bar each when the
// bar is shorter than two of them), and the track between them. The range is Windows' own: a bar
// scrolls from Min to Max - (Page - 1) when a page is set, to Max otherwise. The thumb's length is
// its share of the track, Page out of Max - Min + 1, never shorter than the bar is thick (so that
// the ends of its picture fit), and a bar thick when no page is set. There is no thumb when the
// range holds less than a page more than one page, or when the track is too short for it.
//
// Progress bar: the filled length is the position's share of the range; chunks are two thirds of
// the bar's thickness long with a gap of two pixels (at 96 dpi), laid from the start until the fill is
// covered, the last one cut at the end of the bar.
#include <vector>

struct TScrollRange {
  int Min = 0;
  int Max = 0;
  int Page = 0;
  int Pos = 0;
  friend bool operator==(const TScrollRange&, const TScrollRange&) = default;
};

enum class TScrollPart { None, LineBack, PageBack, Thumb, PageForward, LineForward };

struct TScrollBarLayout {
  int Length = 0;
  int Arrow = 0;
  int TrackStart = 0;
  int TrackEnd = 0;
  int ThumbStart = 0;
  // 0: no thumb.
  int ThumbLength = 0;
  friend bool operator==(const TScrollBarLayout&, const TScrollBarLayout&) = default;
};

// The last position the bar scrolls to.
int ScrollLimit(const TScrollRange& range);
// withThumb false: a disabled bar, arrows and track only.
TScrollBarLayout LayoutScrollBar(int length, int thickness, const TScrollRange& range, bool withThumb = true);
// The thumb moved to start at thumbStart (held inside the track).
TScrollBarLayout WithThumbAt(const TScrollBarLayout& layout, int thumbStart);
// What lies at a distance along the bar.
TScrollPart ScrollPartAt(const TScrollBarLayout& layout, int along);
// The position a thumb placed at thumbStart stands for, the nearest one.
int ScrollPosForThumb(const TScrollBarLayout& layout, const TScrollRange& range, int thumbStart);

struct TProgressChunk {
  int Start = 0;
  int Length = 0;
  friend bool operator==(const TProgressChunk&, const TProgressChunk&) = default;
};

// pos is held within [min, max]; an empty range fills nothing.
int ProgressFill(int length, int min, int max, int pos);
// dpi: the bar's window's, for the gap between chunks.
std::vector<TProgressChunk> ProgressChunks(int length, int thickness, int filled, int dpi);
