#include "gif/GIFImage.h"

#include <algorithm>

#include "framework/core/Exception.h"
#include "gif/LZWDecoder.h"

bool LoadCorruptGIF = true;
int DefaultReduction = 0;
int64_t GIFMaxFramePixels = int64_t{1} << 26;

int TGIFPalette::IndexOf(TColor color) const {
  for (uint32_t i = 0; i < Count && i < 256; ++i)
    if (Color(i) == color) return int(i);
  return -1;
}

int PaletteBits(uint32_t count) {
  for (int bits = 1; bits <= 8; ++bits)
    if (count == (1u << bits)) return bits;
  throw EInvalidGraphicOperation("Wrong number of colors; must be a power of 2");
}

uint8_t TExtension::Label() const {
  switch (Kind) {
    case TExtensionKind::ekGraphicControl: return 0xF9;
    case TExtensionKind::ekPlainText: return 0x01;
    case TExtensionKind::ekApplication: return 0xFF;
    case TExtensionKind::ekComment: return 0xFE;
  }
  return 0xFE;
}

// ---- TGIFFrame ----

TGIFFrame::TGIFFrame(TGIFImage* owner) : owner_(owner), item_(std::make_shared<TGIFItem>()) {}

void TGIFFrame::Progress(TProgressStage stage, int percent, const std::string& message) const {
  if (owner_ && owner_->OnProgress) owner_->OnProgress(stage, percent, message);
}

const TDibImage& TGIFFrame::Bitmap() {
  if (!HasBitmap()) {
    if (HasCodedData()) Decode();
    else DecodedBitmap.emplace();
  }
  return *DecodedBitmap;
}

int TGIFFrame::Width() {
  if (!DecodedBitmap && !HasCodedData()) return 0;
  return Bitmap().Width();
}

int TGIFFrame::Height() {
  if (!DecodedBitmap && !HasCodedData()) return 0;
  return Bitmap().Height();
}

TGIFSize TGIFFrame::CoveredSize() const {
  if (HasBitmap()) return {DecodedBitmap->Width(), DecodedBitmap->Height()};
  if (HasCodedData()) return item_->FrameSize;
  return {};
}

void TGIFFrame::Decode() {
  const TGIFItem& item = *item_;
  try {
    Progress(TProgressStage::psStarting, 0, {});
    const int bits = item.ColorBits;
    const int depth = bits == 1 ? 1 : bits >= 2 && bits <= 4 ? 4 : bits >= 5 && bits <= 8 ? 8 : 0;
    if (depth == 0) throw EInvalidGraphicOperation("Wrong number of colors; must be a power of 2");
    const int64_t width = std::max(0, item.FrameSize.Width);
    const int64_t height = std::max(0, item.FrameSize.Height);
    if (width * height > GIFMaxFramePixels) throw EInvalidGraphicOperation("Image too large");
    TDibImage dib(int(width), int(height), depth);
    for (uint32_t i = 0; i < item.ColorTable.Count && i < uint32_t(dib.PaletteCount()); ++i)
      dib.SetPaletteColor(int(i), item.ColorTable.Colors[i]);
    TLZWDecodeParams params;
    params.ColorBits = bits;
    params.Interlaced = IsInterlaced;
    params.AcceptDamage = LoadCorruptGIF;
    params.AlreadyDamaged = Damaged;
    if (owner_ && owner_->OnProgress)
      params.Progress = [this](int percent) { Progress(TProgressStage::psRunning, percent, {}); };
    if (DecodeLZW(item.CodedData.data(), item.CodedData.size(), params, dib)) Damaged = true;
    DecodedBitmap = std::move(dib);
    Progress(TProgressStage::psEnding, 100, {});
  } catch (const Exception& e) {
    Progress(TProgressStage::psEnding, 0, e.Message());
    throw;
  }
}

void TGIFFrame::Reset() {
  item_ = std::make_shared<TGIFItem>();
  DecodedBitmap.reset();
  ExtensionList.clear();
  Origin = {};
  IsInterlaced = Damaged = GrayOnly = HasLocalTable = false;
  TransColor = clNone;
  DelayMs = 0;
  Disposal = 0;
}

std::vector<std::string>& TGIFFrame::Comment() {
  for (TExtension& ext : ExtensionList)
    if (ext.Kind == TExtensionKind::ekComment) return ext.SubBlocks;
  ExtensionList.push_back(TExtension{TExtensionKind::ekComment, {}, {}});
  return ExtensionList.back().SubBlocks;
}

void TGIFFrame::Assign(const TGIFFrame& source) {
  if (&source == this) return;
  item_ = source.item_;
  HasLocalTable = source.owner_ == owner_ ? source.HasLocalTable : true;
  Origin = source.Origin;
  IsInterlaced = source.IsInterlaced;
  if (source.DecodedBitmap) DecodedBitmap = source.DecodedBitmap;
  else DecodedBitmap.reset();
  TransColor = source.TransColor;
  DelayMs = source.DelayMs;
  Disposal = source.Disposal;
  GrayOnly = source.GrayOnly;
  Damaged = source.Damaged;
  for (const TExtension& ext : source.ExtensionList)
    if (ext.Kind == TExtensionKind::ekComment && !ext.SubBlocks.empty()) {
      std::vector<std::string> lines = ext.SubBlocks;
      Comment() = std::move(lines);
    }
  if (owner_) owner_->UpdateLogicalSize();
}

