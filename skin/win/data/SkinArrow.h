#pragma once
// Small solid arrows (sort marks, drop-down marks) drawn in one colour, for the skinners that need
// one where the skin brings no picture.
#include <windows.h>

#include "framework/graphics/Graphic.h"

enum class TArrowDirection { Up, Down };

// A triangle about size pixels wide, its point up or down, centred on centre.
void DrawSkinArrow(HDC dc, TPoint centre, int size, TArrowDirection direction, TColor colour);
