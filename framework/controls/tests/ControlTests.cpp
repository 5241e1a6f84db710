#include <gtest/gtest.h>

#include "framework/controls/Application.h"
#include "framework/controls/Buttons.h"
#include "framework/controls/ComCtrls.h"
#include "framework/controls/ExtCtrls.h"
#include "framework/controls/Menus.h"
#include "framework/controls/MessageHook.h"
#include "framework/controls/OleCtrls.h"

#include <objbase.h>
#include "framework/controls/Spin.h"
#include "framework/controls/StdCtrls.h"
#include "framework/controls/tests/TestForms.h"
#include "framework/win32/ThreadHook.h"

namespace {

template <typename T>
T* Make(TWinControl* parent, int left, int top, int width, int height) {
  T* c = new T(parent->Owner() ? parent->Owner() : parent);
  c->SetParent(parent);
  c->SetBounds(left, top, width, height);
  return c;
}

// A page control on the form with a new sheet in each place of sheets.
template <size_t N>
TPageControl* MakePages(TPlainForm& form, TTabSheet* (&sheets)[N]) {
  auto* pages = Make<TPageControl>(&form, 0, 0, 200, 120);
  for (TTabSheet*& sheet : sheets) {
    sheet = new TTabSheet(&form);
    sheet->SetPageControl(pages);
  }
  return pages;
}

TEST(RadioButtons, CheckingOneClearsItsSiblingsAndRunsOnClickForUserAndCode) {
  TPlainForm form(nullptr);
  auto* group = Make<TGroupBox>(&form, 0, 0, 180, 100);
  auto* a = Make<TRadioButton>(group, 8, 20, 150, 20);
  auto* b = Make<TRadioButton>(group, 8, 44, 150, 20);
  auto* other = Make<TRadioButton>(&form, 0, 100, 150, 20);
  std::vector<std::string> clicks;
  a->OnClick = [&](TObject*) { clicks.push_back("a"); };
  b->OnClick = [&](TObject*) { clicks.push_back("b"); };
  other->SetChecked(true);
  form.Show();
  a->SetChecked(true);
  EXPECT_TRUE(a->Checked());
  SendMessageW(b->Handle(), BM_CLICK, 0, 0);
  EXPECT_TRUE(b->Checked());
  EXPECT_FALSE(a->Checked());
  EXPECT_EQ(SendMessageW(a->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(SendMessageW(b->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
  // Another parent is another group.
  EXPECT_TRUE(other->Checked());
  // Checking the checked one again is no change and no click.
  b->SetChecked(true);
  EXPECT_EQ(clicks, (std::vector<std::string>{"a", "b"}));
}

TEST(CheckBox, UserClicksToggleAndCodeChangesClickToo) {
  TPlainForm form(nullptr);
  auto* box = Make<TCheckBox>(&form, 0, 0, 120, 20);
  int clicks = 0;
  box->OnClick = [&](TObject*) { ++clicks; };
  form.Show();
  SendMessageW(box->Handle(), BM_CLICK, 0, 0);
  EXPECT_TRUE(box->Checked());
  EXPECT_EQ(SendMessageW(box->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
  box->SetChecked(false);
  EXPECT_EQ(SendMessageW(box->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(GetPropValue(*box, "State"), "cbUnchecked");
}

TEST(PageControl, SheetsShowAndHideOnlyWhenTheActivePageChanges) {
  std::vector<std::string> log;
  TPlainForm form(nullptr);
  auto* pages = Make<TPageControl>(&form, 0, 0, 200, 120);
  TTabSheet* sheets[3];
  for (int i = 0; i < 3; ++i) {
    sheets[i] = new TTabSheet(&form);
    sheets[i]->SetPageControl(pages);
    sheets[i]->SetCaption("Page " + std::to_string(i));
    const std::string n = std::to_string(i);
    sheets[i]->OnShow = [&log, n](TObject*) { log.push_back("show " + n); };
    sheets[i]->OnHide = [&log, n](TObject*) { log.push_back("hide " + n); };
  }
  int changes = 0;
  pages->OnChange = [&](TObject*) { ++changes; };
  EXPECT_EQ(pages->ActivePage(), sheets[0]);
  form.Show();
  pages->SetActivePage(sheets[2]);
  pages->SetActivePage(sheets[2]);
  EXPECT_TRUE(sheets[2]->Visible());
  EXPECT_FALSE(sheets[0]->Visible());
  EXPECT_EQ(SendMessageW(pages->Handle(), TCM_GETCURSEL, 0, 0), 2);
  // A click on a tab arrives as TCN_SELCHANGE.
  SendMessageW(pages->Handle(), TCM_SETCURSEL, 1, 0);
  NMHDR hdr{pages->Handle(), 0, static_cast<UINT>(TCN_SELCHANGE)};
  SendMessageW(form.Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&hdr));
  EXPECT_EQ(pages->ActivePage(), sheets[1]);
  // Hiding and showing the form is not a page change.
  form.Hide();
  form.Show();
  EXPECT_EQ(log, (std::vector<std::string>{"show 2", "hide 0", "show 1", "hide 2"}));
  EXPECT_EQ(changes, 1);
  // The sheet fills the page control's display area.
  EXPECT_GT(sheets[1]->Top(), 0);
  EXPECT_LE(sheets[1]->Top() + sheets[1]->Height(), pages->ClientHeight());
}

TEST(PageControl, APagesControlsGetTheirWindowsWhenItIsFirstShownBeforeItShowsAndInTheirOrder) {
  TPlainForm form(nullptr);
  TTabSheet* sheets[2];
  TPageControl* pages = MakePages(form, sheets);
  auto* edit = Make<TEdit>(sheets[1], 0, 0, 80, 20);
  auto* panel = Make<TPanel>(sheets[1], 0, 30, 80, 40);
  auto* button = Make<TButton>(panel, 4, 4, 60, 20);
  form.Show();
  EXPECT_TRUE(sheets[1]->HandleAllocated());
  EXPECT_FALSE(edit->HandleAllocated());
  EXPECT_FALSE(button->HandleAllocated());

  struct Notice {
    HWND control;
    bool made;
    bool pageVisible;
  };
  std::vector<Notice> notices;
  TThreadHook watch;
  ASSERT_TRUE(watch.Install(WH_CALLWNDPROC, [&](int, WPARAM, LPARAM lParam) {
    const auto& m = *reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (m.message == CM_CHILDWINDOWSMADE && m.hwnd == form.Handle())
      notices.push_back({reinterpret_cast<HWND>(m.wParam), edit->HandleAllocated() && button->HandleAllocated(),
                         IsWindowVisible(sheets[1]->Handle()) != FALSE});
    return false;
  }));
  pages->SetActivePage(sheets[1]);
  pages->SetActivePage(sheets[0]);
  pages->SetActivePage(sheets[1]);
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0].control, sheets[1]->Handle());
  EXPECT_TRUE(notices[0].made);
  EXPECT_FALSE(notices[0].pageVisible) << "the page shows with its controls";
  EXPECT_TRUE(IsWindowVisible(button->Handle()));
  // The later control in front, as when the windows are made with the form's.
  EXPECT_EQ(GetWindow(sheets[1]->Handle(), GW_CHILD), panel->Handle());
  EXPECT_EQ(GetWindow(panel->Handle(), GW_HWNDNEXT), edit->Handle());
}

// A control whose window cannot be made until it is allowed to be.
class TUnmakeable : public TWinControl {
public:
  using TWinControl::TWinControl;
  bool fail = true;

protected:
  void CreateParams(TCreateParams& p) override {
    TWinControl::CreateParams(p);
    if (fail) p.SystemClassName = L"BrevinNoSuchClass";
  }
};

TEST(PageControl, APageWhoseControlFailsOrThatIsRemadeWhilePendingStaysConsistent) {
  TPlainForm form(nullptr);
  TTabSheet* sheets[2];
  TPageControl* pages = MakePages(form, sheets);
  auto* edit = Make<TEdit>(sheets[1], 0, 0, 80, 20);
  auto* unmakeable = Make<TUnmakeable>(sheets[1], 0, 30, 80, 20);
  form.Show();
  ASSERT_TRUE(sheets[1]->ChildWindowsPending());

  EXPECT_THROW(pages->SetActivePage(sheets[1]), EOutOfResources);
  EXPECT_EQ(pages->ActivePage(), sheets[0]);
  EXPECT_EQ(SendMessageW(pages->Handle(), TCM_GETCURSEL, 0, 0), 0);
  EXPECT_TRUE(IsWindowVisible(sheets[0]->Handle()));
  EXPECT_FALSE(IsWindowVisible(sheets[1]->Handle()));
  EXPECT_TRUE(sheets[1]->ChildWindowsPending()) << "the controls left over are made when it is next shown";

  // Its window goes while it is pending, and it is shown before a new one is made.
  sheets[1]->DestroyHandle();
  unmakeable->fail = false;
  pages->SetActivePage(sheets[1]);
  sheets[1]->HandleNeeded();
  EXPECT_EQ(pages->ActivePage(), sheets[1]);
  EXPECT_FALSE(sheets[1]->ChildWindowsPending());
  EXPECT_TRUE(edit->HandleAllocated());
  EXPECT_TRUE(unmakeable->HandleAllocated());
  EXPECT_TRUE(IsWindowVisible(edit->Handle()));
}

// Keys held down as the thread's keyboard state tells them, for the duration of a test.
class HeldKeys {
public:
  explicit HeldKeys(std::initializer_list<int> keys) {
    GetKeyboardState(saved_);
    BYTE state[256];
    std::copy(std::begin(saved_), std::end(saved_), state);
    for (int key : keys) state[key] = 0x80;
    SetKeyboardState(state);
  }
  ~HeldKeys() { SetKeyboardState(saved_); }
  HeldKeys(const HeldKeys&) = delete;
  HeldKeys& operator=(const HeldKeys&) = delete;

private:
  BYTE saved_[256] = {};
};

TEST(PageControl, CtrlTabTurnsToTheNextShownPageWrappingAndTakesTheFocusOffTheHiddenPage) {
  TPlainForm form(nullptr);
  TTabSheet* sheets[3];
  TPageControl* pages = MakePages(form, sheets);
  sheets[1]->SetTabVisible(false);
  auto* button = Make<TButton>(sheets[0], 8, 8, 80, 24);
  int changes = 0;
  pages->OnChange = [&](TObject*) { ++changes; };
  form.Show();
  button->SetFocus();
  {
    HeldKeys ctrl{VK_CONTROL};
    SendMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 1);
  }
  EXPECT_EQ(pages->ActivePage(), sheets[2]);
  EXPECT_EQ(GetFocus(), pages->Handle());
  {
    HeldKeys ctrl{VK_CONTROL};
    SendMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 1);
  }
  EXPECT_EQ(pages->ActivePage(), sheets[0]);
  {
    HeldKeys ctrlShift{VK_CONTROL, VK_SHIFT};
    SendMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 1);
  }
  EXPECT_EQ(pages->ActivePage(), sheets[2]);
  EXPECT_EQ(changes, 3);
}

TEST(PageControl, FreeingTheFormShowsNoOtherPageOnTheWayOut) {
  std::vector<std::string> log;
  auto* form = new TPlainForm(nullptr);
  auto* pages = Make<TPageControl>(form, 0, 0, 200, 120);
  for (const char* name : {"first", "second"}) {
    auto* sheet = new TTabSheet(form);
    sheet->SetPageControl(pages);
    sheet->OnShow = [&log, name](TObject*) { log.push_back(name); };
  }
  form->Show();
  delete form;
  EXPECT_TRUE(log.empty());
}

// The active page of a layout became active while the layout was read, when no handler may run.
class TPagedForm : public TForm {
public:
  BREVIN_CLASS_INFO()
  explicit TPagedForm(TComponent* owner) : TForm(owner) {
    Handler("FirstShow", &TPagedForm::FirstShow);
    Handler("SecondShow", &TPagedForm::SecondShow);
    InitializeForm(R"(object PagedForm: TPagedForm
  ClientWidth = 200
  ClientHeight = 120
  object Pages: TPageControl
    Align = alClient
    object First: TTabSheet
      OnShow = FirstShow
    end
    object Second: TTabSheet
      OnShow = SecondShow
    end
  end
end
)");
  }
  std::vector<std::string> log;
  void FirstShow(TObject*) { log.push_back("first"); }
  void SecondShow(TObject*) { log.push_back("second"); }
};

const TClassInfo& TPagedForm::StaticClassInfo() {
  static const TClassInfo info("TPagedForm", &TForm::StaticClassInfo());
  return info;
}

TEST(PageControl, TheActivePageOfALayoutHasItsOnShowOnceWhenTheFormFirstShows) {
  TPagedForm form(nullptr);
  EXPECT_TRUE(form.log.empty());
  form.Show();
  EXPECT_EQ(form.log, std::vector<std::string>{"first"});
  form.Hide();
  form.Show();
  EXPECT_EQ(form.log, std::vector<std::string>{"first"});

  // A page chosen before the first show is the one that shows, once.
  TPagedForm other(nullptr);
  auto* pages = dynamic_cast<TPageControl*>(other.FindComponent("Pages"));
  pages->SetActivePageIndex(1);
  other.Show();
  EXPECT_EQ(other.log, std::vector<std::string>{"second"});
}

TEST(GraphicControls, MouseGoesToTheTopmostControlUnderIt) {
  TPlainForm form(nullptr);
  auto* below = new TLabel(&form);
  below->SetParent(&form);
  below->SetAutoSize(false);
  below->SetBounds(10, 10, 50, 20);
  auto* above = new TSpeedButton(&form);
  above->SetParent(&form);
  above->SetBounds(30, 10, 50, 20);
  std::vector<std::string> log;
  below->OnClick = [&](TObject*) { log.push_back("label"); };
  above->OnClick = [&](TObject*) { log.push_back("button"); };
  form.OnMouseMove = [&](TObject*, TShiftState, int x, int y) { log.push_back("form " + std::to_string(x) + "," + std::to_string(y)); };
  above->OnMouseMove = [&](TObject*, TShiftState, int x, int y) { log.push_back("button " + std::to_string(x) + "," + std::to_string(y)); };
  form.Show();
  HWND w = form.Handle();
  SendMessageW(w, WM_MOUSEMOVE, 0, MAKELPARAM(100, 90));
  SendMessageW(w, WM_MOUSEMOVE, 0, MAKELPARAM(40, 15));
  SendMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 15));
  SendMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(40, 15));
  SendMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(15, 15));
  SendMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(15, 15));
  // Pressed on the label, released elsewhere: no click.
  SendMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(15, 15));
  SendMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(150, 100));
  // A disabled control lets the mouse through to the form.
  above->SetEnabled(false);
  SendMessageW(w, WM_MOUSEMOVE, 0, MAKELPARAM(70, 15));
  EXPECT_EQ(log, (std::vector<std::string>{"form 100,90", "button 10,5", "button", "label", "form 70,15"}));
}

