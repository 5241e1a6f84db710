#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "skin/format/Lzh.h"
#include "skin/format/LzhEncoder.h"
#include "skin/format/LzhTree.h"

namespace {

struct TSource {
  const std::vector<uint8_t>* bytes;
  size_t next = 0;
  int64_t chunk = 1 << 20;  // most bytes handed out per call
};

int64_t ReadSource(void* context, uint8_t* buffer, int64_t count) {
  auto& s = *static_cast<TSource*>(context);
  const auto n = static_cast<size_t>(std::min<int64_t>(
      {count, s.chunk, static_cast<int64_t>(s.bytes->size() - s.next)}));
  std::copy_n(s.bytes->data() + s.next, n, buffer);
  s.next += n;
  return static_cast<int64_t>(n);
}

void WriteSink(void* context, const uint8_t* buffer, int64_t count) {
  auto& out = *static_cast<std::vector<uint8_t>*>(context);
  out.insert(out.end(), buffer, buffer + count);
}

bool Decode(const std::vector<uint8_t>& stream, int64_t size, std::vector<uint8_t>& out,
            int64_t chunk = 1 << 20) {
  TSource source{&stream, 0, chunk};
  out.clear();
  TLZH lzh;
  return lzh.Decode(size, ReadSource, &source, WriteSink, &out);
}

std::vector<uint8_t> RoundTrip(const std::vector<uint8_t>& data) {
  std::vector<uint8_t> out;
  EXPECT_TRUE(Decode(LzhEncode(data), static_cast<int64_t>(data.size()), out));
  return out;
}

std::vector<uint8_t> RandomBytes(size_t size, unsigned seed, int alphabet = 256) {
  std::mt19937 rng(seed);
  std::vector<uint8_t> bytes(size);
  for (uint8_t& b : bytes) b = static_cast<uint8_t>(rng() % static_cast<unsigned>(alphabet));
  return bytes;
}

// Rows of a 24-bit picture: smooth gradients with repeated runs and some noise, like skin images.
std::vector<uint8_t> BitmapLike(int width, int height, unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<uint8_t> bytes;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const bool noisy = rng() % 64 == 0;
      bytes.push_back(static_cast<uint8_t>(x * 255 / width));
      bytes.push_back(static_cast<uint8_t>(noisy ? rng() : static_cast<unsigned>(y / 4 * 8)));
      bytes.push_back(static_cast<uint8_t>((x / 8 + y / 8) % 2 ? 0xFF : 0x40));
    }
  }
  return bytes;
}

// The sibling property every adaptive update must keep, and the tree's links in both directions.
void ExpectConsistentTree(const lzh::TLzhTree& tree) {
  using namespace lzh;
  std::vector<int> leafSeen(kCharCodes, 0);
  uint32_t leafTotal = 0;
  for (int n = 0; n < kTreeSize; ++n) {
    if (n + 1 < kTreeSize) {
      ASSERT_LE(tree.Frequency(n), tree.Frequency(n + 1)) << "node " << n;
    }
    const int child = tree.Child(n);
    if (child >= kTreeSize) {
      ++leafSeen[child - kTreeSize];
      leafTotal += tree.Frequency(n);
      ASSERT_EQ(tree.Parent(child), n);
    } else {
      ASSERT_EQ(child % 2, 0);
      ASSERT_LT(child + 1, n) << "children come before their parent";
      ASSERT_EQ(tree.Frequency(n), tree.Frequency(child) + tree.Frequency(child + 1));
      ASSERT_EQ(tree.Parent(child), n);
      ASSERT_EQ(tree.Parent(child + 1), n);
    }
  }
  for (int code = 0; code < kCharCodes; ++code) ASSERT_EQ(leafSeen[code], 1) << "code " << code;
  ASSERT_EQ(tree.Frequency(kRoot), leafTotal);
}

}  // namespace

TEST(LzhTree, UpdatesKeepTheSiblingPropertyAcrossRebuilds) {
  lzh::TLzhTree tree;
  ExpectConsistentTree(tree);
  std::mt19937 rng(7);
  // Skewed choice so that some codes get deep and the root passes 0x8000 several times.
  for (int i = 0; i < 120000; ++i) {
    const int code = static_cast<int>(rng() % (i % 3 == 0 ? 314u : 12u));
    tree.Update(code);
    if (i % 9973 == 0) ExpectConsistentTree(tree);
  }
  ExpectConsistentTree(tree);
}

TEST(LzhTree, RebuildHalvesEveryLeafRoundingUp) {
  lzh::TLzhTree tree;
  std::mt19937 rng(3);
  while (tree.Frequency(lzh::kRoot) < lzh::kMaxFreq) tree.Update(static_cast<int>(rng() % 40));
  std::vector<uint32_t> before(lzh::kCharCodes);
  for (int n = 0; n < lzh::kTreeSize; ++n) {
    if (tree.Child(n) >= lzh::kTreeSize) before[tree.Child(n) - lzh::kTreeSize] = tree.Frequency(n);
  }
  tree.Update(5);
  for (int n = 0; n < lzh::kTreeSize; ++n) {
    const int child = tree.Child(n);
    if (child < lzh::kTreeSize) continue;
    const int code = child - lzh::kTreeSize;
    EXPECT_EQ(tree.Frequency(n), (before[code] + 1) / 2 + (code == 5 ? 1 : 0)) << "code " << code;
  }
  ExpectConsistentTree(tree);
}

