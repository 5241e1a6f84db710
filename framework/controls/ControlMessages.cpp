// Where a control's messages go: Perform and the WndProc chain, the paths that take their own
// messages (painting, keyboard, mouse), the parent's notifications handed back to the child that
// sent them, and what is left to the window class.
#include "framework/controls/Controls.h"
#include "framework/win32/CallbackErrors.h"

namespace {
TControlHost* controlHost = nullptr;
}

TControlHost* ControlHost() { return controlHost; }

void SetControlHost(TControlHost* host) {
  controlHost = host;
  // Window procedures and hooks outside the controls report to the same place as the controls.
  SetCallbackErrorSink(HandleDispatchException);
}

void HandleDispatchException(std::exception_ptr error) {
  if (!controlHost) return;
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    controlHost->HandleException(e);
  } catch (...) {
    controlHost->HandleException(Exception("Unknown error"));
  }
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
  TMessage m{msg, wParam, lParam, 0};
  WindowProc(m);
  return m.Result;
}

void TControl::WndProc(TMessage& m) {
  if (TranslateMouse(m)) return;
  DefaultHandler(m);
}

void TControl::DefaultHandler(TMessage&) {}

void TWinControl::WndProc(TMessage& m) {
  if (HandlePaint(m) || HandleKeyboard(m) || HandleMouse(m)) return;
  switch (m.Msg) {
    case WM_COMMAND:
      if (m.LParam) return ReflectToChild(m, reinterpret_cast<HWND>(m.LParam), CN_COMMAND);
      break;
    case WM_NOTIFY:
      return ReflectToChild(m, reinterpret_cast<NMHDR*>(m.LParam)->hwndFrom, CN_NOTIFY);
    case WM_DRAWITEM:
      return ReflectToChild(m, reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam)->hwndItem, CN_DRAWITEM);
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (m.LParam) return ReflectToChild(m, reinterpret_cast<HWND>(m.LParam), CN_BASE + m.Msg);
      break;
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX:
      return ReflectToChild(m, reinterpret_cast<HWND>(m.LParam), CN_BASE + m.Msg);
    case WM_WINDOWPOSCHANGED:
      DefaultHandler(m);
      UpdateBoundsFromWindow();
      return;
    case WM_SIZE:
      DefaultHandler(m);
      AlignControls();
      return;
    case WM_ENABLE:
      if (m.WParam && !Enabled()) EnableWindow(handle_, FALSE);
      break;
    default:
      break;
  }
  TControl::WndProc(m);
}

void TWinControl::DefaultHandler(TMessage& m) {
  if (!handle_ || (m.Msg >= CM_BASE && m.Msg < 0xC000)) return;
  m.Result = CallWindowProcW(defWndProc_, handle_, m.Msg, m.WParam, m.LParam);
}

void TWinControl::ReflectToChild(TMessage& m, HWND child, UINT reflected) {
  TWinControl* c = FindControl(child);
  if (c && c != this) {
    m.Result = c->Perform(reflected, m.WParam, m.LParam);
  } else {
    DefaultHandler(m);
  }
}

void TWinControl::Broadcast(TMessage& message) {
  for (TControl* c : std::vector<TControl*>(controls_)) {
    c->WindowProc(message);
    if (auto* w = dynamic_cast<TWinControl*>(c)) w->Broadcast(message);
  }
}
