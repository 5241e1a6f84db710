// Image lists and button glyphs at display scales: which drawing they show from, and that
// resampling keeps the see-through colour and each image apart.
#include <gtest/gtest.h>

#include <vector>

#include "framework/controls/Buttons.h"
#include "framework/controls/ComCtrls.h"
#include "framework/controls/ImgList.h"
#include "framework/controls/tests/TestForms.h"
#include "framework/win32/Handles.h"

namespace {

constexpr COLORREF kRed = RGB(200, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 200);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// Two images side by side on magenta: the first ink in its middle half only, the second all ink.
void FillStrip(TBitmap& strip, int side, COLORREF ink) {
  strip.SetSize(2 * side, side);
  HDC dc = strip.Canvas()->Handle();
  UniqueBrush key(CreateSolidBrush(RGB(255, 0, 255)));
  UniqueBrush paint(CreateSolidBrush(ink));
  const RECT all{0, 0, 2 * side, side};
  const RECT middle{side / 4, side / 4, 3 * side / 4, 3 * side / 4};
  const RECT second{side, 0, 2 * side, side};
  FillRect(dc, &all, key.get());
  FillRect(dc, &middle, paint.get());
  FillRect(dc, &second, paint.get());
}

// The list's image at dpi drawn on white; the pixel at (x, y) of it.
struct TDrawn {
  int Side = 0;
  COLORREF At(int x, int y) const { return pixels.at(static_cast<size_t>(y * Side + x)); }
  std::vector<COLORREF> pixels;
};
TDrawn Draw(const TImageList& list, int index, int dpi) {
  int cx = 0, cy = 0;
  const HIMAGELIST handle = list.HandleForDpi(dpi);
  ImageList_GetIconSize(handle, &cx, &cy);
  TBitmap target;
  target.SetSize(cx, cy);
  HDC dc = target.Canvas()->Handle();
  const RECT all{0, 0, cx, cy};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  ImageList_Draw(handle, index, dc, 0, 0, ILD_TRANSPARENT);
  TDrawn drawn{cx, {}};
  for (int y = 0; y < cy; ++y)
    for (int x = 0; x < cx; ++x) drawn.pixels.push_back(GetPixel(dc, x, y));
  return drawn;
}

TEST(ImageList, AboveOneHundredPercentTheDoubleSizeDrawingIsShownResampledToTheScale) {
  TImageList list(nullptr);
  TBitmap normal;
  FillStrip(normal, 16, kRed);
  list.AddMasked(normal);

  // Without a larger drawing the 16-px one is enlarged: 24 px at 150 %, the key still see-through.
  TDrawn enlarged = Draw(list, 0, 144);
  ASSERT_EQ(enlarged.Side, 24);
  EXPECT_EQ(enlarged.At(12, 12), kRed);
  EXPECT_EQ(enlarged.At(2, 2), kWhite);

  const HIMAGELIST held = list.HandleForDpi(144);
  TBitmap detailed;
  FillStrip(detailed, 32, kBlue);
  list.AddMasked2x(detailed);
  EXPECT_EQ(list.HandleForDpi(144), held) << "a tab control holding the list at 150 % keeps a live one";
  EXPECT_EQ(Draw(list, 1, 96).At(8, 8), kRed) << "100 % shows the list's own images";
  for (const int dpi : {120, 144, 192, 288}) {
    const TDrawn drawn = Draw(list, 0, dpi);
    ASSERT_EQ(drawn.Side, 16 * dpi / 96) << dpi;
    const int middle = drawn.Side / 2;
    EXPECT_EQ(drawn.At(middle, middle), kBlue) << dpi << ": the nearest drawing at or above the size";
    EXPECT_EQ(drawn.At(drawn.Side - 1, middle), kWhite) << dpi << ": the second image, all ink, bled into the first";
    EXPECT_EQ(drawn.At(0, 0), kWhite) << dpi;
  }
  // A resampled edge is never tinted by the key colour: a pixel is the backdrop or the ink.
  for (const COLORREF pixel : Draw(list, 0, 144).pixels) {
    if (pixel == kWhite) continue;
    EXPECT_TRUE(GetRValue(pixel) <= 8 && GetGValue(pixel) <= 8) << std::hex << pixel;
  }
}

TEST(ButtonGlyph, FollowsTheButtonsScaleFromTheDrawingNearestAtOrAboveIt) {
  TPlainForm form(nullptr);
  auto* button = new TBitBtn(&form);
  button->SetParent(&form);
  button->SetNumGlyphs(2);
  FillStrip(*button->Glyph(), 16, kRed);
  const auto middleOf = [&](int image) {
    TBitmap* glyph = button->Glyph();
    const int side = glyph->Height();
    return GetPixel(glyph->Canvas()->Handle(), image * side + side / 2, side / 2);
  };
  form.ScaleForPPI(144);
  EXPECT_EQ(button->Glyph()->Width(), 48);
  EXPECT_EQ(button->Glyph()->Height(), 24);
  EXPECT_EQ(middleOf(0), kRed) << "enlarged from the only drawing there is";

  FillStrip(*button->Glyph2x(), 32, kBlue);
  form.ScaleForPPI(192);
  EXPECT_EQ(button->Glyph()->Height(), 32);
  EXPECT_EQ(middleOf(0), kBlue);
  EXPECT_EQ(GetPixel(button->Glyph()->Canvas()->Handle(), 1, 1), RGB(255, 0, 255)) << "the key stays the key";
  form.ScaleForPPI(96);
  EXPECT_EQ(button->Glyph()->Height(), 16);
  EXPECT_EQ(middleOf(1), kRed) << "back at 100 %, the glyph as it was given";
}

TEST(PageControl, TabImagesAndTheRoomAroundALabelFollowTheControlsScale) {
  TPlainForm form(nullptr);
  auto* images = new TImageList(&form);
  TBitmap strip;
  FillStrip(strip, 16, kRed);
  images->AddMasked(strip);
  auto* pages = new TPageControl(&form);
  pages->SetParent(&form);
  pages->SetImages(images);
  auto* sheet = new TTabSheet(&form);
  sheet->SetPageControl(pages);
  sheet->SetCaption("图示教程一");
  sheet->SetImageIndex(0);
  form.Show();
  const auto iconWidth = [&] {
    int cx = 0, cy = 0;
    ImageList_GetIconSize(reinterpret_cast<HIMAGELIST>(SendMessageW(pages->Handle(), TCM_GETIMAGELIST, 0, 0)), &cx, &cy);
    return cx;
  };
  // What the tab holds beyond its image and its label.
  const auto room = [&] {
    RECT tab{};
    SendMessageW(pages->Handle(), TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&tab));
    WindowDC dc(pages->Handle());
    const HGDIOBJ old = SelectObject(dc.get(), reinterpret_cast<HFONT>(SendMessageW(pages->Handle(), WM_GETFONT, 0, 0)));
    SIZE label{};
    GetTextExtentPoint32W(dc.get(), L"图示教程一", 5, &label);
    SelectObject(dc.get(), old);
    return (tab.right - tab.left) - iconWidth() - label.cx;
  };
  EXPECT_EQ(iconWidth(), 16);
  const int roomAt96 = room();
  form.ScaleForPPI(192);
  EXPECT_EQ(iconWidth(), 32);
  EXPECT_NEAR(room(), 2 * roomAt96, 2);
}

}  // namespace
