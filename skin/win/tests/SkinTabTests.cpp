#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "framework/controls/ComCtrls.h"
#include "framework/controls/Forms.h"
#include "framework/controls/tests/GuiObjectCount.h"
#include "framework/controls/tests/MessagePump.h"
#include "framework/win32/DCState.h"
#include "framework/win32/Handles.h"
#include "skin/win/data/SkinDataUnit.h"
#include "skin/win/tabs/SkinTab.h"
#include "skin/win/tabs/SkinTabBtn.h"
#include "skin/win/tabs/SkinTabSheet.h"

namespace {

constexpr const char* kSkinFile = "skin-win-test-velskin.skn";
constexpr int kSheets = 3;

class TTabsForm : public TForm {
public:
  BREVIN_CLASS_INFO()
  TTabsForm() : TForm(nullptr) {
    InitializeForm(
        "object TabsForm: TTabsForm\n  Left = 60\n  Top = 40\n  ClientWidth = 320\n  ClientHeight = 220\n"
        "  object Pages: TPageControl\n    Left = 10\n    Top = 10\n    Width = 300\n    Height = 200\n"
        "    object Sheet1: TTabSheet\n      Caption = 'Rest'\n    end\n"
        "    object Sheet2: TTabSheet\n      Caption = 'Remind'\n    end\n"
        "    object Sheet3: TTabSheet\n      Caption = 'Help'\n    end\n"
        "  end\n"
        "end\n");
  }
  TPageControl& Pages() { return *static_cast<TPageControl*>(FindComponent("Pages")); }
};

const TClassInfo& TTabsForm::StaticClassInfo() {
  static const TClassInfo info("TTabsForm", &TForm::StaticClassInfo());
  return info;
}

COLORREF AsColorRef(uint32_t pixel) { return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF); }

// What the window paints into a DC of its own size.
class TPainted {
public:
  explicit TPainted(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    width_ = r.right;
    height_ = r.bottom;
    WindowDC screen(window);
    dc_ = UniqueMemoryDC(CreateCompatibleDC(screen.get()));
    bitmap_ = UniqueBitmap(CreateCompatibleBitmap(screen.get(), width_, height_));
    const SelectedObject selected(dc_.get(), bitmap_.get());
    SendMessageW(window, WM_PAINT, reinterpret_cast<WPARAM>(dc_.get()), 0);
  }
  COLORREF At(int x, int y) const {
    const SelectedObject selected(dc_.get(), bitmap_.get());
    return GetPixel(dc_.get(), x, y);
  }
  std::vector<COLORREF> All() const {
    std::vector<COLORREF> pixels;
    const SelectedObject selected(dc_.get(), bitmap_.get());
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) pixels.push_back(GetPixel(dc_.get(), x, y));
    return pixels;
  }

private:
  int width_ = 0;
  int height_ = 0;
  UniqueMemoryDC dc_;
  UniqueBitmap bitmap_;
};