TEST(GraphicControls, APressWhoseCaptureWasTakenIsForgottenAndTheNextClickLandsWhereItIsMade) {
  TPlainForm form(nullptr);
  TPlainForm other(nullptr);
  std::vector<std::string> log;
  auto* first = new TSpeedButton(&form);
  first->SetParent(&form);
  first->SetBounds(10, 10, 50, 20);
  auto* second = new TSpeedButton(&form);
  second->SetParent(&form);
  second->SetBounds(10, 40, 50, 20);
  first->OnClick = [&](TObject*) { log.push_back("first"); };
  second->OnClick = [&](TObject*) { log.push_back("second"); };
  form.Show();
  other.Show();
  HWND w = form.Handle();
  const auto click = [w](int x, int y) {
    SendMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  };
  SendMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
  EXPECT_EQ(first->State(), TButtonState::bsDown);
  // Another window takes the mouse before the release, as a window that opens under a held
  // button does.
  SetCapture(other.Handle());
  ReleaseCapture();
  EXPECT_EQ(first->State(), TButtonState::bsUp) << "still drawn pressed";
  click(20, 50);
  click(20, 20);
  EXPECT_EQ(log, (std::vector<std::string>{"second", "first"}));
}

TEST(GraphicControls, AControlThatAppearsOrGoesUnderAPointerAtRestIsHoveredOrLeft) {
  TPlainForm form(nullptr);
  auto* button = new TSpeedButton(&form);
  button->SetParent(&form);
  button->SetBounds(20, 20, 60, 30);
  button->SetVisible(false);
  std::vector<std::string> log;
  const auto original = button->WindowProc;
  button->WindowProc = [&](TMessage& m) {
    if (m.Msg == CM_MOUSEENTER) log.push_back("enter");
    if (m.Msg == CM_MOUSELEAVE) log.push_back("leave");
    original(m);
  };
  form.Show();
  POINT p{50, 35};
  ClientToScreen(form.Handle(), &p);
  SetCursorPos(p.x, p.y);
  ASSERT_EQ(WindowFromPoint(p), form.Handle());
  button->SetVisible(true);
  button->SetVisible(false);
  button->WindowProc = original;
  EXPECT_EQ(log, (std::vector<std::string>{"enter", "leave"}));
}

