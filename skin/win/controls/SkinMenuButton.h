#pragma once
// TSkinMenuButton: a button that drops down a menu, drawn as a skinned push button (its glyph
// included) with its drop-down part at the right: a divider and the arrow, taken from the skin's
// "ExtraImages" drop-down frames (1 normal, 2 hot, 3 pressed, 4 disabled) when the skin has them,
// else drawn in the caption's colour. The caption is centred in what the part leaves.
//
// Opening the menu stays the button's own business (its click or its drop-down notification); a
// split button's part is drawn where the button takes clicks for it, pushed while its menu is open.
#include "skin/win/controls/SkinBitButton.h"

class TSkinMenuButton : public TSkinBitButton {
public:
  int Frame() const override;
  // The drop-down part's width for a button height.
  static int ArrowPartWidth(int height);

protected:
  void PaintGlyph(HDC dc, TRect& area) override;

private:
  int PartWidth(int height) const;
  void PaintArrow(HDC dc, const TRect& part);
};
