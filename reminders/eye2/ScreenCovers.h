#pragma once
// The plain windows that cover every monitor but the primary one while the rest window is up: the
// rest window's backdrop colour and transparency, always on top just under the rest window, never
// activated by a click (so keys still reach the rest window and are swallowed there), and no
// pointer over them.
#include <windows.h>

#include <vector>

#include "framework/core/Colors.h"
#include "framework/win32/Handles.h"

class TScreenCovers {
public:
  // Covers the monitors as they are now, just under restWindow; covers already up go first.
  void Show(HWND restWindow, TColor colour, int alpha);
  void Hide() { covers_.clear(); }
  // Puts the covers back under the rest window, which its own showing may have moved.
  void KeepUnder(HWND restWindow);
  bool Up() const { return !covers_.empty(); }

private:
  // The brush outlives the windows that paint with it.
  UniqueBrush brush_;
  std::vector<UniqueWindow> covers_;
};
