#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/controls/Forms.h"
#include "framework/controls/MainMenu.h"
#include "framework/controls/tests/MessagePump.h"
#include "framework/win32/ThreadHook.h"
#include "framework/win32/WindowClass.h"
#include "skin/win/data/SkinDataUnit.h"
#include "skin/win/form/SkinFormUnit.h"
#include "skin/win/tests/SkinPixels.h"

namespace {

constexpr const char* kSkinFile = "skin-win-test-velskin.skn";
// The program's skin: borders 4 wide, a 26-pixel caption, a menu-bar picture with 1-pixel margins
// (so the first item starts 1 + 4 pixels in); its "MenuBarText" and "ButtonShadow" colours.
constexpr int kSide = 4;
constexpr int kCaption = 26;
constexpr int kFirstItemStart = 5;
constexpr COLORREF kBarText = RGB(30, 52, 41);
constexpr COLORREF kShadow = RGB(143, 166, 154);
constexpr UINT kGetMenuOfPopup = 0x01E1;  // MN_GETHMENU

class TMenuBarForm : public TForm {
public:
  BREVIN_CLASS_INFO()
  TMenuBarForm() : TForm(nullptr) {
    InitializeForm("object MenuBarForm: TMenuBarForm\n  Left = 80\n  Top = 60\n  ClientWidth = 360\n"
                   "  ClientHeight = 180\n  Caption = '晴岚 菜单'\nend\n");
    menu = new TMainMenu(this);
    File = Add(menu->Items(), "&File");
    Add(File, "&Open");
    Add(File, "-");
    Add(File, "E&xit");
    View = Add(menu->Items(), "&View");
    Add(View, "&Status");
    Add(Add(View, "&Zoom"), "&In");
    Edit = Add(menu->Items(), "&Edit");
    Add(Edit, "&Copy");
    Edit->SetEnabled(false);
    Edit->OnClick = [this](TObject*) { ++editClicks; };
    Help = Add(menu->Items(), "&Help");
    Add(Help, "&About");
    SetMenu(menu);
  }
  TMenuItem* Add(TMenuItem* parent, const std::string& caption) {
    auto* item = new TMenuItem(this);
    item->SetCaption(caption);
    parent->Add(item);
    return item;
  }

