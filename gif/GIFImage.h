#pragma once
// TGIFImage: a multi-frame GIF87a/GIF89a picture. Frames keep their LZW-coded data exactly as read
// and are decoded into a TDibImage (the BMP-layout picture of GIFDib.h) only when their bitmap is
// first asked for. Header data (TGIFData) and frame data (TGIFItem) are shared by reference when one
// image or frame is assigned from another; a decoded bitmap is never shared.
//
// This is the portable core; the Win32 graphic object wraps it. For drawing a frame the wrapper uses
//   TGIFFrame& f = *image.FrameList[i];
//   const TDibImage& dib = f.Bitmap();   // decodes on first use; may raise EInvalidGraphicOperation
//   dib.InfoHeader(), dib.Pixels()       // BITMAPINFO (+ colour table) and bottom-up rows
//   f.Origin, f.TransColor (clNone or 00BBGGRR), f.Disposal, f.DelayMs, image.LogicalWidth() ...
// All errors are EInvalidGraphicOperation with the fixed English messages of the format.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "framework/core/Colors.h"
#include "framework/core/Stream.h"
#include "gif/GIFDib.h"

// Whether damaged data (truncated frames, bad code sizes, corrupt code streams) is accepted.
extern bool LoadCorruptGIF;
// Colour reduction used when a frame with more than 256 colours is encoded (see ColorReduce.h).
extern int DefaultReduction;
// Frames whose width x height exceeds this many pixels are refused when decoded ("Image too large"):
// a few bytes of GIF can describe a 65535 x 65535 frame, which must not take the machine's memory.
extern int64_t GIFMaxFramePixels;

struct TGIFPoint {
  int32_t X = 0;
  int32_t Y = 0;
};

struct TGIFSize {
  int32_t Width = 0;
  int32_t Height = 0;
};

// A colour table: Count entries (0 = no table), red, green, blue as in the file.
struct TGIFPalette {
  uint32_t Count = 0;
  TRGB Colors[256] = {};

  TColor Color(uint32_t index) const {
    return RGBColor(Colors[index].r, Colors[index].g, Colors[index].b);
  }
  // Index of the first entry equal to an RGB colour, or -1.
  int IndexOf(TColor color) const;
};

// Exponent (1..8) of a colour count; raises "Wrong number of colors; must be a power of 2".
int PaletteBits(uint32_t count);

struct TGIFData {
  std::vector<std::string> CommentLines;
  uint8_t AspectByte = 0;
  uint8_t ColorBits = 0;
  uint8_t ColorResolution = 0;
  TGIFPalette GlobalTable;
};

struct TGIFItem {
  // LZW minimum code size, the data sub-blocks with their length bytes, and the terminator.
  std::vector<uint8_t> CodedData;
  TGIFSize FrameSize;
  uint8_t DescriptorFlags = 0;
  uint8_t ColorBits = 0;
  TGIFPalette ColorTable;
};

enum class TExtensionKind { ekGraphicControl, ekPlainText, ekApplication, ekComment };

struct TExtension {
  TExtensionKind Kind = TExtensionKind::ekComment;
  // Bytes between the label and the sub-blocks, verbatim: graphic control 6 (block size, packed,
  // delay low, delay high, transparent index, terminator), plain text 13, application 12.
  std::vector<uint8_t> FixedPart;
  std::vector<std::string> SubBlocks;

  uint8_t Label() const;
};

enum class TProgressStage { psStarting, psRunning, psEnding };
using TProgressEvent = std::function<void(TProgressStage, int percent, const std::string& message)>;

class TGIFImage;

class TGIFFrame {
public:
  explicit TGIFFrame(TGIFImage* owner);
  TGIFFrame(const TGIFFrame&) = delete;
  TGIFFrame& operator=(const TGIFFrame&) = delete;

  TGIFImage* Owner() const { return owner_; }
  TGIFItem& Item() { return *item_; }
  const TGIFItem& Item() const { return *item_; }
  const std::shared_ptr<TGIFItem>& ItemRef() const { return item_; }

  // The decoded picture, decoding the coded data first when there is no (or an empty) bitmap; a
  // frame without coded data gives an empty picture.
  const TDibImage& Bitmap();
  bool HasBitmap() const { return DecodedBitmap.has_value() && !DecodedBitmap->Empty(); }
  bool HasCodedData() const { return !item_->CodedData.empty(); }
  int Width();
  int Height();
  // The size the frame covers without decoding it: the bitmap's, else the coded frame's, else 0.
  TGIFSize CoveredSize() const;

