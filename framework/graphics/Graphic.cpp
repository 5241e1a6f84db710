#include "framework/graphics/Graphic.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "framework/classes/Properties.h"
#include "framework/win32/DCState.h"
#include "framework/win32/PaintBitmap.h"
#include "framework/win32/Strings.h"

namespace {

constexpr int kMaxDimension = 32768;

std::vector<uint8_t> ReadRest(TStream& stream) {
  std::vector<uint8_t> bytes(static_cast<size_t>(stream.Remaining()));
  if (!bytes.empty()) stream.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  return bytes;
}

template <typename T>
T ReadLE(const uint8_t* p) {
  T v{};
  std::memcpy(&v, p, sizeof v);
  return v;
}

struct FormatEntry {
  std::string description;
  TPicture::Factory factory;
};
std::map<std::string, FormatEntry>& Formats() {
  static std::map<std::string, FormatEntry> formats;
  return formats;
}
std::vector<std::pair<std::vector<uint8_t>, TPicture::Factory>>& Signatures() {
  static std::vector<std::pair<std::vector<uint8_t>, TPicture::Factory>> signatures;
  return signatures;
}
std::map<UINT, TPicture::Factory>& ClipboardFormats() {
  static std::map<UINT, TPicture::Factory> formats;
  return formats;
}

void RegisterBuiltInFormats() {
  static bool done = false;
  if (done) return;
  done = true;
  auto bitmap = [] { return std::unique_ptr<TGraphic>(new TBitmap); };
  auto icon = [] { return std::unique_ptr<TGraphic>(new TIcon); };
  TPicture::RegisterFileFormat("bmp", "Bitmaps", bitmap);
  TPicture::RegisterFileFormat("ico", "Icons", icon);
  TPicture::RegisterSignature({'B', 'M'}, bitmap);
  TPicture::RegisterSignature({0, 0, 1, 0}, icon);
}

std::string Extension(const std::string& path) {
  const size_t dot = path.find_last_of('.');
  const size_t slash = path.find_last_of("/\\");
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  return LowerCase(path.substr(dot + 1));
}

}  // namespace

const TClassInfo& TGraphic::StaticClassInfo() {
  static const TClassInfo info("TGraphic", &TPersistent::StaticClassInfo());
  return info;
}

void TGraphic::SetTransparent(bool transparent) {
  if (transparent == transparent_) return;
  transparent_ = transparent;
  Changed();
}

void TGraphic::Changed() {
  if (OnChange) OnChange(this);
}

void TGraphic::LoadFromFile(const std::string& path) {
  TMemoryStream stream;
  stream.LoadFromFile(path);
  LoadFromStream(stream);
}

void TGraphic::SaveToFile(const std::string& path) const {
  TMemoryStream stream;
  SaveToStream(stream);
  stream.SaveToFile(path);
}

const TClassInfo& TBitmap::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TBitmap>("TBitmap", &TGraphic::StaticClassInfo())
                                     .Binary("Data", &TBitmap::ReadData);
  return info;
}

TBitmap::TBitmap() = default;

TBitmap::~TBitmap() {
  canvas_.reset();
  ReleaseCanvasDC();
}

void TBitmap::ReleaseCanvasDC() {
  if (canvas_) canvas_->SetHandle(nullptr);
  if (dc_ && oldBitmap_) SelectObject(dc_.get(), oldBitmap_);
  oldBitmap_ = nullptr;
  dc_.reset();
}

HDC TBitmap::MemoryDC() {
  if (!dc_) {
    dc_.reset(CreateCompatibleDC(nullptr));
    if (!dc_) throw EOutOfResources("Out of system resources");
    if (handle_) oldBitmap_ = SelectObject(dc_.get(), handle_.get());
  }
  return dc_.get();
}

TCanvas* TBitmap::Canvas() {
  if (!canvas_) canvas_ = std::make_unique<TCanvas>();
  canvas_->SetHandle(MemoryDC());
  return canvas_.get();
}

