#include "skin/win/tabs/SkinTab.h"

#include <commctrl.h>

#include <windowsx.h>

#include <algorithm>
#include <cstring>

#include "framework/controls/ComCtrls.h"
#include "framework/controls/Messages.h"
#include "framework/core/DpiScale.h"
#include "framework/win32/DCState.h"
#include "framework/win32/PaintBitmap.h"
#include "skin/layout/SkinImageTurn.h"
#include "skin/win/data/SkinDataUnit.h"
#include "skin/win/tabs/SkinTabText.h"
#include "skin/win/controls/SkinUpDown.h"

namespace {

// The page frame of a skin without "Tab.Pane" is cut at these, at 96 dpi.
constexpr TSkinMargins kBorderMargins{4, 5, 4, 4};
constexpr intptr_t kCloseGlyphTag = 7777;
// The close glyph's box and its inset from the tab's corner, at 96 dpi.
constexpr int kCloseGlyphSize = 6;
constexpr int kCloseGlyphInset = 2;

// Outlined and crossed in the DC's pen, in the tab's top-right corner.
TRect DrawCloseGlyph(HDC dc, const TRect& tab, int dpi) {
  const int inset = ScaleToDpi(kCloseGlyphInset, dpi);
  const int size = ScaleToDpi(kCloseGlyphSize, dpi);
  const TRect glyph{tab.Right - inset - size, tab.Top + inset, tab.Right - inset, tab.Top + inset + size};
  const POINT outline[5]{{glyph.Left, glyph.Top}, {glyph.Right, glyph.Top}, {glyph.Right, glyph.Bottom},
                         {glyph.Left, glyph.Bottom}, {glyph.Left, glyph.Top}};
  Polyline(dc, outline, 5);
  const POINT down[2]{{glyph.Left, glyph.Top}, {glyph.Right, glyph.Bottom}};
  const POINT up[2]{{glyph.Left, glyph.Bottom}, {glyph.Right, glyph.Top}};
  Polyline(dc, down, 2);
  Polyline(dc, up, 2);
  return TRect{glyph.Left, glyph.Top, glyph.Right + 1, glyph.Bottom + 1};
}

TTabPosition PositionOfStyle(LONG_PTR style) {
  const bool bottom = (style & TCS_BOTTOM) != 0;
  if (style & TCS_VERTICAL) return bottom ? TTabPosition::Right : TTabPosition::Left;
  return bottom ? TTabPosition::Bottom : TTabPosition::Top;
}

TSkinImage Oriented(const TSkinImage& image, TTabPosition position) {
  switch (position) {
    case TTabPosition::Bottom:
      return FlippedVertically(image);
    case TTabPosition::Left:
      return TurnedAnticlockwise(image);
    case TTabPosition::Right:
      return TurnedClockwise(image);
    default:
      return image;
  }
}

// The slices follow the picture round.
TSkinMargins Oriented(TSkinMargins m, TTabPosition position) {
  switch (position) {
    case TTabPosition::Bottom:
      return {m.Left, m.Bottom, m.Right, m.Top};
    case TTabPosition::Left:
      return {m.Top, m.Right, m.Bottom, m.Left};
    case TTabPosition::Right:
      return {m.Bottom, m.Left, m.Top, m.Right};
    default:
      return m;
  }
}

bool Sideways(TTabPosition position) { return position == TTabPosition::Left || position == TTabPosition::Right; }

HWND ScrollArrows(HWND tabs) {
  HWND arrows = FindWindowExW(tabs, nullptr, UPDOWN_CLASSW, nullptr);
  return arrows && IsWindowVisible(arrows) ? arrows : nullptr;
}

// The row composed flat in buffer, turned a quarter round onto row of dc. Turned by hand: the
// system's parallelogram copy is not drawn faithfully everywhere.
void CopyTurned(HDC dc, HDC buffer, const TRect& row, bool clockwise) {
  const int width = row.Height();
  const int height = row.Width();
  void* bits = nullptr;
  const UniqueBitmap dib = CreatePaintBitmap(buffer, width, height, &bits);
  const UniqueMemoryDC dibDc(CreateCompatibleDC(buffer));
  if (!dib || !dibDc || !bits) return;
  {
    const SelectedObject selected(dibDc.get(), dib.get());
    BitBlt(dibDc.get(), 0, 0, width, height, buffer, 0, 0, SRCCOPY);
  }
  GdiFlush();
  TSkinImage flat(width, height);
  std::memcpy(flat.Row(0), bits, static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
  const TSkinImage turned = clockwise ? TurnedClockwise(flat) : TurnedAnticlockwise(flat);
  const BITMAPINFO turnedInfo = TopDown32Info(turned.Width(), turned.Height());
  SetDIBitsToDevice(dc, row.Left, row.Top, static_cast<DWORD>(turned.Width()), static_cast<DWORD>(turned.Height()), 0, 0, 0,
                    static_cast<UINT>(turned.Height()), turned.Row(0), &turnedInfo, DIB_RGB_COLORS);
}

}  // namespace

TSkinTab::TSkinTab() = default;
TSkinTab::~TSkinTab() = default;

void TSkinTab::Attach(TSkinForm* form, TSkinData& data, int mode, TControl& control, TPaintBuffer* canvas) {
  mode_ = mode;
  TSkinControl::Attach(form, data, mode, control, canvas);
  // The glyph sits in a tab's corner, which only the ordinary tab style frames.
  const auto* pages = dynamic_cast<const TPageControl*>(&control);
  closeGlyphs_ = pages && control.Tag == kCloseGlyphTag && pages->Style() == TTabStyle::tsTabs;
  unicode_ = IsWindowUnicode(Handle()) != FALSE;
  PrepareImages();
  AttachArrows();
}

bool TSkinTab::AttachHandle(HWND window, TSkinData& data, TSkinForm* form, TPaintBuffer* canvas) {
  if (!TSkinControl::AttachHandle(window, data, form, canvas)) return false;
  unicode_ = IsWindowUnicode(window) != FALSE;
  PrepareImages();
  AttachArrows();
  Repaint();
  return true;
}

void TSkinTab::AttachArrows() {
  HWND window = Handle() ? FindWindowExW(Handle(), nullptr, UPDOWN_CLASSW, nullptr) : nullptr;
  if (!window || !Data() || (arrows_ && arrows_->Handle() == window)) return;
  auto arrows = std::make_unique<TSkinUpDown>();
  arrows->SetHost(Handle());
  arrows_ = arrows->AttachHandle(window, *Data(), Form()) ? std::move(arrows) : nullptr;
}

void TSkinTab::SkinChanged() {
  PrepareImages();
  TSkinControl::SkinChanged();
}

const TDataSkinBorder* TSkinTab::TabsObject() const {
  return Data() ? dynamic_cast<const TDataSkinBorder*>(Data()->Model(Dpi()).Find("Tabs")) : nullptr;
}

void TSkinTab::PrepareImages() {
  position_ = PositionOfStyle(WindowStyle());
  tabImage_.reset();
  pageImage_.reset();
  const TDataSkinBorder* tabs = TabsObject();
  if (!tabs) return;
  // Only a row at the bottom turns the tab picture; side rows turn the composed row instead.
  if (!tabs->Image.Empty())
    tabImage_ = BitmapOf(position_ == TTabPosition::Bottom ? FlippedVertically(tabs->Image) : tabs->Image);
  const TDataSkinObject* pane = Data()->Model(Dpi()).Find("Tab.Pane");
  if (tabs->Style == 0 && !tabs->Image2.Empty()) {
    pageImage_ = BitmapOf(Oriented(tabs->Image2, position_));
  } else if (tabs->Style == 1 && pane && !pane->Image.Empty()) {
    pageImage_ = BitmapOf(Oriented(pane->Image, position_));
  }
}

bool TSkinTab::BeforeMessage(TMessage& message) {
  if (message.Msg == WM_PAINT && TabsObject()) {
    PaintMessage(message);
    return false;
  }
  if (message.Msg == WM_LBUTTONDOWN && closeGlyphs_ &&
      PressCloseGlyph(POINT{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)})) {
    message.Result = 0;
    return false;
  }
  return TSkinControl::BeforeMessage(message);
}

