#include "reminders/eye2/ScreenCovers.h"

#include "framework/core/Exception.h"
#include "framework/graphics/Graphics.h"
#include "framework/win32/WindowClass.h"
#include "reminders/screens/ScreenLayout.h"

namespace {
constexpr wchar_t kCoverClass[] = L"BrevinRestCover";

LRESULT CALLBACK CoverProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_SETCURSOR:
      SetCursor(nullptr);
      return TRUE;
    case WM_ERASEBKGND: {
      RECT client;
      GetClientRect(window, &client);
      FillRect(reinterpret_cast<HDC>(wParam), &client, reinterpret_cast<HBRUSH>(GetWindowLongPtrW(window, GWLP_USERDATA)));
      return TRUE;
    }
    default:
      return DefWindowProcW(window, msg, wParam, lParam);
  }
}

BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoW(monitor, &info)) return TRUE;
  const RECT& b = info.rcMonitor;
  const RECT& w = info.rcWork;
  reinterpret_cast<std::vector<TScreenMonitor>*>(data)->push_back(
      {{b.left, b.top, b.right, b.bottom}, {w.left, w.top, w.right, w.bottom}, (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
  return TRUE;
}
}  // namespace

void TScreenCovers::Show(HWND restWindow, TColor colour, int alpha) {
  Hide();
  std::vector<TScreenMonitor> monitors;
  EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&monitors));
  const std::vector<TRect> rects = CoverRects(monitors);
  if (rects.empty()) return;
  TRect primary{};
  for (const TScreenMonitor& monitor : monitors)
    if (monitor.Primary) primary = monitor.Bounds;
  RegisterWindowClassOnce(kCoverClass, CoverProc);
  brush_ = UniqueBrush(CreateSolidBrush(ColorToRGB(colour)));
  for (const TRect& r : rects) {
    UniqueWindow cover(CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_LAYERED, kCoverClass,
                                       L"", WS_POPUP, r.Left, r.Top, r.Width(), r.Height(), nullptr, nullptr,
                                       GetModuleHandleW(nullptr), nullptr));
    if (!cover) throw EOutOfResources("Error creating window: the cover of a monitor");
    SetWindowLongPtrW(cover.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(brush_.get()));
    // Where a monitor overlaps the primary one the rest window shows, whatever the stacking: its
    // return button must never lie under a cover.
    UniqueRegion shape(CreateRectRgn(0, 0, r.Width(), r.Height()));
    UniqueRegion primaryPart(CreateRectRgn(primary.Left - r.Left, primary.Top - r.Top, primary.Right - r.Left,
                                           primary.Bottom - r.Top));
    if (shape && primaryPart && CombineRgn(shape.get(), shape.get(), primaryPart.get(), RGN_DIFF) != ERROR &&
        SetWindowRgn(cover.get(), shape.get(), FALSE))
      static_cast<void>(shape.release());  // the window owns it now
    SetLayeredWindowAttributes(cover.get(), 0, static_cast<BYTE>(alpha), LWA_ALPHA);
    covers_.push_back(std::move(cover));
  }
  KeepUnder(restWindow);
}

void TScreenCovers::KeepUnder(HWND restWindow) {
  // Where monitors overlap, the rest window and its buttons stay in front.
  for (const UniqueWindow& cover : covers_)
    SetWindowPos(cover.get(), restWindow, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}
