#pragma once
// A whole-number edit with up and down arrows.
#include "framework/controls/StdCtrls.h"

class TSpinEdit : public TCustomEdit {
public:
  BREVIN_CLASS_INFO()
  explicit TSpinEdit(TComponent* owner);
  ~TSpinEdit() override;

  // Text that is not a number reads as MinValue; values are kept inside MinValue..MaxValue
  // unless both are 0 (no bounds).
  int Value() const;
  void SetValue(int value);
  int MinValue() const { return minValue_; }
  void SetMinValue(int value);
  int MaxValue() const { return maxValue_; }
  void SetMaxValue(int value);
  int Increment() const { return increment_; }
  void SetIncrement(int value) { increment_ = value; }
  void WndProc(TMessage& message) override;

protected:
  void CreateWindowHandleDone() override;
  void DestroyWnd() override;
  // A new font puts the edit's margins back to the font's.
  void FontChanged() override;

private:
  // The arrows at the edit's right edge, as wide as a scroll bar at the edit's scale, and the text
  // stopping before them.
  void PlaceArrows();
  int Clamp(int64_t value) const;
  void Step(int delta);

  int minValue_ = 0;
  int maxValue_ = 0;
  int increment_ = 1;
  HWND upDown_ = nullptr;
};
