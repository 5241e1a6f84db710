#pragma once
// TSkinProgress: a progress bar ("msctls_progress32") drawn from the skin's "Progress" object:
// frame 1 is the empty bar over the whole control; the done part inside its margins is laid with
// "Progress.Chunk" pieces (see skin/SkinScrollGeometry.h), or, for a smooth bar or a skin without
// chunks, covered by frame 2 of "Progress" (or the chunk picture stretched when "Progress" has one
// frame). A vertical bar fills from the bottom. A disabled bar shows its fill faded into the face.
// Without "Progress", and as a marquee, the bar paints itself the ordinary way.
#include "skin/win/controls/SkinControl.h"

class TDataSkinObject;

class TSkinProgress : public TSkinControl {
protected:
  bool BeforeMessage(TMessage& message) override;
  void AfterMessage(TMessage& message) override;
  void PaintSkin(HDC dc, const TRect& rect) override;

private:
  const TDataSkinObject* Bar() const;
  void PaintFill(HDC dc, const TDataSkinObject& bar, const TRect& inner);
};
