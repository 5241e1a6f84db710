#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <bit>
#include <memory>
#include <string>
#include <vector>

#include "framework/classes/Properties.h"
#include "framework/controls/Forms.h"
#include "framework/controls/tests/GuiObjectCount.h"
#include "framework/controls/tests/MessagePump.h"
#include "framework/core/Stream.h"
#include "framework/core/DpiScale.h"
#include "framework/win32/DCState.h"
#include "framework/win32/Dpi.h"
#include "framework/win32/Handles.h"
#include "framework/win32/WindowClass.h"
#include "skin/format/SkinWrite.h"
#include "skin/win/manager/SkinControlFactory.h"
#include "skin/win/data/SkinDataUnit.h"
#include "skin/win/form/SkinFormUnit.h"
#include "skin/win/controls/SkinHeader.h"
#include "skin/win/controls/SkinMP.h"
#include "skin/win/controls/SkinMenuButton.h"
#include "skin/win/controls/SkinSizer.h"
#include "skin/win/controls/SkinStatusBar.h"
#include "skin/win/controls/SkinTrackBar.h"
#include "skin/win/tabs/SkinTab.h"
#include "skin/win/tests/SkinPixels.h"

namespace {

constexpr const char* kSkinFile = "skin-win-test-velskin.skn";

// What a parent hears from its children.
struct THeard {
  int clicks = 0;
  int itemClicks = 0;
};
THeard heard;

LRESULT CALLBACK ListeningParent(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) ++heard.clicks;
  if (msg == WM_NOTIFY) {
    const UINT code = reinterpret_cast<NMHDR*>(lParam)->code;
    if (code == HDN_ITEMCLICKW || code == HDN_ITEMCLICKA) ++heard.itemClicks;
  }
  return DefWindowProcW(window, msg, wParam, lParam);
}

// A media player control of another library, as far as the skinner sees one: its published button
// sets, its buttons side by side in equal shares of its width, a click on an enabled one counted.
// Unskinned it paints itself red.
class TPlayerBar : public TCustomControl {
public:
  BREVIN_CLASS_INFO()
  using TCustomControl::TCustomControl;
  uint32_t VisibleButtons() const { return visible_; }
  void SetVisibleButtons(uint32_t v) { visible_ = v; }
  uint32_t EnabledButtons() const { return enabled_; }
  void SetEnabledButtons(uint32_t v) { enabled_ = v; }
  uint32_t ColoredButtons() const { return coloured_; }
  void SetColoredButtons(uint32_t v) { coloured_ = v; }
  int clicks[kMPButtonCount] = {};

protected:
  void Paint() override {
    Canvas()->Brush()->SetColor(clRed);
    Canvas()->FillRect(TRect{0, 0, Width(), Height()});
  }
  void WndProc(TMessage& message) override {
    if (message.Msg == WM_LBUTTONDOWN) down_ = ButtonAt(LOWORD(message.LParam));
    if (message.Msg == WM_LBUTTONUP) {
      const int button = ButtonAt(LOWORD(message.LParam));
      if (button >= 0 && button == down_ && (enabled_ & (1u << button))) ++clicks[button];
      down_ = -1;
    }
    TCustomControl::WndProc(message);
  }

private:
  int ButtonAt(int x) const {
    const int count = std::popcount(visible_);
    int shown = 0;
    for (int i = 0; i < kMPButtonCount; ++i) {
      if (!(visible_ & (1u << i))) continue;
      if (x >= Width() * shown / count && x < Width() * (shown + 1) / count) return i;
      ++shown;
    }
    return -1;
  }
  uint32_t visible_ = 0x1FF;
  uint32_t enabled_ = 0x1FF;
  uint32_t coloured_ = 0;
  int down_ = -1;
};

const TEnumNames kButtonNames{
    {"btPlay", "btPause", "btStop", "btNext", "btPrev", "btStep", "btBack", "btRecord", "btEject"}};