void TBitmap::SetHandle(HBITMAP bitmap) {
  ReleaseCanvasDC();
  handle_.reset(bitmap);
  bits_ = nullptr;
  width_ = height_ = 0;
  monochrome_ = false;
  if (bitmap) {
    DIBSECTION ds{};
    if (GetObjectW(bitmap, sizeof ds, &ds) == sizeof ds) {
      bits_ = static_cast<uint8_t*>(ds.dsBm.bmBits);
      if (ds.dsBmih.biBitCount != 32 || ds.dsBmih.biHeight > 0) bits_ = nullptr;
    }
    BITMAP bm{};
    GetObjectW(bitmap, sizeof bm, &bm);
    width_ = bm.bmWidth;
    height_ = bm.bmHeight;
    monochrome_ = bm.bmBitsPixel == 1;
  }
  Changed();
}

void TBitmap::SetSize(int width, int height) {
  if (width == width_ && height == height_) return;
  if (width < 0 || height < 0 || width > kMaxDimension || height > kMaxDimension)
    throw EInvalidGraphicOperation("Invalid image size");
  UniqueBitmap fresh;
  uint8_t* bits = nullptr;
  if (width > 0 && height > 0) {
    if (monochrome_) {
      fresh.reset(CreateBitmap(width, height, 1, 1, nullptr));
    } else {
      void* p = nullptr;
      fresh = CreatePaintBitmap(nullptr, width, height, &p);
      bits = static_cast<uint8_t*>(p);
      if (bits) std::memset(bits, 0xFF, static_cast<size_t>(width) * height * 4);
    }
    if (!fresh) throw EOutOfResources("Out of system resources");
    if (handle_) {
      UniqueMemoryDC target(CreateCompatibleDC(nullptr));
      SelectedObject keep(target.get(), fresh.get());
      BitBlt(target.get(), 0, 0, std::min(width, width_), std::min(height, height_), MemoryDC(), 0, 0, SRCCOPY);
    }
  }
  ReleaseCanvasDC();
  handle_ = std::move(fresh);
  bits_ = bits;
  width_ = handle_ ? width : 0;
  height_ = handle_ ? height : 0;
  Changed();
}

void TBitmap::SetPalette(HPALETTE palette) {
  palette_.reset(palette);
  Changed();
}

void TBitmap::SetMonochrome(bool monochrome) {
  if (monochrome == monochrome_) return;
  const int w = width_, h = height_;
  UniqueBitmap old(handle_.release());
  ReleaseCanvasDC();
  width_ = height_ = 0;
  monochrome_ = monochrome;
  SetSize(w, h);
  if (old && handle_) {
    UniqueMemoryDC source(CreateCompatibleDC(nullptr));
    SelectedObject keep(source.get(), old.get());
    BitBlt(MemoryDC(), 0, 0, w, h, source.get(), 0, 0, SRCCOPY);
  }
  Changed();
}

TColor TBitmap::TransparentColor() const {
  if (transparentColor_ != clDefault || transparentMode_ == TTransparentMode::tmFixed) return transparentColor_;
  if (!handle_) return clDefault;
  if (bits_) {
    const uint8_t* p = bits_ + static_cast<size_t>(height_ - 1) * width_ * 4;
    return RGBColor(p[2], p[1], p[0]);
  }
  const COLORREF c = GetPixel(const_cast<TBitmap*>(this)->MemoryDC(), 0, height_ - 1);
  return static_cast<TColor>(c & 0xFFFFFF);
}

void TBitmap::SetTransparentColor(TColor color) {
  transparentColor_ = color;
  transparentMode_ = color == clDefault ? TTransparentMode::tmAuto : TTransparentMode::tmFixed;
  Changed();
}

uint8_t* TBitmap::ScanLine(int y) {
  if (!bits_ || y < 0 || y >= height_) throw EInvalidGraphicOperation("Scan line index out of range");
  GdiFlush();
  return bits_ + static_cast<size_t>(y) * width_ * 4;
}

