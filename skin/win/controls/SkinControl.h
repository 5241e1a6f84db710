#pragma once
// TSkinControl: the base of the control skinners. A skinner sits in front of one control's message
// handling (a hook on the control object, or a replaced window procedure for a window that has no
// control object), paints the control from the skin objects of a TSkinData and otherwise lets the
// control work as it always does: input, state and notifications stay the control's own.
//
// Routing: kSkinControlRoutingMessage turns the skinner off (WParam 0: the control paints itself the
// ordinary way) or on again. While it is on, BeforeMessage decides whether the control's own handling
// runs, and AfterMessage follows it.
//
// Life: the skinner is owned by whoever made it (the form skinner), not by the control, and asks to
// be told when the control object goes away, so that either may go first. A window destroyed while
// skinned turns the skinner off and gives the control its colour and background setting back.
#include <windows.h>

#include <string>

#include "framework/controls/MessageHook.h"
#include "framework/win32/WindowSubclass.h"
#include "skin/win/data/SkinPaint.h"

class TSkinData;
class TSkinForm;
class TWinControl;

enum class TSkinControlState { Detached = 0, Attached = 1, Destroyed = 6 };

class TSkinControl : public TComponent {
public:
  TSkinControl();
  ~TSkinControl() override;

  // control may be windowless. mode 1: the skinner also takes over the control's colour. canvas: a buffer shared with the
  // other skinners of the form, nullptr for a buffer of the skinner's own made at each paint.
  // Raises EInvalidOperation when attached already.
  virtual void Attach(TSkinForm* form, TSkinData& data, int mode, TControl& control, TPaintBuffer* canvas = nullptr);
  // For a window without a control object. False when the window cannot be subclassed.
  [[nodiscard]] virtual bool AttachHandle(HWND window, TSkinData& data, TSkinForm* form, TPaintBuffer* canvas = nullptr);
  // Gives the control back its colour and background setting.
  virtual void Detach();
  virtual void SkinChanged();
  virtual int Kind() const { return 1; }

  HWND Handle() const { return window_; }
  TControl* Control() const { return control_; }
  TSkinData* Data() const { return data_; }
  TSkinForm* Form() const { return form_; }
  TSkinControlState State() const { return state_; }
  // The display scale the control is drawn at: its form's, else its window's.
  int Dpi() const;
  bool Skinning() const { return skinning_; }
  void Repaint();

protected:
  // False: the message is consumed (its Result is the answer).
  virtual bool BeforeMessage(TMessage& message);
  virtual void AfterMessage(TMessage& message);
  // Paints the whole control into dc, or into its window DC when dc is nullptr; never throws.
  void PaintWindow(HDC dc);
  virtual void PaintSkin(HDC dc, const TRect& rect);
  // The control's own handling of the message now travelling through the skinner.
  void CallDefault(TMessage& message);
  // WM_PAINT answered by the skinner's own painting (BeginPaint/EndPaint when WParam has no DC).
  void PaintMessage(TMessage& message);
  // Paints at once, while the window is shown.
  void PaintNow();
  // WM_PAINT painted by the skinner and WM_ERASEBKGND answered; false for other messages.
  bool AnswerPaint(TMessage& message);
  // Hover, press and caption changes of a button-like control, repainted at once; false for other
  // messages. A mouse-leave ends the control's own press too, so that a release after leaving does
  // nothing.
  bool FollowButtonState(TMessage& message);

  void Notification(TComponent* component, TOperation operation) override;

  // Shared by the family.
  void FillButtonFace(HDC dc, const TRect& rect) const;
  void FillParentColour(HDC dc, const TRect& rect) const;
  // Paints the parent's background under the control into dc (origin at the control's corner).
  void PaintParentBackground(HDC dc, const TRect& rect) const;
  // text as drawn into textArea with flags (vertically centred there).
  void DrawFocusAroundText(HDC dc, const std::wstring& text, const TRect& textArea, UINT flags) const;
  static int DrawWideText(HDC dc, const std::wstring& text, TRect& rect, UINT flags);

  // A control without a window of its own: its paints come with the parent's DC.
  bool Windowless() const;
  // Window state as the window tells it (a windowless control's as the control tells it).
  bool WindowEnabled() const;
  bool WindowFocused() const { return window_ && GetFocus() == window_; }
  LONG_PTR WindowStyle() const { return window_ ? GetWindowLongPtrW(window_, GWL_STYLE) : 0; }
  const std::wstring& Text() const { return text_; }
  void ReadText();
  HFONT ControlFont() const;
  // Text in the colour the control's font was given, else in the skin's; the skin's shadow colour
  // while disabled. A font left at the system's window text has not been given one.
  TColor CaptionColour() const;
  // Tag 5555 or xoTransparent.
  bool Transparent() const;
  // The control's parent window is painted by a skinner of its own.
  bool ParentSkinned() const;
  bool HasOption(unsigned option) const;
  // The buffer a paint draws into: the shared canvas or the skinner's own.
  TPaintBuffer& Buffer() { return canvas_ ? *canvas_ : ownBuffer_; }

  bool hot_ = false;
  bool pressed_ = false;

private:
  // The pointer entered: hot, and a WM_MOUSELEAVE asked for; false when nothing changed.
  bool EnterHot();
  void Route(TMessage& message, const TWndMethod& next);
  LRESULT RouteWindow(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
  void ForgetControl();

  HWND window_ = nullptr;
  TControl* control_ = nullptr;
  TSkinData* data_ = nullptr;
  TSkinForm* form_ = nullptr;
  TPaintBuffer* canvas_ = nullptr;
  TPaintBuffer ownBuffer_;
  int mode_ = 0;

  TColor savedColor_ = clBtnFace;
  bool savedParentColor_ = false;
  bool colourTaken_ = false;
  bool parentBackgroundWasOn_ = false;

  TControlMessageHook hook_;
  TWindowSubclass subclass_;
  const TWndMethod* next_ = nullptr;

  std::wstring text_;
  bool skinning_ = true;
  TSkinControlState state_ = TSkinControlState::Detached;
};
