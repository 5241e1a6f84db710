// The mouse: a windowed control hands mouse messages to the windowless child under the pointer
// (or the one that holds the capture), tracks which child the pointer hovers, sets the cursor; every
// control turns its mouse messages into mouse events, clicks and its popup menu.
#include "framework/controls/Controls.h"

#include <windowsx.h>

#include <utility>

#include "framework/controls/Menus.h"

namespace {

LPCWSTR CursorId(TCursor cursor) {
  switch (cursor) {
    case crArrow: return IDC_ARROW;
    case crCross: return IDC_CROSS;
    case crIBeam: return IDC_IBEAM;
    case crHourGlass: return IDC_WAIT;
    case crNo: return IDC_NO;
    case crHandPoint: return IDC_HAND;
    default: return nullptr;
  }
}

bool IsMouseMessage(UINT msg) { return msg >= WM_MOUSEFIRST && msg <= WM_MBUTTONDBLCLK; }

}  // namespace

TShiftState MouseShiftState(WPARAM flags) {
  TShiftState s = 0;
  if (flags & MK_SHIFT) s |= ssShift;
  if (flags & MK_CONTROL) s |= ssCtrl;
  if (flags & MK_LBUTTON) s |= ssLeft;
  if (flags & MK_RBUTTON) s |= ssRight;
  if (flags & MK_MBUTTON) s |= ssMiddle;
  if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
  return s;
}

bool TControl::TranslateMouse(TMessage& m) {
  const int x = GET_X_LPARAM(m.LParam);
  const int y = GET_Y_LPARAM(m.LParam);
  switch (m.Msg) {
    case CM_CANCELMODE:
      clicking_ = false;
      break;
    case WM_MOUSEMOVE:
      MouseMove(MouseShiftState(m.WParam), x, y);
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (ClicksOnMouseUp()) clicking_ = true;
      if (m.Msg == WM_LBUTTONDBLCLK) DblClick();
      MouseDown(TMouseButton::mbLeft, MouseShiftState(m.WParam) | (m.Msg == WM_LBUTTONDBLCLK ? ssDouble : 0), x, y);
      break;
    case WM_LBUTTONUP: {
      const bool wasClicking = std::exchange(clicking_, false);
      MouseUp(TMouseButton::mbLeft, MouseShiftState(m.WParam), x, y);
      if (wasClicking && ClientRect().Contains({x, y})) Click();
      break;
    }
    case WM_RBUTTONDOWN:
      MouseDown(TMouseButton::mbRight, MouseShiftState(m.WParam), x, y);
      break;
    case WM_RBUTTONUP:
      MouseUp(TMouseButton::mbRight, MouseShiftState(m.WParam), x, y);
      if (popupMenu_) {
        const TPoint p = ClientToScreen({x, y});
        popupMenu_->SetPopupComponent(this);
        popupMenu_->Popup(p.X, p.Y);
        return true;
      }
      break;
    default:
      break;
  }
  return false;
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
  if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

bool TWinControl::HandleMouse(TMessage& m) {
  switch (m.Msg) {
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(m.WParam) == handle_ && LOWORD(m.LParam) == HTCLIENT) {
        POINT pt{};
        GetCursorPos(&pt);
        ::ScreenToClient(handle_, &pt);
        TControl* c = ControlAtPos({pt.x, pt.y});
        const TCursor cursor = (c ? c : this)->Cursor();
        if (cursor != crDefault) {
          ::SetCursor(cursor == crNone ? nullptr : LoadCursorW(nullptr, CursorId(cursor)));
          m.Result = TRUE;
          return true;
        }
      }
      return false;
    case WM_MOUSELEAVE:
      trackingLeave_ = false;
      UpdateHover(nullptr);
      return false;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(m.LParam) != handle_) CancelChildPress();
      return false;
    case WM_CANCELMODE:
      CancelChildPress();
      if (GetCapture() == handle_) ReleaseCapture();
      return false;
    default:
      if (IsMouseMessage(m.Msg) && !systemClass_) return RouteMouseToChild(m);
      if (m.Msg == WM_MOUSEMOVE) UpdateHover(this);
      return false;
  }
}

bool TWinControl::RouteMouseToChild(TMessage& m) {
  const TPoint p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
  TControl* under = ControlAtPos(p);
  if (m.Msg == WM_MOUSEMOVE) UpdateHover(under ? under : this);
  TControl* target = captureControl_ ? captureControl_ : under;
  if (!target) return false;
  const bool down = m.Msg == WM_LBUTTONDOWN || m.Msg == WM_RBUTTONDOWN || m.Msg == WM_MBUTTONDOWN ||
                    m.Msg == WM_LBUTTONDBLCLK || m.Msg == WM_RBUTTONDBLCLK;
  const bool up = m.Msg == WM_LBUTTONUP || m.Msg == WM_RBUTTONUP || m.Msg == WM_MBUTTONUP;
  if (down && !captureControl_) {
    captureControl_ = target;
    SetCapture(handle_);
  }
  if (up && !(m.WParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON))) {
    captureControl_ = nullptr;
    if (GetCapture() == handle_) ReleaseCapture();
  }
  m.Result = target->Perform(m.Msg, m.WParam, MAKELPARAM(p.X - target->Left(), p.Y - target->Top()));
  return true;
}

void TWinControl::CancelChildPress() {
  if (TControl* pressed = std::exchange(captureControl_, nullptr)) pressed->Perform(CM_CANCELMODE);
}

void TWinControl::RecheckHover() {
  if (!handle_ || !IsWindowVisible(handle_)) return;
  POINT pt{};
  if (!GetCursorPos(&pt) || WindowFromPoint(pt) != handle_) return;
  ::ScreenToClient(handle_, &pt);
  TControl* under = ControlAtPos({pt.x, pt.y});
  UpdateHover(under ? under : this);
}

void TWinControl::UpdateHover(TControl* control) {
  if (control == hoverControl_) return;
  TControl* old = std::exchange(hoverControl_, control);
  if (old) old->Perform(CM_MOUSELEAVE);
  if (control) control->Perform(CM_MOUSEENTER);
  if (control && !trackingLeave_ && handle_) {
    TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, handle_, 0};
    trackingLeave_ = TrackMouseEvent(&tme) != 0;
  }
}

TControl* TWinControl::ControlAtPos(TPoint point, bool allowDisabled) const {
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    TControl* c = *it;
    if (dynamic_cast<TWinControl*>(c) || !c->Visible() || (!c->Enabled() && !allowDisabled)) continue;
    if (c->BoundsRect().Contains(point)) return c;
  }
  return nullptr;
}
