// Painting: invalidation, a window's background and own painting, its windowless children drawn
// into its DC, double buffering, and painting errors reported without flooding the user.
#include "framework/controls/Controls.h"
#include "framework/win32/DCState.h"
#include "framework/win32/PaintBitmap.h"

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
      // A double-buffered window leaves the system's erase out (it would show before the buffer
      // does) and erases only when the framework asks for it, into the buffer or a PaintTo DC.
      if (!doubleBuffered_ || IsOwnErase(m)) EraseBackground(reinterpret_cast<HDC>(m.WParam));
      m.Result = 1;
      return true;
    case WM_NCPAINT:
      // Around a window without frame or scroll bars there is nothing to paint, but the system
      // would still fetch a DC of the whole window for it, under Wine a server round trip.
      if (HasFrame()) return false;
      m.Result = 0;
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

bool TWinControl::HasFrame() const {
  RECT window{}, client{};
  if (!GetWindowRect(handle_, &window) || !GetClientRect(handle_, &client)) return true;
  return window.right - window.left != client.right || window.bottom - window.top != client.bottom;
}

bool TWinControl::IsOwnErase(const TMessage& m) { return m.WParam != 0 && static_cast<WPARAM>(m.LParam) == m.WParam; }

void TWinControl::Erase(HDC dc) { Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(dc)); }

// Everything below goes out as messages, so that whatever sits in front of a control (a skinner)
// sees every paint of it: into its window, into the buffer, into another DC.
void TWinControl::PaintHandler(TMessage& m) {
  if (HDC given = reinterpret_cast<HDC>(m.WParam)) {
    PaintContent(given);
    return;
  }
  PAINTSTRUCT ps{};
  HDC dc = BeginPaint(handle_, &ps);
  const TRect client = ClientRect();
  UniqueMemoryDC memory;
  UniqueBitmap buffer;
  if (doubleBuffered_ && !client.Empty()) {
    memory.reset(CreateCompatibleDC(dc));
    buffer = CreatePaintBitmap(dc, client.Width(), client.Height());
  }
  if (memory && buffer) {
    try {
      SelectedObject keep(memory.get(), buffer.get());
      Erase(memory.get());
      Perform(WM_PAINT, reinterpret_cast<WPARAM>(memory.get()), 0);
      BitBlt(dc, 0, 0, client.Width(), client.Height(), memory.get(), 0, 0, SRCCOPY);
    } catch (...) {
      ReportPaintError(*this);
    }
  } else {
    // Without a buffer (none wanted, or no memory for one) the window is painted directly; the
    // system's erase was left out for a double-buffered one.
    try {
      if (doubleBuffered_) Erase(dc);
    } catch (...) {
      ReportPaintError(*this);
    }
    PaintContent(dc);
  }
  EndPaint(handle_, &ps);
}

void TWinControl::PaintContent(HDC dc) {
  try {
    PaintWindow(dc);
    PaintControls(dc, nullptr);
    paintFailed_ = false;
  } catch (...) {
    ReportPaintError(*this);
  }
}

void TWinControl::PaintControls(HDC dc, TControl* stop) {
  for (TControl* c : std::vector<TControl*>(controls_)) {
    if (c == stop) break;
    if (dynamic_cast<TWinControl*>(c) || !c->Visible() || c->Width() <= 0 || c->Height() <= 0) continue;
    const RECT r{c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height()};
    if (!RectVisible(dc, &r)) continue;
    ShiftedDC child(dc, c->Left(), c->Top(), c->Width(), c->Height());
    try {
      c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
      c->paintFailed_ = false;
    } catch (...) {
      // One control that cannot paint does not keep its siblings from painting.
      ReportPaintError(*c);
    }
  }
}

void TWinControl::ReportPaintError(TControl& control) {
  // Every repaint would fail again (the error box itself uncovers the control): the error is
  // reported once, and again only after the control has painted successfully in between.
  if (control.paintFailed_) return;
  control.paintFailed_ = true;
  HandleDispatchException(std::current_exception());
}

void TWinControl::PaintTo(HDC dc, int x, int y) {
  ShiftedDC client(dc, x, y, ClientWidth(), ClientHeight());
  if (systemClass_) {
    // The system paints such a window only when asked with WM_PRINTCLIENT; its windowless
    // children are still ours to paint.
    if (handle_) SendMessageW(handle_, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
    PaintControls(dc, nullptr);
    return;
  }
  Erase(dc);
  Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
}

void TWinControl::PaintWindow(HDC) {}

void TWinControl::EraseBackground(HDC dc) {
  if (parentBackground_ && Parent()) {
    // The parent's own background, as its messages paint it (a system parent through
    // WM_PRINTCLIENT), seen through this control's place in it.
    TWinControl* parent = Parent();
    ShiftedDC inParent(dc, -Left(), -Top());
    if (!parent->systemClass_) {
      parent->Erase(dc);
    } else if (parent->handle_) {
      SendMessageW(parent->handle_, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
    }
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
