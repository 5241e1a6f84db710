#include "gif/LZWEncoder.h"

#include <algorithm>
#include <cstring>

#include "framework/core/Exception.h"

// Strings are found through an open-addressing table of 17777 slots with linear probing. A string
// is known by its hash: one pixel p hashes to p * 301 + 903, and extending a string of hash h to n
// pixels by pixel p gives ((p + n + 4) * h) mod 17777, which is also where probing starts. A slot
// matches when it holds the current prefix code and the pixel. On a miss the prefix code is
// written and the new string takes the next code; the code width grows when that code reaches
// 2^width, and at code 4094 the pixel's own code and a clear code are written and the table
// starts afresh.

namespace {

constexpr uint32_t kSlots = 17777;

// x mod 17777 for 32-bit x with two multiplications (Lemire's fastmod): the low 64 bits of
// x * ceil(2^64 / 17777) hold the fraction x / 17777, which times 17777 gives the remainder.
__extension__ typedef unsigned __int128 Wide;
constexpr uint64_t kSlotsInverse = UINT64_MAX / kSlots + 1;
inline uint32_t ModSlots(uint32_t x) {
  return uint32_t((Wide(kSlotsInverse * x) * kSlots) >> 64);
}

constexpr int kRestartCode = 4094;

// Codes are packed least significant bit first into one flat buffer, 32 bits at a time; the
// buffer is cut into 255-byte sub-blocks at the end.
class CodePacker {
public:
  explicit CodePacker(size_t expected) : flat_(expected + 64) {}

  void Put(uint32_t code, int width) {
    acc_ |= uint64_t(code) << count_;
    count_ += width;
    if (count_ >= 32) {
      if (pos_ + 8 > flat_.size()) flat_.resize(flat_.size() * 2);
      const uint32_t word = uint32_t(acc_);
      const uint8_t bytes[4] = {uint8_t(word), uint8_t(word >> 8), uint8_t(word >> 16), uint8_t(word >> 24)};
      std::memcpy(flat_.data() + pos_, bytes, 4);
      pos_ += 4;
      acc_ >>= 32;
      count_ -= 32;
    }
  }

  // Appends the sub-blocks and the zero terminator to out.
  void Finish(std::vector<uint8_t>& out) {
    if (pos_ + 8 > flat_.size()) flat_.resize(flat_.size() + 8);
    while (count_ > 0) {
      flat_[pos_++] = uint8_t(acc_);
      acc_ >>= 8;
      count_ = count_ > 8 ? count_ - 8 : 0;
    }
    out.reserve(out.size() + pos_ + pos_ / 255 + 2);
    for (size_t i = 0; i < pos_; i += 255) {
      const size_t n = std::min<size_t>(255, pos_ - i);
      out.push_back(uint8_t(n));
      out.insert(out.end(), flat_.begin() + long(i), flat_.begin() + long(i + n));
    }
    out.push_back(0);
  }

private:
  std::vector<uint8_t> flat_;
  size_t pos_ = 0;
  uint64_t acc_ = 0;
  int count_ = 0;
};

// A slot holds (prefix code << 8 | pixel) << 12 | string code; 0 is an empty slot (string codes
// are never 0). The slots used since the last restart are remembered so that a restart empties
// only those.
class HashTable {
public:
  HashTable() : slots_(kSlots, 0) { used_.reserve(4096); }

  // Probes from start for key; returns the code, or 0 with *slot at the empty slot found.
  uint32_t Find(uint32_t start, uint32_t key, uint32_t* slot) const {
    const uint32_t first = slots_[start];
    if (first != 0 && (first >> 12) == key) return first & 0xFFF;
    uint32_t s = start;
    while (true) {
      const uint32_t v = slots_[s];
      if (v == 0) {
        *slot = s;
        return 0;
      }
      if ((v >> 12) == key) return v & 0xFFF;
      s = s + 1 == kSlots ? 0 : s + 1;
    }
  }

  void Put(uint32_t slot, uint32_t key, uint32_t code) {
    slots_[slot] = key << 12 | code;
    used_.push_back(slot);
  }

  void Clear() {
    for (uint32_t s : used_) slots_[s] = 0;
    used_.clear();
  }

private:
  std::vector<uint32_t> slots_;
  std::vector<uint32_t> used_;
};

// The encoder's state between pixels.
class StringEncoder {
public:
  StringEncoder(int width0, size_t expected)
      : width0_(width0), clear_(1 << (width0 - 1)), width_(width0), next_(clear_ + 2), packer_(expected) {
    packer_.Put(uint32_t(clear_), width_);
  }

