#include "skin/win/controls/SkinRadioButton.h"

#include "skin/win/data/SkinDataUnit.h"

const TSkinImage& TSkinRadioButton::Glyph() const { return Data()->Model(Dpi()).Buttons().RadioImage; }

int TSkinRadioButton::GlyphFrames() const { return Data()->Model(Dpi()).Buttons().RadioFrame; }

int TSkinRadioButton::CheckState() const {
  return (SendMessageW(Handle(), BM_GETCHECK, 0, 0) & BST_CHECKED) ? 2 : 1;
}
