#include "skin/win/controls/SkinScrollbar.h"

#include <windowsx.h>

#include <algorithm>

#include "framework/controls/Controls.h"
#include "framework/controls/Messages.h"
#include "framework/win32/CallbackErrors.h"
#include "framework/win32/Dpi.h"
#include "framework/win32/WindowClass.h"
#include "skin/win/data/SkinDataUnit.h"
#include "skin/win/form/SkinFormUnit.h"
#include "skin/win/data/SkinObjectDraw.h"

namespace {

constexpr wchar_t kCoverClass[] = L"TSkinScrollWindow";
constexpr UINT_PTR kRepeatTimer = 1;
// As the system's own bars: a first repeat after a pause, then quick ones.
constexpr UINT kFirstRepeat = 250;
constexpr UINT kNextRepeat = 50;
// How many bar thicknesses a held thumb may be taken off to either side and still follow.
constexpr int kDragReach = 8;

// Frames of "Scrollbar" (from 1): four states for each arrow from these; three for each thumb.
constexpr int kUpArrow = 1;
constexpr int kDownArrow = 5;
constexpr int kLeftArrow = 9;
constexpr int kRightArrow = 13;
constexpr int kVertThumb = 18;
constexpr int kHorzThumb = 21;

void FillColour(HDC dc, TColor colour, const TRect& target) {
  const UniqueBrush brush(CreateSolidBrush(ColorToRGB(colour)));
  const RECT r{target.Left, target.Top, target.Right, target.Bottom};
  FillRect(dc, &r, brush ? brush.get() : GetSysColorBrush(COLOR_SCROLLBAR));
}

WORD LineCode(TScrollPart part) {
  switch (part) {
    case TScrollPart::LineBack:
      return SB_LINEUP;
    case TScrollPart::LineForward:
      return SB_LINEDOWN;
    case TScrollPart::PageBack:
      return SB_PAGEUP;
    default:
      return SB_PAGEDOWN;
  }
}

}  // namespace

ATOM TSkinScrollWindow::CoverAtom() {
  static const ATOM atom = [] {
    WNDCLASSEXW wc{};
    wc.lpfnWndProc = Procedure;
    wc.lpszClassName = kCoverClass;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    return RegisterWindowClass(wc);
  }();
  return atom;
}

bool TSkinScrollWindow::SitsOn(HWND control) const {
  // The covers of one control lie together right above it.
  for (HWND w = GetWindow(control, GW_HWNDPREV); w && GetClassLongPtrW(w, GCW_ATOM) == CoverAtom();
       w = GetWindow(w, GW_HWNDPREV)) {
    if (w == window_.get()) return true;
  }
  return false;
}

TSkinScrollWindow::TSkinScrollWindow(TSkinData& data, HWND control, TScrollWindowKind kind)
    : data_(data), control_(control), kind_(kind) {
  CoverAtom();
  // No CS_DBLCLKS: a quick second press on an arrow is a second press, as on the system's bars.
  window_.reset(CreateWindowExW(WS_EX_NOPARENTNOTIFY, kCoverClass, L"", WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 0, 0,
                                GetParent(control), nullptr, GetModuleHandleW(nullptr), this));
  if (!window_) throw EOutOfResources("Error creating window: the scroll bar cover");
}

TSkinScrollWindow::~TSkinScrollWindow() {
  *alive_ = false;
  if (window_) SetWindowLongPtrW(window_.get(), GWLP_USERDATA, 0);
}

LRESULT CALLBACK TSkinScrollWindow::Procedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<TSkinScrollWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self || !self->window_) return DefWindowProcW(window, msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    // Taken down with its parent: nothing is left to destroy later.
    self->window_.release();
    self->shown_ = false;
    return DefWindowProcW(window, msg, wParam, lParam);
  }
  try {
    return self->Handle(msg, wParam, lParam);
  } catch (...) {
    ReportCallbackError(std::current_exception());
    return 0;
  }
}

LRESULT TSkinScrollWindow::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
  HWND window = window_.get();
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      if (wParam) {
        Paint(reinterpret_cast<HDC>(wParam));
        return 0;
      }
      PAINTSTRUCT ps{};
      if (BeginPaint(window, &ps)) {
        Paint(ps.hdc);
        EndPaint(window, &ps);
      }
      return 0;
    }
    case WM_PRINTCLIENT:
      Paint(reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_LBUTTONDOWN:
      Press(PointOf(lParam));
      return 0;
    case WM_MOUSEMOVE:
      Move(PointOf(lParam));
      return 0;
    case WM_LBUTTONUP:
      Release();
      return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lParam) != window) Release();
      return 0;
    case WM_MOUSELEAVE:
      trackingLeave_ = false;
      if (hot_ != TScrollPart::None && pressed_ == TScrollPart::None) {
        hot_ = TScrollPart::None;
        Redraw();
      }
      return 0;
    case WM_TIMER:
      if (wParam == kRepeatTimer) Repeat();
      return 0;
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
      // The wheel belongs to the control, wherever the pointer rests.
      return SendMessageW(control_, msg, wParam, lParam);
    default:
      return DefWindowProcW(window, msg, wParam, lParam);
  }
}

