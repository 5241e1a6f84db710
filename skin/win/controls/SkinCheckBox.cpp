#include "skin/win/controls/SkinCheckBox.h"

#include "framework/win32/Dpi.h"
#include "framework/win32/Handles.h"
#include "skin/win/data/SkinDataUnit.h"

namespace {

constexpr int kCaptionGap = 2;
constexpr int kHotRowFrames = 12;

}  // namespace

const TSkinImage& TSkinCheckBox::Glyph() const { return Data()->Model(Dpi()).Buttons().CheckImage; }

int TSkinCheckBox::GlyphFrames() const { return Data()->Model(Dpi()).Buttons().CheckFrame; }

int TSkinCheckBox::CheckState() const {
  if (Control() && HasProperty(*Control(), "State")) {
    const std::string state = LowerCase(GetPropValue(*Control(), "State"));
    if (state.find("uncheck") != std::string::npos) return 1;
    if (state.find("check") != std::string::npos) return 2;
    if (state.find("gray") != std::string::npos) return 4;
    return 1;
  }
  const LRESULT state = SendMessageW(Handle(), BM_GETSTATE, 0, 0);
  if (state & BST_INDETERMINATE) return 4;
  return (state & BST_CHECKED) ? 2 : 1;
}

int TSkinCheckBox::Frame() const {
  int frame = CheckState();
  if (!WindowEnabled()) {
    frame += 2;
  } else if ((hot_ || pressed_) && GlyphFrames() == kHotRowFrames) {
    frame += kHotRowFrames / 2;
  }
  return frame;
}

bool TSkinCheckBox::BeforeMessage(TMessage& message) {
  if (Data() && Data()->Picture(Glyph()) && AnswerPaint(message)) return false;
  return TSkinControl::BeforeMessage(message);
}

void TSkinCheckBox::AfterMessage(TMessage& message) {
  if (!Data() || !Data()->Picture(Glyph()) || !Handle()) return TSkinControl::AfterMessage(message);
  if (FollowButtonState(message)) return;
  switch (message.Msg) {
    case BM_SETCHECK:
    case BM_SETSTYLE:
    case BM_CLICK:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_UPDATEUISTATE:
    case WM_ENABLE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case CM_ENABLEDCHANGED:
      PaintNow();
      break;
    default:
      TSkinControl::AfterMessage(message);
      break;
  }
}

void TSkinCheckBox::PaintSkin(HDC dc, const TRect& rect) {
  TSkinPicture* glyph = Data()->Picture(Glyph());
  if (!glyph || rect.Width() <= 0 || rect.Height() <= 0) return;
  HDC buffer = Buffer().Prepare(dc, rect.Width(), rect.Height());
  // On a skinned parent (a group box's edge picture, say) a flat fill would leave a patch of another
  // shade behind the caption: the parent's own picture shows through instead.
  if (Transparent() || ParentSkinned()) {
    PaintParentBackground(buffer, rect);
  } else {
    FillParentColour(buffer, rect);
  }
  const TSkinImage& image = Glyph();
  const TRect frame = SkinFrameRect(image.Width(), image.Height(), GlyphFrames(), Frame(), TFrameLayout::SideBySide);
  const bool glyphRight = (WindowStyle() & BS_LEFTTEXT) != 0;
  const int top = rect.Top + (rect.Height() - frame.Height()) / 2;
  const int left = glyphRight ? rect.Right - frame.Width() : rect.Left;
  DrawSkinPicture(buffer, *glyph, frame, {}, false, Bounds(left, top, frame.Width(), frame.Height()), true);

  TRect text = rect;
  if (glyphRight) {
    text.Right = left - ScaleToDpi(kCaptionGap, Dpi());
  } else {
    text.Left = left + frame.Width() + ScaleToDpi(kCaptionGap, Dpi());
  }
  const UINT flags = DT_SINGLELINE | DT_VCENTER | DT_LEFT;
  const SelectedObject font(buffer, ControlFont());
  SetBkMode(buffer, TRANSPARENT);
  SetTextColor(buffer, ColorToRGB(CaptionColour()));
  TRect place = text;
  DrawWideText(buffer, Text(), place, flags);
  if (WindowFocused() && !HasOption(xoNoFocusRect) && !Text().empty()) DrawFocusAroundText(buffer, Text(), text, flags);
  BitBlt(dc, rect.Left, rect.Top, rect.Width(), rect.Height(), buffer, 0, 0, SRCCOPY);
}
