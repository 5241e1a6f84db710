#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

#include "framework/controls/Application.h"
#include "framework/controls/ExtCtrls.h"
#include "framework/controls/Menus.h"
#include "framework/controls/tests/GuiObjectCount.h"
#include "framework/controls/tests/MessagePump.h"
#include "framework/win32/Strings.h"
#include "framework/win32/ThreadHook.h"
#include "skin/win/data/SkinDataUnit.h"
#include "skin/win/form/SkinFormUnit.h"
#include "skin/win/manager/SkinManage.h"
#include "skin/win/menus/SkinMenuUnit.h"

namespace {

constexpr const char* kSkinFile = "skin-win-test-velskin.skn";

class TManagedForm : public TForm {
public:
  BREVIN_CLASS_INFO()
  TManagedForm(const std::string& name, const std::string& children) : TForm(nullptr) {
    InitializeForm("object " + name + ": TManagedForm\n  Left = 40\n  Top = 30\n  ClientWidth = 240\n"
                   "  ClientHeight = 150\n  Caption = '" + name + "'\n" + children + "end\n");
  }
};

const TClassInfo& TManagedForm::StaticClassInfo() {
  static const TClassInfo info("TManagedForm", &TForm::StaticClassInfo());
  return info;
}

bool Skinned(HWND window) { return SendMessageW(window, kSkinQueryMessage, 0, 0) == 1; }

// The deferral before a request runs, with room to spare.
constexpr int kSettle = 600;

class SkinManage : public ::testing::Test {
protected:
  void SetUp() override {
    RegisterSkinDataClass();
    UseSkinManage();
    // The main form carries the skin data, as the program's main window does.
    main = std::make_unique<TManagedForm>(
        "MainForm", std::string("  object SkinData1: TSkinData\n    SkinFile = '") + kSkinFile + "'\n  end\n");
    data = static_cast<TSkinData*>(main->FindComponent("SkinData1"));
    ASSERT_NE(SkinManager(), nullptr);
    main->Show();
  }
  void TearDown() override {
    others.clear();
    main.reset();
    SetSkinManagerFactory(nullptr);
    EXPECT_EQ(SkinManager(), nullptr);
  }

  TManagedForm& Another(const std::string& name, bool show = true) {
    others.push_back(std::make_unique<TManagedForm>(name, ""));
    if (show) others.back()->Show();
    return *others.back();
  }

  void Activate() {
    data->SetActive(true);
    Pump(kSettle);
  }