void TSkinScrollWindow::Show(HWND parent, const RECT& rect, const TScrollBarLook& look) {
  HWND window = window_.get();
  if (GetParent(window) != parent) SetParent(window, parent);
  const bool changed = !(look == look_);
  look_ = look;
  const bool stacked = SitsOn(control_);
  if (!shown_ || !EqualRect(&placed_, &rect) || !stacked) {
    placed_ = rect;
    shown_ = true;
    HWND above = GetWindow(control_, GW_HWNDPREV);
    UINT flags = SWP_NOACTIVATE | SWP_SHOWWINDOW;
    if (stacked) flags |= SWP_NOZORDER;
    SetWindowPos(window, above ? above : HWND_TOP, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 flags);
    Redraw();
  } else if (changed) {
    Redraw();
  }
}

void TSkinScrollWindow::Hide() {
  if (!shown_) return;
  shown_ = false;
  if (pressed_ != TScrollPart::None) Release();
  ShowWindow(window_.get(), SW_HIDE);
}

void TSkinScrollWindow::Redraw() {
  if (!shown_) return;
  InvalidateRect(window_.get(), nullptr, FALSE);
  UpdateWindow(window_.get());
}

bool TSkinScrollWindow::Usable() const { return look_.Enabled && IsWindowEnabled(control_); }

SIZE TSkinScrollWindow::Size() const {
  RECT r{};
  GetClientRect(window_.get(), &r);
  return {r.right, r.bottom};
}

TScrollBarLayout TSkinScrollWindow::Layout() const {
  const SIZE size = Size();
  const TScrollBarLayout layout =
      LayoutScrollBar(Vertical() ? size.cy : size.cx, Vertical() ? size.cx : size.cy, look_.Range, Usable());
  return pressed_ == TScrollPart::Thumb ? WithThumbAt(layout, dragThumb_) : layout;
}

POINT TSkinScrollWindow::PointOf(LPARAM point) { return {GET_X_LPARAM(point), GET_Y_LPARAM(point)}; }

POINT TSkinScrollWindow::Cursor() const {
  POINT p{};
  GetCursorPos(&p);
  ScreenToClient(window_.get(), &p);
  return p;
}

TScrollPart TSkinScrollWindow::PartAt(POINT point) const {
  const SIZE size = Size();
  if (kind_ == TScrollWindowKind::Corner || !Usable() || point.x < 0 || point.y < 0 || point.x >= size.cx ||
      point.y >= size.cy)
    return TScrollPart::None;
  const TScrollPart part = ScrollPartAt(Layout(), Vertical() ? point.y : point.x);
  if (part == TScrollPart::LineBack && !look_.BackEnabled) return TScrollPart::None;
  if (part == TScrollPart::LineForward && !look_.ForwardEnabled) return TScrollPart::None;
  return part;
}

void TSkinScrollWindow::Press(POINT point) {
  if (pressed_ != TScrollPart::None) return;
  const TScrollPart part = PartAt(point);
  if (part == TScrollPart::None) return;
  SetCapture(window_.get());
  pressed_ = part;
  onPressed_ = true;
  hot_ = part;
  if (part == TScrollPart::Thumb) {
    const TScrollBarLayout layout = Layout();
    dragOffset_ = (Vertical() ? point.y : point.x) - layout.ThumbStart;
    dragThumb_ = dragHome_ = layout.ThumbStart;
    dragPos_ = dragHomePos_ = look_.Range.Pos;
    Redraw();
    return;
  }
  Redraw();
  if (!Send(LineCode(part))) return;
  SetTimer(window_.get(), kRepeatTimer, kFirstRepeat, nullptr);
}

