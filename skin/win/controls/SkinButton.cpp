#include "skin/win/controls/SkinButton.h"

#include <algorithm>

#include "framework/win32/Dpi.h"
#include "framework/win32/Handles.h"
#include "skin/win/data/SkinDataUnit.h"

namespace {

constexpr int kCaptionInset = 4;

TColor StateColour(const TSkinModel& model, int index, TColor direct) {
  const TColor fromTable = index >= 0 ? model.TableColour(index) : clNone;
  return fromTable != clNone ? fromTable : direct;
}

}  // namespace

const TDataSkinButton* TSkinButton::SkinObject() const {
  if (!Data()) return nullptr;
  const TDataSkinButton& object = Data()->Model(Dpi()).Buttons();
  return Data()->Picture(object.Image) ? &object : nullptr;
}

int TSkinButton::Frame() const {
  if (!WindowEnabled()) return 3;
  if (pressed_) return 2;
  if (hot_) return 4;
  const bool isDefault = (WindowStyle() & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
  return WindowFocused() || isDefault ? 5 : 1;
}

bool TSkinButton::BeforeMessage(TMessage& message) {
  if (!SkinObject()) return TSkinControl::BeforeMessage(message);
  if (AnswerPaint(message)) return false;
  switch (message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (!WindowEnabled()) return true;
      if (!WindowFocused()) SetFocus(Handle());
      pressed_ = true;
      PaintNow();
      return true;
    default:
      return TSkinControl::BeforeMessage(message);
  }
}

void TSkinButton::AfterMessage(TMessage& message) {
  if (!SkinObject() || !Handle()) return TSkinControl::AfterMessage(message);
  if (FollowButtonState(message)) return;
  switch (message.Msg) {
    case WM_KEYDOWN:
    case WM_KEYUP:
      if (message.WParam != VK_SPACE) break;
      pressed_ = message.Msg == WM_KEYDOWN && WindowEnabled();
      PaintNow();
      break;
    case WM_LBUTTONUP:
      if (pressed_) {
        pressed_ = false;
        PaintNow();
      }
      break;
    case BM_SETSTYLE:
    case WM_UPDATEUISTATE:
    case WM_ENABLE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case CM_DIALOGKEY:
    case CM_FOCUSCHANGED:
    case CM_ENABLEDCHANGED:
      if (message.Msg == WM_KILLFOCUS || message.Msg == WM_ENABLE) pressed_ = false;
      PaintNow();
      break;
    default:
      TSkinControl::AfterMessage(message);
      break;
  }
}

std::wstring TSkinButton::CaptionText() const {
  std::wstring text = Text();
  for (size_t at = text.find(L"||"); at != std::wstring::npos; at = text.find(L"||", at + 1)) text.replace(at, 2, L"\n");
  return text;
}

UINT TSkinButton::CaptionFlags() const {
  const LONG_PTR horizontal = WindowStyle() & (BS_LEFT | BS_RIGHT | BS_CENTER);
  const UINT align = horizontal == BS_LEFT ? DT_LEFT : horizontal == BS_RIGHT ? DT_RIGHT : DT_CENTER;
  return DT_WORDBREAK | align;
}

TColor TSkinButton::TextColour() const {
  const TSkinModel& model = Data()->Model(Dpi());
  const TDataSkinButton& object = model.Buttons();
  if (!WindowEnabled()) return model.Colour(TSkinColour::ButtonShadow);
  if (pressed_) return StateColour(model, object.PressedColour, object.PressedColour2);
  if (hot_) return StateColour(model, object.MouseOverColour, object.MouseOverColour2);
  return StateColour(model, object.NormalColour, object.NormalColour2);
}

void TSkinButton::PaintSkin(HDC dc, const TRect& rect) {
  const TDataSkinButton* object = SkinObject();
  if (!object || rect.Width() <= 0 || rect.Height() <= 0) return;
  HDC buffer = Buffer().Prepare(dc, rect.Width(), rect.Height());
  if (Transparent()) {
    PaintParentBackground(buffer, rect);
  } else {
    FillButtonFace(buffer, rect);
  }
  DrawSkinPicture(buffer, *Data()->Picture(object->Image), object->FrameRect(Frame()), object->Margins(),
                  object->TileMiddle(), rect, object->Trans == 1);
  const int inset = ScaleToDpi(kCaptionInset, Dpi());
  TRect area{rect.Left + inset, rect.Top + inset, rect.Right - inset, rect.Bottom - inset};
  PaintGlyph(buffer, area);
  PaintCaption(buffer, area);
  BitBlt(dc, rect.Left, rect.Top, rect.Width(), rect.Height(), buffer, 0, 0, SRCCOPY);
}

void TSkinButton::PaintCaption(HDC dc, const TRect& area) {
  const std::wstring caption = CaptionText();
  const UINT flags = CaptionFlags();
  const SelectedObject font(dc, ControlFont());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(TextColour()));
  TRect measured = area;
  DrawWideText(dc, caption, measured, flags | DT_CALCRECT);
  TRect place = area;
  place.Top = area.Top + (area.Height() - measured.Height()) / 2;
  place.Bottom = place.Top + measured.Height();
  DrawWideText(dc, caption, place, flags);
  if (WindowFocused() && !HasOption(xoNoFocusRect) && !caption.empty()) DrawFocusAroundText(dc, caption, area, flags);
}

void TSkinButton::PlaceGlyph(HDC dc, TRect& area, TBitmap& glyph, int numGlyphs, TButtonLayout layout, int margin,
                             int spacing, TButtonState state) {
  numGlyphs = std::clamp(numGlyphs, 1, 4);
  const TPoint glyphSize{glyph.Width() / numGlyphs, glyph.Height()};
  TPoint textSize{};
  const std::wstring caption = CaptionText();
  if (!caption.empty()) {
    const SelectedObject font(dc, ControlFont());
    TRect measured{0, 0, area.Width() - glyphSize.X - spacing, 0};
    DrawWideText(dc, caption, measured, CaptionFlags() | DT_CALCRECT);
    textSize = {measured.Width(), measured.Height()};
  }
  const TGlyphFacePlaces places = GlyphFacePlaces(area, glyphSize, textSize, layout, margin, spacing);
  DrawButtonGlyph(dc, places.Glyph.X, places.Glyph.Y, glyph, numGlyphs, state);
  if (!caption.empty()) area = places.Text;
}
