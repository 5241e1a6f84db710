#include "framework/controls/Forms.h"

#include <algorithm>
#include <utility>

#include "framework/controls/Buttons.h"
#include "framework/controls/LayoutReader.h"
#include "framework/controls/MainMenu.h"
#include "framework/controls/Register.h"
#include "framework/controls/StdCtrls.h"
#include "framework/win32/Dpi.h"
#include "framework/win32/Strings.h"

namespace {

TFormHost* formHost = nullptr;

bool IsMainForm(const TCustomForm* form) { return formHost && formHost->MainForm() == form; }

struct DisabledWindows {
  HWND except;
  std::vector<HWND> windows;
};

BOOL CALLBACK DisableWindow(HWND window, LPARAM param) {
  auto* list = reinterpret_cast<DisabledWindows*>(param);
  if (window != list->except && IsWindowVisible(window) && IsWindowEnabled(window)) {
    list->windows.push_back(window);
    EnableWindow(window, FALSE);
  }
  return TRUE;
}

// Nothing of a shown window is drawn while it lives (its controls move, it takes another place);
// then the whole window is drawn once.
class HeldRedraw {
public:
  explicit HeldRedraw(HWND window) : window_(IsWindowVisible(window) ? window : nullptr) {
    if (window_) SendMessageW(window_, WM_SETREDRAW, FALSE, 0);
  }
  ~HeldRedraw() {
    if (!window_) return;
    SendMessageW(window_, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  }
  HeldRedraw(const HeldRedraw&) = delete;
  HeldRedraw& operator=(const HeldRedraw&) = delete;

private:
  HWND window_;
};

}  // namespace

TScreen* Screen = new TScreen;

TFormHost* FormHost() { return formHost; }

void SetFormHost(TFormHost* host) {
  formHost = host;
  SetControlHost(host);
}

TCustomForm* GetParentForm(TControl* control) {
  while (control && control->Parent()) control = control->Parent();
  return dynamic_cast<TCustomForm*>(control);
}

TCustomForm* FindForm(HWND window) {
  auto* form = dynamic_cast<TCustomForm*>(FindControl(window));
  return form && Screen && Screen->Contains(form) ? form : nullptr;
}

TCustomForm* FindParentForm(HWND window) {
  for (HWND w = window; w; w = (GetWindowLongPtrW(w, GWL_STYLE) & WS_CHILD) ? GetParent(w) : nullptr) {
    if (TWinControl* control = FindControl(w)) return GetParentForm(control);
  }
  return nullptr;
}

int TScreen::Width() const { return GetSystemMetrics(SM_CXSCREEN); }
int TScreen::Height() const { return GetSystemMetrics(SM_CYSCREEN); }

TRect TScreen::WorkAreaRect() const {
  RECT r{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
  return {r.left, r.top, r.right, r.bottom};
}

int TScreen::PixelsPerInch() const { return SystemDpi(); }

void TScreen::SetCursor(TCursor cursor) {
  cursor_ = cursor;
  if (cursor != crDefault) ::SetCursor(LoadCursorW(nullptr, cursor == crHourGlass ? IDC_WAIT : IDC_ARROW));
}

const TClassInfo& TCustomForm::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TCustomForm>("TCustomForm", &TWinControl::StaticClassInfo())
          .Enum("BorderStyle", &TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle,
                {{"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"}})
          .Set("BorderIcons", &TCustomForm::BorderIcons, &TCustomForm::SetBorderIcons,
               {{"biSystemMenu", "biMinimize", "biMaximize", "biHelp"}})
          .Enum("FormStyle", &TCustomForm::FormStyle, &TCustomForm::SetFormStyle,
                {{"fsNormal", "fsMDIChild", "fsMDIForm", "fsStayOnTop"}})
          .Enum("Position", &TCustomForm::Position, &TCustomForm::SetPosition,
                {{"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly", "poScreenCenter",
                  "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter"}})
          .Enum("WindowState", &TCustomForm::WindowState, &TCustomForm::SetWindowState,
                {{"wsNormal", "wsMinimized", "wsMaximized"}})
          .Property("AlphaBlend", &TCustomForm::AlphaBlend, &TCustomForm::SetAlphaBlend)
          .Property("AlphaBlendValue", &TCustomForm::AlphaBlendValue, &TCustomForm::SetAlphaBlendValue)
          .Property("KeyPreview", &TCustomForm::KeyPreview, &TCustomForm::SetKeyPreview)
          .Property("ClientWidth", &TCustomForm::ClientWidth, &TCustomForm::SetClientWidth)
          .Property("ClientHeight", &TCustomForm::ClientHeight, &TCustomForm::SetClientHeight)
          .Object("Icon", &TCustomForm::Icon)
          .Reference("ActiveControl", &TCustomForm::ActiveControl, &TCustomForm::SetActiveControl)
          .Reference("Menu", &TCustomForm::Menu, &TCustomForm::SetMenu)
          .Event("OnCreate", &TCustomForm::OnCreate)
          .Event("OnDestroy", &TCustomForm::OnDestroy)
          .Event("OnShow", &TCustomForm::OnShow)
          .Event("OnHide", &TCustomForm::OnHide)
          .Event("OnClose", &TCustomForm::OnClose)
          .Event("OnCloseQuery", &TCustomForm::OnCloseQuery)
          .Event("OnActivate", &TCustomForm::OnActivate)
          .Event("OnDeactivate", &TCustomForm::OnDeactivate)
          .Event("OnPaint", &TCustomForm::OnPaint)
          .Event("OnResize", &TCustomForm::OnResize);
  return info;
}

const TClassInfo& TForm::StaticClassInfo() {
  static const TClassInfo info("TForm", &TCustomForm::StaticClassInfo());
  return info;
}

TCustomForm::TCustomForm(TComponent* owner)
    : TWinControl(owner), canvas_(new TCanvas), icon_(new TIcon) {
  SetVisibleFlagQuietly(false);
  SetBounds(0, 0, 320, 240);
  icon_->OnChange = [this](TObject*) { ApplyIcon(); };
  Screen->forms_.push_back(this);
}

TCustomForm::~TCustomForm() {
  if (OnDestroy) {
    try {
      OnDestroy(this);
    } catch (...) {
      HandleDispatchException(std::current_exception());
    }
  }
  std::erase(Screen->forms_, this);
  if (Screen->activeForm_ == this) Screen->activeForm_ = nullptr;
  if (IsMainForm(this)) formHost->ForgetMainForm();
  DestroyHandle();
  // The menu may outlive the form (its components go after it).
  if (menu_) menu_->SetForm(nullptr);
}

void TCustomForm::InitializeForm() { InitializeForm(LayoutResource(ClassName())); }

void TCustomForm::InitializeForm(std::string_view layoutText) {
  // A program that skipped Application->Initialize still finds the standard classes.
  static const bool registered = (RegisterStandardClasses(), true);
  (void)registered;
  ReadLayout(*this, layoutText, handlers_);
  // Layouts are written at 96 DPI: everything is scaled to the monitor before anyone looks.
  ScaleForPPI(FirstShowDpi());
  for (const auto& [name, bind] : binds_) {
    TComponent* c = FindComponent(name);
    if (!c) throw EInvalidOperation("Component " + name + " not found in the layout of " + ClassName());
    bind(c);
  }
  if (OnCreate) OnCreate(this);
}

void TCustomForm::CreateParams(TCreateParams& p) {
  p.Caption = Utf8ToWide(Caption());
  p.Style = WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  p.ExStyle = 0;
  switch (borderStyle_) {
    case TFormBorderStyle::bsNone:
      p.Style |= WS_POPUP;
      break;
    case TFormBorderStyle::bsSingle:
    case TFormBorderStyle::bsToolWindow:
      p.Style |= WS_CAPTION;
      break;
    case TFormBorderStyle::bsSizeable:
    case TFormBorderStyle::bsSizeToolWin:
      p.Style |= WS_CAPTION | WS_THICKFRAME;
      break;
    case TFormBorderStyle::bsDialog:
      p.Style |= WS_POPUP | WS_CAPTION;
      p.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
      break;
  }
  if (borderStyle_ == TFormBorderStyle::bsToolWindow || borderStyle_ == TFormBorderStyle::bsSizeToolWin)
    p.ExStyle |= WS_EX_TOOLWINDOW;
  if (borderStyle_ != TFormBorderStyle::bsNone) {
    if (borderIcons_ & biSystemMenu) p.Style |= WS_SYSMENU;
    const bool dialogLike = borderStyle_ == TFormBorderStyle::bsDialog || borderStyle_ == TFormBorderStyle::bsToolWindow ||
                            borderStyle_ == TFormBorderStyle::bsSizeToolWin;
    if (!dialogLike && (borderIcons_ & biMinimize)) p.Style |= WS_MINIMIZEBOX;
    if (!dialogLike && (borderIcons_ & biMaximize)) p.Style |= WS_MAXIMIZEBOX;
  }
  if (!Enabled()) p.Style |= WS_DISABLED;
  if (formStyle_ == TFormStyle::fsStayOnTop) p.ExStyle |= WS_EX_TOPMOST;
  if (alphaBlend_) p.ExStyle |= WS_EX_LAYERED;
  int width = width_, height = height_;
  if (pendingClientWidth_ >= 0 || pendingClientHeight_ >= 0) {
    RECT r{0, 0, 0, 0};
    AdjustWindowRectEx(&r, p.Style, menu_ ? TRUE : FALSE, p.ExStyle);
    if (pendingClientWidth_ >= 0) width = pendingClientWidth_ + (r.right - r.left);
    if (pendingClientHeight_ >= 0) height = pendingClientHeight_ + (r.bottom - r.top);
  }
  p.X = left_;
  p.Y = top_;
  p.Width = width;
  p.Height = height;
  p.WndParent = formHost ? formHost->Handle() : nullptr;
  p.WinClassName = Utf8ToWide(ClassName());
}

void TCustomForm::CreateWnd() {
  creatingWindow_ = true;
  try {
    TWinControl::CreateWnd();
  } catch (...) {
    creatingWindow_ = false;
    throw;
  }
  creatingWindow_ = false;
}

int TCustomForm::FirstShowDpi() const {
  const TCustomForm* main = formHost ? formHost->MainForm() : nullptr;
  if ((position_ == TPosition::poMainFormCenter || position_ == TPosition::poOwnerFormCenter) && main && main != this)
    return main->PixelsPerInch();
  const POINT place = position_ == TPosition::poDesigned ? POINT{left_, top_} : POINT{0, 0};
  HMONITOR monitor = MonitorFromPoint(place, MONITOR_DEFAULTTOPRIMARY);
  return LayoutDpi(MonitorDpi(monitor), monitor);
}

int TCustomForm::LayoutDpi(int monitorDpi, HMONITOR) const { return monitorDpi; }

void TCustomForm::ScaleBounds(int toDpi, int fromDpi) {
  if (takingSuggestedSize_) {
    // The system gives the size (DpiChanged); the client area it leaves counts as this one scaled,
    // so that the layout's size stays what later scales come from.
    scaledWidth_.Rescale(ClientWidth(), fromDpi, toDpi);
    scaledHeight_.Rescale(ClientHeight(), fromDpi, toDpi);
    return;
  }
  if (!HandleAllocated()) {
    // Before the window exists the size is the layout's: its client size, else its outer size.
    int& width = pendingClientWidth_ >= 0 ? pendingClientWidth_ : width_;
    int& height = pendingClientHeight_ >= 0 ? pendingClientHeight_ : height_;
    width = scaledWidth_.Rescale(width, fromDpi, toDpi);
    height = scaledHeight_.Rescale(height, fromDpi, toDpi);
    return;
  }
  SetClientWidth(scaledWidth_.Rescale(ClientWidth(), fromDpi, toDpi));
  SetClientHeight(scaledHeight_.Rescale(ClientHeight(), fromDpi, toDpi));
  scaledWidth_.Took(ClientWidth());
  scaledHeight_.Took(ClientHeight());
}

void TCustomForm::DpiChanged(int dpi, const RECT& suggested) {
  const HeldRedraw held(Handle());
  takingSuggestedSize_ = true;
  try {
    ScaleForPPI(dpi);
  } catch (...) {
    takingSuggestedSize_ = false;
    throw;
  }
  takingSuggestedSize_ = false;
  SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  scaledWidth_.Took(ClientWidth());
  scaledHeight_.Took(ClientHeight());
  ApplyIcon();
}

void TCustomForm::KeepClientAt(const RECT& suggested) {
  // The client rectangle the window has is still the one of the old frame.
  const TRect client = ClientRect();
  SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  SetBounds(suggested.left, suggested.top, Width() + client.Width() - ClientWidth(),
            Height() + client.Height() - ClientHeight());
}

void TCustomForm::CreateWindowHandleDone() {
  const int clientWidth = std::exchange(pendingClientWidth_, -1);
  const int clientHeight = std::exchange(pendingClientHeight_, -1);
  if (menu_) ::SetMenu(Handle(), menu_->BarHandle());
  // The outer size came from the system's frame at the system DPI, which need not be the frame the
  // window has (on a monitor of another scale, or with a style added later): the client size holds.
  RECT frame{}, client{};
  GetWindowRect(Handle(), &frame);
  GetClientRect(Handle(), &client);
  // The bounds are not yet read back from the new window: the sizes are the window's own.
  const int width = frame.right - frame.left + (clientWidth >= 0 ? clientWidth - client.right : 0);
  const int height = frame.bottom - frame.top + (clientHeight >= 0 ? clientHeight - client.bottom : 0);
  SetWindowPos(Handle(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // Made on a monitor of another scale than the one expected: laid out for the one it is on.
  ScaleForPPI(LayoutDpi(WindowDpi(Handle()), MonitorFromWindow(Handle(), MONITOR_DEFAULTTONEAREST)));
  ApplyAlpha();
  ApplyIcon();
}

TRect TCustomForm::ClientRect() const {
  if (!HandleAllocated()) {
    return {0, 0, pendingClientWidth_ >= 0 ? pendingClientWidth_ : width_,
            pendingClientHeight_ >= 0 ? pendingClientHeight_ : height_};
  }
  return TWinControl::ClientRect();
}

void TCustomForm::SetClientWidth(int width) {
  if (!HandleAllocated()) {
    pendingClientWidth_ = width;
    return;
  }
  SetWidth(Width() - ClientWidth() + width);
}

void TCustomForm::SetClientHeight(int height) {
  if (!HandleAllocated()) {
    pendingClientHeight_ = height;
    return;
  }
  SetHeight(Height() - ClientHeight() + height);
}

void TCustomForm::SetBorderStyle(TFormBorderStyle style) {
  if (style == borderStyle_) return;
  borderStyle_ = style;
  RecreateWnd();
}

void TCustomForm::SetBorderIcons(uint32_t icons) {
  if (icons == borderIcons_) return;
  borderIcons_ = icons;
  RecreateWnd();
}

void TCustomForm::SetFormStyle(TFormStyle style) {
  if (style == formStyle_) return;
  formStyle_ = style;
  if (HandleAllocated())
    SetWindowPos(Handle(), style == TFormStyle::fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

TWindowState TCustomForm::WindowState() const { return windowState_; }

void TCustomForm::SetWindowState(TWindowState state) {
  if (state == windowState_) return;
  windowState_ = state;
  if (HandleAllocated() && IsWindowVisible(Handle())) {
    ShowWindow(Handle(), state == TWindowState::wsMinimized   ? SW_MINIMIZE
                         : state == TWindowState::wsMaximized ? SW_MAXIMIZE
                                                              : SW_RESTORE);
  }
}

void TCustomForm::SetAlphaBlend(bool value) {
  if (value == alphaBlend_) return;
  alphaBlend_ = value;
  ApplyAlpha();
}

void TCustomForm::SetAlphaBlendValue(int value) {
  alphaBlendValue_ = std::clamp(value, 0, 255);
  ApplyAlpha();
}

void TCustomForm::ApplyAlpha() {
  if (!HandleAllocated()) return;
  HWND window = Handle();
  LONG_PTR ex = GetWindowLongPtrW(window, GWL_EXSTYLE);
  if (alphaBlend_) {
    SetWindowLongPtrW(window, GWL_EXSTYLE, ex | WS_EX_LAYERED);
    SetLayeredWindowAttributes(window, 0, static_cast<BYTE>(alphaBlendValue_), LWA_ALPHA);
  } else if (ex & WS_EX_LAYERED) {
    SetWindowLongPtrW(window, GWL_EXSTYLE, ex & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
  }
}

void TCustomForm::ApplyIcon() {
  if (!HandleAllocated()) return;
  // The caption and Alt+Tab want their own sizes; the previous copies go only once replaced.
  UniqueIcon bigIcon = icon_->CreateSized(SystemMetricForDpi(SM_CXICON, PixelsPerInch()));
  UniqueIcon smallIcon = icon_->CreateSized(SystemMetricForDpi(SM_CXSMICON, PixelsPerInch()));
  SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon.get()));
  SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon.get()));
  bigIcon_ = std::move(bigIcon);
  smallIcon_ = std::move(smallIcon);
}

void TCustomForm::SetActiveControl(TWinControl* control) {
  activeControl_ = control;
  if (control && HandleAllocated() && Active() && control->CanFocus()) control->SetFocus();
}

void TCustomForm::FocusChanged(TWinControl* control) {
  activeControl_ = control == this ? nullptr : control;
  // Every control hears of it (painters of focus rectangles repaint).
  TMessage m{CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(control), 0};
  Broadcast(m);
}

namespace {

// The letter marked with "&" in a caption ("&&" is a literal ampersand), upper-cased; 0 if none.
wchar_t AcceleratorOf(const std::string& caption) {
  const std::wstring text = Utf8ToWide(caption);
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != L'&') continue;
    if (text[i + 1] == L'&') {
      ++i;
      continue;
    }
    return static_cast<wchar_t>(towupper(text[i + 1]));
  }
  return 0;
}

TControl* FindAccelerated(TWinControl& parent, wchar_t key) {
  for (int i = parent.ControlCount() - 1; i >= 0; --i) {
    TControl* c = parent.Controls(i);
    if (!c->Visible() || !c->Enabled()) continue;
    const bool pressable = dynamic_cast<TButton*>(c) || dynamic_cast<TSpeedButton*>(c) || dynamic_cast<TButtonControl*>(c);
    if (pressable && AcceleratorOf(c->Caption()) == key) return c;
    if (auto* w = dynamic_cast<TWinControl*>(c))
      if (TControl* found = FindAccelerated(*w, key)) return found;
  }
  return nullptr;
}

}  // namespace

