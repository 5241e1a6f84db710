#include "skin/win/manager/SkinControlMapping.h"

#include <charconv>
#include <optional>
#include <string>

#include "framework/controls/Buttons.h"
#include "framework/controls/ComCtrls.h"
#include "framework/controls/ExtCtrls.h"
#include "framework/controls/Forms.h"
#include "framework/controls/Spin.h"
#include "framework/controls/StdCtrls.h"
#include "skin/model/SkinControlMapping.h"
#include "skin/format/SkinRead.h"
#include "skin/win/data/SkinDataUnit.h"

namespace {

using K = TSkinnerKind;
using C = TControlCategory;

C CategoryOf(TControl& control) {
  // Derived classes before their bases: a bitmap button is a button, a memo an edit.
  if (dynamic_cast<TPageControl*>(&control)) return C::PageControl;
  if (dynamic_cast<TTabSheet*>(&control)) return C::TabSheet;
  if (dynamic_cast<TCheckBox*>(&control)) return C::CheckBox;
  if (dynamic_cast<TRadioButton*>(&control)) return C::RadioButton;
  if (dynamic_cast<TGroupBox*>(&control)) return C::GroupBox;
  if (dynamic_cast<TDateTimePicker*>(&control)) return C::DateTimePicker;
  if (dynamic_cast<TBitBtn*>(&control)) return C::BitButton;
  if (dynamic_cast<TSpeedButton*>(&control)) return C::SpeedButton;
  if (dynamic_cast<TPanel*>(&control)) return C::Panel;
  if (dynamic_cast<TMemo*>(&control)) return C::Memo;
  if (dynamic_cast<TButton*>(&control)) return C::PushButton;
  if (dynamic_cast<TCustomEdit*>(&control)) return C::Edit;
  if (dynamic_cast<TCustomForm*>(&control)) return C::EmbeddedForm;
  return C::Other;
}

bool HasWindowScrollBars(TControl& control) {
  auto* windowed = dynamic_cast<TWinControl*>(&control);
  return windowed && (GetWindowLongPtrW(windowed->Handle(), GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL)) != 0;
}

// The text of a published property; nothing for a control without it.
std::optional<std::string> Published(const TControl& control, const std::string& name) {
  const TPropInfo* info = control.ClassInfo().FindProperty(name);
  if (!info || !info->get) return std::nullopt;
  return info->get(control);
}

// A published number; a text that is no number counts as none.
std::optional<int> PublishedNumber(const TControl& control, const std::string& name) {
  const std::optional<std::string> text = Published(control, name);
  if (!text) return std::nullopt;
  int value = 0;
  const char* end = text->data() + text->size();
  const auto [stop, error] = std::from_chars(text->data(), end, value);
  if (error != std::errc() || stop != end) return std::nullopt;
  return value;
}

TControlDescription Describe(TControl& control) {
  TControlDescription d{.ClassName = control.ClassName(), .Category = CategoryOf(control)};
  if (auto* pages = dynamic_cast<TPageControl*>(&control)) d.TabStyle = pages->Style() == TTabStyle::tsTabs;
  if (auto* picker = dynamic_cast<TDateTimePicker*>(&control)) {
    d.UpDownMode = (GetWindowLongPtrW(picker->Handle(), GWL_STYLE) & DTS_UPDOWN) != 0;
    d.ShowsTime = picker->Kind() == TDateTimeKind::dtkTime;
  }
  d.HasWindowScrollBars = HasWindowScrollBars(control);
  d.NumButtons = PublishedNumber(control, "NumButtons");
  d.Kind = Published(control, "Kind");
  return d;
}

bool Contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

class TMappingWalk {
public:
  TMappingWalk(TSkinData& data, TWinControl& root) : data_(data), root_(root) {
    settings_.SkinControls = data.SkinControls();
    settings_.ClassMap = data.ClassMap();
    settings_.SkinHasTabs = data.Model().Find("Tabs") != nullptr;
  }

  std::vector<TControlSkinChoice> Run() {
    VisitChildren(root_, {});
    return std::move(choices_);
  }

private:
  bool Disabled(const TControl& control) const { return control.Tag == data_.DisableTag(); }

  void Visit(TControl& control) {
    auto* windowed = dynamic_cast<TWinControl*>(&control);
    if (Disabled(control)) {
      LeaveGroupItemsAlone(control, windowed);
      if (windowed) VisitChildren(*windowed, {});
      return;
    }
    if (windowed) windowed->HandleNeeded();
    const TControlMapping mapping = Decide(control);
    if (mapping.SetTransparent && Published(control, "Transparent")) SetPropValue(control, "Transparent", "True");
    if (windowed && mapping.ChildrenFirst) VisitChildren(*windowed, mapping);
    if (mapping.Kind != K::None) choices_.push_back({&control, mapping.Kind, mapping.Mode, nullptr});
    if (windowed && !mapping.ChildrenFirst) VisitChildren(*windowed, mapping);
  }

  // Asks the skin data's handler first; its component, when it makes one, is the whole answer.
  TControlMapping Decide(TControl& control) {
    if (data_.OnSkinControl) {
      TComponent* custom = nullptr;
      data_.OnSkinControl(&data_, &data_, &root_, &control, control.ClassName(), custom);
      if (custom) {
        choices_.push_back({&control, K::None, 0, custom});
        return {};
      }
    }
    return MapSkinControl(Describe(control), settings_);
  }

  void LeaveGroupItemsAlone(TControl& control, TWinControl* windowed) {
    const std::string className = SkinLowerCase(control.ClassName());
    if (!windowed || !(Contains(className, "radiogroup") || Contains(className, "checkgroup"))) return;
    for (int i = 0; i < windowed->ControlCount(); ++i) windowed->Controls(i)->Tag = control.Tag;
  }

  // The parent's mapping may give each child its skinner; the others are decided on their own.
  void VisitChildren(TWinControl& parent, const TControlMapping& mapping) {
    // A page not shown yet has no windows on it; they are mapped when they are made.
    if (auto* page = dynamic_cast<TTabSheet*>(&parent); page && page->ChildWindowsPending()) return;
    for (int i = 0; i < parent.ControlCount(); ++i) {
      TControl& child = *parent.Controls(i);
      if (mapping.ChildKind == K::None || Disabled(child) ||
          (mapping.OnlyChildrenWithScrollBars && !HasWindowScrollBars(child))) {
        Visit(child);
        continue;
      }
      auto* windowed = dynamic_cast<TWinControl*>(&child);
      if (windowed) windowed->HandleNeeded();
      choices_.push_back({&child, mapping.ChildKind, 0, nullptr});
      if (windowed) VisitChildren(*windowed, {});
    }
  }

  TSkinData& data_;
  TWinControl& root_;
  TSkinMappingSettings settings_;
  std::vector<TControlSkinChoice> choices_;
};

}  // namespace

std::vector<TControlSkinChoice> MapControls(TSkinData& data, TWinControl& root) {
  return TMappingWalk(data, root).Run();
}
