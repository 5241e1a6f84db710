#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/controls/Buttons.h"
#include "framework/controls/ExtCtrls.h"
#include "framework/controls/Forms.h"
#include "framework/controls/tests/GuiObjectCount.h"
#include "framework/controls/tests/MessagePump.h"
#include "framework/win32/Handles.h"
#include "skin/win/controls/SkinBitButton.h"
#include "skin/win/controls/SkinButton.h"
#include "skin/win/controls/SkinCheckBox.h"
#include "skin/win/manager/SkinControlFactory.h"
#include "skin/win/data/SkinDataUnit.h"
#include "skin/win/controls/SkinGroupBox.h"
#include "skin/win/controls/SkinRadioButton.h"
#include "skin/win/controls/SkinSpeedButton.h"
#include "skin/win/tests/SkinPixels.h"

namespace {

constexpr const char* kSkinFile = "skin-win-test-velskin.skn";

class TControlsForm : public TForm {
public:
  BREVIN_CLASS_INFO()
  TControlsForm() : TForm(nullptr) {
    InitializeForm(
        "object ControlsForm: TControlsForm\n  Left = 60\n  Top = 40\n  ClientWidth = 300\n  ClientHeight = 200\n"
        "  object Button1: TButton\n    Left = 10\n    Top = 10\n    Width = 90\n    Height = 30\n"
        "    Caption = 'Rest'\n  end\n"
        "  object CheckBox1: TCheckBox\n    Left = 10\n    Top = 50\n    Width = 120\n    Caption = 'Lock'\n  end\n"
        "  object RadioButton1: TRadioButton\n    Left = 10\n    Top = 80\n    Width = 120\n    Caption = 'A'\n  end\n"
        "  object RadioButton2: TRadioButton\n    Left = 10\n    Top = 100\n    Width = 120\n    Caption = 'B'\n  end\n"
        "  object Panel1: TPanel\n    Left = 150\n    Top = 10\n    Color = clRed\n    ParentBackground = True\n  end\n"
        "end\n");
  }
  template <typename T>
  T& Find(const char* name) {
    return *static_cast<T*>(FindComponent(name));
  }
};

const TClassInfo& TControlsForm::StaticClassInfo() {
  static const TClassInfo info("TControlsForm", &TForm::StaticClassInfo());
  return info;
}

// What the control shows with its background, as a parent painting it into a picture gets it.
COLORREF PaintedToPixel(TWinControl& control, int x, int y) {
  WindowDC screen(control.Handle());
  UniqueMemoryDC dc(CreateCompatibleDC(screen.get()));
  UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), control.Width(), control.Height()));
  const SelectedObject selected(dc.get(), bitmap.get());
  control.PaintTo(dc.get(), 0, 0);
  return GetPixel(dc.get(), x, y);
}

class SkinControl : public ::testing::Test {
protected:
  void SetUp() override {
    data.OnReaderMessage = [](const std::string&) {};
    data.SetSkinFile(kSkinFile);
    ASSERT_FALSE(data.LoadingSkin());
    form = std::make_unique<TControlsForm>();
    form->Show();
    SetForegroundWindow(form->Handle());
    Pump(30);
  }

  TButton& Button() { return form->Find<TButton>("Button1"); }
  TCheckBox& Check() { return form->Find<TCheckBox>("CheckBox1"); }

  // The pixel a corner of the "Buttons" frame shows: corners are copied 1:1.
  COLORREF ButtonCorner(int frame) const {
    const TDataSkinButton& object = data.Model().Buttons();
    return AsColorRef(object.Image.Pixel(object.FrameRect(frame).Left + 3, 3));
  }

  TSkinData data{nullptr};
  std::unique_ptr<TControlsForm> form;
};