void TSkinTab::AfterMessage(TMessage& message) {
  // A row moved to another side needs its pictures turned the other way.
  if (message.Msg == WM_STYLECHANGED && message.WParam == static_cast<WPARAM>(GWL_STYLE)) {
    PrepareImages();
    Repaint();
  }
  TSkinControl::AfterMessage(message);
}

bool TSkinTab::PressCloseGlyph(POINT point) {
  for (size_t index = 0; index < closeRects_.size(); ++index) {
    const TRect& r = closeRects_[index];
    if (point.x < r.Left || point.x >= r.Right || point.y < r.Top || point.y >= r.Bottom) continue;
    const LRESULT answer = SendMessageW(GetAncestor(Handle(), GA_ROOT), kSkinTabCloseMessage,
                                        reinterpret_cast<WPARAM>(Handle()), static_cast<LPARAM>(index));
    auto* pages = dynamic_cast<TPageControl*>(Control());
    if (answer != 0 || !pages) return true;
    // Tabs are counted over the pages that show one.
    int tab = -1;
    for (int page = 0; page < pages->PageCount(); ++page) {
      if (pages->Pages(page)->TabVisible() && ++tab == static_cast<int>(index)) {
        delete pages->Pages(page);
        break;
      }
    }
    return true;
  }
  return false;
}

