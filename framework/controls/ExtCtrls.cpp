#include "framework/controls/ExtCtrls.h"

#include <algorithm>

#include "framework/win32/WindowClass.h"

namespace {
const TEnumNames& BevelCutNames() {
  static const TEnumNames names{{"bvNone", "bvLowered", "bvRaised", "bvSpace"}};
  return names;
}

void DrawBevel(HDC dc, TRect& r, TBevelCut cut, int width) {
  if (cut == TBevelCut::bvNone) return;
  for (int i = 0; i < width; ++i) {
    if (cut != TBevelCut::bvSpace) {
      const COLORREF topLeft = GetSysColor(cut == TBevelCut::bvLowered ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT);
      const COLORREF bottomRight = GetSysColor(cut == TBevelCut::bvLowered ? COLOR_BTNHIGHLIGHT : COLOR_BTNSHADOW);
      UniquePen light(CreatePen(PS_SOLID, 1, topLeft));
      UniquePen dark(CreatePen(PS_SOLID, 1, bottomRight));
      {
        SelectedObject pen(dc, light.get());
        MoveToEx(dc, r.Left, r.Bottom - 1, nullptr);
        LineTo(dc, r.Left, r.Top);
        LineTo(dc, r.Right - 1, r.Top);
      }
      {
        SelectedObject pen(dc, dark.get());
        MoveToEx(dc, r.Right - 1, r.Top, nullptr);
        LineTo(dc, r.Right - 1, r.Bottom - 1);
        LineTo(dc, r.Left - 1, r.Bottom - 1);
      }
    }
    r = {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
  }
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// TPanel

const TClassInfo& TPanel::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TPanel>("TPanel", &TCustomControl::StaticClassInfo())
          .Creatable()
          .Enum("BevelInner", &TPanel::BevelInner, &TPanel::SetBevelInner, BevelCutNames())
          .Enum("BevelOuter", &TPanel::BevelOuter, &TPanel::SetBevelOuter, BevelCutNames())
          .Property("BevelWidth", &TPanel::BevelWidth, &TPanel::SetBevelWidth)
          .Property("BorderWidth", &TPanel::BorderWidth, &TPanel::SetBorderWidth)
          .Enum("BorderStyle", &TPanel::BorderStyle, &TPanel::SetBorderStyle, {{"bsNone", "bsSingle"}})
          .Enum("Alignment", &TPanel::Alignment, &TPanel::SetAlignment, AlignmentNames())
          .Property("ParentBackground", &TPanel::ParentBackground, &TPanel::SetParentBackground);
  return info;
}

TPanel::TPanel(TComponent* owner) : TCustomControl(owner) { SetBounds(0, 0, 185, 41); }

void TPanel::CreateParams(TCreateParams& p) {
  TCustomControl::CreateParams(p);
  if (borderStyle_ == TBorderStyle::bsSingle) p.Style |= WS_BORDER;
}

void TPanel::SetBevelInner(TBevelCut cut) {
  bevelInner_ = cut;
  AlignControls();
  Invalidate();
}

void TPanel::SetBevelOuter(TBevelCut cut) {
  bevelOuter_ = cut;
  AlignControls();
  Invalidate();
}

void TPanel::SetBevelWidth(int width) {
  bevelWidth_ = std::max(width, 1);
  AlignControls();
  Invalidate();
}

void TPanel::SetBorderWidth(int width) {
  borderWidth_ = std::max(width, 0);
  AlignControls();
  Invalidate();
}

void TPanel::SetBorderStyle(TBorderStyle style) {
  if (style == borderStyle_) return;
  borderStyle_ = style;
  RecreateWnd();
}

void TPanel::SetAlignment(TAlignment a) {
  alignment_ = a;
  Invalidate();
}

void TPanel::SetText(const std::string& text) {
  TCustomControl::SetText(text);
  Invalidate();
}

int TPanel::BevelSize() const {
  return (bevelOuter_ != TBevelCut::bvNone ? bevelWidth_ : 0) + (bevelInner_ != TBevelCut::bvNone ? bevelWidth_ : 0) +
         borderWidth_;
}

void TPanel::AdjustClientRect(TRect& rect) const {
  const int b = BevelSize();
  rect = {rect.Left + b, rect.Top + b, rect.Right - b, rect.Bottom - b};
}

void TPanel::Paint() {
  TCanvas& c = *Canvas();
  TRect r = ClientRect();
  DrawBevel(c.Handle(), r, bevelOuter_, bevelWidth_);
  r = {r.Left + borderWidth_, r.Top + borderWidth_, r.Right - borderWidth_, r.Bottom - borderWidth_};
  DrawBevel(c.Handle(), r, bevelInner_, bevelWidth_);
  const std::string text = Caption();
  if (text.empty()) return;
  c.Brush()->SetStyle(TBrushStyle::bsClear);
  UINT flags = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS;
  if (alignment_ == TAlignment::taCenter) flags |= DT_CENTER;
  if (alignment_ == TAlignment::taRightJustify) flags |= DT_RIGHT;
  if (!Enabled()) c.Font()->SetColor(clGrayText);
  c.DrawText(text, r, flags);
}

// ---------------------------------------------------------------------------------------------
// TBevel

const TClassInfo& TBevel::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TBevel>("TBevel", &TGraphicControl::StaticClassInfo())
          .Creatable()
          .Enum("Shape", &TBevel::Shape, &TBevel::SetShape,
                {{"bsBox", "bsFrame", "bsTopLine", "bsBottomLine", "bsLeftLine", "bsRightLine", "bsSpacer"}})
          .Enum("Style", &TBevel::Style, &TBevel::SetStyle, {{"bsLowered", "bsRaised"}});
  return info;
}

TBevel::TBevel(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 50, 50); }

