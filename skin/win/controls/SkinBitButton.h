#pragma once
// TSkinBitButton: a bitmap button on the skin's "Buttons" face. The glyph and the caption are
// placed the way the button itself places them (Layout, Margin, Spacing), the glyph image chosen by
// the button's state; the caption keeps the skinned button's colours and line breaks.
#include "skin/win/controls/SkinButton.h"

class TSkinBitButton : public TSkinButton {
protected:
  void PaintGlyph(HDC dc, TRect& area) override;
};
