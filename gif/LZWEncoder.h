#pragma once
// LZW encoding of an indexed picture into GIF coded data.
#include <cstdint>
#include <functional>
#include <vector>

#include "gif/GIFDib.h"

// Encodes the pixels of a 1-, 4- or 8-bit picture, top row first. The result is the minimum code
// size byte (2, 4 or 8), the data sub-blocks and the zero terminator. Progress, when given, is
// called after each row with the percentage of rows done (it may throw to abort).
std::vector<uint8_t> EncodeLZW(const TDibImage& dib, const std::function<void(int)>& progress = {});
