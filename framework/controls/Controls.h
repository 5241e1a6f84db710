#pragma once
// Controls: windowless ones (TGraphicControl) painted by their parent, and windowed ones
// (TWinControl) with one HWND each. Every message of a control goes through its WindowProc,
// which starts as the control's own WndProc; anything that wants to sit in front of the
// control's handling (a skinner) saves WindowProc, installs its own and calls the saved one.
#include <windows.h>

#include <array>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/classes/Events.h"
#include "framework/classes/Object.h"
#include "framework/classes/Properties.h"
#include "framework/classes/Types.h"
#include "framework/controls/Messages.h"
#include "framework/core/DpiScale.h"
#include "framework/graphics/Graphics.h"

using TWndMethod = std::function<void(TMessage&)>;

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crNo = -18;
constexpr TCursor crHandPoint = -21;

// Modal results of buttons and forms.
using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = IDOK;
constexpr TModalResult mrCancel = IDCANCEL;
constexpr TModalResult mrAbort = IDABORT;
constexpr TModalResult mrRetry = IDRETRY;
constexpr TModalResult mrIgnore = IDIGNORE;
constexpr TModalResult mrYes = IDYES;
constexpr TModalResult mrNo = IDNO;
constexpr TModalResult mrClose = 8;

class TWinControl;
class TPopupMenu;
class TControlMessageHook;
struct TMessageHookEntry;

class TControl : public TComponent {
public:
  BREVIN_CLASS_INFO()
  explicit TControl(TComponent* owner);
  ~TControl() override;

  // Where every message of the control enters: the message hooks, then WndProc.
  TWndMethod WindowProc;
  LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
  virtual void WndProc(TMessage& message);
  // What happens to a message nobody handled: nothing for windowless controls, the window
  // class's own procedure for windowed ones.
  virtual void DefaultHandler(TMessage& message);

  TWinControl* Parent() const { return parent_; }
  virtual void SetParent(TWinControl* parent);
  // A layout nests controls in windowed controls only.
  void SetParentComponent(TComponent* parent) override;

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
  void SetTop(int v) { SetBounds(left_, v, width_, height_); }
  void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
  void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
  virtual void SetBounds(int left, int top, int width, int height);
  TRect BoundsRect() const { return Bounds(left_, top_, width_, height_); }
  virtual TRect ClientRect() const { return {0, 0, width_, height_}; }
  int ClientWidth() const { return ClientRect().Width(); }
  int ClientHeight() const { return ClientRect().Height(); }
  virtual void SetClientWidth(int width) { SetWidth(width); }
  virtual void SetClientHeight(int height) { SetHeight(height); }
  // Client coordinates of this control to and from the screen.
  virtual TPoint ClientToScreen(TPoint point) const;
  virtual TPoint ScreenToClient(TPoint point) const;

  bool Visible() const { return visible_; }
  virtual void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible, and so are all parents (windowed ones with a window).
  virtual bool Showing() const;
  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool enabled);

  std::string Caption() const { return GetText(); }
  void SetCaption(const std::string& text) { SetText(text); }
  virtual std::string GetText() const { return text_; }
  virtual void SetText(const std::string& text);

  TColor Color() const { return color_; }
  void SetColor(TColor color);
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool parentColor);
  TFont* Font() const { return font_.get(); }
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool parentFont);
  TAlign Align() const { return align_; }
  void SetAlign(TAlign align);
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor cursor) { cursor_ = cursor; }
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& hint) { hint_ = hint; }
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool showHint) { showHint_ = showHint; }
  TPopupMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TPopupMenu* menu);

  // The display scale the bounds and the font are in: 96 as a layout gives them, until the
  // control is scaled. A control that joins a parent of another scale is scaled to it.
  int CurrentPPI() const { return pixelsPerInch_; }
  // Scales bounds and font (children's too) from CurrentPPI to dpi.
  void ScaleForPPI(int dpi);

  virtual void Click();
  virtual void Invalidate();
  // Paints pending invalid areas now.
  void Update();
  void Repaint();
  void BringToFront();
  void SendToBack();

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;

protected:
  void Notification(TComponent* component, TOperation operation) override;
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void DblClick();
  // Windowless controls and custom windows click on mouse release; native controls report
  // clicks through their notifications instead.
  virtual bool ClicksOnMouseUp() const { return true; }
  virtual void FontChanged();
  virtual void ColorChanged();
  // Bounds, own font and children by toDpi / fromDpi; the one path for a layout's 96 DPI values
  // and for a window moved to a monitor of another scale. Edges are scaled, not sizes, so that
  // neighbours that touch keep touching.
  virtual void ChangeScale(int toDpi, int fromDpi);
  void ScaleFont(int toDpi, int fromDpi);
  // The control's own place and size; a form keeps its place and scales its client area.
  virtual void ScaleBounds(int toDpi, int fromDpi);
  // The area of the parent's client this control covers, for invalidation.
  virtual void InvalidateControl();
  void ApplyParentFont();
  void ApplyParentColor();
  // Records visibility that the window already has (shown or hidden through the API).
  void SetVisibleFlagQuietly(bool visible) { visible_ = visible; }

  int left_ = 0;
  int top_ = 0;
  int width_ = 0;
  int height_ = 0;

