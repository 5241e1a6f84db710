// The mouse in a skinned frame: caption buttons with hover, press and release, their actions,
// double clicks on the caption, and the skinned system menu.
#include <windowsx.h>

#include <utility>

#include "framework/controls/Messages.h"
#include "framework/win32/Strings.h"
#include "skin/win/data/SkinDataUnit.h"
#include "skin/win/form/SkinFormUnit.h"

namespace {

constexpr intptr_t kSystemMenuTag = 33333;

void PostCommand(HWND window, WPARAM command) { PostMessageW(window, WM_SYSCOMMAND, command, 0); }

std::vector<TSystemMenuEntry> SystemMenuEntries(HMENU menu) {
  std::vector<TSystemMenuEntry> entries;
  const int count = menu ? GetMenuItemCount(menu) : 0;
  for (int i = 0; i < count; ++i) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_STRING;
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) continue;
    std::wstring text(info.cch + 1, L'\0');
    info.dwTypeData = text.data();
    info.cch += 1;
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) continue;
    text.resize(info.cch);
    TSystemMenuEntry entry;
    entry.Text = WideToUtf8(text);
    entry.Command = info.wID;
    entry.Separator = (info.fType & MFT_SEPARATOR) != 0;
    entry.Disabled = (info.fState & (MFS_DISABLED | MFS_GRAYED)) != 0;
    entry.Checked = (info.fState & MFS_CHECKED) != 0;
    entries.push_back(std::move(entry));
  }
  return entries;
}

}  // namespace

TPoint TSkinForm::WindowPoint(LPARAM screenPoint) const {
  RECT r{};
  GetWindowRect(window_, &r);
  return {GET_X_LPARAM(screenPoint) - r.left, GET_Y_LPARAM(screenPoint) - r.top};
}

TSkinSysButton* TSkinForm::ButtonAt(TPoint p) const {
  for (const auto& button : buttons_)
    if (button->Visible && button->Rect.Contains(p)) return button.get();
  return nullptr;
}

LRESULT TSkinForm::NcMouseMove(WPARAM wParam, LPARAM lParam) {
  if (pressed_) {
    FollowPress(WindowPoint(lParam));
    return 0;
  }
  if (!active_) return Default(WM_NCMOUSEMOVE, wParam, lParam);
  const TPoint p = WindowPoint(lParam);
  if (TSkinSysButton* button = ButtonAt(p)) {
    button->MouseEnter();
    return 0;
  }
  if (TMenuBtn* item = menuBar_ ? menuBar_->ItemAt(p) : nullptr) {
    item->MouseEnter();
    return 0;
  }
  if (hot_.Hot()) hot_.Hot()->MouseLeave();
  return Default(WM_NCMOUSEMOVE, wParam, lParam);
}

LRESULT TSkinForm::NcLButtonDown(WPARAM wParam, LPARAM lParam) {
  if (TSkinSysButton* button = ButtonAt(WindowPoint(lParam))) {
    if (!active_) SetForegroundWindow(window_);
    pressPoint_ = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    button->MouseDown();
    // The press is followed wherever the pointer goes, as the system's own caption buttons are:
    // off the button it lets go, back on it it presses again, and only the release decides.
    pressed_ = button;
    SetCapture(window_);
    return 0;
  }
  if (TMenuBtn* item = menuBar_ ? menuBar_->ItemAt(WindowPoint(lParam)) : nullptr) {
    if (!active_) SetForegroundWindow(window_);
    // A disabled item neither presses nor opens.
    if (!item->Enabled) return 0;
    item->MouseDown();
    // The skinner may be gone once the drop-down has closed: nothing of it is touched after.
    static_cast<void>(menuBar_->Open(item->Index));
    return 0;
  }
  // A maximised window stays where it is: its caption is not a handle to drag it by.
  if (show_ == TWindowShow::Maximized && active_ && wParam == HTCAPTION)
    return Default(WM_NCLBUTTONDOWN, HTMENU, lParam);
  return Default(WM_NCLBUTTONDOWN, wParam, lParam);
}

