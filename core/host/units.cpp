#include "host/units.h"

namespace host {

int32_t mulDiv(int32_t a, int32_t b, int32_t c) noexcept {
  if (c == 0) return -1;
  int64_t product = int64_t{a} * b;
  int64_t divisor = c;
  if (divisor < 0) {
    product = -product;
    divisor = -divisor;
  }
  // Half the divisor away from zero, then division toward zero: rounding half away from zero.
  const int64_t half = divisor / 2;
  const int64_t result = (product >= 0 ? product + half : product - half) / divisor;
  if (result > INT32_MAX || result < -INT32_MAX) return -1;
  return static_cast<int32_t>(result);
}

Rect toPixels(const TwipRect& place, Dpi dpi) noexcept {
  const int32_t left = twipsToPixels(place.left, dpi.x);
  const int32_t top = twipsToPixels(place.top, dpi.y);
  return {left, top, left + twipsToPixels(place.width, dpi.x),
          top + twipsToPixels(place.height, dpi.y)};
}

Size toPixels(Size himetric, Dpi dpi) noexcept {
  return {himetricToPixels(himetric.width, dpi.x), himetricToPixels(himetric.height, dpi.y)};
}

}  // namespace host
