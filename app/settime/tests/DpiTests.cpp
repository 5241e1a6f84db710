// The windows at the display scale of the prefix the test runs in (tools/wine-dpi; 96 without
// it): laid out for it from their 96-DPI layouts, and laid out again when moved to a monitor of
// another scale.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>

#include "app/settime/Velmain.h"
#include "app/settime/tests/AppFixture.h"
#include "framework/controls/Spin.h"
#include "framework/controls/tests/MessagePump.h"
#include "framework/win32/Dpi.h"
#include "reminders/eye/Doeye.h"
#include "reminders/eye2/Doeye2.h"

namespace {

// The scale the test's registration set the prefix to: a prefix whose setting did not take, or
// windows that ignore it, fail here.
int ExpectedDpi() {
  const char* dpi = std::getenv("BREVIN_EXPECTED_DPI");
  return dpi ? std::atoi(dpi) : 96;
}

int Scaled(int designPixels, int dpi) { return (designPixels * dpi + 48) / 96; }

SIZE ClientSize(HWND window) {
  RECT r{};
  GetClientRect(window, &r);
  return {r.right - r.left, r.bottom - r.top};
}

class Dpi : public AppFixture {};

TEST_F(Dpi, EveryWindowIsItsDesignSizeTimesTheDisplayScale) {
  const int dpi = ExpectedDpi();
  // The sizes the layouts give at 96 DPI.
  struct Design {
    TCustomForm* form;
    int width;
    int height;
  };
  for (const Design& d : {Design{velmain, 486, 265}, Design{doeye, 315, 219}}) {
    EXPECT_EQ(d.form->PixelsPerInch(), dpi) << d.form->Name();
    const SIZE client = ClientSize(d.form->Handle());
    EXPECT_NEAR(client.cx, Scaled(d.width, dpi), 2) << d.form->Name();
    EXPECT_NEAR(client.cy, Scaled(d.height, dpi), 2) << d.form->Name();
  }
  // The popup's picture fills it and its oval button scales; the rest window fills the screen,
  // and its animation, headline, countdown and buttons scale with the display.
  EXPECT_EQ(doeye->Image1->Width(), ClientSize(doeye->Handle()).cx);
  EXPECT_NEAR(doeye->SpeedButton1->Width(), Scaled(124, dpi), 1);
  EXPECT_NEAR(doeye->SpeedButton1->Height(), Scaled(38, dpi), 1);
  // The rest window is the screen, its design 1024 x 712: it grows with the scale only as far as
  // the screen holds it. A desktop of another size asked for must have taken.
  if (const char* size = std::getenv("BREVIN_DESKTOP_SIZE")) {
    EXPECT_EQ(std::to_string(GetSystemMetrics(SM_CXSCREEN)) + "x" + std::to_string(GetSystemMetrics(SM_CYSCREEN)), size);
  }
  const int restDpi = std::min({dpi, MulDiv(GetSystemMetrics(SM_CXSCREEN), 96, 1024),
                                MulDiv(GetSystemMetrics(SM_CYSCREEN), 96, 712)});
  EXPECT_EQ(doeye2->PixelsPerInch(), restDpi);
  EXPECT_NEAR(doeye2->GIFAnimator1->Width(), Scaled(115, restDpi), 1);
  EXPECT_NEAR(doeye2->GIFAnimator1->Height(), Scaled(123, restDpi), 1);
  EXPECT_NEAR(doeye2->SpeedButton1->Height(), Scaled(57, restDpi), 1);
  EXPECT_NEAR(doeye2->Label1->Font()->Height(), -Scaled(48, restDpi), 1);
  EXPECT_NEAR(doeye2->Label3->Font()->Height(), -Scaled(21, restDpi), 1);
  // Points stay points: a size set by the program is drawn at the window's scale.
  EXPECT_EQ(doeye->Label2->Font()->PixelsPerInch(), dpi);
}

TEST_F(Dpi, AMoveToAMonitorOfAnotherScaleLaysTheWindowOutAgainInTheSuggestedPlaceWithOnePaint) {
  velmain->Show();
  HWND window = velmain->Handle();
  Pump(100);
  const int from = velmain->PixelsPerInch();
  const int to = from * 2;
  RECT before{};
  GetWindowRect(window, &before);
  const SIZE clientBefore = ClientSize(window);
  const TRect button = velmain->SpeedButton1->BoundsRect();
  const int fontHeight = velmain->Label2->Font()->Height();
  HWND foreground = GetForegroundWindow();
  HWND above = GetWindow(window, GW_HWNDPREV);

  int paintsDuring = 0, paintsAfter = 0;
  bool changing = true;
  const TWndMethod original = velmain->WindowProc;
  velmain->WindowProc = [&](TMessage& m) {
    if (changing && (m.Msg == WM_PAINT || m.Msg == WM_ERASEBKGND)) ++paintsDuring;
    if (!changing && m.Msg == WM_PAINT) ++paintsAfter;
    original(m);
  };
  // The system's rectangle for the new scale: the window doubled, a little to the right and down.
  const int width = before.right - before.left, height = before.bottom - before.top;
  RECT suggested{before.left + 10, before.top + 20, before.left + 10 + 2 * width, before.top + 20 + 2 * height};
  SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(to, to), reinterpret_cast<LPARAM>(&suggested));
  changing = false;
  Pump(300);
  velmain->WindowProc = original;

