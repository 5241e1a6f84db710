// Decode and encode throughput of the codec over the benchmark corpus (tools/gifcorpus), with
// giflib doing the same work on the same data as the reference.
//   gif_benchmark [--benchmark options]; corpus directory from $GIF_CORPUS, else the one the build
//   generates
#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/Stream.h"
#include "gif/GIFImage.h"
#include "gif/LZWEncoder.h"

namespace {

const char* const kFiles[] = {"photo.gif", "two.gif", "sixteen.gif", "interlaced.gif", "animation.gif"};

std::filesystem::path CorpusDir() {
  const char* dir = std::getenv("GIF_CORPUS");
  return dir ? dir : GIF_CORPUS_DIR;
}

const std::vector<uint8_t>& FileBytes(const std::string& name) {
  static std::map<std::string, std::vector<uint8_t>> cache;
  auto it = cache.find(name);
  if (it == cache.end()) {
    TMemoryStream s;
    s.LoadFromFile((CorpusDir() / name).string());
    it = cache.emplace(name, s.Bytes()).first;
  }
  return it->second;
}

int64_t DecodeOurs(const std::vector<uint8_t>& bytes) {
  TReadOnlyMemoryStream in(bytes.data(), int64_t(bytes.size()));
  TGIFImage image;
  image.ReadStream(in.Size(), in, false);
  int64_t pixels = 0;
  for (int i = 0; i < image.FrameCount(); ++i) {
    const TDibImage& dib = image.Frame(i).Bitmap();
    pixels += int64_t(dib.Width()) * dib.Height();
  }
  return pixels;
}

struct MemoryInput {
  const std::vector<uint8_t>* bytes;
  size_t pos;
};

int ReadMemory(GifFileType* gif, GifByteType* buf, int n) {
  auto* in = static_cast<MemoryInput*>(gif->UserData);
  const size_t count = std::min(size_t(n), in->bytes->size() - in->pos);
  std::memcpy(buf, in->bytes->data() + in->pos, count);
  in->pos += count;
  return int(count);
}

int WriteMemory(GifFileType* gif, const GifByteType* buf, int n) {
  static_cast<std::vector<uint8_t>*>(gif->UserData)->insert(
      static_cast<std::vector<uint8_t>*>(gif->UserData)->end(), buf, buf + n);
  return n;
}

GifFileType* SlurpGiflib(const std::vector<uint8_t>& bytes, MemoryInput& in) {
  in = {&bytes, 0};
  int error = 0;
  GifFileType* gif = DGifOpen(&in, ReadMemory, &error);
  if (!gif || DGifSlurp(gif) != GIF_OK) {
    std::cerr << "giflib cannot read the corpus\n";
    std::exit(1);
  }
  return gif;
}

int64_t DecodeGiflib(const std::vector<uint8_t>& bytes) {
  MemoryInput in;
  GifFileType* gif = SlurpGiflib(bytes, in);
  int64_t pixels = 0;
  for (int i = 0; i < gif->ImageCount; ++i)
    pixels += int64_t(gif->SavedImages[i].ImageDesc.Width) * gif->SavedImages[i].ImageDesc.Height;
  int error = 0;
  DGifCloseFile(gif, &error);
  return pixels;
}

// Both decoders must give the same pixels before their speed means anything.
void CheckSamePixels(const std::string& name) {
  const std::vector<uint8_t>& bytes = FileBytes(name);
  TReadOnlyMemoryStream stream(bytes.data(), int64_t(bytes.size()));
  TGIFImage image;
  image.ReadStream(stream.Size(), stream, false);
  MemoryInput in;
  GifFileType* gif = SlurpGiflib(bytes, in);
  bool same = gif->ImageCount == image.FrameCount();
  for (int i = 0; same && i < gif->ImageCount; ++i) {
    const SavedImage& s = gif->SavedImages[i];
    const TDibImage& dib = image.Frame(i).Bitmap();
    same = dib.Width() == s.ImageDesc.Width && dib.Height() == s.ImageDesc.Height;
    for (int y = 0; same && y < dib.Height(); ++y)
      for (int x = 0; same && x < dib.Width(); ++x)
        same = dib.PixelIndex(x, y) == s.RasterBits[size_t(y) * size_t(s.ImageDesc.Width) + size_t(x)];
  }
  int error = 0;
  DGifCloseFile(gif, &error);
  if (!same) {
    std::cerr << name << ": decoded pixels differ from giflib's\n";
    std::exit(1);
  }
}

// The first frame of a corpus file as an 8-bit picture, for the encoders.
const TDibImage& Picture(const std::string& name) {
  static std::map<std::string, TDibImage> cache;
  auto it = cache.find(name);
  if (it == cache.end()) {
    const std::vector<uint8_t>& bytes = FileBytes(name);
    TReadOnlyMemoryStream in(bytes.data(), int64_t(bytes.size()));
    TGIFImage image;
    image.ReadStream(in.Size(), in, true);
    it = cache.emplace(name, image.Frame(0).Bitmap()).first;
  }
  return it->second;
}

// giflib takes one byte per pixel; the rows are unpacked once, outside the timing.
const std::vector<GifPixelType>& Indices(const TDibImage& dib) {
  static std::map<const TDibImage*, std::vector<GifPixelType>> cache;
  auto it = cache.find(&dib);
  if (it == cache.end()) {
    std::vector<GifPixelType> pixels;
    for (int y = 0; y < dib.Height(); ++y)
      for (int x = 0; x < dib.Width(); ++x) pixels.push_back(GifPixelType(dib.PixelIndex(x, y)));
    it = cache.emplace(&dib, std::move(pixels)).first;
  }
  return it->second;
}

std::vector<uint8_t> EncodeGiflib(const TDibImage& dib) {
  const std::vector<GifPixelType>& pixels = Indices(dib);
  std::vector<uint8_t> out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, WriteMemory, &error);
  const int colors = dib.PaletteCount();
  ColorMapObject* map = GifMakeMapObject(colors, nullptr);
  for (int i = 0; i < colors; ++i) {
    const TRGB c = dib.PaletteColor(i);
    map->Colors[i] = {c.r, c.g, c.b};
  }
  EGifPutScreenDesc(gif, dib.Width(), dib.Height(), 8, 0, map);
  EGifPutImageDesc(gif, 0, 0, dib.Width(), dib.Height(), false, nullptr);
  for (int y = 0; y < dib.Height(); ++y)
    EGifPutLine(gif, const_cast<GifPixelType*>(pixels.data()) + size_t(y) * size_t(dib.Width()), dib.Width());
  EGifCloseFile(gif, &error);
  GifFreeMapObject(map);
  return out;
}

