#include <gtest/gtest.h>

#include "framework/controls/Application.h"
#include "framework/controls/Buttons.h"
#include "framework/controls/ExtCtrls.h"
#include "framework/controls/StdCtrls.h"

namespace {

class TTestForm : public TForm {
public:
  BREVIN_CLASS_INFO()
  explicit TTestForm(TComponent* owner, std::string_view layout) : TForm(owner) {
    Handler("FormShow", &TTestForm::FormShow);
    Handler("FormClose", &TTestForm::FormClose);
    Handler("Button1Click", &TTestForm::Button1Click);
    Handler("FormKeyDown", &TTestForm::FormKeyDown);
    InitializeForm(layout);
  }

  void FormShow(TObject*) { ++shows; }
  void FormClose(TObject*, TCloseAction& action) { action = closeAction; }
  void Button1Click(TObject* sender) { clicks.push_back(static_cast<TComponent*>(sender)->Name()); }
  void FormKeyDown(TObject*, uint16_t& key, TShiftState) {
    keys.push_back(key);
    if (swallowKeys) key = 0;
  }

  int shows = 0;
  TCloseAction closeAction = TCloseAction::caHide;
  std::vector<std::string> clicks;
  std::vector<uint16_t> keys;
  bool swallowKeys = false;
};

const TClassInfo& TTestForm::StaticClassInfo() {
  static const TClassInfo info("TTestForm", &TForm::StaticClassInfo());
  return info;
}

const char* const kForm = R"(object TestForm: TTestForm
  Caption = 'Test'
  ClientWidth = 300
  ClientHeight = 200
  BorderStyle = bsSingle
  BorderIcons = [biSystemMenu]
  OnShow = FormShow
  OnClose = FormClose
  Font.Name = 'Tahoma'
  Font.Height = -13
  object Label1: TLabel
    Left = 10
    Top = 12
    Caption = 'Hello'
    Font.Style = [fsBold]
    Font.Color = clRed
    Transparent = True
  end
  object Panel1: TPanel
    Left = 10
    Top = 40
    Width = 200
    Height = 100
    BevelOuter = bvLowered
    object Button1: TButton
      Left = 8
      Top = 8
      Caption = 'Go'
      OnClick = Button1Click
    end
    object Check1: TCheckBox
      Left = 8
      Top = 40
      Caption = 'Lock'
      Checked = True
    end
  end
end
)";

TEST(FormLayout, PropertiesNestingAndHandlersComeFromTheLayout) {
  TTestForm form(nullptr, kForm);
  EXPECT_EQ(form.Name(), "TestForm");
  EXPECT_EQ(form.Caption(), "Test");
  EXPECT_EQ(form.ClientWidth(), 300);
  auto* label = dynamic_cast<TLabel*>(form.FindComponent("Label1"));
  auto* panel = dynamic_cast<TPanel*>(form.FindComponent("Panel1"));
  auto* button = dynamic_cast<TButton*>(form.FindComponent("Button1"));
  auto* check = dynamic_cast<TCheckBox*>(form.FindComponent("Check1"));
  ASSERT_TRUE(label && panel && button && check);
  EXPECT_EQ(label->Parent(), &form);
  EXPECT_EQ(button->Parent(), panel);
  EXPECT_EQ(button->Owner(), &form);
  EXPECT_TRUE(label->Transparent());
  EXPECT_EQ(label->Font()->Color(), clRed);
  EXPECT_EQ(label->Font()->Style(), fsBold);
  // Children that did not set a font take their parent's.
  EXPECT_EQ(button->Font()->Name(), "Tahoma");
  EXPECT_EQ(button->Font()->Height(), -13);
  EXPECT_TRUE(check->Checked());
  ASSERT_TRUE(button->OnClick);
  button->OnClick(button);
  EXPECT_EQ(form.clicks, (std::vector<std::string>{"Button1"}));
  // The window gets the layout's client size once it exists.
  form.HandleNeeded();
  EXPECT_EQ(form.ClientWidth(), 300);
  EXPECT_EQ(form.ClientHeight(), 200);
  EXPECT_EQ(GetPropValue(form, "BorderIcons"), "[biSystemMenu]");
}

TEST(FormLayout, UnknownNamesAreErrorsThatNameThem) {
  struct Case {
    const char* layout;
    const char* name;
  };
  const Case cases[] = {
      {"object F: TTestForm\n  Captionn = 'x'\nend\n", "Captionn"},
      {"object F: TTestForm\n  object A: TNoSuchClass\n  end\nend\n", "TNoSuchClass"},
      {"object F: TTestForm\n  OnShow = NoSuchHandler\nend\n", "NoSuchHandler"},
      {"object F: TTestForm\n  object L: TLabel\n    PopupMenu = Missing1\n  end\nend\n", "Missing1"},
      {"object F: TOtherForm\nend\n", "TOtherForm"},
      {"object F: TTestForm\n  object L: TLabel\n    Alignment = taSideways\n  end\nend\n", "taSideways"},
  };
  for (const Case& c : cases) {
    try {
      TTestForm form(nullptr, c.layout);
      ADD_FAILURE() << "accepted: " << c.layout;
    } catch (const Exception& e) {
      EXPECT_NE(e.Message().find(c.name), std::string::npos) << e.Message();
    }
  }
}

}  // namespace
