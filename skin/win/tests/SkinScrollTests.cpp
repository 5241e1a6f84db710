#include <gtest/gtest.h>
#include <windows.h>

// commctrl.h needs windows.h before it.
#include <commctrl.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "framework/controls/Forms.h"
#include "framework/controls/StdCtrls.h"
#include "framework/controls/tests/GuiObjectCount.h"
#include "framework/controls/tests/MessagePump.h"
#include "framework/win32/Handles.h"
#include "skin/win/manager/SkinControlMapping.h"
#include "skin/win/data/SkinDataUnit.h"
#include "skin/win/form/SkinFormUnit.h"
#include "skin/win/controls/SkinProgress.h"
#include "skin/win/controls/SkinScrollbar.h"
#include "skin/win/controls/SkinTrackBar.h"
#include "skin/win/tests/MappingHost.h"
#include "skin/win/tests/SkinPixels.h"

namespace {

constexpr const char* kSkinFile = "skin-win-test-velskin.skn";

class TScrollForm : public TForm {
public:
  BREVIN_CLASS_INFO()
  TScrollForm() : TForm(nullptr) {
    InitializeForm(
        "object ScrollForm: TScrollForm\n  Left = 80\n  Top = 60\n  ClientWidth = 460\n  ClientHeight = 320\n"
        "  object Memo1: TMemo\n    Left = 10\n    Top = 10\n    Width = 200\n    Height = 120\n"
        "    ScrollBars = ssVertical\n  end\n"
        "  object Memo2: TMemo\n    Left = 230\n    Top = 10\n    Width = 200\n    Height = 120\n  end\n"
        "end\n");
  }
  TMemo& Memo(const char* name) { return *static_cast<TMemo*>(FindComponent(name)); }
};

const TClassInfo& TScrollForm::StaticClassInfo() {
  static const TClassInfo info("TScrollForm", &TForm::StaticClassInfo());
  return info;
}

// What the screen shows of the window at (x, y).
COLORREF ShownPixel(HWND window, int x, int y) {
  WindowDC dc(window);
  return GetPixel(dc.get(), x, y);
}

// The centre pixel of a frame of a skin object.
COLORREF FrameCentre(const TDataSkinObject& object, int frame) {
  const TRect r = object.FrameRect(frame);
  return AsColorRef(object.Image.Pixel((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
}

SIZE ClientSize(HWND window) {
  RECT r{};
  GetClientRect(window, &r);
  return {r.right, r.bottom};
}

std::wstring NumberedLines(int count) {
  std::wstring text;
  for (int i = 1; i <= count; ++i) text += L"line " + std::to_wstring(i) + L"\r\n";
  return text;
}

SCROLLINFO ScrollInfo(HWND window) {
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_ALL;
  GetScrollInfo(window, SB_VERT, &info);
  return info;
}

class SkinScroll : public ::testing::Test {
protected:
  void SetUp() override {
    data.OnReaderMessage = [](const std::string&) {};
    data.SetSkinFile(kSkinFile);
    ASSERT_FALSE(data.LoadingSkin());
    form = std::make_unique<TScrollForm>();
    form->Show();
    SetForegroundWindow(form->Handle());
    Pump(30);
  }

  const TDataSkinObject& Object(const char* name) const { return *data.Model().Find(name); }

  HWND MakeChild(const wchar_t* className, DWORD style, int x, int y, int width, int height) {
    HWND w = CreateWindowExW(0, className, L"", WS_CHILD | WS_VISIBLE | style, x, y, width, height, form->Handle(),
                             nullptr, GetModuleHandleW(nullptr), nullptr);
    children.emplace_back(w);
    return w;
  }

  TSkinData data{nullptr};
  std::unique_ptr<TScrollForm> form;
  std::vector<UniqueWindow> children;
};

TEST_F(SkinScroll, AnEditScrollsThroughItsSkinnedBarByArrowTrackThumbWheelAndKeys) {
  HWND edit = MakeChild(L"EDIT", WS_VSCROLL | WS_BORDER | ES_MULTILINE | ES_AUTOVSCROLL, 10, 140, 200, 150);
  SetWindowTextW(edit, NumberedLines(100).c_str());
  TSkinScrollbar skinner;
  ASSERT_TRUE(skinner.AttachHandle(edit, data, nullptr));
  HWND bar = skinner.ScrollWindow(SB_VERT);
  ASSERT_NE(bar, nullptr);
  EXPECT_TRUE(IsWindowVisible(bar));
  EXPECT_EQ(skinner.ScrollWindow(SB_HORZ), nullptr) << "no cover for a bar the edit does not have";

  SCROLLBARINFO system{};
  system.cbSize = sizeof(system);
  ASSERT_TRUE(GetScrollBarInfo(edit, OBJID_VSCROLL, &system));
  RECT covered{};
  GetWindowRect(bar, &covered);
  EXPECT_TRUE(EqualRect(&covered, &system.rcScrollBar)) << "the cover lies exactly over the system's bar";

  const SIZE size = ClientSize(bar);
  const int t = size.cx;
  const TDataSkinObject& arrows = Object("Scrollbar");
  const COLORREF track = FrameCentre(Object("VertScroll"), 1);
  auto thumbAtTop = [&] { return PaintedPixel(bar, t / 2, t + 4) != track; };
  auto thumbAtBottom = [&] { return PaintedPixel(bar, t / 2, size.cy - t - 5) != track; };
  EXPECT_EQ(PaintedPixel(bar, t / 2, t / 2), FrameCentre(arrows, 1)) << "up arrow, normal";
  EXPECT_TRUE(thumbAtTop());
  EXPECT_FALSE(thumbAtBottom());

  // The down arrow: one line, the pressed frame while held.
  Mouse(bar, WM_LBUTTONDOWN, t / 2, size.cy - t / 2, MK_LBUTTON);
  EXPECT_EQ(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 1);
  EXPECT_EQ(PaintedPixel(bar, t / 2, size.cy - t / 2), FrameCentre(arrows, 7)) << "down arrow, pressed";
  Mouse(bar, WM_LBUTTONUP, t / 2, size.cy - t / 2);
  EXPECT_EQ(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 1);

  // The track below the thumb: a page.
  const SCROLLINFO before = ScrollInfo(edit);
  Mouse(bar, WM_LBUTTONDOWN, t / 2, size.cy - t - 3, MK_LBUTTON);
  Mouse(bar, WM_LBUTTONUP, t / 2, size.cy - t - 3);
  EXPECT_GT(ScrollInfo(edit).nPos, before.nPos + 1);
  EXPECT_EQ(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0), ScrollInfo(edit).nPos);

  // The thumb dragged far past the end: the last page.
  SendMessageW(edit, WM_VSCROLL, SB_TOP, 0);
  ASSERT_TRUE(thumbAtTop());
  Mouse(bar, WM_LBUTTONDOWN, t / 2, t + 4, MK_LBUTTON);
  Mouse(bar, WM_MOUSEMOVE, t / 2, size.cy + 200, MK_LBUTTON);
  Mouse(bar, WM_LBUTTONUP, t / 2, size.cy + 200);
  const SCROLLINFO end = ScrollInfo(edit);
  EXPECT_EQ(end.nPos, end.nMax - static_cast<int>(end.nPage) + 1);
  EXPECT_EQ(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0), end.nPos);
  EXPECT_TRUE(thumbAtBottom());
  EXPECT_FALSE(thumbAtTop());

  // Taken far off to the side while held, the thumb goes back where it was, and so does the edit.
  Mouse(bar, WM_LBUTTONDOWN, t / 2, size.cy - t - 5, MK_LBUTTON);
  Mouse(bar, WM_MOUSEMOVE, t / 2, t + 4, MK_LBUTTON);
  EXPECT_EQ(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 0) << "the text follows the thumb while held";
  Mouse(bar, WM_MOUSEMOVE, t * 20, t + 4, MK_LBUTTON);
  Mouse(bar, WM_LBUTTONUP, t * 20, t + 4);
  EXPECT_EQ(ScrollInfo(edit).nPos, end.nPos);
  EXPECT_EQ(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0), end.nPos);
  EXPECT_TRUE(thumbAtBottom());

  // The wheel and the keys scroll the edit; the bar follows.
  for (int i = 0; i < 60; ++i) SendMessageW(edit, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
  EXPECT_EQ(ScrollInfo(edit).nPos, 0);
  EXPECT_TRUE(thumbAtTop());
  SetFocus(edit);
  for (int i = 0; i < 40; ++i) SendMessageW(edit, WM_KEYDOWN, VK_NEXT, 0);
  EXPECT_EQ(ScrollInfo(edit).nPos, end.nPos);
  EXPECT_TRUE(thumbAtBottom());

  // A bar the edit hides takes its cover along.
  ShowScrollBar(edit, SB_VERT, FALSE);
  EXPECT_FALSE(IsWindowVisible(bar));
  ShowScrollBar(edit, SB_VERT, TRUE);
  EXPECT_TRUE(IsWindowVisible(bar));

  // Disabled: the arrows look it and the mouse does nothing.
  EnableWindow(edit, FALSE);
  EXPECT_EQ(PaintedPixel(bar, t / 2, t / 2), FrameCentre(arrows, 4)) << "up arrow, disabled";
  Mouse(bar, WM_LBUTTONDOWN, t / 2, t / 2, MK_LBUTTON);
  Mouse(bar, WM_LBUTTONUP, t / 2, t / 2);
  EXPECT_EQ(ScrollInfo(edit).nPos, end.nPos);
}

TEST_F(SkinScroll, MemosOfASkinnedFormGetCoversThatFollowThemAndLeaveWithThem) {
  TMemo& memo = form->Memo("Memo1");
  std::vector<std::string> lines;
  for (int i = 1; i <= 60; ++i) lines.push_back("line " + std::to_string(i));
  memo.SetLines(lines);
  TMappingHost host;
  TSkinForm skinned(form.get(), &host);
  skinned.InitSkin(form->Handle(), &data);
  SendMessageW(form->Handle(), kSkinFinishMessage, 0, 1000);
  auto skinnerOf = [&](TControl& control) -> TSkinScrollbar* {
    for (const auto& s : skinned.ControlSkinners())
      if (s->Control() == &control) return dynamic_cast<TSkinScrollbar*>(s.get());
    return nullptr;
  };
  TSkinScrollbar* skinner = skinnerOf(memo);
  ASSERT_NE(skinner, nullptr);
  HWND bar = skinner->ScrollWindow(SB_VERT);
  ASSERT_NE(bar, nullptr);
  EXPECT_TRUE(IsWindowVisible(bar));
  TSkinScrollbar* plain = skinnerOf(form->Memo("Memo2"));
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(plain->ScrollWindow(SB_VERT), nullptr) << "a memo without scroll bars gets nothing";
  EXPECT_EQ(plain->ScrollWindow(SB_HORZ), nullptr);

  // Switched off, the system's bar shows; on again, the cover.
  SendMessageW(memo.Handle(), kSkinControlRoutingMessage, 0, 0);
  EXPECT_FALSE(IsWindowVisible(bar));
  SendMessageW(memo.Handle(), kSkinControlRoutingMessage, 1, 0);
  EXPECT_TRUE(IsWindowVisible(bar));
  memo.SetVisible(false);
  EXPECT_FALSE(IsWindowVisible(bar));
  memo.SetVisible(true);
  EXPECT_TRUE(IsWindowVisible(bar));

  // Moved and resized, the cover goes along.
  memo.SetBounds(20, 20, 240, 160);
  SCROLLBARINFO system{};
  system.cbSize = sizeof(system);
  ASSERT_TRUE(GetScrollBarInfo(memo.Handle(), OBJID_VSCROLL, &system));
  RECT covered{};
  GetWindowRect(bar, &covered);
  EXPECT_TRUE(EqualRect(&covered, &system.rcScrollBar));

  // Other scroll bars make the memo's window again; its skinner is made again for the new one.
  memo.SetScrollBars(TScrollStyle::ssBoth);
  ASSERT_TRUE(PumpUntil([&] { return skinnerOf(memo) && skinnerOf(memo)->Handle() == memo.Handle(); }, 2000));
  skinner = skinnerOf(memo);
  EXPECT_EQ(skinner->State(), TSkinControlState::Attached);
  ASSERT_NE(skinner->ScrollWindow(SB_VERT), nullptr);
  ASSERT_NE(skinner->ScrollWindow(SB_HORZ), nullptr);
  ASSERT_NE(skinner->ScrollWindow(SB_BOTH), nullptr);
  EXPECT_TRUE(IsWindowVisible(skinner->ScrollWindow(SB_BOTH))) << "the corner between the two bars";
  EXPECT_EQ(PaintedPixel(skinner->ScrollWindow(SB_BOTH), 1, 1, WM_PRINTCLIENT),
            ColorToRGB(data.Model().Colour(TSkinColour::ButtonFace)));

  // Freed while skinned, the memo takes its three covers with it.
  const GuiObjectCount before = CountGuiObjects();
  delete &memo;
  EXPECT_EQ(CountGuiObjects().windows, before.windows - 4);
  skinned.Unskin(false);
}

TEST_F(SkinScroll, AProgressBarFillsWithChunksFromItsStartAndRepaintsAsItMoves) {
  const TDataSkinObject& bar = Object("Progress");
  const TDataSkinObject& chunk = Object("Progress.Chunk");
  ASSERT_EQ(bar.LeftWidth, 4);
  ASSERT_EQ(bar.TopHeight, 4);
  HWND progress = MakeChild(PROGRESS_CLASSW, 0, 10, 140, 200, 20);
  SendMessageW(progress, PBM_SETRANGE32, 0, 100);
  SendMessageW(progress, PBM_SETPOS, 50, 0);
  TSkinProgress skinner;
  ASSERT_TRUE(skinner.AttachHandle(progress, data, nullptr));
  const COLORREF chunkCorner = AsColorRef(chunk.Image.Pixel(0, 0));
  EXPECT_EQ(PaintedPixel(progress, 1, 1), AsColorRef(bar.Image.Pixel(1, 1))) << "the bar's corner, 1:1";
  EXPECT_EQ(PaintedPixel(progress, 4, 4), chunkCorner) << "the first chunk at the inner corner";
  // 12 high inside: chunks of 8 with gaps of 2; 96 of 192 done ends with the chunk at 90.
  EXPECT_EQ(PaintedPixel(progress, 4 + 90, 4), chunkCorner);
  EXPECT_NE(PaintedPixel(progress, 4 + 100, 4), chunkCorner);
  EXPECT_EQ(ShownPixel(progress, 4 + 100, 4), PaintedPixel(progress, 4 + 100, 4));
  SendMessageW(progress, PBM_SETPOS, 100, 0);
  EXPECT_EQ(ShownPixel(progress, 4 + 100, 4), chunkCorner) << "the new position shows at once";
  EnableWindow(progress, FALSE);
  EXPECT_NE(ShownPixel(progress, 4, 4), chunkCorner) << "a disabled bar's fill is faded";
  EXPECT_EQ(ShownPixel(progress, 1, 1), AsColorRef(bar.Image.Pixel(1, 1)));

  HWND vertical = MakeChild(PROGRESS_CLASSW, PBS_VERTICAL, 250, 100, 20, 200);
  SendMessageW(vertical, PBM_SETRANGE32, 0, 100);
  SendMessageW(vertical, PBM_SETPOS, 50, 0);
  TSkinProgress upright;
  ASSERT_TRUE(upright.AttachHandle(vertical, data, nullptr));
  const TRect c = chunk.FrameRect(1);
  EXPECT_EQ(PaintedPixel(vertical, 4, 195), AsColorRef(chunk.Image.Pixel(c.Left, c.Bottom - 1))) << "from the bottom";
  EXPECT_NE(PaintedPixel(vertical, 4, 4), AsColorRef(chunk.Image.Pixel(c.Left, c.Top)));
}

TEST_F(SkinScroll, ATrackBarShowsItsThumbStatesAndKeepsItsKeysAndMouse) {
  HWND track = MakeChild(TRACKBAR_CLASSW, TBS_AUTOTICKS, 10, 140, 220, 34);
  SendMessageW(track, TBM_SETRANGE, TRUE, MAKELPARAM(0, 10));
  TSkinTrackBar skinner;
  ASSERT_TRUE(skinner.AttachHandle(track, data, nullptr));
  const TDataSkinObject& thumb = Object("Trackbar.ThumbDown");
  // The thumb's frames differ in their edge, their fill or both: the top middle pixel and the centre.
  auto thumbRect = [&] {
    RECT r{};
    SendMessageW(track, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&r));
    return r;
  };
  auto shown = [&] {
    const RECT r = thumbRect();
    return std::pair{PaintedPixel(track, (r.left + r.right) / 2, r.top),
                     PaintedPixel(track, (r.left + r.right) / 2, (r.top + r.bottom) / 2)};
  };
  auto frame = [&](int n) {
    const TRect r = thumb.FrameRect(n);
    return std::pair{AsColorRef(thumb.Image.Pixel((r.Left + r.Right) / 2, r.Top)), FrameCentre(thumb, n)};
  };
  auto thumbPoint = [&] {
    const RECT r = thumbRect();
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  };
  for (int a = 1; a <= 5; ++a)
    for (int b = a + 1; b <= 5; ++b) ASSERT_NE(frame(a), frame(b)) << "the skin's frames must differ for this test";
  EXPECT_EQ(shown(), frame(1));

  SetFocus(track);
  EXPECT_EQ(skinner.ThumbFrame(), 5);
  EXPECT_EQ(shown(), frame(5));
  SendMessageW(track, WM_KEYDOWN, VK_RIGHT, 0);
  SendMessageW(track, WM_KEYUP, VK_RIGHT, 0);
  EXPECT_EQ(SendMessageW(track, TBM_GETPOS, 0, 0), 1);
  EXPECT_EQ(shown(), frame(5)) << "drawn where the bar moved it";

  POINT p = thumbPoint();
  Mouse(track, WM_MOUSEMOVE, p.x, p.y);
  EXPECT_EQ(skinner.ThumbFrame(), 2);
  Mouse(track, WM_LBUTTONDOWN, p.x, p.y, MK_LBUTTON);
  EXPECT_EQ(skinner.ThumbFrame(), 3);
  EXPECT_EQ(shown(), frame(3));
  Mouse(track, WM_MOUSEMOVE, 200, p.y, MK_LBUTTON);
  Mouse(track, WM_LBUTTONUP, 200, p.y);
  EXPECT_GT(SendMessageW(track, TBM_GETPOS, 0, 0), 5) << "the thumb was dragged";
  EXPECT_NE(skinner.ThumbFrame(), 3);

  EnableWindow(track, FALSE);
  EXPECT_EQ(shown(), frame(4));

  // Upright, with its ticks on the right, the thumb points right.
  HWND upright = MakeChild(TRACKBAR_CLASSW, TBS_VERT | TBS_AUTOTICKS, 300, 100, 34, 200);
  TSkinTrackBar uprightSkinner;
  ASSERT_TRUE(uprightSkinner.AttachHandle(upright, data, nullptr));
  const TDataSkinObject& right = Object("Trackbar.ThumbRight");
  RECT r{};
  SendMessageW(upright, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&r));
  // Above the point the picture shows its background, where a square thumb would be solid.
  EXPECT_EQ(PaintedPixel(upright, r.right - 3, r.top + 1),
            AsColorRef(right.Image.Pixel(right.FrameRect(1).Left + 17, 1)));
  EXPECT_EQ(PaintedPixel(upright, (r.left + r.right) / 2, (r.top + r.bottom) / 2), FrameCentre(right, 1));
  // The tick of the middle value beside the thumb standing on it, give or take a pixel of rounding.
  SendMessageW(upright, TBM_SETRANGE, TRUE, MAKELPARAM(0, 10));
  SendMessageW(upright, TBM_SETPOS, TRUE, 5);
  SendMessageW(upright, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&r));
  const COLORREF shadow = ColorToRGB(data.Model().Colour(TSkinColour::ButtonShadow));
  const int middle = (r.top + r.bottom) / 2;
  int ticks = 0;
  for (int y = middle - 1; y <= middle + 1; ++y) ticks += PaintedPixel(upright, r.right + 3, y) == shadow;
  EXPECT_EQ(ticks, 1);
}

