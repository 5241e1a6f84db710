#pragma once
// Where the reminders go on a desktop of several monitors. The rest window fills the primary
// monitor; each other monitor gets a plain cover, so that a rest is a rest on every screen. The
// popup appears where the user is looking: centred on the monitor of the foreground window.
#include <vector>

#include "framework/classes/Types.h"

struct TScreenMonitor {
  TRect Bounds;
  TRect WorkArea;
  bool Primary = false;
};

// The rectangles to cover besides the rest window's: every monitor but the primary one, in the
// order given. Monitors may lie left of or above the primary (negative coordinates).
std::vector<TRect> CoverRects(const std::vector<TScreenMonitor>& monitors);

// A window of the given size centred in area; one larger than the area keeps its top-left corner
// inside, so that its caption stays reachable.
TRect CentreIn(const TRect& area, int width, int height);
