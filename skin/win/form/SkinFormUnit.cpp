#include "skin/win/form/SkinFormUnit.h"

#include <windowsx.h>

#include <algorithm>

#include "framework/controls/Forms.h"
#include "framework/controls/Messages.h"
#include "framework/core/Exception.h"
#include "framework/win32/CallbackErrors.h"
#include "framework/win32/Dpi.h"
#include "framework/win32/Region.h"
#include "skin/win/manager/SkinControlFactory.h"
#include "skin/win/data/SkinDataUnit.h"
#include "skin/win/controls/SkinSizer.h"

namespace {

constexpr UINT_PTR kHoverTimerId = 0x3520;
constexpr UINT kHoverInterval = 250;
// Undocumented messages with which themed systems draw a caption of their own.
constexpr UINT kNcUahDrawCaption = 0xAE;
constexpr UINT kNcUahDrawFrame = 0xAF;

// The real version: GetVersionEx answers what the manifest allows, ntdll what the system is.
TPlatformVersion CurrentPlatformVersion() {
  using RtlGetVersionProc = LONG(WINAPI*)(OSVERSIONINFOW*);
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof(info);
  if (HMODULE ntdll = GetModuleHandleW(L"ntdll.dll")) {
    if (auto get = reinterpret_cast<RtlGetVersionProc>(reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion"))))
      get(&info);
  }
  return {static_cast<int>(info.dwMajorVersion), static_cast<int>(info.dwMinorVersion),
          info.dwPlatformId == VER_PLATFORM_WIN32_NT};
}

std::wstring ClassNameOf(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return name;
}

SIZE ClientSize(HWND window) {
  RECT r{};
  GetClientRect(window, &r);
  return {r.right - r.left, r.bottom - r.top};
}

// The client area moves within the window when the frame changes, but its pixels (and those of the
// child windows) stay where they were on the screen: everything is drawn afresh.
void RedrawAll(HWND window) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void ChangeFrame(HWND window) {
  SetWindowPos(window, nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  RedrawAll(window);
}

}  // namespace

void TSkinSysButton::Paint() {
  if (object_.Align == kMdiButtonAlign) {
    form_.PaintMenuBand();
  } else {
    form_.PaintCaption();
  }
}

TSkinForm::TSkinForm(TCustomForm* form, TSkinFormHost* host) : form_(form), host_(host) {}

TSkinForm::~TSkinForm() {
  // The window may be gone already: WM_NCDESTROY then unskinned it, or the manager marked it.
  if (lifeState_ != TSkinLifeState::Finished && window_) Unskin(!IsWindow(window_));
}

void TSkinForm::InitSkin(HWND window, TSkinData* data) {
  if (!IsWindow(window) || !data) throw EOutOfResources("Cannot skin a window that does not exist");
  window_ = window;
  data_ = data;
  // A form may lay itself out for less than its monitor's DPI (one that has to fit its screen):
  // it is skinned at the scale its controls have.
  dpi_ = form_ ? form_->PixelsPerInch() : WindowDpi(window);
  style_ = GetWindowLongPtrW(window, GWL_STYLE);
  exStyle_ = GetWindowLongPtrW(window, GWL_EXSTYLE);
  className_ = ClassNameOf(window);
  owner_ = GetWindow(window, GW_OWNER);
  if (form_) savedColor_ = form_->Color();
  canMaximize_ = (style_ & WS_MAXIMIZEBOX) != 0;
  canMinimize_ = (style_ & WS_MINIMIZEBOX) != 0;
  hasSystemMenu_ = (style_ & WS_SYSMENU) != 0;
  if (exStyle_ & WS_EX_MDICHILD) {
    kind_ = TWindowKind::MdiChild;
  } else if (FindWindowExW(window, nullptr, L"MDIClient", nullptr)) {
    kind_ = TWindowKind::MdiFrame;
  }
  foreignDialog_ = className_ == L"#32770" || className_ == L"TMessageForm";
  if ((style_ & WS_CAPTION) != WS_CAPTION) {
    borderMode_ = TBorderMode::NoCaption;
  } else if (foreignDialog_ || (style_ & DS_MODALFRAME) || (exStyle_ & WS_EX_DLGMODALFRAME)) {
    borderMode_ = TBorderMode::Dialog;
  } else {
    borderMode_ = (style_ & WS_THICKFRAME) ? TBorderMode::Sizeable : TBorderMode::Fixed;
  }
  ReadShow();
  framed_ = (data->SkinControls() & SkinBit(xcMainMenu)) &&
            !(kind_ == TWindowKind::MdiChild && (data->Options() & SkinBit(xoMDIChildBorder)));
  version_ = CurrentPlatformVersion();
  captionWorkaround_ = Framed() && NeedsCaptionStyleWorkaround(version_, exStyle_ & WS_EX_APPWINDOW,
                                                               owner_ != nullptr, kind_ == TWindowKind::MdiChild);
  active_ = GetActiveWindow() == window;

  if (!subclass_.Attach(window, [this](HWND w, UINT m, WPARAM wp, LPARAM lp) { return Dispatch(w, m, wp, lp); }))
    throw EOutOfResources("Cannot skin the window");
  if (captionWorkaround_) SetWindowLongPtrW(window, GWL_STYLE, GetWindowLongPtrW(window, GWL_STYLE) & ~WS_CAPTION);
  if (Framed() && !(style_ & WS_CHILD) && GetMenu(window) && kind_ != TWindowKind::MdiChild)
    menuBar_ = std::make_unique<TSkinMenuBar>(*this, hot_);

  ReloadMetrics();
}

void TSkinForm::ReloadMetrics() {
  if (lifeState_ == TSkinLifeState::Skinned) {
    refreshClient_ = ClientSize(window_);
    lifeState_ = TSkinLifeState::Refreshing;
  }
  metrics_ = MetricsAt(dpi_);
  titleFont_.reset();
  MakeButtons();
  for (const auto& skinner : controlSkinners_) skinner->SkinChanged();
  for (TSkinControl* custom : customSkinners_) custom->SkinChanged();
}

TFrameMetrics TSkinForm::MetricsAt(int dpi) const {
  if (!Framed()) return {};
  TFrameMetrics metrics =
      SkinFrameMetrics(data_->Model(dpi), borderMode_, menuBar_ ? SystemMetricForDpi(SM_CYMENU, dpi) : 0);
  if (kind_ == TWindowKind::MdiChild) {
    const int system = SystemMetricForDpi(SM_CYCAPTION, dpi) + SystemMetricForDpi(SM_CXFRAME, dpi);
    if (metrics.Caption < system) metrics.MenuBar += system - metrics.Caption;
  }
  return metrics;
}

LRESULT TSkinForm::ScaledSize(WPARAM wParam, LPARAM lParam) {
  // The window answers with its client area at the new scale in the system's frame of that
  // scale; the skinned frame of that scale goes around it instead.
  if (!Default(WM_GETDPISCALEDSIZE, wParam, lParam)) return FALSE;
  const int dpi = static_cast<int>(wParam);
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_STYLE));
  const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_EXSTYLE));
  RECT system{};
  if (!AdjustWindowRectForDpi(system, style, GetMenu(window_) != nullptr, exStyle, dpi)) return FALSE;
  const TFrameMetrics skinned = MetricsAt(dpi);
  SIZE& size = *reinterpret_cast<SIZE*>(lParam);
  size.cx += skinned.Left + skinned.Right - (system.right - system.left);
  size.cy += skinned.Top() + skinned.Bottom - (system.bottom - system.top);
  return TRUE;
}