void TGIFFrame::Assign(const TGIFImage& source) {
  if (source.FrameList.empty()) {
    Reset();
    return;
  }
  const int index = source.CurrentFrame >= 0 && source.CurrentFrame < source.FrameCount() ? source.CurrentFrame : 0;
  Assign(*source.FrameList[size_t(index)]);
}

void TGIFFrame::AssignBitmap(const TDibImage& bitmap, TColor transColor) {
  Reset();
  if (bitmap.Empty()) return;
  DecodedBitmap = bitmap;
  TransColor = transColor;
  if (owner_) owner_->UpdateLogicalSize();
}

// ---- TGIFImage ----

TGIFImage::TGIFImage() : data_(std::make_shared<TGIFData>()) {}

TGIFImage::~TGIFImage() { OnChange = nullptr; }

void TGIFImage::Changed() {
  if (OnChange) OnChange();
}

void TGIFImage::Clear() {
  data_ = std::make_shared<TGIFData>();
  FrameList.clear();
  CurrentFrame = -1;
  BackColor = clNone;
  LoopCount = 1;
  HasLoop = false;
  GifVersion = 0;
  logicalWidth_ = logicalHeight_ = 0;
}

void TGIFImage::Assign(const TGIFImage& source) {
  if (&source == this) return;
  data_ = source.data_;
  GifVersion = source.GifVersion;
  BackColor = source.BackColor;
  LoopCount = source.LoopCount;
  HasLoop = source.HasLoop;
  logicalWidth_ = source.logicalWidth_;
  logicalHeight_ = source.logicalHeight_;
  CurrentFrame = source.CurrentFrame;
  FrameList.clear();
  for (const auto& src : source.FrameList) {
    auto frame = std::make_unique<TGIFFrame>(this);
    frame->Assign(*src);
    frame->HasLocalTable = src->HasLocalTable;
    FrameList.push_back(std::move(frame));
  }
  UpdateLogicalSize();
  Changed();
}

void TGIFImage::Assign(const TGIFFrame& source) {
  std::shared_ptr<TGIFData> header = std::make_shared<TGIFData>();
  if (const TGIFImage* owner = source.Owner()) {
    header->AspectByte = owner->data_->AspectByte;
    header->ColorBits = owner->data_->ColorBits;
    header->ColorResolution = owner->data_->ColorResolution;
    header->GlobalTable = owner->data_->GlobalTable;
  }
  auto frame = std::make_unique<TGIFFrame>(this);
  frame->Assign(source);
  Clear();
  data_ = std::move(header);
  FrameList.push_back(std::move(frame));
  CurrentFrame = 0;
  if (GifVersion == 0) GifVersion = 1;
  UpdateLogicalSize();
  Changed();
}

void TGIFImage::AssignBitmap(const TDibImage& bitmap, TColor transColor) {
  Clear();
  AddFrame(bitmap, transColor);
}

int TGIFImage::AddFrame(const TDibImage& bitmap, TColor transColor) {
  FrameList.push_back(std::make_unique<TGIFFrame>(this));
  CurrentFrame = FrameCount() - 1;
  FrameList.back()->AssignBitmap(bitmap, transColor);
  if (GifVersion == 0) GifVersion = 1;
  if (FrameList.size() > 1) GifVersion = 2;
  Changed();
  return CurrentFrame;
}

bool TGIFImage::Empty() const {
  if (FrameList.empty()) return true;
  const size_t index = size_t(std::max(CurrentFrame, 0));
  if (index >= FrameList.size()) return true;
  const TGIFFrame& frame = *FrameList[index];
  return !frame.HasBitmap() && !frame.HasCodedData();
}

int TGIFImage::Width() {
  if (Empty() || CurrentFrame < 0 || CurrentFrame >= FrameCount()) return 0;
  return Frame(CurrentFrame).Width();
}

int TGIFImage::Height() {
  if (Empty() || CurrentFrame < 0 || CurrentFrame >= FrameCount()) return 0;
  return Frame(CurrentFrame).Height();
}

void TGIFImage::SetWidth(int) { throw EInvalidGraphicOperation("Cannot change the Size of a GIF image"); }
void TGIFImage::SetHeight(int) { throw EInvalidGraphicOperation("Cannot change the Size of a GIF image"); }

bool TGIFImage::IsTransparent() const {
  return Transparent && std::any_of(FrameList.begin(), FrameList.end(),
                                    [](const auto& f) { return f->TransColor != clNone; });
}

void TGIFImage::UpdateLogicalSize() {
  int64_t width = 0;
  int64_t height = 0;
  for (const auto& frame : FrameList) {
    const TGIFSize size = frame->CoveredSize();
    width = std::max<int64_t>(width, int64_t(frame->Origin.X) + size.Width);
    height = std::max<int64_t>(height, int64_t(frame->Origin.Y) + size.Height);
  }
  logicalWidth_ = uint16_t(std::clamp<int64_t>(width, 0, 0xFFFF));
  logicalHeight_ = uint16_t(std::clamp<int64_t>(height, 0, 0xFFFF));
}
