#include "skin/win/controls/SkinMP.h"

#include <windowsx.h>

#include <cstdio>
#include <cstring>

#include "framework/classes/Properties.h"
#include "framework/core/Exception.h"
#include "framework/win32/DCState.h"
#include "skin/win/data/SkinDataUnit.h"

namespace {

constexpr unsigned kAllButtons = (1u << kMPButtonCount) - 1;
constexpr std::array<const char*, kMPButtonCount> kGlyphNames = {"PLAY", "PAUSE", "STOP",   "NEXT", "PREV",
                                                                 "STEP", "BACK",  "RECORD", "EJECT"};
constexpr std::array<const char*, 3> kPrefixes = {"EN", "DI", "CO"};

const TEnumNames& ButtonNames() {
  static const TEnumNames names{
      {"btPlay", "btPause", "btStop", "btNext", "btPrev", "btStep", "btBack", "btRecord", "btEject"}};
  return names;
}

}  // namespace

std::wstring TSkinMPButtons::GlyphName(TMPGlyphState state, TMPBtnType button) {
  std::array<char, 16> name{};
  std::snprintf(name.data(), name.size(), "%s_%s", kPrefixes[static_cast<size_t>(state)],
                kGlyphNames[static_cast<size_t>(button)]);
  return std::wstring(name.data(), name.data() + std::strlen(name.data()));
}

HBITMAP TSkinMPButtons::Glyph(TMPGlyphState state, TMPBtnType button) {
  TGlyph& glyph = glyphs_[static_cast<size_t>(static_cast<int>(state) * kMPButtonCount + static_cast<int>(button))];
  if (!glyph.tried) {
    glyph.tried = true;
    glyph.bitmap = UniqueBitmap(static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), GlyphName(state, button).c_str(), IMAGE_BITMAP, 0, 0, 0)));
  }
  return glyph.bitmap.get();
}

void TSkinMPButtons::Release() {
  for (TGlyph& glyph : glyphs_) glyph = TGlyph{};
}

void TSkinMPButtons::Paint(HDC dc, TSkinData& data, const TDataSkinButton& object, TMPBtnType button,
                           const TRect& place, int frame, TMPGlyphState state) {
  DrawSkinPicture(dc, *data.Picture(object.Image), object.FrameRect(frame), object.Margins(), object.TileMiddle(),
                  place, object.Trans == 1);
  HBITMAP glyph = Glyph(state, button);
  BITMAP info{};
  if (!glyph || !GetObjectW(glyph, sizeof info, &info)) return;
  const UniqueMemoryDC source(CreateCompatibleDC(dc));
  if (!source) return;
  const SelectedObject selected(source.get(), glyph);
  // Pressed in, the glyph moves with the face.
  const int shift = frame == 2 ? 1 : 0;
  const int width = std::min<int>(info.bmWidth, place.Width());
  const int height = std::min<int>(info.bmHeight, place.Height());
  GdiTransparentBlt(dc, place.Left + (place.Width() - width) / 2 + shift,
                    place.Top + (place.Height() - height) / 2 + shift, width, height, source.get(),
                    (info.bmWidth - width) / 2, (info.bmHeight - height) / 2, width, height,
                    GetPixel(source.get(), 0, info.bmHeight - 1));
}

void TSkinMP::Detach() {
  buttons_.Release();
  TSkinControl::Detach();
}

const TDataSkinButton* TSkinMP::SkinObject() const {
  if (!Data()) return nullptr;
  const TDataSkinButton& object = Data()->Model(Dpi()).Buttons();
  return Data()->Picture(object.Image) ? &object : nullptr;
}

unsigned TSkinMP::ButtonSet(const char* property, unsigned fallback) const {
  if (!Control() || !HasProperty(*Control(), property)) return fallback;
  try {
    return static_cast<unsigned>(ButtonNames().SetFromText(GetPropValue(*Control(), property), property)) & kAllButtons;
  } catch (const Exception&) {
    // A set naming buttons a player does not have: the player shows them as it would by default.
    return fallback;
  }
}

unsigned TSkinMP::VisibleButtons() const { return ButtonSet("VisibleButtons", kAllButtons); }
unsigned TSkinMP::EnabledButtons() const { return WindowEnabled() ? ButtonSet("EnabledButtons", kAllButtons) : 0; }
unsigned TSkinMP::ColoredButtons() const { return ButtonSet("ColoredButtons", 0); }

