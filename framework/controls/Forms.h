#pragma once
// Forms: top-level windows built from a layout resource named after the form class, owned by
// the application window, shown modelessly or modally.
#include <windows.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "framework/classes/Properties.h"
#include "framework/controls/Controls.h"
#include "framework/graphics/Graphic.h"

enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
// Border icons, as a set.
constexpr uint32_t biSystemMenu = 1;
constexpr uint32_t biMinimize = 2;
constexpr uint32_t biMaximize = 4;
constexpr uint32_t biHelp = 8;
enum class TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum class TPosition {
  poDesigned,
  poDefault,
  poDefaultPosOnly,
  poDefaultSizeOnly,
  poScreenCenter,
  poDesktopCenter,
  poMainFormCenter,
  poOwnerFormCenter
};
enum class TWindowState { wsNormal, wsMinimized, wsMaximized };

class TMainMenu;

class TCustomForm : public TWinControl {
public:
  BREVIN_CLASS_INFO()
  explicit TCustomForm(TComponent* owner);
  ~TCustomForm() override;

  // Reads the layout: from the RCDATA resource named after the class (upper case), or from the
  // given text. Binds handlers and fields, then runs OnCreate. A derived form calls it at the end
  // of its constructor, after registering its handlers and fields.
  void InitializeForm();
  void InitializeForm(std::string_view layoutText);

  void Show();
  void Hide();
  // Runs OnCloseQuery/OnClose and acts on the close action; a modal form ends its modal loop.
  void Close();
  // Raises EInvalidOperation("Cannot make a visible window modal") when already showing.
  TModalResult ShowModal();
  // Frees the form once the current message is handled.
  void Release();
  bool ReleasePending() const { return releasePending_; }
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult result);
  bool Modal() const { return modal_; }
  bool Active() const;
  // Off: Show and ShowModal put the window up without activating it, so that the window the user
  // works in keeps the foreground and its keys; a click on the form activates it as usual.
  bool ShowActivates() const { return showActivates_; }
  void SetShowActivates(bool activates) { showActivates_ = activates; }

  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle style);
  uint32_t BorderIcons() const { return borderIcons_; }
  void SetBorderIcons(uint32_t icons);
  TFormStyle FormStyle() const { return formStyle_; }
  void SetFormStyle(TFormStyle style);
  TPosition Position() const { return position_; }
  void SetPosition(TPosition position) { position_ = position; }
  TWindowState WindowState() const;
  void SetWindowState(TWindowState state);
  bool AlphaBlend() const { return alphaBlend_; }
  void SetAlphaBlend(bool value);
  int AlphaBlendValue() const { return alphaBlendValue_; }
  void SetAlphaBlendValue(int value);
  bool KeyPreview() const override { return keyPreview_; }
  void SetKeyPreview(bool value) { keyPreview_ = value; }
  TIcon* Icon() const { return icon_.get(); }
  TWinControl* ActiveControl() const { return activeControl_; }
  void SetActiveControl(TWinControl* control);
  TCanvas* Canvas() const { return canvas_.get(); }
  // The menu bar the form's window shows (nullptr: none).
  TMainMenu* Menu() const { return menu_; }
  void SetMenu(TMainMenu* menu);

  // The DPI the form is laid out for: that of the monitor it is on, or will first appear on.
  int PixelsPerInch() const { return CurrentPPI(); }

  TRect ClientRect() const override;
  void SetClientWidth(int width) override;
  void SetClientHeight(int height) override;
  void SetVisible(bool visible) override;
  bool Showing() const override;

  // Told by a window of the form that took the focus; broadcasts CM_FOCUSCHANGED.
  void FocusChanged(TWinControl* control) override;
  // Focuses the next (or previous) tab stop after `from`, wrapping around: tab stops are the
  // focusable windows with TabStop, by TabOrder within each parent (unset orders last, in
  // creation order), parents before their children. Returns whether the focus moved.
  bool SelectNext(TWinControl* from, bool forward) override;
  // Alt+key: clicks the visible, enabled button (or check/radio box) whose caption marks the
  // key with "&". Returns whether one did.
  bool DialogChar(wchar_t key) override;

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnPaint;
  TNotifyEvent OnResize;

protected:
  // Offers a member function to the layout under a handler name.
  template <typename C, typename... Args>
  void Handler(const std::string& name, void (C::*method)(Args...)) {
    handlers_.Add(name, static_cast<C*>(this), method);
  }
  // Points a field at the layout's component of that name once the layout is read.
  template <typename T>
  void Bind(T*& field, const std::string& name) {
    binds_.emplace_back(name, [&field, name](TComponent* c) {
      T* typed = dynamic_cast<T*>(c);
      if (!typed) throw EInvalidOperation("Component " + name + " is not a " + T::StaticClassInfo().Name());
      field = typed;
    });
  }

  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void CreateWindowHandleDone() override;
  void WndProc(TMessage& message) override;
  void Notification(TComponent* component, TOperation operation) override;
  void PaintWindow(HDC dc) override;
  void Resize() override;
  void ScaleBounds(int toDpi, int fromDpi) override;
  // The DPI to lay the form out for on a monitor of that DPI: the monitor's. A form that has to fit
  // its monitor may take less.
  virtual int LayoutDpi(int monitorDpi, HMONITOR monitor) const;
  virtual bool CloseQuery();

