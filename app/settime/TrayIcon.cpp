#include "app/settime/TrayIcon.h"

#include <cstddef>

#include "framework/win32/WindowClass.h"
#include "framework/controls/Application.h"
#include "framework/win32/Dpi.h"
#include "framework/win32/Strings.h"

TTrayIcon* TrayIcon1 = nullptr;

namespace {
constexpr unsigned kChineseCodePage = 936;
constexpr wchar_t kTrayWindowClass[] = L"BrevinTrayIconWindow";

// The shell reads only the version-1 part of the record: size, window, id, flags, callback
// message, icon and the 64-character tip. The wide record is used so that the tip reads the
// same whatever the system's ANSI code page is.
constexpr DWORD kVersion1Size = NOTIFYICONDATAW_V1_SIZE;
static_assert(kVersion1Size == offsetof(NOTIFYICONDATAW, szTip) + 64 * sizeof(wchar_t));
static_assert(sizeof(NOTIFYICONDATAW::szTip) / sizeof(wchar_t) >= kTrayTipLimit + 1);

UINT TaskbarCreatedMessage() {
  static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
  return message;
}

bool IsLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }
}  // namespace

std::string CutAnsiTip(const std::string& ansi, size_t limit) {
  size_t end = 0;
  while (end < ansi.size()) {
    const size_t width = IsLeadByte(static_cast<unsigned char>(ansi[end])) && end + 1 < ansi.size() ? 2 : 1;
    if (end + width > limit) break;
    end += width;
  }
  return ansi.substr(0, end);
}

const TClassInfo& TTrayIcon::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TTrayIcon>("TTrayIcon", &TComponent::StaticClassInfo())
                                     .Creatable()
                                     .Property("Active", &TTrayIcon::Active, &TTrayIcon::SetActive)
                                     .Property("ShowDesigning", &TTrayIcon::ShowDesigning, &TTrayIcon::SetShowDesigning)
                                     .Object("Icon", &TTrayIcon::Icon)
                                     .Property("ToolTip", &TTrayIcon::ToolTip, &TTrayIcon::SetToolTip)
                                     .Event("OnClick", &TTrayIcon::OnClick)
                                     .Event("OnDblClick", &TTrayIcon::OnDblClick)
                                     .Event("OnRightClick", &TTrayIcon::OnRightClick)
                                     .Reference("PopupMenu", &TTrayIcon::PopupMenu, &TTrayIcon::SetPopupMenu);
  return info;
}

TTrayIcon::TTrayIcon(TComponent* owner)
    : TComponent(owner), clickTimer_(new TTimer(this)), icon_(std::make_unique<TIcon>()) {
  RegisterWindowClassOnce(kTrayWindowClass, TrayWndProc);
  window_ = CreateWindowExW(0, kTrayWindowClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                            GetModuleHandleW(nullptr), this);
  dpi_ = WindowDpi(window_);
  clickTimer_->SetEnabled(false);
  clickTimer_->SetInterval(static_cast<int>(GetDoubleClickTime()));
  clickTimer_->OnTimer = [this](TObject* sender) { ClickTimerTick(sender); };
}

TTrayIcon::~TTrayIcon() {
  if (active_) RemoveIcon();
  if (window_) {
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
  }
}

void TTrayIcon::SetActive(bool value) {
  if (value == active_) return;
  active_ = value;
  // A refused shell call leaves Active as set: the next change retries.
  if (value) {
    (void)AddIcon();
  } else {
    (void)RemoveIcon();
  }
}

void TTrayIcon::SetIcon(TIcon* icon) {
  if (icon == icon_.get()) return;
  if (icon) {
    icon_->Assign(*icon);
  } else {
    icon_ = std::make_unique<TIcon>();
  }
  MakeShellIcon();
}

void TTrayIcon::MakeShellIcon() {
  // The shell would stretch whatever it gets to its slot; at 150 % that slot is 24 px.
  shellIcon_ = icon_->CreateSized(SystemMetricForDpi(SM_CXSMICON, dpi_));
  (void)ModifyIcon();
}

std::string TTrayIcon::ToolTip() const { return CodePageToUtf8(tipAnsi_, kChineseCodePage); }

void TTrayIcon::SetToolTip(const std::string& text) {
  tipAnsi_ = CutAnsiTip(Utf8ToCodePage(text, kChineseCodePage), kTrayTipLimit);
  (void)ModifyIcon();
}