  TMainMenu* menu = nullptr;
  TMenuItem* File = nullptr;
  TMenuItem* View = nullptr;
  TMenuItem* Edit = nullptr;
  TMenuItem* Help = nullptr;
  int editClicks = 0;
};

const TClassInfo& TMenuBarForm::StaticClassInfo() {
  static const TClassInfo info("TMenuBarForm", &TForm::StaticClassInfo());
  return info;
}

HWND OpenDropDown() {
  HWND found = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND w, LPARAM result) {
        wchar_t name[16] = {};
        GetClassNameW(w, name, 16);
        if (std::wstring(name) != L"#32768" || !IsWindowVisible(w)) return TRUE;
        *reinterpret_cast<HWND*>(result) = w;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

// What a drop-down looked like when it was seen open.
struct TSeen {
  HMENU Menu = nullptr;
  POINT Corner{};
};

// Steps run from a timer while the drop-downs' own loop runs; each sees the open drop-down (or
// none) and answers whether it is done. Steps that never finish are given up after a while, so
// that a failing test ends instead of waiting in a drop-down for good.
std::vector<std::function<bool(HWND)>> steps;
int ticksLeft = 0;
HMENU lastSeen = nullptr;
void CALLBACK RunStep(HWND, UINT, UINT_PTR timer, DWORD) {
  if (--ticksLeft < 0) steps.clear();
  if (steps.empty()) {
    if (OpenDropDown()) {
      EndMenu();
    } else {
      KillTimer(nullptr, timer);
    }
    return;
  }
  if (steps.front()(OpenDropDown())) steps.erase(steps.begin());
}
void StartSteps(UINT interval) {
  ticksLeft = 3000 / static_cast<int>(interval);
  lastSeen = nullptr;
  SetTimer(nullptr, 0, interval, RunStep);
}

// Waits for a drop-down other than the one seen last, notes it and acts on it.
std::function<bool(HWND)> SeeAnd(TSeen& seen, std::function<void(HWND)> act) {
  return [&seen, act](HWND dropDown) {
    const auto menu = dropDown ? reinterpret_cast<HMENU>(SendMessageW(dropDown, kGetMenuOfPopup, 0, 0)) : nullptr;
    if (!menu || menu == lastSeen) return false;
    lastSeen = seen.Menu = menu;
    RECT r{};
    GetWindowRect(dropDown, &r);
    seen.Corner = {r.left, r.top};
    act(dropDown);
    return true;
  };
}
std::function<bool(HWND)> SeeAndPress(TSeen& seen, WPARAM key) {
  return SeeAnd(seen, [key](HWND dropDown) { PostMessageW(dropDown, WM_KEYDOWN, key, 0); });
}

void PressAlt(HWND window, wchar_t letter) {
  // What the system makes of Alt+letter: a system character with the Alt bit.
  PostMessageW(window, WM_SYSCHAR, letter, 0x20000001);
}

class SkinMenuBar : public ::testing::Test {
protected:
  void SetUp() override {
    data.OnReaderMessage = [](const std::string&) {};
    data.SetSkinFile(kSkinFile);
    ASSERT_FALSE(data.LoadingSkin());
    form = std::make_unique<TMenuBarForm>();
    form->Show();
    window = form->Handle();
    SetForegroundWindow(window);
    Pump(20);
    skinner = std::make_unique<TSkinForm>(form.get(), nullptr);
    skinner->InitSkin(window, &data);
    SendMessageW(window, kSkinFinishMessage, 0, 1000);
    ASSERT_NE(skinner->MenuBar(), nullptr);
    steps.clear();
  }
  void TearDown() override {
    steps.clear();
    skinner.reset();
    form.reset();
  }

  const TMenuBtn& Item(int index) const { return *skinner->MenuBar()->Buttons().at(static_cast<size_t>(index)); }
  POINT UnderItem(int index) const {
    RECT r{};
    GetWindowRect(window, &r);
    return {r.left + Item(index).Rect.Left, r.top + kCaption + GetSystemMetrics(SM_CYMENU) - 1};
  }
  bool Idle() const { return steps.empty() && !OpenDropDown() && !skinner->MenuBar()->Tracking(); }

  TSkinData data{nullptr};
  std::unique_ptr<TMenuBarForm> form;
  HWND window = nullptr;
  std::unique_ptr<TSkinForm> skinner;
};

TEST_F(SkinMenuBar, AltLetterOpensItsDropDownUnderItAndRightMovesOnWrappingAround) {
  EXPECT_EQ(GetMenu(window), nullptr) << "the system draws no bar of its own";
  TSeen help, file, view, helpAgain;
  steps = {SeeAndPress(help, VK_RIGHT), SeeAndPress(file, VK_RIGHT), SeeAndPress(view, VK_RIGHT),
           SeeAndPress(helpAgain, VK_ESCAPE)};
  StartSteps(40);
  PressAlt(window, L'h');
  ASSERT_TRUE(PumpUntil([this] { return Idle(); }, 5000));

  HMENU bar = form->menu->BarHandle();
  EXPECT_EQ(help.Menu, GetSubMenu(bar, 3));
  EXPECT_EQ(help.Corner.x, UnderItem(3).x);
  EXPECT_EQ(help.Corner.y, UnderItem(3).y);
  // Right from the last item (its entry has no sub-items) wraps to the first.
  EXPECT_EQ(file.Menu, GetSubMenu(bar, 0));
  RECT r{};
  GetWindowRect(window, &r);
  EXPECT_EQ(file.Corner.x, r.left + kSide + kFirstItemStart);
  EXPECT_EQ(file.Corner.y, UnderItem(0).y);
  EXPECT_EQ(view.Menu, GetSubMenu(bar, 1));
  EXPECT_EQ(view.Corner.x, UnderItem(1).x);
  EXPECT_EQ(helpAgain.Menu, GetSubMenu(bar, 3)) << "the disabled item between is passed";
  EXPECT_EQ(TThreadHook::Count(WH_MSGFILTER), 0) << "the hook goes with the drop-down";
  EXPECT_EQ(Item(0).State(), TNCObject::kNormal);
}

TEST_F(SkinMenuBar, APressOpensTheItemUnderTheMouseAndMovingOnToAnotherItemSwitches) {
  RECT r{};
  GetWindowRect(window, &r);
  const auto middle = [&r](const TMenuBtn& item) {
    return POINT{r.left + (item.Rect.Left + item.Rect.Right) / 2, r.top + (item.Rect.Top + item.Rect.Bottom) / 2};
  };
  const POINT view = middle(Item(1));
  const POINT help = middle(Item(3));
  EXPECT_EQ(SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(view.x, view.y)), HTMENU);
  TSeen first, second;
  steps = {SeeAnd(first,
                  [help](HWND dropDown) {
                    SetCursorPos(help.x, help.y);
                    PostMessageW(dropDown, WM_MOUSEMOVE, 0, 0);
                  }),
           SeeAndPress(second, VK_ESCAPE)};
  StartSteps(40);
  SetCursorPos(view.x, view.y);
  PostMessageW(window, WM_NCLBUTTONDOWN, HTMENU, MAKELPARAM(view.x, view.y));
  ASSERT_TRUE(PumpUntil([this] { return Idle(); }, 5000));
  HMENU bar = form->menu->BarHandle();
  EXPECT_EQ(first.Menu, GetSubMenu(bar, 1));
  EXPECT_EQ(second.Menu, GetSubMenu(bar, 3));
}

TEST_F(SkinMenuBar, ADisabledItemIsDrawnInTheShadowColourAndOpensNothing) {
  SendMessageW(window, WM_NCPAINT, 1, 0);
  // The bar as painted, read back from the window.
  const auto colours = [this](const TMenuBtn& item) {
    WindowFrameDC dc(window);
    std::vector<COLORREF> seen;
    for (int y = item.Rect.Top; y < item.Rect.Bottom; ++y)
      for (int x = item.Rect.Left; x < item.Rect.Right; ++x) seen.push_back(GetPixel(dc.get(), x, y));
    return seen;
  };
  const auto has = [](const std::vector<COLORREF>& pixels, COLORREF c) {
    return std::find(pixels.begin(), pixels.end(), c) != pixels.end();
  };
  const std::vector<COLORREF> edit = colours(Item(2));
  const std::vector<COLORREF> file = colours(Item(0));
  EXPECT_TRUE(has(edit, kShadow));
  EXPECT_FALSE(has(edit, kBarText));
  EXPECT_TRUE(has(file, kBarText));
  EXPECT_FALSE(has(file, kShadow));

  bool opened = false;
  steps = {[&opened](HWND dropDown) {
    opened = opened || dropDown;
    if (dropDown) EndMenu();
    return false;
  }};
  StartSteps(20);
  PressAlt(window, L'e');
  Pump(400);
  steps.clear();
  EXPECT_FALSE(opened);
  EXPECT_EQ(form->editClicks, 0);
}

TEST_F(SkinMenuBar, MenuUpdateRebuildsTheBarOrKeepsTheOldOne) {
  ASSERT_EQ(skinner->MenuBar()->Buttons().size(), 4u);
  form->Add(form->menu->Items(), "&Tools");
    ASSERT_EQ(skinner->MenuBar()->Buttons().size(), 5u);
  EXPECT_EQ(Item(4).Text, L"&Tools");
  EXPECT_EQ(GetMenu(window), nullptr);

  data.SetMenuUpdate(false);
  form->File->SetCaption("&Document");
    EXPECT_EQ(Item(0).Text, L"&File");
  EXPECT_EQ(GetMenu(window), nullptr);

  // Unskinned, the window shows its own menu again, as it is now.
  skinner->Unskin(false);
  EXPECT_EQ(GetMenu(window), form->menu->BarHandle());
  EXPECT_EQ(GetMenuItemCount(GetMenu(window)), 5);
}

TEST_F(SkinMenuBar, DropDownItemsAreDrawnWithTheSkinUntilUnskinned) {
  const auto type = [](HMENU menu, UINT position) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE;
    GetMenuItemInfoW(menu, position, TRUE, &info);
    return info.fType;
  };
  HMENU bar = form->menu->BarHandle();
  EXPECT_FALSE(type(bar, 0) & MFT_OWNERDRAW) << "the bar entries are the skinned bar's";
  EXPECT_TRUE(type(GetSubMenu(bar, 0), 0) & MFT_OWNERDRAW);

