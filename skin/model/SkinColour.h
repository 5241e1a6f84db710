#pragma once
// Colours as a skin description writes them, and the colour arithmetic of the derived images.
//
// A colour value is three decimal numbers, red, green and blue, with anything that is not a digit
// between them ("30 52 41", "30,52,41"); missing numbers count as 0 and a number above 255 as 255.
// A missing or empty value gives the caller's default.
//
// blend(c1, c2, w) mixes per channel (c2 * (base - w) + c1 * w + base / 2) / base, with base 100
// when w is below 100 and 1000 otherwise, so that 150 means 15 % of c1 and 70 means 70 %.
// The measure of a colour tells how vivid it is: round(255 * (max - min) / max) over its channels
// when one of them is above 159, else 200.
#include <functional>
#include <string>

#include "framework/core/Colors.h"

TColor ParseSkinColour(const std::string& text, TColor defaultColour);

// System colours are resolved before any arithmetic; the Win32 side passes GetSysColor, native
// code the classic Windows scheme.
using TColourResolver = std::function<TColor(TColor)>;
TColor ClassicSystemColour(TColor colour);

TColor SkinBlend(TColor c1, TColor c2, int weight);
int SkinColourMeasure(TColor colour);

// The tool-bar gradient's end colours: top P and bottom Q (colours already resolved).
struct TGradientEnds {
  TColor Top = 0;
  TColor Bottom = 0;
};
TGradientEnds ToolbarGradientEnds(TColor buttonFace, TColor skinColour);
