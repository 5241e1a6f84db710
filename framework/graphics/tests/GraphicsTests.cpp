#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "framework/controls/Application.h"
#include "framework/controls/ExtCtrls.h"
#include "framework/controls/ImgList.h"
#include "framework/graphics/Graphic.h"
#include "framework/graphics/JPEGImage.h"
#include "framework/graphics/tests/TinyJpeg.h"

namespace {

std::vector<uint8_t> BytesOf(const TBitmap& bitmap) {
  TMemoryStream s;
  bitmap.SaveToStream(s);
  return s.Bytes();
}

// A .ico file holding one 16 x 16, 32-bit image.
std::vector<uint8_t> MakeIcon() {
  const int size = 16;
  const uint32_t imageBytes = 40 + size * size * 4 + size * 4;
  std::vector<uint8_t> ico(6 + 16 + imageBytes, 0);
  ico[2] = 1;
  ico[4] = 1;
  uint8_t* e = &ico[6];
  e[0] = size;
  e[1] = size;
  e[4] = 1;
  e[6] = 32;
  std::memcpy(e + 8, &imageBytes, 4);
  const uint32_t offset = 22;
  std::memcpy(e + 12, &offset, 4);
  BITMAPINFOHEADER bih{};
  bih.biSize = 40;
  bih.biWidth = size;
  bih.biHeight = size * 2;
  bih.biPlanes = 1;
  bih.biBitCount = 32;
  std::memcpy(&ico[22], &bih, 40);
  for (int i = 0; i < size * size; ++i) {
    uint8_t* p = &ico[22 + 40 + i * 4];
    p[0] = 0x20, p[1] = 0x80, p[2] = 0xE0, p[3] = 0xFF;
  }
  return ico;
}

TEST(Bitmap, SavedBmpLoadsBackWithTheSamePixels) {
  TBitmap a;
  a.SetSize(5, 3);
  a.Canvas()->Brush()->SetColor(clRed);
  a.Canvas()->FillRect({0, 0, 5, 3});
  a.Canvas()->SetPixel(4, 2, clBlue);
  TMemoryStream s;
  a.SaveToStream(s);
  s.SetPosition(0);
  TBitmap b;
  b.LoadFromStream(s);
  EXPECT_EQ(b.Width(), 5);
  EXPECT_EQ(b.Height(), 3);
  EXPECT_EQ(b.Canvas()->Pixel(0, 0), clRed);
  EXPECT_EQ(b.Canvas()->Pixel(4, 2), clBlue);
  // The layout form with a byte count in front reads the same.
  TMemoryStream prefixed;
  const uint32_t n = static_cast<uint32_t>(s.Size());
  prefixed.WriteBuffer(&n, 4);
  prefixed.WriteBuffer(s.Memory(), s.Size());
  prefixed.SetPosition(0);
  TBitmap c;
  c.ReadData(prefixed);
  EXPECT_EQ(BytesOf(c), BytesOf(b));
}

// A 2 x 1, 8-bit BMP with a two-colour table: pixel 0 uses entry 1 (red), pixel 1 entry 0 (blue).
std::vector<uint8_t> MakePaletteBmp() {
  std::vector<uint8_t> bmp(14 + 40 + 8 + 4, 0);
  bmp[0] = 'B';
  bmp[1] = 'M';
  const uint32_t size = static_cast<uint32_t>(bmp.size()), off = 14 + 40 + 8;
  std::memcpy(&bmp[2], &size, 4);
  std::memcpy(&bmp[10], &off, 4);
  BITMAPINFOHEADER bih{};
  bih.biSize = 40;
  bih.biWidth = 2;
  bih.biHeight = 1;
  bih.biPlanes = 1;
  bih.biBitCount = 8;
  bih.biClrUsed = 2;
  std::memcpy(&bmp[14], &bih, 40);
  const uint8_t table[8] = {0xFF, 0, 0, 0, 0, 0, 0xFF, 0};
  std::memcpy(&bmp[54], table, 8);
  bmp[62] = 1;
  bmp[63] = 0;
  return bmp;
}

TEST(Bitmap, PaletteImagesBringTheirColourTable) {
  std::vector<uint8_t> bmp = MakePaletteBmp();
  TReadOnlyMemoryStream s(bmp.data(), static_cast<int64_t>(bmp.size()));
  TBitmap b;
  b.LoadFromStream(s);
  EXPECT_EQ(b.Canvas()->Pixel(0, 0), clRed);
  EXPECT_EQ(b.Canvas()->Pixel(1, 0), clBlue);
  ASSERT_NE(b.Palette(), nullptr);
  PALETTEENTRY entries[4] = {};
  EXPECT_EQ(GetPaletteEntries(b.Palette(), 0, 4, entries), 2u);
  EXPECT_EQ(entries[1].peRed, 0xFF);
  TBitmap copy;
  copy.Assign(b);
  ASSERT_NE(copy.Palette(), nullptr);
  EXPECT_NE(copy.Palette(), b.Palette());
  // A table that runs into the pixels is refused.
  const uint32_t used = 200;
  std::memcpy(&bmp[46], &used, 4);
  TReadOnlyMemoryStream bad(bmp.data(), static_cast<int64_t>(bmp.size()));
  TBitmap refused;
  EXPECT_THROW(refused.LoadFromStream(bad), EInvalidGraphic);
}

TEST(Bitmap, DamagedBmpIsRefusedAndKeepsNothingHalfLoaded) {
  TBitmap good;
  good.SetSize(4, 4);
  std::vector<uint8_t> bytes = BytesOf(good);
  auto expectRefused = [](std::vector<uint8_t> data) {
    TReadOnlyMemoryStream s(data.data(), static_cast<int64_t>(data.size()));
    TBitmap b;
    EXPECT_THROW(b.LoadFromStream(s), EInvalidGraphic);
    EXPECT_TRUE(b.Empty());
  };
  expectRefused({});
  expectRefused({'B', 'M', 0, 0});
  std::vector<uint8_t> truncated(bytes.begin(), bytes.end() - 8);
  expectRefused(truncated);
  std::vector<uint8_t> huge = bytes;
  const int32_t width = 1 << 30;
  std::memcpy(&huge[18], &width, 4);
  expectRefused(huge);
  std::vector<uint8_t> badOffset = bytes;
  const uint32_t offset = 0xFFFFFF00;
  std::memcpy(&badOffset[10], &offset, 4);
  expectRefused(badOffset);
  std::vector<uint8_t> badCount = bytes;
  badCount[28] = 7;
  expectRefused(badCount);
}

TEST(Bitmap, TransparentDrawingLeavesTheKeyColourOut) {
  TBitmap sprite;
  sprite.SetSize(4, 4);
  sprite.Canvas()->Brush()->SetColor(clFuchsia);
  sprite.Canvas()->FillRect({0, 0, 4, 4});
  sprite.Canvas()->SetPixel(1, 1, clLime);
  EXPECT_EQ(sprite.TransparentColor(), clFuchsia);
  sprite.SetTransparent(true);
  TBitmap target;
  target.SetSize(4, 4);
  target.Canvas()->Brush()->SetColor(clWhite);
  target.Canvas()->FillRect({0, 0, 4, 4});
  target.Canvas()->Draw(0, 0, &sprite);
  EXPECT_EQ(target.Canvas()->Pixel(0, 0), clWhite);
  EXPECT_EQ(target.Canvas()->Pixel(1, 1), clLime);
  sprite.SetTransparentColor(clLime);
  target.Canvas()->FillRect({0, 0, 4, 4});
  target.Canvas()->Draw(0, 0, &sprite);
  EXPECT_EQ(target.Canvas()->Pixel(0, 0), clFuchsia);
  EXPECT_EQ(target.Canvas()->Pixel(1, 1), clWhite);
}

TEST(Icon, LoadsFromAnIcoStreamAndRefusesBrokenDirectories) {
  std::vector<uint8_t> ico = MakeIcon();
  TReadOnlyMemoryStream s(ico.data(), static_cast<int64_t>(ico.size()));
  TIcon icon;
  icon.LoadFromStream(s);
  EXPECT_FALSE(icon.Empty());
  EXPECT_EQ(icon.Width(), 16);
  TIcon copy;
  copy.Assign(icon);
  EXPECT_NE(copy.Handle(), icon.Handle());
  TMemoryStream saved;
  copy.SaveToStream(saved);
  EXPECT_EQ(saved.Bytes(), ico);
  std::vector<uint8_t> broken = ico;
  const uint32_t offset = static_cast<uint32_t>(ico.size());
  std::memcpy(&broken[6 + 12], &offset, 4);
  TReadOnlyMemoryStream b(broken.data(), static_cast<int64_t>(broken.size()));
  TIcon bad;
  EXPECT_THROW(bad.LoadFromStream(b), EInvalidGraphic);
}

TEST(Picture, LayoutDataIsRecognisedByItsFirstBytes) {
  TPicture picture;
  TBitmap bitmap;
  bitmap.SetSize(3, 2);
  std::vector<uint8_t> bmp = BytesOf(bitmap);
  TReadOnlyMemoryStream s1(bmp.data(), static_cast<int64_t>(bmp.size()));
  picture.ReadData(s1);
  EXPECT_NE(dynamic_cast<TBitmap*>(picture.Graphic()), nullptr);
  EXPECT_EQ(picture.Width(), 3);
  std::vector<uint8_t> ico = MakeIcon();
  TReadOnlyMemoryStream s2(ico.data(), static_cast<int64_t>(ico.size()));
  picture.ReadData(s2);
  EXPECT_NE(dynamic_cast<TIcon*>(picture.Graphic()), nullptr);
  TReadOnlyMemoryStream s3(kTinyJpeg, sizeof kTinyJpeg);
  picture.ReadData(s3);
  auto* jpeg = dynamic_cast<TJPEGImage*>(picture.Graphic());
  ASSERT_NE(jpeg, nullptr);
  EXPECT_EQ(jpeg->Width(), 8);
  EXPECT_EQ(jpeg->Height(), 6);
  const TColor c = jpeg->Bitmap()->Canvas()->Pixel(4, 3);
  EXPECT_NEAR(RedOf(c), 0x33, 4);
  EXPECT_NEAR(GreenOf(c), 0x66, 4);
  EXPECT_NEAR(BlueOf(c), 0xCC, 4);
  const uint8_t junk[] = {'n', 'o', 'p', 'e'};
  TReadOnlyMemoryStream s4(junk, sizeof junk);
  EXPECT_THROW(picture.ReadData(s4), EInvalidGraphic);
  std::vector<uint8_t> cut(kTinyJpeg, kTinyJpeg + 40);
  TReadOnlyMemoryStream s5(cut.data(), static_cast<int64_t>(cut.size()));
  EXPECT_THROW(picture.ReadData(s5), Exception);
  try {
    picture.LoadFromFile("picture.xyz");
    ADD_FAILURE();
  } catch (const EInvalidGraphic& e) {
    EXPECT_EQ(e.Message(), "Unknown picture file extension (.xyz)");
  }
  EXPECT_NE(TPicture::FileFilter().find("*.jpg"), std::string::npos);
}

TEST(Picture, ImageInALayoutShowsTheEmbeddedPicture) {
  TBitmap bitmap;
  bitmap.SetSize(2, 2);
  bitmap.Canvas()->Brush()->SetColor(clYellow);
  bitmap.Canvas()->FillRect({0, 0, 2, 2});
  std::string hex;
  char digits[3];
  for (uint8_t b : BytesOf(bitmap)) {
    std::snprintf(digits, sizeof digits, "%02X", b);
    hex += digits;
  }
  struct TPictureForm : TForm {
    TPictureForm(TComponent* owner, const std::string& layout) : TForm(owner) { InitializeForm(layout); }
  };
  TPictureForm form(nullptr, "object F: TForm\n  ClientWidth = 60\n  ClientHeight = 30\n  object Image1: TImage\n    Stretch = True\n    Width = 20\n"
                             "    Height = 10\n    Picture.Data = {" + hex + "}\n  end\nend\n");
  auto* image = dynamic_cast<TImage*>(form.FindComponent("Image1"));
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->Picture()->Width(), 2);
  EXPECT_EQ(image->DestRect(), (TRect{0, 0, 20, 10}));
  form.Show();
  // What the form paints, windowless children included, drawn into a bitmap.
  TBitmap shot;
  shot.SetSize(form.ClientWidth(), form.ClientHeight());
  form.PaintTo(shot.Canvas()->Handle(), 0, 0);
  EXPECT_EQ(shot.Canvas()->Pixel(10, 5), clYellow);
  EXPECT_EQ(shot.Canvas()->Pixel(19, 9), clYellow);
  EXPECT_EQ(static_cast<COLORREF>(shot.Canvas()->Pixel(25, 5)), ColorToRGB(clBtnFace));
}

