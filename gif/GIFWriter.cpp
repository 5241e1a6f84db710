// Writing a GIF file: "GIF87a"/"GIF89a", the logical screen (the union of the frames), the global
// table, the loop extension for animations, each frame's extensions, descriptor, local table and
// coded data, the image comment, the trailer. The whole file is assembled in memory first so that
// the target receives nothing when an error occurs.
#include <algorithm>

#include "framework/core/Exception.h"
#include "gif/ColorReduce.h"
#include "gif/GIFImage.h"
#include "gif/LZWEncoder.h"

namespace {

class Assembler {
public:
  void Byte(uint8_t b) { out.push_back(b); }
  void Word(uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
  }
  void Bytes(const void* p, size_t n) {
    const auto* b = static_cast<const uint8_t*>(p);
    out.insert(out.end(), b, b + n);
  }
  void Table(const TGIFPalette& table, uint32_t entries) {
    for (uint32_t i = 0; i < entries; ++i) {
      const TRGB c = i < table.Count && i < 256 ? table.Colors[i] : TRGB{};
      Byte(c.r);
      Byte(c.g);
      Byte(c.b);
    }
  }
  // One sub-block per non-empty string, at most 255 bytes of it, then the terminator.
  void SubBlocks(const std::vector<std::string>& blocks) {
    for (const std::string& s : blocks) {
      if (s.empty()) continue;
      const size_t n = std::min<size_t>(s.size(), 255);
      Byte(uint8_t(n));
      Bytes(s.data(), n);
    }
    Byte(0);
  }

  std::vector<uint8_t> out;
};

// Coded data as held; a frame that was cut short when read lacks the terminator, which is added
// so that the written file stays readable.
void PutCodedData(Assembler& a, const std::vector<uint8_t>& coded) {
  a.Bytes(coded.data(), coded.size());
  size_t pos = 1;
  while (pos < coded.size()) {
    const size_t length = coded[pos];
    if (length == 0 && pos + 1 == coded.size()) return;
    pos += 1 + length;
  }
  a.Byte(0);
}

int BitsFor(uint32_t count) {
  int b = 1;
  while (b < 8 && (1u << b) < count) ++b;
  return b;
}

}  // namespace

void TGIFFrame::Encode() {
  if (!HasBitmap()) throw EInvalidGraphicOperation("No GIF Data to write");
  const TDibImage& bitmap = *DecodedBitmap;
  if (bitmap.Width() > 0xFFFF || bitmap.Height() > 0xFFFF)
    throw EInvalidGraphicOperation("GIF image encoding error");
  try {
    Progress(TProgressStage::psStarting, 0, {});
    std::optional<TDibImage> reduced;
    if (bitmap.BitsPerPixel() > 8) {
      const int method = GrayOnly ? int(rmGrayLevels) : DefaultReduction;
      // An RGB transparent colour must survive the reduction, or the written frame loses it.
      std::optional<TRGB> keep;
      if (TransColor != clNone && (uint32_t(TransColor) & 0xFF000000u) == 0)
        keep = TRGB{uint8_t(TransColor), uint8_t(TransColor >> 8), uint8_t(TransColor >> 16)};
      reduced = ColorReduce(bitmap, method, keep);
      if (method == rmGrayLevels) GrayOnly = true;
    }
    const TDibImage& dib = reduced ? *reduced : bitmap;
    std::vector<uint8_t> coded =
        EncodeLZW(dib, [this](int percent) { Progress(TProgressStage::psRunning, percent, {}); });

    TGIFItem& item = *item_;
    IsInterlaced = false;
    item.ColorTable.Count = uint32_t(dib.PaletteCount());
    for (int i = 0; i < dib.PaletteCount(); ++i) item.ColorTable.Colors[i] = dib.PaletteColor(i);
    item.CodedData = std::move(coded);
    item.ColorBits = 1;
    while ((1u << item.ColorBits) < item.ColorTable.Count) ++item.ColorBits;
    item.DescriptorFlags = 0;

    TGIFData& data = owner_->Data();
    if (data.GlobalTable.Count > 0) {
      HasLocalTable = true;
    } else {
      data.GlobalTable = item.ColorTable;
      data.ColorBits = item.ColorBits;
      HasLocalTable = false;
    }
    item.FrameSize = {bitmap.Width(), bitmap.Height()};
    owner_->logicalWidth_ = uint16_t(std::clamp(std::max<int>(owner_->logicalWidth_, bitmap.Width() + Origin.X), 0, 0xFFFF));
    owner_->logicalHeight_ = uint16_t(std::clamp(std::max<int>(owner_->logicalHeight_, bitmap.Height() + Origin.Y), 0, 0xFFFF));
    Progress(TProgressStage::psEnding, 100, {});
  } catch (const EAbort& e) {
    Progress(TProgressStage::psEnding, 0, e.Message());
    Reset();
    throw;
  } catch (const Exception& e) {
    Progress(TProgressStage::psEnding, 0, e.Message());
    throw;
  }
}

