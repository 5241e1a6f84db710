#include "skin/model/SkinClassMap.h"

#include "skin/format/SkinRead.h"

const std::vector<std::string>& DefaultSkinClassMap() {
  // None of these classes occurs in this program; the table lets a form that hosts them be skinned
  // like its standard neighbours. Some libraries register a class under two spellings, so a few
  // lines come twice.
  static const std::vector<std::string> table = {
      "TComboboxex=combobox",         "TControlBar=Panel",             "TExtSpeedButton=speedbutton",
      "TDBLookupCombobox=Combobox",   "TDBComboBox=combobox",          "TDBEdit=edit",
      "TDBCheckBox=Checkbox",         "TDBRadioGroup=Radiogroup",      "TDBNavigator=Panel",
      "TDBLookupComboBox=combobox",   "TMaskEdit=edit",                "TLabeledEdit=edit",
      "TButtonedEdit=edit",           "TColorBox=combobox",            "TFlatButton=button",
      "TFlatSpeedButton=speedbutton", "TFlatCheckBox=Checkbox",        "TFlatRadioButton=Radiobutton",
      "TFlatEdit=edit",               "TFlatComboBox=combobox",        "TFlatGroupBox=groupbox",
      "TFlatPanel=panel",             "TFlatScrollBar=scrollbar",      "TXPButton=button",
      "TXPBitBtn=bitbtn",             "TXPSpeedButton=speedbutton",    "TXPCheckBox=Checkbox",
      "TXPRadioButton=Radiobutton",   "TXPEdit=edit",                  "TXPComboBox=combobox",
      "TXPGroupBox=groupbox",         "TXPPanel=panel",                "TPngBitBtn=pngbitbtn",
      "TPngSpeedButton=speedbutton",  "TPngButton=pngbitbtn",          "TImageButton=bitbtn",
      "TGlyphButton=bitbtn",          "TColorButton=button",           "TColorSpeedButton=speedbutton",
      "TMenuButton=menubtn",          "TDropDownButton=menubtn",       "TPopupButton=menubtn",
      "TSplitButton=menubtn",         "TToolMenuButton=menubtn",       "TCheckGroup=CheckGroup",
      "TCheckBoxGroup=CheckGroup",    "TDBCheckGroup=CheckGroup",      "TRadioGroupBox=radiogroup",
      "TButtonGroupBox=radiogroup",   "TOptionGroup=Radiogroup",       "TDBOptionGroup=Radiogroup",
      "TNumberEdit=edit",             "TCurrencyEdit=edit",            "TFloatEdit=edit",
      "TIntegerEdit=edit",            "TCalcEdit=edit",                "TDateEdit=edit",
      "TFilenameEdit=edit",           "TDirectoryEdit=edit",           "TComboEdit=edit",
      "THotKeyEdit=edit",             "TIPAddressEdit=edit",           "TSearchEdit=edit",
      "TFontComboBox=combobox",       "TColorComboBox=combobox",       "TDriveComboBox=combobox",
      "TFilterComboBox=combobox",     "TImageComboBox=combobox",       "TCheckComboBox=combobox",
      "TValueComboBox=combobox",      "THistoryComboBox=combobox",     "TCaptionPanel=Panel",
      "TGradientPanel=panel",         "TShadowPanel=panel",            "TRoundPanel=panel",
      "TImagePanel=panel",            "TSplitterPanel=panel",          "TDockPanel=Panel",
      "TToolPanel=Panel",             "TStatusPanel=panel",            "THeaderPanel=panel",
      "TCaptionGroupBox=Groupbox",    "TCheckGroupBox=Groupbox",       "TRadioGroupBox=radiogroup",
      "TFramedGroupBox=groupbox",     "TBevelGroupBox=groupbox",       "TLinkButton=button",
      "TCommandButton=button",        "TDefaultButton=button",         "TOKButton=bitbtn",
      "TCancelButton=bitbtn",         "THelpButton=bitbtn",            "TCloseButton=bitbtn",
      "TArrowButton=speedbutton",     "TNavButton=speedbutton",        "TToolButtonEx=speedbutton",
      "TStateButton=speedbutton",     "TToggleButton=speedbutton",     "TStickyButton=speedbutton",
      "TAdvCheckBox=Checkbox",        "TTriStateCheckBox=Checkbox",    "TLabelCheckBox=Checkbox",
      "TImageCheckBox=Checkbox",      "TAdvRadioButton=Radiobutton",   "TLabelRadioButton=Radiobutton",
      "TImageRadioButton=Radiobutton", "TScrollBarEx=scrollbar",       "TFlatScrollBar=scrollbar",
      "TSkinnableScrollBar=scrollbar", "TTrackScrollBar=scrollbar",    "TDBMemoEdit=edit",
      "TDBMaskEdit=edit",             "TDBDateEdit=edit",              "TDBCalcEdit=edit",
      "TComboboxex=combobox",         "TControlBar=Panel",             "TCoolPanel=Panel",
  };
  return table;
}

std::string SkinClassMapKind(const std::string& line) {
  const size_t equals = line.find('=');
  return equals == std::string::npos ? std::string() : SkinLowerCase(line.substr(equals + 1));
}