void TSkinScrollWindow::Move(POINT point) {
  if (pressed_ == TScrollPart::Thumb) {
    const SIZE size = Size();
    const TScrollBarLayout free =
        LayoutScrollBar(Vertical() ? size.cy : size.cx, Vertical() ? size.cx : size.cy, look_.Range, true);
    // Dragged far off to the side, the thumb goes back to where it was taken from, as on the
    // system's bars; brought back near, it follows again.
    const int across = Vertical() ? point.x : point.y;
    const int thickness = Vertical() ? size.cx : size.cy;
    const bool away = across < -kDragReach * thickness || across >= (kDragReach + 1) * thickness;
    dragThumb_ = away ? dragHome_ : WithThumbAt(free, (Vertical() ? point.y : point.x) - dragOffset_).ThumbStart;
    const int pos = away ? dragHomePos_ : ScrollPosForThumb(free, look_.Range, dragThumb_);
    Redraw();
    if (pos != dragPos_) {
      dragPos_ = pos;
      Send(SB_THUMBTRACK, pos);
    }
    return;
  }
  if (pressed_ != TScrollPart::None) {
    const bool on = PartAt(point) == pressed_;
    if (on != onPressed_) {
      onPressed_ = on;
      Redraw();
    }
    return;
  }
  if (!trackingLeave_) {
    TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, window_.get(), 0};
    trackingLeave_ = TrackMouseEvent(&track) != FALSE;
  }
  const TScrollPart part = PartAt(point);
  if (part != hot_) {
    hot_ = part;
    Redraw();
  }
}

void TSkinScrollWindow::Release() {
  const TScrollPart part = std::exchange(pressed_, TScrollPart::None);
  if (part == TScrollPart::None) return;
  KillTimer(window_.get(), kRepeatTimer);
  if (GetCapture() == window_.get()) ReleaseCapture();
  hot_ = PartAt(Cursor());
  Redraw();
  if (part == TScrollPart::Thumb && !Send(SB_THUMBPOSITION, dragPos_)) return;
  Send(SB_ENDSCROLL);
}

void TSkinScrollWindow::Repeat() {
  if (pressed_ == TScrollPart::None || pressed_ == TScrollPart::Thumb) {
    KillTimer(window_.get(), kRepeatTimer);
    return;
  }
  SetTimer(window_.get(), kRepeatTimer, kNextRepeat, nullptr);
  // Paging stops once the thumb has come to the pointer.
  if (PartAt(Cursor()) != pressed_) return;
  Send(LineCode(pressed_));
}

bool TSkinScrollWindow::Send(int code, int pos) {
  const std::shared_ptr<bool> alive = alive_;
  // The position travels in 16 bits, as the system's bars send it.
  SendMessageW(control_, Vertical() ? WM_VSCROLL : WM_HSCROLL,
               MAKEWPARAM(static_cast<WORD>(code), static_cast<WORD>(pos)), 0);
  return *alive;
}

int TSkinScrollWindow::PartState(TScrollPart part, bool enabled) const {
  if (!enabled || !Usable()) return 3;
  if (pressed_ == part && onPressed_) return 2;
  if (pressed_ == TScrollPart::None && hot_ == part) return 1;
  return 0;
}

TRect TSkinScrollWindow::Span(int from, int to, const TRect& whole) const {
  return Vertical() ? TRect{whole.Left, from, whole.Right, to} : TRect{from, whole.Top, to, whole.Bottom};
}

void TSkinScrollWindow::Paint(HDC target) {
  const SIZE size = Size();
  if (size.cx <= 0 || size.cy <= 0) return;
  HDC dc = buffer_.Prepare(target, size.cx, size.cy);
  const TRect whole{0, 0, size.cx, size.cy};
  // Asked once a paint: under Wine every question about a window's monitor is a server round trip.
  const int dpi = WindowDpi(control_);
  const TDataSkinObject* arrows = PaintableSkinObject(&data_, "Scrollbar", dpi);
  if (!arrows) {
    FillColour(dc, data_.Model().Colour(TSkinColour::Scrollbar), whole);
  } else if (kind_ == TScrollWindowKind::Corner) {
    // A plain corner, as the system leaves it: a grip there would promise a resize that is not offered.
    FillColour(dc, data_.Model().Colour(TSkinColour::ButtonFace), whole);
  } else {
    PaintBar(dc, whole, dpi);
  }
  BitBlt(target, 0, 0, size.cx, size.cy, dc, 0, 0, SRCCOPY);
}

