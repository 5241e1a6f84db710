#include <gtest/gtest.h>

#include "framework/controls/tests/GuiObjectCount.h"
#include "framework/controls/tests/TestForms.h"
#include "framework/win32/Region.h"

namespace {

TEST(Region, RectanglesUniteAndMove) {
  // An L of two rectangles, moved by (10, 20).
  UniqueRegion region = RegionFromRects({{0, 0, 4, 2}, {0, 2, 2, 6}, {5, 5, 5, 9}}, 10, 20);
  ASSERT_TRUE(region);
  EXPECT_TRUE(PtInRegion(region.get(), 10, 20));
  EXPECT_TRUE(PtInRegion(region.get(), 13, 21));
  EXPECT_TRUE(PtInRegion(region.get(), 11, 25));
  EXPECT_FALSE(PtInRegion(region.get(), 13, 23)) << "the corner the L leaves out";
  EXPECT_FALSE(PtInRegion(region.get(), 14, 20)) << "right edges are exclusive";
  RECT box{};
  EXPECT_EQ(GetRgnBox(region.get(), &box), COMPLEXREGION);
  EXPECT_EQ(box.right, 14);
  EXPECT_EQ(box.bottom, 26) << "the empty rectangle adds nothing";

  UniqueRegion none = RegionFromRects({});
  ASSERT_TRUE(none);
  EXPECT_EQ(GetRgnBox(none.get(), &box), NULLREGION);
}

TEST(Region, TheWindowTakesTheRegionAndARefusedOneIsFreed) {
  TPlainForm form(nullptr);
  form.SetBounds(0, 0, 100, 80);
  HWND window = form.Handle();
  const int before = CountGuiObjects().gdi;
  for (int i = 0; i < 50; ++i) ASSERT_TRUE(SetWindowRegion(window, RegionFromRects({{0, 0, 30, 30}})));
  UniqueRegion now(CreateRectRgn(0, 0, 0, 0));
  ASSERT_EQ(GetWindowRgn(window, now.get()), SIMPLEREGION);
  EXPECT_TRUE(PtInRegion(now.get(), 29, 29));
  EXPECT_FALSE(PtInRegion(now.get(), 30, 29));
  EXPECT_TRUE(SetWindowRegion(window, UniqueRegion()));
  EXPECT_EQ(GetWindowRgn(window, now.get()), ERROR) << "no region: the whole window";
  for (int i = 0; i < 50; ++i) EXPECT_FALSE(SetWindowRegion(nullptr, RegionFromRects({{0, 0, 5, 5}})));
  now.reset();
  EXPECT_LE(CountGuiObjects().gdi, before + 1);
}

}  // namespace
