#pragma once
// TSkinDateTime: a date picker that drops a calendar down, dressed as the drop-down family does
// (SkinDropDown.h): its fields stay its own, its frame and button come from the skin. The button
// looks pressed while the calendar is open.
#include "skin/win/controls/SkinDropDown.h"

class TSkinDateTime : public TSkinDropDown {
protected:
  bool Dressable() const override;
  bool DroppedDown() const override;
  TRect FieldRect(const TRect& whole) const override;
  TRect ButtonHitRect() const override;
};
