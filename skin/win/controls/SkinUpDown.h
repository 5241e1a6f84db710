#pragma once
// TSkinUpDown: up-down arrows ("msctls_updown32") drawn from the skin's "UpDown.Vert" (arrows one
// above the other) or "UpDown.Horz" (side by side, UDS_HORZ) object and the glyphs of its second
// image "GlyphImage". Both hold eight frames: the first button (up, or left) normal, hot, pressed
// and disabled, then the second button (down, or right) in the same order.
//
// The arrows keep counting, repeating and notifying by themselves; the skinner only follows the
// pointer for the look. Arrows that live inside another skinned control (a spin edit, a time
// picker, a tab row) look as that control does: ordinary while its skinning is switched off, and
// disabled with it; they tell it when the pointer comes and goes, so its hover frame spans both.
#include "skin/win/controls/SkinControl.h"

class TDataSkinBorder;

class TSkinUpDown : public TSkinControl {
public:
  // The arrows are a part of host, a skinned control: they look skinned only while it is.
  void SetHost(HWND host) { host_ = host; }
  // The frame (1..8) button 1 (up or left) or 2 (down or right) shows now.
  int ButtonFrame(int button) const;

protected:
  bool BeforeMessage(TMessage& message) override;
  void AfterMessage(TMessage& message) override;
  void PaintSkin(HDC dc, const TRect& rect) override;

private:
  // The skin object for the arrows' direction with a picture, nullptr when the arrows paint the
  // ordinary way (so does a part of a control whose skinning is off).
  const TDataSkinBorder* SkinObject() const;
  bool Horizontal() const;
  // The window has a non-client area (a border).
  bool HasBorder() const;
  // The part of the window (rect: all of it) its parent shows: some controls let their arrows reach
  // past their edge, and a button cut off there would lose its border.
  TRect VisiblePart(const TRect& rect) const;
  // The two buttons of the visible part.
  TRect ButtonRect(int button, const TRect& whole) const;
  // The button under a point of the client area, 0 for none.
  int ButtonAt(LPARAM clientPoint) const;
  void Follow(int hot, int held);

  HWND host_ = nullptr;
  int hotButton_ = 0;
  // The button the mouse went down on, while it is held.
  int heldButton_ = 0;
};
