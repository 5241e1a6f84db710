#include "gif/win/GIFGraphic.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "framework/win32/DCState.h"
#include "framework/win32/Handles.h"
#include "gif/win/TransparentDraw.h"

namespace {

constexpr TColor kMagenta = RGBColor(0xFF, 0x00, 0xFF);

// A 32-bit bottom-up DIB section selected into a memory context: the exchange format between
// device bitmaps and TDibImage rows.
class DibSurface {
public:
  DibSurface(int width, int height) : dc_(CreateCompatibleDC(nullptr)) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    bitmap_.reset(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits_, nullptr, 0));
    if (!dc_ || !bitmap_ || !bits_) throw EOutOfResources("Out of system resources");
    selected_.emplace(dc_.get(), bitmap_.get());
    SetTextColor(dc_.get(), RGB(0, 0, 0));
    SetBkColor(dc_.get(), RGB(255, 255, 255));
  }
  DibSurface(const DibSurface&) = delete;
  DibSurface& operator=(const DibSurface&) = delete;

  HDC dc() const { return dc_.get(); }
  const uint8_t* bits() const {
    GdiFlush();
    return static_cast<const uint8_t*>(bits_);
  }

private:
  UniqueMemoryDC dc_;
  UniqueBitmap bitmap_;
  void* bits_ = nullptr;
  std::optional<SelectedObject> selected_;
};

TDibImage DibFromContext(HDC source, int width, int height) {
  TDibImage dib(width, height, 32);
  DibSurface surface(width, height);
  BitBlt(surface.dc(), 0, 0, width, height, source, 0, 0, SRCCOPY);
  std::memcpy(dib.Pixels(), surface.bits(), dib.RowStride() * size_t(height));
  return dib;
}

void LoadDibInto(TBitmap& bitmap, const TDibImage& dib) {
  bitmap.SetSize(dib.Width(), dib.Height());
  if (bitmap.Empty()) return;
  StretchDIBits(bitmap.Canvas()->Handle(), 0, 0, dib.Width(), dib.Height(), 0, 0, dib.Width(), dib.Height(),
                dib.Pixels(), reinterpret_cast<const BITMAPINFO*>(dib.InfoHeader()), DIB_RGB_COLORS, SRCCOPY);
}

// Owns an open clipboard for a scope.
class ClipboardSession {
public:
  explicit ClipboardSession(HWND owner) : open_(OpenClipboard(owner) != 0) {
    if (!open_) throw EInvalidGraphicOperation("Cannot open clipboard");
  }
  ~ClipboardSession() {
    if (open_) CloseClipboard();
  }
  ClipboardSession(const ClipboardSession&) = delete;
  ClipboardSession& operator=(const ClipboardSession&) = delete;

private:
  bool open_;
};

class GlobalBlock {
public:
  explicit GlobalBlock(size_t size) : handle_(GlobalAlloc(GMEM_MOVEABLE, size)) {
    if (!handle_) throw EOutOfResources("Out of system resources");
  }
  ~GlobalBlock() {
    if (handle_) GlobalFree(handle_);
  }
  GlobalBlock(const GlobalBlock&) = delete;
  GlobalBlock& operator=(const GlobalBlock&) = delete;

  void Fill(const void* first, size_t firstSize, const void* second, size_t secondSize) {
    auto* p = static_cast<uint8_t*>(GlobalLock(handle_));
    if (!p) throw EOutOfResources("Out of system resources");
    std::memcpy(p, first, firstSize);
    if (secondSize) std::memcpy(p + firstSize, second, secondSize);
    GlobalUnlock(handle_);
  }
  // The clipboard owns the block once it took it.
  [[nodiscard]] bool HandTo(UINT format) {
    if (!SetClipboardData(format, handle_)) return false;
    handle_ = nullptr;
    return true;
  }

private:
  HGLOBAL handle_;
};

