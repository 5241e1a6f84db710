#include "skin/win/controls/SkinStatusBar.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <vector>

#include "framework/win32/DCState.h"
#include "framework/win32/Dpi.h"
#include "skin/win/data/SkinDataUnit.h"
#include "skin/win/data/SkinObjectDraw.h"
#include "skin/win/controls/SkinSizer.h"

namespace {

constexpr int kTextInset = 3;
constexpr int kMaxParts = 256;
constexpr int kGripFrame = 5;

}  // namespace

const TDataSkinObject* TSkinStatusBar::SkinObject() const {
  if (!Data()) return nullptr;
  return PaintableSkinObject(Data(), "StatusBarEdges", Dpi());
}

bool TSkinStatusBar::BeforeMessage(TMessage& message) {
  if (SkinObject() && AnswerPaint(message)) return false;
  return TSkinControl::BeforeMessage(message);
}

void TSkinStatusBar::AfterMessage(TMessage& message) {
  if (!SkinObject() || !Handle()) return TSkinControl::AfterMessage(message);
  switch (message.Msg) {
    // The bar repaints only the part that changed; the skinner paints the whole bar.
    case SB_SETTEXTW:
    case SB_SETTEXTA:
    case SB_SETPARTS:
    case SB_SIMPLE:
    case SB_SETICON:
    case WM_SIZE:
      Repaint();
      break;
    default:
      TSkinControl::AfterMessage(message);
      break;
  }
}

void TSkinStatusBar::PaintSkin(HDC dc, const TRect& rect) {
  const TDataSkinObject* edges = SkinObject();
  if (!edges || rect.Empty()) return;
  HDC buffer = Buffer().Prepare(dc, rect.Width(), rect.Height());
  FillButtonFace(buffer, rect);
  const bool simple = SendMessageW(Handle(), SB_ISSIMPLE, 0, 0) != 0;
  const int count = simple ? 1 : std::min(static_cast<int>(SendMessageW(Handle(), SB_GETPARTS, 0, 0)), kMaxParts);
  const bool grip = (WindowStyle() & SBARS_SIZEGRIP) && !IsZoomed(GetAncestor(Handle(), GA_ROOT));
  // Text keeps clear of the grip, which a part reaching the bar's end lies under.
  const int textRight = grip ? rect.Right - SystemMetricForDpi(SM_CXVSCROLL, Dpi()) : rect.Right;
  for (int index = 0; index < count; ++index) {
    const int part = simple ? SB_SIMPLEID : index;
    RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
    if (!simple && !SendMessageW(Handle(), SB_GETRECT, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(&r)))
      continue;
    PaintPart(buffer, *edges, part, TRect{r.left, r.top, r.right, r.bottom}, textRight);
  }
  if (grip) PaintGrip(buffer, rect);
  BitBlt(dc, rect.Left, rect.Top, rect.Width(), rect.Height(), buffer, 0, 0, SRCCOPY);
}

void TSkinStatusBar::PaintPart(HDC dc, const TDataSkinObject& edges, int part, const TRect& place, int textRight) {
  const LRESULT described = SendMessageW(Handle(), SB_GETTEXTLENGTHW, static_cast<WPARAM>(part), 0);
  const int type = HIWORD(described);
  if (!(type & SBT_NOBORDERS)) {
    int frame = !WindowEnabled() ? 2 : (type & SBT_POPOUT) ? 3 : 1;
    if (frame > edges.FrameCount) frame = 1;
    DrawSkinPicture(dc, *Data()->Picture(edges.Image), edges.FrameRect(frame), edges.Margins(), edges.TileMiddle(),
                    place, edges.Trans == 1);
  }
  const int inset = ScaleToDpi(kTextInset, Dpi());
  TRect area{place.Left + inset, place.Top + 1, std::min(place.Right - inset, textRight), place.Bottom - 1};
  if (type & SBT_OWNERDRAW) {
    const SavedDC saved(dc);
    const LRESULT itemData = SendMessageW(Handle(), SB_GETTEXTW, static_cast<WPARAM>(part), 0);
    DRAWITEMSTRUCT draw{0,
                        static_cast<UINT>(GetDlgCtrlID(Handle())),
                        static_cast<UINT>(part),
                        ODA_DRAWENTIRE,
                        0,
                        Handle(),
                        dc,
                        RECT{place.Left + 1, place.Top + 1, place.Right - 1, place.Bottom - 1},
                        static_cast<ULONG_PTR>(itemData)};
    SendMessageW(GetParent(Handle()), WM_DRAWITEM, draw.CtlID, reinterpret_cast<LPARAM>(&draw));
    return;
  }
  if (auto icon = reinterpret_cast<HICON>(SendMessageW(Handle(), SB_GETICON, static_cast<WPARAM>(part), 0))) {
    const int size = std::min(SystemMetricForDpi(SM_CXSMICON, Dpi()), area.Height());
    DrawIconEx(dc, area.Left, area.Top + (area.Height() - size) / 2, icon, size, size, 0, nullptr, DI_NORMAL);
    area.Left += size + 2;
  }
  const int length = LOWORD(described);
  if (length == 0 || area.Empty()) return;
  std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
  SendMessageW(Handle(), SB_GETTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(buffer.data()));
  const std::wstring text(buffer.data());
  const SelectedObject font(dc, ControlFont());
  SetBkMode(dc, TRANSPARENT);
  const TSkinModel& model = Data()->Model(Dpi());
  SetTextColor(dc, ColorToRGB(model.Colour(WindowEnabled() ? TSkinColour::ButtonText : TSkinColour::ButtonShadow)));
  // Before the first tab left, after it centred, after the second right; all in the same area.
  constexpr std::array<UINT, 3> kAligns{DT_LEFT, DT_CENTER, DT_RIGHT};
  size_t start = 0;
  for (size_t column = 0; column < kAligns.size() && start <= text.size(); ++column) {
    const size_t tab = column + 1 < kAligns.size() ? text.find(L'\t', start) : std::wstring::npos;
    const std::wstring piece = text.substr(start, tab == std::wstring::npos ? std::wstring::npos : tab - start);
    TRect place = area;
    if (!piece.empty())
      DrawWideText(dc, piece, place, kAligns[column] | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    if (tab == std::wstring::npos) break;
    start = tab + 1;
  }
}

void TSkinStatusBar::PaintGrip(HDC dc, const TRect& rect) {
  const int size = SystemMetricForDpi(SM_CXVSCROLL, Dpi());
  const TRect corner{rect.Right - size, rect.Bottom - size, rect.Right, rect.Bottom};
  const TDataSkinObject* extra = Data()->Model(Dpi()).Find("ExtraImages");
  TSkinPicture* picture = extra ? Data()->Picture(extra->Image) : nullptr;
  if (!picture || extra->FrameCount < kGripFrame) {
    DrawSkinGrip(dc, corner, Data()->Model(Dpi()));
    return;
  }
  // The grip picture sits in the corner at its own size, as the grip it replaces.
  const TRect frame = extra->FrameRect(kGripFrame);
  const TRect target{rect.Right - frame.Width() - 2, rect.Bottom - frame.Height() - 2, rect.Right - 2, rect.Bottom - 2};
  DrawSkinPicture(dc, *picture, frame, TSkinMargins{}, false, target, extra->Trans == 1);
}
