// A form's menu bar read from a layout: shown by the form's window, commands reaching the items,
// changes refilling the same native bar, which outlives the window that shows it.
#include <gtest/gtest.h>

#include <string>

#include "framework/controls/Forms.h"
#include "framework/controls/MainMenu.h"

namespace {

class TMenuForm : public TForm {
public:
  BREVIN_CLASS_INFO()
  TMenuForm() : TForm(nullptr) {
    Handler("OpenClick", &TMenuForm::OpenClick);
    Handler("CloseClick", &TMenuForm::CloseClick);
    InitializeForm(
        "object MenuForm: TMenuForm\n  ClientWidth = 240\n  ClientHeight = 120\n  Menu = MainMenu1\n"
        "  object MainMenu1: TMainMenu\n"
        "    object File1: TMenuItem\n      Caption = '文件(&F)'\n"
        "      object Open1: TMenuItem\n        Caption = '打开(&O)'\n        OnClick = OpenClick\n      end\n"
        "      object Close1: TMenuItem\n        Caption = '关闭(&C)'\n        Enabled = False\n"
        "        OnClick = CloseClick\n      end\n"
        "    end\n"
        "    object Help1: TMenuItem\n      Caption = '帮助(&H)'\n    end\n"
        "  end\n"
        "end\n");
  }
  TMainMenu& Menu1() { return *static_cast<TMainMenu*>(FindComponent("MainMenu1")); }
  TMenuItem& Item(const std::string& name) { return *static_cast<TMenuItem*>(FindComponent(name)); }
  int opened = 0;
  int closed = 0;

private:
  void OpenClick(TObject*) { ++opened; }
  void CloseClick(TObject*) { ++closed; }
};

const TClassInfo& TMenuForm::StaticClassInfo() {
  static const TClassInfo info("TMenuForm", &TForm::StaticClassInfo());
  return info;
}

std::wstring ItemText(HMENU menu, int position) {
  wchar_t text[64] = {};
  GetMenuStringW(menu, static_cast<UINT>(position), text, 64, MF_BYPOSITION);
  return text;
}

TEST(MainMenu, TheFormShowsItsBarRunsItsCommandsAndKeepsItAcrossChangesAndNewWindows) {
  TMenuForm form;
  HWND window = form.Handle();
  HMENU bar = form.Menu1().BarHandle();
  ASSERT_EQ(GetMenu(window), bar);
  ASSERT_EQ(GetMenuItemCount(bar), 2);
  EXPECT_EQ(ItemText(bar, 1), L"帮助(&H)");
  RECT client{};
  GetClientRect(window, &client);
  EXPECT_EQ(client.bottom, 120) << "the client height leaves room for the bar";

  HMENU file = GetSubMenu(bar, 0);
  ASSERT_NE(file, nullptr);
  SendMessageW(window, WM_COMMAND, GetMenuItemID(file, 0), 0);
  SendMessageW(window, WM_COMMAND, GetMenuItemID(file, 1), 0);
  EXPECT_EQ(form.opened, 1);
  EXPECT_EQ(form.closed, 0) << "a disabled item runs nothing";
  EXPECT_NE(GetMenuItemID(bar, 1), 0xFFFFFFFFu) << "a top-level item has a command of its own";

  form.Item("Help1").SetCaption("说明(&S)");
  EXPECT_EQ(GetMenu(window), bar);
  EXPECT_EQ(ItemText(bar, 1), L"说明(&S)");

  // A new window takes the same bar; the old one did not destroy it on its way out.
  form.SetBorderStyle(TFormBorderStyle::bsSingle);
  ASSERT_NE(form.Handle(), window);
  EXPECT_TRUE(IsMenu(bar));
  EXPECT_EQ(GetMenu(form.Handle()), bar);
}

}  // namespace
