#pragma once
// TSkinTab: a tab control or page control with ordinary tabs, drawn from the skin's "Tabs" object
// (frame 1 an unselected tab, frame 2 the selected one; text colours "NormalColour2" and
// "MouseOverColour2") and a frame around the page area: the "Tabs" second image, or "Tab.Pane" when
// the "Tabs" style is 1.
//
// The pictures are drawn for a row along the top. A row at the bottom uses them upside down; a row
// at a side is composed as a horizontal row in the buffer and turned a quarter round onto the
// control, text included, while the page frame picture is turned to match.
//
// A page control with Tag 7777 in the ordinary tab style shows a close glyph in each tab's corner;
// pressing it asks the form (kSkinTabCloseMessage) and frees the tab's page unless the form objects.
//
// The control keeps selecting, scrolling and laying out its tabs itself; the skinner reads every
// tab's place from it at each paint. The scroll arrows the control shows when its tabs overflow are
// skinned as a part of it.
#include <memory>
#include <vector>

#include "skin/win/controls/SkinControl.h"

class TBitmap;
class TDataSkinBorder;
class TSkinUpDown;

enum class TTabPosition { Top = 0, Bottom = 1, Left = 2, Right = 3 };

class TSkinTab : public TSkinControl {
public:
  TSkinTab();
  ~TSkinTab() override;

  // mode 2: the control's windowless children are painted over the page frame.
  void Attach(TSkinForm* form, TSkinData& data, int mode, TControl& control, TPaintBuffer* canvas = nullptr) override;
  [[nodiscard]] bool AttachHandle(HWND window, TSkinData& data, TSkinForm* form, TPaintBuffer* canvas = nullptr) override;
  void SkinChanged() override;

  TTabPosition Position() const { return position_; }

protected:
  bool BeforeMessage(TMessage& message) override;
  void AfterMessage(TMessage& message) override;
  void PaintSkin(HDC dc, const TRect& rect) override;

private:
  const TDataSkinBorder* TabsObject() const;
  void PrepareImages();
  // The strip of the control between its edge and the page area, on the side of the tabs.
  TRect RowArea(const TRect& rect, const TRect& page) const;
  // A tab's rectangle in the buffer that composes its row horizontally.
  TRect InBuffer(const TRect& tab, const TRect& rect, const TRect& page, const TRect& row) const;
  void PaintRow(HDC dc, const TRect& rect, const TRect& page);
  void PaintPageFrame(HDC dc, const TRect& page);
  void CopyRow(HDC dc, HDC buffer, const TRect& row);
  // A rectangle of the row buffer in the control's co-ordinates.
  TRect ToControl(const TRect& inBuffer, const TRect& row) const;
  // False when the press at point is on no close glyph.
  bool PressCloseGlyph(POINT point);
  // The control makes its scroll arrows only when the tabs overflow, and makes them afresh later.
  void AttachArrows();

  int mode_ = 0;
  bool unicode_ = true;
  TTabPosition position_ = TTabPosition::Top;
  std::unique_ptr<TSkinPicture> tabImage_;
  std::unique_ptr<TSkinPicture> pageImage_;
  bool closeGlyphs_ = false;
  // Per tab, as last painted, in the control's co-ordinates.
  std::vector<TRect> closeRects_;
  std::unique_ptr<TSkinUpDown> arrows_;
};
