#include <gtest/gtest.h>

#include <climits>

#include "skin/layout/SkinScrollGeometry.h"

namespace {

TEST(SkinScrollGeometry, ThumbIsItsPageShareOfTheTrackAndTravelsTheWholeTrack) {
  // A 17-pixel bar 217 long: arrows of 17, a track of 183. 100 lines, 20 to a page.
  const TScrollRange range{0, 99, 20, 0};
  const TScrollBarLayout top = LayoutScrollBar(217, 17, range);
  EXPECT_EQ(top.Arrow, 17);
  EXPECT_EQ(top.TrackStart, 17);
  EXPECT_EQ(top.TrackEnd, 200);
  EXPECT_EQ(top.ThumbLength, 36);  // 183 * 20 / 100
  EXPECT_EQ(top.ThumbStart, 17);
  EXPECT_EQ(LayoutScrollBar(217, 17, {0, 99, 20, 80}).ThumbStart, 200 - 36) << "the last page";
  EXPECT_EQ(LayoutScrollBar(217, 17, {0, 99, 20, 500}).ThumbStart, 200 - 36) << "beyond it, held";
  EXPECT_EQ(LayoutScrollBar(217, 17, {0, 99, 20, 40}).ThumbStart, 17 + 74) << "half of 147, rounded";

  // Every position survives the way to the thumb and back.
  for (int pos = 0; pos <= 80; ++pos) {
    const TScrollBarLayout at = LayoutScrollBar(217, 17, {0, 99, 20, pos});
    EXPECT_EQ(ScrollPosForThumb(at, range, at.ThumbStart), pos);
  }
  EXPECT_EQ(ScrollPosForThumb(top, range, -50), 0);
  EXPECT_EQ(ScrollPosForThumb(top, range, 1000), 80);
}

TEST(SkinScrollGeometry, PartsAlongTheBar) {
  const TScrollBarLayout layout = LayoutScrollBar(217, 17, {0, 99, 20, 40});
  EXPECT_EQ(ScrollPartAt(layout, 0), TScrollPart::LineBack);
  EXPECT_EQ(ScrollPartAt(layout, 16), TScrollPart::LineBack);
  EXPECT_EQ(ScrollPartAt(layout, 17), TScrollPart::PageBack);
  EXPECT_EQ(ScrollPartAt(layout, layout.ThumbStart), TScrollPart::Thumb);
  EXPECT_EQ(ScrollPartAt(layout, layout.ThumbStart + 35), TScrollPart::Thumb);
  EXPECT_EQ(ScrollPartAt(layout, layout.ThumbStart + 36), TScrollPart::PageForward);
  EXPECT_EQ(ScrollPartAt(layout, 200), TScrollPart::LineForward);
  EXPECT_EQ(ScrollPartAt(layout, 217), TScrollPart::None);
  EXPECT_EQ(ScrollPartAt(layout, -1), TScrollPart::None);

  const TScrollBarLayout moved = WithThumbAt(layout, 500);
  EXPECT_EQ(moved.ThumbStart, 200 - 36) << "a dragged thumb stays inside the track";
}

TEST(SkinScrollGeometry, NoThumbWhenThereIsNothingToScrollOrNoRoom) {
  EXPECT_EQ(LayoutScrollBar(217, 17, {0, 9, 10, 0}).ThumbLength, 0) << "everything fits on a page";
  EXPECT_EQ(LayoutScrollBar(217, 17, {0, 99, 20, 0}, false).ThumbLength, 0) << "disabled";
  EXPECT_EQ(LayoutScrollBar(217, 17, {5, 4, 0, 0}).ThumbLength, 0) << "an empty range";
  // 40 long: arrows of 17 leave 6, too short for a thumb of 17.
  const TScrollBarLayout short_ = LayoutScrollBar(40, 17, {0, 99, 20, 0});
  EXPECT_EQ(short_.ThumbLength, 0);
  EXPECT_EQ(ScrollPartAt(short_, 20), TScrollPart::None);
  // 20 long: the arrows share the bar.
  const TScrollBarLayout tiny = LayoutScrollBar(20, 17, {0, 99, 20, 0});
  EXPECT_EQ(tiny.Arrow, 10);
  EXPECT_EQ(tiny.TrackStart, tiny.TrackEnd);
  // A huge range keeps its arithmetic: the thumb never shrinks below the bar's thickness.
  const TScrollBarLayout huge = LayoutScrollBar(217, 17, {INT_MIN, INT_MAX, 0, INT_MAX});
  EXPECT_EQ(huge.ThumbLength, 17);
  EXPECT_EQ(huge.ThumbStart, 200 - 17);
  EXPECT_EQ(ScrollPosForThumb(huge, {INT_MIN, INT_MAX, 0, 0}, huge.ThumbStart), INT_MAX);
}

TEST(SkinScrollGeometry, ProgressFillsItsShareWithChunksOfTwoThirdsTheThickness) {
  EXPECT_EQ(ProgressFill(200, 0, 100, 50), 100);
  EXPECT_EQ(ProgressFill(200, 0, 100, -5), 0);
  EXPECT_EQ(ProgressFill(200, 0, 100, 150), 200);
  EXPECT_EQ(ProgressFill(200, 10, 10, 10), 0);
  EXPECT_EQ(ProgressFill(200, INT_MIN, INT_MAX, INT_MAX), 200);

  // 15 thick: chunks of 10 every 12 pixels; 25 filled needs three, the last cut at the end of 30.
  const std::vector<TProgressChunk> chunks = ProgressChunks(30, 15, 25, 96);
  ASSERT_EQ(chunks.size(), 3u);
  EXPECT_EQ(chunks[0], (TProgressChunk{0, 10}));
  EXPECT_EQ(chunks[1], (TProgressChunk{12, 10}));
  EXPECT_EQ(chunks[2], (TProgressChunk{24, 6}));
  EXPECT_TRUE(ProgressChunks(30, 15, 0, 96).empty());
  // At 200 % a bar 30 thick: chunks of 20 with a gap of 4, so the second starts at 24.
  const std::vector<TProgressChunk> doubled = ProgressChunks(60, 30, 50, 192);
  ASSERT_EQ(doubled.size(), 3u);
  EXPECT_EQ(doubled[1], (TProgressChunk{24, 20}));
  EXPECT_EQ(doubled[2], (TProgressChunk{48, 12}));
}

}  // namespace
