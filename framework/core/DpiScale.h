#pragma once
// Lengths at a display scale. Layouts, skins and font heights are written for 96 DPI; at another a
// length is scaled and rounded to the nearest pixel, halves away from zero (as MulDiv and the
// system's own metrics round), and kept within int.
#include <climits>

inline constexpr int kDesignDpi = 96;

namespace dpi_scale_detail {
constexpr int Usable(int dpi) { return dpi > 0 ? dpi : kDesignDpi; }
constexpr int MulDivRounded(int value, int numerator, int denominator) {
  const long long product = static_cast<long long>(value) * numerator;
  const long long half = denominator / 2;
  const long long result = product >= 0 ? (product + half) / denominator : (product - half) / denominator;
  return result > INT_MAX ? INT_MAX : result < INT_MIN ? INT_MIN : static_cast<int>(result);
}
}  // namespace dpi_scale_detail

// value, given at 96 DPI, at dpi.
constexpr int ScaleToDpi(int value, int dpi) {
  return dpi_scale_detail::MulDivRounded(value, dpi_scale_detail::Usable(dpi), kDesignDpi);
}
// The other way: a value measured at dpi, at 96 DPI.
constexpr int ScaleFromDpi(int value, int dpi) {
  return dpi_scale_detail::MulDivRounded(value, kDesignDpi, dpi_scale_detail::Usable(dpi));
}

// A length that follows the display scale without drifting: it is scaled from the value it was
// given (a layout's 96-DPI value, or one set since at some scale) rather than from its last
// rounding, so that 96 → 120 → 144 → 96 ends where 96 → 144 → 96 and a start at each scale do.
class TScaledLength {
public:
  // The length, `current` at fromDpi, at toDpi. A current value other than the one last handed
  // out was set since: it becomes the reference.
  constexpr int Rescale(int current, int fromDpi, int toDpi) {
    if (referenceDpi_ == 0 || current != handedOut_) {
      reference_ = current;
      referenceDpi_ = dpi_scale_detail::Usable(fromDpi);
    }
    handedOut_ = At(current, fromDpi, toDpi);
    return handedOut_;
  }
  // What Rescale would give, without taking it.
  constexpr int At(int current, int fromDpi, int toDpi) const {
    const bool kept = referenceDpi_ != 0 && current == handedOut_;
    return dpi_scale_detail::MulDivRounded(kept ? reference_ : current, dpi_scale_detail::Usable(toDpi),
                                           kept ? referenceDpi_ : dpi_scale_detail::Usable(fromDpi));
  }
  // What the length became once applied (a window may round or clamp it): still the scaled one.
  constexpr void Took(int applied) { handedOut_ = applied; }

private:
  int reference_ = 0;
  int referenceDpi_ = 0;
  int handedOut_ = 0;
};
