#include "sealbrook/layout.h"

#include "sealbrook/signdata.h"

namespace sealbrook {

using host::mulDiv;

host::Size initialExtent() noexcept {
  return {host::twipsToHimetric(kSurface.width), host::twipsToHimetric(kSurface.height)};
}

host::Rect picture1Window(host::Dpi dpi) noexcept {
  return host::toPixels(kPicture1, dpi);
}

host::Rect image1Area(host::Dpi dpi, const std::optional<host::Size>& picture) noexcept {
  host::Rect area = host::toPixels(kImage1, dpi);
  if (picture) {
    const host::Size size = host::toPixels(*picture, dpi);
    area.right = area.left + size.width;
    area.bottom = area.top + size.height;
  }
  return area;
}

host::Rect picture1Part(const host::Rect& bounds) noexcept {
  return {bounds.left, bounds.top,
          bounds.left + mulDiv(bounds.width(), kPicture1.width, kSurface.width),
          bounds.top + mulDiv(bounds.height(), kPicture1.height, kSurface.height)};
}

std::vector<PictureAt> picturesShown(const SignData& control, host::Point origin, host::Dpi dpi,
                                     Medium medium) {
  std::vector<PictureAt> shown;
  if (const Picture* status = control.Picture1().get(); status && medium == Medium::Screen)
    shown.push_back({status, origin});
  if (const Picture* signature = control.Image1().get()) {
    const host::Rect image1 = host::toPixels(kImage1, dpi);
    shown.push_back({signature, {origin.x + image1.left, origin.y + image1.top}});
  }
  return shown;
}

host::Dpi drawingResolution(const host::Rect& area, host::Size extent) noexcept {
  return {mulDiv(area.width(), host::kHimetricPerInch, extent.width ? extent.width : 1),
          mulDiv(area.height(), host::kHimetricPerInch, extent.height ? extent.height : 1)};
}

}  // namespace sealbrook
