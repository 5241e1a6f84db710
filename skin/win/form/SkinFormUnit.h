#pragma once
// TSkinForm skins one top-level window of the process, a form of ours or a foreign window such as a
// standard dialog or a message box: it replaces the system-drawn frame by the skin's border
// images, caption text and caption buttons, answers the non-client messages itself, shapes the
// window with a region cut from transparent border pieces and offers a skinned system menu.
//
// Life: InitSkin records the window's styles and capabilities, works out the frame and replaces the
// window procedure; the frame is applied when the window receives kSkinFinishMessage with LParam
// 1000. The creator posts it, so that the window is not resized inside the message that led to its
// skinning, or sends it to a window that is about to be shown, so that its first paint is the skin's. Unskin puts back the procedure, the style bits, the size of the client area and the
// region; a window destroyed while skinned unskins itself on WM_NCDESTROY.
//
// A window without a caption (border mode 2, such as the full-screen rest window) keeps its system
// frame, size and region untouched; only its controls are mapped.
#include <windows.h>

#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "framework/controls/Menus.h"
#include "framework/win32/Handles.h"
#include "framework/win32/WindowSubclass.h"
#include "skin/model/NCObject.h"
#include "skin/layout/SkinFrame.h"
#include "skin/win/form/SkinFormHost.h"
#include "skin/win/controls/SkinControl.h"
#include "skin/win/menus/SkinMenuBar.h"
#include "skin/win/menus/SkinMenuUnit.h"
#include "skin/win/data/SkinPaint.h"

class TCustomForm;
class TSkinData;
class TSkinForm;

// The life states the manager sees.
enum class TSkinLifeState { Starting = 0, Skinned = 1, Refreshing = 3, Destroying = 4, Resizing = 5, Finished = 6 };

// The window kind.
enum class TWindowKind { Ordinary = 0, MdiFrame = 1, MdiChild = 2 };

// A caption button: one per caption-button object of the skin.
class TSkinSysButton : public TNCObject {
public:
  TSkinSysButton(TSkinForm& form, TNCHotSlot& slot, const TDataSkinSysButton& object)
      : TNCObject(slot), form_(form), object_(object) {}
  const TDataSkinSysButton& Object() const { return object_; }
  // Window coordinates of the last layout; empty while the button is not shown.
  TRect Rect;
  bool Visible = false;
  void Paint() override;

private:
  TSkinForm& form_;
  const TDataSkinSysButton& object_;
};

class TSkinForm {
public:
  // form: the form object, nullptr for a foreign window. host: the manager, may be nullptr.
  TSkinForm(TCustomForm* form, TSkinFormHost* host);
  ~TSkinForm();
  TSkinForm(const TSkinForm&) = delete;
  TSkinForm& operator=(const TSkinForm&) = delete;

  // Records the window and replaces its procedure; raises EOutOfResources when it cannot.
  void InitSkin(HWND window, TSkinData* data);
  // Puts everything back; destroyed: the window is going away, so its size and colour are left.
  void Unskin(bool destroyed);
  // The manager's own way to end the starting phase without the finishing message.
  void MarkFinished() { lifeState_ = TSkinLifeState::Finished; }
  // A new skin: the first pass takes the new metrics and buttons, the second applies them.
  void ReloadMetrics();
  void RefreshFrame();
  void SetMdiMaximizedMode(bool on) { mdiMaximizedMode_ = on; }
  // A size grip made for the window gets its skinner, kept with the controls' skinners.
  void AttachSizeGrip(HWND grip);

  HWND Handle() const { return window_; }
  TCustomForm* Form() const { return form_; }
  TSkinData* Data() const { return data_; }
  // The display scale the window is drawn at, and the skin at that scale.
  int Dpi() const { return dpi_; }
  const TSkinModel& Skin() const;
  TSkinLifeState LifeState() const { return lifeState_; }
  const TFrameMetrics& Metrics() const { return metrics_; }
  TBorderMode BorderMode() const { return borderMode_; }
  TWindowShow Show() const { return show_; }
  bool Active() const { return active_; }
  HWND SizeGrip() const { return sizeGrip_; }
  const std::vector<TControlSkinChoice>& ControlChoices() const { return choices_; }
  // The skinners made from those answers, for the kinds that have one.
  const std::vector<std::unique_ptr<TSkinControl>>& ControlSkinners() const { return controlSkinners_; }
  const std::vector<std::unique_ptr<TSkinSysButton>>& Buttons() const { return buttons_; }
  // The skinned menu bar of a window with a menu (nullptr for none).
  TSkinMenuBar* MenuBar() const { return menuBar_.get(); }
  // How often the region has been built (a region is costly, so it is built only when needed).
  int RegionBuilds() const { return regionBuilds_; }