TEST(Canvas, LockKeepsOtherThreadsOut) {
  TCanvas canvas;
  canvas.Lock();
  canvas.Lock();
  bool otherGotIt = true;
  std::thread([&] { otherGotIt = canvas.TryLock(); }).join();
  EXPECT_FALSE(otherGotIt);
  canvas.Unlock();
  canvas.Unlock();
  std::thread([&] {
    otherGotIt = canvas.TryLock();
    if (otherGotIt) canvas.Unlock();
  }).join();
  EXPECT_TRUE(otherGotIt);
}

TEST(Font, SizeAndHeightAgreeAndChangesRecreateTheHandle) {
  TFont font;
  font.SetSize(9);
  EXPECT_EQ(font.Height(), -12);
  font.SetHeight(-19);
  EXPECT_EQ(font.Size(), 14);
  int changes = 0;
  font.OnChange = [&](TObject*) { ++changes; };
  HFONT before = font.Handle();
  font.SetStyle(fsBold | fsUnderline);
  EXPECT_EQ(changes, 1);
  LOGFONTW lf{};
  GetObjectW(font.Handle(), sizeof lf, &lf);
  EXPECT_NE(font.Handle(), before);
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  EXPECT_TRUE(lf.lfUnderline);
  EXPECT_EQ(lf.lfHeight, -19);
  // A font lent again unchanged (as a control's to its canvas on every paint) keeps its GDI font;
  // a colour is no part of it.
  TFont lent;
  lent.Assign(font);
  const HFONT kept = lent.Handle();
  font.SetColor(clRed);
  lent.Assign(font);
  EXPECT_EQ(lent.Handle(), kept);
  EXPECT_EQ(lent.Color(), clRed);
  font.SetHeight(-24);
  lent.Assign(font);
  GetObjectW(lent.Handle(), sizeof lf, &lf);
  EXPECT_EQ(lf.lfHeight, -24);
  SetPropValue(font, "Charset", "GB2312_CHARSET");
  EXPECT_EQ(font.Charset(), 134);
  SetPropValue(font, "Charset", "1");
  EXPECT_EQ(GetPropValue(font, "Charset"), "DEFAULT_CHARSET");
  EXPECT_THROW(SetPropValue(font, "Charset", "300"), EConvertError);
}

}  // namespace

