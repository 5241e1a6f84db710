#pragma once
// TSkinRadioButton: a radio button drawn like a check box, with the skin's radio glyph (the
// "Buttons" object's "RadioButton" picture); it is never indeterminate.
#include "skin/win/controls/SkinCheckBox.h"

class TSkinRadioButton : public TSkinCheckBox {
protected:
  const TSkinImage& Glyph() const override;
  int GlyphFrames() const override;
  int CheckState() const override;
};
