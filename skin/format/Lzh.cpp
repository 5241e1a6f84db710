#include "skin/format/Lzh.h"

#include <algorithm>
#include <array>
#include <memory>
#include <new>
#include <vector>

#include "skin/format/LzhTree.h"

namespace {

constexpr int64_t kInputChunk = 16 * 1024;
constexpr int64_t kOutputChunk = 64 * 1024;

// Reads bits most significant first. Past the end of the input it supplies zero bits and counts
// them, so the caller can tell whether any code needed bits the input did not have.
class TBitInput {
public:
  TBitInput(TLzhReadProc read, void* context) : read_(read), context_(context), buffer_(kInputChunk) {}

  // Makes at least 57 bits available.
  void Refill() {
    while (count_ <= 56) {
      if (next_ == end_ && !FillBuffer()) {
        padding_ += 64 - count_;
        count_ = 64;
        return;
      }
      acc_ |= static_cast<uint64_t>(buffer_[next_++]) << (56 - count_);
      count_ += 8;
    }
  }

  unsigned Bit() {
    if (count_ == 0) Refill();
    const unsigned bit = static_cast<unsigned>(acc_ >> 63);
    acc_ <<= 1;
    --count_;
    return bit;
  }

  // n <= 8; call after Refill so that enough bits are present.
  unsigned Bits(int n) {
    if (count_ < n) Refill();
    const unsigned value = static_cast<unsigned>(acc_ >> (64 - n));
    acc_ <<= n;
    count_ -= n;
    return value;
  }

  // True once a code has taken bits that lie past the end of the input.
  bool Overrun() const { return count_ < padding_; }

private:
  bool FillBuffer() {
    if (ended_) return false;
    const int64_t got = read_(context_, buffer_.data(), kInputChunk);
    if (got <= 0) {
      ended_ = true;
      return false;
    }
    next_ = 0;
    end_ = std::min(got, kInputChunk);
    return true;
  }

  TLzhReadProc read_;
  void* context_;
  std::vector<uint8_t> buffer_;
  int64_t next_ = 0;
  int64_t end_ = 0;
  bool ended_ = false;
  uint64_t acc_ = 0;
  int count_ = 0;
  int64_t padding_ = 0;
};

class TByteOutput {
public:
  TByteOutput(TLzhWriteProc write, void* context) : write_(write), context_(context) {
    buffer_.reserve(kOutputChunk);
  }

  void Put(uint8_t byte) {
    buffer_.push_back(byte);
    if (static_cast<int64_t>(buffer_.size()) == kOutputChunk) Flush();
  }

  void Flush() {
    if (!buffer_.empty()) write_(context_, buffer_.data(), static_cast<int64_t>(buffer_.size()));
    buffer_.clear();
  }

private:
  TLzhWriteProc write_;
  void* context_;
  std::vector<uint8_t> buffer_;
};

struct TDecoderTables {
  lzh::TLzhTree tree;
  std::array<uint8_t, lzh::kRingSize + lzh::kLookAhead - 1> ring{};
};

std::unique_ptr<TDecoderTables> AllocateTables() {
  try {
    return std::make_unique<TDecoderTables>();
  } catch (const std::bad_alloc&) {
    throw ElzhException(kLzhNoMemory);
  }
}

}  // namespace

bool TLZH::Decode(int64_t outputSize, TLzhReadProc read, void* readContext, TLzhWriteProc write,
                  void* writeContext) {
  using namespace lzh;
  const std::unique_ptr<TDecoderTables> tables = AllocateTables();
  TLzhTree& tree = tables->tree;
  uint8_t* ring = tables->ring.data();
  std::fill(ring, ring + kFirstWritePosition, static_cast<uint8_t>(' '));

  TBitInput in(read, readContext);
  TByteOutput out(write, writeContext);
  int r = kFirstWritePosition;
  int64_t produced = 0;
  while (produced < outputSize) {
    in.Refill();
    int node = tree.Child(kRoot);
    while (node < kTreeSize) node = tree.Child(node + static_cast<int>(in.Bit()));
    const int code = node - kTreeSize;
    tree.Update(code);

    if (code < 256) {
      if (in.Overrun()) break;
      out.Put(static_cast<uint8_t>(code));
      ring[r] = static_cast<uint8_t>(code);
      r = (r + 1) & (kRingSize - 1);
      ++produced;
      continue;
    }

    in.Refill();
    const unsigned first = in.Bits(8);
    const int prefix = kPositionTables.bits[first];
    const unsigned low = ((first << (prefix - 2)) | in.Bits(prefix - 2)) & 0x3F;
    const int position = (kPositionTables.upper[first] << 6) | static_cast<int>(low);
    if (in.Overrun()) break;

    const int length = static_cast<int>(std::min<int64_t>(code - 253, outputSize - produced));
    int from = (r - position - 1) & (kRingSize - 1);
    for (int k = 0; k < length; ++k) {
      const uint8_t byte = ring[from];
      from = (from + 1) & (kRingSize - 1);
      out.Put(byte);
      ring[r] = byte;
      r = (r + 1) & (kRingSize - 1);
    }
    produced += length;
  }
  out.Flush();
  return produced == outputSize;
}