void TBevel::SetShape(TBevelShape shape) {
  shape_ = shape;
  Invalidate();
}

void TBevel::SetStyle(TBevelStyle style) {
  style_ = style;
  Invalidate();
}

void TBevel::Paint() {
  HDC dc = Canvas()->Handle();
  const TColor first = style_ == TBevelStyle::bsLowered ? clBtnShadow : clBtnHighlight;
  const TColor second = style_ == TBevelStyle::bsLowered ? clBtnHighlight : clBtnShadow;
  UniquePen p1(CreatePen(PS_SOLID, 1, ColorToRGB(first)));
  UniquePen p2(CreatePen(PS_SOLID, 1, ColorToRGB(second)));
  const int w = Width(), h = Height();
  auto line = [dc](HPEN pen, int x1, int y1, int x2, int y2) {
    SelectedObject keep(dc, pen);
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
  };
  switch (shape_) {
    case TBevelShape::bsBox:
      line(p1.get(), 0, h - 1, 0, 0);
      line(p1.get(), 0, 0, w - 1, 0);
      line(p2.get(), w - 1, 0, w - 1, h - 1);
      line(p2.get(), w - 1, h - 1, -1, h - 1);
      break;
    case TBevelShape::bsFrame:
      line(p1.get(), 0, 0, w - 1, 0);
      line(p1.get(), 0, 0, 0, h - 1);
      line(p1.get(), w - 2, 1, w - 2, h - 2);
      line(p1.get(), 1, h - 2, w - 1, h - 2);
      line(p2.get(), 1, 1, w - 2, 1);
      line(p2.get(), 1, 1, 1, h - 2);
      line(p2.get(), w - 1, 0, w - 1, h);
      line(p2.get(), 0, h - 1, w, h - 1);
      break;
    case TBevelShape::bsTopLine:
      line(p1.get(), 0, 0, w, 0);
      line(p2.get(), 0, 1, w, 1);
      break;
    case TBevelShape::bsBottomLine:
      line(p1.get(), 0, h - 2, w, h - 2);
      line(p2.get(), 0, h - 1, w, h - 1);
      break;
    case TBevelShape::bsLeftLine:
      line(p1.get(), 0, 0, 0, h);
      line(p2.get(), 1, 0, 1, h);
      break;
    case TBevelShape::bsRightLine:
      line(p1.get(), w - 2, 0, w - 2, h);
      line(p2.get(), w - 1, 0, w - 1, h);
      break;
    case TBevelShape::bsSpacer:
      break;
  }
}

// ---------------------------------------------------------------------------------------------
// TImage

const TClassInfo& TImage::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TImage>("TImage", &TGraphicControl::StaticClassInfo())
                                     .Creatable()
                                     .Object("Picture", &TImage::Picture)
                                     .Property("Stretch", &TImage::Stretch, &TImage::SetStretch)
                                     .Property("Center", &TImage::Center, &TImage::SetCenter)
                                     .Property("Proportional", &TImage::Proportional, &TImage::SetProportional)
                                     .Property("Transparent", &TImage::Transparent, &TImage::SetTransparent)
                                     .Property("AutoSize", &TImage::AutoSize, &TImage::SetAutoSize);
  return info;
}