namespace {

void CollectTabStops(TWinControl& parent, std::vector<TWinControl*>& stops) {
  std::vector<TWinControl*> children;
  for (int i = 0; i < parent.ControlCount(); ++i)
    if (auto* w = dynamic_cast<TWinControl*>(parent.Controls(i))) children.push_back(w);
  std::stable_sort(children.begin(), children.end(), [](const TWinControl* a, const TWinControl* b) {
    const unsigned oa = static_cast<unsigned>(a->TabOrder()), ob = static_cast<unsigned>(b->TabOrder());
    return oa < ob;
  });
  for (TWinControl* w : children) {
    if (!w->Visible() || !w->Enabled()) continue;
    if (w->TabStop() && w->HandleAllocated()) stops.push_back(w);
    CollectTabStops(*w, stops);
  }
}

}  // namespace

bool TCustomForm::SelectNext(TWinControl* from, bool forward) {
  std::vector<TWinControl*> stops;
  CollectTabStops(*this, stops);
  if (stops.empty()) return false;
  auto at = std::find(stops.begin(), stops.end(), from);
  size_t index;
  if (at == stops.end()) {
    index = forward ? 0 : stops.size() - 1;
  } else {
    const size_t current = static_cast<size_t>(at - stops.begin());
    index = forward ? (current + 1) % stops.size() : (current + stops.size() - 1) % stops.size();
  }
  if (stops[index] == from || !stops[index]->CanFocus()) return false;
  stops[index]->SetFocus();
  return true;
}

