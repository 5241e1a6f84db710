#pragma once
// Popup menus in the skin. The system's popup-menu windows (class "#32768") get the skin's menu
// background and frame (TSkinPopupWindow); the items of the application's popup menus and of the
// skinned system menu are owner-drawn with the skin's item picture and menu colours
// (TSkinMenuPainter). A skin without a "MenuItem" or a "MenuBackground" picture leaves menus as
// the system draws them.
#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "framework/controls/Menus.h"
#include "framework/win32/WindowSubclass.h"
#include "skin/win/data/SkinPaint.h"

class TComponent;
class TSkinData;

// Whether the skin has what skinned menus are drawn with.
bool SkinDrawsMenus(const TSkinData& data);

class TSkinMenuPainter : public TMenuItemPainter {
public:
  explicit TSkinMenuPainter(const TSkinData& data) : data_(data) {}

protected:
  void DrawBackground(HDC dc, const RECT& rect, const TItemState& state) override;
  COLORREF TextColour(const TItemState& state) override;

private:
  const TSkinData& data_;
};

// The painter hooked on the popup menus a skinned form owns and on its menu bar's drop-downs, for
// as long as it is skinned.
class TSkinMenuHooks {
public:
  // Hooks every popup menu among owner's components, and the menu bar of a form, whose Tag is not
  // the skin's DisableTag, when the skin skins popup menus and can draw them.
  void Attach(TComponent& owner, const TSkinData& data);
  // Hooks the skinned system menu, when the skin skins system menus and can draw them.
  void AttachSystemMenu(TPopupMenu& menu, const TSkinData& data);
  void Detach();

private:
  std::unique_ptr<TSkinMenuPainter> painter_;
  std::vector<std::unique_ptr<TMenuPaintHook>> hooks_;
};

// The skin over one popup-menu window, from its creation to its WM_DESTROY.
class TSkinPopupWindow {
public:
  // enabled: whether the manager skins at the moment; everything is passed on while it does not.
  TSkinPopupWindow(HWND window, const TSkinData& data, std::function<bool()> enabled, bool systemMenu);
  TSkinPopupWindow(const TSkinPopupWindow&) = delete;
  TSkinPopupWindow& operator=(const TSkinPopupWindow&) = delete;

  HWND Handle() const { return window_; }
  bool Attached() const { return subclass_.Attached(); }
  bool SystemMenu() const { return systemMenu_; }
  const TSkinData& Data() const { return data_; }

private:
  LRESULT Dispatch(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT PrintClient(HDC dc, LPARAM flags);
  LRESULT Paint();
  LRESULT NcPaint(WPARAM wParam, LPARAM lParam);

  HWND window_;
  const TSkinData& data_;
  std::function<bool()> enabled_;
  bool systemMenu_;
  TPaintBuffer background_;
  TWindowSubclass subclass_;
};
