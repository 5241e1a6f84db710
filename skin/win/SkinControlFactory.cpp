#include "skin/win/SkinControlFactory.h"

#include "skin/win/SkinBitButton.h"
#include "skin/win/SkinBox.h"
#include "skin/win/SkinButton.h"
#include "skin/win/SkinCheckBox.h"
#include "skin/win/SkinComBox.h"
#include "skin/win/SkinDateTime.h"
#include "skin/win/SkinEdit.h"
#include "skin/win/SkinGroupBox.h"
#include "skin/win/SkinRadioButton.h"
#include "skin/win/SkinSpeedButton.h"
#include "skin/win/SkinTab.h"
#include "skin/win/SkinTabBtn.h"
#include "skin/win/SkinTabSheet.h"
#include "skin/win/SkinUpDown.h"

std::unique_ptr<TSkinControl> MakeControlSkinner(const TControlSkinChoice& choice) {
  switch (choice.Kind) {
    case TSkinnerKind::Button:
      return std::make_unique<TSkinButton>();
    case TSkinnerKind::BitButton:
      return std::make_unique<TSkinBitButton>();
    case TSkinnerKind::CheckBox:
      return std::make_unique<TSkinCheckBox>();
    case TSkinnerKind::RadioButton:
      return std::make_unique<TSkinRadioButton>();
    case TSkinnerKind::SpeedButton:
      return std::make_unique<TSkinSpeedButton>();
    case TSkinnerKind::GroupBox:
      return std::make_unique<TSkinGroupBox>();
    case TSkinnerKind::Box:
      return std::make_unique<TSkinBox>();
    case TSkinnerKind::Tab:
      return std::make_unique<TSkinTab>();
    case TSkinnerKind::TabButtons:
      return std::make_unique<TSkinTabBtn>();
    case TSkinnerKind::TabSheet:
      return std::make_unique<TSkinTabSheet>();
    case TSkinnerKind::Edit:
      return std::make_unique<TSkinEdit>();
    case TSkinnerKind::UpDown:
      return std::make_unique<TSkinUpDown>();
    case TSkinnerKind::ComBox:
      return std::make_unique<TSkinComBox>();
    case TSkinnerKind::DateTime:
      return std::make_unique<TSkinDateTime>();
    default:
      return nullptr;
  }
}