void TBitmap::LoadFromStream(TStream& stream) {
  const std::vector<uint8_t> file = ReadRest(stream);
  if (file.size() < 14 + 12 || file[0] != 'B' || file[1] != 'M') throw EInvalidGraphic("Bitmap image is not valid");
  const uint32_t offBits = ReadLE<uint32_t>(&file[10]);
  const uint32_t headerSize = ReadLE<uint32_t>(&file[14]);
  if (headerSize < 12 || headerSize > file.size() - 14 || offBits > file.size() || offBits < 14 + headerSize)
    throw EInvalidGraphic("Bitmap image is not valid");
  int width, height, bitCount;
  uint32_t compression = BI_RGB;
  if (headerSize == 12) {
    width = ReadLE<uint16_t>(&file[18]);
    height = ReadLE<int16_t>(&file[20]);
    bitCount = ReadLE<uint16_t>(&file[24]);
  } else {
    if (headerSize < 40) throw EInvalidGraphic("Bitmap image is not valid");
    width = ReadLE<int32_t>(&file[18]);
    height = ReadLE<int32_t>(&file[22]);
    bitCount = ReadLE<uint16_t>(&file[28]);
    compression = ReadLE<uint32_t>(&file[30]);
  }
  const int64_t absHeight = height < 0 ? -static_cast<int64_t>(height) : height;
  if (width <= 0 || absHeight <= 0 || width > kMaxDimension || absHeight > kMaxDimension)
    throw EInvalidGraphic("Bitmap image is not valid");
  if (compression == BI_RGB || compression == BI_BITFIELDS) {
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
      throw EInvalidGraphic("Bitmap image is not valid");
    const uint64_t stride = ((static_cast<uint64_t>(width) * bitCount + 31) / 32) * 4;
    if (stride * absHeight > file.size() - offBits) throw EInvalidGraphic("Bitmap image is not valid");
  } else if (compression != BI_RLE8 && compression != BI_RLE4) {
    throw EInvalidGraphic("Bitmap image is not valid");
  }
  // Colour tables of palette images lie between the header and the bits; GDI reads them, and
  // the table becomes the bitmap's palette.
  const BITMAPINFO* info = reinterpret_cast<const BITMAPINFO*>(&file[14]);
  UniquePalette palette;
  if (bitCount <= 8) {
    const size_t entrySize = headerSize == 12 ? 3 : 4;
    size_t count = size_t{1} << bitCount;
    if (headerSize >= 40) {
      const uint32_t used = ReadLE<uint32_t>(&file[46]);
      if (used > 0 && used < count) count = used;
    }
    const size_t tableStart = 14 + headerSize;
    if (tableStart + count * entrySize > offBits) throw EInvalidGraphic("Bitmap image is not valid");
    std::vector<uint8_t> buffer(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * count);
    auto* lp = reinterpret_cast<LOGPALETTE*>(buffer.data());
    lp->palVersion = 0x300;
    lp->palNumEntries = static_cast<WORD>(count);
    for (size_t i = 0; i < count; ++i) {
      const uint8_t* q = &file[tableStart + i * entrySize];
      lp->palPalEntry[i] = {q[2], q[1], q[0], 0};
    }
    palette.reset(CreatePalette(lp));
  }
  monochrome_ = false;
  ReleaseCanvasDC();
  handle_.reset();
  width_ = height_ = 0;
  SetSize(width, static_cast<int>(absHeight));
  SetDIBitsToDevice(MemoryDC(), 0, 0, static_cast<DWORD>(width), static_cast<DWORD>(absHeight), 0, 0, 0,
                    static_cast<UINT>(absHeight), &file[offBits], info, DIB_RGB_COLORS);
  GdiFlush();
  palette_ = std::move(palette);
  Changed();
}

void TBitmap::SaveToStream(TStream& stream) const {
  BITMAPINFO bi = TopDown32Info(width_, height_);
  const BITMAPINFOHEADER& bih = bi.bmiHeader;
  std::vector<uint8_t> bits(static_cast<size_t>(width_) * height_ * 4);
  if (handle_ && !bits.empty()) {
    UniqueMemoryDC dc(CreateCompatibleDC(nullptr));
    GetDIBits(dc.get(), handle_.get(), 0, static_cast<UINT>(height_), bits.data(), &bi, DIB_RGB_COLORS);
  }
  BITMAPFILEHEADER bfh{};
  bfh.bfType = 0x4D42;
  bfh.bfOffBits = sizeof bfh + sizeof bih;
  bfh.bfSize = static_cast<DWORD>(bfh.bfOffBits + bits.size());
  stream.WriteBuffer(&bfh, sizeof bfh);
  stream.WriteBuffer(&bih, sizeof bih);
  if (!bits.empty()) stream.WriteBuffer(bits.data(), static_cast<int64_t>(bits.size()));
}