TEST_F(SkinControl, OneClickPerPressAndReleaseOverTheButtonNoneAfterLeavingIt) {
  TSkinButton skinner;
  skinner.Attach(nullptr, data, 0, Button());
  int clicks = 0;
  Button().OnClick = [&](TObject*) { ++clicks; };
  HWND button = Button().Handle();

  Mouse(button, WM_MOUSEMOVE, 20, 10);
  Mouse(button, WM_LBUTTONDOWN, 20, 10, MK_LBUTTON);
  EXPECT_EQ(skinner.Frame(), 2);
  EXPECT_EQ(PaintedPixel(button, 3, 3), ButtonCorner(2));
  Mouse(button, WM_LBUTTONUP, 20, 10);
  Pump(30);
  EXPECT_EQ(clicks, 1);

  // Left while held, released back over the button.
  Mouse(button, WM_LBUTTONDOWN, 20, 10, MK_LBUTTON);
  SendMessageW(button, WM_MOUSELEAVE, 0, 0);
  EXPECT_NE(skinner.Frame(), 2);
  Mouse(button, WM_LBUTTONUP, 20, 10);
  // Moved out while held and released outside.
  Mouse(button, WM_LBUTTONDOWN, 20, 10, MK_LBUTTON);
  Mouse(button, WM_MOUSEMOVE, -30, 10, MK_LBUTTON);
  Mouse(button, WM_LBUTTONUP, -30, 10);
  Pump(30);
  EXPECT_EQ(clicks, 1);
}

TEST_F(SkinControl, TheKeyboardStillWorksAndFocusShows) {
  TSkinButton skinner;
  skinner.Attach(nullptr, data, 0, Button());
  int clicks = 0;
  Button().OnClick = [&](TObject*) { ++clicks; };
  Button().SetFocus();
  Pump(20);
  ASSERT_TRUE(Button().Focused());
  EXPECT_EQ(skinner.Frame(), 5);
  EXPECT_EQ(PaintedPixel(Button().Handle(), 3, 3), ButtonCorner(5));
  SendMessageW(Button().Handle(), WM_KEYDOWN, VK_SPACE, 0x00390001);
  EXPECT_EQ(skinner.Frame(), 2);
  SendMessageW(Button().Handle(), WM_KEYUP, VK_SPACE, static_cast<LPARAM>(0xC0390001));
  Pump(30);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(skinner.Frame(), 5);
}

TEST_F(SkinControl, ADisabledButtonShowsFrame3WhateverTheMouseDoes) {
  ASSERT_NE(ButtonCorner(1), ButtonCorner(3)) << "the skin's frames must differ for this test";
  TSkinButton skinner;
  skinner.Attach(nullptr, data, 0, Button());
  Button().SetEnabled(false);
  Mouse(Button().Handle(), WM_MOUSEMOVE, 20, 10);
  Mouse(Button().Handle(), WM_LBUTTONDOWN, 20, 10, MK_LBUTTON);
  EXPECT_EQ(skinner.Frame(), 3);
  EXPECT_EQ(PaintedPixel(Button().Handle(), 3, 3), ButtonCorner(3));
}

TEST_F(SkinControl, TheRoutingMessageLetsTheControlPaintItselfUntilTurnedOnAgain) {
  TSkinButton skinner;
  skinner.Attach(nullptr, data, 0, Button());
  HWND button = Button().Handle();
  EXPECT_EQ(SendMessageW(button, kSkinQueryMessage, 0, 0), 1);
  SendMessageW(button, kSkinControlRoutingMessage, 0, 0);
  EXPECT_EQ(SendMessageW(button, kSkinQueryMessage, 0, 0), 0);
  EXPECT_NE(PaintedPixel(button, 3, 3), ButtonCorner(1));
  SendMessageW(button, kSkinControlRoutingMessage, 1, 0);
  EXPECT_EQ(SendMessageW(button, kSkinQueryMessage, 0, 0), 1);
  EXPECT_EQ(PaintedPixel(button, 3, 3), ButtonCorner(1));
}