LRESULT TSkinForm::NcLButtonUp(WPARAM wParam, LPARAM lParam) {
  if (!pressed_) return Default(WM_NCLBUTTONUP, wParam, lParam);
  ReleasePress(WindowPoint(lParam));
  return 0;
}

TPoint TSkinForm::WindowPointOfClient(LPARAM clientPoint) const {
  POINT p{GET_X_LPARAM(clientPoint), GET_Y_LPARAM(clientPoint)};
  ClientToScreen(window_, &p);
  return WindowPoint(MAKELPARAM(static_cast<short>(p.x), static_cast<short>(p.y)));
}

void TSkinForm::FollowPress(TPoint p) {
  if (pressed_->Rect.Contains(p)) {
    if (pressed_->State() != TNCObject::kPressed) pressed_->MouseDown();
  } else if (pressed_->IsHot()) {
    pressed_->MouseLeave();
  }
}

void TSkinForm::ReleasePress(TPoint p) {
  TSkinSysButton* button = std::exchange(pressed_, nullptr);
  if (GetCapture() == window_) ReleaseCapture();
  if (!button->Rect.Contains(p) || button->State() != TNCObject::kPressed) return;
  button->MouseUp();
  RunAction(button->Object().Action, pressPoint_);
}

void TSkinForm::DropPress() {
  pressed_ = nullptr;
  if (window_ && GetCapture() == window_) ReleaseCapture();
}

void TSkinForm::EndPress() {
  TSkinSysButton* button = std::exchange(pressed_, nullptr);
  if (button && button->IsHot()) button->MouseLeave();
}

LRESULT TSkinForm::NcLButtonDblClk(WPARAM wParam, LPARAM lParam) {
  if (TSkinSysButton* button = ButtonAt(WindowPoint(lParam))) {
    const int action = button->Object().Action;
    if (action != 3 && action != 11) return NcLButtonDown(wParam, lParam);
    PostCommand(window_, SC_CLOSE);
    return 0;
  }
  if (wParam != HTCAPTION) return Default(WM_NCLBUTTONDBLCLK, wParam, lParam);
  if (show_ != TWindowShow::Normal) {
    PostCommand(window_, SC_RESTORE);
  } else if (canMaximize_) {
    PostCommand(window_, SC_MAXIMIZE);
  } else {
    return Default(WM_NCLBUTTONDBLCLK, wParam, lParam);
  }
  return 0;
}

void TSkinForm::HoverTick() {
  // A pressed button follows the pointer through the captured mouse messages.
  if (pressed_) return;
  POINT cursor{};
  GetCursorPos(&cursor);
  RECT r{};
  GetWindowRect(window_, &r);
  const TPoint p{cursor.x - r.left, cursor.y - r.top};
  for (const auto& button : buttons_)
    if (button->IsHot() && !button->Rect.Contains(p)) button->MouseLeave();
  // The open item stays pressed while its drop-down is shown.
  if (!menuBar_ || menuBar_->Tracking()) return;
  for (const auto& item : menuBar_->Buttons())
    if (item->IsHot() && !item->Rect.Contains(p)) item->MouseLeave();
}

LRESULT TSkinForm::SysCommand(WPARAM wParam, LPARAM lParam) {
  const bool skinned = lifeState_ == TSkinLifeState::Skinned || lifeState_ == TSkinLifeState::Refreshing;
  switch (wParam & 0xFFF0) {
    case SC_KEYMENU:
      if (skinned && Framed() && lParam == ' ') {
        POINT origin{0, 0};
        ClientToScreen(window_, &origin);
        ShowSystemMenu(origin.x, origin.y);
        return 0;
      }
      // Alt with a letter opens the bar item it marks, a bare Alt the first; a letter that marks
      // none does nothing.
      if (skinned && menuBar_ && lParam != '-') {
        const int index = menuBar_->ItemForKey(static_cast<wchar_t>(lParam));
        if (index >= 0) static_cast<void>(menuBar_->Open(index));
        return 0;
      }
      break;
    case SC_MINIMIZE:
      show_ = TWindowShow::Minimized;
      // A minimised window is the system's to draw, with its system menu.
      if (Framed()) SetWindowLongPtrW(window_, GWL_STYLE, GetWindowLongPtrW(window_, GWL_STYLE) | (style_ & WS_SYSMENU));
      break;
    case SC_MAXIMIZE: show_ = TWindowShow::Maximized; break;
    case SC_RESTORE: show_ = TWindowShow::Normal; break;
    default: break;
  }
  return Default(WM_SYSCOMMAND, wParam, lParam);
}

