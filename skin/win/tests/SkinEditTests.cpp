#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>

#include "framework/controls/ComCtrls.h"
#include "framework/controls/Forms.h"
#include "framework/controls/Spin.h"
#include "framework/controls/StdCtrls.h"
#include "framework/controls/tests/GuiObjectCount.h"
#include "framework/controls/tests/MessagePump.h"
#include "framework/win32/DCState.h"
#include "framework/win32/Handles.h"
#include "skin/win/controls/SkinComBox.h"
#include "skin/win/manager/SkinControlFactory.h"
#include "skin/win/data/SkinDataUnit.h"
#include "skin/win/controls/SkinDateTime.h"
#include "skin/win/tests/SkinFileRebuild.h"
#include "skin/win/controls/SkinEdit.h"
#include "skin/win/tabs/SkinTab.h"
#include "skin/win/controls/SkinUpDown.h"

namespace {

constexpr const char* kSkinFile = "skin-win-test-velskin.skn";
// The program's skin names these colours (section "Colours").
constexpr COLORREF kButtonShadow = RGB(143, 166, 154);
constexpr COLORREF kButtonDkShadow = RGB(79, 107, 93);
constexpr COLORREF kHilight = RGB(169, 214, 188);
constexpr COLORREF kWindowText = RGB(30, 52, 41);
constexpr COLORREF kButtonFace = RGB(236, 246, 240);

class TFieldsForm : public TForm {
public:
  BREVIN_CLASS_INFO()
  TFieldsForm() : TForm(nullptr) {
    InitializeForm(
        "object FieldsForm: TFieldsForm\n  Left = 60\n  Top = 40\n  ClientWidth = 320\n  ClientHeight = 220\n"
        "  object Spin: TSpinEdit\n    Left = 10\n    Top = 10\n    Width = 80\n    Height = 24\n"
        "    MaxValue = 3600\n    MinValue = 0\n    Value = 30\n  end\n"
        "  object Edit: TEdit\n    Left = 10\n    Top = 50\n    Width = 120\n    Height = 24\n  end\n"
        "  object Time: TDateTimePicker\n    Left = 150\n    Top = 10\n    Width = 113\n    Height = 28\n"
        "    Kind = dtkTime\n  end\n"
        "  object Date: TDateTimePicker\n    Left = 150\n    Top = 50\n    Width = 140\n    Height = 24\n  end\n"
        "end\n");
  }
  template <typename T>
  T& Find(const char* name) {
    return *static_cast<T*>(FindComponent(name));
  }
};

const TClassInfo& TFieldsForm::StaticClassInfo() {
  static const TClassInfo info("TFieldsForm", &TForm::StaticClassInfo());
  return info;
}

COLORREF AsColorRef(uint32_t pixel) { return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF); }

// A pixel of a skin object's frame.
COLORREF FramePixel(const TDataSkinObject& object, int frame, int x, int y) {
  const TRect r = object.FrameRect(frame);
  return AsColorRef(object.Image.Pixel(r.Left + x, r.Top + y));
}

// What the window shows on the screen at (x, y) of its whole rectangle, frame included.
COLORREF ShownPixel(HWND window, int x, int y) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Pump(10);
  WindowFrameDC dc(window);
  return GetPixel(dc.get(), x, y);
}

SIZE WindowSize(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return {r.right - r.left, r.bottom - r.top};
}

void Mouse(HWND window, UINT msg, int x, int y, WPARAM keys = 0) {
  SendMessageW(window, msg, keys, MAKELPARAM(static_cast<unsigned short>(x), static_cast<unsigned short>(y)));
}

// Puts the pointer at (x, y) of window's rectangle once the system finds it there and keeps it there
// (the display may still report the pointer's way for a moment).
void PointerAt(HWND window, int x, int y) {
  RECT r{};
  GetWindowRect(window, &r);
  const POINT target{r.left + x, r.top + y};
  const auto there = [&] {
    POINT p{};
    return GetCursorPos(&p) && p.x == target.x && p.y == target.y && WindowFromPoint(p) == window;
  };
  for (int attempt = 0; attempt < 5; ++attempt) {
    SetCursorPos(target.x, target.y);
    PumpUntil(there, 500);
    Pump(30);
    if (there()) return;
  }
}

HWND ChildOfClass(HWND parent, const wchar_t* className) { return FindWindowExW(parent, nullptr, className, nullptr); }

