// Popup menus on real windows: change notices to the owner's window, owner-drawn items routed
// from the owning window to the shown menu, painters hooked and unhooked in any order.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "framework/controls/ImgList.h"
#include "framework/controls/Menus.h"
#include "framework/controls/Messages.h"
#include "framework/controls/tests/TestForms.h"
#include "framework/win32/Dpi.h"
#include "framework/win32/Handles.h"
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
  void Measure(const TMenuItem& item, MEASUREITEMSTRUCT& measure, int dpi) override {
    TMenuItemPainter::Measure(item, measure, dpi);
    measured.push_back(item.Caption());
    heights.push_back(static_cast<int>(measure.itemHeight));
    widths.push_back(static_cast<int>(measure.itemWidth));
  }
  void Draw(const TMenuItem& item, const DRAWITEMSTRUCT& draw, int dpi) override {
    TMenuItemPainter::Draw(item, draw, dpi);
    drawn.push_back(item.Caption());
    drawnAt = dpi;
  }
  std::vector<std::string> measured;
  std::vector<std::string> drawn;
  std::vector<int> heights;
  std::vector<int> widths;
  int drawnAt = 0;
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

// Run at 96 dpi and again at 150 % and 200 % (tools/wine-dpi 144 and 192, BREVIN_DPI).
TEST(Menus, ItemsAreMeasuredAndDrawnForTheScaleOfTheDisplayTheyShowOn) {
  // Test programs carry no manifest: asked for here, as the program's manifest does.
  SetProcessDPIAware();
  const char* expected = std::getenv("BREVIN_DPI");
  const int dpi = expected ? std::atoi(expected) : kDesignDpi;
  ASSERT_EQ(MonitorDpi(MonitorFromPoint({100, 100}, MONITOR_DEFAULTTONEAREST)), dpi) << "the scaling did not take";
  TPlainForm form(nullptr);
  form.Show();
  auto* menu = new TPopupMenu(&form);
  menu->SetImages(new TImageList(&form));
  AddItem(*menu, menu->Items(), "设置(&S)");
  AddItem(*menu, menu->Items(), "-");
  AddItem(*menu, menu->Items(), "退出(&X)\tAlt+F4");
  TRecordingPainter painter;
  TMenuPaintHook hook;
  hook.Attach(*menu, painter);
  PostMessageW(form.Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  menu->Popup(100, 100, form.Handle());
  ASSERT_EQ(painter.heights.size(), 3u);
  EXPECT_EQ(painter.drawnAt, dpi);

  // By hand, at 96 dpi: a line is 9 px high; an item is its 16-px image and 4 px above and below
  // it, 24 px, which is more than the menu font's line and its padding.
  const double scale = dpi / 96.0;
  EXPECT_NEAR(painter.heights[1], 9 * scale, 1);
  EXPECT_NEAR(painter.heights[0], 24 * scale, 2);
  EXPECT_NEAR(painter.heights[2], 24 * scale, 2);

  // No text cut off: each item holds its caption (and shortcut) in the system's menu font at dpi.
  NONCLIENTMETRICSW metrics{};
  ASSERT_TRUE(NonClientMetricsForDpi(metrics, dpi));
  UniqueFont font(CreateFontIndirectW(&metrics.lfMenuFont));
  WindowDC screen(nullptr);
  SelectedObject selected(screen.get(), font.get());
  const auto extent = [&](const std::wstring& text) {
    SIZE size{};
    GetTextExtentPoint32W(screen.get(), text.c_str(), static_cast<int>(text.size()), &size);
    return size;
  };
  const SIZE settings = extent(L"设置(S)");
  const SIZE exit = extent(L"退出(X)");
  const SIZE shortcut = extent(L"Alt+F4");
  EXPECT_GT(settings.cy, 12 * scale) << "the menu font grows with the scale";
  EXPECT_GE(painter.heights[0], settings.cy);
  EXPECT_GT(painter.widths[0], 16 * scale + settings.cx);
  EXPECT_GT(painter.widths[2], 16 * scale + exit.cx + shortcut.cx);
}

}  // namespace