void TSkinForm::RunAction(int action, TPoint screenPoint) {
  switch (action) {
    case 0: {
      SetHoverTimer(false);
      const bool offered = systemMenuHandle_ && GetMenuState(systemMenuHandle_, SC_CLOSE, MF_BYCOMMAND) != UINT(-1);
      if (offered || !CloseFollowsSystemMenu(version_)) PostCommand(window_, SC_CLOSE);
      return;
    }
    case 1:
    case 22: PostCommand(window_, show_ == TWindowShow::Maximized ? SC_RESTORE : SC_MAXIMIZE); return;
    case 2:
    case 23: PostCommand(window_, show_ == TWindowShow::Minimized ? SC_RESTORE : SC_MINIMIZE); return;
    case 3:
    case 11:
    case 12: ShowSystemMenu(screenPoint.X + 1, screenPoint.Y + 1); return;
    case 7:
    case 60: SendToActiveMdiChild(SC_MINIMIZE); return;
    case 8:
    case 61: SendToActiveMdiChild(SC_RESTORE); return;
    case 9:
    case 62: SendToActiveMdiChild(SC_CLOSE); return;
    default: PostMessageW(window_, kSkinCaptionActionMessage, static_cast<WPARAM>(action), 0); return;
  }
}

void TSkinForm::SendToActiveMdiChild(WPARAM command) {
  HWND client = FindWindowExW(window_, nullptr, L"MDIClient", nullptr);
  if (!client) return;
  if (auto child = reinterpret_cast<HWND>(SendMessageW(client, WM_MDIGETACTIVE, 0, 0))) PostCommand(child, command);
}

void TSkinForm::ShowSystemMenu(int x, int y) {
  if (!hasSystemMenu_) return;
  // A second request on a hot caption button within a double click is a double click on the icon.
  const DWORD now = GetTickCount();
  if (hot_.Hot() && lastMenuRequest_ != 0 && now - lastMenuRequest_ <= GetDoubleClickTime()) {
    lastMenuRequest_ = 0;
    PostCommand(window_, SC_CLOSE);
    return;
  }
  lastMenuRequest_ = now;
  BuildSystemMenu();
  systemMenu_->Popup(x, y, window_);
}

void TSkinForm::BuildSystemMenu() {
  systemMenuHandle_ = GetSystemMenu(window_, FALSE);
  auto menu = std::make_unique<TPopupMenu>(nullptr);
  menu->Tag = kSystemMenuTag;
  menu->SetImages(data_->MenuGlyphs());
  std::vector<TSystemMenuEntry> entries = SystemMenuEntries(systemMenuHandle_);
  // The system brings its menu's states up to date only when it shows the menu itself: sizing is
  // offered only by a window that can be sized and is not minimised.
  for (TSystemMenuEntry& entry : entries)
    if (entry.Command == SC_SIZE && (!(style_ & WS_THICKFRAME) || show_ == TWindowShow::Minimized)) entry.Disabled = true;
  for (const TSkinMenuEntry& entry : SkinSystemMenuItems(entries, show_, canMaximize_, canMinimize_)) {
    auto* item = new TMenuItem(menu.get());
    item->SetCaption(entry.Caption);
    item->Tag = static_cast<intptr_t>(entry.Tag);
    item->SetEnabled(entry.Enabled);
    item->SetChecked(entry.Checked);
    item->SetImageIndex(entry.Glyph);
    // As in the system's own system menu, closing is what a double click on the icon does.
    item->SetDefault(entry.Tag == SC_CLOSE);
    const HWND window = window_;
    const WPARAM command = entry.Tag;
    item->OnClick = [window, command](TObject*) { PostCommand(window, command); };
    menu->Items()->Add(item);
  }
  menuHooks_.AttachSystemMenu(*menu, *data_);
  systemMenu_ = std::move(menu);
}