void TSkinForm::MakeButtons() {
  DropPress();
  hot_.Clear();
  buttons_.clear();
  for (const auto& object : Skin().CaptionButtons())
    buttons_.push_back(std::make_unique<TSkinSysButton>(*this, hot_, *object));
}

template <typename Step>
bool TSkinForm::FrameStep(Step step) {
  try {
    step();
    return true;
  } catch (...) {
    GiveUpFrame(std::current_exception());
    return false;
  }
}

void TSkinForm::RefreshFrame() {
  if (lifeState_ != TSkinLifeState::Refreshing) return;
  const bool made = FrameStep([this] {
    if (Framed() && show_ != TWindowShow::Minimized) ApplyFrameSize(refreshClient_);
    BuildRegion(true);
  });
  if (!made) return;
  lifeState_ = TSkinLifeState::Skinned;
  PaintFrame();
}

void TSkinForm::Finish() {
  if (lifeState_ != TSkinLifeState::Starting) return;
  if (!FrameStep([this] { ApplySkin(); })) return;
  lifeState_ = TSkinLifeState::Skinned;
  PaintFrame();
}

void TSkinForm::ApplySkin() {
  systemMenuHandle_ = GetSystemMenu(window_, FALSE);
  CaptureIcon();
  if (host_ && form_) choices_ = host_->MapControls(*data_, *form_);
  SkinControls();
  ReadShow();
  if (!Framed()) return;
  frameApplied_ = true;
  const SIZE client = ClientSize(window_);
  // Taking the native menu away grows the system's client area; the skinned frame keeps the size
  // the client had with it.
  if (menuBar_) menuBar_->Build();
  lifeState_ = TSkinLifeState::Resizing;
  if (kind_ == TWindowKind::MdiChild) {
    if (show_ == TWindowShow::Maximized) {
      PostMessageW(GetParent(window_), kSkinMdiChildMaximizedMessage, reinterpret_cast<WPARAM>(window_), 0);
    } else if (show_ == TWindowShow::Minimized) {
      SetWindowLongPtrW(window_, GWL_STYLE, GetWindowLongPtrW(window_, GWL_STYLE) | (style_ & WS_CAPTION));
    } else {
      ApplyFrameSize(client);
      BuildRegion(true);
    }
  } else if (!(style_ & WS_CHILD) && show_ != TWindowShow::Minimized) {
    ApplyFrameSize(client);
    if (show_ == TWindowShow::Normal) BuildRegion(true);
  }
}