TRect TSkinTab::ToControl(const TRect& r, const TRect& row) const {
  switch (position_) {
    case TTabPosition::Left:
      return {row.Left + r.Top, row.Bottom - r.Right, row.Left + r.Bottom, row.Bottom - r.Left};
    case TTabPosition::Right:
      return {row.Right - r.Bottom, row.Top + r.Left, row.Right - r.Top, row.Top + r.Right};
    default:
      return {row.Left + r.Left, row.Top + r.Top, row.Left + r.Right, row.Top + r.Bottom};
  }
}

TRect TSkinTab::RowArea(const TRect& rect, const TRect& page) const {
  switch (position_) {
    case TTabPosition::Bottom:
      return {rect.Left, page.Bottom, rect.Right, rect.Bottom};
    case TTabPosition::Left:
      return {rect.Left, rect.Top, page.Left, rect.Bottom};
    case TTabPosition::Right:
      return {page.Right, rect.Top, rect.Right, rect.Bottom};
    default:
      return {rect.Left, rect.Top, rect.Right, page.Top};
  }
}

TRect TSkinTab::InBuffer(const TRect& tab, const TRect& rect, const TRect& page, const TRect& row) const {
  switch (position_) {
    case TTabPosition::Bottom:
      return {tab.Left, tab.Top - page.Bottom - 1, tab.Right, tab.Bottom - page.Bottom - 1};
    case TTabPosition::Left:
      return {row.Height() - tab.Bottom, tab.Left, row.Height() - tab.Top, tab.Right};
    case TTabPosition::Right:
      return {tab.Top - 1, rect.Width() - tab.Right, tab.Bottom - 1, rect.Width() - tab.Left};
    default:
      return {tab.Left, tab.Top + 1, tab.Right, tab.Bottom + 1};
  }
}

