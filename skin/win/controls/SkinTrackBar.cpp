#include "skin/win/controls/SkinTrackBar.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "framework/classes/Properties.h"
#include "framework/core/DpiScale.h"
#include "framework/win32/Handles.h"
#include "skin/win/data/SkinDataUnit.h"
#include "skin/win/data/SkinObjectDraw.h"

namespace {

// A tick's length and its gap from the thumb, at 96 dpi, where a tick is one pixel wide.
constexpr int kTickLength = 3;
constexpr int kTickGap = 2;

}  // namespace

bool TSkinTrackBar::Vertical() const { return (WindowStyle() & TBS_VERT) != 0; }

const TDataSkinObject* TSkinTrackBar::Channel() const {
  return PaintableSkinObject(Data(), Vertical() ? "TRACKVERT" : "Track", Dpi());
}

const TDataSkinObject* TSkinTrackBar::Thumb() const {
  const LONG_PTR style = WindowStyle();
  const bool both = (style & TBS_BOTH) != 0;
  const bool leftOrTop = (style & TBS_LEFT) != 0;
  const char* name = Vertical() ? (both        ? "Trackbar.ThumbVert"
                                   : leftOrTop ? "Trackbar.ThumbLeft"
                                               : "Trackbar.ThumbRight")
                                : (both        ? "Trackbar.ThumbHorz"
                                   : leftOrTop ? "Trackbar.ThumbUp"
                                               : "Trackbar.ThumbDown");
  return PaintableSkinObject(Data(), name, Dpi());
}

int TSkinTrackBar::ThumbFrame() const {
  if (!WindowEnabled()) return 4;
  if (pressed_) return 3;
  if (hot_) return 2;
  if (WindowFocused()) return 5;
  return 1;
}

TRect TSkinTrackBar::ThumbRect() const {
  RECT r{};
  SendMessageW(Handle(), TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&r));
  return {r.left, r.top, r.right, r.bottom};
}

bool TSkinTrackBar::OnThumb(LPARAM point) const {
  const TRect thumb = ThumbRect();
  const int x = GET_X_LPARAM(point);
  const int y = GET_Y_LPARAM(point);
  return x >= thumb.Left && x < thumb.Right && y >= thumb.Top && y < thumb.Bottom;
}

void TSkinTrackBar::SetHot(bool hot) {
  if (hot == hot_) return;
  hot_ = hot;
  if (hot) {
    TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, Handle(), 0};
    TrackMouseEvent(&track);
  }
  Repaint();
}

bool TSkinTrackBar::BeforeMessage(TMessage& message) {
  if (!Channel() || !Thumb()) return TSkinControl::BeforeMessage(message);
  if (AnswerPaint(message)) return false;
  if ((message.Msg == WM_LBUTTONDOWN || message.Msg == WM_LBUTTONDBLCLK) && WindowEnabled() && OnThumb(message.LParam))
    pressed_ = true;
  return TSkinControl::BeforeMessage(message);
}

void TSkinTrackBar::AfterMessage(TMessage& message) {
  if (!Channel() || !Thumb()) return TSkinControl::AfterMessage(message);
  switch (message.Msg) {
    case WM_MOUSEMOVE:
      if (!pressed_) SetHot(WindowEnabled() && OnThumb(message.LParam));
      break;
    case WM_MOUSELEAVE:
      SetHot(false);
      break;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      if (std::exchange(pressed_, false)) Repaint();
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (pressed_) Repaint();
      break;
    case WM_ENABLE:
      pressed_ = hot_ = false;
      Repaint();
      break;
    default:
      TSkinControl::AfterMessage(message);
      break;
  }
}