void TTrayIcon::FillIconData() {
  data_ = NOTIFYICONDATAW{};
  data_.cbSize = kVersion1Size;
  data_.hWnd = window_;
  data_.uID = 0;
  data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data_.uCallbackMessage = kTrayCallbackMessage;
  data_.hIcon = shellIcon_.get();
  const std::wstring tip = Utf8ToWide(ToolTip());
  tip.copy(data_.szTip, kTrayTipLimit);
}

bool TTrayIcon::Notify(DWORD message) {
  return Shell_NotifyIconW(message, &data_) != FALSE;
}

bool TTrayIcon::AddIcon() {
  FillIconData();
  const bool added = Notify(NIM_ADD);
  if (tipAnsi_.empty()) PostMessageW(window_, kTrayReapplyTipMessage, 0, 0);
  return added;
}

bool TTrayIcon::ModifyIcon() {
  FillIconData();
  if (!active_) return true;
  return Notify(NIM_MODIFY);
}

bool TTrayIcon::RemoveIcon() {
  FillIconData();
  return Notify(NIM_DELETE);
}

void TTrayIcon::ClickTimerTick(TObject*) {
  clickTimer_->SetEnabled(false);
  if (clickFlag_ && OnClick) OnClick(this);
  clickFlag_ = true;
}

void TTrayIcon::PopupAtCursor() {
  POINT cursor{};
  GetCursorPos(&cursor);
  if (popupMenu_) {
    SetForegroundWindow(Application->Handle());
    Application->ProcessMessages();
    popupMenu_->Popup(cursor.x, cursor.y);
  }
  if (OnRightClick) OnRightClick(this, TMouseButton::mbRight, 0, cursor.x, cursor.y);
}

void TTrayIcon::SetShowDesigning(bool value) {
  if (value == showDesigning_) return;
  showDesigning_ = value;
  HWND appWindow = Application->Handle();
  TCustomForm* mainForm = Application->MainForm();
  const LONG_PTR exStyle = GetWindowLongPtrW(appWindow, GWL_EXSTYLE);
  if (value) {
    SetWindowLongPtrW(appWindow, GWL_EXSTYLE, exStyle & ~static_cast<LONG_PTR>(WS_EX_TOOLWINDOW));
    if (mainForm) {
      ShowWindow(mainForm->Handle(), SW_SHOWNORMAL);
      SetWindowPos(mainForm->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
    // The application window carries the taskbar button that hiding took away.
    Application->ShowTaskbarButton();
  } else {
    if (mainForm) {
      mainForm->SetWindowState(TWindowState::wsMinimized);
      ShowWindow(mainForm->Handle(), SW_HIDE);
    }
    ShowWindow(appWindow, SW_HIDE);
    SetWindowLongPtrW(appWindow, GWL_EXSTYLE, exStyle | WS_EX_TOOLWINDOW);
  }
}

LRESULT CALLBACK TTrayIcon::TrayWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<TTrayIcon*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self || message == WM_NCCREATE) return DefWindowProcW(window, message, wParam, lParam);
  try {
    return self->HandleMessage(message, wParam, lParam);
  } catch (...) {
    HandleDispatchException(std::current_exception());
    return 0;
  }
}

LRESULT TTrayIcon::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kTrayReapplyTipMessage) {
    SetToolTip(ToolTip());
    return 0;
  }
  if (message == kTrayCallbackMessage) {
    switch (static_cast<UINT>(lParam)) {
      case WM_LBUTTONDOWN:
        clickTimer_->SetEnabled(true);
        break;
      case WM_LBUTTONDBLCLK:
        clickFlag_ = false;
        if (OnDblClick) OnDblClick(this);
        break;
      case WM_RBUTTONUP:
        PopupAtCursor();
        break;
      default:
        break;
    }
    return 0;
  }
  // The scale of the primary monitor, whose taskbar holds the notification area, changed.
  if (message == WM_DPICHANGED) {
    dpi_ = HIWORD(wParam);
    MakeShellIcon();
    return 0;
  }
  // Explorer restarted: its new notification area knows nothing of our icon.
  if (message == TaskbarCreatedMessage() && active_) {
    (void)AddIcon();
    return 0;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}