void TSkinTab::PaintSkin(HDC dc, const TRect& rect) {
  if (!TabsObject() || rect.Width() <= 0 || rect.Height() <= 0) return;
  AttachArrows();
  RECT display{rect.Left, rect.Top, rect.Right, rect.Bottom};
  SendMessageW(Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
  const int grow = PagePadding(rect, display, Sideways(position_));
  TRect page{display.left - grow, display.top - grow, display.right + grow, display.bottom + grow};
  switch (position_) {
    case TTabPosition::Bottom:
      --page.Bottom;
      break;
    case TTabPosition::Left:
      ++page.Left;
      break;
    case TTabPosition::Right:
      --page.Right;
      break;
    default:
      ++page.Top;
      break;
  }
  if (tabImage_) PaintRow(dc, rect, page);
  if (pageImage_) PaintPageFrame(dc, page);
  if (mode_ == 2) {
    if (auto* windowed = dynamic_cast<TWinControl*>(Control())) windowed->PaintControls(dc, nullptr);
  }
}

void TSkinTab::PaintRow(HDC dc, const TRect& rect, const TRect& page) {
  const TDataSkinBorder& tabs = *TabsObject();
  const TRect row = RowArea(rect, page);
  const bool sideways = Sideways(position_);
  const int width = sideways ? row.Height() : row.Width();
  const int height = sideways ? row.Width() : row.Height();
  if (width <= 0 || height <= 0) return;
  HDC buffer = Buffer().Prepare(dc, width, height);
  FillButtonFace(buffer, TRect{0, 0, width, height});
  const SelectedObject font(buffer, ControlFont());
  const TextColorKept colourKept(buffer, ColorToRGB(tabs.NormalColour2));
  const int count = static_cast<int>(SendMessageW(Handle(), TCM_GETITEMCOUNT, 0, 0));
  const int selected = static_cast<int>(SendMessageW(Handle(), TCM_GETCURSEL, 0, 0));
  const auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(Handle(), TCM_GETIMAGELIST, 0, 0));
  const TColor disabled = Data()->Model(Dpi()).Colour(TSkinColour::ButtonShadow);
  closeRects_.assign(static_cast<size_t>(std::max(count, 0)), TRect{});
  // Upside down for a row at the bottom, so the slices are too.
  const TSkinMargins margins = Oriented(tabs.Margins(), position_ == TTabPosition::Bottom ? position_ : TTabPosition::Top);
  TTabItem item;
  for (int index = 0; index < count; ++index) {
    if (!ReadTabItem(Handle(), index, unicode_, item)) continue;
    const TRect place = InBuffer(item.Rect, rect, page, row);
    const bool isSelected = index == selected;
    DrawSkinPicture(buffer, *tabImage_, tabs.FrameRect(isSelected ? 2 : 1), margins, tabs.TileMiddle(), place,
                    tabs.Trans == 1);
    if (closeGlyphs_) closeRects_[static_cast<size_t>(index)] = ToControl(DrawCloseGlyph(buffer, place, Dpi()), row);
    const TColor colour = !WindowEnabled() ? disabled : isSelected ? tabs.MouseOverColour2 : tabs.NormalColour2;
    SetTextColor(buffer, ColorToRGB(colour));
    DrawTabText(buffer, images, item, place, Dpi());
  }
  CopyRow(dc, buffer, row);
}

void TSkinTab::CopyRow(HDC dc, HDC buffer, const TRect& row) {
  const SavedDC saved(dc);
  // The control's own scroll arrows stay as they are.
  if (HWND arrows = ScrollArrows(Handle())) {
    RECT r{};
    GetWindowRect(arrows, &r);
    MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&r), 2);
    ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
  }
  if (Sideways(position_)) {
    CopyTurned(dc, buffer, row, position_ == TTabPosition::Right);
  } else {
    BitBlt(dc, row.Left, row.Top, row.Width(), row.Height(), buffer, 0, 0, SRCCOPY);
  }
}

void TSkinTab::PaintPageFrame(HDC dc, const TRect& page) {
  const TDataSkinBorder& tabs = *TabsObject();
  const TDataSkinObject* pane = Data()->Model(Dpi()).Find("Tab.Pane");
  const TSkinMargins margins = tabs.Style != 0 && pane ? pane->Margins() : ScaledMargins(kBorderMargins, Dpi());
  DrawSkinPicture(dc, *pageImage_, TRect{0, 0, pageImage_->Width(), pageImage_->Height()},
                  Oriented(margins, position_), false, page);
}
