#pragma once
// TSkinTabBtn: the tab row of a page control in a button style, each tab drawn as a skin push
// button: the "Buttons" pressed frame for the selected page, the normal frame for the others, the
// tab's image and caption centred together on it. The pages below the row are the sheets' own.
#include "skin/win/controls/SkinControl.h"

class TDataSkinButton;

class TSkinTabBtn : public TSkinControl {
protected:
  bool BeforeMessage(TMessage& message) override;
  void PaintSkin(HDC dc, const TRect& rect) override;

private:
  // The "Buttons" object with a picture, or nullptr: the control then paints the ordinary way.
  const TDataSkinButton* SkinObject() const;
};
