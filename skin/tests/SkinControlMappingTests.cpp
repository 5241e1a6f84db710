#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "skin/model/SkinControlMapping.h"
#include "skin/model/SkinSettings.h"

void PrintTo(const TControlMapping& m, std::ostream* out) {
  *out << "{kind " << static_cast<int>(m.Kind) << ", mode " << m.Mode << ", childrenFirst " << m.ChildrenFirst
       << ", transparent " << m.SetTransparent << ", childKind " << static_cast<int>(m.ChildKind) << ", onlyScrolling "
       << m.OnlyChildrenWithScrollBars << ", never " << m.Never << "}";
}

namespace {

using K = TSkinnerKind;
using C = TControlCategory;

struct TCase {
  const char* what;
  TControlDescription control;
  TControlMapping expected;
  uint32_t membersOff = 0;
  std::vector<std::string> classMap = {};
  bool skinHasTabs = true;
};

TControlDescription Of(const char* className, C category = C::Other) { return {className, category}; }
TControlMapping Kind(K kind, int mode = 0) { return {.Kind = kind, .Mode = mode}; }

TEST(SkinControlMapping, TheClassMapThenTheNeverSkinnedNamesThenTheFirstBuiltInRuleWithItsMemberDecide) {
  const TCase cases[] = {
      {"page control, skin without Tabs", Of("TPageControl", C::PageControl), {}, 0, {}, false},
      {"check box without xcCheckBox", Of("TCheckBox", C::CheckBox), {}, SkinBit(xcCheckBox)},
      {"group box, xcGroupBox off", Of("TGroupBox", C::GroupBox), {.Kind = K::GroupBox, .ChildrenFirst = true},
       SkinBit(xcGroupBox)},
      {"drop-down date picker", Of("TDateTimePicker", C::DateTimePicker), Kind(K::DateTime)},
      {"up-down picker", {.ClassName = "TDateTimePicker", .Category = C::DateTimePicker, .UpDownMode = true},
       Kind(K::Edit)},
      {"bitmap button without xcBitBtn", Of("TBitBtn", C::BitButton), {}, SkinBit(xcBitBtn)},
      {"memo without xcScrollbar", Of("TMemo", C::Memo), Kind(K::Edit), SkinBit(xcScrollbar)},
      {"scrolling frame", {.ClassName = "TFrame1", .Category = C::EmbeddedForm, .HasWindowScrollBars = true},
       Kind(K::Scrollbar)},
      {"NumButtons 1", {.ClassName = "TButtonEdit", .NumButtons = 1}, Kind(K::ComBox)},
      {"NumButtons 0", {.ClassName = "TButtonEdit", .NumButtons = 0}, Kind(K::Edit)},
      {"DB navigator", Of("TDBNavigator"), {.Kind = K::Box, .Mode = 1, .ChildKind = K::SpeedButton}},
      {"never skinned", Of("TfrPBox", C::Panel), {.Never = true}},
      {"class map first", Of("TButton", C::PushButton), Kind(K::Edit), 0, {"tbutton=Edit"}},
      {"first line", Of("TButton", C::PushButton), {.Never = true}, 0, {"TBut=edit", "TButton=NIL", "TButton=edit"}},
      {"kind without member", Of("TButton", C::PushButton), Kind(K::Button), SkinBit(xcEdit), {"TButton=edit"}},
      {"unknown kind", Of("TButton", C::PushButton), Kind(K::Button), 0, {"TButton=fancy"}},
      {"panel kind", Of("TBar"), {.Kind = K::Box, .Mode = 1, .SetTransparent = true}, 0, {"TBar=Panel"}},
      {"cx drop-down", {.ClassName = "TcxButton", .Kind = "cxbkDropDownButton"}, Kind(K::MenuButton), 0,
       {"TcxButton=bitbtn"}},
      {"Raize group", Of("TRzCheckGroup"), {.Kind = K::GroupBox, .ChildrenFirst = true, .ChildKind = K::ObjImage}, 0,
       {"TRzCheckGroup=CheckGroup"}},
      {"embedded scroll bars", Of("THost"), {.ChildKind = K::Scrollbar, .OnlyChildrenWithScrollBars = true}, 0,
       {"THost=embedscrollbar"}},
      {"container", Of("TPanel", C::Panel), {.ChildrenFirst = true}, 0, {"TPanel=container"}},
      {"header", Of("THeaderControl"), Kind(K::Header)},
      {"status bar", Of("TStatusBar"), Kind(K::StatusBar)},
      {"status bar without xcStatusBar", Of("TStatusBar"), {}, SkinBit(xcStatusBar)},
  };
  for (const TCase& c : cases) {
    const TSkinMappingSettings settings{kDefaultSkinControls & ~c.membersOff, c.classMap, c.skinHasTabs};
    EXPECT_EQ(MapSkinControl(c.control, settings), c.expected) << c.what;
  }
}

}  // namespace
