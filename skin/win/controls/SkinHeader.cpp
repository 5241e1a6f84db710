#include "skin/win/controls/SkinHeader.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <array>

#include "framework/win32/DCState.h"
#include "framework/win32/Dpi.h"
#include "skin/win/data/SkinArrow.h"
#include "skin/win/data/SkinDataUnit.h"
#include "skin/win/data/SkinObjectDraw.h"

namespace {

// Room between an item's edges and its text, and what a sort arrow takes at the right.
constexpr int kTextInset = 6;
constexpr int kArrowSize = 7;
constexpr int kArrowRoom = kArrowSize + 6;

}  // namespace

const TDataSkinObject* TSkinHeader::SkinObject() const {
  if (!Data()) return nullptr;
  return PaintableSkinObject(Data(), "Headerbar", Dpi());
}

int TSkinHeader::ItemFrame(int index) const {
  int frame = 1;
  if (!WindowEnabled()) {
    frame = 4;
  } else if (index == pressedItem_ && pressedInside_) {
    frame = 3;
  } else if (index == hotItem_) {
    frame = 2;
  }
  const TDataSkinObject* object = SkinObject();
  return object && frame <= object->FrameCount ? frame : 1;
}

int TSkinHeader::ItemAt(LPARAM point) const {
  HDHITTESTINFO hit{};
  hit.pt = {GET_X_LPARAM(point), GET_Y_LPARAM(point)};
  const int item = static_cast<int>(SendMessageW(Handle(), HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  return item >= 0 && (hit.flags & HHT_ONHEADER) ? item : -1;
}

void TSkinHeader::SetHot(int item) {
  if (item == hotItem_) return;
  if (hotItem_ < 0) {
    TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, Handle(), 0};
    TrackMouseEvent(&track);
  }
  hotItem_ = item;
  PaintNow();
}

bool TSkinHeader::BeforeMessage(TMessage& message) {
  if (!SkinObject()) return TSkinControl::BeforeMessage(message);
  if (AnswerPaint(message)) return false;
  if (message.Msg == WM_LBUTTONDOWN && WindowEnabled() && (WindowStyle() & HDS_BUTTONS)) {
    pressedItem_ = ItemAt(message.LParam);
    pressedInside_ = pressedItem_ >= 0;
  }
  return TSkinControl::BeforeMessage(message);
}

void TSkinHeader::AfterMessage(TMessage& message) {
  if (!SkinObject() || !Handle()) return TSkinControl::AfterMessage(message);
  const bool buttons = (WindowStyle() & HDS_BUTTONS) != 0;
  switch (message.Msg) {
    case WM_LBUTTONDOWN:
      if (pressedItem_ >= 0) PaintNow();
      break;
    case WM_MOUSEMOVE: {
      const int item = WindowEnabled() && buttons ? ItemAt(message.LParam) : -1;
      const bool inside = pressedItem_ >= 0 && item == pressedItem_;
      if (inside != pressedInside_) {
        pressedInside_ = inside;
        PaintNow();
      }
      SetHot(item);
      break;
    }
    case WM_MOUSELEAVE:
      hotItem_ = -1;
      PaintNow();
      break;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE:
      if (pressedItem_ < 0) break;
      pressedItem_ = -1;
      pressedInside_ = false;
      PaintNow();
      break;
    case HDM_INSERTITEMW:
    case HDM_INSERTITEMA:
    case HDM_DELETEITEM:
    case HDM_SETITEMW:
    case HDM_SETITEMA:
    case HDM_SETORDERARRAY:
      // Items moved under a hot or pressed index.
      hotItem_ = pressedItem_ = -1;
      pressedInside_ = false;
      Repaint();
      break;
    default:
      TSkinControl::AfterMessage(message);
      break;
  }
}

void TSkinHeader::PaintSkin(HDC dc, const TRect& rect) {
  const TDataSkinObject* object = SkinObject();
  if (!object || rect.Empty()) return;
  HDC buffer = Buffer().Prepare(dc, rect.Width(), rect.Height());
  FillButtonFace(buffer, rect);
  TSkinPicture& picture = *Data()->Picture(object->Image);
  DrawSkinPicture(buffer, picture, object->FrameRect(1), object->Margins(), object->TileMiddle(), rect,
                  object->Trans == 1);
  const int count = static_cast<int>(SendMessageW(Handle(), HDM_GETITEMCOUNT, 0, 0));
  for (int index = 0; index < count; ++index) {
    RECT r{};
    if (!SendMessageW(Handle(), HDM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r))) continue;
    if (r.right <= r.left || r.left >= rect.Right) continue;
    PaintItem(buffer, *object, index, TRect{r.left, rect.Top, r.right, rect.Bottom});
  }
  BitBlt(dc, rect.Left, rect.Top, rect.Width(), rect.Height(), buffer, 0, 0, SRCCOPY);
}

