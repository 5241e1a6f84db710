#pragma once
// A form's menu bar: a menu whose items are built into one native menu bar that the form's window
// shows (the form's Menu property). The native bar keeps its handle for the menu's life and is
// refilled in place whenever the items change, so that whoever holds the handle (the window, a
// skin drawing the bar itself) keeps a valid one. Every item, a top-level item with sub-items
// included, gets a command id; the form hands the WM_COMMAND of its menu to DispatchCommand. The
// drop-downs are owner-drawn when the menu draws its items (the bar entries stay the system's, or
// the skin's); the form hands their WM_MEASUREITEM, WM_DRAWITEM, WM_MENUCHAR and WM_INITMENUPOPUP
// to DispatchMenuMessage.
#include <windows.h>

#include <vector>

#include "framework/controls/Menus.h"
#include "framework/win32/Handles.h"

class TCustomForm;

class TMainMenu : public TMenu {
public:
  BREVIN_CLASS_INFO()
  explicit TMainMenu(TComponent* owner);
  ~TMainMenu() override;

  // The native menu bar, built on first use; raises EOutOfResources when the system has none left.
  HMENU BarHandle();
  // The form whose Menu this is (nullptr while none shows it).
  TCustomForm* Form() const { return form_; }
  // The form's window, when it has one.
  HWND WindowHandle() const override;

  // Refills the native bar, then tells the window (CM_MENUCHANGED).
  void Changed(TMenuItem* item) override;
  // The item a command id of the current native bar stands for; nullptr for none.
  TMenuItem* FindItem(UINT command) const;
  // Runs the click of an enabled item; false when the id is not one of this menu's.
  bool DispatchCommand(UINT command);

  void Loaded() override;

protected:
  // A painter hooked or unhooked changes how the drop-downs are built.
  void PaintersChanged() override;

private:
  friend class TCustomForm;
  void SetForm(TCustomForm* form) { form_ = form; }
  void Fill();
  // Fills the bar again and shows it so.
  void Refill();

  TCustomForm* form_ = nullptr;
  UniqueMenu bar_;
  std::vector<TMenuItem*> commands_;
};
