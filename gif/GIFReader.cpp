// Reading a GIF file into frames whose coded data is kept as read.
//
// File: "GIF" + "87a"/"89a" (either in any letter case); logical screen descriptor (width, height
// 16-bit little-endian, packed, background index, aspect); global colour table of 2^(packed&7 + 1)
// entries when packed bit 7 is set; then blocks: "!" label ... (extension), "," (image), ";"
// (trailer). Extensions before an image belong to it: graphic control (F9h, 6 fixed bytes) and
// comments (FEh) are kept with the frame; plain text (01h, 13 fixed bytes) drops what was collected
// before it; application extensions (FFh, 12 fixed bytes) only matter as the loop extension. An
// image is a 9-byte descriptor, an optional local table, the LZW code size and data sub-blocks.
// Comments after the last image become the image's comment lines.
//
// Every byte comes from one bounded buffer: a fixed-size read that would pass its end raises
// "Stream read error"; data sub-blocks that pass it make the frame damaged.
#include <algorithm>
#include <cstring>

#include "framework/core/Exception.h"
#include "gif/GIFImage.h"

namespace {

constexpr uint8_t kExtensionIntroducer = 0x21;
constexpr uint8_t kImageSeparator = 0x2C;
constexpr uint8_t kTrailer = 0x3B;
constexpr uint16_t kMaxLoopCount = 30000;

class ByteBuffer {
public:
  explicit ByteBuffer(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}

  bool Exhausted() const { return pos_ >= bytes_.size(); }
  size_t Left() const { return bytes_.size() - pos_; }
  uint8_t Byte() {
    Need(1);
    return bytes_[pos_++];
  }
  uint16_t Word() {
    Need(2);
    const uint16_t v = uint16_t(bytes_[pos_] | bytes_[pos_ + 1] << 8);
    pos_ += 2;
    return v;
  }
  void Read(void* dst, size_t count) {
    if (count == 0) return;
    Need(count);
    std::memcpy(dst, bytes_.data() + pos_, count);
    pos_ += count;
  }
  const uint8_t* Take(size_t count) {
    Need(count);
    const uint8_t* p = bytes_.data() + pos_;
    pos_ += count;
    return p;
  }

private:
  void Need(size_t count) const {
    if (count > Left()) throw EInvalidGraphicOperation("Stream read error");
  }

  std::vector<uint8_t> bytes_;
  size_t pos_ = 0;
};

bool SameNoCase(const char* a, const char* b, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

void ReadTable(ByteBuffer& in, TGIFPalette& table, int bits) {
  table.Count = 1u << bits;
  in.Read(table.Colors, table.Count * 3);
}

// Sub-blocks up to a zero length or the end of the buffer; a block cut short by the end keeps
// the bytes that are there.
void ReadSubBlocks(ByteBuffer& in, std::vector<std::string>& blocks) {
  while (!in.Exhausted()) {
    const size_t length = in.Byte();
    if (length == 0) return;
    const size_t n = std::min(length, in.Left());
    if (n == 0) return;
    const uint8_t* p = in.Take(n);
    blocks.emplace_back(reinterpret_cast<const char*>(p), n);
  }
}

TExtension ReadExtension(ByteBuffer& in) {
  TExtension ext;
  const uint8_t label = in.Byte();
  size_t fixed = 0;
  switch (label) {
    case 0xF9: ext.Kind = TExtensionKind::ekGraphicControl; fixed = 6; break;
    case 0xFE: ext.Kind = TExtensionKind::ekComment; break;
    case 0x01: ext.Kind = TExtensionKind::ekPlainText; fixed = 13; break;
    case 0xFF: ext.Kind = TExtensionKind::ekApplication; fixed = 12; break;
    default: throw EInvalidGraphicOperation(Format("Unrecognized extension block: %.2x", label));
  }
  ext.FixedPart.resize(fixed);
  in.Read(ext.FixedPart.data(), fixed);
  if (ext.Kind != TExtensionKind::ekGraphicControl) ReadSubBlocks(in, ext.SubBlocks);
  return ext;
}

bool IsLoopExtension(const TExtension& ext) {
  if (ext.Kind != TExtensionKind::ekApplication || ext.SubBlocks.empty()) return false;
  const char* id = reinterpret_cast<const char*>(ext.FixedPart.data() + 1);
  if (std::memcmp(id, "NETSCAPE2.0", 11) != 0 && std::memcmp(id, "ANIMEXTS1.0", 11) != 0) return false;
  const std::string& first = ext.SubBlocks.front();
  return first.size() >= 3 && first[0] == 1;
}

}  // namespace

class TGIFReader {
public:
  TGIFReader(TGIFImage& image, ByteBuffer& in) : image_(image), in_(in) {}