class SkinEdit : public ::testing::Test {
protected:
  void SetUp() override {
    data.OnReaderMessage = [](const std::string&) {};
    data.SetSkinFile(kSkinFile);
    ASSERT_FALSE(data.LoadingSkin());
    form = std::make_unique<TFieldsForm>();
    form->Show();
    SetForegroundWindow(form->Handle());
    Pump(30);
  }

  TSpinEdit& Spin() { return form->Find<TSpinEdit>("Spin"); }
  TEdit& Edit() { return form->Find<TEdit>("Edit"); }
  const TDataSkinBorder& Object(const char* name) const {
    return *dynamic_cast<const TDataSkinBorder*>(data.Model().Find(name));
  }

  // A raw drop-down list box with three items, the first selected.
  UniqueWindow MakeComboBox(DWORD kind = CBS_DROPDOWNLIST) {
    UniqueWindow combo(CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | kind, 10, 100, 140, 200,
                                       form->Handle(), nullptr, GetModuleHandleW(nullptr), nullptr));
    for (const wchar_t* item : {L"Rest", L"Remind", L"Lock"})
      SendMessageW(combo.get(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    SendMessageW(combo.get(), CB_SETCURSEL, 0, 0);
    return combo;
  }

  TSkinData data{nullptr};
  std::unique_ptr<TFieldsForm> form;
};

TEST_F(SkinEdit, ASpinEditsArrowsShowTheSkinsStatesAndStillCount) {
  TSkinEdit skinner;
  skinner.Attach(nullptr, data, 0, Spin());
  ASSERT_EQ(skinner.Arrows().size(), 1u);
  TSkinUpDown& arrows = *skinner.Arrows().front();
  HWND window = arrows.Handle();
  const TDataSkinBorder& vert = Object("UpDown.Vert");
  const SIZE size = WindowSize(window);
  // Corners are copied as they are: the up button's top-left, the down button's bottom-left.
  EXPECT_EQ(ShownPixel(window, 0, 0), FramePixel(vert, 1, 0, 0));
  EXPECT_EQ(ShownPixel(window, 1, size.cy - 1), FramePixel(vert, 5, 1, vert.Image.Height() - 1));

  // The pointer on the arrows is on the spin edit too: its frame stays hot until it leaves both.
  PointerAt(window, 3, 3);
  SendMessageW(window, WM_MOUSELEAVE, 0, 0);
  Mouse(window, WM_MOUSEMOVE, 3, 3);
  EXPECT_EQ(arrows.ButtonFrame(1), 2);
  EXPECT_EQ(arrows.ButtonFrame(2), 5);
  EXPECT_EQ(skinner.Look(), TFieldLook::Hot);
  PointerAt(form->Handle(), 300, 200);
  SendMessageW(window, WM_MOUSELEAVE, 0, 0);
  // The system may still be telling of the pointer's way out.
  EXPECT_TRUE(PumpUntil([&] { return skinner.Look() == TFieldLook::Normal; }, 2000));
  PointerAt(window, 3, 3);
  Mouse(window, WM_MOUSEMOVE, 3, 3);
  Mouse(window, WM_LBUTTONDOWN, 3, 3, MK_LBUTTON);
  EXPECT_EQ(arrows.ButtonFrame(1), 3);
  EXPECT_EQ(ShownPixel(window, 1, 1), FramePixel(vert, 3, 1, 1));
  Mouse(window, WM_LBUTTONUP, 3, 3);
  EXPECT_EQ(Spin().Value(), 31);
  Mouse(window, WM_LBUTTONDOWN, 3, size.cy - 3, MK_LBUTTON);
  Mouse(window, WM_LBUTTONUP, 3, size.cy - 3);
  Mouse(window, WM_LBUTTONDOWN, 3, size.cy - 3, MK_LBUTTON);
  Mouse(window, WM_LBUTTONUP, 3, size.cy - 3);
  EXPECT_EQ(Spin().Value(), 29);
  SendMessageW(Spin().Handle(), WM_KEYDOWN, VK_UP, 0);
  EXPECT_EQ(Spin().Value(), 30);

  Spin().SetEnabled(false);
  EXPECT_EQ(arrows.ButtonFrame(1), 4);
  EXPECT_EQ(arrows.ButtonFrame(2), 8);
  EXPECT_EQ(ShownPixel(window, 1, 1), FramePixel(vert, 4, 1, 1));
  EXPECT_EQ(skinner.Look(), TFieldLook::Disabled);
}

TEST_F(SkinEdit, TheFrameFollowsHoverAndFocusAndTheTextTakesTheSkinsColours) {
  TSkinEdit skinner;
  skinner.Attach(nullptr, data, 0, Edit());
  HWND edit = Edit().Handle();
  EXPECT_EQ(ShownPixel(edit, 0, 5), kButtonShadow);
  EXPECT_EQ(ShownPixel(edit, 1, 5), RGB(255, 255, 255)) << "the field's own colour inside the outline";
  PointerAt(edit, 10, 10);
  Mouse(edit, WM_MOUSEMOVE, 10, 10);
  EXPECT_EQ(skinner.Look(), TFieldLook::Hot);
  EXPECT_EQ(ShownPixel(edit, 0, 5), kButtonDkShadow);
  Edit().SetFocus();
  Pump(10);
  EXPECT_EQ(skinner.Look(), TFieldLook::Focused);
  EXPECT_EQ(ShownPixel(edit, 1, 5), kHilight);

  // Typing is the edit's own.
  for (wchar_t c : std::wstring(L"42")) SendMessageW(edit, WM_CHAR, c, 0);
  EXPECT_EQ(Edit().Text(), "42");

  WindowDC screen(edit);
  SendMessageW(form->Handle(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(screen.get()), reinterpret_cast<LPARAM>(edit));
  EXPECT_EQ(GetTextColor(screen.get()), kWindowText);
  Edit().SetReadOnly(true);
  const auto brush = reinterpret_cast<HBRUSH>(SendMessageW(form->Handle(), WM_CTLCOLORSTATIC,
                                                           reinterpret_cast<WPARAM>(screen.get()),
                                                           reinterpret_cast<LPARAM>(edit)));
  EXPECT_EQ(brush, data.ButtonFaceBrush());
  EXPECT_EQ(GetBkColor(screen.get()), kButtonFace);

  // Switched off, the system draws its frame; switched on, the skin again.
  SendMessageW(edit, kSkinControlRoutingMessage, 0, 0);
  EXPECT_NE(ShownPixel(edit, 0, 5), kButtonDkShadow);
  EXPECT_NE(ShownPixel(edit, 0, 5), kButtonShadow);
  SendMessageW(edit, kSkinControlRoutingMessage, 1, 0);
  EXPECT_EQ(ShownPixel(edit, 0, 5), kButtonDkShadow);
}

TEST_F(SkinEdit, TimePickersGetSkinnedArrowsAndDatePickersTheComboButton) {
  auto& time = form->Find<TDateTimePicker>("Time");
  auto& date = form->Find<TDateTimePicker>("Date");
  TSkinEdit timeSkinner;
  timeSkinner.Attach(nullptr, data, 0, time);
  ASSERT_EQ(timeSkinner.Arrows().size(), 1u);
  TSkinUpDown& timeArrows = *timeSkinner.Arrows().front();
  EXPECT_EQ(SendMessageW(timeArrows.Handle(), kSkinQueryMessage, 0, 0), 1);
  // The program turns its time picker off while an alarm is set, and on again.
  time.SetEnabled(false);
  EXPECT_EQ(timeArrows.ButtonFrame(1), 4);
  time.SetEnabled(true);
  EXPECT_TRUE(IsWindowEnabled(time.Handle()));
  EXPECT_EQ(timeArrows.ButtonFrame(1), 1);
  EXPECT_EQ(ShownPixel(timeArrows.Handle(), 1, 1), FramePixel(Object("UpDown.Vert"), 1, 1, 1));

  TSkinDateTime dateSkinner;
  dateSkinner.Attach(nullptr, data, 0, date);
  const TDataSkinObject& arrow = *data.Model().Find("ComboxArrow");
  const SIZE size = WindowSize(date.Handle());
  const int button = Object("ComboButton").RightWidth;
  const int top = (size.cy - arrow.FrameRect(1).Height()) / 2;
  // The middle of the arrow's cell, where the arrow itself is drawn.
  const int x = size.cx - button + 8;
  EXPECT_EQ(ShownPixel(date.Handle(), x, top + 8), FramePixel(arrow, 1, 8, 8));
  date.SetEnabled(false);
  EXPECT_EQ(dateSkinner.ButtonFrame(), 4);
  EXPECT_EQ(ShownPixel(date.Handle(), x, top + 8), FramePixel(arrow, 4, 8, 8));
}

TEST_F(SkinEdit, AComboBoxShowsTheCombinedFaceAndStillDropsDownAndSteps) {
  UniqueWindow combo = MakeComboBox();
  const SIZE size = WindowSize(combo.get());
  const int button = Object("ComboButton").RightWidth;
  const TDataSkinObject& arrow = *data.Model().Find("ComboxArrow");
  const int top = (size.cy - arrow.FrameRect(1).Height()) / 2;
  const COLORREF ordinary = ShownPixel(combo.get(), size.cx - button + 8, top + 8);
  {
    TSkinComBox skinner;
    ASSERT_TRUE(skinner.AttachHandle(combo.get(), data, nullptr));
    EXPECT_EQ(ShownPixel(combo.get(), size.cx - button + 8, top + 8), FramePixel(arrow, 1, 8, 8));
    EXPECT_EQ(ShownPixel(combo.get(), 0, size.cy / 2), FramePixel(Object("ComboButton"), 1, 0, 10));

    SendMessageW(combo.get(), CB_SHOWDROPDOWN, TRUE, 0);
    Pump(10);
    EXPECT_EQ(skinner.ButtonFrame(), 3);
    EXPECT_EQ(ShownPixel(combo.get(), size.cx - button + 8, top + 8), FramePixel(arrow, 3, 8, 8));
    SendMessageW(combo.get(), CB_SHOWDROPDOWN, FALSE, 0);
    Pump(10);
    EXPECT_EQ(skinner.ButtonFrame(), 1);

    SetFocus(combo.get());
    SendMessageW(combo.get(), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(SendMessageW(combo.get(), CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(skinner.EdgeFrame(), 3);

    EnableWindow(combo.get(), FALSE);
    EXPECT_EQ(skinner.EdgeFrame(), 4);
    EXPECT_EQ(ShownPixel(combo.get(), 0, size.cy / 2), FramePixel(Object("ComboButton"), 4, 0, 10));
    EnableWindow(combo.get(), TRUE);
  }
  EXPECT_EQ(ShownPixel(combo.get(), size.cx - button + 8, top + 8), ordinary);
}

TEST_F(SkinEdit, ASkinWithoutTheirObjectsLeavesTheControlsOrdinary) {
  TSkinData bare{nullptr};
  UniqueWindow combo = MakeComboBox();
  const SIZE size = WindowSize(combo.get());
  const COLORREF ordinary = ShownPixel(combo.get(), size.cx - 10, size.cy / 2);
  HWND arrowsWindow = ChildOfClass(Spin().Handle(), UPDOWN_CLASSW);
  const COLORREF ordinaryArrow = ShownPixel(arrowsWindow, 1, 1);
  TSkinComBox comboSkinner;
  ASSERT_TRUE(comboSkinner.AttachHandle(combo.get(), bare, nullptr));
  TSkinEdit spinSkinner;
  spinSkinner.Attach(nullptr, bare, 0, Spin());
  EXPECT_EQ(ShownPixel(combo.get(), size.cx - 10, size.cy / 2), ordinary);
  EXPECT_EQ(ShownPixel(arrowsWindow, 1, 1), ordinaryArrow);
}

// The program's skin with its "SunkEdge" section renamed, so that no combined face is made.
void WriteSkinWithoutSunkEdge(const char* path) {
  const std::vector<uint8_t> skin = RebuiltSkinFile(kSkinFile, [](std::vector<uint8_t>& bytes) {
    std::string text(bytes.begin(), bytes.end());
    if (const size_t at = text.find("[SunkEdge]"); at != std::string::npos) text.replace(at, 10, "[NoSunkEdge]");
    bytes.assign(text.begin(), text.end());
  });
  TMemoryStream out;
  out.WriteBuffer(skin.data(), static_cast<int64_t>(skin.size()));
  out.SaveToFile(path);
}

TEST_F(SkinEdit, WithoutASunkEdgeAComboBoxHasAPlainEdgeAndTheRecolouredButton) {
  constexpr const char* kPath = "skin-win-test-nosunkedge.skn";
  WriteSkinWithoutSunkEdge(kPath);
  TSkinData plain{nullptr};
  plain.OnReaderMessage = [](const std::string&) {};
  plain.SetSkinFile(kPath);
  DeleteFileA(kPath);
  ASSERT_FALSE(plain.LoadingSkin());
  ASSERT_EQ(plain.Model().Find("SunkEdge"), nullptr);
  UniqueWindow combo = MakeComboBox();
  TSkinComBox skinner;
  ASSERT_TRUE(skinner.AttachHandle(combo.get(), plain, nullptr));
  const SIZE size = WindowSize(combo.get());
  EXPECT_EQ(ShownPixel(combo.get(), 0, size.cy / 2), kButtonShadow);
  const TDataSkinObject& arrow = *plain.Model().Find("ComboxArrow");
  // The button's corners are the recoloured combo button's own.
  EXPECT_EQ(ShownPixel(combo.get(), size.cx - 2, 1), FramePixel(arrow, 1, arrow.FrameRect(1).Width() - 2, 1));
}

TEST_F(SkinEdit, ATabRowsScrollArrowsAreSkinnedWhenTheyAppear) {
  auto* pages = new TPageControl(form.get());
  pages->SetParent(form.get());
  pages->SetBounds(10, 130, 120, 80);
  TSkinTab skinner;
  skinner.Attach(nullptr, data, 0, *pages);
  for (int i = 0; i < 8; ++i) {
    auto* sheet = new TTabSheet(form.get());
    sheet->SetPageControl(pages);
    sheet->SetCaption("Sheet " + std::to_string(i));
  }
  pages->Repaint();
  Pump(20);
  HWND arrows = ChildOfClass(pages->Handle(), UPDOWN_CLASSW);
  ASSERT_NE(arrows, nullptr) << "the tabs overflow";
  EXPECT_EQ(SendMessageW(arrows, kSkinQueryMessage, 0, 0), 1);
  const TDataSkinBorder& horz = Object("UpDown.Horz");
  EXPECT_EQ(ShownPixel(arrows, 0, 0), FramePixel(horz, 1, 0, 0));
}

TEST_F(SkinEdit, ControlsDestroyedWhileSkinnedLeaveNothingBehind) {
  auto cycle = [&] {
    auto* spin = new TSpinEdit(form.get());
    spin->SetParent(form.get());
    spin->SetBounds(10, 130, 80, 24);
    auto* date = new TDateTimePicker(form.get());
    date->SetParent(form.get());
    date->SetBounds(100, 130, 120, 24);
    UniqueWindow combo = MakeComboBox(CBS_DROPDOWN);
    TSkinEdit spinSkinner;
    spinSkinner.Attach(nullptr, data, 0, *spin);
    TSkinDateTime dateSkinner;
    dateSkinner.Attach(nullptr, data, 0, *date);
    TSkinComBox comboSkinner;
    EXPECT_TRUE(comboSkinner.AttachHandle(combo.get(), data, nullptr));
    form->Repaint();
    Pump(1);
    delete spin;
    delete date;
    combo.reset();
    EXPECT_EQ(spinSkinner.State(), TSkinControlState::Destroyed);
    EXPECT_EQ(spinSkinner.Arrows().front()->State(), TSkinControlState::Destroyed);
    EXPECT_EQ(comboSkinner.State(), TSkinControlState::Destroyed);
  };
  cycle();
  const GuiObjectCount before = CountGuiObjects();
  for (int i = 0; i < 30; ++i) cycle();
  const GuiObjectCount after = CountGuiObjects();
  EXPECT_EQ(after.gdi, before.gdi);
  EXPECT_EQ(after.windows, before.windows);
}

TEST_F(SkinEdit, TheFactoryMakesTheEditFamily) {
  EXPECT_NE(dynamic_cast<TSkinEdit*>(MakeControlSkinner({nullptr, TSkinnerKind::Edit}).get()), nullptr);
  EXPECT_NE(dynamic_cast<TSkinUpDown*>(MakeControlSkinner({nullptr, TSkinnerKind::UpDown}).get()), nullptr);
  EXPECT_NE(dynamic_cast<TSkinComBox*>(MakeControlSkinner({nullptr, TSkinnerKind::ComBox}).get()), nullptr);
  EXPECT_NE(dynamic_cast<TSkinDateTime*>(MakeControlSkinner({nullptr, TSkinnerKind::DateTime}).get()), nullptr);
}

}  // namespace