void TBitmap::ReadData(TStream& stream) {
  uint8_t magic[2] = {};
  const int64_t start = stream.Position();
  if (stream.Read(magic, 2) == 2 && magic[0] == 'B' && magic[1] == 'M') {
    stream.SetPosition(start);
    LoadFromStream(stream);
    return;
  }
  stream.SetPosition(start);
  uint32_t size = 0;
  stream.ReadBuffer(&size, 4);
  if (size > stream.Remaining()) throw EReadError("Stream read error");
  std::vector<uint8_t> bytes(size);
  if (size) stream.ReadBuffer(bytes.data(), size);
  TReadOnlyMemoryStream inner(bytes.data(), size);
  LoadFromStream(inner);
}

void TBitmap::Draw(TCanvas& canvas, const TRect& rect) {
  if (Empty()) return;
  HDC source = MemoryDC();
  HDC target = canvas.Handle();
  SelectedPalette palette(target, palette_.get(), true);
  if (Transparent()) {
    TransparentBlt(target, rect.Left, rect.Top, rect.Width(), rect.Height(), source, 0, 0, width_, height_,
                   ColorToRGB(TransparentColor()));
  } else {
    const bool same = rect.Width() == width_ && rect.Height() == height_;
    POINT origin{};
    StretchBltModeKept mode(target, same ? COLORONCOLOR : HALFTONE);
    SetBrushOrgEx(target, 0, 0, &origin);
    StretchBlt(target, rect.Left, rect.Top, rect.Width(), rect.Height(), source, 0, 0, width_, height_, SRCCOPY);
    SetBrushOrgEx(target, origin.x, origin.y, nullptr);
  }
}

void TBitmap::Assign(const TPersistent& source) {
  const TBitmap* b = dynamic_cast<const TBitmap*>(&source);
  if (!b) {
    const TGraphic* g = dynamic_cast<const TGraphic*>(&source);
    if (!g) return TGraphic::Assign(source);
    // Any other graphic is rendered onto a bitmap of its size.
    monochrome_ = false;
    ReleaseCanvasDC();
    handle_.reset();
    width_ = height_ = 0;
    SetSize(g->Width(), g->Height());
    if (!Empty()) const_cast<TGraphic*>(g)->Draw(*Canvas(), Bounds(0, 0, width_, height_));
    Changed();
    return;
  }
  ReleaseCanvasDC();
  handle_.reset();
  width_ = height_ = 0;
  monochrome_ = b->monochrome_;
  transparentColor_ = b->transparentColor_;
  transparentMode_ = b->transparentMode_;
  SetTransparent(b->Transparent());
  SetSize(b->width_, b->height_);
  if (!Empty()) BitBlt(MemoryDC(), 0, 0, width_, height_, const_cast<TBitmap*>(b)->MemoryDC(), 0, 0, SRCCOPY);
  if (b->palette_) {
    PALETTEENTRY entries[256];
    const UINT n = GetPaletteEntries(b->palette_.get(), 0, 256, entries);
    std::vector<uint8_t> buffer(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * 256);
    LOGPALETTE* lp = reinterpret_cast<LOGPALETTE*>(buffer.data());
    lp->palVersion = 0x300;
    lp->palNumEntries = static_cast<WORD>(n);
    std::memcpy(lp->palPalEntry, entries, sizeof(PALETTEENTRY) * n);
    palette_.reset(CreatePalette(lp));
  } else {
    palette_.reset();
  }
  Changed();
}

const TClassInfo& TIcon::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TIcon>("TIcon", &TGraphic::StaticClassInfo()).Binary("Data", &TIcon::ReadData);
  return info;
}

void TIcon::SetHandle(HICON icon) {
  handle_.reset(icon);
  data_.clear();
  width_ = height_ = 0;
  if (icon) {
    ICONINFO ii{};
    if (GetIconInfo(icon, &ii)) {
      BITMAP bm{};
      GetObjectW(ii.hbmColor ? ii.hbmColor : ii.hbmMask, sizeof bm, &bm);
      width_ = bm.bmWidth;
      height_ = ii.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
      if (ii.hbmColor) DeleteObject(ii.hbmColor);
      if (ii.hbmMask) DeleteObject(ii.hbmMask);
    }
  }
  Changed();
}

