#pragma once
// Buttons with a glyph: the bitmap button (a window) and the speed button (windowless).
#include <memory>

#include "framework/controls/StdCtrls.h"
#include "framework/core/DpiScale.h"
#include "framework/graphics/Graphic.h"

enum class TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum class TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };
enum class TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };

// Where a glyph of the given size and a caption of the given size go in rect, by layout, margin
// (-1: glyph and caption centred together) and spacing.
struct TGlyphFacePlaces {
  TPoint Glyph;
  TRect Text;
};
TGlyphFacePlaces GlyphFacePlaces(const TRect& rect, TPoint glyphSize, TPoint textSize, TButtonLayout layout, int margin,
                                 int spacing);
// Draws image index (up, disabled, down, exclusive: as far as the bitmap has them) of the glyph with
// its top-left corner at (x, y), keyed on the glyph's transparent colour.
void DrawButtonGlyph(HDC dc, int x, int y, TBitmap& glyph, int numGlyphs, TButtonState state);
// A button's glyph at the button's scale. Layouts and code fill Shown, drawn for 96 DPI (or for the
// scale the button is at when they fill it); at a change of scale Shown is made again, resampled
// from that drawing or, above 100 %, from Detailed (the same glyph drawn at twice the size) when
// there is one.
class TButtonGlyph {
public:
  explicit TButtonGlyph(TNotifyEvent changed);
  TBitmap* Shown() const { return shown_.get(); }
  TBitmap* Detailed() const { return detailed_.get(); }
  void ChangeScale(int toDpi, int numGlyphs);

private:
  std::unique_ptr<TBitmap> shown_;
  std::unique_ptr<TBitmap> detailed_;
  // What Shown held before the first change of scale, and the scale it was drawn for.
  std::unique_ptr<TBitmap> drawn_;
  int drawnDpi_ = kDesignDpi;
  int dpi_ = kDesignDpi;
  bool scaling_ = false;
};

// Draws glyph and caption the way both buttons lay them out. The glyph bitmap holds NumGlyphs
// images side by side (up, disabled, down, exclusive); its bottom-left pixel is transparent.
void DrawGlyphButtonFace(TCanvas& canvas, const TRect& rect, TBitmap* glyph, int numGlyphs, const std::string& caption,
                         TButtonLayout layout, int margin, int spacing, TButtonState state, bool pressedOffset);

class TBitBtn : public TButton {
public:
  BREVIN_CLASS_INFO()
  explicit TBitBtn(TComponent* owner);
  ~TBitBtn() override;

  TBitmap* Glyph() const { return glyph_.Shown(); }
  TBitmap* Glyph2x() const { return glyph_.Detailed(); }
  int NumGlyphs() const { return numGlyphs_; }
  void SetNumGlyphs(int n);
  TBitBtnKind Kind() const { return kind_; }
  void SetKind(TBitBtnKind kind);
  TButtonLayout Layout() const { return layout_; }
  void SetLayout(TButtonLayout layout);
  int Margin() const { return margin_; }
  void SetMargin(int margin);
  int Spacing() const { return spacing_; }
  void SetSpacing(int spacing);
  void WndProc(TMessage& message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void ChangeScale(int toDpi, int fromDpi) override;

private:
  void DrawItem(const DRAWITEMSTRUCT& item);

  TButtonGlyph glyph_;
  int numGlyphs_ = 1;
  TBitBtnKind kind_ = TBitBtnKind::bkCustom;
  TButtonLayout layout_ = TButtonLayout::blGlyphLeft;
  int margin_ = -1;
  int spacing_ = 4;
};

class TSpeedButton : public TGraphicControl {
public:
  BREVIN_CLASS_INFO()
  explicit TSpeedButton(TComponent* owner);
  ~TSpeedButton() override;

  TBitmap* Glyph() const { return glyph_.Shown(); }
  TBitmap* Glyph2x() const { return glyph_.Detailed(); }
  int NumGlyphs() const { return numGlyphs_; }
  void SetNumGlyphs(int n);
  bool Flat() const { return flat_; }
  void SetFlat(bool flat);
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int index) { groupIndex_ = index; }
  bool Down() const { return down_; }
  // In a group, going down releases the group's other buttons.
  void SetDown(bool down);
  bool AllowAllUp() const { return allowAllUp_; }
  void SetAllowAllUp(bool value) { allowAllUp_ = value; }
  TButtonLayout Layout() const { return layout_; }
  void SetLayout(TButtonLayout layout);
  int Margin() const { return margin_; }
  void SetMargin(int margin);
  int Spacing() const { return spacing_; }
  void SetSpacing(int spacing);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  bool MouseInControl() const { return mouseInControl_; }
  TButtonState State() const;
  void WndProc(TMessage& message) override;

protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void ChangeScale(int toDpi, int fromDpi) override;

private:
  TButtonGlyph glyph_;
  int numGlyphs_ = 1;
  bool flat_ = false;
  int groupIndex_ = 0;
  bool down_ = false;
  bool allowAllUp_ = false;
  TButtonLayout layout_ = TButtonLayout::blGlyphLeft;
  int margin_ = -1;
  int spacing_ = 4;
  bool transparent_ = true;
  bool pressed_ = false;
  bool mouseInControl_ = false;
};

const TEnumNames& ButtonLayoutNames();