bool TCustomForm::DialogChar(wchar_t key) {
  TControl* target = FindAccelerated(*this, static_cast<wchar_t>(towupper(key)));
  if (!target) return false;
  if (auto* radio = dynamic_cast<TRadioButton*>(target))
    radio->SetChecked(true);
  else if (auto* check = dynamic_cast<TCheckBox*>(target))
    check->SetChecked(!check->Checked());
  else
    target->Click();
  return true;
}

bool TCustomForm::Active() const { return HandleAllocated() && GetActiveWindow() == const_cast<TCustomForm*>(this)->Handle(); }

bool TCustomForm::Showing() const {
  return HandleAllocated() && IsWindowVisible(const_cast<TCustomForm*>(this)->Handle());
}

void TCustomForm::PlaceOnFirstShow() {
  if (placed_) return;
  placed_ = true;
  if (position_ == TPosition::poScreenCenter || position_ == TPosition::poDesktopCenter ||
      position_ == TPosition::poMainFormCenter || position_ == TPosition::poOwnerFormCenter) {
    TRect area{0, 0, Screen->Width(), Screen->Height()};
    TCustomForm* main = formHost ? formHost->MainForm() : nullptr;
    if ((position_ == TPosition::poMainFormCenter || position_ == TPosition::poOwnerFormCenter) && main && main != this)
      area = main->BoundsRect();
    SetBounds(area.Left + (area.Width() - Width()) / 2, area.Top + (area.Height() - Height()) / 2, Width(), Height());
  }
}