namespace {
// The directory entry of a .ico file's image to use at wanted pixels: that size, or else the
// nearest, larger sizes winning a tie over smaller ones by being scaled down rather than up;
// among equal sizes the deeper colour. Entries whose bytes lie outside the file are skipped;
// nullptr when none is left.
const uint8_t* PickIconEntry(const std::vector<uint8_t>& file, int wanted) {
  if (file.size() < 6 || ReadLE<uint16_t>(&file[0]) != 0 || ReadLE<uint16_t>(&file[2]) != 1) return nullptr;
  const size_t count = ReadLE<uint16_t>(&file[4]);
  if (count == 0 || file.size() < 6 + count * 16) return nullptr;
  const uint8_t* best = nullptr;
  int bestScore = INT32_MAX;
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* e = &file[6 + i * 16];
    const int w = e[0] ? e[0] : 256;
    const uint32_t size = ReadLE<uint32_t>(e + 8);
    const uint32_t offset = ReadLE<uint32_t>(e + 12);
    if (offset > file.size() || size > file.size() - offset || size < 40) continue;
    const int distance = w >= wanted ? 2 * (w - wanted) : 2 * (wanted - w) + 1;
    const int score = distance * 64 - ReadLE<uint16_t>(e + 6);
    if (score < bestScore) {
      bestScore = score;
      best = e;
    }
  }
  return best;
}

HICON CreateIconFromEntry(const std::vector<uint8_t>& file, const uint8_t* e, int w, int h) {
  const uint32_t size = ReadLE<uint32_t>(e + 8);
  const uint32_t offset = ReadLE<uint32_t>(e + 12);
  return CreateIconFromResourceEx(const_cast<uint8_t*>(&file[offset]), size, TRUE, 0x00030000, w, h, LR_DEFAULTCOLOR);
}
}  // namespace

void TIcon::LoadFromStream(TStream& stream) {
  std::vector<uint8_t> file = ReadRest(stream);
  const uint8_t* e = PickIconEntry(file, 32);
  if (!e) throw EInvalidGraphic("Icon image is not valid");
  const int w = e[0] ? e[0] : 256;
  const int h = e[1] ? e[1] : 256;
  HICON icon = CreateIconFromEntry(file, e, w, h);
  if (!icon) throw EInvalidGraphic("Icon image is not valid");
  handle_.reset(icon);
  width_ = w;
  height_ = h;
  data_ = std::move(file);
  Changed();
}

UniqueIcon TIcon::CreateSized(int size) const {
  if (const uint8_t* e = data_.empty() ? nullptr : PickIconEntry(data_, size)) {
    if (HICON icon = CreateIconFromEntry(data_, e, size, size)) return UniqueIcon(icon);
  }
  if (!handle_) return UniqueIcon();
  return UniqueIcon(static_cast<HICON>(CopyImage(handle_.get(), IMAGE_ICON, size, size, 0)));
}

void TIcon::SaveToStream(TStream& stream) const {
  if (data_.empty()) throw EInvalidGraphicOperation("Cannot save an icon that was not loaded from a file");
  stream.WriteBuffer(data_.data(), static_cast<int64_t>(data_.size()));
}

void TIcon::LoadFromResourceName(const std::string& name) {
  HICON icon = static_cast<HICON>(
      LoadImageW(GetModuleHandleW(nullptr), Utf8ToWide(name).c_str(), IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR));
  if (!icon) throw EResNotFound(Format("Resource %s not found", name.c_str()));
  SetHandle(icon);
}

void TIcon::Draw(TCanvas& canvas, const TRect& rect) {
  if (Empty()) return;
  DrawIconEx(canvas.Handle(), rect.Left, rect.Top, handle_.get(), rect.Width(), rect.Height(), 0, nullptr, DI_NORMAL);
}

void TIcon::Assign(const TPersistent& source) {
  const TIcon* i = dynamic_cast<const TIcon*>(&source);
  if (!i) return TGraphic::Assign(source);
  if (i == this) return;
  handle_.reset(i->handle_ ? CopyIcon(i->handle_.get()) : nullptr);
  data_ = i->data_;
  width_ = i->width_;
  height_ = i->height_;
  Changed();
}

