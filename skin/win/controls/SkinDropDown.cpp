#include "skin/win/controls/SkinDropDown.h"

#include <windowsx.h>

#include "framework/controls/Messages.h"
#include "framework/win32/DCState.h"
#include "framework/win32/Dpi.h"
#include "skin/win/data/SkinDataUnit.h"
#include "skin/win/data/SkinObjectDraw.h"
#include "skin/win/controls/SkinFieldFrame.h"

namespace {

// The combined face: cells of the sunk edge with the button drawn in at its right.
constexpr int kCombinedFace = 2;
// The edge drawn in named colours around a field of a skin without the combined face.
constexpr int kPlainEdge = 2;

bool Inside(const TRect& r, POINT p) { return p.x >= r.Left && p.x < r.Right && p.y >= r.Top && p.y < r.Bottom; }

}  // namespace

const TDataSkinBorder* TArrowButton::Face() const {
  return owner_ ? PaintableSkinObject<TDataSkinBorder>(owner_->Data(), "ComboButton", owner_->Dpi()) : nullptr;
}

const TDataSkinObject* TArrowButton::Arrow() const {
  return owner_ ? PaintableSkinObject(owner_->Data(), "ComboxArrow", owner_->Dpi()) : nullptr;
}

bool TArrowButton::Available() const { return Face() && Arrow(); }

void TArrowButton::Paint(HDC dc, const TRect& button, int state) const {
  const TDataSkinObject* arrow = Arrow();
  const TDataSkinBorder* face = Face();
  if (!arrow || !face || button.Width() <= 0 || button.Height() <= 0) return;
  TSkinPicture& picture = *owner_->Data()->Picture(arrow->Image);
  const TRect frame = arrow->FrameRect(state);
  if (face->Style != kCombinedFace) {
    // The whole button, recoloured for the face it sits on.
    DrawSkinPicture(dc, picture, frame, face->Margins(), face->TileMiddle(), button, true);
    return;
  }
  // The arrow's cell keeps its size, so a taller control does not stretch the arrow out of shape.
  const SavedDC saved(dc);
  IntersectClipRect(dc, button.Left, button.Top, button.Right, button.Bottom);
  const int top = button.Top + (button.Height() - frame.Height()) / 2;
  DrawSkinPicture(dc, picture, frame, {}, false, Bounds(button.Left, top, frame.Width(), frame.Height()), true);
}

void TSkinDropDown::Attach(TSkinForm* form, TSkinData& data, int mode, TControl& control, TPaintBuffer* canvas) {
  arrow_ = TArrowButton(this);
  TSkinControl::Attach(form, data, mode, control, canvas);
  dressable_ = Dressable();
  Refresh();
}

bool TSkinDropDown::AttachHandle(HWND window, TSkinData& data, TSkinForm* form, TPaintBuffer* canvas) {
  arrow_ = TArrowButton(this);
  if (!TSkinControl::AttachHandle(window, data, form, canvas)) return false;
  dressable_ = Dressable();
  Refresh();
  return true;
}

bool TSkinDropDown::Skinned() const { return Handle() && dressable_ && arrow_.Available(); }

int TSkinDropDown::ButtonWidth() const {
  const auto* face = dynamic_cast<const TDataSkinBorder*>(Data()->Model(Dpi()).Find("ComboButton"));
  if (face && face->Style == kCombinedFace) return face->RightWidth;
  return SystemMetricForDpi(SM_CXVSCROLL, Dpi()) + ScaleToDpi(kPlainEdge, Dpi());
}

bool TSkinDropDown::Focused() const {
  HWND focus = GetFocus();
  return focus && (focus == Handle() || IsChild(Handle(), focus));
}

int TSkinDropDown::EdgeFrame() const {
  if (!WindowEnabled()) return 4;
  if (Focused() || DroppedDown()) return 3;
  return hot_ ? 2 : 1;
}

int TSkinDropDown::ButtonFrame() const {
  if (!WindowEnabled()) return 4;
  if (pressed_ || DroppedDown()) return 3;
  return hot_ && Inside(ButtonHitRect(), pointer_) ? 2 : 1;
}

bool TSkinDropDown::BeforeMessage(TMessage& message) {
  if (!Skinned()) return TSkinControl::BeforeMessage(message);
  switch (message.Msg) {
    case WM_PAINT:
      AnswerPaintMessage(message);
      return false;
    case WM_ERASEBKGND:
      // The paint erases into its buffer; an erase straight onto the screen would only flicker.
      message.Result = 1;
      return false;
    case WM_NCPAINT:
      if (FieldFrameWidth(Handle()) == 0) break;
      PaintWindow(nullptr);
      message.Result = 0;
      return false;
    case kSkinRepaintFrameMessage:
      // The pointer went onto or off the control's own edit.
      hot_ = HoverOverWhole(Handle());
      Refresh();
      message.Result = 0;
      return false;
    default:
      break;
  }
  return TSkinControl::BeforeMessage(message);
}