const TClassInfo& TPlayerBar::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TPlayerBar>("TPlayerBar", &TCustomControl::StaticClassInfo())
          .Set("VisibleButtons", &TPlayerBar::VisibleButtons, &TPlayerBar::SetVisibleButtons, kButtonNames)
          .Set("EnabledButtons", &TPlayerBar::EnabledButtons, &TPlayerBar::SetEnabledButtons, kButtonNames)
          .Set("ColoredButtons", &TPlayerBar::ColoredButtons, &TPlayerBar::SetColoredButtons, kButtonNames);
  return info;
}

// The pixel of a skin object's frame at (x, y) of that frame.
COLORREF FramePixel(const TDataSkinObject& object, int frame, int x, int y) {
  const TRect r = object.FrameRect(frame);
  return AsColorRef(object.Image.Pixel(r.Left + x, r.Top + y));
}

class SkinBars : public ::testing::Test {
protected:
  void SetUp() override {
    const INITCOMMONCONTROLSEX init{sizeof(init), ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&init);
    RegisterWindowClassOnce(L"SkinBarsParent", ListeningParent);
    data.OnReaderMessage = [](const std::string&) {};
    data.SetSkinFile(kSkinFile);
    ASSERT_FALSE(data.LoadingSkin());
    parent.reset(CreateWindowExW(0, L"SkinBarsParent", L"bars", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 420, 300,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
    ASSERT_TRUE(parent);
    heard = {};
  }

  HWND Child(const wchar_t* className, const wchar_t* text, DWORD style, int x, int y, int w, int h, int id = 7) {
    return CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent.get(),
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  }

  const TDataSkinObject& Object(const char* name) const { return *data.Model().Find(name); }

  TSkinData data{nullptr};
  UniqueWindow parent;
};

TEST_F(SkinBars, APlayersButtonsShowTheirStatesAndGlyphsAndStillClick) {
  TForm form(nullptr);
  form.SetBounds(60, 60, 200, 80);
  auto* player = new TPlayerBar(&form);
  player->SetParent(&form);
  player->SetBounds(0, 0, 90, 28);
  SetPropValue(*player, "VisibleButtons", "[btPlay, btPause, btStop]");
  SetPropValue(*player, "EnabledButtons", "[btPlay, btStop]");
  SetPropValue(*player, "ColoredButtons", "[btPlay]");
  form.Show();
  TSkinMP skinner;
  skinner.Attach(nullptr, data, 0, *player);
  HWND window = player->Handle();
  const TDataSkinObject& buttons = data.Model().Buttons();
  ASSERT_NE(FramePixel(buttons, 1, 3, 3), FramePixel(buttons, 3, 3, 3)) << "the skin's frames must differ";

  // Three buttons of 30 pixels; the pause button is disabled.
  EXPECT_EQ(PaintedPixel(window, 3, 3), FramePixel(buttons, 1, 3, 3));
  EXPECT_EQ(PaintedPixel(window, 33, 3), FramePixel(buttons, 3, 3, 3));
  EXPECT_EQ(PaintedPixel(window, 63, 3), FramePixel(buttons, 1, 3, 3));
  // Glyphs: 12 x 12 bitmaps centred in the 30 x 28 buttons, their pixel (4, 6) inside the shape.
  auto glyphPixel = [](const wchar_t* name) {
    UniqueBitmap glyph(static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), name, IMAGE_BITMAP, 0, 0, 0)));
    UniqueMemoryDC dc(CreateCompatibleDC(nullptr));
    const SelectedObject selected(dc.get(), glyph.get());
    return GetPixel(dc.get(), 4, 6);
  };
  EXPECT_EQ(PaintedPixel(window, 9 + 4, 8 + 6), glyphPixel(L"CO_PLAY"));
  EXPECT_EQ(PaintedPixel(window, 39 + 4, 8 + 6), glyphPixel(L"DI_PAUSE"));
  EXPECT_EQ(PaintedPixel(window, 69 + 4, 8 + 6), glyphPixel(L"EN_STOP"));
  EXPECT_NE(glyphPixel(L"CO_PLAY"), glyphPixel(L"EN_PLAY"));

  // The disabled button takes no hot or pressed look, and the player ignores it as before.
  Mouse(window, WM_MOUSEMOVE, 40, 10);
  Mouse(window, WM_LBUTTONDOWN, 40, 10, MK_LBUTTON);
  EXPECT_EQ(skinner.ButtonFrame(TMPBtnType::btPause), 3);
  Mouse(window, WM_LBUTTONUP, 40, 10);
  // Play: hot, pressed, one click.
  Mouse(window, WM_MOUSEMOVE, 10, 10);
  EXPECT_EQ(PaintedPixel(window, 3, 3), FramePixel(buttons, 4, 3, 3));
  Mouse(window, WM_LBUTTONDOWN, 10, 10, MK_LBUTTON);
  EXPECT_EQ(PaintedPixel(window, 3, 3), FramePixel(buttons, 2, 3, 3));
  Mouse(window, WM_LBUTTONUP, 10, 10);
  EXPECT_EQ(skinner.ButtonFrame(TMPBtnType::btPlay), 4);
  EXPECT_EQ(player->clicks[0], 1);
  EXPECT_EQ(player->clicks[1], 0);

  SendMessageW(window, kSkinControlRoutingMessage, 0, 0);
  EXPECT_EQ(PaintedPixel(window, 3, 3), RGB(255, 0, 0));
  SendMessageW(window, kSkinControlRoutingMessage, 1, 0);
  EXPECT_EQ(PaintedPixel(window, 3, 3), FramePixel(buttons, 4, 3, 3));
}