void TSkinForm::GiveUpFrame(std::exception_ptr error) {
  DropPress();
  hot_.Clear();
  if (Framed()) {
    const SIZE client = ClientSize(window_);
    menuBar_.reset();
    // From here on the system's frame: its own sizes, painting and hit testing.
    framed_ = false;
    RestoreSystemFrame(client);
  }
  metrics_ = {};
  lifeState_ = TSkinLifeState::Skinned;
  // Once: the window answers as skinned, so it is neither skinned again nor given another region.
  ReportCallbackError(error);
}

void TSkinForm::RestoreSystemFrame(SIZE client) {
  SetWindowLongPtrW(window_, GWL_STYLE, GetWindowLongPtrW(window_, GWL_STYLE) | (style_ & (WS_SYSMENU | WS_CAPTION)));
  if (!frameApplied_) return;
  frameApplied_ = false;
  ChangeFrame(window_);
  ReadShow();
  const bool resizable = !(style_ & WS_CHILD) || kind_ == TWindowKind::MdiChild;
  if (resizable && show_ == TWindowShow::Normal) {
    const SIZE now = ClientSize(window_);
    RECT r{};
    GetWindowRect(window_, &r);
    SetWindowPos(window_, nullptr, 0, 0, r.right - r.left + client.cx - now.cx, r.bottom - r.top + client.cy - now.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  SetWindowRegion(window_, UniqueRegion(), true);
}

void TSkinForm::ApplyFrameSize(SIZE client) {
  if (show_ == TWindowShow::Maximized) {
    ChangeFrame(window_);
    return;
  }
  if (foreignDialog_) WidenForCaptionText(client);
  SetWindowPos(window_, nullptr, 0, 0, client.cx + metrics_.Left + metrics_.Right,
               client.cy + metrics_.Top() + metrics_.Bottom,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  RedrawAll(window_);
}

HGDIOBJ TSkinForm::TitleFont() {
  if (!titleFont_) {
    LOGFONTW font{};
    HGDIOBJ base = data_->CaptionFont() ? static_cast<HGDIOBJ>(data_->CaptionFont()) : GetStockObject(DEFAULT_GUI_FONT);
    if (GetObjectW(base, sizeof font, &font) == sizeof font) {
      const int height = Skin().Title().FontHeight;
      // The skin gives the height of the characters in pixels; an unusable one keeps the system's,
      // which is for the system's scale.
      if (height > 0 && height <= ScaleToDpi(72, dpi_)) {
        font.lfHeight = -height;
      } else {
        font.lfHeight = MulDiv(font.lfHeight, dpi_, SystemDpi());
      }
      titleFont_ = UniqueFont(CreateFontIndirectW(&font));
    }
    if (!titleFont_) return base;
  }
  return titleFont_.get();
}

const TSkinModel& TSkinForm::Skin() const { return data_->Model(dpi_); }

LRESULT TSkinForm::DpiChanged(WPARAM wParam, LPARAM lParam) {
  RECT before{};
  GetWindowRect(window_, &before);
  dpi_ = HIWORD(wParam);
  ReloadMetrics();
  // The window's own handling moves it to the suggested rectangle and lays its client area out for
  // the new scale; the frame then goes around that client area. A window that stays where it was
  // keeps its client size inside the new frame.
  const LRESULT result = Default(WM_DPICHANGED, wParam, lParam);
  if (form_ && form_->PixelsPerInch() != dpi_) {
    dpi_ = form_->PixelsPerInch();
    ReloadMetrics();
  }
  RECT after{};
  GetWindowRect(window_, &after);
  if (!EqualRect(&before, &after)) refreshClient_ = ClientSize(window_);
  RefreshFrame();
  return result;
}

void TSkinForm::WidenForCaptionText(SIZE& client) {
  const int length = GetWindowTextLengthW(window_);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  GetWindowTextW(window_, text.data(), length + 1);
  WindowDC dc(window_);
  SelectedObject font(dc.get(), TitleFont());
  SIZE extent{};
  GetTextExtentPoint32W(dc.get(), text.c_str(), length, &extent);
  const TDataSkinTitle& title = Skin().Title();
  const int wanted = title.LeftWidth + extent.cx + title.RightWidth - metrics_.Left - metrics_.Right;
  if (wanted <= client.cx) return;
  const int shift = (wanted - client.cx) / 2;
  client.cx = wanted;
  for (HWND child = GetWindow(window_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&r), 2);
    SetWindowPos(child, nullptr, r.left + shift, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void TSkinForm::Unskin(bool destroyed) {
  if (!window_ || lifeState_ == TSkinLifeState::Finished) return;
  SetHoverTimer(false);
  DropPress();
  hot_.Clear();
  systemMenu_.reset();
  const bool alive = !destroyed && IsWindow(window_);
  const SIZE client = alive ? ClientSize(window_) : SIZE{};
  subclass_.Detach();
  menuBar_.reset();
  if (alive) {
    if (form_) form_->SetColor(savedColor_);
    if (Framed()) RestoreSystemFrame(client);
  }
  frameApplied_ = false;
  UnskinControls();
  choices_.clear();
  lifeState_ = TSkinLifeState::Finished;
}

void TSkinForm::SkinControls() {
  if (form_) menuHooks_.Attach(*form_, *data_);
  AttachControlSkinners(choices_);
}

void TSkinForm::SkinControlsMadeLater() {
  const bool skinned = lifeState_ == TSkinLifeState::Skinned || lifeState_ == TSkinLifeState::Refreshing;
  if (!skinned || !host_ || !form_) return;
  // The same walk as the first one, so that each new control gets the skinner it would have had.
  std::vector<TControlSkinChoice> added;
  for (const TControlSkinChoice& choice : host_->MapControls(*data_, *form_)) {
    const bool known = std::any_of(choices_.begin(), choices_.end(),
                                   [&](const TControlSkinChoice& c) { return c.Control == choice.Control; });
    if (!known) added.push_back(choice);
  }
  choices_.insert(choices_.end(), added.begin(), added.end());
  AttachControlSkinners(added);
}

void TSkinForm::AttachControlSkinners(const std::vector<TControlSkinChoice>& choices) {
  for (const TControlSkinChoice& choice : choices) {
    if (!choice.Control) continue;
    auto* custom = dynamic_cast<TSkinControl*>(choice.Custom);
    std::unique_ptr<TSkinControl> made = custom ? nullptr : MakeControlSkinner(choice);
    TSkinControl* skinner = custom ? custom : made.get();
    if (!skinner) continue;
    try {
      skinner->Attach(this, *data_, choice.Mode, *choice.Control);
    } catch (const std::exception&) {
      // A control that cannot take its skinner keeps its ordinary look; the others go on.
      continue;
    }
    if (made) {
      controlSkinners_.push_back(std::move(made));
    } else {
      customSkinners_.push_back(custom);
    }
  }
}

void TSkinForm::AttachSizeGrip(HWND grip) {
  sizeGrip_ = grip;
  if (!data_) return;
  // Skinners of grips already gone are inert: they make way, so that a window making grip after
  // grip does not gather them.
  std::erase_if(controlSkinners_, [](const std::unique_ptr<TSkinControl>& skinner) {
    return skinner->State() == TSkinControlState::Destroyed && dynamic_cast<TSkinSizer*>(skinner.get());
  });
  std::unique_ptr<TSkinControl> sizer = MakeControlSkinner({.Kind = TSkinnerKind::Sizer});
  if (sizer && sizer->AttachHandle(grip, *data_, this)) controlSkinners_.push_back(std::move(sizer));
}

void TSkinForm::RemakeScrollbarSkinner(HWND child) {
  TWinControl* control = FindControl(child);
  if (!control || !data_ || (lifeState_ != TSkinLifeState::Skinned && lifeState_ != TSkinLifeState::Refreshing)) return;
  const auto choice = std::find_if(choices_.begin(), choices_.end(), [&](const TControlSkinChoice& c) {
    return c.Control == control && c.Kind == TSkinnerKind::Scrollbar && !c.Custom;
  });
  if (choice == choices_.end()) return;
  std::erase_if(controlSkinners_, [&](const std::unique_ptr<TSkinControl>& s) { return s->Control() == control; });
  std::unique_ptr<TSkinControl> made = MakeControlSkinner(*choice);
  if (!made) return;
  try {
    made->Attach(this, *data_, choice->Mode, *control);
  } catch (const std::exception&) {
    // The control keeps its ordinary bars.
    return;
  }
  controlSkinners_.push_back(std::move(made));
}

void TSkinForm::UnskinControls() {
  menuHooks_.Detach();
  for (TSkinControl* custom : customSkinners_) custom->Detach();
  customSkinners_.clear();
  for (const auto& skinner : controlSkinners_) skinner->Detach();
  controlSkinners_.clear();
}

void TSkinForm::ReadShow() {
  show_ = IsIconic(window_) ? TWindowShow::Minimized : IsZoomed(window_) ? TWindowShow::Maximized : TWindowShow::Normal;
}

void TSkinForm::SyncHoverTimer() {
  // Only a hot object of a shown window needs watching; a hidden one cannot be under the pointer.
  if (hot_.Hot() && (!Painting() || !IsWindowVisible(window_))) hot_.Clear();
  SetHoverTimer(hot_.Hot() != nullptr);
}

void TSkinForm::SetHoverTimer(bool on) {
  if (on == hoverTimer_ || !window_) return;
  if (on) {
    hoverTimer_ = SetTimer(window_, kHoverTimerId, kHoverInterval, nullptr) != 0;
  } else {
    // The timer dies with the window; nothing to stop for one that is gone.
    if (IsWindow(window_)) KillTimer(window_, kHoverTimerId);
    hoverTimer_ = false;
  }
}

LRESULT TSkinForm::Default(UINT msg, WPARAM wParam, LPARAM lParam) {
  return subclass_.Default(window_, msg, wParam, lParam);
}

LRESULT TSkinForm::Dispatch(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  const LRESULT result = HandleMessage(window, msg, wParam, lParam);
  // The hover timer runs only while a caption or menu-bar button is hot, so that an idle window,
  // a window without buttons and a hidden window cost no wake-ups.
  if (msg != WM_NCDESTROY) SyncHoverTimer();
  return result;
}

LRESULT TSkinForm::HandleMessage(HWND, UINT msg, WPARAM wParam, LPARAM lParam) {
  const bool skinned = lifeState_ == TSkinLifeState::Skinned || lifeState_ == TSkinLifeState::Refreshing;
  switch (msg) {
    case WM_NCDESTROY: {
      lifeState_ = TSkinLifeState::Destroying;
      Unskin(true);
      const LRESULT result = Default(msg, wParam, lParam);
      lifeState_ = TSkinLifeState::Finished;
      return result;
    }
    case kSkinQueryMessage: return 1;
    case kSkinFinishMessage:
      if (lParam == 1000) Finish();
      return 0;
    case kSkinRepaintFrameMessage:
      PaintFrame();
      return 0;
    case kSkinRecreateScrollbarMessage:
      RemakeScrollbarSkinner(reinterpret_cast<HWND>(wParam));
      return 0;
    case CM_CHILDWINDOWSMADE:
      SkinControlsMadeLater();
      break;
    case WM_TIMER:
      if (wParam != kHoverTimerId) break;
      HoverTick();
      return 0;
    case WM_ACTIVATE:
      active_ = LOWORD(wParam) != WA_INACTIVE;
      break;
    case WM_GETDPISCALEDSIZE:
      if (skinned && Framed() && form_) return ScaledSize(wParam, lParam);
      break;
    case WM_DPICHANGED: {
      if (skinned) return DpiChanged(wParam, lParam);
      const LRESULT result = Default(msg, wParam, lParam);
      dpi_ = form_ ? form_->PixelsPerInch() : HIWORD(wParam);
      // The skinned frame still to come, or being put on, is the one of the new scale.
      if (lifeState_ == TSkinLifeState::Starting || lifeState_ == TSkinLifeState::Resizing) ReloadMetrics();
      return result;
    }
    case WM_INITMENUPOPUP:
      if (host_) {
        const bool system = HIWORD(lParam) || (systemMenu_ && reinterpret_cast<HMENU>(wParam) == systemMenu_->Handle());
        host_->PopupMenuOpening(system ? TPopupMenuKind::SystemMenu : TPopupMenuKind::Ordinary);
      }
      break;
    case WM_CTLCOLORBTN: {
      const LRESULT result = Default(msg, wParam, lParam);
      if (!form_) SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
      return result;
    }
    case WM_CTLCOLORSTATIC: {
      const LRESULT result = Default(msg, wParam, lParam);
      if (form_ || !data_->ButtonFaceBrush()) return result;
      SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
      return reinterpret_cast<LRESULT>(data_->ButtonFaceBrush());
    }
    case WM_ERASEBKGND: {
      if (form_ || !data_->ButtonFaceBrush()) break;
      RECT r{};
      GetClientRect(window_, &r);
      FillRect(reinterpret_cast<HDC>(wParam), &r, data_->ButtonFaceBrush());
      return 1;
    }
    case WM_SIZE: {
      const LRESULT result = Default(msg, wParam, lParam);
      show_ = wParam == SIZE_MINIMIZED   ? TWindowShow::Minimized
              : wParam == SIZE_MAXIMIZED ? TWindowShow::Maximized
                                         : TWindowShow::Normal;
      if (!skinned || !Framed() || show_ == TWindowShow::Minimized) return result;
      if (kind_ == TWindowKind::MdiChild &&
          (show_ != TWindowShow::Normal || mdiMaximizedMode_ || (host_ && host_->MaximizedMdiMode())))
        return result;
      FrameStep([this] { BuildRegion(false); });
      return result;
    }
    case WM_WINDOWPOSCHANGED:
      ReadShow();
      break;
    case WM_GETMINMAXINFO: {
      const LRESULT result = Default(msg, wParam, lParam);
      ReadShow();
      if (captionWorkaround_) {
        const LONG_PTR style = GetWindowLongPtrW(window_, GWL_STYLE);
        SetWindowLongPtrW(window_, GWL_STYLE,
                          show_ == TWindowShow::Minimized ? style | (style_ & WS_CAPTION) : style & ~WS_CAPTION);
      }
      return result;
    }
    case WM_SYSCOMMAND: return SysCommand(wParam, lParam);
    case WM_MENUSELECT:
      if (menuBar_) menuBar_->MenuSelect(wParam, lParam);
      break;
    case CM_MENUCHANGED:
      if (!menuBar_ || !skinned) break;
      if (data_->MenuUpdate()) {
        menuBar_->Build();
        PaintFrame();
      } else {
        menuBar_->Detach();
      }
      break;
    default: break;
  }
  if (!Framed()) return Default(msg, wParam, lParam);
  // The frame is ours from here on.
  switch (msg) {
    case WM_NCACTIVATE:
      active_ = wParam != 0;
      if (lifeState_ == TSkinLifeState::Starting) return 1;
      if (!active_ && hot_.Hot()) hot_.Hot()->MouseLeave();
      if (kind_ == TWindowKind::MdiFrame) {
        if (HWND client = FindWindowExW(window_, nullptr, L"MDIClient", nullptr))
          SendMessageW(client, msg, wParam, lParam);
      } else if (kind_ == TWindowKind::MdiChild) {
        Default(msg, wParam, lParam);
      }
      PaintFrame();
      return 1;
    case WM_NCPAINT:
      PaintFrame();
      return 0;
    case kNcUahDrawCaption:
    case kNcUahDrawFrame: return 0;
    case WM_SETTEXT:
    case WM_SETICON: {
      const LRESULT result = Default(msg, wParam, lParam);
      PaintFrame();
      return result;
    }
    case WM_NCCALCSIZE: {
      if (lifeState_ == TSkinLifeState::Starting) break;
      RECT* rect = reinterpret_cast<RECT*>(lParam);
      const RECT window = *rect;
      // The system's client rectangle is replaced by the skin's.
      Default(msg, wParam, lParam);
      RECT client = window;
      const bool whole = kind_ == TWindowKind::MdiChild && show_ != TWindowShow::Normal;
      if (!whole) {
        const TRect inner = SkinClientRect(window.right - window.left, window.bottom - window.top, metrics_);
        client = {window.left + inner.Left, window.top + inner.Top, window.left + inner.Right,
                  window.top + inner.Bottom};
      }
      if (!wParam) {
        *rect = client;
        return 0;
      }
      auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam);
      params->rgrc[0] = params->rgrc[1] = params->rgrc[2] = client;
      return WVR_VALIDRECTS;
    }
    case WM_NCHITTEST: {
      const LRESULT result = Default(msg, wParam, lParam);
      return skinned ? SkinHitTest(static_cast<int>(result), WindowPoint(lParam), metrics_) : result;
    }
    case WM_NCMOUSEMOVE:
      if (skinned) return NcMouseMove(wParam, lParam);
      break;
    case WM_NCLBUTTONDOWN:
      if (skinned) return NcLButtonDown(wParam, lParam);
      break;
    case WM_NCLBUTTONUP:
      if (skinned) return NcLButtonUp(wParam, lParam);
      break;
    case WM_MOUSEMOVE:
      if (!pressed_) break;
      FollowPress(WindowPointOfClient(lParam));
      return 0;
    case WM_LBUTTONUP:
      if (!pressed_) break;
      ReleasePress(WindowPointOfClient(lParam));
      return 0;
    case WM_CAPTURECHANGED:
      EndPress();
      break;
    case WM_NCLBUTTONDBLCLK:
      if (skinned) return NcLButtonDblClk(wParam, lParam);
      break;
    case WM_NCRBUTTONDOWN:
      if (!skinned || wParam != HTCAPTION || kind_ == TWindowKind::MdiChild) break;
      ShowSystemMenu(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    default: break;
  }
  return Default(msg, wParam, lParam);
}
