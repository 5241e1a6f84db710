#include "skin/format/LzhEncoder.h"

#include <algorithm>
#include <array>
#include <limits>
#include <stdexcept>

#include "skin/format/LzhTree.h"

namespace {

using namespace lzh;

constexpr int kHashBits = 15;
constexpr int kMaxChain = 256;
constexpr int kMaxDistance = kRingSize - 1;
constexpr int kMinMatch = kThreshold + 1;

class TBitOutput {
public:
  explicit TBitOutput(std::vector<uint8_t>& out) : out_(out) {}

  // Appends the low n bits of value (n <= 24), most significant first.
  void Put(uint32_t value, int n) {
    acc_ = (acc_ << n) | value;
    count_ += n;
    while (count_ >= 8) {
      count_ -= 8;
      out_.push_back(static_cast<uint8_t>(acc_ >> count_));
    }
    acc_ &= (1u << count_) - 1;
  }

  // Pads the last byte with zero bits.
  void Flush() {
    if (count_ > 0) out_.push_back(static_cast<uint8_t>(acc_ << (8 - count_)));
    acc_ = 0;
    count_ = 0;
  }

private:
  std::vector<uint8_t>& out_;
  uint32_t acc_ = 0;
  int count_ = 0;
};

class TCodeWriter {
public:
  explicit TCodeWriter(std::vector<uint8_t>& out) : bits_(out) {}

  void Literal(uint8_t byte) { Code(byte); }

  void Match(int length, int position) {
    Code(length + 255 - kThreshold);
    const int upper = position >> 6;
    const int prefix = kPositionTables.length[upper];
    bits_.Put(kPositionTables.code[upper] >> (8 - prefix), prefix);
    bits_.Put(static_cast<uint32_t>(position & 0x3F), 6);
  }

  void Finish() { bits_.Flush(); }

private:
  // The code of a leaf is the path from the root: at each level, whether the node is the second
  // child (odd index). Walking up collects it backwards.
  void Code(int code) {
    int depth = 0;
    for (int node = tree_.Parent(code + kTreeSize); node != kRoot; node = tree_.Parent(node)) {
      path_[depth++] = static_cast<uint8_t>(node & 1);
    }
    while (depth > 0) {
      const int n = std::min(depth, 16);
      uint32_t value = 0;
      for (int i = 0; i < n; ++i) value = (value << 1) | path_[--depth];
      bits_.Put(value, n);
    }
    tree_.Update(code);
  }

  TBitOutput bits_;
  TLzhTree tree_;
  std::array<uint8_t, kTreeSize> path_{};
};

struct TMatch {
  int length = 0;
  int source = 0;
};

// Hash chains over a buffer that starts with the ring's initial spaces, so that early matches may
// reach back into them exactly as the decoder's ring allows.
class TMatchFinder {
public:
  explicit TMatchFinder(const std::vector<uint8_t>& text)
      : text_(text), head_(size_t{1} << kHashBits, -1), prev_(text.size(), -1) {}

  void Insert(int p) {
    if (p + kMinMatch > Size()) return;
    const uint32_t h = Hash(p);
    prev_[static_cast<size_t>(p)] = head_[h];
    head_[h] = p;
  }

  TMatch Find(int p) const {
    TMatch best;
    const int limit = std::min(kLookAhead, Size() - p);
    if (limit < kMinMatch) return best;
    const uint8_t* here = text_.data() + p;
    int chain = kMaxChain;
    for (int q = head_[Hash(p)]; q >= 0 && p - q <= kMaxDistance && chain-- > 0;
         q = prev_[static_cast<size_t>(q)]) {
      const uint8_t* there = text_.data() + q;
      if (there[best.length] != here[best.length]) continue;
      int length = 0;
      while (length < limit && there[length] == here[length]) ++length;
      if (length > best.length) {
        best = {length, q};
        if (length == limit) break;
      }
    }
    if (best.length < kMinMatch) best.length = 0;
    return best;
  }

private:
  int Size() const { return static_cast<int>(text_.size()); }

  uint32_t Hash(int p) const {
    const uint8_t* s = text_.data() + p;
    const uint32_t v = s[0] | (uint32_t{s[1]} << 8) | (uint32_t{s[2]} << 16);
    return (v * 2654435761u) >> (32 - kHashBits);
  }

  const std::vector<uint8_t>& text_;
  std::vector<int32_t> head_;
  std::vector<int32_t> prev_;
};

}  // namespace

std::vector<uint8_t> LzhEncode(const uint8_t* data, size_t size) {
  if (size > static_cast<size_t>(std::numeric_limits<int32_t>::max() - kFirstWritePosition)) {
    throw std::length_error("LZH : input too large to compress");
  }
  std::vector<uint8_t> text(kFirstWritePosition + size, ' ');
  if (size > 0) std::copy(data, data + size, text.begin() + kFirstWritePosition);
  const int end = static_cast<int>(text.size());

  std::vector<uint8_t> out;
  out.reserve(size / 2 + 16);
  TCodeWriter writer(out);
  TMatchFinder finder(text);
  for (int p = 0; p < kFirstWritePosition; ++p) finder.Insert(p);

  int p = kFirstWritePosition;
  TMatch current = finder.Find(p);
  while (p < end) {
    if (current.length == 0) {
      writer.Literal(text[static_cast<size_t>(p)]);
      finder.Insert(p);
      ++p;
      current = finder.Find(p);
      continue;
    }
    int inserted = p;
    if (current.length < kLookAhead) {
      // One step of look-ahead: a longer match starting at the next byte is worth a literal.
      finder.Insert(p);
      inserted = p + 1;
      const TMatch next = finder.Find(p + 1);
      if (next.length > current.length) {
        writer.Literal(text[static_cast<size_t>(p)]);
        ++p;
        current = next;
        continue;
      }
    }
    writer.Match(current.length, p - current.source - 1);
    for (int k = inserted; k < p + current.length; ++k) finder.Insert(k);
    p += current.length;
    current = finder.Find(p);
  }
  writer.Finish();
  return out;
}
