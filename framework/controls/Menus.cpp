#include "framework/controls/Menus.h"

#include <algorithm>

#include "framework/controls/Controls.h"
#include "framework/win32/Handles.h"
#include "framework/win32/Strings.h"

const TClassInfo& TMenuItem::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TMenuItem>("TMenuItem", &TComponent::StaticClassInfo())
                                     .Creatable()
                                     .Property("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption)
                                     .Property("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked)
                                     .Property("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled)
                                     .Property("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible)
                                     .Property("Default", &TMenuItem::Default, &TMenuItem::SetDefault)
                                     .Property("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem)
                                     .Event("OnClick", &TMenuItem::OnClick);
  return info;
}

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {}

TMenuItem::~TMenuItem() {
  for (TMenuItem* item : items_) item->parentItem_ = nullptr;
  if (parentItem_) parentItem_->Remove(this);
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
  if (item->parentItem_) throw EInvalidOperation("Menu inserted twice");
  index = std::clamp(index, 0, Count());
  items_.insert(items_.begin() + index, item);
  item->parentItem_ = this;
}

void TMenuItem::Remove(TMenuItem* item) {
  if (std::erase(items_, item)) item->parentItem_ = nullptr;
}

void TMenuItem::SetParentComponent(TComponent* parent) {
  if (auto* menu = dynamic_cast<TPopupMenu*>(parent)) return menu->Items()->Add(this);
  if (auto* item = dynamic_cast<TMenuItem*>(parent)) return item->Add(this);
  throw EInvalidOperation("Menu item " + Name() + " must be placed in a menu");
}

void TMenuItem::Click() {
  if (OnClick) OnClick(this);
}

void TMenuItem::BuildInto(HMENU menu, std::vector<TMenuItem*>& commands) const {
  for (TMenuItem* item : items_) {
    if (!item->visible_) continue;
    if (item->IsLine()) {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    UINT flags = MF_STRING;
    if (!item->enabled_) flags |= MF_GRAYED;
    if (item->checked_) flags |= MF_CHECKED;
    const std::wstring text = Utf8ToWide(item->caption_);
    if (!item->items_.empty()) {
      HMENU sub = CreatePopupMenu();
      item->BuildInto(sub, commands);
      AppendMenuW(menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), text.c_str());
    } else {
      commands.push_back(item);
      AppendMenuW(menu, flags, commands.size(), text.c_str());
      if (item->default_) SetMenuDefaultItem(menu, static_cast<UINT>(commands.size()), FALSE);
    }
  }
}

const TClassInfo& TPopupMenu::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TPopupMenu>("TPopupMenu", &TComponent::StaticClassInfo())
                                     .Creatable()
                                     .Property("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup)
                                     .Event("OnPopup", &TPopupMenu::OnPopup);
  return info;
}

TPopupMenu::TPopupMenu(TComponent* owner) : TComponent(owner), items_(new TMenuItem(nullptr)) {}

TPopupMenu::~TPopupMenu() { delete items_; }

void TPopupMenu::Popup(int x, int y, HWND owner) {
  if (OnPopup) OnPopup(this);
  UniqueMenu menu(CreatePopupMenu());
  if (!menu) throw EOutOfResources("Out of system resources");
  std::vector<TMenuItem*> commands;
  items_->BuildInto(menu.get(), commands);
  handle_ = menu.get();
  if (!owner) {
    TControlHost* host = ControlHost();
    owner = host ? host->Handle() : nullptr;
  }
  const UINT chosen = static_cast<UINT>(
      TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN, x, y, 0, owner, nullptr));
  handle_ = nullptr;
  // Lets the menu's window go away before a command opens another window.
  PostMessageW(owner, WM_NULL, 0, 0);
  if (chosen > 0 && chosen <= commands.size()) commands[chosen - 1]->Click();
}
