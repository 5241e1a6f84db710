#include "skin/win/tabs/SkinTabBtn.h"

#include <commctrl.h>

#include "framework/win32/DCState.h"
#include "skin/win/data/SkinDataUnit.h"
#include "skin/win/tabs/SkinTabText.h"

namespace {

constexpr int kSelectedFrame = 2;
constexpr int kNormalFrame = 1;

}  // namespace

const TDataSkinButton* TSkinTabBtn::SkinObject() const {
  if (!Data()) return nullptr;
  const TDataSkinButton& object = Data()->Model(Dpi()).Buttons();
  return Data()->Picture(object.Image) ? &object : nullptr;
}

bool TSkinTabBtn::BeforeMessage(TMessage& message) {
  if (message.Msg == WM_PAINT && SkinObject()) {
    PaintMessage(message);
    return false;
  }
  return TSkinControl::BeforeMessage(message);
}

void TSkinTabBtn::PaintSkin(HDC dc, const TRect& rect) {
  const TDataSkinButton* object = SkinObject();
  if (!object) return;
  RECT display{rect.Left, rect.Top, rect.Right, rect.Bottom};
  SendMessageW(Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
  const TRect row{rect.Left, rect.Top, rect.Right, display.top - PagePadding(rect, display, false) + 1};
  if (row.Width() <= 0 || row.Height() <= 0) return;
  // The strip around the pages is the control's own; in its system colour it would frame the
  // skinned pages.
  FillButtonFace(dc, TRect{rect.Left, row.Bottom, rect.Right, rect.Bottom});
  HDC buffer = Buffer().Prepare(dc, row.Width(), row.Height());
  FillButtonFace(buffer, TRect{0, 0, row.Width(), row.Height()});
  const SelectedObject font(buffer, ControlFont());
  const TextColorKept colourKept(buffer, RGB(0, 0, 0));
  const int count = static_cast<int>(SendMessageW(Handle(), TCM_GETITEMCOUNT, 0, 0));
  const int selected = static_cast<int>(SendMessageW(Handle(), TCM_GETCURSEL, 0, 0));
  const auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(Handle(), TCM_GETIMAGELIST, 0, 0));
  TSkinPicture& picture = *Data()->Picture(object->Image);
  const bool unicode = IsWindowUnicode(Handle()) != FALSE;
  TTabItem item;
  for (int index = 0; index < count; ++index) {
    if (!ReadTabItem(Handle(), index, unicode, item)) continue;
    const TRect place{item.Rect.Left, item.Rect.Top + 1, item.Rect.Right, item.Rect.Bottom + 1};
    const bool isSelected = index == selected;
    DrawSkinPicture(buffer, picture, object->FrameRect(isSelected ? kSelectedFrame : kNormalFrame), object->Margins(),
                    object->TileMiddle(), place, object->Trans == 1);
    // A colour the skin does not give stays as the tab before left it.
    if (!isSelected && object->NormalColour2Given) SetTextColor(buffer, ColorToRGB(object->NormalColour2));
    if (isSelected && object->PressedColour2Given) SetTextColor(buffer, ColorToRGB(object->PressedColour2));
    if (!WindowEnabled()) SetTextColor(buffer, ColorToRGB(Data()->Model(Dpi()).Colour(TSkinColour::ButtonShadow)));
    DrawTabText(buffer, images, item, place, Dpi());
  }
  BitBlt(dc, row.Left, row.Top, row.Width(), row.Height(), buffer, 0, 0, SRCCOPY);
}
