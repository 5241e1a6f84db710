// Painting: invalidation, a window's background and own painting, its windowless children drawn
// into its DC, double buffering, and painting errors reported without flooding the user.
#include "framework/controls/Controls.h"

void TControl::InvalidateControl() {
  if (!parent_ || !parent_->HandleAllocated() || !visible_) return;
  const RECT r{left_, top_, left_ + width_, top_ + height_};
  InvalidateRect(parent_->Handle(), &r, TRUE);
}

void TControl::Invalidate() { InvalidateControl(); }

void TControl::Update() {
  if (parent_ && parent_->HandleAllocated()) UpdateWindow(parent_->Handle());
}

void TControl::Repaint() {
  Invalidate();
  Update();
}

void TWinControl::Invalidate() {
  if (handle_) InvalidateRect(handle_, nullptr, TRUE);
}

bool TWinControl::HandlePaint(TMessage& m) {
  switch (m.Msg) {
    case WM_PAINT:
      if (systemClass_) return false;
      PaintHandler(m);
      return true;
    case WM_ERASEBKGND:
      if (systemClass_) return false;
      if (!doubleBuffered_) EraseBackground(reinterpret_cast<HDC>(m.WParam));
      m.Result = 1;
      return true;
    case CN_CTLCOLORBTN:
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORSTATIC:
    case CN_CTLCOLORLISTBOX: {
      HDC dc = reinterpret_cast<HDC>(m.WParam);
      SetTextColor(dc, ColorToRGB(Font()->Color()));
      SetBkColor(dc, ColorToRGB(Color()));
      m.Result = reinterpret_cast<LRESULT>(ColorBrush());
      return true;
    }
    default:
      return false;
  }
}

void TWinControl::PaintHandler(TMessage& m) {
  PAINTSTRUCT ps{};
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  const bool own = dc == nullptr;
  if (own) dc = BeginPaint(handle_, &ps);
  try {
    const TRect client = ClientRect();
    if (own && doubleBuffered_ && !client.Empty()) {
      UniqueMemoryDC memory(CreateCompatibleDC(dc));
      UniqueBitmap buffer(CreateCompatibleBitmap(dc, client.Width(), client.Height()));
      SelectedObject keep(memory.get(), buffer.get());
      EraseBackground(memory.get());
      PaintWindow(memory.get());
      PaintControls(memory.get(), nullptr);
      BitBlt(dc, 0, 0, client.Width(), client.Height(), memory.get(), 0, 0, SRCCOPY);
    } else {
      PaintWindow(dc);
      PaintControls(dc, nullptr);
    }
    paintFailed_ = false;
  } catch (...) {
    ReportPaintError(*this);
  }
  if (own) EndPaint(handle_, &ps);
}

void TWinControl::PaintControls(HDC dc, TControl* stop) {
  for (TControl* c : std::vector<TControl*>(controls_)) {
    if (c == stop) break;
    if (dynamic_cast<TWinControl*>(c) || !c->Visible() || c->Width() <= 0 || c->Height() <= 0) continue;
    const RECT r{c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height()};
    if (!RectVisible(dc, &r)) continue;
    const int saved = SaveDC(dc);
    OffsetViewportOrgEx(dc, c->Left(), c->Top(), nullptr);
    IntersectClipRect(dc, 0, 0, c->Width(), c->Height());
    try {
      c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
      c->paintFailed_ = false;
    } catch (...) {
      // One control that cannot paint does not keep its siblings from painting.
      ReportPaintError(*c);
    }
    RestoreDC(dc, saved);
  }
}

void TWinControl::ReportPaintError(TControl& control) {
  // Every repaint would fail again (the error box itself uncovers the control): the error is
  // reported once, and again only after the control has painted successfully in between.
  if (control.paintFailed_) return;
  control.paintFailed_ = true;
  HandleDispatchException(std::current_exception());
}

void TWinControl::PaintTo(HDC dc, int x, int y, TControl* stop) {
  const int saved = SaveDC(dc);
  OffsetViewportOrgEx(dc, x, y, nullptr);
  IntersectClipRect(dc, 0, 0, ClientWidth(), ClientHeight());
  if (systemClass_ && handle_) {
    SendMessageW(handle_, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
  } else {
    EraseBackground(dc);
    PaintWindow(dc);
  }
  PaintControls(dc, stop);
  RestoreDC(dc, saved);
}

void TWinControl::PaintWindow(HDC) {}

void TWinControl::EraseBackground(HDC dc) {
  if (parentBackground_ && Parent()) {
    const int saved = SaveDC(dc);
    OffsetViewportOrgEx(dc, -Left(), -Top(), nullptr);
    Parent()->EraseBackground(dc);
    RestoreDC(dc, saved);
    return;
  }
  if (Color() == clNone) return;
  const TRect c = ClientRect();
  const RECT r{c.Left, c.Top, c.Right, c.Bottom};
  FillRect(dc, &r, ColorBrush());
}

HBRUSH TWinControl::ColorBrush() {
  if (!colorBrush_ || colorBrushColor_ != Color()) {
    colorBrush_.reset(CreateSolidBrush(ColorToRGB(Color())));
    colorBrushColor_ = Color();
  }
  return colorBrush_.get();
}

void TGraphicControl::WndProc(TMessage& m) {
  if (m.Msg == WM_PAINT) {
    HDC dc = reinterpret_cast<HDC>(m.WParam);
    if (!dc) return;
    TCanvasDC lent(*canvas_, dc, *Font());
    Paint();
    return;
  }
  TControl::WndProc(m);
}

void TCustomControl::PaintWindow(HDC dc) {
  TCanvasDC lent(*canvas_, dc, *Font());
  Paint();
}