TEST_F(SkinControl, ColourAndParentBackgroundAreTakenInMode1AndGivenBack) {
  auto& panel = form->Find<TPanel>("Panel1");
  {
    TSkinControl skinner;
    skinner.Attach(nullptr, data, 1, panel);
    EXPECT_FALSE(panel.ParentBackground());
    EXPECT_EQ(panel.Color(), data.Model().Colour(TSkinColour::ButtonFace));
    skinner.Detach();
    EXPECT_TRUE(panel.ParentBackground());
    EXPECT_EQ(panel.Color(), clRed);
  }
  data.SetOptions(data.Options() | SkinBit(xoParentBackGround));
  TSkinControl skinner;
  skinner.Attach(nullptr, data, 1, panel);
  EXPECT_TRUE(panel.ParentBackground());
}

TEST_F(SkinControl, CheckAndRadioGlyphsFollowTheControlsState) {
  TSkinCheckBox check;
  check.Attach(nullptr, data, 0, Check());
  EXPECT_EQ(check.Frame(), 1);
  Mouse(Check().Handle(), WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
  Mouse(Check().Handle(), WM_LBUTTONUP, 5, 5);
  Pump(30);
  EXPECT_TRUE(Check().Checked()) << "the check box still works";
  EXPECT_EQ(check.Frame(), 2);
  Check().SetState(TCheckBoxState::cbGrayed);
  EXPECT_EQ(check.Frame(), 4);
  Check().SetState(TCheckBoxState::cbUnchecked);
  Check().SetEnabled(false);
  EXPECT_EQ(check.Frame(), 3);
  // The glyph sits vertically centred at the left, drawn 1:1 from its frame.
  const TSkinImage& glyph = data.Model().Buttons().CheckImage;
  const TRect frame = SkinFrameRect(glyph.Width(), glyph.Height(), data.Model().Buttons().CheckFrame, 3,
                                    TFrameLayout::SideBySide);
  const int top = (Check().Height() - frame.Height()) / 2;
  EXPECT_EQ(PaintedPixel(Check().Handle(), 6, top + 6), AsColorRef(glyph.Pixel(frame.Left + 6, 6)));

  auto& radio1 = form->Find<TRadioButton>("RadioButton1");
  auto& radio2 = form->Find<TRadioButton>("RadioButton2");
  TSkinRadioButton first;
  TSkinRadioButton second;
  first.Attach(nullptr, data, 0, radio1);
  second.Attach(nullptr, data, 0, radio2);
  radio2.SetChecked(true);
  Mouse(radio1.Handle(), WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
  Mouse(radio1.Handle(), WM_LBUTTONUP, 5, 5);
  Pump(30);
  EXPECT_EQ(first.Frame(), 2);
  EXPECT_EQ(second.Frame(), 1);
}

TEST_F(SkinControl, CheckAndRadioCaptionsTakeTheSkinsTextColour) {
  // The program's skin writes in a dark green, not in the system's window text.
  const COLORREF skinText = ColorToRGB(data.Model().Colour(TSkinColour::WindowText));
  ASSERT_EQ(skinText, RGB(30, 52, 41));
  Check().SetCaption("MMMM");
  TSkinCheckBox check;
  check.Attach(nullptr, data, 0, Check());
  auto& radio = form->Find<TRadioButton>("RadioButton1");
  radio.SetCaption("MMMM");
  TSkinRadioButton skinnedRadio;
  skinnedRadio.Attach(nullptr, data, 0, radio);
  for (HWND window : {Check().Handle(), radio.Handle()}) {
    const TPaintedWindow painted(window);
    EXPECT_GT(painted.Count(skinText), 0);
    EXPECT_EQ(painted.Count(GetSysColor(COLOR_WINDOWTEXT)), 0);
  }
}

TEST_F(SkinControl, AControlDestroyedWhileSkinnedLeavesTheSkinnerInert) {
  TSkinButton skinner;
  skinner.Attach(nullptr, data, 0, Button());
  delete &Button();
  EXPECT_EQ(skinner.State(), TSkinControlState::Destroyed);
  EXPECT_EQ(skinner.Control(), nullptr);
  skinner.Repaint();

  // And the other way round: a skinner freed first leaves the control working.
  int clicks = 0;
  {
    TSkinCheckBox check;
    check.Attach(nullptr, data, 0, Check());
  }
  Check().OnClick = [&](TObject*) { ++clicks; };
  Mouse(Check().Handle(), WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
  Mouse(Check().Handle(), WM_LBUTTONUP, 5, 5);
  Pump(30);
  EXPECT_EQ(clicks, 1);
}

TEST_F(SkinControl, WindowsWithoutAControlObjectAreSkinnedThroughTheirProcedure) {
  UniqueWindow plain(CreateWindowExW(0, L"BUTTON", L"Plain", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 150, 90, 30,
                                     form->Handle(), nullptr, GetModuleHandleW(nullptr), nullptr));
  {
    TSkinButton skinner;
    ASSERT_TRUE(skinner.AttachHandle(plain.get(), data, nullptr));
    EXPECT_EQ(PaintedPixel(plain.get(), 3, 3), ButtonCorner(1));
  }
  EXPECT_NE(PaintedPixel(plain.get(), 3, 3), ButtonCorner(1));
}

TEST_F(SkinControl, GuiObjectsStayFlatOverAttachCyclesAndRepaints) {
  auto* speed = new TSpeedButton(form.get());
  speed->SetParent(form.get());
  speed->SetBounds(200, 140, 60, 40);
  auto* group = new TGroupBox(form.get());
  group->SetParent(form.get());
  group->SetBounds(10, 130, 150, 60);
  group->SetCaption("Group");
  auto cycle = [&] {
    TSkinButton button;
    button.Attach(nullptr, data, 0, Button());
    TSkinCheckBox check;
    check.Attach(nullptr, data, 0, Check());
    TSkinSpeedButton speedSkinner;
    speedSkinner.Attach(nullptr, data, 0, *speed);
    TSkinGroupBox groupSkinner;
    groupSkinner.Attach(nullptr, data, 0, *group);
    TSkinBox panel;
    panel.Attach(nullptr, data, 1, form->Find<TPanel>("Panel1"));
    form->Repaint();
    Pump(1);
  };
  cycle();
  const GuiObjectCount before = CountGuiObjects();
  for (int i = 0; i < 100; ++i) cycle();
  TSkinButton button;
  button.Attach(nullptr, data, 0, Button());
  for (int i = 0; i < 1000; ++i) {
    InvalidateRect(Button().Handle(), nullptr, TRUE);
    UpdateWindow(Button().Handle());
  }
  const GuiObjectCount after = CountGuiObjects();
  EXPECT_LE(after.gdi, before.gdi + 2) << "the skinner's own paint buffer";
  EXPECT_EQ(after.windows, before.windows);
}

TEST_F(SkinControl, TheFactoryMakesTheBuiltSkinnersAndNoneForTheOthers) {
  EXPECT_NE(dynamic_cast<TSkinButton*>(MakeControlSkinner({&Button(), TSkinnerKind::Button, 0, nullptr}).get()), nullptr);
  EXPECT_NE(dynamic_cast<TSkinRadioButton*>(MakeControlSkinner({nullptr, TSkinnerKind::RadioButton}).get()), nullptr);
  auto check = MakeControlSkinner({nullptr, TSkinnerKind::CheckBox});
  EXPECT_TRUE(check && !dynamic_cast<TSkinRadioButton*>(check.get()));
  EXPECT_NE(dynamic_cast<TSkinSpeedButton*>(MakeControlSkinner({nullptr, TSkinnerKind::SpeedButton}).get()), nullptr);
  EXPECT_NE(dynamic_cast<TSkinGroupBox*>(MakeControlSkinner({nullptr, TSkinnerKind::GroupBox}).get()), nullptr);
  auto box = MakeControlSkinner({nullptr, TSkinnerKind::Box});
  EXPECT_TRUE(box && !dynamic_cast<TSkinGroupBox*>(box.get()));
  EXPECT_EQ(MakeControlSkinner({nullptr, TSkinnerKind::Tab31}), nullptr);
}

TEST_F(SkinControl, ABitmapButtonsGlyphSitsWhereItsLayoutPutsIt) {
  auto* bit = new TBitBtn(form.get());
  bit->SetParent(form.get());
  bit->SetBounds(150, 100, 80, 30);
  // A blue 8 x 8 glyph whose bottom-left pixel (the transparent colour) is white.
  TBitmap& glyph = *bit->Glyph();
  glyph.SetSize(8, 8);
  glyph.Canvas()->Brush()->SetColor(clBlue);
  glyph.Canvas()->FillRect(Bounds(0, 0, 8, 8));
  glyph.Canvas()->SetPixel(0, 7, clWhite);
  bit->SetMargin(4);
  bit->SetCaption("");
  TSkinBitButton skinner;
  skinner.Attach(nullptr, data, 0, *bit);
  // The face is inset by 4 on each side: the glyph starts 4 + 4 from the left and is centred in
  // the 22 pixels left of the height, at 4 + 7.
  EXPECT_EQ(PaintedPixel(bit->Handle(), 9, 12), RGB(0, 0, 255));
  EXPECT_EQ(PaintedPixel(bit->Handle(), 15, 17), RGB(0, 0, 255));
  EXPECT_NE(PaintedPixel(bit->Handle(), 8, 18), RGB(0, 0, 255)) << "the keyed corner shows the face";
  EXPECT_NE(PaintedPixel(bit->Handle(), 16, 12), RGB(0, 0, 255));
  EXPECT_NE(PaintedPixel(bit->Handle(), 7, 12), RGB(0, 0, 255));
}

class SkinSpeedButton : public SkinControl {
protected:
  void SetUp() override {
    SkinControl::SetUp();
    form->SetColor(clLime);
    speed = new TSpeedButton(form.get());
    speed->SetParent(form.get());
    speed->SetBounds(200, 140, 60, 40);
    speed->OnClick = [this](TObject*) { ++clicks; };
    skinner.Attach(nullptr, data, 0, *speed);
  }
  // The speed button's top-left corner as its parent paints it.
  COLORREF Corner() { return PaintedToPixel(*form, 203, 143); }
  void MouseAt(UINT msg, int x, int y, WPARAM keys = 0) { Mouse(form->Handle(), msg, x, y, keys); }

  TSpeedButton* speed = nullptr;
  TSkinSpeedButton skinner;
  int clicks = 0;
};

TEST_F(SkinSpeedButton, OneClickPerPressAndReleaseNoneAfterLeavingIt) {
  MouseAt(WM_MOUSEMOVE, 220, 150);
  EXPECT_EQ(skinner.Frame(), 4);
  MouseAt(WM_LBUTTONDOWN, 220, 150, MK_LBUTTON);
  EXPECT_EQ(Corner(), ButtonCorner(2));
  MouseAt(WM_LBUTTONUP, 220, 150);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(skinner.Frame(), 4);

  MouseAt(WM_LBUTTONDOWN, 220, 150, MK_LBUTTON);
  MouseAt(WM_MOUSEMOVE, 120, 190, MK_LBUTTON);
  EXPECT_EQ(skinner.Frame(), 1) << "held with the pointer off it, the button shows raised";
  MouseAt(WM_LBUTTONUP, 120, 190);
  EXPECT_EQ(clicks, 1);
}

TEST_F(SkinSpeedButton, DownShowsFrame2DisabledFrame3) {
  ASSERT_NE(ButtonCorner(1), ButtonCorner(2)) << "the skin's frames must differ for this test";
  ASSERT_NE(ButtonCorner(1), ButtonCorner(3));
  EXPECT_EQ(Corner(), ButtonCorner(1));
  speed->SetGroupIndex(1);
  speed->SetDown(true);
  EXPECT_EQ(Corner(), ButtonCorner(2));
  speed->SetEnabled(false);
  MouseAt(WM_MOUSEMOVE, 220, 150);
  EXPECT_EQ(Corner(), ButtonCorner(3));
}

TEST_F(SkinSpeedButton, ACaptionSetAfterAttachingIsDrawn) {
  auto face = [&] {
    std::vector<COLORREF> pixels;
    for (int x = 205; x < 255; ++x) pixels.push_back(PaintedToPixel(*form, x, 160));
    return pixels;
  };
  const std::vector<COLORREF> blank = face();
  speed->SetCaption("OK");
  EXPECT_NE(face(), blank);
}

TEST_F(SkinSpeedButton, AFlatButtonShowsItsParentUntilHot) {
  speed->SetFlat(true);
  EXPECT_EQ(Corner(), RGB(0, 255, 0));
  MouseAt(WM_MOUSEMOVE, 220, 150);
  EXPECT_EQ(Corner(), ButtonCorner(4));
  MouseAt(WM_MOUSEMOVE, 120, 190);
  EXPECT_EQ(Corner(), RGB(0, 255, 0));
}

// A speed button of another shape, as the reminder popup has one.
class TOvalButton : public TSpeedButton {
public:
  BREVIN_CLASS_INFO()
  using TSpeedButton::TSpeedButton;
  bool Oval() const { return true; }
  void SetOval(bool) {}
};

const TClassInfo& TOvalButton::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TOvalButton>("TOvalButton", &TSpeedButton::StaticClassInfo()).Property("Oval", &TOvalButton::Oval,
                                                                                           &TOvalButton::SetOval);
  return info;
}

TEST_F(SkinControl, AnOvalSpeedButtonsFaceKeepsToItsOval) {
  form->SetColor(clLime);
  auto* oval = new TOvalButton(form.get());
  oval->SetParent(form.get());
  oval->SetBounds(200, 140, 60, 40);
  oval->SetFlat(true);
  oval->SetCaption("");
  TSkinSpeedButton skinner;
  skinner.Attach(nullptr, data, 0, *oval);
  Mouse(form->Handle(), WM_MOUSEMOVE, 230, 160);
  ASSERT_EQ(skinner.Frame(), 4);
  EXPECT_EQ(PaintedToPixel(*form, 202, 142), RGB(0, 255, 0)) << "outside the oval";
  EXPECT_NE(PaintedToPixel(*form, 230, 160), RGB(0, 255, 0)) << "the face inside it";
}

TEST_F(SkinControl, AGroupBoxAndAPanelPaintFromTheSkinAndGiveTheirColourBack) {
  auto* group = new TGroupBox(form.get());
  group->SetParent(form.get());
  group->SetBounds(10, 130, 150, 60);
  group->SetCaption("Group");
  const TDataSkinObject& edge = *data.Model().Find("GroupBoxEdge");
  const TRect frame = edge.FrameRect(1);
  {
    TSkinGroupBox skinner;
    skinner.Attach(nullptr, data, 0, *group);
    // The frame's bottom-right corner is copied 1:1.
    EXPECT_EQ(PaintedPixel(group->Handle(), 148, 58), AsColorRef(edge.Image.Pixel(frame.Right - 2, frame.Bottom - 2)));
    // A check box on it shows the group's picture beside its caption, not a patch of flat colour.
    Check().SetParent(group);
    Check().SetBounds(8, 24, 120, 17);
    TSkinCheckBox check;
    check.Attach(nullptr, data, 0, Check());
    EXPECT_EQ(PaintedPixel(Check().Handle(), 118, 8), PaintedPixel(group->Handle(), 8 + 118, 24 + 8));
  }
  EXPECT_NE(PaintedPixel(group->Handle(), 148, 58), AsColorRef(edge.Image.Pixel(frame.Right - 2, frame.Bottom - 2)));

  auto& panel = form->Find<TPanel>("Panel1");
  panel.SetParentBackground(false);
  const COLORREF face = ColorToRGB(data.Model().Colour(TSkinColour::ButtonFace));
  const COLORREF shadow = ColorToRGB(data.Model().Colour(TSkinColour::ButtonShadow));
  TSkinBox box;
  box.Attach(nullptr, data, 1, panel);
  EXPECT_EQ(PaintedToPixel(panel, 20, 20), face);
  EXPECT_EQ(PaintedToPixel(panel, panel.Width() - 1, 20), shadow) << "the raised bevel's dark side";
  box.Detach();
  EXPECT_EQ(PaintedToPixel(panel, 20, 20), RGB(255, 0, 0));
}

}  // namespace
