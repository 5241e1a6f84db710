#include "skin/win/controls/SkinFieldFrame.h"

#include "framework/controls/Messages.h"
#include "framework/graphics/Graphics.h"
#include "framework/win32/Dpi.h"
#include "framework/win32/Handles.h"
#include "skin/win/data/SkinDataUnit.h"

namespace {

void FillRing(HDC dc, const TRect& r, HBRUSH brush) {
  const RECT sides[4]{{r.Left, r.Top, r.Right, r.Top + 1},
                      {r.Left, r.Bottom - 1, r.Right, r.Bottom},
                      {r.Left, r.Top, r.Left + 1, r.Bottom},
                      {r.Right - 1, r.Top, r.Right, r.Bottom}};
  for (const RECT& side : sides) FillRect(dc, &side, brush);
}

}  // namespace

int FieldFrameWidth(HWND window) {
  const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
  const LONG_PTR exStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
  // The system gives a control the edges of its own DPI, which is its monitor's, not the system's.
  const int dpi = WindowDpi(window);
  int width = 0;
  if (exStyle & WS_EX_CLIENTEDGE) width += SystemMetricForDpi(SM_CXEDGE, dpi);
  if (exStyle & WS_EX_STATICEDGE) width += SystemMetricForDpi(SM_CXBORDER, dpi);
  if (style & WS_BORDER) width += SystemMetricForDpi(SM_CXBORDER, dpi);
  return width;
}

void PaintFieldFrame(HDC dc, const TRect& rect, int width, const TSkinData& data, TFieldLook look, TColor field) {
  if (width <= 0 || rect.Width() < 2 * width || rect.Height() < 2 * width) return;
  const TSkinModel& model = data.Model();
  const bool strong = look == TFieldLook::Hot || look == TFieldLook::Focused;
  const UniqueBrush outline(
      CreateSolidBrush(ColorToRGB(model.Colour(strong ? TSkinColour::ButtonDkShadow : TSkinColour::ButtonShadow))));
  const UniqueBrush inside(CreateSolidBrush(ColorToRGB(field)));
  const UniqueBrush glow(CreateSolidBrush(ColorToRGB(model.Colour(TSkinColour::Hilight))));
  if (!outline || !inside || !glow) return;
  TRect ring = rect;
  for (int i = 0; i < width; ++i) {
    HBRUSH brush = i == 0 ? outline.get() : (i == 1 && look == TFieldLook::Focused) ? glow.get() : inside.get();
    FillRing(dc, ring, brush);
    ring = {ring.Left + 1, ring.Top + 1, ring.Right - 1, ring.Bottom - 1};
  }
}

bool PointerOver(HWND window) {
  POINT point{};
  if (!window || !GetCursorPos(&point)) return false;
  HWND under = WindowFromPoint(point);
  return under == window || IsChild(window, under);
}

bool HoverOverWhole(HWND window) {
  const bool over = PointerOver(window);
  if (over) TrackLeave(window);
  return over;
}

void TellHost(HWND host) {
  if (host && SendMessageW(host, kSkinQueryMessage, 0, 0) == 1) SendMessageW(host, kSkinRepaintFrameMessage, 0, 0);
}

void TrackLeave(HWND window) {
  TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, window, 0};
  TrackMouseEvent(&track);
}

POINT ClientOriginInWindow(HWND window) {
  RECT whole{};
  GetWindowRect(window, &whole);
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  return {origin.x - whole.left, origin.y - whole.top};
}

bool EnabledWithParents(HWND window) {
  for (HWND w = window; w; w = GetParent(w)) {
    if (!IsWindowEnabled(w)) return false;
    if (!(GetWindowLongPtrW(w, GWL_STYLE) & WS_CHILD)) break;
  }
  return window != nullptr;
}
