#pragma once
// TSkinGroupBox: a group box framed by the skin's "GroupBoxEdge" (frame 1, frame 2 when disabled)
// from the middle of its caption line down, the caption on the "GroupBox" label picture. Without
// those pictures the box keeps its ordinary frame and caption.
#include "skin/win/controls/SkinBox.h"

class TDataSkinObject;
class TDataSkinBoxLabel;

class TSkinGroupBox : public TSkinBox {
protected:
  void PaintFace(HDC dc, const TRect& client) override;
  bool HasSkin() const override { return Edge() != nullptr; }

private:
  const TDataSkinObject* Edge() const;
  const TDataSkinBoxLabel* Label() const;
  void PaintCaption(HDC dc, const TRect& client, int lineHeight);
};
