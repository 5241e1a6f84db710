#pragma once
// What both tab-row painters share: reading one tab of a tab control, and drawing its image and
// caption centred together inside the tab. A caption too long for its tab ends in an ellipsis that
// stays inside the tab.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "framework/classes/Types.h"

struct TTabItem {
  std::wstring Text;
  int ImageIndex = -1;
  // In the control's client co-ordinates.
  TRect Rect;
};

// False when the tab's rectangle cannot be read. unicode: the control is a Unicode window.
[[nodiscard]] bool ReadTabItem(HWND tabs, int index, bool unicode, TTabItem& item);

// Draws in the DC's font and text colour, spaced for a window at dpi.
void DrawTabText(HDC dc, HIMAGELIST images, const TTabItem& item, const TRect& rect, int dpi);

// How far the frame around the pages reaches past the control's display rectangle (client and
// display as TCM_ADJUSTRECT gives them; sideways: the row is at a side). It is the control's own
// padding, taken from the side the row is not on: the system keeps that padding at its 96-dpi
// size at every display scale, so a frame grown by a scaled length would pass the control's edge.
int PagePadding(const TRect& client, const RECT& display, bool sideways);
