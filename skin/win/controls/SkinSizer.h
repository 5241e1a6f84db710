#pragma once
// TSkinSizer: a window's size grip (a "ScrollBar" window with SBS_SIZEGRIP). The skin has no
// picture for it: it is drawn on the skin's button face with ridges in the skin's light and shadow
// colours, so it matches the skinned frame around it. Dragging it is the grip's own business.
#include "skin/win/controls/SkinControl.h"

class TSkinModel;

class TSkinSizer : public TSkinControl {
protected:
  bool BeforeMessage(TMessage& message) override;
  void PaintSkin(HDC dc, const TRect& rect) override;
};

// Diagonal ridges in the bottom-right corner of rect, as a grip's mark, sized for the model's scale.
void DrawSkinGrip(HDC dc, const TRect& rect, const TSkinModel& model);
