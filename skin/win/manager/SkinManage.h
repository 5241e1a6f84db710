#pragma once
// TSkinManage: the process's one skin manager. A CBT hook of the GUI thread sees windows being
// created, activated and destroyed, and each top-level window is watched for being about to be
// shown (a subclass of its own: a window-procedure hook of the thread would cost every message a
// trip through the system's hook chain); every window that qualifies gets a form skinner
// (TSkinForm), complete before the window's first paint when it is skinned as it is shown. The skin data's requests (skin all, unskin all,
// refresh) run from a deferred-action timer for the windows already on the screen.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/win32/ThreadHook.h"
#include "framework/win32/WindowSubclass.h"
#include "skin/win/form/SkinFormHost.h"
#include "skin/win/manager/SkinManagerBase.h"

class TCustomForm;
class TSkinData;
class TSkinForm;
class TSkinPopupWindow;
class TTimer;
class TWinControl;

// The LParam of the finishing message the manager posts to a window it has just skinned.
constexpr LPARAM kSkinFinishLParam = 1000;

enum TSkinDeferredAction {
  kSkinActionRefresh = 3,
  kSkinActionMdiMode = 6,
  kSkinActionReskinWindow = 7,
};

class TSkinManage : public TSkinManagerBase, public TSkinFormHost {
public:
  TSkinManage();
  ~TSkinManage() override;

  void Register(TSkinData* data) override;
  void Unregister(TSkinData* data) override;
  void InstallHook() override;
  void ServeIndividualForms() override;
  void SkinForm(TSkinData* data, TCustomForm* form) override;
  void Schedule(TSkinData* data, int action, int delayMs) override;
  void Refresh(TSkinData* data) override;

  // Before the hook is installed, skin all and unskin all only allow or forbid skinning new windows.
  // Skin all allows it at once: a window shown during the deferral is skinned as it appears.
  void ScheduleAction(int action, int intervalMs);
  // Unskins the window's form skinner and skins the window again, after the deferral.
  void ReskinWindow(HWND window);
  // Skins one window now; false when it does not qualify.
  bool SkinWindow(HWND window);
  TSkinForm* FindFormSkinner(HWND window) const;
  const std::vector<std::unique_ptr<TSkinForm>>& FormSkinners() const { return forms_; }
  std::vector<TControlSkinChoice> MapControls(TSkinData& data, TWinControl& root) const override;

  bool Enabled() const { return enabled_; }
  bool SkinningAll() const { return skinningAll_; }
  TSkinData* MainData() const;
  bool MaximizedMdiMode() const override { return mdiMaximized_; }
  // MDI children drop their frame region while one of them is maximised.
  void SetMaximizedMdiMode(bool on);
  // The skins of the popup-menu windows seen being created; those already destroyed are dropped at
  // the next one.
  const std::vector<std::unique_ptr<TSkinPopupWindow>>& PopupWindows() const { return popups_; }
  TPopupMenuKind PopupMenuKind() const { return popupKind_; }
  void PopupMenuOpening(TPopupMenuKind kind) override { popupKind_ = kind; }

private:
  void RunPendingAction();
  void SkinAll(TSkinData* data, TCustomForm* onlyForm);
  void UnskinAll(TCustomForm* onlyForm);
  void RefreshAll(TSkinData* data);
  void Reskin(HWND window);
  void Forget(HWND window, bool destroying);
  void SkinPopupWindow(HWND window);
  void HookEvent(int code, WPARAM wParam, LPARAM lParam);
  // A top-level window about to become visible for a reason of its own is skinned completely now.
  void WindowShowing(HWND window, WPARAM shown, LPARAM reason);
  void WatchShowing(HWND window);
  void WatchExistingWindows();
  // finishNow: the frame is applied at once instead of at the finishing message.
  bool SkinWindowWith(HWND window, TSkinData* given, bool finishNow = false);
  TSkinData* ChooseData(HWND window, const std::string& className) const;
  bool WantsSkin(const std::string& className) const;

  std::unique_ptr<TTimer> timer_;
  std::vector<TSkinData*> data_;
  std::vector<std::unique_ptr<TSkinForm>> forms_;
  TSkinData* pending_ = nullptr;
  int action_ = 0;
  bool enabled_ = false;
  bool started_ = false;
  bool skinningAll_ = false;
  bool finished_ = false;
  HWND reskinWindow_ = nullptr;
  bool mdiMaximized_ = false;
  TPopupMenuKind popupKind_ = TPopupMenuKind::None;
  std::vector<std::unique_ptr<TSkinPopupWindow>> popups_;
  TThreadHook hook_;
  // The top-level windows watched for their showing, until they end.
  std::vector<std::unique_ptr<TWindowSubclass>> showWatches_;
};

// The manager, when one exists (nullptr in a program without skinning and in tests of single
// skinners).
TSkinManage* SkinManager();
// Makes TSkinManage the manager every skin data registers with.
void UseSkinManage();