  // Feeds pixels. Two pixels are looked up per step where possible: the hash of the string two
  // pixels on is ((a1 * a2) mod 17777 * h) mod 17777, which does not wait for the first lookup,
  // so the two hash computations overlap instead of following one another.
  void Feed(const uint8_t* px, int count) {
    int x = 0;
    while (x < count) {
      if (!active_) {
        Start(px[x++]);
        continue;
      }
      if (x + 1 < count) {
        const uint32_t p1 = px[x], p2 = px[x + 1];
        const uint32_t a1 = p1 + length_ + 5;
        const uint32_t a2 = p2 + length_ + 6;
        const uint32_t h1 = ModSlots(a1 * hash_);
        const uint32_t h2 = ModSlots(ModSlots(a1 * a2) * hash_);
        const uint32_t key1 = prefix_ << 8 | p1;
        uint32_t slot = 0;
        const uint32_t c1 = table_.Find(h1, key1, &slot);
        if (c1 == 0) {
          Miss(p1, key1, slot);
          ++x;
          continue;
        }
        const uint32_t key2 = c1 << 8 | p2;
        const uint32_t c2 = table_.Find(h2, key2, &slot);
        if (c2 != 0) {
          prefix_ = c2;
          hash_ = h2;
          length_ += 2;
        } else {
          prefix_ = c1;
          hash_ = h1;
          length_ += 1;
          Miss(p2, key2, slot);
        }
        x += 2;
        continue;
      }
      const uint32_t p = px[x++];
      const uint32_t h = ModSlots((p + length_ + 5) * hash_);
      const uint32_t key = prefix_ << 8 | p;
      uint32_t slot = 0;
      const uint32_t c = table_.Find(h, key, &slot);
      if (c != 0) {
        prefix_ = c;
        hash_ = h;
        length_ += 1;
      } else {
        Miss(p, key, slot);
      }
    }
  }

  void Finish(std::vector<uint8_t>& out) {
    if (active_) packer_.Put(prefix_, width_);
    packer_.Put(uint32_t(clear_ + 1), width_);
    packer_.Finish(out);
  }

private:
  void Start(uint32_t p) {
    prefix_ = p;
    hash_ = p * 301 + 903;
    length_ = 1;
    active_ = true;
  }

  // The current string plus p is new: write the string's code, give the new string the next code
  // and go on from p.
  void Miss(uint32_t p, uint32_t key, uint32_t slot) {
    packer_.Put(prefix_, width_);
    const int assigned = next_++;
    table_.Put(slot, key, uint32_t(assigned));
    Start(p);
    if (assigned == (1 << width_)) {
      ++width_;
    } else if (assigned >= kRestartCode) {
      packer_.Put(p, width_);
      packer_.Put(uint32_t(clear_), width_);
      width_ = width0_;
      next_ = clear_ + 2;
      table_.Clear();
      active_ = false;
    }
  }

  const int width0_;
  const int clear_;
  int width_;
  int next_;
  bool active_ = false;  // whether a current string exists
  uint32_t prefix_ = 0;
  uint32_t hash_ = 0;
  uint32_t length_ = 0;
  HashTable table_;
  CodePacker packer_;
};

}  // namespace

std::vector<uint8_t> EncodeLZW(const TDibImage& dib, const std::function<void(int)>& progress) {
  const int depth = dib.BitsPerPixel();
  if (depth != 1 && depth != 4 && depth != 8) throw EInvalidGraphicOperation("GIF image encoding error");
  const int width0 = depth == 1 ? 3 : depth + 1;

  StringEncoder encoder(width0, dib.RowStride() * size_t(dib.Height()) / 2);

  const int w = dib.Width();
  const int h = dib.Height();
  // 1- and 4-bit rows are spread to one byte per pixel, a whole source byte at a time.
  const size_t perByte = depth == 8 ? 1 : size_t(8 / depth);
  std::vector<uint8_t> unpacked(depth == 8 ? 0 : dib.RowStride() * perByte);
  uint8_t spread[256][8] = {};
  for (int b = 0; b < 256 && depth != 8; ++b)
    for (size_t k = 0; k < perByte; ++k)
      spread[b][k] = uint8_t((b >> (8 - depth * int(k + 1))) & ((1 << depth) - 1));
  for (int y = 0; y < h; ++y) {
    const uint8_t* row = dib.Row(y);
    if (depth != 8) {
      const size_t bytes = (size_t(w) * size_t(depth) + 7) / 8;
      for (size_t i = 0; i < bytes; ++i) std::memcpy(&unpacked[i * perByte], spread[row[i]], perByte);
      row = unpacked.data();
    }
    encoder.Feed(row, w);
    if (progress) progress(int((int64_t(y) + 1) * 100 / h));
  }
  std::vector<uint8_t> out{uint8_t(width0 - 1)};
  encoder.Finish(out);
  return out;
}