RECT TabRect(HWND tabs, int index) {
  RECT r{};
  SendMessageW(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
  return r;
}

void SetTabText(HWND tabs, int index, const wchar_t* text) {
  std::wstring copy = text;
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = copy.data();
  SendMessageW(tabs, TCM_SETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

class SkinTab : public ::testing::Test {
protected:
  void SetUp() override {
    data.OnReaderMessage = [](const std::string&) {};
    data.SetSkinFile(kSkinFile);
    ASSERT_FALSE(data.LoadingSkin());
    tabsObject = dynamic_cast<const TDataSkinBorder*>(data.Model().Find("Tabs"));
    ASSERT_NE(tabsObject, nullptr) << "the program's skin has tabs";
    form = std::make_unique<TTabsForm>();
    form->Show();
    SetForegroundWindow(form->Handle());
    Pump(30);
  }

  HWND Tabs() { return form->Pages().Handle(); }

  // A point in a tab's top-left corner, (dx, dy) from the tab's drawn top-left, where the unselected
  // and the selected "Tabs" frames differ and neither is see-through; the corner is copied 1:1.
  bool FindTellingCorner(int& dx, int& dy) const {
    const TRect normal = tabsObject->FrameRect(1);
    const TRect selected = tabsObject->FrameRect(2);
    for (dy = 0; dy < tabsObject->TopHeight; ++dy) {
      for (dx = 0; dx < tabsObject->LeftWidth; ++dx) {
        const uint32_t a = tabsObject->Image.Pixel(normal.Left + dx, normal.Top + dy);
        const uint32_t b = tabsObject->Image.Pixel(selected.Left + dx, selected.Top + dy);
        if (a != b && a != kSkinMagenta && b != kSkinMagenta) return true;
      }
    }
    return false;
  }
  COLORREF FramePixel(int frame, int dx, int dy) const {
    const TRect r = tabsObject->FrameRect(frame);
    return AsColorRef(tabsObject->Image.Pixel(r.Left + dx, r.Top + dy));
  }

  TSkinData data{nullptr};
  const TDataSkinBorder* tabsObject = nullptr;
  std::unique_ptr<TTabsForm> form;
};

TEST_F(SkinTab, TheSelectedTabShowsTheSelectedFrameAndClicksAndKeysStillSwitchPages) {
  int dx = 0;
  int dy = 0;
  ASSERT_TRUE(FindTellingCorner(dx, dy)) << "the skin's tab frames must differ in a corner";
  TSkinTab skinner;
  skinner.Attach(nullptr, data, 0, form->Pages());
  int changes = 0;
  form->Pages().OnChange = [&](TObject*) { ++changes; };
  // A tab is drawn one pixel below the place the control gives it.
  const auto shows = [&](int index) {
    const TPainted painted(Tabs());
    std::vector<int> frames;
    for (int i = 0; i < kSheets; ++i) {
      const RECT t = TabRect(Tabs(), i);
      const COLORREF pixel = painted.At(t.left + dx, t.top + 1 + dy);
      frames.push_back(pixel == FramePixel(2, dx, dy) ? 2 : pixel == FramePixel(1, dx, dy) ? 1 : 0);
    }
    std::vector<int> expected(kSheets, 1);
    expected[static_cast<size_t>(index)] = 2;
    return frames == expected;
  };
  EXPECT_TRUE(shows(0));

  const RECT third = TabRect(Tabs(), 2);
  const LPARAM at = MAKELPARAM((third.left + third.right) / 2, (third.top + third.bottom) / 2);
  SendMessageW(Tabs(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(Tabs(), WM_LBUTTONUP, 0, at);
  Pump(20);
  EXPECT_EQ(form->Pages().ActivePageIndex(), 2);
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(shows(2));

  // The control's own keyboard: the arrow keys move between tabs while it has the focus.
  SetFocus(Tabs());
  SendMessageW(Tabs(), WM_KEYDOWN, VK_LEFT, 0x014B0001);
  Pump(20);
  EXPECT_EQ(form->Pages().ActivePageIndex(), 1);
  EXPECT_EQ(changes, 2);
  EXPECT_TRUE(shows(1));
}

TEST_F(SkinTab, ALongCaptionEndsInAnEllipsisInsideItsTabAndADisabledOneIsShadowed) {
  TSkinTab skinner;
  skinner.Attach(nullptr, data, 0, form->Pages());
  SetWindowLongPtrW(Tabs(), GWL_STYLE, GetWindowLongPtrW(Tabs(), GWL_STYLE) | TCS_FIXEDWIDTH);
  SendMessageW(Tabs(), TCM_SETITEMSIZE, 0, MAKELPARAM(80, 0));
  const RECT tab = TabRect(Tabs(), 1);
  ASSERT_EQ(tab.right - tab.left, 80);
  const std::vector<COLORREF> blank = [&] {
    SetTabText(Tabs(), 1, L"");
    return TPainted(Tabs()).All();
  }();
  SetTabText(Tabs(), 1, L"Remind me about my eyes every twenty minutes");
  const auto ink = [&](const std::vector<COLORREF>& written, std::vector<POINT>& points) {
    RECT client{};
    GetClientRect(Tabs(), &client);
    points.clear();
    for (size_t i = 0; i < written.size(); ++i) {
      if (written[i] != blank[i])
        points.push_back({static_cast<LONG>(i % static_cast<size_t>(client.right)),
                          static_cast<LONG>(i / static_cast<size_t>(client.right))});
    }
  };
  std::vector<POINT> points;
  ink(TPainted(Tabs()).All(), points);
  ASSERT_FALSE(points.empty());
  LONG right = tab.left;
  LONG top = tab.bottom;
  LONG bottom = tab.top;
  for (const POINT& p : points) {
    EXPECT_TRUE(p.x > tab.left && p.x < tab.right - 1) << "ink outside the tab at " << p.x;
    right = std::max(right, p.x);
    top = std::min(top, p.y);
    bottom = std::max(bottom, p.y);
  }
  EXPECT_GT(right, tab.right - 12) << "the caption fills its tab";
  // The last columns hold the ellipsis: dots on the base line, nothing in the upper half.
  for (const POINT& p : points) {
    if (p.x > right - 6) {
      EXPECT_GT(p.y, (top + bottom) / 2) << "a letter, not a dot, at " << p.x;
    }
  }

  form->Pages().SetEnabled(false);
  ink(TPainted(Tabs()).All(), points);
  ASSERT_FALSE(points.empty());
  const COLORREF shadow = ColorToRGB(data.Model().Colour(TSkinColour::ButtonShadow));
  size_t shadowed = 0;
  const std::vector<COLORREF> disabled = TPainted(Tabs()).All();
  RECT client{};
  GetClientRect(Tabs(), &client);
  for (const POINT& p : points) shadowed += disabled[static_cast<size_t>(p.y * client.right + p.x)] == shadow;
  EXPECT_GT(shadowed * 2, points.size()) << "most of the caption's ink is the shadow colour";
}

TEST_F(SkinTab, TheButtonRowShowsThePressedButtonOnTheSelectedPage) {
  TSkinTabBtn skinner;
  form->Pages().SetStyle(TTabStyle::tsFlatButtons);
  Pump(20);
  skinner.Attach(nullptr, data, 0, form->Pages());
  const TDataSkinButton& buttons = data.Model().Buttons();
  const TPainted painted(Tabs());
  for (int i = 0; i < kSheets; ++i) {
    const RECT t = TabRect(Tabs(), i);
    const TRect frame = buttons.FrameRect(i == 0 ? 2 : 1);
    // The button's corners are drawn 1:1, one pixel below the tab's place.
    EXPECT_EQ(painted.At(t.left + 2, t.top + 1 + 2), AsColorRef(buttons.Image.Pixel(frame.Left + 2, frame.Top + 2)))
        << "tab " << i;
  }
  RECT client{};
  GetClientRect(Tabs(), &client);
  EXPECT_EQ(painted.At(1, client.bottom - 2), ColorToRGB(data.Model().Colour(TSkinColour::ButtonFace)))
      << "the strip around the pages";
}

TEST_F(SkinTab, RowsAtTheBottomAndTheSidesTurnTheTabPictures) {
  int dx = 0;
  int dy = 0;
  ASSERT_TRUE(FindTellingCorner(dx, dy)) << "the skin's tab frames must differ in a corner";
  struct TRow {
    LONG_PTR style;
    TTabPosition position;
    // Where the point (dx, dy) of a tab's top-left picture corner lands, from the tab's place.
    POINT (*at)(const RECT& tab, int dx, int dy);
  };
  const TRow rows[] = {
      {TCS_BOTTOM, TTabPosition::Bottom, [](const RECT& t, int x, int y) { return POINT{t.left + x, t.bottom - 2 - y}; }},
      {TCS_VERTICAL | TCS_MULTILINE, TTabPosition::Left,
       [](const RECT& t, int x, int y) { return POINT{t.left + y, t.bottom - 1 - x}; }},
      {TCS_VERTICAL | TCS_BOTTOM | TCS_MULTILINE, TTabPosition::Right,
       [](const RECT& t, int x, int y) { return POINT{t.right - 1 - y, t.top - 1 + x}; }},
  };
  const LONG_PTR plain = GetWindowLongPtrW(Tabs(), GWL_STYLE);
  // The row moves while skinned.
  TSkinTab skinner;
  skinner.Attach(nullptr, data, 0, form->Pages());
  for (const TRow& row : rows) {
    SetWindowLongPtrW(Tabs(), GWL_STYLE, plain | row.style);
    SetWindowPos(Tabs(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    ASSERT_EQ(skinner.Position(), row.position);
    const TPainted painted(Tabs());
    for (int i = 0; i < 2; ++i) {
      const POINT p = row.at(TabRect(Tabs(), i), dx, dy);
      EXPECT_EQ(painted.At(p.x, p.y), FramePixel(i == 0 ? 2 : 1, dx, dy))
          << "position " << static_cast<int>(row.position) << ", tab " << i;
    }
  }
}

TEST_F(SkinTab, SheetsAreFlatInTheButtonFace) {
  TSkinTabSheet skinner;
  TTabSheet& sheet = *form->Pages().ActivePage();
  skinner.Attach(nullptr, data, 0, sheet);
  const TPainted painted(sheet.Handle());
  const COLORREF face = ColorToRGB(data.Model().Colour(TSkinColour::ButtonFace));
  EXPECT_EQ(painted.At(5, 5), face);
  EXPECT_EQ(painted.At(sheet.Width() - 5, sheet.Height() - 5), face);
}

TEST_F(SkinTab, GuiObjectsStayFlatOverRepaintsAndDetachPaintsAsBefore) {
  const std::vector<COLORREF> unskinned = TPainted(Tabs()).All();
  {
    TSkinTab skinner;
    skinner.Attach(nullptr, data, 0, form->Pages());
    TSkinTabSheet sheet;
    sheet.Attach(nullptr, data, 0, *form->Pages().ActivePage());
    EXPECT_NE(TPainted(Tabs()).All(), unskinned);
    const GuiObjectCount before = CountGuiObjects();
    for (int i = 0; i < 1000; ++i) {
      RedrawWindow(Tabs(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
    const GuiObjectCount after = CountGuiObjects();
    EXPECT_LE(after.gdi, before.gdi + 2) << "the row buffer";
    EXPECT_EQ(after.windows, before.windows);
  }
  EXPECT_EQ(TPainted(Tabs()).All(), unskinned);
}

TEST_F(SkinTab, ACloseGlyphOnAPageControlTagged7777FreesItsPage) {
  form->Pages().Tag = 7777;
  TSkinTab skinner;
  skinner.Attach(nullptr, data, 0, form->Pages());
  const RECT tab = TabRect(Tabs(), 1);
  // The glyph's outline, a tab drawn one pixel below its place: in the default pen, black.
  const TPainted painted(Tabs());
  EXPECT_EQ(painted.At(tab.right - 8, tab.top + 1 + 2), RGB(0, 0, 0));
  EXPECT_EQ(painted.At(tab.right - 5, tab.top + 1 + 5), RGB(0, 0, 0)) << "the crossing";
  TTabSheet* kept = form->Pages().Pages(0);
  SendMessageW(Tabs(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(tab.right - 5, tab.top + 1 + 5));
  SendMessageW(Tabs(), WM_LBUTTONUP, 0, MAKELPARAM(tab.right - 5, tab.top + 1 + 5));
  Pump(20);
  ASSERT_EQ(form->Pages().PageCount(), 2);
  EXPECT_EQ(form->Pages().Pages(0), kept);
  EXPECT_EQ(form->Pages().ActivePage(), kept) << "the press only closes";
  EXPECT_EQ(SendMessageW(Tabs(), TCM_GETITEMCOUNT, 0, 0), 2);
}

}  // namespace
