#include "skin/win/tabs/SkinTabSheet.h"

#include "framework/controls/Controls.h"

void TSkinTabSheet::Attach(TSkinForm* form, TSkinData& data, int mode, TControl& control, TPaintBuffer* canvas) {
  mode_ = mode;
  TSkinControl::Attach(form, data, mode, control, canvas);
}

bool TSkinTabSheet::BeforeMessage(TMessage& message) {
  if (!TSkinControl::BeforeMessage(message)) return false;
  if (mode_ != 0) return true;
  switch (message.Msg) {
    case WM_PAINT:
    case WM_PRINTCLIENT:
      PaintMessage(message);
      return false;
    case WM_ERASEBKGND: {
      RECT client{};
      GetClientRect(Handle(), &client);
      FillButtonFace(reinterpret_cast<HDC>(message.WParam), TRect{client.left, client.top, client.right, client.bottom});
      message.Result = 1;
      return false;
    }
    default:
      return true;
  }
}

void TSkinTabSheet::PaintSkin(HDC dc, const TRect& rect) {
  FillButtonFace(dc, rect);
  if (auto* windowed = dynamic_cast<TWinControl*>(Control())) windowed->PaintControls(dc, nullptr);
}