// The picture is put into an image once, outside the timing; each run drops the frame's coded
// data so that writing encodes it again, as giflib is handed its ready pixels.
std::vector<uint8_t> EncodeOurs(const TDibImage& dib) {
  static std::map<const TDibImage*, std::unique_ptr<TGIFImage>> images;
  std::unique_ptr<TGIFImage>& image = images[&dib];
  if (!image) {
    image = std::make_unique<TGIFImage>();
    image->AddFrame(dib);
  }
  image->Frame(0).Item().CodedData.clear();
  TMemoryStream out;
  image->SaveToStream(out);
  return out.Bytes();
}

void BM_DecodeOurs(benchmark::State& state, const std::string& name) {
  CheckSamePixels(name);
  const std::vector<uint8_t>& bytes = FileBytes(name);
  int64_t pixels = 0;
  for (auto _ : state) pixels += DecodeOurs(bytes);
  state.counters["Mpix/s"] = benchmark::Counter(double(pixels) / 1e6, benchmark::Counter::kIsRate);
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}

void BM_DecodeGiflib(benchmark::State& state, const std::string& name) {
  const std::vector<uint8_t>& bytes = FileBytes(name);
  int64_t pixels = 0;
  for (auto _ : state) pixels += DecodeGiflib(bytes);
  state.counters["Mpix/s"] = benchmark::Counter(double(pixels) / 1e6, benchmark::Counter::kIsRate);
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}

template <typename Encoder>
void RunEncode(benchmark::State& state, const std::string& name, Encoder encode) {
  const TDibImage& dib = Picture(name);
  size_t bytes = 0;
  for (auto _ : state) bytes = encode(dib).size();
  state.counters["Mpix/s"] = benchmark::Counter(double(dib.Width()) * dib.Height() / 1e6,
                                                benchmark::Counter::kIsIterationInvariantRate);
  state.counters["bytes"] = double(bytes);
}

void BM_EncodeOurs(benchmark::State& state, const std::string& name) { RunEncode(state, name, EncodeOurs); }
void BM_EncodeGiflib(benchmark::State& state, const std::string& name) { RunEncode(state, name, EncodeGiflib); }

}  // namespace

int main(int argc, char** argv) {
  for (const char* file : kFiles) {
    benchmark::RegisterBenchmark(("Decode/ours/" + std::string(file)).c_str(), BM_DecodeOurs, std::string(file));
    benchmark::RegisterBenchmark(("Decode/giflib/" + std::string(file)).c_str(), BM_DecodeGiflib, std::string(file));
  }
  for (const char* file : {"photo.gif", "two.gif", "sixteen.gif"}) {
    benchmark::RegisterBenchmark(("Encode/ours/" + std::string(file)).c_str(), BM_EncodeOurs, std::string(file));
    benchmark::RegisterBenchmark(("Encode/giflib/" + std::string(file)).c_str(), BM_EncodeGiflib, std::string(file));
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
