#include <gtest/gtest.h>

#include "framework/controls/Buttons.h"
#include "framework/controls/ExtCtrls.h"
#include "framework/controls/MessageHook.h"
#include "framework/controls/tests/TestForms.h"

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

void Fill(HDC dc, const TRect& r, COLORREF colour) {
  const RECT rect{r.Left, r.Top, r.Right, r.Bottom};
  UniqueBrush brush(CreateSolidBrush(colour));
  FillRect(dc, &rect, brush.get());
}

COLORREF ScreenPixel(TWinControl& control, int x, int y) {
  WindowDC dc(control.Handle());
  return GetPixel(dc.get(), x, y);
}

// What a skinner does: a hook in front of a panel paints its background red instead of the panel,
// one in front of a windowless button on it paints the button blue. Every way of painting the
// panel must pass through both, each paint once.
TEST(PaintMessages, HooksSeeAndReplaceEveryPaintOfAPanelAndItsWindowlessChild) {
  TPlainForm form(nullptr);
  auto* panel = new TPanel(&form);
  panel->SetParent(&form);
  panel->SetBounds(10, 10, 120, 80);
  auto* button = new TSpeedButton(&form);
  button->SetParent(panel);
  button->SetBounds(40, 30, 30, 20);
  form.Show();
  SetForegroundWindow(form.Handle());
  UpdateWindow(form.Handle());

  std::string seen;
  TControlMessageHook background, face;
  background.Attach(*panel, [&](TMessage& m, const TWndMethod& next) {
    if (m.Msg == WM_ERASEBKGND) {
      seen += 'e';
      Fill(reinterpret_cast<HDC>(m.WParam), panel->ClientRect(), kRed);
      m.Result = 1;
      return;
    }
    if (m.Msg == WM_PAINT) seen += m.WParam ? 'p' : 'P';
    next(m);
  });
  face.Attach(*button, [&](TMessage& m, const TWndMethod& next) {
    if (m.Msg != WM_PAINT) return next(m);
    seen += 'b';
    Fill(reinterpret_cast<HDC>(m.WParam), button->ClientRect(), kBlue);
  });

  auto repaint = [&] {
    seen.clear();
    panel->Invalidate();
    UpdateWindow(panel->Handle());
  };
  repaint();
  EXPECT_EQ(seen, "Peb") << "normal repaint: the system's erase inside the window's paint";
  EXPECT_EQ(ScreenPixel(*panel, 10, 10), kRed);
  EXPECT_EQ(ScreenPixel(*panel, 50, 35), kBlue);

  panel->SetDoubleBuffered(true);
  repaint();
  // The system's erase still reaches the hook; the panel's own erase and paint go into the buffer.
  EXPECT_EQ(seen, "Peepb") << "double-buffered repaint";
  EXPECT_EQ(ScreenPixel(*panel, 10, 10), kRed);
  EXPECT_EQ(ScreenPixel(*panel, 50, 35), kBlue);

  TBitmap shot;
  shot.SetSize(panel->ClientWidth(), panel->ClientHeight());
  seen.clear();
  panel->PaintTo(shot.Canvas()->Handle(), 0, 0);
  EXPECT_EQ(seen, "epb") << "PaintTo";
  EXPECT_EQ(static_cast<COLORREF>(shot.Canvas()->Pixel(10, 10)), kRed);
  EXPECT_EQ(static_cast<COLORREF>(shot.Canvas()->Pixel(50, 35)), kBlue);
}

// A control that shows its parent's background asks the parent for it through the parent's
// messages, so it shows the parent as a hook in front of the parent paints it.
TEST(PaintMessages, AParentBackgroundComesThroughTheParentsHook) {
  TPlainForm form(nullptr);
  auto* outer = new TPanel(&form);
  outer->SetParent(&form);
  outer->SetBounds(0, 0, 120, 80);
  auto* inner = new TPanel(&form);
  inner->SetParent(outer);
  inner->SetBounds(20, 20, 60, 40);
  inner->SetBevelOuter(TBevelCut::bvNone);
  inner->SetParentBackground(true);
  form.Show();
  TControlMessageHook skin;
  skin.Attach(*outer, [&](TMessage& m, const TWndMethod& next) {
    if (m.Msg != WM_ERASEBKGND) return next(m);
    // Red where the DC shows the outer panel's left half: the inner one must show it shifted.
    Fill(reinterpret_cast<HDC>(m.WParam), {0, 0, 40, 80}, kRed);
    m.Result = 1;
  });
  TBitmap shot;
  shot.SetSize(inner->ClientWidth(), inner->ClientHeight());
  shot.Canvas()->Brush()->SetColor(clWhite);
  shot.Canvas()->FillRect({0, 0, inner->ClientWidth(), inner->ClientHeight()});
  inner->PaintTo(shot.Canvas()->Handle(), 0, 0);
  EXPECT_EQ(static_cast<COLORREF>(shot.Canvas()->Pixel(5, 5)), kRed);
  EXPECT_EQ(static_cast<COLORREF>(shot.Canvas()->Pixel(25, 5)), RGB(255, 255, 255))
      << "the outer panel's x 40 and on, which its hook left alone, is 20 pixels into the inner one";
}

}  // namespace
