#include "skin/win/controls/SkinSizer.h"

#include <algorithm>

#include "framework/core/DpiScale.h"
#include "framework/win32/DCState.h"
#include "skin/win/data/SkinDataUnit.h"

namespace {

constexpr int kRidgeStep = 4;
constexpr int kRidgeLines = 3;

}  // namespace

void DrawSkinGrip(HDC dc, const TRect& rect, const TSkinModel& model) {
  const UniquePen light(CreatePen(PS_SOLID, 1, ColorToRGB(model.Colour(TSkinColour::ButtonHilight))));
  const UniquePen shadow(CreatePen(PS_SOLID, 1, ColorToRGB(model.Colour(TSkinColour::ButtonShadow))));
  if (!light || !shadow) return;
  const int size = std::min(rect.Width(), rect.Height());
  // Each ridge, at 96 dpi: a light line, then two shadow lines nearer the corner, every four pixels
  // out. At another scale the ridges, their spacing and their light part grow alike.
  const int dpi = model.Dpi();
  const int step = ScaleToDpi(kRidgeStep, dpi);
  const int thickness = ScaleToDpi(kRidgeLines, dpi);
  const int lit = ScaleToDpi(1, dpi);
  for (int ridge = step; ridge <= size - 1; ridge += step) {
    for (int line = 0; line < thickness; ++line) {
      const int from = ridge - line;
      if (from <= 0) continue;
      const SelectedObject pen(dc, line < lit ? light.get() : shadow.get());
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
