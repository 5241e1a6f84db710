#include "skin/win/controls/SkinProgress.h"

#include <commctrl.h>

#include <algorithm>

#include "framework/win32/Handles.h"
#include "skin/layout/SkinScrollGeometry.h"
#include "skin/win/data/SkinDataUnit.h"
#include "skin/win/data/SkinObjectDraw.h"

namespace {

// Lays colour over rect at half strength.
void Fade(HDC dc, const TRect& rect, COLORREF colour) {
  UniqueMemoryDC source(CreateCompatibleDC(dc));
  UniqueBitmap pixel(CreateCompatibleBitmap(dc, 1, 1));
  if (!source || !pixel) return;
  const SelectedObject selected(source.get(), pixel.get());
  SetPixel(source.get(), 0, 0, colour);
  const BLENDFUNCTION half{AC_SRC_OVER, 0, 128, 0};
  GdiAlphaBlend(dc, rect.Left, rect.Top, rect.Width(), rect.Height(), source.get(), 0, 0, 1, 1, half);
}

}  // namespace

const TDataSkinObject* TSkinProgress::Bar() const {
  // A marquee has no position to show: its own animation stays.
  if (WindowStyle() & PBS_MARQUEE) return nullptr;
  return PaintableSkinObject(Data(), "Progress", Dpi());
}

bool TSkinProgress::BeforeMessage(TMessage& message) {
  if (Bar() && AnswerPaint(message)) return false;
  return TSkinControl::BeforeMessage(message);
}

void TSkinProgress::AfterMessage(TMessage& message) {
  switch (message.Msg) {
    case PBM_SETPOS:
    case PBM_DELTAPOS:
    case PBM_STEPIT:
    case PBM_SETRANGE:
    case PBM_SETRANGE32:
    case PBM_SETSTATE:
    case WM_SIZE:
    case WM_STYLECHANGED:
      // The bar invalidates only what it would change; the skin's fill is laid out anew.
      if (Bar()) Repaint();
      break;
    default:
      TSkinControl::AfterMessage(message);
      break;
  }
}

void TSkinProgress::PaintSkin(HDC dc, const TRect& rect) {
  const TDataSkinObject* bar = Bar();
  if (!bar || rect.Width() <= 0 || rect.Height() <= 0) return;
  HDC buffer = Buffer().Prepare(dc, rect.Width(), rect.Height());
  FillButtonFace(buffer, rect);
  DrawSkinObject(buffer, *Data(), *bar, 1, rect);
  const TSkinMargins m = bar->Margins();
  const TRect inner{rect.Left + std::min(m.Left, rect.Width() / 2), rect.Top + std::min(m.Top, rect.Height() / 2),
                    rect.Right - std::min(m.Right, rect.Width() / 2),
                    rect.Bottom - std::min(m.Bottom, rect.Height() / 2)};
  PaintFill(buffer, *bar, inner);
  if (!WindowEnabled()) Fade(buffer, inner, ColorToRGB(Data()->Model(Dpi()).Colour(TSkinColour::ButtonFace)));
  BitBlt(dc, rect.Left, rect.Top, rect.Width(), rect.Height(), buffer, 0, 0, SRCCOPY);
}

void TSkinProgress::PaintFill(HDC dc, const TDataSkinObject& bar, const TRect& inner) {
  if (inner.Width() <= 0 || inner.Height() <= 0) return;
  HWND window = Handle();
  PBRANGE range{};
  SendMessageW(window, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
  const int pos = static_cast<int>(SendMessageW(window, PBM_GETPOS, 0, 0));
  const LONG_PTR style = WindowStyle();
  const bool vertical = (style & PBS_VERTICAL) != 0;
  const int length = vertical ? inner.Height() : inner.Width();
  const int thickness = vertical ? inner.Width() : inner.Height();
  const int filled = ProgressFill(length, range.iLow, range.iHigh, pos);
  // A piece from start to start + size along the bar: from the left, or up from the bottom.
  auto piece = [&](int start, int size) {
    return vertical ? TRect{inner.Left, inner.Bottom - start - size, inner.Right, inner.Bottom - start}
                    : TRect{inner.Left + start, inner.Top, inner.Left + start + size, inner.Bottom};
  };
  const TDataSkinObject* chunk = PaintableSkinObject(Data(), "Progress.Chunk", Dpi());
  if (chunk && !(style & PBS_SMOOTH)) {
    for (const TProgressChunk& c : ProgressChunks(length, thickness, filled, Dpi()))
      DrawSkinObject(dc, *Data(), *chunk, 1, piece(c.Start, c.Length));
  } else if (bar.FrameCount >= 2) {
    DrawSkinObject(dc, *Data(), bar, 2, piece(0, filled));
  } else if (chunk) {
    DrawSkinObject(dc, *Data(), *chunk, 1, piece(0, filled));
  } else {
    const TRect done = piece(0, filled);
    const RECT r{done.Left, done.Top, done.Right, done.Bottom};
    const UniqueBrush brush(CreateSolidBrush(ColorToRGB(Data()->Model(Dpi()).Colour(TSkinColour::Hilight))));
    if (brush) FillRect(dc, &r, brush.get());
  }
}