private:
  void ApplyLayout(std::string_view layoutText);
  void DoShow();
  void DoHide();
  void CloseModal();
  void PlaceOnFirstShow();
  void ApplyAlpha();
  void ApplyIcon();
  // The layout DPI on the monitor the form will first show on, as its position puts it.
  int FirstShowDpi() const;
  // WM_DPICHANGED: laid out again for the new DPI, then moved to the system's rectangle, drawn once.
  void DpiChanged(int dpi, const RECT& suggested);
  // WM_DPICHANGED to the DPI the form is already laid out for (placed on that monitor before it
  // first showed): the system's rectangle scales a frame of the old DPI, so the form goes to its
  // place and the frame of the new DPI goes around the client area it has.
  void KeepClientAt(const RECT& suggested);

  THandlerTable handlers_;
  std::vector<std::pair<std::string, std::function<void(TComponent*)>>> binds_;
  std::unique_ptr<TCanvas> canvas_;
  std::unique_ptr<TIcon> icon_;
  // The window keeps only the handles it is given: the sized copies live here.
  UniqueIcon bigIcon_;
  UniqueIcon smallIcon_;
  TFormBorderStyle borderStyle_ = TFormBorderStyle::bsSizeable;
  uint32_t borderIcons_ = biSystemMenu | biMinimize | biMaximize;
  TFormStyle formStyle_ = TFormStyle::fsNormal;
  TPosition position_ = TPosition::poDesigned;
  TWindowState windowState_ = TWindowState::wsNormal;
  bool alphaBlend_ = false;
  int alphaBlendValue_ = 255;
  bool keyPreview_ = false;
  int pendingClientWidth_ = -1;
  int pendingClientHeight_ = -1;
  // The client size (the outer size where a layout gives that), kept from its unrounded value.
  TScaledLength scaledWidth_;
  TScaledLength scaledHeight_;
  bool placed_ = false;
  bool creatingWindow_ = false;
  // The system gives the window its size for the new DPI: the client area is not scaled then.
  bool takingSuggestedSize_ = false;
  bool modal_ = false;
  bool showActivates_ = true;
  bool releasePending_ = false;
  TModalResult modalResult_ = mrNone;
  TWinControl* activeControl_ = nullptr;
  TMainMenu* menu_ = nullptr;
};

// The form class every layout-built window derives from.
class TForm : public TCustomForm {
public:
  BREVIN_CLASS_INFO()
  explicit TForm(TComponent* owner) : TCustomForm(owner) {}
};

class TScreen {
public:
  int Width() const;
  int Height() const;
  TRect WorkAreaRect() const;
  // The system's DPI (the primary monitor's); each form has its own.
  int PixelsPerInch() const;
  int FormCount() const { return static_cast<int>(forms_.size()); }
  TCustomForm* Forms(int index) const { return forms_.at(static_cast<size_t>(index)); }
  TCustomForm* ActiveForm() const { return activeForm_; }
  bool Contains(const TCustomForm* form) const {
    return std::find(forms_.begin(), forms_.end(), form) != forms_.end();
  }
  TCursor Cursor() const { return cursor_; }
  // A cursor other than crDefault overrides every control's own until it is reset.
  void SetCursor(TCursor cursor);

private:
  friend class TCustomForm;
  std::vector<TCustomForm*> forms_;
  TCustomForm* activeForm_ = nullptr;
  TCursor cursor_ = crDefault;
};

extern TScreen* Screen;

// What forms need of the application that owns them, which installs itself for as long as it
// exists: the window that owns every form, the main form and its taskbar button, the message loop.
// Without one, forms are ownerless windows that cannot be shown modally.
class TFormHost : public TControlHost {
public:
  virtual TCustomForm* MainForm() const = 0;
  virtual void ForgetMainForm() = 0;
  virtual void ShowTaskbarButton() = 0;
  virtual void Minimize() = 0;
  virtual void HandleMessage() = 0;
  virtual void Terminate() = 0;
  virtual bool Terminated() const = 0;

protected:
  ~TFormHost() = default;
};
TFormHost* FormHost();
// Installs the host of the forms and of the control layer below them (nullptr: none).
void SetFormHost(TFormHost* host);

// The form a control sits on (nullptr when it has none).
TCustomForm* GetParentForm(TControl* control);
// The application's form whose window this is; nullptr for any other window.
TCustomForm* FindForm(HWND window);
// The form a window belongs to: its own, or that of the nearest ancestor window that is one of our
// controls (a foreign child window inside a form included); nullptr outside our forms.
TCustomForm* FindParentForm(HWND window);
