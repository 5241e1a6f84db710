// Decoding speed of skin payloads, with zlib's inflate of the same bytes as the yardstick, and the
// whole read of the program's skin into the description model.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "skin/format/Lzh.h"
#include "skin/format/LzhEncoder.h"
#include "skin/model/SkinModel.h"

namespace {

// About 4 MB of 24-bit picture rows the way skins draw them: vertical gradients, bevelled frames,
// flat fills with a repeated texture, and a little dither noise.
const std::vector<uint8_t>& Payload() {
  static const std::vector<uint8_t> bytes = [] {
    std::mt19937 rng(2026);
    std::vector<uint8_t> out;
    for (int image = 0; image < 12; ++image) {
      const int width = 200 + image * 37;
      const int height = 1400000 / (12 * width);
      for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
          const bool edge = x < 3 || y < 3 || x >= width - 3 || y >= height - 3;
          const bool dither = rng() % 6 == 0;
          const int shade = edge ? 255 - (x < 3 || y < 3 ? 0 : 128) : (y * 160 / height) + ((x / 5 + y / 5) % 2) * 12;
          out.push_back(static_cast<uint8_t>(shade + image * 9 + (dither ? 1 : 0)));
          out.push_back(static_cast<uint8_t>(shade / 2 + image * 5));
          out.push_back(static_cast<uint8_t>(255 - shade));
        }
      }
    }
    return out;
  }();
  return bytes;
}

struct TSource {
  const std::vector<uint8_t>* bytes;
  size_t next = 0;
};

int64_t ReadSource(void* context, uint8_t* buffer, int64_t count) {
  auto& s = *static_cast<TSource*>(context);
  const size_t n = std::min(static_cast<size_t>(count), s.bytes->size() - s.next);
  std::copy_n(s.bytes->data() + s.next, n, buffer);
  s.next += n;
  return static_cast<int64_t>(n);
}

void WriteSink(void* context, const uint8_t* buffer, int64_t count) {
  auto& out = *static_cast<std::vector<uint8_t>*>(context);
  out.insert(out.end(), buffer, buffer + count);
}

void BM_LzhDecode(benchmark::State& state) {
  const std::vector<uint8_t>& payload = Payload();
  const std::vector<uint8_t> stream = LzhEncode(payload);
  std::vector<uint8_t> out;
  for (auto _ : state) {
    out.clear();
    out.reserve(payload.size());
    TSource source{&stream};
    TLZH lzh;
    if (!lzh.Decode(static_cast<int64_t>(payload.size()), ReadSource, &source, WriteSink, &out)) {
      state.SkipWithError("decode failed");
    }
    benchmark::DoNotOptimize(out.data());
  }
  if (out != payload) state.SkipWithError("decoded bytes differ");
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(payload.size()));
  state.counters["ratio%"] = 100.0 * static_cast<double>(stream.size()) / static_cast<double>(payload.size());
}
BENCHMARK(BM_LzhDecode)->Unit(benchmark::kMillisecond);

void BM_ZlibInflate(benchmark::State& state) {
  const std::vector<uint8_t>& payload = Payload();
  uLongf packedSize = compressBound(static_cast<uLong>(payload.size()));
  std::vector<uint8_t> packed(packedSize);
  if (compress2(packed.data(), &packedSize, payload.data(), static_cast<uLong>(payload.size()), 6) != Z_OK) {
    throw std::runtime_error("compress2 failed");
  }
  packed.resize(packedSize);
  std::vector<uint8_t> out(payload.size());
  for (auto _ : state) {
    uLongf outSize = static_cast<uLongf>(out.size());
    if (uncompress(out.data(), &outSize, packed.data(), static_cast<uLong>(packed.size())) != Z_OK) {
      state.SkipWithError("inflate failed");
    }
    benchmark::DoNotOptimize(out.data());
  }
  if (out != payload) state.SkipWithError("inflated bytes differ");
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(payload.size()));
  state.counters["ratio%"] = 100.0 * static_cast<double>(packed.size()) / static_cast<double>(payload.size());
}
BENCHMARK(BM_ZlibInflate)->Unit(benchmark::kMillisecond);

void BM_LzhEncode(benchmark::State& state) {
  const std::vector<uint8_t>& payload = Payload();
  for (auto _ : state) benchmark::DoNotOptimize(LzhEncode(payload).data());
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(payload.size()));
}
BENCHMARK(BM_LzhEncode)->Unit(benchmark::kMillisecond);

// The program's skin from its compressed bytes to the last derived image (Windows adds the bitmaps).
void BM_SkinModelLoad(benchmark::State& state) {
  TMemoryStream file;
  file.LoadFromFile(BREVIN_SKIN_FILE);
  size_t bytes = 0;
  for (auto _ : state) {
    TSkinModel model;
    file.SetPosition(0);
    if (!model.LoadFile(file, TSkinEnvironment())) state.SkipWithError("the skin did not load");
    bytes = model.ImageBytes();
  }
  state.counters["imageKB"] = static_cast<double>(bytes) / 1024.0;
}
BENCHMARK(BM_SkinModelLoad)->Unit(benchmark::kMillisecond);

// The skin for a display scale met for the first time, as a program makes it: the 2x pictures read
// from the file and every length scaled from 96 dpi; then (argument 1) every picture resampled, as
// if every skinner drew at once, or (argument 0) only the frame's: what a window draws first.
void BM_SkinNewScale(benchmark::State& state) {
  const int dpi = static_cast<int>(state.range(0));
  const bool everyPicture = state.range(1) != 0;
  TMemoryStream file;
  file.LoadFromFile(BREVIN_SKIN_FILE);
  TSkinModel model;
  if (!model.LoadFile(file, TSkinEnvironment())) state.SkipWithError("the skin did not load");
  size_t bytes = 0;
  for (auto _ : state) {
    auto detailed = std::make_shared<TSkinModel>();
    file.SetPosition(0);
    if (!detailed->LoadFile(file, TSkinEnvironment(), 2)) state.SkipWithError("the 2x pictures did not load");
    const TSkinModel scaled = model.Scaled(dpi, std::move(detailed));
    for (const auto& object : scaled.Objects()) {
      const std::string& name = object->Name;
      const bool frame = name == "Left" || name == "Right" || name == "Top" || name == "Bottom";
      if (everyPicture || frame) (void)object->Image.Ready();
    }
    for (const auto& button : scaled.CaptionButtons()) (void)button->Image.Ready();
    bytes = scaled.ImageBytes();
  }
  state.counters["imageKB"] = static_cast<double>(bytes) / 1024.0;
}
BENCHMARK(BM_SkinNewScale)->ArgsProduct({{120, 144, 192}, {0, 1}})->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
