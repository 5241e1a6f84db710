// Popup menus on real windows: change notices to the owner's window, owner-drawn items routed
// from the owning window to the shown menu, painters hooked and unhooked in any order.
#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

#include "framework/controls/Menus.h"
#include "framework/controls/Messages.h"
#include "framework/controls/tests/TestForms.h"
#include "framework/win32/WindowSubclass.h"

namespace {

TMenuItem* AddItem(TMenu& menu, TMenuItem* parent, const std::string& caption) {
  auto* item = new TMenuItem(&menu);
  item->SetCaption(caption);
  parent->Add(item);
  return item;
}

TEST(Menus, EveryRealChangeOfAnItemOrTheTreeTellsTheOwnersWindow) {
  TPlainForm form(nullptr);
  auto* menu = new TPopupMenu(&form);
  TMenuItem* file = AddItem(*menu, menu->Items(), "文件(&F)");
  int notices = 0;
  LPARAM about = 0;
  TWindowSubclass spy;
  ASSERT_TRUE(spy.Attach(form.Handle(), [&](HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == CM_MENUCHANGED) {
      ++notices;
      about = lParam;
    }
    return spy.Default(window, msg, wParam, lParam);
  }));

  file->SetCaption("文件(&F)");
  file->SetEnabled(true);
  EXPECT_EQ(notices, 0) << "setting a value an item already has is no change";

  file->SetCaption("档案(&F)");
  file->SetEnabled(false);
  file->SetVisible(false);
  file->SetChecked(true);
  file->SetDefault(true);
  file->SetImageIndex(1);
  EXPECT_EQ(notices, 6);
  EXPECT_EQ(about, reinterpret_cast<LPARAM>(static_cast<TMenu*>(menu)));

  TMenuItem* open = AddItem(*menu, file, "打开");
  EXPECT_EQ(notices, 7) << "an item added under a sub-item";
  open->SetCaption("打开(&O)");
  EXPECT_EQ(notices, 8) << "a change deep in the tree";
  menu->Items()->Insert(0, new TMenuItem(menu));
  file->Remove(open);
  EXPECT_EQ(notices, 10);
  open->SetCaption("无主");
  EXPECT_EQ(notices, 10) << "an item taken out of the tree belongs to no menu";
  delete open;
}

// Records what it is asked to draw, and draws as the menu would.
struct TRecordingPainter : TMenuItemPainter {
  void Measure(const TMenuItem& item, MEASUREITEMSTRUCT& measure) override {
    TMenuItemPainter::Measure(item, measure);
    measured.push_back(item.Caption());
    heights.push_back(static_cast<int>(measure.itemHeight));
  }
  void Draw(const TMenuItem& item, const DRAWITEMSTRUCT& draw) override {
    TMenuItemPainter::Draw(item, draw);
    drawn.push_back(item.Caption());
  }
  std::vector<std::string> measured;
  std::vector<std::string> drawn;
  std::vector<int> heights;
};

TEST(Menus, OwnerDrawnItemsReachTheNewestPainterAndKeepTheirKeys) {
  TPlainForm form(nullptr);
  form.Show();
  auto* menu = new TPopupMenu(&form);
  TMenuItem* open = AddItem(*menu, menu->Items(), "打开(&O)\tCtrl+O");
  AddItem(*menu, menu->Items(), "-");
  TMenuItem* quit = AddItem(*menu, menu->Items(), "退出(&X)");
  int opens = 0;
  int quits = 0;
  open->OnClick = [&](TObject*) { ++opens; };
  quit->OnClick = [&](TObject*) { ++quits; };

  TRecordingPainter older;
  TRecordingPainter newer;
  TMenuPaintHook olderHook;
  TMenuPaintHook newerHook;
  olderHook.Attach(*menu, older);
  newerHook.Attach(*menu, newer);
  olderHook.Detach();
  ASSERT_TRUE(menu->DrawsItems());

  // The accelerator of an owner-drawn item, typed while the menu is up.
  PostMessageW(form.Handle(), WM_CHAR, L'x', 0);
  menu->Popup(100, 100, form.Handle());
  EXPECT_EQ(quits, 1);
  EXPECT_EQ(opens, 0);
  EXPECT_TRUE(older.drawn.empty());
  ASSERT_EQ(newer.measured.size(), 3u);
  EXPECT_EQ(newer.measured[1], "-");
  EXPECT_LT(newer.heights[1], newer.heights[0]) << "a line is lower than an item";
  EXPECT_NE(std::find(newer.drawn.begin(), newer.drawn.end(), "退出(&X)"), newer.drawn.end());

  // Arrows and Enter move and choose as ever: down from nothing selects the first item.
  PostMessageW(form.Handle(), WM_KEYDOWN, VK_DOWN, 0);
  PostMessageW(form.Handle(), WM_KEYDOWN, VK_RETURN, 0);
  menu->Popup(100, 100, form.Handle());
  EXPECT_EQ(opens, 1);
  EXPECT_EQ(menu->Handle(), nullptr);

  delete menu;
  EXPECT_EQ(newerHook.Menu(), nullptr);
  newerHook.Detach();
}

}  // namespace