private:
  friend class TWinControl;
  friend class TControlMessageHook;
  void RunMessageHooks(TMessage& message);
  void DetachMessageHooks();
  // Mouse messages become MouseDown/MouseUp/MouseMove, clicks and the popup menu; true when the
  // message needs nothing more.
  bool TranslateMouse(TMessage& message);

  TWinControl* parent_ = nullptr;
  bool visible_ = true;
  bool enabled_ = true;
  std::string text_;
  TColor color_ = clBtnFace;
  bool parentColor_ = false;
  std::unique_ptr<TFont> font_;
  bool parentFont_ = true;
  bool applyingParent_ = false;
  TAlign align_ = TAlign::alNone;
  TCursor cursor_ = crDefault;
  std::string hint_;
  bool showHint_ = false;
  TPopupMenu* popupMenu_ = nullptr;
  bool clicking_ = false;
  bool paintFailed_ = false;
  int pixelsPerInch_ = 96;
  // Left, top, and right and bottom (the size across an aligned axis instead), and the font's
  // height, each scaled from the value a layout or the program gave it.
  std::array<TScaledLength, 4> scaledBounds_;
  TScaledLength scaledFontHeight_;
  // Newest first.
  std::vector<std::shared_ptr<TMessageHookEntry>> messageHooks_;
};

struct TCreateParams {
  std::wstring Caption;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  int X = 0;
  int Y = 0;
  int Width = 0;
  int Height = 0;
  HWND WndParent = nullptr;
  // Our window class; by default the control's class name.
  std::wstring WinClassName;
  // A system class ("BUTTON", "EDIT") whose behaviour the window class takes over; empty for
  // windows that the framework paints itself.
  std::wstring SystemClassName;
  UINT ClassStyle = CS_DBLCLKS;
  UINT_PTR Id = 0;
};

class TWinControl : public TControl {
public:
  BREVIN_CLASS_INFO()
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;

  HWND Handle();
  bool HandleAllocated() const { return handle_ != nullptr; }
  void HandleNeeded() { Handle(); }
  // Destroys the window (children too); the next Handle() creates it again.
  void DestroyHandle();
  void RecreateWnd();

  int ControlCount() const { return static_cast<int>(controls_.size()); }
  TControl* Controls(int index) const { return controls_.at(static_cast<size_t>(index)); }
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  // Moves a child within the z-order (0 = bottom).
  void SetChildOrder(TControl* control, int order);
  // The topmost visible windowless child at a client point (enabled ones only unless asked).
  TControl* ControlAtPos(TPoint point, bool allowDisabled = false) const;

  bool Focused() const;
  virtual bool CanFocus() const;
  void SetFocus();
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool tabStop) { tabStop_ = tabStop; }
  int TabOrder() const { return tabOrder_; }
  void SetTabOrder(int order) { tabOrder_ = order; }
  bool ParentBackground() const { return parentBackground_; }
  void SetParentBackground(bool value);
  bool DoubleBuffered() const { return doubleBuffered_; }
  void SetDoubleBuffered(bool value) { doubleBuffered_ = value; }

  void SetBounds(int left, int top, int width, int height) override;
  TRect ClientRect() const override;
  TPoint ClientToScreen(TPoint point) const override;
  TPoint ScreenToClient(TPoint point) const override;
  void SetVisible(bool visible) override;
  void SetEnabled(bool enabled) override;
  std::string GetText() const override;
  void SetText(const std::string& text) override;
  void Invalidate() override;
  void WndProc(TMessage& message) override;
  void DefaultHandler(TMessage& message) override;

  // Hands the message to every control inside this one, all levels down.
  void Broadcast(TMessage& message);
  // The pointer has not moved but what lies under it may have changed: hover moves accordingly.
  void RecheckHover();
  // Lays out the aligned children inside the client area.
  void AlignControls();
  // Paints the windowless children (in z-order) into dc, stopping before `stop` when given.
  void PaintControls(HDC dc, TControl* stop);
  // Background (WM_ERASEBKGND), the window's own painting and its windowless children (WM_PAINT;
  // WM_PRINTCLIENT for system classes), with the client origin at (x, y) of dc. The erase is
  // sent with the DC in both parameters: the framework's own erase, which a double-buffered
  // window carries out, unlike the system's.
  void PaintTo(HDC dc, int x, int y);

  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;
  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;

