#pragma once
// The window scroll bars of memos and other scrolling controls, skinned.
//
// A window's own scroll bars are part of its frame and drawn by the system, so they are covered
// instead: TSkinScrollWindow is a small window of ours laid over one scroll bar (or over the corner
// between two), a sibling of the control just above it in the z-order. It draws the bar from the
// skin and turns presses, repeats and thumb drags into the WM_VSCROLL / WM_HSCROLL messages the
// system's bar would send, so the control scrolls as it always does. The control gets
// WS_CLIPSIBLINGS while covered, so that its own drawing of the bars stays underneath.
//
// TSkinScrollbar keeps the covers in step with the control: after every message the control
// handles it reads the bars' places, scroll info and states back from the control, moves, shows,
// hides or repaints the covers, and makes a cover only for a bar the control shows. A control
// whose window goes away takes its covers with it; one that makes its window again (a memo given
// other scroll bars) asks its form skinner to make its scroll-bar skinner afresh.
//
// The skin's pictures: "Scrollbar" holds 23 frames, as skins lay them out: the up, down, left and
// right arrows in the states normal, hot, pressed and disabled, then the size box (the size
// grip's, not drawn here: the corner between two bars is plain face, as the system leaves it), then
// the vertical and the horizontal thumb (normal, hot, pressed). "VertScroll" and "HorzScroll" are the
// tracks (normal, hot, pressed, disabled); "VertScrollThumb" and "HorzScrollThumb" the thumbs
// (normal, hot, pressed), which stand in for the thumb frames of "Scrollbar" when present. A skin
// without "Scrollbar" leaves the bars as the system draws them.
#include <windows.h>

#include <memory>

#include "framework/controls/MessageHook.h"
#include "framework/win32/Handles.h"
#include "framework/win32/WindowSubclass.h"
#include "skin/layout/SkinScrollGeometry.h"
#include "skin/win/controls/SkinControl.h"

enum class TScrollWindowKind { Vertical, Horizontal, Corner };

// What a cover shows of its bar.
struct TScrollBarLook {
  TScrollRange Range;
  bool Enabled = true;
  bool BackEnabled = true;
  bool ForwardEnabled = true;
  friend bool operator==(const TScrollBarLook&, const TScrollBarLook&) = default;
};

class TSkinScrollWindow {
public:
  // Made hidden, a child of the control's parent.
  TSkinScrollWindow(TSkinData& data, HWND control, TScrollWindowKind kind);
  ~TSkinScrollWindow();
  TSkinScrollWindow(const TSkinScrollWindow&) = delete;
  TSkinScrollWindow& operator=(const TSkinScrollWindow&) = delete;

  HWND Handle() const { return window_.get(); }
  // False once the window went with its parent.
  bool Alive() const { return static_cast<bool>(window_); }
  // Covers rect (client coordinates of parent) just above the control.
  void Show(HWND parent, const RECT& rect, const TScrollBarLook& look);
  void Hide();
  void Redraw();

private:
  static ATOM CoverAtom();
  static LRESULT CALLBACK Procedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam);
  bool SitsOn(HWND control) const;

  bool Vertical() const { return kind_ == TScrollWindowKind::Vertical; }
  bool Usable() const;
  SIZE Size() const;
  // The layout as drawn: a held thumb where the pointer put it.
  TScrollBarLayout Layout() const;
  static POINT PointOf(LPARAM point);
  POINT Cursor() const;
  TScrollPart PartAt(POINT point) const;
  void Press(POINT point);
  void Move(POINT point);
  void Release();
  void Repeat();
  // False when the control went away while handling it (and took this cover with it).
  bool Send(int code, int pos = 0);

  void Paint(HDC target);
  void PaintBar(HDC dc, const TRect& whole, int dpi);
  TRect Span(int from, int to, const TRect& whole) const;
  // 0 normal, 1 hot, 2 pressed, 3 disabled.
  int PartState(TScrollPart part, bool enabled) const;

  TSkinData& data_;
  HWND control_;
  TScrollWindowKind kind_;
  UniqueWindow window_;
  TScrollBarLook look_;
  RECT placed_{};
  bool shown_ = false;
  TScrollPart hot_ = TScrollPart::None;
  TScrollPart pressed_ = TScrollPart::None;
  bool onPressed_ = false;
  bool trackingLeave_ = false;
  int dragOffset_ = 0;
  int dragThumb_ = 0;
  int dragPos_ = 0;
  int dragHome_ = 0;
  int dragHomePos_ = 0;
  TPaintBuffer buffer_;
  // Cleared when the cover goes, so that a handler running in it can tell.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

class TSkinScrollbar : public TSkinControl {
public:
  TSkinScrollbar() = default;
  ~TSkinScrollbar() override;

  void Attach(TSkinForm* form, TSkinData& data, int mode, TControl& control, TPaintBuffer* canvas = nullptr) override;
  [[nodiscard]] bool AttachHandle(HWND window, TSkinData& data, TSkinForm* form,
                                  TPaintBuffer* canvas = nullptr) override;
  void Detach() override;
  void SkinChanged() override;

  // The cover of SB_VERT, SB_HORZ or (SB_BOTH) the corner; nullptr while there is none.
  HWND ScrollWindow(int bar) const;

protected:
  bool BeforeMessage(TMessage& message) override;

private:
  // Every message of the control, after the control (and the skinner) handled it.
  void Follow(const TMessage& message);
  void Sync();
  bool ReadBar(HWND control, HWND parent, LONG object, int bar, RECT& rect, TScrollBarLook& look) const;
  void Place(std::unique_ptr<TSkinScrollWindow>& cover, TScrollWindowKind kind, bool on, HWND parent, const RECT& rect,
             const TScrollBarLook& look);
  void DropCovers();
  void AskToBeMadeAgain();
  bool HasArrows() const;

  std::unique_ptr<TSkinScrollWindow> vertical_;
  std::unique_ptr<TSkinScrollWindow> horizontal_;
  std::unique_ptr<TSkinScrollWindow> corner_;
  TControlMessageHook follow_;
  TWindowSubclass followWindow_;
  HWND clipped_ = nullptr;
  bool detached_ = false;
  bool syncing_ = false;
};
