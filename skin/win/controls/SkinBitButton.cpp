#include "skin/win/controls/SkinBitButton.h"

void TSkinBitButton::PaintGlyph(HDC dc, TRect& area) {
  auto* button = dynamic_cast<TBitBtn*>(Control());
  if (!button || !button->Glyph() || button->Glyph()->Empty()) return;
  const TButtonState state = !WindowEnabled() ? TButtonState::bsDisabled
                             : pressed_       ? TButtonState::bsDown
                                              : TButtonState::bsUp;
  PlaceGlyph(dc, area, *button->Glyph(), button->NumGlyphs(), button->Layout(), button->Margin(), button->Spacing(),
             state);
}
