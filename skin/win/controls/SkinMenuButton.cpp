#include "skin/win/controls/SkinMenuButton.h"

#include <commctrl.h>

#include <algorithm>

#include "framework/win32/DCState.h"
#include "framework/win32/Dpi.h"
#include "skin/win/data/SkinArrow.h"
#include "skin/win/data/SkinDataUnit.h"

namespace {

constexpr LONG_PTR kSplitButton = BS_SPLITBUTTON;
// A split button that is the dialog's default one (BS_DEFSPLITBUTTON).
constexpr LONG_PTR kDefaultSplitButton = 0x0D;
constexpr int kArrowSize = 7;

}  // namespace

int TSkinMenuButton::ArrowPartWidth(int height) { return std::clamp(height / 2, 14, 20); }

int TSkinMenuButton::PartWidth(int height) const {
  // A split button knows where its own drop-down part begins: the arrow goes where a click opens it.
  const LONG_PTR type = WindowStyle() & BS_TYPEMASK;
  if (type == kSplitButton || type == kDefaultSplitButton) {
    BUTTON_SPLITINFO info{};
    info.mask = BCSIF_SIZE;
    if (SendMessageW(Handle(), BCM_GETSPLITINFO, 0, reinterpret_cast<LPARAM>(&info)) && info.size.cx > 0)
      return info.size.cx;
  }
  return ArrowPartWidth(height);
}

int TSkinMenuButton::Frame() const {
  const int frame = TSkinBitButton::Frame();
  return frame == 1 && (WindowStyle() & BS_TYPEMASK) == kDefaultSplitButton ? 5 : frame;
}

void TSkinMenuButton::PaintGlyph(HDC dc, TRect& area) {
  RECT whole{};
  if (Handle()) GetClientRect(Handle(), &whole);
  const int partWidth = PartWidth(whole.bottom - whole.top);
  // The part takes the face's right end; its divider keeps to the caption's inset top and bottom.
  const TRect part{whole.right - partWidth, area.Top, area.Right, area.Bottom};
  if (part.Left <= area.Left) return TSkinBitButton::PaintGlyph(dc, area);
  const TSkinModel& model = Data()->Model(Dpi());
  const RECT shade{part.Left, part.Top, part.Left + 1, part.Bottom};
  const RECT light{part.Left + 1, part.Top, part.Left + 2, part.Bottom};
  const UniqueBrush shadow(CreateSolidBrush(ColorToRGB(model.Colour(TSkinColour::ButtonShadow))));
  const UniqueBrush hilight(CreateSolidBrush(ColorToRGB(model.Colour(TSkinColour::ButtonHilight))));
  if (shadow) FillRect(dc, &shade, shadow.get());
  if (hilight) FillRect(dc, &light, hilight.get());
  PaintArrow(dc, TRect{part.Left + 2, whole.top, whole.right - 2, whole.bottom});
  area.Right = part.Left - 1;
  TSkinBitButton::PaintGlyph(dc, area);
}

void TSkinMenuButton::PaintArrow(HDC dc, const TRect& part) {
  // A split button holds its part pushed while its menu is open.
  const bool dropped = (SendMessageW(Handle(), BM_GETSTATE, 0, 0) & BST_DROPDOWNPUSHED) != 0;
  const int frame = !WindowEnabled() ? 4 : pressed_ || dropped ? 3 : hot_ ? 2 : 1;
  const int shift = frame == 3 ? 1 : 0;
  const TDataSkinObject* extra = Data()->Model(Dpi()).Find("ExtraImages");
  TSkinPicture* picture = extra ? Data()->Picture(extra->Image) : nullptr;
  if (picture && extra->FrameCount >= 4) {
    const TRect source = extra->FrameRect(frame);
    const TRect target =
        Bounds((part.Left + part.Right - source.Width()) / 2 + shift,
               (part.Top + part.Bottom - source.Height()) / 2 + shift, source.Width(), source.Height());
    DrawSkinPicture(dc, *picture, source, TSkinMargins{}, false, target, extra->Trans == 1);
    return;
  }
  const TSkinModel& model = Data()->Model(Dpi());
  const TColor colour = model.Colour(WindowEnabled() ? TSkinColour::ButtonText : TSkinColour::ButtonShadow);
  DrawSkinArrow(dc, TPoint{(part.Left + part.Right) / 2 + shift, (part.Top + part.Bottom) / 2 + shift},
                ScaleToDpi(kArrowSize, Dpi()),
                TArrowDirection::Down, colour);
}