TRect TSkinMP::ClientRect() const {
  RECT r{};
  if (Handle()) GetClientRect(Handle(), &r);
  return TRect{r.left, r.top, r.right, r.bottom};
}

TRect TSkinMP::ButtonRect(TMPBtnType button) const {
  const unsigned visible = VisibleButtons();
  const int index = static_cast<int>(button);
  if (!(visible & (1u << index))) return {};
  int count = 0;
  int before = 0;
  for (int i = 0; i < kMPButtonCount; ++i) {
    if (!(visible & (1u << i))) continue;
    if (i < index) ++before;
    ++count;
  }
  // Equal shares of the width, the odd pixels spread over them.
  const TRect client = ClientRect();
  return TRect{client.Width() * before / count, client.Top, client.Width() * (before + 1) / count, client.Bottom};
}

int TSkinMP::ButtonAt(LPARAM point) const {
  const TPoint p{GET_X_LPARAM(point), GET_Y_LPARAM(point)};
  for (int i = 0; i < kMPButtonCount; ++i) {
    if (ButtonRect(static_cast<TMPBtnType>(i)).Contains(p)) return i;
  }
  return -1;
}

bool TSkinMP::Usable(int button) const { return button >= 0 && (EnabledButtons() & (1u << button)); }

int TSkinMP::ButtonFrame(TMPBtnType button) const {
  const int index = static_cast<int>(button);
  if (!Usable(index)) return 3;
  if (index == pressedButton_ && index == hotButton_) return 2;
  if (index == hotButton_ && pressedButton_ < 0) return 4;
  return 1;
}

bool TSkinMP::BeforeMessage(TMessage& message) {
  if (!SkinObject()) return TSkinControl::BeforeMessage(message);
  if (AnswerPaint(message)) return false;
  if ((message.Msg == WM_LBUTTONDOWN || message.Msg == WM_LBUTTONDBLCLK)) {
    const int button = ButtonAt(message.LParam);
    pressedButton_ = Usable(button) ? button : -1;
    hotButton_ = pressedButton_;
    PaintNow();
  }
  return TSkinControl::BeforeMessage(message);
}

void TSkinMP::AfterMessage(TMessage& message) {
  if (!SkinObject() || !Handle()) return TSkinControl::AfterMessage(message);
  switch (message.Msg) {
    case WM_MOUSEMOVE: {
      const int button = ButtonAt(message.LParam);
      const int hot = Usable(button) ? button : -1;
      if (hot == hotButton_) break;
      if (hotButton_ < 0) {
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, Handle(), 0};
        TrackMouseEvent(&track);
      }
      hotButton_ = hot;
      PaintNow();
      break;
    }
    case WM_MOUSELEAVE:
      hotButton_ = -1;
      // A player holding the mouse keeps the press; the look follows the pointer back in.
      if (GetCapture() != Handle()) pressedButton_ = -1;
      PaintNow();
      break;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE:
    case WM_KILLFOCUS:
      if (pressedButton_ < 0) break;
      pressedButton_ = -1;
      PaintNow();
      break;
    case WM_ENABLE:
    case CM_ENABLEDCHANGED:
      hotButton_ = pressedButton_ = -1;
      PaintNow();
      break;
    default:
      TSkinControl::AfterMessage(message);
      break;
  }
}

void TSkinMP::PaintSkin(HDC dc, const TRect& rect) {
  const TDataSkinButton* object = SkinObject();
  if (!object || rect.Empty()) return;
  HDC buffer = Buffer().Prepare(dc, rect.Width(), rect.Height());
  FillButtonFace(buffer, rect);
  const unsigned coloured = ColoredButtons();
  for (int i = 0; i < kMPButtonCount; ++i) {
    const auto button = static_cast<TMPBtnType>(i);
    const TRect place = ButtonRect(button);
    if (place.Empty()) continue;
    const int frame = ButtonFrame(button);
    const TMPGlyphState state = frame == 3               ? TMPGlyphState::Disabled
                                : (coloured & (1u << i)) ? TMPGlyphState::Coloured
                                                         : TMPGlyphState::Enabled;
    buttons_.Paint(buffer, *Data(), *object, button, place, frame, state);
  }
  BitBlt(dc, rect.Left, rect.Top, rect.Width(), rect.Height(), buffer, 0, 0, SRCCOPY);
}