  // The selected first entry shows the corner of the skin's selected-item picture, copied 1:1.
  const TDataSkinObject* picture = data.Model().Find("MenuItem");
  ASSERT_NE(picture, nullptr);
  ASSERT_GT(picture->LeftWidth, 0);
  ASSERT_GT(picture->TopHeight, 0);
  const TRect frame = picture->FrameRect(1);
  const COLORREF corner = AsColorRef(picture->Image.Pixel(frame.Left, frame.Top));
  COLORREF selected = CLR_INVALID;
  COLORREF other = CLR_INVALID;
  TSeen file;
  steps = {SeeAnd(file, [&selected, &other](HWND dropDown) {
             const auto menu = reinterpret_cast<HMENU>(SendMessageW(dropDown, kGetMenuOfPopup, 0, 0));
             UpdateWindow(dropDown);
             WindowDC dc(dropDown);
             const auto cornerOf = [&](int position) {
               RECT r{};
               GetMenuItemRect(nullptr, menu, static_cast<UINT>(position), &r);
               POINT p{r.left, r.top};
               ScreenToClient(dropDown, &p);
               return GetPixel(dc.get(), p.x, p.y);
             };
             selected = cornerOf(0);
             other = cornerOf(2);
             PostMessageW(dropDown, WM_KEYDOWN, VK_ESCAPE, 0);
           })};
  StartSteps(40);
  PressAlt(window, L'f');
  ASSERT_TRUE(PumpUntil([this] { return Idle(); }, 5000));
  EXPECT_EQ(file.Menu, GetSubMenu(bar, 0));
  EXPECT_EQ(selected, corner);
  EXPECT_NE(other, corner);

