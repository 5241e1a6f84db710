#include "framework/controls/Controls.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <map>

#include "framework/controls/Application.h"
#include "framework/controls/Forms.h"
#include "framework/controls/Menus.h"
#include "framework/win32/Strings.h"
#include "framework/win32/WindowClass.h"

LRESULT CALLBACK BrevinWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

namespace {

constexpr wchar_t kControlProp[] = L"BrevinControl";

// The control whose window is being created: its first message attaches it.
thread_local TWinControl* creatingControl = nullptr;

struct WindowClass {
  WNDPROC original = DefWindowProcW;
  bool system = false;
};

std::map<std::wstring, WindowClass>& ClassesByName() {
  static std::map<std::wstring, WindowClass> classes;
  return classes;
}
std::map<ATOM, WNDPROC>& ProcsByAtom() {
  static std::map<ATOM, WNDPROC> procs;
  return procs;
}

std::wstring Lower(std::wstring s) {
  for (wchar_t& c : s) c = static_cast<wchar_t>(towlower(c));
  return s;
}

// The class of a control's window, registered when the first window of it is created.
const WindowClass& ControlWindowClass(const TCreateParams& p) {
  const std::wstring key = Lower(p.WinClassName);
  auto it = ClassesByName().find(key);
  if (it != ClassesByName().end()) return it->second;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  WindowClass entry;
  if (!p.SystemClassName.empty()) {
    if (!GetClassInfoExW(nullptr, p.SystemClassName.c_str(), &wc)) {
      // The common controls' classes exist once the library has been initialised.
      INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_TAB_CLASSES | ICC_UPDOWN_CLASS};
      InitCommonControlsEx(&icc);
      wc = WNDCLASSEXW{};
      wc.cbSize = sizeof wc;
      if (!GetClassInfoExW(nullptr, p.SystemClassName.c_str(), &wc))
        throw EOutOfResources("Window class " + WideToUtf8(p.SystemClassName) + " is not available");
    }
    entry.original = wc.lpfnWndProc;
    entry.system = true;
    wc.style &= ~static_cast<UINT>(CS_GLOBALCLASS);
  } else {
    wc.style = p.ClassStyle;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = nullptr;
  }
  wc.lpszClassName = p.WinClassName.c_str();
  wc.lpfnWndProc = BrevinWndProc;
  ProcsByAtom()[RegisterWindowClass(wc)] = entry.original;
  return ClassesByName()[key] = entry;
}

WNDPROC OriginalProc(HWND window) {
  const ATOM atom = static_cast<ATOM>(GetClassLongPtrW(window, GCW_ATOM));
  auto it = ProcsByAtom().find(atom);
  return it == ProcsByAtom().end() ? DefWindowProcW : it->second;
}

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

void AttachWindow(TWinControl* control, HWND window) {
  SetPropW(window, kControlProp, control);
  control->handle_ = window;
  control->defWndProc_ = OriginalProc(window);
}

LRESULT CALLBACK BrevinWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* control = static_cast<TWinControl*>(GetPropW(window, kControlProp));
  if (!control && creatingControl) {
    control = std::exchange(creatingControl, nullptr);
    AttachWindow(control, window);
  }
  if (!control) return CallWindowProcW(OriginalProc(window), window, msg, wParam, lParam);
  TMessage m{msg, wParam, lParam, 0};
  try {
    control->WindowProc(m);
  } catch (...) {
    // An error in a handler ends that handler; the program carries on.
    HandleDispatchException(std::current_exception());
  }
  if (msg == WM_NCDESTROY) {
    RemovePropW(window, kControlProp);
    if (control->handle_ == window) control->handle_ = nullptr;
  }
  return m.Result;
}

TWinControl* FindControl(HWND window) {
  return window ? static_cast<TWinControl*>(GetPropW(window, kControlProp)) : nullptr;
}

TCustomForm* GetParentForm(TControl* control) {
  while (control && control->Parent()) control = control->Parent();
  return dynamic_cast<TCustomForm*>(control);
}

TShiftState KeyboardShiftState() {
  TShiftState s = 0;
  if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
  if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
  if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
  return s;
}

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

const TEnumNames& AlignNames() {
  static const TEnumNames names{{"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"}};
  return names;
}

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
  WindowProc = [this](TMessage& m) { WndProc(m); };
  font_->OnChange = [this](TObject*) {
    if (!applyingParent_) parentFont_ = false;
    FontChanged();
  };
}

TControl::~TControl() {
  if (parent_) parent_->RemoveControl(this);
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
  TMessage m{msg, wParam, lParam, 0};
  WindowProc(m);
  return m.Result;
}

