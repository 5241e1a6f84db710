#include <gtest/gtest.h>

#include <climits>

#include "framework/win32/Dpi.h"

// Expected values worked out by hand: value × dpi / 96, halves rounded away from zero.
TEST(Dpi, ScalesDesignValuesToEachCommonScaleAndBack) {
  EXPECT_EQ(ScaleToDpi(11, 120), 14);    // 13.75
  EXPECT_EQ(ScaleToDpi(265, 144), 398);  // 397.5
  EXPECT_EQ(ScaleToDpi(-11, 144), -17);  // -16.5
  EXPECT_EQ(ScaleToDpi(486, 192), 972);
  EXPECT_EQ(ScaleToDpi(7, 96), 7);
  EXPECT_EQ(ScaleFromDpi(398, 144), 265);  // 265.33
  EXPECT_EQ(ScaleFromDpi(-17, 144), -11);  // -11.33
  EXPECT_EQ(ScaleToDpi(2000000000, 192), INT_MAX) << "kept within int";
  EXPECT_EQ(ScaleToDpi(-2000000000, 192), INT_MIN);
}

TEST(Dpi, AWindowReportsTheDisplaysDpi) {
  HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(WindowDpi(window), SystemDpi());
  EXPECT_EQ(SystemMetricForDpi(SM_CXSMICON, SystemDpi()), GetSystemMetrics(SM_CXSMICON));
  EXPECT_EQ(SystemMetricForDpi(SM_CXSMICON, 2 * SystemDpi()), 2 * GetSystemMetrics(SM_CXSMICON));
  DestroyWindow(window);
}
