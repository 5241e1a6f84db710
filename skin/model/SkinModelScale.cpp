// TSkinModel::Scaled: the model at another display scale.
#include <algorithm>
#include <cstdint>
#include <memory>

#include "skin/format/SkinRead.h"
#include "skin/model/SkinModel.h"
#include "skin/model/SkinResample.h"
#include "framework/core/DpiScale.h"

namespace {

TSkinMargins Times(const TSkinMargins& m, int k) { return {m.Left * k, m.Top * k, m.Right * k, m.Bottom * k}; }

// The source of a scaled picture: the detailed model's, kept alive by keep, or the 1x picture.
struct TPictureSource {
  const TSkinImage* Detail = nullptr;
  std::shared_ptr<const TSkinModel> Keep;
};

// One picture of an object at dpi: its frames keep their count and layout, each frame its margins.
// The source is the nearest at or above the need: the detailed picture when the display needs more
// than 1x and the detailed one is exactly twice the size, else the 1x picture. A picture that needs
// resampling is made when first drawn; one the detailed picture gives as it is, at once.
TSkinImage ScaledPicture(const TSkinImage& image, const TPictureSource& source, int frames, TFrameLayout layout,
                         const TSkinMargins& margins, int dpi) {
  if (image.Empty()) return {};
  const TRect frame = SkinFrameRect(image.Width(), image.Height(), frames, 1, layout);
  const int width = std::max(ScaleToDpi(frame.Width(), dpi), 1);
  const int height = std::max(ScaleToDpi(frame.Height(), dpi), 1);
  // A picture that would grow past what a skin picture may be stays as it is: the painters
  // stretch it to its place, and the skin still draws.
  const int64_t across = int64_t{layout == TFrameLayout::SideBySide ? width * int64_t{frames} : width};
  const int64_t down = int64_t{layout == TFrameLayout::SideBySide ? height : height * int64_t{frames}};
  if (across > TSkinImage::kMaxSide || down > TSkinImage::kMaxSide || across * down > TSkinImage::kMaxPixels) {
    return image;
  }
  const TSlicedPicture to{frames, layout, ScaledMargins(margins, dpi)};
  const TSkinImage* detail = source.Detail;
  const bool detailed = dpi > kDesignDpi && detail && detail->Width() == image.Width() * kSkinDetailScale &&
                        detail->Height() == image.Height() * kSkinDetailScale;
  const int w = static_cast<int>(across);
  const int h = static_cast<int>(down);
  if (detailed) {
    const TSlicedPicture from{frames, layout, Times(margins, kSkinDetailScale)};
    if (w == detail->Width() && h == detail->Height() && to.Margins == from.Margins) return *detail;
    return TSkinImage::Deferred(w, h, [keep = source.Keep, detail, from, width, height, to] {
      return ResampleSlicedImage(*detail, from, width, height, to);
    });
  }
  return TSkinImage::Deferred(w, h, [image, from = TSlicedPicture{frames, layout, margins}, width, height, to] {
    return ResampleSlicedImage(image, from, width, height, to);
  });
}

TFrameLayout LayoutOf(const TDataSkinObject& object) {
  return object.Name == "Top" || object.Name == "Bottom" ? TFrameLayout::Stacked : TFrameLayout::SideBySide;
}

void ScaleObject(TDataSkinObject& out, const TDataSkinObject& base, const TDataSkinObject* detail,
                 const std::shared_ptr<const TSkinModel>& keep, int dpi) {
  const auto scaled = [&](const TSkinImage& image, const TSkinImage* detailImage, int frames,
                          const TSkinMargins& margins = {}) {
    return ScaledPicture(image, {detailImage, keep}, std::max(frames, 1), LayoutOf(base), margins, dpi);
  };
  out.Image = scaled(base.Image, detail ? &detail->Image : nullptr, base.FrameCount, base.Margins());
  const TSkinMargins m = ScaledMargins(base.Margins(), dpi);
  out.LeftWidth = m.Left;
  out.TopHeight = m.Top;
  out.RightWidth = m.Right;
  out.BottomHeight = m.Bottom;

  if (auto* border = dynamic_cast<TDataSkinBorder*>(&out)) {
    const auto& from = static_cast<const TDataSkinBorder&>(base);
    const auto* more = dynamic_cast<const TDataSkinBorder*>(detail);
    // The tab row's second picture is its page, one frame; the others hold the object's frames.
    const int frames = base.Name == "Tabs" ? 1 : base.FrameCount;
    border->Image2 = scaled(from.Image2, more ? &more->Image2 : nullptr, frames);
  }
  if (auto* buttons = dynamic_cast<TDataSkinButton*>(&out)) {
    const auto& from = static_cast<const TDataSkinButton&>(base);
    const auto* more = dynamic_cast<const TDataSkinButton*>(detail);
    buttons->CheckImage = scaled(from.CheckImage, more ? &more->CheckImage : nullptr, from.CheckFrame);
    buttons->RadioImage = scaled(from.RadioImage, more ? &more->RadioImage : nullptr, from.RadioFrame);
  }
  if (auto* title = dynamic_cast<TDataSkinTitle*>(&out)) {
    title->FontHeight = ScaleToDpi(title->FontHeight, dpi);
    title->TextBackLeft = ScaleToDpi(title->TextBackLeft, dpi);
    title->TextBackRight = ScaleToDpi(title->TextBackRight, dpi);
  }
  if (auto* button = dynamic_cast<TDataSkinSysButton*>(&out)) {
    button->X = ScaleToDpi(button->X, dpi);
    button->Y = ScaleToDpi(button->Y, dpi);
  }
  if (auto* label = dynamic_cast<TDataSkinBoxLabel*>(&out)) {
    label->BackgroundLeftShift = ScaleToDpi(label->BackgroundLeftShift, dpi);
    label->BackgroundRightShift = ScaleToDpi(label->BackgroundRightShift, dpi);
  }
}

}  // namespace

TSkinModel TSkinModel::Scaled(int dpi, const std::shared_ptr<const TSkinModel>& detailed) const {
  TSkinModel out;
  out.objects_.clear();
  out.named_ = named_;
  out.table_ = table_;
  out.custom_ = custom_;
  out.skinColour_ = skinColour_;
  out.skinName_ = skinName_;
  out.dpi_ = dpi;
  for (const auto& object : objects_) {
    auto copy = object->Clone();
    ScaleObject(*copy, *object, detailed ? detailed->Find(object->Name) : nullptr, detailed, dpi);
    out.objects_.push_back(std::move(copy));
  }
  const auto& more = detailed ? detailed->captionButtons_ : captionButtons_;
  for (size_t i = 0; i < captionButtons_.size(); ++i) {
    const TDataSkinSysButton& base = *captionButtons_[i];
    auto copy = std::make_unique<TDataSkinSysButton>(base);
    const bool same = detailed && i < more.size() && more[i]->Name == base.Name;
    ScaleObject(*copy, base, same ? more[i].get() : nullptr, detailed, dpi);
    out.captionButtons_.push_back(std::move(copy));
  }
  return out;
}
