// Lengths as forms and OLE measure them: twips (1/1440 inch) for a designer's layout, HIMETRIC
// (1/100 mm) for an embedded object's extent, pixels at a device's resolution for windows. Every
// conversion rounds as the platform's MulDiv does, so that a size comes out to the pixel as
// Windows computes it.
#pragma once

#include <cstdint>

namespace host {

inline constexpr int32_t kTwipsPerInch = 1440;
inline constexpr int32_t kHimetricPerInch = 2540;

// a * b / c, rounded half away from zero, without overflow in between; -1 when c is 0 or the
// result does not fit in 32 bits (as the platform's MulDiv).
int32_t mulDiv(int32_t a, int32_t b, int32_t c) noexcept;

// A device's resolution, in dots per inch.
struct Dpi {
  int32_t x = 96, y = 96;
};

struct Point {
  int32_t x, y;
};

struct Size {
  int32_t width, height;
  friend bool operator==(Size a, Size b) { return a.width == b.width && a.height == b.height; }
};

// A rectangle as windows take one: the right and bottom edges lie outside it.
struct Rect {
  int32_t left, top, right, bottom;

  int32_t width() const noexcept { return right - left; }
  int32_t height() const noexcept { return bottom - top; }
  bool contains(Point p) const noexcept {
    return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
  }
  friend bool operator==(const Rect& a, const Rect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
  }
};

// A control's position and size on a form or user control, in twips.
struct TwipRect {
  int32_t left, top, width, height;
};

inline int32_t twipsToPixels(int32_t twips, int32_t dpi) noexcept {
  return mulDiv(twips, dpi, kTwipsPerInch);
}
inline int32_t himetricToPixels(int32_t himetric, int32_t dpi) noexcept {
  return mulDiv(himetric, dpi, kHimetricPerInch);
}
inline int32_t twipsToHimetric(int32_t twips) noexcept {
  return mulDiv(twips, kHimetricPerInch, kTwipsPerInch);
}

// A control's place in pixels: its corner and its size each converted on their own, as the
// platform places a designed control.
Rect toPixels(const TwipRect& place, Dpi dpi) noexcept;
// An extent in HIMETRIC as pixels at a resolution.
Size toPixels(Size himetric, Dpi dpi) noexcept;

}  // namespace host