  void Read() {
    char signature[6];
    in_.Read(signature, 6);
    if (!SameNoCase(signature, "GIF", 3)) throw EInvalidGraphicOperation("Unknown GIF version");
    if (SameNoCase(signature + 3, "87a", 3)) image_.GifVersion = 1;
    else if (SameNoCase(signature + 3, "89a", 3)) image_.GifVersion = 2;
    else throw EInvalidGraphicOperation("Unknown GIF version");

    TGIFData& data = *image_.data_;
    image_.logicalWidth_ = in_.Word();
    image_.logicalHeight_ = in_.Word();
    const uint8_t packed = in_.Byte();
    const uint8_t background = in_.Byte();
    data.AspectByte = in_.Byte();
    data.ColorBits = uint8_t((packed & 7) + 1);
    data.ColorResolution = uint8_t(((packed >> 4) & 7) + 1);
    if (packed & 0x80) {
      ReadTable(in_, data.GlobalTable, data.ColorBits);
      if (background < data.GlobalTable.Count) image_.BackColor = data.GlobalTable.Color(background);
    }

    uint8_t introducer = in_.Exhausted() ? 0 : in_.Byte();
    while (introducer != 0 && introducer != kTrailer && !in_.Exhausted()) {
      std::vector<TExtension> pending;
      while (introducer == kExtensionIntroducer) {
        TExtension ext = ReadExtension(in_);
        if (ext.Kind == TExtensionKind::ekPlainText) pending.clear();
        if (ext.Kind == TExtensionKind::ekApplication && IsLoopExtension(ext)) {
          const std::string& b = ext.SubBlocks.front();
          image_.HasLoop = true;
          image_.LoopCount = std::min<uint16_t>(uint16_t(uint8_t(b[1]) | uint8_t(b[2]) << 8), kMaxLoopCount);
        }
        if (ext.Kind == TExtensionKind::ekGraphicControl || ext.Kind == TExtensionKind::ekComment)
          pending.push_back(std::move(ext));
        introducer = in_.Exhausted() ? kTrailer : in_.Byte();
      }
      if (introducer == kImageSeparator) {
        ReadFrame(std::move(pending));
        introducer = in_.Exhausted() ? kTrailer : in_.Byte();
        while (introducer == 0 && !in_.Exhausted()) introducer = in_.Byte();
        if (introducer != kExtensionIntroducer && introducer != kImageSeparator && introducer != kTrailer)
          introducer = 0;
      } else if (data.CommentLines.empty() && !pending.empty()) {
        for (const TExtension& ext : pending) {
          if (ext.Kind != TExtensionKind::ekComment) continue;
          if (!data.CommentLines.empty()) data.CommentLines.emplace_back("\r\n\r\n");
          for (const std::string& line : ext.SubBlocks) data.CommentLines.push_back(line);
        }
      } else if (introducer != 0 && introducer != kTrailer) {
        throw EInvalidGraphicOperation("Stream read error");
      }
    }
  }

private:
  void ReadFrame(std::vector<TExtension> extensions) {
    const TGIFData& data = *image_.data_;
    auto frame = std::make_unique<TGIFFrame>(&image_);
    TGIFItem& item = frame->Item();
    if (data.GlobalTable.Count > 0) item.ColorBits = uint8_t(PaletteBits(data.GlobalTable.Count));
    frame->ExtensionList = std::move(extensions);

    const uint16_t left = in_.Word();
    const uint16_t top = in_.Word();
    uint16_t width = in_.Word();
    uint16_t height = in_.Word();
    const uint8_t packed = in_.Byte();
    frame->IsInterlaced = (packed & 0x40) != 0;
    frame->HasLocalTable = (packed & 0x80) != 0;
    if (frame->HasLocalTable) {
      item.ColorBits = uint8_t((packed & 7) + 1);
      ReadTable(in_, item.ColorTable, item.ColorBits);
    }

    ReadCodedData(*frame);
    if (frame->Damaged && !LoadCorruptGIF) throw EInvalidGraphicOperation("Stream read error");

    if (width == 0) width = image_.logicalWidth_;
    if (height == 0) height = image_.logicalHeight_;
    frame->Origin = {left, top};
    item.FrameSize = {width, height};
    item.DescriptorFlags = packed;
    if (!frame->HasLocalTable) item.ColorTable = data.GlobalTable;

    int delay = 0;
    for (const TExtension& ext : frame->ExtensionList) {
      if (ext.Kind != TExtensionKind::ekGraphicControl) continue;
      const uint8_t* f = ext.FixedPart.data();
      if (f[1] & 1) {
        if (f[4] < item.ColorTable.Count) frame->TransColor = item.ColorTable.Color(f[4]);
      } else {
        frame->TransColor = clNone;
      }
      delay = std::max(int(f[2] | f[3] << 8) * 10, delay);
      frame->DelayMs = uint16_t(delay);
      delay = frame->DelayMs;
      frame->Disposal = uint8_t((f[1] >> 2) & 7);
    }
    image_.FrameList.push_back(std::move(frame));
  }

