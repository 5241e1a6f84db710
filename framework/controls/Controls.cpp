// The control objects themselves: published properties, the parent/child tree and z-order, bounds,
// visibility, text, font and colour, inherited from the parent where asked.
#include "framework/controls/Controls.h"
#include "framework/controls/MessageHook.h"

#include <algorithm>

#include "framework/controls/Menus.h"
#include "framework/win32/Strings.h"

// ---------------------------------------------------------------------------------------------
// TControl

const TClassInfo& TControl::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TControl>("TControl", &TComponent::StaticClassInfo())
          .Property("Left", &TControl::Left, &TControl::SetLeft)
          .Property("Top", &TControl::Top, &TControl::SetTop)
          .Property("Width", &TControl::Width, &TControl::SetWidth)
          .Property("Height", &TControl::Height, &TControl::SetHeight)
          .Property("Visible", &TControl::Visible, &TControl::SetVisible)
          .Property("Enabled", &TControl::Enabled, &TControl::SetEnabled)
          .Property("Caption", &TControl::Caption, &TControl::SetCaption)
          .Color("Color", &TControl::Color, &TControl::SetColor)
          .Property("ParentColor", &TControl::ParentColor, &TControl::SetParentColor)
          .Object("Font", &TControl::Font)
          .Property("ParentFont", &TControl::ParentFont, &TControl::SetParentFont)
          .Enum("Align", &TControl::Align, &TControl::SetAlign, AlignNames())
          .Custom([] {
            TPropInfo p{"Cursor"};
            static const std::vector<std::pair<const char*, TCursor>> names = {
                {"crDefault", crDefault}, {"crNone", crNone},           {"crArrow", crArrow}, {"crCross", crCross},
                {"crIBeam", crIBeam},     {"crHourGlass", crHourGlass}, {"crNo", crNo},       {"crHandPoint", crHandPoint}};
            p.get = [](const TObject& o) {
              const TCursor c = static_cast<const TControl&>(o).Cursor();
              for (const auto& [n, v] : names)
                if (v == c) return std::string(n);
              return std::to_string(c);
            };
            p.set = [](TObject& o, const std::string& t) {
              for (const auto& [n, v] : names)
                if (SameText(n, t)) return static_cast<TControl&>(o).SetCursor(v);
              static_cast<TControl&>(o).SetCursor(static_cast<TCursor>(IntFromText(t)));
            };
            return p;
          }())
          .Property("Hint", &TControl::Hint, &TControl::SetHint)
          .Property("ShowHint", &TControl::ShowHint, &TControl::SetShowHint)
          .Reference("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu)
          .Event("OnClick", &TControl::OnClick)
          .Event("OnDblClick", &TControl::OnDblClick)
          .Event("OnMouseDown", &TControl::OnMouseDown)
          .Event("OnMouseUp", &TControl::OnMouseUp)
          .Event("OnMouseMove", &TControl::OnMouseMove);
  return info;
}

TControl::TControl(TComponent* owner) : TComponent(owner), font_(new TFont) {
  WindowProc = [this](TMessage& m) { RunMessageHooks(m); };
  font_->OnChange = [this](TObject*) {
    if (!applyingParent_) parentFont_ = false;
    FontChanged();
  };
}

TControl::~TControl() {
  DetachMessageHooks();
  if (parent_) parent_->RemoveControl(this);
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  if (parent == this) throw EInvalidOperation("A control cannot have itself as its parent");
  if (parent_) parent_->RemoveControl(this);
  if (parent) parent->InsertControl(this);
}

void TControl::SetParentComponent(TComponent* parent) {
  auto* windowed = dynamic_cast<TWinControl*>(parent);
  if (!windowed)
    throw EInvalidOperation("Control " + Name() + " cannot be placed on " + (parent ? parent->ClassName() : "nothing"));
  SetParent(windowed);
}

void TControl::SetBounds(int left, int top, int width, int height) {
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  InvalidateControl();
  left_ = left;
  top_ = top;
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  InvalidateControl();
  if (parent_ && align_ != TAlign::alNone) parent_->AlignControls();
}