TImage::TImage(TComponent* owner) : TGraphicControl(owner), picture_(new TPicture) {
  SetBounds(0, 0, 105, 105);
  picture_->OnChange = [this](TObject*) { PictureChanged(); };
}

TImage::~TImage() = default;

void TImage::PictureChanged() {
  if (TGraphic* g = picture_->Graphic(); g && !dynamic_cast<TBitmap*>(g)) g->SetTransparent(transparent_);
  if (autoSize_ && picture_->Width() > 0 && picture_->Height() > 0)
    SetBounds(Left(), Top(), picture_->Width(), picture_->Height());
  Invalidate();
}

void TImage::SetStretch(bool value) {
  stretch_ = value;
  Invalidate();
}

void TImage::SetCenter(bool value) {
  center_ = value;
  Invalidate();
}

void TImage::SetProportional(bool value) {
  proportional_ = value;
  Invalidate();
}

void TImage::SetTransparent(bool value) {
  transparent_ = value;
  if (TGraphic* g = picture_->Graphic()) g->SetTransparent(value);
  Invalidate();
}

void TImage::SetAutoSize(bool value) {
  autoSize_ = value;
  PictureChanged();
}

TRect TImage::DestRect() const {
  const int pw = picture_->Width(), ph = picture_->Height();
  const int cw = Width(), ch = Height();
  int w = pw, h = ph;
  if (stretch_ || (proportional_ && (pw > cw || ph > ch))) {
    if (proportional_ && pw > 0 && ph > 0) {
      if (static_cast<int64_t>(cw) * ph < static_cast<int64_t>(ch) * pw) {
        w = cw;
        h = static_cast<int>(static_cast<int64_t>(ph) * cw / pw);
      } else {
        h = ch;
        w = static_cast<int>(static_cast<int64_t>(pw) * ch / ph);
      }
    } else {
      w = cw;
      h = ch;
    }
  }
  if (center_) return Bounds((cw - w) / 2, (ch - h) / 2, w, h);
  return Bounds(0, 0, w, h);
}

void TImage::Paint() {
  TGraphic* g = picture_->Graphic();
  if (!g || g->Empty()) return;
  Canvas()->StretchDraw(DestRect(), g);
}

// ---------------------------------------------------------------------------------------------
// TTimer

namespace {
constexpr wchar_t kTimerClass[] = L"TTimerWindow";
}

const TClassInfo& TTimer::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TTimer>("TTimer", &TComponent::StaticClassInfo())
                                     .Creatable()
                                     .Property("Enabled", &TTimer::Enabled, &TTimer::SetEnabled)
                                     .Property("Interval", &TTimer::Interval, &TTimer::SetInterval)
                                     .Event("OnTimer", &TTimer::OnTimer);
  return info;
}

TTimer::TTimer(TComponent* owner) : TComponent(owner) {
  RegisterWindowClassOnce(kTimerClass, TimerWndProc);
  // A message-only window: invisible to window enumeration and to the skin hook.
  window_ = CreateWindowExW(0, kTimerClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!window_) throw EOutOfResources("Not enough timers available");
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  UpdateTimer();
}

TTimer::~TTimer() {
  if (running_) KillTimer(window_, 1);
  SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
  DestroyWindow(window_);
}

LRESULT CALLBACK TTimer::TimerWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_TIMER) {
    auto* timer = reinterpret_cast<TTimer*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    // A tick already queued when the timer was disabled is dropped.
    if (timer && timer->running_ && timer->OnTimer) {
      try {
        timer->OnTimer(timer);
      } catch (...) {
        HandleDispatchException(std::current_exception());
      }
    }
    return 0;
  }
  return DefWindowProcW(window, msg, wParam, lParam);
}

void TTimer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  UpdateTimer();
}

void TTimer::SetInterval(int interval) {
  if (interval == interval_) return;
  interval_ = std::max(interval, 0);
  UpdateTimer();
}

void TTimer::Loaded() {
  TComponent::Loaded();
  UpdateTimer();
}

void TTimer::UpdateTimer() {
  if (running_) KillTimer(window_, 1);
  running_ = false;
  if (!enabled_ || interval_ <= 0 || Loading()) return;
  running_ = SetTimer(window_, 1, static_cast<UINT>(interval_), nullptr) != 0;
  if (!running_) throw EOutOfResources("Not enough timers available");
}
