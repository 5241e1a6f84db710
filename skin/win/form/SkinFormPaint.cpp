// Non-client painting of a skinned window and its region.
#include <algorithm>
#include <string>

#include "framework/controls/Messages.h"
#include "framework/graphics/Graphics.h"
#include "framework/win32/DCState.h"
#include "framework/win32/Dpi.h"
#include "framework/win32/Region.h"
#include "skin/win/data/SkinDataUnit.h"
#include "skin/win/form/SkinFormUnit.h"

namespace {

SIZE WindowSize(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return {r.right - r.left, r.bottom - r.top};
}

// The frame of a border image for the window's activation.
TRect BorderFrame(const TDataSkinBorder& border, TBorderPiece piece, bool active) {
  return border.FrameRect(BorderPieceFrame(active, border.FrameCount), BorderPieceLayout(piece));
}

}  // namespace

void TSkinForm::PaintFrame() {
  if (!Painting() || (kind_ == TWindowKind::MdiChild && show_ == TWindowShow::Maximized)) return;
  try {
    PaintFrameGuarded();
  } catch (...) {
    // A frame that cannot be painted stays as it was; the window goes on working.
    hot_.Clear();
  }
}

void TSkinForm::PaintCaption() { PaintPart(&TSkinForm::DrawCaption); }

void TSkinForm::PaintMenuBand() { PaintPart(&TSkinForm::DrawMenuBand); }

void TSkinForm::PaintPart(void (TSkinForm::*draw)(HDC dc, int width)) {
  if (!Painting()) return;
  try {
    WindowFrameDC dc(window_);
    if (dc.get()) (this->*draw)(dc.get(), WindowSize(window_).cx);
  } catch (...) {
    hot_.Clear();
  }
}

void TSkinForm::PaintFrameGuarded() {
  // Without the system-menu bit the system draws no caption buttons of its own over ours.
  const LONG_PTR style = GetWindowLongPtrW(window_, GWL_STYLE);
  if (style & WS_SYSMENU) SetWindowLongPtrW(window_, GWL_STYLE, style & ~WS_SYSMENU);
  const SIZE size = WindowSize(window_);
  WindowFrameDC dc(window_);
  if (!dc.get() || size.cx <= 0 || size.cy <= 0) return;
  for (TBorderPiece piece : {TBorderPiece::Left, TBorderPiece::Right, TBorderPiece::Bottom}) {
    const TDataSkinBorder& border = Skin().Border(BorderPieceName(piece));
    TSkinPicture* picture = data_->Picture(border.Image);
    const TRect place = BorderPieceRect(piece, size.cx, size.cy, metrics_);
    if (!picture || place.Empty()) continue;
    DrawSkinPicture(dc.get(), *picture, BorderFrame(border, piece, active_), border.Margins(), border.Stretch == 0,
                    place);
  }
  DrawCaption(dc.get(), size.cx);
  DrawMenuBand(dc.get(), size.cx);
}

void TSkinForm::DrawMenuBand(HDC dc, int width) {
  if (metrics_.MenuBar <= 0) return;
  if (menuBar_) {
    menuBar_->Paint(dc, width);
  } else if (data_->ButtonFaceBrush()) {
    const RECT bar{metrics_.Left, metrics_.Caption, width - metrics_.Right, metrics_.Top()};
    FillRect(dc, &bar, data_->ButtonFaceBrush());
  }
  // The buttons of a maximised MDI child sit in the bar, over its right end.
  for (const auto& button : buttons_)
    if (button->Visible && button->Object().Align == kMdiButtonAlign) DrawButton(dc, *button);
}


