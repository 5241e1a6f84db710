#pragma once
// TSkinMenuBar: the menu bar of a skinned window, drawn by the form skinner in the band between the
// caption and the client area, with one TMenuBtn per top-level item of the window's menu.
//
// While the bar is built the window's native menu is taken away from it, so that the system draws
// no bar of its own; it goes back to the window when the bar is freed. A bar item opens its
// drop-down with TrackPopupMenu right under the item. While a drop-down is open a message-filter
// hook selects its first entry, moves on to the neighbouring bar item with the arrow keys (wrapping
// at both ends) and to the item under the mouse, by closing the open drop-down and opening the next
// one. The hook lives only around TrackPopupMenu and is removed on every way out, the window's
// destruction while its drop-down is open included.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/classes/Types.h"
#include "framework/win32/Handles.h"
#include "framework/win32/ThreadHook.h"
#include "skin/model/NCObject.h"
#include "skin/win/data/SkinPaint.h"

class TMainMenu;
class TMenuItem;
class TSkinForm;
class TSkinMenuBar;

// One item of the bar.
class TMenuBtn : public TNCObject {
public:
  TMenuBtn(TSkinMenuBar& bar, TNCHotSlot& slot, int index) : TNCObject(slot), Index(index), bar_(bar) {}
  void Paint() override;

  const int Index;
  // Window coordinates of the last layout.
  TRect Rect;
  std::wstring Text;
  UINT Command = 0;
  // Without one the item is a command of its own.
  HMENU SubMenu = nullptr;
  // The menu object's item, when the window is a form with a menu object.
  TMenuItem* Item = nullptr;

private:
  TSkinMenuBar& bar_;
};

class TSkinMenuBar {
public:
  TSkinMenuBar(TSkinForm& form, TNCHotSlot& slot);
  // Ends an open drop-down and gives the native menu back to a window that still exists.
  ~TSkinMenuBar();
  TSkinMenuBar(const TSkinMenuBar&) = delete;
  TSkinMenuBar& operator=(const TSkinMenuBar&) = delete;

  // Reads the window's menu (through the form's menu object when it has one) into the items and
  // takes the native menu away from the window.
  void Build();
  // Takes a native menu that the window was given again away from it, keeping the items.
  void Detach();

  // Lays out and paints the whole bar into the window DC dc of a window windowWidth wide.
  void Paint(HDC dc, int windowWidth);
  // Repaints one item from the saved bar background.
  void PaintItem(const TMenuBtn& item);

  // The bar's rectangle in window coordinates.
  TRect BarRect(int windowWidth) const;
  TMenuBtn* ItemAt(TPoint windowPoint) const;
  // The item Alt+key opens (key 0: a bare Alt); -1 for none.
  int ItemForKey(wchar_t key) const;

  // Opens the drop-down of item index, and then of each item the user moves on to. False when the
  // bar was freed while a drop-down was open: the caller returns at once, touching nothing.
  [[nodiscard]] bool Open(int index);
  // The window's WM_MENUSELECT while a drop-down is open.
  void MenuSelect(WPARAM wParam, LPARAM lParam);
  bool Tracking() const { return tracking_; }

  HMENU Menu() const { return menu_; }
  const std::vector<std::unique_ptr<TMenuBtn>>& Buttons() const { return buttons_; }

private:
  bool RightToLeft() const;
  void Layout(HDC dc, int windowWidth);
  void DrawBackground(HDC dc, int width, int height);
  void DrawItem(HDC dc, const TMenuBtn& item, TPoint barOrigin);
  HFONT MenuFont();
  void TidySubItems(TMenuItem* item);
  bool Filter(int code, const MSG& msg);
  // The bar item an arrow key moves on to from the open one.
  int Neighbour(bool forward) const;
  void SwitchTo(int index);

  TSkinForm& form_;
  TNCHotSlot& slot_;
  HWND window_;
  HMENU menu_ = nullptr;
  TMainMenu* menuObject_ = nullptr;
  std::vector<std::unique_ptr<TMenuBtn>> buttons_;
  UniqueFont font_;
  int fontDpi_ = 0;
  // The bar's background, and the bar as shown (background with the items).
  TPaintBuffer background_;
  TPaintBuffer shown_;
  TRect barRect_;

  // The open drop-down.
  TThreadHook hook_;
  bool tracking_ = false;
  int current_ = -1;
  HMENU openMenu_ = nullptr;
  bool firstFiltered_ = false;
  bool selectedHasSubMenu_ = false;
  bool selectedInSubMenu_ = false;
  int switchTo_ = -1;
  // Cleared when the bar is freed, for the Open on the stack that outlives it.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};
