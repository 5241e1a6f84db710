#include <gtest/gtest.h>
#include <windowsx.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <vector>

#include "framework/controls/tests/GuiObjectCount.h"
#include "framework/controls/Controls.h"
#include "framework/controls/Forms.h"
#include "framework/controls/Messages.h"
#include "framework/controls/tests/MessagePump.h"
#include "framework/controls/tests/RealInput.h"
#include "framework/win32/CallbackErrors.h"
#include "framework/win32/Dpi.h"
#include "framework/win32/Region.h"
#include "framework/win32/ThreadHook.h"
#include "framework/win32/WindowClass.h"
#include "skin/win/data/SkinDataUnit.h"
#include "skin/win/form/SkinFormUnit.h"

namespace {

constexpr const char* kSkinFile = "skin-win-test-velskin.skn";
// The program's skin: borders 4 wide, a 26-pixel caption, the outer corner pixels magenta.
constexpr int kSide = 4;
constexpr int kCaption = 26;
constexpr int kBottom = 4;

std::vector<WPARAM> sysCommands;

LRESULT CALLBACK TestWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE) {
    // Written down, not acted on, so that the window stays for the test.
    sysCommands.push_back(wParam & 0xFFF0);
    return 0;
  }
  if (msg == WM_GETMINMAXINFO) {
    // Room for a window wider than the widest picture a skin can draw.
    reinterpret_cast<MINMAXINFO*>(lParam)->ptMaxTrackSize = {32000, 32000};
    return 0;
  }
  return DefWindowProcW(window, msg, wParam, lParam);
}

RECT WindowRectOf(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r;
}

SIZE ClientSizeOf(HWND window) {
  RECT r{};
  GetClientRect(window, &r);
  return {r.right, r.bottom};
}

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

LPARAM ScreenPoint(HWND window, int x, int y) {
  const RECT r = WindowRectOf(window);
  return MAKELPARAM(r.left + x, r.top + y);
}

class SkinForm : public ::testing::Test {
protected:
  void SetUp() override {
    RegisterWindowClassOnce(L"SkinFormTestWindow", TestWindowProc);
    data.OnReaderMessage = [](const std::string&) {};
    data.SetSkinFile(kSkinFile);
    ASSERT_FALSE(data.LoadingSkin());
    sysCommands.clear();
  }
  void TearDown() override {
    skinner.reset();
    for (HWND w : windows) DestroyWindow(w);
  }

