#include "skin/win/controls/SkinBox.h"

#include "framework/controls/ExtCtrls.h"
#include "framework/win32/DCState.h"
#include "framework/win32/Strings.h"
#include "skin/win/data/SkinDataUnit.h"

namespace {

void FillStrip(HDC dc, int left, int top, int right, int bottom, HBRUSH brush) {
  const RECT r{left, top, right, bottom};
  FillRect(dc, &r, brush);
}

// One bevel as the panel lays it out (width rings, r shrinking with each), in the skin's colours.
void DrawBevel(HDC dc, TRect& r, TBevelCut cut, int width, const TSkinModel& model) {
  if (cut == TBevelCut::bvNone) return;
  const TColor hilight = model.Colour(TSkinColour::ButtonHilight);
  const TColor shadow = model.Colour(TSkinColour::ButtonShadow);
  const UniqueBrush topLeft(CreateSolidBrush(ColorToRGB(cut == TBevelCut::bvLowered ? shadow : hilight)));
  const UniqueBrush bottomRight(CreateSolidBrush(ColorToRGB(cut == TBevelCut::bvLowered ? hilight : shadow)));
  for (int i = 0; i < width; ++i) {
    if (cut != TBevelCut::bvSpace && topLeft && bottomRight) {
      FillStrip(dc, r.Left, r.Top, r.Right, r.Top + 1, topLeft.get());
      FillStrip(dc, r.Left, r.Top, r.Left + 1, r.Bottom, topLeft.get());
      FillStrip(dc, r.Right - 1, r.Top, r.Right, r.Bottom, bottomRight.get());
      FillStrip(dc, r.Left, r.Bottom - 1, r.Right, r.Bottom, bottomRight.get());
    }
    r = {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
  }
}

}  // namespace

bool TSkinBox::BeforeMessage(TMessage& message) {
  if (!HasSkin()) return TSkinControl::BeforeMessage(message);
  // The system's erase before a paint would only flicker: the paint erases into its buffer. An erase
  // the framework asks for (its DC in both parameters) is the control's, for a child's background.
  if (message.Msg == WM_ERASEBKGND && Handle() && static_cast<WPARAM>(message.LParam) != message.WParam) {
    message.Result = 1;
    return false;
  }
  if (message.Msg != WM_PAINT || !Handle()) return TSkinControl::BeforeMessage(message);
  // A DC comes with the background in it already (the control's buffer, or a PaintTo).
  if (message.WParam) {
    PaintWindow(reinterpret_cast<HDC>(message.WParam));
  } else {
    PaintBuffered();
  }
  message.Result = 0;
  return false;
}

void TSkinBox::PaintBuffered() {
  PAINTSTRUCT ps{};
  HDC dc = BeginPaint(Handle(), &ps);
  if (!dc) return;
  const TRect client = ClientArea();
  // A failed paint only costs the look of the box; it must not unwind through the window procedure.
  try {
    if (client.Width() > 0 && client.Height() > 0) {
      HDC buffer = Buffer().Prepare(dc, client.Width(), client.Height());
      // The control's own erase (the parent's picture, or its colour), as a buffered paint of its own does.
      SendMessageW(Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(buffer), reinterpret_cast<LPARAM>(buffer));
      PaintSkin(buffer, client);
      BitBlt(dc, 0, 0, client.Width(), client.Height(), buffer, 0, 0, SRCCOPY);
    }
  } catch (...) {
  }
  EndPaint(Handle(), &ps);
}

void TSkinBox::PaintSkin(HDC dc, const TRect&) {
  const TRect client = ClientArea();
  {
    const SavedDC saved(dc);
    PaintFace(dc, client);
  }
  if (auto* container = dynamic_cast<TWinControl*>(Control())) container->PaintControls(dc, nullptr);
}

void TSkinBox::PaintFace(HDC dc, const TRect& client) {
  auto* panel = dynamic_cast<TPanel*>(Control());
  if (!panel || !Data()) return;
  const TSkinModel& model = Data()->Model(Dpi());
  TRect r = client;
  DrawBevel(dc, r, panel->BevelOuter(), panel->BevelWidth(), model);
  r = {r.Left + panel->BorderWidth(), r.Top + panel->BorderWidth(), r.Right - panel->BorderWidth(),
       r.Bottom - panel->BorderWidth()};
  DrawBevel(dc, r, panel->BevelInner(), panel->BevelWidth(), model);
  if (Text().empty()) return;
  UINT flags = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS;
  if (panel->Alignment() == TAlignment::taCenter) flags |= DT_CENTER;
  if (panel->Alignment() == TAlignment::taRightJustify) flags |= DT_RIGHT;
  const SelectedObject font(dc, ControlFont());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(model.Colour(WindowEnabled() ? TSkinColour::WindowText : TSkinColour::ButtonShadow)));
  DrawWideText(dc, Text(), r, flags);
}

TRect TSkinBox::ClientArea() const {
  RECT r{};
  if (Handle()) GetClientRect(Handle(), &r);
  return TRect{0, 0, r.right, r.bottom};
}
