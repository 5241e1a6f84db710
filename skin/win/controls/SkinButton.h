#pragma once
// TSkinButton: a push button drawn from the skin's "Buttons" object, one frame per state (1 normal,
// 2 pressed, 3 disabled, 4 hot, 5 focused or default). The caption breaks lines at "||".
//
// The button's own window handling stays in charge of the click: it captures the mouse, tracks the
// pointer in and out while the button is held and sends the one BN_CLICKED notification; the
// skinner follows its pushed state (BM_SETSTATE) for the look. A mouse-leave ends a press, so a
// button released after the pointer left it sends nothing.
#include "framework/controls/Buttons.h"
#include "skin/win/controls/SkinControl.h"

class TDataSkinButton;

class TSkinButton : public TSkinControl {
public:
  // The "Buttons" frame the button shows now.
  virtual int Frame() const;

protected:
  bool BeforeMessage(TMessage& message) override;
  void AfterMessage(TMessage& message) override;
  void PaintSkin(HDC dc, const TRect& rect) override;
  // The "Buttons" object with a picture, or nullptr: the button then paints the ordinary way.
  const TDataSkinButton* SkinObject() const;
  // What a bitmap button adds between the face and the caption; narrows the caption's area.
  virtual void PaintGlyph(HDC, TRect&) {}
  void PaintCaption(HDC dc, const TRect& area);
  // Draws glyph (numGlyphs images side by side) where a glyph button puts it next to the caption;
  // area becomes the caption's place when there is a caption.
  void PlaceGlyph(HDC dc, TRect& area, TBitmap& glyph, int numGlyphs, TButtonLayout layout, int margin, int spacing,
                  TButtonState state);
  // The caption with its "||" turned into line breaks, and how it is drawn.
  std::wstring CaptionText() const;
  UINT CaptionFlags() const;

private:
  TColor TextColour() const;
};