  HWND MakeWindow(DWORD style, int width = 400, int height = 300) {
    HWND w = CreateWindowExW(0, L"SkinFormTestWindow", L"晴岚 skin test", style, 100, 120, width, height, nullptr,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
    windows.push_back(w);
    ShowWindow(w, SW_SHOWNORMAL);
    SetForegroundWindow(w);
    Pump(20);
    return w;
  }

  TSkinForm& Skin(HWND window) {
    skinner = std::make_unique<TSkinForm>(nullptr, nullptr);
    skinner->InitSkin(window, &data);
    SendMessageW(window, kSkinFinishMessage, 0, 1000);
    return *skinner;
  }

  TSkinSysButton* VisibleButton(int action) {
    for (const auto& b : skinner->Buttons())
      if (b->Visible && b->Object().Action == action) return b.get();
    return nullptr;
  }

  static LPARAM Middle(HWND window, const TSkinSysButton& button) {
    const TRect& r = button.Rect;
    return ScreenPoint(window, (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
  }

  TSkinData data{nullptr};
  std::unique_ptr<TSkinForm> skinner;
  std::vector<HWND> windows;
};

TEST_F(SkinForm, ClientAreaAndPlaceSurviveSkinningCycles) {
  HWND w = MakeWindow(WS_OVERLAPPEDWINDOW);
  const RECT before = WindowRectOf(w);
  const SIZE client = ClientSizeOf(w);
  EXPECT_EQ(SendMessageW(w, kSkinQueryMessage, 0, 0), 0);
  for (int i = 0; i < 20; ++i) {
    Skin(w);
    ASSERT_EQ(SendMessageW(w, kSkinQueryMessage, 0, 0), 1);
    const RECT skinned = WindowRectOf(w);
    EXPECT_EQ(ClientSizeOf(w).cx, client.cx);
    EXPECT_EQ(ClientSizeOf(w).cy, client.cy);
    EXPECT_EQ(skinned.right - skinned.left, client.cx + 2 * kSide);
    EXPECT_EQ(skinned.bottom - skinned.top, client.cy + kCaption + kBottom);
    skinner->Unskin(false);
    ASSERT_EQ(SendMessageW(w, kSkinQueryMessage, 0, 0), 0);
    ASSERT_TRUE(SameRect(WindowRectOf(w), before)) << "cycle " << i;
  }
}

TEST_F(SkinForm, AWindowWithoutCaptionKeepsItsSystemFrame) {
  HWND w = MakeWindow(WS_POPUP | WS_THICKFRAME);
  const RECT before = WindowRectOf(w);
  const SIZE client = ClientSizeOf(w);
  TSkinForm& form = Skin(w);
  EXPECT_EQ(form.BorderMode(), TBorderMode::NoCaption);
  EXPECT_EQ(SendMessageW(w, kSkinQueryMessage, 0, 0), 1);
  SendMessageW(w, WM_NCPAINT, 1, 0);
  SetWindowPos(w, nullptr, 0, 0, 500, 350, SWP_NOMOVE | SWP_NOZORDER);
  SetWindowPos(w, nullptr, 0, 0, before.right - before.left, before.bottom - before.top, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_TRUE(SameRect(WindowRectOf(w), before));
  EXPECT_EQ(ClientSizeOf(w).cx, client.cx);
  EXPECT_EQ(ClientSizeOf(w).cy, client.cy);
  UniqueRegion region(CreateRectRgn(0, 0, 0, 0));
  EXPECT_EQ(GetWindowRgn(w, region.get()), ERROR);
  EXPECT_EQ(form.RegionBuilds(), 0);
  form.Unskin(false);
  EXPECT_TRUE(SameRect(WindowRectOf(w), before));
}

TEST_F(SkinForm, MagentaCornersCutTheRegionWhichIsRebuiltOnlyOnResize) {
  HWND w = MakeWindow(WS_OVERLAPPEDWINDOW);
  TSkinForm& form = Skin(w);
  const RECT r = WindowRectOf(w);
  const int height = r.bottom - r.top;
  UniqueRegion region(CreateRectRgn(0, 0, 0, 0));
  ASSERT_NE(GetWindowRgn(w, region.get()), ERROR);
  EXPECT_FALSE(PtInRegion(region.get(), 0, 0));
  EXPECT_FALSE(PtInRegion(region.get(), 2, 0));
  EXPECT_FALSE(PtInRegion(region.get(), 0, height - 1));
  EXPECT_TRUE(PtInRegion(region.get(), 3, 0));
  EXPECT_TRUE(PtInRegion(region.get(), 1, 1));
  EXPECT_TRUE(PtInRegion(region.get(), 200, 100));

  const int builds = form.RegionBuilds();
  SetWindowPos(w, nullptr, 30, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  SendMessageW(w, WM_SIZE, SIZE_RESTORED, 0);
  EXPECT_EQ(form.RegionBuilds(), builds);
  SetWindowPos(w, nullptr, 0, 0, 420, 310, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(form.RegionBuilds(), builds + 1);
  ASSERT_NE(GetWindowRgn(w, region.get()), ERROR);
  EXPECT_FALSE(PtInRegion(region.get(), 0, 309));
  EXPECT_TRUE(PtInRegion(region.get(), 419 - 3, 309 - 3));
}

TEST_F(SkinForm, CaptionButtonsSwapAndActOnlyOnReleaseOverThemselves) {
  HWND w = MakeWindow(WS_OVERLAPPEDWINDOW);
  Skin(w);
  TSkinSysButton* maximize = VisibleButton(1);
  ASSERT_NE(maximize, nullptr);
  EXPECT_EQ(maximize->Object().Visibility1, 2);
  ShowWindow(w, SW_MAXIMIZE);
  Pump(20);
  SendMessageW(w, kSkinRepaintFrameMessage, 0, 0);
  ASSERT_NE(VisibleButton(1), nullptr);
  EXPECT_EQ(VisibleButton(1)->Object().Visibility1, 1);
  ShowWindow(w, SW_RESTORE);
  Pump(20);
  SendMessageW(w, kSkinRepaintFrameMessage, 0, 0);

  TSkinSysButton* close = VisibleButton(0);
  ASSERT_NE(close, nullptr);
  const LPARAM inside = Middle(w, *close);
  const LPARAM elsewhere = ScreenPoint(w, 150, 12);
  SendMessageW(w, WM_NCLBUTTONDOWN, HTCAPTION, inside);
  EXPECT_EQ(close->State(), TNCObject::kPressed);
  SendMessageW(w, WM_NCLBUTTONUP, HTCAPTION, elsewhere);
  Pump(50);
  EXPECT_TRUE(sysCommands.empty());
  SendMessageW(w, WM_NCMOUSEMOVE, HTCAPTION, elsewhere);
  EXPECT_EQ(close->State(), TNCObject::kNormal);
  SendMessageW(w, WM_NCMOUSEMOVE, HTCAPTION, inside);
  EXPECT_EQ(close->State(), TNCObject::kHot) << "moving back in shows it hot";
  SendMessageW(w, WM_NCLBUTTONDOWN, HTCAPTION, inside);
  SendMessageW(w, WM_NCLBUTTONUP, HTCAPTION, inside);
  EXPECT_EQ(close->State(), TNCObject::kHot);
  Pump(50);
  EXPECT_EQ(sysCommands, std::vector<WPARAM>{SC_CLOSE});

  EXPECT_EQ(SendMessageW(w, WM_NCHITTEST, 0, ScreenPoint(w, 150, 12)), HTCAPTION);
  EXPECT_EQ(SendMessageW(w, WM_NCHITTEST, 0, ScreenPoint(w, 150, kCaption + 50)), HTCLIENT);
}

// The timer messages each window got while messages were pumped for the time given.
std::map<HWND, int> TimerMessagesDuring(int milliseconds) {
  std::map<HWND, int> counts;
  TThreadHook hook;
  EXPECT_TRUE(hook.Install(WH_GETMESSAGE, [&counts](int, WPARAM removed, LPARAM lParam) {
    const MSG& msg = *reinterpret_cast<const MSG*>(lParam);
    if (removed == PM_REMOVE && msg.message == WM_TIMER) ++counts[msg.hwnd];
    return false;
  }));
  Pump(milliseconds);
  return counts;
}

TEST_F(SkinForm, NoHoverTimerRunsForAHiddenWindowOrOneWithoutCaptionButtons) {
  // The rest window: no caption, skinned while shown and active, then hidden between rests.
  HWND bare = MakeWindow(WS_POPUP);
  TSkinForm& bareSkin = Skin(bare);
  EXPECT_EQ(TimerMessagesDuring(800)[bare], 0) << "a window without caption buttons, shown";
  ShowWindow(bare, SW_HIDE);
  EXPECT_EQ(TimerMessagesDuring(800)[bare], 0) << "a window without caption buttons, hidden";
  bareSkin.Unskin(false);
  skinner.reset();

  // A caption without buttons (BorderIcons = []): nothing to hover over.
  HWND plain = MakeWindow(WS_CAPTION | WS_THICKFRAME);
  Skin(plain);
  ASSERT_EQ(VisibleButton(0), nullptr);
  SetCursorPos(1, 1);
  SendMessageW(plain, WM_NCMOUSEMOVE, HTCAPTION, ScreenPoint(plain, 380, 12));
  EXPECT_EQ(TimerMessagesDuring(800)[plain], 0) << "a caption without buttons";
  skinner->Unskin(false);
  skinner.reset();

  HWND framed = MakeWindow(WS_OVERLAPPEDWINDOW);
  Skin(framed);
  EXPECT_EQ(TimerMessagesDuring(800)[framed], 0) << "active, nothing under the mouse";
}

TEST_F(SkinForm, TheHoverTimerEndsAHoverTheCursorLeftAndThenStops) {
  HWND w = MakeWindow(WS_OVERLAPPEDWINDOW);
  Skin(w);
  TSkinSysButton* close = VisibleButton(0);
  ASSERT_NE(close, nullptr);
  // The pointer itself is elsewhere: the move reported it over the button, the timer finds it gone.
  SetCursorPos(1, 1);
  SendMessageW(w, WM_NCMOUSEMOVE, HTCAPTION, Middle(w, *close));
  ASSERT_EQ(close->State(), TNCObject::kHot);
  EXPECT_GE(TimerMessagesDuring(600)[w], 1);
  EXPECT_EQ(close->State(), TNCObject::kNormal);
  EXPECT_EQ(TimerMessagesDuring(800)[w], 0);
}

// Real pointer input at a point of the screen, through the X server: input that Wine injects itself
// moves the X pointer after it, and the late news of that move can undo a later one.
void PointerAt(LPARAM screenPoint) {
  ASSERT_TRUE(real_input::MoveTo({GET_X_LPARAM(screenPoint), GET_Y_LPARAM(screenPoint)}));
  Pump(100);
}

TEST_F(SkinForm, ACaptionButtonLeftAndReenteredWhilePressedActsOnRelease) {
  HWND w = MakeWindow(WS_OVERLAPPEDWINDOW);
  Skin(w);
  TSkinSysButton* close = VisibleButton(0);
  ASSERT_NE(close, nullptr);
  const LPARAM inside = Middle(w, *close);
  const LPARAM elsewhere = ScreenPoint(w, 150, 12);
  SendMessageW(w, WM_NCLBUTTONDOWN, HTCAPTION, inside);
  SendMessageW(w, WM_NCMOUSEMOVE, HTCAPTION, elsewhere);
  EXPECT_EQ(close->State(), TNCObject::kNormal);
  SendMessageW(w, WM_NCMOUSEMOVE, HTCAPTION, inside);
  EXPECT_EQ(close->State(), TNCObject::kPressed) << "back on it, it shows pressed again";
  SendMessageW(w, WM_NCLBUTTONUP, HTCAPTION, inside);
  Pump(50);
  EXPECT_EQ(sysCommands, std::vector<WPARAM>{SC_CLOSE});

  // The same with the pointer, which may leave the caption and the window on the way.
  sysCommands.clear();
  const LPARAM outside = ScreenPoint(w, 150, kCaption + 80);
  PointerAt(inside);
  ASSERT_TRUE(real_input::LeftButton(true));
  PointerAt(outside);
  EXPECT_EQ(close->State(), TNCObject::kNormal);
  PointerAt(inside);
  ASSERT_TRUE(real_input::LeftButton(false));
  EXPECT_EQ(sysCommands, std::vector<WPARAM>{SC_CLOSE});
  ASSERT_TRUE(real_input::LeftButton(true));
  PointerAt(outside);
  ASSERT_TRUE(real_input::LeftButton(false));
  EXPECT_EQ(sysCommands, std::vector<WPARAM>{SC_CLOSE}) << "released elsewhere: nothing more";
}

// At 150 % the system's small icon is 24 px while the skin's place for it is drawn for 16: the icon
// must stay in its place rather than run over the title.
TEST_F(SkinForm, TheCaptionIconStaysInItsPlaceWhateverTheSystemsIconSize) {
  const int cx = GetSystemMetrics(SM_CXSMICON);
  const int cy = GetSystemMetrics(SM_CYSMICON);
  const char* expected = std::getenv("BREVIN_SMALL_ICON_SIZE");
  ASSERT_EQ(cx, expected ? std::atoi(expected) : cx) << "the display scaling did not take";
  const std::vector<uint32_t> red(static_cast<size_t>(cx * cy), 0xFFFF0000u);
  UniqueBitmap colour(CreateBitmap(cx, cy, 1, 32, red.data()));
  UniqueBitmap mask(CreateBitmap(cx, cy, 1, 1, std::vector<uint8_t>(static_cast<size_t>((cx + 15) / 16 * 2 * cy), 0).data()));
  ICONINFO info{TRUE, 0, 0, mask.get(), colour.get()};
  UniqueIcon icon(CreateIconIndirect(&info));
  ASSERT_TRUE(icon);
  HWND w = MakeWindow(WS_OVERLAPPEDWINDOW);
  SendMessageW(w, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon.get()));
  Skin(w);
  const TSkinSysButton* place = VisibleButton(3);
  if (!place) place = VisibleButton(11);
  ASSERT_NE(place, nullptr);
  RedrawWindow(w, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  const TRect& r = place->Rect;
  HDC dc = GetWindowDC(w);
  int inside = 0;
  int outside = 0;
  for (int y = r.Top; y < r.Top + cy; ++y) {
    for (int x = r.Left; x < r.Left + cx + 4; ++x) {
      if (GetPixel(dc, x, y) != RGB(255, 0, 0)) continue;
      ++(r.Contains({x, y}) ? inside : outside);
    }
  }
  ReleaseDC(w, dc);
  EXPECT_GT(inside, 0) << "the icon is not drawn";
  EXPECT_EQ(outside, 0) << "the icon runs out of its " << r.Width() << " px place";
}

int skinErrors = 0;

TEST_F(SkinForm, AWindowWhoseFrameCannotBeDrawnKeepsTheSystemFrameAndTheErrorIsToldOnce) {
  skinErrors = 0;
  SetCallbackErrorSink([](std::exception_ptr) { ++skinErrors; });
  const auto systemFramed = [](HWND window, SIZE frame) {
    const RECT r = WindowRectOf(window);
    const SIZE client = ClientSizeOf(window);
    UniqueRegion region(CreateRectRgn(0, 0, 0, 0));
    return r.right - r.left - client.cx == frame.cx && r.bottom - r.top - client.cy == frame.cy &&
           GetWindowRgn(window, region.get()) == ERROR;
  };
  // Taller than any skin picture, so that the region's side pieces cannot be drawn: at skinning time,
  HWND tall = MakeWindow(WS_OVERLAPPEDWINDOW, 400, 17000);
  const RECT r = WindowRectOf(tall);
  ASSERT_EQ(r.bottom - r.top, 17000);
  const SIZE frame{r.right - r.left - ClientSizeOf(tall).cx, 17000 - ClientSizeOf(tall).cy};
  Skin(tall);
  EXPECT_EQ(skinErrors, 1);
  EXPECT_TRUE(systemFramed(tall, frame));
  SetWindowPos(tall, nullptr, 0, 0, 420, 17100, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(skinErrors, 1);
  skinner.reset();

  // and on a resize.
  skinErrors = 0;
  HWND w = MakeWindow(WS_OVERLAPPEDWINDOW);
  Skin(w);
  ASSERT_EQ(skinErrors, 0);
  for (int height : {17000, 17100, 500}) SetWindowPos(w, nullptr, 0, 0, 400, height, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(skinErrors, 1);
  EXPECT_TRUE(systemFramed(w, frame));
  SetCallbackErrorSink(HandleDispatchException);
}

POINT menuCorner{-1, -1};

TEST_F(SkinForm, AltSpaceOpensTheSkinnedSystemMenuAtTheClientsTopLeft) {
  HWND w = MakeWindow(WS_OVERLAPPEDWINDOW);
  Skin(w);
  menuCorner = {-1, -1};
  SetTimer(nullptr, 0, 300, [](HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    HWND menu = FindWindowW(L"#32768", nullptr);
    RECT r{-1, -1, -1, -1};
    if (menu && IsWindowVisible(menu)) GetWindowRect(menu, &r);
    menuCorner = {r.left, r.top};
    EndMenu();
  });
  SendMessageW(w, WM_SYSCOMMAND, SC_KEYMENU, ' ');
  POINT origin{0, 0};
  ClientToScreen(w, &origin);
  EXPECT_EQ(menuCorner.x, origin.x);
  EXPECT_EQ(menuCorner.y, origin.y);
}

TEST_F(SkinForm, NoGdiOrUserObjectsLeakOverCyclesAndRepaints) {
  HWND w = MakeWindow(WS_OVERLAPPEDWINDOW);
  Skin(w);
  skinner->Unskin(false);
  const GuiObjectCount before = CountGuiObjects();
  ASSERT_GT(before.gdi, 0);
  for (int i = 0; i < 100; ++i) {
    Skin(w);
    skinner->Unskin(false);
  }
  Skin(w);
  for (int i = 0; i < 1000; ++i) SendMessageW(w, WM_NCPAINT, 1, 0);
  skinner->Unskin(false);
  const GuiObjectCount after = CountGuiObjects();
  EXPECT_LE(after.gdi, before.gdi + 2);
  EXPECT_EQ(after.windows, before.windows);
}

TEST_F(SkinForm, AWindowDestroyedWhileSkinnedLeavesNothingBehind) {
  HWND w = MakeWindow(WS_OVERLAPPEDWINDOW);
  TSkinForm& form = Skin(w);
  DestroyWindow(w);
  EXPECT_EQ(form.LifeState(), TSkinLifeState::Finished);
  skinner.reset();
}

// A message box, skinned from inside its own modal loop as the manager would.
struct TMessageBoxRun {
  TSkinData* data = nullptr;
  TBorderMode mode = TBorderMode::Sizeable;
  LRESULT query = 0;
  bool found = false;
};
TMessageBoxRun* messageBoxRun = nullptr;

BOOL CALLBACK FindDialog(HWND window, LPARAM result) {
  wchar_t name[16] = {};
  GetClassNameW(window, name, 16);
  if (std::wstring(name) != L"#32770") return TRUE;
  *reinterpret_cast<HWND*>(result) = window;
  return FALSE;
}

void CALLBACK SkinMessageBox(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND box = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&box));
  if (!box) return;
  KillTimer(nullptr, timer);
  TMessageBoxRun& run = *messageBoxRun;
  run.found = true;
  TSkinForm form(nullptr, nullptr);
  form.InitSkin(box, run.data);
  SendMessageW(box, kSkinFinishMessage, 0, 1000);
  run.mode = form.BorderMode();
  run.query = SendMessageW(box, kSkinQueryMessage, 0, 0);
  SendMessageW(box, WM_NCPAINT, 1, 0);
  form.Unskin(false);
  PostMessageW(box, WM_COMMAND, IDOK, 0);
}

TEST_F(SkinForm, AMessageBoxIsSkinnedAsADialogFrame) {
  TMessageBoxRun run;
  run.data = &data;
  messageBoxRun = &run;
  SetTimer(nullptr, 0, 50, SkinMessageBox);
  MessageBoxW(nullptr, L"测试", L"晴岚", MB_OK);
  messageBoxRun = nullptr;
  ASSERT_TRUE(run.found);
  EXPECT_EQ(run.mode, TBorderMode::Dialog);
  EXPECT_EQ(run.query, 1);
}

// The program's skin at each display scale, worked out by hand from its 96-dpi pictures: borders,
// caption and bottom, and the close button (20 x 18, Xcoord 26 from the right, Ycoord 4).
struct TScaledSkin {
  int Dpi, Side, Caption, Bottom, CloseX, CloseY, CloseWidth, CloseHeight;
};
constexpr TScaledSkin kScaled[] = {{96, 4, 26, 4, 26, 4, 20, 18},
                                   {144, 6, 39, 6, 39, 6, 30, 27},
                                   {192, 8, 52, 8, 52, 8, 40, 36}};
const TScaledSkin& ScaledSkin(int dpi) {
  for (const TScaledSkin& s : kScaled)
    if (s.Dpi == dpi) return s;
  ADD_FAILURE() << "no figures for " << dpi << " dpi";
  return kScaled[0];
}

bool Near(COLORREF a, COLORREF b, int tolerance = 16) {
  return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
         std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

// The frame, caption, close button and their hit testing as skin s draws them in window w.
void ExpectScaledFrame(HWND w, const TScaledSkin& s, TSkinSysButton& close) {
  const RECT r = WindowRectOf(w);
  const SIZE client = ClientSizeOf(w);
  EXPECT_EQ(r.right - r.left, client.cx + 2 * s.Side) << s.Dpi;
  EXPECT_EQ(r.bottom - r.top, client.cy + s.Caption + s.Bottom) << s.Dpi;
  const int width = r.right - r.left;
  EXPECT_EQ(close.Rect, Bounds(width - s.CloseX, s.CloseY, s.CloseWidth, s.CloseHeight)) << s.Dpi;
  EXPECT_EQ(SendMessageW(w, WM_NCHITTEST, 0, ScreenPoint(w, 150, s.Caption - 1)), HTCAPTION) << s.Dpi;
  EXPECT_EQ(SendMessageW(w, WM_NCHITTEST, 0, ScreenPoint(w, 150, s.Caption + 1)), HTCLIENT) << s.Dpi;
  // The button's bottom-left corner at this scale is the button, wherever it was at another.
  const LPARAM corner = ScreenPoint(w, close.Rect.Left + 2, close.Rect.Bottom - 2);
  SendMessageW(w, WM_NCMOUSEMOVE, HTCAPTION, corner);
  EXPECT_EQ(close.State(), TNCObject::kHot) << s.Dpi;
  SendMessageW(w, WM_NCMOUSEMOVE, HTCAPTION, ScreenPoint(w, 150, s.Caption / 2));
  EXPECT_EQ(close.State(), TNCObject::kNormal) << s.Dpi;

  // Pixels from the skin generator's colours: the left border's outer line, its frame band and
  // the inner line; the crossing of the close glyph at the button's middle.
  RedrawWindow(w, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  HDC dc = GetWindowDC(w);
  const int y = s.Caption + 40;
  EXPECT_TRUE(Near(GetPixel(dc, 0, y), RGB(0x4F, 0x8F, 0x6D))) << s.Dpi;
  EXPECT_TRUE(Near(GetPixel(dc, s.Side / 2, y), RGB(0xA9, 0xD6, 0xBC))) << s.Dpi;
  EXPECT_TRUE(Near(GetPixel(dc, s.Side - 1, y), RGB(0x8F, 0xC2, 0xA5))) << s.Dpi;
  const COLORREF glyph = GetPixel(dc, (close.Rect.Left + close.Rect.Right) / 2, (close.Rect.Top + close.Rect.Bottom) / 2);
  EXPECT_TRUE(Near(glyph, RGB(0x3E, 0x7C, 0x5C), 40)) << s.Dpi << ": " << std::hex << glyph;
  ReleaseDC(w, dc);
}

// Run once at 96 dpi and once more at 150 % (tools/wine-dpi 144, BREVIN_DPI=144).
TEST_F(SkinForm, TheFrameCaptionAndButtonsAreDrawnAndHitTestedAtTheWindowsScale) {
  // Test programs carry no manifest: asked for here, as the program's manifest does.
  SetProcessDPIAware();
  HWND w = MakeWindow(WS_OVERLAPPEDWINDOW, 420, 300);
  const char* expected = std::getenv("BREVIN_DPI");
  ASSERT_EQ(WindowDpi(w), expected ? std::atoi(expected) : kDesignDpi) << "the display scaling did not take";
  TSkinForm& form = Skin(w);
  EXPECT_EQ(form.Dpi(), WindowDpi(w));
  TSkinSysButton* close = VisibleButton(0);
  ASSERT_NE(close, nullptr);
  ExpectScaledFrame(w, ScaledSkin(form.Dpi()), *close);
  // The combo box's button is the system's scroll arrow (17 at 96 dpi) and 2 more, whatever the
  // system's scale: the skin is scaled once, for the window.
  EXPECT_EQ(data.Model().Find("ComboButton")->RightWidth, 19);
}

// Only the skin's part: the window's own handling (moving it, laying it out) is not the skinner's.
TEST_F(SkinForm, WindowMovedToAMonitorOfAnotherScaleIsDrawnAtThatScale) {
  HWND w = MakeWindow(WS_OVERLAPPEDWINDOW, 420, 300);
  TSkinForm& form = Skin(w);
  const SIZE client = ClientSizeOf(w);
  for (int dpi : {192, 144, 96}) {
    RECT suggested = WindowRectOf(w);
    SendMessageW(w, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    ASSERT_EQ(form.Dpi(), dpi);
    EXPECT_EQ(ClientSizeOf(w).cx, client.cx);
    EXPECT_EQ(ClientSizeOf(w).cy, client.cy);
    TSkinSysButton* close = VisibleButton(0);
    ASSERT_NE(close, nullptr);
    ExpectScaledFrame(w, ScaledSkin(dpi), *close);
  }
}

// A form that lays itself out for less than its monitor's DPI, as the rest window does where its
// screen cannot hold its design at the monitor's scale.
class TFittingForm : public TForm {
public:
  BREVIN_CLASS_INFO()
  TFittingForm() : TForm(nullptr) {
    InitializeForm("object F: TFittingForm\n  ClientWidth = 200\n  ClientHeight = 100\nend\n");
  }

protected:
  int LayoutDpi(int monitorDpi, HMONITOR) const override { return monitorDpi * 3 / 4; }
};

const TClassInfo& TFittingForm::StaticClassInfo() {
  static const TClassInfo info("TFittingForm", &TForm::StaticClassInfo());
  return info;
}

TEST_F(SkinForm, AFormLaidOutForLessThanItsMonitorsScaleIsSkinnedAtItsOwn) {
  TFittingForm form;
  form.Show();
  TSkinForm skinned(&form, nullptr);
  skinned.InitSkin(form.Handle(), &data);
  SendMessageW(form.Handle(), kSkinFinishMessage, 0, 1000);
  EXPECT_EQ(skinned.Dpi(), form.PixelsPerInch());
  const int dpi = WindowDpi(form.Handle()) * 2;
  RECT suggested = WindowRectOf(form.Handle());
  SendMessageW(form.Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(form.PixelsPerInch(), dpi * 3 / 4);
  EXPECT_EQ(skinned.Dpi(), form.PixelsPerInch());
}

TEST_F(SkinForm, AScaleChangeBeforeTheSkinIsAppliedGivesTheFrameOfTheNewScale) {
  HWND w = MakeWindow(WS_OVERLAPPEDWINDOW, 420, 300);
  skinner = std::make_unique<TSkinForm>(nullptr, nullptr);
  skinner->InitSkin(w, &data);
  const int dpi = WindowDpi(w) == 192 ? 96 : 192;
  RECT suggested = WindowRectOf(w);
  SendMessageW(w, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
  SendMessageW(w, kSkinFinishMessage, 0, 1000);
  TSkinSysButton* close = VisibleButton(0);
  ASSERT_NE(close, nullptr);
  ExpectScaledFrame(w, ScaledSkin(dpi), *close);
}

}  // namespace
