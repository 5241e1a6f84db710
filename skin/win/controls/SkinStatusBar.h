#pragma once
// TSkinStatusBar: a status bar ("msctls_statusbar32") on the skin's button face, each part (or the
// one simple-mode part) framed by a "StatusBarEdges" frame: 1 normal, 2 for a disabled bar, 3 for
// a raised (SBT_POPOUT) part; a part without borders gets none. A part's text keeps the bar's tab
// rule (before the first tab left-aligned, after it centred, after the second right-aligned) and
// ends in an ellipsis where it does not fit; its icon comes first; owner-drawn parts are handed to
// the parent to draw, as unskinned. The size grip shows the "ExtraImages" grip frame (frame 5).
//
// A skin without "StatusBarEdges" leaves the bar to paint itself.
#include "skin/win/controls/SkinControl.h"

class TDataSkinObject;

class TSkinStatusBar : public TSkinControl {
protected:
  bool BeforeMessage(TMessage& message) override;
  void AfterMessage(TMessage& message) override;
  void PaintSkin(HDC dc, const TRect& rect) override;

private:
  const TDataSkinObject* SkinObject() const;
  // Text and icon stay left of textRight.
  void PaintPart(HDC dc, const TDataSkinObject& edges, int part, const TRect& place, int textRight);
  void PaintGrip(HDC dc, const TRect& rect);
};