void TSkinHeader::PaintItem(HDC dc, const TDataSkinObject& object, int index, const TRect& place) {
  const int frame = ItemFrame(index);
  DrawSkinPicture(dc, *Data()->Picture(object.Image), object.FrameRect(frame), object.Margins(), object.TileMiddle(),
                  place, object.Trans == 1);
  std::array<wchar_t, 260> text{};
  HDITEMW item{};
  item.mask = HDI_TEXT | HDI_FORMAT | HDI_LPARAM;
  item.pszText = text.data();
  item.cchTextMax = static_cast<int>(text.size());
  if (!SendMessageW(Handle(), HDM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item))) return;
  if (item.fmt & HDF_OWNERDRAW) {
    const SavedDC saved(dc);
    DRAWITEMSTRUCT draw{ODT_HEADER,
                        static_cast<UINT>(GetDlgCtrlID(Handle())),
                        static_cast<UINT>(index),
                        ODA_DRAWENTIRE,
                        static_cast<UINT>(frame == 3 ? ODS_SELECTED : 0),
                        Handle(),
                        dc,
                        RECT{place.Left, place.Top, place.Right, place.Bottom},
                        static_cast<ULONG_PTR>(item.lParam)};
    SendMessageW(GetParent(Handle()), WM_DRAWITEM, draw.CtlID, reinterpret_cast<LPARAM>(&draw));
    return;
  }
  // Pressed in, the contents move with the face.
  const int shift = frame == 3 ? 1 : 0;
  const int inset = ScaleToDpi(kTextInset, Dpi());
  const int arrowSize = ScaleToDpi(kArrowSize, Dpi());
  const int arrowRoom = ScaleToDpi(kArrowRoom, Dpi());
  TRect area{place.Left + inset + shift, place.Top + shift, place.Right - inset + shift, place.Bottom + shift};
  const bool sorted = (item.fmt & (HDF_SORTUP | HDF_SORTDOWN)) != 0;
  const TSkinModel& model = Data()->Model(Dpi());
  const TColor colour = model.Colour(WindowEnabled() ? TSkinColour::ButtonText : TSkinColour::ButtonShadow);
  if (sorted && area.Width() >= arrowRoom) {
    area.Right -= arrowRoom;
    const TPoint centre{area.Right + arrowRoom - arrowSize / 2 - 1, (area.Top + area.Bottom) / 2};
    DrawSkinArrow(dc, centre, arrowSize, item.fmt & HDF_SORTUP ? TArrowDirection::Up : TArrowDirection::Down, colour);
  }
  // The header may answer with text of its own in place of the buffer; a callback item has none.
  const wchar_t* shown = item.pszText && item.pszText != LPSTR_TEXTCALLBACKW ? item.pszText : L"";
  const std::wstring caption(shown);
  if (caption.empty() || area.Empty()) return;
  const int justify = item.fmt & HDF_JUSTIFYMASK;
  const UINT align = justify == HDF_RIGHT ? DT_RIGHT : justify == HDF_CENTER ? DT_CENTER : DT_LEFT;
  const SelectedObject font(dc, ControlFont());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(colour));
  DrawWideText(dc, caption, area, align | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
}
