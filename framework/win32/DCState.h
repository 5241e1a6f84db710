#pragma once
// Guards of a DC's state: each changes one thing for a scope and puts the old value back, so a DC
// handed on (to a windowless child, a message hook, a buffer) comes back as it went.
#include <windows.h>

// The whole state (origin, clipping, selected objects, modes, colours) through SaveDC/RestoreDC.
class SavedDC {
public:
  explicit SavedDC(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
  ~SavedDC() {
    if (saved_) RestoreDC(dc_, saved_);
  }
  SavedDC(const SavedDC&) = delete;
  SavedDC& operator=(const SavedDC&) = delete;

private:
  HDC dc_;
  int saved_;
};

// The origin moved by (x, y); with a size, drawing also clipped to it at the new origin.
class ShiftedDC {
public:
  ShiftedDC(HDC dc, int x, int y) : saved_(dc) { OffsetViewportOrgEx(dc, x, y, nullptr); }
  ShiftedDC(HDC dc, int x, int y, int width, int height) : ShiftedDC(dc, x, y) {
    IntersectClipRect(dc, 0, 0, width, height);
  }

private:
  SavedDC saved_;
};

// Selects an object into a DC and puts the previous one back.
class SelectedObject {
public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~SelectedObject() {
    if (previous_ && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
  }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

private:
  HDC dc_;
  HGDIOBJ previous_;
};

// Selects a palette (none: nothing happens) and realises it; the previous one goes back unrealised.
class SelectedPalette {
public:
  SelectedPalette(HDC dc, HPALETTE palette, bool background) : dc_(dc) {
    if (!palette) return;
    previous_ = SelectPalette(dc, palette, background ? TRUE : FALSE);
    RealizePalette(dc);
  }
  ~SelectedPalette() {
    if (previous_) SelectPalette(dc_, previous_, TRUE);
  }
  SelectedPalette(const SelectedPalette&) = delete;
  SelectedPalette& operator=(const SelectedPalette&) = delete;

private:
  HDC dc_;
  HPALETTE previous_ = nullptr;
};

namespace dc_state_detail {
// Imported functions are no constant expressions; these are.
inline int SetStretchMode(HDC dc, int mode) { return SetStretchBltMode(dc, mode); }
inline int SetMapping(HDC dc, int mode) { return SetMapMode(dc, mode); }
inline int SetBackgroundMode(HDC dc, int mode) { return SetBkMode(dc, mode); }
inline COLORREF SetTextColour(HDC dc, COLORREF colour) { return SetTextColor(dc, colour); }
inline COLORREF SetBackgroundColour(HDC dc, COLORREF colour) { return SetBkColor(dc, colour); }
}  // namespace dc_state_detail

// One setting of a DC, set by a function that answers the previous value (Failed when it failed).
template <typename Value, Value (*Set)(HDC, Value), Value Failed>
class KeptSetting {
public:
  KeptSetting(HDC dc, Value value) : dc_(dc), previous_(Set(dc, value)) {}
  ~KeptSetting() {
    if (previous_ != Failed) Set(dc_, previous_);
  }
  KeptSetting(const KeptSetting&) = delete;
  KeptSetting& operator=(const KeptSetting&) = delete;

private:
  HDC dc_;
  Value previous_;
};

using StretchBltModeKept = KeptSetting<int, dc_state_detail::SetStretchMode, 0>;
using MapModeKept = KeptSetting<int, dc_state_detail::SetMapping, 0>;
using BkModeKept = KeptSetting<int, dc_state_detail::SetBackgroundMode, 0>;
using TextColorKept = KeptSetting<COLORREF, dc_state_detail::SetTextColour, CLR_INVALID>;
using BkColorKept = KeptSetting<COLORREF, dc_state_detail::SetBackgroundColour, CLR_INVALID>;
