#pragma once
// Decompressor of the skin file's payload (LZSS with adaptive Huffman coding, see LzhTree.h).
//
// Bit stream: bits are taken most significant first from consecutive bytes. Each step decodes one
// code by walking the tree from the root (one bit per level). A code below 256 is a literal byte. A
// code c of 256 or more is a match of c - 253 bytes (3..60); its position follows: 8 bits give the
// upper six position bits and the prefix length p, then p - 2 more bits complete the low six bits.
// The match copies from ring position r - position - 1, where r is the next ring position to be
// written; the ring starts as 4036 spaces with r = 4036.
//
// The stream carries no end mark: the caller says how many bytes to produce. A stream that runs out
// before that many bytes are produced is damaged; Decode reports it instead of inventing the rest.
#include <cstdint>
#include <string>

#include "framework/core/Exception.h"

class ElzhException : public Exception {
public:
  explicit ElzhException(const std::string& message) : Exception(message) {}
};

inline constexpr const char* kLzhNoMemory = "LZH : Cannot get memory for dictionary tables";

// Delivers up to count bytes into buffer and returns how many it delivered (0 past the end).
using TLzhReadProc = int64_t (*)(void* context, uint8_t* buffer, int64_t count);
// Takes count bytes from buffer.
using TLzhWriteProc = void (*)(void* context, const uint8_t* buffer, int64_t count);

class TLZH {
public:
  TLZH() = default;
  TLZH(const TLZH&) = delete;
  TLZH& operator=(const TLZH&) = delete;

  // Produces exactly outputSize bytes through write. Returns false (having written only what was
  // decoded from real input) when the input ends before outputSize bytes are decoded. Raises
  // ElzhException when the decoder's tables cannot be allocated.
  [[nodiscard]] bool Decode(int64_t outputSize, TLzhReadProc read, void* readContext,
                            TLzhWriteProc write, void* writeContext);
};

// The most bytes a stream of compressedSize bytes can decode to: every match needs at least 10 bits
// (a 1-bit code and a 9-bit position) and yields at most 60 bytes.
constexpr int64_t LzhMaxExpansion(int64_t compressedSize) { return compressedSize * 48; }