TEST_F(SkinScroll, GuiObjectsStayFlatOverAttachCycles) {
  HWND edit = MakeChild(L"EDIT", WS_VSCROLL | WS_HSCROLL | ES_MULTILINE, 10, 140, 200, 150);
  SetWindowTextW(edit, NumberedLines(100).c_str());
  HWND progress = MakeChild(PROGRESS_CLASSW, 0, 230, 140, 200, 20);
  HWND track = MakeChild(TRACKBAR_CLASSW, TBS_AUTOTICKS, 230, 180, 200, 34);
  auto cycle = [&] {
    TSkinScrollbar scroll;
    ASSERT_TRUE(scroll.AttachHandle(edit, data, nullptr));
    TSkinProgress bar;
    ASSERT_TRUE(bar.AttachHandle(progress, data, nullptr));
    TSkinTrackBar trackBar;
    ASSERT_TRUE(trackBar.AttachHandle(track, data, nullptr));
    SendMessageW(edit, WM_VSCROLL, SB_PAGEDOWN, 0);
    SendMessageW(progress, PBM_STEPIT, 0, 0);
    SendMessageW(track, WM_KEYDOWN, VK_RIGHT, 0);
    Pump(1);
  };
  // The first cycles carry the controls to their ends, where they stay.
  for (int i = 0; i < 12; ++i) cycle();
  const GuiObjectCount before = CountGuiObjects();
  for (int i = 0; i < 50; ++i) cycle();
  const GuiObjectCount after = CountGuiObjects();
  EXPECT_LE(after.gdi, before.gdi + 2);
  EXPECT_EQ(after.windows, before.windows);
  LONG_PTR style = GetWindowLongPtrW(edit, GWL_STYLE);
  EXPECT_FALSE(style & WS_CLIPSIBLINGS) << "the edit's style is given back";
}

}  // namespace
