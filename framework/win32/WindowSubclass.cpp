#include "framework/win32/WindowSubclass.h"

#include <commctrl.h>

#include "framework/win32/CallbackErrors.h"

bool TWindowSubclass::Attach(HWND window, Handler handler) {
  Detach();
  if (!IsWindow(window) || !handler) return false;
  handler_ = std::move(handler);
  if (!SetWindowSubclass(window, Procedure, reinterpret_cast<UINT_PTR>(this), reinterpret_cast<DWORD_PTR>(this))) {
    handler_ = nullptr;
    return false;
  }
  window_ = window;
  return true;
}

void TWindowSubclass::Detach() {
  if (!window_) return;
  // A window that is already gone took the replacement with it.
  if (IsWindow(window_)) RemoveWindowSubclass(window_, Procedure, reinterpret_cast<UINT_PTR>(this));
  window_ = nullptr;
  handler_ = nullptr;
}

LRESULT TWindowSubclass::Default(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) const {
  return DefSubclassProc(window, msg, wParam, lParam);
}

LRESULT CALLBACK TWindowSubclass::Procedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                            DWORD_PTR data) {
  auto* self = reinterpret_cast<TWindowSubclass*>(data);
  if (msg == WM_NCDESTROY) {
    // The window ends: the replacement leaves first, then the window's own handling finishes.
    const Handler handler = self->handler_;
    RemoveWindowSubclass(window, Procedure, reinterpret_cast<UINT_PTR>(self));
    self->window_ = nullptr;
    self->handler_ = nullptr;
    if (!handler) return DefSubclassProc(window, msg, wParam, lParam);
    try {
      return handler(window, msg, wParam, lParam);
    } catch (...) {
      // The window's own handling of its last message still runs, so that it is freed.
      ReportCallbackError(std::current_exception());
      return DefSubclassProc(window, msg, wParam, lParam);
    }
  }
  try {
    return self->handler_(window, msg, wParam, lParam);
  } catch (...) {
    // The failed handler ends its message, as in every window procedure of ours.
    ReportCallbackError(std::current_exception());
    return 0;
  }
}