namespace {

TEST(Bitmap, ResizingKeepsTheOverlapAndMonochromeKeepsTheShape) {
  TBitmap b;
  b.SetSize(4, 4);
  b.Canvas()->Brush()->SetColor(clBlack);
  b.Canvas()->FillRect({0, 0, 4, 4});
  b.Canvas()->SetPixel(1, 1, clWhite);
  b.SetSize(6, 2);
  EXPECT_EQ(b.Canvas()->Pixel(1, 1), clWhite);
  EXPECT_EQ(b.Canvas()->Pixel(0, 0), clBlack);
  b.SetMonochrome(true);
  EXPECT_TRUE(b.Monochrome());
  EXPECT_EQ(b.Width(), 6);
  EXPECT_EQ(b.Canvas()->Pixel(1, 1), clWhite);
  EXPECT_EQ(b.Canvas()->Pixel(0, 1), clBlack);
  EXPECT_THROW(b.SetSize(-1, 5), EInvalidGraphicOperation);
  EXPECT_THROW(b.SetSize(100000, 5), EInvalidGraphicOperation);
  EXPECT_EQ(b.Width(), 6);
  TBitmap empty;
  EXPECT_THROW(empty.ScanLine(0), EInvalidGraphicOperation);
}

TEST(Bitmap, AssigningAnotherKindOfGraphicRendersIt) {
  TReadOnlyMemoryStream s(kTinyJpeg, sizeof kTinyJpeg);
  TJPEGImage jpeg;
  jpeg.LoadFromStream(s);
  TBitmap b;
  b.Assign(jpeg);
  EXPECT_EQ(b.Width(), 8);
  EXPECT_NEAR(BlueOf(b.Canvas()->Pixel(2, 2)), 0xCC, 4);
  TJPEGImage copy;
  copy.Assign(jpeg);
  TMemoryStream saved;
  copy.SaveToStream(saved);
  EXPECT_EQ(saved.Bytes(), std::vector<uint8_t>(kTinyJpeg, kTinyJpeg + sizeof kTinyJpeg));
  TIcon icon;
  EXPECT_THROW(icon.Assign(jpeg), EConvertError);
}

TEST(Picture, ChangesOfTheHeldGraphicReachThePictureListener) {
  TPicture picture;
  int changes = 0;
  picture.OnChange = [&](TObject*) { ++changes; };
  TBitmap* bitmap = picture.Bitmap();
  EXPECT_EQ(changes, 1);
  bitmap->SetSize(3, 3);
  EXPECT_EQ(changes, 2);
  TBitmap other;
  other.SetSize(5, 5);
  picture.SetGraphic(&other);
  EXPECT_EQ(picture.Width(), 5);
  EXPECT_NE(picture.Graphic(), &other);
  other.SetSize(9, 9);
  EXPECT_EQ(picture.Width(), 5);
  picture.SetGraphic(nullptr);
  EXPECT_EQ(picture.Graphic(), nullptr);
  EXPECT_EQ(picture.Width(), 0);
}

TEST(ImageList, StripsAreCutIntoImagesWithTheCornerColourTransparent) {
  TImageList list(nullptr);
  TBitmap strip;
  strip.SetSize(48, 16);
  strip.Canvas()->Brush()->SetColor(clFuchsia);
  strip.Canvas()->FillRect({0, 0, 48, 16});
  strip.Canvas()->Brush()->SetColor(clRed);
  strip.Canvas()->FillRect({20, 4, 28, 12});
  EXPECT_EQ(list.AddMasked(strip), 0);
  EXPECT_EQ(list.Count(), 3);
  TBitmap target;
  target.SetSize(16, 16);
  target.Canvas()->Brush()->SetColor(clWhite);
  target.Canvas()->FillRect({0, 0, 16, 16});
  list.Draw(*target.Canvas(), 0, 0, 1);
  EXPECT_EQ(target.Canvas()->Pixel(0, 0), clWhite);
  EXPECT_EQ(target.Canvas()->Pixel(6, 8), clRed);
  list.Draw(*target.Canvas(), 0, 0, 7);
  TBitmap wrong;
  wrong.SetSize(20, 16);
  EXPECT_THROW(list.AddMasked(wrong), EInvalidOperation);
  EXPECT_EQ(list.Count(), 3);
  // Layout data replaces the images.
  TMemoryStream data;
  strip.SaveToStream(data);
  data.SetPosition(0);
  list.ReadBitmap(data);
  EXPECT_EQ(list.Count(), 3);
}

TEST(Canvas, TextIsMeasuredInTheCanvasFont) {
  TBitmap b;
  b.SetSize(200, 50);
  TCanvas& c = *b.Canvas();
  c.Font()->SetName("Tahoma");
  c.Font()->SetHeight(-12);
  const TPoint small = c.TextExtent("Hello");
  c.Font()->SetHeight(-24);
  const TPoint large = c.TextExtent("Hello");
  EXPECT_GT(large.X, small.X);
  EXPECT_GT(large.Y, small.Y);
  TRect r{0, 0, 40, 0};
  const int height = c.DrawText("one two three four five", r, DT_WORDBREAK | DT_CALCRECT);
  EXPECT_GT(height, large.Y);
  EXPECT_THROW(TCanvas().FillRect({0, 0, 1, 1}), EInvalidOperation);
}

}  // namespace