TEST_F(SkinBars, AMenuButtonShowsItsDropDownPartAndClicksOnce) {
  HWND button = Child(L"BUTTON", L"Menu", BS_PUSHBUTTON, 10, 10, 100, 30);
  TSkinMenuButton skinner;
  ASSERT_TRUE(skinner.AttachHandle(button, data, nullptr));
  const TDataSkinObject& extra = Object("ExtraImages");
  // The arrow frame sits centred between the divider and the face's right edge.
  const int partLeft = 100 - TSkinMenuButton::ArrowPartWidth(30);
  const TRect arrow = extra.FrameRect(1);
  const int left = (partLeft + 2 + 98 - arrow.Width()) / 2;
  const int top = (30 - arrow.Height()) / 2;
  const int cx = arrow.Width() / 2;
  const int cy = arrow.Height() / 2;
  EXPECT_EQ(PaintedPixel(button, left + cx, top + cy), FramePixel(extra, 1, cx, cy));
  EXPECT_EQ(PaintedPixel(button, partLeft, 15), ColorToRGB(data.Model().Colour(TSkinColour::ButtonShadow)));

  Mouse(button, WM_MOUSEMOVE, 90, 15);
  EXPECT_EQ(PaintedPixel(button, left + cx, top + cy), FramePixel(extra, 2, cx, cy));
  Mouse(button, WM_LBUTTONDOWN, 90, 15, MK_LBUTTON);
  EXPECT_EQ(skinner.Frame(), 2);
  Mouse(button, WM_LBUTTONUP, 90, 15);
  Pump(20);
  EXPECT_EQ(heard.clicks, 1);
  DestroyWindow(button);
  EXPECT_EQ(skinner.State(), TSkinControlState::Destroyed);
}

