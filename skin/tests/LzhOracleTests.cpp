// Streams made without our encoder: one worked out by hand, the rest by an encoder written apart
// from ours (skin/tests/data/make-lzh-oracles), each with the plain bytes it stands for.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <vector>

#include "skin/format/Lzh.h"

namespace {

std::vector<uint8_t> ReadFile(const std::string& name) {
  std::ifstream file(std::string(BREVIN_LZH_ORACLES "/") + name, std::ios::binary);
  EXPECT_TRUE(file) << name;
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

struct TSource {
  const std::vector<uint8_t>& bytes;
  size_t next = 0;
};

int64_t ReadSource(void* context, uint8_t* buffer, int64_t count) {
  auto& s = *static_cast<TSource*>(context);
  const size_t n = std::min(size_t(count), s.bytes.size() - s.next);
  std::copy_n(s.bytes.data() + s.next, n, buffer);
  s.next += n;
  return int64_t(n);
}

void WriteSink(void* context, const uint8_t* buffer, int64_t count) {
  auto& out = *static_cast<std::vector<uint8_t>*>(context);
  out.insert(out.end(), buffer, buffer + count);
}

std::vector<uint8_t> Decode(const std::vector<uint8_t>& stream, size_t size) {
  TSource source{stream};
  std::vector<uint8_t> out;
  TLZH lzh;
  EXPECT_TRUE(lzh.Decode(int64_t(size), ReadSource, &source, WriteSink, &out));
  return out;
}

// The starting tree pairs nodes in order: leaves 0..313, then every new node from the next two.
// So the eighth level holds leaves 116..313 and then the 58 nodes over leaf pairs 0..115, and an
// item's path there is its place in that row, in 8 bits.
//  - 'A' (65) lies under node 314 + 32, place 198 + 32 = 230 = 11100110, and is the second of its
//    pair: 111001101.
//  - Counted, leaf A (now 2) passes the run of frequency-1 nodes and trades places with its last,
//    leaf 313, at place 197: 11000101.
//  - Counted again (3), it passes the run of frequency 2 up to node 469 (over leaves 310 and 311),
//    place 469 - 372 = 97 of the seventh level, whose row starts at node 372: 1100001.
// 111001101 11000101 1100001 = 11100110 11100010 11100001.
TEST(LzhOracle, ThreeLiteralsWorkedOutByHand) {
  EXPECT_EQ(Decode({0xE6, 0xE2, 0xE1}, 3), std::vector<uint8_t>({'A', 'A', 'A'}));
}

// Literals of every value; matches of every upper distance, lengths 3 to 60, copies over
// themselves and from the ring's initial spaces; a tree rebuilt at frequency 0x8000.
TEST(LzhOracle, StreamsFromAnIndependentEncoder) {
  for (const char* name : {"literals", "matches", "rebuild"}) {
    SCOPED_TRACE(name);
    const std::vector<uint8_t> plain = ReadFile(std::string(name) + ".bin");
    ASSERT_FALSE(plain.empty());
    const std::vector<uint8_t> out = Decode(ReadFile(std::string(name) + ".lzh"), plain.size());
    ASSERT_EQ(out.size(), plain.size());
    const auto wrong = std::mismatch(out.begin(), out.end(), plain.begin()).first;
    EXPECT_EQ(wrong - out.begin(), out.end() - out.begin()) << "offset of the first wrong byte";
  }
}

}  // namespace