TEST(MessageHook, OwnersSitInFrontOfTheControlAndLeaveInAnyOrder) {
  TPlainForm form(nullptr);
  auto* button = Make<TButton>(&form, 0, 0, 80, 24);
  int clicks = 0;
  button->OnClick = [&](TObject*) { ++clicks; };
  form.Show();
  std::string order;
  bool swallowClicks = true;
  TControlMessageHook outer, inner;
  inner.Attach(*button, [&](TMessage& m, const TWndMethod& next) {
    if (m.Msg == CN_COMMAND) order += "i";
    next(m);
  });
  outer.Attach(*button, [&](TMessage& m, const TWndMethod& next) {
    if (m.Msg == CN_COMMAND) order += "o";
    if (m.Msg == CN_COMMAND && swallowClicks) return;
    next(m);
  });
  SendMessageW(button->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(order, "o") << "the newest owner answers first and may stop the message";
  swallowClicks = false;
  // The older owner leaves first; the newer one stays in front.
  inner.Detach();
  SendMessageW(button->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(order, "oo");
  outer.Detach();
  SendMessageW(button->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(order, "oo");
  EXPECT_EQ(FindControl(button->Handle()), button);

  // A windowless control, and an owner that outlives its control.
  auto* label = new TLabel(&form);
  label->SetParent(&form);
  int seen = 0;
  outer.Attach(*label, [&](TMessage& m, const TWndMethod& next) {
    seen += m.Msg == CM_TEXTCHANGED;
    next(m);
  });
  label->SetCaption("x");
  EXPECT_EQ(seen, 1);
  EXPECT_EQ(label->Caption(), "x");
  delete label;
  EXPECT_EQ(outer.Control(), nullptr);
  outer.Detach();
}

TEST(SpinEdit, UnboundedWhenMinEqualsMaxAndBadTextReadsAsMinimum) {
  TPlainForm form(nullptr);
  auto* spin = Make<TSpinEdit>(&form, 0, 0, 55, 23);
  form.Show();
  spin->SetValue(30);
  EXPECT_EQ(spin->Value(), 30);
  spin->SetValue(-5000000);
  EXPECT_EQ(spin->Value(), -5000000);
  spin->SetText("12x");
  EXPECT_EQ(spin->Value(), 0);
  spin->SetMaxValue(10);
  spin->SetMinValue(1);
  spin->SetValue(30);
  EXPECT_EQ(spin->Value(), 10);
  spin->SetText("-3");
  EXPECT_EQ(spin->Value(), 1);
  spin->SetValue(5);
  SendMessageW(spin->Handle(), WM_KEYDOWN, VK_UP, 1);
  EXPECT_EQ(spin->Value(), 6);
}

TEST(DateTimePicker, TimeSurvivesTheWindowAndKeepsTheDate) {
  TPlainForm form(nullptr);
  auto* picker = Make<TDateTimePicker>(&form, 0, 0, 113, 32);
  picker->SetKind(TDateTimeKind::dtkTime);
  picker->SetDateTime(EncodeDateTime(2026, 12, 7, 23, 30, 0));
  form.Show();
  EXPECT_NEAR(picker->DateTime(), EncodeDateTime(2026, 12, 7, 23, 30, 0), 1e-8);
  picker->SetTime(EncodeDateTime(1899, 12, 30, 0, 30, 5) );
  EXPECT_NEAR(picker->Time(), (30 * 60 + 5) / 86400.0, 1e-8);
  EXPECT_NEAR(picker->Date(), EncodeDateTime(2026, 12, 7, 0, 0, 0), 1e-8);
  SetPropValue(*picker, "Time", "14:05:09");
  EXPECT_NEAR(picker->Time(), (14 * 3600 + 5 * 60 + 9) / 86400.0, 1e-8);
  EXPECT_THROW(SetPropValue(*picker, "Time", "25:00:00"), EConvertError);
  const SYSTEMTIME st = DateTimeToSystemTime(EncodeDateTime(2000, 2, 29, 12, 0, 0));
  EXPECT_EQ(st.wYear, 2000);
  EXPECT_EQ(st.wMonth, 2);
  EXPECT_EQ(st.wDay, 29);
  EXPECT_EQ(st.wDayOfWeek, 2);
  EXPECT_EQ(st.wHour, 12);
}

TEST(WindowedControls, AControlEnabledAgainTakesInputAgain) {
  TPlainForm form(nullptr);
  auto* picker = Make<TDateTimePicker>(&form, 0, 0, 113, 32);
  form.Show();
  picker->SetEnabled(false);
  EXPECT_FALSE(IsWindowEnabled(picker->Handle()));
  picker->SetEnabled(true);
  EXPECT_TRUE(IsWindowEnabled(picker->Handle()));
}

TEST(Labels, AutoSizeFollowsTheTextAndAlignedLabelsKeepTheirWidth) {
  TPlainForm form(nullptr);
  auto* label = new TLabel(&form);
  label->SetParent(&form);
  label->SetCaption("W");
  const int narrow = label->Width();
  label->SetCaption("WWWW");
  EXPECT_GT(label->Width(), narrow * 3);
  const int oneLine = label->Height();
  label->SetCaption("A\rB");
  EXPECT_GE(label->Height(), oneLine * 2);
  auto* top = new TLabel(&form);
  top->SetParent(&form);
  top->SetAlign(TAlign::alTop);
  top->SetCaption("x");
  EXPECT_EQ(top->Width(), form.ClientWidth());
  EXPECT_EQ(top->Top(), 0);
}

// Pixels of the form inside area but outside spared that are not the form's white background:
// text drawn there.
int InkOutside(TForm& form, TRect area, TRect spared) {
  UpdateWindow(form.Handle());
  HDC dc = GetDC(form.Handle());
  int ink = 0;
  for (int y = area.Top; y < area.Bottom; ++y)
    for (int x = area.Left; x < area.Right; ++x)
      if (!spared.Contains({x, y}) && GetPixel(dc, x, y) != RGB(255, 255, 255)) ++ink;
  ReleaseDC(form.Handle(), dc);
  return ink;
}

TEST(Labels, ATransparentLabelLeavesNothingOfItsOldTextBehind) {
  TPlainForm form(nullptr);
  form.SetColor(clWhite);
  auto* label = Make<TLabel>(&form, 10, 10, 10, 10);
  label->SetTransparent(true);
  label->Font()->SetHeight(-24);
  label->SetCaption("WWWWWW");
  form.Show();
  SetForegroundWindow(form.Handle());
  const std::vector<std::pair<std::string, std::function<void()>>> changes = {
      {"caption", [&] { label->SetCaption("."); }},
      {"font", [&] { label->Font()->SetHeight(-8); }},
      {"bounds", [&] { label->SetLeft(150); }},
      {"visibility", [&] { label->SetVisible(false); }},
  };
  for (const auto& [what, change] : changes) {
    label->SetVisible(true);
    label->SetBounds(10, 10, 10, 10);
    label->Font()->SetHeight(-24);
    label->SetCaption("WWWWWW");
    const TRect before = label->BoundsRect();
    ASSERT_GT(InkOutside(form, before, {}), 50) << "the text was not drawn before the " << what << " change";
    change();
    EXPECT_EQ(InkOutside(form, before, label->Visible() ? label->BoundsRect() : TRect{}), 0)
        << "old text left after the " << what << " change";
  }
}

TEST(PopupMenu, ItemsNestFromTheLayoutInOrder) {
  struct TMenuForm : TForm {
    explicit TMenuForm(TComponent* owner) : TForm(owner) {
      Handler("X1Click", &TMenuForm::X1Click);
      InitializeForm(R"(object F: TForm
  object PopupMenu1: TPopupMenu
    object S1: TMenuItem
      Caption = '设置(&S)'
    end
    object N1: TMenuItem
      Caption = '-'
    end
    object X1: TMenuItem
      Caption = '退出(&X)'
      OnClick = X1Click
    end
  end
  object Label1: TLabel
    PopupMenu = PopupMenu1
  end
end
)");
    }
    void X1Click(TObject*) { ++exits; }
    int exits = 0;
  };
  TMenuForm form(nullptr);
  auto* menu = dynamic_cast<TPopupMenu*>(form.FindComponent("PopupMenu1"));
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(menu->Items()->Count(), 3);
  EXPECT_EQ(menu->Items()->Items(0)->Caption(), "设置(&S)");
  EXPECT_TRUE(menu->Items()->Items(1)->IsLine());
  menu->Items()->Items(2)->Click();
  EXPECT_EQ(form.exits, 1);
  EXPECT_EQ(dynamic_cast<TLabel*>(form.FindComponent("Label1"))->PopupMenu(), menu);
  delete form.FindComponent("N1");
  EXPECT_EQ(menu->Items()->Count(), 2);
  delete menu;
  EXPECT_EQ(dynamic_cast<TLabel*>(form.FindComponent("Label1"))->PopupMenu(), nullptr);
}

}  // namespace

namespace {

TEST(ActiveXHost, AMissingControlLeavesAnEmptyAreaAndCallsReportFalse) {
  TPlainForm form(nullptr);
  auto* host = Make<TActiveXControl>(&form, 0, 0, 210, 22);
  host->SetSettings({"WMode=Window", "Quality2=High"});
  host->SetProgID("Brevin.NoSuchControl");
  form.Show();
  EXPECT_FALSE(host->ControlAvailable());
  EXPECT_FALSE(host->SetStringProperty(102, "C:\\movie.swf"));
  EXPECT_FALSE(host->CallMethod("Play"));
  EXPECT_TRUE(IsWindow(host->Handle()));
}

}  // namespace

namespace {

thread_local TWinControl* hookChild = nullptr;
thread_local int hookCreations = 0;

// Creates another framework window while the first one is being created, as a skinning hook may.
LRESULT CALLBACK NestedCreationHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND && hookChild && !hookChild->HandleAllocated() && hookCreations++ == 0) hookChild->HandleNeeded();
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(WindowCreation, AWindowMadeByAHookDuringCreationDoesNotTakeTheOuterControl) {
  TPlainForm form(nullptr);
  form.HandleNeeded();
  auto* inner = Make<TPanel>(&form, 0, 0, 50, 50);
  inner->DestroyHandle();
  hookChild = inner;
  hookCreations = 0;
  auto* outer = new TButton(&form);
  bool outerSawCreate = false;
  TWndMethod saved = outer->WindowProc;
  outer->WindowProc = [&](TMessage& m) {
    if (m.Msg == WM_CREATE) outerSawCreate = true;
    saved(m);
  };
  HHOOK hook = SetWindowsHookExW(WH_CBT, NestedCreationHook, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  outer->SetParent(&form);
  UnhookWindowsHookEx(hook);
  hookChild = nullptr;
  ASSERT_TRUE(outer->HandleAllocated());
  ASSERT_TRUE(inner->HandleAllocated());
  EXPECT_EQ(FindControl(outer->Handle()), outer);
  EXPECT_EQ(FindControl(inner->Handle()), inner);
  EXPECT_NE(outer->Handle(), inner->Handle());
  // The outer control was attached from its first message on.
  EXPECT_TRUE(outerSawCreate);
  outer->WindowProc = saved;
}

}  // namespace

namespace {

TEST(ControlList, AParentHearsOfChildrenJoiningAndLeaving) {
  TPlainForm form(nullptr);
  auto* panel = Make<TPanel>(&form, 0, 0, 100, 100);
  std::vector<std::pair<TControl*, LPARAM>> heard;
  TWndMethod saved = panel->WindowProc;
  panel->WindowProc = [&](TMessage& m) {
    if (m.Msg == CM_CONTROLLISTCHANGE) heard.emplace_back(reinterpret_cast<TControl*>(m.WParam), m.LParam);
    saved(m);
  };
  auto* label = new TLabel(&form);
  label->SetParent(panel);
  auto* button = new TButton(&form);
  button->SetParent(panel);
  EXPECT_EQ(panel->ControlCount(), 2);
  delete label;
  button->SetParent(&form);
  panel->WindowProc = saved;
  const std::vector<std::pair<TControl*, LPARAM>> expected = {{label, 1}, {button, 1}, {label, 0}, {button, 0}};
  EXPECT_EQ(heard, expected);
  EXPECT_EQ(panel->ControlCount(), 0);
}

}  // namespace

namespace {

TEST(ActiveXHost, AnInstalledControlIsHostedAndReachedByName) {
  // The web browser control is part of every Windows (and of Wine).
  TPlainForm form(nullptr);
  auto* host = Make<TActiveXControl>(&form, 0, 0, 210, 60);
  host->SetProgID("Shell.Explorer");
  form.Show();
  CLSID clsid{};
  if (FAILED(CLSIDFromProgID(L"Shell.Explorer", &clsid))) GTEST_SKIP() << "no web browser control on this system";
  ASSERT_TRUE(host->ControlAvailable());
  EXPECT_TRUE(host->CallMethod("Stop"));
  EXPECT_FALSE(host->CallMethod("NoSuchMethod"));
  EXPECT_FALSE(host->SetStringProperty("NoSuchProperty", "x"));
}

}  // namespace
