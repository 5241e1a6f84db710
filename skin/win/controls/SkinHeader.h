#pragma once
// TSkinHeader: a header control ("SysHeader32") drawn from the skin's "Headerbar" object, one frame
// per item state (1 normal, 2 hot, 3 pressed, 4 disabled); the bar beyond the last item shows the
// normal frame. Item texts end in an ellipsis where they do not fit; a sorted column shows its
// arrow at the item's right; owner-drawn items are handed to the parent to draw, as unskinned.
//
// Only a header whose items are buttons (HDS_BUTTONS) shows hot and pressed items: a static header
// does not react to the mouse, so it does not pretend to. The header keeps its own tracking of
// clicks, dividers and drags; the skinner follows the pointer for the look.
#include "skin/win/controls/SkinControl.h"

class TDataSkinObject;

class TSkinHeader : public TSkinControl {
public:
  // The "Headerbar" frame item index shows now.
  int ItemFrame(int index) const;

protected:
  bool BeforeMessage(TMessage& message) override;
  void AfterMessage(TMessage& message) override;
  void PaintSkin(HDC dc, const TRect& rect) override;

private:
  const TDataSkinObject* SkinObject() const;
  // The item under a client point, -1 over no item or over a divider.
  int ItemAt(LPARAM point) const;
  void PaintItem(HDC dc, const TDataSkinObject& object, int index, const TRect& place);
  void SetHot(int item);

  int hotItem_ = -1;
  int pressedItem_ = -1;
  // Held down: whether the pointer is still over the pressed item.
  bool pressedInside_ = false;
};