const TClassInfo& TPicture::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TPicture>("TPicture", &TPersistent::StaticClassInfo()).Binary("Data", &TPicture::ReadData);
  return info;
}

TPicture::TPicture() { RegisterBuiltInFormats(); }
TPicture::~TPicture() = default;

void TPicture::GraphicChanged() {
  if (OnChange) OnChange(this);
}

void TPicture::Take(std::unique_ptr<TGraphic> graphic) {
  graphic_ = std::move(graphic);
  if (graphic_) graphic_->OnChange = [this](TObject*) { GraphicChanged(); };
  GraphicChanged();
}

void TPicture::SetGraphic(TGraphic* graphic) {
  if (graphic == graphic_.get()) return;
  if (!graphic) return Take(nullptr);
  const TClassInfo& kind = graphic->ClassInfo();
  std::unique_ptr<TGraphic> copy;
  for (const auto& [ext, entry] : Formats()) {
    std::unique_ptr<TGraphic> candidate = entry.factory();
    if (&candidate->ClassInfo() == &kind) {
      copy = std::move(candidate);
      break;
    }
  }
  if (!copy) copy = std::make_unique<TBitmap>();
  copy->Assign(*graphic);
  Take(std::move(copy));
}

TBitmap* TPicture::Bitmap() {
  if (!dynamic_cast<TBitmap*>(graphic_.get())) Take(std::make_unique<TBitmap>());
  return static_cast<TBitmap*>(graphic_.get());
}

TIcon* TPicture::Icon() {
  if (!dynamic_cast<TIcon*>(graphic_.get())) Take(std::make_unique<TIcon>());
  return static_cast<TIcon*>(graphic_.get());
}

void TPicture::LoadFromFile(const std::string& path) {
  const std::string ext = Extension(path);
  auto it = Formats().find(ext);
  if (it == Formats().end()) throw EInvalidGraphic("Unknown picture file extension (." + ext + ")");
  std::unique_ptr<TGraphic> graphic = it->second.factory();
  graphic->LoadFromFile(path);
  Take(std::move(graphic));
}

void TPicture::SaveToFile(const std::string& path) const {
  if (graphic_) graphic_->SaveToFile(path);
}

void TPicture::ReadData(TStream& stream) {
  uint8_t head[16] = {};
  const int64_t start = stream.Position();
  const int64_t got = stream.Read(head, sizeof head);
  stream.SetPosition(start);
  if (got == 0) return Take(nullptr);
  for (const auto& [signature, factory] : Signatures()) {
    if (signature.size() > static_cast<size_t>(got) || !std::equal(signature.begin(), signature.end(), head)) continue;
    std::unique_ptr<TGraphic> graphic = factory();
    graphic->LoadFromStream(stream);
    return Take(std::move(graphic));
  }
  throw EInvalidGraphic("Unknown picture data");
}

void TPicture::Assign(const TPersistent& source) {
  if (const TPicture* p = dynamic_cast<const TPicture*>(&source)) return SetGraphic(p->graphic_.get());
  if (const TGraphic* g = dynamic_cast<const TGraphic*>(&source)) return SetGraphic(const_cast<TGraphic*>(g));
  TPersistent::Assign(source);
}

void TPicture::RegisterFileFormat(const std::string& extension, const std::string& description, Factory factory) {
  Formats()[LowerCase(extension)] = {description, std::move(factory)};
}

void TPicture::RegisterSignature(const std::vector<uint8_t>& signature, Factory factory) {
  Signatures().emplace_back(signature, std::move(factory));
}

std::string TPicture::FileFilter() {
  RegisterBuiltInFormats();
  std::string filter;
  for (const auto& [ext, entry] : Formats()) {
    if (!filter.empty()) filter += "|";
    filter += entry.description + " (*." + ext + ")|*." + ext;
  }
  return filter;
}

UINT TPicture::RegisterClipboardFormat(const std::string& name, Factory factory) {
  const UINT format = ::RegisterClipboardFormatW(Utf8ToWide(name).c_str());
  if (format) ClipboardFormats()[format] = std::move(factory);
  return format;
}

std::unique_ptr<TGraphic> TPicture::CreateForClipboardFormat(UINT format) {
  auto it = ClipboardFormats().find(format);
  return it == ClipboardFormats().end() ? nullptr : it->second();
}