void TCustomForm::DoShow() {
  try {
    if (OnShow) OnShow(this);
  } catch (...) {
    // The window is shown all the same; the error goes to the application's handler.
    HandleDispatchException(std::current_exception());
  }
}

void TCustomForm::DoHide() {
  if (OnHide) OnHide(this);
}

void TCustomForm::SetVisible(bool visible) {
  if (visible) {
    HWND window = Handle();
    const bool wasShowing = IsWindowVisible(window);
    SetVisibleFlagQuietly(true);
    if (!wasShowing) {
      PlaceOnFirstShow();
      DoShow();
    }
    // The show handler may have hidden the form again.
    if (!Visible()) return;
    ShowWindow(window, windowState_ == TWindowState::wsMaximized   ? SW_SHOWMAXIMIZED
                       : windowState_ == TWindowState::wsMinimized ? SW_SHOWMINIMIZED
                       : showActivates_                            ? SW_SHOWNORMAL
                                                                   : SW_SHOWNOACTIVATE);
    if (IsMainForm(this)) formHost->ShowTaskbarButton();
    return;
  }
  if (!Visible() && !(HandleAllocated() && IsWindowVisible(Handle()))) return;
  SetVisibleFlagQuietly(false);
  if (HandleAllocated() && IsWindowVisible(Handle())) {
    DoHide();
    ShowWindow(Handle(), SW_HIDE);
  }
}