void TControl::WndProc(TMessage& m) {
  const int x = GET_X_LPARAM(m.LParam);
  const int y = GET_Y_LPARAM(m.LParam);
  switch (m.Msg) {
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
        return;
      }
      break;
    default:
      break;
  }
  DefaultHandler(m);
}

void TControl::DefaultHandler(TMessage&) {}

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
  visible_ = visible;
  Perform(CM_VISIBLECHANGED, visible);
  InvalidateControl();
  if (parent_ && align_ != TAlign::alNone) parent_->AlignControls();
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

void TControl::FontChanged() {
  Perform(CM_FONTCHANGED);
  Invalidate();
}

void TControl::ColorChanged() {
  Perform(CM_COLORCHANGED);
  Invalidate();
}

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

HWND TWinControl::Handle() {
  if (!handle_) CreateWnd();
  return handle_;
}

void TWinControl::CreateParams(TCreateParams& p) {
  p.Caption = Utf8ToWide(Caption());
  p.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (Visible()) p.Style |= WS_VISIBLE;
  if (!Enabled()) p.Style |= WS_DISABLED;
  if (tabStop_) p.Style |= WS_TABSTOP;
  p.X = left_;
  p.Y = top_;
  p.Width = width_;
  p.Height = height_;
  if (!Parent()) throw EInvalidOperation("Control '" + Name() + "' has no parent window");
  p.WndParent = Parent()->Handle();
  p.WinClassName = Utf8ToWide(ClassName());
}

void TWinControl::CreateWnd() {
  TCreateParams p;
  CreateParams(p);
  if (p.SystemClassName.empty()) p.Style |= WS_CLIPCHILDREN;
  const WindowClass& wc = ControlWindowClass(p);
  systemClass_ = wc.system;
  defWndProc_ = wc.original;
  // A window-creation hook may create windows of its own before ours gets its first message;
  // each creation keeps its own control and puts the outer one back.
  TWinControl* outer = std::exchange(creatingControl, this);
  HWND window = CreateWindowExW(p.ExStyle, p.WinClassName.c_str(), p.Caption.c_str(), p.Style, p.X, p.Y, p.Width,
                                p.Height, p.WndParent, reinterpret_cast<HMENU>(p.Id), GetModuleHandleW(nullptr), nullptr);
  creatingControl = outer;
  if (!window) throw EOutOfResources("Error creating window: " + SystemErrorMessage(GetLastError()));
  if (!handle_) AttachWindow(this, window);
  // Windows puts a new child under its elder siblings; a layout means the later control in front.
  if (p.Style & WS_CHILD) SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), FALSE);
  CreateWindowHandleDone();
  for (TControl* c : std::vector<TControl*>(controls_))
    if (auto* w = dynamic_cast<TWinControl*>(c)) w->HandleNeeded();
  UpdateBoundsFromWindow();
  AlignControls();
}

void TWinControl::DestroyWnd() {
  if (!handle_) return;
  HWND window = handle_;
  text_ = GetText();
  DestroyWindow(window);
  // A window whose destruction did not reach us (foreign parent already gone) is let go here.
  if (handle_ == window) {
    RemovePropW(window, kControlProp);
    handle_ = nullptr;
  }
}

void TWinControl::DestroyHandle() {
  DestroyWnd();
  captureControl_ = nullptr;
  hoverControl_ = nullptr;
  trackingLeave_ = false;
}

void TWinControl::RecreateWnd() {
  if (!handle_) return;
  DestroyHandle();
  HandleNeeded();
}

void TWinControl::InsertControl(TControl* control) {
  controls_.push_back(control);
  control->parent_ = this;
  control->ApplyParentFont();
  control->ApplyParentColor();
  if (auto* w = dynamic_cast<TWinControl*>(control); w && handle_) w->HandleNeeded();
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

TControl* TWinControl::ControlAtPos(TPoint point, bool allowDisabled) const {
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    TControl* c = *it;
    if (dynamic_cast<TWinControl*>(c) || !c->Visible() || (!c->Enabled() && !allowDisabled)) continue;
    if (c->BoundsRect().Contains(point)) return c;
  }
  return nullptr;
}

void TWinControl::Broadcast(TMessage& message) {
  for (TControl* c : std::vector<TControl*>(controls_)) {
    c->WindowProc(message);
    if (auto* w = dynamic_cast<TWinControl*>(c)) w->Broadcast(message);
  }
}

bool TWinControl::Focused() const { return handle_ && GetFocus() == handle_; }

