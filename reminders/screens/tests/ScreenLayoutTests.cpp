#include <gtest/gtest.h>

#include "reminders/screens/ScreenLayout.h"

namespace {

bool Same(const TRect& a, const TRect& b) {
  return a.Left == b.Left && a.Top == b.Top && a.Right == b.Right && a.Bottom == b.Bottom;
}

TScreenMonitor Monitor(int left, int top, int right, int bottom, bool primary = false) {
  return {{left, top, right, bottom}, {left, top, right, bottom - 40}, primary};
}

TEST(ScreenLayout, EveryMonitorButThePrimaryIsCovered) {
  EXPECT_TRUE(CoverRects({Monitor(0, 0, 1920, 1080, true)}).empty()) << "one monitor: the rest window alone";

  // A laptop with a larger screen to its left and another above, one portrait.
  const std::vector<TRect> covers = CoverRects({Monitor(-2560, -200, 0, 1240), Monitor(0, 0, 1366, 768, true),
                                                Monitor(0, -1080, 1920, 0), Monitor(1366, 0, 2446, 1920)});
  ASSERT_EQ(covers.size(), 3u);
  EXPECT_TRUE(Same(covers[0], {-2560, -200, 0, 1240}));
  EXPECT_TRUE(Same(covers[1], {0, -1080, 1920, 0}));
  EXPECT_TRUE(Same(covers[2], {1366, 0, 2446, 1920}));

  // Whatever order the system lists them in, and two heads at the same origin (a mirrored or
  // overlapping set-up) each get theirs.
  const std::vector<TRect> overlapping = CoverRects({Monitor(0, 0, 800, 600), Monitor(0, 0, 1024, 768, true)});
  ASSERT_EQ(overlapping.size(), 1u);
  EXPECT_TRUE(Same(overlapping[0], {0, 0, 800, 600}));
}

TEST(ScreenLayout, ThePopupIsCentredOnItsMonitorAndStaysReachable) {
  EXPECT_TRUE(Same(CentreIn({0, 0, 1024, 728}, 300, 200), {362, 264, 662, 464}));
  EXPECT_TRUE(Same(CentreIn({-1920, 0, 0, 1040}, 300, 200), {-1110, 420, -810, 620})) << "left of the primary";
  EXPECT_TRUE(Same(CentreIn({0, -1080, 1920, -40}, 301, 201), {809, -661, 1110, -460})) << "above, odd sizes";
  EXPECT_TRUE(Same(CentreIn({100, 50, 500, 350}, 600, 400), {100, 50, 700, 450})) << "larger than the area";
}

}  // namespace
