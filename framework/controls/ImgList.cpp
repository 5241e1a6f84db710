#include "framework/controls/ImgList.h"

#include <algorithm>

const TClassInfo& TImageList::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TImageList>("TImageList", &TComponent::StaticClassInfo())
                                     .Creatable()
                                     .Property("Width", &TImageList::Width, &TImageList::SetWidth)
                                     .Property("Height", &TImageList::Height, &TImageList::SetHeight)
                                     .Binary("Bitmap", &TImageList::ReadBitmap);
  return info;
}

TImageList::TImageList(TComponent* owner) : TComponent(owner) { Recreate(); }

TImageList::~TImageList() {
  if (handle_) ImageList_Destroy(handle_);
}

void TImageList::Recreate() {
  if (handle_) ImageList_Destroy(handle_);
  handle_ = ImageList_Create(width_, height_, ILC_COLOR32 | ILC_MASK, 4, 4);
  if (!handle_) throw EOutOfResources("Out of system resources");
  if (OnChange) OnChange(this);
}

void TImageList::SetWidth(int width) {
  if (width == width_) return;
  if (width <= 0 || width > 1024) throw EInvalidOperation("Invalid image size");
  width_ = width;
  Recreate();
}

void TImageList::SetHeight(int height) {
  if (height == height_) return;
  if (height <= 0 || height > 1024) throw EInvalidOperation("Invalid image size");
  height_ = height;
  Recreate();
}

int TImageList::Count() const { return ImageList_GetImageCount(handle_); }

void TImageList::Clear() {
  ImageList_Remove(handle_, -1);
  if (OnChange) OnChange(this);
}

int TImageList::AddMasked(TBitmap& strip, TColor maskColor) {
  if (strip.Empty()) return -1;
  if (strip.Height() != height_ || strip.Width() % width_ != 0) throw EInvalidOperation("Invalid image size");
  const TColor key = maskColor == clDefault ? strip.TransparentColor() : maskColor;
  // The image list takes a copy, so the strip stays untouched.
  TBitmap copy;
  copy.Assign(strip);
  // A bitmap selected into a DC cannot be read (and altered) by the list.
  copy.Dormant();
  HBITMAP handle = copy.Handle();
  const int first = Count();
  const int index = ImageList_AddMasked(handle_, handle, ColorToRGB(key));
  if (index < 0) throw EOutOfResources("Out of system resources");
  if (OnChange) OnChange(this);
  return first;
}

void TImageList::ReadBitmap(TStream& stream) {
  TBitmap strip;
  strip.ReadData(stream);
  Clear();
  AddMasked(strip);
}

void TImageList::Draw(TCanvas& canvas, int x, int y, int index, bool enabled) const {
  if (index < 0 || index >= Count()) return;
  ImageList_DrawEx(handle_, index, canvas.Handle(), x, y, 0, 0, CLR_NONE, CLR_NONE,
                   ILD_TRANSPARENT | (enabled ? 0 : ILD_BLEND50));
}
