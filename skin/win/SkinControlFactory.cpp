#include "skin/win/SkinControlFactory.h"

#include "skin/win/SkinBitButton.h"
#include "skin/win/SkinBox.h"
#include "skin/win/SkinButton.h"
#include "skin/win/SkinCheckBox.h"
#include "skin/win/SkinComBox.h"
#include "skin/win/SkinDateTime.h"
#include "skin/win/SkinEdit.h"
#include "skin/win/SkinGroupBox.h"
#include "skin/win/SkinHeader.h"
#include "skin/win/SkinMP.h"
#include "skin/win/SkinMenuButton.h"
#include "skin/win/SkinProgress.h"
#include "skin/win/SkinRadioButton.h"
#include "skin/win/SkinScrollbar.h"
#include "skin/win/SkinSizer.h"
#include "skin/win/SkinSpeedButton.h"
#include "skin/win/SkinStatusBar.h"
#include "skin/win/SkinTab.h"
#include "skin/win/SkinTabBtn.h"
#include "skin/win/SkinTabSheet.h"
#include "skin/win/SkinTrackBar.h"
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
