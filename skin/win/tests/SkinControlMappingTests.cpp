#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "framework/controls/ComCtrls.h"
#include "framework/controls/ExtCtrls.h"
#include "framework/controls/Forms.h"
#include "framework/controls/tests/GuiObjectCount.h"
#include "skin/win/manager/SkinControlMapping.h"
#include "skin/win/data/SkinDataUnit.h"
#include "skin/win/form/SkinFormUnit.h"
#include "skin/win/tests/MappingHost.h"
#include "skin/win/tests/VelmainStandIn.h"

namespace {

using K = TSkinnerKind;

// A group control of another library, as far as its class name tells.
class TMapRadioGroup : public TPanel {
public:
  BREVIN_CLASS_INFO()
  using TPanel::TPanel;
};

const TClassInfo& TMapRadioGroup::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TMapRadioGroup>("TMapRadioGroup", &TPanel::StaticClassInfo()).Creatable();
  return info;
}

struct TExpected {
  std::string name;
  TSkinnerKind kind;
  int mode = 0;
  friend bool operator==(const TExpected&, const TExpected&) = default;
  friend void PrintTo(const TExpected& e, std::ostream* out) {
    *out << e.name << " kind " << static_cast<int>(e.kind) << " mode " << e.mode;
  }
};

std::vector<TExpected> Named(const std::vector<TControlSkinChoice>& choices) {
  std::vector<TExpected> named;
  for (const TControlSkinChoice& choice : choices) named.push_back({choice.Control->Name(), choice.Kind, choice.Mode});
  return named;
}

TEST(SkinControlMapping, ControlsAreVisitedInOrderWithTheirChildrenWhereTheRulesPutThem) {
  RegisterComponentClass(TMapRadioGroup::StaticClassInfo());
  Tvelmain form(R"(object Form1: Tvelmain
    object Panel1: TPanel
      object Button1: TButton
      end
    end
    object GroupBox1: TGroupBox
      object RadioButton1: TRadioButton
      end
    end
    object Hidden: TMapRadioGroup
      Tag = 99
      object RadioButton2: TRadioButton
      end
    end
    object Items: TMapRadioGroup
      object RadioButton3: TRadioButton
      end
    end
    object CheckBox1: TCheckBox
    end
    object Label1: TLabel
    end
  end)");
  TSkinData data(nullptr);
  data.SetClassMap({"TLabel=panel", "TMapRadioGroup=radiogroup"});
  TComponent claimer(nullptr);
  std::vector<std::string> asked;
  data.OnSkinControl = [&](TComponent* sender, TSkinData* skinData, TControl* root, TControl* control,
                           const std::string& className, TComponent*& skinner) {
    EXPECT_TRUE(sender == &data && skinData == &data && root == &form && className == control->ClassName());
    if (auto* windowed = dynamic_cast<TWinControl*>(control)) {
      EXPECT_TRUE(windowed->HandleAllocated()) << control->Name();
    }
    asked.push_back(control->Name());
    if (control->Name() == "CheckBox1") skinner = &claimer;
  };
  ASSERT_FALSE(form.HandleAllocated());

  const std::vector<TControlSkinChoice> choices = MapControls(data, form);

  EXPECT_EQ(Named(choices), (std::vector<TExpected>{{"Button1", K::Button},
                                                    {"Panel1", K::Box, 1},
                                                    {"RadioButton1", K::RadioButton},
                                                    {"GroupBox1", K::GroupBox},
                                                    {"RadioButton3", K::RadioButton},
                                                    {"Items", K::GroupBox},
                                                    {"CheckBox1", K::None},
                                                    {"Label1", K::Box, 1}}));
  EXPECT_EQ(asked, (std::vector<std::string>{"Panel1", "Button1", "GroupBox1", "RadioButton1", "Items", "CheckBox1",
                                             "Label1"}));
  EXPECT_EQ(choices[6].Custom, &claimer);
  EXPECT_EQ(form.FindComponent("RadioButton2")->Tag, 99);
  EXPECT_EQ(GetPropValue(*form.FindComponent("Label1"), "Transparent"), "True");
}

