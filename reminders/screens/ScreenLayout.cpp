#include "reminders/screens/ScreenLayout.h"

#include <algorithm>

std::vector<TRect> CoverRects(const std::vector<TScreenMonitor>& monitors) {
  std::vector<TRect> covers;
  for (const TScreenMonitor& monitor : monitors)
    if (!monitor.Primary && monitor.Bounds.Width() > 0 && monitor.Bounds.Height() > 0) covers.push_back(monitor.Bounds);
  return covers;
}

TRect CentreIn(const TRect& area, int width, int height) {
  const int left = std::max(area.Left, area.Left + (area.Width() - width) / 2);
  const int top = std::max(area.Top, area.Top + (area.Height() - height) / 2);
  return {left, top, left + width, top + height};
}
