// A control's window: the window classes of the controls, the one window procedure every
// framework window has, and the window's life cycle (creation, attachment, destruction).
#include "framework/controls/Controls.h"

#include <commctrl.h>

#include <map>
#include <unordered_map>
#include <utility>

#include "framework/win32/Strings.h"
#include "framework/win32/WindowClass.h"

LRESULT CALLBACK BrevinWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

namespace {

// The control of each framework window. Every message of every such window looks it up, and a
// window property costs a round trip to the server under Wine: a map of the process's own is kept.
std::unordered_map<HWND, TWinControl*>& ControlsByWindow() {
  static std::unordered_map<HWND, TWinControl*> controls;
  return controls;
}

TWinControl* ControlOf(HWND window) {
  const auto found = ControlsByWindow().find(window);
  return found == ControlsByWindow().end() ? nullptr : found->second;
}

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

}  // namespace

void AttachWindow(TWinControl* control, HWND window) {
  ControlsByWindow()[window] = control;
  control->handle_ = window;
  control->defWndProc_ = OriginalProc(window);
}

LRESULT CALLBACK BrevinWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  TWinControl* control = ControlOf(window);
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
    ControlsByWindow().erase(window);
    if (control->handle_ == window) control->handle_ = nullptr;
  }
  return m.Result;
}

TWinControl* FindControl(HWND window) {
  return window ? ControlOf(window) : nullptr;
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
  if (!DefersChildWindows()) CreateChildWindows();
  UpdateBoundsFromWindow();
  AlignControls();
}

void TWinControl::CreateChildWindows() {
  for (TControl* c : std::vector<TControl*>(controls_))
    if (auto* w = dynamic_cast<TWinControl*>(c)) w->HandleNeeded();
}

void TWinControl::DestroyWnd() {
  if (!handle_) return;
  HWND window = handle_;
  text_ = GetText();
  DestroyWindow(window);
  // A window whose destruction did not reach us (foreign parent already gone) is let go here.
  if (handle_ == window) {
    ControlsByWindow().erase(window);
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
