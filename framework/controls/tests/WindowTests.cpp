#include <gtest/gtest.h>

#include "framework/controls/Application.h"
#include "framework/controls/Buttons.h"
#include "framework/controls/ComCtrls.h"
#include "framework/controls/ExtCtrls.h"
#include "framework/controls/Spin.h"
#include "framework/controls/StdCtrls.h"
#include "framework/controls/tests/TestForms.h"

namespace {

class TLayoutForm : public TForm {
public:
  TLayoutForm(TComponent* owner, const std::string& layout) : TForm(owner) { InitializeForm(layout); }
};

// A form that puts itself on the desktop window, as the reminder windows do.
class TDesktopForm : public TForm {
public:
  BREVIN_CLASS_INFO()
  explicit TDesktopForm(TComponent* owner) : TForm(owner) {
    InitializeForm("object DesktopForm: TDesktopForm\n  BorderStyle = bsNone\nend\n");
  }

protected:
  void CreateParams(TCreateParams& params) override {
    TForm::CreateParams(params);
    params.WndParent = GetDesktopWindow();
    params.ExStyle |= WS_EX_TOPMOST;
  }
};

const TClassInfo& TDesktopForm::StaticClassInfo() {
  static const TClassInfo info("TDesktopForm", &TForm::StaticClassInfo());
  return info;
}

LONG_PTR StyleOf(TWinControl& c) { return GetWindowLongPtrW(c.Handle(), GWL_STYLE); }
LONG_PTR ExStyleOf(TWinControl& c) { return GetWindowLongPtrW(c.Handle(), GWL_EXSTYLE); }

TEST(FormWindow, BorderAndStackingPropertiesBecomeWindowStyles) {
  TLayoutForm fixed(nullptr, R"(object F: TForm
  BorderStyle = bsSingle
  BorderIcons = [biSystemMenu, biMinimize]
  FormStyle = fsStayOnTop
  ClientWidth = 486
  ClientHeight = 265
end
)");
  const LONG_PTR style = StyleOf(fixed);
  EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_TRUE(ExStyleOf(fixed) & WS_EX_TOPMOST);
  EXPECT_EQ(GetWindow(fixed.Handle(), GW_OWNER), Application->Handle());
  EXPECT_EQ(fixed.ClientWidth(), 486);
  EXPECT_EQ(fixed.ClientHeight(), 265);

  TLayoutForm bare(nullptr, "object F: TForm\n  BorderStyle = bsSingle\n  BorderIcons = []\nend\n");
  EXPECT_EQ(StyleOf(bare) & WS_CAPTION, WS_CAPTION);
  EXPECT_FALSE(StyleOf(bare) & WS_SYSMENU);

  TLayoutForm none(nullptr, "object F: TForm\n  BorderStyle = bsNone\n  AlphaBlend = True\n  AlphaBlendValue = 206\nend\n");
  EXPECT_TRUE(StyleOf(none) & WS_POPUP);
  EXPECT_FALSE(StyleOf(none) & WS_CAPTION);
  ASSERT_TRUE(ExStyleOf(none) & WS_EX_LAYERED);
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(none.Handle(), nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 206);
  EXPECT_TRUE(flags & LWA_ALPHA);
  // Changing the stacking of an existing window takes effect at once.
  none.SetFormStyle(TFormStyle::fsStayOnTop);
  EXPECT_TRUE(ExStyleOf(none) & WS_EX_TOPMOST);
}

TEST(FormWindow, CreateParamsOverrideChangesOwnerAndExtendedStyle) {
  TDesktopForm form(nullptr);
  EXPECT_EQ(GetWindow(form.Handle(), GW_OWNER), nullptr);
  EXPECT_TRUE(ExStyleOf(form) & WS_EX_TOPMOST);
}

TEST(FormWindow, ScreenCentreAndMaximisedStates) {
  TLayoutForm centred(nullptr, "object F: TForm\n  Width = 300\n  Height = 200\n  Position = poScreenCenter\nend\n");
  centred.Show();
  RECT r{};
  GetWindowRect(centred.Handle(), &r);
  EXPECT_NEAR((r.left + r.right) / 2, Screen->Width() / 2, 1);
  EXPECT_NEAR((r.top + r.bottom) / 2, Screen->Height() / 2, 1);
  TLayoutForm big(nullptr, "object F: TForm\n  BorderStyle = bsNone\n  WindowState = wsMaximized\nend\n");
  big.Show();
  EXPECT_TRUE(IsZoomed(big.Handle()));
  EXPECT_GE(big.Width(), Screen->WorkAreaRect().Width());
  big.SetWindowState(TWindowState::wsNormal);
  EXPECT_FALSE(IsZoomed(big.Handle()));
}

TEST(FormWindow, StateFollowsMinimiseHideAndRestoreThroughTheApi) {
  // What the tray icon does: minimise, hide, later show normal through the API, and again.
  TPlainForm form(nullptr);
  form.Show();
  for (int round = 0; round < 2; ++round) {
    form.SetWindowState(TWindowState::wsMinimized);
    EXPECT_TRUE(IsIconic(form.Handle())) << round;
    ShowWindow(form.Handle(), SW_HIDE);
    ShowWindow(form.Handle(), SW_SHOWNORMAL);
    EXPECT_FALSE(IsIconic(form.Handle())) << round;
    EXPECT_EQ(form.WindowState(), TWindowState::wsNormal) << round;
  }
}

TEST(FormWindow, ShowingThroughTheApiKeepsVisibleTrueWithoutOnShow) {
  TPlainForm form(nullptr);
  int shows = 0, hides = 0;
  form.OnShow = [&](TObject*) { ++shows; };
  form.OnHide = [&](TObject*) { ++hides; };
  form.Show();
  EXPECT_EQ(shows, 1);
  ShowWindow(form.Handle(), SW_HIDE);
  EXPECT_FALSE(form.Visible());
  ShowWindow(form.Handle(), SW_SHOWNORMAL);
  EXPECT_TRUE(form.Visible());
  EXPECT_EQ(shows, 1);
  form.Hide();
  EXPECT_EQ(hides, 1);
  form.Show();
  EXPECT_EQ(shows, 2);
}

TEST(FormWindow, MainFormShowsTheTaskbarButtonAndMinimisesTheApplication) {
  TPlainForm* main = nullptr;
  Application->CreateForm(main);
  ASSERT_EQ(Application->MainForm(), main);
  main->Show();
  EXPECT_TRUE(IsWindowVisible(Application->Handle()));
  SendMessageW(main->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(IsIconic(Application->Handle()));
  Application->Restore();
  EXPECT_FALSE(IsIconic(Application->Handle()));
  // A second instance under the same owner gets a name of its own.
  TPlainForm second(Application);
  EXPECT_EQ(second.Name(), main->Name() + "_1");
  delete main;
  EXPECT_EQ(Application->MainForm(), nullptr);
}

TEST(Align, ControlsShareTheClientAreaInAlignmentOrder) {
  TLayoutForm form(nullptr, R"(object F: TForm
  ClientWidth = 400
  ClientHeight = 300
  object Top1: TPanel
    Align = alTop
    Height = 8
  end
  object Label1: TLabel
    Align = alTop
    Caption = 'x'
    Font.Height = -48
  end
  object Bottom1: TPanel
    Align = alBottom
    Height = 21
  end
  object Left1: TPanel
    Align = alLeft
    Width = 50
  end
  object Client1: TPanel
    Align = alClient
  end
end
)");
  form.HandleNeeded();
  auto* top = static_cast<TControl*>(form.FindComponent("Top1"));
  auto* label = static_cast<TControl*>(form.FindComponent("Label1"));
  auto* bottom = static_cast<TControl*>(form.FindComponent("Bottom1"));
  auto* left = static_cast<TControl*>(form.FindComponent("Left1"));
  auto* client = static_cast<TControl*>(form.FindComponent("Client1"));
  EXPECT_EQ(top->BoundsRect(), (TRect{0, 0, 400, 8}));
  EXPECT_EQ(label->Top(), 8);
  EXPECT_EQ(label->Width(), 400);
  EXPECT_GE(label->Height(), 48);
  EXPECT_EQ(bottom->BoundsRect(), (TRect{0, 279, 400, 300}));
  EXPECT_EQ(left->BoundsRect(), (TRect{0, label->Top() + label->Height(), 50, 279}));
  EXPECT_EQ(client->BoundsRect(), (TRect{50, left->Top(), 400, 279}));
  // Growing the form moves the bottom bar and widens the client area.
  form.SetClientHeight(400);
  EXPECT_EQ(bottom->Top(), 379);
  EXPECT_EQ(client->Height(), 379 - client->Top());
  bottom->Hide();
  EXPECT_EQ(client->Top() + client->Height(), 400);
}

TEST(DefaultErrorHandler, ShowsTheMessageOwnedByTheActiveWindow) {
  TDesktopForm topmost(nullptr);
  topmost.SetBounds(10, 10, 200, 100);
  topmost.Show();
  SetActiveWindow(topmost.Handle());
  std::wstring text;
  HWND owner = nullptr;
  TTimer closer(nullptr);
  closer.SetInterval(30);
  closer.OnTimer = [&](TObject*) {
    HWND box = FindWindowW(L"#32770", nullptr);
    if (!box) return;
    closer.SetEnabled(false);
    owner = GetWindow(box, GW_OWNER);
    wchar_t buffer[256] = {};
    GetDlgItemTextW(box, 0xFFFF, buffer, 256);
    text = buffer;
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  };
  Application->OnException = nullptr;
  Application->HandleException(EFCreateError("Cannot create file \"x\""));
  EXPECT_EQ(owner, topmost.Handle());
  EXPECT_EQ(text, L"Cannot create file \"x\".");
  // EAbort is silent.
  closer.SetEnabled(true);
  owner = nullptr;
  Application->HandleException(EAbort("quiet"));
  EXPECT_EQ(owner, nullptr);
}

TEST(Buttons, ModalResultOfAButtonEndsTheModalForm) {
  TLayoutForm form(nullptr, R"(object F: TForm
  object Ok1: TBitBtn
    Kind = bkOK
  end
  object Speed1: TSpeedButton
    GroupIndex = 1
  end
  object Speed2: TSpeedButton
    GroupIndex = 1
    Down = True
  end
end
)");
  auto* ok = static_cast<TBitBtn*>(form.FindComponent("Ok1"));
  EXPECT_EQ(ok->Caption(), "OK");
  EXPECT_EQ(ok->ModalResult(), mrOk);
  TTimer press(nullptr);
  press.SetInterval(20);
  press.OnTimer = [&](TObject*) {
    press.SetEnabled(false);
    SendMessageW(ok->Handle(), BM_CLICK, 0, 0);
  };
  EXPECT_EQ(form.ShowModal(), mrOk);
  auto* s1 = static_cast<TSpeedButton*>(form.FindComponent("Speed1"));
  auto* s2 = static_cast<TSpeedButton*>(form.FindComponent("Speed2"));
  EXPECT_TRUE(s2->Down());
  s1->SetDown(true);
  EXPECT_TRUE(s1->Down());
  EXPECT_FALSE(s2->Down());
  // Without AllowAllUp the last one down stays down.
  s1->SetDown(false);
  EXPECT_TRUE(s1->Down());
  s1->SetAllowAllUp(true);
  s1->SetDown(false);
  EXPECT_FALSE(s1->Down());
}

TEST(PublishedProperties, EveryStandardPropertyReadsBackWhatItWasGiven) {
  TPlainForm form(nullptr);
  const char* const classes[] = {"TLabel",  "TButton",    "TBitBtn",     "TSpeedButton",    "TCheckBox",
                                 "TRadioButton", "TGroupBox", "TEdit",    "TMemo",           "TPanel",
                                 "TBevel",  "TImage",     "TTimer",      "TPopupMenu",      "TMenuItem",
                                 "TImageList", "TPageControl", "TTabSheet", "TDateTimePicker", "TSpinEdit"};
  int checked = 0;
  for (const char* name : classes) {
    TComponent* c = GetClass(name).Create(&form);
    if (auto* control = dynamic_cast<TControl*>(c); control && !dynamic_cast<TTabSheet*>(c)) control->SetParent(&form);
    for (const TPropInfo* p : c->ClassInfo().Properties()) {
      if (p->kind != TPropKind::Value || SameText(p->name, "Name") || SameText(p->name, "Visible")) continue;
      const std::string value = GetPropValue(*c, p->name);
      SetPropValue(*c, p->name, value);
      EXPECT_EQ(GetPropValue(*c, p->name), value) << name << "." << p->name;
      ++checked;
    }
    EXPECT_TRUE(HasProperty(*c, "Tag")) << name;
  }
  EXPECT_GT(checked, 150);
  // What the skin engine asks for by name.
  auto* box = GetClass("TPanel").Create(&form);
  EXPECT_TRUE(HasProperty(*box, "ParentBackground"));
  auto* check = GetClass("TCheckBox").Create(&form);
  EXPECT_TRUE(HasProperty(*check, "State"));
  auto* speed = GetClass("TSpeedButton").Create(&form);
  EXPECT_EQ(ResolveProperty(*speed, "Glyph").second->kind, TPropKind::Object);
  EXPECT_TRUE(HasProperty(*speed, "Glyph.Data"));
  auto* label = GetClass("TLabel").Create(&form);
  SetPropValue(*label, "Transparent", "True");
  EXPECT_TRUE(static_cast<TLabel*>(label)->Transparent());
}

TEST(Memo, LinesRoundTripThroughTheWindow) {
  TPlainForm form(nullptr);
  auto* memo = new TMemo(&form);
  memo->SetParent(&form);
  memo->SetLines({"第一节：揉上眶角", "", "third"});
  form.Show();
  EXPECT_EQ(memo->Lines(), (std::vector<std::string>{"第一节：揉上眶角", "", "third"}));
  memo->SetReadOnly(true);
  EXPECT_TRUE(GetWindowLongPtrW(memo->Handle(), GWL_STYLE) & ES_READONLY);
  memo->SetScrollBars(TScrollStyle::ssVertical);
  EXPECT_TRUE(GetWindowLongPtrW(memo->Handle(), GWL_STYLE) & WS_VSCROLL);
  EXPECT_EQ(memo->Lines().size(), 3u);
}

TEST(Image, PlacementFollowsStretchCentreAndProportional) {
  TPlainForm form(nullptr);
  auto* image = new TImage(&form);
  image->SetParent(&form);
  image->SetBounds(0, 0, 100, 50);
  image->Picture()->Bitmap()->SetSize(20, 40);
  EXPECT_EQ(image->DestRect(), (TRect{0, 0, 20, 40}));
  image->SetCenter(true);
  EXPECT_EQ(image->DestRect(), (TRect{40, 5, 60, 45}));
  image->SetStretch(true);
  EXPECT_EQ(image->DestRect(), (TRect{0, 0, 100, 50}));
  image->SetProportional(true);
  EXPECT_EQ(image->DestRect(), (TRect{37, 0, 62, 50}));
  image->SetAutoSize(true);
  EXPECT_EQ(image->Width(), 20);
  EXPECT_EQ(image->Height(), 40);
}

}  // namespace

namespace {

TEST(Keyboard, AltLetterPressesTheButtonThatMarksIt) {
  TLayoutForm form(nullptr, R"(object F: TForm
  object BitBtn1: TBitBtn
    Caption = '暂停一下(&P)'
  end
  object Hidden1: TButton
    Caption = '&Quit'
    Visible = False
  end
  object Check1: TCheckBox
    Caption = '&Lock'
  end
end
)");
  auto* pause = static_cast<TBitBtn*>(form.FindComponent("BitBtn1"));
  auto* hidden = static_cast<TButton*>(form.FindComponent("Hidden1"));
  auto* check = static_cast<TCheckBox*>(form.FindComponent("Check1"));
  int pauses = 0, quits = 0;
  pause->OnClick = [&](TObject*) { ++pauses; };
  hidden->OnClick = [&](TObject*) { ++quits; };
  form.Show();
  SendMessageW(pause->Handle(), WM_SYSCHAR, L'p', 1 << 29);
  SendMessageW(form.Handle(), WM_SYSCHAR, L'P', 1 << 29);
  SendMessageW(form.Handle(), WM_SYSCHAR, L'q', 1 << 29);
  SendMessageW(form.Handle(), WM_SYSCHAR, L'l', 1 << 29);
  EXPECT_EQ(pauses, 2);
  EXPECT_EQ(quits, 0);
  EXPECT_TRUE(check->Checked());
  EXPECT_FALSE(form.DialogChar(L'z'));
  // A key that key preview swallows takes its character along: Alt+P presses nothing then.
  form.SetKeyPreview(true);
  bool swallow = true;
  form.OnKeyDown = [&](TObject*, uint16_t& key, TShiftState) {
    if (swallow) key = 0;
  };
  for (bool s : {true, false}) {
    swallow = s;
    // Translating the key-down queues its character, as real typing does.
    PostMessageW(pause->Handle(), WM_SYSKEYDOWN, 'P', 1 << 29);
    Application->ProcessMessages();
  }
  EXPECT_EQ(pauses, 3);
}

TEST(Keyboard, EveryControlHearsOfAFocusChange) {
  TPlainForm form(nullptr);
  auto* panel = new TPanel(&form);
  panel->SetParent(&form);
  auto* first = new TButton(panel);
  first->SetParent(panel);
  auto* second = new TButton(&form);
  second->SetParent(panel);
  second->SetTop(40);
  auto* label = new TLabel(&form);
  label->SetParent(panel);
  std::vector<LPARAM> heard;
  TWndMethod saved = label->WindowProc;
  label->WindowProc = [&](TMessage& m) {
    if (m.Msg == CM_FOCUSCHANGED) heard.push_back(m.LParam);
    saved(m);
  };
  form.Show();
  first->SetFocus();
  second->SetFocus();
  EXPECT_EQ(form.ActiveControl(), second);
  ASSERT_GE(heard.size(), 2u);
  EXPECT_EQ(heard[heard.size() - 2], reinterpret_cast<LPARAM>(first));
  EXPECT_EQ(heard.back(), reinterpret_cast<LPARAM>(second));
  label->WindowProc = saved;
}

TEST(CloseActions, AFormFreedBeforeItsReleaseArrivesIsNotFreedTwice) {
  auto* form = new TPlainForm(Application);
  form->Release();
  delete form;
  // A new form may well be built where the old one was.
  auto* next = new TPlainForm(Application);
  Application->ProcessMessages();
  EXPECT_TRUE(Screen->Contains(next));
  next->SetCaption("still here");
  EXPECT_EQ(next->Caption(), "still here");
  delete next;
}

}  // namespace

namespace {

TEST(ApplicationLifetime, DestroyComponentsFreesTheFormsNewestFirst) {
  std::vector<std::string> order;
  TPlainForm* first = nullptr;
  Application->CreateForm(first);
  auto* second = new TPlainForm(Application);
  first->OnDestroy = [&](TObject*) { order.push_back("first"); };
  second->OnDestroy = [&](TObject*) { order.push_back("second"); };
  Application->DestroyComponents();
  EXPECT_EQ(order, (std::vector<std::string>{"second", "first"}));
  EXPECT_EQ(Application->MainForm(), nullptr);
  EXPECT_EQ(Application->ComponentCount(), 0);
  EXPECT_TRUE(IsWindow(Application->Handle()));
}

}  // namespace

namespace {

TEST(Keyboard, TabMovesThroughTheTabStopsInTabOrder) {
  TLayoutForm form(nullptr, R"(object F: TForm
  object Last1: TButton
    TabOrder = 2
  end
  object First1: TButton
    TabOrder = 0
  end
  object Panel1: TPanel
    TabOrder = 1
    object Inner1: TEdit
    end
    object Off1: TButton
      TabStop = False
    end
  end
  object Hidden1: TButton
    Visible = False
  end
end
)");
  form.Show();
  auto* first = static_cast<TWinControl*>(form.FindComponent("First1"));
  auto* inner = static_cast<TWinControl*>(form.FindComponent("Inner1"));
  auto* last = static_cast<TWinControl*>(form.FindComponent("Last1"));
  first->SetFocus();
  std::vector<TWinControl*> visited;
  for (int i = 0; i < 4; ++i) {
    SendMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 1);
    visited.push_back(FindControl(GetFocus()));
  }
  EXPECT_EQ(visited, (std::vector<TWinControl*>{inner, last, first, inner}));
  EXPECT_TRUE(form.SelectNext(inner, false));
  EXPECT_EQ(FindControl(GetFocus()), first);
  // Key preview that swallows Tab keeps the focus where it is.
  form.SetKeyPreview(true);
  form.OnKeyDown = [](TObject*, uint16_t& key, TShiftState) { key = 0; };
  SendMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 1);
  EXPECT_EQ(FindControl(GetFocus()), first);
}

}  // namespace
