#pragma once
// What the edit family shares: the thin frame of a text field drawn in the skin's named colours,
// and hover that spans a control and its child windows (a spin edit's arrows, a combo box's edit).
//
// The frame: the outermost pixel ring in the outline colour (button shadow; the dark shadow when
// hot or focused), the rings inside it in the field's own colour, except that a focused field shows
// the highlight colour just inside its outline, so that focus reads even where no caret blinks.
#include <windows.h>

#include "framework/graphics/Graphic.h"

class TSkinData;

enum class TFieldLook { Normal, Hot, Focused, Disabled };

// Pixels of the window's frame between its outer edge and its client area, as its styles make
// them (client edge 2, border 1, static edge 1); 0 for a window without one.
int FieldFrameWidth(HWND window);

// Paints the frame rings of a window whose whole rectangle is rect in dc (window co-ordinates).
void PaintFieldFrame(HDC dc, const TRect& rect, int width, const TSkinData& data, TFieldLook look, TColor field);

// The pointer is over the window or one of its child windows.
bool PointerOver(HWND window);

// A control's hover once one of its parts was entered or left: the pointer is over the control or a
// part of it, and then the WM_MOUSELEAVE that ends the hover is asked for.
bool HoverOverWhole(HWND window);

// The control a part belongs to is told that the pointer moved onto or off the part, so that its
// hover look follows (kSkinRepaintFrameMessage); nothing happens while it is not skinned.
void TellHost(HWND host);

// Asks for the one WM_MOUSELEAVE that ends a hover.
void TrackLeave(HWND window);

// The window's client origin within its whole rectangle.
POINT ClientOriginInWindow(HWND window);

// Enabled, and so are the child windows it sits in: the system gives a child of a disabled window
// no input either.
bool EnabledWithParents(HWND window);