void TSkinForm::DrawCaption(HDC dc, int width) {
  const int height = metrics_.Caption;
  if (width <= 0 || height <= 0) return;
  HDC buffer = captionBuffer_.Prepare(dc, width, height);
  BitBlt(buffer, 0, 0, width, height, dc, 0, 0, SRCCOPY);
  const bool minimized = show_ == TWindowShow::Minimized;
  TRect place{metrics_.Left, 0, width - metrics_.Right, height};
  if (minimized) {
    place = {0, 0, width, height};
    const RECT whole{0, 0, width, height};
    if (data_->ButtonFaceBrush()) FillRect(buffer, &whole, data_->ButtonFaceBrush());
  }
  const TDataSkinBorder& top = Skin().Border("Top");
  if (TSkinPicture* picture = data_->Picture(top.Image); picture && !place.Empty())
    DrawSkinPicture(buffer, *picture, BorderFrame(top, TBorderPiece::Top, active_), top.Margins(), top.Stretch == 0,
                    place);
  DrawCaptionText(buffer, LayoutButtons(width));
  for (const auto& button : buttons_)
    if (button->Visible && button->Object().Align != kMdiButtonAlign) DrawButton(buffer, *button);
  BitBlt(dc, 0, 0, width, height, buffer, 0, 0, SRCCOPY);
}

TCaptionFacts TSkinForm::Facts() const {
  TCaptionFacts facts;
  facts.Show = show_;
  facts.Active = active_;
  facts.CanMaximize = canMaximize_;
  facts.CanMinimize = canMinimize_;
  facts.HasSystemMenu = hasSystemMenu_;
  facts.DialogFrame = borderMode_ == TBorderMode::Dialog;
  facts.ForeignDialog = foreignDialog_;
  if (kind_ == TWindowKind::MdiFrame) {
    if (HWND client = FindWindowExW(window_, nullptr, L"MDIClient", nullptr)) {
      BOOL maximized = FALSE;
      facts.MdiChildMaximized =
          SendMessageW(client, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximized)) != 0 && maximized;
    }
  }
  return facts;
}

TRect TSkinForm::LayoutButtons(int width) {
  const TCaptionFacts facts = Facts();
  const auto query = [this](int code, int action) {
    return SendMessageW(window_, kSkinCaptionVisibleMessage, static_cast<WPARAM>(code), action) > 0;
  };
  // Buttons beside the caption text wait for the text's rectangle, which ends at the first button
  // on the right.
  int firstRight = width;
  const TDataSkinObject* bar = Skin().Find("menuBar");
  for (const auto& button : buttons_) {
    const TDataSkinSysButton& object = button->Object();
    const bool mdi = object.Align == kMdiButtonAlign;
    button->Visible = (!mdi || menuBar_) && !object.Image.Empty() && CaptionButtonVisible(object, facts, query);
    button->Rect = {};
    if (!button->Visible || AlignedToCaptionText(object.Align)) continue;
    button->Rect = CaptionButtonRect(object, width, {}, metrics_, mdi && bar ? bar->LeftWidth : 0);
    if (object.Align == 1) firstRight = std::min(firstRight, button->Rect.Left);
  }
  const TRect text = CaptionTextRect(Skin().Title(), width, metrics_, firstRight);
  for (const auto& button : buttons_)
    if (button->Visible && AlignedToCaptionText(button->Object().Align))
      button->Rect = CaptionButtonRect(button->Object(), width, text, metrics_);
  return text;
}

void TSkinForm::DrawCaptionText(HDC dc, const TRect& place) {
  if (place.Empty()) return;
  const int length = GetWindowTextLengthW(window_);
  if (length <= 0) return;
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int got = GetWindowTextW(window_, text.data(), length + 1);
  const TSkinModel& model = Skin();
  const TDataSkinTitle& title = model.Title();
  TColor colour = active_ ? title.ActiveText : title.InactiveText;
  if (colour == clNone) colour = model.Colour(active_ ? TSkinColour::TitleTextActive : TSkinColour::TitleTextNoActive);
  SetTextColor(dc, ColorToRGB(colour));
  const BkModeKept mode(dc, TRANSPARENT);
  SelectedObject font(dc, TitleFont());
  const UINT align = title.TextAlignment == 1 ? DT_CENTER : title.TextAlignment == 2 ? DT_RIGHT : DT_LEFT;
  RECT r{place.Left, place.Top, place.Right, place.Bottom};
  DrawTextW(dc, text.c_str(), got, &r, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX | align);
}

