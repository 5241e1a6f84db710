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

TEST(FormLayout, TheLayoutsClientSizeHoldsWhateverFrameTheWindowGets) {
  class TEdgedForm : public TTestForm {
  public:
    using TTestForm::TTestForm;

  protected:
    // A frame other than the one the outer size is computed with.
    void CreateParams(TCreateParams& p) override {
      TTestForm::CreateParams(p);
      p.ExStyle |= WS_EX_CLIENTEDGE;
    }
  };
  TEdgedForm form(nullptr, kForm);
  form.HandleNeeded();
  EXPECT_EQ(form.ClientRect(), TRect(0, 0, 300, 200));
}

TEST(FormLayout, AtTwiceTheDpiEverythingInPixelsDoublesAndControlsAddedLaterFollow) {
  TTestForm form(nullptr, kForm);
  auto* label = dynamic_cast<TLabel*>(form.FindComponent("Label1"));
  auto* panel = dynamic_cast<TPanel*>(form.FindComponent("Panel1"));
  auto* button = dynamic_cast<TButton*>(form.FindComponent("Button1"));
  ASSERT_TRUE(label && panel && button);
  ASSERT_EQ(form.PixelsPerInch(), 96);
  form.HandleNeeded();
  const int labelWidth = label->Width();
  form.ScaleForPPI(192);
  EXPECT_EQ(form.PixelsPerInch(), 192);
  EXPECT_EQ(form.ClientWidth(), 600);
  EXPECT_EQ(form.ClientHeight(), 200 * 2);
  EXPECT_EQ(panel->BoundsRect(), Bounds(20, 80, 400, 200));
  EXPECT_EQ(button->Left(), 16);
  EXPECT_EQ(form.Font()->Height(), -26);
  EXPECT_EQ(button->Font()->Height(), -26);
  EXPECT_EQ(label->Font()->Height(), -26);
  // The label sizes itself to its text in the doubled font: about twice as wide, not four times.
  EXPECT_GT(label->Width(), labelWidth * 3 / 2);
  EXPECT_LT(label->Width(), labelWidth * 5 / 2);
  // Points are points at the form's scale.
  label->Font()->SetSize(12);
  EXPECT_EQ(label->Font()->Height(), -32);
  // A control made by code later, with the 96-DPI numbers of its code, comes out at the form's scale.
  auto* later = new TSpeedButton(&form);
  later->SetBounds(5, 6, 70, 20);
  later->SetSpacing(3);
  later->SetParent(panel);
  EXPECT_EQ(later->BoundsRect(), Bounds(10, 12, 140, 40));
  EXPECT_EQ(later->Spacing(), 6);
  EXPECT_EQ(later->Font()->Height(), -26);
  // A layout that gives the outer size rather than the client's has it scaled.
  TTestForm outer(nullptr, "object F: TTestForm\n  Width = 200\n  Height = 100\nend\n");
  outer.ScaleForPPI(192);
  EXPECT_EQ(outer.BoundsRect(), Bounds(0, 0, 400, 200));
  form.ScaleForPPI(96);
  EXPECT_EQ(form.ClientWidth(), 300);
  EXPECT_EQ(panel->BoundsRect(), Bounds(10, 40, 200, 100));
  EXPECT_EQ(later->BoundsRect(), Bounds(5, 6, 70, 20));
}