  RECT after{};
  GetWindowRect(window, &after);
  EXPECT_TRUE(EqualRect(&after, &suggested));
  EXPECT_EQ(velmain->PixelsPerInch(), to);
  const TRect moved = velmain->SpeedButton1->BoundsRect();
  EXPECT_NEAR(moved.Left, 2 * button.Left, 1);
  EXPECT_NEAR(moved.Top, 2 * button.Top, 1);
  EXPECT_NEAR(moved.Width(), 2 * button.Width(), 1);
  EXPECT_NEAR(moved.Height(), 2 * button.Height(), 1);
  EXPECT_EQ(velmain->Label2->Font()->Height(), 2 * fontHeight);
  // The aligned page control follows the new client area.
  EXPECT_EQ(velmain->PageControl1->Width(), ClientSize(window).cx);
  EXPECT_EQ(GetForegroundWindow(), foreground);
  EXPECT_EQ(GetWindow(window, GW_HWNDPREV), above);
  // Nothing drawn while the controls moved, one paint once they stood.
  EXPECT_EQ(paintsDuring, 0);
  EXPECT_EQ(paintsAfter, 1);

  // And back: the window the size it was.
  SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(from, from), reinterpret_cast<LPARAM>(&before));
  Pump(100);
  EXPECT_EQ(velmain->PixelsPerInch(), from);
  EXPECT_NEAR(ClientSize(window).cx, clientBefore.cx, 2);
  EXPECT_NEAR(ClientSize(window).cy, clientBefore.cy, 2);
  EXPECT_EQ(velmain->SpeedButton1->BoundsRect(), button);
}

// Every control's bounds and font, the form's client size and each spin edit's arrows and text
// margin, by name.
std::map<std::string, std::string> Placement(TCustomForm& form) {
  std::map<std::string, std::string> placed;
  const SIZE client = ClientSize(form.Handle());
  placed[form.Name()] = std::to_string(client.cx) + "x" + std::to_string(client.cy) + " font " +
                        std::to_string(form.Font()->Height());
  for (int i = 0; i < form.ComponentCount(); ++i) {
    auto* control = dynamic_cast<TControl*>(form.Components(i));
    if (!control) continue;
    const TRect r = control->BoundsRect();
    std::ostringstream text;
    text << r.Left << "," << r.Top << "," << r.Right << "," << r.Bottom << " font " << control->Font()->Height();
    if (auto* spin = dynamic_cast<TSpinEdit*>(control); spin && spin->HandleAllocated()) {
      RECT arrows{};
      HWND upDown = FindWindowExW(spin->Handle(), nullptr, UPDOWN_CLASSW, nullptr);
      GetWindowRect(upDown, &arrows);
      MapWindowPoints(nullptr, spin->Handle(), reinterpret_cast<POINT*>(&arrows), 2);
      const auto margins = static_cast<DWORD>(SendMessageW(spin->Handle(), EM_GETMARGINS, 0, 0));
      text << " arrows " << arrows.left << "," << arrows.top << "," << arrows.right << "," << arrows.bottom << " margin "
           << HIWORD(margins);
    }
    placed[control->Name()] = text.str();
  }
  return placed;
}