void TSkinForm::DrawButton(HDC dc, const TSkinSysButton& button) {
  const TDataSkinSysButton& object = button.Object();
  const TRect& r = button.Rect;
  if (object.Action == 3 || object.Action == 11) {
    // The icon keeps to the place the skin gives it, even where the system's small icon is larger.
    const int cx = std::min(SystemMetricForDpi(SM_CXSMICON, dpi_), r.Width());
    const int cy = std::min(SystemMetricForDpi(SM_CYSMICON, dpi_), r.Height());
    if (HICON icon = WindowIcon()) {
      DrawIconEx(dc, r.Left, r.Top, icon, cx, cy, 0, nullptr, DI_NORMAL);
      return;
    }
    if (capturedIcon_) {
      UniqueMemoryDC source(CreateCompatibleDC(dc));
      SelectedObject keep(source.get(), capturedIcon_.get());
      GdiTransparentBlt(dc, r.Left, r.Top, cx, cy, source.get(), 0, 0, cx, cy, RGB(255, 0, 255));
      return;
    }
  }
  TSkinPicture* picture = data_->Picture(object.Image);
  if (!picture) return;
  // A hot MDI button shows its fourth frame.
  const bool hotMdi = object.Align == kMdiButtonAlign && button.State() == TNCObject::kHot && object.FrameCount >= 4;
  const int frame = hotMdi ? 4 : CaptionButtonFrame(button.State(), active_, object.FrameCount);
  DrawSkinPicture(dc, *picture, object.FrameRect(frame), {}, false, r, object.Trans == 1);
}

HICON TSkinForm::WindowIcon() const {
  for (WPARAM which : {WPARAM{ICON_SMALL}, WPARAM{ICON_SMALL2}, WPARAM{ICON_BIG}})
    if (auto icon = reinterpret_cast<HICON>(SendMessageW(window_, WM_GETICON, which, 0))) return icon;
  if (auto icon = reinterpret_cast<HICON>(GetClassLongPtrW(window_, GCLP_HICONSM))) return icon;
  return reinterpret_cast<HICON>(GetClassLongPtrW(window_, GCLP_HICON));
}

void TSkinForm::CaptureIcon() {
  HICON icon = WindowIcon();
  if (!icon) return;
  const int cx = SystemMetricForDpi(SM_CXSMICON, dpi_);
  const int cy = SystemMetricForDpi(SM_CYSMICON, dpi_);
  WindowDC screen(nullptr);
  UniqueMemoryDC dc(CreateCompatibleDC(screen.get()));
  UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), cx, cy));
  UniqueBrush magenta(CreateSolidBrush(RGB(255, 0, 255)));
  if (!dc || !bitmap || !magenta) return;
  {
    SelectedObject keep(dc.get(), bitmap.get());
    const RECT r{0, 0, cx, cy};
    FillRect(dc.get(), &r, magenta.get());
    DrawIconEx(dc.get(), 0, 0, icon, cx, cy, 0, nullptr, DI_NORMAL);
  }
  capturedIcon_ = std::move(bitmap);
}

void TSkinForm::BuildRegion(bool force) {
  if (!Framed()) return;
  const SIZE size = WindowSize(window_);
  if (size.cx <= 0 || size.cy <= 0) return;
  if (!force && size.cx == regionSize_.cx && size.cy == regionSize_.cy) return;
  regionSize_ = size;
  ++regionBuilds_;
  // A refused region only costs the shaped corners.
  SetWindowRegion(window_, RegionFromRects(SkinRegionRects(Skin(), size.cx, size.cy, metrics_, active_)),
                  true);
}
