#include "skin/format/LzhTree.h"

#include <algorithm>

namespace lzh {

void TLzhTree::Start() {
  for (int i = 0; i < kCharCodes; ++i) {
    freq_[i] = 1;
    son_[i] = static_cast<int16_t>(i + kTreeSize);
    prnt_[i + kTreeSize] = static_cast<int16_t>(i);
  }
  for (int i = 0, j = kCharCodes; j <= kRoot; i += 2, ++j) {
    freq_[j] = static_cast<uint16_t>(freq_[i] + freq_[i + 1]);
    son_[j] = static_cast<int16_t>(i);
    prnt_[i] = prnt_[i + 1] = static_cast<int16_t>(j);
  }
  freq_[kTreeSize] = 0xFFFF;
  prnt_[kRoot] = 0;
}

void TLzhTree::Rebuild() {
  // Gather the leaves at the front with halved frequencies (rounded up, so none drops to 0).
  int j = 0;
  for (int i = 0; i < kTreeSize; ++i) {
    if (son_[i] >= kTreeSize) {
      freq_[j] = static_cast<uint16_t>((freq_[i] + 1) / 2);
      son_[j] = son_[i];
      ++j;
    }
  }
  // Join pairs in order; each new internal node is inserted where its frequency keeps the order.
  for (int i = 0, n = kCharCodes; n < kTreeSize; i += 2, ++n) {
    const uint16_t f = static_cast<uint16_t>(freq_[i] + freq_[i + 1]);
    int k = n - 1;
    while (f < freq_[k]) --k;
    ++k;
    std::move_backward(freq_.begin() + k, freq_.begin() + n, freq_.begin() + n + 1);
    std::move_backward(son_.begin() + k, son_.begin() + n, son_.begin() + n + 1);
    freq_[k] = f;
    son_[k] = static_cast<int16_t>(i);
  }
  for (int i = 0; i < kTreeSize; ++i) {
    const int k = son_[i];
    if (k >= kTreeSize) {
      prnt_[k] = static_cast<int16_t>(i);
    } else {
      prnt_[k] = prnt_[k + 1] = static_cast<int16_t>(i);
    }
  }
}

void TLzhTree::Update(int code) {
  if (freq_[kRoot] == kMaxFreq) Rebuild();
  int c = prnt_[code + kTreeSize];
  do {
    const uint16_t k = ++freq_[c];
    int l = c + 1;
    if (k > freq_[l]) {
      // Swap c with the last node of smaller frequency; the sentinel stops the search.
      while (k > freq_[++l]) {
      }
      --l;
      freq_[c] = freq_[l];
      freq_[l] = k;

      const int i = son_[c];
      prnt_[i] = static_cast<int16_t>(l);
      if (i < kTreeSize) prnt_[i + 1] = static_cast<int16_t>(l);

      const int j = son_[l];
      son_[l] = static_cast<int16_t>(i);
      prnt_[j] = static_cast<int16_t>(c);
      if (j < kTreeSize) prnt_[j + 1] = static_cast<int16_t>(c);
      son_[c] = static_cast<int16_t>(j);

      c = l;
    }
    c = prnt_[c];
  } while (c != 0);
}

}  // namespace lzh
