#include "skin/win/SkinBitButton.h"

#include <algorithm>

#include "framework/controls/Buttons.h"
#include "framework/win32/Handles.h"

void TSkinBitButton::PaintGlyph(HDC dc, TRect& area) {
  auto* button = dynamic_cast<TBitBtn*>(Control());
  if (!button || !button->Glyph() || button->Glyph()->Empty()) return;
  TBitmap& glyph = *button->Glyph();
  const int numGlyphs = std::clamp(button->NumGlyphs(), 1, 4);
  const TPoint glyphSize{glyph.Width() / numGlyphs, glyph.Height()};

  TPoint textSize{};
  const std::wstring caption = CaptionText();
  if (!caption.empty()) {
    const SelectedObject font(dc, ControlFont());
    TRect measured{0, 0, area.Width() - glyphSize.X - button->Spacing(), 0};
    DrawWideText(dc, caption, measured, CaptionFlags() | DT_CALCRECT);
    textSize = {measured.Width(), measured.Height()};
  }
  const TGlyphFacePlaces places =
      GlyphFacePlaces(area, glyphSize, textSize, button->Layout(), button->Margin(), button->Spacing());
  const TButtonState state = !WindowEnabled() ? TButtonState::bsDisabled
                             : pressed_       ? TButtonState::bsDown
                                              : TButtonState::bsUp;
  DrawButtonGlyph(dc, places.Glyph.X, places.Glyph.Y, glyph, numGlyphs, state);
  if (!caption.empty()) area = places.Text;
}
