#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "framework/core/KeyedResample.h"

namespace {

constexpr uint32_t kKey = 0xFFFFFF;
constexpr uint32_t kInk = 0x1E3429;

// The system menu's minimise glyph drawn for 200 % (a bar four pixels high), shown at 150 %: the
// bar's rows come out whole, never notched along a straight edge.
TEST(KeyedResample, AStraightEdgeStaysStraightAtAThreeQuarterScale) {
  std::vector<uint32_t> glyph(32 * 32, kKey);
  for (int y = 22; y < 26; ++y)
    for (int x = 8; x < 22; ++x) glyph[static_cast<size_t>(y * 32 + x)] = kInk;
  const std::vector<uint32_t> shown = ResampleKeyed({glyph.data(), 32, 32, 32}, kKey, 24, 24);
  ASSERT_EQ(shown.size(), 24u * 24u);
  int rows = 0;
  for (int y = 0; y < 24; ++y) {
    // The bar spans x 6 to 16.5 at 24 px: its inner columns all agree within a row.
    int covered = 0;
    for (int x = 8; x < 15; ++x) covered += shown[static_cast<size_t>(y * 24 + x)] != kKey;
    EXPECT_TRUE(covered == 0 || covered == 7) << "row " << y << ": " << covered << " of 7";
    rows += covered == 7;
  }
  // Four rows at 200 % cover rows 16.5 to 19.5 at 150 %: two whole rows and two halves.
  EXPECT_GE(rows, 3);
  EXPECT_LE(rows, 4);
  EXPECT_EQ(shown[0], kKey);
}

}  // namespace
