#pragma once
// Masked transparent drawing: a rectangle of a bitmap is stretched onto a target, and the target
// keeps its own pixels wherever the bitmap shows the transparent colour (exact colour match).
//
// The method works on any depth and with palettes: the source is copied into a target-compatible
// bitmap, turned into a monochrome mask by a colour-to-monochrome copy keyed on the mask colour,
// and the result is put together in a work bitmap (background AND mask, OR source AND NOT mask)
// that reaches the target in one copy, so the target never shows an intermediate state.
#include <windows.h>

#include "framework/core/Colors.h"

class TBitmap;
class TCanvas;

// The context-level operation. The stretching uses colour-on-colour mode (rows and columns dropped
// or repeated, never blended), so that transparent pixels stay exactly transparent.
void BlitTransparent(HDC target, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
                     int sourceWidth, int sourceHeight, COLORREF maskColor, HPALETTE palette);

// Draws a part of a bitmap stretched into a rectangle of a canvas. A target width or height below 1
// takes the bitmap's; a source width or height below 1 takes the whole bitmap. clNone draws opaquely,
// clDefault keys on the bitmap's bottom-left pixel, a monochrome bitmap always keys on white. The
// bitmap's canvas is locked for the whole draw, so two threads drawing from one bitmap take turns.
void DrawBitmapTransparent(TCanvas& target, int x, int y, int width, int height, TBitmap& bitmap, int sourceX,
                           int sourceY, int sourceWidth, int sourceHeight, TColor transparentColor);

// The same with the source given as a rectangle (left, top, right, bottom).
void DrawBitmapRectTransparent(TCanvas& target, int x, int y, int width, int height, const RECT& source,
                               TBitmap& bitmap, TColor transparentColor);
