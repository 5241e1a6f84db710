#pragma once
// The drop-down family: combo boxes and date pickers that open a list or a calendar from a button
// at their right edge.
//
// The control paints itself first (its value, selection and focus highlight stay its own), into a
// buffer; the skinner then lays the skin over everything but the value field: the field's edge
// and the drop-down button are cut from the skin's combined combo face ("ComboButton" made of
// "SunkEdge", the button and the "ExtraImages" arrow, one cell per state: normal, hot, focused or
// pressed, disabled), the edge in the field's state and the button in its own, and the arrow is put
// on crisply from the combo arrow whatever the control's height. A skin without the combined face
// draws the edge in its named colours and the button from the combo arrow alone.
#include "skin/win/controls/SkinControl.h"

class TDataSkinBorder;
class TDataSkinObject;

// The drop-down button, drawn from the skin's combo arrow ("ComboxArrow").
class TArrowButton {
public:
  // Drawn at the display scale of owner, from its skin data.
  explicit TArrowButton(const TSkinControl* owner = nullptr) : owner_(owner) {}
  // The skin has a combo button and its arrow.
  bool Available() const;
  // state: 1 normal, 2 hot, 3 pressed, 4 disabled. button spans the control's height at its right.
  void Paint(HDC dc, const TRect& button, int state) const;

private:
  const TDataSkinObject* Arrow() const;
  const TDataSkinBorder* Face() const;

  const TSkinControl* owner_;
};

class TSkinDropDown : public TSkinControl {
public:
  void Attach(TSkinForm* form, TSkinData& data, int mode, TControl& control, TPaintBuffer* canvas = nullptr) override;
  [[nodiscard]] bool AttachHandle(HWND window, TSkinData& data, TSkinForm* form, TPaintBuffer* canvas = nullptr) override;

  // The state cell (1 normal, 2 hot, 3 focused or pressed, 4 disabled) of the edge and the button.
  int EdgeFrame() const;
  int ButtonFrame() const;

protected:
  bool BeforeMessage(TMessage& message) override;
  void AfterMessage(TMessage& message) override;
  // Everything of the window (rect: its whole rectangle at 0, 0) but its value field.
  void PaintSkin(HDC dc, const TRect& rect) override;

  // A control of a class and style the skinner can dress (asked once, at attaching); false leaves it
  // to paint the ordinary way.
  virtual bool Dressable() const { return true; }
  virtual bool DroppedDown() const = 0;
  // The control's value, in window co-ordinates: left as the control paints it.
  virtual TRect FieldRect(const TRect& whole) const = 0;
  // Where a click drops the control down, in client co-ordinates.
  virtual TRect ButtonHitRect() const = 0;

private:
  bool Skinned() const;
  int ButtonWidth() const;
  bool Focused() const;
  // The control's own painting into target (its client area), with the skin laid over it.
  void PaintOver(HDC target);
  void AnswerPaintMessage(TMessage& message);
  void Refresh();

  TArrowButton arrow_;
  bool dressable_ = false;
  POINT pointer_{-1, -1};
};
