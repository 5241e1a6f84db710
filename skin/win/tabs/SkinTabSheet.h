#pragma once
// TSkinTabSheet: a page of a page control, flat in the skin's button-face colour with its
// windowless controls painted on top; its windowed controls paint themselves (or their skinners do).
#include "skin/win/controls/SkinControl.h"

class TSkinTabSheet : public TSkinControl {
public:
  void Attach(TSkinForm* form, TSkinData& data, int mode, TControl& control, TPaintBuffer* canvas = nullptr) override;

protected:
  bool BeforeMessage(TMessage& message) override;
  void PaintSkin(HDC dc, const TRect& rect) override;

private:
  int mode_ = 0;
};
