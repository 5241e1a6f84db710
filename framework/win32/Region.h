#pragma once
// Window regions. A region handed to SetWindowRgn belongs to the system from then on: it must not
// be deleted or used again. SetWindowRegion is the one place that hands one over, so that every
// other region stays owned by a UniqueRegion.
#include <windows.h>

#include <vector>

#include "framework/classes/Types.h"
#include "framework/win32/Handles.h"

// The union of the rectangles, moved by (dx, dy); an empty region for none.
UniqueRegion RegionFromRects(const std::vector<TRect>& rects, int dx = 0, int dy = 0);
// Gives the window the region (nullptr: none, the whole window) and the system takes it.
// False when the window refused it; the region is freed then.
bool SetWindowRegion(HWND window, UniqueRegion region, bool redraw = true);