protected:
  virtual void CreateParams(TCreateParams& params);
  virtual void CreateWnd();
  // After the window exists: fonts, children, layered attributes.
  virtual void CreateWindowHandleDone() {}
  // True while the windows of the children are left to be made later (a page not yet shown).
  virtual bool DefersChildWindows() const { return false; }
  void CreateChildWindows();
  virtual void DestroyWnd();
  // Own painting of windows the framework paints (not system classes).
  virtual void PaintWindow(HDC dc);
  virtual void EraseBackground(HDC dc);
  // True when the key was swallowed (key set to 0 by a handler).
  virtual bool DoKeyDown(TMessage& message);
  virtual bool DoKeyUp(TMessage& message);
  bool DispatchKey(TMessage& message, TKeyEvent TWinControl::*event);
  virtual bool DoKeyPress(TMessage& message);
  bool IsSystemClass() const { return systemClass_; }
  void FontChanged() override;
  void ColorChanged() override;
  void Loaded() override;
  // Brush of the control's colour for WM_CTLCOLOR* answers.
  HBRUSH ColorBrush();
  virtual void Resize() {}
  void ChangeScale(int toDpi, int fromDpi) override;
  void ScaleChildren(int toDpi, int fromDpi);
  // Containers whose client area holds more than their children (tab rows) narrow it here.
  virtual void AdjustClientRect(TRect&) const {}

  // What the top-level control (a form) adds to the keyboard of the controls on it; a plain one
  // adds nothing. Whether its key events see their keys first:
  virtual bool KeyPreview() const { return false; }
  // Tab and Shift+Tab: moves the focus on from the given control, forwards or back; true when it moved.
  virtual bool SelectNext(TWinControl*, bool) { return false; }
  // Alt+key: true when a control took the key.
  virtual bool DialogChar(wchar_t) { return false; }
  // Ctrl+Tab and Ctrl+Shift+Tab, offered to the focused control and then to each parent: a control
  // that holds pages turns to its next or previous one; true when it did.
  virtual bool SelectNextPage(bool) { return false; }
  // A window on it took the focus.
  virtual void FocusChanged(TWinControl*) {}

private:
  friend LRESULT CALLBACK BrevinWndProc(HWND, UINT, WPARAM, LPARAM);
  friend void AttachWindow(TWinControl*, HWND);
  // The paths that take their own messages out of WndProc; each returns true when the message is
  // done with, false to let it go on.
  bool HandlePaint(TMessage& message);
  bool HandleKeyboard(TMessage& message);
  bool HandleMouse(TMessage& message);
  void PaintHandler(TMessage& message);
  void PaintContent(HDC dc);
  // WM_ERASEBKGND with the DC in lParam too: the framework asks for the background in that DC.
  static bool IsOwnErase(const TMessage& message);
  void Erase(HDC dc);
  // Whether the window has a non-client part (frame, caption, scroll bars) to paint.
  bool HasFrame() const;
  // Inside a catch block: hands a painting error to the application, once per run of failures.
  void ReportPaintError(TControl& control);
  bool RouteMouseToChild(TMessage& message);
  // Tells the windowless child holding a press that it ended without a release.
  void CancelChildPress();
  void UpdateBoundsFromWindow();
  void UpdateHover(TControl* control);
  void ReflectToChild(TMessage& message, HWND child, UINT reflected);

  HWND handle_ = nullptr;
  WNDPROC defWndProc_ = nullptr;
  bool systemClass_ = false;
  std::vector<TControl*> controls_;
  bool tabStop_ = false;
  int tabOrder_ = -1;
  bool parentBackground_ = false;
  bool doubleBuffered_ = false;
  bool aligning_ = false;
  TControl* captureControl_ = nullptr;
  TControl* hoverControl_ = nullptr;
  bool trackingLeave_ = false;
  UniqueBrush colorBrush_;
  TColor colorBrushColor_ = clNone;
};

// A windowless control: drawn by its parent into the parent's DC, mouse messages routed to it.
class TGraphicControl : public TControl {
public:
  BREVIN_CLASS_INFO()
  explicit TGraphicControl(TComponent* owner);
  ~TGraphicControl() override;
  TCanvas* Canvas() const { return canvas_.get(); }
  void WndProc(TMessage& message) override;

protected:
  virtual void Paint() {}

private:
  std::unique_ptr<TCanvas> canvas_;
};

// A window the framework paints itself, with a canvas for Paint.
class TCustomControl : public TWinControl {
public:
  BREVIN_CLASS_INFO()
  explicit TCustomControl(TComponent* owner);
  ~TCustomControl() override;
  TCanvas* Canvas() const { return canvas_.get(); }

protected:
  void PaintWindow(HDC dc) override;
  virtual void Paint() {}

private:
  std::unique_ptr<TCanvas> canvas_;
};

// The control object of a window created by the framework; nullptr for foreign windows.
TWinControl* FindControl(HWND window);
// Shift state from the keyboard now (for key messages) or from mouse-message flags.
TShiftState KeyboardShiftState();
TShiftState MouseShiftState(WPARAM flags);
// Name table of TAlign for layouts.
const TEnumNames& AlignNames();

// What the control layer needs of the application above it, which installs itself for as long as
// it exists: where errors raised by handlers go, and the window that owns popup menus.
class TControlHost {
public:
  virtual HWND Handle() = 0;
  virtual void HandleException(const std::exception& error) = 0;

protected:
  ~TControlHost() = default;
};
TControlHost* ControlHost();
void SetControlHost(TControlHost* host);
// Where errors raised while a message is dispatched end up: the host's handler (none without a host).
void HandleDispatchException(std::exception_ptr error);
