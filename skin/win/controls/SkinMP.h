#pragma once
// TSkinMP: a media player control, its buttons side by side across its width, each drawn by
// TSkinMPButtons as a skinned push button from the skin's "Buttons" object (frame 1 normal, 2
// pressed, 3 disabled, 4 hot) with its glyph on top. Which buttons there are and how each looks
// comes from the control's published "VisibleButtons", "EnabledButtons" and "ColoredButtons" sets
// ("[btPlay, btStop]"); the glyphs are the bitmaps of the running program named "EN_PLAY",
// "DI_PLAY", "CO_PLAY" and so on (state prefix, button name; magenta, the bottom-left pixel's
// colour, shows the face). A glyph the program does not carry leaves its button plain.
//
// Playing, pausing and stopping stay the player's own: the skinner only follows the pointer over
// the buttons, showing no hot or pressed look on a disabled one. A control that does not publish
// the sets shows every button enabled, as a player does by default.
#include <array>
#include <string>

#include "skin/win/controls/SkinControl.h"

class TDataSkinButton;

// The player's buttons in their order along the control.
enum class TMPBtnType { btPlay, btPause, btStop, btNext, btPrev, btStep, btBack, btRecord, btEject };
inline constexpr int kMPButtonCount = 9;
// Which of a button's glyphs shows: the prefixes "EN", "DI" and "CO" of the glyphs' names.
enum class TMPGlyphState { Enabled, Disabled, Coloured };

// The buttons' painter: one per player skinner, holding the glyphs it has loaded.
class TSkinMPButtons {
public:
  TSkinMPButtons() = default;
  TSkinMPButtons(const TSkinMPButtons&) = delete;
  TSkinMPButtons& operator=(const TSkinMPButtons&) = delete;

  // frame: the "Buttons" frame.
  void Paint(HDC dc, TSkinData& data, const TDataSkinButton& object, TMPBtnType button, const TRect& place, int frame,
             TMPGlyphState state);
  void Release();

private:
  // The glyph's resource name, "EN_PLAY" for the enabled play button.
  static std::wstring GlyphName(TMPGlyphState state, TMPBtnType button);
  HBITMAP Glyph(TMPGlyphState state, TMPBtnType button);

  // Loaded at first use; a name the program lacks is tried once.
  struct TGlyph {
    UniqueBitmap bitmap;
    bool tried = false;
  };
  std::array<TGlyph, kMPButtonCount * 3> glyphs_;
};

class TSkinMP : public TSkinControl {
public:
  void Detach() override;

  // Bit i for button i, from the control's published sets.
  unsigned VisibleButtons() const;
  unsigned EnabledButtons() const;
  unsigned ColoredButtons() const;
  // The place of a visible button in client coordinates; empty for one that is not shown.
  TRect ButtonRect(TMPBtnType button) const;
  // The "Buttons" frame the button shows now.
  int ButtonFrame(TMPBtnType button) const;

protected:
  bool BeforeMessage(TMessage& message) override;
  void AfterMessage(TMessage& message) override;
  void PaintSkin(HDC dc, const TRect& rect) override;

private:
  const TDataSkinButton* SkinObject() const;
  unsigned ButtonSet(const char* property, unsigned fallback) const;
  // The visible button under a client point, -1 over none.
  int ButtonAt(LPARAM point) const;
  bool Usable(int button) const;
  TRect ClientRect() const;

  TSkinMPButtons buttons_;
  int hotButton_ = -1;
  int pressedButton_ = -1;
};
