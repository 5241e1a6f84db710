#pragma once
// The arithmetic of a skinned menu bar, apart from Windows: where its first item starts, how wide
// an item is, where the items sit (from the start to the right, or from the right edge to the left
// for right-to-left menus), which separators of a drop-down stay visible, which bar item an arrow
// key moves to and which item an Alt+letter opens.
//
// Coordinates are those of the bar's rectangle as given (window coordinates in the form skinner).
#include <string>
#include <vector>

#include "framework/classes/Types.h"
#include "framework/core/DpiScale.h"

class TDataSkinObject;

// The first item's offset from the bar's leading edge: with the skin's menu-bar object its left
// margin + 4 (right margin + 8 right-to-left), 12 in a bar narrower than that; 6 without it. The
// numbers are for 96 dpi; barObject comes from the skin at dpi.
int MenuBarStart(const TDataSkinObject* barObject, int barWidth, bool rightToLeft, int dpi = kDesignDpi);

// The space around an item's text (at 96 dpi); an item without text gets none.
inline constexpr int kMenuBarItemPadding = 10;
int MenuBarItemWidth(int textWidth, int dpi = kDesignDpi);

// One rectangle per width, side by side from the start; each as high as the bar less one pixel.
std::vector<TRect> MenuBarItemRects(const TRect& bar, int start, const std::vector<int>& widths, bool rightToLeft);

// An entry of a drop-down as far as tidying its separators goes.
struct TMenuEntryShape {
  bool Line = false;
  bool Visible = true;
};
// The visibility each entry should have: separators before the first and after the last visible
// entry go, and of separators with no visible entry between them only the first stays. Entries
// other than separators keep theirs.
std::vector<bool> TidySeparators(const std::vector<TMenuEntryShape>& entries);

// The bar item the arrow keys move to, wrapping around at both ends; -1 for an empty bar.
int NextBarItem(int current, int count);
int PreviousBarItem(int current, int count);

// The character marked with "&" in a caption ("&&" is a plain ampersand), ASCII letters in lower
// case; 0 when none is marked.
char32_t CaptionAccelerator(const std::string& caption);
// The item Alt+key opens: the first for a bare Alt (key 0), else the first whose accelerator is
// key (ASCII case ignored); -1 when none has it.
int MenuBarItemForKey(const std::vector<std::string>& captions, char32_t key);
