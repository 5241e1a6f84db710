#pragma once
// Menus: a tree of items built into a fresh Win32 menu each time it is shown. A menu can have its
// items drawn by itself (OwnerDraw: an image of its image list beside the caption), and a painter
// hooked on the menu (the skin engine's) takes that drawing over. Any change to the tree or to an
// item runs the menu's Changed, which tells the menu's window with CM_MENUCHANGED.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/classes/Events.h"
#include "framework/classes/Properties.h"

class TImageList;
class TMenu;
struct TMenuPaintEntry;
struct TPopupShowing;

class TMenuItem : public TComponent {
public:
  BREVIN_CLASS_INFO()
  explicit TMenuItem(TComponent* owner);
  ~TMenuItem() override;

  // "&" marks the accelerator; "-" alone is a separator; text after a tab is the shortcut text.
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  bool Checked() const { return checked_; }
  void SetChecked(bool checked);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  bool Default() const { return default_; }
  void SetDefault(bool value);
  bool RadioItem() const { return radioItem_; }
  void SetRadioItem(bool value);
  // Index into the menu's Images; -1: none.
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int index);
  bool IsLine() const { return caption_ == "-"; }

  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem* Items(int index) const { return items_.at(static_cast<size_t>(index)); }
  TMenuItem* ParentItem() const { return parentItem_; }
  void Add(TMenuItem* item);
  void Insert(int index, TMenuItem* item);
  void Remove(TMenuItem* item);
  void SetParentComponent(TComponent* parent) override;
  // The menu whose tree holds this item; nullptr while it hangs in none.
  TMenu* GetParentMenu() const;

  virtual void Click();
  TNotifyEvent OnClick;

  // Appends the visible items to a Win32 menu; command ids index `commands`. Owner-drawn items
  // carry their TMenuItem* as item data and keep their text for the system's own uses.
  void BuildInto(HMENU menu, std::vector<TMenuItem*>& commands, bool ownerDraw = false) const;

private:
  friend class TMenu;
  void Changed();

  std::string caption_;
  bool checked_ = false;
  bool enabled_ = true;
  bool visible_ = true;
  bool default_ = false;
  bool radioItem_ = false;
  int imageIndex_ = -1;
  std::vector<TMenuItem*> items_;
  TMenuItem* parentItem_ = nullptr;
  // Set on a menu's root item only.
  TMenu* menu_ = nullptr;
};

// Draws owner-drawn items; on its own in the system's menu colours and font. Subclasses replace
// the backdrop, the colours or the whole drawing. Items are measured and drawn for the DPI of the
// display the menu shows on: font, gaps, marks and images all scale with it.
class TMenuItemPainter {
public:
  TMenuItemPainter();
  virtual ~TMenuItemPainter();
  TMenuItemPainter(const TMenuItemPainter&) = delete;
  TMenuItemPainter& operator=(const TMenuItemPainter&) = delete;

  virtual void Measure(const TMenuItem& item, MEASUREITEMSTRUCT& measure, int dpi);
  virtual void Draw(const TMenuItem& item, const DRAWITEMSTRUCT& draw, int dpi);
  // A popup of the menu is about to show (WM_INITMENUPOPUP).
  virtual void InitPopup(HMENU) {}

protected:
  struct TItemState {
    bool Selected = false;
    bool Disabled = false;
    bool HideAccelerator = false;
  };
  // The item's backdrop; the text is drawn transparent over it.
  virtual void DrawBackground(HDC dc, const RECT& rect, const TItemState& state);
  virtual COLORREF TextColour(const TItemState& state);
  // The image of the item: from the menu's image list by default, drawn at the size for dpi.
  virtual void DrawImage(const TMenuItem& item, HDC dc, int x, int y, const TItemState& state, int dpi);
  // The size of the images in the glyph column at dpi.
  virtual SIZE ImageSize(const TMenuItem& item, int dpi);
  HFONT MenuFont(bool bold, int dpi);

private:
  void DrawSeparator(HDC dc, const RECT& rect, int dpi);
  void DrawMark(HDC dc, const RECT& box, bool radio, COLORREF colour, int dpi);

  struct TFonts;
  std::unique_ptr<TFonts> fonts_;
};

// One owner for one painter hooked on one menu: the newest hooked painter draws. Owners detach in
// any order; an owner that outlives its menu detaches from nothing.
class TMenuPaintHook {
public:
  TMenuPaintHook() = default;
  ~TMenuPaintHook() { Detach(); }
  TMenuPaintHook(const TMenuPaintHook&) = delete;
  TMenuPaintHook& operator=(const TMenuPaintHook&) = delete;

