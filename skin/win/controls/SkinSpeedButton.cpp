#include "skin/win/controls/SkinSpeedButton.h"

#include "framework/classes/Properties.h"
#include "framework/win32/DCState.h"
#include "framework/win32/Handles.h"
#include "skin/win/data/SkinDataUnit.h"

int TSkinSpeedButton::Frame() const {
  if (!WindowEnabled()) return 3;
  // Held with the pointer moved off, the button would not click: it shows raised.
  if ((pressed_ && hot_) || Down()) return 2;
  if (hot_) return 4;
  return 1;
}

bool TSkinSpeedButton::BeforeMessage(TMessage& message) {
  if (!SkinObject()) return TSkinControl::BeforeMessage(message);
  switch (message.Msg) {
    case WM_PAINT:
      // Its parent hands it a DC at its corner; without one there is nothing to draw into.
      if (!message.WParam) return true;
      PaintWindow(reinterpret_cast<HDC>(message.WParam));
      message.Result = 0;
      return false;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      hot_ = message.Msg == CM_MOUSEENTER && WindowEnabled();
      Repaint();
      return true;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (!WindowEnabled()) return true;
      pressed_ = true;
      hot_ = true;
      Repaint();
      return true;
    case CM_CANCELMODE:
      if (pressed_) {
        pressed_ = false;
        Repaint();
      }
      return true;
    default:
      return TSkinControl::BeforeMessage(message);
  }
}

void TSkinSpeedButton::AfterMessage(TMessage& message) {
  if (SkinObject() && message.Msg == WM_LBUTTONUP && pressed_) {
    pressed_ = false;
    Repaint();
    return;
  }
  TSkinButton::AfterMessage(message);
}

void TSkinSpeedButton::PaintSkin(HDC dc, const TRect& rect) {
  const TDataSkinButton* object = SkinObject();
  if (!object || rect.Width() <= 0 || rect.Height() <= 0) return;
  // The DC is the parent's, lent for this control: its settings go back for the siblings.
  const SavedDC saved(dc);
  // The parent has painted what lies under the button into dc already; that is its transparency.
  if (ShowsFace()) {
    if (BoolProperty("Oval")) {
      PaintOvalFace(dc, *object, rect);
    } else {
      if (!Flat() && !Transparent()) FillButtonFace(dc, rect);
      DrawSkinPicture(dc, *Data()->Picture(object->Image), object->FrameRect(Frame()), object->Margins(),
                      object->TileMiddle(), rect, object->Trans == 1);
    }
  }
  TRect area{rect.Left + 1, rect.Top + 1, rect.Right - 1, rect.Bottom - 1};
  PaintGlyph(dc, area);
  PaintCaption(dc, area);
}

void TSkinSpeedButton::PaintOvalFace(HDC dc, const TDataSkinButton& object, const TRect& rect) {
  {
    const SavedDC clipped(dc);
    // Clip regions are in device units, wherever the parent has moved the origin to.
    POINT origin{};
    GetViewportOrgEx(dc, &origin);
    const UniqueRegion oval(CreateEllipticRgn(origin.x + rect.Left, origin.y + rect.Top, origin.x + rect.Right + 1,
                                              origin.y + rect.Bottom + 1));
    if (oval) ExtSelectClipRgn(dc, oval.get(), RGN_AND);
    DrawSkinPicture(dc, *Data()->Picture(object.Image), object.FrameRect(Frame()), object.Margins(),
                    object.TileMiddle(), rect, object.Trans == 1);
  }
  // The rim, lit from the top left as the button's own oval frame is; pressed in, the other way.
  const TSkinModel& model = Data()->Model(Dpi());
  const bool sunk = Frame() == 2;
  const TColor light = model.Colour(sunk ? TSkinColour::ButtonShadow : TSkinColour::ButtonHilight);
  const TColor dark = model.Colour(sunk ? TSkinColour::ButtonHilight : TSkinColour::ButtonShadow);
  const auto rim = [&](TColor colour, POINT from, POINT to) {
    const UniquePen pen(CreatePen(PS_SOLID, 1, ColorToRGB(colour)));
    if (!pen) return;
    const SelectedObject selected(dc, pen.get());
    Arc(dc, rect.Left, rect.Top, rect.Right, rect.Bottom, from.x, from.y, to.x, to.y);
  };
  rim(light, {rect.Right, rect.Top}, {rect.Left, rect.Bottom});
  rim(dark, {rect.Left, rect.Bottom}, {rect.Right, rect.Top});
}

void TSkinSpeedButton::PaintGlyph(HDC dc, TRect& area) {
  auto* button = dynamic_cast<TSpeedButton*>(Control());
  if (!button || !button->Glyph() || button->Glyph()->Empty()) return;
  const TButtonState state = !WindowEnabled()          ? TButtonState::bsDisabled
                             : pressed_ && hot_        ? TButtonState::bsDown
                             : Down()                  ? TButtonState::bsExclusive
                                                       : TButtonState::bsUp;
  PlaceGlyph(dc, area, *button->Glyph(), button->NumGlyphs(), button->Layout(), button->Margin(), button->Spacing(),
             state);
}

bool TSkinSpeedButton::ShowsFace() const { return !Flat() || hot_ || pressed_ || Down(); }

bool TSkinSpeedButton::Flat() const { return BoolProperty("Flat"); }

bool TSkinSpeedButton::Down() const { return BoolProperty("Down"); }

bool TSkinSpeedButton::BoolProperty(const char* name) const {
  return Control() && HasProperty(*Control(), name) && BoolFromText(GetPropValue(*Control(), name));
}