bool TWinControl::CanFocus() const {
  for (const TControl* c = this; c; c = c->Parent())
    if (!c->Visible() || !c->Enabled()) return false;
  return true;
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

void TWinControl::SetFocus() {
  if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
  ::SetFocus(Handle());
}

void TWinControl::SetParentBackground(bool value) {
  if (value == parentBackground_) return;
  parentBackground_ = value;
  Invalidate();
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
  if (!handle_) return TControl::SetBounds(left, top, width, height);
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
  if (handle_) EnableWindow(handle_, enabled);
  TControl::SetEnabled(enabled);
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

void TWinControl::Invalidate() {
  if (handle_) InvalidateRect(handle_, nullptr, TRUE);
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

void TWinControl::Loaded() {
  TControl::Loaded();
  AlignControls();
}

HBRUSH TWinControl::ColorBrush() {
  if (!colorBrush_ || colorBrushColor_ != Color()) {
    colorBrush_.reset(CreateSolidBrush(ColorToRGB(Color())));
    colorBrushColor_ = Color();
  }
  return colorBrush_.get();
}

void TWinControl::AlignControls() {
  if (aligning_) return;
  aligning_ = true;
  TRect r = ClientRect();
  AdjustClientRect(r);
  auto place = [&](TAlign align) {
    std::vector<TControl*> list;
    for (TControl* c : controls_)
      if (c->Align() == align && c->Visible()) list.push_back(c);
    std::stable_sort(list.begin(), list.end(), [align](TControl* a, TControl* b) {
      switch (align) {
        case TAlign::alTop: return a->Top() < b->Top();
        case TAlign::alBottom: return a->Top() + a->Height() > b->Top() + b->Height();
        case TAlign::alLeft: return a->Left() < b->Left();
        case TAlign::alRight: return a->Left() + a->Width() > b->Left() + b->Width();
        default: return false;
      }
    });
    for (TControl* c : list) {
      switch (align) {
        case TAlign::alTop:
          c->SetBounds(r.Left, r.Top, r.Width(), c->Height());
          r.Top += c->Height();
          break;
        case TAlign::alBottom:
          c->SetBounds(r.Left, r.Bottom - c->Height(), r.Width(), c->Height());
          r.Bottom -= c->Height();
          break;
        case TAlign::alLeft:
          c->SetBounds(r.Left, r.Top, c->Width(), r.Height());
          r.Left += c->Width();
          break;
        case TAlign::alRight:
          c->SetBounds(r.Right - c->Width(), r.Top, c->Width(), r.Height());
          r.Right -= c->Width();
          break;
        case TAlign::alClient:
          c->SetBounds(r.Left, r.Top, std::max(r.Width(), 0), std::max(r.Height(), 0));
          break;
        case TAlign::alNone:
          break;
      }
    }
  };
  for (TAlign a : {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient}) place(a);
  aligning_ = false;
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

void TWinControl::ReflectToChild(TMessage& m, HWND child, UINT reflected) {
  TWinControl* c = FindControl(child);
  if (c && c != this) {
    m.Result = c->Perform(reflected, m.WParam, m.LParam);
  } else {
    DefaultHandler(m);
  }
}

// The form sees the key first when it previews keys; a handler that zeroes it swallows it.
bool TWinControl::DispatchKey(TMessage& m, TKeyEvent TWinControl::*event) {
  uint16_t key = static_cast<uint16_t>(m.WParam);
  const TShiftState shift = KeyboardShiftState();
  TCustomForm* form = GetParentForm(this);
  if (form && form != this && form->KeyPreview() && form->*event) {
    (form->*event)(form, key, shift);
    if (key == 0) return true;
  }
  if (this->*event) {
    (this->*event)(this, key, shift);
    if (key == 0) return true;
  }
  m.WParam = key;
  return false;
}

bool TWinControl::DoKeyDown(TMessage& m) { return DispatchKey(m, &TWinControl::OnKeyDown); }

bool TWinControl::DoKeyUp(TMessage& m) { return DispatchKey(m, &TWinControl::OnKeyUp); }

bool TWinControl::DoKeyPress(TMessage& m) {
  char16_t key = static_cast<char16_t>(m.WParam);
  TCustomForm* form = GetParentForm(this);
  if (form && form != this && form->KeyPreview() && form->OnKeyPress) {
    form->OnKeyPress(form, key);
    if (key == 0) return true;
  }
  if (OnKeyPress) {
    OnKeyPress(this, key);
    if (key == 0) return true;
  }
  m.WParam = key;
  return false;
}

void TWinControl::UpdateBoundsFromWindow() {
  if (!handle_) return;
  RECT r{};
  GetWindowRect(handle_, &r);
  if (GetWindowLongPtrW(handle_, GWL_STYLE) & WS_CHILD) {
    HWND parent = GetParent(handle_);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  }
  const bool resized = r.right - r.left != width_ || r.bottom - r.top != height_;
  left_ = r.left;
  top_ = r.top;
  width_ = r.right - r.left;
  height_ = r.bottom - r.top;
  if (resized) Resize();
}

void TWinControl::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_PAINT:
      if (!systemClass_) return PaintHandler(m);
      break;
    case WM_ERASEBKGND:
      if (!systemClass_) {
        if (!doubleBuffered_) EraseBackground(reinterpret_cast<HDC>(m.WParam));
        m.Result = 1;
        return;
      }
      break;
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
    case CN_CTLCOLORBTN:
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORSTATIC:
    case CN_CTLCOLORLISTBOX: {
      HDC dc = reinterpret_cast<HDC>(m.WParam);
      SetTextColor(dc, ColorToRGB(Font()->Color()));
      SetBkColor(dc, ColorToRGB(Color()));
      m.Result = reinterpret_cast<LRESULT>(ColorBrush());
      return;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      // A swallowed key leaves no character behind either (no Alt+letter press, no typing).
      auto dropCharacters = [this] {
        MSG pending;
        while (PeekMessageW(&pending, handle_, WM_CHAR, WM_DEADCHAR, PM_REMOVE)) {
        }
        while (PeekMessageW(&pending, handle_, WM_SYSCHAR, WM_SYSDEADCHAR, PM_REMOVE)) {
        }
      };
      if (DoKeyDown(m)) return dropCharacters();
      // Tab and Shift+Tab move the focus through the form's tab stops.
      const TShiftState shift = KeyboardShiftState();
      if (m.Msg == WM_KEYDOWN && m.WParam == VK_TAB && !(shift & (ssCtrl | ssAlt))) {
        if (TCustomForm* form = GetParentForm(this); form && form->SelectNext(this, !(shift & ssShift))) {
          dropCharacters();
          return;
        }
      }
      break;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP:
      if (DoKeyUp(m)) return;
      break;
    case WM_CHAR:
      if (DoKeyPress(m)) return;
      break;
    case WM_SYSCHAR:
      // Alt+letter presses the button whose caption marks that letter with "&".
      if (TCustomForm* form = GetParentForm(this); form && form->DialogChar(static_cast<wchar_t>(m.WParam))) {
        m.Result = 0;
        return;
      }
      break;
    case WM_SETFOCUS:
      if (TCustomForm* form = GetParentForm(this)) form->FocusChanged(this);
      if (OnEnter) OnEnter(this);
      break;
    case WM_KILLFOCUS:
      if (OnExit) OnExit(this);
      break;
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
          return;
        }
      }
      break;
    case WM_MOUSELEAVE:
      trackingLeave_ = false;
      UpdateHover(nullptr);
      break;
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
      if (IsMouseMessage(m.Msg) && !systemClass_) {
        if (RouteMouseToChild(m)) return;
      } else if (m.Msg == WM_MOUSEMOVE) {
        UpdateHover(this);
      }
      break;
  }
  TControl::WndProc(m);
}

void TWinControl::DefaultHandler(TMessage& m) {
  if (!handle_ || (m.Msg >= CM_BASE && m.Msg < 0xC000)) return;
  m.Result = CallWindowProcW(defWndProc_, handle_, m.Msg, m.WParam, m.LParam);
}

// ---------------------------------------------------------------------------------------------
// TGraphicControl, TCustomControl

const TClassInfo& TGraphicControl::StaticClassInfo() {
  static const TClassInfo info("TGraphicControl", &TControl::StaticClassInfo());
  return info;
}

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner), canvas_(new TCanvas) {}
TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::WndProc(TMessage& m) {
  if (m.Msg == WM_PAINT) {
    HDC dc = reinterpret_cast<HDC>(m.WParam);
    if (!dc) return;
    canvas_->SetHandle(dc);
    canvas_->Font()->Assign(*Font());
    try {
      Paint();
    } catch (...) {
      canvas_->SetHandle(nullptr);
      throw;
    }
    canvas_->SetHandle(nullptr);
    return;
  }
  TControl::WndProc(m);
}

const TClassInfo& TCustomControl::StaticClassInfo() {
  static const TClassInfo info("TCustomControl", &TWinControl::StaticClassInfo());
  return info;
}

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner), canvas_(new TCanvas) {}
TCustomControl::~TCustomControl() { DestroyHandle(); }

void TCustomControl::PaintWindow(HDC dc) {
  canvas_->SetHandle(dc);
  canvas_->Font()->Assign(*Font());
  try {
    Paint();
  } catch (...) {
    canvas_->SetHandle(nullptr);
    throw;
  }
  canvas_->SetHandle(nullptr);
}
