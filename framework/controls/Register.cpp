#include "framework/controls/Register.h"

#include "framework/controls/Buttons.h"
#include "framework/controls/ComCtrls.h"
#include "framework/controls/ExtCtrls.h"
#include "framework/controls/ImgList.h"
#include "framework/controls/MainMenu.h"
#include "framework/controls/Menus.h"
#include "framework/controls/OleCtrls.h"
#include "framework/controls/Spin.h"
#include "framework/controls/StdCtrls.h"
#if defined(BREVIN_WITH_JPEG)
#include "framework/graphics/JPEGImage.h"
#endif

void RegisterStandardClasses() {
  for (const TClassInfo* info : {
           &TLabel::StaticClassInfo(),      &TButton::StaticClassInfo(),     &TBitBtn::StaticClassInfo(),
           &TSpeedButton::StaticClassInfo(), &TCheckBox::StaticClassInfo(),  &TRadioButton::StaticClassInfo(),
           &TGroupBox::StaticClassInfo(),   &TEdit::StaticClassInfo(),       &TMemo::StaticClassInfo(),
           &TPanel::StaticClassInfo(),      &TBevel::StaticClassInfo(),      &TImage::StaticClassInfo(),
           &TTimer::StaticClassInfo(),      &TPopupMenu::StaticClassInfo(),  &TMenuItem::StaticClassInfo(),
           &TMainMenu::StaticClassInfo(),
           &TImageList::StaticClassInfo(),  &TPageControl::StaticClassInfo(), &TTabSheet::StaticClassInfo(),
           &TDateTimePicker::StaticClassInfo(), &TSpinEdit::StaticClassInfo(), &TActiveXControl::StaticClassInfo(),
       })
    RegisterComponentClass(*info);
#if defined(BREVIN_WITH_JPEG)
  RegisterJpegPictureFormat();
#endif
}
