#include "skin/win/controls/SkinSizer.h"

#include <algorithm>

#include "framework/win32/DCState.h"
#include "skin/win/data/SkinDataUnit.h"

void DrawSkinGrip(HDC dc, const TRect& rect, const TSkinModel& model) {
  const UniquePen light(CreatePen(PS_SOLID, 1, ColorToRGB(model.Colour(TSkinColour::ButtonHilight))));
  const UniquePen shadow(CreatePen(PS_SOLID, 1, ColorToRGB(model.Colour(TSkinColour::ButtonShadow))));
  if (!light || !shadow) return;
  const int size = std::min(rect.Width(), rect.Height());
  // Each ridge: a light line, then two shadow lines nearer the corner, every four pixels out.
  for (int ridge = 4; ridge <= size - 1; ridge += 4) {
    for (int line = 0; line < 3; ++line) {
      const int from = ridge - line;
      if (from <= 0) continue;
      const SelectedObject pen(dc, line == 0 ? light.get() : shadow.get());
      MoveToEx(dc, rect.Right - from, rect.Bottom - 1, nullptr);
      LineTo(dc, rect.Right, rect.Bottom - 1 - from);
    }
  }
}

bool TSkinSizer::BeforeMessage(TMessage& message) {
  if (!Data() || !AnswerPaint(message)) return TSkinControl::BeforeMessage(message);
  return false;
}

void TSkinSizer::PaintSkin(HDC dc, const TRect& rect) {
  if (rect.Empty()) return;
  HDC buffer = Buffer().Prepare(dc, rect.Width(), rect.Height());
  FillButtonFace(buffer, rect);
  DrawSkinGrip(buffer, rect, Data()->Model(Dpi()));
  BitBlt(dc, rect.Left, rect.Top, rect.Width(), rect.Height(), buffer, 0, 0, SRCCOPY);
}