TPoint TControl::ClientToScreen(TPoint point) const {
  if (!parent_) return point;
  return parent_->ClientToScreen({point.X + left_, point.Y + top_});
}

TPoint TControl::ScreenToClient(TPoint point) const {
  if (!parent_) return point;
  const TPoint p = parent_->ScreenToClient(point);
  return {p.X - left_, p.Y - top_};
}

void TControl::SetVisible(bool visible) {
  if (visible == visible_) return;
  // Only a visible control invalidates its area: a hiding one does it before it stops being
  // visible, or its parent never paints over what it drew.
  if (!visible) InvalidateControl();
  visible_ = visible;
  Perform(CM_VISIBLECHANGED, visible);
  if (visible) InvalidateControl();
  if (parent_ && align_ != TAlign::alNone) parent_->AlignControls();
  // A windowless control that appears under a pointer at rest is hovered at once, and one that
  // goes is left: no mouse move would tell them.
  if (parent_ && !dynamic_cast<TWinControl*>(this)) parent_->RecheckHover();
}

bool TControl::Showing() const { return visible_ && parent_ && parent_->Showing(); }

void TControl::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Perform(CM_ENABLEDCHANGED);
  Invalidate();
}

void TControl::SetText(const std::string& text) {
  if (text == text_) return;
  text_ = text;
  Perform(CM_TEXTCHANGED);
  Invalidate();
}

void TControl::SetColor(TColor color) {
  if (!applyingParent_) parentColor_ = false;
  if (color == color_) return;
  color_ = color;
  ColorChanged();
}

void TControl::SetParentColor(bool parentColor) {
  parentColor_ = parentColor;
  if (parentColor) ApplyParentColor();
}

void TControl::SetParentFont(bool parentFont) {
  parentFont_ = parentFont;
  if (parentFont) ApplyParentFont();
}

void TControl::ApplyParentFont() {
  if (!parent_ || !parentFont_) return;
  applyingParent_ = true;
  try {
    font_->Assign(*parent_->Font());
  } catch (...) {
    applyingParent_ = false;
    throw;
  }
  applyingParent_ = false;
}

void TControl::ApplyParentColor() {
  if (!parent_ || !parentColor_) return;
  applyingParent_ = true;
  SetColor(parent_->Color());
  applyingParent_ = false;
}

void TControl::SetAlign(TAlign align) {
  if (align == align_) return;
  align_ = align;
  if (parent_) parent_->AlignControls();
}

void TControl::SetPopupMenu(TPopupMenu* menu) {
  popupMenu_ = menu;
  if (menu) FreeNotification(menu);
}

void TControl::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == TOperation::opRemove && component == popupMenu_) popupMenu_ = nullptr;
}

void TControl::FontChanged() {
  Perform(CM_FONTCHANGED);
  Invalidate();
}

void TControl::ColorChanged() {
  Perform(CM_COLORCHANGED);
  Invalidate();
}

void TControl::ScaleForPPI(int dpi) {
  if (dpi > 0 && dpi != pixelsPerInch_) ChangeScale(dpi, pixelsPerInch_);
}

void TControl::ChangeScale(int toDpi, int fromDpi) {
  pixelsPerInch_ = toDpi;
  // The bounds first: a control that sizes itself to its text does so again with the new font.
  ScaleBounds(toDpi, fromDpi);
  ScaleFont(toDpi, fromDpi);
}