TEST(LzhDecode, FreshTreeMapsAllZeroAndAllOneBitsToItsOuterLeaves) {
  // The first code is read from the initial tree: eight 0 bits lead to leaf 116, nine 1 bits to 115.
  std::vector<uint8_t> out;
  ASSERT_TRUE(Decode({0x00}, 1, out));
  EXPECT_EQ(out, std::vector<uint8_t>{116});
  EXPECT_FALSE(Decode({0xFF}, 1, out)) << "the ninth bit is missing";
  ASSERT_TRUE(Decode({0xFF, 0x80}, 1, out));
  EXPECT_EQ(out, std::vector<uint8_t>{115});
}

TEST(LzhDecode, InputThatEndsEarlyIsReportedNotPadded) {
  std::vector<uint8_t> out;
  EXPECT_FALSE(Decode({0x00}, 2, out)) << "a second code would need bits past the end";
  EXPECT_EQ(out.size(), 1u) << "what was decoded from real input is still delivered";
  EXPECT_FALSE(Decode({}, 1, out));
  EXPECT_TRUE(out.empty());

  const std::vector<uint8_t> data = RandomBytes(5000, 11);
  std::vector<uint8_t> stream = LzhEncode(data);
  stream.resize(stream.size() - 3);
  EXPECT_FALSE(Decode(stream, static_cast<int64_t>(data.size()), out));
  EXPECT_LT(out.size(), data.size());
  EXPECT_TRUE(std::equal(out.begin(), out.end(), data.begin()));
}

TEST(LzhDecode, ProducesExactlyTheRequestedCountEvenInsideAMatch) {
  const std::vector<uint8_t> data(200, 'q');
  const std::vector<uint8_t> stream = LzhEncode(data);
  std::vector<uint8_t> out;
  ASSERT_TRUE(Decode(stream, 37, out));
  EXPECT_EQ(out, std::vector<uint8_t>(37, 'q'));
  ASSERT_TRUE(Decode(stream, 0, out));
  EXPECT_TRUE(out.empty());
}

TEST(LzhRoundTrip, EmptyTinyAndRandomInputs) {
  EXPECT_TRUE(RoundTrip({}).empty());
  EXPECT_EQ(RoundTrip({42}), std::vector<uint8_t>{42});
  for (unsigned seed = 1; seed <= 4; ++seed) {
    const std::vector<uint8_t> data = RandomBytes(3000 * seed, seed, seed == 1 ? 256 : 4);
    EXPECT_EQ(RoundTrip(data), data) << "seed " << seed;
  }
  // Over 0x8000 literal codes: encoder and decoder must rebuild their trees at the same code.
  const std::vector<uint8_t> many = RandomBytes(100000, 9);
  EXPECT_EQ(RoundTrip(many), many);
}

TEST(LzhRoundTrip, RingWrapsManyTimesAndFarMatchesReachBack4095Bytes) {
  // A 4095-byte block repeated: every match sits at the farthest distance the ring allows,
  // and the write position wraps around the ring dozens of times.
  const std::vector<uint8_t> block = RandomBytes(4095, 21);
  std::vector<uint8_t> data;
  for (int i = 0; i < 40; ++i) data.insert(data.end(), block.begin(), block.end());
  const std::vector<uint8_t> stream = LzhEncode(data);
  EXPECT_LT(stream.size(), data.size() / 8) << "the repeats must have been found as matches";
  std::vector<uint8_t> out;
  ASSERT_TRUE(Decode(stream, static_cast<int64_t>(data.size()), out, 1));
  EXPECT_EQ(out, data) << "fed one byte per read call";
}

TEST(LzhRoundTrip, LongRunsUseLongestMatchesAndTheInitialSpaces) {
  const std::vector<uint8_t> spaces(60, ' ');
  EXPECT_LE(LzhEncode(spaces).size(), 3u) << "60 spaces are one match into the ring's initial spaces";
  EXPECT_EQ(RoundTrip(spaces), spaces);

  std::vector<uint8_t> runs;
  for (int i = 0; i < 300; ++i) runs.insert(runs.end(), static_cast<size_t>(i % 97 + 1), static_cast<uint8_t>(i));
  EXPECT_EQ(RoundTrip(runs), runs);
}

TEST(LzhRoundTrip, BitmapLikeDataCompressesAndSurvives) {
  const std::vector<uint8_t> data = BitmapLike(320, 200, 5);
  const std::vector<uint8_t> stream = LzhEncode(data);
  EXPECT_LT(stream.size(), data.size() / 2);
  EXPECT_EQ(RoundTrip(data), data);
}