  void Reset();
  void Assign(const TGIFFrame& source);
  void Assign(const TGIFImage& source);
  // Takes a picture of any depth; an empty one resets the frame.
  void AssignBitmap(const TDibImage& bitmap, TColor transColor = clNone);

  // The frame's comment lines (a comment extension, created on first use).
  std::vector<std::string>& Comment();

  // Decodes the coded data into DecodedBitmap now.
  void Decode();
  // Gives the frame coded data from its bitmap.
  void Encode();

  std::optional<TDibImage> DecodedBitmap;
  std::vector<TExtension> ExtensionList;
  TGIFPoint Origin;
  bool IsInterlaced = false;
  bool Damaged = false;
  bool GrayOnly = false;
  TColor TransColor = clNone;
  uint16_t DelayMs = 0;
  uint8_t Disposal = 0;
  bool HasLocalTable = false;

private:
  void Progress(TProgressStage stage, int percent, const std::string& message) const;

  TGIFImage* owner_;
  std::shared_ptr<TGIFItem> item_;
};

class TGIFImage {
public:
  TGIFImage();
  virtual ~TGIFImage();
  TGIFImage(const TGIFImage&) = delete;
  TGIFImage& operator=(const TGIFImage&) = delete;

  // Reading. ReadStream takes exactly byteCount bytes from source (<= 0: an empty image).
  void ReadStream(int64_t byteCount, TStream& source, bool forceDecode);
  // The rest of the stream, first frame decoded at once.
  void LoadFromStream(TStream& stream);
  // A 32-bit little-endian byte count followed by that many bytes of GIF (layout persistence).
  void ReadData(TStream& stream);

  // Writing. The file is assembled in memory; the target receives nothing when an error occurs.
  void WriteStream(TStream& target, bool withLength);
  void SaveToStream(TStream& stream) { WriteStream(stream, false); }
  void WriteData(TStream& stream) { WriteStream(stream, true); }
  // Gives every frame coded data and an up-to-date graphic control extension.
  void EncodeFrames();

  void Clear();
  void Assign(const TGIFImage& source);
  void Assign(const TGIFFrame& source);
  void AssignBitmap(const TDibImage& bitmap, TColor transColor = clNone);
  // Appends a frame holding the picture, makes it current and returns its index.
  int AddFrame(const TDibImage& bitmap, TColor transColor = clNone);

  bool Empty() const;
  int Width();
  int Height();
  [[noreturn]] void SetWidth(int);
  [[noreturn]] void SetHeight(int);
  bool IsTransparent() const;
  bool Equals(const TGIFImage& other) const { return data_ == other.data_; }
  int FrameCount() const { return int(FrameList.size()); }
  TGIFFrame& Frame(int index) { return *FrameList.at(size_t(index)); }

  uint16_t LogicalWidth() const { return Empty() ? 0 : logicalWidth_; }
  uint16_t LogicalHeight() const { return Empty() ? 0 : logicalHeight_; }
  void SetLogicalSize(uint16_t width, uint16_t height) {
    logicalWidth_ = width;
    logicalHeight_ = height;
  }
  // The logical screen becomes the union of the frames' rectangles.
  void UpdateLogicalSize();

  TGIFData& Data() { return *data_; }
  const TGIFData& Data() const { return *data_; }
  std::vector<std::string>& CommentLines() { return data_->CommentLines; }

  uint8_t GifVersion = 0;  // 0 not set, 1 "87a", 2 "89a"
  std::vector<std::unique_ptr<TGIFFrame>> FrameList;
  int32_t CurrentFrame = -1;
  TColor BackColor = clNone;
  bool HasLoop = false;
  uint16_t LoopCount = 1;
  bool Transparent = true;
  // Set when a load changed the colours; whoever realises palettes clears it.
  bool PaletteModified = false;

  std::function<void()> OnChange;
  TProgressEvent OnProgress;

protected:
  // Sent after every completed load or assignment.
  virtual void Changed();

private:
  friend class TGIFFrame;
  friend class TGIFReader;

  std::shared_ptr<TGIFData> data_;
  uint16_t logicalWidth_ = 0;
  uint16_t logicalHeight_ = 0;
};