TEST_F(SkinBars, HeaderItemsShowNormalHotAndPressedFramesAndClickOnce) {
  HWND header = Child(WC_HEADERW, L"", HDS_BUTTONS | HDS_HORZ, 0, 0, 300, 24);
  const wchar_t* texts[] = {L"名称 一个很长很长的标题", L"Size"};
  for (int i = 0; i < 2; ++i) {
    HDITEMW item{};
    item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
    item.cxy = 100;
    item.fmt = HDF_LEFT | HDF_STRING | (i == 1 ? HDF_SORTUP : 0);
    item.pszText = const_cast<wchar_t*>(texts[i]);
    SendMessageW(header, HDM_INSERTITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  }
  TSkinHeader skinner;
  ASSERT_TRUE(skinner.AttachHandle(header, data, nullptr));
  const TDataSkinObject& bar = Object("Headerbar");
  ASSERT_NE(FramePixel(bar, 1, 1, 1), FramePixel(bar, 2, 1, 1)) << "the skin's frames must differ";
  ASSERT_NE(FramePixel(bar, 2, 1, 1), FramePixel(bar, 3, 1, 1));
  // The bottom-left corners of the items (copied 1:1) and of the empty end.
  constexpr int bottom = 22;
  auto corner = [&](int x, int frame) {
    EXPECT_EQ(PaintedPixel(header, x + 1, bottom), FramePixel(bar, frame, 1, bar.FrameRect(frame).Height() - 2));
  };
  corner(0, 1);
  corner(100, 1);
  corner(200, 1);

  Mouse(header, WM_MOUSEMOVE, 150, 10);
  EXPECT_EQ(skinner.ItemFrame(1), 2);
  corner(100, 2);
  corner(0, 1);
  Mouse(header, WM_LBUTTONDOWN, 150, 10, MK_LBUTTON);
  corner(100, 3);
  Mouse(header, WM_LBUTTONUP, 150, 10);
  corner(100, 2);
  EXPECT_EQ(heard.itemClicks, 1);

  // A static header does not pretend to be pressable.
  SetWindowLongPtrW(header, GWL_STYLE, GetWindowLongPtrW(header, GWL_STYLE) & ~HDS_BUTTONS);
  Mouse(header, WM_MOUSEMOVE, 50, 10);
  EXPECT_EQ(skinner.ItemFrame(0), 1);
}

TEST_F(SkinBars, StatusBarPartsAreFramedByTheirKindAndTheGripIsTheSkins) {
  HWND bar = Child(STATUSCLASSNAMEW, L"", SBARS_SIZEGRIP, 0, 0, 0, 0);
  const int rights[] = {100, 200, -1};
  SendMessageW(bar, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(rights));
  SendMessageW(bar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(L"左\t中\t右"));
  SendMessageW(bar, SB_SETTEXTW, 1 | SBT_POPOUT, reinterpret_cast<LPARAM>(L"raised"));
  SendMessageW(bar, SB_SETTEXTW, 2 | SBT_NOBORDERS, reinterpret_cast<LPARAM>(L"plain"));
  TSkinStatusBar skinner;
  ASSERT_TRUE(skinner.AttachHandle(bar, data, nullptr));
  const TDataSkinObject& edges = Object("StatusBarEdges");
  ASSERT_NE(FramePixel(edges, 1, 0, 0), FramePixel(edges, 2, 0, 0)) << "the skin's frames must differ";
  auto partCorner = [&](int part) {
    RECT r{};
    SendMessageW(bar, SB_GETRECT, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(&r));
    return PaintedPixel(bar, r.left, r.top);
  };
  EXPECT_EQ(partCorner(0), FramePixel(edges, 1, 0, 0));
  EXPECT_EQ(partCorner(1), FramePixel(edges, 3, 0, 0));
  EXPECT_EQ(partCorner(2), ColorToRGB(data.Model().Colour(TSkinColour::ButtonFace)));
  EnableWindow(bar, FALSE);
  EXPECT_EQ(partCorner(0), FramePixel(edges, 2, 0, 0));
  EnableWindow(bar, TRUE);

  // The grip: the "ExtraImages" grip frame 1:1, two pixels in from the corner.
  const TDataSkinObject& extra = Object("ExtraImages");
  const TRect grip = extra.FrameRect(5);
  RECT r{};
  GetClientRect(bar, &r);
  const int x = grip.Width() - 2;
  const int y = grip.Height() - 2;
  ASSERT_NE(FramePixel(extra, 5, x, y), ColorToRGB(data.Model().Colour(TSkinColour::ButtonFace)));
  EXPECT_EQ(PaintedPixel(bar, r.right - 2 - grip.Width() + x, r.bottom - 2 - grip.Height() + y),
            FramePixel(extra, 5, x, y));

  // Simple mode: one framed part across the bar.
  SendMessageW(bar, SB_SIMPLE, TRUE, 0);
  EXPECT_EQ(PaintedPixel(bar, 0, 0), FramePixel(edges, 1, 0, 0));
  EXPECT_EQ(PaintedPixel(bar, 250, 0), FramePixel(edges, 1, 6, 0));

  SendMessageW(bar, kSkinControlRoutingMessage, 0, 0);
  EXPECT_NE(PaintedPixel(bar, 0, 0), FramePixel(edges, 1, 0, 0));
}

TEST_F(SkinBars, ASizeGripMadeForASkinnedWindowIsSkinnedAndGoesCleanly) {
  TSkinForm form(nullptr, nullptr);
  form.InitSkin(parent.get(), &data);
  SendMessageW(parent.get(), kSkinFinishMessage, 0, 1000);
  const COLORREF face = ColorToRGB(data.Model().Colour(TSkinColour::ButtonFace));
  const COLORREF shadow = ColorToRGB(data.Model().Colour(TSkinColour::ButtonShadow));
  const COLORREF light = ColorToRGB(data.Model().Colour(TSkinColour::ButtonHilight));
  ASSERT_NE(light, face);
  auto cycle = [&] {
    HWND grip = Child(L"SCROLLBAR", L"", SBS_SIZEGRIP | SBS_SIZEBOXBOTTOMRIGHTALIGN, 380, 240, 17, 17);
    form.AttachSizeGrip(grip);
    EXPECT_EQ(PaintedPixel(grip, 1, 1), face);
    // The first ridge, four pixels out from the corner: a light line, then shadow nearer it.
    RECT r{};
    GetClientRect(grip, &r);
    EXPECT_EQ(PaintedPixel(grip, r.right - 3, r.bottom - 2), light);
    EXPECT_EQ(PaintedPixel(grip, r.right - 2, r.bottom - 2), shadow);
    DestroyWindow(grip);
  };
  cycle();
  ASSERT_EQ(form.ControlSkinners().size(), 1u);
  EXPECT_EQ(form.ControlSkinners()[0]->State(), TSkinControlState::Destroyed);
  // Gone while the window is still skinned: its skinner holds nothing more.
  const GuiObjectCount before = CountGuiObjects();
  cycle();
  EXPECT_EQ(CountGuiObjects().gdi, before.gdi);
  EXPECT_EQ(form.ControlSkinners().size(), 1u) << "the first grip's skinner made way";
  form.Unskin(false);
  EXPECT_TRUE(form.ControlSkinners().empty());
}

// Run at 96 dpi and once more at 200 % (tools/wine-dpi 192).
TEST_F(SkinBars, GripRidgesTrackTicksAndTheTabPageFrameFollowTheWindowsScale) {
  struct TExpected {
    int Dpi;
    // Along the grip's bottom row, counted from its right edge.
    std::vector<int> Light, Shadow, Face;
    int TickGap, TickLength, TickWidth;
  };
  const TExpected table[] = {{96, {4, 8}, {2, 3, 6}, {1}, 2, 3, 1}, {192, {7, 8, 15}, {3, 6, 11}, {1, 2}, 4, 6, 2}};
  const int dpi = WindowDpi(parent.get());
  const TExpected* e = nullptr;
  for (const TExpected& row : table) e = row.Dpi == dpi ? &row : e;
  ASSERT_NE(e, nullptr) << "no figures worked out for " << dpi << " dpi";
  const TSkinModel& model = data.Model(dpi);
  const COLORREF face = ColorToRGB(model.Colour(TSkinColour::ButtonFace));
  const COLORREF shadow = ColorToRGB(model.Colour(TSkinColour::ButtonShadow));

  HWND grip = Child(L"SCROLLBAR", L"", SBS_SIZEGRIP, 0, 0, ScaleToDpi(17, dpi), ScaleToDpi(17, dpi));
  TSkinSizer sizer;
  ASSERT_TRUE(sizer.AttachHandle(grip, data, nullptr));
  RECT r{};
  GetClientRect(grip, &r);
  const TPaintedWindow painted(grip);
  const auto bottomRow = [&](int fromRight) { return painted.Pixel(r.right - fromRight, r.bottom - 1); };
  for (int x : e->Light) EXPECT_EQ(bottomRow(x), ColorToRGB(model.Colour(TSkinColour::ButtonHilight))) << x;
  for (int x : e->Shadow) EXPECT_EQ(bottomRow(x), shadow) << x;
  for (int x : e->Face) EXPECT_EQ(bottomRow(x), face) << x;

  // The ticks under a bar's thumb: a gap, then a tick, measured down and across from the first.
  HWND track = Child(TRACKBAR_CLASSW, L"", TBS_AUTOTICKS, 0, 40, ScaleToDpi(220, dpi), ScaleToDpi(45, dpi));
  SendMessageW(track, TBM_SETRANGE, TRUE, MAKELPARAM(0, 10));
  TSkinTrackBar ticks;
  ASSERT_TRUE(ticks.AttachHandle(track, data, nullptr));
  RECT thumb{};
  SendMessageW(track, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
  const TPaintedWindow bar(track);
  const int tickTop = thumb.bottom + e->TickGap;
  int x = 0;
  while (x < ScaleToDpi(220, dpi) && bar.Pixel(x, tickTop) != shadow) ++x;
  ASSERT_LT(x, ScaleToDpi(220, dpi)) << "no tick under the thumb";
  EXPECT_NE(bar.Pixel(x, tickTop - 1), shadow);
  EXPECT_EQ(bar.Pixel(x, tickTop + e->TickLength - 1), shadow);
  EXPECT_NE(bar.Pixel(x, tickTop + e->TickLength), shadow);
  EXPECT_EQ(bar.Pixel(x + e->TickWidth - 1, tickTop), shadow);
  EXPECT_NE(bar.Pixel(x + e->TickWidth, tickTop), shadow);

  // The frame around the pages ends at the control's edges: its bottom-right corner is whole.
  const INITCOMMONCONTROLSEX tabsClass{sizeof(tabsClass), ICC_TAB_CLASSES};
  InitCommonControlsEx(&tabsClass);
  HWND tabs = Child(WC_TABCONTROLW, L"", 0, 0, 100, ScaleToDpi(200, dpi), ScaleToDpi(100, dpi));
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = const_cast<wchar_t*>(L"Rest");
  SendMessageW(tabs, TCM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  TSkinTab tabSkinner;
  ASSERT_TRUE(tabSkinner.AttachHandle(tabs, data, nullptr));
  const auto* tabsObject = dynamic_cast<const TDataSkinBorder*>(model.Find("Tabs"));
  ASSERT_TRUE(tabsObject && tabsObject->Style == 0 && !tabsObject->Image2.Empty()) << "the skin frames its pages";
  const TSkinImage& page = tabsObject->Image2;
  GetClientRect(tabs, &r);
  const TPaintedWindow pages(tabs);
  int compared = 0;
  for (int dy = 1; dy <= ScaleToDpi(4, dpi); ++dy) {
    for (int dx = 1; dx <= ScaleToDpi(4, dpi); ++dx) {
      const uint32_t pixel = page.Pixel(page.Width() - dx, page.Height() - dy);
      if (pixel == kSkinMagenta) continue;
      EXPECT_EQ(pages.Pixel(r.right - dx, r.bottom - dy), AsColorRef(pixel)) << dx << "," << dy;
      ++compared;
    }
  }
  EXPECT_GT(compared, 0);
}

TEST_F(SkinBars, GuiObjectsStayFlatOverSkinnedControlsComingAndGoing) {
  auto cycle = [&] {
    HWND header = Child(WC_HEADERW, L"", HDS_BUTTONS, 0, 0, 300, 24);
    HWND bar = Child(STATUSCLASSNAMEW, L"text", SBARS_SIZEGRIP, 0, 0, 0, 0);
    HWND grip = Child(L"SCROLLBAR", L"", SBS_SIZEGRIP, 380, 240, 17, 17);
    HWND button = Child(L"BUTTON", L"Menu", BS_PUSHBUTTON, 10, 40, 100, 30);
    TSkinHeader h;
    TSkinStatusBar s;
    TSkinSizer g;
    TSkinMenuButton m;
    EXPECT_TRUE(h.AttachHandle(header, data, nullptr) && s.AttachHandle(bar, data, nullptr) &&
                g.AttachHandle(grip, data, nullptr) && m.AttachHandle(button, data, nullptr));
    RedrawWindow(parent.get(), nullptr, nullptr, RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_INVALIDATE | RDW_ERASE);
    // Destroyed while skinned, before their skinners go.
    for (HWND w : {header, bar, grip, button}) DestroyWindow(w);
  };
  auto playerCycle = [&] {
    TForm form(nullptr);
    auto* player = new TPlayerBar(&form);
    player->SetParent(&form);
    player->SetBounds(0, 0, 180, 28);
    SetPropValue(*player, "ColoredButtons", "[btPlay, btRecord]");
    form.Show();
    TSkinMP skinner;
    skinner.Attach(nullptr, data, 0, *player);
    player->Repaint();
  };
  cycle();
  playerCycle();
  const GuiObjectCount before = CountGuiObjects();
  for (int i = 0; i < 50; ++i) {
    cycle();
    playerCycle();
  }
  Pump(10);
  const GuiObjectCount after = CountGuiObjects();
  EXPECT_EQ(after.gdi, before.gdi);
  EXPECT_EQ(after.windows, before.windows);
}

TEST_F(SkinBars, ASkinWithoutTheirPicturesLeavesTheControlsTheirOwnLook) {
  const std::string ini = "[Personality]\r\nSkinName=Bare\r\n";
  const std::vector<uint8_t> file = BuildSkinFile({{"bare.ini", std::vector<uint8_t>(ini.begin(), ini.end())}});
  TMemoryStream stream;
  const auto length = static_cast<uint32_t>(file.size());
  stream.WriteBuffer(&length, 4);
  stream.WriteBuffer(file.data(), static_cast<int64_t>(file.size()));
  stream.SetPosition(0);
  TSkinData bare(nullptr);
  bare.ReadSkinStream(stream);
  ASSERT_FALSE(bare.LoadingSkin());

  HWND header = Child(WC_HEADERW, L"", HDS_BUTTONS, 0, 0, 300, 24);
  HDITEMW item{};
  item.mask = HDI_TEXT | HDI_WIDTH;
  item.cxy = 100;
  item.pszText = const_cast<wchar_t*>(L"Name");
  SendMessageW(header, HDM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  HWND bar = Child(STATUSCLASSNAMEW, L"ready", SBARS_SIZEGRIP, 0, 0, 0, 0);
  HWND button = Child(L"BUTTON", L"Menu", BS_PUSHBUTTON, 10, 40, 100, 30);
  auto look = [&](HWND w) {
    RECT r{};
    GetClientRect(w, &r);
    return std::vector<COLORREF>{PaintedPixel(w, 1, 1), PaintedPixel(w, r.right / 2, r.bottom / 2),
                                 PaintedPixel(w, r.right - 3, r.bottom - 3)};
  };
  const auto headerLook = look(header);
  const auto barLook = look(bar);
  const auto buttonLook = look(button);
  TSkinHeader h;
  TSkinStatusBar s;
  TSkinMenuButton m;
  ASSERT_TRUE(h.AttachHandle(header, bare, nullptr) && s.AttachHandle(bar, bare, nullptr) &&
              m.AttachHandle(button, bare, nullptr));
  EXPECT_EQ(look(header), headerLook);
  EXPECT_EQ(look(bar), barLook);
  EXPECT_EQ(look(button), buttonLook);
}

TEST_F(SkinBars, TheFactoryMakesTheNewKinds) {
  EXPECT_NE(dynamic_cast<TSkinMP*>(MakeControlSkinner({.Kind = TSkinnerKind::MediaPlayer}).get()), nullptr);
  EXPECT_NE(dynamic_cast<TSkinMenuButton*>(MakeControlSkinner({.Kind = TSkinnerKind::MenuButton}).get()), nullptr);
  EXPECT_NE(dynamic_cast<TSkinHeader*>(MakeControlSkinner({.Kind = TSkinnerKind::Header}).get()), nullptr);
  EXPECT_NE(dynamic_cast<TSkinStatusBar*>(MakeControlSkinner({.Kind = TSkinnerKind::StatusBar}).get()), nullptr);
  EXPECT_NE(dynamic_cast<TSkinSizer*>(MakeControlSkinner({.Kind = TSkinnerKind::Sizer}).get()), nullptr);
}

}  // namespace