TEST(FormLayout, AMoveToAMonitorOfTheScaleItIsLaidOutForTakesTheSuggestedPlaceAndKeepsTheClientArea) {
  TTestForm form(nullptr, kForm);
  const int dpi = form.PixelsPerInch();
  RECT before{};
  GetWindowRect(form.Handle(), &before);
  const TRect client = form.ClientRect();
  // The system scales the window with the frame of the DPI it leaves: a size that is not the form's.
  const RECT suggested{before.left + 40, before.top + 30, before.left + 40 + (before.right - before.left) * 3 / 2,
                       before.top + 30 + (before.bottom - before.top) * 3 / 2};
  SendMessageW(form.Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
  RECT after{};
  GetWindowRect(form.Handle(), &after);
  EXPECT_EQ(after.left, suggested.left);
  EXPECT_EQ(after.top, suggested.top);
  EXPECT_EQ(form.ClientRect(), client);
  EXPECT_EQ(form.PixelsPerInch(), dpi);
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

namespace {

class TReaderForm : public TForm {
public:
  TReaderForm(TComponent* owner, const std::string& layout) : TForm(owner) { InitializeForm(layout); }
};

std::string ErrorOf(const std::string& layout) {
  try {
    TReaderForm form(nullptr, layout);
  } catch (const Exception& e) {
    return e.Message();
  }
  return "";
}

TEST(FormLayout, ValuesOfTheWrongShapeAreRefusedWithTheirPlace) {
  EXPECT_EQ(ErrorOf("object F: TForm\n  object L: TLabel\n    Captionn = 'x'\n  end\nend\n"),
            "Error reading L.Captionn: Property Captionn does not exist in TLabel");
  EXPECT_NE(ErrorOf("object F: TForm\n  Caption = ( 'a' 'b' )\nend\n").find("F.Caption"), std::string::npos);
  EXPECT_NE(ErrorOf("object F: TForm\n  Font = 'Arial'\nend\n").find("F.Font"), std::string::npos);
  EXPECT_NE(ErrorOf("object F: TForm\n  Width = 'wide'\nend\n").find("F.Width"), std::string::npos);
  EXPECT_NE(ErrorOf("object F: TForm\n  Icon.Data = file('x.ico')\nend\n").find("must be expanded"), std::string::npos);
  EXPECT_NE(ErrorOf("object F: TForm\n  Icon.Data = 'text'\nend\n").find("Binary data expected"), std::string::npos);
  EXPECT_NE(ErrorOf("object F: TForm\n  OnShow = 'FormShow'\nend\n").find("F.OnShow"), std::string::npos);
  EXPECT_NE(ErrorOf("object F: TForm\n  object L: TLabel\n    object B: TButton\n    end\n  end\nend\n").find("cannot be placed"),
            std::string::npos);
  EXPECT_NE(ErrorOf("object F: TForm\n  object T: TTabSheet\n  end\nend\n").find("page control"), std::string::npos);
  EXPECT_NE(ErrorOf("object F: TForm\n  object I: TMenuItem\n  end\nend\n").find("menu"), std::string::npos);
  EXPECT_NE(ErrorOf("object F: TForm\n  object A: TLabel\n  end\n  object A: TLabel\n  end\nend\n").find("already exists"),
            std::string::npos);
  EXPECT_NE(ErrorOf("object F: TForm\n  Caption = 'unterminated\nend\n").find("Line 2"), std::string::npos);
}

TEST(FormLayout, ListsReferencesAndLoadingOrder) {
  TReaderForm form(nullptr, R"(object F: TForm
  ActiveControl = Edit1
  object Memo1: TMemo
    Lines.Strings = (
      'one'
      'two')
    PopupMenu = nil
  end
  object Edit1: TEdit
    Text = 'typed'
  end
  object Timer1: TTimer
    Interval = 50
  end
  object Label1: TLabel
    Caption = 'long enough text'
  end
end
)");
  EXPECT_EQ(static_cast<TMemo*>(form.FindComponent("Memo1"))->Lines(), (std::vector<std::string>{"one", "two"}));
  EXPECT_EQ(form.ActiveControl(), form.FindComponent("Edit1"));
  EXPECT_EQ(static_cast<TEdit*>(form.FindComponent("Edit1"))->Text(), "typed");
  // Auto-sizing waits for the whole layout, then follows the caption and font.
  auto* label = static_cast<TLabel*>(form.FindComponent("Label1"));
  EXPECT_GT(label->Width(), 65);
  EXPECT_FALSE(label->Loading());
  EXPECT_FALSE(form.Loading());
}

TEST(FormLookup, WindowsLeadToTheirForm) {
  auto form = std::make_unique<TForm>(nullptr);
  auto* panel = new TPanel(form.get());
  panel->SetParent(form.get());
  HWND foreign = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 5, 5, panel->Handle(), nullptr, nullptr, nullptr);
  HWND loose = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 5, 5, form->Handle(), nullptr, nullptr, nullptr);
  EXPECT_EQ(FindForm(form->Handle()), form.get());
  EXPECT_EQ(FindForm(panel->Handle()), nullptr);
  EXPECT_EQ(FindParentForm(panel->Handle()), form.get());
  EXPECT_EQ(FindParentForm(foreign), form.get());
  EXPECT_EQ(FindParentForm(loose), nullptr) << "an owned popup is not part of its owner";
  EXPECT_EQ(FindForm(nullptr), nullptr);
  DestroyWindow(loose);
  HWND formWindow = form->Handle();
  form.reset();
  EXPECT_EQ(FindForm(formWindow), nullptr);
}

}  // namespace