// Reads a clipboard block through a lock held for the scope.
class LockedBlock {
public:
  explicit LockedBlock(HANDLE handle)
      : handle_(handle), data_(handle ? static_cast<const uint8_t*>(GlobalLock(handle)) : nullptr),
        size_(data_ ? GlobalSize(handle) : 0) {}
  ~LockedBlock() {
    if (data_) GlobalUnlock(handle_);
  }
  LockedBlock(const LockedBlock&) = delete;
  LockedBlock& operator=(const LockedBlock&) = delete;
  const uint8_t* data() const { return data_; }
  size_t size() const { return size_; }

private:
  HANDLE handle_;
  const uint8_t* data_;
  size_t size_;
};

// A packed device-independent bitmap from the clipboard, checked against the block's size before
// any pixel is read.
TDibImage DibFromPackedBitmap(const uint8_t* data, size_t size) {
  BITMAPINFOHEADER h{};
  if (size < sizeof h) throw EInvalidGraphicOperation("Invalid bitmap on the clipboard");
  std::memcpy(&h, data, sizeof h);
  const int64_t width = h.biWidth;
  const int64_t height = h.biHeight < 0 ? -int64_t{h.biHeight} : int64_t{h.biHeight};
  const int bits = h.biBitCount;
  const bool rgb = h.biCompression == BI_RGB || (h.biCompression == BI_BITFIELDS && (bits == 16 || bits == 32));
  if (h.biSize < sizeof h || h.biSize > size || width <= 0 || height <= 0 || width > 32768 || height > 32768 || !rgb ||
      (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32))
    throw EInvalidGraphicOperation("Invalid bitmap on the clipboard");
  uint64_t colors = h.biClrUsed;
  if (bits <= 8 && (colors == 0 || colors > (uint64_t{1} << bits))) colors = uint64_t{1} << bits;
  if (bits > 8) colors = 0;
  const uint64_t masks = h.biCompression == BI_BITFIELDS && h.biSize == sizeof h ? 12 : 0;
  const uint64_t stride = (uint64_t(width) * bits + 31) / 32 * 4;
  const uint64_t header = h.biSize + masks + colors * 4;
  if (header + stride * uint64_t(height) > size) throw EInvalidGraphicOperation("Invalid bitmap on the clipboard");
  TDibImage dib{int(width), int(height), 32};
  DibSurface surface{int(width), int(height)};
  SetDIBitsToDevice(surface.dc(), 0, 0, DWORD(width), DWORD(height), 0, 0, 0, UINT(height), data + header,
                    reinterpret_cast<const BITMAPINFO*>(data), DIB_RGB_COLORS);
  std::memcpy(dib.Pixels(), surface.bits(), dib.RowStride() * size_t(height));
  return dib;
}

// A hidden window that owns the clipboard while it is filled.
class ClipboardOwner {
public:
  ClipboardOwner()
      : window_(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr),
                                nullptr)) {
    if (!window_) throw EOutOfResources("Out of system resources");
  }
  ~ClipboardOwner() { DestroyWindow(window_); }
  ClipboardOwner(const ClipboardOwner&) = delete;
  ClipboardOwner& operator=(const ClipboardOwner&) = delete;
  HWND get() const { return window_; }

private:
  HWND window_;
};

}  // namespace

TDibImage GraphicToDib(const TGraphic& graphic, TColor& transparent) {
  transparent = clNone;
  if (graphic.Empty() || graphic.Width() <= 0 || graphic.Height() <= 0) return TDibImage();
  auto& source = const_cast<TGraphic&>(graphic);
  if (auto* bitmap = dynamic_cast<TBitmap*>(&source)) {
    if (bitmap->Transparent()) transparent = bitmap->TransparentColor();
    TCanvasLock lock(*bitmap->Canvas());
    return DibFromContext(bitmap->Canvas()->Handle(), bitmap->Width(), bitmap->Height());
  }
  TBitmap canvas;
  canvas.SetSize(graphic.Width(), graphic.Height());
  canvas.Canvas()->Brush()->SetColor(kMagenta);
  canvas.Canvas()->FillRect(Bounds(0, 0, canvas.Width(), canvas.Height()));
  source.Draw(*canvas.Canvas(), Bounds(0, 0, canvas.Width(), canvas.Height()));
  if (graphic.Transparent()) transparent = kMagenta;
  return DibFromContext(canvas.Canvas()->Handle(), canvas.Width(), canvas.Height());
}

