#include "skin/win/controls/SkinUpDown.h"

#include <commctrl.h>

#include <windowsx.h>

#include <algorithm>

#include "framework/win32/DCState.h"
#include "skin/win/data/SkinDataUnit.h"
#include "skin/win/data/SkinObjectDraw.h"
#include "skin/win/controls/SkinFieldFrame.h"

namespace {

constexpr int kStatesPerButton = 4;

}  // namespace

const TDataSkinBorder* TSkinUpDown::SkinObject() const {
  if (!Data() || !Handle()) return nullptr;
  if (host_ && SendMessageW(host_, kSkinQueryMessage, 0, 0) != 1) return nullptr;
  return PaintableSkinObject<TDataSkinBorder>(Data(), Horizontal() ? "UpDown.Horz" : "UpDown.Vert", Dpi());
}

bool TSkinUpDown::HasBorder() const {
  RECT whole{}, client{};
  GetWindowRect(Handle(), &whole);
  GetClientRect(Handle(), &client);
  return whole.right - whole.left != client.right || whole.bottom - whole.top != client.bottom;
}

bool TSkinUpDown::Horizontal() const { return (WindowStyle() & UDS_HORZ) != 0; }

TRect TSkinUpDown::ButtonRect(int button, const TRect& whole) const {
  if (Horizontal()) {
    const int middle = whole.Left + whole.Width() / 2;
    return button == 1 ? TRect{whole.Left, whole.Top, middle, whole.Bottom}
                       : TRect{middle, whole.Top, whole.Right, whole.Bottom};
  }
  const int middle = whole.Top + whole.Height() / 2;
  return button == 1 ? TRect{whole.Left, whole.Top, whole.Right, middle}
                     : TRect{whole.Left, middle, whole.Right, whole.Bottom};
}

TRect TSkinUpDown::VisiblePart(const TRect& rect) const {
  HWND parent = GetParent(Handle());
  if (!parent || !(WindowStyle() & WS_CHILD)) return rect;
  RECT client{};
  GetClientRect(parent, &client);
  MapWindowPoints(parent, nullptr, reinterpret_cast<POINT*>(&client), 2);
  RECT self{};
  GetWindowRect(Handle(), &self);
  const TRect visible{std::max(rect.Left, static_cast<int>(client.left - self.left)),
                      std::max(rect.Top, static_cast<int>(client.top - self.top)),
                      std::min(rect.Right, static_cast<int>(client.right - self.left)),
                      std::min(rect.Bottom, static_cast<int>(client.bottom - self.top))};
  return visible.Width() > 0 && visible.Height() > 0 ? visible : rect;
}

int TSkinUpDown::ButtonAt(LPARAM clientPoint) const {
  RECT r{};
  GetWindowRect(Handle(), &r);
  const POINT origin = ClientOriginInWindow(Handle());
  const int x = GET_X_LPARAM(clientPoint) + origin.x;
  const int y = GET_Y_LPARAM(clientPoint) + origin.y;
  const TRect whole = VisiblePart(TRect{0, 0, r.right - r.left, r.bottom - r.top});
  for (int button = 1; button <= 2; ++button) {
    const TRect b = ButtonRect(button, whole);
    if (x >= b.Left && x < b.Right && y >= b.Top && y < b.Bottom) return button;
  }
  return 0;
}

int TSkinUpDown::ButtonFrame(int button) const {
  const int first = (button == 2 ? kStatesPerButton : 0) + 1;
  if (!EnabledWithParents(Handle())) return first + 3;
  // A held button looks pressed only while the pointer is over it, as it only counts then.
  if (heldButton_ == button && hotButton_ == button) return first + 2;
  if (heldButton_ == 0 && hotButton_ == button) return first + 1;
  return first;
}

bool TSkinUpDown::BeforeMessage(TMessage& message) {
  if (!SkinObject()) return TSkinControl::BeforeMessage(message);
  switch (message.Msg) {
    case WM_PAINT:
      if (message.WParam) {
        PaintWindow(reinterpret_cast<HDC>(message.WParam));
      } else {
        PAINTSTRUCT ps{};
        HDC dc = BeginPaint(Handle(), &ps);
        // Without a border the paint's own DC reaches the whole window; with one, the whole window
        // is painted through a window DC, so the update region only needs validating.
        const bool bordered = HasBorder();
        if (dc && !bordered) PaintWindow(dc);
        if (dc) EndPaint(Handle(), &ps);
        if (bordered) PaintWindow(nullptr);
      }
      message.Result = 0;
      return false;
    case WM_NCPAINT:
      // A window without a border has nothing outside its client area, which its WM_PAINT paints.
      if (HasBorder()) PaintWindow(nullptr);
      message.Result = 0;
      return false;
    case WM_ERASEBKGND:
      message.Result = 1;
      return false;
    default:
      return TSkinControl::BeforeMessage(message);
  }
}

void TSkinUpDown::AfterMessage(TMessage& message) {
  if (!SkinObject()) return TSkinControl::AfterMessage(message);
  switch (message.Msg) {
    case WM_MOUSEMOVE: {
      const bool entered = hotButton_ == 0;
      Follow(ButtonAt(message.LParam), heldButton_);
      if (entered && hotButton_) {
        TrackLeave(Handle());
        TellHost(host_);
      }
      break;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (EnabledWithParents(Handle())) {
        const int button = ButtonAt(message.LParam);
        Follow(button, button);
      }
      break;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      Follow(hotButton_, 0);
      break;
    case WM_MOUSELEAVE:
      Follow(0, heldButton_);
      TellHost(host_);
      break;
    case WM_PAINT:
      break;
    default:
      TSkinControl::AfterMessage(message);
      break;
  }
}

void TSkinUpDown::Follow(int hot, int held) {
  if (hot == hotButton_ && held == heldButton_) return;
  hotButton_ = hot;
  heldButton_ = held;
  PaintNow();
}

void TSkinUpDown::PaintSkin(HDC dc, const TRect& rect) {
  const TDataSkinBorder* object = SkinObject();
  if (!object || rect.Width() <= 0 || rect.Height() <= 0) return;
  HDC buffer = Buffer().Prepare(dc, rect.Width(), rect.Height());
  FillButtonFace(buffer, rect);
  TSkinPicture& picture = *Data()->Picture(object->Image);
  TSkinPicture* glyphs = Data()->Picture(object->Image2);
  const TRect visible = VisiblePart(rect);
  for (int button = 1; button <= 2; ++button) {
    const TRect place = ButtonRect(button, visible);
    const int frame = ButtonFrame(button);
    DrawSkinPicture(buffer, picture, object->FrameRect(frame), object->Margins(), object->TileMiddle(), place,
                    object->Trans == 1);
    if (!glyphs) continue;
    const TRect glyph = SkinFrameRect(object->Image2.Width(), object->Image2.Height(), object->FrameCount, frame,
                                      TFrameLayout::SideBySide);
    // A glyph larger than its button is cut at the button's edges, not shrunk out of shape.
    const SavedDC saved(buffer);
    IntersectClipRect(buffer, place.Left, place.Top, place.Right, place.Bottom);
    const int x = place.Left + (place.Width() - glyph.Width()) / 2;
    const int y = place.Top + (place.Height() - glyph.Height()) / 2;
    DrawSkinPicture(buffer, *glyphs, glyph, {}, false, Bounds(x, y, glyph.Width(), glyph.Height()), true);
  }
  BitBlt(dc, rect.Left, rect.Top, rect.Width(), rect.Height(), buffer, 0, 0, SRCCOPY);
}
