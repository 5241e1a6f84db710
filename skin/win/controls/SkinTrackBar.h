#pragma once
// TSkinTrackBar: a track bar ("msctls_trackbar32") drawn from the skin: the channel from "Track"
// (horizontal) or "TRACKVERT" (vertical) at the picture's own thickness along the control's
// channel, the tick marks in the skin's shadow colour, and the thumb from the "Trackbar.Thumb..."
// object of its shape: "ThumbHorz" / "ThumbVert" for a bar with ticks on both sides, else the one
// pointing to its ticks ("ThumbDown", "ThumbUp", "ThumbRight", "ThumbLeft"). Thumb frames: 1
// normal, 2 hot, 3 held, 4 disabled, 5 focused; a focused bar is also framed by a focus
// rectangle unless the skin data says xoNoFocusRect. The bar's own geometry and its keyboard and
// mouse handling stay in charge; the background is the parent's picture when the control is
// transparent, else the skin's face. Without the channel or thumb picture the bar paints itself.
#include "skin/win/controls/SkinControl.h"

class TDataSkinObject;

class TSkinTrackBar : public TSkinControl {
public:
  int ThumbFrame() const;

protected:
  bool BeforeMessage(TMessage& message) override;
  void AfterMessage(TMessage& message) override;
  void PaintSkin(HDC dc, const TRect& rect) override;

private:
  bool Vertical() const;
  const TDataSkinObject* Channel() const;
  const TDataSkinObject* Thumb() const;
  TRect ThumbRect() const;
  bool OnThumb(LPARAM point) const;
  void PaintTicks(HDC dc, const TRect& channel, const TRect& thumb);
  void SetHot(bool hot);
};
