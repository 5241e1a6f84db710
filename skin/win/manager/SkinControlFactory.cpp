#include "skin/win/manager/SkinControlFactory.h"

#include "skin/win/controls/SkinBitButton.h"
#include "skin/win/controls/SkinBox.h"
#include "skin/win/controls/SkinButton.h"
#include "skin/win/controls/SkinCheckBox.h"
#include "skin/win/controls/SkinComBox.h"
#include "skin/win/controls/SkinDateTime.h"
#include "skin/win/controls/SkinEdit.h"
#include "skin/win/controls/SkinGroupBox.h"
#include "skin/win/controls/SkinHeader.h"
#include "skin/win/controls/SkinMP.h"
#include "skin/win/controls/SkinMenuButton.h"
#include "skin/win/controls/SkinProgress.h"
#include "skin/win/controls/SkinRadioButton.h"
#include "skin/win/controls/SkinScrollbar.h"
#include "skin/win/controls/SkinSizer.h"
#include "skin/win/controls/SkinSpeedButton.h"
#include "skin/win/controls/SkinStatusBar.h"
#include "skin/win/tabs/SkinTab.h"
#include "skin/win/tabs/SkinTabBtn.h"
#include "skin/win/tabs/SkinTabSheet.h"
#include "skin/win/controls/SkinTrackBar.h"
#include "skin/win/controls/SkinUpDown.h"

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
    case TSkinnerKind::MenuButton:
      return std::make_unique<TSkinMenuButton>();
    case TSkinnerKind::MediaPlayer:
      return std::make_unique<TSkinMP>();
    case TSkinnerKind::Header:
      return std::make_unique<TSkinHeader>();
    case TSkinnerKind::StatusBar:
      return std::make_unique<TSkinStatusBar>();
    case TSkinnerKind::Sizer:
      return std::make_unique<TSkinSizer>();
    case TSkinnerKind::Scrollbar:
      return std::make_unique<TSkinScrollbar>();
    case TSkinnerKind::Progress:
      return std::make_unique<TSkinProgress>();
    case TSkinnerKind::TrackBar:
      return std::make_unique<TSkinTrackBar>();
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
