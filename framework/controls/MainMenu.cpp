#include "framework/controls/MainMenu.h"

#include "framework/controls/Forms.h"
#include "framework/core/Exception.h"
#include "framework/win32/Strings.h"

const TClassInfo& TMainMenu::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TMainMenu>("TMainMenu", &TMenu::StaticClassInfo()).Creatable();
  return info;
}

TMainMenu::TMainMenu(TComponent* owner) : TMenu(owner) {}

TMainMenu::~TMainMenu() {
  // The form lets go of the native bar before it is destroyed.
  if (form_) form_->SetMenu(nullptr);
}

HMENU TMainMenu::BarHandle() {
  if (!bar_) {
    bar_.reset(CreateMenu());
    if (!bar_) throw EOutOfResources("Out of system resources");
    Fill();
  }
  return bar_.get();
}

HWND TMainMenu::WindowHandle() const {
  return form_ && form_->HandleAllocated() ? form_->Handle() : nullptr;
}

void TMainMenu::Fill() {
  HMENU menu = bar_.get();
  // Deleting an entry destroys its drop-down with it.
  EndShow();
  while (GetMenuItemCount(menu) > 0) DeleteMenu(menu, 0, MF_BYPOSITION);
  commands_.clear();
  for (int i = 0; i < Items()->Count(); ++i) {
    TMenuItem* item = Items()->Items(i);
    if (!item->Visible()) continue;
    const std::wstring text = Utf8ToWide(item->Caption());
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING;
    info.fType = item->IsLine() ? MFT_SEPARATOR : MFT_STRING;
    info.fState = item->Enabled() ? MFS_ENABLED : MFS_GRAYED;
    info.dwTypeData = const_cast<wchar_t*>(text.c_str());
    commands_.push_back(item);
    info.wID = static_cast<UINT>(commands_.size());
    UniqueMenu sub;
    if (item->Count() > 0) {
      sub.reset(CreatePopupMenu());
      if (!sub) throw EOutOfResources("Out of system resources");
      item->BuildInto(sub.get(), commands_, DrawsItems());
      info.fMask |= MIIM_SUBMENU;
      info.hSubMenu = sub.get();
    }
    if (!InsertMenuItemW(menu, static_cast<UINT>(GetMenuItemCount(menu)), TRUE, &info))
      throw EOutOfResources("Out of system resources");
    // The bar owns its drop-down from here on.
    sub.release();
  }
  RecordShown(menu, commands_);
}

void TMainMenu::Refill() {
  Fill();
  HWND window = WindowHandle();
  if (window && GetMenu(window) == bar_.get()) DrawMenuBar(window);
}

void TMainMenu::Changed(TMenuItem* item) {
  // While the items are read or torn down the bar waits for the end.
  if (!bar_ || Loading() || Destroying()) return;
  Refill();
  TMenu::Changed(item);
}

void TMainMenu::PaintersChanged() {
  // The entries themselves are as they were: whoever draws the bar has nothing to hear of.
  if (!bar_ || Loading() || Destroying()) return;
  Refill();
}

TMenuItem* TMainMenu::FindItem(UINT command) const {
  return command > 0 && command <= commands_.size() ? commands_[command - 1] : nullptr;
}

bool TMainMenu::DispatchCommand(UINT command) {
  TMenuItem* item = FindItem(command);
  if (!item) return false;
  if (item->Enabled()) item->Click();
  return true;
}

void TMainMenu::Loaded() {
  TMenu::Loaded();
  Changed(nullptr);
}
