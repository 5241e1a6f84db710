#include "framework/controls/ImgList.h"

#include <algorithm>

#include "framework/controls/GlyphScale.h"

struct TImageList::TScaledList {
  explicit TScaledList(HIMAGELIST list) : Handle(list) {}
  ~TScaledList() {
    if (Handle) ImageList_Destroy(Handle);
  }
  TScaledList(const TScaledList&) = delete;
  TScaledList& operator=(const TScaledList&) = delete;
  HIMAGELIST Handle;
};

const TClassInfo& TImageList::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TImageList>("TImageList", &TComponent::StaticClassInfo())
                                     .Creatable()
                                     .Property("Width", &TImageList::Width, &TImageList::SetWidth)
                                     .Property("Height", &TImageList::Height, &TImageList::SetHeight)
                                     .Binary("Bitmap", &TImageList::ReadBitmap)
                                     .Binary("Bitmap2x", &TImageList::ReadBitmap2x);
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
  strips_.clear();
  doubles_.clear();
  // Lists of another image size are of no use any more.
  scaled_.clear();
  Changed();
}

void TImageList::Changed() {
  // A control may hold a list of another scale: it is filled again, never replaced under it.
  for (const auto& [dpi, list] : scaled_) {
    ImageList_Remove(list->Handle, -1);
    Fill(list->Handle, dpi);
  }
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
  strips_.clear();
  doubles_.clear();
  Changed();
}

TImageList::TStrip TImageList::StripOf(const TBitmap& strip, TColor key) {
  TStrip kept{std::make_unique<TBitmap>(), ColorToRGB(key)};
  kept.Bitmap->Assign(strip);
  return kept;
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
  strips_.push_back(StripOf(strip, key));
  Changed();
  return first;
}

void TImageList::AddMasked2x(TBitmap& strip, TColor maskColor) {
  if (strip.Empty()) return;
  if (strip.Height() != 2 * height_ || strip.Width() % (2 * width_) != 0) throw EInvalidOperation("Invalid image size");
  doubles_.push_back(StripOf(strip, maskColor == clDefault ? strip.TransparentColor() : maskColor));
  Changed();
}

void TImageList::ReadBitmap(TStream& stream) {
  TBitmap strip;
  strip.ReadData(stream);
  // The double-size strip may come first in a layout: it stays.
  std::vector<TStrip> doubles = std::move(doubles_);
  Clear();
  doubles_ = std::move(doubles);
  AddMasked(strip);
}

void TImageList::ReadBitmap2x(TStream& stream) {
  TBitmap strip;
  strip.ReadData(stream);
  doubles_.clear();
  AddMasked2x(strip);
}

SIZE TImageList::SizeForDpi(int dpi) const { return {ScaleToDpi(width_, dpi), ScaleToDpi(height_, dpi)}; }

bool TImageList::HasDouble() const {
  int images = 0;
  for (const TStrip& strip : doubles_) images += strip.Bitmap->Width() / (2 * width_);
  return !doubles_.empty() && images == Count();
}

HIMAGELIST TImageList::HandleForDpi(int dpi) const {
  const SIZE size = SizeForDpi(dpi);
  if (size.cx == width_ && size.cy == height_) return handle_;
  const auto found = scaled_.find(dpi);
  if (found != scaled_.end()) return found->second->Handle;
  auto made = std::make_unique<TScaledList>(ImageList_Create(size.cx, size.cy, ILC_COLOR32 | ILC_MASK, Count(), 4));
  if (!made->Handle) return handle_;
  Fill(made->Handle, dpi);
  const HIMAGELIST handle = made->Handle;
  scaled_.emplace(dpi, std::move(made));
  return handle;
}

void TImageList::Fill(HIMAGELIST list, int dpi) const {
  const SIZE size = SizeForDpi(dpi);
  // The nearest drawing at or above the size needed; above twice the size, the largest there is.
  const bool fromDouble = HasDouble() && (size.cx > width_ || size.cy > height_);
  const std::vector<TStrip>& sources = fromDouble ? doubles_ : strips_;
  const int cellWidth = fromDouble ? 2 * width_ : width_;
  for (const TStrip& strip : sources) {
    TBitmap scaled;
    ScaleStrip(*strip.Bitmap, strip.Bitmap->Width() / cellWidth, strip.Key, size.cx, size.cy, scaled);
    scaled.Dormant();
    // A strip that cannot be added leaves its images out: the list draws nothing for them.
    (void)ImageList_AddMasked(list, scaled.Handle(), strip.Key);
  }
}

void TImageList::Draw(TCanvas& canvas, int x, int y, int index, bool enabled, int dpi) const {
  if (index < 0 || index >= Count()) return;
  ImageList_DrawEx(HandleForDpi(dpi), index, canvas.Handle(), x, y, 0, 0, CLR_NONE, CLR_NONE,
                   ILD_TRANSPARENT | (enabled ? 0 : ILD_BLEND50));
}