// The main window's controls and their skinners in the walk's order, once every page has been shown.
const std::vector<TExpected> kMainWindowSkinners = {
    {"PageControl1", K::TabButtons},  {"TabSheet1", K::TabSheet},       {"Panel4", K::Box, 1},
    {"DateTimePicker1", K::Edit},     {"SpeedButton1", K::SpeedButton}, {"Panel3", K::Box, 1},
    {"SpeedButton2", K::SpeedButton}, {"GroupBox1", K::GroupBox},       {"RadioButton1", K::RadioButton},
    {"RadioButton2", K::RadioButton}, {"GroupBox2", K::GroupBox},       {"SpeedButton3", K::SpeedButton},
    {"CheckBox1", K::CheckBox},       {"SpinEdit1", K::Edit},           {"CheckBox2", K::CheckBox},
    {"CheckBox3", K::CheckBox},       {"SpinEdit2", K::Edit},           {"GroupBox3", K::GroupBox},
    {"TabSheet2", K::TabSheet},       {"PageControl2", K::Tab},         {"TabSheet5", K::TabSheet},
    {"Panel5", K::Box, 1},            {"Panel6", K::Box, 1},            {"Memo1", K::Scrollbar},
    {"Memo2", K::Scrollbar},          {"TabSheet6", K::TabSheet},       {"Panel7", K::Box, 1},
    {"Panel8", K::Box, 1},            {"Memo3", K::Scrollbar},          {"Memo4", K::Scrollbar},
    {"TabSheet7", K::TabSheet},       {"Memo5", K::Scrollbar},          {"TabSheet4", K::TabSheet},
    {"Panel9", K::Box, 1},            {"BitBtn1", K::BitButton},
};

TSkinData& LoadedSkin(TForm& form) {
  auto& data = *static_cast<TSkinData*>(form.FindComponent("SkinData1"));
  data.SetSkinFile("skin-win-test-velskin.skn");
  return data;
}

// Shows the form and skins it as the manager does, finishing at once.
std::unique_ptr<TSkinForm> SkinNow(TForm& form, TSkinData& data, TSkinFormHost& host) {
  form.Show();
  auto skinner = std::make_unique<TSkinForm>(&form, &host);
  skinner->InitSkin(form.Handle(), &data);
  SendMessageW(form.Handle(), kSkinFinishMessage, 0, 1000);
  return skinner;
}

// Each page of the main window once, the inner tutorial pages too, so that all their windows exist.
void ShowEveryPage(TForm& form) {
  auto& pages = *static_cast<TPageControl*>(form.FindComponent("PageControl1"));
  auto& tutorial = *static_cast<TPageControl*>(form.FindComponent("PageControl2"));
  pages.SetActivePageIndex(1);
  for (int i = 1; i < tutorial.PageCount(); ++i) tutorial.SetActivePageIndex(i);
  pages.SetActivePageIndex(2);
}

TEST(SkinControlMapping, TheMainWindowsControlsGetTheSkinnersOfItsSkinOnlyOnceTheirPageHasWindows) {
  Tvelmain form;
  TSkinData& data = LoadedSkin(form);
  ASSERT_FALSE(data.LoadingSkin());

  // The first page's controls and the other pages themselves, without what lies on them.
  std::vector<TExpected> firstPage(kMainWindowSkinners.begin(), kMainWindowSkinners.begin() + 19);
  ASSERT_EQ(firstPage.back().name, "TabSheet2");
  firstPage.insert(firstPage.end(), {{"TabSheet4", K::TabSheet}, {"BitBtn1", K::BitButton}});
  EXPECT_EQ(Named(MapControls(data, form)), firstPage) << "the pages not shown yet are left for later";
  EXPECT_FALSE(static_cast<TWinControl*>(form.FindComponent("Memo1"))->HandleAllocated());

  ShowEveryPage(form);
  EXPECT_EQ(Named(MapControls(data, form)), kMainWindowSkinners);
}