  skinner->Unskin(false);
  HMENU dropDown = GetSubMenu(GetMenu(window), 0);
  EXPECT_EQ(type(dropDown, 0), static_cast<UINT>(MFT_STRING));
  wchar_t text[16] = {};
  GetMenuStringW(dropDown, 0, text, 16, MF_BYPOSITION);
  EXPECT_STREQ(text, L"&Open");
}

TEST_F(SkinMenuBar, TheSkinnedSystemMenuHasCloseAsItsDefaultItem) {
  wchar_t close[64] = {};
  ASSERT_GT(GetMenuStringW(GetSystemMenu(window, FALSE), SC_CLOSE, close, 64, MF_BYCOMMAND), 0);
  std::wstring chosen;
  TSeen system;
  steps = {SeeAnd(system, [&chosen](HWND dropDown) {
    const auto menu = reinterpret_cast<HMENU>(SendMessageW(dropDown, kGetMenuOfPopup, 0, 0));
    const UINT position = GetMenuDefaultItem(menu, TRUE, 0);
    wchar_t text[64] = {};
    if (position != UINT(-1)) GetMenuStringW(menu, position, text, 64, MF_BYPOSITION);
    chosen = text;
    PostMessageW(dropDown, WM_KEYDOWN, VK_ESCAPE, 0);
  })};
  StartSteps(40);
  PostMessageW(window, WM_SYSCOMMAND, SC_KEYMENU, ' ');
  ASSERT_TRUE(PumpUntil([this] { return Idle(); }, 5000));
  EXPECT_EQ(chosen, close);
}

TEST_F(SkinMenuBar, AWindowDestroyedWhileItsDropDownIsOpenLeavesNoHookAndNoMenu) {
  // A foreign window with a menu of its own, which goes when the window goes.
  RegisterWindowClassOnce(L"SkinMenuBarTestWindow", DefWindowProcW);
  HMENU menu = CreateMenu();
  HMENU sub = CreatePopupMenu();
  AppendMenuW(sub, MF_STRING, 11, L"&Open");
  AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), L"&File");
  HWND foreign = CreateWindowExW(0, L"SkinMenuBarTestWindow", L"foreign", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 120, 100,
                                 300, 200, nullptr, menu, GetModuleHandleW(nullptr), nullptr);
  auto foreignSkinner = std::make_unique<TSkinForm>(nullptr, nullptr);
  foreignSkinner->InitSkin(foreign, &data);
  SendMessageW(foreign, kSkinFinishMessage, 0, 1000);
  ASSERT_NE(foreignSkinner->MenuBar(), nullptr);

  bool seen = false;
  steps = {[&seen, foreign](HWND dropDown) {
    if (!dropDown) return false;
    seen = true;
    DestroyWindow(foreign);
    return true;
  }};
  StartSteps(40);
  PressAlt(foreign, L'f');
  ASSERT_TRUE(PumpUntil([] { return steps.empty() && !OpenDropDown(); }, 5000));
  EXPECT_TRUE(seen);
  EXPECT_FALSE(IsWindow(foreign));
  EXPECT_EQ(TThreadHook::Count(WH_MSGFILTER), 0);
  EXPECT_FALSE(IsMenu(menu)) << "given back, the menu went with its window";
  EXPECT_EQ(foreignSkinner->LifeState(), TSkinLifeState::Finished);
}

}  // namespace