void TControl::ScaleBounds(int toDpi, int fromDpi) {
  // An aligned control keeps only its size across the aligned axis; the parent gives the rest.
  const bool keepsWidth = align_ == TAlign::alLeft || align_ == TAlign::alRight;
  const bool keepsHeight = align_ == TAlign::alTop || align_ == TAlign::alBottom;
  const auto lengths = [&] {
    return std::array{left_, top_, keepsWidth ? width_ : left_ + width_, keepsHeight ? height_ : top_ + height_};
  };
  const std::array now = lengths();
  std::array<int, 4> to{};
  for (size_t i = 0; i < to.size(); ++i) to[i] = scaledBounds_[i].Rescale(now[i], fromDpi, toDpi);
  SetBounds(to[0], to[1], keepsWidth ? to[2] : to[2] - to[0], keepsHeight ? to[3] : to[3] - to[1]);
  const std::array applied = lengths();
  for (size_t i = 0; i < applied.size(); ++i) scaledBounds_[i].Took(applied[i]);
}

void TControl::ScaleFont(int toDpi, int fromDpi) {
  // A font taken from the parent comes scaled with it.
  if (parentFont_ && parent_) return;
  const bool parentFont = parentFont_;
  font_->SetPixelsPerInch(toDpi);
  font_->SetHeight(scaledFontHeight_.Rescale(font_->Height(), fromDpi, toDpi));
  parentFont_ = parentFont;
}

void TControl::BringToFront() {
  if (parent_) parent_->SetChildOrder(this, parent_->ControlCount() - 1);
}

void TControl::SendToBack() {
  if (parent_) parent_->SetChildOrder(this, 0);
}

// ---------------------------------------------------------------------------------------------
// TWinControl

const TClassInfo& TWinControl::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TWinControl>("TWinControl", &TControl::StaticClassInfo())
                                     .Property("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop)
                                     .Property("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder)
                                     .Property("DoubleBuffered", &TWinControl::DoubleBuffered, &TWinControl::SetDoubleBuffered)
                                     .Event("OnKeyDown", &TWinControl::OnKeyDown)
                                     .Event("OnKeyUp", &TWinControl::OnKeyUp)
                                     .Event("OnKeyPress", &TWinControl::OnKeyPress)
                                     .Event("OnEnter", &TWinControl::OnEnter)
                                     .Event("OnExit", &TWinControl::OnExit);
  return info;
}

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
  for (TControl* c : controls_) c->parent_ = nullptr;
  controls_.clear();
  DestroyHandle();
}

void TWinControl::InsertControl(TControl* control) {
  controls_.push_back(control);
  control->parent_ = this;
  control->ScaleForPPI(pixelsPerInch_);
  control->ApplyParentFont();
  control->ApplyParentColor();
  if (auto* w = dynamic_cast<TWinControl*>(control); w && handle_ && !DefersChildWindows()) w->HandleNeeded();
  if (control->Align() != TAlign::alNone) AlignControls();
  control->InvalidateControl();
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(control), 1);
}

void TWinControl::RemoveControl(TControl* control) {
  auto it = std::find(controls_.begin(), controls_.end(), control);
  if (it == controls_.end()) return;
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(control), 0);
  it = std::find(controls_.begin(), controls_.end(), control);
  if (it == controls_.end()) return;
  control->InvalidateControl();
  if (auto* w = dynamic_cast<TWinControl*>(control)) w->DestroyHandle();
  controls_.erase(it);
  control->parent_ = nullptr;
  if (captureControl_ == control) {
    captureControl_ = nullptr;
    if (handle_ && GetCapture() == handle_) ReleaseCapture();
  }
  if (hoverControl_ == control) hoverControl_ = nullptr;
  if (control->Align() != TAlign::alNone) AlignControls();
}