std::string Differences(const std::map<std::string, std::string>& expected,
                        const std::map<std::string, std::string>& actual) {
  std::string differences;
  for (const auto& [name, place] : expected) {
    const auto found = actual.find(name);
    if (found == actual.end() || found->second != place)
      differences += name + ": " + place + " but " + (found == actual.end() ? "gone" : found->second) + "\n";
  }
  return differences;
}

// A spin edit's arrows stand at its right edge, a scroll bar's width at its scale, and its text
// stops before them.
void ExpectArrowsForTheScale(TSpinEdit& spin) {
  RECT client{}, arrows{};
  GetClientRect(spin.Handle(), &client);
  GetWindowRect(FindWindowExW(spin.Handle(), nullptr, UPDOWN_CLASSW, nullptr), &arrows);
  MapWindowPoints(nullptr, spin.Handle(), reinterpret_cast<POINT*>(&arrows), 2);
  const int width = std::min<int>(SystemMetricForDpi(SM_CXVSCROLL, spin.CurrentPPI()), client.right / 2);
  const RECT expected{client.right - width, 0, client.right, client.bottom};
  EXPECT_TRUE(EqualRect(&arrows, &expected)) << spin.Name() << " at " << spin.CurrentPPI() << ": " << arrows.left
                                             << "," << arrows.right << " of " << client.right;
  EXPECT_EQ(HIWORD(SendMessageW(spin.Handle(), EM_GETMARGINS, 0, 0)), width) << spin.Name();
}

TEST_F(Dpi, ScaleChangesThatSkipTheStartingScaleLeaveNoControlFontOrSpinArrowAPixelOff) {
  velmain->Show();
  HWND window = velmain->Handle();
  Pump(100);
  const int start = velmain->PixelsPerInch();
  RECT startRect{};
  GetWindowRect(window, &startRect);
  // The system's rectangle at a scale: the start's, scaled, so that the client area is the same
  // whichever way the window came.
  const auto moveTo = [&](int dpi) {
    RECT suggested{startRect.left, startRect.top, startRect.left + MulDiv(startRect.right - startRect.left, dpi, start),
                   startRect.top + MulDiv(startRect.bottom - startRect.top, dpi, start)};
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    Pump(50);
    ASSERT_EQ(velmain->PixelsPerInch(), dpi);
    for (TSpinEdit* spin : {velmain->SpinEdit1, velmain->SpinEdit2}) ExpectArrowsForTheScale(*spin);
  };
  ASSERT_TRUE(velmain->SpinEdit1->HandleAllocated() && velmain->SpinEdit2->HandleAllocated());
  const auto atStart = Placement(*velmain);
  for (const auto& [over, to] : {std::pair{start * 5 / 4, start * 3 / 2}, std::pair{start * 3 / 2, start * 2}}) {
    // Straight there from the start is where a start at that scale puts everything.
    moveTo(to);
    const auto direct = Placement(*velmain);
    moveTo(start);
    EXPECT_EQ(Differences(atStart, Placement(*velmain)), "") << "back from " << to;
    moveTo(over);
    moveTo(to);
    EXPECT_EQ(Differences(direct, Placement(*velmain)), "") << "over " << over << " to " << to;
    moveTo(start);
    EXPECT_EQ(Differences(atStart, Placement(*velmain)), "") << "back over " << over << " and " << to;
  }
}

}  // namespace
