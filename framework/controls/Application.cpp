#include "framework/controls/Application.h"

#include <commctrl.h>

#include "framework/controls/Register.h"
#include "framework/win32/Dpi.h"
#include "framework/win32/Strings.h"
#include "framework/win32/WindowClass.h"

namespace {
constexpr wchar_t kAppClass[] = L"TApplication";

// Shared, so the system keeps it for the class's lifetime. The exact size picks the resource's
// image drawn for it rather than the 32 px one stretched.
HICON LoadResourceIcon(const wchar_t* name, int metric, int dpi) {
  const int size = SystemMetricForDpi(metric, dpi);
  return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), name, IMAGE_ICON, size, size, LR_SHARED));
}

// The class's icons are drawn for the system's DPI; the taskbar button shows the window's, at the
// DPI of the monitor the window is on.
void SetWindowIcons(HWND window, int dpi) {
  SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(LoadResourceIcon(L"MAINICON", SM_CXICON, dpi)));
  SendMessageW(window, WM_SETICON, ICON_SMALL,
               reinterpret_cast<LPARAM>(LoadResourceIcon(L"MAINICON", SM_CXSMICON, dpi)));
}
}  // namespace

// Never freed: forms may outlive everything else that static destruction takes down.
TApplication* Application = new TApplication;

const TClassInfo& TApplication::StaticClassInfo() {
  static const TClassInfo info("TApplication", &TComponent::StaticClassInfo());
  return info;
}

TApplication::TApplication() : TComponent(nullptr) { SetFormHost(this); }

TApplication::~TApplication() {
  // Forms go first, while the window that owns them still exists.
  DestroyComponents();
  if (handle_) DestroyWindow(handle_);
  if (Application == this) Application = nullptr;
  if (FormHost() == this) SetFormHost(nullptr);
}

void TApplication::Initialize() {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_TAB_CLASSES | ICC_UPDOWN_CLASS};
  InitCommonControlsEx(&icc);
  RegisterStandardClasses();
}

HWND TApplication::Handle() {
  if (handle_) return handle_;
  RegisterWindowClassOnce(kAppClass, AppWndProc, LoadResourceIcon(L"MAINICON", SM_CXICON, SystemDpi()),
                          LoadResourceIcon(L"MAINICON", SM_CXSMICON, SystemDpi()));
  // Zero-sized and centred: it shows only as the taskbar button.
  handle_ = CreateWindowExW(0, kAppClass, Utf8ToWide(title_).c_str(),
                            WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                            GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  if (!handle_) throw EOutOfResources("Error creating window: " + SystemErrorMessage(GetLastError()));
  SetWindowIcons(handle_, WindowDpi(handle_));
  return handle_;
}

LRESULT CALLBACK TApplication::AppWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  try {
    switch (msg) {
      case CM_RELEASE: {
        // A form freed some other way since it asked (and any form that took its place in
        // memory) is left alone.
        auto* form = reinterpret_cast<TCustomForm*>(lParam);
        if (Screen->Contains(form) && form->ReleasePending()) delete form;
        return 0;
      }
      case WM_CLOSE:
        if (Application && Application->MainForm()) Application->MainForm()->Close();
        return 0;
      case WM_DPICHANGED:
        // Zero-sized, it keeps its place; only its icons follow the scale.
        SetWindowIcons(window, HIWORD(wParam));
        return 0;
      case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_RESTORE && Application && Application->MainForm()) {
          LRESULT r = DefWindowProcW(window, msg, wParam, lParam);
          if (HWND main = Application->MainForm()->Handle(); IsWindowVisible(main)) SetForegroundWindow(main);
          return r;
        }
        break;
      case WM_ACTIVATE:
        // The application window is never where the user works: hand activation on.
        if (LOWORD(wParam) != WA_INACTIVE && Application && Application->MainForm()) {
          HWND main = Application->MainForm()->Handle();
          if (IsWindowVisible(main) && IsWindowEnabled(main) && !IsIconic(window)) SetActiveWindow(GetLastActivePopup(window));
        }
        return 0;
      default:
        break;
    }
  } catch (...) {
    HandleDispatchException(std::current_exception());
    return 0;
  }
  return DefWindowProcW(window, msg, wParam, lParam);
}

void TApplication::DestroyComponents() {
  while (ComponentCount() > 0) delete Components(ComponentCount() - 1);
  mainForm_ = nullptr;
}

void TApplication::SetTitle(const std::string& title) {
  title_ = title;
  if (handle_) SetWindowTextW(handle_, Utf8ToWide(title).c_str());
}

std::string TApplication::ExeName() const {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size()) {
      path.resize(n);
      return WideToUtf8(path);
    }
    path.resize(path.size() * 2);
  }
}

void TApplication::Run() {
  if (mainForm_ && ShowMainForm) mainForm_->Show();
  while (!terminated_) HandleMessage();
}

bool TApplication::ProcessMessage() {
  MSG msg;
  if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (msg.message == WM_QUIT) {
    terminated_ = true;
    return true;
  }
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
  return true;
}

void TApplication::ProcessMessages() {
  while (ProcessMessage()) {
  }
}

void TApplication::HandleMessage() {
  if (!ProcessMessage() && !terminated_) WaitMessage();
}

void TApplication::Terminate() {
  if (!terminated_) PostQuitMessage(0);
}

void TApplication::Minimize() {
  if (!IsIconic(Handle())) ShowWindow(Handle(), SW_MINIMIZE);
}

void TApplication::Restore() {
  if (IsIconic(Handle())) ShowWindow(Handle(), SW_RESTORE);
}

void TApplication::ShowTaskbarButton() {
  if (!IsWindowVisible(Handle())) ShowWindow(Handle(), SW_SHOWNOACTIVATE);
}

void TApplication::HandleException(const std::exception& error) {
  if (dynamic_cast<const EAbort*>(&error)) return;
  if (OnException) {
    OnException(error);
    return;
  }
  ShowException(error);
}

void TApplication::ShowException(const std::exception& error) {
  std::string text = error.what();
  if (!text.empty() && text.back() != '.') text += ".";
  MessageBox(text, "", MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, UINT flags) {
  HWND owner = GetActiveWindow();
  if (!owner) owner = GetLastActivePopup(Handle());
  return ::MessageBoxW(owner, Utf8ToWide(text).c_str(), Utf8ToWide(caption.empty() ? title_ : caption).c_str(), flags);
}