void TCustomForm::Show() {
  SetVisible(true);
  if (!HandleAllocated()) return;
  if (showActivates_)
    BringWindowToTop(Handle());
  else
    SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TCustomForm::Hide() { SetVisible(false); }

bool TCustomForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

void TCustomForm::Close() {
  if (modal_) {
    SetModalResult(mrCancel);
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = TCloseAction::caHide;
  if (OnClose) OnClose(this, action);
  if (action == TCloseAction::caNone) return;
  if (IsMainForm(this)) {
    formHost->Terminate();
    if (action == TCloseAction::caHide || action == TCloseAction::caMinimize) return;
  }
  switch (action) {
    case TCloseAction::caHide:
      Hide();
      break;
    case TCloseAction::caMinimize:
      SetWindowState(TWindowState::wsMinimized);
      break;
    case TCloseAction::caFree:
      Release();
      break;
    case TCloseAction::caNone:
      break;
  }
}

void TCustomForm::SetModalResult(TModalResult result) {
  modalResult_ = result;
  // A result set while a message sent from another thread is handled leaves the modal loop
  // waiting for a message of its own: give it one, or the form stays up until the next input.
  if (modal_ && result != mrNone && HandleAllocated()) PostMessageW(Handle(), WM_NULL, 0, 0);
}

void TCustomForm::CloseModal() {
  TCloseAction action = CloseQuery() ? TCloseAction::caHide : TCloseAction::caNone;
  if (action != TCloseAction::caNone && OnClose) OnClose(this, action);
  switch (action) {
    case TCloseAction::caNone:
      modalResult_ = mrNone;
      break;
    case TCloseAction::caFree:
      Release();
      break;
    default:
      break;
  }
}

TModalResult TCustomForm::ShowModal() {
  if (modal_ || (HandleAllocated() && IsWindowVisible(Handle())) || Visible())
    throw EInvalidOperation("Cannot make a visible window modal");
  if (!formHost) throw EInvalidOperation("Cannot show a form modally without an application");
  if (HWND capture = GetCapture()) SendMessageW(capture, WM_CANCELMODE, 0, 0);
  ReleaseCapture();
  HWND previous = GetActiveWindow();
  DisabledWindows disabled{Handle(), {}};
  EnumThreadWindows(GetCurrentThreadId(), DisableWindow, reinterpret_cast<LPARAM>(&disabled));
  modal_ = true;
  modalResult_ = mrNone;
  auto restore = [&] {
    for (auto it = disabled.windows.rbegin(); it != disabled.windows.rend(); ++it)
      if (IsWindow(*it)) EnableWindow(*it, TRUE);
    modal_ = false;
  };
  try {
    Show();
    if (showActivates_) SetForegroundWindow(Handle());
    while (modalResult_ == mrNone) {
      formHost->HandleMessage();
      if (formHost->Terminated()) {
        modalResult_ = mrCancel;
      } else if (modalResult_ != mrNone) {
        CloseModal();
      }
    }
  } catch (...) {
    restore();
    Hide();
    throw;
  }
  const TModalResult result = modalResult_;
  const bool wasActive = showActivates_ || GetForegroundWindow() == Handle();
  restore();
  Hide();
  // Only a modal form that had the activation hands it back: one that never took it leaves the
  // foreground where the user put it.
  if (wasActive && previous && IsWindow(previous) && IsWindowVisible(previous)) SetActiveWindow(previous);
  return result;
}

void TCustomForm::Release() {
  releasePending_ = true;
  if (formHost) PostMessageW(formHost->Handle(), CM_RELEASE, 0, reinterpret_cast<LPARAM>(this));
}

void TCustomForm::PaintWindow(HDC dc) {
  if (!OnPaint) return;
  TCanvasDC lent(*canvas_, dc, *Font());
  OnPaint(this);
}

void TCustomForm::Resize() {
  if (OnResize) OnResize(this);
}

void TCustomForm::SetMenu(TMainMenu* menu) {
  if (menu == menu_) return;
  if (menu_) {
    if (HandleAllocated() && ::GetMenu(Handle()) == menu_->BarHandle()) ::SetMenu(Handle(), nullptr);
    menu_->SetForm(nullptr);
    RemoveFreeNotification(menu_);
  }
  menu_ = menu;
  if (!menu) return;
  FreeNotification(menu);
  menu->SetForm(this);
  if (HandleAllocated()) ::SetMenu(Handle(), menu->BarHandle());
}

void TCustomForm::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation == TOperation::opRemove && component == menu_) SetMenu(nullptr);
}