void TSkinScrollWindow::PaintBar(HDC dc, const TRect& whole, int dpi) {
  const TDataSkinObject& arrows = *PaintableSkinObject(&data_, "Scrollbar", dpi);
  const TScrollBarLayout layout = Layout();
  const TRect track = Span(layout.TrackStart, layout.TrackEnd, whole);
  if (const TDataSkinObject* picture = PaintableSkinObject(&data_, Vertical() ? "VertScroll" : "HorzScroll", dpi)) {
    DrawSkinObject(dc, data_, *picture, Usable() ? 1 : 4, track);
    // A page part held or under the pointer shows as that part of the track in another state.
    for (TScrollPart page : {TScrollPart::PageBack, TScrollPart::PageForward}) {
      const int state = PartState(page, true);
      if (state != 1 && state != 2) continue;
      const TRect part = page == TScrollPart::PageBack
                             ? Span(layout.TrackStart, layout.ThumbStart, whole)
                             : Span(layout.ThumbStart + layout.ThumbLength, layout.TrackEnd, whole);
      const SavedDC saved(dc);
      IntersectClipRect(dc, part.Left, part.Top, part.Right, part.Bottom);
      DrawSkinObject(dc, data_, *picture, state + 1, track);
    }
  } else {
    FillColour(dc, data_.Model().Colour(TSkinColour::Scrollbar), track);
  }

  if (layout.ThumbLength > 0) {
    const TRect thumb = Span(layout.ThumbStart, layout.ThumbStart + layout.ThumbLength, whole);
    const int state = std::min(PartState(TScrollPart::Thumb, true), 2);
    if (const TDataSkinObject* picture =
            PaintableSkinObject(&data_, Vertical() ? "VertScrollThumb" : "HorzScrollThumb", dpi)) {
      DrawSkinObject(dc, data_, *picture, state + 1, thumb);
    } else {
      DrawSkinObject(dc, data_, arrows, (Vertical() ? kVertThumb : kHorzThumb) + state, thumb);
    }
  }

  const int back = Vertical() ? kUpArrow : kLeftArrow;
  const int forward = Vertical() ? kDownArrow : kRightArrow;
  DrawSkinObject(dc, data_, arrows, back + PartState(TScrollPart::LineBack, look_.BackEnabled),
                 Span(0, layout.Arrow, whole));
  DrawSkinObject(dc, data_, arrows, forward + PartState(TScrollPart::LineForward, look_.ForwardEnabled),
                 Span(layout.Length - layout.Arrow, layout.Length, whole));
}

TSkinScrollbar::~TSkinScrollbar() { DropCovers(); }

void TSkinScrollbar::Attach(TSkinForm* form, TSkinData& data, int mode, TControl& control, TPaintBuffer* canvas) {
  TSkinControl::Attach(form, data, mode, control, canvas);
  follow_.Attach(control, [this](TMessage& message, const TWndMethod& next) {
    next(message);
    Follow(message);
  });
  Sync();
}

bool TSkinScrollbar::AttachHandle(HWND window, TSkinData& data, TSkinForm* form, TPaintBuffer* canvas) {
  if (!TSkinControl::AttachHandle(window, data, form, canvas)) return false;
  if (!followWindow_.Attach(window, [this](HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
        TMessage message{msg, wParam, lParam, followWindow_.Default(w, msg, wParam, lParam)};
        Follow(message);
        return message.Result;
      }))
    return false;
  Sync();
  return true;
}

void TSkinScrollbar::Detach() {
  // Detached while the window lives: for good. A window that went (the skinner is then no longer
  // attached) may come back, and the skinner is made again for it.
  if (State() == TSkinControlState::Attached) detached_ = true;
  DropCovers();
  TSkinControl::Detach();
}

bool TSkinScrollbar::BeforeMessage(TMessage& message) {
  if (message.Msg == WM_NCDESTROY) {
    // A window on its way out keeps its style; only the covers go.
    clipped_ = nullptr;
    DropCovers();
  }
  return TSkinControl::BeforeMessage(message);
}

void TSkinScrollbar::SkinChanged() {
  TSkinControl::SkinChanged();
  for (auto* cover : {vertical_.get(), horizontal_.get(), corner_.get()})
    if (cover) cover->Redraw();
  Sync();
}

HWND TSkinScrollbar::ScrollWindow(int bar) const {
  const auto& cover = bar == SB_VERT ? vertical_ : bar == SB_HORZ ? horizontal_ : corner_;
  return cover ? cover->Handle() : nullptr;
}

void TSkinScrollbar::Follow(const TMessage& message) {
  switch (message.Msg) {
    case WM_NCDESTROY:
      // The covers are the control's siblings; they must not outlive it.
      clipped_ = nullptr;
      DropCovers();
      break;
    case WM_CREATE:
      if (message.Result != -1) AskToBeMadeAgain();
      break;
    // Questions that change nothing.
    case WM_NCHITTEST:
    case WM_SETCURSOR:
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
    case WM_GETDLGCODE:
    case WM_GETFONT:
    case WM_DESTROY:
      break;
    default:
      Sync();
      break;
  }
}