  // Copies the code size byte and the sub-blocks verbatim. A block that would pass the end of the
  // file, or data that ends without the zero terminator, makes the frame damaged.
  void ReadCodedData(TGIFFrame& frame) {
    std::vector<uint8_t>& coded = frame.Item().CodedData;
    if (in_.Exhausted()) {
      frame.Damaged = true;
      return;
    }
    coded.push_back(in_.Byte());
    while (true) {
      if (in_.Exhausted()) {
        frame.Damaged = true;
        return;
      }
      const size_t length = in_.Byte();
      if (length > in_.Left()) {
        frame.Damaged = true;
        return;
      }
      coded.push_back(uint8_t(length));
      if (length == 0) return;
      const uint8_t* p = in_.Take(length);
      coded.insert(coded.end(), p, p + length);
    }
  }

  TGIFImage& image_;
  ByteBuffer& in_;
};

void TGIFImage::ReadStream(int64_t byteCount, TStream& source, bool forceDecode) {
  Clear();
  if (byteCount <= 0) return;
  std::vector<uint8_t> bytes(size_t(std::min<int64_t>(byteCount, source.Remaining())));
  if (int64_t(bytes.size()) < byteCount) throw EReadError("Stream read error");
  source.ReadBuffer(bytes.data(), int64_t(bytes.size()));
  ByteBuffer in(std::move(bytes));
  TGIFReader(*this, in).Read();

  if (!FrameList.empty()) {
    CurrentFrame = 0;
    if (forceDecode) {
      try {
        (void)FrameList.front()->Bitmap();
      } catch (...) {
        FrameList.erase(FrameList.begin());
        CurrentFrame = -1;
        throw;
      }
    }
  }
  PaletteModified = true;
  Changed();
}

void TGIFImage::LoadFromStream(TStream& stream) {
  ReadStream(stream.Size() - stream.Position(), stream, true);
}

void TGIFImage::ReadData(TStream& stream) {
  uint8_t count[4];
  stream.ReadBuffer(count, 4);
  const int64_t size = int64_t(uint32_t(count[0] | count[1] << 8 | count[2] << 16 | uint32_t(count[3]) << 24));
  ReadStream(size, stream, true);
}