const TClassInfo& TGIFGraphic::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TGIFGraphic>("TGIFImage", &TGraphic::StaticClassInfo()).Binary("Data", &TGIFGraphic::ReadData);
  return info;
}

TGIFGraphic::TGIFGraphic() {
  image_.Transparent = true;
  TGraphic::SetTransparent(true);
  image_.OnChange = [this] { ImageChanged(); };
}

TGIFGraphic::~TGIFGraphic() { image_.OnChange = nullptr; }

void TGIFGraphic::ImageChanged() {
  bitmaps_.clear();
  Changed();
}

int TGIFGraphic::CurrentIndex() const {
  return image_.CurrentFrame >= 0 && image_.CurrentFrame < image_.FrameCount() ? image_.CurrentFrame : -1;
}

int TGIFGraphic::Width() const { return image_.Width(); }
int TGIFGraphic::Height() const { return image_.Height(); }
void TGIFGraphic::SetWidth(int width) { image_.SetWidth(width); }
void TGIFGraphic::SetHeight(int height) { image_.SetHeight(height); }

bool TGIFGraphic::Transparent() const { return image_.IsTransparent(); }

void TGIFGraphic::SetTransparent(bool transparent) {
  image_.Transparent = transparent;
  TGraphic::SetTransparent(transparent);
}

void TGIFGraphic::LoadFromStream(TStream& stream) { image_.LoadFromStream(stream); }
void TGIFGraphic::SaveToStream(TStream& stream) const { image_.SaveToStream(stream); }
void TGIFGraphic::ReadData(TStream& stream) { image_.ReadData(stream); }
void TGIFGraphic::WriteData(TStream& stream) const { image_.WriteData(stream); }

TBitmap& TGIFGraphic::FrameBitmap(int index) {
  TGIFFrame& frame = image_.Frame(index);
  const TDibImage& dib = frame.Bitmap();
  const uint8_t* pixels = dib.Empty() ? nullptr : dib.Pixels();
  auto found = std::find_if(bitmaps_.begin(), bitmaps_.end(), [&](const CachedFrame& c) { return c.frame == &frame; });
  if (found != bitmaps_.end()) {
    if (found->pixels == pixels && found->bitmap->Width() == dib.Width() && found->bitmap->Height() == dib.Height())
      return *found->bitmap;
    bitmaps_.erase(found);
  }
  auto bitmap = std::make_unique<TBitmap>();
  LoadDibInto(*bitmap, dib);
  bitmaps_.push_back({&frame, pixels, std::move(bitmap)});
  return *bitmaps_.back().bitmap;
}

void TGIFGraphic::DrawFrame(int index, TCanvas& canvas, const TRect& rect, bool transparent) {
  if (rect.Empty()) return;
  TGIFFrame& frame = image_.Frame(index);
  TBitmap& bitmap = FrameBitmap(index);
  if (bitmap.Empty()) return;
  const TColor key = transparent && frame.TransColor != clNone ? frame.TransColor : clNone;
  DrawBitmapTransparent(canvas, rect.Left, rect.Top, rect.Width(), rect.Height(), bitmap, 0, 0, 0, 0, key);
}

void TGIFGraphic::Draw(TCanvas& canvas, const TRect& rect) {
  const int index = CurrentIndex();
  if (index < 0) return;
  DrawFrame(index, canvas, rect, image_.Transparent);
}

void TGIFGraphic::Assign(const TPersistent& source) {
  if (auto* gif = dynamic_cast<const TGIFGraphic*>(&source)) {
    if (gif == this) return;
    image_.Transparent = gif->image_.Transparent;
    image_.Assign(gif->image_);
    return;
  }
  if (auto* graphic = dynamic_cast<const TGraphic*>(&source)) {
    if (graphic->Empty()) {
      image_.Clear();
      ImageChanged();
      return;
    }
    TColor transparent = clNone;
    const TDibImage dib = GraphicToDib(*graphic, transparent);
    image_.AssignBitmap(dib, transparent);
    return;
  }
  TGraphic::Assign(source);
}