  // Paints the caption band (caption picture, text, buttons) through the caption buffer.
  void PaintCaption();
  // Paints the whole frame; does nothing outside the skinned states.
  void PaintFrame();
  // Paints the band between caption and client area: the menu bar and the MDI buttons in it.
  void PaintMenuBand();
  // Whether the frame is the skin's to paint now.
  bool Painting() const {
    return Framed() && (lifeState_ == TSkinLifeState::Skinned || lifeState_ == TSkinLifeState::Refreshing);
  }

private:
  LRESULT Dispatch(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT Default(UINT msg, WPARAM wParam, LPARAM lParam);
  bool Framed() const { return framed_ && borderMode_ != TBorderMode::NoCaption; }

  // Set-up and life (SkinFormUnit.cpp).
  void Finish();
  void ApplySkin();
  // A frame that cannot be made or shaped: the window goes back to the system's frame for good,
  // its controls stay skinned, and the error is reported.
  void GiveUpFrame(std::exception_ptr error);
  // Runs a step of making or shaping the frame; false when it failed and the frame was given up.
  template <typename Step>
  bool FrameStep(Step step);
  // The system's frame with the client area keeping its size, and no region.
  void RestoreSystemFrame(SIZE client);
  void MakeButtons();
  void ApplyFrameSize(SIZE client);
  void ReadShow();
  void SetHoverTimer(bool on);
  // Runs the hover timer while an object is hot in a shown, painted frame, and only then.
  void SyncHoverTimer();
  void WidenForCaptionText(SIZE& client);
  LRESULT DpiChanged(WPARAM wParam, LPARAM lParam);
  // WM_GETDPISCALEDSIZE: the skinned frame does not scale with the display as the system's does.
  LRESULT ScaledSize(WPARAM wParam, LPARAM lParam);
  // The skinned frame's metrics at a DPI.
  TFrameMetrics MetricsAt(int dpi) const;
  void SkinControls();
  // Controls whose windows were made after the form was skinned (a page shown the first time).
  void SkinControlsMadeLater();
  void AttachControlSkinners(const std::vector<TControlSkinChoice>& choices);
  // The control whose window is child made its window again: its scroll-bar skinner is made anew.
  void RemakeScrollbarSkinner(HWND child);
  void UnskinControls();
  HGDIOBJ TitleFont();

  // Painting and region (SkinFormPaint.cpp).
  void PaintFrameGuarded();
  void DrawCaption(HDC dc, int width);
  void DrawMenuBand(HDC dc, int width);
  // Paints one part of the frame straight into the window, guarded like the whole frame.
  void PaintPart(void (TSkinForm::*draw)(HDC dc, int width));
  void DrawCaptionText(HDC dc, const TRect& place);
  void DrawButton(HDC dc, const TSkinSysButton& button);
  // Places the visible caption buttons; returns the caption text's rectangle.
  TRect LayoutButtons(int width);
  void BuildRegion(bool force);
  TCaptionFacts Facts() const;
  HICON WindowIcon() const;
  void CaptureIcon();

  // Mouse, actions and the system menu (SkinFormMouse.cpp).
  TPoint WindowPoint(LPARAM screenPoint) const;
  TSkinSysButton* ButtonAt(TPoint windowPoint) const;
  LRESULT NcMouseMove(WPARAM wParam, LPARAM lParam);
  LRESULT NcLButtonDown(WPARAM wParam, LPARAM lParam);
  LRESULT NcLButtonUp(WPARAM wParam, LPARAM lParam);
  LRESULT NcLButtonDblClk(WPARAM wParam, LPARAM lParam);
  TPoint WindowPointOfClient(LPARAM clientPoint) const;
  // The pressed caption button while the left button is held: it shows pressed while the pointer
  // is over it, and its action runs when the button is released there.
  void FollowPress(TPoint windowPoint);
  void ReleasePress(TPoint windowPoint);
  // The capture went elsewhere: the press ends without an action.
  void EndPress();
  // Forgets the press without painting (the buttons are about to go).
  void DropPress();
  LRESULT SysCommand(WPARAM wParam, LPARAM lParam);
  void HoverTick();
  void RunAction(int action, TPoint screenPoint);
  void SendToActiveMdiChild(WPARAM command);
  void ShowSystemMenu(int x, int y);
  void BuildSystemMenu();

  TCustomForm* form_;
  TSkinFormHost* host_;
  TSkinData* data_ = nullptr;
  HWND window_ = nullptr;
  int dpi_ = kDesignDpi;
  TWindowSubclass subclass_;
  TSkinLifeState lifeState_ = TSkinLifeState::Starting;
  TPlatformVersion version_;

  std::wstring className_;
  HWND owner_ = nullptr;
  TColor savedColor_ = clBtnFace;
  LONG_PTR style_ = 0;
  LONG_PTR exStyle_ = 0;
  bool canMaximize_ = false;
  bool canMinimize_ = false;
  bool hasSystemMenu_ = false;
  bool captionWorkaround_ = false;
  bool foreignDialog_ = false;
  bool framed_ = false;
  bool frameApplied_ = false;
  bool mdiMaximizedMode_ = false;
  TWindowKind kind_ = TWindowKind::Ordinary;
  TBorderMode borderMode_ = TBorderMode::Sizeable;
  TWindowShow show_ = TWindowShow::Normal;
  bool active_ = false;
  TFrameMetrics metrics_;
  SIZE refreshClient_{};

  TNCHotSlot hot_;
  std::vector<std::unique_ptr<TSkinSysButton>> buttons_;
  std::unique_ptr<TSkinMenuBar> menuBar_;
  TPoint pressPoint_;
  TSkinSysButton* pressed_ = nullptr;
  DWORD lastMenuRequest_ = 0;
  HMENU systemMenuHandle_ = nullptr;
  std::unique_ptr<TPopupMenu> systemMenu_;
  TSkinMenuHooks menuHooks_;
  bool hoverTimer_ = false;

  TPaintBuffer captionBuffer_;
  // The caption text's font: the system's caption font in the skin's title font height.
  UniqueFont titleFont_;
  UniqueBitmap capturedIcon_;
  SIZE regionSize_{-1, -1};
  int regionBuilds_ = 0;
  HWND sizeGrip_ = nullptr;
  std::vector<TControlSkinChoice> choices_;
  std::vector<std::unique_ptr<TSkinControl>> controlSkinners_;
  // Skinners that the skin data's OnSkinControl handler made: attached here, owned by their maker.
  std::vector<TSkinControl*> customSkinners_;
};