void TCustomForm::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_COMMAND:
      // A menu's command: no control, notification code 0.
      if (menu_ && m.LParam == 0 && HIWORD(m.WParam) == 0 && menu_->DispatchCommand(LOWORD(m.WParam))) {
        m.Result = 0;
        return;
      }
      break;
    case WM_MEASUREITEM:
    case WM_DRAWITEM:
    case WM_MENUCHAR:
    case WM_INITMENUPOPUP:
      if (menu_ && menu_->DispatchMenuMessage(m.Msg, m.WParam, m.LParam, m.Result)) return;
      break;
    case WM_NCDESTROY:
      // The menu object owns its native menu, which the window would otherwise destroy with it.
      if (menu_ && ::GetMenu(Handle()) == menu_->BarHandle()) ::SetMenu(Handle(), nullptr);
      break;
    case WM_GETDPISCALEDSIZE: {
      // The system's guess scales frame and client together, a pixel off where the two round
      // differently: the client area the layout gives at the new scale, in the frame of that scale.
      const int dpi = LayoutDpi(static_cast<int>(m.WParam), MonitorFromWindow(Handle(), MONITOR_DEFAULTTONEAREST));
      RECT r{0, 0, scaledWidth_.At(ClientWidth(), CurrentPPI(), dpi),
             scaledHeight_.At(ClientHeight(), CurrentPPI(), dpi)};
      const auto style = static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_STYLE));
      const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_EXSTYLE));
      if (!AdjustWindowRectForDpi(r, style, ::GetMenu(Handle()) != nullptr, exStyle, dpi)) break;
      *reinterpret_cast<SIZE*>(m.LParam) = {r.right - r.left, r.bottom - r.top};
      m.Result = TRUE;
      return;
    }
    case WM_DPICHANGED: {
      const RECT& suggested = *reinterpret_cast<const RECT*>(m.LParam);
      const int dpi = LayoutDpi(HIWORD(m.WParam), MonitorFromRect(&suggested, MONITOR_DEFAULTTONEAREST));
      if (dpi != CurrentPPI()) DpiChanged(dpi, suggested);
      else KeepClientAt(suggested);
      m.Result = 0;
      return;
    }
    case WM_CLOSE:
      Close();
      m.Result = 0;
      return;
    case WM_SYSCOMMAND:
      if ((m.WParam & 0xFFF0) == SC_MINIMIZE && IsMainForm(this)) {
        formHost->Minimize();
        m.Result = 0;
        return;
      }
      break;
    case WM_ACTIVATE:
      if (LOWORD(m.WParam) != WA_INACTIVE) {
        Screen->activeForm_ = this;
        if (!HIWORD(m.WParam)) {
          if (activeControl_ && activeControl_->HandleAllocated() && activeControl_->CanFocus())
            ::SetFocus(activeControl_->Handle());
          else
            ::SetFocus(Handle());
        }
        if (OnActivate) OnActivate(this);
      } else if (OnDeactivate) {
        OnDeactivate(this);
      }
      m.Result = 0;
      return;
    case WM_SHOWWINDOW:
      // A show or hide through the API (not through Visible) still counts.
      if (m.LParam == 0) {
        SetVisibleFlagQuietly(m.WParam != 0);
        if (m.WParam && IsMainForm(this)) formHost->ShowTaskbarButton();
        TMessage showing{CM_SHOWINGCHANGED, m.WParam, 0, 0};
        Broadcast(showing);
      }
      break;
    case WM_SIZE:
      // The size a window gets while it is created says nothing about the state asked for.
      if (creatingWindow_) break;
      if (m.WParam == SIZE_MINIMIZED)
        windowState_ = TWindowState::wsMinimized;
      else if (m.WParam == SIZE_MAXIMIZED)
        windowState_ = TWindowState::wsMaximized;
      else if (m.WParam == SIZE_RESTORED)
        windowState_ = TWindowState::wsNormal;
      break;
    default:
      break;
  }
  TWinControl::WndProc(m);
}