void TGIFGraphic::AssignTo(TPersistent& target) {
  if (auto* bitmap = dynamic_cast<TBitmap*>(&target)) {
    if (image_.FrameCount() == 0 || Empty()) {
      bitmap->SetHandle(nullptr);
      return;
    }
    const int index = CurrentIndex() < 0 ? 0 : CurrentIndex();
    bitmap->Assign(FrameBitmap(index));
    const TColor key = image_.Frame(index).TransColor;
    if (key != clNone) {
      bitmap->SetTransparentColor(key);
      bitmap->SetTransparent(true);
    }
    return;
  }
  target.Assign(*this);
}

int TGIFGraphic::AddFrame(const TGraphic& graphic) {
  TColor transparent = clNone;
  const TDibImage dib = GraphicToDib(graphic, transparent);
  return image_.AddFrame(dib, transparent);
}

UINT TGIFGraphic::ClipboardFormat() {
  static const UINT format = TPicture::RegisterClipboardFormat(
      "GIF Image", [] { return std::unique_ptr<TGraphic>(new TGIFGraphic); });
  return format;
}

void TGIFGraphic::SaveToClipboard() {
  if (image_.FrameCount() == 0) throw EInvalidGraphicOperation("No GIF Data to write");
  const TDibImage& first = image_.Frame(0).Bitmap();
  const bool coded = std::all_of(image_.FrameList.begin(), image_.FrameList.end(),
                                 [](const auto& frame) { return frame->HasCodedData(); });
  TMemoryStream gif;
  if (coded) image_.WriteData(gif);

  ClipboardOwner owner;
  ClipboardSession session(owner.get());
  EmptyClipboard();
  if (!first.Empty()) {
    const size_t header = first.PixelOffset() - TDibImage::kFileHeaderSize;
    const size_t pixels = first.RowStride() * size_t(first.Height());
    GlobalBlock block(header + pixels);
    block.Fill(first.InfoHeader(), header, first.Pixels(), pixels);
    if (!block.HandTo(CF_DIB)) throw EOutOfResources("Out of system resources");
  }
  if (coded) {
    GlobalBlock block(size_t(gif.Size()));
    block.Fill(gif.Memory(), size_t(gif.Size()), nullptr, 0);
    if (!block.HandTo(ClipboardFormat())) throw EOutOfResources("Out of system resources");
  }
}

void TGIFGraphic::LoadFromClipboard() {
  ClipboardSession session(nullptr);
  if (IsClipboardFormatAvailable(ClipboardFormat())) {
    LockedBlock block(GetClipboardData(ClipboardFormat()));
    if (!block.data() || block.size() < 4) throw EInvalidGraphicOperation("Invalid GIF on the clipboard");
    TReadOnlyMemoryStream stream(block.data(), int64_t(block.size()));
    uint32_t count = 0;
    stream.ReadBuffer(&count, 4);
    if (count > block.size() - 4) throw EInvalidGraphicOperation("Invalid GIF on the clipboard");
    image_.ReadStream(count, stream, false);
    if (image_.FrameCount() > 0) image_.CurrentFrame = 0;
    return;
  }
  if (!IsClipboardFormatAvailable(CF_DIB)) throw EInvalidGraphicOperation("No picture on the clipboard");
  LockedBlock block(GetClipboardData(CF_DIB));
  if (!block.data()) throw EInvalidGraphicOperation("Invalid bitmap on the clipboard");
  image_.AssignBitmap(DibFromPackedBitmap(block.data(), block.size()));
}

void RegisterGIFGraphic() {
  static const bool done = [] {
    auto factory = [] { return std::unique_ptr<TGraphic>(new TGIFGraphic); };
    TPicture::RegisterFileFormat("gif", "CompuServe GIF Image", factory);
    TPicture::RegisterSignature({'G', 'I', 'F'}, factory);
    TGIFGraphic::ClipboardFormat();
    return true;
  }();
  (void)done;
}
