#include "skin/model/SkinControlMapping.h"

#include <algorithm>
#include <initializer_list>
#include <string_view>

#include "skin/format/SkinRead.h"
#include "skin/model/SkinSettings.h"

namespace {

using K = TSkinnerKind;
using C = TControlCategory;

constexpr size_t kClassMapKindLength = 50;

bool IsClass(const TControlDescription& control, std::initializer_list<std::string_view> lowerNames) {
  const std::string name = SkinLowerCase(control.ClassName);
  return std::find(lowerNames.begin(), lowerNames.end(), name) != lowerNames.end();
}

bool Contains(const std::string& text, std::string_view part) { return text.find(part) != std::string::npos; }

constexpr TControlMapping Skinner(K kind, int mode = 0) { return {.Kind = kind, .Mode = mode}; }

// A class-map kind: the member it needs (0: none) and its answer.
struct TMappedKind {
  std::string_view name;
  uint32_t member;
  bool needsTabs;
  TControlMapping answer;
};

// Group controls of other libraries: a glyph skinner for each item, then the group's frame.
constexpr TControlMapping Group(K itemKind) {
  return {.Kind = K::GroupBox, .ChildrenFirst = true, .ChildKind = itemKind};
}

constexpr TMappedKind kMappedKinds[] = {
    {"nil", 0, false, {.Never = true}},
    {"combobox", SkinBit(xcCombo), false, Skinner(K::ComBox)},
    {"edit", SkinBit(xcEdit), false, Skinner(K::Edit)},
    {"radiobutton", SkinBit(xcRadioButton), false, Skinner(K::RadioButton)},
    {"panel", SkinBit(xcPanel), false, {.Kind = K::Box, .Mode = 1, .SetTransparent = true}},
    {"trackbar", SkinBit(xcButton), false, {.Kind = K::TrackBar, .SetTransparent = true}},
    {"button", SkinBit(xcButton), false, Skinner(K::Button)},
    {"datetimepicker", SkinBit(xcCombo), false, Skinner(K::DateTime)},
    {"mediaplayer", SkinBit(xcButton), false, Skinner(K::MediaPlayer)},
    {"bitbtn", SkinBit(xcButton), false, Skinner(K::BitButton)},
    {"pngbitbtn", SkinBit(xcButton), false, Skinner(K::PngBitButton)},
    {"menubtn", SkinBit(xcButton), false, Skinner(K::MenuButton)},
    {"speedbutton", SkinBit(xcSpeedButton), false, Skinner(K::SpeedButton)},
    {"tab", SkinBit(xcTab), true, Skinner(K::Tab)},
    {"progress", SkinBit(xcProgress), false, Skinner(K::Progress)},
    {"scrollbar", SkinBit(xcScrollbar), false, Skinner(K::Scrollbar)},
    {"singlescrollbar", SkinBit(xcScrollbar), false, Skinner(K::Scrollbar)},
    {"embedscrollbar", SkinBit(xcScrollbar), false, {.ChildKind = K::Scrollbar, .OnlyChildrenWithScrollBars = true}},
    {"container", 0, false, {.ChildrenFirst = true}},
    {"groupbox", SkinBit(xcGroupBox), false, Skinner(K::GroupBox)},
    {"advpagecontrol", SkinBit(xcTab), false, Skinner(K::AdvPage)},
    {"radiogroup", SkinBit(xcGroupBox), false, Group(K::RadioButton)},
    {"checkgroup", SkinBit(xcGroupBox), false, Group(K::CheckBox)},
    {"checkbox", SkinBit(xcCheckBox), false, Skinner(K::CheckBox)},
};

bool Allowed(uint32_t member, bool needsTabs, const TSkinMappingSettings& settings) {
  return (settings.SkinControls & member) == member && (!needsTabs || settings.SkinHasTabs);
}

std::optional<TControlMapping> FromClassMap(const TControlDescription& control, const TSkinMappingSettings& settings) {
  const std::string className = SkinLowerCase(control.ClassName);
  for (const std::string& line : settings.ClassMap) {
    const size_t equals = line.find('=');
    if (equals == std::string::npos || SkinLowerCase(line.substr(0, equals)) != className) continue;
    const std::string kind = SkinLowerCase(line.substr(equals + 1, kClassMapKindLength));
    const auto mapped = std::find_if(std::begin(kMappedKinds), std::end(kMappedKinds),
                                     [&kind](const TMappedKind& k) { return k.name == kind; });
    if (mapped == std::end(kMappedKinds) || !Allowed(mapped->member, mapped->needsTabs, settings))
      return std::nullopt;
    TControlMapping answer = mapped->answer;
    if (kind == "bitbtn" && className == "tcxbutton" && control.Kind &&
        SkinLowerCase(*control.Kind) == "cxbkdropdownbutton")
      answer.Kind = K::MenuButton;
    // Raize groups draw their items from glyphs of their own.
    if ((kind == "radiogroup" || kind == "checkgroup") && Contains(className, "trz")) answer.ChildKind = K::ObjImage;
    return answer;
  }
  return std::nullopt;
}

// The control's class is one of these (lower-case) names.
template <size_t N>
struct TName {
  constexpr TName(const char (&name)[N]) { std::copy_n(name, N, text); }
  char text[N];
};
template <TName... names>
bool Named(const TControlDescription& control) {
  return IsClass(control, {names.text...});
}
template <C category>
bool Is(const TControlDescription& control) {
  return control.Category == category;
}
template <C category, C wider>
bool IsEither(const TControlDescription& control) {
  return control.Category == category || control.Category == wider;
}

struct TBuiltInRule {
  bool (*holds)(const TControlDescription&);
  uint32_t member;
  bool needsTabs;
  TControlMapping answer;
  // Without its member the rule still decides, and the control gets nothing.
  bool decidesAlone = false;
};

constexpr TBuiltInRule kBuiltInRules[] = {
    {[](const TControlDescription& c) { return c.Category == C::PageControl && c.TabStyle; }, SkinBit(xcTab), true,
     Skinner(K::Tab)},
    {&Is<C::PageControl>, SkinBit(xcTab), true, Skinner(K::TabButtons)},
    {&Is<C::OtherTabControl>, SkinBit(xcTab), true, Skinner(K::Tab, 2)},
    {&Named<"ttabset">, SkinBit(xcTab), true, Skinner(K::Tab31)},
    {&Is<C::TabSheet>, SkinBit(xcTab), true, Skinner(K::TabSheet)},
    {&Named<"ttabbednotebook">, SkinBit(xcTab), true, Skinner(K::Tab)},
    {&Is<C::CheckBox>, SkinBit(xcCheckBox), false, Skinner(K::CheckBox)},
    {&Named<"tupdown", "tspinbutton">, SkinBit(xcSpin), false, Skinner(K::UpDown)},
    {&Named<"tmediaplayer">, SkinBit(xcButton), false, Skinner(K::MediaPlayer)},
    // The navigator's buttons are speed buttons it makes itself.
    {&Named<"tdbnavigator">, SkinBit(xcPanel), false, {.Kind = K::Box, .Mode = 1, .ChildKind = K::SpeedButton}},
    {&Named<"trzdbcheckbox", "trzcheckbox", "tcxdbcheckbox", "tcxcheckbox">, SkinBit(xcCheckBox), false,
     Skinner(K::CheckBox)},
    {&Named<"trzradiobutton", "trzdbradiobutton">, SkinBit(xcRadioButton), false, Skinner(K::RadioButton)},
    {&Is<C::GroupBox>, SkinBit(xcPanel), false, {.Kind = K::GroupBox, .ChildrenFirst = true}},
    {&Is<C::RadioButton>, SkinBit(xcRadioButton), false, Skinner(K::RadioButton)},
    {&Named<"ttntcombobox">, SkinBit(xcCombo), false, Skinner(K::ComBox)},
    // Up-down and time pickers have no drop-down button to draw: they are framed like edits.
    {[](const TControlDescription& c) { return c.Category == C::DateTimePicker && (c.UpDownMode || c.ShowsTime); },
     SkinBit(xcEdit), false, Skinner(K::Edit)},
    {&Is<C::DateTimePicker>, SkinBit(xcEdit), false, Skinner(K::DateTime)},
    {&Named<"trichedit">, SkinBit(xcScrollbar), false, Skinner(K::Scrollbar)},
    {&Is<C::BitButton>, SkinBit(xcBitBtn), false, Skinner(K::BitButton), true},
    {&Is<C::SpeedButton>, SkinBit(xcSpeedButton), false, Skinner(K::SpeedButton)},
    {&Is<C::Panel>, SkinBit(xcPanel), false, {.Kind = K::Box, .Mode = 1, .ChildrenFirst = true}},
    {&Is<C::Memo>, SkinBit(xcScrollbar), false, Skinner(K::Scrollbar)},
    {[](const TControlDescription& c) { return c.HasWindowScrollBars; }, SkinBit(xcScrollbar), false,
     Skinner(K::Scrollbar)},
    {&IsEither<C::PushButton, C::BitButton>, SkinBit(xcButton), false, Skinner(K::Button)},
    {&IsEither<C::Edit, C::Memo>, SkinBit(xcEdit), false, Skinner(K::Edit)},
    {&Is<C::EmbeddedForm>, 0, false, Skinner(K::Box, 1)},
    {[](const TControlDescription& c) { return c.NumButtons == 1; }, SkinBit(xcCombo), false, Skinner(K::ComBox)},
    {[](const TControlDescription& c) { return c.NumButtons == 0; }, SkinBit(xcEdit), false, Skinner(K::Edit)},
    {[](const TControlDescription& c) {
       const std::string name = SkinLowerCase(c.ClassName);
       return (name.starts_with("tdx") && Contains(name, "treelist")) || Named<"twwdbrichedit", "tdxdbmemo">(c);
     },
     SkinBit(xcScrollbar), false, Skinner(K::Scrollbar)},
    // A header's items are pressed like buttons.
    {&Named<"theadercontrol", "theader">, SkinBit(xcButton), false, Skinner(K::Header)},
    {&Named<"tstatusbar">, SkinBit(xcStatusBar), false, Skinner(K::StatusBar)},
};

}  // namespace

TControlMapping MapSkinControl(const TControlDescription& control, const TSkinMappingSettings& settings) {
  if (std::optional<TControlMapping> mapped = FromClassMap(control, settings)) return *mapped;
  if (Named<"tdbcomboboxeh", "tfrdesignerpage", "tfrpbox">(control)) return {.Never = true};
  for (const TBuiltInRule& rule : kBuiltInRules) {
    if (!rule.holds(control)) continue;
    if (Allowed(rule.member, rule.needsTabs, settings)) return rule.answer;
    if (rule.decidesAlone) return {};
  }
  return {};
}
