#pragma once
// TSkinCheckBox: a check box drawn with a frame of the skin's check glyph (the "Buttons" object's
// "CheckButton" picture) and its caption 2 pixels beside it. Frames: 1 unchecked, 2 checked,
// 4 indeterminate, 2 more when disabled; a 12-frame glyph has a second row of six for the hot and
// pressed looks. The state is the control's published "State" when it has one, else the window's.
#include "skin/win/controls/SkinControl.h"

class TSkinImage;

class TSkinCheckBox : public TSkinControl {
public:
  // The glyph frame the control shows now.
  int Frame() const;

protected:
  bool BeforeMessage(TMessage& message) override;
  void AfterMessage(TMessage& message) override;
  void PaintSkin(HDC dc, const TRect& rect) override;

  virtual const TSkinImage& Glyph() const;
  virtual int GlyphFrames() const;
  // 1 unchecked, 2 checked, 4 indeterminate.
  virtual int CheckState() const;
};
