// The main window's life: start-up steps, hiding into the tray, restoring, and a skin that
// cannot be written.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "app/settime/TrayIcon.h"
#include "app/settime/Velmain.h"
#include "app/settime/tests/AppFixture.h"
#include "framework/controls/tests/MessagePump.h"
#include "framework/controls/Application.h"
#include "framework/resources/ResourceFile.h"
#include "framework/resources/ResourceStream.h"
#include "framework/win32/Strings.h"
#include "skin/win/data/SkinDataUnit.h"
#include "skin/win/menus/SkinMenuUnit.h"

namespace {

class Lifecycle : public AppFixture {
protected:
  void SetUp() override {
    velmain->S1Click(nullptr);
    Application->ProcessMessages();
  }
  static std::vector<uint8_t> FileBytes(const std::string& path) {
    std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  static bool Hidden() {
    return !IsWindowVisible(velmain->Handle()) &&
           (GetWindowLongPtrW(Application->Handle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW) && TrayIcon1->Active();
  }
};

TEST_F(Lifecycle, EveryWayOfClosingHidesIntoTheTray) {
  ASSERT_TRUE(IsWindowVisible(velmain->Handle()));
  ASSERT_FALSE(TrayIcon1->Active());
  for (auto close : {+[](HWND w) { SendMessageW(w, WM_CLOSE, 0, 0); },
                     +[](HWND w) { SendMessageW(w, WM_SYSCOMMAND, SC_CLOSE, 0); },
                     +[](HWND w) { SendMessageW(w, WM_SYSKEYDOWN, VK_F4, 1 << 29); }}) {
    close(velmain->Handle());
    Application->ProcessMessages();
    EXPECT_TRUE(Hidden());
    EXPECT_FALSE(Application->Terminated());
    velmain->S1Click(nullptr);
    EXPECT_TRUE(IsWindowVisible(velmain->Handle()));
    EXPECT_FALSE(TrayIcon1->Active());
    EXPECT_EQ(velmain->PageControl1->ActivePage(), velmain->TabSheet1);
    EXPECT_EQ(velmain->TabSheet1->ImageIndex(), 28) << "the active settings tab shows its active image";
  }
}

TEST_F(Lifecycle, TheFirstShowGivesTheTrayIconItsTipAndItsFiveItemMenu) {
  ASSERT_NE(TrayIcon1, nullptr);
  EXPECT_EQ(TrayIcon1->ToolTip(), "欢迎使用晴岚！");
  ASSERT_NE(TrayIcon1->PopupMenu(), nullptr);
  const TMenuItem* items = TrayIcon1->PopupMenu()->Items();
  std::vector<std::string> captions;
  for (int i = 0; i < items->Count(); ++i) captions.push_back(items->Items(i)->Caption());
  EXPECT_EQ(captions, (std::vector<std::string>{"设置(&S)", "帮助(&H)", "关于(&A)", "-", "退出(&X)"}));
}

TEST_F(Lifecycle, TheTrayMenuIsDrawnInTheSkinAndItsItemsRunTheirCommands) {
  velmain->FormShow(nullptr);
  // What the skinned main window hooks on its popup menu.
  TSkinMenuHooks skin;
  skin.Attach(*velmain, *velmain->SkinData1);
  const TSkinData& data = *velmain->SkinData1;
  const TDataSkinObject* itemPicture = data.Model().Find("MenuItem");
  ASSERT_NE(itemPicture, nullptr);
  const COLORREF itemEdge = GetPixel(data.Picture(itemPicture->Image)->Canvas()->Handle(), 0, 10);

  std::vector<std::string> captions;
  bool ownerDrawn = true;
  COLORREF selectedEdge = CLR_INVALID;
  HWND owner = Application->Handle();
  WhileModal([&] {
    const HMENU menu = TrayIcon1->PopupMenu()->Handle();
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
      wchar_t text[64] = {};
      GetMenuStringW(menu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
      captions.push_back(WideToUtf8(text));
      ownerDrawn = ownerDrawn && (GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_OWNERDRAW);
    }
    // The first item selected shows on the skin's item picture.
    PostMessageW(owner, WM_KEYDOWN, VK_DOWN, 0);
    WhileModal([&, menu] {
      RECT item{};
      GetMenuItemRect(nullptr, menu, 0, &item);
      HWND popup = ShownMenuWindow();
      RECT frame{};
      GetWindowRect(popup, &frame);
      WindowFrameDC dc(popup);
      selectedEdge = GetPixel(dc.get(), item.left - frame.left, (item.top + item.bottom) / 2 - frame.top);
      PostMessageW(owner, WM_CHAR, L'a', 0);
    });
  });
  velmain->PageControl1->SetActivePage(velmain->TabSheet1);
  TrayIcon1->PopupAtCursor();
  Application->ProcessMessages();
  EXPECT_TRUE(ownerDrawn);
  EXPECT_EQ(captions, (std::vector<std::string>{"设置(&S)", "帮助(&H)", "关于(&A)", "", "退出(&X)"}));
  EXPECT_EQ(selectedEdge, itemEdge);
  EXPECT_EQ(velmain->PageControl1->ActivePage(), velmain->TabSheet4) << "关于(&A) chosen by its key";
}

TEST_F(Lifecycle, TheMinimiseBoxOnlyMinimises) {
  SendMessageW(velmain->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  Application->ProcessMessages();
  EXPECT_FALSE(TrayIcon1->Active());
  EXPECT_FALSE(GetWindowLongPtrW(Application->Handle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
}

TEST_F(Lifecycle, AStaleSkinIsReplacedAtStartUp) {
  const std::string skin = PathNextToExecutable("velskin.skn");
  std::ofstream(std::filesystem::u8path(skin), std::ios::binary) << "stale";
  velmain->FormShow(nullptr);
  TResourceStream resource(GetModuleHandleW(nullptr), "skn", "my3");
  const std::vector<uint8_t> expected(resource.Memory(), resource.Memory() + resource.Size());
  EXPECT_EQ(FileBytes(skin), expected);
}

TEST_F(Lifecycle, TheSkinDataHoldsTheWrittenSkinAndIsSwitchedOn) {
  velmain->FormShow(nullptr);
  const TSkinData& data = *velmain->SkinData1;
  EXPECT_EQ(data.SkinFile(), PathNextToExecutable("velskin.skn"));
  EXPECT_FALSE(data.LoadingSkin());
  EXPECT_EQ(data.SkinName(), "Qinglan Mist");
  EXPECT_TRUE(data.Active());
  EXPECT_EQ(GetPropValue(data, "DisableTag"), "99");
  EXPECT_EQ(GetPropValue(data, "Options"), "[xoPreview, xoToolbarBK]");
  EXPECT_EQ(GetPropValue(data, "SkinStore"), "(none)");
}

TEST_F(Lifecycle, ASkinThatCannotBeWrittenIsReportedAndTheProgramStillWorks) {
  const std::string skin = PathNextToExecutable("velskin.skn");
  DeleteFileIfExists(skin);
  // A directory of the skin's name can be neither deleted as a file nor replaced by one.
  std::filesystem::create_directory(std::filesystem::u8path(skin));
  std::vector<std::string> errors;
  Application->OnException = [&](const std::exception& error) { errors.push_back(error.what()); };
  velmain->SpeedButton2Click(nullptr);
  velmain->FormShow(nullptr);
  std::filesystem::remove(std::filesystem::u8path(skin));
  Application->OnException = [](const std::exception& error) { ADD_FAILURE() << "unhandled: " << error.what(); };
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].rfind("Cannot create file \"" + skin + "\".", 0), 0u) << errors[0];
  EXPECT_TRUE(velmain->Armed()) << "the alarm is armed all the same";
  EXPECT_NE(TrayIcon1, nullptr);
}

}  // namespace
