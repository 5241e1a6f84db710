#include "skin/win/tabs/SkinTabText.h"

#include <array>

#include "framework/core/DpiScale.h"
#include "framework/win32/DCState.h"
#include "framework/win32/Strings.h"

namespace {

// As the system's tab control reads them.
constexpr int kMaxTabText = 80;
constexpr UINT kTextFlags = DT_SINGLELINE | DT_EXPANDTABS | DT_END_ELLIPSIS;
constexpr int kImageGap = 2;

std::wstring ReadText(HWND tabs, int index, bool unicode, int& imageIndex) {
  if (unicode) {
    std::array<wchar_t, kMaxTabText + 1> text{};
    TCITEMW item{};
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.pszText = text.data();
    item.cchTextMax = kMaxTabText;
    if (!SendMessageW(tabs, TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item))) return {};
    imageIndex = item.iImage;
    return text.data();
  }
  std::array<char, kMaxTabText + 1> text{};
  TCITEMA item{};
  item.mask = TCIF_TEXT | TCIF_IMAGE;
  item.pszText = text.data();
  item.cchTextMax = kMaxTabText;
  if (!SendMessageA(tabs, TCM_GETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item))) return {};
  imageIndex = item.iImage;
  return Utf8ToWide(CodePageToUtf8(text.data(), CP_ACP));
}

}  // namespace

bool ReadTabItem(HWND tabs, int index, bool unicode, TTabItem& item) {
  item.ImageIndex = -1;
  item.Text = ReadText(tabs, index, unicode, item.ImageIndex);
  RECT r{};
  if (!SendMessageW(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r))) return false;
  item.Rect = TRect{r.left, r.top, r.right, r.bottom};
  return true;
}

void DrawTabText(HDC dc, HIMAGELIST images, const TTabItem& item, const TRect& rect, int dpi) {
  int iconWidth = 0;
  int iconHeight = 0;
  const bool drawImage = images && item.ImageIndex != -1 && ImageList_GetIconSize(images, &iconWidth, &iconHeight) &&
                         iconWidth < rect.Width();
  const int imageSpace = drawImage ? iconWidth + ScaleToDpi(kImageGap, dpi) : 0;
  RECT measured{0, 0, rect.Width(), rect.Height()};
  if (!item.Text.empty())
    DrawTextW(dc, item.Text.c_str(), static_cast<int>(item.Text.size()), &measured, kTextFlags | DT_CALCRECT | DT_NOCLIP);
  const int textWidth = item.Text.empty() ? 0 : measured.right - measured.left;
  const int textHeight = measured.bottom - measured.top;
  int offset = (rect.Width() - imageSpace - textWidth) / 2;
  if (offset < 2) offset = 1;
  const int left = rect.Left + offset;
  if (drawImage)
    ImageList_Draw(images, item.ImageIndex, dc, left, rect.Top + (rect.Height() - iconHeight) / 2, ILD_TRANSPARENT);
  if (item.Text.empty()) return;
  const BkModeKept transparent(dc, TRANSPARENT);
  // The text box ends where the tab ends, so that a long caption's ellipsis is seen.
  RECT box{left + imageSpace, rect.Top + (rect.Height() - textHeight) / 2, rect.Right - offset,
           rect.Top + (rect.Height() + textHeight) / 2};
  const SavedDC saved(dc);
  IntersectClipRect(dc, rect.Left, rect.Top, rect.Right, rect.Bottom);
  DrawTextW(dc, item.Text.c_str(), static_cast<int>(item.Text.size()), &box, kTextFlags);
}

int PagePadding(const TRect& client, const RECT& display, bool sideways) {
  return sideways ? display.top - client.Top : display.left - client.Left;
}