  std::unique_ptr<TManagedForm> main;
  std::vector<std::unique_ptr<TManagedForm>> others;
  TSkinData* data = nullptr;
};

TEST_F(SkinManage, SkinAllTakesVisibleFormsOnceNeverTag99AndLaterOnesOnActivation) {
  TManagedForm& plain = Another("Plain");
  TManagedForm& untouchable = Another("Untouchable");
  untouchable.Tag = 99;
  TManagedForm& hidden = Another("Hidden", false);
  bool changed = false;
  data->OnSkinChanged = [&](TObject*) { changed = true; };
  EXPECT_FALSE(Skinned(main->Handle())) << "nothing happens before the deferral";
  Activate();
  EXPECT_TRUE(changed);
  EXPECT_TRUE(Skinned(main->Handle()));
  EXPECT_TRUE(Skinned(plain.Handle()));
  EXPECT_FALSE(Skinned(untouchable.Handle()));
  EXPECT_FALSE(Skinned(hidden.Handle()));
  EXPECT_EQ(SkinManager()->FormSkinners().size(), 2u);
  EXPECT_FALSE(SkinManager()->SkinWindow(plain.Handle())) << "skinned already";
  EXPECT_FALSE(SkinManager()->SkinWindow(untouchable.Handle()));

  hidden.Show();
  hidden.SetFocus();
  Pump(100);
  EXPECT_TRUE(Skinned(hidden.Handle())) << "activation skins a window that appears later";
  EXPECT_EQ(SkinManager()->FindFormSkinner(hidden.Handle())->Data(), data);

  // A new skin: the skinners drop the old skin's objects at once and draw the new frame later.
  data->SetSkinFile(kSkinFile);
  EXPECT_EQ(SkinManager()->FindFormSkinner(plain.Handle())->LifeState(), TSkinLifeState::Refreshing);
  SendMessageW(plain.Handle(), kSkinRepaintFrameMessage, 0, 0);
  Pump(kSettle);
  EXPECT_EQ(SkinManager()->FindFormSkinner(plain.Handle())->LifeState(), TSkinLifeState::Skinned);

  HWND gone = plain.Handle();
  others.erase(others.begin());
  EXPECT_EQ(SkinManager()->FindFormSkinner(gone), nullptr);
  EXPECT_EQ(SkinManager()->FormSkinners().size(), 2u) << "a destroyed window leaves no form skinner";
}

TEST_F(SkinManage, SwitchingOffRestoresEveryWindowAndOnSkinsThemAgain) {
  TManagedForm& plain = Another("Plain");
  RECT before{}, client{};
  GetWindowRect(plain.Handle(), &before);
  GetClientRect(plain.Handle(), &client);
  for (int cycle = 0; cycle < 3; ++cycle) {
    Activate();
    ASSERT_TRUE(Skinned(plain.Handle())) << cycle;
    RECT skinnedClient{};
    GetClientRect(plain.Handle(), &skinnedClient);
    EXPECT_EQ(skinnedClient.right, client.right) << "the client area keeps its size";
    EXPECT_EQ(skinnedClient.bottom, client.bottom);
    // The client area starts below the skin's caption, inside its left border.
    const TDataSkinBorder& top = data->Model().Border("Top");
    const TDataSkinBorder& left = data->Model().Border("Left");
    RECT window{};
    GetWindowRect(plain.Handle(), &window);
    POINT origin{0, 0};
    ClientToScreen(plain.Handle(), &origin);
    EXPECT_EQ(origin.y - window.top, top.Image.Height() / top.FrameCount);
    EXPECT_EQ(origin.x - window.left, left.Image.Width() / left.FrameCount);
    data->SetActive(false);
    Pump(kSettle);
    EXPECT_FALSE(Skinned(plain.Handle()));
    EXPECT_TRUE(SkinManager()->FormSkinners().empty());
    RECT after{};
    GetWindowRect(plain.Handle(), &after);
    EXPECT_TRUE(EqualRect(&before, &after)) << cycle;
  }
  Another("BornUnskinned").SetFocus();
  Pump(100);
  EXPECT_FALSE(Skinned(others.back()->Handle())) << "while off, new windows stay as they are";
}

TEST_F(SkinManage, TheClientAreaIsDrawnAfreshWhereTheNewFrameMovedIt) {
  // The skin leaves a control tagged with its DisableTag alone: the panel stays red.
  others.push_back(std::make_unique<TManagedForm>(
      "Marked", "  object Panel1: TPanel\n    Left = 0\n    Top = 0\n    Width = 240\n    Height = 20\n"
                "    BevelOuter = bvNone\n    Color = clRed\n    ParentBackground = False\n    Tag = 99\n  end\n"));
  TManagedForm& marked = *others.back();
  marked.Show();
  Pump(100);
  Activate();
  ASSERT_TRUE(Skinned(marked.Handle()));
  Pump(100);
  POINT origin{0, 0};
  ClientToScreen(marked.Handle(), &origin);
  HDC screen = GetDC(nullptr);
  const COLORREF last = GetPixel(screen, origin.x + 100, origin.y + 19);
  const COLORREF below = GetPixel(screen, origin.x + 100, origin.y + 21);
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(last, RGB(255, 0, 0)) << "the panel's last row is where the client area now is";
  EXPECT_NE(below, RGB(255, 0, 0));
}

TEST_F(SkinManage, ControlsGetTheirSkinnersWithTheFormAndLoseThemWithIt) {
  others.push_back(std::make_unique<TManagedForm>(
      "WithControls", "  object CheckBox1: TCheckBox\n    Left = 8\n    Top = 8\n    Width = 120\n"
                      "    Height = 20\n    Caption = 'box'\n  end\n"));
  TManagedForm& form = *others.back();
  form.Show();
  HWND box = static_cast<TWinControl*>(form.FindComponent("CheckBox1"))->Handle();
  Activate();
  ASSERT_TRUE(Skinned(form.Handle()));
  EXPECT_TRUE(Skinned(box));
  EXPECT_EQ(SkinManager()->FindFormSkinner(form.Handle())->ControlSkinners().size(), 1u);
  data->SetActive(false);
  Pump(kSettle);
  EXPECT_FALSE(Skinned(box));
}

// How each window looked when its frame was first painted while it was visible (the system paints
// a caption on activation as well as on WM_NCPAINT).
class TFirstFrames {
public:
  struct Seen {
    bool skinned = false;
    int captionHeight = 0;
    RECT bounds{};
  };
  TFirstFrames() {
    const bool installed = hook_.Install(WH_CALLWNDPROC, [this](int, WPARAM, LPARAM lParam) {
      const auto& message = *reinterpret_cast<const CWPSTRUCT*>(lParam);
      const bool framePaint = message.message == WM_NCPAINT || message.message == WM_NCACTIVATE;
      if (!framePaint || !IsWindowVisible(message.hwnd) || seen_.count(message.hwnd)) return false;
      Seen& seen = seen_[message.hwnd];
      seen.skinned = Skinned(message.hwnd);
      GetWindowRect(message.hwnd, &seen.bounds);
      POINT origin{0, 0};
      ClientToScreen(message.hwnd, &origin);
      seen.captionHeight = origin.y - seen.bounds.top;
      return false;
    });
    EXPECT_TRUE(installed);
  }
  const Seen* Of(HWND window) const {
    auto found = seen_.find(window);
    return found == seen_.end() ? nullptr : &found->second;
  }

private:
  std::map<HWND, Seen> seen_;
  TThreadHook hook_;
};

TEST(SkinManageFirstFrame, AWindowIsSkinnedAlreadyWhenItsFrameIsFirstPaintedAndKeepsItsSize) {
  RegisterSkinDataClass();
  UseSkinManage();
  TFirstFrames frames;
  {
    // A window made before the skin data, shown after it.
    TManagedForm early("Early", "");
    early.HandleNeeded();
    // As at the program's start: the skin is switched on and the window shown at once.
    TManagedForm main("MainForm", std::string("  object SkinData1: TSkinData\n    Active = True\n    SkinFile = '") +
                                      kSkinFile + "'\n  end\n");
    const TDataSkinBorder& top = static_cast<TSkinData*>(main.FindComponent("SkinData1"))->Model().Border("Top");
    main.Show();
    TManagedForm later("Later", "");
    later.Show();
    early.Show();
    Pump(kSettle);
    EXPECT_EQ(TThreadHook::Count(WH_CALLWNDPROC), 1) << "only the test's own hook sees every message";
    for (HWND window : {main.Handle(), later.Handle(), early.Handle()}) {
      const TFirstFrames::Seen* first = frames.Of(window);
      ASSERT_NE(first, nullptr);
      EXPECT_TRUE(first->skinned);
      EXPECT_EQ(first->captionHeight, top.Image.Height() / top.FrameCount);
      RECT now{};
      GetWindowRect(window, &now);
      EXPECT_TRUE(EqualRect(&now, &first->bounds)) << "the window keeps the outer size it was first shown with";
    }
  }
  SetSkinManagerFactory(nullptr);
}

// What the timer saw of the message box before it closed it.
struct TBoxSeen {
  bool skinned = false;
  TSkinData* data = nullptr;
} boxSeen;

VOID CALLBACK InspectMessageBox(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  HWND box = FindWindowW(L"#32770", Utf8ToWide("箱").c_str());
  TSkinForm* skinner = box ? SkinManager()->FindFormSkinner(box) : nullptr;
  boxSeen = {skinner && Skinned(box), skinner ? skinner->Data() : nullptr};
  PostMessageW(box, WM_COMMAND, IDOK, 0);
}

LRESULT CALLBACK PlainProcedure(HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(w, msg, wParam, lParam);
}

TEST_F(SkinManage, OnlyWindowsItMaySkinAreWatchedForTheirShowing) {
  Activate();
  WNDCLASSW cls{};
  cls.style = CS_GLOBALCLASS;
  cls.lpfnWndProc = PlainProcedure;
  cls.hInstance = GetModuleHandleW(nullptr);
  cls.lpszClassName = L"BrevinWatchTestWindow";
  RegisterClassW(&cls);
  auto classProcedureKept = [&cls](HINSTANCE instance) {
    HWND w = CreateWindowExW(0, cls.lpszClassName, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, instance, nullptr);
    const bool kept = GetWindowLongPtrW(w, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(PlainProcedure);
    DestroyWindow(w);
    return kept;
  };
  // Another module's window (the IME's, OLE's) keeps its procedure; the program's own is watched.
  EXPECT_TRUE(classProcedureKept(GetModuleHandleW(L"user32.dll")));
  EXPECT_FALSE(classProcedureKept(GetModuleHandleW(nullptr)));
}

TEST_F(SkinManage, SkinReloadsAndScaleChangesLeaveNoGdiOrUserObjectsBehind) {
  others.push_back(std::make_unique<TManagedForm>(
      "Reloaded", "  object CheckBox1: TCheckBox\n    Left = 8\n    Top = 8\n    Width = 120\n    Height = 20\n"
                  "    Caption = 'box'\n  end\n  object Edit1: TEdit\n    Left = 8\n    Top = 40\n    Width = 120\n"
                  "    Height = 22\n  end\n  object Button1: TButton\n    Left = 8\n    Top = 70\n    Width = 80\n"
                  "    Height = 25\n    Caption = 'ok'\n  end\n"));
  TManagedForm& form = *others.back();
  form.Show();
  Activate();
  ASSERT_TRUE(Skinned(form.Handle()));
  auto cycle = [&] {
    data->SetSkinFile(kSkinFile);
    Pump(kSettle);
    for (int dpi : {144, 192, 96}) {
      for (HWND w : {form.Handle(), main->Handle()}) {
        RECT suggested{};
        GetWindowRect(w, &suggested);
        SendMessageW(w, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        EXPECT_EQ(SkinManager()->FindFormSkinner(w)->Dpi(), dpi);
        RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
      }
    }
  };
  // The first round fills the caches that each scale keeps.
  cycle();
  const GuiObjectCount before = CountGuiObjects();
  ASSERT_GT(before.gdi, 0);
  for (int i = 0; i < 4; ++i) cycle();
  const GuiObjectCount after = CountGuiObjects();
  EXPECT_TRUE(Skinned(form.Handle()));
  EXPECT_LE(after.gdi, before.gdi + 2);
  EXPECT_EQ(after.windows, before.windows);
}

TEST_F(SkinManage, AMessageBoxIsSkinnedWithTheDialogSkinDataElseTheMainOne) {
  Activate();
  auto boxData = [&](TSkinData* expected) {
    boxSeen = {};
    SetTimer(nullptr, 0, kSettle, InspectMessageBox);
    MessageBoxW(main->Handle(), L"text", Utf8ToWide("箱").c_str(), MB_OK);
    EXPECT_TRUE(boxSeen.skinned);
    EXPECT_EQ(boxSeen.data, expected);
  };
  boxData(data);
  TSkinData dialog(nullptr);
  dialog.SetSkinFormtype(TSkinFormType::sfDialog);
  dialog.SetSkinFile(kSkinFile);
  dialog.Loaded();
  boxData(&dialog);
}

TEST_F(SkinManage, AFormsOwnSkinDataReloadedGivesItsCaptionButtonsTheNewSkin) {
  TManagedForm& form = Another("Own");
  auto* own = new TSkinData(&form);
  own->SetSkinFormtype(TSkinFormType::sfOnlyThisForm);
  own->SetSkinFile(kSkinFile);
  own->Loaded();
  own->SetActive(true);
  Pump(kSettle);
  TSkinForm* skinner = SkinManager()->FindFormSkinner(form.Handle());
  ASSERT_NE(skinner, nullptr);
  ASSERT_EQ(skinner->Data(), own);
  own->SetSkinFile(kSkinFile);
  const auto& objects = own->Model().CaptionButtons();
  ASSERT_EQ(skinner->Buttons().size(), objects.size());
  for (size_t i = 0; i < objects.size(); ++i) EXPECT_EQ(&skinner->Buttons()[i]->Object(), objects[i].get());
  Pump(kSettle);
  EXPECT_TRUE(Skinned(form.Handle()));
}

TEST_F(SkinManage, ASizeGripMadeForASkinnedFormGetsItsSkinner) {
  Activate();
  TSkinForm* form = SkinManager()->FindFormSkinner(main->Handle());
  ASSERT_NE(form, nullptr);
  const size_t before = form->ControlSkinners().size();
  HWND grip = CreateWindowExW(0, L"SCROLLBAR", L"", WS_CHILD | WS_VISIBLE | SBS_SIZEGRIP, 220, 130, 17, 17,
                              main->Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
  EXPECT_EQ(form->SizeGrip(), grip);
  EXPECT_EQ(form->ControlSkinners().size(), before + 1);
  EXPECT_TRUE(Skinned(grip));
  DestroyWindow(grip);
}

TEST(SkinManageAlone, BeforeTheHookRequestsOnlyAllowOrForbidSkinning) {
  TSkinManage manager;
  EXPECT_FALSE(manager.Enabled());
  manager.ScheduleAction(kSkinActionSkinAll, 10);
  EXPECT_TRUE(manager.Enabled());
  manager.ScheduleAction(kSkinActionUnskinAll, 10);
  EXPECT_FALSE(manager.Enabled());
  Pump(100);
  EXPECT_FALSE(manager.Enabled()) << "no timer ran a request";
}

constexpr UINT kMenuGetHandle = 0x01E1;
// Late enough for the menu's window to be up.
constexpr int kMenuUp = 150;

TEST_F(SkinManage, AnOpenPopupMenuWindowIsSkinnedAndGetsItsProcedureBackWhenItCloses) {
  others.push_back(std::make_unique<TManagedForm>(
      "MenuForm", "  object PopupMenu1: TPopupMenu\n    object S1: TMenuItem\n      Caption = '设置(&S)'\n"
                  "    end\n    object X1: TMenuItem\n      Caption = '退出(&X)'\n    end\n  end\n"));
  TManagedForm& form = *others.back();
  auto* untouchable = new TPopupMenu(&form);
  untouchable->Tag = data->DisableTag();
  form.Show();
  Activate();
  ASSERT_TRUE(Skinned(form.Handle()));
  auto* menu = static_cast<TPopupMenu*>(form.FindComponent("PopupMenu1"));
  EXPECT_TRUE(menu->DrawsItems());
  EXPECT_FALSE(untouchable->DrawsItems()) << "a menu carrying DisableTag is left to the system";
  TSkinData bare(nullptr);
  TSkinMenuHooks bareHooks;
  auto* another = new TPopupMenu(&form);
  bareHooks.Attach(form, bare);
  EXPECT_FALSE(another->DrawsItems()) << "a skin without menu pictures leaves menus to the system";
  int exits = 0;
  menu->Items()->Items(1)->OnClick = [&](TObject*) { ++exits; };

  HWND popup = nullptr;
  bool answered = false;
  COLORREF corner = CLR_INVALID;
  TRunSoon inspect(
      [&] {
        popup = ShownMenuWindow();
        answered = SendMessageW(popup, kSkinQueryMessage, 0, 0) == 1;
        UpdateWindow(popup);
        WindowFrameDC dc(popup);
        corner = GetPixel(dc.get(), 0, 0);
        PostMessageW(form.Handle(), WM_CHAR, L'x', 0);
      },
      kMenuUp);
  menu->Popup(200, 200, form.Handle());

  ASSERT_NE(popup, nullptr);
  EXPECT_TRUE(answered);
  const TDataSkinObject* background = data->Model().Find("MenuBackground");
  ASSERT_NE(background, nullptr);
  EXPECT_EQ(corner, GetPixel(data->Picture(background->Image)->Canvas()->Handle(), 0, 0))
      << "the popup is framed by the skin's menu background";
  EXPECT_EQ(exits, 1) << "the accelerator of an owner-drawn item chooses it";
  EXPECT_FALSE(IsWindow(popup));
  for (const auto& skin : SkinManager()->PopupWindows()) EXPECT_FALSE(skin->Attached());
}

// A top-level window of this module that only the skin draws: fixed size, no maximise box.
HWND MakeFixedWindow() {
  WNDCLASSW cls{};
  cls.lpfnWndProc = DefWindowProcW;
  cls.hInstance = GetModuleHandleW(nullptr);
  cls.lpszClassName = L"BrevinMenuTestWindow";
  RegisterClassW(&cls);
  HWND window = CreateWindowExW(0, cls.lpszClassName, L"定", WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 60, 60, 300,
                                200, nullptr, nullptr, cls.hInstance, nullptr);
  ShowWindow(window, SW_SHOWNORMAL);
  return window;
}

struct TSystemMenuSeen {
  std::vector<std::pair<unsigned, bool>> enabled;
  bool ownerDrawn = true;
  wchar_t minimiseKey = 0;
};

TSystemMenuSeen ReadShownSystemMenu() {
  TSystemMenuSeen seen;
  const auto menu = reinterpret_cast<HMENU>(SendMessageW(ShownMenuWindow(), kMenuGetHandle, 0, 0));
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_DATA;
    GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
    seen.ownerDrawn = seen.ownerDrawn && (info.fType & MFT_OWNERDRAW);
    const auto* item = reinterpret_cast<const TMenuItem*>(info.dwItemData);
    if (!item || item->IsLine()) continue;
    const auto command = static_cast<unsigned>(item->Tag);
    seen.enabled.emplace_back(command, !(info.fState & MFS_GRAYED));
    if (command == SC_MINIMIZE) seen.minimiseKey = MenuAccelerator(Utf8ToWide(item->Caption()));
  }
  return seen;
}

TEST_F(SkinManage, TheSkinnedSystemMenuOffersWhatTheWindowCanDoAndKeepsItsKeys) {
  Activate();
  HWND window = MakeFixedWindow();
  // Shown and so activated, it is skinned like every window of the program.
  Pump(100);
  ASSERT_TRUE(Skinned(window));
  TSystemMenuSeen seen;
  TRunSoon inspect(
      [&] {
        seen = ReadShownSystemMenu();
        PostMessageW(window, WM_CHAR, seen.minimiseKey, 0);
      },
      kMenuUp);
  // Alt+Space.
  SendMessageW(window, WM_SYSCOMMAND, SC_KEYMENU, ' ');
  EXPECT_TRUE(seen.ownerDrawn);
  const std::vector<std::pair<unsigned, bool>> expected{{SC_RESTORE, false}, {SC_MOVE, true},   {SC_SIZE, false},
                                                        {SC_MINIMIZE, true}, {SC_MAXIMIZE, false}, {SC_CLOSE, true}};
  for (const auto& entry : expected)
    EXPECT_NE(std::find(seen.enabled.begin(), seen.enabled.end(), entry), seen.enabled.end())
        << "command " << std::hex << entry.first << " enabled " << entry.second;
  ASSERT_NE(seen.minimiseKey, 0);
  Pump(200);
  EXPECT_TRUE(IsIconic(window)) << "the minimise item's accelerator minimised the window";
  DestroyWindow(window);
}

TEST_F(SkinManage, RepeatedMenuOpeningsAndAWindowDestroyedUnderItsMenuLeaveNothingBehind) {
  Activate();
  HWND window = MakeFixedWindow();
  // Shown and so activated, it is skinned like every window of the program.
  Pump(100);
  ASSERT_TRUE(Skinned(window));
  auto openAndLeave = [&] {
    PostMessageW(window, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
    SendMessageW(window, WM_NCRBUTTONDOWN, HTCAPTION, MAKELPARAM(120, 70));
  };
  openAndLeave();
  const GuiObjectCount before = CountGuiObjects();
  for (int i = 0; i < 500; ++i) openAndLeave();
  const GuiObjectCount after = CountGuiObjects();
  EXPECT_LE(after.gdi, before.gdi + 2);
  EXPECT_EQ(after.windows, before.windows);

  TRunSoon destroy([&] { DestroyWindow(window); }, kMenuUp);
  SendMessageW(window, WM_SYSCOMMAND, SC_KEYMENU, ' ');
  Pump(100);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(SkinManager()->FindFormSkinner(window), nullptr);
  for (const auto& skin : SkinManager()->PopupWindows()) EXPECT_FALSE(skin->Attached());
  EXPECT_EQ(CountGuiObjects().windows, before.windows - 1);
}

}  // namespace
