#pragma once
// Popup menus: a tree of items built into a fresh Win32 menu each time it pops up.
#include <windows.h>

#include <string>
#include <vector>

#include "framework/classes/Events.h"
#include "framework/classes/Properties.h"

class TMenuItem : public TComponent {
public:
  BREVIN_CLASS_INFO()
  explicit TMenuItem(TComponent* owner);
  ~TMenuItem() override;

  // "&" marks the accelerator; "-" alone is a separator.
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption) { caption_ = caption; }
  bool Checked() const { return checked_; }
  void SetChecked(bool checked) { checked_ = checked; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled) { enabled_ = enabled; }
  bool Visible() const { return visible_; }
  void SetVisible(bool visible) { visible_ = visible; }
  bool Default() const { return default_; }
  void SetDefault(bool value) { default_ = value; }
  bool RadioItem() const { return radioItem_; }
  void SetRadioItem(bool value) { radioItem_ = value; }
  bool IsLine() const { return caption_ == "-"; }

  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem* Items(int index) const { return items_.at(static_cast<size_t>(index)); }
  TMenuItem* ParentItem() const { return parentItem_; }
  void Add(TMenuItem* item);
  void Insert(int index, TMenuItem* item);
  void Remove(TMenuItem* item);
  void SetParentComponent(TComponent* parent) override;

  virtual void Click();
  TNotifyEvent OnClick;

  // Appends the visible items to a Win32 menu; command ids index `commands`.
  void BuildInto(HMENU menu, std::vector<TMenuItem*>& commands) const;

private:
  std::string caption_;
  bool checked_ = false;
  bool enabled_ = true;
  bool visible_ = true;
  bool default_ = false;
  bool radioItem_ = false;
  std::vector<TMenuItem*> items_;
  TMenuItem* parentItem_ = nullptr;
};

class TPopupMenu : public TComponent {
public:
  BREVIN_CLASS_INFO()
  explicit TPopupMenu(TComponent* owner);
  ~TPopupMenu() override;

  TMenuItem* Items() const { return items_; }
  // Shows the menu at screen (x, y), returns once it has closed; runs the chosen item's Click.
  // The owner window gets the menu's messages; by default the application's window.
  void Popup(int x, int y, HWND owner = nullptr);
  // The control that the menu was last popped up for.
  TComponent* PopupComponent() const { return popupComponent_; }
  void SetPopupComponent(TComponent* component) { popupComponent_ = component; }
  bool AutoPopup() const { return autoPopup_; }
  void SetAutoPopup(bool value) { autoPopup_ = value; }
  // The Win32 menu while it is shown (nullptr otherwise).
  HMENU Handle() const { return handle_; }

  TNotifyEvent OnPopup;

private:
  TMenuItem* items_;
  TComponent* popupComponent_ = nullptr;
  bool autoPopup_ = true;
  HMENU handle_ = nullptr;
};
