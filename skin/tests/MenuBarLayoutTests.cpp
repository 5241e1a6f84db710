#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin/layout/MenuBarLayout.h"
#include "skin/model/SkinModel.h"

namespace {

TDataSkinObject BarObject(int left, int right) {
  TDataSkinObject bar("menuBar");
  bar.LeftWidth = left;
  bar.RightWidth = right;
  return bar;
}

TEST(MenuBarLayout, ItemsStartInsideTheBarPictureAndFollowEachOtherInReadingOrder) {
  const TDataSkinObject bar = BarObject(3, 5);
  const TRect place{4, 26, 404, 45};
  EXPECT_EQ(MenuBarStart(&bar, place.Width(), false), 7);
  EXPECT_EQ(MenuBarStart(&bar, place.Width(), true), 13);
  EXPECT_EQ(MenuBarStart(nullptr, place.Width(), false), 6);
  // A bar too narrow for the picture's margin puts its items at a fixed offset.
  EXPECT_EQ(MenuBarStart(&bar, 6, false), 12);

  const std::vector<int> widths{MenuBarItemWidth(24), MenuBarItemWidth(0), MenuBarItemWidth(31)};
  EXPECT_EQ(widths, (std::vector<int>{34, 0, 41}));
  EXPECT_EQ(MenuBarItemRects(place, 7, widths, false),
            (std::vector<TRect>{{11, 26, 45, 44}, {45, 26, 45, 44}, {45, 26, 86, 44}}));
  EXPECT_EQ(MenuBarItemRects(place, 13, widths, true),
            (std::vector<TRect>{{357, 26, 391, 44}, {357, 26, 357, 44}, {316, 26, 357, 44}}));
}

TEST(MenuBarLayout, OnlySeparatorsBetweenVisibleEntriesStay) {
  const TMenuEntryShape line{true, true};
  const TMenuEntryShape entry{false, true};
  const TMenuEntryShape hidden{false, false};
  // line | Open | line | (hidden) | line | line | Exit | line
  EXPECT_EQ(TidySeparators({line, entry, line, hidden, line, line, entry, line}),
            (std::vector<bool>{false, true, true, false, false, false, true, false}));
  // A separator hidden before comes back when it now stands between two entries.
  EXPECT_EQ(TidySeparators({entry, {true, false}, entry}), (std::vector<bool>{true, true, true}));
  EXPECT_EQ(TidySeparators({line, hidden, line}), (std::vector<bool>{false, false, false}));
}

TEST(MenuBarLayout, ArrowKeysWrapAroundAndAltLettersFindTheirItem) {
  EXPECT_EQ(NextBarItem(2, 3), 0);
  EXPECT_EQ(NextBarItem(0, 3), 1);
  EXPECT_EQ(PreviousBarItem(0, 3), 2);
  EXPECT_EQ(PreviousBarItem(2, 3), 1);
  EXPECT_EQ(NextBarItem(0, 0), -1);

  const std::vector<std::string> captions{"&File", "Fish && Chips", "E&dit", "帮助(&H)", "&设置"};
  EXPECT_EQ(CaptionAccelerator(captions[1]), 0u);
  EXPECT_EQ(CaptionAccelerator("&设置"), U'设');
  EXPECT_EQ(CaptionAccelerator("trailing &"), 0u);
  EXPECT_EQ(MenuBarItemForKey(captions, U'D'), 2);
  EXPECT_EQ(MenuBarItemForKey(captions, U'h'), 3);
  EXPECT_EQ(MenuBarItemForKey(captions, U'设'), 4);
  EXPECT_EQ(MenuBarItemForKey(captions, 0), 0);
  EXPECT_EQ(MenuBarItemForKey(captions, U'c'), -1);
  EXPECT_EQ(MenuBarItemForKey({}, 0), -1);
}

}  // namespace
