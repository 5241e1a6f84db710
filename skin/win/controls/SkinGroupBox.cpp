#include "skin/win/controls/SkinGroupBox.h"

#include <algorithm>

#include "framework/win32/DCState.h"
#include "framework/win32/Dpi.h"
#include "skin/win/data/SkinDataUnit.h"
#include "skin/win/data/SkinObjectDraw.h"

namespace {

// Where the caption starts when the label picture is aligned left, as the ordinary box places it.
constexpr int kCaptionLeft = 8;

}  // namespace

const TDataSkinObject* TSkinGroupBox::Edge() const { return PaintableSkinObject<TDataSkinObject>(Data(), "GroupBoxEdge", Dpi()); }

const TDataSkinBoxLabel* TSkinGroupBox::Label() const {
  return PaintableSkinObject<TDataSkinBoxLabel>(Data(), "GroupBox", Dpi());
}

void TSkinGroupBox::PaintFace(HDC dc, const TRect& client) {
  const TDataSkinObject* edge = Edge();
  if (!edge) return;
  const SelectedObject font(dc, ControlFont());
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  // The frame runs through the middle of the caption line, as the box lays out its client area.
  const int lineHeight = metrics.tmHeight;
  const TRect frame{client.Left, client.Top + lineHeight / 2, client.Right, client.Bottom};
  DrawSkinPicture(dc, *Data()->Picture(edge->Image), edge->FrameRect(WindowEnabled() ? 1 : 2), edge->Margins(),
                  edge->TileMiddle(), frame, edge->Trans == 1);
  PaintCaption(dc, client, lineHeight);
}

void TSkinGroupBox::PaintCaption(HDC dc, const TRect& client, int lineHeight) {
  if (Text().empty()) return;
  const TSkinModel& model = Data()->Model(Dpi());
  const TDataSkinBoxLabel* label = Label();
  TRect measured{0, 0, client.Width(), lineHeight};
  DrawWideText(dc, Text(), measured, DT_SINGLELINE | DT_CALCRECT);
  const int padding = label ? label->LeftWidth : ScaleToDpi(2, Dpi());
  const int captionLeft = ScaleToDpi(kCaptionLeft, Dpi());
  const int width = std::min(measured.Width() + 2 * padding, client.Width() - 2 * captionLeft);
  if (width <= 0) return;
  int left = client.Left + captionLeft;
  if (label && label->BackgroundAlignment == 1) left = client.Left + (client.Width() - width) / 2;
  if (label && label->BackgroundAlignment == 2) left = client.Right - captionLeft - width;
  const TRect place{left, client.Top, left + width, client.Top + lineHeight};
  if (label) {
    const TRect back{place.Left - label->BackgroundLeftShift, place.Top, place.Right + label->BackgroundRightShift,
                     place.Bottom};
    DrawSkinPicture(dc, *Data()->Picture(label->Image), label->FrameRect(1), label->Margins(), label->TileMiddle(),
                    back, label->Trans == 1);
  } else {
    FillButtonFace(dc, place);
  }
  const TColor fromTable = label && label->NormalColour >= 0 ? model.TableColour(label->NormalColour) : clNone;
  const TColor colour = !WindowEnabled()     ? model.Colour(TSkinColour::ButtonShadow)
                        : fromTable != clNone ? fromTable
                        : label               ? label->NormalColour2
                                              : model.Colour(TSkinColour::WindowText);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(colour));
  TRect text = place;
  DrawWideText(dc, Text(), text, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
}