void TWinControl::SetChildOrder(TControl* control, int order) {
  auto it = std::find(controls_.begin(), controls_.end(), control);
  if (it == controls_.end()) return;
  controls_.erase(it);
  order = std::clamp(order, 0, static_cast<int>(controls_.size()));
  controls_.insert(controls_.begin() + order, control);
  if (auto* w = dynamic_cast<TWinControl*>(control); w && w->handle_) {
    // Windows keep the topmost sibling first; our list keeps it last.
    SetWindowPos(w->handle_, order == static_cast<int>(controls_.size()) - 1 ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  control->InvalidateControl();
}

TPoint TWinControl::ClientToScreen(TPoint point) const {
  if (!handle_) return TControl::ClientToScreen(point);
  POINT p{point.X, point.Y};
  ::ClientToScreen(handle_, &p);
  return {p.x, p.y};
}

TPoint TWinControl::ScreenToClient(TPoint point) const {
  if (!handle_) return TControl::ScreenToClient(point);
  POINT p{point.X, point.Y};
  ::ScreenToClient(handle_, &p);
  return {p.x, p.y};
}

void TWinControl::SetParentBackground(bool value) {
  if (value == parentBackground_) return;
  parentBackground_ = value;
  Invalidate();
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
  if (!handle_) {
    // No window to tell of its new size: the aligned children follow it here.
    const bool resized = width != width_ || height != height_;
    TControl::SetBounds(left, top, width, height);
    if (resized) AlignControls();
    return;
  }
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  left_ = left;
  top_ = top;
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  SetWindowPos(handle_, nullptr, left_, top_, width_, height_, SWP_NOZORDER | SWP_NOACTIVATE);
  if (Parent() && Align() != TAlign::alNone) Parent()->AlignControls();
}

TRect TWinControl::ClientRect() const {
  if (!handle_) return {0, 0, width_, height_};
  RECT r{};
  GetClientRect(handle_, &r);
  return {r.left, r.top, r.right, r.bottom};
}

void TWinControl::SetVisible(bool visible) {
  if (visible == Visible()) return;
  TControl::SetVisible(visible);
  if (handle_) ShowWindow(handle_, visible ? SW_SHOWNOACTIVATE : SW_HIDE);
}

void TWinControl::SetEnabled(bool enabled) {
  if (enabled == Enabled()) return;
  // The flag first: the window's WM_ENABLE turns a window off again while its control is disabled.
  TControl::SetEnabled(enabled);
  if (handle_) EnableWindow(handle_, enabled);
}

std::string TWinControl::GetText() const {
  if (!handle_) return TControl::GetText();
  const int n = GetWindowTextLengthW(handle_);
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  const int got = GetWindowTextW(handle_, text.data(), n + 1);
  text.resize(static_cast<size_t>(std::max(got, 0)));
  return WideToUtf8(text);
}

void TWinControl::SetText(const std::string& text) {
  if (handle_) {
    if (GetText() == text) return;
    SetWindowTextW(handle_, Utf8ToWide(text).c_str());
  }
  TControl::SetText(text);
}

void TWinControl::FontChanged() {
  if (handle_) SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), TRUE);
  TControl::FontChanged();
  for (TControl* c : std::vector<TControl*>(controls_)) c->ApplyParentFont();
}

void TWinControl::ColorChanged() {
  colorBrush_.reset();
  TControl::ColorChanged();
  for (TControl* c : std::vector<TControl*>(controls_)) c->ApplyParentColor();
}

void TWinControl::ChangeScale(int toDpi, int fromDpi) {
  ScaleChildren(toDpi, fromDpi);
  TControl::ChangeScale(toDpi, fromDpi);
  AlignControls();
}

void TWinControl::ScaleChildren(int toDpi, int fromDpi) {
  for (TControl* c : std::vector<TControl*>(controls_))
    if (c->pixelsPerInch_ == fromDpi) c->ChangeScale(toDpi, fromDpi);
}

void TWinControl::Loaded() {
  TControl::Loaded();
  AlignControls();
}

// ---------------------------------------------------------------------------------------------
// TGraphicControl, TCustomControl

const TClassInfo& TGraphicControl::StaticClassInfo() {
  static const TClassInfo info("TGraphicControl", &TControl::StaticClassInfo());
  return info;
}

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner), canvas_(new TCanvas) {}

TGraphicControl::~TGraphicControl() = default;

const TClassInfo& TCustomControl::StaticClassInfo() {
  static const TClassInfo info("TCustomControl", &TWinControl::StaticClassInfo());
  return info;
}

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner), canvas_(new TCanvas) {}

TCustomControl::~TCustomControl() { DestroyHandle(); }
