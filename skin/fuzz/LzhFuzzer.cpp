// Input: a 32-bit little-endian output length, then a compressed stream. The stream is decoded as
// given; the whole input is also compressed and must decode back to itself.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "skin/format/Lzh.h"
#include "skin/format/LzhEncoder.h"

namespace {

struct TSource {
  const uint8_t* data;
  size_t size;
  size_t next = 0;
};

int64_t ReadSource(void* context, uint8_t* buffer, int64_t count) {
  auto& s = *static_cast<TSource*>(context);
  // Odd chunk sizes exercise the decoder's refills at every alignment.
  const size_t n = std::min({static_cast<size_t>(count), s.size - s.next, size_t{7}});
  std::copy_n(s.data + s.next, n, buffer);
  s.next += n;
  return static_cast<int64_t>(n);
}

void WriteSink(void* context, const uint8_t* buffer, int64_t count) {
  auto& out = *static_cast<std::vector<uint8_t>*>(context);
  out.insert(out.end(), buffer, buffer + count);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size >= 4) {
    const uint32_t stated = data[0] | (data[1] << 8) | (data[2] << 16) | (uint32_t{data[3]} << 24);
    const int64_t length = std::min<int64_t>(stated, LzhMaxExpansion(static_cast<int64_t>(size - 4)));
    TSource source{data + 4, size - 4};
    std::vector<uint8_t> out;
    TLZH lzh;
    const bool complete = lzh.Decode(length, ReadSource, &source, WriteSink, &out);
    if (complete != (static_cast<int64_t>(out.size()) == length)) std::abort();
    if (static_cast<int64_t>(out.size()) > length) std::abort();
  }

  const std::vector<uint8_t> stream = LzhEncode(data, size);
  TSource source{stream.data(), stream.size()};
  std::vector<uint8_t> back;
  TLZH lzh;
  if (!lzh.Decode(static_cast<int64_t>(size), ReadSource, &source, WriteSink, &back)) std::abort();
  if (!std::equal(back.begin(), back.end(), data, data + size)) std::abort();
  return 0;
}
