#pragma once
// Which control skinner a control gets, decided on a plain description of the control so that the
// rules and their order hold without any window.
//
// The rules, in order:
// 1. The skin data's class map: the first line whose class (before "=") is the control's class,
//    compared without case, names a kind (at most 50 characters after "=", without case). "nil"
//    means never. A kind whose SkinControls member is off, or that we do not know, leaves the
//    decision to the rules below.
// 2. A few classes of other libraries are never skinned.
// 3. The built-in rules: the first one that holds for the control and whose SkinControls member is
//    on decides. A bitmap button stops at its own rule even with xcBitBtn off, so it is never drawn
//    as a plain push button without its glyph.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "skin/model/SkinnerKind.h"

// The kinds of control the rules tell apart. A bitmap button is also a push button, a memo also an
// edit, for the rules that name the wider kind.
enum class TControlCategory {
  Other,
  PageControl,
  OtherTabControl,
  TabSheet,
  CheckBox,
  RadioButton,
  GroupBox,
  DateTimePicker,
  BitButton,
  SpeedButton,
  Panel,
  Memo,
  PushButton,
  Edit,  // spin edits included
  EmbeddedForm,
};

struct TControlDescription {
  std::string ClassName;
  TControlCategory Category = TControlCategory::Other;
  // Page controls: the row is drawn as tabs rather than as buttons.
  bool TabStyle = true;
  // Date-time pickers.
  bool UpDownMode = false;
  bool ShowsTime = false;
  bool HasWindowScrollBars = false;
  // Published properties, for controls that have them.
  std::optional<int> NumButtons;
  std::optional<std::string> Kind;
};

struct TSkinMappingSettings {
  uint32_t SkinControls = 0;  // SkinBit(xc...) members
  std::vector<std::string> ClassMap;
  bool SkinHasTabs = false;
};

struct TControlMapping {
  TSkinnerKind Kind = TSkinnerKind::None;
  int Mode = 0;
  // The control's own controls are visited before it gets its skinner, so that its skinner paints
  // over theirs; any other control's are visited after it.
  bool ChildrenFirst = false;
  // The control's "Transparent" property, when it has one, is to be set to True.
  bool SetTransparent = false;
  // Each child control gets a skinner of this kind (only those with window scroll bars, when so
  // marked), before the control's own skinner when ChildrenFirst, else after it.
  TSkinnerKind ChildKind = TSkinnerKind::None;
  bool OnlyChildrenWithScrollBars = false;
  // The class map says "nil", or the class is one of those never skinned.
  bool Never = false;

  friend bool operator==(const TControlMapping&, const TControlMapping&) = default;
};

TControlMapping MapSkinControl(const TControlDescription& control, const TSkinMappingSettings& settings);