  void Attach(TMenu& menu, TMenuItemPainter& painter);
  void Detach();
  TMenu* Menu() const;

private:
  std::shared_ptr<TMenuPaintEntry> entry_;
};

class TMenu : public TComponent {
public:
  BREVIN_CLASS_INFO()
  explicit TMenu(TComponent* owner);
  ~TMenu() override;

  TMenuItem* Items() const { return items_; }
  TImageList* Images() const { return images_; }
  void SetImages(TImageList* images);
  bool OwnerDraw() const { return ownerDraw_; }
  void SetOwnerDraw(bool value);
  // Items are built owner-drawn: OwnerDraw is set or a painter is hooked.
  bool DrawsItems() const { return ownerDraw_ || !painters_.empty(); }
  // The Win32 menu while it is shown (nullptr otherwise); a menu bar's from when it is built.
  HMENU Handle() const { return handle_; }

  // The window that hears of changes; nullptr: none.
  virtual HWND WindowHandle() const = 0;
  // Runs on every change of the tree or an item; sends CM_MENUCHANGED (LParam: this menu) to
  // WindowHandle, unless the menu is being read from a layout or destroyed.
  virtual void Changed(TMenuItem* item);

  // The messages the menu's window receives about the shown menu: WM_MEASUREITEM, WM_DRAWITEM and
  // WM_MENUCHAR for its owner-drawn items, WM_INITMENUPOPUP for its popups. True when the message
  // was this menu's; result then holds the answer.
  bool DispatchMenuMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

protected:
  void Notification(TComponent* component, TOperation operation) override;
  // Builds the Win32 menu, which the caller owns and Handle shows until EndShow; raises
  // EOutOfResources.
  HMENU BeginShow(std::vector<TMenuItem*>& commands, int dpi);
  void EndShow();
  // Takes a menu built elsewhere from these items as the shown one, until EndShow: its items are
  // then this menu's to measure, draw and find by key. dpi: the scale the menu shows at; 0: that
  // of WindowHandle's monitor whenever an item is measured or drawn (a menu bar's drop-downs).
  void RecordShown(HMENU menu, const std::vector<TMenuItem*>& commands, int dpi = 0);
  // A painter was hooked on or unhooked from the menu; a menu built for good rebuilds here.
  virtual void PaintersChanged() {}

private:
  friend class TMenuPaintHook;
  TMenuItemPainter& Painter();
  bool OwnsPopup(HMENU popup) const;
  const TMenuItem* ShownItem(ULONG_PTR data) const;
  bool MenuChar(wchar_t key, HMENU popup, LRESULT& result) const;
  int ShownDpi() const;

  TMenuItem* items_;
  TImageList* images_ = nullptr;
  bool ownerDraw_ = false;
  HMENU handle_ = nullptr;
  int shownDpi_ = 0;
  std::vector<HMENU> shownPopups_;
  std::vector<const TMenuItem*> shownItems_;
  std::vector<std::shared_ptr<TMenuPaintEntry>> painters_;
  std::unique_ptr<TMenuItemPainter> ownPainter_;
};

class TPopupMenu : public TMenu {
public:
  BREVIN_CLASS_INFO()
  explicit TPopupMenu(TComponent* owner);
  ~TPopupMenu() override;

  // Shows the menu at screen (x, y), returns once it has closed; runs the chosen item's Click.
  // The owner window gets the menu's messages; by default the application's window. The items are
  // measured for the monitor at (x, y), where the menu appears.
  void Popup(int x, int y, HWND owner = nullptr);
  // The control that the menu was last popped up for.
  TComponent* PopupComponent() const { return popupComponent_; }
  void SetPopupComponent(TComponent* component) { popupComponent_ = component; }
  bool AutoPopup() const { return autoPopup_; }
  void SetAutoPopup(bool value) { autoPopup_ = value; }
  // The owner's window, when the owner is a windowed control that has one.
  HWND WindowHandle() const override;

  TNotifyEvent OnPopup;

private:
  TComponent* popupComponent_ = nullptr;
  bool autoPopup_ = true;
  TPopupShowing* showing_ = nullptr;
};

// The accelerator character of a caption ("&&" is a literal "&"); 0 when it has none.
wchar_t MenuAccelerator(const std::wstring& caption);
