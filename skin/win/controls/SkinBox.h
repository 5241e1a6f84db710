#pragma once
// TSkinBox: a panel or other container in the skin's colours. Its background is its own colour,
// which mode 1 makes the skin's button face; a panel's bevels are drawn in the skin's highlight and
// shadow colours, its caption in the skin's text colour. The container's windowless controls are
// painted over it as the container paints them.
#include "skin/win/controls/SkinControl.h"

class TSkinBox : public TSkinControl {
protected:
  bool BeforeMessage(TMessage& message) override;
  // Everything above the background: the face, then the windowless controls.
  void PaintSkin(HDC dc, const TRect& rect) override;
  // The container's own look over its background.
  virtual void PaintFace(HDC dc, const TRect& client);
  TRect ClientArea() const;
  // False: the skin has nothing for this box, which paints itself the ordinary way.
  virtual bool HasSkin() const { return Data() != nullptr; }

private:
  // WM_PAINT without a DC: background and all, in a buffer.
  void PaintBuffered();
};