bool TSkinScrollbar::HasArrows() const { return Data() && PaintableSkinObject(Data(), "Scrollbar", Dpi()); }

void TSkinScrollbar::Sync() {
  if (syncing_) return;
  syncing_ = true;
  // A cover that cannot be made leaves the bars as the system draws them; the control must not
  // hear of it.
  try {
    HWND control = Handle();
    const bool live = control && IsWindow(control) && !detached_ && Skinning() &&
                      State() == TSkinControlState::Attached && HasArrows();
    HWND parent = live && (GetWindowLongPtrW(control, GWL_STYLE) & WS_CHILD) ? GetParent(control) : nullptr;
    const bool shown = parent && IsWindowVisible(control);
    RECT vertical{};
    RECT horizontal{};
    TScrollBarLook verticalLook;
    TScrollBarLook horizontalLook;
    const bool verticalOn = shown && ReadBar(control, parent, OBJID_VSCROLL, SB_VERT, vertical, verticalLook);
    const bool horizontalOn = shown && ReadBar(control, parent, OBJID_HSCROLL, SB_HORZ, horizontal, horizontalLook);
    Place(vertical_, TScrollWindowKind::Vertical, verticalOn, parent, vertical, verticalLook);
    Place(horizontal_, TScrollWindowKind::Horizontal, horizontalOn, parent, horizontal, horizontalLook);
    const RECT corner{vertical.left, horizontal.top, vertical.right, horizontal.bottom};
    Place(corner_, TScrollWindowKind::Corner, verticalOn && horizontalOn, parent, corner, {});
  } catch (...) {
    DropCovers();
  }
  syncing_ = false;
}

bool TSkinScrollbar::ReadBar(HWND control, HWND parent, LONG object, int bar, RECT& rect, TScrollBarLook& look) const {
  SCROLLBARINFO info{};
  info.cbSize = sizeof(info);
  if (!GetScrollBarInfo(control, object, &info)) return false;
  if (info.rgstate[0] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN)) return false;
  if (IsRectEmpty(&info.rcScrollBar)) return false;
  rect = info.rcScrollBar;
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  SCROLLINFO scroll{};
  scroll.cbSize = sizeof(scroll);
  scroll.fMask = SIF_ALL;
  if (GetScrollInfo(control, bar, &scroll))
    look.Range = {scroll.nMin, scroll.nMax, static_cast<int>(std::min<UINT>(scroll.nPage, INT_MAX)), scroll.nPos};
  look.Enabled = IsWindowEnabled(control) && !(info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE);
  look.BackEnabled = !(info.rgstate[1] & STATE_SYSTEM_UNAVAILABLE);
  look.ForwardEnabled = !(info.rgstate[5] & STATE_SYSTEM_UNAVAILABLE);
  return true;
}

void TSkinScrollbar::Place(std::unique_ptr<TSkinScrollWindow>& cover, TScrollWindowKind kind, bool on, HWND parent,
                           const RECT& rect, const TScrollBarLook& look) {
  if (cover && !cover->Alive()) cover.reset();
  if (!on) {
    if (cover) cover->Hide();
    return;
  }
  if (!cover) {
    cover = std::make_unique<TSkinScrollWindow>(*Data(), Handle(), kind);
    const LONG_PTR style = GetWindowLongPtrW(Handle(), GWL_STYLE);
    if (!(style & WS_CLIPSIBLINGS)) {
      clipped_ = Handle();
      SetWindowLongPtrW(clipped_, GWL_STYLE, style | WS_CLIPSIBLINGS);
    }
  }
  cover->Show(parent, rect, look);
}

void TSkinScrollbar::DropCovers() {
  vertical_.reset();
  horizontal_.reset();
  corner_.reset();
  if (clipped_ && IsWindow(clipped_)) {
    SetWindowLongPtrW(clipped_, GWL_STYLE,
                      GetWindowLongPtrW(clipped_, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_CLIPSIBLINGS));
    // What lay under the covers is the control's own bars, drawn afresh.
    SetWindowPos(clipped_, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  }
  clipped_ = nullptr;
}

void TSkinScrollbar::AskToBeMadeAgain() {
  auto* windowed = dynamic_cast<TWinControl*>(Control());
  if (detached_ || !Form() || !Form()->Handle() || !windowed || !windowed->HandleAllocated()) return;
  PostMessageW(Form()->Handle(), kSkinRecreateScrollbarMessage, reinterpret_cast<WPARAM>(windowed->Handle()), 0);
}
