#pragma once
// TSkinSpeedButton: a speed button (windowless) on the skin's "Buttons" face: frame 3 disabled, 2
// pressed or down, 4 hot, else 1. A flat button shows the face only while hot, pressed or down;
// otherwise its parent shows through it under the glyph and caption, as it does unskinned.
//
// The button keeps its own click, group and Down handling; the skinner follows the mouse as the
// button is told about it (enter, leave, press, release) for the look only. A button that publishes
// "Oval" as true keeps its oval: the face is cut to it and rimmed.
#include "skin/win/controls/SkinButton.h"

class TSkinSpeedButton : public TSkinButton {
public:
  int Frame() const override;

protected:
  bool BeforeMessage(TMessage& message) override;
  void AfterMessage(TMessage& message) override;
  void PaintSkin(HDC dc, const TRect& rect) override;
  void PaintGlyph(HDC dc, TRect& area) override;

private:
  bool ShowsFace() const;
  void PaintOvalFace(HDC dc, const TDataSkinButton& object, const TRect& rect);
  // Published properties, so that speed buttons of other classes follow them too.
  bool Flat() const;
  bool Down() const;
  bool BoolProperty(const char* name) const;
};
