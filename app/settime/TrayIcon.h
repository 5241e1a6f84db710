#pragma once
// The notification-area icon. It also hides the main window into the tray and brings it back
// (ShowDesigning), and turns clicks on the icon into events.
#include <windows.h>

#include <shellapi.h>

#include <memory>
#include <string>

#include "framework/classes/Events.h"
#include "framework/classes/Properties.h"
#include "framework/controls/ExtCtrls.h"
#include "framework/controls/Menus.h"
#include "framework/controls/Messages.h"
#include "framework/core/DpiScale.h"
#include "framework/graphics/Graphic.h"

// The tooltip of the version-1 record holds 64 characters; the text is limited as it would be
// in code page 936, where it takes at most 62 bytes.
constexpr size_t kTrayTipLimit = 62;

// Cuts text, given in code page 936, to at most limit bytes without splitting a double-byte
// character.
std::string CutAnsiTip(const std::string& ansi, size_t limit);

class TTrayIcon : public TComponent {
public:
  BREVIN_CLASS_INFO()
  explicit TTrayIcon(TComponent* owner);
  ~TTrayIcon() override;

  bool Active() const { return active_; }
  void SetActive(bool value);
  bool ShowDesigning() const { return showDesigning_; }
  void SetShowDesigning(bool value);
  TIcon* Icon() const { return icon_.get(); }
  void SetIcon(TIcon* icon);
  // UTF-8 in and out; kept as code-page-936 bytes, at most kTrayTipLimit of them.
  std::string ToolTip() const;
  void SetToolTip(const std::string& text);
  TPopupMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TPopupMenu* menu) { popupMenu_ = menu; }

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnRightClick;

  // The shell calls; each answers whether the shell accepted it.
  bool AddIcon();
  bool ModifyIcon();
  bool RemoveIcon();
  void PopupAtCursor();

  HWND MessageWindow() const { return window_; }
  // What the notification area is given: Icon at the small-icon size of its scale.
  HICON ShellIcon() const { return shellIcon_.get(); }

private:
  static LRESULT CALLBACK TrayWndProc(HWND, UINT, WPARAM, LPARAM);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void FillIconData();
  // Icon at the small-icon size of the notification area's scale, handed to the shell.
  void MakeShellIcon();
  bool Notify(DWORD message);
  void ClickTimerTick(TObject* sender);

  NOTIFYICONDATAW data_{};
  TTimer* clickTimer_;
  std::unique_ptr<TIcon> icon_;
  UniqueIcon shellIcon_;
  std::string tipAnsi_;
  HWND window_ = nullptr;
  int dpi_ = kDesignDpi;
  bool active_ = false;
  bool showDesigning_ = true;
  // Set from the start, so that the very first single click on the icon already counts.
  bool clickFlag_ = true;
  TPopupMenu* popupMenu_ = nullptr;
};

// The one tray icon, created by the main window's show handler.
extern TTrayIcon* TrayIcon1;