TEST(SkinControlMapping, APagesControlsAreSkinnedWhenItIsFirstShownAsIfTheyWereMadeWithTheForm) {
  Tvelmain form;
  TSkinData& data = LoadedSkin(form);
  ASSERT_FALSE(data.LoadingSkin());
  TMappingHost host;
  const std::unique_ptr<TSkinForm> skinned = SkinNow(form, data, host);
  const TSkinForm& skinner = *skinned;
  ShowEveryPage(form);

  auto byName = [](std::vector<TExpected> list) {
    std::sort(list.begin(), list.end(), [](const TExpected& a, const TExpected& b) { return a.name < b.name; });
    return list;
  };
  EXPECT_EQ(byName(Named(skinner.ControlChoices())), byName(kMainWindowSkinners));
  std::vector<TExpected> attached;
  for (const auto& control : skinner.ControlSkinners())
    for (const TControlSkinChoice& choice : skinner.ControlChoices())
      if (choice.Control == control->Control()) attached.push_back({choice.Control->Name(), choice.Kind, choice.Mode});
  EXPECT_EQ(byName(attached), byName(kMainWindowSkinners)) << "every control has its skinner attached, once";
}

// The system's guess at a window's size on a monitor of another scale scales the whole window,
// but the skinned frame does not scale with the display as the client area does.
TEST(SkinControlMapping, TheSkinnedMainWindowAsksAtAnotherScaleForItsLayoutsClientAreaInThatScalesFrame) {
  Tvelmain form;
  TSkinData& data = LoadedSkin(form);
  ASSERT_FALSE(data.LoadingSkin());
  TMappingHost host;
  const std::unique_ptr<TSkinForm> skinned = SkinNow(form, data, host);
  HWND window = form.Handle();
  const int start = form.PixelsPerInch();
  RECT startRect{};
  GetWindowRect(window, &startRect);
  for (const int dpi : {start * 7 / 4, start * 5 / 4, start}) {
    SIZE size{MulDiv(startRect.right - startRect.left, dpi, start),
              MulDiv(startRect.bottom - startRect.top, dpi, start)};
    EXPECT_TRUE(SendMessageW(window, WM_GETDPISCALEDSIZE, dpi, reinterpret_cast<LPARAM>(&size))) << dpi;
    RECT suggested{startRect.left, startRect.top, startRect.left + size.cx, startRect.top + size.cy};
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    RECT client{}, after{};
    GetClientRect(window, &client);
    GetWindowRect(window, &after);
    // The main window's layout gives a client area of 486 x 265 at 96 DPI.
    EXPECT_EQ(client.right, ScaleToDpi(486, dpi)) << dpi;
    EXPECT_EQ(client.bottom, ScaleToDpi(265, dpi)) << dpi;
    EXPECT_TRUE(EqualRect(&after, &suggested)) << dpi << ": the frame went around another client area";
  }
}

TEST(SkinControlMapping, TheSkinnedMainWindowKeepsItsGuiObjectsOverSkinCyclesAndRepaints) {
  Tvelmain form;
  TSkinData& data = LoadedSkin(form);
  ASSERT_FALSE(data.LoadingSkin());
  TMappingHost host;
  auto skin = [&] { return SkinNow(form, data, host); };
  auto& pages = *static_cast<TPageControl*>(form.FindComponent("PageControl1"));
  // Every page in turn, so that the controls of each are painted too.
  auto repaint = [&](int times, int perPage) {
    for (int i = 0; i < times; ++i) {
      if (i % perPage == 0) pages.SetActivePageIndex((i / perPage) % pages.PageCount());
      RedrawWindow(form.Handle(), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
  };
  // What the controls and their skinners make once and keep (fonts, brushes) is made before counting.
  {
    const auto skinner = skin();
    repaint(pages.PageCount(), 1);
  }
  const GuiObjectCount before = CountGuiObjects();
  ASSERT_GT(before.gdi, 0);
  for (int i = 0; i < 100; ++i) skin().reset();
  {
    const auto skinner = skin();
    ASSERT_GT(skinner->ControlSkinners().size(), 20u);
    repaint(1000, 100);
  }
  const GuiObjectCount after = CountGuiObjects();
  EXPECT_LE(after.gdi, before.gdi + 2);
  EXPECT_EQ(after.windows, before.windows);
}

}  // namespace