void TSkinDropDown::AfterMessage(TMessage& message) {
  if (!Skinned()) return TSkinControl::AfterMessage(message);
  switch (message.Msg) {
    case WM_MOUSEMOVE: {
      const int before = ButtonFrame();
      const bool entered = !hot_ && WindowEnabled();
      pointer_ = {GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
      if (entered) {
        hot_ = true;
        TrackLeave(Handle());
      }
      if (entered || ButtonFrame() != before) Refresh();
      break;
    }
    case WM_MOUSELEAVE:
      hot_ = PointerOver(Handle());
      pointer_ = {-1, -1};
      Refresh();
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      pointer_ = {GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
      pressed_ = WindowEnabled() && Inside(ButtonHitRect(), pointer_);
      Refresh();
      break;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case WM_STYLECHANGED:
    case CM_ENABLEDCHANGED:
      if (message.Msg != WM_SETFOCUS) pressed_ = false;
      if (!WindowEnabled()) hot_ = false;
      Refresh();
      break;
    case WM_PAINT:
      break;
    default:
      TSkinControl::AfterMessage(message);
      break;
  }
}

void TSkinDropDown::Refresh() {
  if (Handle() && IsWindowVisible(Handle()))
    RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW | RDW_NOCHILDREN);
}

void TSkinDropDown::AnswerPaintMessage(TMessage& message) {
  message.Result = 0;
  if (message.WParam) {
    PaintOver(reinterpret_cast<HDC>(message.WParam));
    return;
  }
  PAINTSTRUCT ps{};
  if (!BeginPaint(Handle(), &ps)) return;
  PaintOver(ps.hdc);
  EndPaint(Handle(), &ps);
}

void TSkinDropDown::PaintOver(HDC target) {
  // A failed paint only costs the look of the control; it must not unwind through its procedure.
  try {
    RECT client{};
    GetClientRect(Handle(), &client);
    if (client.right <= 0 || client.bottom <= 0) return;
    HDC buffer = Buffer().Prepare(target, client.right, client.bottom);
    FillRect(buffer, &client, GetSysColorBrush(COLOR_WINDOW));
    TMessage erase{WM_ERASEBKGND, reinterpret_cast<WPARAM>(buffer), 0, 0};
    CallDefault(erase);
    TMessage paint{WM_PAINT, reinterpret_cast<WPARAM>(buffer), 0, 0};
    CallDefault(paint);
    RECT whole{};
    GetWindowRect(Handle(), &whole);
    const POINT origin = ClientOriginInWindow(Handle());
    {
      const SavedDC saved(buffer);
      OffsetViewportOrgEx(buffer, -origin.x, -origin.y, nullptr);
      PaintSkin(buffer, TRect{0, 0, whole.right - whole.left, whole.bottom - whole.top});
    }
    // The control's own child windows (a combo box's edit) paint themselves.
    const SavedDC saved(target);
    for (HWND child = GetWindow(Handle(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      if (!IsWindowVisible(child)) continue;
      RECT r{};
      GetWindowRect(child, &r);
      MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&r), 2);
      ExcludeClipRect(target, r.left, r.top, r.right, r.bottom);
    }
    BitBlt(target, 0, 0, client.right, client.bottom, buffer, 0, 0, SRCCOPY);
  } catch (...) {
  }
}

void TSkinDropDown::PaintSkin(HDC dc, const TRect& rect) {
  const auto* face = dynamic_cast<const TDataSkinBorder*>(Data()->Model(Dpi()).Find("ComboButton"));
  TSkinPicture* picture = face ? Data()->Picture(face->Image) : nullptr;
  if (!picture || rect.Width() <= 0 || rect.Height() <= 0) return;
  const SavedDC saved(dc);
  const TRect field = FieldRect(rect);
  ExcludeClipRect(dc, field.Left, field.Top, field.Right, field.Bottom);
  const TRect button{rect.Right - ButtonWidth(), rect.Top, rect.Right, rect.Bottom};
  if (face->Style == kCombinedFace) {
    {
      const SavedDC edge(dc);
      IntersectClipRect(dc, rect.Left, rect.Top, button.Left, rect.Bottom);
      DrawSkinPicture(dc, *picture, face->FrameRect(EdgeFrame()), face->Margins(), face->TileMiddle(), rect,
                      face->Trans == 1);
    }
    {
      const SavedDC part(dc);
      IntersectClipRect(dc, button.Left, button.Top, button.Right, button.Bottom);
      DrawSkinPicture(dc, *picture, face->FrameRect(ButtonFrame()), face->Margins(), face->TileMiddle(), rect,
                      face->Trans == 1);
    }
  } else {
    const TColor field = WindowEnabled() ? clWindow : Data()->Model(Dpi()).Colour(TSkinColour::ButtonFace);
    const UniqueBrush fill(CreateSolidBrush(ColorToRGB(field)));
    const RECT inner{rect.Left, rect.Top, button.Left, rect.Bottom};
    if (fill) FillRect(dc, &inner, fill.get());
    const TFieldLook looks[]{TFieldLook::Normal, TFieldLook::Hot, TFieldLook::Focused, TFieldLook::Disabled};
    PaintFieldFrame(dc, rect, ScaleToDpi(kPlainEdge, Dpi()), *Data(), looks[EdgeFrame() - 1], field);
  }
  arrow_.Paint(dc, button, ButtonFrame());
}