void TSkinTrackBar::PaintSkin(HDC dc, const TRect& rect) {
  const TDataSkinObject* channelPicture = Channel();
  const TDataSkinObject* thumbPicture = Thumb();
  if (!channelPicture || !thumbPicture || rect.Width() <= 0 || rect.Height() <= 0) return;
  HDC buffer = Buffer().Prepare(dc, rect.Width(), rect.Height());
  const bool transparent = Transparent() || (Control() && HasProperty(*Control(), "Transparent") &&
                                             BoolFromText(GetPropValue(*Control(), "Transparent")));
  if (transparent) {
    PaintParentBackground(buffer, rect);
  } else {
    FillButtonFace(buffer, rect);
  }

  const bool vertical = Vertical();
  const TRect thumb = ThumbRect();
  RECT c{};
  SendMessageW(Handle(), TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&c));
  // Some systems answer a vertical bar's channel as if the bar lay on its side.
  if (vertical && c.right - c.left > c.bottom - c.top) c = {c.top, c.left, c.bottom, c.right};
  const TRect frame = channelPicture->FrameRect(1);
  const int thickness = vertical ? frame.Width() : frame.Height();
  const int middle = vertical ? (thumb.Left + thumb.Right) / 2 : (thumb.Top + thumb.Bottom) / 2;
  const TRect channel = vertical ? TRect{middle - thickness / 2, c.top, middle - thickness / 2 + thickness, c.bottom}
                                 : TRect{c.left, middle - thickness / 2, c.right, middle - thickness / 2 + thickness};
  DrawSkinObject(buffer, *Data(), *channelPicture, 1, channel);
  if (!(WindowStyle() & TBS_NOTICKS)) PaintTicks(buffer, channel, thumb);
  DrawSkinObject(buffer, *Data(), *thumbPicture, ThumbFrame(), thumb);
  if (WindowFocused() && !HasOption(xoNoFocusRect)) {
    const RECT whole{rect.Left, rect.Top, rect.Right, rect.Bottom};
    DrawFocusRect(buffer, &whole);
  }
  BitBlt(dc, rect.Left, rect.Top, rect.Width(), rect.Height(), buffer, 0, 0, SRCCOPY);
}

void TSkinTrackBar::PaintTicks(HDC dc, const TRect& channel, const TRect& thumb) {
  HWND window = Handle();
  const bool vertical = Vertical();
  const LONG_PTR style = WindowStyle();
  const int low = static_cast<int>(SendMessageW(window, TBM_GETRANGEMIN, 0, 0));
  const int high = static_cast<int>(SendMessageW(window, TBM_GETRANGEMAX, 0, 0));
  if (high <= low) return;
  // The ends of the range, and the ticks between them, stand where the thumb's middle stands at
  // those values. (Some systems answer TBM_GETTICPOS of an upright bar in the wrong axis, so the
  // places are worked out here from the values.)
  std::vector<int> values{low, high};
  const int inner = std::max(static_cast<int>(SendMessageW(window, TBM_GETNUMTICS, 0, 0)) - 2, 0);
  if (const auto* ticks = reinterpret_cast<const DWORD*>(SendMessageW(window, TBM_GETPTICS, 0, 0)))
    values.insert(values.end(), ticks, ticks + inner);
  const int half = (vertical ? thumb.Height() : thumb.Width()) / 2;
  const int first = (vertical ? channel.Top : channel.Left) + half;
  const int travel = (vertical ? channel.Bottom : channel.Right) - half - 1 - first;
  const UniqueBrush brush(CreateSolidBrush(ColorToRGB(Data()->Model(Dpi()).Colour(TSkinColour::ButtonShadow))));
  if (!brush) return;
  const bool both = (style & TBS_BOTH) != 0;
  const bool before = both || (style & TBS_LEFT);
  const bool after = both || !(style & TBS_LEFT);
  const int dpi = Dpi();
  const int length = ScaleToDpi(kTickLength, dpi);
  const int gap = ScaleToDpi(kTickGap, dpi);
  const int width = ScaleToDpi(1, dpi);
  for (int value : values) {
    const int place = first + static_cast<int>(int64_t{travel} * (std::clamp(value, low, high) - int64_t{low}) /
                                               (int64_t{high} - low));
    auto tick = [&](int from) {
      // Centred on its place, so that a wider tick still marks the thumb's middle.
      const int start = place - (width - 1) / 2;
      const RECT r = vertical ? RECT{from, start, from + length, start + width}
                              : RECT{start, from, start + width, from + length};
      FillRect(dc, &r, brush.get());
    };
    if (before) tick((vertical ? thumb.Left : thumb.Top) - gap - length);
    if (after) tick((vertical ? thumb.Right : thumb.Bottom) + gap);
  }
}
