#pragma once
// TSkinEdit: edits, spin edits and time pickers keep painting their own text and caret; the skinner
// draws their frame in the skin's named colours (see SkinFieldFrame.h) with a hover, focus and
// disabled look, gives their text the skin's window-text colour and a read-only or disabled field
// the skin's button face, and skins the arrows inside them (a spin edit's, a time picker's).
#include <memory>
#include <vector>

#include "skin/win/controls/SkinControl.h"
#include "skin/win/controls/SkinFieldFrame.h"

class TSkinUpDown;

class TSkinEdit : public TSkinControl {
public:
  TSkinEdit();
  ~TSkinEdit() override;

  void Attach(TSkinForm* form, TSkinData& data, int mode, TControl& control, TPaintBuffer* canvas = nullptr) override;
  [[nodiscard]] bool AttachHandle(HWND window, TSkinData& data, TSkinForm* form, TPaintBuffer* canvas = nullptr) override;

  // The edit is a part of host, a skinned control (a combo box's edit), which follows its hover.
  void SetHost(HWND host) { host_ = host; }
  TFieldLook Look() const;
  // The skinners of the arrows inside the control.
  const std::vector<std::unique_ptr<TSkinUpDown>>& Arrows() const { return arrows_; }

protected:
  bool BeforeMessage(TMessage& message) override;
  void AfterMessage(TMessage& message) override;
  // The frame rings, in the window's own co-ordinates.
  void PaintSkin(HDC dc, const TRect& rect) override;

private:
  void AttachArrows();
  // The colour of the field behind the text.
  TColor FieldColour() const;
  void PaintFrame();

  std::vector<std::unique_ptr<TSkinUpDown>> arrows_;
  HWND host_ = nullptr;
};