void TGIFImage::EncodeFrames() {
  for (auto& frame : FrameList)
    if (!frame->HasCodedData()) frame->Encode();

  for (auto& frame : FrameList) {
    auto& list = frame->ExtensionList;
    const bool hasControl = std::any_of(list.begin(), list.end(), [](const TExtension& e) {
      return e.Kind == TExtensionKind::ekGraphicControl;
    });
    if (!hasControl && (frame->DelayMs != 0 || frame->TransColor != clNone || frame->Disposal != 0)) {
      TExtension control;
      control.Kind = TExtensionKind::ekGraphicControl;
      control.FixedPart = {4, 0, 0, 0, 0, 0};
      list.insert(list.begin(), std::move(control));
    }
    for (TExtension& ext : list) {
      if (ext.Kind != TExtensionKind::ekGraphicControl) continue;
      ext.FixedPart.resize(6);
      uint8_t* f = ext.FixedPart.data();
      const int delay = frame->DelayMs / 10;
      f[2] = uint8_t(delay);
      f[3] = uint8_t(delay >> 8);
      const int index = frame->TransColor == clNone ? -1 : frame->Item().ColorTable.IndexOf(frame->TransColor);
      if (index >= 0) {
        f[1] |= 1;
        f[4] = uint8_t(index);
      } else {
        f[1] &= uint8_t(~1);
      }
      f[1] = uint8_t((f[1] & ~0x1C) | ((frame->Disposal & 7) << 2));
    }
    list.erase(std::remove_if(list.begin(), list.end(), [](const TExtension& e) {
                 return e.Kind == TExtensionKind::ekComment && e.SubBlocks.empty();
               }),
               list.end());
    if (!list.empty()) GifVersion = 2;
  }
}

void TGIFImage::WriteStream(TStream& target, bool withLength) {
  if (FrameList.empty()) throw EInvalidGraphicOperation("No GIF Data to write");
  EncodeFrames();
  if (!data_->CommentLines.empty()) GifVersion = 2;

  Assembler a;
  size_t expected = 1024 + 3 * 256;
  for (const auto& frame : FrameList) expected += frame->Item().CodedData.size() + 3 * 256 + 64;
  a.out.reserve(expected);
  a.Bytes(GifVersion == 1 ? "GIF87a" : "GIF89a", 6);

  UpdateLogicalSize();
  a.Word(logicalWidth_);
  a.Word(logicalHeight_);
  const TGIFPalette& global = data_->GlobalTable;
  if (global.Count > 0) {
    const int k = PaletteBits(global.Count);
    a.Byte(uint8_t(0x80 + 16 * (k - 1) + (k - 1)));
    a.Byte(uint8_t(std::max(0, BackColor == clNone ? 0 : global.IndexOf(BackColor))));
  } else {
    a.Byte(0);
    a.Byte(0);
  }
  a.Byte(data_->AspectByte);
  a.Table(global, global.Count);

  if (HasLoop && FrameList.size() > 1) {
    a.Bytes("\x21\xFF\x0BNETSCAPE2.0\x03\x01", 16);
    a.Word(LoopCount);
    a.Byte(0);
  }

  for (const auto& frame : FrameList) {
    for (const TExtension& ext : frame->ExtensionList) {
      a.Byte(0x21);
      a.Byte(ext.Label());
      const size_t fixed = ext.Kind == TExtensionKind::ekGraphicControl ? 6
                           : ext.Kind == TExtensionKind::ekPlainText    ? 13
                           : ext.Kind == TExtensionKind::ekApplication  ? 12
                                                                        : 0;
      for (size_t i = 0; i < fixed; ++i) a.Byte(i < ext.FixedPart.size() ? ext.FixedPart[i] : 0);
      if (ext.Kind != TExtensionKind::ekGraphicControl) a.SubBlocks(ext.SubBlocks);
    }
    const TGIFItem& item = frame->Item();
    a.Byte(0x2C);
    a.Word(uint32_t(frame->Origin.X));
    a.Word(uint32_t(frame->Origin.Y));
    a.Word(uint32_t(item.FrameSize.Width));
    a.Word(uint32_t(item.FrameSize.Height));
    const int b = BitsFor(item.ColorTable.Count);
    a.Byte(uint8_t((frame->HasLocalTable ? 0x80 + (b - 1) : 0) + (frame->IsInterlaced ? 0x40 : 0)));
    if (frame->HasLocalTable) a.Table(item.ColorTable, 1u << b);
    PutCodedData(a, item.CodedData);
  }

  if (!data_->CommentLines.empty()) {
    a.Byte(0x21);
    a.Byte(0xFE);
    a.SubBlocks(data_->CommentLines);
  }
  a.Byte(0x3B);

  if (withLength) {
    const uint32_t n = uint32_t(a.out.size());
    const uint8_t count[4] = {uint8_t(n), uint8_t(n >> 8), uint8_t(n >> 16), uint8_t(n >> 24)};
    target.WriteBuffer(count, 4);
  }
  target.WriteBuffer(a.out.data(), int64_t(a.out.size()));
}
